#include "screens/OperatorLayout.h"

#include <iterator>

using namespace OperatorIds;

namespace {

constexpr ControlKind A = ControlKind::Area;
constexpr ControlKind S = ControlKind::Static;
constexpr ControlKind C = ControlKind::ChungStatic;
constexpr ControlKind H = ControlKind::HongStatic;
constexpr ControlKind P = ControlKind::PanelStatic;
constexpr ControlKind T = ControlKind::TableStatic;
constexpr ControlKind K = ControlKind::CaptionStatic;
constexpr ControlKind M = ControlKind::Mark;
constexpr ControlKind B = ControlKind::Button;
constexpr ControlKind X = ControlKind::CheckButton;
constexpr ControlKind BB = ControlKind::BitmapButton;
constexpr ControlKind IB = ControlKind::IconButton;
constexpr ControlKind TB = ControlKind::ToggleButton;
constexpr ControlKind L = ControlKind::List;

// The score-correction tray: seven columns a side at a pitch of 88 px, add above remove. Hong's block
// starts 92 px left of the classic place so that its seventh column stays inside the 1280-wide screen.
constexpr int kCorrectionX[2] = {17, 661};
constexpr int kCorrectionPitch = 88;
constexpr int kCorrectionY[2] = {529, 492}; // remove, add

constexpr CorrectionButton kCorrections[] = {
    {1119, 0, 0, true, 913, "Chung: add a punch point"},
    {1142, 0, 0, false, 912, "Chung: remove a punch point"},
    {1120, 0, 1, true, 897, "Chung: add a trunk point"},
    {1143, 0, 1, false, 896, "Chung: remove a trunk point"},
    {1122, 0, 2, true, 905, "Chung: add a head point"},
    {1145, 0, 2, false, 904, "Chung: remove a head point"},
    {1124, 0, 3, true, 893, "Chung: add a hit"},
    {1146, 0, 3, false, 892, "Chung: remove a hit"},
    {1430, 0, 4, true, 909, "Chung: add a technical point"},
    {1144, 0, 4, false, 908, "Chung: remove a technical point"},
    {1125, 0, 5, true, 901, "Gam-jeom against Chung"},
    {1147, 0, 5, false, 900, "Take back a gam-jeom against Chung"},
    {1283, 0, 6, true, 1030, "Double gam-jeom against Chung"},
    {1293, 0, 6, false, 1031, "Take back a double gam-jeom against Chung"},
    {1128, 1, 0, true, 915, "Hong: add a punch point"},
    {1148, 1, 0, false, 914, "Hong: remove a punch point"},
    {1129, 1, 1, true, 899, "Hong: add a trunk point"},
    {1277, 1, 1, false, 898, "Hong: remove a trunk point"},
    {1131, 1, 2, true, 907, "Hong: add a head point"},
    {1280, 1, 2, false, 906, "Hong: remove a head point"},
    {1133, 1, 3, true, 895, "Hong: add a hit"},
    {1281, 1, 3, false, 894, "Hong: remove a hit"},
    {1431, 1, 4, true, 911, "Hong: add a technical point"},
    {1279, 1, 4, false, 910, "Hong: remove a technical point"},
    {1134, 1, 5, true, 903, "Gam-jeom against Hong"},
    {1282, 1, 5, false, 902, "Take back a gam-jeom against Hong"},
    {1294, 1, 6, true, 1028, "Double gam-jeom against Hong"},
    {1295, 1, 6, false, 1029, "Take back a double gam-jeom against Hong"},
};

constexpr QRect Correction(int side, int column, bool add) {
    return {kCorrectionX[side] + kCorrectionPitch * column, kCorrectionY[add ? 1 : 0], 74, 37};
}

// The round breakdown table between the event lists: a caption column, then R1..R4, the sum, the total
// with the opponent's gam-jeom points, and the video-replay requests left.
constexpr int kBreakX = 548, kBreakPitch = 31, kBreakW = 29, kBreakH = 20;
constexpr QRect BreakCell(int column, int row) {
    return {kBreakX + kBreakPitch * column, 602 + 22 * row, kBreakW, kBreakH};
}

// The toolbar under the event lists.
constexpr QRect Tool(int x, int width = 40) {
    return {x, 689, width, 30};
}

#define CORRECTION(i)                                                                                        \
    {                                                                                                        \
        kCorrections[i].id, BB,                                                                              \
            Correction(kCorrections[i].side, kCorrections[i].column, kCorrections[i].add), "", true,         \
            kCorrections[i].bitmap, 0, kCorrections[i].tip                                                   \
    }

const ControlPlace kControls[] = {
    // header: title, contest number, round number and the hit-level thresholds are painted by the view
    {MatchTitle, A, {250, 4, 560, 34}, "", true},
    {ContestNo, A, {250, 40, 270, 32}, "", true},
    {RoundNumber, A, {540, 40, 270, 32}, "", true},
    {LevelPunch, A, {1122, 12, 40, 48}, "", true},
    {LevelBody, A, {1170, 12, 40, 48}, "", true},
    {LevelHead, A, {1218, 12, 40, 48}, "", true},
    {ReplayCountChung, A, {460, 345, 60, 50}, "", true},
    {ReplayCountHong, A, {750, 345, 60, 50}, "", true},
    // judge-input lamps
    {LampChung, C, {15, 3, 8, 8}, "", false},
    {LampHong, H, {41, 3, 8, 8}, "", false},
    // players
    {FlagChung, M, {16, 74, 90, 60}, "", false},
    {FlagHong, M, {1171, 74, 90, 60}, "", false},
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
    {RoundWinnerChung[0], M, {370, 168, 35, 35}, "", false, 922},
    {RoundWinnerChung[1], M, {370, 206, 35, 35}, "", false, 922},
    {RoundWinnerChung[2], M, {370, 244, 35, 35}, "", false, 922},
    {RoundWinnerHong[0], M, {980, 168, 35, 35}, "", false, 923},
    {RoundWinnerHong[1], M, {980, 206, 35, 35}, "", false, 923},
    {RoundWinnerHong[2], M, {980, 244, 35, 35}, "", false, 923},
    // scores, round-win counters and marks, the round leader
    {ScoreChung, C, {223, 222, 228, 112}, " 0", true},
    {ScoreHong, H, {833, 222, 228, 112}, " 0", true},
    {RoundWinsChung, C, {225, 292, 228, 112}, "0", false},
    {RoundWinsHong, H, {825, 292, 228, 112}, "0", false},
    {RoundWonChung[0], M, {160, 230, 47, 47}, "", false, 689},
    {RoundWonChung[1], M, {160, 282, 47, 47}, "", false, 689},
    {RoundWonHong[0], M, {1073, 230, 47, 47}, "", false, 690},
    {RoundWonHong[1], M, {1073, 282, 47, 47}, "", false, 690},
    {RoundWinIndicatorChung, M, {263, 410, 45, 21}, "", false, 931},
    {RoundWinIndicatorHong, M, {997, 410, 45, 21}, "", false, 931},
    {LeaderChung, P, {223, 336, 228, 8}, "", false},
    {LeaderHong, P, {833, 336, 228, 8}, "", false},
    // centre column: clock, "Time out", the second panel, the draw and round-result buttons
    {SecondPanel, P, {546, 164, 187, 108}, "", false},
    {Draw, B, {546, 168, 187, 40}, "DRAW", false}, // shown when a team match ends level
    {RoundResult, B, {546, 222, 187, 40}, "Round Result", false},
    {Clock, P, {546, 272, 187, 90}, "", true},
    {TimeoutPanel, P, {546, 272, 187, 50}, "Time out", false},
    // hit counts (round-win system and rounds past the regular ones)
    {HitCountLabelChung, S, {456, 222, 86, 24}, "Hit Count", false},
    {HitCountChung, S, {456, 246, 86, 40}, "0", false},
    {HitCountLabelHong, S, {738, 222, 90, 24}, "Hit Count", false},
    {HitCountHong, S, {738, 246, 90, 40}, "0", false},
    // gam-jeom counts; the match totals are shown beside them in the golden round
    {PenaltyCaptionChung, K, {20, 406, 155, 14}, "GAM-JEOM", true},
    {PenaltyChung, C, {20, 420, 90, 56}, "0", true},
    {PenaltyTotalChung, C, {115, 420, 60, 56}, "0", false},
    {PenaltyCaptionHong, K, {1105, 406, 155, 14}, "GAM-JEOM", true},
    {PenaltyHong, H, {1170, 420, 90, 56}, "0", true},
    {PenaltyTotalHong, H, {1105, 420, 60, 56}, "0", false},
    // team tags and team points (team matches)
    {TagTextChung, C, {121, 150, 100, 24}, "TAG", true},
    {TagChung, B, {225, 150, 70, 24}, "C-TAG", true},
    {TagCancelChung, B, {298, 150, 80, 24}, "C-CANCEL", true},
    {TeamPointAddChung, B, {381, 150, 36, 24}, "+", true, 0, 0, "Chung: add a team point"},
    {TeamPointRemoveChung, B, {420, 150, 36, 24}, "\u2212", true, 0, 0, "Chung: remove a team point"},
    {TagTextHong, H, {1053, 150, 100, 24}, "TAG", true},
    {TagHong, B, {980, 150, 70, 24}, "H-TAG", true},
    {TagCancelHong, B, {897, 150, 80, 24}, "H-CANCEL", true},
    {TeamPointAddHong, B, {858, 150, 36, 24}, "+", true, 0, 0, "Hong: add a team point"},
    {TeamPointRemoveHong, B, {819, 150, 36, 24}, "\u2212", true, 0, 0, "Hong: remove a team point"},
    // the row of decisions and replays above the correction tray
    {VideoReplayChung, IB, {190, 428, 44, 44}, "", true, 614, 0, "Chung requests a video replay"},
    {ReplayRejectChung, B, {240, 432, 90, 36}, "C. Reject", true},
    {ReplayQuotaUpChung, B, {336, 432, 50, 36}, "+1", true, 0, 0, "Chung: one video-replay request more"},
    {ChungWinner, BB, {392, 430, 150, 44}, "", true, 1022, 0, "Chung wins: choose the decision"},
    {Start, BB, {548, 430, 100, 44}, "", true, 545, 0, "Start or resume the round"},
    {Stop, BB, {652, 432, 80, 40}, "", true, 546, 0, "Stop the clock"},
    {HongWinner, BB, {738, 430, 150, 44}, "", true, 1023, 0, "Hong wins: choose the decision"},
    {ReplayQuotaUpHong, B, {894, 432, 50, 36}, "+1", true, 0, 0, "Hong: one video-replay request more"},
    {ReplayRejectHong, B, {950, 432, 90, 36}, "H. Reject", true},
    {VideoReplayHong, IB, {1046, 428, 44, 44}, "", true, 670, 0, "Hong requests a video replay"},
    // the score-correction tray
    CORRECTION(0),
    CORRECTION(1),
    CORRECTION(2),
    CORRECTION(3),
    CORRECTION(4),
    CORRECTION(5),
    CORRECTION(6),
    CORRECTION(7),
    CORRECTION(8),
    CORRECTION(9),
    CORRECTION(10),
    CORRECTION(11),
    CORRECTION(12),
    CORRECTION(13),
    CORRECTION(14),
    CORRECTION(15),
    CORRECTION(16),
    CORRECTION(17),
    CORRECTION(18),
    CORRECTION(19),
    CORRECTION(20),
    CORRECTION(21),
    CORRECTION(22),
    CORRECTION(23),
    CORRECTION(24),
    CORRECTION(25),
    CORRECTION(26),
    CORRECTION(27),
    // the event lists and the round breakdown table between them
    {EventListChung, L, {8, 580, 502, 100}, "", true},
    {EventListHong, L, {770, 580, 502, 100}, "", true},
    {BreakColumnCaption[0], K, BreakCell(0, -1), "R1", true},
    {BreakColumnCaption[1], K, BreakCell(1, -1), "R2", true},
    {BreakColumnCaption[2], K, BreakCell(2, -1), "R3", true},
    {BreakColumnCaption[3], K, BreakCell(3, -1), "R4", true},
    {BreakColumnCaption[4], K, BreakCell(4, -1), "SUM", true},
    {BreakColumnCaption[5], K, BreakCell(5, -1), "TOT", true},
    {BreakColumnCaption[6], K, BreakCell(6, -1), "VR", true},
    {BreakRowCaption[0], C, {514, 602, 32, 20}, "C", true},
    {BreakRowCaption[1], K, {514, 624, 32, 20}, "GJ", true},
    {BreakRowCaption[2], H, {514, 646, 32, 20}, "H", true},
    {BreakRowCaption[3], K, {514, 668, 32, 20}, "GJ", true},
    {BreakScoreChung[0], T, BreakCell(0, 0), "0", true},
    {BreakScoreChung[1], T, BreakCell(1, 0), "0", true},
    {BreakScoreChung[2], T, BreakCell(2, 0), "0", true},
    {BreakScoreChung[3], T, BreakCell(3, 0), "0", true},
    {BreakSumChung, T, BreakCell(4, 0), "0", true},
    {BreakGrandChung, T, BreakCell(5, 0), "0", true},
    {BreakQuotaChung, T, BreakCell(6, 0), "0", true},
    {BreakPenaltyChung[0], T, BreakCell(0, 1), "0", true},
    {BreakPenaltyChung[1], T, BreakCell(1, 1), "0", true},
    {BreakPenaltyChung[2], T, BreakCell(2, 1), "0", true},
    {BreakPenaltyChung[3], T, BreakCell(3, 1), "0", true},
    {BreakPenaltySumChung, T, BreakCell(4, 1), "0", true},
    {BreakScoreHong[0], T, BreakCell(0, 2), "0", true},
    {BreakScoreHong[1], T, BreakCell(1, 2), "0", true},
    {BreakScoreHong[2], T, BreakCell(2, 2), "0", true},
    {BreakScoreHong[3], T, BreakCell(3, 2), "0", true},
    {BreakSumHong, T, BreakCell(4, 2), "0", true},
    {BreakGrandHong, T, BreakCell(5, 2), "0", true},
    {BreakQuotaHong, T, BreakCell(6, 2), "0", true},
    {BreakPenaltyHong[0], T, BreakCell(0, 3), "0", true},
    {BreakPenaltyHong[1], T, BreakCell(1, 3), "0", true},
    {BreakPenaltyHong[2], T, BreakCell(2, 3), "0", true},
    {BreakPenaltyHong[3], T, BreakCell(3, 3), "0", true},
    {BreakPenaltySumHong, T, BreakCell(4, 3), "0", true},
    // the toolbar
    {Registration, IB, Tool(8), "", true, 520, 0, "Registration"},
    {Configuration, IB, Tool(52), "", true, 659, 0, "Configuration"},
    {EquipmentTest, TB, Tool(96), "", true, 521, 521, "Equipment test mode"},
    {KyeShi, IB, Tool(140), "", true, 518, 0, "Kye-Shi: injury count"},
    {KyeShiCheck, X, Tool(184, 100), "Kye-Shi view", true},
    {CoachTimeout, B, Tool(288, 110), "Coach time-out", false},
    {WinnerCancel, IB, Tool(452), "", true, 527, 0, "Winner cancel"},
    {FinishGame, IB, Tool(496), "", true, 522, 0, "Finish the match"},
    {Simulation, B, Tool(540, 90), "Simulation", false},
    {Superiority, B, Tool(634, 90), "Show", false},
    {RefereeReplay, B, Tool(736, 130), "Referee IVR", true, 0, 0, "The referee requests a video replay"},
    {ResultView, B, Tool(996, 100), "Result View", true},
    {ColourSwapChung, TB, Tool(1100), "", true, 561, 557, "Chung's buttons in blue or red"},
    {ColourSwapHong, TB, Tool(1144), "", true, 562, 558, "Hong's buttons in red or blue"},
    {ShowScoreboard, TB, Tool(1188), "", true, 563, 559, "Public scoreboard on or off"},
    {ReverseScreen, TB, Tool(1232), "", true, 946, 560, "Sides exchanged on the public scoreboard"},
};

#undef CORRECTION

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

std::span<const CorrectionButton> OperatorLayout::CorrectionButtons() {
    return kCorrections;
}

QRect OperatorLayout::CorrectionRect(int side, int column, bool add) {
    return Correction(side != 0 ? 1 : 0, column, add);
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

QRect OperatorLayout::JudgeNumber(int judge) {
    const QRect icon = JudgeIcon(judge);
    return {icon.x() - 1, icon.y() - 19, icon.width(), 18};
}

QRect OperatorLayout::TrunkIcon(int side) {
    return {970 + 101 * (side != 0), 12, 40, 48};
}

QRect OperatorLayout::HeadIcon(int side) {
    return {922 + 101 * (side != 0), 12, 40, 48};
}
