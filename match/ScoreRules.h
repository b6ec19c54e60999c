// The rules of a score change that need no window: which game state admits a point, the value of a point
// that takes it from the settings, the technique tallies a point raises, the two scores shown, the texts
// of the technique kinds, the codes sent to outside systems and the checks that end a round or the match.
// Pure functions over the match record; any thread, on a record no other thread writes meanwhile.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct MatchData;

namespace ScoreRules {

// Where a point comes from.
enum Source {
    kOperator = 0, // point buttons, team buttons, video-replay decision
    kDevice = 1,   // protector hits and the judges' technique windows
    kJudgePunch = 2,
};

// Technique kinds (one int shared by the whole match engine).
enum Kind {
    kPunch = 0,
    kTrunk = 3,
    kTrunkTurning = 4,
    kSpinning = 5,
    kHead = 6,
    kHeadTurning = 7,
    kJudgeBonus = 8,
    kTechnicalType2 = 9,
    kGamJeom = 10,
    kTechnical = 11,
    kVideoReplay = 12,
    kTrunkHit = 16,
    kHeadHit = 17,
    kPunchHit = 18,
    kValidPunch = 19,
    kKnockdown = 20,
    kDoubleGamJeom = 21,
    kLoggedPunch = 23, // a valid punch that no device reported, as the event log keeps it
};

// Rows of TTK_SideScore::nTechTally: the points of a kind, then its count.
enum TallyRow {
    kPunchPoints = 0,
    kPunchCount,
    kTrunkPoints,
    kTrunkCount,
    kHeadPoints,
    kHeadCount,
    kTrunkTechPoints,
    kTrunkTechCount,
    kHeadTechPoints,
    kHeadTechCount,
    kTechTotal,
    kKnockdownPoints,
    kKnockdownCount,
    kTallyRows = 15,
};
using Tallies = std::array<int, kTallyRows>;

// The history text of a kind ("Trunk Kick"); empty for a kind without one.
std::u16string_view TechniqueText(int kind);
// The one-letter code of a kind for the outside systems ("P"); empty for a kind without one.
std::u16string_view TechniqueLetter(int kind);
std::u16string_view SideLetter(int side);    // "B" Chung, "R" Hong
std::u16string_view SideWord(int side);      // "Blue", "Red": colon and pipe records
std::u16string_view SideWordUpper(int side); // "BLUE", "RED": bracket records

// Index into the per-round arrays (round - 1) of the current round, kept inside them whatever nCurRound
// holds: the golden round of a four-round match is the last entry.
int RoundIndex(const MatchData& md);
bool IsGoldenRound(const MatchData& md); // nCurRound above nRound
bool UsesRoundWins(const MatchData& md); // the round-win system (Competition_Rule 1)
bool IsZeroPunch(int kind, int value);   // a punch (0 or 19) worth nothing

// Gate: an operator point only while the round clock stands (states 2, 4..9), a device or judge point only
// while it runs (state 3). A removal only while it stands.
bool AdmitsPoint(int source, int gameState);
bool AdmitsRemoval(int gameState);

// The points of an event whose value is -1: trunk (EBP_Point) for extra 2, head (EHP_Point) for extra 3;
// an addition then follows the side's pending device hit (trunk before head); anything else is worth 0.
int AddedValue(const MatchData& md, int value, int extra, bool trunkPending, bool headPending);
int RemovedValue(const MatchData& md, int value, int extra);

// Kinds 16 and 17 are hits, and 18 too: they count hits instead of points.
bool IsHit(int kind);
// The slot of TTK_SideScore::nPssHits that counts the current round's hits: the round itself under the
// round-win system, entry 0 in the golden round otherwise; -1 when no counter counts the round.
int HitCounterSlot(const MatchData& md);

// What a point raises in the tallies of its round; RemovalTallies what a removal lowers.
Tallies AddedTallies(const MatchData& md, int source, int kind, int value, int extra, bool trunkPending,
                     bool headPending);
Tallies RemovalTallies(const MatchData& md, int kind, int value, int extra);

// The scores shown, Chung's first, by the rules of the round being played.
std::pair<int, int> DisplayedScores(const MatchData& md);
// A side's match total: own points plus the opponent's gam-jeom points.
int MatchTotal(const MatchData& md, int side);
// A side's total of the current round: own points plus the points the opponent's gam-jeoms gave. In the
// golden round it is the side's golden total.
int RoundTotal(const MatchData& md, int side);
// A side's gam-jeoms (single and double) of the current round.
int RoundGamJeoms(const MatchData& md, int side);

// The WT score code of a point: 1 punch, 2 trunk, 3 head, 4 trunk technique, 5 head technique; 0 none.
int DeviceWtCode(const MatchData& md, int kind, int value, bool trunkPending, bool headPending);

// What an operator point does to the judge-slot queue and which WT score code it sends.
struct OperatorMarks {
    int queueKind = -1;   // kind that enters the slot queue (-1 none)
    int queueExtra = 0;   // its extra
    int currentMarks = 0; // value every judge mark of the current slot takes (0 none)
    int scoredSlot = 0;   // MarkSlotScored kind: 2 last trunk, 5 last head technique slot (0 none)
    int wtCode = 0;       // 0 none
};
OperatorMarks OperatorPointMarks(const MatchData& md, int kind, int extra);

// The word of a kind in colon and pipe records: "Punch", "Body", "Head", "Tech Point", else its letter.
std::u16string_view ColonKindWord(int kind);
// The point code of a kind in bracket records: 0 punch, 4 trunk, 5 head, 3 technical, 6 other.
int BracketPointCode(int kind);
// WT JSON actions of an operator video-replay (12) or technical (11) point, in order; nothing when the
// point takes its action kind from the ordinary table (JsonPointActionKind). `handled` tells which.
std::vector<int> JsonOperatorActions(const MatchData& md, int side, int kind, int extra, bool& handled);
// WT JSON action that withdraws a point of the kind (the INVALIDATE_SCORE family).
int JsonRemovalAction(int side, int kind, int extra);

// The event code and the history class of the match-log workbook for a point kind (0..21); removal 0/1,
// source as above; the code is `fallback` for kinds the log has no line for.
int HistoryLogCode(int removal, int source, int fallback, int kind);
int HistoryMarkKind(const MatchData& md, int kind, int removal, int source);

// Points of an event as the event log keeps them: the gam-jeom points for a gam-jeom (twice for a
// double), negative for a removal.
int LoggedPoints(const MatchData& md, int kind, int points, int removal);

// Ending checks. Each reports the winner (0 Chung, 1 Hong) or -1. A gap or ceiling of 0 or less is
// switched off whatever the Use flag says, so a missing setting never ends a match.
int PointGapWinner(const MatchData& md);
int PointCeilingWinner(const MatchData& md);
// The first round in which the point gap ends a match without the round-win system.
int FirstPointGapRound(const MatchData& md);
// Points a side needs in the golden round: Team_GRnd_GPoint in team matches, else 2.
int GoldenPointTarget(const MatchData& md);

// The technical-point prompt of a side's add (removal false) or remove button.
std::u16string TechnicalPromptText(const MatchData& md, int side, bool removal);
// The points of a technical point by the prompt's answer: extra 2 (Yes, trunk) or 3 (No, head).
int TechnicalPointValue(const MatchData& md, int extra);
// Whether the side has a technique of the prompt's answer in the current round to remove.
bool HasTechnicalPoint(const MatchData& md, int side, int extra);

// The equipment-test tile of a protector hit: Hong trunk 0, head 1, punch 23; Chung trunk 2, head 3,
// punch 24; any other kind 0.
int TestTileOfHit(int side, int kind);

} // namespace ScoreRules
