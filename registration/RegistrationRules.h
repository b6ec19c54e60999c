// What the registration dialogs decide, without a window: placement, the round time and its spin, the
// minimum levels, device request texts and address checks, contest numbering, and loading a contest into the
// match record. The dialogs (registration/RegDlg.h, registration/RegDlgTeam.h) wire controls to these.
//
// Thread: user-interface thread (the functions that take MatchData write it); the rest any thread.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct MatchData;

namespace Registration {

// ---- placement ----

struct Placement {
    int x, y, width, height;
};
// The dialog's rectangle on the primary monitor: wide shows the device side as well.
Placement DialogPlacement(const MatchData& md, bool wide, bool team);
// The dialog's height, which its controls fill: the team dialog is taller.
int DialogHeight(bool team);

// ---- round time ----

struct ClockParts {
    int minutes = 0;
    int seconds = 0;
    int hundredths = 0;
};
// The numbers of a clock text in order ("9 : 59 . 99", "9:59.99", "9 : 59 , 99"): runs of digits separated by
// anything else; a missing part is 0.
ClockParts ParseClockText(std::u16string_view text);
// Minutes and seconds of a "m:ss" text split at ':' (0 for a missing or non-numeric part).
void ParseMinSec(std::u16string_view text, int& minutes, int& seconds);
// "%d:%02d.%02d" of a time in ms (individual), "%d:%02d" (team).
std::u16string FormatRemainTime(int ms, bool team);
// A step of the time spin: up adds a second, down takes one, within 10..599 s; the hundredths stay.
std::u16string SpinRoundTime(std::u16string_view text, bool up, bool team);
// "Apply": the time shown again and the text of UM_SET_ROUND_TIME for the round (1-based).
struct RoundTimeApply {
    std::u16string shown;
    std::string message;
};
RoundTimeApply ApplyRoundTime(std::u16string_view text, int round, bool team);
// "Reset": the match time of the rules.
RoundTimeApply ResetRoundTime(int matchTimeSeconds, bool team);

// ---- contest number spin and entry ----

// A step of the contest number spin: nullopt when it would pass 999 (the operator is told).
std::optional<int> SpinContestNumber(int number, bool up);
// A typed contest number, 1..999; nullopt otherwise.
std::optional<int> ParseContestNumber(std::u16string_view text);
std::u16string ContestNumberText(int number); // "%03d"

// ---- minimum hit levels ----

// A level typed by the operator: a whole number 0..100, nothing else (an empty or garbled box never reads
// as 0, which would let every hit score).
std::optional<int> ParseLevel(std::u16string_view text);
// The trunk level of a weight class when the rules count in kgf.
int KgfBodyLevel(int tableValue);

// ---- device registration ----

// The four protectors of a side pair: 0 Chung trunk, 1 Chung head, 2 Hong trunk, 3 Hong head.
std::string_view ProtectorName(int index);
// The address typed for a protector: nullopt when it passes, else the message that refuses it.
std::optional<std::u16string> CheckPssMac(bool hong, std::u16string_view address);
// One address list of DevMgr.ini: the addresses in order; false (with the message) when one is not 16
// hexadecimal digits or there are more than six.
bool SplitDeviceList(std::u16string_view list, std::vector<std::string>& addresses, std::u16string& message);

// What a protector button sends: the request text (name and address or addresses, or empty), or a refusal.
struct PssRequest {
    bool send = false;
    std::string text;
    std::u16string message; // the refusal's box
};
PssRequest BuildPssRequest(int index, std::u16string_view edit, bool useDeviceList,
                           std::u16string_view deviceList, bool preRegistration);
// Team member devices: name and edit's text, or empty; nothing checked beyond the address form.
PssRequest BuildTeamPssRequest(int deviceIndex, std::u16string_view edit);

// Team devices: member 1..6, k 0 Chung trunk, 1 Chung head, 2 Hong trunk, 3 Hong head.
int TeamDeviceIndex(int member, int k);
std::string TeamDeviceName(int member, int k); // "CV", "CH2" .. "HH6"
int TeamPlayerSlot(int member, int k);
// Members shown for Rule.ini Team_Type 0..3.
int TeamMembersShown(int teamType);

// ---- contest list ----

// One row of PLAYER in the list's column order: Class, No., C. Name, C.Nation., H. Name, H.Nation., Weight,
// Gender, C.MAC, H.MAC, C.Team, H.Team, Phase.
struct ContestRow {
    static constexpr int kColumns = 13;
    std::array<std::u16string, kColumns> column;
    const std::u16string& cls() const { return column[0]; }
    const std::u16string& no() const { return column[1]; }
    const std::u16string& weight() const { return column[6]; }
    const std::u16string& gender() const { return column[7]; }
};
// The number the next registration gets after the list was filled with these rows.
int NextContestNumber(int previous, const std::vector<ContestRow>& rows);
// After a delete: the highest number left plus 1, 1 for an empty list.
int NextNumberAfterDelete(const std::vector<ContestRow>& rows);
// The row is the match loaded now (number, class, weight and gender).
bool IsLoadedContest(const MatchData& md, const ContestRow& row);

// ---- loading a contest ----

struct LoadResult {
    bool loaded = false;
    std::u16string message; // why it was refused, for the operator
    int classIndex = 0;
    int genderIndex = 0;
    int weightIndex = 0;
    int phaseIndex = -1;             // -1: no phase entry matches
    std::optional<int> nationRow[2]; // nationality row selected for Chung, Hong
};
// The phase entries of the form, in order.
const std::vector<std::u16string>& PhaseNames();
// How a row is loaded: the tournament results database's row names each nation by its code (otherwise by the
// nationality combo's text); the team dialog may reload the tournament's playing match while one runs.
struct LoadMode {
    bool nationByCode = false;
    bool whileRunning = false;
};
// Copies the row into the match record (identity, players, nations, teams, levels). Refused while a match
// runs (unless mode.whileRunning) and for the row of the match already logged. team: the team dialog's rules
// (gender "Mixed", no weight, levels kept in a team match).
LoadResult LoadContest(MatchData& md, const ContestRow& row, bool team, const LoadMode& mode = {});

} // namespace Registration
