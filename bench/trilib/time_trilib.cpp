// time_trilib: Triangulate's time on fixed point sets, one build for Linux
// and one for Windows from this source (Google Benchmark is not packaged
// for MinGW-w64), so that the 64-bit DLL under Wine and the Linux library
// can be timed side by side on the same points.
//
//   time_trilib [RUNS [SIZE...]]     defaults: 5 runs; 1e5, 1e6 and 1e7 points
//
// For uniform points in [0, 2^20)^2 and for the demonstration's canvas of
// 10650 x 8310 twips (dense duplicates at large sizes), on one thread
// (VANTREL_FLAG_ONE_THREAD) and on all the cores the library finds: a first
// call, then RUNS more; prints the first call's time, the best and the
// median of the others in milliseconds (on a shared machine noise only ever
// adds time, so the best is the figure to compare) and the triangle count.
// The first call pays for the first touch of fresh memory, which later calls
// may find ready. The points come from a generator of our own, so both
// builds see the same ones.
//
// The one-thread calls are also timed with the calling thread held to each
// core in turn (rows "1 @cpuK"): a call on all cores ends with its slowest
// thread, so on a machine whose cores differ in speed (a virtual machine's
// cores shared with other guests, say) the all-core time is to be set
// against the slowest core's one-thread time as well as the fastest's.
#include <vantrel.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sched.h>
#endif

namespace {

// The cores the process may run on, and holding the calling thread to one
// of them (or, with -1, letting it run on all of them again).
#if defined(_WIN32)
std::vector<int> usableCores() {
    DWORD_PTR process = 0;
    DWORD_PTR system = 0;
    std::vector<int> cores;
    if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system) != 0) {
        for (int k = 0; k < static_cast<int>(8 * sizeof process); ++k) {
            if ((process >> k) & 1U) cores.push_back(k);
        }
    }
    return cores;
}

bool holdTo(int core) {
    DWORD_PTR process = 0;
    DWORD_PTR system = 0;
    if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system) == 0) return false;
    const DWORD_PTR mask = core < 0 ? process : DWORD_PTR{1} << core;
    return SetThreadAffinityMask(GetCurrentThread(), mask) != 0;
}
#else
cpu_set_t processCores() {
    static const cpu_set_t initial = [] {
        cpu_set_t set;
        CPU_ZERO(&set);
        sched_getaffinity(0, sizeof set, &set);
        return set;
    }();
    return initial;
}

std::vector<int> usableCores() {
    const cpu_set_t set = processCores();
    std::vector<int> cores;
    for (int k = 0; k < CPU_SETSIZE; ++k) {
        if (CPU_ISSET(k, &set)) cores.push_back(k);
    }
    return cores;
}

bool holdTo(int core) {
    cpu_set_t set = processCores();
    if (core >= 0) {
        CPU_ZERO(&set);
        CPU_SET(core, &set);
    }
    return sched_setaffinity(0, sizeof set, &set) == 0;
}
#endif

std::uint64_t splitMix(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

// Slot 0 is the unused first record, as the library expects.
std::vector<PointRecord> points(bool screen, std::size_t n) {
    std::uint64_t state = n * 2 + (screen ? 1 : 0);
    const std::uint64_t w = screen ? 10651 : 1 << 20;
    const std::uint64_t h = screen ? 8311 : 1 << 20;
    std::vector<PointRecord> slots(n + 1, PointRecord{0, 0, 0});
    for (std::size_t i = 1; i <= n; ++i) {
        slots[i].x = static_cast<std::int32_t>(splitMix(state) % w);
        slots[i].y = static_cast<std::int32_t>(splitMix(state) % h);
    }
    return slots;
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    std::vector<std::size_t> sizes;
    for (int i = 2; i < argc; ++i) {
        sizes.push_back(static_cast<std::size_t>(std::atof(argv[i])));
    }
    if (sizes.empty()) {
        sizes = {100000, 1000000, 10000000};
    }
    if (runs < 1 || std::any_of(sizes.begin(), sizes.end(), [](std::size_t n) { return n < 1 || n > 100000000; })) {
        std::fprintf(stderr, "usage: time_trilib [RUNS [SIZE...]]  (1 <= SIZE <= 1e8)\n");
        return 2;
    }
    const std::vector<int> cores = usableCores();
    std::printf("%-8s %10s %8s %10s %10s %10s %10s\n", "points", "size", "threads", "first ms", "best ms",
                "median ms", "triangles");
    for (const bool screen : {false, true}) {
        for (const std::size_t n : sizes) {
            std::vector<PointRecord> slots = points(screen, n);
            std::vector<TriangleRecord> triangles(2 * n + 1);
            const auto count = static_cast<std::int32_t>(n);
            struct Kind {
                std::int32_t flag;
                int core; // -1: wherever the system runs it
            };
            std::vector<Kind> kinds{{VANTREL_FLAG_DELAUNAY | VANTREL_FLAG_ONE_THREAD, -1}, {VANTREL_FLAG_DELAUNAY, -1}};
            if (cores.size() > 1) {
                for (const int core : cores) kinds.push_back({VANTREL_FLAG_DELAUNAY | VANTREL_FLAG_ONE_THREAD, core});
            }
            for (const Kind& kind : kinds) {
                if (kind.core >= 0 && !holdTo(kind.core)) {
                    std::fprintf(stderr, "cannot hold the thread to core %d\n", kind.core);
                    return 1;
                }
                const auto timed = [&](std::int32_t& result) {
                    const auto start = std::chrono::steady_clock::now();
                    result = Triangulate(count, 2 * count, count, slots.data(), triangles.data(), kind.flag);
                    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
                };
                std::int32_t result = 0;
                const double first = timed(result);
                std::vector<double> ms;
                for (int r = 0; r < runs; ++r) {
                    std::int32_t again = 0;
                    ms.push_back(timed(again));
                    if (again != result) {
                        std::fprintf(stderr, "the result changed between calls\n");
                        return 1;
                    }
                }
                if (kind.core >= 0) holdTo(-1);
                std::sort(ms.begin(), ms.end());
                const std::string threads = kind.flag == VANTREL_FLAG_DELAUNAY ? "all"
                                            : kind.core < 0                    ? "1"
                                                             : "1 @cpu" + std::to_string(kind.core);
                std::printf("%-8s %10zu %8s %10.1f %10.1f %10.1f %10d\n", screen ? "screen" : "uniform", n,
                            threads.c_str(), first, ms.front(), ms[ms.size() / 2], static_cast<int>(result));
                std::fflush(stdout);
            }
        }
    }
    return 0;
}
