#include "links/Transport.h"

#include "app/Messages.h"
#include "platform/DebugOutput.h"
#include "platform/LinkSerialPort.h"
#include "platform/UdpSocket.h"
#include "platform/WindowMessages.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <deque>
#include <string>

namespace {

constexpr std::uint32_t kLinkTag = 0x4B4E494C; // marks the links this switch made
constexpr int kNoTransport = -1;
// What one serial receive takes at most: the receive buffers of the view hold 2048 bytes.
constexpr int kSerialChunk = 2048;
// Records a TCP link keeps while its peer takes nothing, beyond the socket's own staging.
constexpr std::size_t kTcpBacklogLimit = 256 * 1024;

struct LinkBase {
    explicit LinkBase(int type) : nType(type) {}
    ~LinkBase() { nTag = 0; }
    std::uint32_t nTag = kLinkTag;
    int nType;
};

struct SerialLink : LinkBase {
    static constexpr int kType = COMM_SERIAL;
    SerialLink() : LinkBase(kType) {}
    HWND hOwner = 0;
    platform::LinkSerialPort port;
    std::atomic<bool> bNotified{false}; // a UM_SERIAL_DATA waits for the owner
    int bConnected = 0;
    bool bDropReported = false; // the debug output has told of a dropped record since the last taken one

    void Notify() {
        if (!bNotified.exchange(true))
            PostMessage(hOwner, UM_SERIAL_DATA, 0, 0);
    }
};

struct TcpLink final : LinkBase, TcpEventSink {
    static constexpr int kType = COMM_TCP;
    TcpLink() : LinkBase(kType) {}
    HWND hOwner = 0;
    TcpInfo info;
    // Whole records the socket's staging had no room for, oldest first; they go before any later one.
    std::deque<std::string> backlog;
    std::size_t backlogBytes = 0;
    bool bDropReported = false; // the debug output has told of a dropped record since the last send

    void OnTcpEvent(std::uintptr_t code, std::intptr_t linkId) override {
        // The handler may close this link: nothing of it is touched afterwards.
        SendMessage(hOwner, UM_TCP_EVENT, code, linkId);
    }
    void OnTcpWritable(std::intptr_t) override { SendBacklog(); }

    // Stages what waits, in order, as far as the staging takes whole records.
    void SendBacklog() {
        while (!backlog.empty() && info.pSock) {
            const std::string& record = backlog.front();
            const int length = static_cast<int>(record.size());
            if (info.pSock->Send(record.data(), length) != length)
                return;
            backlogBytes -= record.size();
            backlog.pop_front();
        }
    }

    void Send(const char* data, int length) {
        SendBacklog();
        if (backlog.empty() && info.pSock) {
            const int taken = info.pSock->Send(data, length);
            if (taken == length) {
                bDropReported = false;
                return;
            }
            if (taken < 0) {
                DebugPrintf("TCP link %d is not open; a record of %d bytes not sent", info.nId, length);
                return;
            }
        }
        if (backlogBytes + static_cast<std::size_t>(length) > kTcpBacklogLimit) {
            if (!bDropReported)
                DebugPrintf("TCP link %d: the peer takes nothing; records dropped whole until it does",
                            info.nId);
            bDropReported = true;
            return;
        }
        backlog.emplace_back(data, static_cast<std::size_t>(length));
        backlogBytes += static_cast<std::size_t>(length);
    }
};

struct UdpLink : LinkBase {
    static constexpr int kType = COMM_UDP;
    UdpLink() : LinkBase(kType) {}
    HWND hOwner = 0;
    UdpInfo info{};
    platform::UdpSocket sock;
};

int g_nLastError = 0;
LinkBase g_wtApiMarker{kNoTransport};

// The link behind a handle when it is one of this switch's links of the named transport.
template <typename T> T* Link(void* handle, int commType) {
    if (!handle || commType != T::kType)
        return nullptr;
    auto* base = static_cast<LinkBase*>(handle);
    if (base->nTag != kLinkTag) {
        DebugPrintf("link %p is no link of the transport switch; ignored", handle);
        return nullptr;
    }
    return base->nType == T::kType ? static_cast<T*>(base) : nullptr;
}

void* Handle(LinkBase* link) {
    return link;
}

} // namespace

void* CommOpen(int commType, HWND owner, const TTK_CommParam& param) {
    switch (commType) {
    case COMM_SERIAL:
        return CommOpenSerial(owner, param);
    case COMM_TCP:
        return CommOpenTcp(owner, param);
    case COMM_UDP:
        return CommOpenUdp(owner, param);
    default:
        g_nLastError = EINVAL;
        return nullptr;
    }
}

void* CommOpenSerial(HWND owner, const TTK_CommParam& param) {
    auto* link = new SerialLink;
    link->hOwner = owner;
    const platform::LinkSerialSettings settings{param.nBaud, param.nDataBits, param.nStopBits, param.nParity};
    const std::string port(param.szPort,
                           std::find(param.szPort, param.szPort + sizeof param.szPort - 1, '\0'));
    if (const int error = link->port.Open(port, settings, [link] { link->Notify(); })) {
        DebugPrintf("serial port %s could not be opened (error %d)", port.c_str(), error);
        g_nLastError = error;
        delete link;
        return nullptr;
    }
    link->bConnected = 1;
    return Handle(link);
}

void* CommOpenTcp(HWND owner, const TTK_CommParam& param) {
    if (param.nTcpPort < 0 || param.nTcpPort > 65535) {
        g_nLastError = EINVAL;
        return nullptr;
    }
    auto* link = new TcpLink;
    link->hOwner = owner;
    link->info.dwIp = param.dwTcpIp;
    link->info.nPort = param.nTcpPort;
    link->info.nId = param.nTcpId;
    auto* sock = new CTcpSock(link);
    link->info.pSock = sock;
    sock->Create();
    sock->InitSock(&link->info);
    const int result = sock->Connect(param.dwTcpIp, param.nTcpPort);
    if (result == 0) {
        link->info.bConnected = 1;
    } else if (result != CTcpSock::kWouldBlock) {
        DebugPrintf("TCP link to port %d could not be opened (error %d)", param.nTcpPort, result);
        g_nLastError = result;
        CTcpSock::Destroy(sock);
        delete link;
        return nullptr;
    }
    return Handle(link);
}

void* CommOpenUdp(HWND owner, const TTK_CommParam& param) {
    auto* link = new UdpLink;
    link->hOwner = owner;
    link->info.dwIp = param.dwUdpIp;
    link->info.nTxPort = param.nUdpTx;
    link->info.nRxPort = param.nUdpRx;
    link->info.nId = param.nUdpId;
    link->info.pSock = &link->sock;
    const int id = param.nUdpId;
    if (const int error =
            link->sock.Bind(param.nUdpRx, [owner, id] { SendMessage(owner, UM_UDP_EVENT, 2, id); })) {
        DebugPrintf("UDP port %d could not be bound (error %d)", param.nUdpRx, error);
        g_nLastError = error;
        delete link;
        return nullptr;
    }
    link->info.bOpened = 1;
    return Handle(link);
}

void CommClose(int commType, void* handle) {
    if (auto* serial = Link<SerialLink>(handle, commType)) {
        serial->port.Close();
        serial->bConnected = 0;
        delete serial;
    } else if (auto* tcp = Link<TcpLink>(handle, commType)) {
        tcp->info.bConnected = 0;
        CTcpSock::Destroy(tcp->info.pSock); // freed later when inside its own event
        tcp->info.pSock = nullptr;
        delete tcp;
    } else if (auto* udp = Link<UdpLink>(handle, commType)) {
        udp->sock.Close(); // likewise
        udp->info.bOpened = 0;
        udp->info.pSock = nullptr;
        delete udp;
    }
}

int CommSend(int commType, void* handle, const char* data, int length) {
    if (!data || length <= 0)
        return 0;
    if (auto* serial = Link<SerialLink>(handle, commType)) {
        const int taken = serial->port.Write(data, length);
        if (taken == length)
            serial->bDropReported = false;
        else if (!serial->bDropReported)
            DebugPrintf("serial link: %s; records dropped whole until it takes them again",
                        taken == 0 ? "the port takes nothing" : "the port fails");
        serial->bDropReported = taken != length;
        return std::max(0, taken);
    }
    if (auto* tcp = Link<TcpLink>(handle, commType)) {
        tcp->Send(data, length);
    } else if (auto* udp = Link<UdpLink>(handle, commType)) {
        if (udp->sock.SendTo(udp->info.dwIp, udp->info.nTxPort, data, length) < 0)
            DebugPrintf("UDP link %d: a datagram of %d bytes could not be sent", udp->info.nId, length);
    }
    return 0;
}

int CommReceive(int commType, void* handle, char* buffer, int size) {
    if (!buffer || size <= 0)
        return 0;
    if (auto* serial = Link<SerialLink>(handle, commType)) {
        serial->bNotified = false;
        const int n = serial->port.Take(buffer, std::min(size, kSerialChunk));
        if (serial->port.Queued() > 0)
            serial->Notify();
        return n;
    }
    if (auto* tcp = Link<TcpLink>(handle, commType))
        return tcp->info.pSock ? tcp->info.pSock->Receive(buffer, size) : -1;
    if (auto* udp = Link<UdpLink>(handle, commType))
        return udp->sock.Receive(buffer, size);
    return 0;
}

int CommTypeOf(void* handle) {
    const auto* base = static_cast<const LinkBase*>(handle);
    return base && base->nTag == kLinkTag ? base->nType : kNoTransport;
}

TcpInfo* CommTcpInfo(void* handle) {
    auto* tcp = Link<TcpLink>(handle, COMM_TCP);
    return tcp ? &tcp->info : nullptr;
}

UdpInfo* CommUdpInfo(void* handle) {
    auto* udp = Link<UdpLink>(handle, COMM_UDP);
    return udp ? &udp->info : nullptr;
}

int CommLastError() {
    return g_nLastError;
}

void* CommWtApiMarker() {
    return &g_wtApiMarker;
}
