// What the registration dialogs decide without a window: the round time, the spins, the levels, device
// requests and address checks, team device numbering, contest numbering and loading a contest.
#include "registration/RegistrationRules.h"

#include "app/MatchData.h"
#include "app/WeightDivisions.h"
#include "tests/support/TestCourt.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>

using namespace Registration;

namespace {

std::string Utf8(const std::u16string& text) {
    return QString::fromStdU16String(text).toStdString();
}

TEST(RoundTime, ApplySendsMillisecondsAndRound) {
    struct Case {
        const char16_t* text;
        int round;
        bool team;
        const char* message;
        const char16_t* shown;
    } cases[] = {
        {u"9 : 59 . 99", 2, false, "599990,2", u"9:59.99"},
        {u"9 : 99 . 99", 1, false, "599999,1", u"9:59.99"}, // longer than 9:59.99 is cut
        {u"1 : 30 .   ", 3, false, "090000,3", u"1:30.00"},
        {u"2 : 05 , 50", 1, false, "125500,1", u"2:05.50"}, // a locale's comma separator
        {u"  :    .   ", 1, false, "000000,1", u"0:00.00"},
        {u"3 : 00", 4, true, "180,4", u"3:00"},
        {u"9 : 99", 1, true, "599,1", u"9:59"},
    };
    for (const Case& c : cases) {
        const RoundTimeApply apply = ApplyRoundTime(c.text, c.round, c.team);
        EXPECT_EQ(apply.message, c.message) << Utf8(c.text);
        EXPECT_EQ(apply.shown, c.shown) << Utf8(c.text);
    }
    EXPECT_EQ(ResetRoundTime(120, false).message, "120,1");
    EXPECT_EQ(ResetRoundTime(120, false).shown, u"2:00.00");
    EXPECT_EQ(ResetRoundTime(90, true).shown, u"1:30");
}

TEST(RoundTime, SpinStaysBetweenTenSecondsAndNineFiftyNine) {
    struct Case {
        const char16_t* text;
        bool up;
        bool team;
        const char16_t* shown;
    } cases[] = {
        {u"0 : 10 . 00", false, false, u"0 : 10 . 00"},
        {u"9 : 59 . 50", true, false, u"9 : 59 . 50"},
        {u"1 : 00 . 25", false, false, u"0 : 59 . 25"}, // hundredths kept
        {u"1 : 59 . 00", true, false, u"2 : 00 . 00"},
        {u"0 : 10", false, true, u"0 : 10"},
        {u"9 : 59", true, true, u"9 : 59"},
        {u"2 : 00", false, true, u"1 : 59"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SpinRoundTime(c.text, c.up, c.team), c.shown) << Utf8(c.text);
    EXPECT_EQ(FormatRemainTime(125340, false), u"2:05.34");
    EXPECT_EQ(FormatRemainTime(125340, true), u"2:05");
}

TEST(RoundTime, MinSecSplitsAtColons) {
    int minutes = -1;
    int seconds = -1;
    ParseMinSec(u"3:45", minutes, seconds);
    EXPECT_EQ(minutes, 3);
    EXPECT_EQ(seconds, 45);
    ParseMinSec(u"2:x", minutes, seconds);
    EXPECT_EQ(minutes, 2);
    EXPECT_EQ(seconds, 0);
    ParseMinSec(u"7", minutes, seconds);
    EXPECT_EQ(minutes, 7);
    EXPECT_EQ(seconds, 0);
    ParseMinSec(u"1:02:03", minutes, seconds);
    EXPECT_EQ(seconds, 2);
}

TEST(ContestNumber, SpinStopsAtOneAndRefusesPast999) {
    EXPECT_EQ(SpinContestNumber(1, false), 1);
    EXPECT_EQ(SpinContestNumber(5, false), 4);
    EXPECT_EQ(SpinContestNumber(998, true), 999);
    EXPECT_EQ(SpinContestNumber(999, true), std::nullopt);
    EXPECT_EQ(ParseContestNumber(u"007"), 7);
    EXPECT_EQ(ParseContestNumber(u" 12 "), 12);
    for (const char16_t* bad : {u"", u"0", u"1000", u"12a", u"-3"})
        EXPECT_EQ(ParseContestNumber(bad), std::nullopt) << Utf8(bad);
    EXPECT_EQ(ContestNumberText(6), u"006");
}

TEST(Levels, OnlyWholeNumbersFromZeroToHundred) {
    EXPECT_EQ(ParseLevel(u"0"), 0);
    EXPECT_EQ(ParseLevel(u" 25 "), 25);
    EXPECT_EQ(ParseLevel(u"100"), 100);
    for (const char16_t* bad : {u"", u" ", u"abc", u"101", u"-1", u"2 5", u"1e2", u"0030"})
        EXPECT_EQ(ParseLevel(bad), std::nullopt) << Utf8(bad);
}

TEST(Levels, KgfConversionOfTheTrunkLevel) {
    EXPECT_EQ(KgfBodyLevel(32), 93);
    EXPECT_EQ(KgfBodyLevel(33), 91);
    EXPECT_EQ(KgfBodyLevel(0), 0); // -3 + 5 = 2, / 10
    EXPECT_EQ(KgfBodyLevel(20), 58);
}

const std::u16string kChung = u"00150005E7750A1B";
const std::u16string kChung2 = u"0015000ae7750c2d";
const std::u16string kHong = u"10150005E7750A1B";

TEST(DeviceRequest, AddressChecks) {
    EXPECT_EQ(CheckPssMac(false, kChung), std::nullopt);
    EXPECT_EQ(CheckPssMac(true, kHong), std::nullopt);
    EXPECT_EQ(CheckPssMac(false, u"00150005E7750A1"), u"The character size are longer or shorter then 16.");
    EXPECT_EQ(CheckPssMac(false, kHong),
              u"The color of protector is not corrected!\r\nPlease check the color of protector.");
    EXPECT_EQ(CheckPssMac(true, kChung),
              u"The color of protector is not corrected!\r\nPlease check the color of protector.");
    EXPECT_TRUE(CheckPssMac(false, u"0015000XE7750A1B").has_value());
}

struct RequestCase {
    const char* label;
    int index;
    std::u16string edit;
    bool useList;
    std::u16string list;
    bool preReg;
    bool send;
    std::string text;
    const char16_t* message;
};

std::ostream& operator<<(std::ostream& os, const RequestCase& c) {
    return os << c.label;
}

class DeviceRequestTable : public ::testing::TestWithParam<RequestCase> {};

TEST_P(DeviceRequestTable, BuildsTheRequestOrRefuses) {
    const RequestCase& c = GetParam();
    const PssRequest r = BuildPssRequest(c.index, c.edit, c.useList, c.list, c.preReg);
    EXPECT_EQ(r.send, c.send);
    EXPECT_EQ(r.text, c.text);
    EXPECT_EQ(Utf8(r.message), Utf8(c.message ? c.message : u""));
}

const std::u16string kTwo = kChung + u"," + kChung2;
const std::u16string kSeven = kTwo + u"," + kTwo + u"," + kTwo + u"," + kChung;

INSTANTIATE_TEST_SUITE_P(
    Table, DeviceRequestTable,
    ::testing::Values(
        RequestCase{"EmptyEditNoListPairsAnyDevice", 0, u"", false, u"", false, true, "", nullptr},
        RequestCase{"TypedAddress", 2, kHong, false, u"", false, true, "HV" + Utf8(kHong), nullptr},
        RequestCase{"TypedAddressWrongColour", 0, kHong, false, u"", false, false, "",
                    u"The color of protector is not corrected!\r\nPlease check the color of protector."},
        RequestCase{"FifteenCharacters", 1, u"00150005E7750A1", false, u"", false, false, "",
                    u"The character size are longer or shorter then 16."},
        RequestCase{"PreRegisteredWithoutAddress", 0, u"", false, u"", true, false, "",
                    u"PSS is not pre-registered yet!\r\n Please wait seconds"},
        RequestCase{"ListOfTwoWithoutCommas", 0, u"", true, kTwo, false, true,
                    "CV" + Utf8(kChung) + Utf8(kChung2), nullptr},
        RequestCase{"TypedAddressWinsOverTheList", 0, kChung2, true, kChung, false, true,
                    "CV" + Utf8(kChung2), nullptr},
        RequestCase{"EmptyTrunkListRefused", 2, u"", true, u"", false, false, "",
                    u"Device list is empty!\r\nPlease check the device list."},
        RequestCase{"EmptyHeadListPairsAnyDevice", 1, u"", true, u"", false, true, "", nullptr},
        RequestCase{"SevenAddressesRefused", 0, u"", true, kSeven, false, false, "",
                    u"Device list has more than 6 addresses!\r\nPlease check the device list."},
        RequestCase{
            "ListWithAShortAddressRefused", 0, u"", true, kChung + u",0012", false, false, "",
            u"Device list has an address that is not 16 hexadecimal digits!\r\nPlease check the device "
            u"list."}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(TeamDevices, IndexesNamesAndSlots) {
    EXPECT_EQ(TeamDeviceIndex(1, 0), 0);
    EXPECT_EQ(TeamDeviceIndex(5, 3), 19);
    EXPECT_EQ(TeamDeviceIndex(6, 0), 24);
    EXPECT_EQ(TeamDeviceIndex(6, 3), 27);
    EXPECT_EQ(TeamDeviceName(1, 1), "CH");
    EXPECT_EQ(TeamDeviceName(6, 3), "HH6");
    EXPECT_EQ(TeamPlayerSlot(1, 0), 0);
    EXPECT_EQ(TeamPlayerSlot(6, 3), 11);
    EXPECT_EQ(TeamMembersShown(0), 3);
    EXPECT_EQ(TeamMembersShown(1), 5);
    EXPECT_EQ(TeamMembersShown(2), 4);
    EXPECT_EQ(TeamMembersShown(3), 6);
    const PssRequest r = BuildTeamPssRequest(27, u"1015000AE7750C2D");
    EXPECT_TRUE(r.send);
    EXPECT_EQ(r.text, "HH61015000AE7750C2D");
    EXPECT_EQ(BuildTeamPssRequest(27, u"").text, "");
    EXPECT_FALSE(BuildTeamPssRequest(4, u"xyz").send);
}

ContestRow Row(const char16_t* no, const char16_t* cls = u"Senior", const char16_t* weight = u"-58kg",
               const char16_t* gender = u"Male") {
    ContestRow row;
    row.column[0] = cls;
    row.column[1] = no;
    row.column[6] = weight;
    row.column[7] = gender;
    return row;
}

TEST(ContestNumber, NextNumberFollowsTheHighestAndNeverFalls) {
    EXPECT_EQ(NextContestNumber(0, {}), 1);
    EXPECT_EQ(NextContestNumber(0, {Row(u"001"), Row(u"002"), Row(u"005")}), 6);
    // Filled again after contest 005 went: the number stays.
    EXPECT_EQ(NextContestNumber(6, {Row(u"001"), Row(u"002")}), 6);
    EXPECT_EQ(NextContestNumber(6, {Row(u"001"), Row(u"006")}), 7);
    EXPECT_EQ(NextNumberAfterDelete({Row(u"001"), Row(u"003")}), 4);
    EXPECT_EQ(NextNumberAfterDelete({}), 1);
}

// Loading a contest into the match record.
class LoadContestTest : public ::testing::Test, protected TestCourt {
protected:
    LoadContestTest() {
        home.write("ini/WeightDiv.ini",
                   "[Division]\r\nNumber=2\r\nName_0=Cadet\r\nName_1=Senior\r\n"
                   "[Senior_Male]\r\nCat_Number=2\r\nCat_Name_0=-54kg\r\nCat_Name_1=-58kg\r\n"
                   "Level_Body_0=20\r\nLevel_Head_0=10\r\nLevel_Punch_0=5\r\n"
                   "Level_Body_1=32\r\nLevel_Head_1=11\r\nLevel_Punch_1=6\r\n"
                   "[Senior_Female]\r\nCat_Name_0=-46kg\r\nCat_Name_1=-49kg\r\n"
                   "Level_Body_0=15\r\nLevel_Head_0=8\r\nLevel_Punch_0=4\r\n"
                   "Level_Body_1=33\r\nLevel_Head_1=9\r\nLevel_Punch_1=7\r\n"
                   "[Cadet_Male]\r\nCat_Number=0\r\n");
        LoadWeightDivisions(*md);
        const char16_t* nations[][3] = {{u"", u"", u"-"}, {u"KOR", u"", u"Korea"}, {u"IRL", u"", u"Ireland"}};
        for (int i = 0; i < 3; ++i)
            for (int f = 0; f < 3; ++f)
                std::copy_n(nations[i][f], std::char_traits<char16_t>::length(nations[i][f]) + 1,
                            md->aNation[i].wszField[f]);
        md->nNationCount = 3;
    }
    ~LoadContestTest() override { FreeWeightDivisions(*md); }

    ContestRow Contest(const char16_t* cnation, const char16_t* hnation, const char16_t* weight = u"-58kg",
                       const char16_t* gender = u"Male") {
        ContestRow row = Row(u"003", u"Senior", weight, gender);
        row.column[2] = u"KIM";
        row.column[3] = cnation;
        row.column[4] = u"O`NEIL";
        row.column[5] = hnation;
        row.column[10] = u"Seoul";
        row.column[11] = u"Dublin's";
        row.column[12] = u"Final";
        return row;
    }
};

TEST_F(LoadContestTest, CopiesIdentityPlayersNationsAndLevels) {
    md->aPlayer[1].nNation = 7;
    const LoadResult r = LoadContest(*md, Contest(u"Korea", u"Atlantis"), false);
    ASSERT_TRUE(r.loaded);
    EXPECT_STREQ(md->szContestNo, "003");
    EXPECT_STREQ(md->szWeightClass, "Senior");
    EXPECT_STREQ(md->szWeight, "-58kg");
    EXPECT_STREQ(md->szGender, "Male");
    EXPECT_STREQ(md->szPhase, "Final");
    EXPECT_STREQ(md->aPlayer[0].szName, "KIM");
    EXPECT_STREQ(md->aPlayer[1].szName, "O`NEIL");
    EXPECT_EQ(md->aPlayer[0].nNation, 1);
    EXPECT_STREQ(md->aPlayer[0].szNationCode, "KOR");
    EXPECT_STREQ(md->aPlayer[0].szNationName, "Korea");
    // A nation the table does not have: the row stays, the texts go.
    EXPECT_EQ(md->aPlayer[1].nNation, 7);
    EXPECT_STREQ(md->aPlayer[1].szNationCode, "");
    EXPECT_EQ(r.classIndex, 1);
    EXPECT_EQ(r.weightIndex, 1);
    EXPECT_EQ(r.phaseIndex, 10);
    EXPECT_EQ(md->nLevelBody, 32);
    EXPECT_EQ(md->nLevelHead, 11);
    EXPECT_EQ(md->nLevelPunch, 6);
}

TEST_F(LoadContestTest, FirstNationRowTakesTheTeamText) {
    ASSERT_TRUE(LoadContest(*md, Contest(u"-", u"-"), false).loaded);
    EXPECT_EQ(md->aPlayer[1].nNation, 0);
    EXPECT_STREQ(md->aPlayer[0].szNationCode, "Seoul");
    EXPECT_STREQ(md->aPlayer[1].szNationName, "Dublin's");
}

TEST_F(LoadContestTest, KgfUnitConvertsTheTrunkLevel) {
    md->bUseKgfUnit = 1;
    ASSERT_TRUE(LoadContest(*md, Contest(u"Korea", u"Ireland"), false).loaded);
    EXPECT_EQ(md->nLevelBody, 93);
    ASSERT_TRUE(LoadContest(*md, Contest(u"Korea", u"Ireland", u"-49kg", u"Female"), false).loaded);
    EXPECT_EQ(md->nLevelBody, 91);
    EXPECT_EQ(md->nLevelPunch, 7);
}

TEST_F(LoadContestTest, MissingLevelsKeepTheLevelsInForce) {
    md->nLevelBody = 25;
    md->nLevelHead = 12;
    ContestRow row = Contest(u"Korea", u"Ireland", u"-33kg");
    row.column[0] = u"Cadet"; // a division without weight classes has no levels
    ASSERT_TRUE(LoadContest(*md, row, false).loaded);
    EXPECT_EQ(md->nLevelBody, 25);
    EXPECT_EQ(md->nLevelHead, 12);
}

TEST_F(LoadContestTest, RefusedWhileAMatchRunsAndForTheLoggedContest) {
    md->nGameState = 3;
    std::strcpy(md->szContestNo, "009");
    LoadResult r = LoadContest(*md, Contest(u"Korea", u"Ireland"), false);
    EXPECT_FALSE(r.loaded);
    EXPECT_EQ(Utf8(r.message), "Please finish the previous game.");
    EXPECT_STREQ(md->szContestNo, "009");
    EXPECT_STREQ(md->aPlayer[0].szName, "");

    md->nGameState = 0;
    md->bMatchLogged = 1;
    ASSERT_TRUE(LoadContest(*md, Contest(u"Korea", u"Ireland"), false).loaded);
    r = LoadContest(*md, Contest(u"Korea", u"Ireland"), false); // the same contest again
    EXPECT_FALSE(r.loaded);
    EXPECT_NE(Utf8(r.message).find("played already"), std::string::npos);
}

TEST_F(LoadContestTest, TeamContestWithMixedGender) {
    ContestRow row = Contest(u"Korea", u"Ireland", u"", u"Mixed");
    row.column[0] = u"Senior Team";
    row.column[1] = u"012[2]";
    md->nCompetitionType = 1;
    md->nLevelBody = 44;
    const LoadResult r = LoadContest(*md, row, true);
    ASSERT_TRUE(r.loaded);
    EXPECT_STREQ(md->szContestNo, "012");
    EXPECT_EQ(r.genderIndex, 2);
    EXPECT_EQ(r.classIndex, 1);
    EXPECT_STREQ(md->szWeight, "");
    EXPECT_EQ(md->nLevelBody, 44); // a team match keeps its levels
}

// The tournament database's row names the nations by their codes; the team dialog may reload the playing
// match while it runs (even the logged one).
TEST_F(LoadContestTest, TournamentRowsNameNationsByCodeAndMayRefreshTheRunningMatch) {
    LoadMode byCode;
    byCode.nationByCode = true;
    ASSERT_TRUE(LoadContest(*md, Contest(u"KOR", u"Ireland"), false, byCode).loaded);
    EXPECT_EQ(md->aPlayer[0].nNation, 1);
    EXPECT_STREQ(md->aPlayer[0].szNationName, "Korea");
    EXPECT_STREQ(md->aPlayer[1].szNationCode, "") << "a name is no code";

    ContestRow row = Contest(u"KOR", u"IRL", u"", u"Female");
    row.column[0] = u"Senior Team";
    md->nCompetitionType = 1;
    md->nGameState = 3;
    md->bMatchLogged = 1;
    md->nLevelBody = 44;
    EXPECT_FALSE(LoadContest(*md, row, true, byCode).loaded);
    LoadMode reload = byCode;
    reload.whileRunning = true;
    ASSERT_TRUE(LoadContest(*md, row, true, reload).loaded);
    ASSERT_TRUE(LoadContest(*md, row, true, reload).loaded) << "the logged match itself";
    EXPECT_EQ(md->aPlayer[1].nNation, 2);
    EXPECT_EQ(md->nLevelBody, 44);
}

} // namespace
