#include "screens/ScoreboardLayout.h"

#include "app/MatchData.h"

#include <array>

namespace Scoreboard {

namespace {

// One area: its place at 1280 x 720 and at 1920 x 1080, and where the one-judge round-win layout differs.
// A width of -1 in the small layout puts the area at 2/3 of its large place: the team-match areas and the
// round-win system's counts, which lie in the free band below the scores.
struct AreaRow {
    int id;
    QRect small, large;
    QRect roundWin = {};
};

constexpr int W1 = 1280;
constexpr int W2 = 1920;
const QRect kScaled(0, 0, -1, 0);

const AreaRow kAreas[] = {
    {Title, {290, 0, 780, 77}, {390, 0, 1140, 115}},
    {LevelPunch, {1064, 30, 44, 33}, {1597, 40, 65, 48}},
    {LevelHead, {1134, 30, 44, 33}, {1702, 40, 65, 48}},
    {LevelBody, {1204, 30, 44, 33}, {1807, 40, 65, 48}},
    {IndicatorRight, {W1 - 118, 491, 88, 88}, {W2 - 182, 762, 130, 130}, {W2 - 152, 1178, 130, 130}},
    {IndicatorLeft, {39, 491, 88, 88}, {58, 762, 130, 130}, {-148, 1178, 130, 130}},
    {FlagLeft, {6, 89, 150, 100}, {14, 130, 222, 148}},
    {FlagRight, {1124, 89, 150, 150}, {1684, 130, 222, 222}},
    {FlagFrameLeft, {5, 88, 152, 102}, {13, 129, 224, 150}},
    {FlagFrameRight, {1123, 88, 152, 102}, {1683, 129, 224, 150}},
    {NationLeft, {0, 185, 163, 60}, {0, 280, 239, 90}, {0, 295, 239, 90}},
    {NationRight, {1117, 185, 163, 60}, {1681, 280, 239, 90}, {1681, 295, 239, 90}},
    {NameLeft, {170, 77, 455, 122}, {240, 118, 720, 178}},
    {NameRight, {653, 77, 455, 122}, {960, 118, 720, 178}},
    {RoundCaption, {493, 563, 294, 58}, {739, 845, 442, 90}},
    {RoundNumber, {615, 633, 50, 70}, {912, 945, 96, 120}},
    {MatchCaption, {493, 198, 294, 58}, {739, 295, 442, 90}},
    {ContestNo, {493, 256, 294, 58}, {739, 385, 442, 90}},
    {ReplayCardLeft, {284, 527, 59, 51}, {430, 805, 89, 78}, {430, 321, 89, 78}},
    {ReplayCardRight, {918, 527, 59, 51}, {1363, 805, 89, 78}, {1363, 321, 89, 78}},
    {ScoreLeft, {165, 219, 330, 400}, {240, 370, 485, 560}},
    {ScoreRight, {787, 219, 330, 400}, {1180, 370, 485, 560}},
    {PenaltyLeft, {25, 630, 105, 70}, {37, 940, 150, 120}, {25, 950, 150, 120}},
    {PenaltyRight, {1150, 630, 105, 70}, {1723, 940, 150, 120}, {1752, 950, 150, 120}},
    {PenaltyCaptionLeft, {15, 510, 125, 75}, {22, 770, 170, 120}, {10, 780, 170, 120}},
    {PenaltyCaptionRight, {1140, 510, 125, 75}, {1708, 770, 170, 120}, {1737, 780, 170, 120}},
    {RoundWinsCounterLeft, {165, 401, 325, 195}, {245, 590, 485, 300}, {181, 570, 554, 350}},
    {RoundWinsCounterRight, {787, 401, 330, 195}, {1185, 590, 485, 300}, {1178, 570, 553, 350}},
    {Clock, {493, 330, 294, 170}, {741, 508, 430, 208}, {745, 512, 422, 190}},
    {Notice, {493, 198, 294, 132}, {735, 289, 442, 213}},
    {TimeOut, {493, 500, 294, 67}, {735, 722, 442, 100}},
    {Doctor, {423, 330, 434, 170}, {244, 107, 1430, 182}},
    {HitCountLeft, kScaled, {525, 950, 150, 120}, {605, 750, 150, 120}},
    {HitCountRight, kScaled, {1236, 950, 150, 120}, {1166, 750, 150, 120}},
    {RoundsWonLeft, kScaled, {291, 950, 150, 120}, {741, 930, 150, 120}},
    {RoundsWonRight, kScaled, {1481, 950, 150, 120}, {1031, 930, 150, 120}},
    // The tags stand between the video-replay cards and the centre panel, and on the one-judge board
    // between the team penalties and the hit counts.
    {TagLeft, kScaled, {596, 780, 130, 100}, {400, 760, 190, 120}},
    {TagRight, kScaled, {1194, 780, 130, 100}, {1330, 760, 190, 120}},
    {TeamPenaltyLeft, kScaled, {245, 780, 150, 100}, {245, 760, 140, 120}},
    {TeamPenaltyRight,
     {1030, 520, 100, 66},
     {1532, 780, 150, 100},
     {1532, 760, 140, 120}}, // clear of the 1280 card
    {HitBoxLeftOuter, {240, 623, 50, 68}, {360, 935, 75, 102}},
    {HitBoxLeftInner, {337, 623, 50, 68}, {505, 935, 75, 102}},
    {HitBoxRightOuter, {W1 - 290, 623, 50, 68}, {W2 - 435, 935, 75, 102}},
    {HitBoxRightInner, {W1 - 387, 623, 50, 68}, {W2 - 580, 935, 75, 102}},
};

QRect TwoThirds(const QRect& r) {
    return QRect(r.x() * 2 / 3, r.y() * 2 / 3, r.width() * 2 / 3, r.height() * 2 / 3);
}

} // namespace

Layout LayoutOf(const MatchData& md) {
    if (md.nDisplayResolution == 1)
        return Layout::Small;
    if (md.nCompetitionRule == 1 && md.nJudgeNumber == 1)
        return Layout::RoundWinOneJudge;
    return Layout::Large;
}

QSize SizeOf(Layout layout) {
    return layout == Layout::Small ? QSize(1280, 720) : QSize(1920, 1080);
}

QRect AreaRect(Layout layout, int id) {
    for (const AreaRow& row : kAreas) {
        if (row.id != id)
            continue;
        if (layout == Layout::Small)
            return row.small.width() == -1 ? TwoThirds(row.large) : row.small;
        if (layout == Layout::RoundWinOneJudge && !row.roundWin.isNull())
            return row.roundWin;
        return row.large;
    }
    return {};
}

QRect ReplayCardPictureRect(Layout layout, bool right) {
    if (layout == Layout::Small)
        return QRect(right ? 924 : 290, 515, 100, 74);
    return QRect(right ? 1373 : 440, layout == Layout::RoundWinOneJudge ? 303 : 787, 150, 110);
}

namespace {

struct RoundRows {
    int x[4]; // label left, score left, label right, score right
    QSize label, score;
    int yLeft[3], yRight[3];
};

RoundRows RoundRowsOf(Layout layout) {
    switch (layout) {
    case Layout::Small:
        return {{180, 280, 800, 900}, {100, 65}, {100, 65}, {200, 267, 334}, {200, 267, 334}};
    case Layout::Large:
        return {{270, 425, 1205, 1360}, {150, 90}, {150, 90}, {300, 392, 484}, {298, 390, 482}};
    case Layout::RoundWinOneJudge:
        break;
    }
    return {{181, 437, 1178, 1433}, {260, 93}, {298, 93}, {291, 384, 477}, {291, 384, 477}};
}

bool ValidRow(int row) {
    return row >= 0 && row < 3;
}

} // namespace

QRect RoundLabelRect(Layout layout, int row, bool right) {
    if (!ValidRow(row))
        return {};
    const RoundRows r = RoundRowsOf(layout);
    return QRect(QPoint(r.x[right ? 2 : 0], right ? r.yRight[row] : r.yLeft[row]), r.label);
}

QRect RoundScoreRect(Layout layout, int row, bool right) {
    if (!ValidRow(row))
        return {};
    const RoundRows r = RoundRowsOf(layout);
    return QRect(QPoint(r.x[right ? 3 : 1], right ? r.yRight[row] : r.yLeft[row]), r.score);
}

QRect RoundWinnerMarkRect(Layout layout, int row, bool right) {
    if (!ValidRow(row))
        return {};
    switch (layout) {
    case Layout::Small:
        return QRect(right ? 1040 : 420, 200 + 67 * row, 65, 65);
    case Layout::Large:
        return QRect(right ? 1590 : 655, (right ? 308 : 310) + 92 * row, 80, 80);
    case Layout::RoundWinOneJudge:
        break;
    }
    return QRect(right ? 1650 : 655, 290 + 92 * row, 80, 80);
}

QRect RoundWinMarkRect(Layout layout, int mark, bool right) {
    if (mark < 0 || mark > 1)
        return {};
    if (layout == Layout::Small)
        return QRect(right ? 737 : 500, mark == 0 ? 613 : 663, 47, 47);
    return QRect(right ? 1105 : 750, mark == 0 ? 920 : 995, 70, 70);
}

TileGeometry Tiles(Layout layout) {
    switch (layout) {
    case Layout::Small:
        return {27, 5, 17, 235};
    case Layout::Large:
        return {41, 8, 26, 370};
    case Layout::RoundWinOneJudge:
        break;
    }
    return {76, 20, -180, 410};
}

QRect JudgeTileRect(Layout layout, int judge, int row, bool right) {
    if (judge < 0 || judge > 2 || row < 0 || row >= kQueueSlots)
        return {};
    const TileGeometry t = Tiles(layout);
    const int width = SizeOf(layout).width();
    const int step = t.size + t.gap;
    const int x = right ? width - t.x0 - t.size - (2 - judge) * step : t.x0 + (2 - judge) * step;
    return QRect(x, t.y0 + row * step, t.size, t.size);
}

QRect SlotTileRect(Layout layout, int row, bool right) {
    if (row < 0 || row >= kQueueSlots)
        return {};
    const TileGeometry t = Tiles(layout);
    const int width = SizeOf(layout).width();
    const int x = right ? width - t.x0 - 4 * t.size - 3 * t.gap : t.x0 + 3 * (t.size + t.gap);
    return QRect(x, t.y0 + row * (t.size + t.gap), t.size, t.size);
}

QRect JudgeHeaderRect(Layout layout, int judge, bool right) {
    if (judge < 0 || judge > 2)
        return {};
    const int width = SizeOf(layout).width();
    // Column k of the headers stands over judge 2 - k (judge 1 innermost). The small layout has the
    // headers of its own tiles: the large layout's header row would stand over the names.
    const int column = 2 - judge;
    switch (layout) {
    case Layout::Small: {
        const TileGeometry t = Tiles(layout);
        const QRect tile = JudgeTileRect(layout, judge, 0, right);
        return QRect(tile.x(), t.y0 - t.size - t.gap, t.size, t.size);
    }
    case Layout::Large: {
        static constexpr std::array<int, 3> left{26, 75, 124};
        static constexpr std::array<int, 3> fromRight{165, 116, 67};
        return QRect(right ? width - fromRight[column] : left[column], 321, 41, 41);
    }
    case Layout::RoundWinOneJudge:
        break;
    }
    static constexpr std::array<int, 3> left{-180, -84, 12};
    static constexpr std::array<int, 3> fromRight{88, -8, -104};
    return QRect(right ? width - fromRight[column] : left[column], 314, 76, 76);
}

ClockMode ClockModeFor(Layout layout, int gameState) {
    const bool small = layout == Layout::Small;
    ClockMode mode{};
    const QRect stoppedClock = small ? QRect(493, 330, 294, 170) : QRect(745, 512, 422, 190);
    switch (gameState) {
    case 6:
    case 14:
        mode.clock = small ? QRect(493, 397, 294, 170) : QRect(735, 602, 442, 220);
        mode.fixedColours = true;
        mode.clockText = gameState == 6 ? kWhite : kBlack;
        mode.clockBack = gameState == 6 ? kBlack : kYellow;
        mode.timeOutShown = true;
        mode.timeOut = small ? QRect(493, 330, 294, 67) : QRect(735, 502, 442, 100);
        mode.timeOutText = kWhite;
        mode.timeOutBack = kBlack;
        mode.tagsShown = 0;
        mode.roundWinPanel = 1;
        return mode;
    case 8:
        mode.clock = stoppedClock;
        mode.fixedColours = true;
        mode.clockText = kYellow;
        mode.clockBack = kBlack;
        mode.timeOutShown = true;
        mode.timeOut = small ? QRect(493, 500, 294, 67) : QRect(735, 722, 442, 100);
        mode.timeOutText = kBlack;
        mode.timeOutBack = kYellow;
        mode.tagsShown = -1;
        mode.roundWinPanel = 0;
        return mode;
    case 15:
        mode.clock = stoppedClock;
        mode.fixedColours = true;
        mode.clockText = kYellow;
        mode.clockBack = kBlack;
        mode.noticeShown = true;
        mode.tagsShown = -1;
        mode.roundWinPanel = -1;
        return mode;
    default:
        mode.clock = small ? QRect(493, 330, 294, 170) : QRect(744, 511, 424, 205);
        mode.fixedColours = false;
        mode.tagsShown = 1;
        mode.roundWinPanel = 0;
        return mode;
    }
}

} // namespace Scoreboard
