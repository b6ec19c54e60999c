// The match-log workbook of a scripted match: the header, event lines with their columns and looks, the
// round score table, the file's name and place, and the failures the operator must hear of.
#include "records/MatchLog.h"
#include "app/AppGlobals.h"
#include "app/FileWriter.h"
#include "app/MainWnd.h"
#include "platform/CompoundFile.h"
#include "records/CellFormats.h"
#include "records/ExcelBook.h"
#include "records/MatchRecords.h"
#include "tests/platform/EventPump.h"
#include "tests/support/TestCourt.h"
#include "tools/LogTemplates.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <thread>

namespace {

using MatchLog::CellLook;
using MatchLog::Fill;
using MatchLog::Look;

std::string SourceTemplate(const char* name) {
    QFile file(QString::fromUtf8(BELVANTA_SOURCE_DIR "/resources/home/Log/") + QString::fromUtf8(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

class MatchLogTest : public TestCourt, public ::testing::Test {
protected:
    void SetUp() override {
        home.write("Log/Log file.xls", SourceTemplate("Log file.xls"));
        home.write("Log/Log file_Team.xls", SourceTemplate("Log file_Team.xls"));
        std::strcpy(md->szContestNo, "A101");
        std::strcpy(md->szGender, "F");
        std::strcpy(md->szWeight, "-49kg");
        std::strcpy(md->szPhase, "Final");
        std::strcpy(md->szWeightClass, "Female -49kg");
        md->nLevelBody = 20;
        md->nLevelHead = 25;
        md->nVRQuota = 2;
        md->nTeamVRQuota = 5;
        md->nRound = 3;
        std::strcpy(md->aPlayer[0].szName, "SMITH Anna");
        std::strcpy(md->aPlayer[0].szNationName, "Great Britain");
        std::strcpy(md->aPlayer[0].szNationCode, "GBR");
        std::strcpy(md->aPlayer[1].szName, "김민서");
        std::strcpy(md->aPlayer[1].szNationName, "Korea");
        std::strcpy(md->aPlayer[1].szNationCode, "KOR");
    }
    // The last save is written (and its failure told) while this test's folder and prompter are there.
    void TearDown() override {
        CloseMatchLog();
        TheFileWriter().WaitIdle(20000);
        QCoreApplication::sendPostedEvents();
    }

    // The log file as a loaded book.
    std::unique_ptr<ExcelBook> Saved(const std::string& name) {
        MatchLog::SaveNow();
        EXPECT_TRUE(TheFileWriter().WaitIdle(20000));
        auto book = std::make_unique<ExcelBook>();
        EXPECT_EQ(book->Load(home.file("Log/" + name)), 1) << name;
        return book;
    }
    static std::string Text(ExcelBook& book, int sheet, int row, int column) {
        const ExcelCell* cell = book.Sheet(sheet)->Peek(row, column);
        if (!cell)
            return "<outside>";
        if (cell->kind() == ExcelCell::WideText)
            return QString::fromStdU16String(cell->wideText()).toStdString();
        std::string text;
        return cell->GetString(text) ? text : "<not text>";
    }
    static std::optional<int> Integer(ExcelBook& book, int sheet, int row, int column) {
        const ExcelCell* cell = book.Sheet(sheet)->Peek(row, column);
        if (!cell || cell->kind() != ExcelCell::Integer)
            return std::nullopt;
        return cell->integer();
    }
};

constexpr const char16_t* kName = u"2026-12-10 090000(NoA101).xls";
constexpr const char* kFile = "2026-12-10 090000(NoA101).xls";

TEST_F(MatchLogTest, HeaderIsWrittenAndTheFileHoldsTheTemplateCopyAtOnce) {
    ASSERT_EQ(OpenMatchLog(kName), 1);
    WriteMatchLogHeader();
    // The file is there from the start with the template's sheets.
    auto atOpen = Saved(kFile);
    ASSERT_EQ(atOpen->SheetCount(), 3);
    EXPECT_EQ(Text(*atOpen, 0, 1, 1), "MATCH LOG");
    EXPECT_EQ(Text(*atOpen, 0, 3, 3), "A101"); // saved after the header's change

    CloseMatchLog();
    auto book = Saved(kFile);
    const std::pair<int, std::string> header[] = {
        {3, "A101"}, {5, "W-49kg"},      {6, "Final"},   {7, "Female -49kg"},   {8, "20"},
        {9, "25"},   {12, "SMITH Anna"}, {13, "김민서"}, {14, "Great Britain"}, {15, "Korea"},
        {16, "GBR"}, {17, "KOR"},
    };
    for (const auto& [row, text] : header)
        EXPECT_EQ(Text(*book, 0, row, 3), text) << row;
    EXPECT_TRUE(std::regex_match(Text(*book, 0, 4, 3), std::regex(R"(\d{4}-\d\d-\d\d)")));
    EXPECT_EQ(Integer(*book, 0, 20, 3), 2);
}

TEST_F(MatchLogTest, EventLinesPutEachValueInItsColumn) {
    md->aSide[0].nScore = 5;
    md->aSide[1].nScore = 3;
    md->aSide[1].nPenaltyCount1 = 1; // blue gains 1
    md->aSide[0].nPenaltyCount2 = 1; // red gains 2
    ASSERT_EQ(OpenMatchLog(kName), 1);
    LogMatchEvent(1, 0, u"2:00", 0, 0, 0, 0);       // row 5
    LogMatchEvent(1, 14, u"1:40", 1, 5, 1, 0);      // row 6: red's gam-jeom, blue's point
    LogMatchEvent(1, 14, u"1:35", 0, 5, 1, 0);      // row 7: blue's gam-jeom, red's point
    LogMatchEvent(1, 25, u"1:20", 0, 6, 2, 0);      // row 8: removal
    LogMatchEvent(1, 17, u"1:10", 0, 6, 2, 0);      // row 9: addition
    LogMatchEvent(1, 9, u"0:50", 1, 1, 2, 1, 3, 5); // row 10: red body point, count and techniques
    LogMatchEvent(1, 15, u"0:30", 2, 4, 0, 0);      // row 11: referee video replay
    LogMatchEvent(1, 22, u"0:20", 2, 5, 1, 0);      // row 12: a referee's penalty points go to column 2
    LogMatchEvent(2, 38, u"1:59", 0, 1, 0, 33);     // row 13: blue punch hit with its value
    CloseMatchLog();
    auto book = Saved(kFile);
    constexpr int E = MatchLog::kEventSheet;

    EXPECT_EQ(Integer(*book, E, 5, 1), 1);
    EXPECT_EQ(Text(*book, E, 5, 2), "Start round 1");
    EXPECT_EQ(Text(*book, E, 5, 3), "2:00");
    EXPECT_TRUE(std::regex_match(Text(*book, E, 5, 4), std::regex(R"(\d\d:\d\d:\d\d\.\d{3})")));
    // The local time of the line, taken a moment ago (across midnight too).
    const QTime logged = QTime::fromString(QString::fromStdString(Text(*book, E, 13, 4)), "HH:mm:ss.zzz");
    ASSERT_TRUE(logged.isValid());
    const int behind = (logged.msecsTo(QTime::currentTime()) + 86400000) % 86400000;
    EXPECT_LT(behind, 20000) << Text(*book, E, 13, 4);
    EXPECT_EQ(Text(*book, E, 5, 5), "S");
    EXPECT_EQ(Text(*book, E, 5, 6), "6 - 5"); // 5 + 1, 3 + 2

    EXPECT_EQ(Text(*book, E, 6, 2), "Red gam-jeom");
    EXPECT_EQ(Integer(*book, E, 6, 7), 1);
    EXPECT_EQ(Text(*book, E, 6, 12), "<not text>");
    EXPECT_EQ(Text(*book, E, 7, 2), "Blue gam-jeom");
    EXPECT_EQ(Integer(*book, E, 7, 12), 1);
    EXPECT_EQ(Integer(*book, E, 7, 7), std::nullopt);

    EXPECT_EQ(Text(*book, E, 8, 2), "Remove blue head point");
    EXPECT_EQ(Text(*book, E, 8, 7), "-2");
    EXPECT_EQ(Text(*book, E, 8, 5), "BC");
    EXPECT_EQ(Text(*book, E, 9, 2), "Add blue punch point");
    EXPECT_EQ(Integer(*book, E, 9, 7), 2);

    EXPECT_EQ(Text(*book, E, 10, 2), "Red body point");
    EXPECT_EQ(Integer(*book, E, 10, 12), 2);
    EXPECT_EQ(Integer(*book, E, 10, 13), 1);
    EXPECT_EQ(Text(*book, E, 10, 14), "Body");
    EXPECT_EQ(Text(*book, E, 10, 15), "Body tech");
    EXPECT_EQ(Text(*book, E, 10, 16), "<not text>");

    EXPECT_EQ(Text(*book, E, 11, 2), "Referee video replay");
    EXPECT_EQ(Integer(*book, E, 12, 2), 1);
    EXPECT_EQ(Text(*book, E, 13, 2), "Blue punch hit");
    EXPECT_EQ(Integer(*book, E, 13, 8), 33);
    EXPECT_EQ(book->Sheet(E)->rows(), 14); // nothing below the last line
}

TEST_F(MatchLogTest, RoundWinSystemScoresTheGivenRound) {
    md->nCompetitionRule = 1;
    md->aSide[0].nRoundScore[1] = 4;
    md->aSide[1].nRoundPenaltyPoints1[1] = 1;
    md->aSide[1].nRoundScore[1] = 2;
    md->aSide[0].nScore = 40; // not used under the round-win system
    ASSERT_EQ(OpenMatchLog(kName), 1);
    LogMatchEvent(2, 8, u"1:00", 0, 1, 0, 0);
    CloseMatchLog();
    EXPECT_EQ(Text(*Saved(kFile), MatchLog::kEventSheet, 5, 6), "5 - 2");
}

TEST_F(MatchLogTest, EventLinesTakeTheirLooks) {
    ASSERT_EQ(OpenMatchLog(kName), 1);
    LogMatchEvent(1, 0, u"2:00", 0, 0, 0, 0); // marker line
    LogMatchEvent(1, 9, u"1:00", 1, 1, 2, 0); // red body point
    CloseMatchLog();
    auto book = Saved(kFile);
    const auto& g = book->globals();
    const auto look = [&](int row, int column) {
        const ExcelLog::XF& xf = g.xfs.at(book->Sheet(MatchLog::kEventSheet)->Peek(row, column)->xf());
        const std::size_t font = xf.font < 4 ? xf.font : xf.font - 1u;
        return std::tuple(g.fonts.at(font).colour, g.fonts.at(font).height, xf.fill, xf.border2, xf.alignment,
                          xf.border1);
    };
    using L =
        std::tuple<std::uint16_t, std::uint16_t, std::uint16_t, std::uint32_t, std::uint8_t, std::uint32_t>;
    for (int column = 1; column <= 16; ++column)
        EXPECT_EQ(look(5, column), L(2, 240, 17, 0x04000000, 0x12, 0x1111)) << column;
    EXPECT_EQ(look(6, 1), L(2, 240, 22, 0x04000000, 0x12, 0x1111)); // odd round: grey
    EXPECT_EQ(look(6, 2), L(4, 240, 5, 0x04000000, 0x12, 0x1111));  // blue font, yellow
    EXPECT_EQ(look(6, 12), L(4, 240, 5, 0x04000000, 0x12, 0x1111));
    EXPECT_EQ(look(6, 7), L(2, 240, 1, 0, 0x12, 0x1111)); // red font, no fill
    // Two lines of the same looks add no cell formats: the table finds them.
    const std::size_t formats = g.xfs.size();
    ASSERT_EQ(OpenMatchLog(u"again.xls"), 1);
    LogMatchEvent(1, 0, u"2:00", 0, 0, 0, 0);
    LogMatchEvent(1, 9, u"1:00", 1, 1, 2, 0);
    LogMatchEvent(1, 9, u"0:59", 1, 1, 2, 0);
    CloseMatchLog();
    EXPECT_EQ(Saved("again.xls")->globals().xfs.size(), formats);
}

TEST_F(MatchLogTest, RoundScoresAndTotals) {
    md->nCurRound = 5;
    md->nRound = 4;
    for (int r = 0; r < 5; ++r) {
        md->aSide[0].nTechTally[0][r] = r + 1; // punch points
        md->aSide[0].nTechTally[6][r] = 2;     // body tech points
        md->aSide[1].nRoundPenalty1[r] = 1;
        md->aSide[0].nRoundScore[r] = 10 * (r + 1);
        md->aSide[1].nRoundPenaltyPoints1[r] = 1;
    }
    md->aSide[0].nScore = 150;
    md->aSide[1].nPenaltyCount1 = 5;
    md->aSide[1].nPenaltyCount2 = 1;
    ASSERT_EQ(OpenMatchLog(kName), 1);
    WriteMatchLogRoundScores(0);
    WriteMatchLogRoundScores(4);
    const auto open = MatchLog::OpenBook();
    ASSERT_NE(open, nullptr);
    // Round 4 (the fifth) is on row 25 ...
    EXPECT_EQ(Integer(*open, 1, 25, 2), 5);
    EXPECT_EQ(Integer(*open, 1, 25, 20), 51);
    // ... and the totals take the same row in an individual match.
    WriteMatchLogRoundScores(10);
    CloseMatchLog();
    auto book = Saved(kFile);
    EXPECT_EQ(Text(*book, 1, 5, 1), "SMITH Anna - GBR");
    EXPECT_EQ(Text(*book, 1, 6, 1), "김민서 - KOR");
    EXPECT_EQ(Integer(*book, 1, 5, 2), 1);
    EXPECT_EQ(Text(*book, 1, 5, 8), "(+2)");
    EXPECT_EQ(Text(*book, 1, 5, 12), "(+1)"); // the opponent's gam-jeoms
    EXPECT_EQ(Integer(*book, 1, 6, 13), 1);
    EXPECT_EQ(Integer(*book, 1, 5, 20), 11);
    EXPECT_EQ(Integer(*book, 1, 25, 2), 1 + 2 + 3 + 4 + 5);
    EXPECT_EQ(Text(*book, 1, 25, 8), "(+10)");
    EXPECT_EQ(Integer(*book, 1, 25, 20), 150 + 5 + 2);
    EXPECT_EQ(Integer(*book, 1, 26, 20), 0);
}

TEST_F(MatchLogTest, TeamMatchUsesTheTeamTemplateAndRow30) {
    md->nCompetitionType = 1;
    md->aSide[1].nScore = 12;
    ASSERT_EQ(OpenMatchLog(kName), 1);
    WriteMatchLogHeader();
    WriteMatchLogRoundScores(10);
    CloseMatchLog();
    auto book = Saved(kFile);
    EXPECT_EQ(Text(*book, 0, 1, 1), "TEAM MATCH LOG");
    EXPECT_EQ(Integer(*book, 0, 20, 3), 5); // the team quota
    EXPECT_EQ(Integer(*book, 1, 31, 20), 12);
    EXPECT_EQ(Text(*book, 1, 25, 0), "Round 5"); // the template's label, untouched
}

TEST_F(MatchLogTest, StartAndEndTimes) {
    ASSERT_EQ(OpenMatchLog(kName), 1);
    WriteMatchLogTimes(0);
    WriteMatchLogTimes(1);
    CloseMatchLog();
    auto book = Saved(kFile);
    const std::regex time(R"(\d\d:\d\d:\d\d)");
    EXPECT_TRUE(std::regex_match(Text(*book, 0, 10, 3), time));
    EXPECT_TRUE(std::regex_match(Text(*book, 0, 11, 3), time));
    // Taken a moment apart (or across a second): 00:00 or 00:01, never negative.
    EXPECT_TRUE(std::regex_match(Text(*book, 0, 18, 3), std::regex("00:0[01]")));
}

TEST(MatchLogTimes, ElapsedTime) {
    struct Case {
        const char* start;
        const char* end;
        std::optional<std::string> elapsed;
    };
    const Case cases[] = {
        {"10:00:00", "10:07:05", "07:05"},       {"23:58:30", "00:03:00", "04:30"}, // across midnight
        {"09:00:00", "10:30:00", "90:00"},       {"12:00:00", "12:00:00", "00:00"},
        {"Start", "10:00:00", std::nullopt},     {"10:00", "10:05:00", std::nullopt},
        {"10:00:00x", "10:05:00", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchLog::ElapsedText(c.start, c.end), c.elapsed) << c.start << " " << c.end;
}

TEST(MatchLogTexts, EventSourceAndTechniqueTexts) {
    struct Case {
        int code, side, round;
        const char* text;
    };
    const Case cases[] = {
        {0, 0, 2, "Start round 2"},
        {1, 1, 3, "Stop round 3"},
        {2, 1, 1, "Time out"},
        {6, 0, 1, "Blue punch judge"},
        {6, 1, 1, "Red punch judge"},
        {15, 2, 1, "Referee video replay"},
        {15, 1, 1, "Red video replay"},
        {15, 0, 1, "Blue video replay"},
        {40, 0, 1, "Remove Blue gam-jeom 2POINT"},
        {32, 1, 1, "Call for doctor"},
        {41, 0, 1, "Event 41"},
        {-1, 0, 1, "Event -1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchLog::EventText(c.code, c.side, c.round), c.text) << c.code;
    EXPECT_EQ(MatchLog::SourceText(0), "S");
    EXPECT_EQ(MatchLog::SourceText(8), "BH");
    EXPECT_EQ(MatchLog::SourceText(9), "9");
    EXPECT_EQ(MatchLog::TechniqueText(7), "Spinning");
    EXPECT_EQ(MatchLog::TechniqueText(8), "");
}

TEST(MatchLogLooks, LookTable) {
    struct Case {
        int code, side, column, round;
        bool golden;
        std::optional<CellLook> look;
    };
    const CellLook redNone{Look::Red, Fill::None};
    const Case cases[] = {
        {1, 1, 9, 2, false, CellLook{Look::Marker, Fill::None}},
        {8, 0, 1, 2, false, redNone},                          // even round
        {8, 0, 1, 3, false, CellLook{Look::Red, Fill::Grey}},  // odd round
        {8, 1, 2, 1, false, CellLook{Look::Blue, Fill::None}}, // J
        {8, 0, 5, 1, false, CellLook{Look::Plain, Fill::None}},
        {9, 1, 6, 1, false, CellLook{Look::Blue, Fill::Yellow}},  // P
        {14, 1, 2, 1, false, CellLook{Look::Blue, Fill::Yellow}}, // G as P
        {14, 1, 2, 1, true, CellLook{Look::Blue, Fill::None}},    // G as J
        {39, 0, 6, 1, true, CellLook{Look::Plain, Fill::None}},
        {30, 0, 2, 1, false, redNone},
        {14, 0, 3, 3, true, CellLook{Look::Red, Fill::Grey}}, // golden: as column 1
        {14, 0, 4, 1, false, CellLook{Look::Red, Fill::Yellow}},
        {9, 0, 3, 1, false, CellLook{Look::Red, Fill::Yellow}},
        {39, 0, 3, 1, false, redNone},
        {8, 1, 12, 1, false, CellLook{Look::Blue, Fill::None}},
        {8, 0, 7, 1, false, CellLook{Look::Plain, Fill::None}},
        {8, 0, 12, 1, false, redNone},
        {9, 1, 16, 1, false, CellLook{Look::Blue, Fill::Yellow}},
        {9, 0, 11, 1, false, CellLook{Look::Plain, Fill::Yellow}},
        {9, 2, 7, 1, false, std::nullopt},
        {9, 2, 16, 1, false, std::nullopt},
        {14, 1, 7, 1, false, CellLook{Look::Plain, Fill::None}},
        {14, 0, 12, 1, false, CellLook{Look::Blue, Fill::None}},
        {14, 0, 7, 1, false, redNone},
        {39, 1, 7, 1, false, redNone},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchLog::EventCellLook(c.code, c.side, c.column, c.round, c.golden), c.look)
            << c.code << " side " << c.side << " column " << c.column;
}

TEST_F(MatchLogTest, GoldenRoundException) {
    md->nRound = 3;
    md->nCurRound = 4;
    md->aSide[1].nRoundPenalty1[3] = 1;
    EXPECT_TRUE(MatchLog::GoldenRoundException(*md, 1));
    md->aSide[1].nRoundPenalty2[3] = 1;
    EXPECT_FALSE(MatchLog::GoldenRoundException(*md, 1));
    EXPECT_TRUE(MatchLog::GoldenRoundException(*md, 0));
    EXPECT_FALSE(MatchLog::GoldenRoundException(*md, 2));
    md->nCurRound = 3;
    EXPECT_FALSE(MatchLog::GoldenRoundException(*md, 0));
}

TEST_F(MatchLogTest, ATemplateThatCannotServeFailsTheOpen) {
    struct Case {
        const char* name;
        std::string bytes; // "" removes the template
    };
    std::string twoSheets;
    {
        auto book = ExcelBook::Blank({u"A", u"B"});
        ASSERT_TRUE(book->storage().Create(home.file("two.xls")));
        ASSERT_EQ(book->storage().MakeFile(), 1);
        ASSERT_TRUE(book->Save());
        twoSheets = home.read("two.xls");
    }
    const Case cases[] = {{"missing", ""}, {"two sheets", twoSheets}, {"not a workbook", "plain text"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(QString::fromStdString(home.file("Log/Log file.xls")));
        if (!c.bytes.empty())
            home.write("Log/Log file.xls", c.bytes);
        EXPECT_EQ(OpenMatchLog(kName), 0);
        EXPECT_EQ(MatchLog::OpenBook(), nullptr);
        EXPECT_FALSE(QFile::exists(QString::fromStdString(home.file(std::string("Log/") + kFile))));
        LogMatchEvent(1, 0, u"2:00", 0, 0, 0, 0); // with no log, nothing happens
    }
}

TEST_F(MatchLogTest, LogsGetDistinctNamesInsideTheLogFolder) {
    ASSERT_EQ(OpenMatchLog(kName), 1);
    CloseMatchLog();
    ASSERT_EQ(OpenMatchLog(kName), 1); // the next match in the same second
    CloseMatchLog();
    EXPECT_TRUE(QFile::exists(QString::fromStdString(home.file("Log/2026-12-10 090000(NoA101) (2).xls"))));
    ASSERT_EQ(OpenMatchLog(u"2026(No../../evil).xls"), 1); // a contest number with folder separators
    CloseMatchLog();
    EXPECT_TRUE(QFile::exists(QString::fromStdString(home.file("Log/2026(No.._.._evil).xls"))));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(home.file("evil).xls"))));
}

// The file is current after each event, so a crash loses nothing of the match before it; a save that
// fails tells the operator once, without waiting for an answer.
TEST_F(MatchLogTest, TheFileIsCurrentAfterEachEventAndAFailedSaveIsReportedOnce) {
    ASSERT_EQ(OpenMatchLog(kName), 1);
    // Each event reaches the file by itself, shortly after it.
    const auto fileShows = [&](int row, const std::string& text) {
        return pumpUntil(
            [&] {
                ExcelBook book;
                return TheFileWriter().WaitIdle(20000) &&
                       book.Load(home.file(std::string("Log/") + kFile)) == 1 &&
                       Text(book, MatchLog::kEventSheet, row, 2) == text;
            },
            std::chrono::seconds(10));
    };
    LogMatchEvent(1, 0, u"2:00", 0, 0, 0, 0);
    EXPECT_TRUE(fileShows(5, "Start round 1"));
    LogMatchEvent(1, 1, u"1:10", 0, 0, 0, 0);
    EXPECT_TRUE(fileShows(6, "Stop round 1"));

    ASSERT_TRUE(QDir(QString::fromStdString(home.file("Log"))).removeRecursively());
    LogMatchEvent(1, 3, u"1:10", 0, 0, 0, 0);
    MatchLog::SaveNow();
    ASSERT_TRUE(TheFileWriter().WaitIdle(20000));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Log file save error!"});

    // Once the folder is back, the next save writes the line the failed one could not, with its own; a
    // second failure is not told again.
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(home.file("Log"))));
    LogMatchEvent(1, 2, u"1:05", 0, 0, 0, 0);
    EXPECT_TRUE(fileShows(7, "Match resume"));
    EXPECT_TRUE(fileShows(8, "Time out"));
    ASSERT_TRUE(QDir(QString::fromStdString(home.file("Log"))).removeRecursively());
    LogMatchEvent(1, 3, u"1:00", 0, 0, 0, 0);
    CloseMatchLog();
    ASSERT_TRUE(TheFileWriter().WaitIdle(20000));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(prompter.texts().size(), 1u);
    EXPECT_EQ(MatchLog::OpenBook(), nullptr);
    CloseMatchLog(); // nothing open any more
    ASSERT_TRUE(TheFileWriter().WaitIdle(20000));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(prompter.texts().size(), 1u);
}

// The file is the workbook stream the book in memory makes, byte for byte, also when saves follow one
// another faster than the file writer writes them.
TEST_F(MatchLogTest, TheFileHoldsTheStreamOfTheBookInMemory) {
    md->nCurRound = 1;
    ASSERT_EQ(OpenMatchLog(kName), 1);
    WriteMatchLogHeader();
    WriteMatchLogTimes(0);
    for (int n = 0; n < 240; ++n) {
        const int code = std::array{0, 8, 9, 14, 6, 25, 15, 38}[n % 8];
        LogMatchEvent(1 + n / 100, code, u"1:23", n % 3, n % 9, n % 4, n % 5, n % 8);
        if (n % 50 == 0)
            WriteMatchLogRoundScores(n / 100);
        MatchLog::SaveNow();
    }
    WriteMatchLogTimes(1);
    WriteMatchLogRoundScores(10);
    MatchLog::SaveNow();
    ASSERT_TRUE(TheFileWriter().WaitIdle(20000));
    std::vector<std::uint8_t> file;
    ASSERT_EQ(platform::ReadCompoundStream(home.file(std::string("Log/") + kFile), "Workbook", file),
              platform::CompoundResult::Ok);
    ASSERT_NE(MatchLog::OpenBook(), nullptr);
    EXPECT_EQ(file, MatchLog::OpenBook()->Write());
}

// Closing a log right after an event, or opening the next match's over it, saves the event's line; each
// match's file holds its own lines only.
TEST_F(MatchLogTest, ALineJustBeforeACloseOrTheNextOpenIsInItsOwnFile) {
    ASSERT_EQ(OpenMatchLog(u"first.xls"), 1);
    LogMatchEvent(1, 0, u"2:00", 0, 0, 0, 0);
    CloseMatchLog();
    ASSERT_EQ(OpenMatchLog(u"second.xls"), 1);
    LogMatchEvent(1, 2, u"1:50", 0, 0, 0, 0);
    ASSERT_EQ(OpenMatchLog(u"third.xls"), 1);
    LogMatchEvent(1, 32, u"1:40", 2, 0, 0, 0);
    CloseMatchLog();
    const std::pair<const char*, const char*> files[] = {
        {"first.xls", "Start round 1"}, {"second.xls", "Time out"}, {"third.xls", "Call for doctor"}};
    for (const auto& [name, line] : files) {
        auto book = Saved(name);
        EXPECT_EQ(Text(*book, MatchLog::kEventSheet, MatchLog::kFirstEventRow, 2), line) << name;
        EXPECT_EQ(book->Sheet(MatchLog::kEventSheet)->rows(), MatchLog::kFirstEventRow + 1) << name;
    }
}

TEST_F(MatchLogTest, DestroyingTheViewSavesTheOpenLog) {
    {
        CMainWnd view;
        ASSERT_EQ(OpenMatchLog(kName), 1);
        view.m_bLogOpen = TRUE;
        LogMatchEvent(1, 3, u"1:00", 0, 0, 0, 0);
    }
    EXPECT_EQ(MatchLog::OpenBook(), nullptr);
    EXPECT_EQ(Text(*Saved(kFile), MatchLog::kEventSheet, 5, 2), "Match resume");
}

// ---- the program killed while it saves ----
//
// The child is this test binary again: it writes event lines as fast as it can, saving after each, so the
// file writer replaces the file all the time, and says after every 25th line that the file holds it. The
// parent stops it now and then (SIGSTOP) until it finds a file of the log folder open in it, a save being
// written, and kills it there with SIGKILL.

constexpr const char* kKilledChildVariable = "BELVANTA_MATCH_LOG_KILLED_CHILD";
constexpr int kCountColumn = 8; // of an event line for blue

class SavingUntilKilled : public MatchLogTest {
public:
    void TestBody() override {
        std::printf("FOLDER %s\n", home.path().c_str());
        std::fflush(stdout);
        ASSERT_EQ(OpenMatchLog(kName), 1);
        for (int n = 1; n <= 20000; ++n) {
            LogMatchEvent(1, 8, u"1:23", 0, 1, 0, n); // line n counts n
            MatchLog::SaveNow();
            if (n % 25 == 0) {
                ASSERT_TRUE(TheFileWriter().WaitIdle(20000));
                std::printf("WRITTEN %d\n", n);
                std::fflush(stdout);
            }
        }
    }
};

// Registered only in the child, so a run of the binary never starts it on its own.
[[maybe_unused]] const bool g_killedChildRegistered = [] {
    if (!std::getenv(kKilledChildVariable))
        return false;
    ::testing::RegisterTest("MatchLogKilledChild", "SavesUntilKilled", nullptr, nullptr, __FILE__, __LINE__,
                            []() -> MatchLogTest* { return new SavingUntilKilled; });
    return true;
}();

// Whether the stopped process has a file below `folder` open.
bool HasFileOpenIn(qint64 pid, const QString& folder) {
    const QDir descriptors(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QFileInfo& fd :
         descriptors.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        if (fd.symLinkTarget().startsWith(folder))
            return true;
    return false;
}

bool Signal(qint64 pid, const char* signal) {
    return QProcess::execute(QStringLiteral("kill"), {QString::fromLatin1(signal), QString::number(pid)}) ==
           0;
}

// A kill in the middle of writing a save leaves the log as one whole save left it, never a file cut short or
// one whose lines are out of place: every line the log held when it was last said to be written, and the
// lines after it in order.
TEST_F(MatchLogTest, AKillWhileASaveIsWrittenLeavesTheFileOfAWholeSave) {
    for (int kill = 0; kill < 3; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        QTemporaryDir scratch; // the child's program folder
        ASSERT_TRUE(scratch.isValid());
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(kKilledChildVariable, "1");
        environment.insert("TMPDIR", scratch.path());
        child.setProcessEnvironment(environment);
        child.setStandardErrorFile(QProcess::nullDevice());
        child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=MatchLogKilledChild.*"});
        ASSERT_TRUE(child.waitForStarted());
        std::string folder;
        int written = 0;
        const auto readLines = [&] {
            while (child.canReadLine()) {
                const QStringList words = QString::fromUtf8(child.readLine()).trimmed().split(' ');
                if (words.size() == 2 && words[0] == "FOLDER")
                    folder = words[1].toStdString();
                else if (words.size() == 2 && words[0] == "WRITTEN")
                    written = words[1].toInt();
            }
        };
        const int wanted = 50 + 100 * kill;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (written < wanted && std::chrono::steady_clock::now() < deadline &&
               child.state() == QProcess::Running) {
            if (child.canReadLine() || child.waitForReadyRead(1000))
                readLines();
        }
        ASSERT_GE(written, wanted);
        ASSERT_FALSE(folder.empty());
        const QString logFolder = QString::fromStdString(folder + "Log/");
        bool caught = false;
        for (int attempt = 0; attempt < 2000 && !caught && child.state() == QProcess::Running; ++attempt) {
            std::this_thread::sleep_for(std::chrono::microseconds(100 + 700 * (attempt % 7)));
            ASSERT_TRUE(Signal(child.processId(), "-STOP"));
            caught = HasFileOpenIn(child.processId(), logFolder);
            if (!caught) {
                ASSERT_TRUE(Signal(child.processId(), "-CONT"));
            }
        }
        child.kill();
        ASSERT_TRUE(child.waitForFinished(10000));
        EXPECT_TRUE(caught) << "no save was caught while it was written";
        readLines(); // what the child said before it was stopped

        ExcelBook log;
        ASSERT_EQ(log.Load(folder + "Log/" + kFile), 1);
        const int lines = log.Sheet(MatchLog::kEventSheet)->rows() - MatchLog::kFirstEventRow;
        EXPECT_GE(lines, written);
        for (int n = 1; n <= lines; ++n)
            ASSERT_EQ(Integer(log, MatchLog::kEventSheet, MatchLog::kFirstEventRow + n - 1, kCountColumn), n)
                << "line " << n << " of " << lines;
    }
}

// The template is read from its file once; a template changed between two matches is the one the next
// log is copied from, and one damaged since gives no log.
TEST_F(MatchLogTest, TheNextMatchTakesTheTemplateAsItIsNow) {
    ASSERT_EQ(OpenMatchLog(u"first.xls"), 1);
    CloseMatchLog();
    EXPECT_EQ(Text(*Saved("first.xls"), MatchLog::kHeaderSheet, 3, 2), Text(*Saved("Log file.xls"), 0, 3, 2));

    auto changed = ExcelBook::Blank({u"A", u"B", u"C"});
    changed->Sheet(0)->Cell(0, 0)->SetString("changed template");
    ASSERT_TRUE(changed->storage().Create(home.file("Log/Log file.xls")));
    ASSERT_EQ(changed->storage().MakeFile(), 1);
    ASSERT_TRUE(changed->Save());
    ASSERT_EQ(OpenMatchLog(u"second.xls"), 1);
    CloseMatchLog();
    EXPECT_EQ(Text(*Saved("second.xls"), 0, 0, 0), "changed template");

    home.write("Log/Log file.xls", "damaged since");
    EXPECT_EQ(OpenMatchLog(u"third.xls"), 0);
}

TEST_F(MatchLogTest, ShippedTemplatesAreTheGeneratorsOutput) {
    for (const bool team : {false, true}) {
        const std::string name = team ? "Log file_Team.xls" : "Log file.xls";
        std::vector<std::uint8_t> shipped;
        ASSERT_EQ(platform::ReadCompoundStream(BELVANTA_SOURCE_DIR "/resources/home/Log/" + name, "Workbook",
                                               shipped),
                  platform::CompoundResult::Ok);
        EXPECT_EQ(shipped, LogTemplates::Build(team)->Write()) << name << ": run tools/make-log-templates";
    }
}

} // namespace

namespace {

// The operator's stop buttons with a match log open: each stop is an event line of its own.
TEST_F(MatchLogTest, AClockStopIsLoggedAsAStop) {
    CMainWnd view;
    view.SetupControls();
    ASSERT_EQ(OpenMatchLog(u"stops.xls"), 1);
    view.m_bLogOpen = TRUE;
    md->nCurRound = 2;
    view.m_strClockText = u"1:23";
    md->nGameState = 4;
    view.OnClickedStop();
    md->nGameState = 4;
    view.StopAll();
    ExcelBook* book = MatchLog::OpenBook();
    ASSERT_NE(book, nullptr);
    using MatchLog::kEventSheet;
    using MatchLog::kFirstEventRow;
    EXPECT_EQ(Text(*book, kEventSheet, kFirstEventRow, 2), "Stop round 2");
    EXPECT_EQ(Text(*book, kEventSheet, kFirstEventRow, 3), "1:23");
    EXPECT_EQ(Text(*book, kEventSheet, kFirstEventRow + 1, 2), "Stop round 2");
    view.m_bLogOpen = FALSE;
}

// A contest number as long as the record holds, in one-byte or in three-byte characters, still gives the
// match its log, within the file name limit, and a second log of the same name gets its number.
TEST_F(MatchLogTest, ALongContestNumberStillGivesALogWithinTheNameLimit) {
    struct Case {
        const char* what;
        std::string contest;
    };
    std::string korean;
    while (korean.size() + 3 < sizeof md->szContestNo)
        korean += "\xEA\xB9\x80";
    const Case cases[] = {{"digits", std::string(sizeof md->szContestNo - 1, '7')}, {"Korean", korean}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string name = "2026-12-10 010203(No" + c.contest + ").xls";
        for (int copy = 1; copy <= 2; ++copy) {
            ASSERT_EQ(OpenMatchLog(QString::fromStdString(name).toStdU16String()), 1) << "copy " << copy;
            CloseMatchLog();
        }
        ASSERT_TRUE(TheFileWriter().WaitIdle(20000));
        const QStringList logs = QDir(QString::fromStdString(home.file("Log")))
                                     .entryList({"2026-12-10*"}, QDir::Files, QDir::Name);
        ASSERT_EQ(logs.size(), 2) << logs.join(", ").toStdString();
        for (const QString& log : logs) {
            EXPECT_LE(log.toUtf8().size(), 255);
            EXPECT_TRUE(log.endsWith(".xls"));
            EXPECT_TRUE(log.startsWith("2026-12-10 010203(No"));
            EXPECT_FALSE(log.contains(QChar(0xFFFD))) << "a character cut in two";
        }
        EXPECT_TRUE(logs[1].endsWith(" (2).xls") || logs[0].endsWith(" (2).xls"));
        for (const QString& log : logs)
            QFile::remove(QString::fromStdString(home.file("Log/")) + log);
    }
}

} // namespace
