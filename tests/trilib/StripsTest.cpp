// Strips: the same triangles on any number of threads, whichever road a call
// takes (seams stitched, the first strip grown by the rest, one thread for
// all), and the faults real machines seldom show: threads that cannot be
// started, memory running out inside a task, many callers at once. Built from
// the library's sources with its test hooks (trilib/Threads.h), so that any
// number of cores can be pretended.
#include "Threads.h"
#include "TrilibTest.h"

#include <thread>

namespace trilibtest {
namespace {

using vantrel::StripOutcome;

struct Injected {
    explicit Injected(const vantrel::Faults& faults) { vantrel::injectFaults(faults); }
    ~Injected() { vantrel::injectFaults({}); }
    Injected(const Injected&) = delete;
    Injected& operator=(const Injected&) = delete;
};

constexpr std::size_t kTail = 4;

// A call with `faults` injected (pretended cores, say) and a guarded triangle
// array: the result code, the triangles by coordinates, and whether slot 0
// and the records past the capacity stayed untouched.
struct Call {
    std::int32_t code;
    std::vector<std::array<Corner, 3>> triangles;
    bool guardsIntact;
};

// The points behind an unused slot 0, as the library takes them.
Points slotted(const Points& points) {
    Points slots{kUntouchedPoint};
    slots.insert(slots.end(), points.begin(), points.end());
    return slots;
}

// capacity, when given, is the triangle array's size, else 2n.
Call call(const Points& points, const vantrel::Faults& faults, std::int32_t flag = VANTREL_FLAG_DELAUNAY,
          std::int32_t capacity = -1) {
    Points slots = slotted(points);
    const auto n = static_cast<std::int32_t>(points.size());
    if (capacity < 0) capacity = 2 * n;
    std::vector<TriangleRecord> out(std::size_t(capacity) + 1 + kTail, kUntouchedTriangle);
    std::int32_t code = 0;
    {
        const Injected injected(faults);
        code = Triangulate(n, capacity, n, slots.data(), out.data(), flag);
    }
    const bool guards = untouched(out[0]) && std::all_of(out.end() - kTail, out.end(), untouched);
    const std::span<const TriangleRecord> got(out.data() + 1, std::size_t(std::clamp(code, 0, capacity)));
    return {code, byCoordinates(points, got), guards};
}

Points verticalLines(std::size_t perLine, std::uint64_t seed) {
    Points out;
    for (const std::int32_t x : {0, 1000, 2000}) {
        const Points column = raster(perLine, pt(x, 0), 0, 1 << 20, 1, seed + std::uint64_t(x));
        out.insert(out.end(), column.begin(), column.end());
    }
    return shuffled(std::move(out), seed);
}

Points latticeCircles(std::int64_t r, std::int64_t scale) {
    Points out;
    for (std::int64_t x = -r; x <= r; ++x) {
        const std::int64_t y = std::llround(std::sqrt(double(r * r - x * x)));
        if (x * x + y * y != r * r) continue;
        for (const std::int64_t sy : {y, -y}) out.push_back(pt((1 << 20) + x * scale, (1 << 20) + sy * scale));
    }
    return out;
}

struct Set {
    const char* name;
    Points (*make)();
    StripOutcome road;  // on two cores
    bool meshCheck;     // small enough for the full check of the mesh
};

void PrintTo(const Set& set, std::ostream* out) { *out << set.name; }

Points concat(Points a, const Points& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Under ThreadSanitizer, which is there to watch the threads, not the
// geometry, the largest set is a fifth as large.
#if defined(__SANITIZE_THREAD__)
constexpr std::size_t kLarge = 200000;
#else
constexpr std::size_t kLarge = 1000000;
#endif

const Set kSets[] = {
    {"UniformLarge", [] { return uniform(kLarge, 0, (1 << 20) - 1, 1); }, StripOutcome::Stitched, false},
    {"CanvasWithDuplicates", [] { return withDuplicates(uniform(100000, 0, 8310, 2), 30000, 3); },
     StripOutcome::Stitched, true},
    {"GridShuffled", [] { return shuffled(grid(400, 300, 3, pt(-600, 0)), 4); }, StripOutcome::Stitched, true},
    {"LatticeCirclesInNoise",
     [] { return shuffled(concat(latticeCircles(1105, 400), uniform(90000, 0, 1 << 21, 5)), 6); },
     StripOutcome::Stitched, true},
    {"FullRange", [] { return uniform(100000, kMin, kMax, 7); }, StripOutcome::Stitched, true},
    {"NearInt32Corners", [] { return nearCorners(100000, 1 << 12, 10); }, StripOutcome::Stitched, true},
    {"RoundedCircle", [] { return shuffled(circle(150000, 1.0e8, pt(0, 0)), 8); }, StripOutcome::Grown, false},
    {"ThreeVerticalLines", [] { return verticalLines(30000, 9); }, StripOutcome::Unsplit, false},
};

class Strips : public ::testing::TestWithParam<Set> {};

// One thread is the reference; pretended cores make two, three and five
// strips of the same points, and each must give the same triangles.
TEST_P(Strips, SameTrianglesOnAnyNumberOfThreads) {
    const Set& set = GetParam();
    const Points points = set.make();
    const Call one = call(points, {.cores = 4}, VANTREL_FLAG_DELAUNAY | VANTREL_FLAG_ONE_THREAD);
    ASSERT_GT(one.code, 0);
    EXPECT_EQ(StripOutcome::Unsplit, vantrel::lastOutcome()) << "the one-thread flag was not heeded";
    for (const int cores : {2, 3, 5}) {
        SCOPED_TRACE(std::to_string(cores) + " cores");
        const Call many = call(points, {.cores = cores});
        EXPECT_TRUE(many.guardsIntact);
        EXPECT_EQ(one.code, many.code);
        EXPECT_TRUE(one.triangles == many.triangles) << "the triangles differ from one thread's";
        if (cores == 2) {
            EXPECT_EQ(set.road, vantrel::lastOutcome());
        }
    }
    // An array with room for the real triangles only, not for the mesh's
    // working corners: written from the library's own storage, by several
    // threads; one record less answers -5 and writes nothing past it.
    const Call exact = call(points, {.cores = 3}, VANTREL_FLAG_DELAUNAY, one.code);
    EXPECT_TRUE(exact.guardsIntact && exact.triangles == one.triangles) << "exact capacity";
    const Call short1 = call(points, {.cores = 3}, VANTREL_FLAG_DELAUNAY, one.code - 1);
    EXPECT_EQ(VANTREL_E_CAPACITY, short1.code);
    EXPECT_TRUE(short1.guardsIntact);
    if (set.meshCheck) {
        const Injected two({.cores = 2});
        triangulate(points);
    }
}

INSTANTIATE_TEST_SUITE_P(Trilib, Strips, ::testing::ValuesIn(kSets), byName);

// Threads that cannot be started cost time, never the result; memory that
// runs out in any task, or while stitching, answers -1 and writes nothing
// past the capacity. Either way the next call is whole again.
TEST(TrilibStrips, FailedThreadsAndMemoryInsideATask) {
    const Points points = uniform(200000, -1000000, 1000000, 11);
    const Call expected = call(points, {.cores = 1});
    EXPECT_TRUE(expected.triangles == call(points, {.cores = 3, .threadStarts = 2}).triangles);
    EXPECT_EQ(StripOutcome::Stitched, vantrel::lastOutcome()) << "strips whose threads did not start were not built";
    for (const auto& [task, site] : {std::pair{0, 0}, {1, 0}, {2, 1}, {0, 1}, {0, 2}}) {
        SCOPED_TRACE("task " + std::to_string(task) + " site " + std::to_string(site));
        Points slots = slotted(points);
        std::vector<TriangleRecord> out(2 * points.size() + 1 + kTail, kUntouchedTriangle);
        const auto n = static_cast<std::int32_t>(points.size());
        {
            const Injected failing({.cores = 3, .task = task, .site = site});
            EXPECT_EQ(VANTREL_E_NOMEM, Triangulate(n, 2 * n, n, slots.data(), out.data(), VANTREL_FLAG_DELAUNAY));
        }
        EXPECT_TRUE(untouched(out[0]) && std::all_of(out.end() - kTail, out.end(), untouched));
    }
    EXPECT_TRUE(expected.triangles == call(points, {.cores = 3}).triangles);
}

// Callers at once, each on arrays of its own, each large call on three
// strips of its own, a small one on its caller's thread: the library keeps no
// state, and the threads share nothing.
TEST(TrilibStrips, ManyCallersEachOnAllCores) {
    const std::vector<Points> sets{uniform(70000, 0, 1 << 24, 21), withDuplicates(uniform(70000, 0, 9000, 22), 9000, 23),
                                   uniform(10000, -100000000, 100000000, 24)};
    std::vector<Call> expected;
    for (const Points& set : sets) expected.push_back(call(set, {.cores = 1}));
    std::vector<Call> got(6);
    {
        const Injected three({.cores = 3});
        std::vector<std::jthread> callers;
        for (std::size_t i = 0; i < got.size(); ++i) {
            callers.emplace_back([&, i] {
                const Points& points = sets[i % sets.size()];
                Points slots = slotted(points);
                const auto n = static_cast<std::int32_t>(points.size());
                std::vector<TriangleRecord> out(2 * points.size() + 1);
                const std::int32_t code = Triangulate(n, 2 * n, n, slots.data(), out.data(), VANTREL_FLAG_DELAUNAY);
                got[i] = {code, byCoordinates(points, std::span(out).subspan(1, std::size_t(std::max(code, 0)))), true};
            });
        }
    }
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(expected[i % sets.size()].code, got[i].code) << "caller " << i;
        EXPECT_TRUE(expected[i % sets.size()].triangles == got[i].triangles) << "caller " << i;
    }
}

}  // namespace
}  // namespace trilibtest
