#include "links/WtApiClient.h"

#include "app/AppGlobals.h"
#include "app/HttpSinks.h"
#include "app/MatchData.h"
#include "links/WtConnectTest.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QMetaObject>
#include <QPointer>
#include <QSaveFile>
#include <QString>

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <iterator>
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

// libcurl's progress call: a non-zero answer ends the transfer with CURLE_ABORTED_BY_CALLBACK.
int CancelCheck(void* cancel, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<const std::atomic<bool>*>(cancel)->load() ? 1 : 0;
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
    if (limits.cancel) {
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &CancelCheck);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, limits.cancel);
    }
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
    {
        std::lock_guard lock(g_libraryMutex);
        if (g_bLibraryUp)
            return;
        if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
            OutputDebugString("WT JSON API: the HTTP library could not be set up; no request can be sent");
            return;
        }
        g_bLibraryUp = true;
    }
    WtApiPostQueue().Open(QString::fromStdU16String(WtApiPostStorePath()).toStdString());
}

void WtApiShutdown() {
    WtApiConnectTest().Stop();
    WtApiPostQueue().Close();
    std::lock_guard lock(g_libraryMutex);
    if (!g_bLibraryUp)
        return;
    curl_global_cleanup();
    g_bLibraryUp = false;
}

namespace {

// One GET of the type to request within limits: libcurl's result and, in code, the HTTP status (0 when no
// reply came). The body of types 1 and 2 goes to g_strHttpResp; the status reply is read and dropped.
// sent is false, and the result CURLE_FAILED_INIT, when no request could be made.
int PerformGet(int type, const WtApiTarget& request, const WtApiTransferLimits& limits, long& code,
               bool& sent) {
    code = 0;
    sent = false;
    const std::string url = WtApiText::GetUrl(type, request);
    if (url.empty() || !LibraryUp())
        return CURLE_FAILED_INIT;
    HeaderList headers;
    for (const std::string& line : WtApiText::Headers(request.apiKey, false))
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
    sent = true;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
    if (result != CURLE_OK)
        DebugPrintf("WT JSON API: GET %s failed: %s (HTTP %ld)", url.c_str(), curl_easy_strerror(result),
                    code);
    return result;
}

std::string ResponseCodeText(long code) {
    char text[64];
    std::snprintf(text, sizeof text, "HTTP Response Code : %ld", code);
    return text;
}

} // namespace

int WtApiGet(int type, const WtApiTarget& target, std::string_view matchId,
             const WtApiTransferLimits& limits) {
    WtApiTarget request = target;
    request.matchId = std::string(matchId);
    g_strHttpResp.clearIfPresent();
    long code = 0;
    bool sent = false;
    const int result = PerformGet(type, request, limits, code, sent);
    if (sent && (result != CURLE_OK || type == 0))
        g_strHttpResp.assign(ResponseCodeText(code));
    return result;
}

int WtApiStatusGet(const WtApiTarget& target, const WtApiTransferLimits& limits, std::string& reply) {
    long code = 0;
    bool sent = false;
    const int result = PerformGet(0, target, limits, code, sent);
    reply = sent ? ResponseCodeText(code) : std::string();
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

namespace {

constexpr char kStoreHead[] = "belvanta-wt-posts 1\n";

// The store: its head line, then per document "kind value urlBytes bodyBytes\n", the URL, "\n", the body,
// "\n". The lengths keep any byte of a body intact.
QByteArray StoreText(const std::deque<TPostEvtData>& queue) {
    QByteArray text(kStoreHead);
    for (const TPostEvtData& d : queue) {
        text += QByteArray::number(d.nKind) + ' ' + QByteArray::number(d.nValue) + ' ' +
                QByteArray::number(static_cast<qsizetype>(d.strUrl.size())) + ' ' +
                QByteArray::number(static_cast<qsizetype>(d.strBody.size())) + '\n';
        text += QByteArray::fromStdString(d.strUrl) + '\n' + QByteArray::fromStdString(d.strBody) + '\n';
    }
    return text;
}

// The documents of a store text, as far as it reads whole; false when some of it did not.
bool ReadStoreText(const QByteArray& text, std::deque<TPostEvtData>& out) {
    if (text.isEmpty())
        return true;
    if (!text.startsWith(kStoreHead))
        return false;
    qsizetype at = static_cast<qsizetype>(std::strlen(kStoreHead));
    while (at < text.size()) {
        const qsizetype eol = text.indexOf('\n', at);
        if (eol < 0)
            return false;
        const QList<QByteArray> fields = text.mid(at, eol - at).split(' ');
        bool ok[4] = {};
        if (fields.size() != 4)
            return false;
        TPostEvtData d;
        d.nKind = fields[0].toInt(&ok[0]);
        d.nValue = fields[1].toInt(&ok[1]);
        const qsizetype urlBytes = fields[2].toLongLong(&ok[2]);
        const qsizetype bodyBytes = fields[3].toLongLong(&ok[3]);
        if (!ok[0] || !ok[1] || !ok[2] || !ok[3] || urlBytes < 0 || bodyBytes < 0)
            return false;
        const qsizetype url = eol + 1;
        const qsizetype body = url + urlBytes + 1;
        const qsizetype next = body + bodyBytes + 1;
        if (next > text.size() || text[body - 1] != '\n' || text[next - 1] != '\n')
            return false;
        d.strUrl = text.mid(url, urlBytes).toStdString();
        d.strBody = text.mid(body, bodyBytes).toStdString();
        out.push_back(std::move(d));
        at = next;
    }
    return true;
}

} // namespace

void WtPostQueue::SaveLocked() const {
    if (m_strStore.empty())
        return;
    const QString path = QString::fromStdString(m_strStore);
    if (m_queue.empty()) {
        if (QFile::exists(path) && !QFile::remove(path))
            DebugPrintf("WT JSON API: the store %s could not be emptied", m_strStore.c_str());
        return;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(StoreText(m_queue)) < 0 || !file.commit())
        DebugPrintf("WT JSON API: the store %s could not be written; %zu document(s) kept in memory only",
                    m_strStore.c_str(), m_queue.size());
}

bool WtPostQueue::Open(const std::string& path) {
    Stop(); // the thread must not hold a copy of a head that the stored documents go before
    std::deque<TPostEvtData> stored;
    bool whole = true;
    QFile file(QString::fromStdString(path));
    if (file.exists()) {
        whole = file.open(QIODevice::ReadOnly) && ReadStoreText(file.readAll(), stored);
        if (!whole)
            DebugPrintf("WT JSON API: the store %s could not be read whole; %zu document(s) taken from it",
                        path.c_str(), stored.size());
    }
    bool waiting = false;
    {
        std::lock_guard lock(m_mutex);
        m_strStore = path;
        m_queue.insert(m_queue.begin(), std::make_move_iterator(stored.begin()),
                       std::make_move_iterator(stored.end()));
        if (!stored.empty())
            DebugPrintf("WT JSON API: %zu document(s) of an earlier run wait to be delivered", stored.size());
        SaveLocked();
        waiting = !m_queue.empty();
    }
    if (waiting && !Running())
        Start();
    m_wake.notify_one();
    return whole;
}

void WtPostQueue::Close() {
    Stop();
    std::lock_guard lock(m_mutex);
    m_queue.clear();
    m_strStore.clear();
    m_nFailures = 0;
}

bool WtPostQueue::Append(int kind, std::string body, int value, const WtApiTarget& target) {
    {
        std::lock_guard lock(m_mutex);
        // Documents read back from the store go with the key typed for this run.
        for (TPostEvtData& waiting : m_queue)
            if (waiting.strApiKey.empty())
                waiting.strApiKey = target.apiKey;
        m_queue.push_back({kind, std::move(body), value,
                           WtApiText::PostUrl(kind, target.baseUrl, target.matchId), target.apiKey});
        SaveLocked();
    }
    if (!Running() && !Start())
        return false;
    m_wake.notify_one();
    return true;
}

void WtPostQueue::SupplyKey(const std::string& apiKey) {
    if (apiKey.empty())
        return;
    {
        std::lock_guard lock(m_mutex);
        for (TPostEvtData& waiting : m_queue) {
            if (waiting.strApiKey.empty()) {
                waiting.strApiKey = apiKey;
                m_bRetryNow = true;
            }
        }
    }
    m_wake.notify_all();
}

bool WtPostQueue::Running() const {
    return m_thread.joinable();
}

std::size_t WtPostQueue::Waiting() const {
    std::lock_guard lock(m_mutex);
    return m_queue.size();
}

std::size_t WtPostQueue::Undelivered() const {
    std::lock_guard lock(m_mutex);
    return m_nFailures > 0 ? m_queue.size() : 0;
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
        DebugPrintf("WT JSON API: the post thread has ended; %zu document(s) wait to be delivered",
                    m_queue.size());
}

// One POST of the document: true when the server took it (a 2xx answer).
bool WtPostQueue::Deliver(const TPostEvtData& document) const {
    if (!LibraryUp()) {
        DebugPrintf("WT JSON API: the HTTP library is not set up; a document of kind %d waits",
                    document.nKind);
        return false;
    }
    HeaderList headers;
    bool headersMade = true;
    for (const std::string& line : WtApiText::Headers(document.strApiKey, true))
        headersMade = headersMade && headers.Add(line);
    EasyHandle easy;
    if (!headersMade || !easy.handle) {
        DebugPrintf("WT JSON API: no transfer for a document of kind %d; it waits", document.nKind);
        return false;
    }
    CURL* curl = easy.handle;
    SetCommon(curl, headers, m_limits);
    curl_easy_setopt(curl, CURLOPT_URL, document.strUrl.c_str());
    curl_easy_setopt(curl, CURLOPT_POST, 1L);
    // The body goes whole, by its length: a document is never cut at a size or a zero byte.
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(document.strBody.size()));
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, document.strBody.c_str());
    HttpReplyChunk chunk;
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &WtApiWriteStatus);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &chunk);
    const CURLcode result = curl_easy_perform(curl);
    long code = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
    if (result == CURLE_OK && code >= 200 && code < 300)
        return true;
    DebugPrintf("WT JSON API: POST %s not taken: %s (HTTP %ld); sent again later", document.strUrl.c_str(),
                result == CURLE_OK ? "refused" : curl_easy_strerror(result), code);
    return false;
}

void WtPostQueue::Run() {
    for (;;) {
        TPostEvtData document;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return !m_bRun || !m_queue.empty(); });
            if (!m_bRun)
                return;
            document = m_queue.front(); // stays at the head until it is delivered
            m_bRetryNow = false;
        }
        const bool dropped = document.strUrl.empty();
        if (dropped)
            DebugPrintf("WT JSON API: a document of kind %d has no address; dropped", document.nKind);
        const bool done = dropped || Deliver(document);
        std::chrono::milliseconds pause = kPostSpacing;
        std::unique_lock lock(m_mutex);
        if (done) {
            // Only this thread removes documents, so the head is still the one just sent.
            m_queue.pop_front();
            m_nFailures = 0;
            SaveLocked();
        } else {
            ++m_nFailures;
            pause = m_limits.retryFirst;
            for (int i = 1; i < m_nFailures && pause < m_limits.retryLongest; ++i)
                pause *= 2;
            pause = std::min(pause, m_limits.retryLongest);
        }
        if (m_wake.wait_for(lock, pause, [this] { return !m_bRun || m_bRetryNow; }) && !m_bRun)
            return;
    }
}

WtPostQueue& WtApiPostQueue() {
    static WtPostQueue queue;
    return queue;
}

std::u16string WtApiPostStorePath() {
    return AppPath(u"WtPosts.queue");
}

namespace {

// The loaded match had no API id when its last document was made; the UI thread's.
bool g_bNoMatchId = false;

} // namespace

int WtApiQueuePost(int kind, std::string body, int value) {
    const MatchData* md = g_pMatchData;
    if (!md) {
        DebugPrintf("WT JSON API: no match record; a document of kind %d dropped", kind);
        return 0;
    }
    WtApiTarget target = WtApiTarget::Of(*md);
    g_bNoMatchId = target.matchId.empty();
    if (g_bNoMatchId) {
        DebugPrintf("WT JSON API: the match has no API id; a document of kind %d is not sent", kind);
        return 0;
    }
    if (!WtApiPostQueue().Append(kind, std::move(body), value, target))
        MessageBox(HWND{0}, u"Create post thread error", u"", MB_OK);
    return 0;
}

std::u16string WtApiDeliveryNotice() {
    if (const std::size_t waiting = WtApiPostQueue().Undelivered())
        return u"WT server: " + QString::number(waiting).toStdU16String() +
               u" document(s) waiting to be delivered";
    if (g_bNoMatchId)
        return u"WT server: this match has no API id; nothing is sent";
    return {};
}
