// The result sheet's rules: the precise event time, the merge of both sides' events, the pages, the
// match row's slots and texts, and its statements against a real database made from the shipped schema.
#include "records/ResultSheet.h"
#include "app/AppGlobals.h"
#include "app/VeziruduzApp.h"
#include "match/ClockRules.h"
#include "screens/ScreenText.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <QString>

#include <string>
#include <vector>

namespace {

std::string U8(const std::u16string& text) {
    return QString::fromStdU16String(text).toStdString();
}

TTK_DbTemp Event(int dbindex, const char16_t* round = u"1") {
    TTK_DbTemp row;
    row.round = round;
    row.dbindex = QString::number(dbindex).toStdU16String();
    return row;
}

// Rows of one side with these dbindex values.
std::vector<TTK_DbTemp> Side(std::initializer_list<int> indexes) {
    std::vector<TTK_DbTemp> rows;
    for (const int i : indexes)
        rows.push_back(Event(i));
    return rows;
}

std::vector<TTK_DbTemp> Numbered(int first, int count, int step) {
    std::vector<TTK_DbTemp> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back(Event(first + i * step));
    return rows;
}

TEST(ResultSheetTime, PreciseTimeOfAnEvent) {
    struct Case {
        const char16_t* rtime;
        const char16_t* ptime;
        int round;
        const char* expected;
    };
    const Case cases[] = {
        {u"1:30", u"200", 120, "1:29.80"},   // running: the time left
        {u"1:30", u"0", 120, "1:30.00"},     // no milliseconds: the clock text itself
        {u"0:00", u"2500", 120, "-0:02.50"}, // at rest after the round: time past it
        {u"2:00", u"1300", 120, "-2:01.70"}, // at rest before the round starts
        {u"1:23", u"", 120, "1:23.00"},      // nothing logged reads 0
        {u"10:00", u"500", 900, "9:59.50"},  // two-digit minutes
        {u"12:05", u"250", 900, "12:04.75"},
        {u"1:30", u"30310", 120, "1:29.69"}, // the stamp counts from the round's start
        {u"1:00", u"60500", 120, "0:59.50"},
        {u"2:00", u"300", 120, "1:59.70"}, // the round's first second
        {u"0:01", u"119990", 120, "0:00.01"},
        {u"9.87", u"110130", 120, "0:09.87"}, // below ten seconds the clock shows its hundredths
    };
    for (const Case& c : cases)
        EXPECT_EQ(U8(PreciseLogTime(c.rtime, c.ptime, c.round)), c.expected)
            << U8(c.rtime) << " / " << U8(c.ptime);
}

// A round of the real clock, tick by tick: an event at any moment of it prints the time the clock had then,
// from the text the operator view showed and the stamp the event was logged with.
TEST(ResultSheetTime, EveryMomentOfARoundPrintsTheClockTimeOfTheEvent) {
    constexpr int kRound = 120;
    int remain = kRound * 1000;
    int shown = kRound;
    std::uint32_t elapsed = 0; // the view's stamp: ten milliseconds a tick since the round was prepared
    int checked = 0;
    for (;;) {
        const std::u16string text =
            remain < 10'000 ? ScreenText::ClockFromMs(remain, 3) : ScreenText::ClockFromSeconds(shown, 3);
        const int late = remain < 10'000 ? 0 : checked % 10; // an event between two ticks
        const int at = remain - late;
        const std::string expected =
            QString::asprintf("%d:%02d.%02d", at / 60'000, at / 1000 % 60, at % 1000 / 10).toStdString();
        const std::u16string stamp = QString::number(elapsed + late).toStdU16String();
        ASSERT_EQ(U8(PreciseLogTime(text, stamp, kRound)), expected) << U8(text) << " / " << U8(stamp);
        ++checked;
        const ClockRules::RoundStep step = ClockRules::StepRound(remain, shown, 10);
        if (step.ended)
            break;
        remain = step.remainMs;
        shown = step.shownSeconds;
        elapsed += 10;
    }
    EXPECT_GT(checked, 11'000) << "the whole round was walked";
}

TEST(ResultSheetTime, SplitAtTheColon) {
    struct Case {
        const char16_t* clock;
        int minutes, seconds;
    };
    const Case cases[] = {{u"1:30", 1, 30}, {u"10:00", 10, 0}, {u"12:59", 12, 59}, {u"0:05", 0, 5},
                          {u"130", 0, 0},   {u"", 0, 0},       {u"x:yz", 0, 0}};
    for (const Case& c : cases) {
        int m = -1;
        int s = -1;
        SplitMinSec(c.clock, m, s);
        EXPECT_EQ(m, c.minutes) << U8(c.clock);
        EXPECT_EQ(s, c.seconds) << U8(c.clock);
    }
}

TEST(ResultSheetMerge, SmallerIndexFirstHongOnEqual) {
    const auto chung = Side({1, 3, 5});
    const auto hong = Side({2, 3});
    std::vector<int> order;
    std::size_t c = 0;
    std::size_t h = 0;
    for (int side; (side = NextResultRowSide(chung, hong, c, h)) != 0;) {
        order.push_back(side == 1 ? 100 + static_cast<int>(c) : 200 + static_cast<int>(h));
        (side == 1 ? c : h) += 1;
    }
    // Chung 1, Hong 2, Hong 3 before Chung 3, then Chung 5.
    EXPECT_EQ(order, (std::vector<int>{100, 200, 201, 101, 102}));
    EXPECT_EQ(NextResultRowSide({}, {}, 0, 0), 0);
}

TEST(ResultSheetPages, PageCountAndStarts) {
    struct Case {
        int chung, hong, expectedPages;
    };
    const Case cases[] = {{0, 0, 1}, {15, 14, 1}, {15, 15, 1}, {16, 15, 2}, {301, 300, 21}, {0, 31, 2}};
    for (const Case& c : cases) {
        // Alternating dbindex values, so the pages take rows of both sides.
        const auto chung = Numbered(1, c.chung, 2);
        const auto hong = Numbered(2, c.hong, 2);
        const ResultPages pages = PaginateResult(chung, hong, 30);
        EXPECT_EQ(pages.count(), c.expectedPages) << c.chung << " + " << c.hong;
        ASSERT_EQ(pages.hongStart.size(), pages.chungStart.size());
        for (int p = 0; p < pages.count(); ++p)
            EXPECT_EQ(pages.chungStart[p] + pages.hongStart[p], 30u * p) << "page " << p + 1;
    }
    // The second page starts at the 31st merged row, whichever side it belongs to.
    const auto pages = PaginateResult(Numbered(1, 16, 2), Numbered(2, 15, 2), 30);
    EXPECT_EQ(pages.chungStart[1], 15u);
    EXPECT_EQ(pages.hongStart[1], 15u);
}

TEST(ResultSheetPages, RowsFitThePrintableHeight) {
    // A4 less small margins holds the whole table; Letter cuts it, so fewer rows go on a page.
    EXPECT_EQ(ResultRowsPerPage(11.29), 30);
    EXPECT_EQ(ResultRowsPerPage(11.08), 30);
    const int letter = ResultRowsPerPage(10.6);
    EXPECT_LT(letter, 30);
    const double lastRowBottom = ResultTable::kFirstRow + (letter - 1) * ResultTable::kRowPitch + 10.0 / 72.0;
    EXPECT_LE(lastRowBottom, 10.6);
    EXPECT_GT(lastRowBottom + ResultTable::kRowPitch, 10.6);
    EXPECT_EQ(ResultRowsPerPage(1.0), 1);
    EXPECT_EQ(PaginateResult(Numbered(1, 60, 1), {}, letter).count(), (60 + letter - 1) / letter);
}

TEST(ResultSheetRow, SlotsOfTheMatchRow) {
    std::u16string row[40];
    row[12] = u"kept";
    const std::vector<std::u16string> cells = {u"4",
                                               u"012",
                                               u"12",
                                               u"5",
                                               u"3",
                                               u"6",
                                               u"1",
                                               u"2",
                                               u"1",
                                               u"0",
                                               u"KIM",
                                               u"LEE",
                                               u"KIM (PTF)",
                                               u"KOR",
                                               u"none",
                                               u"-58kg",
                                               u"Senior",
                                               u"M",
                                               u"2024-05-06/10:30:00",
                                               u"1",
                                               u"0",
                                               u"202405061030",
                                               u"9",
                                               u"4",
                                               u"25",
                                               u"18",
                                               u"KOR",
                                               u"Seoul"};
    StoreResultRow(cells, row);
    EXPECT_EQ(U8(row[0]), "4");
    EXPECT_EQ(U8(row[1]), "012");
    EXPECT_EQ(U8(row[2]), "12");
    EXPECT_EQ(U8(row[3]), "5");
    EXPECT_EQ(U8(row[4]), "9");
    EXPECT_EQ(U8(row[5]), "4");
    EXPECT_EQ(U8(row[6]), "3");
    EXPECT_EQ(U8(row[7]), "6");
    EXPECT_EQ(U8(row[8]), "1");
    EXPECT_EQ(U8(row[9]), "2");
    EXPECT_EQ(U8(row[10]), "1");
    EXPECT_EQ(U8(row[11]), "0");
    EXPECT_EQ(U8(row[12]), "kept");
    EXPECT_EQ(U8(row[14]), "KIM");
    EXPECT_EQ(U8(row[15]), "LEE");
    EXPECT_EQ(U8(row[16]), "KIM (PTF)");
    EXPECT_EQ(U8(row[17]), "KOR");
    EXPECT_EQ(U8(row[18]), "none");
    EXPECT_EQ(U8(row[19]), "-58kg");
    EXPECT_EQ(U8(row[20]), "Senior");
    EXPECT_EQ(U8(row[21]), "M");
    EXPECT_EQ(U8(row[22]), "2024-05-06 10:30");
    EXPECT_EQ(U8(row[23]), "202405061030");
    EXPECT_EQ(U8(row[24]), "O");
    EXPECT_EQ(U8(row[25]), "X");
    EXPECT_EQ(U8(row[26]), "18");
    EXPECT_EQ(U8(row[27]), "25");
    EXPECT_EQ(U8(row[28]), "KOR");
    EXPECT_EQ(U8(row[29]), "Seoul");
}

TEST(ResultSheetRow, ShownTexts) {
    EXPECT_EQ(U8(NationText(u"none")), "");
    EXPECT_EQ(U8(NationText(u"KOR")), "KOR");
    EXPECT_EQ(U8(OriginText(u"KOR", u"KOR")), "");
    EXPECT_EQ(U8(OriginText(u"", u"KOR")), "");
    EXPECT_EQ(U8(OriginText(u"Seoul", u"KOR")), "< Seoul >");
    EXPECT_EQ(U8(ListDateText(u"2024-05-06/10:30:00")), "05/06-10:30");
    EXPECT_EQ(U8(SheetDateText(u"2024-05-06/10:30:00")), "2024-05-06 10:30");
    EXPECT_EQ(U8(SheetDateText(u"")), "-- :");
    EXPECT_TRUE(StoredYes(u"TRUE"));
    EXPECT_TRUE(StoredYes(u"1"));
    EXPECT_FALSE(StoredYes(u"FALSE"));
    EXPECT_FALSE(StoredYes(u"0"));
    EXPECT_EQ(EventFilterOf(true, true), EventFilter::Summary);
    EXPECT_EQ(EventFilterOf(false, true), EventFilter::All);
    EXPECT_EQ(EventFilterOf(false, false), EventFilter::Valid);
}

// One match of two stored events a side in the local database of a fresh program folder.
class ResultSheetDb : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(home.makeLocalDatabase(R"(
INSERT INTO GAMET(roomno,gameno,gtime,keyvalue,cname,hname,cnation,hnation,sex,face,valid,weight,weight1,
  bvalue,fvalue,cfrom,hfrom,chungpoint,hongpoint,win)
  VALUES('4','012','2024-05-06 10:30:00','K1','O''NEIL','김민수','IRL','none','M',1,0,'-58kg','Senior',
  '25','18','IRL','Seoul',7,3,'O''NEIL (PTF)');
INSERT INTO CHUNGLOG(keyvalue,round,rtime,point,itemvalid,ptime,dbindex) VALUES('K1','1','1:30',2,1,200,3);
INSERT INTO CHUNGLOG(keyvalue,round,rtime,vest,itemvalid,ptime,dbindex) VALUES('K1','1','1:40',0,0,0,1);
INSERT INTO HONGLOG(keyvalue,round,rtime,deduct,itemvalid,ptime,dbindex) VALUES('K1','1','1:35',1,1,0,2);
INSERT INTO HONGLOG(keyvalue,round,rtime,judge1,itemvalid,ptime,dbindex) VALUES('K1','2','0:10',1,1,0,4);
INSERT INTO CHUNGLOG(keyvalue,round,rtime,point,itemvalid,ptime,dbindex) VALUES('K2','1','1:00',1,1,0,1);
)"),
                  "");
        ASSERT_TRUE(theApp.m_dbLocal.Open(home.localConnection().c_str())) << theApp.m_dbLocal.lastError();
    }
    void TearDown() override { theApp.m_dbLocal.Close(); }

    static std::vector<std::string> Indexes(const std::vector<TTK_DbTemp>& rows) {
        std::vector<std::string> out;
        for (const auto& r : rows)
            out.push_back(U8(r.dbindex) + "/" + U8(r.itemvalid));
        return out;
    }

    TempHome home;
};

TEST_F(ResultSheetDb, MatchRowFromTheDatabase) {
    for (auto& slot : g_strResultRow)
        slot = u"old";
    ASSERT_TRUE(LoadResultRow(theApp.m_dbLocal, u"K1"));
    EXPECT_EQ(U8(g_strResultRow[14]), "O'NEIL");
    EXPECT_EQ(U8(g_strResultRow[15]), "김민수");
    EXPECT_EQ(U8(g_strResultRow[22]), "2024-05-06 10:30");
    EXPECT_EQ(U8(g_strResultRow[24]), "O");
    EXPECT_EQ(U8(g_strResultRow[25]), "X");
    EXPECT_EQ(U8(g_strResultRow[2]), "7");
    EXPECT_EQ(U8(g_strResultRow[12]), "old");
    // A key that is not there, or one with a quote, changes nothing.
    EXPECT_FALSE(LoadResultRow(theApp.m_dbLocal, u"K9"));
    EXPECT_FALSE(LoadResultRow(theApp.m_dbLocal, u"K1' OR '1'='1"));
    EXPECT_EQ(U8(g_strResultRow[14]), "O'NEIL");
    for (auto& slot : g_strResultRow)
        slot.clear();
}

TEST_F(ResultSheetDb, EventRowsUnderEachFilterInIndexOrder) {
    struct Case {
        EventFilter filter;
        std::vector<std::string> chung, hong;
    };
    const Case cases[] = {
        {EventFilter::All, {"1/FALSE", "3/TRUE"}, {"2/TRUE", "4/TRUE"}},
        {EventFilter::Valid, {"3/TRUE"}, {"2/TRUE", "4/TRUE"}},
        // Summary: only counted events that score or deduct; a judge press alone does not.
        {EventFilter::Summary, {"3/TRUE"}, {"2/TRUE"}},
    };
    for (const Case& c : cases) {
        std::vector<TTK_DbTemp> chung{Event(99)};
        std::vector<TTK_DbTemp> hong;
        ASSERT_TRUE(LoadEventRows(theApp.m_dbLocal, 0, c.filter, u"K1", chung));
        ASSERT_TRUE(LoadEventRows(theApp.m_dbLocal, 1, c.filter, u"K1", hong));
        EXPECT_EQ(Indexes(chung), c.chung) << static_cast<int>(c.filter);
        EXPECT_EQ(Indexes(hong), c.hong) << static_cast<int>(c.filter);
    }
    std::vector<TTK_DbTemp> rows;
    ASSERT_TRUE(LoadEventRows(theApp.m_dbLocal, 0, EventFilter::All, u"K1", rows));
    EXPECT_EQ(U8(rows[1].rtime), "1:30");
    EXPECT_EQ(U8(rows[1].point), "2");
    EXPECT_EQ(U8(rows[1].ptime), "200");
    EXPECT_EQ(U8(rows[1].face), "0");
}

} // namespace
