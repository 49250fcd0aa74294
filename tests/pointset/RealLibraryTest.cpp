// The commands end to end with the real libvantrel.so, found beside the test
// program the way the demonstration program finds it, checked against CGAL.
#include <CGAL/Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>

#include <algorithm>
#include <array>
#include <set>

#include "Fakes.h"

namespace {

using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using Corners = std::array<std::pair<int, int>, 3>;

class WithRealLibrary : public ::testing::Test {
protected:
    // An edge or a dot within a pixel of a position: a segment runs between
    // pixel centres, so it may pass a pixel beside the exact middle.
    bool drawnNear(int x, int y) const {
        for (int dy = -15; dy <= 15; dy += 15)
            for (int dx = -15; dx <= 15; dx += 15) {
                const auto colour = canvas.Point(static_cast<float>(x + dx), static_cast<float>(y + dy));
                if (colour == pointset::kLightGrey || colour == pointset::kRed) return true;
            }
        return false;
    }
    RasterCanvas canvas{600, 400};
    FakePlatform platform;
    FakeControls controls;
    PlatformLibraryLoader loader;
    pointset::TriangulateLibrary library{loader};  // libvantrel.so, beside the program
    pointset::PointSet set{canvas, platform, controls, library};
};

TEST_F(WithRealLibrary, RandomPointsGiveTheDelaunayMeshOnTheCanvas) {
    platform.replies = {"300"};
    set.GenerateRandomPoints();
    const std::int32_t n = set.nPoints();
    ASSERT_GT(n, 250);
    set.RunTriangulation();
    ASSERT_TRUE(platform.boxes.empty()) << platform.boxes[0].text;
    std::vector<Kernel::Point_2> sites;
    for (std::int32_t i = 1; i <= n; ++i) sites.emplace_back(set.Points().at(i).x, set.Points().at(i).y);
    const CGAL::Delaunay_triangulation_2<Kernel> oracle(sites.begin(), sites.end());
    const auto expected = static_cast<std::int32_t>(oracle.number_of_faces());
    EXPECT_EQ(controls.caption.rfind("Points:" + std::to_string(n) + " Triangles:" + std::to_string(expected) +
                                         " Triangulate time:", 0), 0u) << controls.caption;
    std::set<Corners> faces;
    for (auto f = oracle.finite_faces_begin(); f != oracle.finite_faces_end(); ++f) {
        const auto at = [&](int k) { return std::pair(int(f->vertex(k)->point().x()), int(f->vertex(k)->point().y())); };
        Corners corners{at(0), at(1), at(2)};
        std::sort(corners.begin(), corners.end());
        faces.insert(corners);
    }
    // Every triangle returned is a Delaunay face, and its edges are drawn.
    for (std::int32_t i = 1; i <= expected; ++i) {
        const TriangleRecord& t = set.Triangles().at(i);
        ASSERT_TRUE(std::min({t.a, t.b, t.c}) >= 1 && std::max({t.a, t.b, t.c}) <= n) << "triangle " << i;
        const auto at = [&](std::int32_t k) { return std::pair(set.Points().at(k).x, set.Points().at(k).y); };
        Corners corners{at(t.a), at(t.b), at(t.c)};
        std::sort(corners.begin(), corners.end());
        EXPECT_EQ(faces.count(corners), 1u) << "triangle " << i << " is not a Delaunay face";
        for (std::size_t k = 0; k < 3; ++k) {
            const auto [x1, y1] = corners[k];
            const auto [x2, y2] = corners[(k + 1) % 3];
            EXPECT_TRUE(drawnNear((x1 + x2) / 2, (y1 + y2) / 2)) << x1 << "," << y1 << " - " << x2 << "," << y2;
        }
    }
}

}  // namespace
