// The operator view's message hub: the custom messages of the worker threads and the dialogs, the display
// change and the press-time stamp of device and judge events.
#include "app/MainWnd.h"

#include "app/AppGlobals.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "devices/DevErrDlg.h"
#include "devices/DeviceRegistration.h"
#include "devices/PssTestDlg.h"
#include "match/RulePageRules.h"
#include "match/RuleWndHandle.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"
#include "platform/TickSource.h"
#include "screens/ExtIvrScrDlg.h"
#include "screens/ExtScrDlg.h"
#include "screens/OperatorLayout.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>

using namespace OperatorIds;

namespace {

// The team controls: the tag panel's statics and the tag and cancel buttons.
constexpr int kTeamControls[] = {TagTextChung, TagTextHong, 1130, 1287, 1284, 1288, 1289, 1290, 1291, 1292};

// The sender's text; a message that came without one reads as the empty text.
const char* TextOf(LPARAM lParam) {
    return lParam ? reinterpret_cast<const char*>(lParam) : "";
}

// A decimal number at the start of a wired judge's text, as atoi reads it; 0 when there is none.
int LeadingNumber(const char* text) {
    while (*text == ' ' || *text == '\t')
        ++text;
    if (*text == '+')
        ++text;
    int value = 0;
    std::from_chars(text, text + std::strlen(text), value);
    return value;
}

bool LinkUp(const void* link, int connected) {
    return link && connected;
}

// The protectors of the individual match leave the device table when the registration disconnects; the
// judge devices and the team members stay paired.
void SetTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// A judge's press, wireless or wired (judge 0..2): stamped, handed to the judges' input of the match type,
// and shown on the lamp.
void JudgePress(CMainWnd& view, const MatchData& md, int judge, const char* text, int force) {
    const DWORD stamp = view.PressTime();
    view.m_nJudgePressTime[judge] = stamp;
    view.m_nLastInputTime = stamp;
    int flag = 0;
    if (md.nCompetitionType == 2)
        view.OnJudgeInputType2(judge, text, &flag);
    else
        view.OnJudgeInput(judge, text, &flag);
    view.ToggleJudgeLamp(1, force, flag);
}

void ProtectorHit(CMainWnd& view, UINT message, WPARAM side, const char* text) {
    if (side > 1) {
        DebugPrintf("hit message for side %lu ignored", static_cast<unsigned long>(side));
        return;
    }
    view.m_nLastInputTime = view.PressTime();
    int flag = 0;
    if (message == UM_TRUNK_HIT)
        view.OnTrunkHit(static_cast<int>(side), text, &flag);
    else
        view.OnHeadHit(static_cast<int>(side), text, &flag);
    view.ToggleJudgeLamp(1, 1, flag);
}

// The registration dialog's connect button released: Swiss Timing is told, the receiver releases every
// device, the dialog clears its device buttons, the protectors leave the device table.
void Disconnect(CMainWnd& view) {
    view.SendSwissTiming(3);
    ReleaseEveryDevice(view, true);
}

void LinkReady(CMainWnd& view, const MatchData& md) {
    view.m_bLinkReady = 1;
    // Supplier 3 has no link object: its "link" is the tournament database connection.
    if (md.nOvrSupplier == 3 && md.bOvrConnected)
        view.UpdateCourtReceiver();
    const bool linkUp = LinkUp(md.pOvrLink, md.bOvrConnected) || LinkUp(md.pPreRegLink, md.bPreRegConnected);
    if (linkUp && !view.m_bReadyEventSent) {
        view.SendControlCharEvent(8, u"", u"", u"");
        view.m_bReadyEventSent = 1;
    }
    view.SendReceiverCommand(48, "0");
}

void OpenLink(CMainWnd& view, WPARAM system, LPARAM open) {
    const int flag = open ? 1 : 0;
    switch (system) {
    case 0:
        view.OpenOvrLink();
        break;
    case 1:
        view.OpenIvrLink(flag);
        break;
    case 2:
        view.OpenTvgLink(flag);
        break;
    case 3:
        view.OpenPreRegLink();
        break;
    case 4:
        view.OpenSwissTimingLink(flag);
        break;
    default:
        DebugPrintf("link control for unknown link %lu ignored", static_cast<unsigned long>(system));
        break;
    }
}

} // namespace

LRESULT CMainWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == UM_EVENT_LOG_SETTLED) { // held link records wait for it, match record or not
        OnEventLogSettled(lParam != 0);
        return 0;
    }
    if (!g_pMatchData) {
        DebugPrintf("message 0x%x to the operator view without a match record ignored", message);
        return 0;
    }
    MatchData& md = *g_pMatchData;
    const char* text = TextOf(lParam);
    switch (message) {
    case UM_SET_COURT_CHANNEL:
        // The settings page sends the channel as a number; the receiver command takes it as text.
        SendReceiverCommand(37, std::to_string(lParam).c_str());
        break;
    case UM_REGISTER_DEVICE:
    case UM_REGISTER_TEAM_DEVICE:
        RegisterDevice(static_cast<int>(wParam), text, message == UM_REGISTER_TEAM_DEVICE ? 1 : 0);
        break;
    case UM_RELEASE_DEVICE:
    case UM_RELEASE_TEAM_DEVICE:
        ReleaseDevice(static_cast<int>(wParam), message == UM_RELEASE_TEAM_DEVICE ? 1 : 0);
        break;
    case UM_SET_ROUND_TIME:
        SetRoundAndTime(text);
        break;
    case UM_IVR_DECISION:
        OnFinalDecision(text);
        break;
    case UM_IVR_CLOSED:
        SendWtMessage(0, 12, static_cast<int>(wParam), 0);
        break;
    case UM_IVR_DESTROYED:
        m_pIvrDlg.clear();
        ShowExtIvrScreen(0, 0);
        break;
    case UM_REGDLG_DESTROYED:
        m_pRegDlg = nullptr;
        m_pRegDlgTeam = nullptr;
        break;
    case UM_MATCH_INFO_CHANGED:
        StartNextMatch();
        break;
    case UM_POWER_LEVEL_CHANGED:
        RefreshLevelDisplay();
        break;
    case UM_EXT_LINK_CONTROL:
        OpenLink(*this, wParam, lParam);
        break;
    case UM_SERIAL_DATA:
        OnSerialData();
        return 1;
    case UM_TCP_EVENT:
        OnTcpSocketEvent(wParam, lParam);
        break;
    case UM_UDP_EVENT:
        OnUdpSocketEvent(wParam, lParam);
        break;
    case UM_TRUNK_HIT:
    case UM_HEAD_HIT:
        ProtectorHit(*this, message, wParam, text);
        break;
    case UM_JUDGE1_INPUT:
    case UM_JUDGE2_INPUT:
    case UM_JUDGE3_INPUT: {
        const int judge = static_cast<int>(message - UM_JUDGE1_INPUT); // 0-based
        if (judge < md.nJudgeNumber)
            JudgePress(*this, md, judge, text, 1);
        break;
    }
    case UM_WIRED_JUDGE_LOST:
        OnWiredJudgeLost(static_cast<int>(wParam));
        break;
    case UM_WIRED_JUDGE_INPUT:
    case UM_WIRED_JUDGE_VALUE:
        // The judge number comes from the reader of a serial port; only judges 1..3 exist.
        if (wParam < 1 || wParam > kJudges) {
            DebugPrintf("wired judge message 0x%x for judge %lu ignored", message,
                        static_cast<unsigned long>(wParam));
            break;
        }
        if (message == UM_WIRED_JUDGE_INPUT)
            JudgePress(*this, md, static_cast<int>(wParam) - 1, text, 0);
        else
            md.nJudgeWiredValue[wParam - 1] = LeadingNumber(text);
        break;
    case UM_MATCH_TYPE_CHANGED:
        ShowDlgItem(CoachTimeout, md.nCompetitionType == 2 && md.nRound == 1);
        // The type, the rounds or the resolution changed: the scoreboard is sized and laid out anew.
        if (md.nMonitorCount >= 2 && m_pExtScrDlg)
            m_pExtScrDlg->ApplyResolution();
        for (const int id : kTeamControls)
            ShowDlgItem(id, md.nCompetitionType == 1);
        update();
        break;
    case UM_MATCH_LOADED:
        SendReceiverCommand(52, "");
        break;
    case UM_DEVICE_STATE_LOG:
        ToggleJudgeLamp(1, 0, wParam ? 1 : 0);
        break;
    case UM_RECEIVER_PRESENT:
        ToggleJudgeLamp(1, 0, 0);
        break;
    case UM_ROUND_WINNER_DECIDED:
        CloseRoundWinnerPopup();
        EndRound(static_cast<int>(wParam), static_cast<int>(lParam));
        break;
    case UM_ROUND_RESULT_CLOSED:
        CloseRoundWinnerPopup();
        ForgetRoundResultDialog();
        CloseWinnerPopup();
        break;
    case UM_CONNECT_STATE:
        m_bConnectState = wParam ? 1 : 0;
        if (m_bConnectState)
            SendSwissTiming(2);
        else
            Disconnect(*this);
        break;
    case UM_ROUND_WIN_MODE_CHANGED: {
        const bool roundWins = md.nCompetitionRule == 1;
        ShowDlgItem(RoundWinIndicatorChung, roundWins);
        ShowDlgItem(RoundWinIndicatorHong, roundWins);
        if (!roundWins) {
            ShowRoundWinners(0);
            for (int i = 0; i < 2; ++i) {
                ShowDlgItem(RoundWonChung[i], false);
                ShowDlgItem(RoundWonHong[i], false);
            }
            if (m_pExtScrDlg)
                m_pExtScrDlg->ShowRoundWinMarks(md.nReverseScreen);
            SetTextColour(Static(ScoreChung), Qt::white);
            SetTextColour(Static(ScoreHong), Qt::white);
        }
        // Laid out anew for the mode; a scoreboard that was hidden stays hidden.
        if (m_pExtScrDlg)
            m_pExtScrDlg->ApplyResolution();
        break;
    }
    case UM_SHOW_ROUND_WINNER:
        if (md.nMonitorCount >= 2)
            ShowRoundWinnerPopup(static_cast<int>(wParam), static_cast<int>(lParam));
        break;
    case UM_CLOSE_ROUND_WINNER:
        CloseRoundWinnerPopup();
        break;
    case UM_PSS_TEST_REFRESH:
        ResetPublicEquipmentTest();
        break;
    case UM_LINK_READY:
        // Linked on the court's saved channel with no Rule page open (at start-up, after a re-plug): the
        // view takes the receiver's version as the page does. The box waits until the sender is released.
        if (!g_hRuleWnd.load() && !ReceiverVersionText().empty() &&
            !ApplyReceiverVersion(md, ReceiverVersionText()))
            QTimer::singleShot(0, this, [] { AfxMessageBox(kOldReceiverText); });
        LinkReady(*this, md);
        break;
    case UM_RECEIVER_LOST:
        DeviceStatusSet(md, 0x800000);
        break;
    case UM_PSS_TEST_CLOSE:
        OnClickedEquipmentTest();
        break;
    default:
        break;
    }
    return 0;
}

void CMainWnd::OnDisplayChange() {
    const MatchData* md = g_pMatchData;
    if (!md)
        return;
    const bool twoMonitors = md->nMonitorCount >= 2;
    if (m_pExtScrDlg) {
        m_pExtScrDlg->ApplyResolution();
        m_pExtScrDlg->setVisible(twoMonitors && Button(ShowScoreboard)->isChecked());
    }
    if (m_pExtIvrScrDlg) {
        m_pExtIvrScrDlg->setGeometry(PublicScreenRect(*md));
        m_pExtIvrScrDlg->setVisible(twoMonitors);
    }
    if (m_pDevErrDlg) {
        m_pDevErrDlg->PlaceOnScreen();
        m_pDevErrDlg->setVisible(twoMonitors);
    }
    if (m_pPssTestDlg) {
        m_pPssTestDlg->setGeometry(PublicScreenRect(*md));
        m_pPssTestDlg->setVisible(twoMonitors);
    }
    PlaceWinnerScreens();
    PlaceRoundEndScreens();
}

DWORD CMainWnd::PressTime() const {
    return 10 * m_nRoundSteps + (GetTickCount() - m_nRoundTick);
}

void CMainWnd::OnRoundClockStep(DWORD now) {
    ++m_nRoundSteps;
    m_nRoundTick = now;
}
