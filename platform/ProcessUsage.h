// What the process has used of the machine: CPU time, page faults and resident memory, for the benchmarks'
// figures.
#pragma once

#include <cstddef>
#include <thread>

namespace platform {

// CPU time (user + system) every thread of the process has used so far, in seconds. Any thread.
double processCpuSeconds();
// CPU time (user + system) the calling thread has used so far, in seconds. Any thread.
double threadCpuSeconds();
// CPU time (user + system) a running thread of this process has used so far, in seconds; 0 when it cannot
// be read. Any thread, while `thread` runs.
double threadCpuSeconds(std::thread& thread);
// Page faults the calling thread has taken so far that read nothing from a disk (a page first touched,
// among them). Any thread.
long threadMinorFaults();
// The largest resident set the process has had since it started or since resetPeakResident, in bytes; 0
// when the system does not tell. Any thread.
std::size_t peakResidentBytes();
// Makes the present resident set the peak from now on; false when the system refuses. Any thread.
bool resetPeakResident();

} // namespace platform
