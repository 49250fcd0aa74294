// Co-circular, collinear, coincident, extreme and nearly flat point sets have
// no unique Delaunay triangulation, so each result is judged by the exact
// invariants alone. Sets built in order also run shuffled where a different
// insertion order meets different ties.

#include "TrilibTest.h"

#include <cmath>
#include <numbers>
#include <random>
#include <string>
#include <utility>

namespace trilibtest {
namespace {

Points concat(std::initializer_list<Points> parts) {
    Points out;
    for (const Points& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

// All integer points at exactly distance r from the centre, times `scale`.
Points latticeCircle(std::int64_t r, PointRecord centre, std::int64_t scale = 1) {
    Points out;
    for (std::int64_t x = -r; x <= r; ++x) {
        // Exact: a perfect square below 2^52 has an exact double root.
        const std::int64_t y = std::llround(std::sqrt(static_cast<double>(r * r - x * x)));
        if (x * x + y * y == r * r) {
            out.push_back(pt(centre.x + x * scale, centre.y + y * scale));
            if (y != 0) {
                out.push_back(pt(centre.x + x * scale, centre.y - y * scale));
            }
        }
    }
    return out;
}

Points roundedCircle(std::size_t n, double r, PointRecord centre) {
    Points out;
    for (std::size_t i = 0; i < n; ++i) {
        const double angle = 2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n);
        out.push_back(pt(std::llround(centre.x + r * std::cos(angle)), std::llround(centre.y + r * std::sin(angle))));
    }
    return out;
}

// The origin and the vectors (F(k + 1), F(k)) of Fibonacci numbers for
// k = first..last. Neighbours have determinant +-1: each pair makes a
// triangle of area 1/2 with the origin, and (u, v, u + v) a parallelogram.
Points fibonacciFan(int first, int last, PointRecord origin) {
    Points out{origin};
    std::int64_t f = 1;    // F(k)
    std::int64_t next = 1; // F(k + 1)
    for (int k = 1; k <= last; ++k, f = std::exchange(next, f + next)) {
        if (k >= first) {
            out.push_back(pt(origin.x + next, origin.y + f));
        }
    }
    return out;
}

const PointRecord kOrigin = pt(0, 0);
const PointRecord kLow = pt(kMin, kMin);
const Points kInt32Corners{kLow, pt(kMax, kMin), pt(kMax, kMax), pt(kMin, kMax)};

struct Case {
    const char* name;
    Points (*make)();
};

const Case kCases[] = {
    // Tiny sets.
    {"Empty", [] { return Points{}; }},
    {"OnePoint", [] { return Points{pt(7, -3)}; }},
    {"TwoPoints", [] { return Points{pt(0, 0), pt(5, 5)}; }},
    {"ThreeCounterClockwise", [] { return Points{pt(0, 0), pt(10, 0), pt(0, 10)}; }},
    {"ThreeClockwise", [] { return Points{pt(0, 0), pt(0, 10), pt(10, 0)}; }},
    {"ThreeIdentical", [] { return Points{pt(4, 4), pt(4, 4), pt(4, 4)}; }},
    {"ThreeCollinear", [] { return Points{pt(0, 0), pt(20, 10), pt(10, 5)}; }},
    {"TwoDistinctOfFive", [] { return Points{pt(1, 2), pt(3, 4), pt(1, 2), pt(3, 4), pt(3, 4)}; }},
    {"TriangleWithRepeats", [] { return Points{pt(9, 0), pt(0, 9), pt(9, 0), pt(0, 0), pt(0, 9), pt(0, 0)}; }},
    {"SquareAndCentre", [] { return Points{pt(0, 0), pt(10, 0), pt(10, 10), pt(0, 10), pt(5, 5)}; }},

    // Lattices: every cell co-circular, every row collinear.
    {"Grid100x100", [] { return grid(100, 100, 1, kOrigin); }},
    {"Grid100x100Shuffled", [] { return shuffled(grid(100, 100, 1, kOrigin), 1); }},
    {"Grid100x100SpanningInt32", [] { return shuffled(grid(100, 100, 43000000, kLow), 2); }},
    {"Grid20x20Duplicated", [] { return withDuplicates(grid(20, 20, 3, kOrigin), 400, 5); }},
    {"Grid60x60NearTopCorner", [] { return grid(60, 60, 1, pt(kMax - 59, kMax - 59)); }},

    // Collinear runs.
    {"AllHorizontal", [] { return line(50, pt(-25, 8), 1, 0); }},
    {"AllVerticalShuffled", [] { return shuffled(line(50, pt(3, -1000), 0, 40), 3); }},
    {"AllDiagonalFullRange", [] { return shuffled(line(64, kLow, 67108863, 67108863), 4); }},
    {"AllCollinearDuplicated", [] { return withDuplicates(line(30, kOrigin, 2, -1), 60, 6); }},
    {"HorizontalRunAndApex", [] { return concat({line(50, kOrigin, 1, 0), {pt(25, 10)}}); }},
    {"HorizontalRunAndApexShuffled", [] { return shuffled(concat({line(50, kOrigin, 1, 0), {pt(25, 10)}}), 7); }},
    {"VerticalRunAndApex", [] { return concat({{pt(-8, 3)}, line(40, kOrigin, 0, 1)}); }},
    {"DiagonalRunBetweenApexes", [] { return concat({line(40, kOrigin, 1, 1), {pt(30, 0), pt(0, 30)}}); }},
    {"CrossingRuns", [] { return concat({line(41, pt(-20, 0), 1, 0), line(41, pt(0, -20), 0, 1)}); }},
    {"SquareOutlineAndInterior", [] {
         return shuffled(concat({line(20, kOrigin, 5, 0), line(20, pt(100, 0), 0, 5), line(20, pt(100, 100), -5, 0),
                                 line(20, pt(0, 100), 0, -5), uniform(30, 1, 99, 11)}), 8);
     }},

    // Coincident points in quantity on the 10650 x 8310 canvas; on a coarse
    // raster with long collinear runs and many co-circular quadruples too.
    {"CanvasRaster50", [] { return raster(20000, kOrigin, 10650 / 50, 8310 / 50, 50, 21); }},
    {"CanvasDuplicates", [] { return withDuplicates(uniform(3000, 0, 8310, 22), 3000, 23); }},
    {"CanvasRaster350", [] { return raster(600, kOrigin, 10650 / 350, 8310 / 350, 350, 24); }},

    // All integer points on circles of radius 5, 25, 65, 1105.
    {"LatticeCircle5AndCentre", [] { return concat({latticeCircle(5, kOrigin), {kOrigin}}); }},
    {"LatticeCircle25", [] { return latticeCircle(25, pt(100, -100)); }},
    {"LatticeCircle1105Shuffled", [] { return shuffled(latticeCircle(1105, kOrigin), 9); }},
    {"LatticeCircle1105Scaled", [] { return latticeCircle(1105, kOrigin, 1900000); }},
    {"ConcentricLatticeCircles", [] { // the scaled radius 5 lands on points of radius 1105
         return shuffled(concat({latticeCircle(5, kOrigin), latticeCircle(25, kOrigin), latticeCircle(65, kOrigin),
                                 latticeCircle(1105, kOrigin), latticeCircle(5, kOrigin, 221), {kOrigin}}), 10);
     }},
    {"RoundedCircleLarge", [] { return roundedCircle(2000, 1.0e9, kOrigin); }},
    {"RoundedCircleSmall", [] { return shuffled(roundedCircle(1000, 300.0, pt(5000, 4000)), 11); }},
    {"RoundedCircleAtCorner", [] { return roundedCircle(500, 1.0e6, pt(kMax - 1000000, kMin + 1000000)); }},

    // The ends of the int32 range.
    {"Int32Corners", [] { return kInt32Corners; }},
    {"Int32CornersAndCentre", [] { return concat({kInt32Corners, {kOrigin}}); }},
    {"Int32CornersAndEdges", [] {
         return concat({kInt32Corners, {pt(0, kMin), pt(kMax, 0), pt(0, kMax), pt(kMin, 0), pt(-1, -1), kOrigin,
                                         pt(kMin + 1, kMin), pt(kMax, kMax - 1)}});
     }},
    {"NearInt32Corners", [] { return withDuplicates(nearCorners(300, 1 << 16, 31), 60, 32); }},
    {"FullRangeDuplicated", [] { return withDuplicates(uniform(1000, kMin, kMax, 33), 500, 34); }},
    {"FlatStripAtInt32Min", [] { return raster(300, kLow, std::int64_t{kMax} - kMin, 1, 1, 35); }},

    // Nearly collinear triples: determinant +-1 with sides near 1e9.
    {"FibonacciTriangle", [] { return fibonacciFan(44, 45, kOrigin); }},
    {"FibonacciTriangleAtInt32Min", [] { return fibonacciFan(44, 45, kLow); }},
    {"FibonacciParallelogram", [] { return fibonacciFan(44, 46, kLow); }},
    {"FibonacciFan", [] { return fibonacciFan(20, 45, kOrigin); }},
    {"FibonacciFanAtInt32MinShuffled", [] { return shuffled(fibonacciFan(2, 45, kLow), 12); }},
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class Degenerate : public ::testing::TestWithParam<Case> {};

TEST_P(Degenerate, ValidDelaunay) {
    Points points = GetParam().make();
    scribbleThird(points, 41);
    const Outcome got = triangulate(points);
    ASSERT_GE(got.code, 0);
    EXPECT_TRUE(isDelaunay(points, got.triangles));
}

INSTANTIATE_TEST_SUITE_P(Trilib, Degenerate, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& param) { return std::string(param.param.name); });

// Random crowds on tiny rasters mix every degeneracy at once, each small
// enough for the brute-force circle check; many seeds make up for the size.
TEST(Trilib, RandomCrowdsOnTinyRasters) {
    for (std::uint64_t seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937_64 rng(seed);
        std::uniform_int_distribution<std::int64_t> side(1, 12);
        const std::int64_t w = side(rng);
        const std::int64_t h = side(rng);
        const Points points = raster(std::uniform_int_distribution<std::size_t>(0, 60)(rng), kOrigin, w, h, 1, seed);
        const Outcome got = triangulate(points);
        ASSERT_GE(got.code, 0);
        ASSERT_TRUE(isDelaunay(points, got.triangles));
    }
}

} // namespace
} // namespace trilibtest
