#include "platform/UdpSocket.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QUdpSocket>

#include <cerrno>
#include <cstring>

namespace platform {

class UdpSocket::Impl : public QObject {
public:
    QUdpSocket socket{this};
    std::function<void()> onReadable;
    bool armed = true;
    int depth = 0;        // callbacks on the stack
    bool dispose = false; // freed once the callback returns

    void Readable() {
        if (!armed || dispose || !socket.hasPendingDatagrams() || !onReadable)
            return;
        armed = false;
        const std::function<void()> callback = onReadable;
        ++depth;
        callback();
        --depth;
        if (depth == 0 && dispose)
            deleteLater(); // the Qt socket is still inside its own signal
    }
};

namespace {

int ErrorNumber(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::AddressInUseError:
        return EADDRINUSE;
    case QAbstractSocket::SocketAccessError:
        return EACCES;
    case QAbstractSocket::SocketAddressNotAvailableError:
        return EADDRNOTAVAIL;
    case QAbstractSocket::SocketResourceError:
        return EMFILE;
    default:
        return EINVAL;
    }
}

} // namespace

UdpSocket::UdpSocket() = default;

UdpSocket::~UdpSocket() {
    Close();
}

int UdpSocket::Bind(int localPort, std::function<void()> onReadable) {
    Close();
    if (localPort < 0 || localPort > 65535)
        return EINVAL;
    auto* impl = new Impl;
    if (!impl->socket.bind(QHostAddress::AnyIPv4, static_cast<quint16>(localPort))) {
        const int error = ErrorNumber(impl->socket.error());
        delete impl;
        return error;
    }
    impl->onReadable = std::move(onReadable);
    QObject::connect(&impl->socket, &QUdpSocket::readyRead, impl, &Impl::Readable);
    m = impl;
    return 0;
}

int UdpSocket::LocalPort() const {
    return m ? m->socket.localPort() : 0;
}

int UdpSocket::SendTo(std::uint32_t ip, int port, const char* data, int length) {
    if (!m || !data || length < 0 || port < 0 || port > 65535)
        return -1;
    return static_cast<int>(
        m->socket.writeDatagram(data, length, QHostAddress(ip), static_cast<quint16>(port)));
}

int UdpSocket::Receive(char* buffer, int size) {
    if (!m || !buffer || size <= 0 || !m->socket.hasPendingDatagrams())
        return -1;
    const qint64 n = m->socket.readDatagram(buffer, size);
    m->armed = true;
    if (m->socket.hasPendingDatagrams())
        QMetaObject::invokeMethod(m, &Impl::Readable, Qt::QueuedConnection);
    return n < 0 ? -1 : static_cast<int>(n);
}

void UdpSocket::Close() {
    if (!m)
        return;
    Impl* impl = m;
    m = nullptr;
    QObject::disconnect(&impl->socket, nullptr, impl, nullptr);
    impl->socket.close();
    if (impl->depth > 0)
        impl->dispose = true;
    else
        delete impl;
}

} // namespace platform
