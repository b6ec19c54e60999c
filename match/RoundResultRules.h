// What the round result dialog shows and decides: the counters of one round side by side and the cascade
// that settles its winner. Pure functions over the match record; any thread, on a record no other thread
// writes meanwhile.
#pragma once

#include <QString>

struct MatchData;

namespace RoundResultRules {

// Round winners as the dialog and UM_ROUND_WINNER_DECIDED carry them.
enum Winner { kUndecided = 0, kChung = 1, kHong = 2, kDraw = 3 };
// Reasons: points, the gam-jeom limit, superiority, and "let the cascade decide" / "still undecided".
enum Reason { kPoints = 0, kGamJeomLimit = 1, kSuperiority = 4, kDecideNow = 11 };
// Criteria of the superiority steps, as UM_SHOW_ROUND_WINNER carries them.
enum Criterion {
    kTurning = 1,
    kHeadCount = 2,
    kTrunkCount = 3,
    kPunchCount = 4,
    kFewerGamJeoms = 5,
    kPssHits = 6,
    kTeamRow = 7,
};

// One side's counters of a round.
struct SideCounts {
    int total = 0;    // round total: own points and the opponent's gam-jeom points
    int gamJeoms = 0; // own gam-jeoms (single and double) of the round
    int opponentGamJeoms = 0;
    int head = 0;  // head techniques without the head technical points
    int trunk = 0; // trunk techniques without the trunk technical points
    int punch = 0;
    int turning = 0; // turning and spinning techniques
    int pssHits = 0; // hits the protectors registered
    int team = 0;    // the team row; 0 outside team matches
};

struct Counts {
    SideCounts side[2]; // Chung, Hong
};

// The counters of round index r (0-based); every counter reads 0 for an index outside the record.
Counts RoundCounts(const MatchData& md, int roundIndex);

// The cascade's verdict.
struct Outcome {
    int winner = kUndecided; // kChung, kHong or kDraw
    int reason = kDecideNow;
    // Whether the round-winner pop-up is asked for, with its winner index (winner - 1, 2 for a draw) and
    // criterion; the gam-jeom limit and the points ask for none.
    bool showPopup = false;
    int popupWinner = 0;
    int criterion = 0;
};

// The first rule that separates the sides decides: Chung at the gam-jeom limit loses, then Hong at it;
// then the higher round total; then superiority by the team row, turning kicks, head, trunk and punch
// counts, the fewer gam-jeoms and the protector hits; all equal is a draw. A limit of 0 or less is off.
Outcome Decide(const Counts& counts, int gamJeomLimit);

// "WINNER : BLUE", "WINNER : RED" or "DRAW".
QString WinnerText(int winner);
// The dialog's title: "%d Round Results" of the 1-based round.
QString TitleText(int roundIndex);

} // namespace RoundResultRules
