#include "app/MyListCtrl.h"

#include "app/ListScrollBar.h"
#include "app/RowColourDelegate.h"

#include <QEvent>
#include <QHeaderView>

#include <utility>

namespace {

// The column header. Its size hint measures every section's text; the table asks for it after each inserted
// row, which cost a scoring event a tenth of a millisecond. A header given a fixed height answers with it.
class ColumnHeader final : public QHeaderView {
public:
    explicit ColumnHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
        // As the table's own header.
        setSectionsClickable(true);
        setHighlightSections(true);
    }
    QSize sizeHint() const override {
        if (minimumHeight() == maximumHeight())
            return {length(), maximumHeight()};
        return QHeaderView::sizeHint();
    }
};

} // namespace

CMyListCtrl::CMyListCtrl(QWidget* parent) : QTableWidget(parent) {
    setItemDelegate(new RowColourDelegate(this));
    setHorizontalHeader(new ColumnHeader(this));
    setVerticalScrollBar(new CListScrollBar(this));
    // A record of what happened: nothing is typed into it, and it never takes the keyboard from the
    // operator's shortcuts (Space must start the clock, not edit a cell). The mouse still scrolls it.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setTabKeyNavigation(false);
    // One line per row: a text too long for its cell is elided, never wrapped into a row that shows one line.
    setWordWrap(false);

    const QAbstractItemModel* rows = model();
    connect(rows, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { RowsInserted(first, last); });
    connect(rows, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft) { RowsChanged(topLeft.row()); });
    connect(rows, &QAbstractItemModel::rowsRemoved, this, &CMyListCtrl::WholeChanged);
    connect(rows, &QAbstractItemModel::rowsMoved, this, &CMyListCtrl::WholeChanged);
    connect(rows, &QAbstractItemModel::columnsInserted, this, &CMyListCtrl::WholeChanged);
    connect(rows, &QAbstractItemModel::columnsRemoved, this, &CMyListCtrl::WholeChanged);
    connect(rows, &QAbstractItemModel::columnsMoved, this, &CMyListCtrl::WholeChanged);
    connect(rows, &QAbstractItemModel::modelReset, this, &CMyListCtrl::WholeChanged);
    connect(rows, &QAbstractItemModel::layoutChanged, this, &CMyListCtrl::WholeChanged);
}

CMyListCtrl::~CMyListCtrl() {
    // The table empties its rows after this part of it is gone.
    disconnect(model(), nullptr, this, nullptr);
}

COLORREF CMyListCtrl::OnGetCellTextColor(int row, int) {
    return row % 2 == 0 ? RGB(128, 37, 0) : RGB(0, 0, 0);
}

COLORREF CMyListCtrl::OnGetCellBkColor(int row, int) {
    return row % 2 == 0 ? RGB(254, 252, 253) : RGB(238, 251, 255);
}

void CMyListCtrl::ShowLastRow() {
    m_bShowLastRow = true;
    scheduleDelayedItemsLayout();
}

void CMyListCtrl::RowsInserted(int first, int last) {
    if (last != rowCount() - 1) {
        WholeChanged(); // the rows below move
        return;
    }
    if (m_nAppendedFrom < 0)
        m_nAppendedFrom = first;
}

void CMyListCtrl::RowsChanged(int first) {
    // While a layout waits, the table leaves a changed cell to the layout's repaint: the new rows are
    // painted by it, a row shown before needs the whole repaint.
    if (m_nAppendedFrom >= 0 && first < m_nAppendedFrom)
        WholeChanged();
}

bool CMyListCtrl::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::LayoutDirectionChange:
        WholeChanged();
        break;
    default:
        break;
    }
    return QTableWidget::event(event);
}

void CMyListCtrl::doItemsLayout() {
    const int appendedFrom = std::exchange(m_nAppendedFrom, -1);
    if (std::exchange(m_bWholeLayout, false) || appendedFrom < 0 || appendedFrom >= rowCount()) {
        QTableWidget::doItemsLayout();
        return;
    }
    // The table moves the rows' offset while it lays them out and moves the rows shown only by the part
    // that its scroll bar's value changes; the rest it leaves to the repaint. The rows shown are moved
    // here by that rest.
    const int offset = verticalHeader()->offset();
    m_nScrolledBy = 0;
    updateGeometries(); // and scrolls to the newest row
    if (const int rest = offset - verticalHeader()->offset() - m_nScrolledBy)
        viewport()->scroll(0, rest);
    const int top = rowViewportPosition(appendedFrom);
    const int bottom = rowViewportPosition(rowCount() - 1) + rowHeight(rowCount() - 1);
    viewport()->update(0, top, viewport()->width(), bottom - top);
}

void CMyListCtrl::scrollContentsBy(int dx, int dy) {
    const int offset = verticalHeader()->offset();
    QTableWidget::scrollContentsBy(dx, dy);
    m_nScrolledBy += offset - verticalHeader()->offset();
}

void CMyListCtrl::updateGeometries() {
    QTableWidget::updateGeometries();
    if (!m_bShowLastRow)
        return;
    m_bShowLastRow = false;
    scrollToBottom();
}
