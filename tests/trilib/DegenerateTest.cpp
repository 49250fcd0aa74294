// Degenerate inputs: co-circular, collinear, coincident, extreme and nearly
// flat point sets. Their Delaunay triangulations are not unique, so every
// result is judged by the exact invariants of MeshCheck, and by a triangle
// count derived by hand where one is easy to state.

#include "Harness.h"
#include "MeshCheck.h"
#include "PointSets.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

namespace trilibtest {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kAny = -1;

struct Case {
    const char* name;
    std::function<Points()> make;
    std::int64_t triangles = kAny; // known count, or kAny to rely on 2m - 2 - h alone
};

Points concat(std::initializer_list<Points> parts) {
    Points out;
    for (const Points& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

Points withDuplicates(Points points, std::size_t copies, std::uint64_t seed) {
    addDuplicates(points, copies, seed);
    return points;
}

Points line(std::size_t n, PointRecord start, std::int64_t dx, std::int64_t dy) {
    Points out;
    for (std::size_t i = 0; i < n; ++i) {
        const auto k = static_cast<std::int64_t>(i);
        out.push_back(pt(start.x + k * dx, start.y + k * dy));
    }
    return out;
}

// Screen-sized canvas coordinates snapped to a coarse raster: dense
// duplicates, long collinear runs and many co-circular quadruples at once.
Points coarseScreen(std::size_t n, std::int32_t cell, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<std::int32_t> x(0, 10650 / cell);
    std::uniform_int_distribution<std::int32_t> y(0, 8310 / cell);
    Points out(n);
    for (PointRecord& p : out) {
        p = pt(std::int64_t{x(rng)} * cell, std::int64_t{y(rng)} * cell);
    }
    return out;
}

// Points hugging a horizontal line at the bottom of the int32 range.
Points flatStrip(std::size_t n, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<std::int32_t> x(kMin, kMax);
    std::uniform_int_distribution<std::int32_t> y(kMin, kMin + 1);
    Points out(n);
    for (PointRecord& p : out) {
        p = pt(x(rng), y(rng));
    }
    return out;
}

const PointRecord kOrigin = pt(0, 0);
const PointRecord kLow = pt(kMin, kMin);

// The four points (0,0), u, v, u + v with det(u, v) = -1, from the low corner.
Points fibonacciParallelogram() {
    const std::int64_t a = fibonacci(46);
    const std::int64_t b = fibonacci(45);
    const std::int64_t c = fibonacci(44);
    return {kLow, pt(kLow.x + a, kLow.y + b), pt(kLow.x + b, kLow.y + c),
            pt(kLow.x + a + b, kLow.y + b + c)};
}

const Case kCases[] = {
    // Tiny sets.
    {"Empty", [] { return Points{}; }, 0},
    {"OnePoint", [] { return Points{pt(7, -3)}; }, 0},
    {"TwoPoints", [] { return Points{pt(0, 0), pt(5, 5)}; }, 0},
    {"ThreeCounterClockwise", [] { return Points{pt(0, 0), pt(10, 0), pt(0, 10)}; }, 1},
    {"ThreeClockwise", [] { return Points{pt(0, 0), pt(0, 10), pt(10, 0)}; }, 1},
    {"ThreeIdentical", [] { return Points{pt(4, 4), pt(4, 4), pt(4, 4)}; }, 0},
    {"ThreeCollinear", [] { return Points{pt(0, 0), pt(20, 10), pt(10, 5)}; }, 0},
    {"TwoDistinctOfFive", [] { return Points{pt(1, 2), pt(3, 4), pt(1, 2), pt(3, 4), pt(3, 4)}; }, 0},
    {"TriangleWithRepeats", [] { return Points{pt(9, 0), pt(0, 9), pt(9, 0), pt(0, 0), pt(0, 9), pt(0, 0)}; },
     1},
    {"Square", [] { return Points{pt(0, 0), pt(10, 0), pt(10, 10), pt(0, 10)}; }, 2},
    {"SquareAndCentre", [] { return Points{pt(0, 0), pt(10, 0), pt(10, 10), pt(0, 10), pt(5, 5)}; }, 4},

    // Lattices: every unit square is co-circular, every row collinear.
    {"Grid3x3", [] { return grid(3, 3, 1, kOrigin); }, 8},
    {"Grid10x10", [] { return grid(10, 10, 7, pt(-30, 12)); }, 162},
    {"Grid100x100", [] { return grid(100, 100, 1, kOrigin); }, 2 * 99 * 99},
    {"Grid100x100SpanningInt32", [] { return grid(100, 100, 43000000, kLow); }, 2 * 99 * 99},
    {"Grid20x20Duplicated", [] { return withDuplicates(grid(20, 20, 3, kOrigin), 400, 5); }, 2 * 19 * 19},
    {"Grid60x60NearTopCorner", [] { return grid(60, 60, 1, pt(kMax - 59, kMax - 59)); }, 2 * 59 * 59},

    // Collinear runs.
    {"AllHorizontal", [] { return line(50, pt(-25, 8), 1, 0); }, 0},
    {"AllVertical", [] { return line(50, pt(3, -1000), 0, 40); }, 0},
    {"AllDiagonal", [] { return line(50, pt(-100, 100), 3, -7); }, 0},
    {"AllDiagonalFullRange", [] { return line(64, kLow, 67108863, 67108863); }, 0},
    {"AllCollinearDuplicated", [] { return withDuplicates(line(30, kOrigin, 2, 1), 60, 6); }, 0},
    {"HorizontalRunAndApex", [] { return concat({line(50, kOrigin, 1, 0), {pt(25, 10)}}); }, 49},
    {"VerticalRunAndApex", [] { return concat({{pt(-8, 3)}, line(40, kOrigin, 0, 1)}); }, 39},
    {"DiagonalRunBetweenApexes", [] { return concat({line(40, kOrigin, 1, 1), {pt(30, 0), pt(0, 30)}}); }},
    {"CrossingRuns", [] { return concat({line(41, pt(-20, 0), 1, 0), line(41, pt(0, -20), 0, 1)}); }},
    {"SquareOutlineAndInterior",
     [] {
         return concat({line(20, pt(0, 0), 5, 0), line(20, pt(100, 0), 0, 5), line(20, pt(100, 100), -5, 0),
                        line(20, pt(0, 100), 0, -5), uniform(30, 1, 99, 11)});
     }},

    // Coincident points in quantity, on the screen-sized canvas.
    {"CoarseScreen", [] { return coarseScreen(20000, 50, 21); }},
    {"ScreenDuplicates", [] { return withDuplicates(uniform(3000, 0, 8310, 22), 3000, 23); }},
    {"TinyRangeCrowd", [] { return coarseScreen(600, 350, 24); }},

    // Co-circular points: all integer points on circles of radius 5, 25, 65, 1105.
    {"LatticeCircle5", [] { return latticeCircle(5, kOrigin); }, 12 - 2},
    {"LatticeCircle5AndCentre", [] { return concat({latticeCircle(5, kOrigin), {kOrigin}}); }, 12},
    {"LatticeCircle25", [] { return latticeCircle(25, pt(100, -100)); }, 20 - 2},
    {"LatticeCircle65", [] { return latticeCircle(65, kOrigin); }, 36 - 2},
    {"LatticeCircle1105", [] { return latticeCircle(1105, kOrigin); }, 108 - 2},
    {"LatticeCircle1105Scaled", [] { return latticeCircle(1105, kOrigin, 1900000); }, 108 - 2},
    {"ConcentricLatticeCircles",
     [] {
         // The scaled circle of radius 5 lands on points of the radius-1105 one.
         return concat({latticeCircle(5, kOrigin), latticeCircle(25, kOrigin), latticeCircle(65, kOrigin),
                        latticeCircle(1105, kOrigin), latticeCircle(5, kOrigin, 221), {kOrigin}});
     }},
    {"RoundedCircleLarge", [] { return roundedCircle(2000, 1.0e9, kOrigin); }},
    {"RoundedCircleSmall", [] { return roundedCircle(1000, 300.0, pt(5000, 4000)); }},
    {"RoundedCircleAtCorner", [] { return roundedCircle(500, 1.0e6, pt(kMax - 1000000, kMin + 1000000)); }},

    // The ends of the int32 range.
    {"Int32Corners", [] { return Points{kLow, pt(kMax, kMin), pt(kMax, kMax), pt(kMin, kMax)}; }, 2},
    {"Int32CornersAndCentre", [] { return Points{kLow, pt(kMax, kMin), pt(kMax, kMax), pt(kMin, kMax), kOrigin}; },
     4},
    {"Int32CornersAndEdges",
     [] {
         return Points{kLow,          pt(kMax, kMin), pt(kMax, kMax), pt(kMin, kMax), pt(0, kMin),
                       pt(kMax, 0),   pt(0, kMax),    pt(kMin, 0),    pt(-1, -1),     pt(0, 0),
                       pt(kMin + 1, kMin), pt(kMax, kMax - 1)};
     }},
    {"NearInt32Corners", [] { return withDuplicates(nearCorners(300, 1 << 16, 31), 60, 32); }},
    {"FullRangeDuplicated", [] { return withDuplicates(uniform(1000, kMin, kMax, 33), 500, 34); }},
    {"FlatStripAtInt32Min", [] { return flatStrip(300, 35); }},

    // Nearly collinear triples: determinant +-1 with sides near 1e9.
    {"FibonacciTriangle",
     [] { return Points{kOrigin, pt(fibonacci(46), fibonacci(45)), pt(fibonacci(45), fibonacci(44))}; }, 1},
    {"FibonacciTriangleAtInt32Min",
     [] {
         return Points{kLow, pt(kLow.x + fibonacci(45), kLow.y + fibonacci(44)),
                       pt(kLow.x + fibonacci(46), kLow.y + fibonacci(45))};
     },
     1},
    {"FibonacciParallelogram", [] { return fibonacciParallelogram(); }, 2},
    {"FibonacciFan", [] { return fibonacciFan(20, 45, kOrigin); }},
    {"FibonacciFanAtInt32Min", [] { return fibonacciFan(2, 45, kLow); }},
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class Degenerate : public ::testing::TestWithParam<Case> {};

TEST_P(Degenerate, ValidDelaunayInAnyOrder) {
    const Case& c = GetParam();
    Points points = c.make();
    scribbleThird(points, 41);
    for (const bool shuffled : {false, true}) {
        SCOPED_TRACE(shuffled ? "shuffled" : "as listed");
        if (shuffled) {
            shuffle(points, 42);
        }
        const Outcome got = triangulate(points);
        ASSERT_GE(got.code, 0);
        if (c.triangles != kAny) {
            EXPECT_EQ(c.triangles, got.code);
        }
        EXPECT_TRUE(isDelaunayTriangulation(points, got.triangles));
    }
}

INSTANTIATE_TEST_SUITE_P(Trilib, Degenerate, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

// Random crowds on a tiny raster mix every degeneracy at once; many seeds
// make up for the small size.
TEST(Trilib, RandomCrowdsOnTinyRasters) {
    for (std::uint64_t seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937_64 rng(seed);
        std::uniform_int_distribution<int> side(1, 12);
        std::uniform_int_distribution<std::size_t> count(0, 60);
        const int w = side(rng);
        const int h = side(rng);
        std::uniform_int_distribution<int> x(0, w);
        std::uniform_int_distribution<int> y(0, h);
        Points points(count(rng));
        for (PointRecord& p : points) {
            p = pt(x(rng), y(rng));
        }
        scribbleThird(points, seed);
        const Outcome got = triangulate(points);
        ASSERT_GE(got.code, 0);
        ASSERT_TRUE(isDelaunayTriangulation(points, got.triangles, EmptyCircles::BruteForce));
    }
}

} // namespace
} // namespace trilibtest
