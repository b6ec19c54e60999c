// The match import without a window: the request bytes, the reply readers' checks and limits, the WT API
// match list and the match-input file's mapping, each on a fresh match record.
#include "links/MatchInput.h"
#include "links/OvrMatchReply.h"
#include "links/OvrMatchRequest.h"
#include "links/WtMatchImport.h"

#include "app/MatchData.h"
#include "tests/links/MatchListFixture.h"
#include "tests/support/TestCourt.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace {

const char16_t* const kNoReply =
    u"There is no received data from OVR system.\r\nPlease check the OVR connection!";

class MatchImportRulesTest : public ::testing::Test, protected TestCourt {
protected:
    MatchImportRulesTest() {
        const char16_t* nations[][3] = {{u"", u"", u"-"}, {u"KOR", u"", u"Korea"}, {u"IRL", u"", u"Ireland"}};
        for (int i = 0; i < 3; ++i)
            for (int f = 0; f < 3; ++f)
                std::copy_n(nations[i][f], std::char_traits<char16_t>::length(nations[i][f]) + 1,
                            md->aNation[i].wszField[f]);
        md->nNationCount = 3;
        md->nCourtNo = 3;
        md->pOvrLink = &linkStandIn;
        md->bOvrConnected = 1;
    }
    void Receive(const std::string& reply) {
        std::memset(md->szOvrRecv, 0, sizeof md->szOvrRecv);
        std::memcpy(md->szOvrRecv, reply.data(), std::min(reply.size(), sizeof md->szOvrRecv - 1));
    }
    int linkStandIn = 0;
};

// ---- requests ----

TEST_F(MatchImportRulesTest, RequestBytes) {
    EXPECT_EQ(OvrRequest::NextMatch(12, "", false), "\x02"
                                                    "0013|12|NextMatch\x03");
    EXPECT_EQ(OvrRequest::NextMatch(3, "7", true), "\x02"
                                                   "0020|3|NextManualMatch|7\x03");
    EXPECT_EQ(OvrRequest::AdjacentMatch(false), "\x02"
                                                "0015NextMatch?\x03");
    EXPECT_EQ(OvrRequest::AdjacentMatch(true), "\x02"
                                               "0015PrevMatch?\x03");
    EXPECT_EQ(OvrRequest::Rin(12), "\x01\x12"
                                   "12\x13RIN\x04");

    for (int i = 0; i < 10; ++i)
        std::snprintf(md->szLinkTag[i], sizeof md->szLinkTag[i], "t%d", i);
    md->nMatchTime = 90;
    const std::string head = "\x01\x12"
                             "3\x02t1\x02t2\x02t3\x02t4\x02t5\x02t6\x02t7";
    EXPECT_EQ(OvrRequest::ControlRecords(1, *md), "") << "only a reply of kind K is confirmed";
    EXPECT_EQ(OvrRequest::ControlRecords(2, *md), head +
                                                      "\x13PE\x02"
                                                      "1\x04" +
                                                      head +
                                                      "\x13SR\x02"
                                                      "1\x04" +
                                                      head +
                                                      "\x13TM\x02"
                                                      "1\x02    1:30    \x04");
    EXPECT_EQ(OvrRequest::ControlRecords(7, *md), head +
                                                      "\x13WN\x02"
                                                      "3\x02t8\x02t8\x02 3\x02"
                                                      "1:30\x04" +
                                                      head + "\x13" + "EF\x04");
    std::strcpy(md->szLinkTag[0], "K");
    EXPECT_EQ(OvrRequest::ControlRecords(1, *md),
              head + "\x13" + "CO\x04" + head + "\x13" + "BN\x02t8\x02t9\x04");
    EXPECT_EQ(OvrRequest::ControlRecords(5, *md), "");
}

// ---- replies ----

const std::string kGeneric = "\x01\x12"
                             "3\x13RIN|105|M|-68 kg|Final|C-77|KIM|KOR|H-88|ROSS|IRL|2|1|25|30|20|10|12\x04";
const std::string kCategory = "\x02"
                              "0|1|2|205|WSEN|M|-80 kg|LEE|C-1|KOR|HALL|H-2|IRL|0|120|22|28|||no\x03";
const std::string kWeight = "\x02"
                            "M:301,KEY,WJUN,MEN,U58,N:PARK,C-5,KOR,ROSS,H-6,IRL,R:2,90,30,no,18\x03";
const std::string kRin = "\x01\x12"
                         "3|1|2|3|4|5|6|401|Sen|M|-74|Final|C9|CHOI|KOR|H9|LEE|IRL|1|2|24|26|"
                         "00150005E7750A1B|00150005E7750A1C|10150005E7750A1D|10150005E7750A1E|K\x04";

// The reply with field n emptied.
std::string Without(const std::string& reply, char separator, int n) {
    std::size_t start = 0;
    for (int i = 0; i < n; ++i)
        start = reply.find(separator, start) + 1;
    std::size_t end = reply.find(separator, start);
    if (end == std::string::npos)
        end = reply.find_first_of("\x03\x04", start);
    return reply.substr(0, start) + reply.substr(end);
}

struct RequiredCase {
    const char* reader;
    std::function<ImportOutcome(MatchData&)> read;
    std::string reply;
    char separator;
    std::vector<int> required;
    std::vector<int> optional;
};

TEST_F(MatchImportRulesTest, AReplyLackingARequiredFieldChangesNothing) {
    const auto rin = [](MatchData& m) { return OvrReply::ReadRin(m, false, false); };
    const RequiredCase cases[] = {
        {"generic",
         [](MatchData& m) { return OvrReply::ReadGeneric(m, false); },
         kGeneric,
         '|',
         {1, 2, 5, 9, 13, 17},
         {}},
        {"category",
         [](MatchData& m) { return OvrReply::ReadCategory(m, false); },
         kCategory,
         '|',
         {0, 3, 8, 10, 11, 13, 16, 19},
         {9, 12, 17, 18}},
        {"weight",
         [](MatchData& m) { return OvrReply::ReadWeight(m, false); },
         kWeight,
         ',',
         {0, 1, 4, 11, 14, 15},
         {}},
        {"rin", rin, kRin, '|', {0, 6, 7, 12, 13, 21, 22, 23, 24, 25}, {}},
    };
    md->nPSSType = 2;
    for (const RequiredCase& c : cases) {
        for (const int n : c.required) {
            Receive(Without(c.reply, c.separator, n));
            std::strcpy(md->szContestNo, "old");
            const ImportOutcome outcome = c.read(*md);
            EXPECT_FALSE(outcome.taken) << c.reader << " field " << n;
            EXPECT_EQ(outcome.boxes, std::vector<std::u16string>{kNoReply}) << c.reader << " field " << n;
            EXPECT_STREQ(md->szContestNo, "old") << c.reader << " field " << n;
        }
        for (const int n : c.optional) {
            Receive(Without(c.reply, c.separator, n));
            EXPECT_TRUE(c.read(*md).taken) << c.reader << " field " << n;
        }
        Receive("");
        EXPECT_EQ(c.read(*md).boxes, std::vector<std::u16string>{kNoReply}) << c.reader;
    }
    // A reply that ends before its kind field.
    Receive(kRin.substr(0, kRin.rfind('|')));
    EXPECT_FALSE(OvrReply::ReadRin(*md, false, false).taken);
}

TEST_F(MatchImportRulesTest, DeviceFieldsOfTheVordexReplyAreRequiredByTheProtectorType) {
    struct Case {
        int pssType;
        int onlyMatchInfo;
        int emptied;
        bool taken;
    };
    const Case cases[] = {{0, 0, 22, true},  {1, 0, 22, false}, {1, 0, 23, true}, {1, 0, 24, false},
                          {2, 0, 25, false}, {2, 1, 22, true},  {2, 1, 25, true}};
    for (const Case& c : cases) {
        md->nPSSType = c.pssType;
        md->bOnlyMatchInfo = c.onlyMatchInfo;
        Receive(Without(kRin, '|', c.emptied));
        EXPECT_EQ(OvrReply::ReadRin(*md, false, false).taken, c.taken)
            << "type " << c.pssType << " only-info " << c.onlyMatchInfo << " field " << c.emptied;
    }
    EXPECT_STREQ(md->aPlayer[1].szMacHead, "") << "an empty address is stored as it came";
}

TEST_F(MatchImportRulesTest, ReadersNeedTheirLinkAndThePreRegistrationReplyHasItsOwnBox) {
    Receive(kGeneric);
    md->bOvrConnected = 0;
    const ImportOutcome none = OvrReply::ReadGeneric(*md, false);
    EXPECT_FALSE(none.taken);
    EXPECT_TRUE(none.boxes.empty());
    int preReg = 0;
    md->pPreRegLink = &preReg;
    md->bPreRegConnected = 1;
    EXPECT_EQ(OvrReply::ReadRin(*md, true, false).boxes,
              std::vector<std::u16string>{
                  u"There is no received data from Pre-registration system.\r\nPlease check "
                  u"the Pre-registration connection!"});
}

TEST_F(MatchImportRulesTest, OverlongFieldsAreCutOnACharacterAndEchoTextsAtNineBytes) {
    const std::string longName(300, 'N');
    std::string reply = kRin;
    reply.replace(reply.find("|1|2|"), 5, "|123456789ABC|\xED\x95\x9C\xEA\xB8\x80\xED\x95\x9C\xEA\xB8\x80|");
    reply.replace(reply.find("|Sen|"), 5,
                  "|" + std::string(200, 'S') + "\xEA\xB8\x80" + std::string(100, 'x') + "|");
    Receive(reply);
    md->nPSSType = 0;
    ASSERT_TRUE(OvrReply::ReadRin(*md, false, false).taken);
    EXPECT_STREQ(md->szLinkTag[2], "123456789");
    EXPECT_STREQ(md->szLinkTag[3], "\xED\x95\x9C\xEA\xB8\x80\xED\x95\x9C") << "three whole characters fit";
    EXPECT_EQ(std::strlen(md->szWeightClass), 259u);

    // A text that is not UTF-8 is stored as valid UTF-8.
    std::string latin = kGeneric;
    latin.replace(latin.find("KIM"), 3, "K\xC9M");
    Receive(latin);
    ASSERT_TRUE(OvrReply::ReadGeneric(*md, false).taken);
    EXPECT_STREQ(md->aPlayer[0].szName, "K\xEF\xBF\xBDM");
}

TEST_F(MatchImportRulesTest, WeightGenderAndRoundTexts) {
    struct Case {
        std::string from, to;
        const char* weight;
        const char* gender;
        int genderItem;
        int rounds;
    };
    const Case cases[] = {
        {"U58", "U58", "-58 kg", "Male", 0, 2},     {"U58", "O87", "+87 kg", "Male", 0, 2},
        {"MEN", "WOMEN", "-58 kg", "Female", 1, 2}, {"MEN", "MIX", "-58 kg", "Mixed", 2, 2},
        {"R:2", "R:0", "-58 kg", "Male", 0, 3},
    };
    for (const Case& c : cases) {
        std::string reply = kWeight;
        reply.replace(reply.find(c.from), c.from.size(), c.to);
        Receive(reply);
        const ImportOutcome outcome = OvrReply::ReadWeight(*md, false);
        ASSERT_TRUE(outcome.taken) << c.to;
        EXPECT_STREQ(md->szWeight, c.weight) << c.to;
        EXPECT_STREQ(md->szGender, c.gender) << c.to;
        EXPECT_EQ(outcome.genderItem, c.genderItem) << c.to;
        EXPECT_EQ(md->nRound, c.rounds) << c.to;
    }
}

TEST_F(MatchImportRulesTest, TeamReadersKeepThePunchLevelAndReadEightSlotsOfAddresses) {
    md->nLevelPunch = 7;
    Receive(kCategory);
    ASSERT_TRUE(OvrReply::ReadCategory(*md, true).taken);
    EXPECT_EQ(md->nLevelBody, 22);
    EXPECT_EQ(md->nLevelPunch, 7);

    std::string team = kRin.substr(0, kRin.size() - 2); // without "K" and the end byte
    for (int slot = 2; slot < 8; ++slot)
        team += "00A" + std::to_string(slot) + "|00B" + std::to_string(slot) + "|";
    team += "K\x04";
    Receive(team);
    md->nPSSType = 2;
    ASSERT_TRUE(OvrReply::ReadRin(*md, false, true).taken);
    EXPECT_EQ(md->nLevelPunch, 7);
    EXPECT_STREQ(md->aPlayer[1].szMacHead, "10150005E7750A1E");
    EXPECT_STREQ(md->aPlayer[7].szMacBody, "00A7");
    EXPECT_STREQ(md->aPlayer[7].szMacHead, "00B7");
    EXPECT_STREQ(md->szLinkTag[0], "K");
    Receive(kRin);
    EXPECT_FALSE(OvrReply::ReadRin(*md, false, true).taken) << "the kind field of a team reply is field 38";
}

// ---- the WT API match list ----

TEST_F(MatchImportRulesTest, TheScheduledMatchOfThisMatIsMappedWhole) {
    md->aPlayer[1].nNation = 2;
    md->aSide[1].nVRRemain = 4;
    const ImportOutcome outcome = WtMatchImport::Load(*md, MatchList(), false, "", false);
    ASSERT_TRUE(outcome.taken);
    EXPECT_TRUE(outcome.boxes.empty());
    EXPECT_STREQ(md->szMatchId, "m-1");
    EXPECT_STREQ(md->szContestNo, "105");
    EXPECT_STREQ(md->szPhase, "Semifinals");
    EXPECT_STREQ(md->szWeightClass, "Senior");
    EXPECT_STREQ(md->szWeight, "-68");
    EXPECT_STREQ(md->szSportClass, "K44");
    EXPECT_EQ(md->nCompetitionType, 2);
    EXPECT_STREQ(md->aPlayer[0].szShortName, "KIM M.");
    EXPECT_STREQ(md->aPlayer[0].szName, "KIM Minsu");
    EXPECT_STREQ(md->aPlayer[0].szExtId, "c-1");
    EXPECT_EQ(md->aPlayer[0].nNation, 1);
    EXPECT_STREQ(md->aPlayer[1].szShortName, "ROSS");
    EXPECT_STREQ(md->aPlayer[1].szName, "S. ROSS");
    EXPECT_STREQ(md->aPlayer[1].szNationCode, "XYZ");
    EXPECT_EQ(md->aPlayer[1].nNation, 0) << "an unknown country gives no nation";
    EXPECT_EQ(outcome.nationRow[0], 1);
    EXPECT_EQ(outcome.nationRow[1], 0);
    EXPECT_EQ(md->nCompetitionRule, 1);
    EXPECT_EQ(md->nRound, 3);
    EXPECT_EQ(md->nMatchTime, 90);
    EXPECT_EQ(md->nRestTime, 45);
    EXPECT_EQ(md->nKyeShiTime, 60);
    EXPECT_EQ(md->nLevelBody, 21);
    EXPECT_EQ(md->nLevelHead, 14);
    EXPECT_EQ(md->nLevelPunch, 21) << "no punch threshold: the body's";
    EXPECT_EQ(md->aSide[0].nVRRemain, 1);
    EXPECT_EQ(md->aSide[1].nVRRemain, 4) << "an absent quota keeps its value";
    EXPECT_EQ(md->bGoldenPoint, 1);
    EXPECT_EQ(md->nGRndMatchTime, 60);
    EXPECT_EQ(md->nTeamGRndMatchTime, 60);
    EXPECT_EQ(md->nPointGap, 12);
    EXPECT_EQ(md->nGamJeom, 5);
}

TEST_F(MatchImportRulesTest, WhichElementOfTheListIsTaken) {
    const std::string second = R"(,{"id":"m-2","attributes":{"number":"106","mat":3,"phase":"F",
"schedule":{"status":"SCHEDULED"}},"relationships":{"homeCompetitor":{},"awayCompetitor":{},
"refereeAssignment":{},"event":{},"matchConfiguration":{}}}])";
    struct Case {
        const char* name;
        std::function<void(std::string&)> edit;
        bool byNumber;
        const char* number;
        const char* taken; // the match id, or "" for none
    };
    const Case cases[] = {
        {"first of two", [&](std::string& d) { Replace(d, "}}}}]", "}}}}" + second); }, false, "", "m-1"},
        {"by number", [&](std::string& d) { Replace(d, "}}}}]", "}}}}" + second); }, true, "106", "m-2"},
        {"number not listed", {}, true, "107", ""},
        {"another mat", [](std::string& d) { Replace(d, R"("mat":3)", R"("mat":4)"); }, false, "", ""},
        {"mat as text", [](std::string& d) { Replace(d, R"("mat":3)", R"("mat":"3")"); }, false, "", ""},
        {"finished", [](std::string& d) { Replace(d, "SCHEDULED", "FINISHED"); }, false, "", ""},
        {"another mat first",
         [&](std::string& d) {
             Replace(d, "}}}}]", "}}}}" + second);
             Replace(d, R"("mat":3)", R"("mat":9)");
         },
         false, "", "m-2"},
        {"no attributes", [](std::string& d) { Replace(d, R"("attributes":{"number")", R"("x":{"number")"); },
         false, "", ""},
        {"relationships lack the event",
         [](std::string& d) { Replace(d, R"("event":{"data")", R"("e":{"data")"); }, false, "", ""},
        {"configuration without timing", [](std::string& d) { Replace(d, R"("timing")", R"("t")"); }, false,
         "", ""},
        {"competitor without country",
         [](std::string& d) { Replace(d, R"("country":"KOR")", R"("c":"KOR")"); }, false, "", ""},
    };
    for (const Case& c : cases) {
        std::strcpy(md->szMatchId, "old");
        const ImportOutcome outcome =
            WtMatchImport::Load(*md, MatchList(c.edit), c.byNumber, c.number, false);
        EXPECT_EQ(outcome.taken, c.taken[0] != '\0') << c.name;
        EXPECT_STREQ(md->szMatchId, c.taken[0] ? c.taken : "old") << c.name;
        if (!outcome.taken) {
            EXPECT_EQ(outcome.boxes, std::vector<std::u16string>{u"There is no scheduled match."}) << c.name;
        }
    }
}

TEST_F(MatchImportRulesTest, MatchListDocumentsThatAreRefusedAndConfigurationNotes) {
    struct Case {
        const char* name;
        std::string document;
        bool taken;
        std::vector<std::u16string> boxes;
    };
    const Case cases[] = {
        {"empty reply", "", false, {kNoReply}},
        {"parse error", "{\"data\":[", false, {u"Invalid value."}},
        {"data an object", R"({"data":{}})", false, {u"Invalid data"}},
        {"no data", R"({"included":[]})", false, {u"Invalid data"}},
        {"empty list", R"({"data":[]})", false, {u"There is no scheduled match."}},
        {"maxDifference missing",
         MatchList([](std::string& d) { Replace(d, R"("maxDifference":12,)", ""); }),
         true,
         {u"There is no 'MatchConfiguration - maxDifference' member"}},
        {"maxPenalties and golden time wrong",
         MatchList([](std::string& d) {
             Replace(d, R"("maxPenalties":5)", R"("maxPenalties":"5")");
             Replace(d, R"("time":"01:00")", R"("time":60)");
         }),
         true,
         {u"Please check the 'MatchConfiguration - goldenPoint - time' data",
          u"Please check the 'MatchConfiguration - maxPenalties' data"}},
    };
    for (const Case& c : cases) {
        md->nPointGap = 99;
        md->nGamJeom = 98;
        md->nGRndMatchTime = 97;
        const ImportOutcome outcome = WtMatchImport::Load(*md, c.document, false, "", false);
        EXPECT_EQ(outcome.taken, c.taken) << c.name;
        EXPECT_EQ(outcome.boxes, c.boxes) << c.name;
    }
    // The last case kept what was wrong and took the rest.
    EXPECT_EQ(md->nGamJeom, 98);
    EXPECT_EQ(md->nGRndMatchTime, 97);
    EXPECT_EQ(md->nPointGap, 12);
}

TEST_F(MatchImportRulesTest, TheTeamListTakesTeamPhasesInitialNamesAndNoPenaltyLimit) {
    md->nGamJeom = 98;
    const ImportOutcome outcome = WtMatchImport::Load(
        *md, MatchList([](std::string& d) { Replace(d, R"("maxPenalties":5)", R"("x":5)"); }), false, "",
        true);
    ASSERT_FALSE(outcome.taken) << "the home team has no initial name";
    const ImportOutcome team = WtMatchImport::Load(*md, MatchList([](std::string& d) {
        Replace(d, R"("scoreboardName":"KIM Minsu")", R"("scoreboardInitialName":"KOR A")");
        Replace(d, R"("maxPenalties":5)", R"("x":5)");
    }),
                                                   false, "", true);
    ASSERT_TRUE(team.taken);
    EXPECT_TRUE(team.boxes.empty());
    EXPECT_STREQ(md->szPhase, "Semi-final");
    EXPECT_EQ(md->nCompetitionType, 1);
    EXPECT_STREQ(md->aPlayer[0].szName, "KOR A");
    EXPECT_STREQ(md->aPlayer[0].szShortName, "KIM M.");
    EXPECT_EQ(md->nGamJeom, 98);
}

TEST_F(MatchImportRulesTest, MinutesAndSecondsTexts) {
    struct Case {
        const char* text;
        std::optional<int> seconds;
    };
    const Case cases[] = {
        {"01:30", 90},      {"1:30", 90},         {"2:05", 125},          {"10:00", 600},         {"45", 45},
        {"", std::nullopt}, {"1:", std::nullopt}, {"a:30", std::nullopt}, {"-1:30", std::nullopt}};
    for (const Case& c : cases)
        EXPECT_EQ(WtMatchImport::MinSecText(c.text), c.seconds) << c.text;
}

// ---- the match-input file ----

TEST_F(MatchImportRulesTest, MatchInputGenderAndLevels) {
    struct Case {
        const char16_t* gender;
        int item;
    };
    const Case cases[] = {{u"male", 0}, {u"M", 0}, {u"m", 0}, {u"female", 1},
                          {u"F", 1},    {u"w", 1}, {u"x", 1}};
    TTK_MatchInput input;
    input.field[TTK_MatchInput::BodyLevel] = u"19";
    input.field[TTK_MatchInput::HeadLevel] = u"27";
    input.field[TTK_MatchInput::RoundTime] = u"90";
    input.field[TTK_MatchInput::RestTime] = u"45";
    for (const Case& c : cases) {
        input.field[TTK_MatchInput::Gender] = c.gender;
        const ImportOutcome outcome = ApplyMatchInput(*md, input);
        EXPECT_EQ(outcome.genderItem, c.item);
        EXPECT_STREQ(md->szGender, c.item ? "Female" : "Male");
    }
    EXPECT_EQ(md->nLevelBody, 19);
    EXPECT_EQ(md->nLevelHead, 27);
    EXPECT_EQ(md->nMatchTime, 90);

    // A level that is no number is refused, not read as 0 (every hit would score).
    input.field[TTK_MatchInput::BodyLevel] = u"abc";
    input.field[TTK_MatchInput::Match] = u"77";
    const ImportOutcome refused = ApplyMatchInput(*md, input);
    EXPECT_FALSE(refused.taken);
    EXPECT_EQ(refused.boxes.size(), 1u);
    EXPECT_EQ(md->nLevelBody, 19);
    EXPECT_STRNE(md->szContestNo, "77");
}

TEST(ImportNumbers, OnlyWholeNumbersInTheirRangePass) {
    struct Case {
        const char* text;
        bool passes;
        int value;
    };
    const Case cases[] = {
        {"0", true, 0},   {"100", true, 100}, {" 42 ", true, 42}, {"+7", true, 7},
        {"-5", false, 0}, {"101", false, 0},  {"abc", false, 0},  {"12abc", false, 0},
        {"", false, 0},   {"1 2", false, 0},  {"-", false, 0},    {"9999999999", false, 0},
    };
    for (const Case& c : cases) {
        ImportText::Checks check;
        EXPECT_EQ(check.Text("trunk level", c.text, ImportText::kLevelRange), c.value) << c.text;
        EXPECT_EQ(check.Refused(), !c.passes) << c.text;
    }
}

} // namespace
