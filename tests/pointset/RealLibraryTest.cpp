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
using Delaunay = CGAL::Delaunay_triangulation_2<Kernel>;

class WithRealLibrary : public ::testing::Test {
protected:
    // Whether an edge or a dot shows within a pixel of a position: the
    // segment runs between pixel centres, so it may pass a pixel beside the
    // exact middle of its two points.
    bool drawnNear(float x, float y) const {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const pointset::Colour colour = canvas.Point(x + 15.0f * static_cast<float>(dx),
                                                             y + 15.0f * static_cast<float>(dy));
                if (colour == pointset::kLightGrey || colour == pointset::kRed) {
                    return true;
                }
            }
        }
        return false;
    }

    RasterCanvas canvas{QSize(600, 400)};
    FakePlatform platform;
    FakeControls controls;
    pointset::TriangulateLibrary library;  // libvantrel.so, looked up beside the program
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
    for (std::int32_t i = 1; i <= n; ++i) {
        sites.emplace_back(set.Points().at(i).x, set.Points().at(i).y);
    }
    const Delaunay oracle(sites.begin(), sites.end());
    const auto expected = static_cast<std::int32_t>(oracle.number_of_faces());
    EXPECT_EQ(controls.caption.rfind("Points:" + std::to_string(n) + " Triangles:" +
                                         std::to_string(expected) + " Triangulate time:",
                                     0),
              0u)
        << controls.caption;

    // Every returned triangle is a face of CGAL's triangulation, and its
    // edges are on the canvas.
    std::set<std::array<std::pair<int, int>, 3>> faces;
    for (auto face = oracle.finite_faces_begin(); face != oracle.finite_faces_end(); ++face) {
        std::array<std::pair<int, int>, 3> corners;
        for (int k = 0; k < 3; ++k) {
            const auto& p = face->vertex(k)->point();
            corners[static_cast<std::size_t>(k)] = {static_cast<int>(p.x()), static_cast<int>(p.y())};
        }
        std::sort(corners.begin(), corners.end());
        faces.insert(corners);
    }
    for (std::int32_t i = 1; i <= expected; ++i) {
        const TriangleRecord& t = set.Triangles().at(i);
        std::array<std::pair<int, int>, 3> corners;
        const std::array<std::int32_t, 3> corner{t.a, t.b, t.c};
        for (std::size_t k = 0; k < 3; ++k) {
            ASSERT_GE(corner[k], 1);
            ASSERT_LE(corner[k], n);
            const PointRecord& p = set.Points().at(corner[k]);
            corners[k] = {p.x, p.y};
        }
        std::sort(corners.begin(), corners.end());
        EXPECT_EQ(faces.count(corners), 1u) << "triangle " << i << " is not a Delaunay face";
        for (std::size_t k = 0; k < 3; ++k) {
            const auto& [x1, y1] = corners[k];
            const auto& [x2, y2] = corners[(k + 1) % 3];
            EXPECT_TRUE(drawnNear(static_cast<float>(x1 + x2) / 2.0f,
                                  static_cast<float>(y1 + y2) / 2.0f))
                << "no edge drawn near the middle of " << x1 << "," << y1 << " - " << x2 << ","
                << y2;
        }
    }
}

TEST_F(WithRealLibrary, TheThirdClickWithAutoOnShowsOneTriangle) {
    controls.value = 1;
    set.PlacePoint(1, 0, 1507.0f, 1507.0f);
    set.PlacePoint(1, 0, 4507.0f, 1507.0f);
    set.PlacePoint(1, 0, 1507.0f, 3007.0f);
    ASSERT_TRUE(platform.boxes.empty()) << platform.boxes[0].text;
    EXPECT_EQ(controls.caption.rfind("Points:3 Triangles:1 Triangulate time:", 0), 0u);
    EXPECT_EQ(canvas.Point(3007.0f, 1507.0f), pointset::kLightGrey);
}

}  // namespace
