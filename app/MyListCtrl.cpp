#include "app/MyListCtrl.h"

#include "app/RowColourDelegate.h"

#include <QHeaderView>

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
    // A record of what happened: nothing is typed into it, and it never takes the keyboard from the
    // operator's shortcuts (Space must start the clock, not edit a cell). The mouse still scrolls it.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setTabKeyNavigation(false);
    // One line per row: a text too long for its cell is elided, never wrapped into a row that shows one line.
    setWordWrap(false);
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

void CMyListCtrl::updateGeometries() {
    QTableWidget::updateGeometries();
    if (!m_bShowLastRow)
        return;
    m_bShowLastRow = false;
    scrollToBottom();
}
