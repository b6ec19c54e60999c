#include "links/WtApiClient.h"

#include "app/HttpSinks.h"
#include "app/MatchData.h"
#include "app/TextConvert.h"
#include "links/LinkSettings.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QPointer>
#include <QString>

#include <curl/curl.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <utility>

namespace {

// The GETs carry the match list with its competitors, referees and configuration: more than a post.
constexpr std::chrono::milliseconds kGetTotalTimeout{10000};
// After every pass of the post thread, so two documents never reach the server closer than this.
constexpr std::chrono::milliseconds kPostSpacing{10};

constexpr const char* kInclude =
    "include=homeCompetitor,awayCompetitor,refereeAssignment,event,matchConfiguration";

std::mutex g_libraryMutex; // guards g_bLibraryUp and the CA file
bool g_bLibraryUp = false;
std::string g_strCaFile;

template <std::size_t N> std::string WideFieldUtf8(const char16_t (&field)[N]) {
    std::size_t length = 0;
    while (length < N && field[length] != u'\0')
        ++length;
    return QString::fromUtf16(field, static_cast<qsizetype>(length)).toStdString();
}

template <std::size_t N> std::string NarrowField(const char (&field)[N]) {
    std::size_t length = 0;
    while (length < N && field[length] != '\0')
        ++length;
    return {field, length};
}

bool PlainUrlChar(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.' || c == '~';
}

std::string PercentEncoded(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (PlainUrlChar(c)) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

// The header list of one request, freed with it.
struct HeaderList {
    curl_slist* list = nullptr;
    ~HeaderList() { curl_slist_free_all(list); }
    bool Add(const std::string& line) {
        curl_slist* grown = curl_slist_append(list, line.c_str());
        if (!grown)
            return false;
        list = grown;
        return true;
    }
};

struct EasyHandle {
    CURL* handle = curl_easy_init();
    ~EasyHandle() {
        if (handle)
            curl_easy_cleanup(handle);
    }
};

bool LibraryUp() {
    std::lock_guard lock(g_libraryMutex);
    return g_bLibraryUp;
}

// The options every request shares: headers, certificate checks, time-outs, no signals (the post thread).
void SetCommon(CURL* curl, const HeaderList& headers, const WtApiTransferLimits& limits) {
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers.list);
    if (limits.caFile.empty()) {
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
    } else {
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
        curl_easy_setopt(curl, CURLOPT_CAINFO, limits.caFile.c_str());
    }
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connectTimeout.count()));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(limits.totalTimeout.count()));
}

} // namespace

WtApiTarget WtApiTarget::Of(const MatchData& md) {
    return {WideFieldUtf8(md.wszWTBaseUrl), WideFieldUtf8(md.wszWTApiKey), NarrowField(md.szMatchId),
            md.nCourtNo};
}

WtApiTransferLimits WtApiGetLimits() {
    WtApiTransferLimits limits;
    limits.totalTimeout = kGetTotalTimeout;
    limits.caFile = WtApiCaFile();
    return limits;
}

void WtApiSetCaFile(std::string path) {
    std::lock_guard lock(g_libraryMutex);
    g_strCaFile = std::move(path);
}

std::string WtApiCaFile() {
    std::lock_guard lock(g_libraryMutex);
    return g_strCaFile;
}

std::vector<std::string> WtApiText::Headers(std::string_view apiKey, bool post) {
    std::vector<std::string> headers{"cache-control: no-cache", "accept: application/vnd.api+json"};
    if (post)
        headers.emplace_back("content-type: application/vnd.api+json");
    std::string key = "x-api-key:";
    for (const char c : apiKey)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)
            key += c;
    headers.push_back(std::move(key));
    return headers;
}

std::string WtApiText::GetUrl(int type, const WtApiTarget& target) {
    switch (type) {
    case 0:
        return target.baseUrl + "/status";
    case 1:
        return target.baseUrl + "/matches?filter[mat]=" + std::to_string(target.mat) +
               "&filter[status]=available&sort=scheduled&" + kInclude;
    case 2:
        return target.baseUrl + "/matches/" + PercentEncoded(target.matchId) + "?" + kInclude;
    default:
        return {};
    }
}

std::string WtApiText::PostUrl(int kind, std::string_view baseUrl, std::string_view matchId) {
    const char* tail = kind == 3 ? "/actions" : (kind == 4 || kind == 5) ? "/results" : nullptr;
    if (!tail)
        return {};
    return std::string(baseUrl) + "/matches/" + PercentEncoded(matchId) + tail;
}

void WtApiStartup() {
    std::lock_guard lock(g_libraryMutex);
    if (g_bLibraryUp)
        return;
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        OutputDebugString("WT JSON API: the HTTP library could not be set up; no request can be sent");
        return;
    }
    g_bLibraryUp = true;
}

void WtApiShutdown() {
    WtApiPostQueue().Stop();
    std::lock_guard lock(g_libraryMutex);
    if (!g_bLibraryUp)
        return;
    curl_global_cleanup();
    g_bLibraryUp = false;
}

int WtApiGet(int type, const WtApiTarget& target, std::string_view matchId,
             const WtApiTransferLimits& limits) {
    WtApiTarget request = target;
    request.matchId = std::string(matchId);
    const std::string url = WtApiText::GetUrl(type, request);
    g_strHttpResp.clearIfPresent();
    if (url.empty() || !LibraryUp())
        return CURLE_FAILED_INIT;
    HeaderList headers;
    for (const std::string& line : WtApiText::Headers(target.apiKey, false))
        if (!headers.Add(line))
            return CURLE_FAILED_INIT;
    EasyHandle easy;
    if (!easy.handle)
        return CURLE_FAILED_INIT;
    CURL* curl = easy.handle;
    SetCommon(curl, headers, limits);
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    HttpReplyChunk chunk;
    if (type == 0) {
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &WtApiWriteStatus);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, &chunk);
    } else {
        curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &WtApiWriteBody);
        curl_easy_setopt(curl, CURLOPT_WRITEDATA, nullptr);
    }
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    const CURLcode result = curl_easy_perform(curl);
    long code = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
    if (result != CURLE_OK || type == 0) {
        char text[64];
        std::snprintf(text, sizeof text, "HTTP Response Code : %ld", code);
        g_strHttpResp.assign(text);
    }
    if (result != CURLE_OK)
        DebugPrintf("WT JSON API: GET %s failed: %s (HTTP %ld)", url.c_str(), curl_easy_strerror(result),
                    code);
    return result;
}

int WtApiGet(int type, const char* matchId) {
    const MatchData* md = g_pMatchData;
    if (!md) {
        g_strHttpResp.clearIfPresent();
        return CURLE_FAILED_INIT;
    }
    return WtApiGet(type, WtApiTarget::Of(*md), matchId ? matchId : "");
}

int WtApiGetResponsive(int type, const WtApiTarget& target, std::string_view matchId) {
    // The worker owns copies of everything it reads; the result comes back through the shared state, which
    // lives until both sides are done with it.
    struct Shared {
        std::atomic<int> result{CURLE_FAILED_INIT};
    };
    auto shared = std::make_shared<Shared>();
    QEventLoop loop;
    QPointer<QEventLoop> loopPtr(&loop);
    const WtApiTransferLimits limits = WtApiGetLimits();
    std::thread worker([shared, type, target, id = std::string(matchId), limits, &loop] {
        shared->result = WtApiGet(type, target, id, limits);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    QApplication::setOverrideCursor(Qt::BusyCursor);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    QApplication::restoreOverrideCursor();
    worker.join();
    return shared->result;
}

WtPostQueue::WtPostQueue(WtApiTransferLimits limits) : m_limits(std::move(limits)) {}

WtPostQueue::~WtPostQueue() {
    Stop();
}

bool WtPostQueue::Append(int kind, std::string body, int value, const WtApiTarget& target) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back({kind, std::move(body), value,
                           WtApiText::PostUrl(kind, target.baseUrl, target.matchId), target.apiKey});
    }
    if (!Running() && !Start())
        return false;
    m_wake.notify_one();
    return true;
}

bool WtPostQueue::Running() const {
    return m_thread.joinable();
}

std::size_t WtPostQueue::Waiting() const {
    std::lock_guard lock(m_mutex);
    return m_queue.size();
}

bool WtPostQueue::Start() {
    {
        std::lock_guard lock(m_mutex);
        m_bRun = true;
    }
    try {
        m_thread = std::thread(&WtPostQueue::Run, this);
    } catch (const std::system_error& error) {
        DebugPrintf("WT JSON API: the post thread could not be started: %s", error.what());
        std::lock_guard lock(m_mutex);
        m_bRun = false;
        return false;
    }
    return true;
}

void WtPostQueue::Stop() {
    {
        std::lock_guard lock(m_mutex);
        m_bRun = false;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard lock(m_mutex);
    if (!m_queue.empty())
        DebugPrintf("WT JSON API: %zu document(s) not sent; the post thread has ended", m_queue.size());
    m_queue.clear();
}

void WtPostQueue::Run() {
    for (;;) {
        TPostEvtData document;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return !m_bRun || !m_queue.empty(); });
            if (!m_bRun)
                return;
            document = std::move(m_queue.front());
            m_queue.pop_front();
        }
        if (document.strUrl.empty()) {
            DebugPrintf("WT JSON API: a document of kind %d has no address; dropped", document.nKind);
        } else if (!LibraryUp()) {
            DebugPrintf("WT JSON API: the HTTP library is not set up; a document of kind %d dropped",
                        document.nKind);
        } else {
            HeaderList headers;
            bool headersMade = true;
            for (const std::string& line : WtApiText::Headers(document.strApiKey, true))
                headersMade = headersMade && headers.Add(line);
            EasyHandle easy;
            if (headersMade && easy.handle) {
                CURL* curl = easy.handle;
                SetCommon(curl, headers, m_limits);
                curl_easy_setopt(curl, CURLOPT_URL, document.strUrl.c_str());
                curl_easy_setopt(curl, CURLOPT_POST, 1L);
                // The body goes whole, by its length: a document is never cut at a size or a zero byte.
                curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                                 static_cast<curl_off_t>(document.strBody.size()));
                curl_easy_setopt(curl, CURLOPT_POSTFIELDS, document.strBody.c_str());
                HttpReplyChunk chunk;
                curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &WtApiWriteStatus);
                curl_easy_setopt(curl, CURLOPT_WRITEDATA, &chunk);
                // A failed post is not retried; the debug output keeps a trace of it.
                const CURLcode result = curl_easy_perform(curl);
                if (result != CURLE_OK)
                    DebugPrintf("WT JSON API: POST %s failed: %s", document.strUrl.c_str(),
                                curl_easy_strerror(result));
            } else {
                DebugPrintf("WT JSON API: no transfer for a document of kind %d; dropped", document.nKind);
            }
        }
        std::unique_lock lock(m_mutex);
        if (m_wake.wait_for(lock, kPostSpacing, [this] { return !m_bRun; }))
            return;
    }
}

WtPostQueue& WtApiPostQueue() {
    static WtPostQueue queue;
    return queue;
}

int WtApiQueuePost(int kind, std::string body, int value) {
    const MatchData* md = g_pMatchData;
    if (!md) {
        DebugPrintf("WT JSON API: no match record; a document of kind %d dropped", kind);
        return 0;
    }
    WtApiTarget target = WtApiTarget::Of(*md);
    if (!WtApiPostQueue().Append(kind, std::move(body), value, target))
        MessageBox(HWND{0}, u"Create post thread error", u"", MB_OK);
    return 0;
}

int RunWtApiConnectTest(std::u16string& reply) {
    reply.clear();
    const MatchData* md = g_pMatchData;
    if (!md)
        return CURLE_FAILED_INIT;
    const int result = WtApiGetResponsive(0, WtApiTarget::Of(*md));
    if (const std::optional<std::string> text = g_strHttpResp.take())
        reply = RecordTextWide(*text);
    return result;
}
