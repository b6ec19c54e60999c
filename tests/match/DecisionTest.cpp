#include "match/DecisionRules.h"
#include "match/WinSelDlg.h"
#include "tests/match/DialogHelpers.h"
#include "tests/match/RecordingView.h"
#include "tests/support/EventLogSettle.h"

#include "app/AdoObject.h"
#include "app/SqlText.h"
#include "app/VariantText.h"
#include "app/VeziruduzApp.h"
#include "links/MatchInput.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstdio>

#include <string>
#include <vector>

using namespace DecisionRules;
using Lines = std::vector<std::string>;

namespace {

// ---------------------------------------------------------------------------------------------------------
// The decision table

TEST(DecisionRulesTest, EachKindHasItsCodeInEveryProtocolAndItsTexts) {
    struct Case {
        int kind;
        const char* text;
        const char* textSupplier2;
        const char* shortCode;
        int number;
        std::u16string ordinary;
        std::u16string tournament;
    };
    const Case cases[] = {
        {0, "PTF", "PTF", "PTF", 3, u"(PTF) Final Score", u"(PTF) Final Score"},
        {1, "PTG", "PTG", "PTG", 8, u"(PTG) Point Gap", u"(RSC) Referee Stop Contest"},
        {2, "GDP", "SDP", "GDP", 9, u"(GDP) Golden Points", u"(DSQ) Disqualification"},
        {3, "RSC", "RSC", "RSC", 2, u"(RSC) Referee Stop Contest", u"(PTG) Point Gap"},
        {4, "SUP", "SUP", "SUP", 7, u"(SUP) Superiority", u"(SUP) Superiority"},
        {5, "WDR", "WDR", "WDR", 4, u"(WDR) Withdrawal", u"(RSC) KO, Head"},
        {6, "DSQ", "DSQ", "DSQ", 5, u"(DSQ) Disqualification", u"(RSC) KO, Body"},
        {7, "PUN", "PUN", "PUN", 6, u"(PUN) Punitive Declaration", u"(PUN) Punitive Declaration"},
        {8, "DQB", "DQB", "PTF", 3, u"(DQB) Disqualification for Unsportsmanlike", u"(GDP) Golden Points"},
        {9, "PTS", "PTS", "PTC", 14, u"(PTS) Point Ceiling", u"(WDR) Withdrawal"},
        {10, "PTF", "PTF", "PTF", 3, u"", u"(PTS) Point Ceiling"},
        {11, "PTF", "PTF", "PTF", 3, u"", u""},
        {-1, "PTF", "PTF", "PTF", 3, u"", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        EXPECT_STREQ(DecisionCodeText(c.kind, 0), c.text);
        EXPECT_STREQ(DecisionCodeText(c.kind, 2), c.textSupplier2);
        EXPECT_STREQ(DecisionCodeShort(c.kind), c.shortCode);
        EXPECT_EQ(DecisionNumber(c.kind), c.number);
        EXPECT_EQ(DecisionNumberText(c.kind), u" " + QString::number(c.number).toStdU16String());
        EXPECT_EQ(DecisionText(c.kind, false), c.ordinary);
        EXPECT_EQ(DecisionText(c.kind, true), c.tournament);
    }
    EXPECT_EQ(WinText(0, 0, false), u"C.WIN((PTF) Final Score)");
    EXPECT_EQ(WinText(1, 5, true), u"H.WIN((RSC) KO, Head)");
}

TEST_F(MatchTest, TheProposedDecisionFollowsTheRoundTheClockAndTheRoundWins) {
    struct Case {
        int curRound, state, competitionRule, chungWins, hongWins, competitionType;
        int expected;
    };
    const Case cases[] = {
        {3, 3, 0, 0, 0, 0, kPTF}, // last regular round
        {3, 8, 0, 0, 0, 0, kPTF}, // the last round wins over the stopped clock
        {1, 8, 0, 0, 0, 0, kRSC}, // stopped in an earlier round
        {2, 3, 1, 2, 0, 0, kPTF}, // round-win system, Chung has two rounds
        {2, 3, 1, 1, 1, 0, kSUP},
        {2, 3, 0, 2, 0, 0, kSUP}, // round wins count only under the round-win system
        {4, 8, 0, 0, 0, 1, kGDP}, // team golden round
        {4, 8, 0, 0, 0, 0, kRSC},
        {2, 8, 1, 2, 0, 0, kPTF}, // 2-0 and the rest run out: the score decided, not a referee stop
        {1, 8, 1, 1, 0, 0, kRSC},
    };
    for (const Case& c : cases) {
        md->nCurRound = c.curRound;
        md->nGameState = c.state;
        md->nCompetitionRule = c.competitionRule;
        md->aSide[0].nRoundWins = c.chungWins;
        md->aSide[1].nRoundWins = c.hongWins;
        md->nCompetitionType = c.competitionType;
        EXPECT_EQ(ProposedDecision(*md), c.expected) << "round " << c.curRound << " state " << c.state;
    }
}

TEST_F(MatchTest, ARoundDecisionTakesTheRoundBeingFoughtOrTheNextNeverOneAlreadyWon) {
    struct Case {
        const char* what;
        int curRound, state, round1Winner, round2Winner;
        int expected; // round index
    };
    const Case cases[] = {
        {"before the first round: the match's alone", 0, 1, 0, 0, -1},
        {"round 2 running", 2, 3, 1, 0, 1},
        {"round 2 stopped", 2, 8, 1, 0, 1},
        {"the rest after round 2: round 3", 2, 5, 1, 2, 2},
        {"the rest, round 2 not yet confirmed: round 3", 2, 5, 1, 0, 2},
        {"the rest run out: round 3", 2, 6, 1, 2, 2},
        {"the rest paused: round 3", 2, 14, 1, 2, 2},
        {"round 2 already won, stopped: round 3", 2, 8, 1, 2, 2},
        {"after the golden round: none left", 4, 5, 1, 2, -1},
    };
    md->nRound = 3;
    for (const Case& c : cases) {
        md->nCurRound = c.curRound;
        md->nGameState = c.state;
        md->nRoundWinner[0] = c.round1Winner;
        md->nRoundWinner[1] = c.round2Winner;
        EXPECT_EQ(DecisionRoundIndex(*md), c.expected) << c.what;
    }
}

TEST_F(MatchTest, ARoundDecisionIsCountedOnceAndItsUndoPutsBackWhatItReplaced) {
    md->nCompetitionRule = 1;
    md->nRoundWinner[0] = 1;
    md->nRoundWinner[1] = 2;
    md->nRoundReason[1] = 0;
    md->aSide[0].nRoundWins = 1;
    md->aSide[1].nRoundWins = 1;
    EXPECT_FALSE(RecordRoundDecision(*md, 1, kPTF, 2));  // not a decision that ends the round
    EXPECT_FALSE(RecordRoundDecision(*md, 1, kWDR, -1)); // no round to take it
    EXPECT_EQ(md->nRoundWinner[2], 0);

    const RoundDecision undo = RecordRoundDecision(*md, 0, kWDR, 2);
    ASSERT_TRUE(undo);
    EXPECT_EQ(md->nRoundWinner[1], 2) << "the round already won keeps its winner";
    EXPECT_EQ(md->nRoundWinner[2], 1);
    EXPECT_EQ(md->nRoundReason[2], kWDR);
    EXPECT_EQ(md->aSide[0].nRoundWins, 2);
    EXPECT_EQ(md->aSide[1].nRoundWins, 1);

    UndoRoundDecision(*md, undo);
    EXPECT_EQ(md->nRoundWinner[2], 0);
    EXPECT_EQ(md->nRoundReason[2], 0);
    EXPECT_EQ(md->aSide[0].nRoundWins, 1);
    EXPECT_EQ(md->aSide[1].nRoundWins, 1);

    md->nCompetitionRule = 0;
    EXPECT_FALSE(RecordRoundDecision(*md, 1, kWDR, 2));
}

TEST_F(MatchTest, TheProposalIsOneTheRoundWinSystemAdmits) {
    struct Case {
        int rule, kind, expected;
    };
    const Case cases[] = {
        {1, kGDP, kPTF}, {1, kSUP, kPTF}, {1, kPTG, kPTF}, {1, kPTS, kPTF}, {1, kRSC, kRSC},
        {1, kWDR, kWDR}, {1, kDQB, kDQB}, {0, kGDP, kGDP}, {0, kSUP, kSUP}, {0, kPTS, kPTS},
    };
    for (const Case& c : cases) {
        md->nCompetitionRule = c.rule;
        EXPECT_EQ(AdmittedProposal(*md, c.kind), c.expected) << "rule " << c.rule << " kind " << c.kind;
    }
}

// ---------------------------------------------------------------------------------------------------------
// DecideWinner over a real local database

class DecisionView : public RecordingView {
public:
    int answer = IDOK;
    int chosenKind = -1;  // the operator's choice; -1 takes the proposal
    bool shipped = false; // answer with the program's own selection instead of the scripted one
    int ChooseWinner(int side, int proposed) override {
        Add("choose " + std::to_string(side) + " " + std::to_string(proposed));
        if (shipped)
            return CMainWnd::ChooseWinner(side, proposed);
        if (answer == IDOK && g_pMatchData) {
            g_pMatchData->nWinSide = side;
            g_pMatchData->nDecisionKind = chosenKind < 0 ? proposed : chosenKind;
            g_pMatchData->nWinRound = g_pMatchData->nCurRound;
        }
        return answer;
    }
    void OpenDecisionPopup(int kind, int side, int l, int t, int r, int b) override {
        Add("open popup " + std::to_string(kind) + " " + std::to_string(side) + " " + std::to_string(l) +
            "," + std::to_string(t) + "-" + std::to_string(r) + "," + std::to_string(b));
    }
    void CloseWinnerScreens() override { Add("close screens"); }
    void CloseWinnerPopup() override { Add("close popup"); }
    void ShowWinnerScreens(bool pub, bool op) override {
        Add("winner screens " + std::to_string(pub) + " " + std::to_string(op));
    }
    void ShowGoldenRoundWinnerScreen(int criterion) override { Add("golden " + std::to_string(criterion)); }

private:
    void Add(std::string line) { events.push_back(std::move(line)); }
};

class DecisionTest : public MatchTest {
protected:
    void SetUp() override {
        ASSERT_EQ(home.makeLocalDatabase("INSERT INTO GAMET(keyvalue) VALUES('202405011200');"
                                         "INSERT INTO GAMET(keyvalue) VALUES('O''Neil-2');"),
                  "");
        ASSERT_TRUE(theApp.m_dbLocal.Open(home.localConnection().c_str())) << theApp.m_dbLocal.lastError();
        auto owned = std::make_unique<DecisionView>();
        dv = owned.get();
        view = std::move(owned);
        dv->m_strMatchKey = u"202405011200";
        md->bMatchLogged = 1;
        md->nCurRound = 3; // the last regular round: the proposal is PTF
        // A loaded match being played: only such a match can be decided.
        std::snprintf(md->szContestNo, sizeof md->szContestNo, "101");
        md->nGameState = 3;
    }
    void TearDown() override {
        TheEventLogWriter().Stop();
        theApp.m_dbLocal.Close();
        g_MatchInput = TTK_MatchInput{};
    }
    std::string Win(const std::string& key) {
        EXPECT_TRUE(SettleEventLog());
        theApp.m_dbLocal.Select("SELECT win FROM GAMET WHERE keyvalue='%s'", SqlQuote(key).c_str());
        return theApp.m_dbLocal.nRows == 1 ? U8(VariantToString(theApp.m_dbLocal.cell(0, 0))) : "<no row>";
    }
    Lines Notices() const {
        Lines out;
        for (const std::string& e : dv->events)
            if (e.starts_with("ctrl") || e.starts_with("colon") || e.starts_with("pipe") ||
                e.starts_with("bracket") || e.starts_with("ivr") || e.starts_with("tvg") ||
                e.starts_with("wt"))
                out.push_back(e);
        return out;
    }
    DecisionView* dv = nullptr;
};

TEST_F(DecisionTest, AConfirmedDecisionIsRecordedAndAnnouncedBySupplier) {
    struct Case {
        int supplier;
        int side;
        int kind;
        std::string win;
        Lines linkNotices; // before the IVR, TVG and WT notices every supplier gets
    };
    const Case cases[] = {
        {0, 0, kPTF, "C.WIN((PTF) Final Score)", {"ctrl 7 B| 3|"}},
        {2, 1, kGDP, "H.WIN((GDP) Golden Points)", {"colon 8 ||", "colon 15 Red|SDP|", "colon 16 Red|SDP|"}},
        {4, 1, kDQB, "H.WIN((DQB) Disqualification for Unsportsmanlike)", {"bracket 5 RED|PTF|"}},
        {7, 0, kPTS, "C.WIN((PTS) Point Ceiling)", {"pipe 8 ||", "pipe 14 Blue|PTS|"}},
        {6, 0, kSUP, "C.WIN((SUP) Superiority)", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.supplier);
        dv->events.clear();
        md->nOvrSupplier = c.supplier;
        md->nGameState = 3;
        dv->chosenKind = c.kind;
        dv->CMainWnd::DecideWinner(c.side, kNoDecision);
        EXPECT_EQ(Win("202405011200"), c.win);
        EXPECT_EQ(md->nGameState, 11);
        EXPECT_EQ(md->nWinSide, c.side);
        EXPECT_EQ(md->nDecisionKind, c.kind);
        const std::string letter = c.side == 0 ? "B" : "R";
        const std::string code = DecisionCodeText(c.kind, c.supplier);
        Lines expected = c.linkNotices;
        expected.push_back("ivr 7 " + letter + "|" + code + "||");
        expected.push_back("tvg 0 3 " + letter + "|" + code + "|");
        expected.push_back("wt 0 9 " + std::to_string(c.side) + " " + std::to_string(c.kind));
        EXPECT_EQ(Notices(), expected);
    }
    EXPECT_TRUE(prompter.texts().empty());
}

TEST_F(DecisionTest, TheWtJsonApiGetsTheRoundEndOnlyForADecisionThatEndsTheRound) {
    md->nOvrSupplier = 8;
    md->nCompetitionRule = 1;
    md->nCurRound = 2;
    dv->chosenKind = kWDR;
    dv->CMainWnd::DecideWinner(1, kNoDecision);
    EXPECT_EQ(dv->TakeJson(), (Lines{"6:", "30:", "40:"}));
    EXPECT_EQ(md->nRoundWinner[1], 2);
    EXPECT_EQ(md->aSide[1].nRoundWins, 1);
    EXPECT_EQ(dv->With("wt"), (Lines{"wt 0 20 1 2", "wt 0 9 1 5"}));

    dv->chosenKind = kPTF;
    dv->CMainWnd::DecideWinner(0, kNoDecision);
    EXPECT_EQ(dv->TakeJson(), (Lines{"40:"}));
}

// The winner selection stores the decision kind whatever layout it listed, so the tournament layout's
// referee stop is named as one, not as the decision at its list position.
TEST_F(DecisionTest, TheWinColumnNamesTheDecisionKindWhileTheTournamentLinkIsConnected) {
    md->nOvrSupplier = 3;
    md->bOvrConnected = 1;
    dv->chosenKind = kRSC;
    dv->CMainWnd::DecideWinner(0, kNoDecision);
    EXPECT_EQ(Win("202405011200"), "C.WIN((RSC) Referee Stop Contest)");
}

// The golden round's superiority is confirmed by its own dialog; the record and the notices are the
// winner buttons' own.
TEST_F(DecisionTest, ASuperiorityConfirmedAtTheGoldenRoundEndIsRecordedAndAnnounced) {
    md->nOvrSupplier = 0;
    md->nWinSide = 1;
    md->nDecisionKind = kSUP;
    dv->ShowDlgItem(1000, false);
    dv->RecordConfirmedDecision();
    EXPECT_EQ(Win("202405011200"), "H.WIN((SUP) Superiority)");
    EXPECT_FALSE(dv->Button(1000)->isHidden()) << "Winner Cancel is offered";
    EXPECT_EQ(Notices(), (Lines{"ctrl 7 R| 7|", "ivr 7 R|SUP||", "tvg 0 3 R|SUP|", "wt 0 9 1 4"}));
}

TEST_F(DecisionTest, AMatchDecidedBeforeItsFirstStartWritesItsWinIntoItsOwnRow) {
    dv->ForgetMatchRow(); // the next match was loaded: a withdrawal, decided before any round
    md->bMatchLogged = 0;
    md->nCurRound = 0;
    dv->chosenKind = kWDR;
    dv->CMainWnd::DecideWinner(1, kNoDecision);
    EXPECT_EQ(Win("202405011200"), "") << "the previous match's row is left alone";
    ASSERT_FALSE(dv->m_strMatchKey.empty());
    EXPECT_NE(dv->m_strMatchKey, u"202405011200");
    EXPECT_EQ(Win(U8(dv->m_strMatchKey)), "H.WIN((WDR) Withdrawal)");
    EXPECT_TRUE(prompter.texts().empty());
}

TEST_F(DecisionTest, AKeyWithAQuoteUpdatesOnlyItsOwnRow) {
    dv->m_strMatchKey = u"O'Neil-2";
    dv->CMainWnd::DecideWinner(1, kNoDecision);
    EXPECT_EQ(Win("O'Neil-2"), "H.WIN((PTF) Final Score)");
    EXPECT_EQ(Win("202405011200"), "");
    EXPECT_TRUE(prompter.texts().empty());
}

TEST_F(DecisionTest, AFailedUpdateSaysDbErrorAndTheDecisionStands) {
    theApp.m_dbLocal.Close();
    dv->CMainWnd::DecideWinner(0, kNoDecision);
    EXPECT_EQ(prompter.texts(), Lines{"DB Error!"});
    EXPECT_EQ(md->nGameState, 11);
    EXPECT_EQ(dv->With("wt 0 9"), Lines{"wt 0 9 0 0"});
}

TEST_F(DecisionTest, CancellingLeavesNoDecisionAndTheStateAsItWas) {
    struct Case {
        int before;
        int after;
    };
    for (const Case c : {Case{1, 1}, Case{5, 5}, Case{3, 8}, Case{7, 8}}) {
        dv->events.clear();
        md->nGameState = c.before;
        dv->answer = IDCANCEL;
        dv->CMainWnd::DecideWinner(0, kNoDecision);
        EXPECT_EQ(md->nGameState, c.after) << c.before;
        EXPECT_EQ(md->nDecisionKind, kNoDecision);
        EXPECT_EQ(dv->With("close popup"), Lines{"close popup"});
        EXPECT_TRUE(Notices().empty());
    }
    EXPECT_EQ(Win("202405011200"), "");
}

TEST_F(DecisionTest, AWinnerButtonWhoseSelectionDialogIsCancelledDecidesNothing) {
    dv->shipped = true;
    md->nGameState = 3;
    md->nWinSide = -1;
    const auto cancel = [](QWidget& dialog) {
        Child<QPushButton>(dialog, CTK_WinSelDlg::IDC_CANCEL)->click();
    };
    WhenModal(cancel);
    dv->CMainWnd::DecideWinner(1, kNoDecision);
    WhenModal(cancel);
    dv->CMainWnd::DecideWinner(0, kRSC);
    EXPECT_EQ(Win("202405011200"), "");
    EXPECT_EQ(md->nDecisionKind, kNoDecision);
    EXPECT_EQ(md->nWinSide, -1);
    EXPECT_EQ(md->nGameState, 8);
    EXPECT_TRUE(Notices().empty());
    EXPECT_TRUE(dv->TakeJson().empty());
}

TEST_F(DecisionTest, TheWinnerButtonsProposeByTheRoundAndTheClock) {
    dv->answer = IDCANCEL;
    dv->OnClickedChungWinner();
    md->nCurRound = 1;
    md->nGameState = 3;
    dv->StopAll();
    dv->OnClickedHongWinner(); // recorded by the recording view: the button asks for the operator's choice
    dv->CMainWnd::DecideWinner(1, kNoDecision);
    EXPECT_EQ(dv->With("choose"), (Lines{"choose 1 3"}));
    EXPECT_EQ(dv->With("decide"), (Lines{"decide 0 11", "decide 1 11"}));
}

TEST_F(DecisionTest, AGivenDecisionShowsThePopupAndATeamGoldenBoutStopsThere) {
    dv->CMainWnd::DecideWinner(1, kPTG);
    EXPECT_EQ(dv->With("popup"), Lines{"popup 1 2"});
    EXPECT_EQ(dv->With("choose"), Lines{"choose 1 1"});

    dv->events.clear();
    md->nCompetitionType = 1;
    md->nTeamGRndMatchType = 1;
    md->nGameState = 3;
    dv->CMainWnd::DecideWinner(0, kGDP);
    EXPECT_EQ(dv->With("popup"), Lines{"popup 2 1"});
    EXPECT_TRUE(dv->With("choose").empty());
    EXPECT_EQ(md->nGameState, 8);
}

TEST_F(DecisionTest, AGoldenRoundWithEqualTotalsOpensTheRoundWinnerScreenInsteadOfTheWinnerScreens) {
    md->nMonitorCount = 2;
    md->nCurRound = 4;
    dv->CMainWnd::DecideWinner(0, kNoDecision);
    EXPECT_EQ(dv->With("golden"), Lines{"golden 2"});
    EXPECT_TRUE(dv->With("winner screens").empty());

    dv->events.clear();
    md->aSide[0].nRoundScore[3] = 2;
    md->bStandAloneMode = 1;
    dv->CMainWnd::DecideWinner(0, kNoDecision);
    EXPECT_EQ(dv->With("winner screens"), Lines{"winner screens 1 1"});
}

TEST_F(DecisionTest, TheResultFileIsWrittenOnlyForAMatchInputRecord) {
    g_MatchInput.field[TTK_MatchInput::FileName] = u"M7";
    dv->CMainWnd::DecideWinner(0, kNoDecision);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(home.file("Result/M7-res.ini"))));

    g_MatchInput.bValid = 1;
    dv->chosenKind = kWDR;
    dv->CMainWnd::DecideWinner(1, kNoDecision);
    EXPECT_NE(home.read("Result/M7-res.ini").find("result_type=WDR"), std::string::npos);
}

TEST_F(DecisionTest, ThePopupSitsOnThePublicScoreboardWithTwoMonitorsOnly) {
    md->nMonitorCount = 1;
    dv->CMainWnd::ShowDecisionPopup(kPTG, 1);
    EXPECT_TRUE(dv->With("open popup").empty());
    EXPECT_TRUE(sound.played.empty());

    md->nMonitorCount = 2;
    md->nPrimaryRight = 1366;
    md->nSecondRight = 1366 + 1920;
    md->nSecondBottom = 1080;
    md->nExtScrWidth = 1280;
    md->nExtScrHeight = 720;
    md->nDisplayResolution = 1;
    dv->CMainWnd::ShowDecisionPopup(kPTG, 1);
    // Scoreboard origin (1366 + 320, 180) plus the banner's place on a 1280-wide scoreboard.
    EXPECT_EQ(dv->With("open popup"), Lines{"open popup 1 1 1850,256-2812,378"});
    EXPECT_EQ(sound.played, Lines{"boong.wav"});

    dv->events.clear();
    md->nDisplayResolution = 0;
    md->nExtScrWidth = 1920;
    md->nExtScrHeight = 1080;
    md->nCompetitionRule = 1;
    dv->CMainWnd::ShowDecisionPopup(kSUP, 2);
    EXPECT_EQ(dv->With("open popup"), Lines{"open popup 4 2 2091,510-2563,830"});
}

} // namespace

// The selection the engine's decisions open: it shows a row it will accept, so an operator who only presses
// OK records what the match says.
TEST_F(DecisionTest, TheSelectionOpensOnARowItAcceptsForEveryTypeAndSystem) {
    struct Case {
        const char* what;
        int type, rule, curRound, kind;
        std::string row;
        int recorded;
    };
    const Case cases[] = {
        {"ceiling, type 0", 0, 0, 2, kPTS, "(PTS) Point Ceiling", kPTS},
        {"ceiling, team match", 1, 0, 2, kPTS, "(PTS) Point Ceiling", kPTS},
        {"ceiling, type 2", 2, 0, 2, kPTS, "(PTS) Point Ceiling", kPTS},
        {"golden point, points system", 0, 0, 4, kGDP, "(GDP) Golden Points", kGDP},
        {"golden point, best of 3", 0, 1, 4, kGDP, "(PTF) Final Score", kPTF},
        {"point gap, best of 3", 0, 1, 2, kPTG, "(PTF) Final Score", kPTF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dv->shipped = true;
        md->nCompetitionType = c.type;
        md->nCompetitionRule = c.rule;
        md->bUsePointCeil = 1; // as shipped
        md->nCurRound = c.curRound;
        md->nGameState = 3;
        const std::size_t boxes = prompter.texts().size();
        std::string shown;
        WhenModal([&](QWidget& dialog) {
            shown = Child<QComboBox>(dialog, CTK_WinSelDlg::IDC_LIST)->currentText().toStdString();
            Child<QPushButton>(dialog, CTK_WinSelDlg::IDC_OK)->click();
        });
        dv->CMainWnd::DecideWinner(0, c.kind);
        EXPECT_EQ(shown, c.row);
        EXPECT_EQ(prompter.texts().size(), boxes) << "the proposal is not refused";
        EXPECT_EQ(md->nGameState, 11);
        EXPECT_EQ(md->nDecisionKind, c.recorded);
        EXPECT_EQ(Win("202405011200"), U8(WinText(0, c.recorded, false)));
    }
}

TEST_F(DecisionTest, AProposalTheListHasNoRowForIsSaidAndNothingIsChosenForTheOperator) {
    md->bUsePointCeil = 0;
    md->nCompetitionType = 0;
    CTK_WinSelDlg dialog(0, kPTS, nullptr);
    EXPECT_EQ(dialog.List()->currentIndex(), -1);
    auto* note = Child<QLabel>(dialog, CTK_WinSelDlg::IDC_NOTE);
    ASSERT_NE(note, nullptr);
    EXPECT_FALSE(note->isHidden());
    EXPECT_EQ(note->text().toStdString(),
              "The proposed decision (PTS) is not in this list: please choose one.");
    // OK without a choice records nothing.
    md->nDecisionKind = kNoDecision;
    dialog.accept();
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Please select the decision."});
    EXPECT_EQ(md->nDecisionKind, kNoDecision);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}
