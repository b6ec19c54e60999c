// Matches under the round-win system (best of 3) on a new court, through the program's own windows: each
// round ends on the clock, the round result dialog settles its winner, and the side with two rounds wins.
// One match is decided 2-0 with the judges on wired devices; one goes to the golden round after the rounds
// split 1-1.
#include "tests/e2e/Court.h"

#include "app/IniFiles.h"
#include "devices/JudgeSerialPort.h"
#include "match/RoundResultDlg.h"
#include "match/VideoReplayDlg.h"
#include "match/VideoReplayDlgRules.h"
#include "match/WinSelDlg.h"
#include "registration/RegDlg.h"
#include "screens/ExtScrDlg.h"
#include "screens/OperatorLayout.h"
#include "tools/FakeJudge.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// The sensor byte of a punch.
constexpr BYTE kPunchSensor = 0x31;

class RoundWinMatch : public Court {
protected:
    void SetUp() override {
        Court::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_NO_FATAL_FAILURE(Configure(3, 1));
        ASSERT_EQ(md->nCompetitionRule, 1);
        ASSERT_EQ(md->nRound, 3);
        ASSERT_NO_FATAL_FAILURE(RegisterAndLoad("001", "KIM MINJUN", "LEE SEOYEON"));
    }

    std::pair<std::string, std::string> RoundWinsShown() const {
        return {view->Static(OperatorIds::RoundWinsChung)->text().toStdString(),
                view->Static(OperatorIds::RoundWinsHong)->text().toStdString()};
    }

    // The round-winner marks, one letter per round row (C Chung, H Hong, - none): the operator screen's and
    // the public scoreboard's (Chung on the left, the screen not reversed).
    std::string WinnerMarks() const {
        std::string marks;
        for (int r = 0; r < 3; ++r) {
            const bool chung = !view->GetDlgItem(OperatorIds::RoundWinnerChung[r])->isHidden();
            const bool hong = !view->GetDlgItem(OperatorIds::RoundWinnerHong[r])->isHidden();
            marks += chung ? (hong ? '?' : 'C') : (hong ? 'H' : '-');
        }
        return marks;
    }
    // The scores the public scoreboard shows, Chung's first.
    std::pair<int, int> PublicScores() const {
        return {view->m_pExtScrDlg->Score(0), view->m_pExtScrDlg->Score(1)};
    }
    std::string PublicWinnerMarks() const {
        std::string marks;
        for (int r = 0; r < 3; ++r) {
            const bool chung = view->m_pExtScrDlg->RoundWinnerMark(false, r) != 0;
            const bool hong = view->m_pExtScrDlg->RoundWinnerMark(true, r) != 0;
            marks += chung ? (hong ? '?' : 'C') : (hong ? 'H' : '-');
        }
        return marks;
    }

    // Runs the round clock out: the round ends and, a moment later, its result dialog opens.
    CTK_RndResDlg* EndOfRound(unsigned left) { return RoundResultAfter(left + 1000); }
    // The rest runs out and the Space key starts the next round.
    void NextRound(int round) {
        Advance(61000);
        ASSERT_EQ(md->nGameState, 6);
        Key(Qt::Key_Space);
        ASSERT_EQ(md->nGameState, 3) << ::testing::PrintToString(prompter.texts());
        ASSERT_EQ(md->nCurRound, round);
    }
    // The winner selection dialog: `index` chosen by the keys of its list, then OK.
    static void SelectDecision(int index) {
        WhenModal<CTK_WinSelDlg>([index](CTK_WinSelDlg& dialog) {
            auto* list = static_cast<QComboBox*>(Child(dialog, CTK_WinSelDlg::IDC_LIST));
            list->setFocus();
            QTest::keyClick(list, Qt::Key_Home);
            for (int i = 0; i < index; ++i)
                QTest::keyClick(list, Qt::Key_Down);
            Click(Child(dialog, CTK_WinSelDlg::IDC_OK));
        });
    }
};

// ---- a match decided 2-0, the judges on wired devices ----

class WiredJudgesRoundWinMatch : public RoundWinMatch {
protected:
    void SetUp() override {
        for (auto& judge : judges) {
            judge = std::make_unique<FakeJudge>();
            ASSERT_TRUE(judge->IsOpen());
        }
        RoundWinMatch::SetUp();
        if (HasFatalFailure())
            return;
        // The judges' ports, as the court's technician writes them into JudgeDev.ini.
        for (int n = 0; n < kJudges; ++n) {
            const std::u16string section = u"JUDGE_" + std::u16string(1, char16_t(u'1' + n));
            const QString port = QString::fromStdString(judges[n]->SlavePath());
            WriteIniString(section.c_str(), u"Port", port.toStdU16String().c_str(), u"JudgeDev.ini");
        }
        ASSERT_NO_FATAL_FAILURE(PairProtectors());
        // Each judge: "wire connection" ticked, then the judge's button opens its port.
        CTK_RegDlg* dialog = view->m_pRegDlg;
        const int checks[] = {1311, 1060, 1062};
        for (int n = 0; n < kJudges; ++n) {
            ASSERT_NO_FATAL_FAILURE(Click(dialog->GetDlgItem(checks[n])));
            ASSERT_EQ(md->nJudgeUse[n], 1) << n;
            ASSERT_NO_FATAL_FAILURE(Click(dialog->GetDlgItem(1329 + n)));
            ASSERT_EQ(md->bJudgeWired[n], 1) << n << " " << ::testing::PrintToString(prompter.texts());
        }
        CloseRegistration();
    }
    void TearDown() override {
        RoundWinMatch::TearDown();
        for (int n = 0; n < kJudges; ++n)
            CloseWiredJudge(n);
    }

    // The four protectors paired from the registration dialog; the modal progress dialog runs until the
    // pairing reply closes it, while the program's clock moves so that its short pauses pass.
    void PairProtectors() {
        CTK_RegDlg* dialog = view->m_pRegDlg;
        const auto devices = DeviceButtons();
        for (int protector = 0; protector < 4; ++protector)
            ASSERT_NO_FATAL_FAILURE(
                PairByButton(*dialog, devices[protector].first, *devices[protector].second));
    }

    // Waits until the view has taken a judge's press for the side.
    bool Pressed(int judge, int side) {
        return Until([&] { return view->m_judgeWindows[side].mask[judge] != 0; });
    }

    std::unique_ptr<FakeJudge> judges[kJudges];
};

TEST_F(WiredJudgesRoundWinMatch, ChungWinsTwoRoundsOnTheClockAndTheWinnerSelection) {
    const int trunk = md->nLevelBody;
    const int head = md->nLevelHead;
    const int punch = md->nLevelPunch;
    ASSERT_GT(trunk, 1);
    ASSERT_GT(head, 0);
    ASSERT_EQ(md->nGameState, 1);
    const FakeJudge::Bytes chungFrame{0x55, 0x55, 0x02, 0x01, 0x00, 0xAA, 0xAA};
    const FakeJudge::Bytes hongFrame{0x55, 0x55, 0x02, 0x01, 0x01, 0xAA, 0xAA};

    // Round 1: a trunk kick for Chung; two wired judges give its turning bonus.
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3) << ::testing::PrintToString(prompter.texts());
    ASSERT_EQ(md->nCurRound, 1);
    Advance(5000);
    ASSERT_TRUE(fake.SendHit("HV", trunk + 10, kSock));
    Scores({2, 0});
    ASSERT_TRUE(judges[0]->SendPress(2, 0));
    ASSERT_TRUE(Pressed(0, 0));
    ASSERT_TRUE(judges[2]->SendPress(2, 0));
    ASSERT_TRUE(Pressed(2, 0));
    Advance(100);
    Scores({4, 0});
    // A punch on Hong's trunk protector: every wired judge is told that Chung scored; the punch counts once
    // two judges confirm it with their bottom buttons.
    Advance(2000);
    ASSERT_TRUE(fake.SendHit("HV", punch + 5, kPunchSensor));
    for (auto& judge : judges) {
        ASSERT_TRUE(Until([&] { return judge->Received().size() >= 1; }));
        EXPECT_EQ(judge->Received(), std::vector<FakeJudge::Bytes>{chungFrame});
    }
    Scores({4, 0});
    ASSERT_TRUE(judges[1]->SendPress(1, 0));
    ASSERT_TRUE(Pressed(1, 0));
    ASSERT_TRUE(judges[0]->SendPress(1, 0));
    ASSERT_TRUE(Pressed(0, 0));
    Advance(100);
    Scores({5, 0});
    // Hong's head kick below the head gear's level scores nothing and no judge hears of it.
    ASSERT_TRUE(fake.SendHit("CH", head - 1, kSock));
    ASSERT_TRUE(Until([&] { return Rows("SELECT count(*) FROM HONGLOG") == std::vector<std::string>{"1"}; }));
    Advance(2000);
    Scores({5, 0});

    CTK_RndResDlg* result = EndOfRound(113000);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(Text(*result, CTK_RndResDlg::IDC_TITLE), "1 Round Results");
    // The trunk kick counts as a turning kick (its bonus) and not as a plain one; the turning column holds
    // the technique's points, kick and bonus.
    EXPECT_EQ(Pair(*result, CTK_RndResDlg::IDC_TOTAL_CHUNG), "5:0");
    EXPECT_EQ(Pair(*result, CTK_RndResDlg::IDC_TRUNK_CHUNG), "0:0");
    EXPECT_EQ(Pair(*result, CTK_RndResDlg::IDC_TURNING_CHUNG), "4:0");
    EXPECT_EQ(Pair(*result, CTK_RndResDlg::IDC_PUNCH_CHUNG), "1:0");
    EXPECT_EQ(Text(*result, CTK_RndResDlg::IDC_WINNER), "WINNER : BLUE");
    ASSERT_NO_FATAL_FAILURE(Confirm(*result));
    EXPECT_EQ(md->nRoundWinner[0], 1);
    EXPECT_EQ(RoundWinsShown(), (std::pair<std::string, std::string>{"1", "0"}));

    // Round 2: Hong's head kick; one judge alone on Hong's middle button misses the quorum; two trunk
    // kicks and a gam-jeom against Hong give Chung the round.
    ASSERT_NO_FATAL_FAILURE(NextRound(2));
    Scores({0, 0});
    ASSERT_NE(view->m_pExtScrDlg, nullptr);
    EXPECT_EQ(PublicScores(), (std::pair<int, int>{0, 0}))
        << "the arena's screen starts round 2 from nothing";
    Advance(4000);
    ASSERT_TRUE(fake.SendHit("CH", head + 10, kSock));
    Scores({0, 3});
    ASSERT_TRUE(judges[1]->SendPress(0, 6));
    ASSERT_TRUE(Pressed(1, 1));
    Advance(1500);
    Scores({0, 3});
    ASSERT_TRUE(fake.SendHit("HV", trunk + 1, kSock));
    Scores({2, 3});
    Advance(3000);
    ASSERT_TRUE(fake.SendHit("HV", trunk + 2, kSock));
    Scores({4, 3});
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 8);
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(1134)));
    Scores({5, 3});
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3);
    for (auto& judge : judges) {
        ASSERT_TRUE(Until([&] { return judge->Received().size() >= 2; }));
        EXPECT_EQ(judge->Received(), (std::vector<FakeJudge::Bytes>{chungFrame, hongFrame}));
    }

    result = EndOfRound(111000);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(Text(*result, CTK_RndResDlg::IDC_TITLE), "2 Round Results");
    EXPECT_EQ(Pair(*result, CTK_RndResDlg::IDC_TOTAL_CHUNG), "5:3");
    EXPECT_EQ(Pair(*result, CTK_RndResDlg::IDC_GAMJEOM_CHUNG), "0:1");
    EXPECT_EQ(Pair(*result, CTK_RndResDlg::IDC_HEAD_CHUNG), "0:1");
    EXPECT_EQ(Text(*result, CTK_RndResDlg::IDC_WINNER), "WINNER : BLUE");
    ASSERT_NO_FATAL_FAILURE(Confirm(*result));
    EXPECT_EQ(md->nRoundWinner[1], 1);
    EXPECT_EQ(RoundWinsShown(), (std::pair<std::string, std::string>{"2", "0"}));

    EXPECT_EQ(WinnerMarks(), "CC-");

    // In the rest the public scoreboard shows the round table: each round's scores and winner.
    Advance(61000);
    ASSERT_EQ(md->nGameState, 6);
    ASSERT_NE(view->m_pExtScrDlg, nullptr);
    EXPECT_TRUE(view->m_pExtScrDlg->RoundWinPanelShown());
    EXPECT_EQ(PublicWinnerMarks(), "CC-");
    // Two rounds won: no third round starts.
    Key(Qt::Key_Space);
    EXPECT_EQ(md->nCurRound, 2);
    EXPECT_NE(md->nGameState, 3);

    // The operator gives Chung the match; the selection proposes the final score.
    SelectDecision(0);
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(1068)));
    Deliver();
    EXPECT_EQ(md->nWinSide, 0);
    EXPECT_EQ(md->nDecisionKind, 0);
    EXPECT_EQ(md->nGameState, 11);

    // Both screens: the round wins and the last round's scores.
    EXPECT_EQ(RoundWinsShown(), (std::pair<std::string, std::string>{"2", "0"}));
    Scores({5, 3});
    ASSERT_NE(view->m_pExtScrDlg, nullptr);
    EXPECT_EQ(view->m_pExtScrDlg->Score(0), 5);
    EXPECT_EQ(view->m_pExtScrDlg->Score(1), 3);

    // The match row: match totals over both rounds, gam-jeoms, the decision.
    EXPECT_EQ(
        Rows("SELECT roomno, gameno, cname, hname, chungpoint, hongpoint, cdeduct, hdeduct, win FROM GAMET"),
        std::vector<std::string>{"3|001|KIM MINJUN|LEE SEOYEON|10|3|0|1|C.WIN((PTF) Final Score)"});
    // Every event in the order it happened: round, vest, face, point, judge points, gam-jeom, the three
    // judges, and whether the event counted.
    const auto n = [](int value) { return std::to_string(value); };
    EXPECT_EQ(Events("CHUNGLOG"), (std::vector<std::string>{
                                      "1|" + n(trunk + 10) + "|0|0|0|0|0|0|0|1", // Hong's trunk protector
                                      "1|0|0|2|0|0|0|0|0|1",                     // the trunk kick
                                      "1|0|0|0|0|0|2|0|0|0",                     // judge 1 alone
                                      "1|0|0|0|0|0|0|0|2|1",                     // judge 3 agrees
                                      "1|0|0|0|2|0|0|0|0|1",                     // the turning bonus
                                      "1|" + n(punch + 5) + "|0|0|0|0|0|0|0|1",  // the punch
                                      "1|0|0|0|0|0|0|0|0|1", // the punch waits for the judges
                                      "1|0|0|0|0|0|0|1|0|0", // judge 2 alone
                                      "1|0|0|0|0|0|1|0|0|1", // judge 1 agrees
                                      "1|0|0|1|0|0|0|0|0|1", // the punch confirmed
                                      "2|" + n(trunk + 1) + "|0|0|0|0|0|0|0|1",
                                      "2|0|0|2|0|0|0|0|0|1",
                                      "2|" + n(trunk + 2) + "|0|0|0|0|0|0|0|1",
                                      "2|0|0|2|0|0|0|0|0|1",
                                  }));
    EXPECT_EQ(Events("HONGLOG"), (std::vector<std::string>{
                                     "1|0|" + n(head - 1) + "|0|0|0|0|0|0|0", // below the head gear's level
                                     "2|0|" + n(head + 10) + "|0|0|0|0|0|0|1",
                                     "2|0|0|3|0|0|0|0|0|1", // the head kick
                                     "2|0|0|0|0|0|0|2|0|0", // judge 2 alone misses the quorum
                                     "2|0|0|0|0|1|0|0|0|1", // the gam-jeom against Hong
                                 }));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{});
}

// ---- a match decided in the golden round ----

class GoldenRoundMatch : public RoundWinMatch {
protected:
    void SetUp() override {
        RoundWinMatch::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_NO_FATAL_FAILURE(PairDevices());
        CloseRegistration();
    }
};

// The rounds split 1-1 and the third ends level, in the round and in the match. Hong's coach asks for a
// replay of its last exchange; the replay is rejected, and with the match level at the end of its last
// round the operator is asked about the golden-point round: "No" holds the match (state 4), and the Start
// button then begins the golden round, which the first score to two points decides.
TEST_F(GoldenRoundMatch, TheRoundsSplitTheThirdEndsLevelAndAKickDecidesTheGoldenRound) {
    const int trunk = md->nLevelBody;
    const int head = md->nLevelHead;
    ASSERT_GT(trunk, 1);
    ASSERT_EQ(md->nGameState, 1);

    // Round 1: a head kick for Hong.
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nCurRound, 1);
    Advance(20000);
    ASSERT_TRUE(fake.SendHit("CH", head + 5, kSock));
    Scores({0, 3});
    CTK_RndResDlg* result = EndOfRound(100000);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(Text(*result, CTK_RndResDlg::IDC_WINNER), "WINNER : RED");
    ASSERT_NO_FATAL_FAILURE(Confirm(*result));

    // Round 2: a head kick for Chung.
    ASSERT_NO_FATAL_FAILURE(NextRound(2));
    Advance(30000);
    ASSERT_TRUE(fake.SendHit("HH", head + 6, kSock));
    Scores({3, 0});
    result = EndOfRound(90000);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(Text(*result, CTK_RndResDlg::IDC_WINNER), "WINNER : BLUE");
    ASSERT_NO_FATAL_FAILURE(Confirm(*result));
    EXPECT_EQ(RoundWinsShown(), (std::pair<std::string, std::string>{"1", "1"}));
    EXPECT_EQ(WinnerMarks(), "HC-");

    // Round 3 passes without a score or a hit: everything the dialog compares is level.
    ASSERT_NO_FATAL_FAILURE(NextRound(3));
    EXPECT_EQ(PublicScores(), Shown()) << "both screens start round 3 from nothing";
    result = EndOfRound(120000);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(Text(*result, CTK_RndResDlg::IDC_TITLE), "3 Round Results");
    EXPECT_EQ(Pair(*result, CTK_RndResDlg::IDC_TOTAL_CHUNG), "0:0");
    EXPECT_EQ(Text(*result, CTK_RndResDlg::IDC_WINNER), "DRAW");
    // A draw needs one superiority box ticked.
    auto* chungSup = static_cast<QCheckBox*>(Child(*result, CTK_RndResDlg::IDC_SUP_CHUNG));
    ASSERT_TRUE(chungSup->isVisible());
    ASSERT_NO_FATAL_FAILURE(Click(Child(*result, CTK_RndResDlg::IDOK)));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Please select one winner of this round!"});
    ASSERT_TRUE(view->m_pRndResDlg && view->m_pRndResDlg->isVisible());
    EXPECT_EQ(md->nRoundWinner[2], 0);

    // Hong's coach asks for a replay of the last exchange; it is rejected and costs Hong the request.
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(OperatorIds::VideoReplayHong)));
    CTK_IVRDlg* replay = view->m_pIvrDlg;
    ASSERT_NE(replay, nullptr);
    prompter.answer(IDYES); // the dialog's confirmation of its decision
    prompter.answer(IDNO);  // "Are you sure to play a Golden Point Round?"
    for (const int id : {int(CTK_IVRDlg::IDC_RED), int(VideoReplayDlgRules::kTrunkButton),
                         int(CTK_IVRDlg::IDC_ADD), int(CTK_IVRDlg::IDC_REJECT), int(CTK_IVRDlg::IDC_APPLY)})
        ASSERT_NO_FATAL_FAILURE(Click(Child(*replay, id))) << id;
    ASSERT_NO_FATAL_FAILURE(Click(Child(*replay, CTK_IVRDlg::IDC_CLOSE)));
    ASSERT_TRUE(Until([&] { return view->m_pIvrDlg.isNull(); }));
    EXPECT_EQ(md->aSide[1].nVRRemain, 0);
    EXPECT_EQ(prompter.texts().back(), "Are you sure to play a Golden Point Round?");
    EXPECT_EQ(md->nGameState, 4);
    // The round result waits no longer: the operator closes it.
    ASSERT_NO_FATAL_FAILURE(Click(Child(*view->m_pRndResDlg, CTK_RndResDlg::IDCANCEL)));
    ASSERT_TRUE(Until([&] { return view->m_pRndResDlg.isNull(); }));

    // The Start button (the Start key does nothing in this state) asks once more and begins the golden
    // round; the third round closes without a winner.
    prompter.answer(IDYES);
    ASSERT_NO_FATAL_FAILURE(Click(view->Button(1071)));
    EXPECT_EQ(prompter.texts().back(), "Are you sure to start a Golden Point Round and clear all point?");
    ASSERT_EQ(md->nGameState, 3);
    ASSERT_EQ(md->nCurRound, 4);
    EXPECT_EQ(md->nRoundWinner[2], 3);
    EXPECT_EQ(md->nRemainTime, md->nGRndMatchTime * 1000);
    Scores({0, 0});

    // The referee stops the golden round and lets it go on.
    Advance(5000);
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 8);
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3) << "the golden round does not resume";
    Advance(5000);

    // Hong's trunk kick reaches two points: the golden point. Under the round-win system the selection
    // proposes the final score, a decision it accepts, and the operator only presses OK.
    const auto boxes = prompter.texts().size();
    WhenModal<CTK_WinSelDlg>([](CTK_WinSelDlg& dialog) {
        auto* list = static_cast<QComboBox*>(Child(dialog, CTK_WinSelDlg::IDC_LIST));
        EXPECT_EQ(list->currentText().toStdString(), "(PTF) Final Score");
        Click(Child(dialog, CTK_WinSelDlg::IDC_OK));
    });
    ASSERT_TRUE(fake.SendHit("CV", trunk + 3, kSock));
    ASSERT_TRUE(Until([&] { return md->nGameState == 11; })) << "state " << md->nGameState;
    EXPECT_EQ(prompter.texts().size(), boxes) << "no refusal of the proposal";
    EXPECT_EQ(md->nWinSide, 1);
    EXPECT_EQ(md->nDecisionKind, 0);

    // Both screens: the golden round's scores; the round wins stay as the rounds left them.
    Scores({0, 2});
    EXPECT_EQ(RoundWinsShown(), (std::pair<std::string, std::string>{"1", "1"}));
    EXPECT_EQ(WinnerMarks(), "HC-");
    ASSERT_NE(view->m_pExtScrDlg, nullptr);
    EXPECT_EQ(view->m_pExtScrDlg->Score(0), 0);
    EXPECT_EQ(view->m_pExtScrDlg->Score(1), 2);

    EXPECT_EQ(Rows("SELECT chungpoint, hongpoint, cdeduct, hdeduct, win FROM GAMET"),
              std::vector<std::string>{"3|5|0|0|H.WIN((PTF) Final Score)"});
    const auto n = [](int value) { return std::to_string(value); };
    EXPECT_EQ(Events("CHUNGLOG"), (std::vector<std::string>{
                                      "2|0|" + n(head + 6) + "|0|0|0|0|0|0|1", // Hong's head gear
                                      "2|0|0|3|0|0|0|0|0|1",
                                  }));
    EXPECT_EQ(Events("HONGLOG"), (std::vector<std::string>{
                                     "1|0|" + n(head + 5) + "|0|0|0|0|0|0|1",
                                     "1|0|0|3|0|0|0|0|0|1",
                                     "4|" + n(trunk + 3) + "|0|0|0|0|0|0|0|1", // the golden round
                                     "4|0|0|2|0|0|0|0|0|1",
                                 }));
}

} // namespace
