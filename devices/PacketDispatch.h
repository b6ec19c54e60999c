// Where the receive thread hands what the receiver sends: every complete, checksum-valid frame, device
// reports (hits, judge presses, status, loss) and the replies that move the start-up and pairing
// handshakes on.
//
// Device reports become messages posted to the operator view (g_hMainWnd), in the order they came, with a
// copy of a narrow text: UM_TRUNK_HIT / UM_HEAD_HIT (wParam 1 for a Chung device, 0 for a Hong device;
// "valid,force,flag,VALIDITY" or "none,force,flag,NAME"), UM_JUDGE1_INPUT..UM_JUDGE3_INPUT (wParam 0;
// "chung,hong,flag") and UM_DEVICE_STATE_LOG (wParam 1 for a flagged status report). A lost device sets its
// bit of MatchData::nDeviceStatus (and, in an individual match, leaves the device table); a status report
// keeps its value in the player slot's nBodyBattery / nHeadBattery. The device table is read under
// g_networkLock, which is never held across a send.
//
// Replies are taken only in the receiver state that awaits them (ReceiverProtocolState::nState): version,
// channel, network (then UM_LINK_READY to the Rule page and the view), registration (then command 43), and
// the pairing reply, which stops the pairing-wait thread, posts WM_CLOSE to the progress dialog, writes the
// device table and sends UM_REG_DEVICE_PAIRED to the registration dialog and UM_DEVICE_PAIRED_MAIN to the
// view.
#pragma once

#include "platform/WinTypes.h"

#include <mutex>
#include <string_view>

struct ReceiverFrame;
struct TTK_Receiver;

// Receive thread, once per frame, in the order the frames arrived; the frame is valid during the call only.
// A frame of another kind, or one whose payload is shorter than the fields it needs, does nothing.
void DispatchDeviceReport(TTK_Receiver& receiver, const ReceiverFrame& frame);

// Any thread: the MatchData::nDeviceStatus bit of a device name ("CH" 0x1, "CV" 0x2, "HH" 0x4, "HV" 0x8,
// "judge1".."judge3" 0x10..0x40, "CH2" 0x80 .. "HV6" 0x8000000); 0 for any other name.
int DeviceLostBit(std::string_view name);

// The receiver's radio network from its network reply, for the court update: channel, network (PAN) id
// and receiver address. g_receiverNetworkLock guards the three; the receive thread writes them.
extern std::mutex g_receiverNetworkLock;
extern int g_nReceiverChannel;
extern int g_nReceiverPanId;
extern BYTE g_abReceiverMac[8];
