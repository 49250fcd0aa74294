// Costs of the point-set commands on the real raster, per point:
//   PlacePoint one by one, GenerateRandomPoints on a 1920 x 1080 canvas,
//   RunTriangulation (library call, mesh, dots, caption, with the drawing's
//   own share per point beside it) and, on the very same points, the bare
//   Triangulate call.
//
// Placing and triangulating use a canvas just large enough for the points on
// a lattice of 5-pixel cells (a disc is 5 pixels wide), each point at a
// random twip inside its cell's centre pixel, placed in random order: random
// points on a fixed canvas cannot reach 10^6, since a point landing on an
// earlier disc is dropped.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "PointSet.h"
#include "RandomSource.h"
#include "PosixLibraryLoader.h"
#include "RasterCanvas.h"
#include "TriangulateLibrary.h"

namespace {

class BenchPlatform : public pointset::Platform {
public:
    std::string reply;
    int messages = 0;
    pointset::RandomSource random;

    void setBusyPointer(int) override {}
    void messageBox(std::string_view, int, std::string_view) override { ++messages; }
    std::string inputBox(std::string_view, std::string_view, std::string_view) override {
        return reply;
    }
    // The run reads the clock before and after the library call: the
    // seconds between each such pair add up here.
    double librarySeconds = 0.0;
    double clockSeconds() override {
        const double now = seconds();
        if (callStarted) {
            librarySeconds += now - callStart;
        }
        callStart = now;
        callStarted = !callStarted;
        return now;
    }
    static double seconds() {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }
    float rnd() override { return random.next(); }
    void shell(std::string_view, int) override {}
    char decimalSeparator() const override { return '.'; }
    char groupSeparator() const override { return ','; }
    void beginProgress(std::int64_t) override {}
    bool progress(std::int64_t) override { return true; }
    void endProgress() override {}

private:
    double callStart = 0.0;
    bool callStarted = false;
};

class BenchControls : public pointset::Controls {
public:
    int autoValue() const override { return 0; }
    void setAutoValue(int) override {}
    void setInfoCaption(std::string_view) override {}
};

struct Layout {
    int width = 0;  // pixels
    int height = 0;
    std::vector<std::pair<float, float>> positions;
};

enum class Order { random, rows };

Layout lattice(std::int64_t count, Order order = Order::random) {
    constexpr int kCell = 5;
    const auto side = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
    Layout layout{side * kCell, side * kCell, {}};
    std::mt19937 generator(20240601u);
    std::uniform_int_distribution<int> jitter(0, RasterCanvas::kTwipsPerPixel - 1);
    std::vector<int> cells(static_cast<std::size_t>(side) * static_cast<std::size_t>(side));
    for (std::size_t i = 0; i < cells.size(); ++i) {
        cells[i] = static_cast<int>(i);
    }
    if (order == Order::random) {
        std::shuffle(cells.begin(), cells.end(), generator);
    }
    cells.resize(static_cast<std::size_t>(count));
    for (const int cell : cells) {
        const int centreX = (cell % side) * kCell + kCell / 2;
        const int centreY = (cell / side) * kCell + kCell / 2;
        layout.positions.emplace_back(
            static_cast<float>(centreX * RasterCanvas::kTwipsPerPixel + jitter(generator)),
            static_cast<float>(centreY * RasterCanvas::kTwipsPerPixel + jitter(generator)));
    }
    return layout;
}

// A store of `count` placed points on a canvas that fits them.
struct PlacedPoints {
    explicit PlacedPoints(std::int64_t count) : layout(lattice(count)), canvas(layout.width, layout.height) {
        set.ClearPoints();
        for (const auto& [x, y] : layout.positions) {
            set.PlacePoint(1, 0, x, y);
        }
    }

    Layout layout;
    RasterCanvas canvas;
    BenchPlatform platform;
    BenchControls controls;
    PosixLibraryLoader loader;
    pointset::TriangulateLibrary library{loader};
    pointset::PointSet set{canvas, platform, controls, library};
};

void perPoint(benchmark::State& state, std::int64_t points) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * points);
    state.SetComplexityN(points);
}

// Points in random order, and row by row: on a raster of 10^8 pixels the
// random order pays for cache and TLB misses that the store has no part in.
void BM_PlacePoint(benchmark::State& state, Order order) {
    const std::int64_t count = state.range(0);
    const Layout layout = lattice(count, order);
    RasterCanvas canvas(layout.width, layout.height);
    BenchPlatform platform;
    BenchControls controls;
    PosixLibraryLoader loader;
    pointset::TriangulateLibrary library{loader};
    pointset::PointSet set(canvas, platform, controls, library);
    for (auto _ : state) {
        state.PauseTiming();
        set.ClearPoints();
        state.ResumeTiming();
        for (const auto& [x, y] : layout.positions) {
            set.PlacePoint(1, 0, x, y);
        }
        benchmark::DoNotOptimize(set.Points().data());
    }
    if (set.nPoints() != count) {
        state.SkipWithError("a point was refused");
    }
    perPoint(state, count);
}
BENCHMARK_CAPTURE(BM_PlacePoint, RandomOrder, Order::random)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(BM_PlacePoint, Rows, Order::rows)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_GenerateRandomPoints(benchmark::State& state) {
    const std::int64_t count = state.range(0);
    RasterCanvas canvas(1920, 1080);
    BenchPlatform platform;
    platform.reply = std::to_string(count);
    BenchControls controls;
    PosixLibraryLoader loader;
    pointset::TriangulateLibrary library{loader};
    pointset::PointSet set(canvas, platform, controls, library);
    double placed = 0.0;
    for (auto _ : state) {
        set.GenerateRandomPoints();
        placed += set.nPoints();
    }
    state.counters["placed"] = placed / static_cast<double>(state.iterations());
    perPoint(state, count);
}
BENCHMARK(BM_GenerateRandomPoints)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

#ifdef VANTREL_BENCH_HAS_LIBRARY

void BM_RunTriangulation(benchmark::State& state) {
    const std::int64_t count = state.range(0);
    PlacedPoints placed(count);
    // Two presses first: from the third on, both triangle arrays (the
    // current one and the one the next answer goes into) have their memory.
    placed.set.RunTriangulation();
    placed.set.RunTriangulation();
    double runSeconds = 0.0;
    placed.platform.librarySeconds = 0.0;
    for (auto _ : state) {
        const double start = BenchPlatform::seconds();
        placed.set.RunTriangulation();
        runSeconds += BenchPlatform::seconds() - start;
        benchmark::DoNotOptimize(placed.canvas.pixels().data());
    }
    if (placed.platform.messages != 0) {
        state.SkipWithError("the run showed a message");
    }
    state.counters["pixels"] = static_cast<double>(placed.layout.width) *
                               placed.layout.height;
    // Everything but the library call: the checks, the mesh, the dots and
    // the caption.
    state.counters["drawing_ns_per_point"] =
        1e9 * (runSeconds - placed.platform.librarySeconds) /
        (static_cast<double>(state.iterations()) * static_cast<double>(count));
    perPoint(state, count);
}
BENCHMARK(BM_RunTriangulation)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// The library alone on the same points and arrays as a run.
void BM_TriangulateCall(benchmark::State& state) {
    const std::int64_t count = state.range(0);
    const PlacedPoints placed(count);
    const pointset::RecordArray<PointRecord>& stored = placed.set.Points();
    std::vector<PointRecord> points(stored.data(), stored.data() + stored.upperBound() + 1);
    const std::int32_t pointCapacity = stored.upperBound();
    std::vector<TriangleRecord> triangles(2 * static_cast<std::size_t>(pointCapacity) + 1);
    std::int32_t result = 0;
    for (auto _ : state) {
        result = Triangulate(static_cast<std::int32_t>(count), 2 * pointCapacity, pointCapacity,
                             points.data(), triangles.data(), VANTREL_FLAG_DELAUNAY);
        benchmark::DoNotOptimize(triangles.data());
    }
    if (result < 0) {
        state.SkipWithError("Triangulate failed");
    }
    state.counters["triangles"] = result;
    perPoint(state, count);
}
BENCHMARK(BM_TriangulateCall)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

#endif

}  // namespace

BENCHMARK_MAIN();
