// Qt's painting splits a large blend (a tall picture under a paint's region, a gradient) over the threads of
// its global pool and waits for them on the UI thread. Those threads take the UI thread's scoring priority,
// or on a busy machine a paint waits for them behind the other programs' work.
#pragma once

// UI thread, once the view starts: each thread of the pool takes the scoring priority and is kept from then
// on (a thread made again later would start at the normal priority). Waits at most a second for threads
// busy with other work, which keep their priority.
void RaisePaintingThreads();
