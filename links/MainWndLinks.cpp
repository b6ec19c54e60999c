// The operator view's senders to the outside systems and the openers of their links. The records are built
// by links/EventText; here each sender decides from the link settings and state whether it runs and where
// the bytes go.

#include "app/AppGlobals.h"
#include "app/FileWriter.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "app/TextConvert.h"
#include "app/TextLogs.h"
#include "devices/PacketDispatch.h"
#include "links/EventText.h"
#include "links/Transport.h"
#include "links/WireCodec.h"
#include "links/WtApiClient.h"
#include "links/WtJsonDocument.h"
#include "platform/DebugOutput.h"
#include "records/EventLogWriter.h"
#include "registration/RegDlgHandle.h"
#include "screens/OperatorLayout.h"
#include "screens/ScreenText.h"

#include <QDateTime>
#include <QFile>
#include <QLabel>
#include <QString>

#include <cstdint>
#include <cstring>
#include <mutex>

namespace {

// A record must fit the 1024-byte send buffer of every link, terminator included.
constexpr std::size_t kMaxRecord = 1023;

bool Up(void* link, int connected) {
    return link && connected;
}

bool Sendable(const std::string& record) {
    return !record.empty() && record.size() <= kMaxRecord;
}

LinkTime LocalNow() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), now.offsetFromUtc() / 60};
}

std::u16string LabelText(const CMainWnd& view, int id) {
    const auto* label = qobject_cast<const QLabel*>(view.GetDlgItem(id));
    return label ? label->text().toStdU16String() : std::u16string();
}

LinkFields CurrentFields(const CMainWnd& view, const MatchData& md) {
    using namespace OperatorIds;
    LinkFields f =
        LinkFields::From(md, view.m_strClockText, view.m_strInjuryText, view.m_nRestCount,
                         {LabelText(view, ScoreChung), LabelText(view, ScoreHong)},
                         {LabelText(view, PenaltyChung), LabelText(view, PenaltyHong)}, LocalNow());
    std::uint8_t address[8];
    {
        std::lock_guard lock(g_receiverNetworkLock); // the receive thread writes it
        std::memcpy(address, g_abReceiverMac, sizeof address);
    }
    f.receiverAddress = EventText::FormatDeviceId(address);
    return f;
}

// Appends one line, as UTF-16LE, to a log of the program's Log folder. The log is kept only when the file
// exists: creating it switches the log on.
void AppendLog(std::u16string_view name, std::string_view line) {
    QueueUtf16LeLogAppend(QString::fromStdU16String(AppPath(std::u16string(u"Log/") + std::u16string(name))),
                          RecordTextWide(line), true);
}

} // namespace

BOOL CMainWnd::SendOnLink(int commType, void* link, std::string_view bytes) {
    if (!m_bSendingHeld && (m_bHoldLinks || !m_heldLinks.empty())) {
        m_heldLinks.push_back({commType, link, std::string(bytes),
                               m_bHoldLinks ? kHeldOpen : TheEventLogWriter().LastQueued()});
        return link != nullptr;
    }
    CommSend(commType, link, bytes.data(), static_cast<int>(bytes.size()));
    return link != nullptr;
}

void CMainWnd::HoldLinks() {
    m_bHoldLinks = true;
}

void CMainWnd::ReleaseLinks() {
    m_bHoldLinks = false;
    // While the writer fails the records go at once: the event is shown and kept, and the peers are not
    // held for as long as the disk refuses it.
    const EventLogWriter& writer = TheEventLogWriter();
    const std::uint64_t after = writer.Failing() ? 0 : writer.LastQueued();
    for (HeldLinkRecord& record : m_heldLinks)
        if (record.after == kHeldOpen)
            record.after = after;
    SendSettledLinks();
}

void CMainWnd::SendSettledLinks() {
    const std::uint64_t settled = TheEventLogWriter().Settled();
    while (!m_heldLinks.empty() && m_heldLinks.front().after <= settled) {
        const HeldLinkRecord record = std::move(m_heldLinks.front());
        m_heldLinks.pop_front();
        m_bSendingHeld = true;
        SendOnLink(record.commType, record.link, record.bytes);
        m_bSendingHeld = false;
    }
}

void CMainWnd::SendControlCharEvent(int code, std::u16string_view text1, std::u16string_view text2,
                                    std::u16string_view text3) {
    MatchData* md = g_pMatchData;
    if (!md || (md->nOvrSupplier != 0 && !md->bUsePreReg))
        return;
    const bool ovrUp = Up(md->pOvrLink, md->bOvrConnected);
    const bool preRegUp = Up(md->pPreRegLink, md->bPreRegConnected);
    if (!ovrUp && !preRegUp)
        return;
    // The pre-registration system takes only the round start, the winner and the link-ready records, and
    // while it is up the OVR link gets no others either.
    if (preRegUp && code != 2 && code != 7 && code != 8)
        return;
    if (code == 0 || code == 11)
        std::memset(md->szOvrRecv, 0, sizeof md->szOvrRecv);
    const std::string record =
        ToWire(EventText::ControlChar(code, CurrentFields(*this, *md), text1, text2, text3));
    if (!Sendable(record))
        return;
    if (ovrUp && !md->bUsePreReg)
        SendOnLink(md->nOvrCommType, md->pOvrLink, record);
    if (preRegUp)
        SendOnLink(1, md->pPreRegLink, record);
}

void CMainWnd::SendColonEvent(int code, std::u16string_view text1, std::u16string_view text2,
                              std::u16string_view text3) {
    const MatchData* md = g_pMatchData;
    if (!md || (md->nOvrSupplier != 2 && !md->bUsePreReg) || !Up(md->pOvrLink, md->bOvrConnected))
        return;
    const std::string body = EventText::ColonBody(code, CurrentFields(*this, *md), text1, text2, text3);
    // The frame counts the bytes the peer receives.
    const std::string record = EventText::ColonFrame(ToWire(body));
    if (!Sendable(record))
        return;
    SendOnLink(md->nOvrCommType, md->pOvrLink, record);
    AppendLog(u"log.txt", EventText::ColonLogLine(body));
}

void CMainWnd::SendPipeEvent(int code, std::u16string_view text1, std::u16string_view text2,
                             std::u16string_view text3) {
    const MatchData* md = g_pMatchData;
    if (!md || (md->nOvrSupplier != 7 && !md->bUsePreReg) || !Up(md->pOvrLink, md->bOvrConnected))
        return;
    const std::string record = EventText::PipeFrame(
        ToWire(EventText::PipeBody(code, CurrentFields(*this, *md), text1, text2, text3)));
    if (Sendable(record))
        SendOnLink(md->nOvrCommType, md->pOvrLink, record);
}

void CMainWnd::SendBracketEvent(int code, std::u16string_view text1, std::u16string_view text2,
                                std::u16string_view text3) {
    const MatchData* md = g_pMatchData;
    // This supplier is reached over UDP only.
    if (!md || md->nOvrSupplier != 4 || md->nOvrCommType != 2 || !Up(md->pOvrLink, md->bOvrConnected))
        return;
    if (code == 1)
        ++m_nBracketPointCount;
    const std::string record = ToWire(
        EventText::Bracket(code, CurrentFields(*this, *md), text1, text2, text3, m_nBracketPointCount));
    if (code == 7)
        m_nBracketPointCount = 0;
    if (Sendable(record))
        SendOnLink(md->nOvrCommType, md->pOvrLink, record);
}

void CMainWnd::SendWtMessage(int target, int code, int side, int value) {
    const MatchData* md = g_pMatchData;
    if (!md)
        return;
    const bool ovrWt = md->nOvrSupplier == 6 && Up(md->pOvrLink, md->bOvrConnected);
    const bool ivrWt =
        md->nIvrSupplier == 2 && Up(md->pIvrLink, md->bIvrConnected) && (target == 0 || target == 1);
    const bool tvgWt =
        md->nTvgSupplier == 2 && Up(md->pTvgLink, md->bTvgConnected) && (target == 0 || target == 2);
    // The OVR link is one of "every WT link" only; a notice meant for the IVR or TVG link stays there.
    const bool toOvr = ovrWt && target == 0;
    if (!ivrWt && !tvgWt && !toOvr)
        return;
    // The UDP port notices are about the link, not the match, so they go also while no match is loaded.
    if (code != 17 && code != 18 && md->szContestNo[0] == '\0')
        return;
    const std::string text = EventText::WtText(code, side, value, CurrentFields(*this, *md));
    if (!Sendable(text))
        return;
    if (ivrWt)
        SendOnLink(md->nIvrCommType, md->pIvrLink, text);
    if (tvgWt)
        SendOnLink(md->nTvgCommType, md->pTvgLink, text);
    if (toOvr)
        SendOnLink(md->nOvrCommType, md->pOvrLink, EventText::WtForOvr(text));
}

void CMainWnd::SendIvrMessage(int code, std::u16string_view text1, std::u16string_view text2,
                              std::u16string_view text3, std::u16string_view text4) {
    const MatchData* md = g_pMatchData;
    if (!md || !Up(md->pIvrLink, md->bIvrConnected))
        return;
    const std::string record =
        ToWire(EventText::Ivr(md->nIvrSupplier, code, CurrentFields(*this, *md), text1, text2, text3, text4));
    if (Sendable(record))
        SendOnLink(md->nIvrCommType, md->pIvrLink, record);
}

void CMainWnd::SendTvgMessage(int supplier, int code, std::u16string_view text1, std::u16string_view,
                              std::u16string_view text3) {
    const MatchData* md = g_pMatchData;
    if (!md || supplier != md->nTvgSupplier || !Up(md->pTvgLink, md->bTvgConnected))
        return;
    const std::string record = EventText::Tvg(supplier, code, CurrentFields(*this, *md), text1, text3);
    if (!Sendable(record))
        return;
    AppendLog(u"log_tvg.txt", EventText::TokensAsText(record) + "\r\n");
    SendOnLink(md->nTvgCommType, md->pTvgLink, ToWire(record));
}

void CMainWnd::SendSwissTiming(int code) {
    const MatchData* md = g_pMatchData;
    if (!md || !Up(md->pStLink, md->bStConnected))
        return;
    // Devices in the order CH, CV, HH, HV: link bits 0 to 3; head gear (H) and trunk protector (V)
    // batteries of Chung and Hong as the screen shows them.
    const int battery[4] = {m_nShownHeadBattery[0], m_nShownBodyBattery[0], m_nShownHeadBattery[1],
                            m_nShownBodyBattery[1]};
    std::array<char, 4> digits{};
    for (int i = 0; i < 4; ++i)
        digits[i] =
            EventText::SwissTimingDigit(md->nDeviceStatus & (1 << i), ScreenText::BatteryPercent(battery[i]));
    const std::string record = EventText::SwissTiming(code, m_bConnectState != 0, digits);
    if (code == 2 && m_strStLog.isEmpty()) {
        const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HHmmss"));
        const QString path = QString::fromStdU16String(AppPath(u"Log/")) + stamp + ".txt";
        // Made at the connect, so the log is there from its start; its lines go through the file writer.
        QFile log(path);
        if (log.open(QIODevice::WriteOnly | QIODevice::Append))
            m_strStLog = path;
    } else if (code == 3) {
        m_strStLog.clear();
    }
    if (!Sendable(record))
        return;
    if (m_bConnectState && !m_strStLog.isEmpty()) {
        const QByteArray line = QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).toUtf8() + '-' +
                                QByteArray::fromStdString(EventText::TokensAsText(record)) + "\r\n";
        TheFileWriter().Append([path = m_strStLog, line] {
            QFile log(path);
            return log.open(QIODevice::WriteOnly | QIODevice::Append) && log.write(line) == line.size();
        });
    }
    SendOnLink(0, md->pStLink, ToWire(record));
    SendMessage(g_hRegDlg.load(), UM_REG_LOG_LINE, 0, reinterpret_cast<LPARAM>(record.c_str()));
}

void CMainWnd::BuildJsonAction(int kind, int value, int hitLevel) {
    const MatchData* md = g_pMatchData;
    if (!md || md->nOvrSupplier != 8 || md->szContestNo[0] == '\0')
        return;
    const WtJsonDocument::Context context{m_nJsonPosition, m_nShownSeconds, LocalNow()};
    std::string document;
    if (kind == 3)
        document = WtJsonDocument::Action(*md, value, hitLevel, context);
    else if (kind == 4)
        document = WtJsonDocument::IntermediateResult(*md, value, context);
    else if (kind == 5)
        document = WtJsonDocument::FinalResult(*md, context);
    WtApiQueuePost(kind, std::move(document), value);
    ++m_nJsonPosition;
}
