// The library's load and unload trace lines, as the program's debug output shows them.
#include <cstdio>

namespace {

struct LoadTrace {
    LoadTrace() { std::fputs("STRANDEL.DLL Initializing!\n", stderr); }
    ~LoadTrace() { std::fputs("STRANDEL.DLL Terminating!\n", stderr); }
};

const LoadTrace g_loadTrace;

} // namespace
