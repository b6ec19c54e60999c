#include "tests/support/LocalHttpServer.h"

#include <QHostAddress>
#include <QMetaObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <cctype>
#include <future>

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

const char* Reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 201:
        return "Created";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

} // namespace

std::string HttpRequestSeen::Header(const std::string& name) const {
    const std::string wanted = Lower(name);
    for (const auto& [key, value] : headers)
        if (Lower(key) == wanted)
            return value;
    return {};
}

// One connection: collects the request, hands it to the server, writes the reply and closes.
class LocalHttpConnection : public QObject {
public:
    LocalHttpConnection(LocalHttpServer& server, QTcpSocket* socket)
        : QObject(socket), m_server(server), m_socket(socket) {
        connect(socket, &QTcpSocket::readyRead, this, &LocalHttpConnection::OnReadyRead);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }

private:
    void OnReadyRead() {
        m_buffer += m_socket->readAll().toStdString();
        if (m_done)
            return;
        if (!m_headerParsed && !ParseHeader())
            return;
        if (m_buffer.size() < m_headerEnd + m_contentLength)
            return;
        m_done = true;
        m_request.body = m_buffer.substr(m_headerEnd, m_contentLength);
        m_request.arrived = std::chrono::steady_clock::now();
        const HttpReply reply = m_server.Answer(m_request);
        std::string text = "HTTP/1.1 " + std::to_string(reply.status) + " " + Reason(reply.status) +
                           "\r\nContent-Type: application/vnd.api+json\r\nContent-Length: " +
                           std::to_string(reply.body.size()) + "\r\nConnection: close\r\n\r\n" + reply.body;
        QPointer<QTcpSocket> socket(m_socket);
        const bool reset = reply.reset;
        QTimer::singleShot(reply.delay, m_socket, [socket, text, reset] {
            if (!socket)
                return;
            if (reset) {
                socket->abort();
                return;
            }
            socket->write(text.data(), static_cast<qint64>(text.size()));
            socket->disconnectFromHost();
        });
    }

    bool ParseHeader() {
        const auto end = m_buffer.find("\r\n\r\n");
        if (end == std::string::npos)
            return false;
        m_headerParsed = true;
        m_headerEnd = end + 4;
        std::size_t lineStart = 0;
        bool first = true;
        while (lineStart < end) {
            auto lineEnd = m_buffer.find("\r\n", lineStart);
            const std::string line = m_buffer.substr(lineStart, lineEnd - lineStart);
            lineStart = lineEnd + 2;
            if (first) {
                first = false;
                const auto space1 = line.find(' ');
                const auto space2 = line.find(' ', space1 + 1);
                m_request.method = line.substr(0, space1);
                m_request.target = line.substr(space1 + 1, space2 - space1 - 1);
                continue;
            }
            m_request.headerLines.push_back(line);
            const auto colon = line.find(':');
            if (colon == std::string::npos)
                continue;
            m_request.headers.emplace_back(line.substr(0, colon), Trimmed(line.substr(colon + 1)));
        }
        const std::string length = m_request.Header("Content-Length");
        m_contentLength = length.empty() ? 0 : std::stoul(length);
        if (Lower(m_request.Header("Expect")) == "100-continue")
            m_socket->write("HTTP/1.1 100 Continue\r\n\r\n");
        return true;
    }

    LocalHttpServer& m_server;
    QTcpSocket* m_socket;
    std::string m_buffer;
    HttpRequestSeen m_request;
    bool m_headerParsed = false;
    bool m_done = false;
    std::size_t m_headerEnd = 0;
    std::size_t m_contentLength = 0;
};

LocalHttpServer::LocalHttpServer() {
    m_thread.start();
    std::promise<std::uint16_t> listening;
    auto port = listening.get_future();
    QObject* anchor = new QObject;
    anchor->moveToThread(&m_thread);
    QMetaObject::invokeMethod(anchor, [this, anchor, &listening] {
        m_server = new QTcpServer;
        QObject::connect(m_server, &QTcpServer::newConnection, m_server, [this] {
            while (QTcpSocket* socket = m_server->nextPendingConnection())
                new LocalHttpConnection(*this, socket);
        });
        m_server->listen(QHostAddress::LocalHost, 0);
        delete anchor;
        listening.set_value(m_server->serverPort());
    });
    m_port = port.get();
}

LocalHttpServer::~LocalHttpServer() {
    QMetaObject::invokeMethod(m_server, [this] {
        delete m_server;
        m_server = nullptr;
        QThread::currentThread()->quit();
    });
    m_thread.wait();
}

void LocalHttpServer::SetResponder(Responder responder) {
    std::lock_guard lock(m_mutex);
    m_responder = std::move(responder);
}

std::string LocalHttpServer::BaseUrl() const {
    return "http://127.0.0.1:" + std::to_string(m_port);
}

std::vector<HttpRequestSeen> LocalHttpServer::Requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

bool LocalHttpServer::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_mutex);
    return m_arrived.wait_for(lock, timeout, [&] { return m_requests.size() >= count; });
}

HttpReply LocalHttpServer::Answer(const HttpRequestSeen& request) {
    Responder responder;
    {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(request);
        responder = m_responder;
    }
    m_arrived.notify_all();
    return responder ? responder(request) : HttpReply{};
}

std::uint16_t LocalHttpServer::ClosedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const std::uint16_t port = probe.serverPort();
    probe.close();
    return port;
}
