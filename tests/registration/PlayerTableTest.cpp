// The PLAYER statements against a real local database in a temporary program folder.
#include "registration/PlayerTable.h"

#include "app/AdoObject.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

using namespace Registration;

namespace {

std::string Utf8(const std::u16string& text) {
    return QString::fromStdU16String(text).toStdString();
}

class PlayerTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(home.makeLocalDatabase(), "");
        ASSERT_TRUE(db.Open(home.localConnection().c_str())) << db.lastError();
    }

    PlayerForm Form(int number, const char* gender = "Male", const char* cls = "Senior",
                    const char* weight = "-58kg") {
        PlayerForm f;
        f.number = number;
        f.cls = cls;
        f.gender = gender;
        f.weight = weight;
        f.chungName = "KIM";
        f.hongName = "LEE";
        f.chungNation = "Korea";
        f.hongNation = "Ireland";
        f.phase = "Final";
        return f;
    }

    std::vector<ContestRow> Rows() {
        std::vector<ContestRow> rows;
        EXPECT_TRUE(LoadContestRows(db, rows)) << db.lastError();
        return rows;
    }

    std::vector<std::string> Numbers() {
        std::vector<std::string> numbers;
        for (const ContestRow& row : Rows())
            numbers.push_back(Utf8(row.no()) + "/" + Utf8(row.cls()) + "/" + Utf8(row.gender()));
        return numbers;
    }

    TempHome home;
    CAdoObject db;
};

TEST_F(PlayerTableTest, EmptyTableNumbersFromOne) {
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(NextContestNumber(0, Rows()), 1);
}

TEST_F(PlayerTableTest, NumbersFollowTheHighestContestInNumberOrder) {
    for (const int n : {5, 1, 2})
        ASSERT_EQ(SavePlayer(db, Form(n), 1024), SaveResult::Inserted);
    ASSERT_EQ(SavePlayer(db, Form(10), 1024), SaveResult::Inserted);
    EXPECT_EQ(Numbers(), (std::vector<std::string>{"001/Senior/Male", "002/Senior/Male", "005/Senior/Male",
                                                   "010/Senior/Male"}));
    ASSERT_TRUE(DeletePlayer(db, Rows()[3]));
    EXPECT_EQ(NextContestNumber(0, Rows()), 6);
}

TEST_F(PlayerTableTest, SameKeyUpdatesAnotherGenderAdds) {
    ASSERT_EQ(SavePlayer(db, Form(3), 1024), SaveResult::Inserted);
    PlayerForm again = Form(3);
    again.chungName = "PARK";
    EXPECT_EQ(SavePlayer(db, again, 1024), SaveResult::Updated);
    EXPECT_EQ(SavePlayer(db, Form(3, "Female"), 1024), SaveResult::Inserted);
    const std::vector<ContestRow> rows = Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(Utf8(rows[0].column[2]), "PARK");
    EXPECT_EQ(Utf8(rows[1].gender()), "Female");
}

TEST_F(PlayerTableTest, ApostrophesNeverBreakTheStatement) {
    PlayerForm f = Form(4);
    f.chungName = "O'NEIL";
    f.hongName = "";
    f.chungTeam = "Dublin's Club";
    f.hongNation = "Côte d'Ivoire";
    f.phase = "Quarter-final";
    ASSERT_EQ(SavePlayer(db, f, 1024), SaveResult::Inserted);
    f.hongTeam = "'; DROP TABLE PLAYER; --";
    ASSERT_EQ(SavePlayer(db, f, 1024), SaveResult::Updated);
    const std::vector<ContestRow> rows = Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(Utf8(rows[0].column[2]), "O`NEIL"); // the stored form of a name
    EXPECT_EQ(Utf8(rows[0].column[4]), "HONG");   // an empty name
    EXPECT_EQ(Utf8(rows[0].column[5]), "Côte d'Ivoire");
    EXPECT_EQ(Utf8(rows[0].column[10]), "Dublin's Club");
    EXPECT_EQ(Utf8(rows[0].column[11]), "'; DROP TABLE PLAYER; --");
}

TEST_F(PlayerTableTest, DeleteTakesOnlyTheRowOfItsKey) {
    // Contest 001 in two classes and two genders, all with the default names.
    for (const auto& [cls, gender] : {std::pair{"Senior", "Male"}, {"Senior", "Female"}, {"Cadet", "Male"}}) {
        PlayerForm f = Form(1, gender, cls);
        f.chungName = f.hongName = "";
        ASSERT_EQ(SavePlayer(db, f, 1024), SaveResult::Inserted);
    }
    std::vector<ContestRow> rows = Rows();
    const auto senior = std::find_if(rows.begin(), rows.end(), [](const ContestRow& r) {
        return Utf8(r.cls()) == "Senior" && Utf8(r.gender()) == "Female";
    });
    ASSERT_NE(senior, rows.end());
    ASSERT_TRUE(DeletePlayer(db, *senior));
    EXPECT_EQ(Numbers(), (std::vector<std::string>{"001/Senior/Male", "001/Cadet/Male"}));
}

TEST_F(PlayerTableTest, OverlongFormIsRefusedAndNothingStored) {
    PlayerForm f = Form(7);
    f.chungTeam = std::string(900, 'x');
    EXPECT_EQ(SavePlayer(db, f, 1024), SaveResult::TooLong);
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(SavePlayer(db, f, 2048), SaveResult::Inserted);
}

TEST_F(PlayerTableTest, ClosedDatabaseFails) {
    db.Close();
    EXPECT_EQ(SavePlayer(db, Form(1), 1024), SaveResult::Failed);
    std::vector<ContestRow> rows;
    EXPECT_FALSE(LoadContestRows(db, rows));
    EXPECT_FALSE(DeletePlayer(db, ContestRow{}));
}

} // namespace
