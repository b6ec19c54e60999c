#include "controls/CellEditor.h"

#include "controls/GridModel.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>

namespace {

constexpr UINT kBackspace = 0x08;
constexpr UINT kReturn = 0x0D;
constexpr UINT kEscape = 0x1B;

UINT VirtualKey(int key) {
    switch (key) {
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    default:
        return 0;
    }
}

} // namespace

CCellEditor::CCellEditor(QWidget* parent, CGridModel* grid, QRect rect, Qt::Alignment alignment, int row,
                         int col, const QString& initialText, UINT firstChar)
    : QLineEdit(parent), m_pGrid(grid), m_nRow(row), m_nColumn(col), m_sInitialText(initialText),
      m_bExitOnArrows(firstChar != VK_LBUTTON) {
    setGeometry(rect);
    setAlignment(alignment | Qt::AlignVCenter);
    setText(initialText);
    setFont(parent->font());
    show();
    setFocus(Qt::OtherFocusReason);
    if (firstChar == VK_LBUTTON || firstChar == kReturn) {
        setCursorPosition(static_cast<int>(text().size()));
    } else if (firstChar == kBackspace) {
        setCursorPosition(static_cast<int>(text().size()));
        backspace();
    } else if (firstChar == VK_TAB) {
        // Moved in by a key (Tab, an arrow or a page key): the text is ready to be typed over.
        selectAll();
    } else {
        // Typing replaces the text; every printable character, space and punctuation too, is its first.
        selectAll();
        insert(QString(QChar(static_cast<char16_t>(firstChar))));
    }
}

void CCellEditor::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (const UINT vk = VirtualKey(key)) {
        if (m_bExitOnArrows || (event->modifiers() & Qt::ControlModifier)) {
            m_nLastChar = vk;
            EndEdit();
            return;
        }
        QLineEdit::keyPressEvent(event);
        return;
    }
    switch (key) {
    case Qt::Key_Escape:
        setText(m_sInitialText);
        m_nLastChar = kEscape;
        EndEdit();
        return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        m_nLastChar = VK_TAB;
        EndEdit();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_nLastChar = kReturn;
        EndEdit();
        return;
    default:
        QLineEdit::keyPressEvent(event);
        Widen();
        return;
    }
}

bool CCellEditor::event(QEvent* event) {
    // Tab must reach keyPressEvent instead of moving the focus.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QLineEdit::event(event);
}

void CCellEditor::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    EndEdit();
}

void CCellEditor::Widen() {
    const int needed = fontMetrics().horizontalAdvance(text() + QStringLiteral("  "));
    if (needed <= width() || !parentWidget())
        return;
    const int right = std::min(x() + needed, parentWidget()->width());
    resize(std::max(right - x(), width()), height());
}

void CCellEditor::EndEdit() {
    if (m_bEnded)
        return;
    m_bEnded = true;
    const QString result = text();
    const QPointer<CCellEditor> self(this);
    hide();
    if (m_pGrid)
        m_pGrid->OnEditorEnded(m_nRow, m_nColumn, result, m_nLastChar);
    if (self)
        deleteLater();
}
