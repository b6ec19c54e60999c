#include "platform/ProcessUsage.h"

#include <fstream>
#include <pthread.h>
#include <string>
#include <sys/resource.h>
#include <time.h>

namespace platform {

namespace {

double Seconds(clockid_t clock) {
    timespec t{};
    if (::clock_gettime(clock, &t) != 0)
        return 0;
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

} // namespace

double processCpuSeconds() {
    return Seconds(CLOCK_PROCESS_CPUTIME_ID);
}

double threadCpuSeconds() {
    return Seconds(CLOCK_THREAD_CPUTIME_ID);
}

double threadCpuSeconds(std::thread& thread) {
    clockid_t clock{};
    if (::pthread_getcpuclockid(thread.native_handle(), &clock) != 0)
        return 0;
    return Seconds(clock);
}

long threadMinorFaults() {
    rusage usage{};
    return ::getrusage(RUSAGE_THREAD, &usage) == 0 ? usage.ru_minflt : 0;
}

std::size_t peakResidentBytes() {
    // VmHWM is the high-water mark of the resident set itself; getrusage's maxrss also keeps the peaks of
    // threads that have ended and so ignores a reset.
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            std::size_t kib = 0;
            status >> kib;
            return kib * 1024;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

bool resetPeakResident() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5"; // resets the high-water mark to the present resident set
    clear.flush();
    return static_cast<bool>(clear);
}

} // namespace platform
