#include "platform/ThreadPriority.h"

#include "platform/DebugOutput.h"

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <set>
#include <string>

namespace platform {
namespace {

// The real-time class at its lowest priority: above every thread of the normal class, so a woken scoring
// thread takes a processor at once. A nice value does not give that: the fair scheduler lets the thread
// running finish its slice, and on a busy machine a hit waited up to a scheduler tick (4 ms) for the UI
// thread. The kernel keeps a share of each second for the normal class whatever real-time threads do, so
// a UI thread that paints for long slows the machine's other work but does not stop it.
constexpr int kScoringRealTimePriority = 1;

// Where the real-time class is refused: a nice value, which at least gives the thread more of a busy
// processor's time.
constexpr int kScoringNice = -10;

// The lowest nice value the process may take without a privilege (RLIMIT_NICE counts down from 20).
int permittedNice() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NICE, &limit) != 0)
        return 20;
    return 20 - static_cast<int>(std::min<rlim_t>(limit.rlim_cur, 40));
}

void reportOnce(const char* role, const std::string& what) {
    static std::mutex lock;
    static std::set<std::string> told;
    std::lock_guard guard(lock);
    if (told.insert(role).second)
        DebugPrintf("thread priority: the %s thread %s", role, what.c_str());
}

// The nice value where the real-time class is refused for `why`.
void raiseNice(const char* role, const std::string& why) {
    // On Linux a thread id names one thread to setpriority, so only the caller changes.
    const id_t self = static_cast<id_t>(gettid());
    errno = 0;
    const int now = getpriority(PRIO_PROCESS, self);
    if (errno != 0 || now <= kScoringNice)
        return; // higher already: never lowered here
    const int floor = std::max(kScoringNice, permittedNice());
    if (floor < now && setpriority(PRIO_PROCESS, self, floor) == 0)
        reportOnce(role, "takes nice " + std::to_string(floor) + " only (the real-time class: " + why + ")");
    else
        reportOnce(role, "keeps its normal priority (" + why + ")");
}

} // namespace

bool raiseScoringPriority(const char* role) {
    const int policy = sched_getscheduler(0) & ~SCHED_RESET_ON_FORK;
    if (policy == SCHED_FIFO || policy == SCHED_RR)
        return true; // real-time already: never lowered here
    // The threads this one starts later (workers of every kind) must not inherit the raise.
    const sched_param realTime{kScoringRealTimePriority};
    if (sched_setscheduler(0, SCHED_FIFO | SCHED_RESET_ON_FORK, &realTime) == 0)
        return true;
    const std::string why = std::strerror(errno);
    const sched_param normal{};
    if (sched_setscheduler(0, SCHED_OTHER | SCHED_RESET_ON_FORK, &normal) != 0) {
        reportOnce(role, "keeps its normal priority (" + why + ")");
        return false;
    }
    raiseNice(role, why);
    return false;
}

} // namespace platform
