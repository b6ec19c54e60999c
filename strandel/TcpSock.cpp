#include "strandel/TcpSock.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

#include <cerrno>

namespace {

// The system's error number for a connect that failed before it began.
int ErrorNumber(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::NetworkError:
        return ENETUNREACH;
    case QAbstractSocket::SocketResourceError:
        return EMFILE;
    case QAbstractSocket::SocketAccessError:
        return EACCES;
    case QAbstractSocket::UnsupportedSocketOperationError:
        return EAFNOSUPPORT;
    default:
        return ECONNREFUSED;
    }
}

} // namespace

TcpInfo::TcpInfo() : dwIp(0), pSock(nullptr), bConnected(0), nReserved(0), nPort(0), nId(0) {}

TcpInfo& TcpInfo::operator=(const TcpInfo& other) {
    dwIp = other.dwIp;
    pSock = other.pSock;
    bConnected = other.bConnected;
    nReserved = other.nReserved;
    nPort = other.nPort;
    nId = other.nId;
    return *this;
}

CTcpSock::CTcpSock(TcpEventSink* owner) : m_pOwner(owner) {}

CTcpSock::~CTcpSock() = default; // the socket is a child and goes with this object

void CTcpSock::Destroy(CTcpSock* sock) {
    if (!sock)
        return;
    sock->Close();
    // The record may be freed with the link right after this; the socket forgets it (and so tells nobody).
    sock->m_pInfo = nullptr;
    sock->m_pOwner = nullptr;
    // Freeing it now would pull the object from under the notification that is still running.
    if (sock->m_nEventDepth > 0)
        sock->m_bDestroyPending = true;
    else
        delete sock;
}

void CTcpSock::InitSock(TcpInfo* info) {
    m_pInfo = info;
}

bool CTcpSock::Create() {
    if (m_pSocket)
        return true;
    m_pSocket = new QTcpSocket(this);
    m_pSocket->setReadBufferSize(kReceiveLimit);
    connect(m_pSocket, &QTcpSocket::readyRead, this, &CTcpSock::ReadyRead);
    connect(m_pSocket, &QTcpSocket::connected, this, &CTcpSock::Connected);
    connect(m_pSocket, &QTcpSocket::errorOccurred, this, &CTcpSock::Failed);
    connect(m_pSocket, &QTcpSocket::disconnected, this, &CTcpSock::Disconnected);
    connect(m_pSocket, &QTcpSocket::bytesWritten, this, &CTcpSock::Written);
    m_pConnectTimer = new QTimer(this);
    m_pConnectTimer->setSingleShot(true);
    connect(m_pConnectTimer, &QTimer::timeout, this, &CTcpSock::ConnectTimedOut);
    return true;
}

int CTcpSock::Connect(std::uint32_t ip, int port) {
    if (!m_pSocket)
        return ENOTSOCK;
    if (port < 0 || port > 65535)
        return EINVAL;
    m_bConnecting = true;
    m_bCloseSent = false;
    m_pSocket->connectToHost(QHostAddress(ip), static_cast<quint16>(port));
    switch (m_pSocket->state()) {
    case QAbstractSocket::ConnectedState:
        m_bConnecting = false;
        return 0;
    case QAbstractSocket::UnconnectedState:
        m_bConnecting = false;
        return ErrorNumber(m_pSocket->error());
    default:
        m_pConnectTimer->start(m_nConnectTimeoutMs);
        return kWouldBlock;
    }
}

int CTcpSock::Send(const char* data, int length) {
    if (!m_pSocket || !data || length < 0)
        return -1;
    const auto state = m_pSocket->state();
    if (state != QAbstractSocket::ConnectedState && state != QAbstractSocket::ConnectingState)
        return -1;
    if (length == 0)
        return 0;
    if (kSendLimit - m_pSocket->bytesToWrite() < length)
        return 0;
    // Qt writes without SIGPIPE: a peer that is gone shows as an error, not a signal. Its staging takes
    // the whole block or fails.
    return m_pSocket->write(data, length) == length ? length : -1;
}

int CTcpSock::Receive(char* buffer, int size) {
    if (!m_pSocket || !buffer || size <= 0)
        return -1;
    const qint64 n = m_pSocket->read(buffer, size);
    m_bReadArmed = true;
    if (m_pSocket->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &CTcpSock::ReadyRead, Qt::QueuedConnection);
    return n > 0 ? static_cast<int>(n) : -1;
}

void CTcpSock::Close() {
    m_bConnecting = false;
    m_bCloseSent = true;
    if (!m_pSocket)
        return;
    m_pConnectTimer->stop();
    disconnect(m_pSocket, nullptr, this, nullptr);
    // What was staged goes to the system first (a closing record such as the OVR kill notice), without
    // waiting; then the socket closes at once.
    if (m_pSocket->state() == QAbstractSocket::ConnectedState)
        m_pSocket->flush();
    m_pSocket->abort();
}

void CTcpSock::OnReceive(int) {
    Notify(TCP_EVENT_DATA);
}

void CTcpSock::OnConnect(int error) {
    // The flag first: the owner's handler may already send on the link.
    if (m_pInfo)
        m_pInfo->bConnected = error == 0 ? 1 : 0;
    Notify(error == 0 ? TCP_EVENT_CONNECTED : TCP_EVENT_CONNECT_FAIL);
}

void CTcpSock::OnClose(int) {
    if (m_pInfo)
        m_pInfo->bConnected = 0;
    Notify(TCP_EVENT_CLOSE);
}

void CTcpSock::Notify(std::uintptr_t code) {
    // A socket without its link record has nobody to tell.
    if (!m_pOwner || !m_pInfo || m_bDestroyPending)
        return;
    ++m_nEventDepth;
    m_pOwner->OnTcpEvent(code, m_pInfo->nId);
    --m_nEventDepth;
    if (m_nEventDepth == 0 && m_bDestroyPending)
        deleteLater(); // the Qt socket is still inside its own signal
}

void CTcpSock::Written() {
    if (!m_pOwner || !m_pInfo || m_bDestroyPending)
        return;
    ++m_nEventDepth;
    m_pOwner->OnTcpWritable(m_pInfo->nId);
    --m_nEventDepth;
    if (m_nEventDepth == 0 && m_bDestroyPending)
        deleteLater();
}

void CTcpSock::ReadyRead() {
    if (!m_bReadArmed || !m_pSocket || m_pSocket->bytesAvailable() <= 0)
        return;
    m_bReadArmed = false;
    OnReceive(0);
}

void CTcpSock::Connected() {
    m_pConnectTimer->stop();
    m_bConnecting = false;
    OnConnect(0);
}

void CTcpSock::ConnectTimedOut() {
    if (!m_bConnecting)
        return;
    m_bConnecting = false;
    m_bCloseSent = true; // the connection never came up: no close event follows the failed connect
    m_pSocket->abort();
    OnConnect(ETIMEDOUT);
}

void CTcpSock::Failed() {
    if (m_bConnecting) {
        m_pConnectTimer->stop();
        m_bConnecting = false;
        OnConnect(static_cast<int>(m_pSocket->error()) + 1);
    } else if (m_pSocket->state() == QAbstractSocket::UnconnectedState) {
        Disconnected();
    }
}

void CTcpSock::Disconnected() {
    if (m_bCloseSent || m_bConnecting)
        return;
    m_bCloseSent = true;
    OnClose(0);
}
