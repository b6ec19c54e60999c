// The video-replay decision dialog: its technique buttons and texts as tables, and the dialog driven through
// its buttons to the decision and notices it sends to the operator view.
#include "match/VideoReplayDlg.h"
#include "match/VideoReplayDlgRules.h"
#include "tests/match/DialogHelpers.h"
#include "tests/match/RecordingView.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

using namespace VideoReplayDlgRules;
using Lines = std::vector<std::string>;

TEST(VideoReplayDlgRules, TechniqueButtonsByTypeAndMiddleJudgePoint) {
    struct Case {
        int id, type, middle;
        int action, category;
    };
    const Case cases[] = {
        {kGamJeomButton, 0, 2, 0, 0},        {kSpecialGamJeomButton, 0, 2, 8, 2},
        {kPunchButton, 0, 2, 1, 1},          {kTrunkButton, 0, 2, 2, 2},
        {kHeadButton, 0, 2, 3, 3},           {kTrunkTechButton, 0, 2, 4, 4},
        {kTrunkTechButton, 2, 2, 4, 3},      {kHeadTechButton, 0, 2, 5, 5},
        {kHeadTechButton, 2, 2, 5, 4},       {kTrunkTechnicalButton, 0, 2, 6, 2},
        {kTrunkTechnicalButton, 2, 2, 6, 1}, {kHeadTechnicalButton, 0, 2, 7, 2},
        {kHeadTechnicalButton, 0, -1, 7, 3}, {0, 0, 2, 7, 2}, // none checked
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const Technique t = TechniqueOf(c.id, c.type, c.middle);
        EXPECT_EQ(t.action, c.action);
        EXPECT_EQ(t.category, c.category);
    }
}

TEST(VideoReplayDlgRules, DecisionAndConfirmationTexts) {
    struct Case {
        const char* what;
        Choice choice;
        const char* decision;
        const char* confirm;
    };
    const Case cases[] = {
        {"Chung asks, Hong's head kick added",
         {0, 1, 3, 0, 0, 3, false},
         "B,R,P,3,A,3",
         " IVR Request: Blue\r\n\r\n Red's 3 Point => Add\r\n  \r\n Result :Accept\r\n"},
        {"a gam-jeom removed, rejected",
         {1, 0, 0, 1, 1, 0, false},
         "R,B,M,G,R,0",
         " IVR Request: Red\r\n\r\n Blue's GamJeom => Remove\r\n  \r\n Result :Reject\r\n"},
        {"special gam-jeom: SG and action 8 though its category is 2",
         {2, 0, 2, 0, 0, 8, false},
         "J,B,P,SG,A,8",
         " IVR Request: REF\r\n\r\n Blue's Special GamJeom => Add\r\n  \r\n Result :Accept\r\n"},
        {"the 5(6) point button",
         {0, 0, 5, 0, 0, 5, false},
         "B,B,P,5,A,5",
         " IVR Request: Blue\r\n\r\n Blue's 5(6) Point => Add\r\n  \r\n Result :Accept\r\n"},
        {"an appeal names no points: C, and ends with the action",
         {2, 1, 2, 1, 1, 6, true},
         "J,R,M,C,R,6",
         " IVR Request: REF\r\n\r\n Red's 2 Point => Remove\r\n  \r\n Result :Appeal to Reject by "
         "Referee\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(Complete(c.choice));
        EXPECT_EQ(DecisionText(c.choice), c.decision);
        EXPECT_EQ(ConfirmText(c.choice).toStdString(), c.confirm);
    }
}

TEST(VideoReplayDlgRules, EveryChoiceMustBeMade) {
    const Choice complete{0, 1, 3, 0, 0, 3, false};
    EXPECT_FALSE(Complete(Choice{}));
    Choice c = complete;
    c.side = 2;
    EXPECT_FALSE(Complete(c));
    c = complete;
    c.category = 6;
    EXPECT_FALSE(Complete(c));
    c = complete;
    c.addRemove = 2;
    EXPECT_FALSE(Complete(c));
    c = complete;
    c.acceptReject = 2;
    EXPECT_FALSE(Complete(c));
    c = complete;
    c.action = 9;
    EXPECT_FALSE(Complete(c));
}

TEST(VideoReplayDlgRules, TitleAndPlacement) {
    EXPECT_EQ(TitleText(0), "CHUNG : IVR REQUEST");
    EXPECT_EQ(TitleText(1), "HONG : IVR REQUEST");
    EXPECT_EQ(TitleText(2), "REF : IVR REQUEST");
    // Frame 616 x 436: centred across 1366, bottom 26 above 768.
    EXPECT_EQ(PlaceOverView(QRect(0, 0, 1366, 768), QSize(600, 400)), QRect(375, 306, 616, 436));
    EXPECT_EQ(PlaceOverView(QRect(100, 50, 1000, 700), QSize(500, 300)), QRect(342, 388, 516, 336));
}

class VideoReplayDlgTest : public MatchTest {
protected:
    CTK_IVRDlg* Open(int requester) {
        auto* dlg = new CTK_IVRDlg(requester, nullptr);
        dlg->show();
        return dlg;
    }
    static void Click(CTK_IVRDlg& dlg, int id) { Child<QPushButton>(dlg, id)->click(); }
    ViewStandIn stand;
};

TEST_F(VideoReplayDlgTest, ApplySendsTheConfirmedDecisionOnce) {
    CTK_IVRDlg* dlg = Open(0);
    EXPECT_EQ(Child<QLabel>(*dlg, CTK_IVRDlg::IDC_TITLE)->text(), "CHUNG : IVR REQUEST");
    for (int id :
         {int(CTK_IVRDlg::IDC_RED), int(kHeadButton), int(CTK_IVRDlg::IDC_ADD), int(CTK_IVRDlg::IDC_ACCEPT)})
        Click(*dlg, id);
    prompter.answer(IDNO); // the first confirmation is declined: nothing is sent
    Click(*dlg, CTK_IVRDlg::IDC_APPLY);
    EXPECT_TRUE(stand.messages.empty());
    prompter.answer(IDYES);
    Click(*dlg, CTK_IVRDlg::IDC_APPLY);
    EXPECT_EQ(stand.messages, Lines{"107 0 B,R,P,3,A,3"});
    ASSERT_EQ(prompter.boxes().size(), 2u);
    EXPECT_EQ(U8(prompter.boxes()[1].caption), "IVR Request");
    EXPECT_EQ(prompter.boxes()[1].flags & MB_YESNO, static_cast<UINT>(MB_YESNO));
    EXPECT_FALSE(Child<QPushButton>(*dlg, CTK_IVRDlg::IDC_APPLY)->isEnabled());
    // After the decision Close asks nothing and sends no close notice.
    Click(*dlg, CTK_IVRDlg::IDC_CLOSE);
    Pump();
    EXPECT_EQ(prompter.boxes().size(), 2u);
    EXPECT_EQ(stand.messages, (Lines{"107 0 B,R,P,3,A,3", "109 0 0"}));
}

TEST_F(VideoReplayDlgTest, AnIncompleteChoiceIsInvalidData) {
    CTK_IVRDlg* dlg = Open(1);
    Click(*dlg, CTK_IVRDlg::IDC_BLUE);
    Click(*dlg, kPunchButton);
    Click(*dlg, CTK_IVRDlg::IDC_ADD); // no result chosen
    Click(*dlg, CTK_IVRDlg::IDC_APPLY);
    EXPECT_EQ(prompter.texts(), Lines{"Invalid data!"});
    EXPECT_TRUE(stand.messages.empty());
    EXPECT_TRUE(Child<QPushButton>(*dlg, CTK_IVRDlg::IDC_APPLY)->isEnabled());
    prompter.answer(IDYES);
    Click(*dlg, CTK_IVRDlg::IDC_CLOSE);
    Pump();
}

TEST_F(VideoReplayDlgTest, TheAppealRejectsAndSendsC) {
    CTK_IVRDlg* dlg = Open(2);
    Click(*dlg, CTK_IVRDlg::IDC_BLUE);
    Click(*dlg, kSpecialGamJeomButton);
    Click(*dlg, CTK_IVRDlg::IDC_REMOVE);
    Click(*dlg, CTK_IVRDlg::IDC_ACCEPT);
    Child<QCheckBox>(*dlg, CTK_IVRDlg::IDC_APPEAL)->setChecked(true);
    EXPECT_TRUE(Child<QPushButton>(*dlg, CTK_IVRDlg::IDC_REJECT)->isChecked());
    Click(*dlg, CTK_IVRDlg::IDC_ACCEPT); // refused while the appeal is ticked
    EXPECT_EQ(prompter.texts(), Lines{"Please uncheck the check box of 'Appeal to Reject by Referee'"});
    EXPECT_TRUE(Child<QPushButton>(*dlg, CTK_IVRDlg::IDC_REJECT)->isChecked());
    EXPECT_EQ(dlg->Choice().acceptReject, 1);
    prompter.answer(IDYES);
    Click(*dlg, CTK_IVRDlg::IDC_APPLY);
    EXPECT_EQ(stand.messages, Lines{"107 0 J,B,M,C,R,8"});
    Click(*dlg, CTK_IVRDlg::IDC_CLOSE);
    Pump();
}

TEST_F(VideoReplayDlgTest, CloseWithoutADecisionAsksAndTellsTheView) {
    CTK_IVRDlg* dlg = Open(1);
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(dlg, &esc); // Esc does nothing
    prompter.answer(IDNO);
    Click(*dlg, CTK_IVRDlg::IDC_CLOSE);
    Pump();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(prompter.texts(),
              Lines{"IVR Result is not decieded!\r\nAre you sure to close the IVR Request Window?"});
    EXPECT_TRUE(stand.messages.empty());
    prompter.answer(IDYES);
    Click(*dlg, CTK_IVRDlg::IDC_CLOSE);
    Pump();
    EXPECT_EQ(stand.messages, (Lines{"108 1 0", "109 0 0"}));
}

TEST_F(VideoReplayDlgTest, JudgeDrivenMatchesRelabelAndDisableTechniques) {
    md->nCompetitionType = 2;
    CTK_IVRDlg* dlg = Open(0);
    EXPECT_FALSE(Child<QPushButton>(*dlg, kPunchButton)->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(*dlg, kHeadButton)->isEnabled());
    EXPECT_EQ(Child<QPushButton>(*dlg, kHeadTechButton)->text(), "4 POINT\nTrunk+Tech");
    Click(*dlg, kTrunkTechnicalButton);
    EXPECT_EQ(dlg->Choice().category, 1);
    EXPECT_EQ(dlg->Choice().action, 6);
    prompter.answer(IDYES);
    Click(*dlg, CTK_IVRDlg::IDC_CLOSE);
    Pump();
}

// The operator view keeps one dialog, forgets it as it goes, and answers a refused decision with a box.
class ReplayViewTest : public MatchTest {
protected:
    ReplayViewTest() : m_saved(g_hMainWnd) { g_hMainWnd = view->GetSafeHwnd(); }
    ~ReplayViewTest() override { g_hMainWnd = m_saved; }

private:
    HWND m_saved;
};

TEST_F(ReplayViewTest, OneDialogAtATimeAndTheRefereeButton) {
    EXPECT_TRUE(view->OpenReplayDialog(0));
    EXPECT_FALSE(view->OpenReplayDialog(1));
    view->OnClickedIvrRequest(); // a dialog is open: only the notice
    EXPECT_EQ(view->With("wt 0 11"), Lines{"wt 0 11 2 0"});
    prompter.answer(IDYES);
    Child<QPushButton>(*view->m_pIvrDlg, CTK_IVRDlg::IDC_CLOSE)->click();
    Pump();
    EXPECT_TRUE(view->m_pIvrDlg.isNull());
    EXPECT_EQ(view->With("wt 0 12"), Lines{"wt 0 12 0 0"});
    view->OnClickedIvrRequest();
    ASSERT_FALSE(view->m_pIvrDlg.isNull());
    EXPECT_EQ(view->m_pIvrDlg->Choice().requester, 2);
    EXPECT_EQ(view->With("wt 0 11"), (Lines{"wt 0 11 2 0", "wt 0 11 2 0"}));
    prompter.answer(IDYES);
    Child<QPushButton>(*view->m_pIvrDlg, CTK_IVRDlg::IDC_CLOSE)->click();
    Pump();
}

TEST_F(ReplayViewTest, ADecisionTheViewRefusesIsShown) {
    view->OnFinalDecision("B,B,P,3,A");
    ASSERT_EQ(prompter.texts().size(), 1u);
    EXPECT_EQ(prompter.texts()[0], "The video replay decision was not applied: not six tokens.");
}
