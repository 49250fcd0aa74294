// The raster canvas: twips to pixels, exact colours, what each drawing
// operation covers, clipping, and the dirty rectangle.
#include <array>
#include <cmath>
#include <random>
#include <tuple>

#include "Fakes.h"

namespace {

using pointset::Colour;
using pointset::kOutside;
using pointset::kRed;
using pointset::kWhite;

constexpr Colour kBlue = 0x00FF0000;
constexpr RasterCanvas::Pixel kBluePixel = 0xFF0000FF;

struct PixelAt {
    int x, y;
    friend bool operator==(const PixelAt&, const PixelAt&) = default;
};

RasterCanvas::Pixel at(const RasterCanvas& canvas, PixelAt p) {
    return canvas.pixels()[static_cast<std::size_t>(p.y * canvas.width() + p.x)];
}

// Pixels of the raster that are not white.
std::vector<PixelAt> drawn(const RasterCanvas& canvas) {
    std::vector<PixelAt> pixels;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (at(canvas, {x, y}) != 0xFFFFFFFF) pixels.push_back({x, y});
    return pixels;
}

class RasterCanvasTest : public ::testing::Test {
protected:
    RasterCanvasTest() { canvas.setForeColor(kBlue); }
    RasterCanvas canvas{200, 100};
};

TEST_F(RasterCanvasTest, PointReadsFifteenTwipsToThePixelAndMinusOneOutside) {
    EXPECT_EQ(std::pair(canvas.ScaleWidth(), canvas.ScaleHeight()), std::pair(3000.0f, 1500.0f));
    canvas.PSet(14.99f, 29.99f);
    EXPECT_EQ(drawn(canvas), (std::vector<PixelAt>{{0, 1}}));
    EXPECT_EQ(canvas.Point(0.0f, 15.0f), kBlue);
    EXPECT_EQ(canvas.Point(15.0f, 15.0f), kWhite);
    EXPECT_EQ(canvas.Point(2999.9f, 1499.9f), kWhite);
    for (auto [x, y] : {std::pair{-0.01f, 0.0f}, {0.0f, -0.01f}, {3000.0f, 0.0f}, {0.0f, 1500.0f}})
        EXPECT_EQ(canvas.Point(x, y), kOutside) << x << "," << y;
    canvas.setForeColor(0x00123456);  // exact, and in the order blue, green, red
    canvas.PSet(150.0f, 150.0f);
    EXPECT_EQ(canvas.Point(150.0f, 150.0f), 0x00123456);
    EXPECT_EQ(at(canvas, {10, 10}), 0xFF563412u) << "stored as 0xFFRRGGBB";
    canvas.Cls();
    EXPECT_TRUE(drawn(canvas).empty());
}

// A circle: a closed outline in the fore colour, red inside; radius 30
// twips is the point's disc of two pixels.
TEST_F(RasterCanvasTest, CircleHasAClosedOutlineAndAFilledInside) {
    canvas.Circle(twips(100), twips(50), 150.0f);
    EXPECT_EQ(canvas.Point(twips(108), twips(50)), kRed);
    EXPECT_EQ(canvas.Point(twips(110), twips(50)), kBlue);
    EXPECT_EQ(canvas.Point(twips(100), twips(40)), kBlue);
    for (const PixelAt& p : drawn(canvas)) {
        const double distance = std::hypot(p.x - 100, p.y - 50);
        EXPECT_TRUE(distance <= 10.5 && (distance < 9.5 || at(canvas, p) == kBluePixel)) << p.x << "," << p.y;
    }
    canvas.Cls();
    canvas.setForeColor(kRed);
    canvas.Circle(twips(100), twips(50), 30.0f);
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx) {
            const int r2 = dx * dx + dy * dy;
            const bool red = at(canvas, {100 + dx, 50 + dy}) == 0xFFFF0000;
            EXPECT_TRUE(r2 > 4 || red) << "hole in the disc at " << dx << "," << dy;
            EXPECT_TRUE(r2 <= 8 || !red) << "beyond the disc at " << dx << "," << dy;
        }
}

// Segments between the centres of two pixels: both ends, one pixel per step,
// each within half a pixel of the ideal line (checked in exact integers).
class Segment : public RasterCanvasTest, public ::testing::WithParamInterface<std::tuple<int, int, int, int>> {};

TEST_P(Segment, IncludesBothEndsAndFollowsTheIdealLine) {
    const auto [x1, y1, x2, y2] = GetParam();
    canvas.Line(twips(x1), twips(y1), twips(x2), twips(y2));
    const auto pixels = drawn(canvas);
    const bool xMajor = std::abs(x2 - x1) >= std::abs(y2 - y1);
    const int majorSpan = xMajor ? x2 - x1 : y2 - y1;
    const int minorSpan = xMajor ? y2 - y1 : x2 - x1;
    EXPECT_EQ(pixels.size(), static_cast<std::size_t>(std::abs(majorSpan) + 1));
    EXPECT_TRUE(at(canvas, {x1, y1}) == kBluePixel && at(canvas, {x2, y2}) == kBluePixel);
    for (const PixelAt& p : pixels) {
        EXPECT_EQ(at(canvas, p), kBluePixel) << "only the exact colour";
        const int major = xMajor ? p.x - x1 : p.y - y1;
        const int minor = xMajor ? p.y - y1 : p.x - x1;
        EXPECT_LE(std::abs(2 * (minor * majorSpan - major * minorSpan)), std::abs(majorSpan))
            << "pixel " << p.x << "," << p.y << " off the line";
    }
}

INSTANTIATE_TEST_SUITE_P(RasterCanvas, Segment,
                         ::testing::Values(std::tuple{10, 10, 10, 10}, std::tuple{60, 10, 10, 10},
                                           std::tuple{10, 10, 10, 90}, std::tuple{190, 3, 7, 88},
                                           std::tuple{20, 90, 23, 2}, std::tuple{30, 40, 130, 41}));

// A segment reaching beyond the raster shows exactly the part an unclipped
// drawing on a larger raster shows there, even from huge positions.
TEST_F(RasterCanvasTest, ClippingKeepsTheVisiblePartOfEachSegment) {
    constexpr int kMargin = 400;
    std::mt19937 generator(7);
    std::uniform_int_distribution<int> position(-kMargin * 15, (200 + kMargin) * 15);
    for (int trial = 0; trial < 300; ++trial) {
        std::array<float, 4> ends;
        for (std::size_t i = 0; i < 4; ++i) ends[i] = static_cast<float>(position(generator) / int(1 + i % 2));
        RasterCanvas large(200 + 2 * kMargin, 100 + 2 * kMargin);
        large.setForeColor(kBlue);
        canvas.Cls();
        canvas.Line(ends[0], ends[1], ends[2], ends[3]);
        const float shift = kMargin * 15.0f;
        large.Line(ends[0] + shift, ends[1] + shift, ends[2] + shift, ends[3] + shift);
        std::vector<RasterCanvas::Pixel> window;
        for (int y = kMargin; y < kMargin + 100; ++y)
            for (int x = kMargin; x < kMargin + 200; ++x) window.push_back(at(large, {x, y}));
        ASSERT_EQ(picture(canvas), window)
            << "segment " << ends[0] << "," << ends[1] << " - " << ends[2] << "," << ends[3];
    }
    canvas.Cls();
    canvas.Line(-2.0e9f, -2.0e9f, 2.0e9f, 2.0e9f);
    EXPECT_EQ(drawn(canvas).size(), 100u);
}

// The front ends repaint only what changed: the dirty rectangle holds every
// pixel drawn since it was last taken, and a resize keeps the picture.
TEST_F(RasterCanvasTest, DirtyRectangleCoversWhatWasDrawn) {
    static_cast<void>(canvas.takeDirty());
    EXPECT_TRUE(canvas.takeDirty().empty());
    canvas.Line(twips(150), twips(20), twips(30), twips(70));
    canvas.PSet(twips(160), twips(10));
    EXPECT_EQ(canvas.takeDirty(), (PixelRect{30, 10, 131, 61}));
    EXPECT_TRUE(canvas.takeDirty().empty());
    canvas.resizePixels(100, 300);
    EXPECT_EQ(canvas.takeDirty(), (PixelRect{0, 0, 100, 300}));
    EXPECT_EQ(at(canvas, {30, 70}), kBluePixel);
    EXPECT_EQ(at(canvas, {50, 250}), 0xFFFFFFFF);
}

}  // namespace
