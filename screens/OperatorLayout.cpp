#include "screens/OperatorLayout.h"

using namespace OperatorIds;

namespace {

constexpr ControlKind A = ControlKind::Area;
constexpr ControlKind S = ControlKind::Static;
constexpr ControlKind C = ControlKind::ChungStatic;
constexpr ControlKind H = ControlKind::HongStatic;
constexpr ControlKind P = ControlKind::PanelStatic;
constexpr ControlKind B = ControlKind::Button;
constexpr ControlKind T = ControlKind::CheckButton;

// The round breakdown table below the score-correction buttons: a column per round, then the totals.
constexpr int kBreakX = 400, kBreakPitch = 60, kBreakW = 56, kBreakH = 22;
constexpr QRect BreakCell(int column, int row) {
    return {kBreakX + kBreakPitch * column, 590 + 28 * row, kBreakW, kBreakH};
}

const ControlPlace kControls[] = {
    // header: title, contest number, round number and the hit-level thresholds are painted by the view
    {MatchTitle, A, {260, 8, 640, 36}, "", true},
    {ContestNo, A, {260, 46, 200, 30}, "", true},
    {RoundNumber, A, {600, 46, 80, 36}, "", true},
    {LevelPunch, A, {1122, 12, 40, 48}, "", true},
    {LevelBody, A, {1170, 12, 40, 48}, "", true},
    {LevelHead, A, {1218, 12, 40, 48}, "", true},
    {ReplayCountChung, A, {460, 345, 60, 50}, "", true},
    {ReplayCountHong, A, {750, 345, 60, 50}, "", true},
    // judge-input lamps
    {LampChung, C, {15, 3, 8, 8}, "", false},
    {LampHong, H, {41, 3, 8, 8}, "", false},
    // players
    {FlagChung, S, {16, 72, 90, 60}, "", false},
    {FlagHong, S, {1171, 72, 90, 60}, "", false},
    {NationChung, C, {6, 135, 110, 36}, "", true},
    {NationHong, H, {1161, 135, 110, 36}, "", true},
    {NameChung, C, {121, 85, 510, 63}, "", true},
    {NameHong, H, {643, 85, 510, 63}, "", true},
    // round rows: label, value and winner mark per side; shown with the round table
    {RoundLabelChung[0], C, {230, 168, 60, 35}, "R1", false},
    {RoundLabelChung[1], C, {230, 206, 60, 35}, "R2", false},
    {RoundLabelChung[2], C, {230, 244, 60, 35}, "R3", false},
    {RoundLabelHong[0], H, {840, 168, 60, 35}, "R1", false},
    {RoundLabelHong[1], H, {840, 206, 60, 35}, "R2", false},
    {RoundLabelHong[2], H, {840, 244, 60, 35}, "R3", false},
    {RoundCellChung[0], C, {295, 168, 60, 35}, "", false},
    {RoundCellChung[1], C, {295, 206, 60, 35}, "", false},
    {RoundCellChung[2], C, {295, 244, 60, 35}, "", false},
    {RoundCellHong[0], H, {905, 168, 60, 35}, "", false},
    {RoundCellHong[1], H, {905, 206, 60, 35}, "", false},
    {RoundCellHong[2], H, {905, 244, 60, 35}, "", false},
    {RoundWinnerChung[0], C, {370, 168, 35, 35}, "W", false},
    {RoundWinnerChung[1], C, {370, 206, 35, 35}, "W", false},
    {RoundWinnerChung[2], C, {370, 244, 35, 35}, "W", false},
    {RoundWinnerHong[0], H, {980, 168, 35, 35}, "W", false},
    {RoundWinnerHong[1], H, {980, 206, 35, 35}, "W", false},
    {RoundWinnerHong[2], H, {980, 244, 35, 35}, "W", false},
    // scores, round-win counters and marks, the round leader
    {ScoreChung, C, {223, 222, 228, 112}, " 0", true},
    {ScoreHong, H, {833, 222, 228, 112}, " 0", true},
    {RoundWinsChung, C, {225, 292, 228, 112}, "0", false},
    {RoundWinsHong, H, {825, 292, 228, 112}, "0", false},
    {RoundWonChung[0], C, {555, 450, 47, 47}, "W", false},
    {RoundWonChung[1], C, {555, 497, 47, 47}, "W", false},
    {RoundWonHong[0], H, {680, 450, 47, 47}, "W", false},
    {RoundWonHong[1], H, {680, 497, 47, 47}, "W", false},
    {RoundWinIndicatorChung, P, {263, 410, 45, 21}, "WIN", false},
    {RoundWinIndicatorHong, P, {997, 410, 45, 21}, "WIN", false},
    {LeaderChung, P, {223, 336, 228, 8}, "", false},
    {LeaderHong, P, {833, 336, 228, 8}, "", false},
    // centre column: clock, "Time out", the second panel
    {Clock, P, {546, 272, 187, 90}, "", true},
    {TimeoutPanel, P, {546, 272, 187, 50}, "Time out", false},
    {SecondPanel, P, {546, 164, 187, 108}, "", false},
    // hit counts (round-win system and rounds past the regular ones)
    {HitCountLabelChung, S, {456, 222, 86, 24}, "Hit Count", false},
    {HitCountChung, S, {456, 246, 86, 40}, "0", false},
    {HitCountLabelHong, S, {738, 222, 90, 24}, "Hit Count", false},
    {HitCountHong, S, {738, 246, 90, 40}, "0", false},
    // gam-jeom counts; the match totals are shown beside them in the golden round
    {PenaltyChung, C, {20, 420, 90, 60}, "0", true},
    {PenaltyTotalChung, C, {115, 420, 60, 60}, "0", false},
    {PenaltyHong, H, {1170, 420, 90, 60}, "0", true},
    {PenaltyTotalHong, H, {1105, 420, 60, 60}, "0", false},
    // team tags
    {TagTextChung, C, {121, 150, 100, 30}, "TAG", false},
    {TagTextHong, H, {1053, 150, 100, 30}, "TAG", false},
    // buttons of the screen whose captions are set here
    {ReplayRejectChung, B, {460, 440, 80, 30}, "C. Reject", true},
    {ReplayRejectHong, B, {740, 440, 80, 30}, "H. Reject", true},
    {CoachTimeout, B, {600, 440, 80, 40}, "Time out\nBy Coach", false},
    {Draw, B, {600, 600, 80, 30}, "DRAW", false}, // shown when a team match ends level
    {RoundResult, B, {560, 650, 160, 30}, "Round Result", false},
    {ShowScoreboard, T, {1130, 600, 140, 30}, "Scoreboard", true},
    {ReverseScreen, T, {1130, 635, 140, 30}, "Reverse", true},
    // the round breakdown table
    {BreakScoreChung[0], S, BreakCell(0, 0), "0", true},
    {BreakScoreChung[1], S, BreakCell(1, 0), "0", true},
    {BreakScoreChung[2], S, BreakCell(2, 0), "0", true},
    {BreakScoreChung[3], S, BreakCell(3, 0), "0", true},
    {BreakSumChung, S, BreakCell(4, 0), "0", true},
    {BreakGrandChung, S, BreakCell(5, 0), "0", true},
    {BreakQuotaChung, S, BreakCell(6, 0), "0", true},
    {BreakPenaltyChung[0], S, BreakCell(0, 1), "0", true},
    {BreakPenaltyChung[1], S, BreakCell(1, 1), "0", true},
    {BreakPenaltyChung[2], S, BreakCell(2, 1), "0", true},
    {BreakPenaltyChung[3], S, BreakCell(3, 1), "0", true},
    {BreakPenaltySumChung, S, BreakCell(4, 1), "0", true},
    {BreakScoreHong[0], S, BreakCell(0, 2), "0", true},
    {BreakScoreHong[1], S, BreakCell(1, 2), "0", true},
    {BreakScoreHong[2], S, BreakCell(2, 2), "0", true},
    {BreakScoreHong[3], S, BreakCell(3, 2), "0", true},
    {BreakSumHong, S, BreakCell(4, 2), "0", true},
    {BreakGrandHong, S, BreakCell(5, 2), "0", true},
    {BreakQuotaHong, S, BreakCell(6, 2), "0", true},
    {BreakPenaltyHong[0], S, BreakCell(0, 3), "0", true},
    {BreakPenaltyHong[1], S, BreakCell(1, 3), "0", true},
    {BreakPenaltyHong[2], S, BreakCell(2, 3), "0", true},
    {BreakPenaltyHong[3], S, BreakCell(3, 3), "0", true},
    {BreakPenaltySumHong, S, BreakCell(4, 3), "0", true},
};

bool IdsAreUnique() {
    for (const auto& a : kControls)
        for (const auto& b : kControls)
            if (&a != &b && a.id == b.id)
                return false;
    return true;
}

constexpr int kJudgeX[2] = {10, 1186};
constexpr int kSlotStateX[2] = {88, 1160};

} // namespace

std::span<const ControlPlace> OperatorLayout::Controls() {
    static const bool unique = IdsAreUnique();
    Q_ASSERT_X(unique, "OperatorLayout", "two controls share an id");
    return kControls;
}

QRect OperatorLayout::Rect(int id) {
    for (const auto& control : Controls())
        if (control.id == id)
            return control.rect;
    return {};
}

QRect OperatorLayout::JudgePress(int side, int judge) {
    return {kJudgeX[side != 0] + 26 * judge, 168, 22, 22};
}

QRect OperatorLayout::JudgeSlot(int side, int judge, int row) {
    return {kJudgeX[side != 0] + 26 * judge, 200 + 26 * row, 22, 22};
}

QRect OperatorLayout::SlotState(int side, int row) {
    return {kSlotStateX[side != 0], 200 + 26 * row, 22, 22};
}

QRect OperatorLayout::LastHit(int side, int age) {
    static constexpr int x[2][2] = {{290, 353}, {953, 890}};
    return {x[side != 0][age != 0], 348, 38, 51};
}

QRect OperatorLayout::ReplayImage(int side) {
    return {side == 0 ? 460 : 750, 345, 60, 50};
}

QRect OperatorLayout::JudgeIcon(int judge) {
    return {84 + 54 * judge, 24, 48, 33};
}

QRect OperatorLayout::TrunkIcon(int side) {
    return {970 + 101 * (side != 0), 12, 40, 48};
}

QRect OperatorLayout::HeadIcon(int side) {
    return {922 + 101 * (side != 0), 12, 40, 48};
}
