// The grid's companions offscreen: the cell tip that shows a cut text whole and hands on what closes it,
// and the drop target that gives the grid's window its drag hooks.
#include "controls/CellEditor.h"
#include "controls/DataGrid.h"
#include "tests/controls/GridInput.h"

#include <QApplication>
#include <QDragMoveEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace {

class CellTipTest : public ::testing::Test {
protected:
    CellTipTest() {
        grid.SetRowCount(4);
        grid.SetColumnCount(3);
        grid.SetFixedRowCount(1);
        grid.SetFixedColumnCount(1);
        grid.SetItemText(1, 1, QStringLiteral("Park Tae-joon of the Republic of Korea"));
        grid.SetItemText(1, 2, QStringLiteral("ab"));
        grid.SetColumnWidth(1, 60);
        grid.SetColumnWidth(2, 60);
        grid.resize(400, 200);
        grid.show();
        grid.activateWindow();
        grid.setFocus();
        QApplication::processEvents();
    }
    ~CellTipTest() override { QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    QPoint Centre(int row, int col) {
        QRect rect;
        EXPECT_TRUE(grid.GetCellRect(row, col, rect));
        return rect.center();
    }
    CDataGrid grid;
};

TEST_F(CellTipTest, ACutTextShowsWholeOverItsCellAndAShortOneDoesNot) {
    ASSERT_NE(QApplication::focusWidget(), nullptr) << "the tip shows only while the program has the focus";
    CCellTip& tip = grid.CellTip();
    Hover(grid.viewport(), Centre(1, 2));
    EXPECT_FALSE(tip.isVisible()) << "a text that fits needs no tip";

    Hover(grid.viewport(), Centre(1, 1));
    ASSERT_TRUE(tip.isVisible());
    EXPECT_EQ(tip.Text(), " Park Tae-joon of the Republic of Korea ");
    QRect cell;
    grid.GetCellRect(1, 1, cell);
    EXPECT_EQ(tip.geometry().topLeft(), grid.viewport()->mapToGlobal(cell.topLeft()));
    EXPECT_EQ(tip.height(), cell.height());
    EXPECT_GT(tip.width(), cell.width()) << "as wide as the text, not the cell";
    EXPECT_EQ(tip.HoverRect(), QRect(0, 0, cell.width() + 1, cell.height() + 1));
    EXPECT_EQ(QWidget::mouseGrabber(), &tip) << "the tip holds the mouse while open";
    EXPECT_NE(QApplication::focusWidget(), &tip) << "and never takes the focus";

    // Inside the cell it stays; one pixel out of it, it closes and the grid gets the move.
    Hover(&tip, QPoint(cell.width() - 1, cell.height() / 2));
    EXPECT_TRUE(tip.isVisible());
    Hover(&tip, QPoint(cell.width() + 2, cell.height() / 2));
    EXPECT_FALSE(tip.isVisible());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(CellTipTest, APressOnTheTipClosesItAndReachesTheCellBelow) {
    Hover(grid.viewport(), Centre(1, 1));
    CCellTip& tip = grid.CellTip();
    ASSERT_TRUE(tip.isVisible());
    const QPoint inTip(5, 5);
    Mouse(&tip, QEvent::MouseButtonPress, inTip);
    Mouse(&tip, QEvent::MouseButtonRelease, inTip);
    EXPECT_FALSE(tip.isVisible());
    QApplication::sendPostedEvents();
    EXPECT_EQ(grid.GetFocusCell(), (CCellID{1, 1})) << "the click went on to the cell under the tip";
    EXPECT_TRUE(grid.IsCellSelected(1, 1));
    EXPECT_EQ(grid.MouseMode(), MOUSE_NOTHING) << "the release followed the press";

    // A second press soon after is a double click for the cell below, which opens its editor.
    bool doubleClick = false;
    QObject::connect(&grid, &CDataGrid::notify, [&](int code, int row, int col, LRESULT*) {
        doubleClick = doubleClick || (code == NM_DBLCLK && row == 1 && col == 1);
    });
    Hover(grid.viewport(), Centre(1, 1));
    ASSERT_TRUE(tip.isVisible());
    Mouse(&tip, QEvent::MouseButtonPress, inTip);
    Mouse(&tip, QEvent::MouseButtonRelease, inTip);
    QApplication::sendPostedEvents();
    EXPECT_TRUE(doubleClick);
    CCellEditor* open = Editor(grid);
    ASSERT_NE(open, nullptr) << "an editor is open";
    open->EndEdit();
}

TEST_F(CellTipTest, KeysEditingAndTheSwitchKeepTheTipClosed) {
    CCellTip& tip = grid.CellTip();
    Hover(grid.viewport(), Centre(1, 1));
    ASSERT_TRUE(tip.isVisible());
    grid.SetFocusCell(2, 1);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(&grid, &down);
    EXPECT_FALSE(tip.isVisible()) << "a key closes the tip";

    grid.OnEditCell(1, 1, QPoint(-1, -1), VK_LBUTTON);
    Hover(grid.viewport(), Centre(1, 1));
    EXPECT_FALSE(tip.isVisible()) << "no tip over the cell being edited";
    grid.EndEditing();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    grid.setFocus();

    grid.EnableCellTips(false);
    Hover(grid.viewport(), Centre(1, 1));
    EXPECT_FALSE(tip.isVisible()) << "cell tips switched off";
    grid.EnableCellTips(true);
    grid.SetCellTipBackClr(RGB(255, 255, 0));
    Hover(grid.viewport(), Centre(1, 1));
    ASSERT_TRUE(tip.isVisible());
    EXPECT_EQ(tip.grab().toImage().pixelColor(tip.width() - 3, 3), QColor(255, 255, 0)) << "the tip colour";
    grid.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_FALSE(tip.isVisible()) << "scrolling closes the tip";
    grid.verticalScrollBar()->setValue(0);

    Hover(grid.viewport(), Centre(1, 1));
    ASSERT_TRUE(tip.isVisible());
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(tip.isVisible()) << "the program lost the focus";
    grid.clearFocus();
    ASSERT_EQ(QApplication::focusWidget(), nullptr);
    Hover(grid.viewport(), Centre(1, 1));
    EXPECT_FALSE(tip.isVisible()) << "no tip while no window of the program has the focus";
}

// ---- drop target ----

TEST(DataGridDropTargetTest, RegistersOnceOnAGridOnlyAndAnswersForItsGridAlone) {
    CDataGrid grid;
    grid.resize(300, 150);
    grid.show();
    EXPECT_TRUE(grid.DropTarget().IsRegistered()) << "the grid registers its target when it is sized";
    EXPECT_FALSE(grid.DropTarget().Register(&grid)) << "a second registration";
    EXPECT_TRUE(grid.viewport()->acceptDrops());

    CDataGridDropTarget spare;
    QWidget plain;
    EXPECT_FALSE(spare.Register(nullptr));
    EXPECT_FALSE(spare.Register(&plain)) << "not a grid";
    EXPECT_EQ(spare.OnDragScroll(&grid, MK_CONTROL, {}), DROPEFFECT_NONE) << "not its grid";
    EXPECT_EQ(grid.DropTarget().OnDragScroll(&grid, MK_CONTROL, {}), DROPEFFECT_COPY);
    EXPECT_EQ(grid.DropTarget().OnDragScroll(&grid, 0, {}), DROPEFFECT_MOVE);
    EXPECT_EQ(grid.DropTarget().OnDragOver(&plain, nullptr, 0, {}), DROPEFFECT_NONE);

    grid.DropTarget().Revoke();
    EXPECT_FALSE(grid.DropTarget().IsRegistered());
    EXPECT_FALSE(grid.viewport()->acceptDrops());
    EXPECT_TRUE(grid.DropTarget().Register(&grid)) << "registered again after a revoke";
}

TEST(DataGridDropTargetTest, DragsOverTheWindowMarkCellsAndDropsAreRefused) {
    CDataGrid grid;
    grid.SetRowCount(4);
    grid.SetColumnCount(3);
    grid.SetFixedRowCount(1);
    grid.SetFixedColumnCount(1);
    grid.SetItemText(2, 2, QStringLiteral("kept"));
    grid.resize(400, 200);
    grid.show();
    QRect cell;
    ASSERT_TRUE(grid.GetCellRect(2, 2, cell));
    QMimeData data;
    data.setText(QStringLiteral("dropped"));

    QDragEnterEvent enter(cell.center(), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted()) << "the drag stays with the grid so its moves arrive";
    EXPECT_EQ(enter.dropAction(), Qt::IgnoreAction) << "but it may not drop";

    QDragMoveEvent move(cell.center(), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                        Qt::ControlModifier);
    QApplication::sendEvent(grid.viewport(), &move);
    EXPECT_TRUE(move.isAccepted());
    EXPECT_EQ(move.dropAction(), Qt::CopyAction) << "Ctrl copies";
    EXPECT_TRUE(grid.GetCell(2, 2)->IsDropHighlighted());

    QDropEvent drop(cell.center(), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &drop);
    EXPECT_FALSE(drop.isAccepted());
    EXPECT_EQ(grid.GetItemText(2, 2), "kept");
    EXPECT_FALSE(grid.GetCell(2, 2)->IsDropHighlighted());

    QApplication::sendEvent(grid.viewport(), &move);
    QDragLeaveEvent leave;
    QApplication::sendEvent(grid.viewport(), &leave);
    EXPECT_FALSE(grid.GetCell(2, 2)->IsDropHighlighted()) << "leaving takes the mark away";
}

} // namespace
