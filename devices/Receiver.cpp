#include "devices/Receiver.h"

#include "app/IniFiles.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "app/Network.h"
#include "app/ProgressDlg.h"
#include "platform/CodePage.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"
#include "platform/ThreadPriority.h"
#include "platform/TickSource.h"
#include "platform/WindowMessages.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <thread>

// The window the threads tell, declared here so the device code needs no view header: the operator view
// (app/MainWnd.cpp; set before the start thread starts). The pairing progress dialog is closed through
// CloseProgressDialog (app/ProgressDlg.h).
extern HWND g_hMainWnd;

namespace {

constexpr int kReceiverLostBit = 0x800000;
constexpr DWORD kBaudRate = 230400;
constexpr DWORD kOpenRetryMs = 100;
constexpr DWORD kCheckPassMs = 1000;
constexpr DWORD kPollMs = 1050;
constexpr int kPolls = 14;      // polls of one pairing before it times out
constexpr int kPlainPolls = 11; // the first polls go without the final-polls flag
constexpr DWORD kReadBytes = 128;
// At a close, the frames still queued after this are dropped; the close frame then has this long to leave
// the tty before the port closes.
constexpr std::chrono::milliseconds kCloseBound{1000};
constexpr std::chrono::milliseconds kCloseFrameSettle{100};
// Failed open attempts after which the start thread tells the operator, once each.
constexpr int kFirstWarning = 3;
constexpr int kSecondWarning = 4;

void SetReceiverOpen(MatchData* md, int open) {
    if (md)
        SharedStore(md->bReceiverOpen, open);
}

USB_HANDLE CurrentHandle(TTK_Receiver& receiver) {
    std::lock_guard guard(receiver.linkLock);
    return receiver.hDevice;
}

// Takes the handle out of the receiver and closes it; a thread still using its copy is woken and fails.
void ReleaseHandle(TTK_Receiver& receiver) {
    USB_HANDLE handle;
    {
        std::lock_guard guard(receiver.linkLock);
        handle = std::move(receiver.hDevice);
    }
    SI_Close(handle);
}

// The same once a close under way on the writer thread has ended, so that its close frame is not cut off
// and the tty, which is exclusive, is free for the next open.
void DropHandle(TTK_Receiver& receiver) {
    receiver.writer.AwaitFinish();
    ReleaseHandle(receiver);
}

std::string Format(const char* format, int code) {
    char text[64];
    std::snprintf(text, sizeof text, format, code);
    return text;
}

// The time-out box of a pairing, by the name of the device being paired; null for no box.
const char* PairingTimeoutText(const char* name) {
    struct Entry {
        const char* name;
        const char* text;
    };
    static constexpr Entry kTexts[] = {
        {"CH", "Registeraion Timeout!\r\nPlease check the head gear of Chung player."},
        {"CV", "Registeraion Timeout!\r\nPlease check the vest of Chung player."},
        {"HH", "Registeraion Timeout!\r\nPlease check the head gear of Hong player."},
        {"HV", "Registeraion Timeout!\r\nPlease check the vest of Hong player."},
        {"judge1", "Registeraion Timeout!\r\nPlease check the referee device."},
        {"judge2", "Registeraion Timeout!\r\nPlease check the referee device."},
        {"judge3", "Registeraion Timeout!\r\nPlease check the referee device."},
        {"judge4", "Registeraion Timeout!\r\nPlease check the referee device."},
    };
    for (const Entry& entry : kTexts) {
        if (std::strcmp(name, entry.name) == 0)
            return entry.text;
    }
    return nullptr;
}

// Whether the open device still answers: present, not hung up.
bool LinkHealthy(TTK_Receiver& receiver) {
    const USB_HANDLE handle = CurrentHandle(receiver);
    DWORD waiting = 0;
    DWORD status = 0;
    return handle && SI_CheckRXQueue(handle, &waiting, &status) == SI_SUCCESS;
}

void ReportLost(TTK_Receiver& receiver) {
    DropHandle(receiver);
    SetReceiverOpen(receiver.pMatch, 0);
    SendMessage(g_hMainWnd, UM_RECEIVER_LOST, 0, 0);
}

// The wired judges' serial ports (JudgeDev.ini) are USB adapters too: never taken for the receiver. Read
// before every scan, so a port changed in the settings counts at once.
void ExcludeJudgePorts() {
    std::vector<std::string> ports;
    for (const WCHAR* section : {u"JUDGE_1", u"JUDGE_2", u"JUDGE_3"}) {
        WCHAR port[kIniValueChars] = {};
        if (ReadIniString(section, u"Port", port, u"JudgeDev.ini") > 0)
            ports.push_back(WideToMultiByte(port, CP_UTF8));
    }
    platform::setUsbReceiverExcludedPorts(std::move(ports));
}

bool SameIdentity(TTK_Receiver& receiver, const char* identity) {
    std::lock_guard guard(receiver.linkLock);
    return std::strcmp(identity, receiver.szProductString) == 0;
}

// A receiver opened again after a loss has lost its power with it: its channel and the devices paired
// with it are gone. The devices leave the device table and are reported lost, so the operator view stops
// the round, names them and asks for them to be paired again; the version request that follows makes the
// receiver link on the court's channel again.
void Relink(TTK_Receiver& receiver) {
    int lost = 0;
    {
        std::lock_guard guard(g_networkLock);
        if (g_pNetworkArr) {
            for (const TTK_Network& entry : *g_pNetworkArr)
                lost |= DeviceLostBit(entry.name);
            g_pNetworkArr->clear();
        }
    }
    if (lost && receiver.pMatch)
        DeviceStatusSet(*receiver.pMatch, lost);
    SendReceiverCommand(&receiver, 36, "");
}

void CheckLoop(TTK_Receiver& receiver) {
    ReceiverWorker& self = receiver.checkThread;
    while (self.Sleep(kCheckPassMs)) {
        if (!receiver.IsOpen()) {
            // Lost in an earlier pass: a receiver plugged in again is opened (which clears the lost bit)
            // and linked again without leaving the match.
            if (OpenReceiver(&receiver))
                Relink(receiver);
            continue;
        }
        char known[256];
        {
            std::lock_guard guard(receiver.linkLock);
            std::memcpy(known, receiver.szProductString, sizeof known);
        }
        DWORD count = 0;
        char identity[256] = {};
        ExcludeJudgePorts();
        const bool present = SI_GetNumDevices(&count) == SI_SUCCESS && count > 0 &&
                             SI_GetProductString(0, identity, sizeof identity) == SI_SUCCESS &&
                             LinkHealthy(receiver);
        if (!present) {
            // Gone or hung up: one re-open, which finds the same receiver again after a short drop-out
            // (without its power for a moment, so it is linked again).
            if (OpenReceiver(&receiver) && SameIdentity(receiver, known)) {
                Relink(receiver);
                continue;
            }
            ReportLost(receiver);
            continue;
        }
        SendMessage(g_hMainWnd, UM_RECEIVER_PRESENT, 0, 0);
        if (!SameIdentity(receiver, identity)) {
            // Another receiver was plugged in: the one the devices were paired with is gone.
            ReportLost(receiver);
        }
    }
}

void ReceiveLoop(TTK_Receiver& receiver) {
    platform::raiseScoringPriority("receive");
    ReceiverWorker& self = receiver.receiveThread;
    BYTE buffer[kReadBytes];
    const auto sink = [&](const ReceiverFrame& frame) { receiver.frameSink(receiver, frame); };
    while (!self.StopRequested()) {
        const USB_HANDLE handle = CurrentHandle(receiver);
        // A partial frame waits only its time-out for the rest of its bytes.
        const DWORD waitMs = receiver.parser.HoldsPartialFrame() ? kPartialFrameTimeoutMs + 1 : kCheckPassMs;
        const int waited = handle ? SI_WaitForRX(handle, waitMs) : SI_INVALID_HANDLE;
        if (waited == SI_READ_TIMED_OUT || waited == SI_WAIT_CANCELLED) {
            receiver.parser.Expire(GetTickCount(), sink);
            continue;
        }
        DWORD read = 0;
        const int status = waited == SI_SUCCESS ? SI_Read(handle, buffer, kReadBytes, &read) : waited;
        if (status == SI_SUCCESS) {
            receiver.parser.Feed(buffer, static_cast<int>(read), GetTickCount(), sink);
            receiver.parser.ReaderBack(GetTickCount());
            continue;
        }
        if (status == SI_READ_TIMED_OUT)
            continue;
        // Closed, unplugged or failing: the check thread re-opens or reports the loss.
        if (!self.Sleep(kOpenRetryMs))
            return;
    }
}

void StartLoop(TTK_Receiver& receiver) {
    ReceiverWorker& self = receiver.startThread;
    int failures = 0;
    while (!OpenReceiver(&receiver)) {
        ++failures;
        if (failures == kFirstWarning)
            PostReceiverBox(&receiver, "Receiver Connection Error");
        else if (failures == kSecondWarning)
            PostReceiverBox(&receiver, "Receiver is not connected!");
        if (!self.Sleep(kOpenRetryMs))
            return;
    }
    if (!receiver.checkThread.Start([&receiver] { CheckLoop(receiver); }, *receiver.clock)) {
        PostReceiverBox(&receiver, "Create thread error : Receiver Check Thread ");
        return;
    }
    if (!receiver.receiveThread.Start([&receiver] { ReceiveLoop(receiver); }, *receiver.clock)) {
        PostReceiverBox(&receiver, "Create thread error: Receiver Receive Thread");
        return;
    }
    SendReceiverCommand(&receiver, 36, "");
    self.Sleep(kOpenRetryMs);
}

void PairingLoop(TTK_Receiver& receiver) {
    ReceiverWorker& self = receiver.pairingThread;
    ReceiverProtocolState& protocol = receiver.protocol;
    for (int poll = 0; protocol.bPairing.load() == 1; ++poll) {
        if (poll == kPolls) {
            int pairing = 1;
            if (!protocol.bPairing.compare_exchange_strong(pairing, 0))
                return; // the pairing reply came first
            // Posted, not sent: this thread must never wait for the UI thread, which may be joining it.
            CloseProgressDialog();
            protocol.nState = kReceiverPairTimeout;
            char name[260];
            {
                std::lock_guard guard(protocol.lock);
                std::memcpy(name, protocol.szPairName, sizeof name);
            }
            name[sizeof name - 1] = '\0';
            if (const char* text = PairingTimeoutText(name))
                PostReceiverBox(&receiver, text, "Information", MB_OK | MB_ICONINFORMATION);
            return;
        }
        WritePairingPoll(receiver, poll >= kPlainPolls);
        if (!self.Sleep(kPollMs))
            return;
    }
}

} // namespace

// A hidden window of the receiver that shows, on the UI thread, the boxes its threads queue. m_lock guards
// the queue and the box on screen.
class ReceiverBoxWindow final : public MessageWindow {
public:
    static constexpr UINT kShowText = WM_USER + 1;   // the next queued text box
    static constexpr UINT kShowNotice = WM_USER + 2; // wParam: a ReceiverNotice

    void Queue(std::string text, std::string caption, UINT flags) {
        {
            Box box{std::move(text), std::move(caption), flags};
            std::lock_guard guard(m_lock);
            if (m_showing == box || std::ranges::find(m_boxes, box) != m_boxes.end())
                return;
            m_boxes.push_back(std::move(box));
        }
        if (!PostMessage(GetSafeHwnd(), kShowText, 0, 0))
            DebugPrintf("receiver box not shown: messages are shut down");
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM) override {
        if (message == kShowNotice) {
            ShowReceiverNotice(static_cast<int>(wParam));
            return 0;
        }
        if (message != kShowText)
            return 0;
        Box box;
        {
            std::lock_guard guard(m_lock);
            if (m_boxes.empty())
                return 0;
            box = std::move(m_boxes.front());
            m_boxes.pop_front();
            m_showing = box;
        }
        MessageBox(g_hMainWnd, box.text, box.caption, box.flags);
        std::lock_guard guard(m_lock);
        m_showing = {};
        return 0;
    }

private:
    struct Box {
        std::string text;
        std::string caption;
        UINT flags = MB_OK;
        bool operator==(const Box&) const = default;
    };
    std::mutex m_lock;
    std::deque<Box> m_boxes;
    Box m_showing; // the box on screen now; empty text when none
};

TTK_Receiver::TTK_Receiver() = default;

TTK_Receiver::~TTK_Receiver() {
    CloseReceiver(this);
    writer.Stop(); // the close's last step on the writer thread uses the link: it ends first
}

bool TTK_Receiver::IsOpen() {
    return CurrentHandle(*this) != nullptr;
}

void TTK_Receiver::WriteFrame(const BYTE* frame, int length, bool) {
    if (writer.Running()) {
        writer.Queue(frame, length);
        return;
    }
    // While the writer closes the port, only its last step writes: the close frame.
    if (writer.Finishing() && !writer.OnWriterThread()) {
        DebugPrintf("receiver: closing; a frame of %d bytes is not written", length);
        return;
    }
    WriteReceiver(this, frame, length); // no writer: before InitReceiver or after the close
}

bool TTK_Receiver::RestartPairingWait() {
    return StartRegistrationWait(this);
}

void TTK_Receiver::Notify(ReceiverNotice notice) {
    if (platform::isUiThread()) {
        ShowReceiverNotice(static_cast<int>(notice));
        return;
    }
    if (!boxWindow || !PostMessage(boxWindow->GetSafeHwnd(), ReceiverBoxWindow::kShowNotice,
                                   static_cast<WPARAM>(notice), 0))
        DebugPrintf("receiver notice %d not shown", static_cast<int>(notice));
}

void InitReceiver(TTK_Receiver* receiver) {
    if (!receiver)
        return;
    ReceiverProtocolState& protocol = receiver->protocol;
    protocol.nVersionRetry = 0;
    protocol.nStartCount = 0;
    protocol.nTeamSlot = 0;
    protocol.bPairing = 0;
    protocol.nState = kReceiverInitial;
    DropHandle(*receiver);
    receiver->pMatch = g_pMatchData;
    receiver->parser.Reset();
    if (!receiver->boxWindow)
        receiver->boxWindow = std::make_unique<ReceiverBoxWindow>();
    if (!receiver->writer.Start(
            [receiver](const BYTE* bytes, int length) { return WriteReceiver(receiver, bytes, length); }))
        DebugPrintf("receiver: commands are written by their callers");
}

bool OpenReceiver(TTK_Receiver* receiver) {
    if (!receiver)
        return false;
    TTK_Receiver& r = *receiver;
    DropHandle(r); // the tty is exclusive: a handle still held would refuse the new open
    ExcludeJudgePorts();
    DWORD count = 0;
    USB_HANDLE handle;
    if (SI_GetNumDevices(&count) != SI_SUCCESS || count == 0 || SI_Open(0, &handle) != SI_SUCCESS) {
        SetReceiverOpen(r.pMatch, 0);
        return false;
    }
    char identity[256] = {};
    // Each later step only after the one before worked; a failure closes the device again.
    const auto step = [&](int status, const char* format) {
        if (status == SI_SUCCESS)
            return true;
        PostReceiverBox(&r, Format(format, status));
        return false;
    };
    const bool ready =
        step(SI_GetProductString(0, identity, sizeof identity), "SI_GetProductString Error : %d  ") &&
        step(SI_SetTimeouts(5000, 5000), "SI_SetTimeouts Error : %d  ") &&
        step(SI_FlushBuffers(handle, 1, 1), "SI_FlushBuffers Error : %d  ") &&
        step(SI_SetBaudRate(handle, kBaudRate), "SI_SetBaudRate Error : %d  ");
    if (!ready) {
        SI_Close(handle);
        SetReceiverOpen(r.pMatch, 0);
        return false;
    }
    {
        std::lock_guard guard(r.linkLock);
        r.hDevice = std::move(handle);
        std::memcpy(r.szProductString, identity, sizeof identity);
    }
    SetReceiverOpen(r.pMatch, 1);
    if (r.pMatch)
        DeviceStatusClear(*r.pMatch, kReceiverLostBit);
    return true;
}

void CloseReceiver(TTK_Receiver* receiver) {
    if (!receiver)
        return;
    TTK_Receiver& r = *receiver;
    // The start thread first, so that it cannot start the others while they are stopped.
    r.startThread.Stop();
    r.receiveThread.RequestStop();
    SI_CancelWait(CurrentHandle(r));
    r.receiveThread.Stop();
    r.checkThread.Stop();
    r.protocol.bPairing = 0;
    r.pairingThread.Stop();
    if (r.writer.Finishing())
        return; // closed before: the writer is closing the port
    if (!CurrentHandle(r)) {
        r.writer.Stop();
        return;
    }
    SetReceiverOpen(r.pMatch, 0);
    const auto closePort = [&r] {
        SI_SetTimeouts(SI_INFINITE, SI_INFINITE);
        ReleaseHandle(r);
    };
    // The writer writes what is queued, then, as its last step, the close frame; it gives the frame time to
    // leave the tty, which drops what is still in it when the port closes or the next open flushes it,
    // and closes the port. The caller waits for none of it.
    const bool handedOver = r.writer.Finish(
        [&r, closePort] {
            SendCommand05(&r);
            std::this_thread::sleep_for(kCloseFrameSettle);
            closePort();
        },
        kCloseBound);
    if (!handedOver) {
        SendCommand05(receiver); // no writer: written by this call
        closePort();
    }
}

bool ReceiverStartThread(TTK_Receiver* receiver) {
    if (!receiver)
        return false;
    if (receiver->startThread.GetState() != ReceiverWorker::State::Idle)
        return true; // started before: the link is being opened or runs
    // The view starts the link on the UI thread, which handles every hit the receive thread reads.
    platform::raiseScoringPriority("UI");
    if (receiver->pMatch && receiver->pMatch->nChannelNo >= 0 && receiver->pMatch->nChannelNo <= 0xFF)
        receiver->protocol.nCourtChannel = receiver->pMatch->nChannelNo;
    return receiver->startThread.Start([receiver] { StartLoop(*receiver); }, *receiver->clock);
}

bool StartRegistrationWait(TTK_Receiver* receiver) {
    if (!receiver)
        return false;
    receiver->pairingThread.Stop();
    return receiver->pairingThread.Start([receiver] { PairingLoop(*receiver); }, *receiver->clock);
}

bool WriteReceiver(TTK_Receiver* receiver, const BYTE* bytes, int length) {
    if (!receiver || !bytes || length <= 0)
        return false;
    const USB_HANDLE handle = CurrentHandle(*receiver);
    if (!handle)
        return false;
    std::lock_guard guard(receiver->writeLock);
    DWORD written = 0;
    return SI_Write(handle, bytes, static_cast<DWORD>(length), &written) == SI_SUCCESS;
}

void PostReceiverBox(TTK_Receiver* receiver, std::string text, std::string caption, UINT flags) {
    if (!receiver || !receiver->boxWindow) {
        DebugPrintf("receiver box without a window: %s", text.c_str());
        return;
    }
    receiver->boxWindow->Queue(std::move(text), std::move(caption), flags);
}
