#include "controls/DataGridCell.h"

#include "app/ColorRef.h"
#include "controls/CellEditor.h"
#include "controls/GridModel.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPolygon>

#include <algorithm>

namespace {

Qt::Alignment AlignmentOf(UINT format) {
    Qt::Alignment align = format & DT_RIGHT    ? Qt::AlignRight
                          : format & DT_CENTER ? Qt::AlignHCenter
                                               : Qt::AlignLeft;
    align |= format & DT_VCENTER ? Qt::AlignVCenter : format & DT_BOTTOM ? Qt::AlignBottom : Qt::AlignTop;
    return align;
}

QColor System(QPalette::ColorRole role) {
    return QGuiApplication::palette().color(role);
}

} // namespace

// ---- base ----

CDataGridCellBase* CDataGridCellBase::GetDefaultCell() const {
    const CGridModel* grid = GetGrid();
    return grid ? grid->GetDefaultCell(IsFixedRow(), IsFixedCol()) : nullptr;
}

void CDataGridCellBase::Assign(const CDataGridCellBase& other) {
    if (&other == this)
        return;
    SetGrid(other.GetGrid());
    SetText(other.GetText());
    SetImage(other.GetImage());
    SetData(other.GetData());
    SetState(other.GetState());
    SetFormat(other.GetFormat());
    SetTextClr(other.GetTextClr());
    SetBackClr(other.GetBackClr());
    SetFont(other.IsDefaultFont() ? nullptr : other.GetFont());
    SetMargin(other.GetMargin());
}

std::optional<QSize> CDataGridCellBase::ImageSize() const {
    const CGridModel* grid = GetGrid();
    const CImageList* list = grid ? grid->GetImageList() : nullptr;
    if (!list || !list->HasImage(GetImage()))
        return std::nullopt;
    return list->GetImageSize();
}

bool CDataGridCellBase::GetTextRect(QRect& rect) const {
    // The text starts right of the picture.
    if (const std::optional<QSize> image = ImageSize())
        rect.setLeft(rect.left() + image->width() + static_cast<int>(GetMargin()) + 1);
    return true;
}

QSize CDataGridCellBase::GetTextExtent(const QString& text) const {
    const auto* defaultCell = static_cast<const CDataGridDefaultCell*>(GetDefaultCell());
    if (text.isEmpty() || !GetFont()) {
        if (defaultCell)
            return {defaultCell->GetWidth(), defaultCell->GetHeight()};
        return {0, 0};
    }
    const QFontMetrics metrics(*GetFont());
    const UINT format = GetFormat();
    QSize size;
    if (!(format & DT_WORDBREAK) || (format & DT_SINGLELINE)) {
        size = QSize(metrics.horizontalAdvance(text), metrics.height());
    } else {
        int widest = 0;
        for (const QString& line : text.split(QLatin1Char('\n')))
            widest = std::max(widest, metrics.horizontalAdvance(line));
        size = metrics.boundingRect(QRect(0, 0, widest + 1, 0), Qt::TextWordWrap, text).size();
    }
    const int margin = static_cast<int>(GetMargin());
    size += QSize(2 * margin, 2 * margin);
    return size;
}

QSize CDataGridCellBase::GetCellExtent() const {
    const QSize text = GetTextExtent(GetText());
    QSize image(0, 0);
    if (const std::optional<QSize> known = ImageSize()) {
        const int margin = static_cast<int>(GetMargin());
        image = *known;
        if (text.width() > 2 * margin)
            image.rwidth() += margin;
        image.rheight() += 2 * margin;
    }
    QSize size(text.width() + image.width() + 1, std::max(text.height(), image.height()) + 1);
    if (IsFixed())
        size += QSize(1, 1);
    return size;
}

bool CDataGridCellBase::Draw(QPainter& painter, int row, int col, QRect rect, bool erase) {
    const CGridModel* grid = GetGrid();
    if (!grid || rect.width() <= 0 || rect.height() <= 0)
        return false;
    const CDataGridCellBase* defaultCell = GetDefaultCell();
    if (!defaultCell)
        return false;
    painter.save();

    QColor text = ColorFromRef(GetTextClr() == CLR_DEFAULT ? defaultCell->GetTextClr() : GetTextClr());
    QColor back;
    if (GetBackClr() == CLR_DEFAULT) {
        back = ColorFromRef(defaultCell->GetBackClr());
    } else {
        back = ColorFromRef(GetBackClr());
        erase = true;
    }
    // The grid's rectangles end on their last pixel; Qt's fill covers width x height.
    if (IsFocused() || IsDropHighlighted()) {
        if (IsSelected()) {
            back = System(QPalette::Highlight);
            text = System(QPalette::HighlightedText);
            erase = true;
        }
        if (erase)
            painter.fillRect(rect, back);
        // The box stays inside the grid lines on the cell's last column and row, which are drawn after it.
        painter.setPen(text);
        painter.drawRect(rect.adjusted(0, 0, -2, -2));
    } else if (IsSelected()) {
        painter.fillRect(rect, System(QPalette::Highlight));
        text = System(QPalette::HighlightedText);
    } else if (erase) {
        painter.fillRect(rect, back);
    }

    if (IsFixed()) {
        painter.setPen(System(QPalette::Light));
        painter.drawLine(rect.topRight(), rect.topLeft());
        painter.drawLine(rect.topLeft(), rect.bottomLeft());
        painter.setPen(System(QPalette::Shadow));
        painter.drawLine(rect.topRight(), rect.bottomRight());
        painter.drawLine(rect.bottomRight(), rect.bottomLeft());
        rect.adjust(1, 1, -1, -1);
    }
    if (const QFont* font = GetFont())
        painter.setFont(*font);
    DrawContent(painter, row, col, rect, text);
    painter.restore();
    return true;
}

bool CDataGridCellBase::PrintCell(QPainter& painter, int row, int col, QRect rect) {
    const CGridModel* grid = GetGrid();
    const CDataGridCellBase* defaultCell = GetDefaultCell();
    if (!grid || !defaultCell || rect.width() <= 0 || rect.height() <= 0)
        return false;
    painter.save();
    const QColor text = ColorFromRef(GetTextClr() == CLR_DEFAULT ? defaultCell->GetTextClr() : GetTextClr());
    const QColor back = ColorFromRef(GetBackClr() == CLR_DEFAULT ? defaultCell->GetBackClr() : GetBackClr());
    painter.fillRect(rect, back);
    // On paper every cell gets its frame; headers a darker one, as their bevel on the screen.
    painter.setPen(IsFixed() ? System(QPalette::Shadow) : ColorFromRef(grid->GetGridLineColor()));
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    // As on the screen, the frame takes a pixel on every side of a header only.
    DrawContent(painter, row, col, IsFixed() ? rect.adjusted(1, 1, -1, -1) : rect, text);
    painter.restore();
    return true;
}

void CDataGridCellBase::DrawContent(QPainter& painter, int row, int col, QRect rect,
                                    const QColor& text) const {
    const CGridModel* grid = GetGrid();
    const int margin = static_cast<int>(GetMargin());
    rect.adjust(margin, margin, -margin, -margin);

    // The picture at the top-left, only when it fits whole: a cut picture would mislead.
    if (const std::optional<QSize> image = ImageSize()) {
        if (rect.left() + image->width() <= rect.right() + 1 &&
            rect.top() + image->height() <= rect.bottom() + 1)
            grid->GetImageList()->Draw(painter, GetImage(), rect.topLeft());
    }

    // The sort arrow in the header of the sort column.
    if (row == 0 && col == grid->GetSortColumn()) {
        const QFontMetrics metrics(painter.font());
        const int side = std::min(metrics.height() - 4, rect.height() - 4);
        if (side > 0 && rect.left() + side < rect.right()) {
            const int x = rect.right() - side;
            const int base = rect.bottom() - 2 - side;
            QPolygon arrow;
            if (grid->GetSortAscending())
                arrow << QPoint(x + side / 2, base) << QPoint(x + side, base + side)
                      << QPoint(x, base + side);
            else
                arrow << QPoint(x, base) << QPoint(x + side, base) << QPoint(x + side / 2, base + side);
            painter.setPen(System(QPalette::Mid));
            painter.drawPolyline(arrow);
            painter.setPen(System(QPalette::Light));
            painter.drawLine(arrow.point(arrow.size() - 1), arrow.point(0));
            rect.setRight(rect.right() - side);
        }
    }

    GetTextRect(rect);
    painter.setPen(text);
    const UINT format = GetFormat();
    QString shown = GetText();
    if ((format & DT_END_ELLIPSIS) && (!(format & DT_WORDBREAK) || (format & DT_SINGLELINE)))
        shown = painter.fontMetrics().elidedText(shown, Qt::ElideRight, std::max(rect.width(), 0));
    int flags = static_cast<int>(AlignmentOf(format));
    if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE))
        flags |= Qt::TextWordWrap;
    painter.drawText(rect, flags, shown);
}

// ---- ordinary cell ----

CDataGridCell::~CDataGridCell() {
    // An open editor outlives its cell only until it ends; it must not report to a cell that is gone.
    if (auto* edit = qobject_cast<CCellEditor*>(m_pEditWnd)) {
        edit->Detach();
        edit->deleteLater();
    }
}

void CDataGridCell::SetFont(const QFont* font) {
    if (font)
        m_pFont = std::make_unique<QFont>(*font);
    else
        m_pFont.reset();
}

UINT CDataGridCell::GetFormat() const {
    if (m_nFormat != kDefaultFormat)
        return m_nFormat;
    const CDataGridCellBase* defaultCell = GetDefaultCell();
    return defaultCell ? defaultCell->GetFormat() : 0;
}

const QFont* CDataGridCell::GetFont() const {
    if (m_pFont)
        return m_pFont.get();
    const CDataGridCellBase* defaultCell = GetDefaultCell();
    return defaultCell ? defaultCell->GetFont() : nullptr;
}

UINT CDataGridCell::GetMargin() const {
    if (m_nMargin != kDefaultMargin)
        return m_nMargin;
    const CDataGridCellBase* defaultCell = GetDefaultCell();
    return defaultCell ? defaultCell->GetMargin() : 0;
}

void CDataGridCell::Reset() {
    CDataGridCellBase::Reset();
    m_strText.clear();
    m_nImage = -1;
    m_lParam = 0;
    m_pGrid = nullptr;
    m_bEditing = false;
    m_pEditWnd = nullptr;
    m_nFormat = kDefaultFormat;
    m_crFgClr = CLR_DEFAULT;
    m_crBkClr = CLR_DEFAULT;
    m_nMargin = kDefaultMargin;
    m_pFont.reset();
}

bool CDataGridCell::Edit(int row, int col, QRect rect, QPoint, UINT, UINT ch) {
    if (m_bEditing && m_pEditWnd) {
        if (auto* edit = qobject_cast<QLineEdit*>(m_pEditWnd))
            edit->insert(QString(QChar(static_cast<char16_t>(ch))));
        return true;
    }
    QWidget* parent = m_pGrid ? m_pGrid->EditParent() : nullptr;
    if (!parent)
        return false;
    const UINT format = GetFormat();
    const Qt::Alignment alignment = format & DT_RIGHT    ? Qt::AlignRight
                                    : format & DT_CENTER ? Qt::AlignHCenter
                                                         : Qt::AlignLeft;
    m_bEditing = true;
    m_pEditWnd = new CCellEditor(parent, m_pGrid, rect, alignment, row, col, GetText(), ch);
    return true;
}

void CDataGridCell::EndEdit() {
    if (auto* edit = qobject_cast<CCellEditor*>(m_pEditWnd))
        edit->EndEdit();
}

void CDataGridCell::OnEndEdit() {
    m_bEditing = false;
    m_pEditWnd = nullptr;
}

// ---- default cell ----

CDataGridDefaultCell::CDataGridDefaultCell() {
    CDataGridCell::SetFormat(DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    QFont font = QGuiApplication::font();
    SetFont(&font);
}

void CDataGridDefaultCell::SetFont(const QFont* font) {
    if (!font)
        return;
    m_font = *font;
    CDataGridCell::SetFont(font);
    const QFontMetrics metrics(m_font);
    CDataGridCell::SetMargin(static_cast<UINT>(std::max(metrics.horizontalAdvance(QLatin1Char(' ')), 1)));
    const QSize extent(metrics.horizontalAdvance(QStringLiteral(" XXXXXXXXXXXX ")), metrics.height());
    m_Size = QSize(extent.width(), extent.height() * 3 / 2);
}
