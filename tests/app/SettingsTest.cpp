#include "app/AppGlobals.h"
#include "app/IniFiles.h"
#include "app/MatchData.h"
#include "app/NationTable.h"
#include "app/RuleSettings.h"
#include "app/WeightDivisions.h"
#include "platform/CodePage.h"
#include "platform/ProfileFile.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <QFile>

#include <QDateTime>

#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::u16string Wide(const std::string& utf8) {
    return MultiByteToWide(utf8, CP_UTF8);
}

std::string Utf8(std::u16string_view text) {
    return WideToMultiByte(text, CP_UTF8);
}

std::string Utf16Le(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Each test gets a fresh program folder and a zero-filled record, as the frame creates it.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { g_strAppDir = home.widePath(); }
    void TearDown() override {
        FreeWeightDivisions(*md);
        g_strAppDir.clear();
    }
    std::string IniValue(const char16_t* section, const char16_t* key, const char16_t* file) {
        WCHAR buffer[kIniValueChars];
        ReadIniString(section, key, buffer, file);
        return Utf8(buffer);
    }

    TempHome home;
    std::unique_ptr<MatchData> md = std::make_unique<MatchData>();
};

// ---- Rule.ini and JudgeDev.ini ----

// The expected rules, written independently of the loader's table.
struct RuleCase {
    const char* file;
    const char* section;
    const char* key;
    int min;
    int max;
    int replacement;
    int (*field)(const MatchData&);
};

const RuleCase kRules[] = {
    {"Rule.ini", "Rule", "Court_No", 1, 32, 1, [](const MatchData& m) { return m.nCourtNo; }},
    {"Rule.ini", "Rule", "Channel_No", 0, 15, 0, [](const MatchData& m) { return m.nChannelNo; }},
    {"Rule.ini", "Rule", "Competition_Type", 0, 2, 0, [](const MatchData& m) { return m.nCompetitionType; }},
    {"Rule.ini", "Rule", "Competition_Rule", 0, 1, 0, [](const MatchData& m) { return m.nCompetitionRule; }},
    {"Rule.ini", "Rule", "Team_Type", 0, 3, 1, [](const MatchData& m) { return m.nTeamType; }},
    {"Rule.ini", "Rule", "Round", 1, 4, 3, [](const MatchData& m) { return m.nRound; }},
    {"Rule.ini", "Rule", "Gam-jeom", 1, 50, 10, [](const MatchData& m) { return m.nGamJeom; }},
    {"Rule.ini", "Rule", "Gam-jeom_Point", 0, 5, 1, [](const MatchData& m) { return m.nGamJeomPoint; }},
    {"Rule.ini", "Rule", "VR_Quota", 0, 5, 1, [](const MatchData& m) { return m.nVRQuota; }},
    {"Rule.ini", "Rule", "Point_Gap", 5, 50, 20, [](const MatchData& m) { return m.nPointGap; }},
    {"Rule.ini", "Rule", "Use_Point_Gap", 0, 1, 1, [](const MatchData& m) { return int(m.bUsePointGap); }},
    {"Rule.ini", "Rule", "Point_Ceil", 10, 50, 40, [](const MatchData& m) { return m.nPointCeil; }},
    {"Rule.ini", "Rule", "Use_Point_Ceil", 0, 1, 1, [](const MatchData& m) { return int(m.bUsePointCeil); }},
    {"Rule.ini", "Rule", "Match_Time", 10, 599, 120, [](const MatchData& m) { return m.nMatchTime; }},
    {"Rule.ini", "Rule", "GRnd_Match_Time", 10, 599, 60, [](const MatchData& m) { return m.nGRndMatchTime; }},
    {"Rule.ini", "Rule", "Rest_Time", 10, 599, 60, [](const MatchData& m) { return m.nRestTime; }},
    {"Rule.ini", "Rule", "KyeShi_Time", 10, 599, 60, [](const MatchData& m) { return m.nKyeShiTime; }},
    {"Rule.ini", "Rule", "RC_Time", 10, 599, 30, [](const MatchData& m) { return m.nRCTime; }},
    {"Rule.ini", "Rule", "Team_Match_Time_1", 10, 900, 240,
     [](const MatchData& m) { return m.nTeamMatchTime[0]; }},
    {"Rule.ini", "Rule", "Team_Match_Time_2", 10, 599, 180,
     [](const MatchData& m) { return m.nTeamMatchTime[1]; }},
    {"Rule.ini", "Rule", "Team_Match_Time_3", 10, 599, 240,
     [](const MatchData& m) { return m.nTeamMatchTime[2]; }},
    {"Rule.ini", "Rule", "Team_Match_Time_4", 10, 599, 240,
     [](const MatchData& m) { return m.nTeamMatchTime[3]; }},
    {"Rule.ini", "Rule", "Team_GRnd_Match_Time", 10, 599, 60,
     [](const MatchData& m) { return m.nTeamGRndMatchTime; }},
    {"Rule.ini", "Rule", "Team_Ind_Competition_Time", 10, 599, 60,
     [](const MatchData& m) { return m.nTeamIndCompetitionTime; }},
    {"Rule.ini", "Rule", "Team_GRnd_GPoint", 1, 4, 2, [](const MatchData& m) { return m.nTeamGRndGPoint; }},
    {"Rule.ini", "Rule", "Team_PTG_Check_Round", 0, 4, 2,
     [](const MatchData& m) { return m.nTeamPTGCheckRound; }},
    {"Rule.ini", "Rule", "Team_1Rnd_Match_Type", INT_MIN, 1, 0,
     [](const MatchData& m) { return m.nTeam1RndMatchType; }},
    {"Rule.ini", "Rule", "Team_GRnd_Match_Type", INT_MIN, 1, 0,
     [](const MatchData& m) { return m.nTeamGRndMatchType; }},
    {"Rule.ini", "Rule", "Team_Draw_Use", 0, 1, 0, [](const MatchData& m) { return int(m.bTeamDrawUse); }},
    {"Rule.ini", "Rule", "Team_VR_Quota", 0, 5, 0, [](const MatchData& m) { return m.nTeamVRQuota; }},
    {"Rule.ini", "Rule", "Team_Lev_B", 1, 18, 18, [](const MatchData& m) { return m.nTeamLevB; }},
    {"Rule.ini", "Rule", "Team_Lev_H", 1, 3, 1, [](const MatchData& m) { return m.nTeamLevH; }},
    {"Rule.ini", "Rule", "Team_Lev_P", 1, 100, 20, [](const MatchData& m) { return m.nTeamLevP; }},
    {"Rule.ini", "Rule", "PSS_Type", 0, 2, 2, [](const MatchData& m) { return m.nPSSType; }},
    {"Rule.ini", "Rule", "Use_eSocks", 0, 1, 1, [](const MatchData& m) { return int(m.bUseESocks); }},
    {"Rule.ini", "Rule", "EBP_Point", 1, 5, 2, [](const MatchData& m) { return m.nEBPPoint; }},
    {"Rule.ini", "Rule", "EHP_Point", 1, 5, 3, [](const MatchData& m) { return m.nEHPPoint; }},
    {"Rule.ini", "Rule", "Judge_Number", 0, 3, 3, [](const MatchData& m) { return m.nJudgeNumber; }},
    {"Rule.ini", "Rule", "Judge_Point_Top", 0, 5, 1, [](const MatchData& m) { return m.nJudgePointTop; }},
    {"Rule.ini", "Rule", "Judge_Point_Middle", -1, 5, 2,
     [](const MatchData& m) { return m.nJudgePointMiddle; }},
    {"Rule.ini", "Rule", "Judge_Point_Bottom", 0, 5, 1,
     [](const MatchData& m) { return m.nJudgePointBottom; }},
    {"Rule.ini", "Rule", "Use_Device_List", 0, 1, 1,
     [](const MatchData& m) { return int(m.bUseDeviceList); }},
    {"Rule.ini", "Rule", "PSS_Auto_Off", 0, 1, 1, [](const MatchData& m) { return int(m.bPSSAutoOff); }},
    {"Rule.ini", "Rule", "Use_Sound_Effect", 0, 1, 1,
     [](const MatchData& m) { return int(m.bUseSoundEffect); }},
    {"Rule.ini", "Rule", "Use_Vibration", 0, 1, 1, [](const MatchData& m) { return int(m.bUseVibration); }},
    {"Rule.ini", "Rule", "Use_Kgf_Unit", 0, 1, 1, [](const MatchData& m) { return int(m.bUseKgfUnit); }},
    {"Rule.ini", "Rule", "Use_PUnch", 0, 1, 1, [](const MatchData& m) { return int(m.bUsePunch); }},
    {"Rule.ini", "Rule", "Display_Resolution", 0, 1, 0,
     [](const MatchData& m) { return m.nDisplayResolution; }},
    {"Rule.ini", "Rule", "Show_Referee_Info", 0, 1, 1,
     [](const MatchData& m) { return int(m.bShowRefereeInfo); }},
    {"Rule.ini", "OVR", "Use_WT_Protocol", 0, 1, 1, [](const MatchData& m) { return int(m.bUseWTProtocol); }},
    {"Rule.ini", "OVR", "Supplier", 0, 8, 0, [](const MatchData& m) { return m.nOvrSupplier; }},
    {"Rule.ini", "OVR", "Comminucation_Type", 0, 2, 1, [](const MatchData& m) { return m.nOvrCommType; }},
    {"Rule.ini", "IVR", "Supplier", 0, 2, 0, [](const MatchData& m) { return m.nIvrSupplier; }},
    {"Rule.ini", "IVR", "Comminucation_Type", 0, 2, 1, [](const MatchData& m) { return m.nIvrCommType; }},
    {"Rule.ini", "TVG", "Supplier", 0, 2, 0, [](const MatchData& m) { return m.nTvgSupplier; }},
    {"Rule.ini", "TVG", "Comminucation_Type", 0, 2, 1, [](const MatchData& m) { return m.nTvgCommType; }},
    {"Rule.ini", "LED", "Number_of_Blink", 1, 5, 2, [](const MatchData& m) { return m.nLedNumberOfBlink; }},
    {"Rule.ini", "LED", "Duration_Time", 100, 5000, 500,
     [](const MatchData& m) { return m.nLedDurationTime; }},
    {"Rule.ini", "LED", "Rest_Time", 0, 1000, 100, [](const MatchData& m) { return m.nLedRestTime; }},
    {"JudgeDev.ini", "JUDGE_1", "Use", 0, 1, 0, [](const MatchData& m) { return m.nJudgeUse[0]; }},
    {"JudgeDev.ini", "JUDGE_2", "Use", 0, 1, 0, [](const MatchData& m) { return m.nJudgeUse[1]; }},
    {"JudgeDev.ini", "JUDGE_3", "Use", 0, 1, 0, [](const MatchData& m) { return m.nJudgeUse[2]; }},
    {"Rule.ini", "Rule", "Reverse_Screen", 0, 1, 0, [](const MatchData& m) { return m.nReverseScreen; }},
    {"Rule.ini", "Rule", "Show_Test_Lev", 0, 1, 0, [](const MatchData& m) { return int(m.bShowTestLev); }},
    {"Rule.ini", "Rule", "Stand_Alone_Mode", 0, 1, 0,
     [](const MatchData& m) { return int(m.bStandAloneMode); }},
    {"Rule.ini", "Rule", "Team_Tag_Time", 0, 60, 60, [](const MatchData& m) { return m.nTeamTagTime; }},
    {"Rule.ini", "Rule", "Judge_Button_Time", 1, 5000, 1000,
     [](const MatchData& m) { return m.nJudgeButtonTime; }},
    {"Rule.ini", "Rule", "Judge_Tech_Time", 1, 5000, 1000,
     [](const MatchData& m) { return m.nJudgeTechTime; }},
};

bool WritesBack(const RuleCase& rule) {
    return std::string(rule.key) == "Judge_Button_Time" || std::string(rule.key) == "Judge_Tech_Time";
}

// A Rule.ini whose two write-back keys are valid, so only the key under test can cause a write.
std::string RuleFileWith(const RuleCase& rule, const std::string* value) {
    std::string rule_section = "[Rule]\r\n";
    for (const char* key : {"Judge_Button_Time", "Judge_Tech_Time"}) {
        if (std::string(rule.key) != key)
            rule_section += std::string(key) + "=1000\r\n";
    }
    const std::string line = value != nullptr ? std::string(rule.key) + "=" + *value + "\r\n" : std::string();
    if (std::string(rule.section) == "Rule")
        return rule_section + line;
    return rule_section + "[" + rule.section + "]\r\n" + line;
}

struct ValueCase {
    const char* name;
    bool present;
    std::string text;
    int read; // what the text means as a number
};

TEST_F(SettingsTest, EveryRuleKeyKeepsValidValuesAndReplacesOthers) {
    for (const RuleCase& rule : kRules) {
        std::vector<ValueCase> cases = {
            {"missing", false, "", 0},
            {"non-numeric", true, "abc", 0},
            {"at min", true, std::to_string(rule.min), rule.min},
            {"at max", true, std::to_string(rule.max), rule.max},
            {"above max", true, std::to_string(rule.max + 1), rule.max + 1},
        };
        if (rule.min != INT_MIN)
            cases.push_back({"below min", true, std::to_string(rule.min - 1), rule.min - 1});
        for (const ValueCase& c : cases) {
            SCOPED_TRACE(std::string(rule.section) + " " + rule.key + " " + c.name);
            const bool judgeDev = std::string(rule.file) == "JudgeDev.ini";
            const std::string* value = c.present ? &c.text : nullptr;
            const std::string ruleFile =
                judgeDev ? RuleFileWith(kRules[0], nullptr) : RuleFileWith(rule, value);
            home.write("ini/Rule.ini", ruleFile);
            home.write("ini/JudgeDev.ini",
                       judgeDev && c.present ? "[" + std::string(rule.section) + "]\r\nUse=" + c.text + "\r\n"
                                             : "");

            auto record = std::make_unique<MatchData>();
            LoadRuleSettings(*record);

            const bool valid = c.read >= rule.min && c.read <= rule.max;
            EXPECT_EQ(rule.field(*record), valid ? c.read : rule.replacement);
            if (WritesBack(rule) && !valid) {
                EXPECT_EQ(IniValue(u"Rule", Wide(rule.key).c_str(), u"Rule.ini"), "1000");
            } else {
                EXPECT_EQ(home.read("ini/Rule.ini"), ruleFile) << "nothing may be written back";
            }
        }
    }
}

TEST_F(SettingsTest, EmptyRuleFileGivesTheReplacementsAndWritesBackTheJudgeTimes) {
    home.write("ini/Rule.ini", "");
    LoadRuleSettings(*md);

    EXPECT_EQ(md->nCourtNo, 1);
    EXPECT_EQ(md->nChannelNo, 0);
    EXPECT_EQ(md->nRound, 3);
    EXPECT_EQ(md->nGamJeom, 10);
    EXPECT_EQ(md->nMatchTime, 120);
    EXPECT_EQ(md->nJudgeNumber, 0);
    EXPECT_EQ(md->nJudgeQuorum, 1);
    EXPECT_EQ(md->nPSSType, 0);
    for (BYTE flag :
         {md->bUsePointGap, md->bUsePointCeil, md->bTeamDrawUse, md->bUseESocks, md->bUseDeviceList,
          md->bPSSAutoOff, md->bUseSoundEffect, md->bUseVibration, md->bUseKgfUnit, md->bUsePunch,
          md->bShowRefereeInfo, md->bUseWTProtocol, md->bShowTestLev, md->bStandAloneMode})
        EXPECT_EQ(flag, 0);
    EXPECT_EQ(md->nJudgeButtonTime, 1000);
    EXPECT_EQ(md->nJudgeTechTime, 1000);
    EXPECT_EQ(home.read("ini/Rule.ini"), "[Rule]\r\nJudge_Button_Time=1000\r\nJudge_Tech_Time=1000\r\n");
}

TEST_F(SettingsTest, FlagsFollowTheirReplacement) {
    // Replacement 1: anything but 0 is on. Replacement 0: only 1 is on.
    const struct {
        const char* value;
        int pointGap;
        int drawUse;
    } cases[] = {{"0", 0, 0}, {"1", 1, 1}, {"7", 1, 0}, {"-1", 1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        home.write("ini/Rule.ini", std::string("[Rule]\r\nUse_Point_Gap=") + c.value +
                                       "\r\nTeam_Draw_Use=" + c.value + "\r\n");
        LoadRuleSettings(*md);
        EXPECT_EQ(md->bUsePointGap, c.pointGap);
        EXPECT_EQ(md->bTeamDrawUse, c.drawUse);
    }
}

TEST_F(SettingsTest, MatchTypeKeysKeepEverythingUpToOne) {
    const struct {
        const char* value;
        int expected;
    } cases[] = {{"-5", -5}, {"-2147483648", INT_MIN}, {"0", 0}, {"1", 1}, {"2", 0}, {"99999999999", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        home.write("ini/Rule.ini", std::string("[Rule]\r\nTeam_1Rnd_Match_Type=") + c.value +
                                       "\r\nTeam_GRnd_Match_Type=" + c.value + "\r\n");
        LoadRuleSettings(*md);
        EXPECT_EQ(md->nTeam1RndMatchType, c.expected);
        EXPECT_EQ(md->nTeamGRndMatchType, c.expected);
    }
}

TEST_F(SettingsTest, OnlyTheFirstTeamMatchTimeAcceptsNineHundredSeconds) {
    home.write("ini/Rule.ini", "[Rule]\r\nTeam_Match_Time_1=900\r\nTeam_Match_Time_2=900\r\n"
                               "Team_Match_Time_3=900\r\nTeam_Match_Time_4=900\r\n");
    LoadRuleSettings(*md);
    EXPECT_EQ(md->nTeamMatchTime[0], 900);
    EXPECT_EQ(md->nTeamMatchTime[1], 180);
    EXPECT_EQ(md->nTeamMatchTime[2], 240);
    EXPECT_EQ(md->nTeamMatchTime[3], 240);

    home.write("ini/Rule.ini", "[Rule]\r\nTeam_Match_Time_1=599\r\nTeam_Match_Time_2=599\r\n"
                               "Team_Match_Time_3=599\r\nTeam_Match_Time_4=599\r\n");
    LoadRuleSettings(*md);
    for (int time : md->nTeamMatchTime)
        EXPECT_EQ(time, 599);
}

TEST_F(SettingsTest, JudgeQuorumFollowsTheJudgeCount) {
    const struct {
        const char* judges;
        int quorum;
    } cases[] = {{"0", 1}, {"1", 1}, {"2", 2}, {"3", 2}, {"4", 2}, {"-1", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.judges);
        home.write("ini/Rule.ini", std::string("[Rule]\r\nJudge_Number=") + c.judges + "\r\n");
        LoadRuleSettings(*md);
        EXPECT_EQ(md->nJudgeQuorum, c.quorum);
    }
}

TEST_F(SettingsTest, TeamReloadKeepsTheFirstTwoTeamMatchTimesAndEveryOtherKey) {
    const std::string judgeTimes = "Judge_Button_Time=1000\r\nJudge_Tech_Time=1000\r\n";
    home.write("ini/Rule.ini",
               "[Rule]\r\n" + judgeTimes +
                   "Match_Time=100\r\nTeam_Match_Time_1=101\r\nTeam_Match_Time_2=102\r\n"
                   "Team_Match_Time_3=103\r\nTeam_Match_Time_4=104\r\nTeam_GRnd_Match_Time=105\r\n"
                   "Team_Ind_Competition_Time=106\r\nTeam_GRnd_GPoint=1\r\n"
                   "Team_PTG_Check_Round=1\r\nTeam_1Rnd_Match_Type=1\r\n"
                   "Team_GRnd_Match_Type=1\r\nTeam_Draw_Use=1\r\nTeam_VR_Quota=1\r\n"
                   "Team_Lev_B=11\r\nTeam_Lev_H=1\r\nTeam_Lev_P=14\r\n");
    LoadRuleSettings(*md);
    home.write("ini/Rule.ini",
               "[Rule]\r\n" + judgeTimes +
                   "Match_Time=200\r\nTeam_Match_Time_1=201\r\nTeam_Match_Time_2=202\r\n"
                   "Team_Match_Time_3=203\r\nTeam_Match_Time_4=204\r\nTeam_GRnd_Match_Time=205\r\n"
                   "Team_Ind_Competition_Time=206\r\nTeam_GRnd_GPoint=3\r\n"
                   "Team_PTG_Check_Round=3\r\nTeam_1Rnd_Match_Type=-3\r\n"
                   "Team_GRnd_Match_Type=5\r\nTeam_Draw_Use=0\r\nTeam_VR_Quota=9\r\n"
                   "Team_Lev_B=12\r\nTeam_Lev_H=7\r\nTeam_Lev_P=25\r\n");

    EXPECT_EQ(LoadTeamRules(*md), 3); // Team_GRnd_Match_Type, Team_VR_Quota and Team_Lev_H are out of range

    EXPECT_EQ(md->nMatchTime, 100);
    EXPECT_EQ(md->nTeamMatchTime[0], 101);
    EXPECT_EQ(md->nTeamMatchTime[1], 102);
    EXPECT_EQ(md->nTeamMatchTime[2], 203);
    EXPECT_EQ(md->nTeamMatchTime[3], 204);
    EXPECT_EQ(md->nTeamGRndMatchTime, 205);
    EXPECT_EQ(md->nTeamIndCompetitionTime, 206);
    EXPECT_EQ(md->nTeamGRndGPoint, 3);
    EXPECT_EQ(md->nTeamPTGCheckRound, 3);
    EXPECT_EQ(md->nTeam1RndMatchType, -3);
    EXPECT_EQ(md->nTeamGRndMatchType, 0);
    EXPECT_EQ(md->bTeamDrawUse, 0);
    EXPECT_EQ(md->nTeamVRQuota, 0);
    EXPECT_EQ(md->nTeamLevB, 12);
    EXPECT_EQ(md->nTeamLevH, 1);
    EXPECT_EQ(md->nTeamLevP, 25);
}

TEST_F(SettingsTest, Utf16RuleFileLoadsAndTheWriteBackKeepsItsEncoding) {
    home.write("ini/Rule.ini", Utf16Le(u"[Rule]\r\nCourt_No=7\r\nMatch_Time=90\r\nJudge_Button_Time=0\r\n"
                                       u"Judge_Tech_Time=250\r\n[OVR]\r\nSupplier=3\r\n"));
    LoadRuleSettings(*md);
    EXPECT_EQ(md->nCourtNo, 7);
    EXPECT_EQ(md->nMatchTime, 90);
    EXPECT_EQ(md->nOvrSupplier, 3);
    EXPECT_EQ(md->nJudgeButtonTime, 1000);
    EXPECT_EQ(md->nJudgeTechTime, 250);
    EXPECT_EQ(home.read("ini/Rule.ini"),
              Utf16Le(u"[Rule]\r\nCourt_No=7\r\nMatch_Time=90\r\nJudge_Button_Time=1000\r\n"
                      u"Judge_Tech_Time=250\r\n[OVR]\r\nSupplier=3\r\n"));
}

// ---- nation.csv ----

std::u16string Field(const MatchData& md, int row, int field) {
    return md.aNation[row].wszField[field];
}

TEST_F(SettingsTest, NationLinesSplitIntoFourBoundedFields) {
    const std::string longText(300, 'x');
    const std::string cutInsidePair = std::string(258, 'y') + "\xF0\x9F\x98\x80"; // U+1F600 at units 259-260
    const struct {
        std::string line;
        std::u16string fields[4];
    } rows[] = {
        {"\xEF\xBB\xBFKOR,KR,Republic of Korea,KOR.gif\r\n",
         {u"KOR", u"KR", u"Republic of Korea", u"KOR.gif"}},
        {"JPN,JP,Japan\r\n", {u"JPN", u"JP", u"Japan", u""}},
        {"CHN\r\n", {u"CHN", u"", u"", u""}},
        {"\r\n", {u"", u"", u"", u""}},
        {"A,B,C,D,E,F\r\n", {u"A", u"B", u"C", u"D"}},
        {"A,B,C,D,\r\n", {u"A", u"B", u"C", u"D"}},
        {",,,none.gif\r\n", {u"", u"", u"", u"none.gif"}},
        {"LF,only,line,ending.gif\n", {u"LF", u"only", u"line", u"ending.gif"}},
        {"CIV,CI,C\xC3\xB4te d'Ivoire,CIV.gif\r\n", {u"CIV", u"CI", u"C\u00F4te d'Ivoire", u"CIV.gif"}},
        {longText + "," + cutInsidePair + "\r\n",
         {std::u16string(259, u'x'), std::u16string(258, u'y'), u"", u""}},
        {"TUR,TR,T\xC3\xBCrkiye,TUR.gif",
         {u"TUR", u"TR", u"T\u00FCrkiye", u"TUR.gif"}}, // no line end at the end
    };
    std::string file;
    for (const auto& row : rows)
        file += row.line;
    home.write("Cfg/nation.csv", file);

    ASSERT_TRUE(LoadNationTable(*md));
    ASSERT_EQ(md->nNationCount, static_cast<int>(std::size(rows)));
    for (int i = 0; i < md->nNationCount; ++i) {
        for (int f = 0; f < 4; ++f) {
            SCOPED_TRACE("row " + std::to_string(i) + " field " + std::to_string(f));
            EXPECT_EQ(Field(*md, i, f), rows[i].fields[f]);
        }
    }
    EXPECT_STREQ(md->szAppDirA, home.path().c_str());
}

TEST_F(SettingsTest, NationTableStopsAtItsCapacity) {
    std::string file;
    for (int i = 0; i < kNationRows + 5; ++i)
        file += "N" + std::to_string(i) + ",x,Nation " + std::to_string(i) + ",n.gif\r\n";
    home.write("Cfg/nation.csv", file);
    std::strcpy(md->szMatchId, "match-7"); // the field right after the table

    ASSERT_TRUE(LoadNationTable(*md));
    EXPECT_EQ(md->nNationCount, kNationRows);
    EXPECT_EQ(Field(*md, kNationRows - 1, 0), u"N299");
    EXPECT_STREQ(md->szMatchId, "match-7");
}

TEST_F(SettingsTest, UnreadableNationFileLeavesTableAndCountUntouched) {
    const struct {
        const char* name;
        bool directory;
    } cases[] = {{"missing", false}, {"a folder", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempHome other;
        g_strAppDir = other.widePath();
        if (c.directory)
            std::filesystem::create_directory(other.file("Cfg/nation.csv"));
        auto record = std::make_unique<MatchData>();
        std::memcpy(record->aNation[0].wszField[0], u"KOR", sizeof(u"KOR"));
        record->nNationCount = 5;

        EXPECT_FALSE(LoadNationTable(*record));
        EXPECT_EQ(record->nNationCount, 5);
        EXPECT_EQ(Field(*record, 0, 0), u"KOR");
        EXPECT_STREQ(record->szAppDirA, other.path().c_str());
    }
}

TEST_F(SettingsTest, ShorterNationFileClearsTheRowsAfterIt) {
    home.write("Cfg/nation.csv", ",,,none.gif\r\nKOR,KR,Korea,KOR.gif\r\nJPN,JP,Japan,JPN.gif\r\n");
    ASSERT_TRUE(LoadNationTable(*md));
    home.write("Cfg/nation.csv", ",,,none.gif\r\n");
    ASSERT_TRUE(LoadNationTable(*md));
    EXPECT_EQ(md->nNationCount, 1);
    EXPECT_EQ(Field(*md, 1, 0), u"");
    EXPECT_EQ(Field(*md, 2, 2), u"");
}

// ---- WeightDiv.ini ----

std::string Divisions(const std::string& number, const std::string& current) {
    return "[Division]\r\nNumber=" + number + "\r\nCurrent_Division=" + current +
           "\r\nName_0=Senior\r\nName_1=Junior\r\n";
}

TEST_F(SettingsTest, CurrentDivisionAboveTheCountBecomesZero) {
    const struct {
        const char* current;
        int stored;
        int selected;
    } cases[] = {{"1", 1, 1}, {"2", 2, 0}, {"3", 0, 0}, {"-1", -1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.current);
        home.write("ini/WeightDiv.ini", Divisions("2", c.current));
        LoadWeightDivisions(*md);
        EXPECT_EQ(md->nDivisionCount, 2);
        EXPECT_EQ(md->nCurDivision, c.stored);
        EXPECT_EQ(SelectedDivision(*md), c.selected);
    }
}

TEST_F(SettingsTest, DivisionAndClassCountsAreBoundedBeforeTheyAllocate) {
    const struct {
        const char* number;
        const char* classes;
        int divisions;
        int classCount;
    } cases[] = {
        {"-3", "8", 0, 0}, {"2147483647", "0", kMaxDivisions, 0},
        {"1", "-1", 1, 0}, {"1", "1000", 1, kMaxWeightClasses},
        {"1", "8", 1, 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.number) + " / " + c.classes);
        home.write("ini/WeightDiv.ini", Divisions(c.number, "0") + "[Senior_Male]\r\nCat_Number=" +
                                            c.classes + "\r\nCat_Name_0=-54kg\r\nLevel_Body_0=21\r\n");
        LoadWeightDivisions(*md);
        EXPECT_EQ(md->nDivisionCount, c.divisions);
        EXPECT_EQ(WeightClassCount(*md, 0), c.classCount);
        if (c.classCount == 0)
            continue;
        EXPECT_EQ(std::u16string(WeightClassText(*md, WeightText::Name, 0, 0, 0)), u"-54kg");
        EXPECT_EQ(*LevelEntry(*md, 0, 0, 0), 21);
        EXPECT_NE(LevelEntry(*md, 11, 0, c.classCount - 1), nullptr);
        EXPECT_EQ(LevelEntry(*md, 0, 0, c.classCount), nullptr);
    }
}

TEST_F(SettingsTest, FemaleClassesUseTheMaleCountAndFactoryLevelsComeFromTheInitFile) {
    home.write("ini/WeightDiv.ini",
               "[Division]\r\nNumber=1\r\nCurrent_Gender=1\r\nCurrent_Weight=1\r\n"
               "Current_Phase=4\r\nName_0=Cadet\r\n"
               "[Cadet_Male]\r\nCat_Number=2\r\nCat_Name_1=-37kg\r\nCat_kg_1=-37kg\r\n"
               "Cat_lb_1=-81.6lb\r\nLevel_Body_1=12\r\nLevel_Head_1=2\r\nLevel_Punch_1=9\r\n"
               "[Cadet_Female]\r\nCat_Number=1\r\nCat_Name_1=-33kg\r\nLevel_Body_1=10\r\n");
    home.write("ini/WeightDiv_init.ini",
               "[Cadet_Male]\r\nLevel_Body_1=15\r\nLevel_Head_1=3\r\nLevel_Punch_1=8\r\n"
               "[Cadet_Female]\r\nLevel_Body_1=11\r\n");
    LoadWeightDivisions(*md);

    EXPECT_EQ(std::u16string(DivisionName(*md, 0)), u"Cadet");
    EXPECT_EQ(WeightClassCount(*md, 0), 2);
    EXPECT_EQ(std::u16string(WeightClassText(*md, WeightText::Kg, 0, 0, 1)), u"-37kg");
    EXPECT_EQ(std::u16string(WeightClassText(*md, WeightText::Lb, 0, 0, 1)), u"-81.6lb");
    EXPECT_EQ(std::u16string(WeightClassText(*md, WeightText::Name, 1, 0, 1)), u"-33kg");
    const int expected[12] = {12, 2, 9, 10, 0, 0, 15, 3, 8, 11, 0, 0};
    for (int table = 0; table < 12; ++table) {
        SCOPED_TRACE(table);
        ASSERT_NE(LevelEntry(*md, table, 0, 1), nullptr);
        EXPECT_EQ(*LevelEntry(*md, table, 0, 1), expected[table]);
    }
    EXPECT_EQ(SelectedGender(*md), 1);
    EXPECT_EQ(SelectedWeight(*md), 1);
    EXPECT_EQ(md->nCurPhase, 4);
}

TEST_F(SettingsTest, ALargeDivisionFileIsReadFromTheDiskOnce) {
    constexpr int kDivisions = 64;
    constexpr int kClasses = 64;
    std::string file = "[Division]\r\nNumber=" + std::to_string(kDivisions) + "\r\n";
    for (int d = 0; d < kDivisions; ++d)
        file += "Name_" + std::to_string(d) + "=D" + std::to_string(d) + "\r\n";
    std::string factory;
    for (int d = 0; d < kDivisions; ++d)
        for (const char* gender : {"_Male", "_Female"}) {
            const std::string section = "[D" + std::to_string(d) + gender + "]\r\nCat_Number=64\r\n";
            file += section;
            factory += section;
            for (int k = 0; k < kClasses; ++k) {
                const std::string n = std::to_string(k);
                file += "Cat_Name_" + n + "=-" + n + "kg\r\nLevel_Body_" + n + "=" + n + "\r\n";
                factory += "Level_Body_" + n + "=" + std::to_string(k + 1) + "\r\n";
            }
        }
    home.write("ini/WeightDiv.ini", file);
    home.write("ini/WeightDiv_init.ini", factory);
    for (const char* name : {"ini/WeightDiv.ini", "ini/WeightDiv_init.ini"}) { // settled, as on a court
        QFile written(QString::fromStdString(home.file(name)));
        ASSERT_TRUE(written.open(QIODevice::ReadWrite));
        ASSERT_TRUE(written.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                        QFileDevice::FileModificationTime));
    }
    const unsigned before = platform::profileFileReadsForTests();
    LoadWeightDivisions(*md);
    EXPECT_EQ(platform::profileFileReadsForTests() - before, 2u) << "each file once";
    ASSERT_EQ(WeightClassCount(*md, 63), 64);
    EXPECT_EQ(std::u16string(WeightClassText(*md, WeightText::Name, 1, 63, 63)), u"-63kg");
    EXPECT_EQ(*LevelEntry(*md, 3, 63, 63), 63);
    EXPECT_EQ(*LevelEntry(*md, 9, 63, 63), 64);

    // A file changed on the disk is read again; one written by the program too.
    home.write("ini/WeightDiv.ini",
               "[Division]\r\nNumber=1\r\nName_0=Only\r\n[Only_Male]\r\nCat_Number=1\r\n");
    LoadWeightDivisions(*md);
    EXPECT_EQ(std::u16string(DivisionName(*md, 0)), u"Only");
    ASSERT_TRUE(WriteIniString(u"Division", u"Name_0", u"Renamed", u"WeightDiv.ini"));
    LoadWeightDivisions(*md);
    EXPECT_EQ(std::u16string(DivisionName(*md, 0)), u"Renamed");
}

TEST_F(SettingsTest, LookupsOutsideTheLoadedTablesFindNothing) {
    home.write("ini/WeightDiv.ini", "[Division]\r\nNumber=1\r\nCurrent_Gender=2\r\nCurrent_Weight=5\r\n"
                                    "Name_0=Senior\r\n[Senior_Male]\r\nCat_Number=2\r\n");
    LoadWeightDivisions(*md);
    EXPECT_EQ(DivisionName(*md, -1), nullptr);
    EXPECT_EQ(DivisionName(*md, 1), nullptr);
    EXPECT_EQ(WeightClassCount(*md, 1), 0);
    EXPECT_EQ(WeightClassText(*md, WeightText::Name, 2, 0, 0), nullptr);
    EXPECT_EQ(WeightClassText(*md, WeightText::Name, 0, 0, -1), nullptr);
    EXPECT_EQ(LevelEntry(*md, 12, 0, 0), nullptr);
    EXPECT_EQ(LevelEntry(*md, -1, 0, 0), nullptr);
    EXPECT_EQ(SelectedGender(*md), 0);
    EXPECT_EQ(SelectedWeight(*md), 0);
    EXPECT_EQ(md->nCurGender, 2);
    EXPECT_EQ(md->nCurWeight, 5);
}

TEST_F(SettingsTest, MissingDivisionFileLoadsNothingAndSelectsNothing) {
    LoadWeightDivisions(*md);
    EXPECT_EQ(md->nDivisionCount, 0);
    EXPECT_EQ(SelectedDivision(*md), -1);
    EXPECT_EQ(SelectedWeight(*md), -1);
    EXPECT_EQ(DivisionName(*md, 0), nullptr);
}

TEST_F(SettingsTest, FreeingDivisionsIsSafeTwiceAndOnARecordThatNeverLoaded) {
    auto never = std::make_unique<MatchData>();
    FreeWeightDivisions(*never);
    FreeWeightDivisions(*never);

    home.write("ini/WeightDiv.ini", Divisions("2", "0") + "[Senior_Male]\r\nCat_Number=3\r\n");
    LoadWeightDivisions(*md);
    LoadWeightDivisions(*md); // a reload releases the first tables (the leak checker would see them)
    ASSERT_EQ(md->nDivisionCount, 2);
    FreeWeightDivisions(*md);
    EXPECT_EQ(md->nDivisionCount, 0);
    EXPECT_EQ(md->pClassCount, nullptr);
    EXPECT_EQ(md->pDivisionName, nullptr);
    EXPECT_EQ(md->pClassName[0], nullptr);
    EXPECT_EQ(md->pLevelTable[11], nullptr);
    FreeWeightDivisions(*md);
}

// ---- all loaders ----

TEST_F(SettingsTest, LoadersLeaveTheCurrentDirectoryAlone) {
    const std::filesystem::path before = std::filesystem::current_path();
    home.write("Cfg/nation.csv", ",,,none.gif\r\n");
    home.write("ini/WeightDiv.ini", Divisions("1", "0"));
    LoadNationTable(*md);
    LoadRuleSettings(*md);
    LoadTeamRules(*md);
    LoadWeightDivisions(*md);
    EXPECT_EQ(std::filesystem::current_path(), before);
}

// The default program folder of a new court must load as shipped: every key present and valid, nothing
// replaced, nothing written back.
class ShippedHomeTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        for (const char* file : kFiles)
            home.write(file, ReadFile(std::filesystem::path(BELVANTA_SOURCE_DIR "/resources/home") / file));
    }
    static constexpr const char* kFiles[] = {
        "ini/Rule.ini",   "ini/JudgeDev.ini", "ini/WeightDiv.ini", "ini/WeightDiv_init.ini",
        "ini/DevMgr.ini", "ini/ExtItf.ini",   "Cfg/nation.csv"};
};

TEST_F(ShippedHomeTest, FilesAreUtf8WithCrlfLineEndings) {
    for (const char* file : kFiles) {
        SCOPED_TRACE(file);
        const std::string bytes = home.read(file);
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(Utf8(Wide(bytes)), bytes) << "not valid UTF-8";
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n') {
                ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare line feed at byte " << i;
            }
        }
        EXPECT_TRUE(bytes.ends_with("\r\n"));
    }
}

TEST_F(ShippedHomeTest, RuleSettingsLoadWithoutReplacementOrWriteBack) {
    const std::string rule = home.read("ini/Rule.ini");
    const std::string judgeDev = home.read("ini/JudgeDev.ini");

    EXPECT_EQ(LoadRuleSettings(*md), 0);
    EXPECT_EQ(LoadTeamRules(*md), 0);

    for (const RuleCase& r : kRules) {
        SCOPED_TRACE(std::string(r.section) + " " + r.key);
        const std::string text = IniValue(Wide(r.section).c_str(), Wide(r.key).c_str(), Wide(r.file).c_str());
        ASSERT_FALSE(text.empty()) << "key missing";
        EXPECT_EQ(std::to_string(r.field(*md)), text);
    }
    EXPECT_EQ(md->nCourtNo, 1);
    EXPECT_EQ(md->nCompetitionType, 0);
    EXPECT_EQ(md->nRound, 3);
    EXPECT_EQ(md->nMatchTime, 120);
    EXPECT_EQ(md->nJudgeQuorum, 2);
    EXPECT_EQ(home.read("ini/Rule.ini"), rule);
    EXPECT_EQ(home.read("ini/JudgeDev.ini"), judgeDev);
}

TEST_F(ShippedHomeTest, OneBadValueInTheShippedRulesCountsOnce) {
    home.write("ini/Rule.ini", [&] {
        std::string text = home.read("ini/Rule.ini");
        const std::string from = "Round=3\r\n";
        text.replace(text.find(from), from.size(), "Round=9\r\n");
        return text;
    }());
    EXPECT_EQ(LoadRuleSettings(*md), 1);
    EXPECT_EQ(md->nRound, 3);
}

TEST_F(ShippedHomeTest, NationTableHasNoNationRowThenOneRowPerNation) {
    ASSERT_TRUE(LoadNationTable(*md));
    ASSERT_GE(md->nNationCount, 150);
    EXPECT_EQ(Field(*md, 0, 3), u"none.gif");
    std::set<std::u16string> codes;
    for (int i = 1; i < md->nNationCount; ++i) {
        SCOPED_TRACE(i);
        const std::u16string code = Field(*md, i, 0);
        EXPECT_EQ(code.size(), 3u);
        EXPECT_TRUE(codes.insert(code).second) << "duplicate code";
        EXPECT_FALSE(Field(*md, i, 2).empty());
        EXPECT_EQ(Field(*md, i, 3), code + u".gif");
    }
    EXPECT_TRUE(codes.contains(u"KOR"));
    EXPECT_TRUE(codes.contains(u"CIV"));
}

TEST_F(ShippedHomeTest, WeightDivisionsLoadWithFactoryLevelsEqualToTheCurrentOnes) {
    const std::string divisions = home.read("ini/WeightDiv.ini");
    LoadWeightDivisions(*md);
    ASSERT_EQ(md->nDivisionCount, 2);
    EXPECT_EQ(std::u16string(DivisionName(*md, 0)), u"Senior");
    EXPECT_EQ(WeightClassCount(*md, 0), 8);
    EXPECT_EQ(std::u16string(WeightClassText(*md, WeightText::Name, 0, 0, 1)), u"-58kg");
    EXPECT_EQ(SelectedDivision(*md), 0);
    for (int d = 0; d < md->nDivisionCount; ++d) {
        for (int k = 0; k < WeightClassCount(*md, d); ++k) {
            for (int g = 0; g < 2; ++g) {
                SCOPED_TRACE(std::to_string(d) + "/" + std::to_string(k) + "/" + std::to_string(g));
                EXPECT_NE(WeightClassText(*md, WeightText::Name, g, d, k)[0], u'\0');
                EXPECT_NE(WeightClassText(*md, WeightText::Lb, g, d, k)[0], u'\0');
                for (int level = 0; level < 3; ++level) {
                    EXPECT_GT(*LevelEntry(*md, g * 3 + level, d, k), 0);
                    EXPECT_EQ(*LevelEntry(*md, g * 3 + level, d, k),
                              *LevelEntry(*md, 6 + g * 3 + level, d, k));
                }
            }
        }
    }
    EXPECT_EQ(home.read("ini/WeightDiv.ini"), divisions);
}

TEST_F(ShippedHomeTest, DeviceListsAndLinksStartEmptyAndOnLoopback) {
    for (const char* key : {"EBP_CHUNG", "EHP_CHUNG", "EBP_HONG", "EHP_HONG"}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(IniValue(u"DEVICE_LIST", Wide(key).c_str(), u"DevMgr.ini"), "");
    }
    constexpr unsigned kLoopback = 0x7F000001;
    for (const char16_t* section : {u"OVR", u"IVR", u"TVG", u"PREREG"}) {
        SCOPED_TRACE(Utf8(section));
        EXPECT_EQ(IniValue(section, u"Tcp_IP", u"ExtItf.ini"), std::to_string(kLoopback));
        EXPECT_GT(ReadIniInt(section, u"Tcp_Port", u"ExtItf.ini"), 0);
    }
    for (const char16_t* section : {u"JUDGE_1", u"JUDGE_2", u"JUDGE_3"})
        EXPECT_FALSE(IniValue(section, u"Port", u"JudgeDev.ini").empty());
}

} // namespace
