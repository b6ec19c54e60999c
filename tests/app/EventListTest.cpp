// The event lists as the operator sees them: every cell's text and colours as the style draws them, a
// scroll bar that the mouse and the keys still drive, and rows added during a round that repaint only what
// they changed while the screen shows what a full repaint shows.
#include "app/ColorRef.h"
#include "app/MainWnd.h"
#include "app/MyListCtrl.h"
#include "app/RowColourDelegate.h"
#include "app/VeziruduzApp.h"
#include "screens/OperatorLayout.h"
#include "tests/platform/EventPump.h"
#include "tests/support/RunningRoundView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTest>
#include <QWheelEvent>

#include <chrono>
#include <map>
#include <memory>
#include <string>

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

// The paints of watched widgets, by region.
class PaintLog final : public QObject {
public:
    explicit PaintLog(std::initializer_list<QWidget*> widgets) {
        for (QWidget* widget : widgets)
            widget->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted[watched] += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
    std::map<QObject*, QRegion> painted;
};

// The operator view at its size in a running round, with the hits that add rows to Chung's list.
class EventListRepaint : public ::testing::Test, protected RunningRoundView {
protected:
    EventListRepaint() {
        MakeView();
        list = view->EventList(OperatorIds::EventListChung);
    }
    void Hits(int n) {
        for (int i = 0; i < n; ++i)
            view->OnTrunkHit(0, "valid,40,0,1", nullptr);
    }
    // Until the list has laid out its rows and the screen shows them.
    void Settle() {
        const auto newestInView = [&] {
            const int row = list->rowCount() - 1;
            return row < 0 ||
                   list->viewport()->rect().contains(list->visualRect(list->model()->index(row, 4)));
        };
        ASSERT_TRUE(pumpUntil(newestInView, std::chrono::seconds(10)));
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
    // The list as the operator sees it (the window's backing store) and drawn whole.
    QImage Shown() const {
        const QRect at(list->mapTo(view.get(), QPoint()), list->size());
        return view->screen()
            ->grabWindow(view->winId())
            .toImage()
            .copy(at)
            .convertToFormat(QImage::Format_RGB32);
    }
    QImage DrawnWhole() const { return list->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    CMyListCtrl* list = nullptr;
};

TEST_F(EventListRepaint, ARowPaintsOnlyItselfAndWhatTheScrollUncoveredAndTheScreenShowsIt) {
    const struct {
        const char* what;
        int before;   // rows already in the list
        int added;    // in one turn of the event loop
        bool narrows; // the scroll bar comes and the rows are laid out again in a narrower list
    } cases[] = {
        {"a row below the first", 1, 1, false},
        {"the row that brings the scroll bar", 3, 1, true},
        {"a row at the bottom of a scrolled list", 9, 1, false},
        {"a burst of three rows", 12, 3, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        list->setRowCount(0);
        view->m_nHistoryRows[0] = 0;
        Hits(c.before);
        ASSERT_NO_FATAL_FAILURE(Settle());
        const bool scrolled = list->verticalScrollBar()->isVisible();
        ASSERT_EQ(scrolled, c.before > 3) << "the rows fill the list";
        ASSERT_EQ(Where(Differing(DrawnWhole(), Shown())), Where(QRect())) << "as the rows were shown";

        PaintLog log{view.get(), list, list->viewport(), list->verticalScrollBar()};
        Hits(c.added);
        ASSERT_NO_FATAL_FAILURE(Settle());
        ASSERT_EQ(list->rowCount(), c.before + c.added);
        EXPECT_EQ(list->item(list->rowCount() - 1, 0)->text().toStdString(),
                  std::to_string(c.before + c.added));

        // The new rows with the grid line above them, and the strip the rows already shown left when they
        // moved up.
        const QRect viewport = list->viewport()->rect();
        QRegion allowed = c.narrows ? QRegion(viewport) : QRegion();
        for (int row = c.before; row < list->rowCount(); ++row)
            allowed +=
                QRect(0, list->rowViewportPosition(row) - 1, viewport.width(), list->rowHeight(row) + 1);
        if (scrolled)
            allowed += QRect(0, viewport.height() - c.added * list->rowHeight(0), viewport.width(),
                             c.added * list->rowHeight(0));
        const QRegion beyond = log.painted[list->viewport()] - allowed;
        EXPECT_TRUE(beyond.isEmpty()) << "the list repainted " << Where(beyond.boundingRect());
        const QRegion behind =
            log.painted[view.get()] & QRect(list->mapTo(view.get(), QPoint()), list->size());
        EXPECT_TRUE(behind.isEmpty())
            << "the screen behind the list repainted " << Where(behind.boundingRect());
        EXPECT_EQ(Where(Differing(DrawnWhole(), Shown())), Where(QRect())) << "the screen shows the rows";
        EXPECT_EQ(list->verticalScrollBar()->isVisible(), c.before + c.added > 3);
    }
}

// The scroll bar's handle as it is drawn: the longest run of pixels down the bar's middle that differ from
// its groove (the arrows are short runs).
struct Span {
    int top = 0;
    int length = 0;
};
Span HandleDrawn(QScrollBar& bar, QRgb groove) {
    const QImage shot = bar.grab().toImage();
    const int x = shot.width() / 2;
    Span longest, run;
    for (int y = 0; y < shot.height(); ++y) {
        if (shot.pixel(x, y) != groove) {
            if (run.length++ == 0)
                run.top = y;
            if (run.length > longest.length)
                longest = run;
        } else {
            run = Span();
        }
    }
    return longest;
}

TEST(EventListScrollBar, TheMouseAndTheKeysScrollTheListWhereTheHandleIsDrawn) {
    CMyListCtrl list;
    list.setFont(ListFont());
    list.setColumnCount(2);
    for (int row = 0; row < 40; ++row) {
        list.insertRow(row);
        list.setItem(row, 0, new QTableWidgetItem(QString::number(row + 1)));
    }
    list.resize(300, 200);
    list.show();
    QScrollBar& bar = *list.verticalScrollBar();
    ASSERT_TRUE(pumpUntil([&] { return bar.isVisible() && bar.maximum() > 0; }, std::chrono::seconds(10)));
    ASSERT_EQ(bar.value(), 0);
    // With the handle at the top, the groove shows just above the down arrow.
    const QRgb groove = bar.grab().toImage().pixel(bar.width() / 2, bar.height() - bar.width() - 3);
    const auto DrawnHandle = [&](QScrollBar& shown) { return HandleDrawn(shown, groove); };
    const Span atTop = DrawnHandle(bar);
    ASSERT_GE(atTop.length, 10) << "a handle is drawn";

    // The handle dragged down by the mouse: the rows follow it, and it is drawn where it was left.
    const QPoint grip(bar.width() / 2, atTop.top + atTop.length / 2);
    QTest::mousePress(&bar, Qt::LeftButton, {}, grip);
    QTest::mouseMove(&bar, grip + QPoint(0, 30));
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, grip + QPoint(0, 30));
    EXPECT_GT(bar.value(), 0);
    EXPECT_EQ(list.rowAt(0), bar.value()) << "the rows scrolled with the handle";
    const Span dragged = DrawnHandle(bar);
    EXPECT_NEAR(dragged.top, atTop.top + 30, 3);

    // A click on the groove below the handle scrolls a page, one on the down arrow a row.
    int value = bar.value();
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(bar.width() / 2, dragged.top + dragged.length + 10));
    EXPECT_EQ(bar.value(), value + bar.pageStep());
    value = bar.value();
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(bar.width() / 2, bar.height() - 3));
    EXPECT_EQ(bar.value(), value + 1);

    // The keys, and the wheel over the rows.
    QTest::keyClick(&bar, Qt::Key_End);
    EXPECT_EQ(bar.value(), bar.maximum());
    EXPECT_EQ(list.rowAt(list.viewport()->height() - 1), 39) << "the last row shows";
    const Span atBottom = DrawnHandle(bar);
    EXPECT_GT(atBottom.top, dragged.top);
    QTest::keyClick(&bar, Qt::Key_Up);
    EXPECT_EQ(bar.value(), bar.maximum() - 1);
    QTest::keyClick(&bar, Qt::Key_Home);
    EXPECT_EQ(bar.value(), 0);
    EXPECT_EQ(DrawnHandle(bar).top, atTop.top);
    QWheelEvent wheel(QPointF(50, 50), list.viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list.viewport(), &wheel);
    EXPECT_GT(bar.value(), 0) << "the wheel scrolls down";
    EXPECT_EQ(list.rowAt(0), bar.value());
}

} // namespace
