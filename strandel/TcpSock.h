// Strandel: the court program's TCP sockets. A CTcpSock is a non-blocking client socket on the event loop
// of the thread that made it (the UI thread); it turns the socket's notifications into one event for its
// owner, a link event, and keeps the connected flag of the link record it is bound to.
//
// Every event carries the id of the socket's link record, so one owner can hold several links and tell
// them apart. Read readiness is re-armed by the owner's next Receive: one data event is sent, and the next
// comes only after the owner has read (again at once when bytes were left over).
//
// Threads: every function on the thread that made the socket. The library has no threads and no locks.
#pragma once

#include <QObject>

#include <cstdint>

#if defined(STRANDEL_BUILD)
#define STRANDEL_API __attribute__((visibility("default")))
#else
#define STRANDEL_API
#endif

class CTcpSock;
class QTcpSocket;
class QTimer;

// Event codes; the program hands them to its window as the wParam of its TCP event message (WM_USER + 101),
// with the link id as lParam.
constexpr std::uintptr_t TCP_EVENT_DATA = 2;               // bytes wait to be received
constexpr std::uintptr_t TCP_EVENT_ACCEPT = 3;             // a listening socket's connection (none here)
constexpr std::uintptr_t TCP_EVENT_CLOSE = 4;              // the peer closed or the link broke; once
constexpr std::uintptr_t TCP_EVENT_CONNECTED = 0x10005;    // the asynchronous connect succeeded
constexpr std::uintptr_t TCP_EVENT_CONNECT_FAIL = 0x20005; // the asynchronous connect failed

// One TCP link, created and owned by the program.
struct STRANDEL_API TcpInfo {
    TcpInfo();
    TcpInfo(const TcpInfo&) = default;
    TcpInfo& operator=(const TcpInfo& other);

    std::uint32_t dwIp; // peer IPv4 address, first part of the dotted form in the top byte
    CTcpSock* pSock;    // the socket of this link
    int bConnected;     // 1 once the connection is up
    int nReserved;      // always 0
    int nPort;          // peer port
    int nId;            // link id, sent back with every event
};

// Where a socket's events go: the program forwards them as UM_TCP_EVENT to its window.
class STRANDEL_API TcpEventSink {
public:
    virtual void OnTcpEvent(std::uintptr_t code, std::intptr_t linkId) = 0;
    // The system took staged bytes, so Send has room again. Not a link event: the window never sees it.
    virtual void OnTcpWritable(std::intptr_t linkId) { (void)linkId; }

protected:
    ~TcpEventSink() = default;
};

class STRANDEL_API CTcpSock : public QObject {
    Q_OBJECT
public:
    // What the socket holds at most: bytes received but not yet taken by the owner (the peer is slowed by
    // TCP flow control beyond that), and bytes given to Send but not yet taken by the system.
    static constexpr std::int64_t kReceiveLimit = 64 * 1024;
    static constexpr std::int64_t kSendLimit = 64 * 1024;
    // Connect's result while the connection is under way (the system's "would block").
    static constexpr int kWouldBlock = 10035;
    // How long a connect may stay under way before it counts as failed: a peer that never answers is
    // told apart from a slow one within seconds, not after the system's own minutes.
    static constexpr int kConnectTimeoutMs = 10000;

    explicit CTcpSock(TcpEventSink* owner = nullptr);

    // Frees the socket. Inside one of the socket's own events the socket is closed at once (no further
    // event) and freed once the event has returned; the link record is never touched.
    static void Destroy(CTcpSock* sock);

    // Binds the link record whose id and connected flag the events use. Before any Connect.
    void InitSock(TcpInfo* info);
    // Makes the stream socket. False when it cannot be made.
    bool Create();
    // Starts connecting to ip:port. 0 when connected at once, kWouldBlock while under way (the outcome
    // comes as an event, a failed one also when the connect time-out runs out), else an error number (a
    // port outside 0..65535, no socket).
    int Connect(std::uint32_t ip, int port);
    // The connect time-out of later connects, in ms.
    void SetConnectTimeout(int ms) { m_nConnectTimeoutMs = ms; }
    // Stages the length bytes for sending, whole or not at all, so a record never goes out cut: length
    // when staged, 0 when they do not fit into the staging now (OnTcpWritable tells when it has room
    // again), -1 when the link is not open.
    int Send(const char* data, int length);
    // Takes up to size waiting bytes; returns the count, or -1 when none wait. What is left stays queued
    // and is announced by a new data event.
    int Receive(char* buffer, int size);
    // Hands what is staged to the system and closes the connection; no event follows.
    void Close();

    const TcpInfo* Info() const { return m_pInfo; }

protected:
    ~CTcpSock() override;

    // The notifications, each telling the owner.
    virtual void OnReceive(int error);
    virtual void OnConnect(int error);
    virtual void OnClose(int error);

private:
    void Notify(std::uintptr_t code);
    void ReadyRead();
    void Connected();
    void Failed();
    void Disconnected();
    void Written();
    void ConnectTimedOut();

    TcpEventSink* m_pOwner;            // never owned
    TcpInfo* m_pInfo = nullptr;        // never owned
    QTcpSocket* m_pSocket = nullptr;   // child of this object
    QTimer* m_pConnectTimer = nullptr; // child of this object; runs while a connect is under way
    int m_nConnectTimeoutMs = kConnectTimeoutMs;
    bool m_bReadArmed = true;       // the next arrival is announced
    bool m_bConnecting = false;     // a connect is under way
    bool m_bCloseSent = false;      // the close event went out
    int m_nEventDepth = 0;          // events of this socket on the stack
    bool m_bDestroyPending = false; // Destroy came during an event
};
