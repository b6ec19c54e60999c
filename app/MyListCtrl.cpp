#include "app/MyListCtrl.h"

#include "app/ColorRef.h"

#include <QHeaderView>
#include <QStyledItemDelegate>

namespace {

// Paints every cell in the colours of its row, whatever the items themselves say.
class RowColourDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        const QColor text = ColorFromRef(CMyListCtrl::OnGetCellTextColor(index.row(), index.column()));
        option->palette.setColor(QPalette::Text, text);
        option->backgroundBrush = ColorFromRef(CMyListCtrl::OnGetCellBkColor(index.row(), index.column()));
    }
};

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
