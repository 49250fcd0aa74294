// Large pictures are drawn by several threads at once, in bands of the
// raster: the pixels must be those of the same drawing done call by call.
// Built with ThreadSanitizer as well (scripts/test.sh).
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

// Enough triangles and dots to be drawn in bands, small and far apart so
// that each one's pixels show, many of them across a band's border, some
// long, with corners off the raster or beyond the points; on a raster
// taller than the canvas.
TEST(RasterCanvasBands, AMeshAndDotsInBandsAreTheirLineAndPSetCalls) {
    constexpr int kWidth = 3000, kHeight = 2000;
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
    const auto count = static_cast<std::int32_t>(points.size());
    RasterCanvas banded(kWidth, kHeight + 30), calls(kWidth, kHeight + 30);
    for (RasterCanvas* canvas : {&banded, &calls}) {
        canvas->resizePixels(kWidth - 20, kHeight);
        static_cast<void>(canvas->takeDirty());
        canvas->setForeColor(kGrey);
    }
    banded.drawTriangleEdges(points, triangles);
    banded.setForeColor(banded.FillColor());
    banded.drawDots(std::span(points).subspan(1));

    const auto at = [&](std::int32_t i) {
        return std::pair(float(points[std::size_t(i)].x), float(points[std::size_t(i)].y));
    };
    for (const auto& [a, b, c] : triangles) {
        if (std::max({a, b, c}) >= count || std::min({a, b, c}) < 0) continue;
        calls.Line(at(a).first, at(a).second, at(b).first, at(b).second);
        calls.Line(at(b).first, at(b).second, at(c).first, at(c).second);
        calls.Line(at(a).first, at(a).second, at(c).first, at(c).second);
    }
    calls.setForeColor(calls.FillColor());
    for (std::int32_t i = 1; i < count; ++i) calls.PSet(at(i).first, at(i).second);
    EXPECT_TRUE(picture(banded) == picture(calls));
    EXPECT_EQ(banded.takeDirty(), calls.takeDirty());
}

// A clear of a raster large enough for bands reaches every row.
TEST(RasterCanvasBands, AClearInBandsLeavesNoPixelDrawn) {
    RasterCanvas canvas(2100, 2100);
    canvas.setForeColor(kGrey);
    for (int row = 0; row < 2100; ++row) {
        canvas.Line(0.0f, float(row * 15), float(2099 * 15), float(row * 15));
    }
    canvas.Cls();
    EXPECT_EQ(std::ranges::count(canvas.pixels(), RasterCanvas::pixelOf(pointset::kWhite)), 2100 * 2100);
}

}  // namespace
