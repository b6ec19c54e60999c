// The priority of the threads a hit passes through on its way to the screen (the receiver's receive thread
// and the UI thread): above the court PC's other work, so that a machine kept busy by other programs
// delays a hit by as little as it can.
#pragma once

namespace platform {

// The calling thread takes the scoring priority, the real-time class at its lowest priority, where the
// system permits it (root, CAP_SYS_NICE or a real-time limit). Otherwise it takes a raised nice value as
// far as the nice limit permits, the debug output says so once per role, and the answer is false. Threads
// it starts afterwards start at the normal priority. Any thread; `role` names the thread in that line.
bool raiseScoringPriority(const char* role);

} // namespace platform
