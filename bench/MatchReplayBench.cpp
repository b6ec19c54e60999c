// A whole match replayed through the receiver, end to end: a three-round individual match under the points
// system on a court started as the program starts it (the shipped settings, the points system chosen as the
// operator chooses it in the configuration, the public scoreboard on a second monitor, the receiver link
// opened by the view on a pseudo-terminal played by the fake receiver), its rounds run by the real round
// clock in real time (2:00 rounds, 1:00 rests, each round started by the view's Start handler as the
// operator's key does). Ten seconds into each round, that round's share of 200 protector hits (trunk and
// head, both sides, all above the class's levels) and 100 wireless judge presses (pairs that can reach the
// quorum, single presses that cannot) is written to the receiver's line back to back at the fastest rate
// the line allows: each 12-byte frame when the one before would have left a 230400-baud 8N1 line.
// Reported, quiet (busy:0) and with every core kept busy (busy:1):
//   hit_p50_us, hit_p99_us, hit_max_us: from the moment a scoring hit's frame is written to the pty until
//     the operator view paints its score label with that score or a later one (a burst queues behind the
//     UI thread: the later hits of a burst wait for the earlier ones);
//   handler_p50_us, handler_p99_us: the UI thread's time in a hit's handler (the point, its sound, the
//     history row, the event-log commit, the repaint requests), queueing left out;
//   round1_end_ms .. round3_end_ms: how much later than its length of real time after Start each round
//     ended (the last step is timed to land on the end); clock_steps: the clock's steps over the three
//     rounds (about 36000 when every 10 ms tick ran; a late tick counts the time it missed);
//   peak_rss_MiB: the process's peak resident set from the court's making to the match's end;
//   cpu_s_per_match_min: CPU time (user + system) of the process from the first Start to the last round's
//     end, per minute of that time, without the load's threads and the replay's writer thread;
//   ui_faults: page faults the UI thread took over the same span (pages it touched for the first time
//     among them);
//   hits_handled, hits_scored, hits_shown: of the 200 hits, those that reached the view's handler, scored,
//     and were painted (each hit's force names it, so a lost one is seen); stray_hits: hit messages that
//     named no hit; score_chung, score_hong: the match's scores; boxes: message boxes other than the
//     questions at the last round's end.
// Left out: the frame window and the instance lock (the view is started as the frame starts it), pairing
// (the paired devices are written into the device table as the pairing reply writes them), the sound
// output (the machine has no audio device; the sounds are loaded and started), outside links (none is
// open), the registration dialog (the match is written into the record and the view told as the
// registration tells it). The fake receiver's own thread, which only answers the program's commands, runs
// in the same process and stays in the CPU figure; the peak resident set is the benchmark process's,
// harness included, and after a first run it also holds what that run left. One run takes eight minutes.
//   match_replay_bench
#include "app/Messages.h"
#include "app/Network.h"
#include "bench/BenchCourt.h"
#include "bench/Percentile.h"
#include "devices/Receiver.h"
#include "devices/ReceiverCommand.h"
#include "devices/ReceiverFrame.h"
#include "platform/MessageBox.h"
#include "platform/ProcessUsage.h"
#include "screens/ExtScrDlg.h"
#include "tools/FakeReceiver.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>

#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRounds = 3;
constexpr int kExchanges = 50; // four hits and two judge presses each
constexpr int kBurstAfterMs = 10'000;
// Hit n of a round's burst has the force kForce + n: above the class's levels (trunk 25, head 15) and at
// most 100, the largest level taken.
constexpr int kForce = 30;
constexpr BYTE kSock = 0x11; // the e-sock reading of a kick: the shipped settings score hits only with it
// A device report on a 230400-baud 8N1 line: ten bits a byte.
constexpr auto kFrameLineTime =
    std::chrono::nanoseconds((7 + kFrameOverhead) * 10 * 1'000'000'000LL / 230'400);

double Micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

// One frame of the replay: a protector hit, or a judge device's buttons.
struct Frame {
    std::string device;
    bool hit;
    BYTE chung = 0, hong = 0; // judge buttons
};

// Exchange n: a trunk kick each way, two judge presses, a head kick each way. Every fourth exchange two
// judges agree on Chung's turning kick, the next on Hong's; the other two have single presses.
std::vector<Frame> Exchange(int n) {
    static const Frame presses[4][2] = {
        {{"judge1", false, 2, 0}, {"judge2", false, 2, 0}},
        {{"judge1", false, 0, 6}, {"judge3", false, 0, 6}},
        {{"judge3", false, 2, 0}, {"judge2", false, 0, 6}},
        {{"judge2", false, 2, 0}, {"judge1", false, 0, 6}},
    };
    return {{"HV", true}, {"CV", true}, presses[n % 4][0], presses[n % 4][1], {"CH", true}, {"HH", true}};
}

// The frames of round r (0-based): the exchanges shared out as evenly as they go.
std::vector<Frame> RoundFrames(int r) {
    std::vector<Frame> frames;
    for (int n = r * kExchanges / kRounds; n < (r + 1) * kExchanges / kRounds; ++n)
        for (Frame& f : Exchange(n))
            frames.push_back(std::move(f));
    return frames;
}

struct HitTiming {
    Clock::time_point written, handled, shown;
    int side = -1; // the side it scored for; -1 none
    int score = 0; // that side's score after it
    bool handledYet = false;
    bool shownYet = false;
};

// The operator view, observed: hits around its message hub, round ends from its notices, and the paints of
// its two score labels.
class ObservedView final : public CMainWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != UM_TRUNK_HIT && message != UM_HEAD_HIT)
            return CMainWnd::WindowProc(message, wParam, lParam);
        const int before[2] = {g_pMatchData->aSide[0].nScore, g_pMatchData->aSide[1].nScore};
        const Clock::time_point start = Clock::now();
        const LRESULT result = CMainWnd::WindowProc(message, wParam, lParam);
        const Clock::time_point end = Clock::now();
        handlerMicros.push_back(Micros(end - start));
        // The force names the hit: its place in its round's burst.
        int force = -1;
        if (lParam)
            std::sscanf(reinterpret_cast<const char*>(lParam), "%*[^,],%d", &force);
        std::lock_guard guard(lock);
        const std::size_t index = roundFirstHit + static_cast<std::size_t>(force - kForce);
        if (force < kForce || index >= hits.size() || hits[index].handledYet) {
            ++strayHits;
            return result;
        }
        HitTiming& hit = hits[index];
        hit.handled = end;
        hit.handledYet = true;
        for (int side = 0; side < 2; ++side) {
            const int after = g_pMatchData->aSide[side].nScore;
            if (after != before[side]) {
                hit.side = side;
                hit.score = after;
                waiting[side].push_back(&hit);
            }
        }
        return result;
    }

    void SendWtMessage(int target, int code, int side, int value) override {
        CMainWnd::SendWtMessage(target, code, side, value);
        if (target == 0 && code == 0 && side == 5 && onRoundEnd)
            onRoundEnd();
    }

    // A score label is painted with its text: every scoring hit of that side up to the shown score is shown.
    void Painted(int side, int shownScore) {
        const Clock::time_point now = Clock::now();
        std::lock_guard guard(lock);
        std::deque<HitTiming*>& queue = waiting[side];
        while (!queue.empty() && queue.front()->score <= shownScore) {
            queue.front()->shown = now;
            queue.front()->shownYet = true;
            queue.pop_front();
        }
    }

    // Guards hits, roundFirstHit, strayHits and waiting: the writer thread stamps what the UI thread matches.
    std::mutex lock;
    std::vector<HitTiming> hits;
    std::size_t roundFirstHit = 0; // the first hit of the burst under way
    int strayHits = 0;             // hit messages that name no hit of the burst
    std::deque<HitTiming*> waiting[2];
    std::vector<double> handlerMicros;
    std::function<void()> onRoundEnd;
};

using PaintWatch = ScorePaintWatch<ObservedView>;

// Boxes are answered "yes"; those other than the questions at the last round's end are counted.
class CountingPrompter final : public platform::Prompter {
public:
    int ask(HWND, std::u16string_view text, std::u16string_view, UINT) override {
        if (text != u"Are you sure to end this game?" &&
            text != u"Are you sure to play a Golden Point Round?") {
            ++others;
            std::fprintf(
                stderr, "box during the match: %s\n",
                QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toUtf8().constData());
        }
        return IDYES;
    }
    int others = 0;
};

TTK_Network Paired(const std::string& name) {
    TTK_Network entry;
    entry.name = name;
    entry.kind = FakeReceiver::DeviceCode(name);
    FakeReceiver::ShortAddress(name, entry.shortAddr);
    FakeReceiver::DeviceAddress(name, entry.devAddr);
    return entry;
}

// Writes the frames back to back at the line's pace; hits are stamped just before their write.
void Replay(FakeReceiver& fake, ObservedView& view, const std::vector<Frame>& frames, std::size_t firstHit,
            double& writerCpu) {
    const double cpuStart = platform::threadCpuSeconds();
    Clock::time_point due = Clock::now();
    int n = 0;
    for (const Frame& f : frames) {
        std::this_thread::sleep_until(due);
        if (f.hit) {
            {
                std::lock_guard guard(view.lock);
                view.hits[firstHit + n].written = Clock::now();
            }
            fake.SendHit(f.device, kForce + n++, kSock);
        } else {
            fake.SendJudge(f.device, f.chung, f.hong);
        }
        due += kFrameLineTime;
    }
    writerCpu += platform::threadCpuSeconds() - cpuStart;
}

void BM_MatchReplay(benchmark::State& state) {
    for (auto _ : state) {
        FakeReceiver fake;
        if (!fake.IsOpen()) {
            state.SkipWithError("no pseudo-terminal");
            return;
        }
        fake.SetVersion(0x03, 0x07); // a receiver this program supports
        qputenv("BELVANTA_RECEIVER", QByteArray::fromStdString(fake.SlavePath()));
        platform::resetPeakResident();
        const ProgramStart program{{{u"Competition_Rule", u"0"}}}; // the points system
        ObservedView* view = nullptr;
        const auto court = MakeCourt(state, &view, &program);
        if (!court)
            return;
        MatchData& md = court->Match();
        if (!LinkedOnTwoMonitors(state, *view, [&] { return fake.WaitForCommand(0x07); }))
            return;
        // The devices as their pairing leaves them.
        {
            std::lock_guard guard(g_networkLock);
            *g_pNetworkArr = {Paired("CV"),     Paired("CH"),     Paired("HV"),    Paired("HH"),
                              Paired("judge1"), Paired("judge2"), Paired("judge3")};
        }
        md.bRegBody[0] = md.bRegHead[0] = md.bRegBody[1] = md.bRegHead[1] = 1;
        md.bJudgeWired[0] = md.bJudgeWired[1] = md.bJudgeWired[2] = 1; // the judges' registered flags
        view->hits.resize(4 * kExchanges);
        PaintWatch chung(*view, view->Static(1503), 0);
        PaintWatch hong(*view, view->Static(1504), 1);
        CountingPrompter prompter;
        platform::setPrompter(&prompter);

        const auto load = MaybeLoad(state.range(0) != 0);
        const double loadCpuStart = load ? load->CpuSeconds() : 0;
        const double cpuStart = platform::processCpuSeconds();
        const long faultsStart = platform::threadMinorFaults();
        const Clock::time_point matchStart = Clock::now();
        double writerCpu = 0;
        std::thread writer;
        int round = 0;
        Clock::time_point roundStart;
        std::vector<double> endErrors;
        double clockSteps = 0;
        QTimer next; // rest over: the operator starts the next round
        next.setInterval(100);

        const auto startRound = [&] {
            roundStart = Clock::now();
            view->OnClickedStart();
            if (md.nGameState != 3) {
                state.SkipWithError("a round did not start");
                QCoreApplication::quit();
                return;
            }
            std::size_t firstHit = 0;
            for (int r = 0; r < round; ++r)
                for (const Frame& f : RoundFrames(r))
                    firstHit += f.hit;
            QTimer::singleShot(kBurstAfterMs, [&, firstHit, r = round] {
                {
                    std::lock_guard guard(view->lock);
                    view->roundFirstHit = firstHit;
                }
                writer = std::thread(Replay, std::ref(fake), std::ref(*view), RoundFrames(r), firstHit,
                                     std::ref(writerCpu));
            });
        };
        QObject::connect(&next, &QTimer::timeout, [&] {
            if (md.nGameState == 5)
                return; // still resting
            next.stop();
            startRound();
        });
        view->onRoundEnd = [&] {
            endErrors.push_back(std::chrono::duration<double, std::milli>(Clock::now() - roundStart).count() -
                                md.nMatchTime * 1000.0);
            clockSteps += view->m_nRoundSteps;
            if (writer.joinable())
                writer.join();
            if (++round < kRounds)
                next.start();
            else
                QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        };
        QTimer::singleShot(0, startRound);
        QCoreApplication::exec();
        next.stop();
        view->onRoundEnd = nullptr;
        if (writer.joinable())
            writer.join();
        const double matchMinutes = std::chrono::duration<double>(Clock::now() - matchStart).count() / 60.0;
        const long uiFaults = platform::threadMinorFaults() - faultsStart;
        const double cpu = platform::processCpuSeconds() - cpuStart - writerCpu -
                           (load ? load->CpuSeconds() - loadCpuStart : 0);
        QCoreApplication::processEvents(); // the last paints
        platform::setPrompter(nullptr);

        std::vector<double> latency;
        int scored = 0, handled = 0;
        {
            std::lock_guard guard(view->lock);
            for (const HitTiming& hit : view->hits) {
                scored += hit.side >= 0;
                handled += hit.handledYet;
                if (hit.shownYet)
                    latency.push_back(Micros(hit.shown - hit.written));
            }
        }
        ReportPercentiles(state, latency, "hit_");
        state.counters["handler_p50_us"] = Percentile(view->handlerMicros, 0.50);
        state.counters["handler_p99_us"] = Percentile(view->handlerMicros, 0.99);
        for (std::size_t r = 0; r < endErrors.size(); ++r)
            state.counters["round" + std::to_string(r + 1) + "_end_ms"] = endErrors[r];
        state.counters["clock_steps"] = clockSteps;
        state.counters["peak_rss_MiB"] =
            static_cast<double>(platform::peakResidentBytes()) / (1024.0 * 1024.0);
        state.counters["cpu_s_per_match_min"] = matchMinutes > 0 ? cpu / matchMinutes : 0;
        state.counters["ui_faults"] = static_cast<double>(uiFaults);
        state.counters["hits_handled"] = handled;
        state.counters["hits_scored"] = scored;
        state.counters["hits_shown"] = static_cast<double>(latency.size());
        state.counters["stray_hits"] = view->strayHits;
        state.counters["score_chung"] = md.aSide[0].nScore;
        state.counters["score_hong"] = md.aSide[1].nScore;
        state.counters["boxes"] = prompter.others;
    }
}

BENCHMARK(BM_MatchReplay)
    ->ArgName("busy")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return RunBenchmarksOnTwoMonitors(argc, argv);
}
