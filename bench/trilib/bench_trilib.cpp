// Triangulate against CGAL's Delaunay_triangulation_2 (exact predicates,
// inexact constructions; range insertion, which sorts the points along a
// space-filling curve first) on the same points, one thread each.
//
// Names are <implementation>/<distribution>/<size>[/threads:<t>], e.g.
// Ours/Uniform/100000/threads:1. Ours runs twice: on one thread
// (VANTREL_FLAG_ONE_THREAD) and on every core the process may use, the
// default; CGAL's triangulation has one thread.
// The largest size takes CGAL about a quarter of a minute per distribution;
// skip it with --benchmark_filter='-/10000000/'.
//
// Counters: time/pt is the time per input point, triangles the result size, and
// heapB/pt the peak heap growth per input point during the call (the
// library's working storage; for CGAL that includes the triangulation it
// builds). Our triangle array belongs to the caller and is not counted.
//
// Each case runs once untimed before its first measurement, for both
// implementations: the first touch of fresh memory in a process costs far
// more than later ones (a quarter of the time at ten million points on a
// virtual machine), and that cost belongs to whichever case happens to run
// first, not to either implementation.

#include "HeapPeak.h"

#include <vantrel.h>

#include <CGAL/Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Triangulation_face_base_with_info_2.h>
#include <CGAL/Triangulation_vertex_base_with_info_2.h>

#include <benchmark/benchmark.h>

#include <sched.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <numbers>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using CgalDelaunay = CGAL::Delaunay_triangulation_2<Kernel>;

enum class Distribution { Uniform, Screen, Clusters, Grid, Circle, Collinear };

struct Named {
    Distribution distribution;
    const char* name;
};

constexpr Named kDistributions[] = {
    {Distribution::Uniform, "Uniform"},   {Distribution::Screen, "Screen"}, {Distribution::Clusters, "Clusters"},
    {Distribution::Grid, "Grid"},         {Distribution::Circle, "Circle"}, {Distribution::Collinear, "Collinear"},
};

constexpr std::int64_t kSizes[] = {1000, 10000, 100000, 1000000, 10000000};

constexpr std::int32_t kSquare = 1 << 20;

std::int32_t toCoordinate(double v) {
    return static_cast<std::int32_t>(std::llround(std::clamp(v, -2147483648.0, 2147483647.0)));
}

// Slot 0 is the unused first record, as the library expects.
std::vector<PointRecord> generate(Distribution d, std::int64_t n, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::vector<PointRecord> slots(1, PointRecord{0, 0, 0});
    slots.reserve(static_cast<std::size_t>(n) + 1);
    const auto add = [&](std::int64_t x, std::int64_t y) {
        slots.push_back(PointRecord{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), 0});
    };
    switch (d) {
    case Distribution::Uniform: {
        std::uniform_int_distribution<std::int32_t> c(0, kSquare - 1);
        for (std::int64_t i = 0; i < n; ++i) {
            add(c(rng), c(rng));
        }
        break;
    }
    case Distribution::Screen: {
        // The demonstration's canvas in twips: dense duplicates at large n.
        std::uniform_int_distribution<std::int32_t> x(0, 10650);
        std::uniform_int_distribution<std::int32_t> y(0, 8310);
        for (std::int64_t i = 0; i < n; ++i) {
            add(x(rng), y(rng));
        }
        break;
    }
    case Distribution::Clusters: {
        std::uniform_real_distribution<double> centre(0, kSquare);
        std::uniform_real_distribution<double> spread(kSquare / 400.0, kSquare / 20.0);
        constexpr int kClusters = 8;
        for (int k = 0; k < kClusters; ++k) {
            std::normal_distribution<double> x(centre(rng), spread(rng));
            std::normal_distribution<double> y(centre(rng), spread(rng));
            for (std::int64_t i = k * n / kClusters; i < (k + 1) * n / kClusters; ++i) {
                add(toCoordinate(x(rng)), toCoordinate(y(rng)));
            }
        }
        std::shuffle(slots.begin() + 1, slots.end(), rng);
        break;
    }
    case Distribution::Grid: {
        // sqrt(n) x sqrt(n) lattice points in random order.
        const auto side = static_cast<std::int64_t>(std::llround(std::sqrt(static_cast<double>(n))));
        for (std::int64_t j = 0; j < side; ++j) {
            for (std::int64_t i = 0; i < side; ++i) {
                add(10 * i, 10 * j);
            }
        }
        std::shuffle(slots.begin() + 1, slots.end(), rng);
        break;
    }
    case Distribution::Circle: {
        // Rounded to integers: nearly, but not exactly, co-circular.
        const double r = static_cast<double>(std::max<std::int64_t>(n, 1000));
        std::uniform_real_distribution<double> angle(0, 2 * std::numbers::pi);
        for (std::int64_t i = 0; i < n; ++i) {
            const double a = angle(rng);
            add(toCoordinate(r * std::cos(a)), toCoordinate(r * std::sin(a)));
        }
        break;
    }
    case Distribution::Collinear: {
        std::uniform_int_distribution<std::int32_t> t(-(1 << 29), (1 << 29) - 1);
        for (std::int64_t i = 0; i < n; ++i) {
            const std::int64_t k = t(rng);
            add(k, 2 * k + 7);
        }
        break;
    }
    }
    return slots;
}

// Each point set is made once, so both implementations see the same one.
const std::vector<PointRecord>& pointsFor(Distribution d, std::int64_t n) {
    static std::map<std::pair<Distribution, std::int64_t>, std::vector<PointRecord>> cache;
    auto it = cache.find({d, n});
    if (it == cache.end()) {
        const auto seed = static_cast<std::uint64_t>(n) * 16 + static_cast<std::uint64_t>(d);
        it = cache.emplace(std::make_pair(d, n), generate(d, n, seed)).first;
    }
    return it->second;
}

// Whether this case has not run yet in this process; marks it as run.
bool firstRun(const benchmark::State& state, const char* implementation, Distribution d, std::int64_t variant = 0) {
    static std::set<std::tuple<std::string, Distribution, std::int64_t, std::int64_t>> seen;
    return seen.emplace(implementation, d, state.range(0), variant).second;
}

void reportCommon(benchmark::State& state, std::size_t count, std::int64_t triangles, std::size_t heapPeak) {
    const auto n = static_cast<double>(count);
    state.SetComplexityN(static_cast<std::int64_t>(count));
    state.counters["time/pt"] =
        benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["triangles"] = static_cast<double>(triangles);
    if (bench::heapPeakAvailable()) {
        state.counters["heapB/pt"] = static_cast<double>(heapPeak) / n;
    }
}

// Triangulate, or with `mesh` TriangulateMesh: the triangles with their
// neighbours and the hull.
void ours(benchmark::State& state, Distribution d, std::int32_t flag, bool mesh) {
    std::vector<PointRecord> points = pointsFor(d, state.range(0));
    const auto count = static_cast<std::int32_t>(points.size() - 1);
    std::vector<TriangleRecord> triangles(2 * static_cast<std::size_t>(count) + 1);
    std::vector<NeighbourRecord> neighbours(mesh ? triangles.size() : 0);
    std::vector<std::int32_t> hull(mesh ? points.size() : 0);
    std::int32_t hullLength = 0;
    const auto call = [&] {
        return mesh ? TriangulateMesh(count, 2 * count, count, points.data(), triangles.data(), neighbours.data(),
                                      count, hull.data(), &hullLength, flag)
                    : Triangulate(count, 2 * count, count, points.data(), triangles.data(), flag);
    };
    std::int32_t result = 0;
    if (firstRun(state, mesh ? "OursMesh" : "Ours", d, flag)) {
        result = call();
    }
    bench::heapPeakStart();
    for (auto _ : state) {
        result = call();
        benchmark::DoNotOptimize(result);
        benchmark::ClobberMemory();
    }
    const std::size_t heapPeak = bench::heapPeakStop();
    if (result < 0) {
        state.SkipWithError(("Triangulate returned " + std::to_string(result)).c_str());
        return;
    }
    reportCommon(state, static_cast<std::size_t>(count), result, heapPeak);
}

void cgal(benchmark::State& state, Distribution d) {
    const std::vector<PointRecord>& records = pointsFor(d, state.range(0));
    std::vector<Kernel::Point_2> points;
    points.reserve(records.size() - 1);
    for (auto it = records.begin() + 1; it != records.end(); ++it) {
        points.emplace_back(it->x, it->y);
    }
    std::optional<CgalDelaunay> dt;
    std::int64_t faces = 0;
    if (firstRun(state, "Cgal", d)) {
        CgalDelaunay(points.begin(), points.end());
    }
    bench::heapPeakStart();
    for (auto _ : state) {
        dt.emplace();
        dt->insert(points.begin(), points.end());
        faces = static_cast<std::int64_t>(dt->number_of_faces());
        benchmark::DoNotOptimize(faces);
        state.PauseTiming();
        dt.reset();
        state.ResumeTiming();
    }
    reportCommon(state, points.size(), faces, bench::heapPeakStop());
}

// The cores this process may run on, as the library counts them.
int usableCores() {
    cpu_set_t set;
    CPU_ZERO(&set);
    return sched_getaffinity(0, sizeof set, &set) == 0 ? CPU_COUNT(&set) : 1;
}

// CGAL's triangulation, then what TriangulateMesh returns, from it: the
// triangles as point indices, each one's neighbours as triangle indices,
// and the hull.
using CgalIndexed = CGAL::Delaunay_triangulation_2<
    Kernel, CGAL::Triangulation_data_structure_2<CGAL::Triangulation_vertex_base_with_info_2<std::int32_t, Kernel>,
                                                 CGAL::Triangulation_face_base_with_info_2<std::int32_t, Kernel>>>;

void cgalMesh(benchmark::State& state, Distribution d) {
    const std::vector<PointRecord>& records = pointsFor(d, state.range(0));
    std::vector<std::pair<Kernel::Point_2, std::int32_t>> points;
    points.reserve(records.size() - 1);
    for (std::size_t i = 1; i < records.size(); ++i) {
        points.emplace_back(Kernel::Point_2(records[i].x, records[i].y), static_cast<std::int32_t>(i));
    }
    std::vector<TriangleRecord> triangles(2 * records.size() + 1);
    std::vector<NeighbourRecord> neighbours(triangles.size());
    std::vector<std::int32_t> hull(records.size());
    std::optional<CgalIndexed> dt;
    if (firstRun(state, "CgalMesh", d)) {
        CgalIndexed(points.begin(), points.end());
    }
    std::int32_t faces = 0;
    bench::heapPeakStart();
    for (auto _ : state) {
        dt.emplace();
        dt->insert(points.begin(), points.end());
        faces = 0;
        for (const auto f : dt->all_face_handles()) {
            f->info() = dt->is_infinite(f) ? 0 : ++faces;
        }
        for (const auto f : dt->finite_face_handles()) {
            const auto i = static_cast<std::size_t>(f->info());
            triangles[i] = {f->vertex(0)->info(), f->vertex(1)->info(), f->vertex(2)->info()};
            neighbours[i] = {f->neighbor(0)->info(), f->neighbor(1)->info(), f->neighbor(2)->info()};
        }
        std::size_t length = 0;
        if (dt->dimension() == 2) {
            auto v = dt->incident_vertices(dt->infinite_vertex());
            const auto end = v;
            do {
                hull[++length] = v->info();
            } while (++v != end && length + 1 < hull.size());
        }
        benchmark::DoNotOptimize(length);
        benchmark::ClobberMemory();
        state.PauseTiming();
        dt.reset();
        state.ResumeTiming();
    }
    reportCommon(state, points.size(), faces, bench::heapPeakStop());
}

void registerAll() {
    const int cores = usableCores();
    for (const Named& d : kDistributions) {
        const Distribution dist = d.distribution;
        std::vector<std::pair<std::string, std::vector<std::int64_t>>> threads{{"Ours", {1}}, {"Cgal", {}}};
        if (cores > 1) {
            threads[0].second.push_back(cores);
        }
        for (const auto& [impl, counts] : threads) {
            for (const std::int64_t n : kSizes) {
                // CGAL inserts collinear points one by one along the line:
                // quadratic, some 18 s at 1e5 already.
                if (impl == "Cgal" && dist == Distribution::Collinear && n > 10000) {
                    continue;
                }
                const std::string name = impl + "/" + d.name;
                std::vector<benchmark::internal::Benchmark*> made;
                // Neighbours and hull as well: for two distributions.
                const bool mesh = dist == Distribution::Uniform || dist == Distribution::Screen;
                if (impl == "Cgal") {
                    made.push_back(benchmark::RegisterBenchmark(name.c_str(), cgal, dist)->Args({n}));
                    if (mesh) {
                        made.push_back(
                            benchmark::RegisterBenchmark(("CgalMesh/" + std::string(d.name)).c_str(), cgalMesh, dist)
                                ->Args({n}));
                    }
                }
                for (const std::int64_t t : counts) {
                    const std::int32_t flag =
                        t == 1 ? VANTREL_FLAG_DELAUNAY | VANTREL_FLAG_ONE_THREAD : VANTREL_FLAG_DELAUNAY;
                    made.push_back(benchmark::RegisterBenchmark(name.c_str(), ours, dist, flag, false)
                                       ->Args({n, t})
                                       ->ArgNames({"", "threads"}));
                    if (mesh) {
                        made.push_back(
                            benchmark::RegisterBenchmark(("OursMesh/" + std::string(d.name)).c_str(), ours, dist, flag, true)
                                ->Args({n, t})
                                ->ArgNames({"", "threads"}));
                    }
                }
                for (auto* b : made) {
                    // With --benchmark_repetitions, "min" reports the best
                    // run as well: on a shared machine noise only ever adds time.
                    b->Unit(benchmark::kMillisecond)->ComputeStatistics("min", [](const std::vector<double>& v) {
                        return *std::min_element(v.begin(), v.end());
                    });
                    // One pass at ten million points already takes seconds.
                    if (n >= 10000000) {
                        b->Iterations(1);
                    } else if (n >= 1000000) {
                        b->Iterations(3);
                    } else {
                        b->MinTime(0.3);
                    }
                }
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
