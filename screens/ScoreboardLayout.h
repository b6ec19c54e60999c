// Where every area of the public scoreboard sits, per layout, in client pixels. The scoreboard is laid out
// for exactly two sizes, 1280 x 720 and 1920 x 1080, plus a variant of the 1920 layout for the round-win
// system with one judge. Areas are named by the ids the scoreboard gives them. Pure; any thread.
#pragma once

#include <QRect>
#include <QSize>

#include "platform/WinTypes.h"

struct MatchData;

namespace Scoreboard {

// The board's colours (COLORREF).
inline constexpr COLORREF kWhite = 0xFFFFFF;
inline constexpr COLORREF kBlack = 0x000000;
inline constexpr COLORREF kYellow = 0x00FFFF;
inline constexpr COLORREF kNearBlack = 0x000001; // the clock's background

enum class Layout {
    Small,            // 1280 x 720
    Large,            // 1920 x 1080
    RoundWinOneJudge, // 1920 x 1080, round-win system with one judge
};

// Area ids. Pairs are (drawn left, drawn right) unless named otherwise.
enum Area : int {
    Title = 1003,
    ContestNo = 1004,
    FlagLeft = 1006,
    FlagRight = 1007,
    NameLeft = 1008,
    NameRight = 1009,
    NationLeft = 1012,
    NationRight = 1013,
    ReplayCardLeft = 1016,
    ReplayCardRight = 1017,
    MatchCaption = 1018,
    RoundNumber = 1019,
    FlagFrameRight = 1021,
    ScoreLeft = 1022,
    ScoreRight = 1023,
    RoundWinsCounterLeft = 1024,
    RoundWinsCounterRight = 1025,
    PenaltyLeft = 1030,
    PenaltyCaptionLeft = 1038,
    PenaltyRight = 1098,
    LevelHead = 1099,
    LevelBody = 1100,
    PenaltyCaptionRight = 1101,
    LevelPunch = 1102,
    HitBoxLeftOuter = 1103,
    HitBoxLeftInner = 1104,
    HitBoxRightInner = 1105,
    HitBoxRightOuter = 1106,
    IndicatorRight = 1107,
    IndicatorLeft = 1108,
    FlagFrameLeft = 1109,
    RoundCaption = 1116,
    Clock = 1234,
    Notice = 1239,
    Doctor = 1240,
    TimeOut = 1241,
    HitCountLeft = 1466,
    HitCountRight = 1467,
    TagLeft = 1468,
    RoundsWonLeft = 1469,
    RoundsWonRight = 1470,
    TagRight = 1472,
    TeamPenaltyLeft = 1473,
    TeamPenaltyRight = 1474,
};

// The layout of the record: nDisplayResolution 1 is the small one; otherwise the one-judge round-win
// variant when nCompetitionRule is 1 and nJudgeNumber is 1.
Layout LayoutOf(const MatchData& md);
QSize SizeOf(Layout layout);

// The rectangle of an area; an empty rectangle for an id the layout does not have.
QRect AreaRect(Layout layout, int id);

// The video-replay card's picture on the side drawn left or right; its caption is the area ReplayCard*.
QRect ReplayCardPictureRect(Layout layout, bool right);

// The round rows: row 0..2, left or right side, label or score.
QRect RoundLabelRect(Layout layout, int row, bool right);
QRect RoundScoreRect(Layout layout, int row, bool right);
// The round-winner mark of a round row (0..2) on a side.
QRect RoundWinnerMarkRect(Layout layout, int row, bool right);
// The two round-win marks of a side (mark 0 or 1).
QRect RoundWinMarkRect(Layout layout, int mark, bool right);

// The judge columns and the slot-state column: tile size, gap and the first tile's corner.
struct TileGeometry {
    int size, gap, x0, y0;
};
TileGeometry Tiles(Layout layout);
// The tile of judge 0..2 (judge 1 innermost) on row 0..7 of the side drawn left or right; empty out of range.
QRect JudgeTileRect(Layout layout, int judge, int row, bool right);
// The slot-state tile of row 0..7 beside the judge columns; empty out of range.
QRect SlotTileRect(Layout layout, int row, bool right);
// The header above judge column 0..2 of a side; empty out of range.
QRect JudgeHeaderRect(Layout layout, int judge, bool right);

// What the clock, the notice and "Time out" look like in one game state.
struct ClockMode {
    QRect clock;
    bool fixedColours; // false: the clock-colour rule on the clock text decides
    COLORREF clockText, clockBack;
    bool timeOutShown;
    QRect timeOut;
    COLORREF timeOutText, timeOutBack;
    bool noticeShown;
    int tagsShown;     // the team tag texts: 1 shown, 0 hidden, -1 left as they are
    int roundWinPanel; // round-win system only: 1 shown, 0 hidden, -1 left as it is
};
ClockMode ClockModeFor(Layout layout, int gameState);

} // namespace Scoreboard
