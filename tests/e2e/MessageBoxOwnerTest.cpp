// Where the program's message boxes open on a court with the operator's and the spectators' monitors: over
// the operator's window, whichever window asks, so no box ever stands on the arena's screen.
#include "tests/e2e/Court.h"

#include "app/MainFrame.h"
#include "app/MainWnd.h"
#include "platform/MessageBox.h"
#include "screens/ExtScrDlg.h"

#include <QMessageBox>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

class BoxOwner : public Court {};

TEST_F(BoxOwner, EveryBoxOpensOverTheOperatorsWindowWhoeverAsksForIt) {
    CExtScrDlg* board = view->m_pExtScrDlg;
    ASSERT_NE(board, nullptr);
    ASSERT_TRUE(board->isVisible());
    QScreen* operatorScreen = frame->screen();
    ASSERT_NE(board->screen(), operatorScreen) << "the public scoreboard stands on the arena's monitor";

    const struct {
        const char* asker;
        HWND owner;
    } cases[] = {
        {"no owner", HWND{0}},
        {"the operator view", view->GetSafeHwnd()},
        {"the public scoreboard", board->GetSafeHwnd()},
        {"a window that is gone", HWND{999999}},
    };
    platform::Prompter* scripted = platform::setPrompter(nullptr); // real boxes
    for (const auto& c : cases) {
        QWidget* parent = nullptr;
        QRect place;
        WhenModal<QMessageBox>([&](QMessageBox& box) {
            parent = box.parentWidget();
            place = box.frameGeometry();
            box.accept();
        });
        MessageBox(c.owner, u"DB Error!", u"Information", MB_OK | MB_ICONERROR);
        EXPECT_EQ(parent, frame) << c.asker;
        EXPECT_TRUE(operatorScreen->geometry().contains(place.center())) << c.asker;
    }
    platform::setPrompter(scripted);
}

} // namespace
