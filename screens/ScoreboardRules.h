// The texts, colours and sizes of the public scoreboard that need no window: placement on the second
// monitor, the clock colours, the title line, the score sizes and the values each area shows. Pure
// functions of the match record; any thread, with the record not written meanwhile.
#pragma once

#include "app/TextConvert.h"
#include "platform/WinTypes.h"
#include "screens/ScoreboardLayout.h"

#include <QRect>
#include <QString>

struct MatchData;

namespace Scoreboard {

// A narrow text field of the record, read as UTF-8 up to its first zero byte.
template <std::size_t N> QString RecordText(const char (&field)[N]) {
    return QString::fromStdU16String(RecordTextWide(FieldText(field)));
}

// A window of `size` centred on `monitor`. A monitor smaller than the window keeps the window's top-left
// corner on the monitor, so the title and the scores stay in sight.
QRect CentreOnMonitor(const QRect& monitor, QSize size);
// The second monitor's rectangle as the record holds it: its measured corner when the frame stored one,
// else the monitor taken to lie right of the primary one, from the top.
QRect SecondMonitorRect(const MatchData& md);

// The side colour: 0 Chung (blue), 1 Hong (red); dark in the one-judge round-win mode.
COLORREF SideColour(int side, bool dark);
// Round-win system with one judge, at either resolution.
bool DarkSides(const MatchData& md);

// The flag file of a player (0 Chung, 1 Hong): Img/Flag/ under the program folder (szAppDirA) and the nation
// row's fourth field; empty without a nation row (0) or with one outside the table.
QString FlagPath(const MatchData& md, int player);

// The player (0 Chung, 1 Hong) drawn on the left or the right.
inline int PlayerAt(bool right, int reversed) {
    return (right ? 1 : 0) ^ (reversed ? 1 : 0);
}

struct TextColours {
    COLORREF text, back;
};
// The clock's colours for its text: with a "." the hundredths above 49 give yellow on near-black, else black
// on yellow; with a ":" more than 9 seconds give white on near-black, else black on yellow; any other text
// white on near-black.
TextColours ClockColours(const QString& text);

// The gender word of the title: empty when the OVR link of supplier 3 or 7 is connected, with supplier 8, or
// without a gender; "Mixed" / "Female" / "Male" in a team match, else "W" / "M".
QString GenderWord(const MatchData& md);
// The stage of an OVR phase number: 2 "Final", 4 "Semi-final", 8 "Quarter-final", 0 empty, else "Round of n".
QString StageName(int phase);
// The title line.
QString TitleLine(const MatchData& md);

// The score text of a side: "%d" while a match runs, empty before one or while the round table is shown
// under the round-win system.
QString ScoreText(const MatchData& md, int score);
// The outline size of the scores and how far a score moves from the top-centre of its area. A score of 100
// or more shrinks: the left one when it is, the right one when either is.
struct ScoreStyle {
    int size, dx, dy;
};
ScoreStyle ScoreStyleFor(Layout layout, int leftScore, int rightScore, bool right);

// A side's gam-jeoms as the penalty area counts them: in the golden round that round's, under the round-win
// system the current round's, else the match's.
int PenaltyCount(const MatchData& md, int side);
// A side's gam-jeoms over rounds 1 to 3, for the team-match penalty text.
int TeamPenaltyTotal(const MatchData& md, int side);
// The rounds-won text: empty before a match or outside the round-win system; with one judge a dot for a side
// that has won a round, else the count.
QString RoundsWonText(const MatchData& md, int side);
// The score of round row k (0-based) for a side: own points plus the opponent's penalty points of that
// round; empty for a round not begun yet.
QString RoundScoreText(const MatchData& md, int side, int row);
// The team tag text of a side: "TAG" when inactive or when its Team_Tag_Time seconds are over, else the
// seconds left. Only the round clock ends a tag; the board shows what it is told.
QString TagText(const MatchData& md, int active, int startMs);

} // namespace Scoreboard
