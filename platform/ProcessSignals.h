// Process signals. Writing to a socket whose peer is gone must return an error, not end the process, so
// SIGPIPE is ignored at start-up. SIGTERM and SIGINT are turned into a call on the UI thread, so that they
// close the program the way its close button does.
#pragma once

#include <functional>

namespace platform {

// Returns false when the signal disposition cannot be changed.
bool ignoreBrokenPipe();

// Calls onTerminate on the UI thread when SIGTERM or SIGINT arrives; a later call replaces the callback.
// UI thread, after the application object exists.
void onTerminationRequest(std::function<void()> onTerminate);

} // namespace platform
