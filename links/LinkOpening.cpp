// The operator view's links to the outside systems: opening them at the settings page's request, and the
// notifications of the three transports. Received OVR and pre-registration replies are kept in the match
// record for the match import; what the other systems send is read and dropped.

#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Timers.h"
#include "links/LinkSlots.h"
#include "links/Transport.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"
#include "platform/SystemError.h"

#include <QString>

#include <array>

namespace {

constexpr UINT kFlushPeriodMs = 100;
constexpr UINT kSwissTimingPeriodMs = 3000;
constexpr int kWtSupplier = 2;       // IVR and TVG supplier of the WT text protocol
constexpr int kWtApiSupplier = 8;    // OVR supplier of the WT JSON API: no link
constexpr int kDatabaseSupplier = 3; // OVR supplier of the tournament results database

const char* const kDisconnected[] = {"OVR system disconnected!", "IVR system disconnected!",
                                     "TVG system disconnected!", "Pre-Registration system disconnected!"};
const char* const kNotConnected[] = {
    "OVR system could not be connected!", "IVR system could not be connected!",
    "TVG system could not be connected!", "Pre-Registration system could not be connected!"};

const TTK_LinkCfg& CfgOf(const MatchData& md, int system) {
    return system == LINK_OVR ? md.cfgOvr : system == LINK_IVR ? md.cfgIvr : md.cfgTvg;
}

int SupplierOf(const MatchData& md, int system) {
    return system == LINK_OVR ? md.nOvrSupplier : system == LINK_IVR ? md.nIvrSupplier : md.nTvgSupplier;
}

// A slot about to be opened again gives up the link it holds.
void ClearForOpen(const LinkSlot& slot) {
    if (*slot.handle)
        DebugPrintf("a link is opened over an open one; the old link is closed first");
    CloseSlot(slot);
}

// A TCP link whose connect completed at once counts as connected now; otherwise its event tells.
void TakeImmediateConnect(const LinkSlot& slot) {
    if (const TcpInfo* info = CommTcpInfo(*slot.handle); info && info->bConnected)
        *slot.connected = 1;
}

void Tell(const char* text) {
    AfxMessageBox(QString::fromLatin1(text).toStdU16String());
}

// The port notice the WT systems get once their link is up.
void TellWtPortConnected(CMainWnd& view, const MatchData& md, int system) {
    if (system != LINK_IVR && system != LINK_TVG)
        return;
    const int supplier = system == LINK_IVR ? md.nIvrSupplier : md.nTvgSupplier;
    if (supplier == kWtSupplier)
        view.SendWtMessage(system == LINK_IVR ? 1 : 2, 17, CfgOf(md, system).nUdpTx, 0);
}

void ShowOpenError() {
    const int error = CommLastError();
    const std::string text =
        "Error Code: " + std::to_string(error) + "\nMessage: " + platform::SystemErrorText(error);
    AfxMessageBox(QString::fromStdString(text).toStdU16String());
}

} // namespace

void CMainWnd::OpenOvrLink() {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    if (md->nOvrSupplier == kDatabaseSupplier) {
        ConnectTournamentDb();
        return;
    }
    const LinkSlot slot = SlotOf(*md, LINK_OVR);
    ClearForOpen(slot);
    if (md->nOvrCommType == COMM_SERIAL) {
        md->pOvrLink = CommOpenSerial(GetSafeHwnd(), SerialParamFrom(md->cfgOvr));
        if (md->pOvrLink) {
            md->bOvrConnected = 1;
            SetTimer(TIMER_SERIAL_FLUSH[LINK_OVR], kFlushPeriodMs);
        }
        return;
    }
    const TTK_CommParam param =
        md->nOvrCommType == COMM_TCP
            ? TcpParamFrom(md->cfgOvr.dwTcpIp, md->cfgOvr.nTcpPort, kTcpLinkIdBase + LINK_OVR)
            : UdpParamFrom(md->cfgOvr, kUdpLinkIdBase + LINK_OVR);
    md->pOvrLink = CommOpen(md->nOvrCommType, GetSafeHwnd(), param);
    if (md->pOvrLink && md->nOvrCommType == COMM_UDP)
        md->bOvrConnected = 1;
    else if (md->pOvrLink)
        TakeImmediateConnect(slot);
    else if (md->nOvrCommType == COMM_TCP)
        Tell(kNotConnected[LINK_OVR]);
}

// The IVR and TVG links: opened on the settings, and on a TCP or UDP close request the WT systems hear of
// the port going.
static void OpenIvrOrTvgLink(CMainWnd& view, MatchData& md, int system, int open) {
    const LinkSlot slot = SlotOf(md, system);
    const TTK_LinkCfg& cfg = CfgOf(md, system);
    const int target = system == LINK_IVR ? 1 : 2;
    if (slot.commType == COMM_SERIAL) {
        if (!open)
            return; // the page closes a serial link itself
        ClearForOpen(slot);
        *slot.handle = CommOpenSerial(view.GetSafeHwnd(), SerialParamFrom(cfg));
        if (*slot.handle) {
            *slot.connected = 1;
            view.SetTimer(TIMER_SERIAL_FLUSH[system], kFlushPeriodMs);
        }
        return;
    }
    if (!open) {
        if (SupplierOf(md, system) == kWtSupplier)
            view.SendWtMessage(target, 18, cfg.nUdpTx, 0);
        return;
    }
    ClearForOpen(slot);
    const TTK_CommParam param = slot.commType == COMM_TCP
                                    ? TcpParamFrom(cfg.dwTcpIp, cfg.nTcpPort, kTcpLinkIdBase + system)
                                    : UdpParamFrom(cfg, kUdpLinkIdBase + system);
    *slot.handle = CommOpen(slot.commType, view.GetSafeHwnd(), param);
    if (!*slot.handle) {
        ShowOpenError();
        return;
    }
    // A TCP link is up once its connect is: until then the page shows it connecting.
    if (slot.commType == COMM_TCP)
        TakeImmediateConnect(slot);
    else
        *slot.connected = 1;
    if (*slot.connected)
        TellWtPortConnected(view, md, system);
}

void CMainWnd::OpenIvrLink(int open) {
    if (g_pMatchData)
        OpenIvrOrTvgLink(*this, *g_pMatchData, LINK_IVR, open);
}

void CMainWnd::OpenTvgLink(int open) {
    if (g_pMatchData)
        OpenIvrOrTvgLink(*this, *g_pMatchData, LINK_TVG, open);
}

void CMainWnd::OpenPreRegLink() {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    const LinkSlot slot = SlotOf(*md, LINK_PREREG);
    ClearForOpen(slot);
    md->pPreRegLink = CommOpenTcp(
        GetSafeHwnd(), TcpParamFrom(md->dwPreRegIp, md->nPreRegPort, kTcpLinkIdBase + LINK_PREREG));
    if (md->pPreRegLink)
        TakeImmediateConnect(slot);
    else
        Tell(kNotConnected[LINK_PREREG]);
}

void CMainWnd::OpenSwissTimingLink(int open) {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    if (!open) {
        KillTimer(TIMER_SWISS_TIMING);
        return;
    }
    const LinkSlot slot = SlotOf(*md, LINK_ST);
    ClearForOpen(slot);
    md->pStLink = CommOpenSerial(GetSafeHwnd(), SerialParamFrom(md->cfgSt));
    if (md->pStLink) {
        md->bStConnected = 1;
        SetTimer(TIMER_SWISS_TIMING, kSwissTimingPeriodMs);
    }
}

void CMainWnd::OnSerialData() {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    for (int system : {LINK_OVR, LINK_IVR, LINK_TVG}) {
        void* link = *SlotOf(*md, system).handle;
        if (CommTypeOf(link) != COMM_SERIAL)
            continue;
        std::array<char, 2048> buffer{};
        const int n = CommReceive(COMM_SERIAL, link, buffer.data(), static_cast<int>(buffer.size()));
        if (n > 0)
            m_SerialRecv.Append(system, buffer.data(), n);
    }
}

void CMainWnd::OnTcpSocketEvent(WPARAM code, LPARAM linkId) {
    MatchData* md = g_pMatchData;
    const int system = SystemOfTcpLinkId(static_cast<long>(linkId));
    if (!md || system < 0) {
        DebugPrintf("TCP event 0x%lx of unknown link %ld ignored", static_cast<unsigned long>(code),
                    static_cast<long>(linkId));
        return;
    }
    const LinkSlot slot = SlotOf(*md, system);
    const TcpInfo* info = CommTcpInfo(*slot.handle);
    if (!info || info->nId != linkId)
        return; // the slot holds another link now
    switch (code & 0xFFFF) {
    case 5: {
        if ((code >> 16) == 1) {
            *slot.connected = 1;
            TellWtPortConnected(*this, *md, system);
        } else {
            // The connect failed (refused, or no answer within the connect time-out): the link goes and
            // the operator hears of it once.
            DebugPrintf("TCP link %ld could not connect", static_cast<long>(linkId));
            CloseSlot(slot);
            Tell(kNotConnected[system]);
        }
        const bool ovrUp = SlotUp(SlotOf(*md, LINK_OVR)) || SlotUp(SlotOf(*md, LINK_PREREG));
        if (ovrUp && m_bLinkReady) {
            SendControlCharEvent(8, u"", u"", u"");
            m_bReadyEventSent = 1;
        }
        break;
    }
    case 4: {
        const bool wasUp = SlotUp(slot);
        CloseSlot(slot);
        if (wasUp)
            Tell(kDisconnected[system]);
        break;
    }
    case 2: {
        if (!SlotUp(slot) || (system == LINK_OVR && md->nOvrSupplier == kWtApiSupplier))
            break;
        char buffer[1024];
        const int n = CommReceive(COMM_TCP, *slot.handle, buffer, sizeof buffer - 1);
        if (n < 0)
            break;
        if (system == LINK_OVR)
            StoreReply(md->szOvrRecv, md->nOvrRecvOverflow, buffer, n);
        else if (system == LINK_PREREG)
            StoreReply(md->szPreRegRecv, md->nPreRegRecvOverflow, buffer, n);
        break;
    }
    default:
        break;
    }
}

void CMainWnd::OnUdpSocketEvent(WPARAM code, LPARAM linkId) {
    MatchData* md = g_pMatchData;
    const int system = SystemOfUdpLinkId(static_cast<long>(linkId));
    if (!md || (code & 0xFFFF) != 2 || system < 0)
        return;
    void* link = *SlotOf(*md, system).handle;
    const UdpInfo* info = CommUdpInfo(link);
    if (!info || info->nId != linkId)
        return;
    char buffer[2048];
    CommReceive(COMM_UDP, link, buffer, sizeof buffer - 1); // nobody reads what these systems send
}

void CMainWnd::CloseLinks() {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    KillTimer(TIMER_SWISS_TIMING);
    for (int system = 0; system < kLinkSystems; ++system)
        CloseSlot(SlotOf(*md, system));
}
