#pragma once

namespace tarnwick {

// Makes the calling thread, and every thread it starts from now on, yield the processor to the
// process's other threads when both want it: its nice value goes up by ten steps (for this thread
// alone; relative, so the order holds when the whole process was started with `nice`). For work a
// window waits on only through its reports: a scan keeps every core busy, and the window must
// still get one the moment it has something to do. A thread cannot be given its priority back
// without privileges, so only threads that do nothing else should call this. A second call on the
// same thread changes nothing.
void lowerThreadPriority();

}  // namespace tarnwick
