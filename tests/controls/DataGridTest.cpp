// The grid's window offscreen: keys open and end the in-place editor, the editor's own keys, and editors of
// two grids that do not hinder each other.
#include "controls/DataGrid.h"
#include "app/ColorRef.h"
#include "controls/CellEditor.h"
#include "tests/controls/GridInput.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

void Key(QWidget* target, int key, const QString& text = {},
         Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
}

class DataGridTest : public ::testing::Test {
protected:
    DataGridTest() {
        Fill(grid);
        grid.resize(400, 200);
        grid.show();
        grid.SetFocusCell(1, 1);
    }
    ~DataGridTest() override { QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    static void Fill(CDataGrid& g) {
        g.SetRowCount(4);
        g.SetColumnCount(4);
        g.SetFixedRowCount(1);
        g.SetFixedColumnCount(1);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c)
                g.SetItemText(r, c, QStringLiteral("t%1%2").arg(r).arg(c));
    }
    CDataGrid grid;
};

TEST_F(DataGridTest, TypingALetterOpensTheEditorWithJustThatLetter) {
    Key(&grid, Qt::Key_X, "x");
    CCellEditor* edit = Editor(grid);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "x");
    EXPECT_TRUE(edit->ExitsOnArrows());
    Key(edit, Qt::Key_Right);
    EXPECT_EQ(grid.GetItemText(1, 1), "x") << "an editor opened by typing ends on an arrow key";
    EXPECT_EQ(grid.GetFocusCell(), (CCellID{1, 2}));
    CCellEditor* next = Editor(grid);
    ASSERT_NE(next, nullptr) << "the arrow opens the editor on the cell it leads to";
    Key(next, Qt::Key_Escape);
    EXPECT_EQ(grid.GetItemText(1, 2), "t12");
}

TEST_F(DataGridTest, EveryPrintableCharacterThatOpensTheEditorIsItsFirst) {
    // Space and '!' .. '(' share their codes with the page, arrow and Home/End keys.
    for (const char* typed : {" ", "!", "\"", "#", "$", "%", "&", "'", "(", ")", "~", "a", "7", "é"}) {
        const QString text = QString::fromUtf8(typed);
        Key(&grid, Qt::Key_unknown, text);
        CCellEditor* edit = Editor(grid);
        ASSERT_NE(edit, nullptr) << typed;
        Key(edit, Qt::Key_Z, "z");
        EXPECT_EQ(edit->text(), text + "z") << typed;
        Key(edit, Qt::Key_Return, "\r");
        EXPECT_EQ(grid.GetItemText(1, 1), text + "z") << typed;
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        grid.setFocus();
        grid.SetFocusCell(1, 1);
    }
}

TEST_F(DataGridTest, ScreenReadersReadEveryCellWithItsRowColumnTextAndHeaders) {
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&grid);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->role(), QAccessible::Table);
    QAccessibleTableInterface* cells = table->tableInterface();
    ASSERT_NE(cells, nullptr);
    EXPECT_EQ(cells->rowCount(), 4);
    EXPECT_EQ(cells->columnCount(), 4);
    EXPECT_EQ(table->childCount(), 16);
    const struct {
        int row, col;
        QAccessible::Role role;
    } cases[] = {{0, 0, QAccessible::ColumnHeader}, {0, 2, QAccessible::ColumnHeader},
                 {2, 0, QAccessible::RowHeader},    {1, 1, QAccessible::Cell},
                 {2, 3, QAccessible::Cell},         {3, 2, QAccessible::Cell}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.row) + "," + std::to_string(c.col));
        QAccessibleInterface* cell = cells->cellAt(c.row, c.col);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->text(QAccessible::Name), QStringLiteral("t%1%2").arg(c.row).arg(c.col));
        EXPECT_EQ(cell->role(), c.role);
        ASSERT_NE(cell->tableCellInterface(), nullptr);
        EXPECT_EQ(cell->tableCellInterface()->rowIndex(), c.row);
        EXPECT_EQ(cell->tableCellInterface()->columnIndex(), c.col);
        EXPECT_EQ(cell->parent(), table);
        EXPECT_EQ(table->indexOfChild(cell), c.row * 4 + c.col);
        EXPECT_EQ(table->child(c.row * 4 + c.col), cell) << "the same cell every time it is asked for";
        if (c.role == QAccessible::Cell) {
            const auto columnHeads = cell->tableCellInterface()->columnHeaderCells();
            ASSERT_EQ(columnHeads.size(), 1);
            EXPECT_EQ(columnHeads[0]->text(QAccessible::Name), QStringLiteral("t0%1").arg(c.col));
            const auto rowHeads = cell->tableCellInterface()->rowHeaderCells();
            ASSERT_EQ(rowHeads.size(), 1);
            EXPECT_EQ(rowHeads[0]->text(QAccessible::Name), QStringLiteral("t%1").arg(c.row) + "0");
        }
    }
    // The focus cell is the one a reader is on; a cell shows where it is on the screen.
    grid.SetFocusCell(2, 3);
    ASSERT_NE(table->focusChild(), nullptr);
    EXPECT_EQ(table->focusChild()->text(QAccessible::Name), "t23");
    QRect rect;
    ASSERT_TRUE(grid.GetCellRect(1, 2, rect));
    EXPECT_EQ(cells->cellAt(1, 2)->rect(), QRect(grid.viewport()->mapToGlobal(rect.topLeft()), rect.size()));
    EXPECT_EQ(
        table->childAt(cells->cellAt(1, 2)->rect().center().x(), cells->cellAt(1, 2)->rect().center().y()),
        cells->cellAt(1, 2));
    // A text changed is read anew; a cell the grid no longer has is no longer valid.
    grid.SetItemText(3, 3, "changed");
    EXPECT_EQ(cells->cellAt(3, 3)->text(QAccessible::Name), "changed");
    QAccessibleInterface* last = cells->cellAt(3, 3);
    grid.SetRowCount(3);
    EXPECT_FALSE(last->isValid());
    EXPECT_EQ(cells->rowCount(), 3);
    EXPECT_EQ(cells->cellAt(3, 3), nullptr);
}

TEST_F(DataGridTest, EnterKeepsTheTextAndEscapePutsItBack) {
    Key(&grid, Qt::Key_Return, "\r");
    CCellEditor* edit = Editor(grid);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "t11");
    EXPECT_EQ(edit->cursorPosition(), 3);
    edit->setText("changed");
    Key(edit, Qt::Key_Escape);
    EXPECT_EQ(edit->ExitKey(), 27u);
    EXPECT_EQ(grid.GetItemText(1, 1), "t11");
    EXPECT_EQ(Editor(grid), nullptr);
    Key(&grid, Qt::Key_Escape, QString(QChar(27)));
    EXPECT_EQ(Editor(grid), nullptr) << "Escape typed into the grid does not start editing";
}

TEST_F(DataGridTest, AnEditorOpenedByTheMouseKeepsItsArrowsAndTabGoesOn) {
    grid.OnEditCell(1, 1, QPoint(5, 5), VK_LBUTTON);
    CCellEditor* edit = Editor(grid);
    ASSERT_NE(edit, nullptr);
    EXPECT_FALSE(edit->ExitsOnArrows());
    Key(edit, Qt::Key_Left);
    EXPECT_EQ(Editor(grid), edit) << "the caret moves; the edit goes on";
    edit->setText("a");
    Key(edit, Qt::Key_Tab);
    EXPECT_EQ(grid.GetItemText(1, 1), "a");
    EXPECT_EQ(grid.GetFocusCell(), (CCellID{1, 2}));
    ASSERT_NE(Editor(grid), nullptr) << "Tab opens the editor on the next cell";
    Editor(grid)->EndEdit();
}

TEST_F(DataGridTest, ReadOnlyCellsAndAParentRefusalOpenNoEditor) {
    grid.SetItemState(1, 1, grid.GetItemState(1, 1) | DGIS_READONLY);
    Key(&grid, Qt::Key_A, "a");
    EXPECT_EQ(Editor(grid), nullptr);
    grid.SetFocusCell(2, 2);
    QObject::connect(&grid, &CDataGrid::notify, [](int code, int, int, LRESULT* result) {
        if (code == DGN_BEGINLABELEDIT)
            *result = -1;
    });
    Key(&grid, Qt::Key_A, "a");
    EXPECT_EQ(Editor(grid), nullptr);
}

TEST_F(DataGridTest, EditorsOfTwoGridsEndEachOnTheirOwn) {
    CDataGrid other;
    Fill(other);
    other.resize(400, 200);
    other.show();
    other.SetFocusCell(1, 1);
    grid.OnEditCell(1, 1, QPoint(-1, -1), 'p');
    other.OnEditCell(1, 1, QPoint(-1, -1), 'q');
    CCellEditor* first = Editor(grid);
    CCellEditor* second = Editor(other);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    first->EndEdit();
    second->EndEdit();
    EXPECT_EQ(grid.GetItemText(1, 1), "p");
    EXPECT_EQ(other.GetItemText(1, 1), "q");
}

TEST_F(DataGridTest, ARightClickMovesTheFocusOutOfTheHeaderAndTellsTheParent) {
    std::vector<std::tuple<int, int, int>> notes;
    QObject::connect(&grid, &CDataGrid::notify,
                     [&](int code, int row, int col, LRESULT*) { notes.emplace_back(code, row, col); });
    QRect header;
    ASSERT_TRUE(grid.GetCellRect(0, 2, header));
    grid.OnRButtonUp(header.center());
    EXPECT_EQ(grid.GetFocusCell(), (CCellID{1, 2}));
    EXPECT_EQ(notes.back(), std::make_tuple(NM_RCLICK, 0, 2));
    grid.OnRButtonUp(QPoint(390, 190)); // below and right of every cell
    EXPECT_EQ(notes.back(), std::make_tuple(NM_RCLICK, -1, -1));
}

TEST_F(DataGridTest, ArrowsMoveTheFocusAndSelectTheCell) {
    Key(&grid, Qt::Key_Down);
    EXPECT_EQ(grid.GetFocusCell(), (CCellID{2, 1}));
    EXPECT_TRUE(grid.IsCellSelected(2, 1));
    Key(&grid, Qt::Key_Down, {}, Qt::ShiftModifier);
    EXPECT_EQ(grid.GetSelectedCellRange(), (CCellRange{2, 1, 3, 1}));
    Key(&grid, Qt::Key_C, {}, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "t21\r\nt31");
}

TEST_F(DataGridTest, APressOnTheFocusCellsTextEditsOnlyWhenTheMouseStaysStill) {
    CImageList images(16, 16);
    QPixmap picture(16, 16);
    picture.fill(Qt::green);
    images.Add(picture);
    grid.SetImageList(&images);
    grid.GetCell(1, 1)->SetImage(0);
    QRect cell;
    ASSERT_TRUE(grid.GetCellRect(1, 1, cell));
    QRect text = cell;
    grid.GetCell(1, 1)->GetTextRect(text);
    const auto click = [&](QPoint at, QPoint releaseAt) {
        Mouse(grid.viewport(), QEvent::MouseButtonPress, at);
        if (releaseAt != at)
            Mouse(grid.viewport(), QEvent::MouseMove, releaseAt, Qt::LeftButton);
        Mouse(grid.viewport(), QEvent::MouseButtonRelease, releaseAt);
    };
    click(QPoint(cell.left() + 3, cell.center().y()), QPoint(cell.left() + 3, cell.center().y()));
    EXPECT_EQ(Editor(grid), nullptr) << "a press on the picture does not edit";
    click(text.center(), text.center() + QPoint(4, 0));
    EXPECT_EQ(Editor(grid), nullptr) << "the mouse moved: no edit";
    EXPECT_EQ(grid.MouseMode(), MOUSE_NOTHING);
    EXPECT_EQ(grid.GetFocusCell(), (CCellID{-1, -1})) << "that click let go of the focus";
    click(text.center(), text.center());
    EXPECT_EQ(Editor(grid), nullptr) << "a click on another than the focus cell only moves the focus";
    EXPECT_EQ(grid.GetFocusCell(), (CCellID{1, 1}));
    click(text.center(), text.center());
    ASSERT_NE(Editor(grid), nullptr);
    EXPECT_FALSE(Editor(grid)->ExitsOnArrows()) << "opened by the mouse";
    Editor(grid)->EndEdit();
}

TEST_F(DataGridTest, WithDragAndDropOnAPressOnTheSelectionKeepsItUntilTheRelease) {
    grid.SetSelectedRange({1, 1, 2, 2});
    QRect cell;
    ASSERT_TRUE(grid.GetCellRect(2, 2, cell));
    grid.EnableDragAndDrop(true);
    Mouse(grid.viewport(), QEvent::MouseButtonPress, cell.center());
    EXPECT_EQ(grid.MouseMode(), MOUSE_PREPARE_DRAG);
    EXPECT_EQ(grid.GetSelectedCount(), 4) << "a drag may start from the whole selection";
    Mouse(grid.viewport(), QEvent::MouseMove, cell.center() + QPoint(5, 0), Qt::LeftButton);
    Mouse(grid.viewport(), QEvent::MouseButtonRelease, cell.center() + QPoint(5, 0));
    EXPECT_EQ(grid.GetSelectedCount(), 0) << "nothing was dragged: the press was a click";
    EXPECT_EQ(grid.MouseMode(), MOUSE_NOTHING);

    grid.EnableDragAndDrop(false);
    grid.SetSelectedRange({1, 1, 2, 2});
    Mouse(grid.viewport(), QEvent::MouseButtonPress, cell.center());
    EXPECT_EQ(grid.MouseMode(), MOUSE_SELECT_CELLS) << "without drag and drop a press selects anew";
    Mouse(grid.viewport(), QEvent::MouseButtonRelease, cell.center());
    EXPECT_EQ(grid.GetSelectedCellRange(), (CCellRange{2, 2, 2, 2}));
}

TEST(GridRedrawTest, WhileDrawingIsOffTheBarsWaitAndNothingIsPainted) {
    CDataGrid grid;
    grid.resize(300, 200);
    grid.show();
    grid.SetRedraw(false);
    grid.SetRowCount(100);
    grid.SetColumnCount(3);
    EXPECT_EQ(grid.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff) << "the bars wait";
    QImage canvas(300, 200, QImage::Format_RGB32);
    canvas.fill(Qt::magenta);
    {
        QPainter painter(&canvas);
        grid.OnDraw(painter, canvas.rect());
    }
    EXPECT_EQ(canvas.pixelColor(150, 100), QColor(Qt::magenta)) << "nothing drawn";
    grid.SetRedraw(true, true);
    EXPECT_EQ(grid.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    {
        QPainter painter(&canvas);
        grid.OnDraw(painter, canvas.rect());
    }
    EXPECT_NE(canvas.pixelColor(150, 100), QColor(Qt::magenta));
}

QImage Painted(CDataGrid& grid) {
    QApplication::processEvents(); // the viewport takes its size
    QImage canvas(grid.viewport()->size(), QImage::Format_RGB32);
    EXPECT_FALSE(canvas.isNull());
    canvas.fill(Qt::magenta);
    QPainter painter(&canvas);
    grid.OnDraw(painter, canvas.rect());
    return canvas;
}

TEST(GridPaintTest, APartlyScrolledColumnNeverPaintsOverTheFixedOnes) {
    CDataGrid grid;
    grid.resize(300, 160);
    grid.show();
    grid.SetRowCount(5);
    grid.SetColumnCount(10);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 10; ++c) {
            grid.SetColumnWidth(c, 60);
            if (r > 0 && c > 0)
                grid.SetItemBkColour(r, c, RGB(255, 0, 0));
        }
    const struct {
        int scrolled; // pixels the columns are scrolled by
        bool partly;
    } cases[] = {{0, false}, {25, true}, {59, true}, {60, false}, {130, true}};
    for (const auto& c : cases) {
        grid.horizontalScrollBar()->setValue(c.scrolled);
        ASSERT_EQ(grid.HPartialOffset() != 0, c.partly) << c.scrolled;
        const QImage canvas = Painted(grid);
        const int fixedWidth = grid.GetFixedColumnWidth();
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < fixedWidth; ++x)
                ASSERT_NE(canvas.pixelColor(x, y), QColor(255, 0, 0))
                    << "a scrolled cell painted over the fixed column at " << x << "," << y << " scrolled by "
                    << c.scrolled;
        EXPECT_EQ(canvas.pixelColor(fixedWidth + 2, grid.GetFixedRowHeight() + 2), QColor(255, 0, 0))
            << "the scrolled cells still show right of the fixed column, scrolled by " << c.scrolled;
    }
}

TEST(GridPaintTest, TheFocusCellShowsAClosedBoxInsideTheGridLines) {
    CDataGrid grid;
    grid.resize(300, 160);
    grid.show();
    grid.SetRowCount(4);
    grid.SetColumnCount(4);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    for (int c = 0; c < 4; ++c)
        grid.SetColumnWidth(c, 60);
    const CCellID cells[] = {{1, 1}, {2, 3}, {3, 2}};
    for (const CCellID cell : cells) {
        grid.SetFocusCell(cell.row, cell.col);
        const QImage canvas = Painted(grid);
        QRect rect;
        ASSERT_TRUE(grid.GetCellRect(cell.row, cell.col, rect));
        const QColor box = ColorFromRef(grid.GetDefaultCell(false, false)->GetTextClr());
        const QColor line = ColorFromRef(grid.GetGridLineColor());
        ASSERT_NE(box, line);
        // The box runs on the cell's first column and row and on the last ones before its grid lines.
        for (int y = rect.top(); y < rect.bottom(); ++y) {
            EXPECT_EQ(canvas.pixelColor(rect.left(), y), box) << "left edge, y " << y;
            EXPECT_EQ(canvas.pixelColor(rect.right() - 1, y), box) << "right edge, y " << y;
            EXPECT_EQ(canvas.pixelColor(rect.right(), y), line) << "the grid line right of it, y " << y;
        }
        for (int x = rect.left(); x < rect.right(); ++x) {
            EXPECT_EQ(canvas.pixelColor(x, rect.top()), box) << "top edge, x " << x;
            EXPECT_EQ(canvas.pixelColor(x, rect.bottom() - 1), box) << "bottom edge, x " << x;
            EXPECT_EQ(canvas.pixelColor(x, rect.bottom()), line) << "the grid line below it, x " << x;
        }
    }
}

// Scrolling goes by whole rows of their own heights: a line step, the wheel and EnsureVisible never leave a
// row cut at the top.
TEST(GridScrollTest, LinesWheelAndEnsureVisibleMoveByWholeRows) {
    CDataGrid grid;
    grid.SetRowCount(40);
    grid.SetColumnCount(8);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    for (int r = 1; r < 40; ++r)
        grid.SetRowHeight(r, r % 2 ? 15 : 35);
    for (int c = 1; c < 8; ++c)
        grid.SetColumnWidth(c, 40 + 10 * c);
    grid.resize(300, 200);
    grid.show();
    QScrollBar* v = grid.verticalScrollBar();
    QScrollBar* h = grid.horizontalScrollBar();
    const auto rowStart = [&](int row) {
        int y = 0;
        for (int r = 1; r < row; ++r)
            y += grid.GetRowHeight(r);
        return y;
    };
    const auto top = [&] { return grid.GetTopleftNonFixedCell(); };

    v->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(top().row, 2);
    EXPECT_EQ(v->value(), 15);
    v->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(top().row, 3);
    EXPECT_EQ(v->value(), 50);
    v->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(top().row, 2);

    // A page step ends inside a row; the next line step still shows the next row on top.
    v->triggerAction(QAbstractSlider::SliderPageStepAdd);
    const int afterPage = top().row;
    v->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(top().row, afterPage + 1);
    EXPECT_EQ(v->value(), rowStart(afterPage + 1));

    v->setValue(0);
    QWheelEvent notch(QPointF(50, 50), grid.mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(grid.viewport(), &notch);
    EXPECT_EQ(top().row, 1 + QApplication::wheelScrollLines()) << "one notch down, that many rows";

    h->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(h->value(), 50) << "one whole column";
    EXPECT_EQ(top().col, 2);

    for (const CCellID target : {CCellID{30, 6}, CCellID{3, 2}, CCellID{39, 7}, CCellID{1, 1}}) {
        SCOPED_TRACE(testing::Message() << target.row << "," << target.col);
        grid.EnsureVisible(target.row, target.col);
        QRect rect;
        ASSERT_TRUE(grid.GetCellRect(target.row, target.col, rect));
        EXPECT_TRUE(grid.viewport()->rect().contains(rect)) << "the cell is wholly in view";
        EXPECT_GE(rect.left(), grid.GetFixedColumnWidth());
        EXPECT_EQ(v->value(), rowStart(top().row)) << "no row is left cut at the top";
    }
}

} // namespace
