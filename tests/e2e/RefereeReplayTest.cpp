// The referee's video-replay request as the operator makes it: a button of its own on the operator screen,
// named for screen readers, that opens the replay form for the referee.
#include "tests/e2e/Court.h"

#include "app/MainFrame.h"
#include "app/MainWnd.h"
#include "match/VideoReplayDlg.h"
#include "screens/OperatorLayout.h"

#include <QAccessible>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

class RefereeReplay : public Court {};

TEST_F(RefereeReplay, TheOperatorClicksTheRefereesButtonAndTheReplayFormOpensForTheReferee) {
    QWidget* button = view->GetDlgItem(OperatorIds::RefereeReplay);
    ASSERT_NE(button, nullptr);
    // Placed where a click reaches it, not under another control.
    EXPECT_EQ(view->childAt(button->geometry().center()), button);
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->text(QAccessible::Name).toStdString(), "The referee requests a video replay");
    EXPECT_FALSE(button->toolTip().isEmpty());

    ASSERT_NO_FATAL_FAILURE(Click(button));
    ASSERT_TRUE(Until([&] { return !view->m_pIvrDlg.isNull() && view->m_pIvrDlg->isVisible(); }));
    EXPECT_EQ(view->m_pIvrDlg->Choice().requester, 2);

    // A second click while the form is open opens no second form.
    CTK_IVRDlg* form = view->m_pIvrDlg;
    ASSERT_NO_FATAL_FAILURE(Click(button));
    EXPECT_EQ(view->m_pIvrDlg, form);
}

} // namespace
