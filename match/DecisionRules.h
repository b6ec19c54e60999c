// The decision of a match as texts and numbers: the codes each outside protocol knows a decision kind by,
// the decision texts of the local database, the decision the engine proposes to the operator, and the
// round record a decision writes under the round-win system. Pure functions; any thread.
#pragma once

#include <string>

struct MatchData;

namespace DecisionRules {

constexpr int kNoDecision = 11; // DecideWinner: let the operator choose; nDecisionKind: cancelled

// Decision kinds of the ordinary list.
enum Kind { kPTF = 0, kPTG, kGDP, kRSC, kSUP, kWDR, kDSQ, kPUN, kDQB, kPTS };

// The code of the WT text, JSON, colon and pipe records: "PTF", "PTG", "GDP" ("SDP" for OVR supplier 2),
// "RSC", "SUP", "WDR", "DSQ", "PUN", "DQB", "PTS"; "PTF" for any other kind.
const char* DecisionCodeText(int kind, int ovrSupplier);
// The code of the bracket records: as above, but kind 8 is "PTF" and kind 9 "PTC"; "GDP" for any supplier.
const char* DecisionCodeShort(int kind);
// The number of the control-character records; 3 for any kind outside the table.
int DecisionNumber(int kind);
// " %d" of DecisionNumber, as the control-character winner record carries it.
std::u16string DecisionNumberText(int kind);

// The decision text shown and stored in the local database: the ordinary list ("(PTF) Final Score" ...),
// or the tournament database's list when its link is in use. Empty for a kind outside the list in use.
std::u16string DecisionText(int kind, bool tournamentList);
// Whether the tournament database's decision list is in use: OVR supplier 3 with its link connected.
bool UsesTournamentList(const MatchData& md);
// GAMET's win column: "C.WIN(<decision text>)" for side 0, "H.WIN(...)" for side 1.
std::u16string WinText(int side, int kind, bool tournamentList);

// The decision the winner selection proposes when the operator asks for it: PTF after the last regular
// round, RSC when the clock was stopped before it, PTF under the round-win system once a side has two
// round wins, else SUP; a team match in its golden round proposes GDP.
int ProposedDecision(const MatchData& md);
// Decisions that end the current round for a side under the round-win system: RSC, WDR and DQB.
bool DecidesRound(int kind);
// Under the round-win system, a decision that decides the round (DecidesRound) records side (0 Chung,
// 1 Hong) as the winner of the current round with the decision as its reason, and both sides' round wins
// are counted again from the rounds played. Returns whether it changed the record.
bool RecordRoundDecision(MatchData& md, int side, int kind);

// Where the decision pop-up sits, relative to the top-left corner of the public scoreboard: left, top,
// right, bottom for the scoreboard's resolution (nDisplayResolution 1: 1280 wide) and the round-win system.
struct PopupRect {
    int left;
    int top;
    int right;
    int bottom;
};
PopupRect DecisionPopupRect(int displayResolution, bool roundWins);

} // namespace DecisionRules
