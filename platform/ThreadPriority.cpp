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

// A nice value, not a real-time class: a UI thread that paints for long must not starve the machine's
// other threads, only get the processor first when a hit wakes it.
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

} // namespace

bool raiseScoringPriority(const char* role) {
    // The threads this one starts later (workers of every kind) must not inherit the raise.
    sched_param normal{};
    if (sched_setscheduler(0, SCHED_OTHER | SCHED_RESET_ON_FORK, &normal) != 0) {
        reportOnce(role, std::string("keeps its normal priority (") + std::strerror(errno) + ")");
        return false;
    }
    // On Linux a thread id names one thread to setpriority, so only the caller changes.
    const id_t self = static_cast<id_t>(gettid());
    errno = 0;
    const int now = getpriority(PRIO_PROCESS, self);
    const bool known = errno == 0;
    if (known && now <= kScoringNice)
        return true; // higher already: never lowered here
    if (setpriority(PRIO_PROCESS, self, kScoringNice) == 0)
        return true;
    const std::string why = std::strerror(errno);
    // A raised nice limit may permit part of the way.
    const int floor = std::max(kScoringNice, permittedNice());
    if (known && floor < now && setpriority(PRIO_PROCESS, self, floor) == 0)
        reportOnce(role, "takes nice " + std::to_string(floor) + " only (" + why + ")");
    else
        reportOnce(role, "keeps its normal priority (" + why + ")");
    return false;
}

} // namespace platform
