#include "Threads.h"

#include <algorithm>
#include <bit>
#include <exception>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#elif defined(__linux__)
#include <sched.h>
#endif

#if defined(VANTREL_FAULT_INJECTION)
#include <atomic>
#endif

namespace vantrel {

#if defined(VANTREL_FAULT_INJECTION)
namespace {
std::atomic<int> injectedCores{0};
std::atomic<int> failThreadStarts{0};
std::atomic<int> failTask{-1};
std::atomic<int> failSite{-1};
std::atomic<StripOutcome> outcome{StripOutcome::Unsplit};
} // namespace

void injectFaults(const Faults &faults) noexcept
{
    injectedCores = faults.cores;
    failThreadStarts = faults.threadStarts;
    failTask = faults.task;
    failSite = faults.site;
}

void faultPoint(int task, int site)
{
    if (task == failTask.load() && site == failSite.load()) {
        throw std::bad_alloc();
    }
}

void noteOutcome(StripOutcome value) noexcept
{
    outcome = value;
}

StripOutcome lastOutcome() noexcept
{
    return outcome.load();
}
#endif

int usableCores() noexcept
{
#if defined(VANTREL_FAULT_INJECTION)
    if (injectedCores.load() > 0) {
        return injectedCores.load();
    }
#endif
#if defined(_WIN32)
    DWORD_PTR process = 0;
    DWORD_PTR system = 0;
    if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system) != 0 && process != 0) {
        return std::popcount(static_cast<unsigned long long>(process));
    }
#elif defined(__linux__)
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        return std::max(1, CPU_COUNT(&set));
    }
#endif
    return std::max(1U, std::thread::hardware_concurrency());
}

void runConcurrently(int count, const std::function<void(int)> &task)
{
    std::vector<std::exception_ptr> failures(static_cast<std::size_t>(count));
    const auto guarded = [&](int i) {
        try {
            task(i);
        } catch (...) {
            failures[static_cast<std::size_t>(i)] = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    std::vector<int> leftOver;
    threads.reserve(static_cast<std::size_t>(count));
    leftOver.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i < count; ++i) {
        try {
#if defined(VANTREL_FAULT_INJECTION)
            if (failThreadStarts.load() > 0) {
                --failThreadStarts;
                throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
            }
#endif
            threads.emplace_back(guarded, i);
        } catch (...) {
            // std::system_error, or no memory for the thread's own state.
            leftOver.push_back(i);
        }
    }
    guarded(0);
    for (const int i : leftOver) {
        guarded(i);
    }
    for (std::thread &thread : threads) {
        thread.join();
    }
    for (const std::exception_ptr &failure : failures) {
        if (failure) {
            std::rethrow_exception(failure);
        }
    }
}

} // namespace vantrel
