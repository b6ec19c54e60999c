#include "match/RulePageRules.h"

#include "app/IniFiles.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "app/RuleSettings.h"
#include "platform/DebugOutput.h"
#include "platform/WindowMessages.h"

#include <algorithm>
#include <string>

namespace {

constexpr const WCHAR* kRuleFile = u"Rule.ini";

std::u16string Ascii(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

void WriteRule(const WCHAR* key, int value) {
    const std::u16string text = Ascii(std::to_string(value));
    if (!WriteIniString(u"Rule", key, text.c_str(), kRuleFile))
        DebugPrintf("Rule.ini could not be written (a Rule key)");
}

void Tell(HWND view, UINT message, LPARAM lParam = 0) {
    if (view)
        SendMessage(view, message, 0, lParam);
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// Leading hexadecimal digits; the value stops growing at a bound far above any version byte.
int HexPart(std::u16string_view text) {
    int value = 0;
    for (const char16_t c : text) {
        const int digit = HexDigit(c);
        if (digit < 0)
            break;
        value = std::min(value * 16 + digit, 0xFFFF);
    }
    return value;
}

bool Inside(int value, NumberRange range) {
    return value >= range.low && value <= range.high;
}

} // namespace

int ChannelForCourt(int court) {
    if (court < 1 || court > kCourtCount)
        court = 1;
    const int c = court > 16 ? court - 16 : court;
    return (4 * c - 4) % 16 + (c - 1) / 4;
}

std::u16string ChannelText(int channel) {
    channel = std::clamp(channel, 0, kChannelCount - 1);
    return Ascii("CH" + std::to_string(11 + channel) + " - " + std::to_string(2405 + 5 * channel) + "MHz");
}

int NextCourt(int court) {
    return court >= kCourtCount || court < 1 ? 1 : court + 1;
}

int PreviousCourt(int court) {
    return court <= 1 || court > kCourtCount ? kCourtCount : court - 1;
}

ReceiverVersion ParseReceiverVersion(std::u16string_view text) {
    const std::size_t point = text.find(u'.');
    ReceiverVersion version;
    version.major = HexPart(text.substr(0, point));
    if (point != std::u16string_view::npos)
        version.minor = HexPart(text.substr(point + 1));
    return version;
}

bool ReceiverVersionAccepted(ReceiverVersion version) {
    return version.major > 3 || (version.major == 3 && version.minor > 6);
}

bool ApplyReceiverVersion(MatchData& md, std::u16string_view text) {
    const ReceiverVersion version = ParseReceiverVersion(text);
    md.bReceiverMajorNew = version.major > 3 ? 1 : 0;
    const bool accepted = ReceiverVersionAccepted(version);
    if (accepted)
        md.bReceiverVerOk = 1;
    return accepted;
}

std::u16string TimeText(int seconds) {
    seconds = std::max(seconds, 0);
    const int s = seconds % 60;
    return Ascii(std::to_string(seconds / 60) + " : " + (s < 10 ? "0" : "") + std::to_string(s));
}

std::optional<int> ParseTimeText(std::u16string_view text) {
    int parts[2] = {0, 0};
    int part = 0;
    for (const char16_t c : text) {
        if (c == u' ' || c == u'_')
            continue;
        if (c == u':') {
            if (++part > 1)
                return std::nullopt;
            continue;
        }
        if (c < u'0' || c > u'9')
            return std::nullopt;
        parts[part] = std::min(parts[part] * 10 + (c - u'0'), 100000);
    }
    if (part == 0) // no ':': the digits are seconds
        return parts[0];
    return parts[0] * 60 + parts[1];
}

std::optional<int> ParseShownTime(std::u16string_view text) {
    const std::size_t colon = text.find(u':');
    if (colon == std::u16string_view::npos)
        return std::nullopt;
    // One run of digits with blanks only around it; its value and its length.
    const auto part = [](std::u16string_view piece) -> std::optional<std::pair<int, int>> {
        const std::size_t first = piece.find_first_not_of(u' ');
        if (first == std::u16string_view::npos)
            return std::nullopt;
        const std::size_t last = piece.find_last_not_of(u' ');
        int value = 0;
        for (const char16_t c : piece.substr(first, last - first + 1)) {
            if (c < u'0' || c > u'9')
                return std::nullopt;
            value = std::min(value * 10 + (c - u'0'), 100000);
        }
        return std::pair{value, static_cast<int>(last - first + 1)};
    };
    const auto minutes = part(text.substr(0, colon));
    const auto seconds = part(text.substr(colon + 1));
    if (!minutes || !seconds || seconds->second != 2 || seconds->first > 59)
        return std::nullopt;
    return minutes->first * 60 + seconds->first;
}

int ClampTime(int seconds) {
    return std::clamp(seconds, kMinTimeSeconds, kMaxTimeSeconds);
}

int StepTime(int seconds, int delta) {
    return ClampTime(seconds + delta);
}

int StepNumber(int value, int delta, NumberRange range) {
    return std::clamp(value + delta, range.low, range.high);
}

std::u16string RangeErrorText(NumberRange range) {
    return Ascii("Please enter an integer between " + std::to_string(range.low) + " and " +
                 std::to_string(range.high) + ".");
}

std::u16string TimeErrorText(std::u16string_view field) {
    return std::u16string(field) + u": please enter a time between " + TimeText(kMinTimeSeconds) + u" and " +
           TimeText(kMaxTimeSeconds) + u".";
}

RoundList RoundListFor(int competitionType, int competitionRule, int round) {
    if (competitionType == 1)
        return {4, false, std::clamp(round - 1, 0, 3)};
    if (competitionRule == 1)
        return {3, false, 2};
    return {3, true, round >= 1 && round < 4 ? round - 1 : 2};
}

std::u16string RoundText(const RoundList& list, int index) {
    return Ascii(std::to_string(index + 1) + (list.golden ? " Round + G" : " Round"));
}

int ShownGamJeom(int value) {
    return value < 1 ? 10 : value;
}
int ShownVideoQuota(int value) {
    return value < 0 ? 1 : value;
}
int ShownPointGap(int value) {
    return value < 5 ? 20 : value;
}
int ShownPointCeil(int value) {
    return value < 10 ? 40 : value;
}

RulePageValues RulePageValuesFrom(const MatchData& md) {
    RulePageValues v;
    v.competitionRule = std::clamp(md.nCompetitionRule, 0, 1);
    v.competitionType = std::clamp(md.nCompetitionType, 0, 2);
    // Teams of six (3) have no entry in the combo: shown as no selection and kept when the page is saved.
    v.teamType = std::clamp(md.nTeamType, 0, 3);
    v.roundIndex = RoundListFor(v.competitionType, v.competitionRule, md.nRound).selection;
    v.gamJeom = ShownGamJeom(md.nGamJeom);
    v.videoQuota = ShownVideoQuota(v.competitionType == 1 ? md.nTeamVRQuota : md.nVRQuota);
    v.pointGap = ShownPointGap(md.nPointGap);
    v.usePointGap = md.bUsePointGap ? 1 : 0;
    v.pointCeil = ShownPointCeil(md.nPointCeil);
    v.usePointCeil = md.bUsePointCeil ? 1 : 0;
    v.matchTime1 = v.competitionType == 1 ? md.nTeamMatchTime[0] : md.nMatchTime;
    v.matchTime2 = md.nTeamMatchTime[1];
    v.restTime = md.nRestTime;
    v.kyeShiTime = md.nKyeShiTime;
    v.pssType = std::clamp(md.nPSSType, 0, 2);
    v.eSocks = md.bUseESocks ? 1 : 0;
    v.trunkPoint = std::clamp(md.nEBPPoint - 1, 0, 4);
    v.headPoint = std::clamp(md.nEHPPoint - 1, 0, 4);
    v.judgeNumber = std::clamp(md.nJudgeNumber, 0, 3);
    v.judgeTop = std::clamp(md.nJudgePointTop, 0, 5);
    v.judgeMiddle = std::clamp(md.nJudgePointMiddle + 1, 0, 6);
    v.judgeBottom = std::clamp(md.nJudgePointBottom, 0, 5);
    v.pssAutoOff = md.bPSSAutoOff ? 1 : 0;
    v.soundEffect = md.bUseSoundEffect ? 1 : 0;
    v.vibration = md.bUseVibration ? 1 : 0;
    v.kgfUnit = md.bUseKgfUnit ? 1 : 0;
    v.punch = md.bUsePunch ? 1 : 0;
    v.resolution720 = md.nDisplayResolution == 1 ? 1 : 0;
    return v;
}

std::optional<std::u16string> CheckRuleValues(const RulePageValues& v) {
    const struct {
        int seconds;
        const char16_t* field;
        bool shown;
    } times[] = {
        {v.matchTime1, u"Match Time", true},
        {v.matchTime2, u"Match Time 2", v.competitionType == 1},
        {v.restTime, u"Rest Time", true},
        {v.kyeShiTime, u"Kye-Shi Time", true},
    };
    for (const auto& t : times)
        if (t.shown && (t.seconds < kMinTimeSeconds || t.seconds > kMaxTimeSeconds))
            return TimeErrorText(t.field);
    const struct {
        int value;
        NumberRange range;
    } numbers[] = {
        {v.gamJeom, kGamJeomRange},
        {v.videoQuota, kVideoQuotaRange},
        {v.pointGap, kPointGapRange},
        {v.pointCeil, kPointCeilRange},
    };
    for (const auto& n : numbers)
        if (!Inside(n.value, n.range))
            return RangeErrorText(n.range);
    return std::nullopt;
}

void SaveRuleValues(MatchData& md, const RulePageValues& v, HWND view) {
    md.nCompetitionRule = v.competitionRule;
    WriteRule(u"Competition_Rule", md.nCompetitionRule);
    Tell(view, UM_ROUND_WIN_MODE_CHANGED);

    const int oldType = md.nCompetitionType;
    md.nCompetitionType = v.competitionType;
    WriteRule(u"Competition_Type", md.nCompetitionType);
    if (oldType != md.nCompetitionType) {
        // The minimum hit levels belong to the old kind of match. Between matches the court takes the levels
        // a new match of the new kind starts with (the team's from Rule.ini, or none until a class is
        // loaded); a team contest keeps the levels it finds, so it would otherwise score every touch.
        if (md.nGameState <= 1)
            ApplyNewMatchLevels(md);
        Tell(view, UM_MATCH_TYPE_CHANGED);
    }

    md.nTeamType = v.teamType;
    WriteRule(u"Team_Type", md.nTeamType);

    const int oldRound = md.nRound;
    md.nRound = v.roundIndex + 1;
    WriteRule(u"Round", md.nRound);
    if (oldRound != md.nRound)
        Tell(view, UM_MATCH_TYPE_CHANGED);

    md.nGamJeom = v.gamJeom;
    WriteRule(u"Gam-jeom", md.nGamJeom);

    const bool team = md.nCompetitionType == 1;
    if (team) {
        md.nTeamVRQuota = v.videoQuota;
        WriteRule(u"Team_VR_Quota", md.nTeamVRQuota);
    } else {
        md.nVRQuota = v.videoQuota;
        WriteRule(u"VR_Quota", md.nVRQuota);
    }

    md.nPointGap = v.pointGap;
    WriteRule(u"Point_Gap", md.nPointGap);
    md.bUsePointGap = v.usePointGap ? 1 : 0;
    WriteRule(u"Use_Point_Gap", md.bUsePointGap);
    md.nPointCeil = v.pointCeil;
    WriteRule(u"Point_Ceil", md.nPointCeil);
    md.bUsePointCeil = v.usePointCeil ? 1 : 0;
    WriteRule(u"Use_Point_Ceil", md.bUsePointCeil);

    const int time1 = ClampTime(v.matchTime1);
    if (team) {
        md.nTeamMatchTime[0] = time1;
        WriteRule(u"Team_Match_Time_1", time1);
        md.nTeamMatchTime[1] =
            v.matchTime2 > kMaxTimeSeconds ? kTeamTime2Replacement : ClampTime(v.matchTime2);
        WriteRule(u"Team_Match_Time_2", md.nTeamMatchTime[1]);
    } else {
        md.nMatchTime = time1;
        WriteRule(u"Match_Time", time1);
    }
    md.nRestTime = ClampTime(v.restTime);
    WriteRule(u"Rest_Time", md.nRestTime);
    md.nKyeShiTime = ClampTime(v.kyeShiTime);
    WriteRule(u"KyeShi_Time", md.nKyeShiTime);

    md.nPSSType = v.pssType;
    WriteRule(u"PSS_Type", md.nPSSType);
    md.bUseESocks = v.eSocks != 0 ? 1 : 0;
    WriteRule(u"Use_eSocks", md.bUseESocks);
    md.nEBPPoint = v.trunkPoint + 1;
    WriteRule(u"EBP_Point", md.nEBPPoint);
    md.nEHPPoint = v.headPoint + 1;
    WriteRule(u"EHP_Point", md.nEHPPoint);

    md.nJudgeNumber = v.judgeNumber;
    WriteRule(u"Judge_Number", md.nJudgeNumber);
    md.nJudgeQuorum = md.nJudgeNumber <= 1 ? 1 : 2;

    md.nJudgePointTop = v.judgeTop;
    WriteRule(u"Judge_Point_Top", md.nJudgePointTop);
    md.nJudgePointMiddle = v.judgeMiddle - 1;
    WriteRule(u"Judge_Point_Middle", md.nJudgePointMiddle);
    md.nJudgePointBottom = v.judgeBottom;
    WriteRule(u"Judge_Point_Bottom", md.nJudgePointBottom);

    md.bPSSAutoOff = v.pssAutoOff ? 1 : 0;
    WriteRule(u"PSS_Auto_Off", md.bPSSAutoOff);
    md.bUseSoundEffect = v.soundEffect ? 1 : 0;
    WriteRule(u"Use_Sound_Effect", md.bUseSoundEffect);
    md.bUseVibration = v.vibration ? 1 : 0;
    WriteRule(u"Use_Vibration", md.bUseVibration);
    md.bUseKgfUnit = v.kgfUnit ? 1 : 0;
    WriteRule(u"Use_Kgf_Unit", md.bUseKgfUnit);
    md.bUsePunch = v.punch ? 1 : 0;
    WriteRule(u"Use_PUnch", md.bUsePunch);

    const int resolution = v.resolution720 ? 1 : 0;
    if (resolution != md.nDisplayResolution) {
        md.nDisplayResolution = resolution;
        Tell(view, UM_MATCH_TYPE_CHANGED);
        WriteRule(u"Display_Resolution", resolution);
    }
}

bool SaveCourtChannel(MatchData& md, int court, int channel, HWND view) {
    if (court < 1 || court > kCourtCount || channel < 0 || channel >= kChannelCount)
        return false;
    md.nCourtNo = court;
    WriteRule(u"Court_No", court);
    md.nChannelNo = channel;
    WriteRule(u"Channel_No", channel);
    Tell(view, UM_SET_COURT_CHANNEL, channel);
    return true;
}
