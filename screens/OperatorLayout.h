// Control ids and positions of the operator screen at its design size (client pixels, no scaling).
// Ids below 1500 are the screen's own; 1500 and up name controls that the screen has but that no other part
// of the program addresses by number. Pure data and pure functions; any thread.
#pragma once

#include <QColor>
#include <QRect>

#include <span>

namespace OperatorIds {
// buttons
constexpr int WinnerCancel = 1000;
constexpr int Simulation = 1001;
constexpr int ReplayRejectChung = 1002;
constexpr int ReplayRejectHong = 1003;
constexpr int Draw = 1012;
constexpr int RoundResult = 1014;
constexpr int RefereeReplay = 1015;
constexpr int ReplayQuotaUpChung = 1025;
constexpr int ReplayQuotaUpHong = 1026;
constexpr int Superiority = 1053;
constexpr int ChungWinner = 1068;
constexpr int HongWinner = 1069;
constexpr int Stop = 1070;
constexpr int Start = 1071;
constexpr int FinishGame = 1072;
constexpr int KyeShi = 1075;
constexpr int EventListHong = 1080;
constexpr int EventListChung = 1081;
constexpr int VideoReplayChung = 1127;
constexpr int TagChung = 1130;
constexpr int VideoReplayHong = 1135;
constexpr int ColourSwapChung = 1136;
constexpr int ResultView = 1138;
constexpr int ColourSwapHong = 1139;
constexpr int CoachTimeout = 1141;
constexpr int EquipmentTest = 1243;
constexpr int KyeShiCheck = 1245;
constexpr int ShowScoreboard = 1247;
constexpr int Configuration = 1249;
constexpr int ReverseScreen = 1252;
constexpr int TagCancelChung = 1284;
constexpr int TagHong = 1287;
constexpr int TagCancelHong = 1288;
constexpr int TeamPointAddChung = 1289;
constexpr int TeamPointRemoveChung = 1290;
constexpr int TeamPointAddHong = 1291;
constexpr int TeamPointRemoveHong = 1292;
constexpr int Registration = 1308;
// areas the view paints itself (no window; only their rectangles)
constexpr int MatchTitle = 1004;
constexpr int ContestNo = 1005;
constexpr int RoundNumber = 1116;
constexpr int LevelHead = 1083;
constexpr int LevelBody = 1084;
constexpr int LevelPunch = 1085;
constexpr int ReplayCountChung = 1222;
constexpr int ReplayCountHong = 1223;
// statics
constexpr int TagTextChung = 1006;
constexpr int TagTextHong = 1013;
constexpr int NameChung = 1010;
constexpr int NameHong = 1011;
constexpr int NationHong = 1073;
constexpr int NationChung = 1074;
constexpr int LampChung = 1421;
constexpr int LampHong = 1422;
constexpr int LeaderChung = 1460;
constexpr int LeaderHong = 1461;
// the round breakdown table: per row r (0..3) score and gam-jeom of each side, then the totals
constexpr int BreakScoreChung[4] = {1149, 1150, 1151, 1152};
constexpr int BreakScoreHong[4] = {1184, 1185, 1186, 1187};
constexpr int BreakPenaltyChung[4] = {1155, 1156, 1157, 1158};
constexpr int BreakPenaltyHong[4] = {1160, 1180, 1181, 1182};
constexpr int BreakSumChung = 1153;
constexpr int BreakSumHong = 1188;
constexpr int BreakGrandChung = 1154;
constexpr int BreakGrandHong = 1189;
constexpr int BreakPenaltySumChung = 1159;
constexpr int BreakPenaltySumHong = 1183;
constexpr int BreakQuotaChung = 1161;
constexpr int BreakQuotaHong = 1190;
// controls without an id of their own elsewhere
constexpr int Clock = 1500;        // the centre block
constexpr int TimeoutPanel = 1501; // "Time out"
constexpr int SecondPanel = 1502;
constexpr int ScoreChung = 1503;
constexpr int ScoreHong = 1504;
constexpr int RoundWinsChung = 1505;
constexpr int RoundWinsHong = 1506;
constexpr int RoundLabelChung[3] = {1510, 1511, 1512};
constexpr int RoundLabelHong[3] = {1513, 1514, 1515};
constexpr int RoundCellChung[3] = {1516, 1517, 1518};
constexpr int RoundCellHong[3] = {1519, 1520, 1521};
constexpr int RoundWinnerChung[3] = {1522, 1523, 1524};
constexpr int RoundWinnerHong[3] = {1525, 1526, 1527};
constexpr int RoundWonChung[2] = {1528, 1529}; // one mark per round won (at most two)
constexpr int RoundWonHong[2] = {1530, 1531};
constexpr int RoundWinIndicatorChung = 1532; // shown under the round-win system
constexpr int RoundWinIndicatorHong = 1533;
constexpr int PenaltyChung = 1534;
constexpr int PenaltyHong = 1535;
constexpr int PenaltyTotalChung = 1536; // the match's gam-jeoms, shown in the golden round
constexpr int PenaltyTotalHong = 1537;
constexpr int HitCountLabelChung = 1538;
constexpr int HitCountLabelHong = 1539;
constexpr int HitCountChung = 1540;
constexpr int HitCountHong = 1541;
constexpr int FlagChung = 1542;
constexpr int FlagHong = 1543;
constexpr int PenaltyCaptionChung = 1544;
constexpr int PenaltyCaptionHong = 1545;
constexpr int BreakRowCaption[4] = {1546, 1547, 1548, 1549};
constexpr int BreakColumnCaption[7] = {1550, 1551, 1552, 1553, 1554, 1555, 1556};
} // namespace OperatorIds

// Colours of the operator screen.
namespace OperatorColours {
inline const QColor Chung{11, 91, 178};
inline const QColor Hong{189, 31, 48};
inline const QColor Leading{255, 255, 0};
inline const QColor Panel{255, 255, 0}; // black text on yellow
} // namespace OperatorColours

// How SetupControls makes a control.
enum class ControlKind {
    Area,          // painted by the view; no window
    Static,        // plain text: white on the dark panel colour
    ChungStatic,   // white text on Chung's colour
    HongStatic,    // white text on Hong's colour
    PanelStatic,   // black text on yellow
    TableStatic,   // black text on the round breakdown's light cells
    CaptionStatic, // small light-grey caption on the dark panel colour
    Mark,          // a bitmap panel (image: its bitmap id)
    Button,        // a text button
    CheckButton,   // a text button that stays pressed while checked
    BitmapButton,  // image: its bitmap id (white is transparent)
    IconButton,    // image: its icon id; tip: what it does
    ToggleButton,  // image / image2: the icons while checked / not checked; tip: what it does
    List,          // an event list
};

struct ControlPlace {
    int id;
    ControlKind kind;
    QRect rect;
    const char* text;          // initial text (UTF-8)
    bool visible;              // shown after set-up (a later state may change it)
    int image = 0;             // bitmap or icon id
    int image2 = 0;            // a toggle's icon while not checked
    const char* tip = nullptr; // tool tip and accessible name of a button without text
};

// One of the 28 score-correction buttons: two rows (add above, remove below) of seven columns a side.
struct CorrectionButton {
    int id;
    int side;   // 0 Chung, 1 Hong
    int column; // 0 punch, 1 trunk, 2 head, 3 hit, 4 technique, 5 gam-jeom, 6 double gam-jeom
    bool add;   // upper row
    int bitmap;
    const char* tip;
};

class OperatorLayout {
public:
    // The design size of the operator screen.
    static constexpr int Width = 1280;
    static constexpr int Height = 720;

    // Every control of the operator screen that the view places, ids unique.
    static std::span<const ControlPlace> Controls();
    // The score-correction buttons (also in Controls()).
    static std::span<const CorrectionButton> CorrectionButtons();
    static QRect CorrectionRect(int side, int column, bool add);
    // The design-size rectangle of a control by id; empty for an id not in the table.
    static QRect Rect(int id);

    // Painted areas by side (0 Chung, 1 Hong) ...
    static QRect JudgePress(int side, int judge);         // the judge's current press, 22 x 22
    static QRect JudgeSlot(int side, int judge, int row); // a judge's mark on a technique slot row
    static QRect SlotState(int side, int row);            // the state of a technique slot row
    static QRect LastHit(int side, int age);              // age 0 the newest hit, 1 the one before
    static QRect ReplayImage(int side);                   // the replay-quota picture
    static QRect JudgeIcon(int judge);                    // a judge device's icon
    static QRect JudgeNumber(int judge);                  // the judge's number, just above the icon
    static QRect TrunkIcon(int side);
    static QRect HeadIcon(int side);
    static QRect ReceiverIcon() { return {10, 14, 45, 44}; }
};
