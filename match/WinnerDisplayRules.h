// What the winner displays show and where: the layout of the full-screen winner display (public monitor
// at 1280 x 720 or 1920 x 1080, and the operator's copy), the winner's name line with its colours, the
// flag file, the scores, and the picture of the reason banner. Pure functions; any thread.
#pragma once

#include <QColor>
#include <QRect>
#include <QString>

struct MatchData;

namespace WinnerDisplayRules {

// Which display: the public one by its resolution, or the operator's copy.
enum class Screen { Public1280, Public1920, Operator };
Screen PublicScreen(const MatchData& md); // by nDisplayResolution (1: 1280 x 720)

// Control rectangles (x, y, width, height) inside the display.
struct Layout {
    QRect title;      // "MATCH ... RESULT"
    QRect chungScore; // Chung's final score: the side's name on its colour above, the number below
    QRect hongScore;
    QRect chungHeader; // the upper part of the score areas
    QRect hongHeader;
    QRect chungValue; // the rest of them
    QRect hongValue;
    QRect scoreCaption; // what the scores count, left of Chung's
    QRect name;         // the winner's name and nation code
    QRect flag;         // the flag picture
    QRect flagFrame;    // one pixel around the picture
    QSize background;   // where the background picture is drawn
    int titleFont;      // character heights of the display face
    int nameFont;       // also the scores'
    int labelFont;      // the side names and the caption
};
// chungHasNation: Chung's nation row is not 0 (the name then leaves room for the flag).
Layout LayoutFor(Screen screen, bool chungHasNation);

// The operator's copy: 1024 x 574, centred on the primary monitor and 90 pixels higher.
QRect OperatorRect(int primaryWidth, int primaryHeight);

// The name line of winner w (0 Chung, 1 Hong, 3 draw): "NAME (CODE)" with the name cut to its first 16
// characters, or "DRAW".
QString NameText(const MatchData& md, int winSide);
// Its colours: white on the scoreboard's blue for Chung and red for Hong, black on yellow for a draw.
struct Colours {
    QColor text;
    QColor background;
};
Colours NameColours(int winSide);
// Whether the flag is shown: not for a draw, nor when Chung has no nation.
bool ShowsFlag(const MatchData& md, int winSide);
// The flag file of the winner: Img/Flag/ under the program folder and the nation row's fourth field; empty
// when the nation row is outside the table.
QString FlagPath(const MatchData& md, const QString& programFolder, int winSide);
// The title, "MATCH <contest> RESULT".
QString TitleText(const MatchData& md);
// The two scores shown, Chung's first: rounds won under the round-win system, else the match totals.
std::pair<int, int> Scores(const MatchData& md);
// What they count: "ROUNDS WON" or "FINAL SCORE".
QString ScoreCaption(const MatchData& md);

// The reason banner: the picture id for the reason (1 point gap, 2 golden point, 7 gam-jeom limit, 20, 30,
// 40 and any other reason as its own picture id), the public resolution, the round-win system and the
// winner index (0 Chung, 1 Hong); and the size it is drawn at (each of those pictures has that size).
int BannerImageId(int reason, bool resolution1280, bool roundWins, int winner);
QSize BannerSize(bool resolution1280, bool roundWins);
// The banner's winner index: winner - 1 (not below 0) under the round-win system, else nWinSide.
int BannerWinner(const MatchData& md, int winner);

} // namespace WinnerDisplayRules
