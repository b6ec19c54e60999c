#include "platform/WindowMessages.h"

#include "platform/DebugOutput.h"
#include "platform/WindowTimers.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <cassert>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

namespace {

// A send from a worker, waiting for the UI thread. Its state moves Queued -> Running -> Done, or straight
// to Done when it is released; the sender returns once it is Done.
struct PendingSend {
    enum class State { Queued, Running, Done };

    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    State state = State::Queued;
    bool windowGone = false; // the window was destroyed while the handler ran: the result is 0
    LRESULT result = 0;
    std::thread::id sender = std::this_thread::get_id();
    std::condition_variable done;
};

// A post, or a send from a worker, waiting in the hub's queue for the UI thread.
struct Queued {
    std::shared_ptr<PendingSend> send; // null for a post
    HWND hwnd = 0;                     // a post's message
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::string text;      // a text post's copy
    bool withText = false; // lParam is the copy's address at delivery
};

class Delivery;

struct Hub {
    std::mutex mutex; // guards everything below and the state, result and windowGone of every pending send
    std::unordered_map<HWND, MessageWindow*> windows;
    HWND nextHandle = 0x10000; // well above small integers, so an id or index passed by mistake names nothing
    bool shutDown = false;
    std::vector<std::shared_ptr<PendingSend>> pending; // Queued or Running
    std::set<std::thread::id> releasedSenders;         // threads whose sends return 0 at once
    std::deque<Queued> queue;     // posts and sends in the order they came; each gets one wake-up
    Delivery* delivery = nullptr; // on the UI thread, made with the first window; null once it is gone
    // Held shared while a wake-up is queued to the delivery object, alone (with the mutex) while that
    // object goes: the wake-up is made after the mutex is let go.
    std::shared_mutex deliveryLife;
};

Hub& hub() {
    static Hub instance;
    return instance;
}

// Caller holds the hub's mutex; the sender returns once it is woken.
void markDone(Hub& h, const std::shared_ptr<PendingSend>& send, LRESULT result) {
    send->state = PendingSend::State::Done;
    send->result = result;
    h.pending.erase(std::find(h.pending.begin(), h.pending.end(), send));
}

// Caller holds the hub's mutex.
void finish(Hub& h, const std::shared_ptr<PendingSend>& send, LRESULT result) {
    markDone(h, send, result);
    send->done.notify_one();
}

// Caller holds the hub's mutex. A queued send is released with 0 now; a running one keeps its sender
// blocked until the handler returns, because the handler may still read the sender's text.
void releaseSends(Hub& h, bool all, HWND hwnd, std::thread::id sender = {}) {
    const auto pending = h.pending;
    for (const auto& send : pending) {
        if (!all && send->hwnd != hwnd && !(sender != std::thread::id() && send->sender == sender))
            continue;
        if (send->state == PendingSend::State::Queued)
            finish(h, send, 0);
        else
            send->windowGone = true;
    }
}

MessageWindow* lockedFind(Hub& h, HWND hwnd) {
    if (h.shutDown)
        return nullptr;
    const auto it = h.windows.find(hwnd);
    return it == h.windows.end() ? nullptr : it->second;
}

// UI thread.
void deliver(const std::shared_ptr<PendingSend>& send) {
    Hub& h = hub();
    MessageWindow* window = nullptr;
    {
        std::lock_guard lock(h.mutex);
        if (send->state != PendingSend::State::Queued)
            return; // released already
        window = lockedFind(h, send->hwnd);
        if (!window) {
            finish(h, send, 0);
            return;
        }
        send->state = PendingSend::State::Running;
    }
    const LRESULT result = window->WindowProc(send->message, send->wParam, send->lParam);
    {
        std::lock_guard lock(h.mutex);
        markDone(h, send, send->windowGone ? 0 : result);
    }
    send->done.notify_one(); // once the mutex is free, so the woken sender does not wait for it
}

// UI thread: the oldest waiting post or send. Each wake-up delivers one, so posts and sends keep their
// order among themselves and among the other queued calls.
void deliverNext() {
    Hub& h = hub();
    Queued next;
    MessageWindow* window = nullptr;
    {
        std::lock_guard lock(h.mutex);
        if (h.queue.empty())
            return;
        next = std::move(h.queue.front());
        h.queue.pop_front();
        if (!next.send)
            window = lockedFind(h, next.hwnd);
    }
    if (next.send)
        deliver(next.send);
    else if (window)
        window->WindowProc(next.message, next.wParam,
                           next.withText ? reinterpret_cast<LPARAM>(next.text.c_str()) : next.lParam);
}

// Lives on the UI thread, a child of the application object. The messages wait in the hub's queue behind
// its mutex, and the wake-up is a queued call by name, made and destroyed inside Qt: the hand-over from a
// worker to the UI thread is one a thread checker can follow. When the application object goes first, its
// destruction releases every send still queued.
class Delivery final : public QObject {
    Q_OBJECT
public:
    explicit Delivery(QCoreApplication* app) : QObject(app) {}
    ~Delivery() override {
        Hub& h = hub();
        std::unique_lock life(h.deliveryLife);
        std::lock_guard lock(h.mutex);
        h.delivery = nullptr;
        for (const Queued& queued : h.queue)
            if (queued.send && queued.send->state == PendingSend::State::Queued)
                finish(h, queued.send, 0);
        h.queue.clear();
    }
    Q_INVOKABLE void deliverNext() { ::deliverNext(); }
};

// Caller holds the hub's mutex: queues the message; false without a delivery object. The caller then
// lets the mutex go and calls wakeForOne.
bool lockedQueue(Hub& h, Queued queued) {
    if (!h.delivery)
        return false;
    h.queue.push_back(std::move(queued));
    return true;
}

// Queues the UI thread's wake-up for one queued message. Not under the hub's mutex: the UI thread woken
// may take the processor from the caller at once, and a worker of normal priority that held the mutex
// then could wait behind the machine's other work while the UI thread waits for the mutex.
void wakeForOne(Hub& h) {
    std::shared_lock life(h.deliveryLife);
    if (h.delivery)
        QMetaObject::invokeMethod(h.delivery, "deliverNext", Qt::QueuedConnection);
}

LRESULT sendFromWorker(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Hub& h = hub();
    QCoreApplication* app = QCoreApplication::instance();
    auto send = std::make_shared<PendingSend>();
    send->hwnd = hwnd;
    send->message = message;
    send->wParam = wParam;
    send->lParam = lParam;
    std::unique_lock lock(h.mutex);
    if (!app || !lockedFind(h, hwnd) || h.releasedSenders.count(send->sender))
        return 0;
    h.pending.push_back(send);
    Queued queued;
    queued.send = send;
    if (!lockedQueue(h, std::move(queued))) {
        finish(h, send, 0);
        return 0;
    }
    lock.unlock();
    wakeForOne(h);
    lock.lock();
    send->done.wait(lock, [&] { return send->state == PendingSend::State::Done; });
    return send->result;
}

bool onUiThread(const char* what) {
    if (platform::isUiThread())
        return true;
    assert(!"called outside the UI thread");
    DebugPrintf("%s called outside the UI thread; ignored", what);
    return false;
}

} // namespace

MessageWindow::MessageWindow() {
    if (!onUiThread("MessageWindow"))
        return; // no handle: messages to this window are refused
    Hub& h = hub();
    std::lock_guard lock(h.mutex);
    if (!h.delivery)
        h.delivery = new Delivery(QCoreApplication::instance());
    const HWND hwnd = h.nextHandle++;
    h.windows.emplace(hwnd, this);
    m_hwnd = hwnd;
}

MessageWindow::~MessageWindow() {
    DestroyWindow();
}

HWND MessageWindow::GetSafeHwnd() const {
    return m_hwnd;
}

void MessageWindow::DestroyWindow() {
    const HWND hwnd = m_hwnd;
    if (hwnd == 0 || !onUiThread("DestroyWindow"))
        return;
    platform::WindowTimers::instance().killAll(hwnd);
    Hub& h = hub();
    std::lock_guard lock(h.mutex);
    h.windows.erase(hwnd);
    releaseSends(h, false, hwnd);
    m_hwnd = 0;
}

BOOL MessageWindow::SetTimer(UINT_PTR id, UINT ms) {
    return platform::WindowTimers::instance().set(*this, id, ms) ? TRUE : FALSE;
}

BOOL MessageWindow::KillTimer(UINT_PTR id) {
    const HWND hwnd = m_hwnd;
    return hwnd != 0 && platform::WindowTimers::instance().kill(hwnd, id) ? TRUE : FALSE;
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!platform::isUiThread())
        return sendFromWorker(hwnd, message, wParam, lParam);
    MessageWindow* window = nullptr;
    {
        Hub& h = hub();
        std::lock_guard lock(h.mutex);
        window = lockedFind(h, hwnd);
    }
    return window ? window->WindowProc(message, wParam, lParam) : 0;
}

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Hub& h = hub();
    Queued queued;
    queued.hwnd = hwnd;
    queued.message = message;
    queued.wParam = wParam;
    queued.lParam = lParam;
    {
        std::lock_guard lock(h.mutex);
        if (!QCoreApplication::instance() || !lockedFind(h, hwnd) || !lockedQueue(h, std::move(queued)))
            return FALSE;
    }
    wakeForOne(h);
    return TRUE;
}

BOOL PostTextMessage(HWND hwnd, UINT message, WPARAM wParam, const char* text) {
    Queued queued;
    queued.hwnd = hwnd;
    queued.message = message;
    queued.wParam = wParam;
    queued.text = std::string_view(text ? text : "");
    queued.withText = true;
    Hub& h = hub();
    {
        std::lock_guard lock(h.mutex);
        if (!QCoreApplication::instance() || !lockedFind(h, hwnd) || !lockedQueue(h, std::move(queued)))
            return FALSE;
    }
    wakeForOne(h);
    return TRUE;
}

BOOL IsWindow(HWND hwnd) {
    Hub& h = hub();
    std::lock_guard lock(h.mutex);
    return h.windows.count(hwnd) != 0 ? TRUE : FALSE;
}

namespace platform {

bool isUiThread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void shutdownMessages() {
    if (!onUiThread("shutdownMessages"))
        return;
    Hub& h = hub();
    std::lock_guard lock(h.mutex);
    h.shutDown = true;
    releaseSends(h, true, 0);
}

void releaseSendsFrom(std::thread::id sender) {
    Hub& h = hub();
    std::lock_guard lock(h.mutex);
    h.releasedSenders.insert(sender);
    releaseSends(h, false, 0, sender);
}

void forgetReleasedSender(std::thread::id sender) {
    Hub& h = hub();
    std::lock_guard lock(h.mutex);
    h.releasedSenders.erase(sender);
}

MessageWindow* windowFromHandle(HWND hwnd) {
    Hub& h = hub();
    std::lock_guard lock(h.mutex);
    return lockedFind(h, hwnd);
}

int pendingSendCount() {
    Hub& h = hub();
    std::lock_guard lock(h.mutex);
    return static_cast<int>(h.pending.size());
}

void restartMessagesForTests() {
    Hub& h = hub();
    std::lock_guard lock(h.mutex);
    h.shutDown = false;
}

} // namespace platform

#include "WindowMessages.moc"
