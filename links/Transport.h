// The transport switch: the one place that knows the three transports of the outside links. Everybody
// else holds an opaque link handle and its transport type (0 serial, 1 TCP, 2 UDP, the Comminucation_Type
// values) and calls the operations below. A handle knows its own transport: a call naming another type, or
// no transport at all, does nothing.
//
// Notifications go to the owner window given at open: UM_SERIAL_DATA (posted, at most one waiting) when
// serial bytes arrived, UM_TCP_EVENT (sent) with the event code and the link's id for a TCP link,
// UM_UDP_EVENT (sent) with 2 and the link's id when a datagram waits. A link may be closed inside its own
// notification; it is freed once the notification has returned.
//
// Threads: every operation on the UI thread; the notifications arrive there.
#pragma once

#include "platform/WinTypes.h"
#include "strandel/TcpSock.h"

namespace platform {
class UdpSocket;
}

constexpr int COMM_SERIAL = 0;
constexpr int COMM_TCP = 1;
constexpr int COMM_UDP = 2;

// Open parameters; only the fields of the chosen transport are read.
struct TTK_CommParam {
    char szPort[260]; // serial device, 8-bit text
    int nBaud;
    int nDataBits; // 5..8
    int nStopBits; // 0 one stop bit, 2 two
    int nParity;   // 0 none, 1 odd, 2 even
    DWORD dwTcpIp; // first part of the dotted form in the top byte
    int nTcpPort;
    int nTcpId; // sent back with every TCP event
    DWORD dwUdpIp;
    int nUdpTx; // peer port
    int nUdpRx; // local port bound
    int nUdpId; // sent back with every UDP event
};

// One UDP link, as the handle of a UDP link shows it.
struct UdpInfo {
    DWORD dwIp;
    int nTxPort;
    int nRxPort;
    platform::UdpSocket* pSock;
    int bOpened; // 1 once bound
    int nId;
};

// The new link, or null (nothing stays allocated; CommLastError says why). A TCP link comes back while
// its connect is still under way, with connected 0; the connect event completes it.
void* CommOpen(int commType, HWND owner, const TTK_CommParam& param);
void* CommOpenSerial(HWND owner, const TTK_CommParam& param);
void* CommOpenTcp(HWND owner, const TTK_CommParam& param);
void* CommOpenUdp(HWND owner, const TTK_CommParam& param);
// Closes the link and frees it; the handle must not be used again. Null does nothing.
void CommClose(int commType, void* link);
// Hands length bytes to the link as one record, taken whole or not at all: a record never reaches the
// peer cut and followed by the next. Serial: length when the port took them, else 0; TCP keeps what its
// socket has no room for and sends it, in order, once the socket has room (up to a limit, beyond which
// later records are dropped whole and the debug output says so). TCP, UDP and anything else return 0.
int CommSend(int commType, void* link, const char* data, int length);
// Takes received bytes, up to size: the count, or -1 when nothing waits (0 for an empty serial queue or a
// handle of another transport). What is not taken stays queued and is announced again.
int CommReceive(int commType, void* link, char* buffer, int size);

// The transport a handle was opened on; -1 for null or the WT JSON API marker. Closing a slot uses it, so a
// transport list changed since the open still closes the right link.
int CommTypeOf(void* link);
// The records behind TCP and UDP handles; null for any other handle.
TcpInfo* CommTcpInfo(void* link);
UdpInfo* CommUdpInfo(void* link);
// The system's error number of the last open that failed.
int CommLastError();
// What the OVR slot holds while the WT JSON API counts as connected: a handle of no transport, which every
// operation above ignores.
void* CommWtApiMarker();
