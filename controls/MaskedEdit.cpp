#include "controls/MaskedEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>

namespace {

// The first character of the locale's format text that is not a letter or a quote: its separator.
char16_t FormatSeparator(const QString& format, char16_t fallback) {
    for (const QChar c : format)
        if (!c.isLetter() && c != u'\'' && !c.isSpace())
            return c.unicode();
    return fallback;
}

char16_t FirstOf(const QString& text, char16_t fallback) {
    return text.isEmpty() ? fallback : text.at(0).unicode();
}

} // namespace

CMaskedEdit::CMaskedEdit(QWidget* parent, int controlId) : QLineEdit(parent), m_nControlId(controlId) {
    m_model.separators = SeparatorsOf(QLocale());
}

MaskSeparators CMaskedEdit::SeparatorsOf(const QLocale& locale) {
    MaskSeparators s;
    s.decimal = FirstOf(locale.decimalPoint(), s.decimal);
    s.thousands = FirstOf(locale.groupSeparator(), s.thousands);
    s.time = FormatSeparator(locale.timeFormat(QLocale::ShortFormat), s.time);
    s.date = FormatSeparator(locale.dateFormat(QLocale::ShortFormat), s.date);
    return s;
}

void CMaskedEdit::SetMask(const QString& mask) {
    m_model.SetMask(mask.toStdU16String());
    const bool masked = m_model.HasMask();
    // Drops and input methods would write past the mask.
    setAcceptDrops(!masked);
    setAttribute(Qt::WA_InputMethodEnabled, !masked);
    if (masked)
        Redisplay(0);
    else
        QLineEdit::setText(QString());
}

void CMaskedEdit::EmptyMask() {
    SetMask(QString());
}

QString CMaskedEdit::GetTypedChars() const {
    return m_model.HasMask() ? QString::fromStdU16String(m_model.TypedChars()) : text();
}

bool CMaskedEdit::FillPositions(const QString& source, bool raw) {
    const bool ok = m_model.FillPositions(source.toStdU16String(), raw);
    Redisplay(-1);
    return ok;
}

void CMaskedEdit::SetWindowText(const QString& text) {
    if (!m_model.HasMask()) {
        QLineEdit::setText(text);
        emit updated();
        return;
    }
    m_bReportChange = false;
    m_model.SetText(text.toStdU16String());
    Redisplay(-1);
    m_bReportChange = true;
}

void CMaskedEdit::OnInvalidKey() {
    QApplication::beep();
}

void CMaskedEdit::Redisplay(int caret) {
    QLineEdit::setText(QString::fromStdU16String(m_model.DisplayText()));
    emit updated();
    if (m_bReportChange)
        emit changed();
    if (caret >= 0)
        PlaceCaretForward(caret);
}

void CMaskedEdit::PlaceCaretForward(int index) {
    const int pos = m_model.CaretForward(index);
    if (m_bAutoTab && pos >= m_model.Length()) {
        for (QWidget* next = nextInFocusChain(); next && next != this; next = next->nextInFocusChain()) {
            if ((next->focusPolicy() & Qt::TabFocus) && next->isEnabled() && next->isVisibleTo(window())) {
                next->setFocus(Qt::TabFocusReason);
                return;
            }
        }
    }
    setCursorPosition(pos);
}

void CMaskedEdit::SelectionRange(int& start, int& end) const {
    if (hasSelectedText()) {
        start = selectionStart();
        end = selectionEnd();
    } else {
        start = end = cursorPosition();
    }
}

void CMaskedEdit::Apply(const MaskModel::KeyResult& result) {
    if (result.invalid)
        OnInvalidKey();
    if (result.changed)
        Redisplay(result.caret);
    else if (result.caret >= 0)
        PlaceCaretForward(result.caret);
}

void CMaskedEdit::keyPressEvent(QKeyEvent* event) {
    if (!m_model.HasMask()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    int start = 0;
    int end = 0;
    SelectionRange(start, end);
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    if (event == QKeySequence::Cut) {
        OnCut();
        return;
    }
    if (event == QKeySequence::Paste) {
        OnPaste();
        return;
    }
    if (event == QKeySequence::Undo || event == QKeySequence::Redo)
        return; // the undo history of a plain edit would bring back text outside the mask
    switch (event->key()) {
    case Qt::Key_Home:
    case Qt::Key_Right:
    case Qt::Key_Down:
        QLineEdit::keyPressEvent(event);
        if (!shift)
            PlaceCaretForward(hasSelectedText() ? selectionStart() : cursorPosition());
        return;
    case Qt::Key_Left:
    case Qt::Key_Up:
        QLineEdit::keyPressEvent(event);
        if (!shift)
            setCursorPosition(m_model.CaretBackward(hasSelectedText() ? selectionStart() : cursorPosition()));
        return;
    case Qt::Key_Insert:
        m_bInsert = !m_bInsert;
        return;
    case Qt::Key_Delete:
        Apply(m_model.Delete(start, end));
        return;
    case Qt::Key_Backspace:
        Apply(m_model.Backspace(start, end));
        return;
    default:
        break;
    }
    const QString typed = event->text();
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (typed.size() == 1 && typed.at(0).unicode() >= 32 && !command) {
        Apply(m_model.Type(start, end, typed.at(0).unicode(), m_bInsert));
        return;
    }
    // Other keys (Tab, Enter, End, Copy, Select all ...) as a plain edit takes them.
    QLineEdit::keyPressEvent(event);
}

void CMaskedEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (m_model.HasMask() && hasSelectedText() && selectionStart() == 0 &&
        selectedText().size() == text().size())
        PlaceCaretForward(0);
}

void CMaskedEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    MaskedEditValidation record;
    record.controlId = m_nControlId;
    emit validate(record);
    bool valid = record.valid;
    if (valid && record.defaultValidation)
        valid = ValidateInput();
    if (valid)
        return;
    setFocus(Qt::OtherFocusReason);
    OnInvalidKey();
    PlaceCaretForward(record.caretPos);
}

void CMaskedEdit::mousePressEvent(QMouseEvent* event) {
    const bool empty = m_model.HasMask() ? m_model.AllPrompts() : text().isEmpty();
    if (event->button() == Qt::LeftButton && !hasFocus() && empty) {
        setFocus(Qt::MouseFocusReason);
        if (m_model.HasMask())
            PlaceCaretForward(0);
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void CMaskedEdit::contextMenuEvent(QContextMenuEvent* event) {
    if (!m_model.HasMask()) {
        QLineEdit::contextMenuEvent(event);
        return;
    }
    // The plain edit's menu would cut and paste past the mask; these go through it.
    QMenu menu(this);
    const bool selection = hasSelectedText() && !isReadOnly();
    menu.addAction(tr("Cut"), this, &CMaskedEdit::OnCut)->setEnabled(selection);
    menu.addAction(tr("Copy"), this, &CMaskedEdit::OnCopy)->setEnabled(hasSelectedText());
    menu.addAction(tr("Paste"), this, &CMaskedEdit::OnPaste)->setEnabled(!isReadOnly());
    menu.addAction(tr("Delete"), this, &CMaskedEdit::OnClear)->setEnabled(selection);
    menu.exec(event->globalPos());
}

void CMaskedEdit::OnCopy() {
    if (hasSelectedText())
        QApplication::clipboard()->setText(selectedText());
}

void CMaskedEdit::OnCut() {
    if (!hasSelectedText() || isReadOnly())
        return;
    OnCopy();
    OnClear();
}

void CMaskedEdit::OnClear() {
    if (!hasSelectedText() || isReadOnly())
        return;
    const int start = selectionStart();
    m_model.RemoveChars(start, selectionEnd());
    Redisplay(start);
}

void CMaskedEdit::OnPaste() {
    if (isReadOnly())
        return;
    int start = 0;
    int end = 0;
    SelectionRange(start, end);
    const QString pasted = QApplication::clipboard()->text();
    Apply(m_model.Paste(start, end, pasted.toStdU16String()));
}
