// The event lists as the operator sees them: every cell's text and colours as the style draws them, a
// scroll bar that the mouse and the keys still drive, and rows added during a round that repaint only what
// they changed while the screen shows what a full repaint shows.
#include "app/ColorRef.h"
#include "app/MyListCtrl.h"
#include "app/RowColourDelegate.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cstdlib>

namespace {

// The cells as the style draws them from the row's colours: the look the kept glyphs must keep.
class StyleDrawnCells final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->palette.setColor(QPalette::Text,
                                 ColorFromRef(CMyListCtrl::OnGetCellTextColor(index.row(), index.column())));
        option->backgroundBrush = ColorFromRef(CMyListCtrl::OnGetCellBkColor(index.row(), index.column()));
    }
};

QFont ListFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(15);
    font.setBold(true);
    return font;
}

// The pixels where two pictures differ, as one rectangle; empty when they are the same.
QRect Differing(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return QRect(QPoint(), a.size().expandedTo(b.size()));
    QRect differing;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                differing |= QRect(x, y, 1, 1);
    return differing;
}

std::string Where(const QRect& r) {
    return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
           std::to_string(r.height());
}

TEST(EventListCells, TheKeptTextDrawsWhatTheStyleDraws) {
    const struct {
        const char* what;
        const char* texts[3]; // the cells of a row
        Qt::Alignment alignment;
        int selectedRow; // -1 none
    } cases[] = {
        {"short texts, left", {"1", "(+)2", "1:31"}, Qt::AlignLeft | Qt::AlignVCenter, -1},
        {"centred", {"12", "(-)1", "0:07"}, Qt::AlignCenter, -1},
        {"right", {"107", "(+)3", "10:00"}, Qt::AlignRight | Qt::AlignVCenter, -1},
        {"elided where it does not fit",
         {"SPINNING BACK KICK TO THE HEAD", "TURNING HEAD KICK", "GAM-JEOM: LEAVING THE COURT"},
         Qt::AlignLeft | Qt::AlignVCenter,
         -1},
        {"one text in cells of three widths",
         {"Turning Head Kick", "Turning Head Kick", "Turning Head Kick"},
         Qt::AlignCenter,
         -1},
        {"elided and centred", {"SPINNING BACK KICK", "123456789012", "(+)3 REVIEW"}, Qt::AlignCenter, -1},
        {"the selected row", {"2", "(+)3", "Head"}, Qt::AlignLeft | Qt::AlignVCenter, 1},
        {"Hangul and Chinese in a fallback font, elided",
         {"王", "김민준 이서연", "Trunk 몸통"},
         Qt::AlignCenter,
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CMyListCtrl list;
        list.setFont(ListFont());
        list.setColumnCount(3);
        list.setRowCount(4);
        list.setColumnWidth(0, 35);
        list.setColumnWidth(1, 75);
        list.setColumnWidth(2, 195);
        list.setSelectionBehavior(QAbstractItemView::SelectRows);
        list.resize(340, 120);
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 3; ++column) {
                auto* item = new QTableWidgetItem(QString::fromUtf8(c.texts[column]));
                item->setTextAlignment(c.alignment);
                list.setItem(row, column, item);
            }
        if (c.selectedRow >= 0)
            list.selectRow(c.selectedRow);
        // Twice: the first paint lays the texts out, the second draws them from what it kept.
        const QImage first = list.grab().toImage();
        const QImage kept = list.grab().toImage();
        StyleDrawnCells styleDrawn;
        QAbstractItemDelegate* delegate = list.itemDelegate();
        list.setItemDelegate(&styleDrawn);
        const QImage expected = list.grab().toImage();
        list.setItemDelegate(delegate);
        EXPECT_EQ(Where(Differing(expected, first)), Where(QRect()));
        EXPECT_EQ(Where(Differing(expected, kept)), Where(QRect()));
    }
}

TEST(EventListCells, TheCurrentCellShowsTheStylesFocusFrame) {
    // The lists never take the focus; a cell painted as current still shows the frame the style draws.
    CMyListCtrl list;
    list.setFont(ListFont());
    list.setColumnCount(1);
    list.setRowCount(2);
    list.setItem(1, 0, new QTableWidgetItem(QStringLiteral("Head Kick")));
    const QModelIndex index = list.model()->index(1, 0);
    for (const bool selected : {false, true}) {
        SCOPED_TRACE(selected ? "selected" : "not selected");
        QStyleOptionViewItem option;
        option.initFrom(&list);
        option.widget = &list;
        option.font = list.font();
        option.rect = QRect(4, 3, 120, 20);
        option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
        // As the list shows a selected row: across its cells.
        option.showDecorationSelected =
            list.style()->styleHint(QStyle::SH_ItemView_ShowDecorationSelected, nullptr, &list);
        option.state |= QStyle::State_Active;
        if (selected)
            option.state |= QStyle::State_Selected;
        const auto painted = [&](const QAbstractItemDelegate& delegate, QStyle::State focus) {
            QStyleOptionViewItem cell = option;
            cell.state |= focus;
            QImage image(128, 26, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            delegate.paint(&painter, cell, index);
            return image;
        };
        const StyleDrawnCells styleDrawn;
        const QImage expected = painted(styleDrawn, QStyle::State_HasFocus);
        ASSERT_NE(Differing(expected, painted(styleDrawn, {})), QRect()) << "the style draws a frame";
        EXPECT_EQ(Where(Differing(expected, painted(*list.itemDelegate(), QStyle::State_HasFocus))),
                  Where(QRect()));
    }
}

} // namespace
