// The five link slots of the match record and what the view needs to open and read them: which slot a
// link id names, the open parameters built from a link's settings, and how a received reply is kept.
// Plain functions on MatchData; UI thread (the record's link fields are the UI thread's).
#pragma once

#include "links/Transport.h"

struct MatchData;
struct TTK_LinkCfg;

// The outside systems, in the order of UM_EXT_LINK_CONTROL's wParam.
enum LinkSystem { LINK_OVR = 0, LINK_IVR = 1, LINK_TVG = 2, LINK_PREREG = 3, LINK_ST = 4 };
constexpr int kLinkSystems = 5;

// Link ids: each link has its own, so its events name it. TCP 100 + system, UDP 200 + system.
constexpr int kTcpLinkIdBase = 100;
constexpr int kUdpLinkIdBase = 200;
// The system a TCP (UDP) link id names, or -1.
int SystemOfTcpLinkId(long id);
int SystemOfUdpLinkId(long id);

// One slot: its handle, its connected flag and the transport its settings choose.
struct LinkSlot {
    void** handle;
    int* connected;
    int commType; // OVR, IVR, TVG: the setting; pre-registration TCP; Swiss Timing serial
};
LinkSlot SlotOf(MatchData& md, int system);
// Handle and flag both set.
bool SlotUp(const LinkSlot& slot);
// A TCP link whose connect is still under way: handle set, flag not yet.
bool SlotConnecting(const LinkSlot& slot);
// Closes the slot's link on the transport it was opened on and clears handle and flag.
void CloseSlot(const LinkSlot& slot);

// Open parameters from a link's settings: the serial data-bit index 0..3 becomes 5..8 and the stop-bit
// index 1 the two-stop-bit code 2.
TTK_CommParam SerialParamFrom(const TTK_LinkCfg& cfg);
TTK_CommParam TcpParamFrom(DWORD ip, int port, int id);
TTK_CommParam UdpParamFrom(const TTK_LinkCfg& cfg, int id);

// What became of the last reply kept in a reply buffer.
enum ReplyOverflow : int {
    ReplyFits = 0,     // the buffer holds it (or nothing)
    ReplyDropping = 1, // it did not fit: the buffer is empty and its rest is dropped up to its end byte
    ReplyTooLong = 2,  // it did not fit and has ended; the buffer is empty
};

// Keeps the n received bytes in a reply buffer. A reply may come over several reads: while the text kept
// has not reached its end byte (0x03 or 0x04) the bytes are added to it; otherwise they start a new text,
// and an empty read after a complete text empties the buffer. A reply that does not fit the 1023 bytes is
// not kept in part: the buffer is emptied, overflow says so, and the reply's rest is dropped; the text after
// its end byte starts anew. Always zero-terminated.
void StoreReply(char (&buffer)[1024], int& overflow, const char* data, int n);
