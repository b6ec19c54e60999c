#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/VariantText.h"
#include "app/VeziruduzApp.h"
#include "links/MatchInput.h"
#include "records/MatchRecords.h"
#include "screens/OperatorLayout.h"
#include "tests/support/EventLogSettle.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>

#include <cstring>
#include <memory>
#include <string>

namespace {

// A view over a fresh program folder and match record.
class RecordsTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_strAppDir = home.widePath();
        CreateMatchData();
        g_pMatchData->nRound = 3;
        view = std::make_unique<CMainWnd>();
        view->SetupControls();
    }
    void TearDown() override {
        TheEventLogWriter().Stop();
        view.reset();
        theApp.m_dbLocal.Close();
        g_MatchInput = TTK_MatchInput{};
        FreeMatchData();
        g_strAppDir.clear();
    }
    MatchData& md() { return *g_pMatchData; }
    bool shown(int id) {
        QWidget* control = view->GetDlgItem(id);
        return control && !control->isHidden();
    }

    TempHome home;
    std::unique_ptr<CMainWnd> view;
};

// ---------------------------------------------------------------------------------------------------------
// Judge-input lamps and their match log

std::string Utf16Le(const std::string& ascii) {
    std::string out;
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

TEST_F(RecordsTest, HongLampTogglesAndAppendsToAnExistingLog) {
    std::strcpy(md().szContestNo, "101");
    md().nGameState = 3;
    view->ShowRoundNumber(2);
    view->ShowClockMs(65'000);
    home.write("Log/No101.txt", Utf16Le("old"));
    view->ToggleJudgeLamp(0, 0, 0); // all lamps off, the next toggle shows
    view->ToggleJudgeLamp(1, 0, 1);
    EXPECT_TRUE(shown(OperatorIds::LampHong));
    EXPECT_FALSE(shown(OperatorIds::LampChung));
    view->ToggleJudgeLamp(1, 0, 1);
    EXPECT_FALSE(shown(OperatorIds::LampHong));
    EXPECT_EQ(home.read("Log/No101.txt"),
              Utf16Le("old") + Utf16Le("[R2:1:05]\r\n") + Utf16Le("[R2:1:05]\r\n"));
}

TEST_F(RecordsTest, LampsWithoutALogFileStillToggleAndCreateNothing) {
    std::strcpy(md().szContestNo, "7");
    view->ToggleJudgeLamp(1, 1, 1); // force: shown
    EXPECT_TRUE(shown(OperatorIds::LampHong));
    view->ToggleJudgeLamp(1, 1, 0);
    EXPECT_TRUE(shown(OperatorIds::LampChung));
    view->ToggleJudgeLamp(1, 0, 0);
    EXPECT_FALSE(shown(OperatorIds::LampChung));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(home.file("Log/No7.txt"))));
}

TEST_F(RecordsTest, AContestNumberNamingAnotherFolderIsNotFollowed) {
    std::strcpy(md().szContestNo, "./../victim");
    // Log/No./../victim.txt is Log/victim.txt once the folder Log/No. exists.
    home.write("Log/No./placeholder", "");
    home.write("Log/victim.txt", "keep");
    view->ToggleJudgeLamp(1, 1, 1);
    EXPECT_EQ(home.read("Log/victim.txt"), "keep");
    EXPECT_TRUE(shown(OperatorIds::LampHong));
}

TEST_F(RecordsTest, TheFirstStartMakesTheLampLogAndKeepsOneThatIsThere) {
    struct Case {
        const char* name;
        bool logFolder;     // Log/ exists before the start
        std::string before; // the log file's bytes before the start; empty: no file
    };
    const Case cases[] = {
        {"no Log folder yet", false, ""},
        {"no file in the Log folder", true, ""},
        {"a file of an earlier run keeps its lines", true, Utf16Le("[R3:0:10]\r\n")},
    };
    ScriptedPrompter prompter(IDYES);
    ASSERT_EQ(home.makeLocalDatabase(), "");
    ASSERT_TRUE(theApp.m_dbLocal.Open(home.localConnection().c_str())) << theApp.m_dbLocal.lastError();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(QString::fromStdString(home.file("Log"))).removeRecursively();
        if (c.logFolder)
            home.write("Log/keep", "");
        if (!c.before.empty())
            home.write("Log/No101.txt", c.before);
        std::strcpy(md().szContestNo, "101");
        md().nMatchTime = 120;
        md().nRestTime = 60;
        md().nGameState = 1;
        md().nCurRound = 0;
        md().bMatchLogged = 0;
        view->OnClickedStart();
        ASSERT_EQ(md().nCurRound, 1);
        EXPECT_EQ(home.read("Log/No101.txt"), c.before); // once the file writer has made it
        ASSERT_TRUE(QFile::exists(QString::fromStdString(home.file("Log/No101.txt"))));
        view->ToggleJudgeLamp(1, 1, 1);
        EXPECT_EQ(home.read("Log/No101.txt"),
                  c.before + Utf16Le("[R1:" + QString::fromStdU16String(view->m_strClockText).toStdString() +
                                     "]\r\n"));
        view->OnClickedStop();
    }
}

// ---------------------------------------------------------------------------------------------------------
// Result file

TEST_F(RecordsTest, ResultFileOfAWinByDecision) {
    g_MatchInput.field[TTK_MatchInput::FileName] = u"A-0012";
    g_MatchInput.field[TTK_MatchInput::Match] = u"12";
    g_MatchInput.field[TTK_MatchInput::VmaKey] = u"K-9";
    g_MatchInput.field[TTK_MatchInput::BlueId] = u"B7";
    std::strcpy(md().aPlayer[0].szName, "O'NEIL \"Jo\"");
    md().aSide[0].nScore = 10;
    md().aSide[1].nPenaltyCount1 = 2; // Chung 12
    md().aSide[1].nScore = 3;
    md().aSide[0].nPenaltyCount2 = 1; // Hong 5
    md().nWinSide = 0;
    md().nDecisionKind = 4;
    home.write("Result/A-0012-res.ini", "an older, longer result that must not survive");
    EXPECT_EQ(WriteResultIni(), 1);
    EXPECT_EQ(home.read("Result/A-0012-res.ini"),
              "[Match_Result]\r\nmatch=12\r\nvma_key=K-9\r\n"
              "winner=\"Blue - O'NEIL \"Jo\" - B7\"\r\nscore=\"12 - 5\"\r\n"
              "result_type=SUP\r\n");
}

TEST_F(RecordsTest, ResultFileValuesCannotAddLines) {
    g_MatchInput.field[TTK_MatchInput::FileName] = u"M1";
    g_MatchInput.field[TTK_MatchInput::RedId] = u"R1\r\nresult_type=RSC";
    std::strcpy(md().aPlayer[1].szName, "KIM");
    md().nWinSide = 1;
    md().nDecisionKind = 10;
    WriteResultIni();
    EXPECT_EQ(home.read("Result/M1-res.ini"),
              "[Match_Result]\r\nmatch=\r\nvma_key=\r\n"
              "winner=\"Red - KIM - R1  result_type=RSC\"\r\nscore=\"0 - 0\"\r\n"
              "result_type=NONE\r\n");
}

TEST(ResultFileTest, NamesAreWrittenAsValidUtf8) {
    auto md = std::make_unique<MatchData>();
    md->nWinSide = 1;
    md->nDecisionKind = 0;
    struct Case {
        const char* name; // bytes in the record
        const char* written;
    };
    const Case cases[] = {
        {"\xEA\xB9\x80 Ji", "\xEA\xB9\x80 Ji"},         // UTF-8 stays as it is
        {"\xB1\xE8 Ji", "\xEF\xBF\xBD\xEF\xBF\xBD Ji"}, // damaged bytes never reach the file raw
    };
    for (const Case& c : cases) {
        std::strcpy(md->aPlayer[1].szName, c.name);
        EXPECT_NE(
            ResultFileText(*md, TTK_MatchInput{}).find(std::string("winner=\"Red - ") + c.written + " - \""),
            std::string::npos)
            << c.written;
    }
}

TEST(ResultFileTest, DecisionCodesAndADrawNamesNoWinner) {
    const char* codes[] = {"PTF", "PTG", "SDP", "RSC",  "SUP",  "WDR",
                           "DSQ", "PUN", "DQB", "NONE", "NONE", "NONE"};
    for (int kind = 0; kind < 12; ++kind)
        EXPECT_STREQ(ResultTypeCode(kind), codes[kind]) << kind;
    EXPECT_STREQ(ResultTypeCode(-1), "NONE");

    auto md = std::make_unique<MatchData>();
    std::memset(md.get(), 0, sizeof(MatchData));
    md->nWinSide = 3;
    md->nDecisionKind = 10;
    EXPECT_NE(ResultFileText(*md, TTK_MatchInput{}).find("winner=\"\"\r\n"), std::string::npos);
}

TEST_F(RecordsTest, AMatchInputNameWithAFolderWritesNothing) {
    g_MatchInput.field[TTK_MatchInput::FileName] = u"../x";
    EXPECT_EQ(WriteResultIni(), 1);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(home.file("x-res.ini"))));
    g_MatchInput.field[TTK_MatchInput::FileName] = u"";
    EXPECT_EQ(WriteResultIni(), 1);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(home.file("Result/-res.ini"))));
}

// ---------------------------------------------------------------------------------------------------------
// Local event log

class EventLogTest : public RecordsTest {
protected:
    void SetUp() override {
        RecordsTest::SetUp();
        ASSERT_EQ(
            home.makeLocalDatabase("INSERT INTO PLAYER(FNo,Weight,Weight1,Sex) VALUES('A''1','-58','58','M');"
                                   "INSERT INTO PLAYER(FNo,Weight,Weight1,Sex) VALUES('B2','-58','58','M');"),
            "");
        ASSERT_TRUE(theApp.m_dbLocal.Open(home.localConnection().c_str())) << theApp.m_dbLocal.lastError();

        std::strcpy(md().szContestNo, "A'1");
        std::strcpy(md().szWeightClass, "-58");
        std::strcpy(md().szWeight, "58");
        std::strcpy(md().szGender, "M");
        std::strcpy(md().aPlayer[0].szName, "O'Neil");
        std::strcpy(md().aPlayer[1].szName, "D'Arcy");
        md().nGameState = 3;
        md().nCurRound = 1;
        view->ShowRoundNumber(1);
    }

    // One value by a query on the open connection, once the events queued so far are written.
    std::u16string query(const char* sql) {
        EXPECT_TRUE(SettleEventLog());
        theApp.m_dbLocal.Select("%s", sql);
        EXPECT_EQ(theApp.m_dbLocal.nRows, 1) << sql << ": " << theApp.m_dbLocal.lastError();
        return theApp.m_dbLocal.nRows == 1 ? VariantToString(theApp.m_dbLocal.cell(0, 0)) : u"<none>";
    }
    int count(const char* sql) { return QString::fromStdU16String(query(sql)).toInt(); }
};

TEST_F(EventLogTest, TheMatchRowKeepsNamesWithQuotesWhole) {
    view->LogMatchRow();
    EXPECT_EQ(md().bMatchLogged, 1);
    EXPECT_EQ(view->m_strMatchKey.size(), 12u);
    EXPECT_EQ(query("SELECT cname FROM GAMET"), u"O'Neil");
    EXPECT_EQ(query("SELECT hname FROM GAMET"), u"D'Arcy");
    EXPECT_EQ(query("SELECT gameno FROM GAMET"), u"A'1");
    EXPECT_EQ(count("SELECT count(*) FROM PLAYER"), 1); // the match's registration row went
    EXPECT_EQ(query("SELECT FNo FROM PLAYER"), u"B2");
    view->LogMatchRow(); // a second start of the clock: no second row
    EXPECT_EQ(count("SELECT count(*) FROM GAMET"), 1);
}

TEST_F(EventLogTest, AMatchStartedInTheSameMinuteGetsItsOwnKey) {
    view->LogMatchRow();
    const std::u16string first = view->m_strMatchKey;
    md().bMatchLogged = 0;
    view->LogMatchRow();
    EXPECT_NE(view->m_strMatchKey, first);
    EXPECT_EQ(count("SELECT count(*) FROM GAMET"), 2);
}

TEST_F(EventLogTest, EventsGoToTheirColumnsAndNumberAcrossBothSides) {
    view->LogMatchRow();
    md().aSide[0].nScore = 2;
    md().aSide[0].nTechTally[2][0] = 2;
    md().aSide[1].nPenaltyCount1 = 1;
    view->LogChungEvent(u"1:23", 1, 35, 1, 1234);
    view->LogHongEvent(u"1:20", 4, 2, 1, 0);   // kind 4: jpoint for Hong
    view->LogChungEvent(u"1:10", 4, 2, 0, 0);  // kind 4: point for Chung
    view->LogChungEvent(u"1:05", 18, 1, 1, 0); // not logged
    EXPECT_EQ(count("SELECT count(*) FROM CHUNGLOG"), 2);
    EXPECT_EQ(count("SELECT count(*) FROM HONGLOG"), 1);
    EXPECT_EQ(count("SELECT vest FROM CHUNGLOG WHERE dbindex = 1"), 35);
    EXPECT_EQ(query("SELECT rtime FROM CHUNGLOG WHERE dbindex = 1"), u"1:23");
    EXPECT_EQ(query("SELECT round FROM CHUNGLOG WHERE dbindex = 1"), u"1");
    EXPECT_EQ(count("SELECT ptime FROM CHUNGLOG WHERE dbindex = 1"), 1234);
    EXPECT_EQ(count("SELECT count(*) FROM CHUNGLOG WHERE dbindex = 1 AND itemvalid = TRUE"), 1);
    EXPECT_EQ(count("SELECT jpoint FROM HONGLOG WHERE dbindex = 2"), 2);
    EXPECT_EQ(count("SELECT point FROM CHUNGLOG WHERE dbindex = 3"), 2);
    EXPECT_EQ(count("SELECT count(*) FROM CHUNGLOG WHERE dbindex = 3 AND itemvalid = FALSE"), 1);
    // The totals: Chung 2 + Hong's gam-jeom, trunk points from the tally.
    EXPECT_EQ(count("SELECT chungpoint FROM GAMET"), 3);
    EXPECT_EQ(count("SELECT cbodypoint FROM GAMET"), 2);
    EXPECT_EQ(count("SELECT hdeduct FROM GAMET"), 1);
}

TEST_F(EventLogTest, AJudgePressLeavesTheTotals) {
    view->LogMatchRow();
    md().aSide[1].nScore = 4;
    view->LogHongEvent(u"0:50", 14, 6, 1, 0);
    EXPECT_EQ(count("SELECT judge2 FROM HONGLOG"), 6);
    EXPECT_EQ(count("SELECT hongpoint FROM GAMET"), 0);
}

TEST_F(EventLogTest, NothingIsLoggedBeforeTheMatchRowOrInTheEquipmentTest) {
    view->LogChungEvent(u"1:00", 1, 30, 1, 0);
    EXPECT_EQ(count("SELECT count(*) FROM CHUNGLOG"), 0);
    view->LogMatchRow();
    md().nGameState = 13;
    view->LogChungEvent(u"1:00", 1, 30, 1, 0);
    EXPECT_EQ(count("SELECT count(*) FROM CHUNGLOG"), 0);
    EXPECT_EQ(md().nLogIndex, 0);
}

TEST_F(EventLogTest, AClockTextWithAQuoteIsStoredWhole) {
    view->LogMatchRow();
    view->LogChungEvent(u"1'00", 2, 40, 1, 0);
    EXPECT_EQ(query("SELECT rtime FROM CHUNGLOG"), u"1'00");
}

// ---------------------------------------------------------------------------------------------------------
// The draw and the parts still to come

TEST_F(RecordsTest, DrawRecordsTheDecision) {
    md().nCurRound = 2;
    view->OnClickedDraw();
    EXPECT_EQ(md().nWinSide, 3);
    EXPECT_EQ(md().nDecisionKind, 10);
    EXPECT_EQ(md().nWinRound, 2);
}

} // namespace
