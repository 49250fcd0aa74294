// Points in general position have exactly one Delaunay triangulation, so the
// library must return CGAL's, triangle for triangle.

#include "TrilibTest.h"

#include <CGAL/Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Triangulation_vertex_base_with_info_2.h>

#include <cmath>
#include <random>
#include <string>
#include <utility>

namespace trilibtest {
namespace {

using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using Delaunay = CGAL::Delaunay_triangulation_2<
    Kernel, CGAL::Triangulation_data_structure_2<CGAL::Triangulation_vertex_base_with_info_2<std::int32_t, Kernel>>>;

// CGAL's faces, mapped back to slots.
std::vector<TriangleRecord> cgalDelaunay(const Points& points) {
    std::vector<std::pair<Kernel::Point_2, std::int32_t>> input;
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

// Gaussian clusters of very different spreads.
Points clusters(std::size_t n, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> centre(-1.5e9, 1.5e9);
    constexpr double spreads[] = {3e4, 1e5, 1e7, 3e8, 1e6};
    Points out;
    for (std::size_t c = 0; c < std::size(spreads); ++c) {
        std::normal_distribution<double> dx(centre(rng), spreads[c]);
        std::normal_distribution<double> dy(centre(rng), spreads[c]);
        for (std::size_t i = out.size(); i < (n * (c + 1)) / std::size(spreads); ++i) {
            out.push_back(pt(std::llround(dx(rng)), std::llround(dy(rng))));
        }
    }
    out = shuffled(std::move(out), seed + 2);
    scribbleThird(out, seed + 1);
    return out;
}

struct Distribution {
    const char* name;
    Points (*make)(std::size_t, std::uint64_t);
};

const Distribution kDistributions[] = {
    {"FullRange", [](std::size_t n, std::uint64_t seed) { return uniform(n, kMin, kMax, seed); }},
    {"Square2e20", [](std::size_t n, std::uint64_t seed) { return uniform(n, 0, (1 << 20) - 1, seed); }},
    {"Clusters", [](std::size_t n, std::uint64_t seed) { return clusters(n, seed); }},
    {"NearCorners", [](std::size_t n, std::uint64_t seed) { return nearCorners(n, 1 << 24, seed); }},
};

class CgalOracle : public ::testing::TestWithParam<std::tuple<std::size_t, std::size_t>> {};

TEST_P(CgalOracle, SameTrianglesAsCgal) {
    const auto [which, size] = GetParam();
    for (std::uint64_t seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const Points points = kDistributions[which].make(size, 1000 * size + seed);
        const Outcome got = triangulate(points);
        // A seed that drew coincident or co-circular points shows here, not as a mismatch.
        ASSERT_TRUE(isDelaunay(points, got.triangles, true));
        EXPECT_EQ(canonical(cgalDelaunay(points)), canonical(got.triangles));
    }
}

INSTANTIATE_TEST_SUITE_P(Trilib, CgalOracle,
                         ::testing::Combine(::testing::Range<std::size_t>(0, std::size(kDistributions)),
                                            ::testing::Values<std::size_t>(3, 4, 5, 7, 12, 40, 300, 3000, 20000)),
                         [](const auto& param) {
                             return std::string(kDistributions[std::get<0>(param.param)].name) + "_" +
                                    std::to_string(std::get<1>(param.param));
                         });

} // namespace
} // namespace trilibtest
