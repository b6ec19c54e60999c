#include "platform/WindowMessages.h"

#include "EventPump.h"

#include <gtest/gtest.h>

#include <future>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr UINT UM_TEXT = WM_USER + 1;
constexpr UINT UM_OTHER = WM_USER + 2;

struct Received {
    UINT message;
    WPARAM wParam;
    std::string text; // copied from lParam for UM_TEXT, as a receiver must
    bool onUiThread;
};

// Records what it receives; a test may replace the handler.
class RecordingWindow : public MessageWindow {
public:
    std::vector<Received> received;
    std::function<LRESULT(UINT, WPARAM, LPARAM)> handler;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        const char* text = message == UM_TEXT ? reinterpret_cast<const char*>(lParam) : "";
        received.push_back({message, wParam, text, platform::isUiThread()});
        return handler ? handler(message, wParam, lParam) : static_cast<LRESULT>(wParam) + 1;
    }
};

// A thread that records when its work is done. If a test fails while the thread is still blocked in a
// send, the destructor releases it so the binary ends instead of hanging.
class Worker {
public:
    explicit Worker(std::function<void()> work)
        : m_thread([this, work = std::move(work)] {
              work();
              m_finished = true;
          }) {}
    ~Worker() {
        if (m_thread.joinable()) {
            platform::shutdownMessages();
            m_thread.join();
        }
    }
    bool finished() const { return m_finished; }
    // Pumps the UI thread's events until the work is done, then joins.
    bool pumpAndJoin() {
        if (!pumpUntil([this] { return finished(); }))
            return false;
        m_thread.join();
        return true;
    }
    // Waits without pumping, as a UI thread does that joins a worker.
    bool waitAndJoin() {
        if (!pumpUntil([this] { return finished(); }, std::chrono::seconds(20), /*pump=*/false))
            return false;
        m_thread.join();
        return true;
    }

private:
    std::atomic<bool> m_finished{false};
    std::thread m_thread;
};

bool workerBlocksInSend() {
    return pumpUntil([] { return platform::pendingSendCount() == 1; }, std::chrono::seconds(20), false);
}

class WindowMessagesTest : public ::testing::Test {
protected:
    void TearDown() override { platform::restartMessagesForTests(); }
};

TEST_F(WindowMessagesTest, HandlesAreFreshNonZeroAndNeverReused) {
    HWND gone = 0;
    {
        RecordingWindow first;
        gone = first.GetSafeHwnd();
        EXPECT_NE(gone, HWND{0});
        EXPECT_TRUE(IsWindow(gone));
    }
    EXPECT_FALSE(IsWindow(gone));
    RecordingWindow second;
    RecordingWindow third;
    EXPECT_NE(second.GetSafeHwnd(), gone);
    EXPECT_NE(second.GetSafeHwnd(), third.GetSafeHwnd());
    EXPECT_FALSE(IsWindow(0));

    const HWND handle = third.GetSafeHwnd();
    third.DestroyWindow();
    EXPECT_EQ(third.GetSafeHwnd(), HWND{0});
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(SendMessage(handle, UM_OTHER, 1, 0), 0);
    EXPECT_FALSE(third.SetTimer(1, 10));
}

TEST_F(WindowMessagesTest, SendOnUiThreadCallsTheHandlerDirectlyAndMayNest) {
    RecordingWindow window;
    const HWND hwnd = window.GetSafeHwnd();
    window.handler = [hwnd](UINT message, WPARAM wParam, LPARAM) -> LRESULT {
        if (message == UM_OTHER && wParam < 3)
            return 10 * SendMessage(hwnd, UM_OTHER, wParam + 1, 0) + static_cast<LRESULT>(wParam);
        return static_cast<LRESULT>(wParam);
    };
    EXPECT_EQ(SendMessage(hwnd, UM_OTHER, 0, 0), 3210);
    ASSERT_EQ(window.received.size(), 4u);
    for (WPARAM depth = 0; depth < 4; ++depth)
        EXPECT_EQ(window.received[depth].wParam, depth);
}

TEST_F(WindowMessagesTest, SendFromWorkerRunsOnUiThreadWithTheSendersText) {
    RecordingWindow window;
    const HWND hwnd = window.GetSafeHwnd();
    window.handler = [](UINT, WPARAM wParam, LPARAM lParam) -> LRESULT {
        return static_cast<LRESULT>(wParam) * 1000 +
               static_cast<LRESULT>(std::strlen(reinterpret_cast<const char*>(lParam)));
    };
    std::vector<LRESULT> results;
    Worker worker([&] {
        for (int i = 0; i < 3; ++i) {
            const std::string text = "1,HH2,CV" + std::to_string(i);
            auto* buffer = new char[text.size() + 1];
            std::memcpy(buffer, text.c_str(), text.size() + 1);
            results.push_back(SendMessage(hwnd, UM_TEXT, i, reinterpret_cast<LPARAM>(buffer)));
            delete[] buffer; // the handler has copied what it keeps
        }
    });
    ASSERT_TRUE(worker.pumpAndJoin());
    EXPECT_EQ(results, (std::vector<LRESULT>{9, 1009, 2009}));
    ASSERT_EQ(window.received.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(window.received[i].text, "1,HH2,CV" + std::to_string(i));
        EXPECT_TRUE(window.received[i].onUiThread);
    }
}

TEST_F(WindowMessagesTest, ManyWorkersSendingAtOnceAreServedOneAtATime) {
    RecordingWindow window;
    const HWND hwnd = window.GetSafeHwnd();
    window.handler = [](UINT, WPARAM wParam, LPARAM) -> LRESULT { return static_cast<LRESULT>(wParam); };
    constexpr int kWorkers = 4;
    constexpr int kSends = 200;
    std::atomic<int> wrong{0};
    std::vector<std::unique_ptr<Worker>> workers;
    for (int w = 0; w < kWorkers; ++w)
        workers.push_back(std::make_unique<Worker>([&, w] {
            for (int i = 0; i < kSends; ++i) {
                const std::string text = std::to_string(w);
                if (SendMessage(hwnd, UM_TEXT, w * kSends + i, reinterpret_cast<LPARAM>(text.c_str())) !=
                    w * kSends + i)
                    ++wrong;
            }
        }));
    for (auto& worker : workers)
        ASSERT_TRUE(worker->pumpAndJoin());
    EXPECT_EQ(wrong, 0);
    ASSERT_EQ(window.received.size(), std::size_t{kWorkers * kSends});
    for (const Received& r : window.received)
        EXPECT_TRUE(r.onUiThread);
}

// A send to a window that is gone, or that goes while the send waits for the UI thread, returns 0.
TEST_F(WindowMessagesTest, SendToDestroyedWindowReturnsZero) {
    HWND gone = 0;
    {
        RecordingWindow window;
        gone = window.GetSafeHwnd();
    }
    EXPECT_EQ(SendMessage(gone, UM_OTHER, 5, 0), 0);
    LRESULT fromWorker = -1;
    Worker worker([&] { fromWorker = SendMessage(gone, UM_OTHER, 5, 0); });
    ASSERT_TRUE(worker.waitAndJoin());
    EXPECT_EQ(fromWorker, 0);
}

TEST_F(WindowMessagesTest, DestroyingTheWindowReleasesAWaitingSendWithoutPumping) {
    auto window = std::make_unique<RecordingWindow>();
    const HWND hwnd = window->GetSafeHwnd();
    LRESULT result = -1;
    Worker worker([&] { result = SendMessage(hwnd, UM_OTHER, 5, 0); });
    ASSERT_TRUE(workerBlocksInSend());
    window.reset();
    ASSERT_TRUE(worker.waitAndJoin());
    EXPECT_EQ(result, 0);
    EXPECT_EQ(platform::pendingSendCount(), 0);
    QCoreApplication::processEvents(); // the queued call finds nothing to deliver
}

// While the handler runs, its window is destroyed or messages are shut down: the sender stays blocked until
// the handler returns (its text is still in use) and then gets 0.
TEST_F(WindowMessagesTest, EndDuringTheHandlerKeepsTheSenderUntilItReturns) {
    const struct {
        const char* name;
        bool deleteWindow; // else shut messages down
    } cases[] = {{"window deletes itself, as a closing dialog does", true}, {"shutdown", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform::restartMessagesForTests();
        auto* window = new RecordingWindow;
        const HWND hwnd = window->GetSafeHwnd();
        std::string copied;
        bool senderHeld = false;
        window->handler = [window, &c, &copied, &senderHeld](UINT, WPARAM, LPARAM lParam) -> LRESULT {
            std::string* const out = &copied; // the closure may go with the window
            bool* const held = &senderHeld;
            if (c.deleteWindow)
                delete window;
            else
                platform::shutdownMessages();
            *held = platform::pendingSendCount() == 1;
            *out = reinterpret_cast<const char*>(lParam);
            return 42;
        };
        LRESULT result = -1;
        Worker worker([&] {
            auto text = std::make_unique<std::string>("closing");
            result = SendMessage(hwnd, UM_TEXT, 0, reinterpret_cast<LPARAM>(text->c_str()));
        });
        ASSERT_TRUE(worker.pumpAndJoin());
        EXPECT_EQ(result, 0);
        EXPECT_TRUE(senderHeld);
        EXPECT_EQ(copied, "closing");
        if (!c.deleteWindow)
            delete window;
        EXPECT_FALSE(IsWindow(hwnd));
    }
}

TEST_F(WindowMessagesTest, ShutdownReleasesAWorkerBlockedInASend) {
    RecordingWindow window;
    const HWND hwnd = window.GetSafeHwnd();
    LRESULT result = -1;
    Worker worker([&] { result = SendMessage(hwnd, UM_OTHER, 5, 0); });
    ASSERT_TRUE(workerBlocksInSend());
    platform::shutdownMessages();
    ASSERT_TRUE(worker.waitAndJoin());
    EXPECT_EQ(result, 0);

    // From then on nothing is delivered, from any thread.
    EXPECT_EQ(SendMessage(hwnd, UM_OTHER, 5, 0), 0);
    EXPECT_FALSE(PostMessage(hwnd, UM_OTHER, 5, 0));
    LRESULT late = -1;
    Worker lateWorker([&] { late = SendMessage(hwnd, UM_OTHER, 5, 0); });
    ASSERT_TRUE(lateWorker.waitAndJoin());
    EXPECT_EQ(late, 0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.received.empty());
}

TEST_F(WindowMessagesTest, ReleasingASenderLetsItsOwnerJoinItWhileTheWindowLives) {
    RecordingWindow window;
    const HWND hwnd = window.GetSafeHwnd();
    std::promise<std::thread::id> started;
    std::atomic<bool> again{false};
    LRESULT first = -1;
    LRESULT second = -1;
    std::thread worker([&] {
        started.set_value(std::this_thread::get_id());
        first = SendMessage(hwnd, UM_OTHER, 5, 0);
        while (!again)
            std::this_thread::yield();
        second = SendMessage(hwnd, UM_OTHER, 6, 0); // still released: returns at once
    });
    const std::thread::id id = started.get_future().get();
    ASSERT_TRUE(workerBlocksInSend());
    platform::releaseSendsFrom(id);
    again = true;
    worker.join(); // no pumping: the UI thread only joins
    platform::forgetReleasedSender(id);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.received.empty());

    // Other threads' sends were never affected.
    LRESULT other = -1;
    Worker otherWorker([&] { other = SendMessage(hwnd, UM_OTHER, 7, 0); });
    ASSERT_TRUE(otherWorker.pumpAndJoin());
    EXPECT_EQ(other, 8);
}

TEST_F(WindowMessagesTest, PostsArriveLaterInOrder) {
    RecordingWindow window;
    const HWND hwnd = window.GetSafeHwnd();
    EXPECT_TRUE(PostMessage(hwnd, UM_OTHER, 1, 0));
    EXPECT_TRUE(window.received.empty()); // not delivered inside the call, even on the UI thread
    Worker worker([&] {
        for (WPARAM i = 2; i <= 50; ++i)
            PostMessage(hwnd, UM_OTHER, i, 0);
    });
    ASSERT_TRUE(worker.waitAndJoin());
    EXPECT_TRUE(PostMessage(hwnd, UM_OTHER, 51, 0));
    ASSERT_TRUE(pumpUntil([&] { return window.received.size() == 51; }));
    for (WPARAM i = 0; i < 51; ++i) {
        EXPECT_EQ(window.received[i].wParam, i + 1);
        EXPECT_TRUE(window.received[i].onUiThread);
    }
}

TEST_F(WindowMessagesTest, AWorkersPostsAndSendsArriveInTheOrderItMadeThem) {
    RecordingWindow window;
    const HWND hwnd = window.GetSafeHwnd();
    Worker worker([&] {
        for (WPARAM i = 1; i <= 30; ++i) {
            if (i % 3 == 0)
                SendMessage(hwnd, UM_OTHER, i, 0);
            else
                PostMessage(hwnd, UM_OTHER, i, 0);
        }
    });
    ASSERT_TRUE(worker.pumpAndJoin());
    ASSERT_TRUE(pumpUntil([&] { return window.received.size() == 30; }));
    for (WPARAM i = 0; i < 30; ++i)
        EXPECT_EQ(window.received[i].wParam, i + 1);
}

// A reader posts what it read from a buffer it reuses at once: each handler gets the text as it was posted,
// in order with the worker's other posts and sends.
TEST_F(WindowMessagesTest, ATextPostCarriesACopyOfItsTextInOrder) {
    RecordingWindow window;
    const HWND hwnd = window.GetSafeHwnd();
    Worker worker([&] {
        char buffer[16];
        for (WPARAM i = 1; i <= 30; ++i) {
            std::snprintf(buffer, sizeof buffer, "hit %lu", static_cast<unsigned long>(i));
            if (i % 5 == 0)
                SendMessage(hwnd, UM_OTHER, i, 0);
            else
                PostTextMessage(hwnd, UM_TEXT, i, buffer);
            std::memset(buffer, 'x', sizeof buffer - 1);
        }
    });
    ASSERT_TRUE(worker.pumpAndJoin());
    ASSERT_TRUE(pumpUntil([&] { return window.received.size() == 30; }));
    for (WPARAM i = 1; i <= 30; ++i) {
        const Received& got = window.received[i - 1];
        EXPECT_EQ(got.wParam, i);
        EXPECT_TRUE(got.onUiThread);
        if (i % 5 != 0) {
            EXPECT_EQ(got.text, "hit " + std::to_string(i));
        }
    }
    EXPECT_FALSE(PostTextMessage(0x7FFFFFF, UM_TEXT, 0, "no such window"));
}

TEST_F(WindowMessagesTest, PostsToAGoneWindowAreRefusedOrDropped) {
    auto window = std::make_unique<RecordingWindow>();
    const HWND hwnd = window->GetSafeHwnd();
    bool deliveredToNewWindow = false;
    EXPECT_TRUE(PostMessage(hwnd, UM_OTHER, 1, 0));
    window.reset(); // the queued post must not reach freed memory
    EXPECT_FALSE(PostMessage(hwnd, UM_OTHER, 2, 0));

    RecordingWindow next;
    next.handler = [&](UINT, WPARAM, LPARAM) -> LRESULT {
        deliveredToNewWindow = true;
        return 0;
    };
    QCoreApplication::processEvents();
    EXPECT_FALSE(deliveredToNewWindow);
}

} // namespace
