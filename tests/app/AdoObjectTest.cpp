#include "app/AdoObject.h"
#include "app/SqlText.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <QFile>

#include <functional>
#include <ostream>

void PrintTo(const DbVariant& v, std::ostream* out) {
    switch (v.type()) {
    case DbVariant::Type::Null:
        *out << "null";
        break;
    case DbVariant::Type::Int32:
        *out << "int32 " << v.asInt32();
        break;
    case DbVariant::Type::Int64:
        *out << "int64 " << v.asInt64();
        break;
    case DbVariant::Type::Real:
        *out << "real " << v.asReal();
        break;
    case DbVariant::Type::Text:
        *out << "text \"" << v.asText() << '"';
        break;
    case DbVariant::Type::Bool:
        *out << "bool " << v.asBool();
        break;
    case DbVariant::Type::DateTime: {
        const DbDateTime& t = v.asDateTime();
        *out << "date " << t.year << '-' << t.month << '-' << t.day << ' ' << t.hour << ':' << t.minute << ':'
             << t.second;
        break;
    }
    }
}

namespace {

constexpr const char* kJet = "Microsoft.Jet.OLEDB.4.0";
constexpr const char* kAce = "Microsoft.ACE.OLEDB.12.0";

std::string connection(const char* provider, const std::string& path) {
    return std::string("Provider=") + provider + ";Data Source=" + path;
}

bool exists(const std::string& path) {
    return QFile::exists(QString::fromStdString(path));
}

// An empty local database made from the shipped schema, as the set-up script makes it.
class AdoObjectTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(home.makeLocalDatabase(), ""); }

    std::string path() const { return home.file("Vevuvurer.edi"); }
    void open() { ASSERT_TRUE(db.Open(connection(kJet, path()).c_str())) << db.lastError(); }

    // Counted on a connection of its own, so the object under test cannot colour the answer.
    int count(const char* table) const {
        CAdoObject probe;
        EXPECT_TRUE(probe.Open(connection(kJet, path()).c_str())) << probe.lastError();
        probe.Select("SELECT count(*) FROM %s", table);
        EXPECT_EQ(probe.nRows, 1) << probe.lastError();
        return probe.nRows == 1 ? probe.cell(0, 0).asInt32() : -1;
    }

    TempHome home;
    CAdoObject db;
};

using Names = std::vector<std::u16string>;
const Names kFailed{u""};

TEST_F(AdoObjectTest, OpensWithEitherProviderAndAnySpellingOfTheKeys) {
    for (const std::string& text :
         {connection(kJet, path()), connection(kAce, path()),
          " provider = microsoft.jet.oledb.4.0 ; DATA SOURCE =  " + path() + " ;",
          "Data Source=" + path() + ";Persist Security Info=False;Provider=" + kAce}) {
        SCOPED_TRACE(text);
        CAdoObject object;
        ASSERT_TRUE(object.Open(text.c_str())) << object.lastError();
        EXPECT_EQ(object.bOpen, 1);
        EXPECT_EQ(object.Select("SELECT count(*) FROM PLAYER"), Names{u"count(*)"});
        EXPECT_EQ(object.cell(0, 0), DbVariant::int32(0));
    }
}

// Start-up tries Jet first and then ACE on the same object.
TEST_F(AdoObjectTest, SecondProviderOpensAfterTheFirstFailedOnTheSameObject) {
    EXPECT_FALSE(db.Open(connection(kJet, home.file("missing/Vevuvurer.edi")).c_str()));
    EXPECT_EQ(db.bOpen, 0);
    ASSERT_TRUE(db.Open(connection(kAce, path()).c_str())) << db.lastError();
    EXPECT_EQ(db.bOpen, 1);
    EXPECT_TRUE(db.Execute("INSERT INTO PLAYER(FNo) VALUES('001')")) << db.lastError();
    EXPECT_EQ(count("PLAYER"), 1);
}

TEST_F(AdoObjectTest, FailedOpenLeavesTheObjectClosedAndCreatesNothing) {
    home.write("notes.edi", std::string(4096, 'x'));
    const std::string missing = home.file("Other.edi");
    struct Case {
        const char* name;
        std::string text;
        const char* error;
    };
    const Case cases[] = {
        {"missing file", connection(kJet, missing), "unable to open"},
        {"not a database", connection(kJet, home.file("notes.edi")), "not a database"},
        {"folder", connection(kAce, home.file("Log")), "SQLite"},
        {"unknown provider", connection("MSDASQL", path()), "unsupported provider \"MSDASQL\""},
        {"no provider", "Data Source=" + path(), "unsupported provider"},
        {"no data source", std::string("Provider=") + kJet, "no Data Source"},
        {"part without =", connection(kJet, path()) + ";garbage", "malformed"},
        {"empty", "", "unsupported provider"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CAdoObject object;
        EXPECT_FALSE(object.Open(c.text.c_str()));
        EXPECT_EQ(object.bOpen, 0);
        EXPECT_NE(object.lastError().find(c.error), std::string::npos) << object.lastError();
        EXPECT_EQ(object.Select("SELECT 1"), kFailed);
        EXPECT_FALSE(object.Execute("SELECT 1"));
        EXPECT_TRUE(object.Open(connection(kJet, path()).c_str())) << object.lastError();
    }
    EXPECT_FALSE(exists(missing));
    EXPECT_FALSE(db.Open(nullptr));
}

TEST_F(AdoObjectTest, OpenOnAnOpenObjectFailsAndKeepsTheConnection) {
    open();
    EXPECT_FALSE(db.Open(connection(kJet, home.file("missing.edi")).c_str()));
    EXPECT_FALSE(db.Open(connection(kAce, path()).c_str()));
    EXPECT_EQ(db.bOpen, 1);
    EXPECT_NE(db.lastError().find("already open"), std::string::npos) << db.lastError();
    EXPECT_TRUE(db.Execute("INSERT INTO PLAYER(FNo) VALUES('007')")) << db.lastError();
    EXPECT_EQ(count("PLAYER"), 1);
}

TEST_F(AdoObjectTest, CloseEndsTheConnectionAndAllowsAnotherOpen) {
    CAdoObject never;
    EXPECT_TRUE(never.Close());
    EXPECT_EQ(never.bOpen, 0);
    EXPECT_TRUE(never.Close());

    open();
    EXPECT_TRUE(db.Close());
    EXPECT_EQ(db.bOpen, 0);
    EXPECT_FALSE(db.Execute("INSERT INTO PLAYER(FNo) VALUES('001')"));
    EXPECT_NE(db.lastError().find("not open"), std::string::npos) << db.lastError();
    EXPECT_EQ(count("PLAYER"), 0);
    open();
    EXPECT_TRUE(db.Execute("INSERT INTO PLAYER(FNo) VALUES('001')")) << db.lastError();
}

TEST_F(AdoObjectTest, SelectKeepsRowsInRowMajorOrderWithTheirNames) {
    open();
    for (const char* no : {"003", "001", "002"})
        ASSERT_TRUE(db.Execute("INSERT INTO PLAYER(FNo, CName, Weight1) VALUES('%s', 'C%s', NULL)", no, no));
    const Names names = db.Select("SELECT FNo, CName AS 선수, Weight1 FROM PLAYER ORDER BY FNo");
    EXPECT_EQ(names, (Names{u"FNo", u"선수", u"Weight1"}));
    ASSERT_EQ(db.nRows, 3);
    ASSERT_EQ(db.nColumns, 3);
    ASSERT_EQ(db.cells().size(), 9u);
    for (int r = 0; r < 3; ++r) {
        const std::string no = "00" + std::to_string(r + 1);
        EXPECT_EQ(db.cell(r, 0), DbVariant::text(no));
        EXPECT_EQ(db.cells()[static_cast<size_t>(r) * 3 + 1], DbVariant::text("C" + no));
        EXPECT_TRUE(db.cell(r, 2).isNull());
    }
}

// Cells take their type from the declared type of their column; a value that does not fit is kept as
// stored rather than bent into the type.
TEST_F(AdoObjectTest, CellTypesFollowTheDeclaredColumnType) {
    open();
    const DbDateTime stamp{2024, 3, 5, 14, 7, 9};
    struct Case {
        const char* declared;
        const char* literal;
        DbVariant expected;
    };
    const Case cases[] = {
        {"INTEGER", "42", DbVariant::int32(42)},
        {"INTEGER", "2147483647", DbVariant::int32(2147483647)},
        {"INTEGER", "2147483648", DbVariant::int64(2147483648LL)},
        {"INTEGER", "-2147483649", DbVariant::int64(-2147483649LL)},
        {"LONG", "-7", DbVariant::int32(-7)},
        {"COUNTER", "8", DbVariant::int32(8)},
        {"INTEGER", "'x1'", DbVariant::text("x1")},
        {"INTEGER", "NULL", DbVariant()},
        {"REAL", "1.5", DbVariant::real(1.5)},
        {"DOUBLE", "2", DbVariant::real(2.0)},
        {"FLOAT", "-0.25", DbVariant::real(-0.25)},
        {"CURRENCY", "3", DbVariant::real(3.0)},
        {"NUMERIC", "5", DbVariant::int32(5)},
        {"NUMERIC", "2.25", DbVariant::real(2.25)},
        {"YESNO", "1", DbVariant::boolean(true)},
        {"YESNO", "0", DbVariant::boolean(false)},
        {"YESNO", "-1", DbVariant::boolean(true)},
        {"BIT", "TRUE", DbVariant::boolean(true)},
        {"BOOLEAN", "'false'", DbVariant::boolean(false)},
        {"YESNO", "'maybe'", DbVariant::text("maybe")},
        {"YESNO", "NULL", DbVariant()},
        {"DATETIME", "'2024-03-05 14:07:09'", DbVariant::dateTime(stamp)},
        {"DATETIME", "'2024-03-05T14:07:09.250'", DbVariant::dateTime(stamp)},
        {"DATETIME", "'2024-03-05 14:07'", DbVariant::dateTime({2024, 3, 5, 14, 7, 0})},
        {"DATE", "'2024-02-29'", DbVariant::dateTime({2024, 2, 29, 0, 0, 0})},
        {"DATETIME", "1700000000", DbVariant::dateTime({2023, 11, 14, 22, 13, 20})},
        {"TIME", "-1.5", DbVariant::dateTime({1969, 12, 31, 23, 59, 58})},
        {"DATETIME", "'2023-02-29 10:00:00'", DbVariant::text("2023-02-29 10:00:00")},
        {"DATETIME", "'2024-03-05 24:00:00'", DbVariant::text("2024-03-05 24:00:00")},
        {"DATETIME", "'soon'", DbVariant::text("soon")},
        {"DATETIME", "1e300", DbVariant::real(1e300)},
        {"TEXT", "'abc'", DbVariant::text("abc")},
        {"VARCHAR(20)", "123", DbVariant::text("123")},
        {"CHAR", "'a'", DbVariant::text("a")},
        {"MEMO", "''", DbVariant::text("")},
        {"TEXT", "NULL", DbVariant()},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.declared) + " " + c.literal);
        const std::string table = "T" + std::to_string(n++);
        ASSERT_TRUE(db.Execute("CREATE TABLE %s (v %s)", table.c_str(), c.declared)) << db.lastError();
        ASSERT_TRUE(db.Execute("INSERT INTO %s VALUES(%s)", table.c_str(), c.literal)) << db.lastError();
        db.Select("SELECT v FROM %s", table.c_str());
        ASSERT_EQ(db.nRows, 1) << db.lastError();
        EXPECT_EQ(db.cell(0, 0), c.expected);
    }
}

TEST_F(AdoObjectTest, ExpressionCellsTakeTheTypeOfTheirValue) {
    open();
    ASSERT_TRUE(db.Execute("INSERT INTO PLAYER(FNo) VALUES('001')"));
    EXPECT_EQ(db.Select("SELECT count(*), 1.5 * 2, 'a' || 'b', NULL, max(FNo) FROM PLAYER").size(), 5u);
    ASSERT_EQ(db.nRows, 1) << db.lastError();
    EXPECT_EQ(db.cell(0, 0), DbVariant::int32(1));
    EXPECT_EQ(db.cell(0, 1), DbVariant::real(3.0));
    EXPECT_EQ(db.cell(0, 2), DbVariant::text("ab"));
    EXPECT_TRUE(db.cell(0, 3).isNull());
    EXPECT_EQ(db.cell(0, 4), DbVariant::text("001"));
}

// An event row as the event log writes it, read back through the schema's declared types.
TEST_F(AdoObjectTest, EventLogRowReadsBackWithTheSchemaTypes) {
    open();
    ASSERT_TRUE(db.Execute("INSERT INTO CHUNGLOG(keyvalue,round,rtime,point,gtime,itemvalid, ptime, dbindex)"
                           "VALUES('%s','%s','%s',%d, '2024-05-06 07:08:09', %d, %lu, %d)",
                           "202405060708", "1", "1:23", 2, 1, 4294967295UL, 3))
        << db.lastError();
    db.Select("SELECT keyvalue, round, vest, point, gtime, itemvalid, ptime, dbindex FROM CHUNGLOG "
              "WHERE itemvalid = TRUE");
    ASSERT_EQ(db.nRows, 1) << db.lastError();
    const std::vector<DbVariant> expected = {
        DbVariant::text("202405060708"),
        DbVariant::text("1"),
        DbVariant::int32(0),
        DbVariant::int32(2),
        DbVariant::dateTime({2024, 5, 6, 7, 8, 9}),
        DbVariant::boolean(true),
        DbVariant::int64(4294967295LL),
        DbVariant::int32(3),
    };
    EXPECT_EQ(db.cells(), expected);
}

TEST_F(AdoObjectTest, SelectWithoutRowsGivesNoNamesButTheColumnCount) {
    open();
    ASSERT_TRUE(db.Execute("INSERT INTO PLAYER(FNo) VALUES('001')"));
    db.Select("SELECT FNo FROM PLAYER");
    ASSERT_EQ(db.nRows, 1);
    EXPECT_TRUE(db.Select("SELECT FNo, Weight FROM PLAYER WHERE FNo = '999'").empty());
    EXPECT_EQ(db.nRows, 0);
    EXPECT_EQ(db.nColumns, 2);
    EXPECT_TRUE(db.cells().empty());
}

// Failures return exactly one empty name and keep no rows, not even those of an earlier SELECT.
TEST_F(AdoObjectTest, FailedSelectKeepsNoRows) {
    open();
    ASSERT_TRUE(db.Execute("INSERT INTO PLAYER(FNo) VALUES('001')"));
    const auto selectAgain = [&] {
        db.Select("SELECT FNo FROM PLAYER");
        ASSERT_EQ(db.nRows, 1) << db.lastError();
    };
    struct Case {
        const char* name;
        std::function<Names()> run;
        const char* error;
    };
    const Case cases[] = {
        {"unknown table", [&] { return db.Select("SELECT * FROM NOPE"); }, "no such table: NOPE"},
        {"two statements", [&] { return db.Select("SELECT FNo FROM PLAYER; DELETE FROM PLAYER"); },
         "more than one statement"},
        {"empty statement", [&] { return db.Select(" "); }, "empty statement"},
        {"closed",
         [&] {
             db.Close();
             return db.Select("SELECT FNo FROM PLAYER");
         },
         "not open"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        selectAgain();
        EXPECT_EQ(c.run(), kFailed);
        EXPECT_EQ(db.nRows, 0);
        EXPECT_EQ(db.nColumns, 0);
        EXPECT_TRUE(db.cells().empty());
        EXPECT_NE(db.lastError().find(c.error), std::string::npos) << db.lastError();
    }
    EXPECT_EQ(count("PLAYER"), 1);
}

TEST_F(AdoObjectTest, ExecuteReportsFailuresAndKeepsTheLastError) {
    open();
    EXPECT_TRUE(db.Execute("UPDATE PLAYER SET CName = 'x'")) << db.lastError();
    EXPECT_FALSE(db.Execute("INSERT INTO NOPE VALUES(1)"));
    EXPECT_EQ(db.lastError().rfind("SQLite, no such table: NOPE", 0), 0u) << db.lastError();
    EXPECT_TRUE(db.Execute("DELETE FROM PLAYER"));
    EXPECT_NE(db.lastError().find("NOPE"), std::string::npos) << "a later success keeps the last error";
    EXPECT_FALSE(db.Execute("INSERT INTO GAMET(keyvalue) VALUES(NULL)"));
    EXPECT_NE(db.lastError().find("NOT NULL"), std::string::npos) << db.lastError();
    EXPECT_FALSE(db.Execute("INSERT INTO PLAYER(FNo) VALUES('001'); DROP TABLE PLAYER"));
    EXPECT_NE(db.lastError().find("more than one statement"), std::string::npos) << db.lastError();
    EXPECT_EQ(count("PLAYER"), 0);
    EXPECT_EQ(db.Select("SELECT count(*) FROM PLAYER").size(), 1u) << "PLAYER still exists";
}

// A statement over the limit is refused whole; the longest one allowed runs.
TEST_F(AdoObjectTest, StatementsOverTheLimitAreNotRun) {
    open();
    const std::string insert = "INSERT INTO PLAYER(FNo, CName) VALUES('001', '')";
    const auto padFor = [&](std::size_t length) { return std::string(length - insert.size(), 'n'); };
    const char* format = "INSERT INTO PLAYER(FNo, CName) VALUES('001', '%s')";

    EXPECT_FALSE(db.Execute(format, padFor(CAdoObject::kMaxExecuteLength + 1).c_str()));
    EXPECT_NE(db.lastError().find("10001 bytes"), std::string::npos) << db.lastError();
    EXPECT_EQ(count("PLAYER"), 0);
    EXPECT_TRUE(db.Execute(format, padFor(CAdoObject::kMaxExecuteLength).c_str())) << db.lastError();
    EXPECT_EQ(count("PLAYER"), 1);

    const std::string select = "SELECT FNo FROM PLAYER WHERE CName <> ''";
    const std::string spaces(CAdoObject::kMaxSelectLength - select.size(), ' ');
    db.Select("%s%s", select.c_str(), spaces.c_str());
    EXPECT_EQ(db.nRows, 1) << db.lastError();
    EXPECT_EQ(db.Select("%s%s ", select.c_str(), spaces.c_str()), kFailed);
    EXPECT_EQ(db.nRows, 0);
    EXPECT_NE(db.lastError().find("4097 bytes"), std::string::npos) << db.lastError();
}

TEST(SqlQuoteTest, DoublesEverySingleQuote) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""}, {"Kim", "Kim"}, {"O'Neil", "O''Neil"}, {"'", "''"}, {"a''b'", "a''''b''"}};
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(SqlQuote(in), out) << in;
        const std::u16string wide(in.begin(), in.end());
        EXPECT_EQ(SqlQuote(wide), std::u16string(out.begin(), out.end())) << in;
    }
    EXPECT_EQ(SqlQuote(u"김'O"), u"김''O");
}

TEST_F(AdoObjectTest, QuotedNamesAreStoredByteExactAndInjectNothing) {
    open();
    const std::string names[] = {"O'Neil", "x'); DROP TABLE PLAYER; --", "''", "이순신 'Yi'"};
    for (const std::string& name : names)
        ASSERT_TRUE(db.Execute("INSERT INTO PLAYER(FNo, CName) VALUES('001', '%s')", SqlQuote(name).c_str()))
            << db.lastError();
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        db.Select("SELECT CName FROM PLAYER WHERE CName = '%s'", SqlQuote(name).c_str());
        ASSERT_EQ(db.nRows, 1) << db.lastError();
        EXPECT_EQ(db.cell(0, 0), DbVariant::text(name));
    }
    EXPECT_EQ(count("PLAYER"), 4);
}

} // namespace
