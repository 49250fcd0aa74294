// A mesh and its dots drawn at once set exactly the pixels of the Line and
// PSet calls they stand for, whether drawn on this thread or, for a large
// picture, by several threads in bands of the raster. Built with
// ThreadSanitizer as well (scripts/test.sh).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "RasterCanvas.h"

namespace {

constexpr pointset::Colour kGrey = 0x00C0C0C0;

std::vector<RasterCanvas::Pixel> picture(const RasterCanvas& canvas) {
    return {canvas.pixels().begin(), canvas.pixels().end()};
}

// Draws the mesh and the dots at once on a canvas of the given size in a
// raster 50 pixels wider and 10 taller, and call by call on another, and
// compares the pixels and the dirty rectangles; returns the first canvas.
RasterCanvas drawnAsCalls(int width, int height, const std::vector<PointRecord>& points,
                          const std::vector<TriangleRecord>& triangles) {
    RasterCanvas drawn(width + 50, height + 10), calls(width + 50, height + 10);
    for (RasterCanvas* canvas : {&drawn, &calls}) {
        canvas->resizePixels(width, height);
        static_cast<void>(canvas->takeDirty());
        canvas->setForeColor(kGrey);
    }
    drawn.drawTriangleEdges(points, triangles);
    drawn.setForeColor(pointset::kRed);
    drawn.drawDots(points);

    const auto at = [&](std::int32_t i) { return std::pair(float(points[std::size_t(i)].x), float(points[std::size_t(i)].y)); };
    for (const auto& [a, b, c] : triangles) {
        if (std::max({a, b, c}) >= std::int32_t(points.size()) || std::min({a, b, c}) < 0) continue;
        calls.Line(at(a).first, at(a).second, at(b).first, at(b).second);
        calls.Line(at(b).first, at(b).second, at(c).first, at(c).second);
        calls.Line(at(a).first, at(a).second, at(c).first, at(c).second);
    }
    calls.setForeColor(pointset::kRed);
    for (std::int32_t i = 0; i < std::int32_t(points.size()); ++i) calls.PSet(at(i).first, at(i).second);
    EXPECT_TRUE(picture(drawn) == picture(calls));
    EXPECT_EQ(drawn.takeDirty(), calls.takeDirty());
    return drawn;
}

// Segments of every short slope both ways, long ones, corners off the
// raster or beyond the points (skipped).
TEST(RasterCanvasMesh, SmallMeshOnThisThread) {
    std::vector<PointRecord> points{{1507, 757, 0}, {-100, 30, 0}, {2990, 1490, 0}, {45, 9999, 0}, {3000, 300, 0}};
    std::vector<TriangleRecord> triangles{{0, 1, 2}, {3, 2, 4}, {2, 4, -1}, {2, 0, 4}};
    for (int dy = -8; dy <= 8; ++dy)
        for (int dx = -8; dx <= 8; ++dx) {
            points.push_back({1507 + 15 * dx, 757 + 15 * dy, 0});
            triangles.push_back({0, std::int32_t(points.size() - 1), std::int32_t(points.size() - 1)});
        }
    std::mt19937 generator(11);
    std::uniform_int_distribution<int> x(-300, 3300), y(-300, 1800), corner(0, int(points.size()) - 1);
    for (int i = 0; i < 300; ++i) points.push_back({x(generator), y(generator), 0});
    for (int i = 0; i < 300; ++i) triangles.push_back({corner(generator), corner(generator), corner(generator)});
    triangles.push_back({2, 1, std::int32_t(points.size())});
    RasterCanvas canvas = drawnAsCalls(150, 90, points, triangles);
    const auto near = [](int dx, int dy) { return std::int32_t(5 + (dy + 8) * 17 + dx + 8); };  // pixel (100 + dx, 50 + dy)
    canvas.drawTriangleEdges(points, std::vector<TriangleRecord>{{0, near(-8, -3), near(5, 8)}});
    EXPECT_EQ(canvas.takeDirty(), (PixelRect{92, 47, 14, 12}));
}

// Enough triangles and dots for bands: small and far apart so that each
// one's pixels show, many across a band's border, some long, with corners
// off the raster or beyond the points; then a clear, in bands too.
TEST(RasterCanvasMesh, LargeMeshInBands) {
    constexpr int kWidth = 3000, kHeight = 2001;  // rows not a multiple of the bands
    std::mt19937 generator(5);
    std::uniform_int_distribution<int> x(-600, kWidth * 15 + 600), y(-600, kHeight * 15 + 600), step(-90, 90);
    std::vector<PointRecord> points(1);
    std::vector<TriangleRecord> triangles;
    for (std::int32_t i = 0; i < 40000; ++i) {
        const PointRecord base{x(generator), y(generator), 0};
        points.push_back(base);
        points.push_back({base.x + step(generator), base.y + step(generator), 0});
        points.push_back(i % 10 == 0 ? PointRecord{x(generator), y(generator), 0}
                                     : PointRecord{base.x + step(generator), base.y + step(generator), 0});
        const std::int32_t last = 3 * i + 3;
        triangles.push_back(i % 1000 == 0 ? TriangleRecord{last, last - 1, last + 5000000} : TriangleRecord{last - 2, last - 1, last});
    }
    for (int x0 = 0; x0 < kWidth * 15; x0 += 600) {  // flat ones on the last row
        points.insert(points.end(), {{x0, kHeight * 15 - 1, 0}, {x0 + 300, kHeight * 15 - 1, 0}});
        triangles.push_back({std::int32_t(points.size()) - 2, std::int32_t(points.size()) - 1, std::int32_t(points.size()) - 1});
    }
    RasterCanvas canvas = drawnAsCalls(kWidth - 50, kHeight - 10, points, triangles);
    canvas.Cls();
    EXPECT_EQ(std::ranges::count(canvas.pixels(), RasterCanvas::pixelOf(pointset::kWhite)), kWidth * kHeight);
}

}  // namespace
