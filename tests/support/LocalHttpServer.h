// A small HTTP/1.1 server on 127.0.0.1 for tests of the program's HTTP clients. It runs on a thread of its
// own, so a client may block the test's thread while it answers. Each request is recorded whole (method,
// target, headers in order, body, arrival time) and answered by the test's responder, after a delay when
// the responder asks for one. One request per connection; the reply closes it.
#pragma once

#include <QThread>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

class QTcpServer;

struct HttpRequestSeen {
    std::string method;
    std::string target;                                       // path and query, as sent
    std::vector<std::pair<std::string, std::string>> headers; // name and value (trimmed), in order
    std::vector<std::string> headerLines;                     // the header lines byte for byte, in order
    std::string body;
    std::chrono::steady_clock::time_point arrived;     // when the request was complete
    std::string Header(const std::string& name) const; // first header of that name (any case), or ""
};

struct HttpReply {
    int status = 200;
    std::string body;
    std::chrono::milliseconds delay{0}; // before the reply is written
    bool reset = false;                 // the connection is cut instead of answered
};

class LocalHttpServer {
public:
    using Responder = std::function<HttpReply(const HttpRequestSeen&)>;

    // Listens on a free port of 127.0.0.1; every request gets 200 with an empty body until SetResponder.
    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    // The responder runs on the server's thread. Any thread.
    void SetResponder(Responder responder);
    std::uint16_t Port() const { return m_port; }
    std::string BaseUrl() const; // "http://127.0.0.1:<port>"

    // Requests seen so far, in order of arrival. Any thread.
    std::vector<HttpRequestSeen> Requests() const;
    // Waits until at least count requests have arrived; false after the time-out.
    bool WaitForRequests(std::size_t count,
                         std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

    // A port of 127.0.0.1 that nobody listens on (bound once, then closed).
    static std::uint16_t ClosedPort();

private:
    friend class LocalHttpConnection;
    HttpReply Answer(const HttpRequestSeen& request);

    QThread m_thread;
    QTcpServer* m_server = nullptr; // lives on m_thread
    std::uint16_t m_port = 0;
    mutable std::mutex m_mutex; // guards m_requests and m_responder
    mutable std::condition_variable m_arrived;
    std::vector<HttpRequestSeen> m_requests;
    Responder m_responder;
};
