// The result browser's statements against a real database made from the shipped schema: the newest
// match, the searches, and deletions that take a match's event rows along, all or nothing.
#include "records/ResultBrowser.h"
#include "app/VeziruduzApp.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <QString>

#include <sqlite3.h>

#include <string>
#include <vector>

namespace {

std::string U8(const std::u16string& text) {
    return QString::fromStdU16String(text).toStdString();
}

// Five matches on two courts, newest last; every match has one event a side.
constexpr const char* kFixture = R"(
INSERT INTO GAMET(roomno,gameno,gtime,keyvalue,cname,hname,chungpoint,hongpoint,win) VALUES
  ('1','007','2024-05-06 09:00:00','K07','KIM','LEE',3,1,'KIM (PTF)'),
  ('1','012','2024-05-06 10:00:00','K12','PARK','KIM',2,5,'KIM (PTF)'),
  ('2','012','2024-05-06 10:05:00','K12B','O''NEIL','SMITH',4,4,'O''NEIL (SUP)'),
  ('2','020','2024-05-06 11:00:00','K20','김민수','CHOI',9,0,'김민수 (PTG)'),
  ('1','021','2024-05-07 08:15:00','K21','LEE','PARK',1,0,'LEE (PTF)');
INSERT INTO CHUNGLOG(keyvalue,round,rtime,point,itemvalid,ptime,dbindex)
  SELECT keyvalue,'1','1:00',1,1,0,1 FROM GAMET;
INSERT INTO HONGLOG(keyvalue,round,rtime,point,itemvalid,ptime,dbindex)
  SELECT keyvalue,'1','0:50',1,1,0,2 FROM GAMET;
)";

class ResultBrowserDb : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(home.makeLocalDatabase(kFixture), "");
        ASSERT_TRUE(db().Open(home.localConnection().c_str())) << db().lastError();
    }
    void TearDown() override { db().Close(); }

    static CAdoObject& db() { return theApp.m_dbLocal; }
    static std::vector<std::string> Keys(const std::vector<ResultListRow>& rows) {
        std::vector<std::string> keys;
        for (const auto& r : rows)
            keys.push_back(U8(r.key));
        return keys;
    }

    TempHome home;
};

TEST_F(ResultBrowserDb, NewestMatchOnly) {
    const auto rows = LatestResult(db());
    ASSERT_EQ(rows.size(), 1u);
    const ResultListRow& r = rows[0];
    EXPECT_EQ(U8(r.key), "K21");
    EXPECT_EQ(U8(r.court), "1");
    EXPECT_EQ(U8(r.gameNo), "021");
    EXPECT_EQ(U8(r.chungName), "LEE");
    EXPECT_EQ(U8(r.hongName), "PARK");
    EXPECT_EQ(U8(r.chungPoint), "1");
    EXPECT_EQ(U8(r.hongPoint), "0");
    EXPECT_EQ(U8(r.win), "LEE (PTF)");
    EXPECT_EQ(U8(r.date), "05/07-08:15");
    EXPECT_NE(ResultSearchQuery({}, {}).sql.find("ORDER BY gtime DESC"), std::string::npos);
}

TEST_F(ResultBrowserDb, NoMatchesNoRows) {
    ASSERT_TRUE(DeleteAllResults(db()));
    EXPECT_TRUE(LatestResult(db()).empty());
    EXPECT_TRUE(SearchResults(db(), {}, {}).empty());
}

TEST_F(ResultBrowserDb, Searches) {
    using C = ResultCriterion;
    struct Case {
        ResultSearchTerm first, second;
        std::vector<std::string> keys;
    };
    const Case cases[] = {
        {{}, {}, {"K21", "K20", "K12B", "K12", "K07"}},
        {{C::MatchNo, u"12"}, {}, {"K12B", "K12"}},
        {{C::MatchNo, u"7"}, {}, {"K07"}},
        {{C::Name, u"KIM"}, {}, {"K12", "K07"}}, // either side
        {{C::Name, u"O'NEIL"}, {}, {"K12B"}},    // as stored, apostrophe and all
        {{C::Name, u"김민수"}, {}, {"K20"}},
        {{C::Name, u"x' OR '1'='1"}, {}, {}},
        {{C::Court, u"2"}, {}, {"K20", "K12B"}},
        {{C::Court, u"1"}, {C::MatchNo, u"012"}, {"K12"}},
        {{C::Name, u"PARK"}, {C::Court, u"1"}, {"K21", "K12"}},
        {{C::Court, u"1"}, {C::Name, u"KIM"}, {"K12", "K07"}},
        {{C::Court, u""}, {C::Name, u"LEE"}, {"K21", "K07"}}, // a term without a value is left out
        {{C::None, u"1"}, {}, {"K21", "K20", "K12B", "K12", "K07"}},
    };
    for (const Case& c : cases) {
        const ResultQuery query = ResultSearchQuery(c.first, c.second);
        EXPECT_EQ(Keys(SearchResults(db(), c.first, c.second)), c.keys) << query.sql;
        // Values are bound: none is ever part of the statement.
        for (const ResultSearchTerm* term : {&c.first, &c.second}) {
            if (!term->value.empty()) {
                EXPECT_EQ(query.sql.find(U8(term->value)), std::string::npos) << query.sql;
            }
        }
    }
}

TEST_F(ResultBrowserDb, DeletingMatchesTakesTheirEventRows) {
    ASSERT_TRUE(DeleteResults(db(), {u"K12", u"K20"}));
    EXPECT_EQ(Keys(SearchResults(db(), {}, {})), (std::vector<std::string>{"K21", "K12B", "K07"}));
    for (const char* sql : {"SELECT keyvalue FROM CHUNGLOG ORDER BY keyvalue",
                            "SELECT keyvalue FROM HONGLOG ORDER BY keyvalue"}) {
        db().Select("%s", sql);
        ASSERT_EQ(db().nRows, 3) << sql;
    }
    // A key with a quote deletes nothing else.
    ASSERT_TRUE(DeleteResults(db(), {u"x' OR '1'='1"}));
    EXPECT_EQ(SearchResults(db(), {}, {}).size(), 3u);
}

TEST_F(ResultBrowserDb, DeletionIsAllOrNothing) {
    // A trigger makes the HONGLOG deletion of K12 fail: nothing of the two matches may go.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(home.file("Vevuvurer.edi").c_str(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw,
                           "CREATE TRIGGER keep BEFORE DELETE ON HONGLOG WHEN old.keyvalue = 'K12' "
                           "BEGIN SELECT RAISE(ABORT, 'kept'); END;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);
    EXPECT_FALSE(DeleteResults(db(), {u"K07", u"K12"}));
    EXPECT_EQ(SearchResults(db(), {}, {}).size(), 5u);
    db().Select("SELECT keyvalue FROM CHUNGLOG WHERE keyvalue IN ('K07','K12')");
    EXPECT_EQ(db().nRows, 2);
    EXPECT_FALSE(DeleteAllResults(db()));
    EXPECT_EQ(SearchResults(db(), {}, {}).size(), 5u);
    // No transaction is left open.
    EXPECT_TRUE(DeleteResults(db(), {u"K07"}));
    EXPECT_EQ(SearchResults(db(), {}, {}).size(), 4u);
}

TEST_F(ResultBrowserDb, RemoveAllEmptiesTheThreeTables) {
    ASSERT_TRUE(DeleteAllResults(db()));
    for (const char* table : {"GAMET", "CHUNGLOG", "HONGLOG"}) {
        db().Select("SELECT * FROM %s", table);
        EXPECT_EQ(db().nRows, 0) << table;
    }
}

} // namespace
