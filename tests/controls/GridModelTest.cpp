// The grid's model without a window: counts and fixed cells, the focus and the selection, sorting, the
// checked editing path with the parent's answers, the clipboard texts, the layout arithmetic and the
// navigation keys.
#include "controls/GridModel.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

// A model whose parent answers begin-edit and end-edit as the test says and records every notification.
class TestGrid : public CGridModel {
public:
    LRESULT SendMessageToParent(int row, int col, int code) override {
        notes.push_back({code, row, col});
        if (code == DGN_BEGINLABELEDIT)
            return beginAnswer;
        if (code == DGN_ENDLABELEDIT)
            return endAnswer;
        return 0;
    }
    struct Note {
        int code, row, col;
        bool operator==(const Note&) const = default;
    };
    std::vector<Note> notes;
    LRESULT beginAnswer = 0;
    LRESULT endAnswer = 0;
};

// A grid of rows x cols with one fixed row and column; scrollable cells hold "r,c".
void Fill(CGridModel& grid, int rows, int cols) {
    grid.SetRowCount(rows);
    grid.SetColumnCount(cols);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            grid.SetItemText(r, c, QStringLiteral("%1,%2").arg(r).arg(c));
}

std::vector<QString> Column(const CGridModel& grid, int col) {
    std::vector<QString> texts;
    for (int r = grid.GetFixedRowCount(); r < grid.GetRowCount(); ++r)
        texts.push_back(grid.GetItemText(r, col));
    return texts;
}

// ---- counts and fixed cells ----

TEST(GridCounts, FixedCountsFollowTheRowCountAndMarkTheirCells) {
    CGridModel grid;
    grid.SetRowCount(3);
    grid.SetColumnCount(3);
    EXPECT_TRUE(grid.SetFixedRowCount(5)) << "more fixed rows than rows grows the rows first";
    EXPECT_EQ(grid.GetRowCount(), 5);
    grid.SetFixedColumnCount(1);
    EXPECT_EQ(grid.GetItemState(0, 0) & (DGIS_FIXED | DGIS_FIXEDROW | DGIS_FIXEDCOL),
              DGIS_FIXED | DGIS_FIXEDROW | DGIS_FIXEDCOL);
    EXPECT_EQ(grid.GetItemState(4, 1) & DGIS_FIXED, DGIS_FIXED);

    grid.SetRowCount(2);
    EXPECT_EQ(grid.GetFixedRowCount(), 2) << "fewer rows than fixed rows lowers the fixed count";
    grid.SetRowCount(4);
    grid.SetFixedRowCount(1);
    EXPECT_EQ(grid.GetItemState(1, 2) & (DGIS_FIXED | DGIS_FIXEDROW), 0u);
    EXPECT_EQ(grid.GetItemState(1, 0) & (DGIS_FIXED | DGIS_FIXEDROW | DGIS_FIXEDCOL),
              DGIS_FIXED | DGIS_FIXEDCOL)
        << "a cell of a fixed column stays fixed when its row stops being fixed";
    // A new cell in a fixed row and a fixed column carries both bits.
    grid.SetColumnCount(0);
    grid.SetColumnCount(2);
    EXPECT_EQ(grid.GetFixedColumnCount(), 0);
    grid.SetFixedColumnCount(1);
    grid.SetRowCount(6);
    EXPECT_EQ(grid.GetItemState(5, 0) & (DGIS_FIXEDROW | DGIS_FIXEDCOL), DGIS_FIXEDCOL);
    EXPECT_EQ(grid.GetColumnWidth(7), -1);
    EXPECT_EQ(grid.GetCell(9, 0), nullptr);
    EXPECT_EQ(grid.GetItemText(-1, 0), QString());
}

TEST(GridCounts, DeletingARowMovesOrClearsTheFocus) {
    CGridModel grid;
    Fill(grid, 6, 3);
    grid.SetFocusCell(4, 1);
    ASSERT_TRUE(grid.DeleteRow(2));
    EXPECT_EQ(grid.GetFocusCell(), (CCellID{-1, -1})) << "a deleted row clears selection and focus";
    grid.SetFocusCell(3, 1);
    // The focus is kept by the row it is in: deleting above moves it up, deleting it clears it.
    EXPECT_EQ(grid.GetItemText(3, 1), "4,1");
    EXPECT_FALSE(grid.DeleteRow(9));
    EXPECT_EQ(grid.GetRowCount(), 5);
    grid.DeleteNonFixedRows();
    EXPECT_EQ(grid.GetRowCount(), 1);
    EXPECT_TRUE(grid.GetModified());
}

TEST(GridCounts, FocusRaisedOutOfTheFixedAreaAndNewFocusMarked) {
    CGridModel grid;
    Fill(grid, 4, 4);
    const CCellID old = grid.SetFocusCell(0, 0);
    EXPECT_EQ(old, (CCellID{-1, -1}));
    EXPECT_EQ(grid.GetFocusCell(), (CCellID{1, 1}));
    EXPECT_TRUE(grid.GetItemState(1, 1) & DGIS_FOCUSED);
    grid.SetFocusCell(2, 3);
    EXPECT_FALSE(grid.GetItemState(1, 1) & DGIS_FOCUSED);
}

TEST(GridCounts, ChangingTheSortColumnEndsTheSort) {
    CGridModel grid;
    Fill(grid, 4, 3);
    grid.SortItems(2, true);
    EXPECT_EQ(grid.GetSortColumn(), 2);
    grid.SetItemText(1, 1, "x");
    EXPECT_EQ(grid.GetSortColumn(), 2) << "another column keeps the sort";
    grid.SetItemText(1, 2, "x");
    EXPECT_EQ(grid.GetSortColumn(), -1);
    EXPECT_TRUE(grid.GetItemState(1, 2) & DGIS_MODIFIED);
}

// ---- selection ----

TEST(GridSelection, RangesSelectDeselectAndReportTheirBounds) {
    CGridModel grid;
    Fill(grid, 6, 5);
    grid.SetSelectedRange({0, 0, 2, 2});
    EXPECT_EQ(grid.GetSelectedCellRange(), (CCellRange{1, 1, 2, 2})) << "the fixed area is never selected";
    EXPECT_EQ(grid.GetSelectedCount(), 4);

    grid.SetSelectedRange({3, 3, 4, 4});
    EXPECT_EQ(grid.GetSelectedCellRange(), (CCellRange{3, 3, 4, 4})) << "a new range replaces the old";
    EXPECT_FALSE(grid.IsCellSelected(1, 1));

    grid.SetSelectedRange({3, 3, 3, 3}, false, false);
    EXPECT_FALSE(grid.IsCellSelected(3, 3));
    EXPECT_EQ(grid.GetSelectedCount(), 3);

    grid.SetSelectionStart({2, 2});
    grid.SetMouseMode(MOUSE_SELECT_ROW);
    grid.OnSelecting({3, 2});
    EXPECT_EQ(grid.GetSelectedCellRange(), (CCellRange{2, 1, 3, 4}));
    grid.SetMouseMode(MOUSE_SELECT_COL);
    grid.OnSelecting({2, 3});
    EXPECT_EQ(grid.GetSelectedCellRange(), (CCellRange{1, 2, 5, 3}));

    grid.ResetSelection();
    EXPECT_EQ(grid.GetSelectedCellRange(), CCellRange{});
}

TEST(GridSelection, CtrlKeepsThePreviousSelectionAndDisablingClearsIt) {
    CGridModel grid;
    Fill(grid, 6, 5);
    grid.SetSelectedRange({1, 1, 1, 1});
    grid.RememberSelection(true);
    grid.SetSelectedRange({3, 3, 3, 3});
    EXPECT_TRUE(grid.IsCellSelected(1, 1));
    EXPECT_TRUE(grid.IsCellSelected(3, 3));

    grid.SetFocusCell(2, 2);
    grid.DisableSelection();
    EXPECT_EQ(grid.GetSelectedCount(), 0);
    EXPECT_EQ(grid.GetFocusCell(), (CCellID{-1, -1}));
    grid.SetSelectedRange({1, 1, 2, 2});
    EXPECT_EQ(grid.GetSelectedCount(), 0) << "selection stays off";
}

// ---- sorting ----

TEST(GridSort, RowsMoveWholeInBothDirectionsAndBadRangesAreRefused) {
    CGridModel grid;
    Fill(grid, 5, 3);
    const QString keys[] = {"b", "d", "a", "c"};
    for (int i = 0; i < 4; ++i)
        grid.SetItemText(i + 1, 1, keys[i]);
    grid.SetRowHeight(3, 7);
    ASSERT_TRUE(grid.SortItems(1, true));
    EXPECT_EQ(Column(grid, 1), (std::vector<QString>{"a", "b", "c", "d"}));
    EXPECT_EQ(Column(grid, 2), (std::vector<QString>{"3,2", "1,2", "4,2", "2,2"})) << "the row moves whole";
    EXPECT_EQ(grid.GetRowHeight(1), 7) << "its height moves with it";
    EXPECT_EQ(grid.GetItemText(0, 1), "0,1") << "the header stays";

    ASSERT_TRUE(grid.SortItems(1, false));
    EXPECT_EQ(Column(grid, 1), (std::vector<QString>{"d", "c", "b", "a"}));
    EXPECT_FALSE(grid.GetSortAscending());

    EXPECT_FALSE(grid.SortItems(&CGridModel::CompareCellText, 3, true));
    EXPECT_FALSE(grid.SortItems(&CGridModel::CompareCellText, 1, true, 0, 2, 2));
    EXPECT_EQ(CGridModel::CompareCellText(grid.GetCell(1, 1), nullptr, 0), 0);
    EXPECT_EQ(CGridModel::CompareCellText(grid.GetCell(1, 1), grid.GetCell(2, 1), 0), 1);
}

TEST(GridSort, EqualKeysKeepEveryRow) {
    CGridModel grid;
    Fill(grid, 7, 3);
    for (int r = 1; r < 7; ++r)
        grid.SetItemText(r, 1, r % 2 ? "x" : "a");
    ASSERT_TRUE(grid.SortItems(1, true));
    EXPECT_EQ(Column(grid, 1), (std::vector<QString>{"a", "a", "a", "x", "x", "x"}));
    std::vector<QString> rest = Column(grid, 2);
    std::ranges::sort(rest);
    EXPECT_EQ(rest, (std::vector<QString>{"1,2", "2,2", "3,2", "4,2", "5,2", "6,2"}));
}

// ---- editing through the checked path ----

TEST(GridEditing, ParentAndReadOnlyCellsCanRefuseAChange) {
    TestGrid grid;
    Fill(grid, 3, 3);
    EXPECT_TRUE(grid.SetItemTextChecked(1, 1, "new"));
    EXPECT_EQ(grid.GetItemText(1, 1), "new");
    EXPECT_TRUE(grid.GetItemState(1, 1) & DGIS_MODIFIED);

    grid.endAnswer = -1;
    EXPECT_FALSE(grid.SetItemTextChecked(1, 1, "refused"));
    EXPECT_EQ(grid.GetItemText(1, 1), "new") << "an end-edit refusal puts the old text back";
    grid.OnEndEditCell(1, 1, "again");
    EXPECT_EQ(grid.GetItemText(1, 1), "new");

    grid.endAnswer = 0;
    grid.beginAnswer = -1;
    EXPECT_FALSE(grid.SetItemTextChecked(1, 2, "x"));
    EXPECT_EQ(grid.GetItemText(1, 2), "1,2");

    grid.beginAnswer = 0;
    grid.SetItemState(2, 2, DGIS_READONLY);
    EXPECT_FALSE(grid.SetItemTextChecked(2, 2, "x"));
    grid.SetEditable(false);
    EXPECT_FALSE(grid.SetItemTextChecked(1, 2, "x"));
}

// ---- clipboard ----

TEST(GridClipboard, CopyKeepsTheSeparatorsOfCellsThatAreNotSelected) {
    CGridModel grid;
    Fill(grid, 4, 4);
    EXPECT_FALSE(grid.CopyTextFromGrid().has_value()) << "nothing selected";
    grid.SetSelectedRange({1, 1, 2, 3});
    grid.SetSelectedRange({1, 2, 1, 2}, false, false); // the middle of the first row
    EXPECT_EQ(grid.CopyTextFromGrid(), "1,1\t\t1,3\r\n2,1\t2,2\t2,3");
    grid.SetColumnWidth(2, 0);
    EXPECT_EQ(grid.CopyTextFromGrid(), "1,1\t1,3\r\n2,1\t2,3") << "hidden columns are left out";
}

TEST(GridClipboard, PasteSplitsAtTabsAndCommasAndSkipsHiddenAndReadOnlyCells) {
    CGridModel grid;
    Fill(grid, 4, 5);
    ASSERT_TRUE(grid.PasteTextToGrid({1, 1}, " a ,b\tc\r\n"));
    EXPECT_EQ(grid.GetItemText(1, 1), "a");
    EXPECT_EQ(grid.GetItemText(1, 2), "b");
    EXPECT_EQ(grid.GetItemText(1, 3), "c");
    EXPECT_EQ(grid.GetItemText(2, 1), "2,1") << "the final line break makes no row";
    EXPECT_EQ(grid.GetSelectedCellRange(), (CCellRange{1, 1, 1, 3}));

    grid.SetColumnWidth(2, 0);
    grid.SetItemState(3, 3, DGIS_READONLY);
    ASSERT_TRUE(grid.PasteTextToGrid({2, 1}, "x,y,z,w,v\ny2,q2,r2"));
    EXPECT_EQ(grid.GetItemText(2, 1), "x");
    EXPECT_EQ(grid.GetItemText(2, 2), "2,2") << "a hidden column is stepped over";
    EXPECT_EQ(grid.GetItemText(2, 3), "y");
    EXPECT_EQ(grid.GetItemText(2, 4), "z");
    EXPECT_EQ(grid.GetItemText(3, 3), "3,3") << "a read-only cell keeps its text";

    EXPECT_FALSE(grid.PasteTextToGrid({3, 3}, "x")) << "pasting onto a read-only cell";
    EXPECT_FALSE(grid.PasteTextToGrid({9, 1}, "x"));

    grid.SetSelectedRange({1, 1, 1, 1});
    grid.CutSelectedText();
    EXPECT_EQ(grid.GetItemText(1, 1), "");
}

// ---- layout ----

TEST(GridLayout, OriginsAndHitsFollowTheScrollPosition) {
    CGridModel grid;
    grid.SetRowCount(10);
    grid.SetColumnCount(6);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    for (int r = 0; r < 10; ++r)
        grid.SetRowHeight(r, 20);
    for (int c = 0; c < 6; ++c)
        grid.SetColumnWidth(c, 50);
    grid.SetClientSize({200, 100});

    QRect rect;
    ASSERT_TRUE(grid.GetCellRect(2, 2, rect));
    EXPECT_EQ(rect, QRect(100, 40, 50, 20));
    EXPECT_EQ(grid.GetCellFromPt({120, 45}), (CCellID{2, 2}));
    EXPECT_EQ(grid.GetCellFromPt({10, 5}), (CCellID{0, 0}));
    EXPECT_EQ(grid.GetCellFromPt({10, 5}, false), (CCellID{-1, -1}));
    EXPECT_EQ(grid.GetCellFromPt({-1, 5}), (CCellID{-1, -1}));
    EXPECT_EQ(grid.GetVisibleNonFixedCellRange(), (CCellRange{1, 1, 4, 3}));

    grid.SetScrollPos(70, 40); // two rows down, one column and 20 pixels right
    EXPECT_EQ(grid.GetTopleftNonFixedCell(), (CCellID{3, 2}));
    EXPECT_EQ(grid.HPartialOffset(), -20);
    ASSERT_TRUE(grid.GetCellRect(3, 2, rect));
    EXPECT_EQ(rect, QRect(30, 20, 50, 20)) << "the partly scrolled column starts under the fixed column";
    EXPECT_FALSE(grid.GetCellRect(2, 2, rect)) << "a row scrolled past has no rectangle";
    EXPECT_TRUE(grid.IsCellVisible(0, 0));
    EXPECT_FALSE(grid.IsCellVisible(1, 1));
}

TEST(GridLayout, ScrollBarsAppearOnlyWhenTheContentDoesNotFit) {
    CGridModel grid;
    grid.SetRowCount(3);
    grid.SetColumnCount(3);
    grid.SetFixedRowCount(1);
    for (int r = 0; r < 3; ++r)
        grid.SetRowHeight(r, 20);
    for (int c = 0; c < 3; ++c)
        grid.SetColumnWidth(c, 50);
    grid.SetClientSize({150, 60});
    CGridModel::ScrollBars bars = grid.ComputeScrollBars(16, 16);
    EXPECT_FALSE(bars.horizontal);
    EXPECT_FALSE(bars.vertical);
    EXPECT_EQ(bars.hMax, 0);
    EXPECT_EQ(bars.vMax, 0);

    // One more row needs a vertical bar, whose width then needs a horizontal one.
    grid.SetRowCount(4);
    grid.SetRowHeight(3, 20);
    bars = grid.ComputeScrollBars(16, 16);
    EXPECT_TRUE(bars.vertical);
    EXPECT_TRUE(bars.horizontal);
    EXPECT_EQ(bars.vMax, 59);
    EXPECT_EQ(bars.hMax, 150);
    EXPECT_EQ(bars.vPage, 24);
}

// Rows (fixed 20) 10, 30, 0, 20, 40, 25 and columns (fixed 50) 40, 60, 0, 80: sizes that differ, and a
// hidden row and column to step over.
void FillUneven(CGridModel& grid) {
    Fill(grid, 7, 5);
    const int heights[] = {20, 10, 30, 0, 20, 40, 25};
    for (int r = 0; r < 7; ++r)
        grid.SetRowHeight(r, heights[r]);
    const int widths[] = {50, 40, 60, 0, 80};
    for (int c = 0; c < 5; ++c)
        grid.SetColumnWidth(c, widths[c]);
    grid.SetClientSize({200, 100});
}

TEST(GridLayout, ALineStepMovesOneWholeRowOrColumnOfItsOwnSize) {
    CGridModel grid;
    FillUneven(grid);
    const struct {
        bool vertical;
        bool forward;
        int from;
        int to;
        const char* why;
    } cases[] = {
        {true, true, 0, 10, "the first row, 10 high"},
        {true, true, 10, 40, "the next row, 30 high"},
        {true, true, 40, 60, "the hidden row is stepped over, the 20 after it scrolled"},
        {true, true, 15, 60, "after a step that ended inside a row, the row shown on top goes whole"},
        {true, true, 75, 75, "nothing beyond the maximum"},
        {true, false, 60, 40, "back by the row above the top one"},
        {true, false, 40, 10, "back over the hidden row by the 30 above it"},
        {true, false, 15, 10, "the row cut off at the top comes back whole"},
        {true, false, 0, 0, "nothing above the first row"},
        {false, true, 0, 40, "the first column, 40 wide"},
        {false, true, 20, 40, "a partly hidden column: the next one lands on the fixed column"},
        {false, true, 100, 180, "the hidden column is stepped over"},
        {false, false, 20, 0, "a partly hidden column is first made whole"},
        {false, false, 70, 40, "a partly hidden column is first made whole"},
        {false, false, 100, 40, "back over the hidden column by the 60 before it"},
        {false, false, 0, 0, "nothing left of the first column"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        if (c.vertical)
            grid.SetScrollPos(0, c.from);
        else
            grid.SetScrollPos(c.from, 0);
        EXPECT_EQ(grid.LineScrollPos(c.vertical, c.forward, 75 + (c.vertical ? 0 : 1000)), c.to);
    }
}

TEST(GridLayout, AutoSizingMeasuresTheRowsItsStyleNames) {
    CGridModel grid;
    Fill(grid, 3, 3);
    grid.SetItemText(0, 1, QStringLiteral("A heading much wider than the data"));
    grid.SetItemText(2, 1, QStringLiteral("Data"));
    const int header = grid.GetCell(0, 1)->GetCellExtent().width();
    const int data =
        std::max(grid.GetCell(1, 1)->GetCellExtent().width(), grid.GetCell(2, 1)->GetCellExtent().width());
    ASSERT_GT(header, data);
    const struct {
        UINT style;
        int width;
    } cases[] = {{kAutoSizeHeader, header}, {kAutoSizeData, data}, {kAutoSizeHeader | kAutoSizeData, header}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        EXPECT_TRUE(grid.AutoSizeColumn(1, c.style));
        EXPECT_EQ(grid.GetColumnWidth(1), c.width);
    }
    grid.SetAutoSizeStyle(kAutoSizeData);
    grid.AutoSizeColumns();
    EXPECT_EQ(grid.GetColumnWidth(1), data) << "style 0 takes the grid's style";
    grid.SetColumnWidth(2, 0);
    EXPECT_FALSE(grid.AutoSizeColumn(2)) << "a hidden column stays hidden";
    grid.AutoSizeColumns();
    EXPECT_EQ(grid.GetColumnWidth(2), 0);
    EXPECT_FALSE(grid.AutoSizeColumn(3));

    grid.GetCell(1, 2)->SetText(QStringLiteral("two\nlines"));
    grid.GetCell(1, 2)->SetFormat(DT_WORDBREAK);
    EXPECT_TRUE(grid.AutoSizeRow(1));
    EXPECT_EQ(grid.GetRowHeight(1), grid.GetCell(1, 2)->GetCellExtent().height());
    EXPECT_GT(grid.GetRowHeight(1), grid.GetCell(1, 1)->GetCellExtent().height()) << "the highest cell";
}

TEST(GridCounts, ACellPutInPlaceReplacesTheOldOneAndLeavesTheSelection) {
    CGridModel grid;
    Fill(grid, 3, 3);
    grid.SetSelectedRange({1, 1, 2, 2});
    auto* cell = new CDataGridCell;
    cell->SetGrid(&grid);
    cell->SetText(QStringLiteral("new"));
    EXPECT_TRUE(grid.SetCell(1, 1, cell));
    EXPECT_EQ(grid.GetCell(1, 1), cell);
    EXPECT_EQ(grid.GetItemText(1, 1), "new");
    EXPECT_EQ(grid.GetSelectedCount(), 3) << "the old cell left the selection";
    CDataGridCell outside;
    EXPECT_FALSE(grid.SetCell(3, 0, &outside));
    EXPECT_FALSE(grid.SetCell(0, 0, nullptr));
}

// ---- images ----

TEST(GridImages, APictureKnownToTheListMovesTheTextAndWidensTheCell) {
    CGridModel grid;
    Fill(grid, 3, 3);
    CImageList images(16, 16);
    QPixmap red(16, 16);
    red.fill(Qt::red);
    ASSERT_EQ(images.Add(red), 0);
    CDataGridCellBase* cell = grid.GetCell(1, 1);
    const int margin = static_cast<int>(cell->GetMargin());
    const QSize plain = cell->GetCellExtent();
    QRect rect(0, 0, 100, 30);
    ASSERT_TRUE(cell->GetTextRect(rect));
    EXPECT_EQ(rect.left(), 0) << "no image";

    const struct {
        bool list;
        int image;
        bool known;
    } cases[] = {{false, 0, false}, {true, -1, false}, {true, 1, false}, {true, 0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.image);
        grid.SetImageList(c.list ? &images : nullptr);
        cell->SetImage(c.image);
        rect = QRect(0, 0, 100, 30);
        cell->GetTextRect(rect);
        EXPECT_EQ(rect.left(), c.known ? 16 + margin + 1 : 0);
        const QSize extent = cell->GetCellExtent();
        EXPECT_EQ(extent.width(), plain.width() + (c.known ? 16 + margin : 0));
        EXPECT_EQ(extent.height(), c.known ? std::max(plain.height(), 16 + 2 * margin + 1) : plain.height());
    }
}

TEST(GridImages, APictureIsDrawnWholeOrNotAtAll) {
    CGridModel grid;
    Fill(grid, 3, 3);
    CImageList images(16, 16);
    QPixmap red(16, 16);
    red.fill(Qt::red);
    images.Add(red);
    grid.SetImageList(&images);
    CDataGridCellBase* cell = grid.GetCell(1, 1);
    cell->SetImage(0);
    cell->SetMargin(2);
    const auto reds = [&](QSize size) {
        QImage canvas(120, 40, QImage::Format_RGB32);
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        cell->Draw(painter, 1, 1, QRect(QPoint(10, 5), size));
        painter.end();
        int count = 0;
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x)
                count += canvas.pixelColor(x, y) == QColor(Qt::red);
        return std::make_pair(count, canvas.pixelColor(12, 7));
    };
    const auto [whole, corner] = reds({100, 30});
    EXPECT_EQ(whole, 16 * 16);
    EXPECT_EQ(corner, QColor(Qt::red)) << "at the top-left inside the margin";
    EXPECT_EQ(reds({100, 19}).first, 0) << "one pixel short in height: no picture";
    EXPECT_EQ(reds({19, 30}).first, 0) << "one pixel short in width: no picture";
    EXPECT_EQ(reds({20, 20}).first, 16 * 16) << "exactly enough room";
}

// ---- system colours ----

TEST(GridColours, DefaultsThatWereSystemColoursFollowAChangeAndChosenOnesStay) {
    const QPalette original = QGuiApplication::palette();
    QPalette before = original;
    before.setColor(QPalette::WindowText, QColor(1, 1, 1));
    before.setColor(QPalette::Base, QColor(250, 250, 250));
    before.setColor(QPalette::Button, QColor(200, 200, 200));
    before.setColor(QPalette::Dark, QColor(100, 100, 100));
    QGuiApplication::setPalette(before);
    CGridModel grid;
    QGuiApplication::setPalette(original);
    grid.GetDefaultCell(true, false)->SetTextClr(RGB(0, 0, 255)); // chosen by the owner
    QPalette after = before;
    after.setColor(QPalette::WindowText, QColor(9, 9, 9));
    after.setColor(QPalette::Base, QColor(30, 30, 30));
    after.setColor(QPalette::Dark, QColor(60, 60, 60));

    grid.OnSysColorChange(after);
    EXPECT_EQ(grid.GetDefaultCell(false, false)->GetTextClr(), RGB(9, 9, 9));
    EXPECT_EQ(grid.GetDefaultCell(false, false)->GetBackClr(), RGB(30, 30, 30));
    EXPECT_EQ(grid.GetDefaultCell(true, false)->GetTextClr(), RGB(0, 0, 255)) << "the owner's colour stays";
    EXPECT_EQ(grid.GetDefaultCell(true, false)->GetBackClr(), RGB(200, 200, 200))
        << "button face is no window";
    EXPECT_EQ(grid.GetGridBkColor(), RGB(60, 60, 60));

    grid.SetGridBkColor(RGB(5, 6, 7));
    grid.OnSysColorChange(before);
    EXPECT_EQ(grid.GetDefaultCell(false, false)->GetTextClr(), RGB(1, 1, 1)) << "and back again";
    EXPECT_EQ(grid.GetGridBkColor(), RGB(5, 6, 7));
}

// ---- drag and drop ----

TEST(GridDragAndDrop, ADragMarksTheScrollableCellItIsOverAndNothingIsDropped) {
    TestGrid grid;
    FillUneven(grid);
    QRect cell11, cell12, header;
    ASSERT_TRUE(grid.GetCellRect(1, 1, cell11));
    ASSERT_TRUE(grid.GetCellRect(2, 2, cell12));
    ASSERT_TRUE(grid.GetCellRect(0, 1, header));
    EXPECT_EQ(grid.OnDragEnter(nullptr, 0, cell11.center()), DROPEFFECT_NONE);

    const struct {
        QPoint point;
        DWORD keys;
        DWORD effect;
        CCellID marked;
    } steps[] = {
        {cell11.center(), MK_LBUTTON, DROPEFFECT_MOVE, {1, 1}},
        {cell11.center(), MK_LBUTTON | MK_CONTROL, DROPEFFECT_COPY, {1, 1}},
        {cell12.center(), MK_LBUTTON, DROPEFFECT_MOVE, {2, 2}},
        {header.center(), MK_LBUTTON, DROPEFFECT_NONE, {-1, -1}},
        {QPoint(300, 50), MK_LBUTTON, DROPEFFECT_NONE, {-1, -1}}, // right of the last column
        {cell12.center(), MK_LBUTTON, DROPEFFECT_MOVE, {2, 2}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(testing::Message() << step.point.x() << "," << step.point.y());
        EXPECT_EQ(grid.OnDragOver(nullptr, step.keys, step.point), step.effect);
        EXPECT_EQ(grid.LastDragOverCell(), step.marked);
        int marked = 0;
        for (int r = 0; r < grid.GetRowCount(); ++r)
            for (int c = 0; c < grid.GetColumnCount(); ++c)
                if (grid.GetCell(r, c)->IsDropHighlighted()) {
                    ++marked;
                    EXPECT_EQ((CCellID{r, c}), step.marked);
                }
        EXPECT_EQ(marked, step.marked.row >= 0 ? 1 : 0) << "only the cell under the drag is marked";
    }
    grid.OnDragLeave();
    EXPECT_FALSE(grid.GetCell(2, 2)->IsDropHighlighted());
    grid.OnDragOver(nullptr, MK_LBUTTON, cell12.center());
    grid.SetMouseMode(MOUSE_PREPARE_DRAG);
    EXPECT_FALSE(grid.OnDrop(nullptr, DROPEFFECT_MOVE, cell12.center()));
    EXPECT_EQ(grid.MouseMode(), MOUSE_NOTHING);
    EXPECT_FALSE(grid.GetCell(2, 2)->IsDropHighlighted());
    EXPECT_EQ(grid.GetItemText(2, 2), "2,2");
}

// ---- navigation ----

TEST(GridKeys, ArrowsSkipHiddenRowsAndColumnsAndNeverEnterTheFixedArea) {
    CGridModel grid;
    Fill(grid, 5, 5);
    grid.SetRowHeight(2, 0);
    grid.SetColumnWidth(3, 0);
    grid.SetFocusCell(1, 2);
    const struct {
        int key;
        bool shift;
        bool ctrl;
        CCellID to;
        bool passOn;
    } cases[] = {
        {VK_DOWN, false, false, {3, 2}, false},  {VK_UP, false, false, {1, 2}, false},
        {VK_RIGHT, false, false, {1, 4}, false}, {VK_LEFT, false, false, {1, 1}, false},
        {VK_TAB, false, false, {1, 4}, false},   {VK_TAB, true, false, {1, 1}, false},
        {VK_HOME, false, false, {1, 1}, false},  {VK_END, false, true, {4, 4}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        bool passOn = true;
        EXPECT_EQ(grid.KeyTarget(c.key, c.shift, c.ctrl, &passOn), c.to);
        EXPECT_EQ(passOn, c.passOn);
    }
    grid.SetFocusCell(1, 1);
    EXPECT_EQ(grid.KeyTarget(VK_LEFT, false, false), (CCellID{1, 1}));
    EXPECT_EQ(grid.KeyTarget(VK_UP, false, false), (CCellID{1, 1}));
    bool passOn = false;
    EXPECT_EQ(grid.KeyTarget(VK_TAB, true, false, &passOn), (CCellID{1, 1}));
    EXPECT_TRUE(passOn) << "Shift+Tab in the first cell leaves the grid";

    grid.SetFocusCell(1, 4);
    EXPECT_EQ(grid.KeyTarget(VK_TAB, false, false), (CCellID{3, 1}))
        << "Tab at a row's end goes to the next row";
    grid.SetFocusCell(4, 4);
    EXPECT_EQ(grid.KeyTarget(VK_TAB, false, false, &passOn), (CCellID{4, 4}));
    EXPECT_TRUE(passOn) << "Tab in the last cell keeps the focus and passes the key on";
}

// ---- cells ----

TEST(GridCells, OrdinaryCellsTakeTheirKindsDefaultsAndDefaultCellsStayReadOnly) {
    CGridModel grid;
    Fill(grid, 3, 3);
    grid.GetDefaultCell(true, false)->SetFormat(DT_CENTER);
    grid.GetDefaultCell(false, true)->SetFormat(DT_RIGHT);
    grid.GetDefaultCell(true, true)->SetMargin(7);
    CDataGridCellBase* header = grid.GetCell(0, 1);
    header->SetFormat(kDefaultFormat);
    EXPECT_EQ(header->GetFormat(), DT_CENTER);
    CDataGridCellBase* side = grid.GetCell(1, 0);
    side->SetFormat(kDefaultFormat);
    EXPECT_EQ(side->GetFormat(), DT_RIGHT);
    EXPECT_EQ(grid.GetCell(0, 0)->GetMargin(), 7u);
    EXPECT_EQ(grid.GetCell(1, 1)->GetFont(), grid.GetDefaultCell(false, false)->GetFont());
    EXPECT_EQ(
        grid.GetCell(1, 1)->GetTextExtent(QString()),
        QSize(grid.GetDefaultCell(false, false)->GetWidth(), grid.GetDefaultCell(false, false)->GetHeight()));

    CDataGridDefaultCell* defaults = grid.GetDefaultCell(false, false);
    defaults->SetState(0);
    defaults->SetData(42);
    EXPECT_TRUE(defaults->IsReadOnly());
    EXPECT_EQ(defaults->GetData(), 0);

    CDataGridCell copy;
    copy.Assign(*grid.GetCell(1, 1));
    EXPECT_EQ(copy.GetText(), "1,1");
    EXPECT_TRUE(copy.IsDefaultFont());
    EXPECT_EQ(copy.GetEditWnd(), nullptr);

    QPixmap pixmap(50, 50);
    QPainter painter(&pixmap);
    EXPECT_FALSE(grid.GetCell(1, 1)->Draw(painter, 1, 1, QRect(0, 0, 0, 10)));
    EXPECT_FALSE(copy.Draw(painter, 1, 1, QRect(0, 0, 0, 10)));
    EXPECT_TRUE(grid.GetCell(1, 1)->Draw(painter, 1, 1, QRect(0, 0, 40, 20)));
    CDataGridCell lonely;
    EXPECT_FALSE(lonely.Draw(painter, 1, 1, QRect(0, 0, 40, 20))) << "no grid, nothing drawn";
}

} // namespace
