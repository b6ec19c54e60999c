#include "app/MainWnd.h"
#include "devices/JudgeSerialPort.h"

#include "devices/Receiver.h"
#include "devices/ReceiverCommand.h"

#include "app/AppGlobals.h"
#include "app/ColorRef.h"
#include "app/IniFiles.h"
#include "app/MatchData.h"
#include "app/MyListCtrl.h"
#include "app/RuleSettings.h"
#include "app/Timers.h"
#include "app/WeightDivisions.h"
#include "controls/IconButton.h"
#include "controls/MyStatic.h"
#include "controls/PanelStatic.h"
#include "devices/DevErrDlg.h"
#include "links/DeliveryNotice.h"
#include "links/WtApiClient.h"
#include "match/KeyFilter.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"
#include "records/MatchRecords.h"
#include "screens/ExtIvrScrDlg.h"
#include "screens/ExtScrDlg.h"
#include "screens/OperatorLayout.h"

#include <QFile>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <cassert>
#include <iterator>
#include <span>

HWND g_hMainWnd = 0;

namespace {

constexpr int kSimulation = 1001;
constexpr int kShowButton = 1053;
constexpr int kChungEventList = 1081;
constexpr int kHongEventList = 1080;
constexpr int kChungColourSwap = 1136;
constexpr int kHongColourSwap = 1139;
constexpr int kShowScoreboard = 1247;
constexpr int kConfiguration = 1249;
constexpr int kReverseScreen = 1252;
constexpr int kRegistration = 1308;

// The point buttons of each side (add and remove), which the colour-swap buttons re-skin.
constexpr int kPointButtons[2][10] = {
    {1119, 1142, 1120, 1143, 1122, 1145, 1124, 1146, 1430, 1144},
    {1128, 1148, 1129, 1277, 1131, 1280, 1133, 1281, 1431, 1279},
};

// The statics of the round breakdown paint their own background; every other control keeps its default.
constexpr int kWhiteStatics[] = {1149, 1150, 1151, 1152, 1155, 1156, 1157, 1158, 1160,
                                 1161, 1180, 1181, 1182, 1184, 1185, 1186, 1187, 1190};
constexpr int kPinkStatics[] = {1153, 1159, 1183, 1188};
constexpr int kRoseStatics[] = {1154, 1189};
struct StaticColour {
    std::span<const int> ids;
    COLORREF colour;
};
constexpr StaticColour kStaticColours[] = {
    {kWhiteStatics, RGB(255, 255, 255)},
    {kPinkStatics, RGB(250, 235, 237)},
    {kRoseStatics, RGB(247, 225, 228)},
};

constexpr COLORREF kBlueSkin = RGB(238, 245, 255);
constexpr COLORREF kRedSkin = RGB(254, 241, 242);

template <std::size_t N> void EmptyText(char (&text)[N]) {
    std::fill(std::begin(text), std::end(text), '\0');
}

// Devices are forgotten between matches when the rules switch them off after each match, and always when
// the program starts.
bool ClearsDevices(const MatchData& md, BOOL initialised) {
    return md.bPSSAutoOff || !initialised;
}

// The slots whose devices a clear covers: the two players, and every team member in a team match.
int DeviceSlots(const MatchData& md) {
    return md.nCompetitionType == 1 ? kPlayerSlots : 2;
}

// A skin paints the side's point buttons with the pictures of the blue or the red side and highlights them
// under the pointer in the skin's colour; white otherwise.
void SkinPointButtons(CMainWnd& view, int side, bool blue) {
    view.m_pointButtonSkin[side] = CMainWnd::PointButtonSkin(side, blue);
    for (const int id : kPointButtons[side]) {
        auto* button = qobject_cast<CIconButton*>(view.Button(id));
        if (!button)
            continue;
        button->m_crColors[CIconButton::BkIn] = view.m_pointButtonSkin[side].background;
        for (const CorrectionButton& face : OperatorLayout::CorrectionButtons()) {
            if (face.id != id)
                continue;
            // The same button of the side whose colour the skin takes.
            for (const CorrectionButton& other : OperatorLayout::CorrectionButtons())
                if (other.side == (blue ? 0 : 1) && other.column == face.column && other.add == face.add)
                    button->SetBitmapsFromResource(other.bitmap, RGB(255, 255, 255));
        }
        button->update();
    }
}

MatchData* Record(const char* what) {
    if (!g_pMatchData) {
        assert(!"operator view used without a match record");
        DebugPrintf("%s without a match record; nothing done", what);
    }
    return g_pMatchData;
}

} // namespace

CMainWnd::CMainWnd(QWidget* parent) : QWidget(parent) {
    // The round breakdown statics paint their own background.
    for (int id = 1149; id <= 1190; ++id) {
        const std::optional<COLORREF> colour = StaticBackground(id);
        if (!colour)
            continue;
        if (auto* label = qobject_cast<CMyStatic*>(Static(id))) {
            label->m_crFill = *colour;
            label->m_crTextBk = *colour;
            label->m_crText = RGB(0, 0, 0);
        }
    }
    EventList(kChungEventList);
    EventList(kHongEventList);

    for (const int id : {kChungColourSwap, kHongColourSwap, kShowScoreboard, kReverseScreen})
        Button(id)->setCheckable(true);
    connect(Button(kChungColourSwap), &QPushButton::clicked, this, &CMainWnd::OnClickedButton1136);
    connect(Button(kHongColourSwap), &QPushButton::clicked, this, &CMainWnd::OnClickedButton1139);
    connect(Button(kShowScoreboard), &QPushButton::clicked, this, &CMainWnd::OnClickedShowScoreboard);
    connect(Button(kReverseScreen), &QPushButton::clicked, this, &CMainWnd::OnClickedReverseScreen);
    connect(Button(kRegistration), &QPushButton::clicked, this, &CMainWnd::OnClickedRegistration);
    connect(Button(kSimulation), &QPushButton::clicked, this, &CMainWnd::OnClickedSimulation);
    ConnectPrintCommands();
    ConnectPointButtons();
    ConnectGamJeomButtons();
    ConnectVideoReplayButtons();
    ConnectTagButtons();
    ConnectFinishButtons();
    connect(Button(1243), &QPushButton::clicked, this, &CMainWnd::OnClickedEquipmentTest);
    connect(Button(kConfiguration), &QPushButton::clicked, this, &CMainWnd::OnClickedConfiguration);
    connect(Button(kShowButton), &QPushButton::clicked, this, &CMainWnd::OnClickedShowIvrScreen);
    AttachWtDeliveryNotice(*this);

    m_pointButtonSkin[0] = PointButtonSkin(0, true);
    m_pointButtonSkin[1] = PointButtonSkin(1, false);

    m_pReceiver = new TTK_Receiver;
    InitReceiver(m_pReceiver);
    if (MatchData* md = Record("operator view construction")) {
        std::copy_n("K", 2, md->szLinkTag[0]);
        std::fill(std::begin(md->bRoundEnded), std::end(md->bRoundEnded), 0);
    }
}

CMainWnd::~CMainWnd() {
    OnDestroy();

    // Workers go first, while no handler can run on this view any more: a worker blocked in a send to it was
    // released by OnDestroy. The WT post thread ends after the document it is sending.
    WtApiPostQueue().Stop();
    CloseReceiver(m_pReceiver);
    delete m_pReceiver;
    m_pReceiver = nullptr;

    // Links: every outside link closed and its slot cleared (their reader threads joined). Every wired judge
    // port still open closed once and the Swiss Timing log file closed join here with the wired-judge code.
    CloseLinks();

    // Owned windows; the other pop-ups the view owns are deleted here as they arrive.
    delete m_pDevErrDlg;
    m_pDevErrDlg = nullptr;
    delete m_pExtIvrScrDlg;
    m_pExtIvrScrDlg = nullptr;
    delete m_pExtScrDlg;
    m_pExtScrDlg = nullptr;

    MatchData* md = Record("operator view destruction");
    if (!md)
        return;
    FreeWeightDivisions(*md);
    // The toggle shows the setting only once the controls were set up; a view that never started must not
    // overwrite the saved setting.
    if (!m_bInitialised)
        return;
    md->nReverseScreen = Button(kReverseScreen)->isChecked() ? 1 : 0;
    const std::u16string value = QString::number(md->nReverseScreen).toStdU16String();
    if (!WriteIniString(u"Rule", u"Reverse_Screen", value.c_str(), u"Rule.ini"))
        DebugPrintf("Reverse_Screen could not be written to Rule.ini");
}

void CMainWnd::OnInitialUpdate() {
    g_hMainWnd = GetSafeHwnd();
    platform::setMessageBoxOwner(g_hMainWnd);
    MatchData* md = Record("operator view start");
    if (!md)
        return;
    LoadWeightDivisions(*md);
    if (!m_pExtScrDlg) {
        m_pExtScrDlg = new CExtScrDlg(this);
        m_pExtScrDlg->PlaceOnScreen();
        m_pExtScrDlg->setVisible(md->nMonitorCount >= 2);
    }
    SetupControls();
    ClearMatchIdentity();
    ClearPlayers();
    ResetMatchScreen(); // both screens start as a new match's
    if (!ReceiverStartThread(m_pReceiver))
        MessageBox(GetSafeHwnd(), "Create thread error");
    hide();
    show();
    SetTimer(TIMER_DEVICE_STATUS, 1000);
    ShowDlgItem(kSimulation, false);
    if (!m_pKeyFilter)
        m_pKeyFilter = new KeyFilter(*this);
    m_bInitialised = TRUE;
}

void CMainWnd::OnDestroy() {
    if (m_bDestroyed)
        return;
    m_bDestroyed = TRUE;
    // The OVR system of supplier 0 hears that this court is going away.
    if (const MatchData* md = g_pMatchData; md && md->nOvrSupplier == 0 && md->bOvrConnected)
        SendControlCharEvent(11, u"", u"", u"");
    KillTimer(TIMER_DEVICE_STATUS);
    delete m_pKeyFilter; // no key acts on a view being torn down
    m_pKeyFilter = nullptr;
    DestroyWindow();
    if (m_bLogOpen) {
        CloseMatchLog(); // saves the match's lines
        m_bLogOpen = FALSE;
    }
    // The wired judge readers send to this view: they stop before it goes.
    for (int judge = 0; judge < kJudges; ++judge)
        CloseWiredJudge(judge);
}

void CMainWnd::ClearMatchIdentity() {
    MatchData* record = Record("ClearMatchIdentity");
    if (!record)
        return;
    MatchData& md = *record;
    EmptyText(md.szContestNo);
    EmptyText(md.szWeightClass);
    EmptyText(md.szGender);
    EmptyText(md.szWeight);
    EmptyText(md.szPhase);
    g_strMatchTitle.clear();
    g_strMatchWeight.clear();
    if (md.nCompetitionType == 1)
        LoadTeamRules(md);
    ApplyNewMatchLevels(md);
    if (ClearsDevices(md, m_bInitialised)) {
        for (int slot = 0; slot < DeviceSlots(md); ++slot) {
            md.bRegBody[slot] = 0;
            md.bRegHead[slot] = 0;
        }
    }
    md.nCurRound = 0;
    UpdateHitCount(0, 0);
    ShowDlgItem(kShowButton, false);
}

void CMainWnd::ClearPlayers() {
    MatchData* record = Record("ClearPlayers");
    if (!record)
        return;
    MatchData& md = *record;
    for (int slot = 0; slot < 2; ++slot) {
        TTK_Player& player = md.aPlayer[slot];
        player.nNation = 0;
        EmptyText(player.szShortName);
        EmptyText(player.szName);
        EmptyText(player.szNationCode);
    }
    if (ClearsDevices(md, m_bInitialised)) {
        for (int slot = 0; slot < DeviceSlots(md); ++slot) {
            EmptyText(md.aPlayer[slot].szMacBody);
            EmptyText(md.aPlayer[slot].szMacHead);
        }
    }
}

void CMainWnd::ShowExtIvrScreen(int side, int show) {
    if (!show) {
        delete m_pExtIvrScrDlg;
        m_pExtIvrScrDlg = nullptr;
        return;
    }
    const MatchData* md = Record("ShowExtIvrScreen");
    if (!md || md->nMonitorCount < 2)
        return; // the public screens stay hidden without a second monitor
    if (!m_pExtIvrScrDlg)
        m_pExtIvrScrDlg = new CTK_ExtIvrScrDlg(side, PublicScreenRect(*md), this);
    m_pExtIvrScrDlg->show();
}

CMainWnd::ButtonSkin CMainWnd::PointButtonSkin(int side, bool blue) {
    if (blue)
        return {kBlueSkin, {483, 484, side == 0 ? 664 : 663, 486, 488, 489}};
    return {kRedSkin, {490, 491, side == 0 ? 661 : 662, 493, 495, 660}};
}

std::optional<COLORREF> CMainWnd::StaticBackground(int id) {
    for (const StaticColour& entry : kStaticColours) {
        if (std::ranges::find(entry.ids, id) != entry.ids.end())
            return entry.colour;
    }
    return std::nullopt;
}

void CMainWnd::OnClickedButton1136() {
    SkinPointButtons(*this, 0, Button(kChungColourSwap)->isChecked());
}

void CMainWnd::OnClickedButton1139() {
    SkinPointButtons(*this, 1, !Button(kHongColourSwap)->isChecked());
}

void CMainWnd::OnClickedShowScoreboard() {
    const MatchData* md = Record("show scoreboard");
    if (!md || !m_pExtScrDlg)
        return;
    if (Button(kShowScoreboard)->isChecked() && md->nMonitorCount > 1) {
        m_pExtScrDlg->PlaceOnScreen();
        m_pExtScrDlg->show();
    } else {
        m_pExtScrDlg->hide();
    }
}

void CMainWnd::OnClickedReverseScreen() {
    QPushButton* reverse = Button(kReverseScreen);
    MatchData* md = Record("reverse screen");
    if (!md || !Button(kShowScoreboard)->isChecked()) {
        // Only a shown scoreboard can be reversed: the toggle goes back to what it was.
        reverse->setChecked(!reverse->isChecked());
        reverse->update();
        return;
    }
    md->nReverseScreen = reverse->isChecked() ? 1 : 0;
    if (m_pExtScrDlg)
        m_pExtScrDlg->ApplyReverseScreen(md->nReverseScreen);
}

void CMainWnd::paintEvent(QPaintEvent* event) {
    // A clock step or a hit repaints a few small areas: the parts draw only what meets them.
    m_paintArea = event->region();
    QPainter painter(this);
    PaintBackground(painter);
    PaintJudgePresses(painter);
    PaintJudgeSlots(painter);
    PaintSlotStates(painter);
    PaintMatchInfo(painter);
    // The team tag countdown runs on the round clock (UpdateChangeInfo), not on painting.
    PaintReplayQuota(painter);
    PaintLastHits(painter);
    PaintDeviceStatus(painter);
    m_paintArea = QRegion();
}

QWidget* CMainWnd::GetDlgItem(int id) const {
    const auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

template <typename T, typename Made> T* CMainWnd::MakeControl(int id) {
    if (QWidget* existing = GetDlgItem(id)) {
        if (auto* typed = qobject_cast<T*>(existing))
            return typed;
        assert(!"control id used with two kinds of control");
        DebugPrintf("control %d used with two kinds of control", id);
        auto* stray = new Made(this); // keeps the caller safe; never shown
        stray->hide();
        return stray;
    }
    auto* control = new Made(this);
    control->setObjectName(QString::number(id));
    control->hide();
    m_controls.emplace(id, control);
    return control;
}

QLabel* CMainWnd::Static(int id) {
    return MakeControl<QLabel, CMyStatic>(id);
}

CPanelStatic* CMainWnd::Mark(int id) {
    return MakeControl<CPanelStatic>(id);
}

QPushButton* CMainWnd::Button(int id) {
    return MakeControl<QPushButton, CFlatButton>(id);
}

CMyListCtrl* CMainWnd::EventList(int id) {
    return MakeControl<CMyListCtrl>(id);
}

void CMainWnd::SetDlgItemText(int id, const QString& text) {
    QWidget* control = GetDlgItem(id);
    if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* button = qobject_cast<QPushButton*>(control))
        button->setText(text);
}

void CMainWnd::ShowDlgItem(int id, bool show) {
    if (QWidget* control = GetDlgItem(id))
        control->setVisible(show);
}

void CMainWnd::SendReceiverCommand(int code, const char* text) {
    ::SendReceiverCommand(m_pReceiver, code, text);
}
