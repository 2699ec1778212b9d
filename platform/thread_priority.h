#pragma once

// The three priorities a run's worker thread can be given.
enum class ThreadPriority { Idle, Normal, High };

// Gives the calling thread `priority`: Idle runs only when nothing else wants
// the processor (SCHED_IDLE); Normal leaves the thread as it was created;
// High lowers the thread's nice value as far as the process is allowed, up to
// ten steps, and stays normal without a word when it is not allowed at all.
// Returns true when the thread ended at the requested priority.
bool applyThreadPriority(ThreadPriority priority);
