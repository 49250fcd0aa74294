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
#include <vantrel.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

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
    std::printf("%-8s %10s %8s %10s %10s %10s %10s\n", "points", "size", "threads", "first ms", "best ms",
                "median ms", "triangles");
    for (const bool screen : {false, true}) {
        for (const std::size_t n : sizes) {
            std::vector<PointRecord> slots = points(screen, n);
            std::vector<TriangleRecord> triangles(2 * n + 1);
            const auto count = static_cast<std::int32_t>(n);
            for (const std::int32_t flag : {std::int32_t{VANTREL_FLAG_DELAUNAY | VANTREL_FLAG_ONE_THREAD}, std::int32_t{VANTREL_FLAG_DELAUNAY}}) {
                const auto timed = [&](std::int32_t& result) {
                    const auto start = std::chrono::steady_clock::now();
                    result = Triangulate(count, 2 * count, count, slots.data(), triangles.data(), flag);
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
                std::sort(ms.begin(), ms.end());
                std::printf("%-8s %10zu %8s %10.1f %10.1f %10.1f %10d\n", screen ? "screen" : "uniform", n,
                            flag == VANTREL_FLAG_DELAUNAY ? "all" : "1", first, ms.front(), ms[ms.size() / 2],
                            static_cast<int>(result));
                std::fflush(stdout);
            }
        }
    }
    return 0;
}
