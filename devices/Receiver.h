// The USB radio receiver: the receiver object, its open and close, and the four threads that keep the
// link. Start thread: opens the receiver (retrying every 100 ms), starts the check and receive threads and
// asks for the version. Check thread: once a second, tells the operator view the receiver is present, or
// that it is lost (gone, hung up, or another receiver in its place); after a loss it opens a receiver
// plugged in again, reports the devices paired with the old one lost and asks its version, as the start
// thread does; the version reply links it on the court's channel. Receive thread: reads what
// arrives and hands every complete frame to DispatchDeviceReport. Pairing-wait thread: polls a device being
// paired every 1050 ms and gives up after 14 polls.
//
// Threads never show a message box: PostReceiverBox queues the box, and a small window of the receiver
// shows it on the UI thread.
#pragma once

#include "app/Network.h"
#include "devices/FrameWriter.h"
#include "devices/PacketDispatch.h"
#include "devices/ReceiverCommand.h"
#include "devices/ReceiverFrame.h"
#include "devices/ReceiverWorker.h"
#include "platform/UsbReceiverPort.h"
#include "platform/WinTypes.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

struct MatchData;
class ReceiverBoxWindow;

// The receiver object. The handshake and pairing state the command writer shares with the frame dispatch
// (nState, bPairing, szPairName, nSide, nTeamSlot, the counters) is `protocol`, with its own locking
// (devices/ReceiverCommand.h); the command writer reaches the link through the ReceiverLink calls.
struct TTK_Receiver final : ReceiverLink {
    ReceiverProtocolState protocol;

    // ---- the link: `linkLock` guards hDevice and szProductString; held briefly, never across a send ----
    std::mutex linkLock;
    USB_HANDLE hDevice;             // null when closed
    char szProductString[256] = {}; // identity text read at open, compared by the check thread

    MatchData* pMatch = nullptr; // g_pMatchData

    // ---- receive thread only (the frame dispatch) ----
    TTK_Network curDevice;  // scratch copy of one device-table entry
    WORD wPanId = 0;        // network (PAN) id, from the network reply
    BYTE byChannel = 0;     // radio channel, from the same reply
    BYTE abMac[8] = {};     // receiver address, from the same reply
    std::u16string strWork; // scratch text
    // The frame parser with the frame being assembled and the last valid frame.
    ReceiverFrameParser parser;
    // Where each valid frame goes: DispatchDeviceReport, unless a test records frames (set before start).
    void (*frameSink)(TTK_Receiver& receiver, const ReceiverFrame& frame) = DispatchDeviceReport;

    // ---- threads; each worker starts and stops its own thread (devices/ReceiverWorker.h) ----
    WorkerClock realClock;
    WorkerClock* clock = &realClock; // what the threads sleep on; tests put a manual clock here first
    ReceiverWorker startThread;
    ReceiverWorker checkThread;
    ReceiverWorker receiveThread;
    ReceiverWorker pairingThread;
    std::unique_ptr<ReceiverBoxWindow> boxWindow; // shows the threads' boxes on the UI thread

    TTK_Receiver();
    ~TTK_Receiver() override; // CloseReceiver first
    TTK_Receiver(const TTK_Receiver&) = delete;
    TTK_Receiver& operator=(const TTK_Receiver&) = delete;

    // ReceiverLink, any thread. WriteFrame hands the frame to the writer thread, so no caller waits on the
    // tty; it ignores holdReceive: a tty lets a write overlap a read, and the one writer never interleaves
    // two frames.
    ReceiverProtocolState& Protocol() override { return protocol; }
    const MatchData* Match() override { return pMatch; }
    bool IsOpen() override;
    void WriteFrame(const BYTE* frame, int length, bool holdReceive) override;
    bool RestartPairingWait() override;
    void Notify(ReceiverNotice notice) override;

    std::mutex writeLock; // keeps frames whole when two threads write
    // Writes every command frame in the order given; runs from InitReceiver until CloseReceiver's close
    // frame is written and the device closed.
    FrameWriter writer{"receiver"};
};

// UI thread: stores g_pMatchData, clears the counters, the handle, the parser and nTeamSlot, state 43,
// creates the box window and starts the writer thread.
void InitReceiver(TTK_Receiver* receiver);

// Start and check threads: the open sequence (device count, open, identity, time-outs, flush, baud rate);
// a failed step closes what was opened. Sets bReceiverOpen and, on success, clears the receiver-lost bit.
// Shows a box (through PostReceiverBox) for a failure after the open itself.
bool OpenReceiver(TTK_Receiver* receiver);

// UI thread: stops and joins every receiver thread, then, if the device is open, clears bReceiverOpen and
// hands the close to the writer thread, which writes what is queued (what still waits a second later is
// dropped), then the close frame, and closes the device 100 ms later; the call waits for none of it. An open
// or InitReceiver right after waits for that close to end. Any sends the threads wait in must be releasable:
// the operator view gives up its handle first (CMainWnd::OnDestroy). Safe to call twice.
void CloseReceiver(TTK_Receiver* receiver);

// UI thread: starts the start thread, once per receiver (a later call does nothing and returns true); false
// when it cannot be created (the caller shows the box). The court's saved channel (MatchData::nChannelNo)
// becomes the channel the receiver links on after each version reply.
bool ReceiverStartThread(TTK_Receiver* receiver);

// Any thread, from command 43 (RestartPairingWait): stops a running pairing-wait thread and starts a new
// one. False when the thread cannot be created.
bool StartRegistrationWait(TTK_Receiver* receiver);

// Any thread: writes bytes to the receiver. False when nothing is open or the write failed (the command
// writer does not examine it).
bool WriteReceiver(TTK_Receiver* receiver, const BYTE* bytes, int length);

// Any thread: shows a message box (UTF-8 texts) on the UI thread, after the boxes queued before it. A box
// that is already waiting or showing is not queued again, so a failure that repeats every 100 ms shows one
// box at a time.
void PostReceiverBox(TTK_Receiver* receiver, std::string text, std::string caption = {}, UINT flags = MB_OK);
