// A court for the benchmarks: a throw-away program folder with the local database made from the shipped
// schema, a loaded three-round individual match, and the real operator view built, placed and shown as the
// program shows it. Also the load that keeps every core busy, and the percentile counters every benchmark
// reports.
#pragma once

#include "app/MainWnd.h"
#include "app/MatchData.h"

#include <benchmark/benchmark.h>

#include <QEvent>
#include <QLabel>
#include <QObject>
#include <QTemporaryDir>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// Keeps every core busy with arithmetic until it goes.
class CoreLoad {
public:
    CoreLoad();
    ~CoreLoad();
    CoreLoad(const CoreLoad&) = delete;
    CoreLoad& operator=(const CoreLoad&) = delete;

    // CPU time its threads have used so far, in seconds (to take the load out of a process's figure).
    double CpuSeconds();

private:
    std::atomic<bool> m_stop{false};
    std::vector<std::thread> m_threads;
};

// A court started as the program starts one: the shipped settings files (resources/home/ini and
// Cfg/nation.csv), match-log templates and sounds (scripts/make-sounds), with the operator's changes below
// written into [Rule] of Rule.ini, the monitors measured, the nation table and the rule settings loaded, and
// the view's own start (the public scoreboard on a second monitor, the receiver link on BELVANTA_RECEIVER,
// the device check); then a match for Chung and Hong is written into the record and the view told of it as
// the registration does (a new match, loaded). The devices are not paired.
struct ProgramStart {
    std::vector<std::pair<std::u16string, std::u16string>> rules; // [Rule] key and value
};

class BenchCourt {
public:
    // makeView builds the view once the folder, the database and the match record exist; a benchmark
    // passes a subclass that only observes the real handlers. Without `program` the three-round match is
    // loaded straight into the record and the view only dressed (no settings files, no public scoreboard,
    // no receiver link).
    explicit BenchCourt(const std::function<std::unique_ptr<CMainWnd>()>& makeView,
                        const ProgramStart* program = nullptr);
    ~BenchCourt();
    BenchCourt(const BenchCourt&) = delete;
    BenchCourt& operator=(const BenchCourt&) = delete;

    // Empty when the court is ready; else what went wrong (the benchmark skips with it).
    const std::string& Error() const { return m_error; }
    CMainWnd& View() { return *m_view; }
    MatchData& Match() { return *g_pMatchData; }

private:
    QTemporaryDir m_folder;
    std::u16string m_savedAppDir;
    std::unique_ptr<CMainWnd> m_view;
    std::string m_error;
};

// p50_us, p99_us and max_us of per-event timings in microseconds, as counters named with the prefix.
void ReportPercentiles(benchmark::State& state, const std::vector<double>& micros,
                       const std::string& prefix = {});

// Every core kept busy while the result lives when busy is true.
inline std::unique_ptr<CoreLoad> MaybeLoad(bool busy) {
    return busy ? std::make_unique<CoreLoad>() : nullptr;
}

// The court with a view of the given type (and that view in *view); null, the benchmark skipped with the
// reason, when it cannot be made.
template <class View = CMainWnd>
std::unique_ptr<BenchCourt> MakeCourt(benchmark::State& state, View** view = nullptr,
                                      const ProgramStart* program = nullptr) {
    auto court = std::make_unique<BenchCourt>(
        [view] {
            auto made = std::make_unique<View>();
            if (view)
                *view = made.get();
            return made;
        },
        program);
    if (!court->Error().empty()) {
        state.SkipWithError(court->Error().c_str());
        return nullptr;
    }
    return court;
}

// Whether the court shows the public scoreboard, at the size the frame gives it, and its receiver has
// linked on the court's channel, as at every start (versionAsked waits until the receiver saw the program
// ask for its version); else the benchmark is skipped with the reason.
bool LinkedOnTwoMonitors(benchmark::State& state, CMainWnd& view, const std::function<bool()>& versionAsked);

// Tells view.Painted(side, score) at each paint of a side's score label: the moment the operator sees a
// score, not the moment a handler set it.
template <class View> class ScorePaintWatch final : public QObject {
public:
    ScorePaintWatch(View& view, QLabel* label, int side) : m_view(view), m_side(side) {
        label->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            m_view.Painted(m_side, static_cast<QLabel*>(watched)->text().toInt());
        return false;
    }

private:
    View& m_view;
    int m_side;
};

// The main of a benchmark binary: the heap reserved as the program's start reserves it, a QApplication
// (offscreen unless a platform is chosen), then the benchmarks the command line selects.
int RunBenchmarks(int argc, char** argv);
// The same on the offscreen platform's two monitors, the operator's and, to its right, the public
// scoreboard's (unless another platform is chosen).
int RunBenchmarksOnTwoMonitors(int argc, char** argv);
