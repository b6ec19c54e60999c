#include "app/RuleSettings.h"

#include "app/IniFiles.h"
#include "app/MatchData.h"
#include "platform/CodePage.h"
#include "platform/DebugOutput.h"

#include <climits>
#include <string>
#include <string_view>
#include <type_traits>

namespace {

enum class Replace {
    InRecord, // only the record gets the replacement
    WriteBack // the replacement is also written to the file, so the next start reads a valid value
};

// A value outside min..max becomes the replacement. Flags are keys of range 0..1, so with replacement 1 every
// value but 0 gives 1 and with replacement 0 only 1 gives 1; the two match-type keys have no lower bound.
struct RuleKey {
    const WCHAR* file;
    const WCHAR* section;
    const WCHAR* key;
    int min;
    int max;
    int replacement;
    Replace replace;
    void (*store)(MatchData&, int);
};

// Atomic: the receive thread reads some of these fields (the competition type, eSocks) while a reload runs.
template <auto Field> void Store(MatchData& md, int value) {
    SharedStore(md.*Field, value);
}
template <int Round> void StoreTeamMatchTime(MatchData& md, int value) {
    md.nTeamMatchTime[Round] = value;
}
template <int Judge> void StoreJudgeUse(MatchData& md, int value) {
    md.nJudgeUse[Judge] = value;
}

constexpr const WCHAR* kRule = u"Rule.ini";
constexpr const WCHAR* kJudgeDev = u"JudgeDev.ini";

// In reading order.
constexpr RuleKey kRuleKeys[] = {
    {kRule, u"Rule", u"Court_No", 1, 32, 1, Replace::InRecord, Store<&MatchData::nCourtNo>},
    {kRule, u"Rule", u"Channel_No", 0, 15, 0, Replace::InRecord, Store<&MatchData::nChannelNo>},
    {kRule, u"Rule", u"Competition_Type", 0, 2, 0, Replace::InRecord, Store<&MatchData::nCompetitionType>},
    {kRule, u"Rule", u"Competition_Rule", 0, 1, 0, Replace::InRecord, Store<&MatchData::nCompetitionRule>},
    {kRule, u"Rule", u"Team_Type", 0, 3, 1, Replace::InRecord, Store<&MatchData::nTeamType>},
    {kRule, u"Rule", u"Round", 1, 4, 3, Replace::InRecord, Store<&MatchData::nRound>},
    {kRule, u"Rule", u"Gam-jeom", 1, 50, 10, Replace::InRecord, Store<&MatchData::nGamJeom>},
    {kRule, u"Rule", u"Gam-jeom_Point", 0, 5, 1, Replace::InRecord, Store<&MatchData::nGamJeomPoint>},
    {kRule, u"Rule", u"VR_Quota", 0, 5, 1, Replace::InRecord, Store<&MatchData::nVRQuota>},
    {kRule, u"Rule", u"Point_Gap", 5, 50, 20, Replace::InRecord, Store<&MatchData::nPointGap>},
    {kRule, u"Rule", u"Use_Point_Gap", 0, 1, 1, Replace::InRecord, Store<&MatchData::bUsePointGap>},
    {kRule, u"Rule", u"Point_Ceil", 10, 50, 40, Replace::InRecord, Store<&MatchData::nPointCeil>},
    {kRule, u"Rule", u"Use_Point_Ceil", 0, 1, 1, Replace::InRecord, Store<&MatchData::bUsePointCeil>},
    {kRule, u"Rule", u"Match_Time", 10, 599, 120, Replace::InRecord, Store<&MatchData::nMatchTime>},
    {kRule, u"Rule", u"GRnd_Match_Time", 10, 599, 60, Replace::InRecord, Store<&MatchData::nGRndMatchTime>},
    {kRule, u"Rule", u"Rest_Time", 10, 599, 60, Replace::InRecord, Store<&MatchData::nRestTime>},
    {kRule, u"Rule", u"KyeShi_Time", 10, 599, 60, Replace::InRecord, Store<&MatchData::nKyeShiTime>},
    {kRule, u"Rule", u"RC_Time", 10, 599, 30, Replace::InRecord, Store<&MatchData::nRCTime>},
    {kRule, u"Rule", u"Team_Match_Time_1", 10, 900, 240, Replace::InRecord, StoreTeamMatchTime<0>},
    {kRule, u"Rule", u"Team_Match_Time_2", 10, 599, 180, Replace::InRecord, StoreTeamMatchTime<1>},
    {kRule, u"Rule", u"Team_Match_Time_3", 10, 599, 240, Replace::InRecord, StoreTeamMatchTime<2>},
    {kRule, u"Rule", u"Team_Match_Time_4", 10, 599, 240, Replace::InRecord, StoreTeamMatchTime<3>},
    {kRule, u"Rule", u"Team_GRnd_Match_Time", 10, 599, 60, Replace::InRecord,
     Store<&MatchData::nTeamGRndMatchTime>},
    {kRule, u"Rule", u"Team_Ind_Competition_Time", 10, 599, 60, Replace::InRecord,
     Store<&MatchData::nTeamIndCompetitionTime>},
    {kRule, u"Rule", u"Team_GRnd_GPoint", 1, 4, 2, Replace::InRecord, Store<&MatchData::nTeamGRndGPoint>},
    {kRule, u"Rule", u"Team_PTG_Check_Round", 0, 4, 2, Replace::InRecord,
     Store<&MatchData::nTeamPTGCheckRound>},
    {kRule, u"Rule", u"Team_1Rnd_Match_Type", INT_MIN, 1, 0, Replace::InRecord,
     Store<&MatchData::nTeam1RndMatchType>},
    {kRule, u"Rule", u"Team_GRnd_Match_Type", INT_MIN, 1, 0, Replace::InRecord,
     Store<&MatchData::nTeamGRndMatchType>},
    {kRule, u"Rule", u"Team_Draw_Use", 0, 1, 0, Replace::InRecord, Store<&MatchData::bTeamDrawUse>},
    {kRule, u"Rule", u"Team_VR_Quota", 0, 5, 0, Replace::InRecord, Store<&MatchData::nTeamVRQuota>},
    {kRule, u"Rule", u"Team_Lev_B", 1, 18, 18, Replace::InRecord, Store<&MatchData::nTeamLevB>},
    {kRule, u"Rule", u"Team_Lev_H", 1, 3, 1, Replace::InRecord, Store<&MatchData::nTeamLevH>},
    // What the team registration dialog saves; 0 would let every punch score, so a missing key is not 0.
    {kRule, u"Rule", u"Team_Lev_P", 1, 100, 20, Replace::InRecord, Store<&MatchData::nTeamLevP>},
    {kRule, u"Rule", u"PSS_Type", 0, 2, 2, Replace::InRecord, Store<&MatchData::nPSSType>},
    {kRule, u"Rule", u"Use_eSocks", 0, 1, 1, Replace::InRecord, Store<&MatchData::bUseESocks>},
    {kRule, u"Rule", u"EBP_Point", 1, 5, 2, Replace::InRecord, Store<&MatchData::nEBPPoint>},
    {kRule, u"Rule", u"EHP_Point", 1, 5, 3, Replace::InRecord, Store<&MatchData::nEHPPoint>},
    {kRule, u"Rule", u"Judge_Number", 0, 3, 3, Replace::InRecord, Store<&MatchData::nJudgeNumber>},
    {kRule, u"Rule", u"Judge_Point_Top", 0, 5, 1, Replace::InRecord, Store<&MatchData::nJudgePointTop>},
    {kRule, u"Rule", u"Judge_Point_Middle", -1, 5, 2, Replace::InRecord,
     Store<&MatchData::nJudgePointMiddle>},
    {kRule, u"Rule", u"Judge_Point_Bottom", 0, 5, 1, Replace::InRecord, Store<&MatchData::nJudgePointBottom>},
    {kRule, u"Rule", u"Use_Device_List", 0, 1, 1, Replace::InRecord, Store<&MatchData::bUseDeviceList>},
    {kRule, u"Rule", u"PSS_Auto_Off", 0, 1, 1, Replace::InRecord, Store<&MatchData::bPSSAutoOff>},
    {kRule, u"Rule", u"Use_Sound_Effect", 0, 1, 1, Replace::InRecord, Store<&MatchData::bUseSoundEffect>},
    {kRule, u"Rule", u"Use_Vibration", 0, 1, 1, Replace::InRecord, Store<&MatchData::bUseVibration>},
    {kRule, u"Rule", u"Use_Kgf_Unit", 0, 1, 1, Replace::InRecord, Store<&MatchData::bUseKgfUnit>},
    {kRule, u"Rule", u"Use_PUnch", 0, 1, 1, Replace::InRecord, Store<&MatchData::bUsePunch>},
    {kRule, u"Rule", u"Display_Resolution", 0, 1, 0, Replace::InRecord,
     Store<&MatchData::nDisplayResolution>},
    {kRule, u"Rule", u"Show_Referee_Info", 0, 1, 1, Replace::InRecord, Store<&MatchData::bShowRefereeInfo>},
    {kRule, u"OVR", u"Use_WT_Protocol", 0, 1, 1, Replace::InRecord, Store<&MatchData::bUseWTProtocol>},
    {kRule, u"OVR", u"Supplier", 0, 8, 0, Replace::InRecord, Store<&MatchData::nOvrSupplier>},
    {kRule, u"OVR", u"Comminucation_Type", 0, 2, 1, Replace::InRecord, Store<&MatchData::nOvrCommType>},
    {kRule, u"IVR", u"Supplier", 0, 2, 0, Replace::InRecord, Store<&MatchData::nIvrSupplier>},
    {kRule, u"IVR", u"Comminucation_Type", 0, 2, 1, Replace::InRecord, Store<&MatchData::nIvrCommType>},
    {kRule, u"TVG", u"Supplier", 0, 2, 0, Replace::InRecord, Store<&MatchData::nTvgSupplier>},
    {kRule, u"TVG", u"Comminucation_Type", 0, 2, 1, Replace::InRecord, Store<&MatchData::nTvgCommType>},
    {kRule, u"LED", u"Number_of_Blink", 1, 5, 2, Replace::InRecord, Store<&MatchData::nLedNumberOfBlink>},
    {kRule, u"LED", u"Duration_Time", 100, 5000, 500, Replace::InRecord, Store<&MatchData::nLedDurationTime>},
    {kRule, u"LED", u"Rest_Time", 0, 1000, 100, Replace::InRecord, Store<&MatchData::nLedRestTime>},
    {kJudgeDev, u"JUDGE_1", u"Use", 0, 1, 0, Replace::InRecord, StoreJudgeUse<0>},
    {kJudgeDev, u"JUDGE_2", u"Use", 0, 1, 0, Replace::InRecord, StoreJudgeUse<1>},
    {kJudgeDev, u"JUDGE_3", u"Use", 0, 1, 0, Replace::InRecord, StoreJudgeUse<2>},
    {kRule, u"Rule", u"Reverse_Screen", 0, 1, 0, Replace::InRecord, Store<&MatchData::nReverseScreen>},
    {kRule, u"Rule", u"Show_Test_Lev", 0, 1, 0, Replace::InRecord, Store<&MatchData::bShowTestLev>},
    {kRule, u"Rule", u"Stand_Alone_Mode", 0, 1, 0, Replace::InRecord, Store<&MatchData::bStandAloneMode>},
    {kRule, u"Rule", u"Team_Tag_Time", 0, 60, 60, Replace::InRecord, Store<&MatchData::nTeamTagTime>},
    {kRule, u"Rule", u"Judge_Button_Time", 1, 5000, 1000, Replace::WriteBack,
     Store<&MatchData::nJudgeButtonTime>},
    {kRule, u"Rule", u"Judge_Tech_Time", 1, 5000, 1000, Replace::WriteBack,
     Store<&MatchData::nJudgeTechTime>},
};

// Re-read when the match identity of a team match is cleared, in this order.
constexpr const WCHAR* kTeamKeys[] = {
    u"Team_Match_Time_4", u"Team_Match_Time_3",    u"Team_GRnd_Match_Time", u"Team_Ind_Competition_Time",
    u"Team_GRnd_GPoint",  u"Team_PTG_Check_Round", u"Team_1Rnd_Match_Type", u"Team_GRnd_Match_Type",
    u"Team_Draw_Use",     u"Team_VR_Quota",        u"Team_Lev_B",           u"Team_Lev_H",
    u"Team_Lev_P",
};

constexpr const RuleKey* FindRuleKey(std::u16string_view section, std::u16string_view key) {
    for (const RuleKey& k : kRuleKeys) {
        if (k.section == section && k.key == key)
            return &k;
    }
    return nullptr;
}

constexpr bool TeamKeysAreRuleKeys() {
    for (const WCHAR* key : kTeamKeys) {
        if (FindRuleKey(u"Rule", key) == nullptr)
            return false;
    }
    return true;
}
static_assert(TeamKeysAreRuleKeys());

std::string Narrow(const WCHAR* text) {
    return WideToMultiByte(text, CP_UTF8);
}

// Returns 1 when the value read was replaced.
int LoadKey(MatchData& md, const RuleKey& k) {
    const int read = ReadIniInt(k.section, k.key, k.file);
    const int value = read >= k.min && read <= k.max ? read : k.replacement;
    if (value != read) {
        DebugPrintf("%s [%s] %s=%d is not valid, using %d", Narrow(k.file).c_str(), Narrow(k.section).c_str(),
                    Narrow(k.key).c_str(), read, value);
        if (k.replace == Replace::WriteBack) {
            const std::u16string text = MultiByteToWide(std::to_string(value), CP_UTF8);
            if (!WriteIniString(k.section, k.key, text.c_str(), k.file))
                DebugPrintf("%s: could not write %s back", Narrow(k.file).c_str(), Narrow(k.key).c_str());
        }
    }
    k.store(md, value);
    return value != read ? 1 : 0;
}

} // namespace

int LoadRuleSettings(MatchData& md) {
    int replaced = 0;
    for (const RuleKey& k : kRuleKeys)
        replaced += LoadKey(md, k);
    md.nJudgeQuorum = md.nJudgeNumber <= 1 ? 1 : 2;
    return replaced;
}

int LoadTeamRules(MatchData& md) {
    int replaced = 0;
    for (const WCHAR* key : kTeamKeys)
        replaced += LoadKey(md, *FindRuleKey(u"Rule", key));
    return replaced;
}

void ApplyNewMatchLevels(MatchData& md) {
    if (md.nCompetitionType == 1) {
        md.nLevelBody = md.nTeamLevB;
        md.nLevelHead = md.nTeamLevH;
        md.nLevelPunch = md.nTeamLevP;
    } else {
        md.nLevelBody = 0;
        md.nLevelHead = 0;
    }
}
