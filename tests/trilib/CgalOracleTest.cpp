// Points in general position have exactly one Delaunay triangulation, so the
// library must return CGAL's, triangle for triangle.

#include "Harness.h"
#include "MeshCheck.h"
#include "PointSets.h"

#include <CGAL/Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Triangulation_vertex_base_with_info_2.h>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <limits>
#include <set>
#include <string>
#include <utility>

namespace trilibtest {
namespace {

using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using VertexBase = CGAL::Triangulation_vertex_base_with_info_2<std::int32_t, Kernel>;
using DataStructure = CGAL::Triangulation_data_structure_2<VertexBase>;
using Delaunay = CGAL::Delaunay_triangulation_2<Kernel, DataStructure>;

// CGAL's faces, mapped back to slots. Its predicates are exact on doubles,
// and every int32 is a double.
std::vector<TriangleRecord> cgalDelaunay(const Points& points) {
    std::vector<std::pair<Kernel::Point_2, std::int32_t>> input;
    input.reserve(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        input.emplace_back(Kernel::Point_2(points[i].x, points[i].y), static_cast<std::int32_t>(i + 1));
    }
    const Delaunay dt(input.begin(), input.end());
    std::vector<TriangleRecord> out;
    for (const auto face : dt.finite_face_handles()) {
        out.push_back(TriangleRecord{face->vertex(0)->info(), face->vertex(1)->info(), face->vertex(2)->info()});
    }
    return out;
}

bool allDistinct(const Points& points) {
    std::set<std::pair<std::int32_t, std::int32_t>> seen;
    for (const PointRecord& p : points) {
        if (!seen.emplace(p.x, p.y).second) {
            return false;
        }
    }
    return true;
}

struct Distribution {
    const char* name;
    std::function<Points(std::size_t, std::uint64_t)> make;
};

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

const Distribution kDistributions[] = {
    {"FullRange", [](std::size_t n, std::uint64_t seed) { return uniform(n, kMin, kMax, seed); }},
    {"Square2e20", [](std::size_t n, std::uint64_t seed) { return uniform(n, 0, (1 << 20) - 1, seed); }},
    {"Clusters", [](std::size_t n, std::uint64_t seed) { return clusters(n, seed); }},
    {"NearCorners", [](std::size_t n, std::uint64_t seed) { return nearCorners(n, 1 << 24, seed); }},
};

class CgalOracle : public ::testing::TestWithParam<std::tuple<std::size_t, std::size_t>> {};

TEST_P(CgalOracle, SameTrianglesAsCgal) {
    const auto [which, size] = GetParam();
    const Distribution& dist = kDistributions[which];
    for (std::uint64_t seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE(std::string(dist.name) + " seed " + std::to_string(seed));
        const Points points = dist.make(size, 1000 * size + seed);
        ASSERT_TRUE(allDistinct(points)) << "pick another seed: the set has duplicates";
        const std::vector<TriangleRecord> expected = cgalDelaunay(points);
        ASSERT_TRUE(isDelaunayTriangulation(points, expected)) << "the oracle disagrees with the checks";
        ASSERT_TRUE(isUniqueDelaunay(points, expected)) << "pick another seed: four points are co-circular";

        const Outcome got = triangulate(points);
        ASSERT_EQ(static_cast<std::int32_t>(expected.size()), got.code);
        EXPECT_EQ(canonical(expected), canonical(got.triangles));
    }
}

INSTANTIATE_TEST_SUITE_P(Trilib, CgalOracle,
                         ::testing::Combine(::testing::Range<std::size_t>(0, std::size(kDistributions)),
                                            ::testing::Values<std::size_t>(3, 4, 5, 7, 12, 40, 300, 3000, 20000)),
                         [](const auto& param) {
                             return std::string(kDistributions[std::get<0>(param.param)].name) + "_" +
                                    std::to_string(std::get<1>(param.param));
                         });

// The invariant checks stand or fall with their predicates: hold them against
// CGAL's exact ones where rounding would mislead, on nearly co-circular and
// nearly collinear points spread over the whole int32 range.
TEST(TrilibOracle, OwnPredicatesAgreeWithCgal) {
    std::mt19937_64 rng(81);
    std::uniform_int_distribution<int> nudge(-1, 1);
    std::uniform_int_distribution<std::int64_t> scale(1, 1900000);
    std::uniform_int_distribution<std::int32_t> anywhere(kMin, kMax);
    const Points circle = latticeCircle(1105, pt(0, 0));
    std::uniform_int_distribution<std::size_t> pick(0, circle.size() - 1);
    const auto toCgal = [](const PointRecord& p) { return Kernel::Point_2(p.x, p.y); };
    for (int i = 0; i < 20000; ++i) {
        const std::int64_t s = scale(rng);
        std::array<PointRecord, 4> q;
        for (PointRecord& p : q) {
            const PointRecord& c = circle[pick(rng)];
            p = pt(c.x * s + nudge(rng), c.y * s + nudge(rng));
        }
        if (i % 4 == 0) {
            q[3] = pt(anywhere(rng), anywhere(rng));
        }
        const auto [a, b, c, d] = q;
        const int orient = orientSign(a, b, c);
        ASSERT_EQ(static_cast<int>(CGAL::orientation(toCgal(a), toCgal(b), toCgal(c))), orient);
        if (orient > 0) {
            ASSERT_EQ(static_cast<int>(CGAL::side_of_oriented_circle(toCgal(a), toCgal(b), toCgal(c), toCgal(d))),
                      inCircleSign(a, b, c, d));
        }
    }
    const PointRecord flat[] = {pt(0, 0), pt(fibonacci(46), fibonacci(45)), pt(fibonacci(45), fibonacci(44))};
    EXPECT_EQ(-1, orientSign(flat[0], flat[1], flat[2]));
}

} // namespace
} // namespace trilibtest
