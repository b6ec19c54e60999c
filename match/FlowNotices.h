// What the outside systems are told at each step of the match flow, by OVR supplier: a pure table, and
// the one place that hands its rows to the operator view's senders. UI thread only (SendFlowNotices).
#pragma once

#include <vector>

class CMainWnd;
struct MatchData;

enum class FlowStep {
    RoundStart,   // the first round, or a round after the rest (states 1, 2, 6)
    NextRound,    // the next round after state 5, or the golden-point round
    Resume,       // the clock resumes within a round (states 7, 8, 9)
    ClockRunning, // every start of the clock
    Time,         // each whole second of the round clock
    RoundEnd,
    Stop,
};

struct FlowNotice {
    enum Sender {
        ControlChar, // SendControlCharEvent(code)
        Colon,       // SendColonEvent(code)
        Bracket,     // SendBracketEvent(code)
        Pipe,        // SendPipeEvent(code)
        Json,        // JSON action queue: kind code, value (the round of a round result)
        Tournament,  // tournament database: 1 match playing, 2 current round, 3 both sides' scores
    };
    Sender sender;
    int code;
    int value = 0;
    bool operator==(const FlowNotice&) const = default;
};

// The notices of a step, in sending order, for the record's nOvrSupplier, pre-registration switch,
// current round and round-win rule.
std::vector<FlowNotice> FlowNotices(FlowStep step, const MatchData& md);

// Sends the notices of the step through the view's senders.
void SendFlowNotices(CMainWnd& view, FlowStep step);
