// The operator's keys and the event lists: the lists record what happened and never take the keyboard, so
// Space runs the clock and a typed letter changes nothing, however the operator reached the window.
#include "tests/e2e/Court.h"

#include "app/MyListCtrl.h"
#include "screens/OperatorLayout.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class EventListKeys : public Court {
protected:
    void SetUp() override {
        Court::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_NO_FATAL_FAILURE(Configure(3, 0));
        ASSERT_NO_FATAL_FAILURE(RegisterAndLoad("001", "KIM MINJUN", "LEE SEOYEON"));
        ASSERT_NO_FATAL_FAILURE(PairDevices());
        CloseRegistration();
    }
    // Every cell of a list, row by row, columns joined by '|'.
    static std::vector<std::string> Cells(const CMyListCtrl& list) {
        std::vector<std::string> rows;
        for (int row = 0; row < list.rowCount(); ++row) {
            std::string line;
            for (int column = 0; column < list.columnCount(); ++column) {
                if (column)
                    line += '|';
                if (const QTableWidgetItem* item = list.item(row, column))
                    line += item->text().toStdString();
            }
            rows.push_back(line);
        }
        return rows;
    }
    static bool InAnEventList(const QWidget* w) {
        for (; w; w = w->parentWidget())
            if (qobject_cast<const CMyListCtrl*>(w))
                return true;
        return false;
    }
};

TEST_F(EventListKeys, TheListsTakeNoKeysAndSpaceRunsTheClock) {
    CMyListCtrl* chung = view->EventList(OperatorIds::EventListChung);
    // A row in Chung's list: a trunk kick by the operator's button while the clock is stopped.
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3);
    Advance(2000);
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 8);
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(1120)));
    Scores({2, 0});
    const std::vector<std::string> before = Cells(*chung);
    ASSERT_EQ(before.size(), 1u);

    // The operator comes back to the window, clicks into the list, double-clicks a cell and types.
    frame->activateWindow();
    Deliver();
    EXPECT_FALSE(InAnEventList(QApplication::focusWidget())) << "the window's focus is not in a list";
    const QRect cell = chung->visualItemRect(chung->item(0, 0));
    QTest::mouseClick(chung->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(chung->viewport(), Qt::LeftButton, {}, cell.center());
    Deliver();
    EXPECT_FALSE(InAnEventList(QApplication::focusWidget())) << "a click leaves the focus where it was";
    for (const int key : {Qt::Key_A, Qt::Key_7, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Return})
        Key(key);
    EXPECT_EQ(Cells(*chung), before) << "nothing typed lands in the list";
    EXPECT_EQ(md->nGameState, 8);

    // Space is the operator's: the clock runs again, and stops again.
    Key(Qt::Key_Space);
    EXPECT_EQ(md->nGameState, 3) << ::testing::PrintToString(prompter.texts());
    Key(Qt::Key_Space);
    EXPECT_EQ(md->nGameState, 8);
    EXPECT_EQ(Cells(*chung), before);
    Scores({2, 0});
}

} // namespace
