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

// Why the winner buttons cannot decide now: no match is loaded (none yet, or the last one finished), or the
// equipment test runs. Empty when a decision can be taken.
std::u16string WhyNoDecision(const MatchData& md);

// The decision the winner selection proposes when the operator asks for it: PTF under the round-win system
// once a side has two round wins, PTF after the last regular round, RSC when the clock was stopped before
// it, else SUP; a team match in its golden round proposes GDP.
int ProposedDecision(const MatchData& md);
// The proposal the winner selection is given: under the round-win system a kind it does not admit (golden
// point, point gap, superiority, ceiling) is proposed as PTF, the final score that decided it.
int AdmittedProposal(const MatchData& md, int kind);
// Decisions that end the current round for a side under the round-win system: RSC, WDR and DQB.
bool DecidesRound(int kind);

// The round index a round-ending decision belongs to, read before the decision changes the state: the
// current round while it is played or stopped; the next one in the rest or once the current round has its
// winner, so a round already won is never overwritten; -1 before the first round or when no round is left.
int DecisionRoundIndex(const MatchData& md);

// What a round decision wrote over, so that "Winner Cancel" can put it back.
struct RoundDecision {
    int index = -1; // round index written; -1 when nothing was
    int winner = 0;
    int reason = 0;
    int wins[2] = {};
    explicit operator bool() const { return index >= 0; }
};
// Under the round-win system, a decision that decides the round (DecidesRound) records side (0 Chung,
// 1 Hong) as the winner of round `index` with the decision as its reason, and both sides' round wins are
// counted again from the rounds played. Returns what it replaced (nothing outside the round-win system,
// for another decision or for index -1).
RoundDecision RecordRoundDecision(MatchData& md, int side, int kind, int index);
// Puts back what RecordRoundDecision replaced.
void UndoRoundDecision(MatchData& md, const RoundDecision& undo);

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
