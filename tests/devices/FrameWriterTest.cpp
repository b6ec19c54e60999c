// The device writer thread's finish: what the caller queued goes out in order, then the link's last step
// runs on the writer thread, without the caller waiting for a link that takes its time.
#include "devices/FrameWriter.h"
#include "tests/platform/EventPump.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// A link whose first write waits until the test lets it go, as a tty that takes nothing for a while.
class HeldLink {
public:
    FrameWriter::Write Write() {
        return [this](const BYTE* bytes, int length) {
            std::unique_lock lock(m_lock);
            m_holding = true;
            m_changed.wait(lock, [this] { return m_open; });
            m_written.emplace_back(bytes, bytes + length);
            return true;
        };
    }
    void Open() {
        {
            std::lock_guard lock(m_lock);
            m_open = true;
        }
        m_changed.notify_all();
    }
    bool Holding() {
        std::lock_guard lock(m_lock);
        return m_holding;
    }
    std::vector<std::vector<BYTE>> Written() {
        std::lock_guard lock(m_lock);
        return m_written;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_open = false;
    bool m_holding = false; // a write has come
    std::vector<std::vector<BYTE>> m_written;
};

const BYTE kFrames[3][2] = {{1, 1}, {2, 2}, {3, 3}};

TEST(FrameWriterFinish, ReturnsAtOnceAndRunsTheLastStepOnTheWriterAfterEveryQueuedFrame) {
    HeldLink link;
    FrameWriter writer("test link");
    ASSERT_TRUE(writer.Start(link.Write()));
    for (const auto& frame : kFrames)
        ASSERT_TRUE(writer.Queue(frame, 2));
    std::vector<std::vector<BYTE>> writtenAtLast;
    bool lastOnWriter = false;
    ASSERT_TRUE(writer.Finish(
        [&] {
            writtenAtLast = link.Written();
            lastOnWriter = writer.OnWriterThread();
        },
        60s));
    // The link holds the first frame: the caller is back, the writer is finishing.
    EXPECT_TRUE(writer.Finishing());
    EXPECT_FALSE(writer.Running());
    EXPECT_FALSE(writer.Queue(kFrames[0], 2)) << "nothing is taken after the finish";
    EXPECT_FALSE(writer.Finish([] {}, 60s)) << "one finish";
    EXPECT_FALSE(writer.OnWriterThread());

    link.Open();
    writer.AwaitFinish();
    EXPECT_FALSE(writer.Finishing());
    EXPECT_EQ(writtenAtLast, (std::vector<std::vector<BYTE>>{{1, 1}, {2, 2}, {3, 3}}));
    EXPECT_TRUE(lastOnWriter);
}

TEST(FrameWriterFinish, FramesStillQueuedAfterTheBoundAreDroppedAndTheLastStepStillRuns) {
    HeldLink link;
    FrameWriter writer("test link");
    ASSERT_TRUE(writer.Start(link.Write()));
    for (const auto& frame : kFrames)
        ASSERT_TRUE(writer.Queue(frame, 2));
    ASSERT_TRUE(pumpUntil([&] { return link.Holding(); }, 20s, false));
    bool ran = false;
    ASSERT_TRUE(writer.Finish([&] { ran = true; }, 1ms));
    std::this_thread::sleep_for(20ms); // the bound passes while the link holds the first frame
    link.Open();
    writer.AwaitFinish();
    EXPECT_TRUE(ran);
    EXPECT_EQ(link.Written(), (std::vector<std::vector<BYTE>>{{1, 1}})) << "only the frame under way";
}

TEST(FrameWriterFinish, AStartAfterAFinishWaitsForItAndWritesAgain) {
    FrameWriter writer("test link");
    EXPECT_FALSE(writer.Finish([] {}, 1s)) << "a writer that does not run has nothing to finish";
    HeldLink first;
    ASSERT_TRUE(writer.Start(first.Write()));
    ASSERT_TRUE(writer.Queue(kFrames[0], 2));
    bool finished = false;
    ASSERT_TRUE(writer.Finish([&] { finished = true; }, 60s));
    std::thread opener([&] { first.Open(); });

    HeldLink second;
    second.Open();
    ASSERT_TRUE(writer.Start(second.Write())); // the finish first
    opener.join();
    EXPECT_TRUE(finished);
    EXPECT_EQ(first.Written().size(), 1u);
    EXPECT_TRUE(writer.Running());
    ASSERT_TRUE(writer.Queue(kFrames[1], 2));
    writer.Stop();
    EXPECT_EQ(second.Written(), (std::vector<std::vector<BYTE>>{{2, 2}}));
}

} // namespace
