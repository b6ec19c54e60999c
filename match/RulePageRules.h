// The logic behind the Rule page of the configuration dialog: the radio channel of a court, the receiver's
// firmware version rule, the "m : ss" time texts and the saving of the page into the match record and
// Rule.ini [Rule]. The page (match/RuleWnd.cpp) only reads its controls into RulePageValues and applies
// what these functions decide.
//
// Thread: user-interface thread (they write the match record and send to the operator view).
#pragma once

#include "platform/WinTypes.h"

#include <optional>
#include <string>
#include <string_view>

struct MatchData;

// Courts and channels of the page.
constexpr int kCourtCount = 32;
constexpr int kChannelCount = 16;

// The radio channel index (0..15) that keeps neighbouring courts apart: courts 1..4 get 0, 4, 8, 12, courts
// 5..8 get 1, 5, 9, 13 and so on; courts 17..32 repeat courts 1..16. A court outside 1..32 is taken as 1.
int ChannelForCourt(int court);
// "CH11 - 2405MHz" .. "CH26 - 2480MHz" for channel index 0..15.
std::u16string ChannelText(int channel);
// The court after "▲" (32 wraps to 1) and after "▼" (1 wraps to 32).
int NextCourt(int court);
int PreviousCourt(int court);

// The receiver's firmware version as it reports it ("03.07"): two hexadecimal parts around a point.
struct ReceiverVersion {
    int major = 0;
    int minor = 0;
    bool operator==(const ReceiverVersion&) const = default;
};
// Each part is read as hexadecimal digits up to the first character that is not one ("03.0a" is 3.10);
// a missing or empty part reads as 0.
ReceiverVersion ParseReceiverVersion(std::u16string_view text);
// The program works with a receiver whose major version is above 3, or 3 with a minor version above 6.
bool ReceiverVersionAccepted(ReceiverVersion version);
// The box shown for a receiver that is too old.
inline constexpr char16_t kOldReceiverText[] =
    u"Warning!!\r\nProgram is not support this receiver!\r\nPlease contact your place of purchase for an "
    u"upgrade!";
// What the Rule page does with the version of a receiver that finished its start-up: sets bReceiverMajorNew
// and, for an accepted version, bReceiverVerOk. Returns whether the version was accepted.
bool ApplyReceiverVersion(MatchData& md, std::u16string_view text);

// Times of the page. Every time is kept between these bounds: the spin buttons stop there and a saved time
// outside them is brought back to the nearest bound, so a round of 0:00 can never be saved.
constexpr int kMinTimeSeconds = 10;
constexpr int kMaxTimeSeconds = 599;
// A second team match time above the maximum is replaced by this value instead.
constexpr int kTeamTime2Replacement = 180;

// "%d : %02d" of minutes and seconds.
std::u16string TimeText(int seconds);
// Minutes and seconds of a time text ("2 : 05", "2:05", " 2 :  5"); blanks count as nothing and a missing
// part as 0. Anything else than digits, blanks and one ':' gives no value.
std::optional<int> ParseTimeText(std::u16string_view text);
// The time a field shows, read strictly for saving: minutes of one or more digits, ':' and seconds of two
// digits up to 59, blanks only around the parts. An empty or partly filled field gives no value.
std::optional<int> ParseShownTime(std::u16string_view text);
// A time field that holds no time the page can save reads as this, which every check refuses.
constexpr int kNoTime = -1;
// One spin step of a time edit: +1 up to kMaxTimeSeconds, -1 down to kMinTimeSeconds.
int StepTime(int seconds, int delta);
int ClampTime(int seconds);

// Number edits with their spin ranges, as the page refuses values outside them.
struct NumberRange {
    int low;
    int high;
};
constexpr NumberRange kGamJeomRange{1, 50};
constexpr NumberRange kVideoQuotaRange{0, 5};
constexpr NumberRange kPointGapRange{5, 50};
constexpr NumberRange kPointCeilRange{10, 50};
int StepNumber(int value, int delta, NumberRange range);
// The text of the refusal of a value outside a range.
std::u16string RangeErrorText(NumberRange range);

// Round list of the page for the classification and the competition rule.
struct RoundList {
    int count;     // entries "1 Round" ..
    bool golden;   // texts "%d Round + G"
    int selection; // index to select
};
RoundList RoundListFor(int competitionType, int competitionRule, int round);
std::u16string RoundText(const RoundList& list, int index);

// Values shown when the record holds one the page cannot show.
int ShownGamJeom(int value);    // below 1: 10
int ShownVideoQuota(int value); // negative: 1
int ShownPointGap(int value);   // below 5: 20
int ShownPointCeil(int value);  // below 10: 40
// Gam-jeom limit and point gap that a change of the competition rule puts in the edits.
constexpr int kBestOf3GamJeom = 5;
constexpr int kBestOf3PointGap = 12;
constexpr int kConventionalGamJeom = 10;
constexpr int kConventionalPointGap = 20;

// Everything the Rule page saves, as its controls hold it.
struct RulePageValues {
    int competitionRule = 0; // combo 1255: 0 "Conventional", 1 "Best of 3"
    int competitionType = 0; // radios: 0 1:1, 1 Team, 2 PARA
    int teamType = 0;        // combo 1042
    int roundIndex = 0;      // combo 1043
    int gamJeom = 10;        // edit 1047
    int videoQuota = 1;      // edit 1060
    int pointGap = 20;       // edit 1048
    BOOL usePointGap = 0;    // check 1053
    int pointCeil = 40;      // edit 1049
    BOOL usePointCeil = 0;   // check 1055
    int matchTime1 = 120;    // edit 1044, seconds as shown (kNoTime when it shows none)
    int matchTime2 = 180;    // edit 1059
    int restTime = 60;       // edit 1045
    int kyeShiTime = 60;     // edit 1046
    int pssType = 0;         // combo 1248
    int eSocks = 0;          // combo 1249 index
    int trunkPoint = 0;      // combo 1250 index (points - 1)
    int headPoint = 0;       // combo 1251 index
    int judgeNumber = 0;     // combo 1247
    int judgeTop = 0;        // combo 1252
    int judgeMiddle = 0;     // combo 1253 index ("X2" is 0)
    int judgeBottom = 0;     // combo 1254
    BOOL pssAutoOff = 0;     // check 1066
    BOOL soundEffect = 0;    // check 1065
    BOOL vibration = 0;      // check 1064
    BOOL kgfUnit = 0;        // check 1067
    BOOL punch = 0;          // check 1475
    BOOL resolution720 = 0;  // check 1057
};

// The values the page shows for the record (the inverse of SaveRuleValues, with the shown replacements).
RulePageValues RulePageValuesFrom(const MatchData& md);

// The refusal of a time field that is empty, partly filled or outside the bounds, naming the field.
std::u16string TimeErrorText(std::u16string_view field);
// The first time field that holds no time inside the bounds (Match Time 2 only for team matches), then the
// first number outside its range, as the text of its refusal; nothing when all are fine. What passes is
// saved as the page shows it.
std::optional<std::u16string> CheckRuleValues(const RulePageValues& values);

// Stores every value into the record and writes it to Rule.ini [Rule] as "%d", in the page's order, telling
// the operator view (view, 0 for none) UM_ROUND_WIN_MODE_CHANGED after the competition rule and
// UM_MATCH_TYPE_CHANGED when the classification, the round count or the display resolution changed.
// Times are kept between kMinTimeSeconds and kMaxTimeSeconds (a second team time above the maximum becomes
// kTeamTime2Replacement); Display_Resolution is written only when it changed. Call CheckRuleValues first.
void SaveRuleValues(MatchData& md, const RulePageValues& values, HWND view);

// "SET": stores court and channel, writes Court_No and Channel_No, and asks the operator view to give the
// channel to the receiver (UM_SET_COURT_CHANNEL). A court or channel outside its range is refused (false)
// and nothing is written.
bool SaveCourtChannel(MatchData& md, int court, int channel, HWND view);
