// The HTTP side of the WT JSON match API (OVR supplier 8): the GET requests the operator starts (the server's
// status, the match list of this mat, one match) and the queue of match documents (actions and results)
// that one worker thread POSTs in order.
//
// libcurl's library-wide state is set up once by WtApiStartup, before the first request, and cleaned up
// once by WtApiShutdown, after the post thread has been joined. The documents not yet delivered are kept
// in a file of the program folder, so a restart sends them. The post thread never reads the match
// record: each document carries the base URL, API key and match id of the match it was queued for, so a
// document of the last match never lands on the next one.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

struct MatchData;

// Where a request goes: the base URL (ExtItf.ini [OVR] WT_Protocol_Baseurl) and the API key as UTF-8, the
// mat of the match-list filter and the match id of the API. Plain data; any thread.
struct WtApiTarget {
    std::string baseUrl;
    std::string apiKey;
    std::string matchId;
    int mat = 0;

    // The record's base URL, key, mat (nCourtNo) and match id. UI thread (the record's writer).
    static WtApiTarget Of(const MatchData& md);
};

// How long a request may take and whether the server's certificate is checked. Peer and host verification
// stay off, as the federation's servers are often reached by address; naming a CA file turns both on.
struct WtApiTransferLimits {
    std::chrono::milliseconds connectTimeout{3000};
    std::chrono::milliseconds totalTimeout{3000};
    std::string caFile; // empty: no verification
    // A document the server did not take waits this long before it is sent again, twice as long after each
    // further failure, up to retryLongest.
    std::chrono::milliseconds retryFirst{1000};
    std::chrono::milliseconds retryLongest{60000};
    // Set by another thread, it ends a transfer under way at libcurl's next progress call (at least about
    // once a second) with CURLE_ABORTED_BY_CALLBACK; null for none. It must outlive the transfer.
    const std::atomic<bool>* cancel = nullptr;
};

// The limits of the operator's GETs: they block the caller, so they are bounded too.
WtApiTransferLimits WtApiGetLimits();
// The CA file of both the GETs and the posts (ExtItf.ini [OVR] WT_Protocol_CaFile, empty for none). UI
// thread; a post already being sent keeps the value it started with.
void WtApiSetCaFile(std::string path);
std::string WtApiCaFile();

// The request texts, exactly as the server sees them.
namespace WtApiText {
// "cache-control: no-cache", "accept: application/vnd.api+json", for a POST "content-type:
// application/vnd.api+json", then "x-api-key:<key>" (no blank after the colon). Control characters of the
// key are dropped so a typed key cannot add a header line.
std::vector<std::string> Headers(std::string_view apiKey, bool post);
// The URL of GET type 0 status, 1 the match list of the mat, 2 one match; empty for another type. The
// match id is percent-encoded where it is not a plain URL character.
std::string GetUrl(int type, const WtApiTarget& target);
// The URL of a document: kind 3 "<base>/matches/<id>/actions", 4 and 5 "<base>/matches/<id>/results";
// empty (the document is dropped) for any other kind.
std::string PostUrl(int kind, std::string_view baseUrl, std::string_view matchId);
} // namespace WtApiText

// Sets libcurl up for the whole program and opens the post queue on its store (g_strAppDir must be set),
// which starts sending what an earlier run left; the first call does it, later ones nothing. UI thread.
void WtApiStartup();
// Stops and joins the post thread, then cleans libcurl up. After it, requests fail until the next
// WtApiStartup. UI thread, at the end of the program (or of a test).
void WtApiShutdown();

// One GET of type 0 status, 1 the match list of the mat, 2 one match (matchId used by type 2 only) to
// target, within limits. Returns libcurl's result code: 0 success, 2 when no transfer could be made,
// 7 no connection, 22 an HTTP status of 400 or more, 28 the time-out ran out. g_strHttpResp
// (app/HttpSinks.h) is emptied first; types 1 and 2 leave the reply body in it; type 0, and a failed type
// 1 or 2, leave "HTTP Response Code : <code>" (0 when no reply came). Blocks the calling thread for at most
// the limits' total time-out. Any thread, one GET at a time.
int WtApiGet(int type, const WtApiTarget& target, std::string_view matchId = {},
             const WtApiTransferLimits& limits = WtApiGetLimits());
// The same against the target of g_pMatchData (2, and nothing sent, without a record). UI thread.
int WtApiGet(int type, const char* matchId);

// The status GET (type 0) for "Connect Test": libcurl's result as WtApiGet returns it, and in reply
// "HTTP Response Code : <code>" (0 when no reply came), or nothing when no request could be made. Leaves
// g_strHttpResp alone, so a match-list GET at the same time keeps its reply. Any thread.
int WtApiStatusGet(const WtApiTarget& target, const WtApiTransferLimits& limits, std::string& reply);

// A GET off the calling thread: runs WtApiGet on a worker while the calling (UI) thread keeps its event
// loop turning, so the round clock, timers and the screens go on during the request. The operator's input
// waits until the request has ended (a busy cursor shows meanwhile). UI thread.
int WtApiGetResponsive(int type, const WtApiTarget& target, std::string_view matchId = {});

// One queued document.
struct TPostEvtData {
    int nKind = 0;       // 3 match action, 4 or 5 match result; any other is dropped when its turn comes
    std::string strBody; // the JSON document, whole
    int nValue = 0;      // carried with the document, not sent
    std::string strUrl;  // where it goes, fixed when it was queued
    std::string strApiKey;
};

// The FIFO of documents and the one thread that POSTs them, in queue order, at least 10 ms apart, within
// the transfer limits. A document counts as delivered only when the server answered it with a 2xx status;
// any other status, a time-out or a cut connection leaves it at the head of the queue, and it is sent again
// after a back-off (retryFirst, doubled up to retryLongest) before any later document. A queue opened on a
// store file keeps every waiting document there, rewritten whole at each change, so the documents survive a
// restart of the program. The thread starts with the first document. m_mutex guards the queue, its state
// and the store file.
class WtPostQueue {
public:
    explicit WtPostQueue(WtApiTransferLimits limits = {});
    ~WtPostQueue(); // Stop()
    WtPostQueue(const WtPostQueue&) = delete;
    WtPostQueue& operator=(const WtPostQueue&) = delete;

    // Keeps the waiting documents in the file at path from now on: the documents the file holds (left by
    // an earlier run) come first, then those already waiting here; sending starts when any wait. False, and
    // the debug output says why, when the file exists but cannot be read whole (what could be read is
    // kept). The API key is never written: a document read back takes the key of the next one queued.
    // Owner's thread.
    bool Open(const std::string& path);
    // Stop(), then forgets the waiting documents and the store file; the file keeps them for the next Open.
    void Close();

    // Queues a document for target (its base URL, key and match id are kept with it) and starts the
    // thread when it is not running. False when the thread could not be started (the document stays
    // queued and the next Append tries again). UI thread.
    bool Append(int kind, std::string body, int value, const WtApiTarget& target);
    // The API key the operator has typed, for the documents read back from the store (they have none); a
    // document waiting for it is sent again at once. Any thread.
    void SupplyKey(const std::string& apiKey);
    // Ends the thread: the document being sent finishes (bounded by the time-out); the waiting documents
    // stay and go when the queue is started again by a later Append. Owner's thread.
    void Stop();

    std::size_t Waiting() const; // documents not yet delivered; any thread
    // Documents waiting while the server has refused the one at the head at least once; 0 while the queue
    // goes well. Any thread.
    std::size_t Undelivered() const;
    bool Running() const; // UI thread

private:
    void Run();
    bool Start();
    bool Deliver(const TPostEvtData& document) const;
    void SaveLocked() const;

    const WtApiTransferLimits m_limits;
    mutable std::mutex m_mutex;       // guards everything below but the thread
    std::condition_variable m_wake;   // a document arrived or the thread is to end
    std::deque<TPostEvtData> m_queue; // first in, first out; the head is removed once delivered
    std::string m_strStore;           // the store file, empty for none
    int m_nFailures = 0;              // refusals of the head in a row
    bool m_bRun = false;              // the thread is to keep running
    bool m_bRetryNow = false;         // a key arrived: the refused head goes again without its back-off
    std::thread m_thread;             // joinable while started; touched by the owner's thread only
};

// The program's store of waiting documents, below the program folder.
std::u16string WtApiPostStorePath();

// The program's queue of documents, opened on WtApiPostStorePath() by WtApiStartup, stopped by the
// operator view's destruction and closed by WtApiShutdown.
WtPostQueue& WtApiPostQueue();
// Queues a document of the kind for the target of g_pMatchData: always 0. A match without an API id
// (szMatchId empty) posts nothing, and the debug output and WtApiDeliveryNotice say so. A document the
// queue could not take shows "Create post thread error". UI thread.
int WtApiQueuePost(int kind, std::string body, int value);
// What the operator screen shows of the WT JSON API: the documents the server has not taken yet, or that
// the loaded match has no API id; empty while all goes well. UI thread.
std::u16string WtApiDeliveryNotice();
