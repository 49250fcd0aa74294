// Threads.h - the cores a call may use, and running work on them.
//
// Threads live inside one call: started and joined before it returns. There
// is no pool and no other state between calls.
#ifndef VANTREL_THREADS_H
#define VANTREL_THREADS_H

#include <functional>

namespace vantrel {

// The number of cores this process may run on: its CPU affinity on Linux,
// the process affinity mask on Windows; at least 1.
[[nodiscard]] int usableCores() noexcept;

// Runs task(0), ..., task(count - 1) at once: task 0 on the calling thread,
// each other one on a thread of its own. A thread that cannot be started
// costs only time: its task then runs on the calling thread, after task 0.
// Returns when every task has ended; if any task threw, rethrows the first
// exception (in task order) after all have ended.
void runConcurrently(int count, const std::function<void(int)> &task);

// What became of a call's strips; test builds record it.
enum class StripOutcome {
    Stitched, // the strips' triangulations were joined along the seams
    Grown,    // the seams were too wide: the first strip's grew by the rest
    Unsplit,  // no strips, or one without a triangle: one thread did all
};

#if defined(VANTREL_FAULT_INJECTION)
// Test builds only: faults to reach the roads real machines seldom take.
struct Faults {
    int cores = 0;        // usableCores() answers this when positive
    int threadStarts = 0; // that many thread starts fail, as if refused
    int task = -1;        // this task throws std::bad_alloc ..
    int site = -1;        // .. when it reaches faultPoint(task, site)
};
void injectFaults(const Faults &faults) noexcept;
void faultPoint(int task, int site);
void noteOutcome(StripOutcome outcome) noexcept;
[[nodiscard]] StripOutcome lastOutcome() noexcept;
#else
inline void faultPoint(int /*task*/, int /*site*/) {}
inline void noteOutcome(StripOutcome /*outcome*/) noexcept {}
#endif

} // namespace vantrel

#endif // VANTREL_THREADS_H
