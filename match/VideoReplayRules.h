// Pure rules of the video-replay requests: the decision text the replay dialog sends, the request quota
// and the JSON actions and public-screen modes of each outcome. No widgets; any thread.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace VideoReplayRules {

// The dialog writes the decision into a 260-byte buffer; anything longer did not come from it.
constexpr std::size_t kMaxDecisionText = 259;

constexpr int kReferee = 2; // requester of a referee's request (0 Chung, 1 Hong)

enum class Change { GamJeom, DoubleGamJeom, Points };

// One confirmed decision: "requester,side,add,change,result,category", e.g. "B,R,P,3,A,2".
struct Decision {
    int requester = 0; // 0 Chung, 1 Hong, 2 referee
    int side = 0;      // side whose score the decision changes: 0 Chung, 1 Hong
    bool add = false;  // "P" adds; any other letter removes
    Change change = Change::Points;
    int points = 0; // Change::Points: the points named; an appeal ("C") names none
    bool accepted = false;
    int category = 0; // the dialog's item category, 0..8
    // The three middle tokens (add letter, change, result) as sent, for the control-character summary.
    std::string summary;
    std::string requesterLetter;
    std::string sideLetter;
};

// The decision in the text, or nullopt with the reason in *error when the text is malformed or overlong.
std::optional<Decision> ParseDecision(std::string_view text, std::string* error = nullptr);

// The points a points decision gives: "5" stands for the 5(6) point button, 6 when the middle judge point
// is configured as -1.
int DecisionPoints(const Decision& decision, int judgePointMiddle);

// The most requests a side may hold: the team quota in a team match (competition type 1), else the quota.
int QuotaLimit(int competitionType, int quota, int teamQuota);
// One request more, never above the limit (a side already above it keeps what it has).
int QuotaUp(int remain, int limit);
// One request less, never below zero.
int QuotaDown(int remain);

// JSON actions queued for the WT API when a request is made, accepted and rejected.
int RequestJsonAction(int side);
std::vector<int> AcceptedJsonActions(const Decision& decision);
std::vector<int> RejectedJsonActions(const Decision& decision);

// Public video-replay screen modes: a side's request, and the outcome by requester (0 Chung, 1 Hong, 2 the
// referee).
int RequestScreenMode(int side);
int AcceptedScreenMode(int requester);
int RejectedScreenMode(int requester);

} // namespace VideoReplayRules
