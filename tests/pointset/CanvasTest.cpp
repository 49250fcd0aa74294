// The raster canvas: twips to pixels, exact colours, what each drawing
// operation covers, clipping, the dirty rectangle and resizing.
#include <random>

#include "Fakes.h"

namespace {

using pointset::kRed;
using pointset::kWhite;

constexpr Colour kBlue = 0x00FF0000;
constexpr RasterCanvas::Pixel kBluePixel = 0xFF0000FF, kWhitePixel = 0xFFFFFFFF;

class RasterCanvasTest : public ::testing::Test {
protected:
    RasterCanvasTest() { canvas.setForeColor(kBlue); }
    [[nodiscard]] RasterCanvas::Pixel at(int x, int y) const { return canvas.pixels()[std::size_t(y * 200 + x)]; }
    RasterCanvas canvas{200, 100};
};

// The front ends repaint only what changed: the dirty rectangle holds every
// pixel drawn since it was last taken, and a resize keeps the picture.
TEST_F(RasterCanvasTest, PointReadsFifteenTwipsToThePixelAndTheDirtyRectangleCoversWhatWasDrawn) {
    EXPECT_EQ(std::pair(canvas.ScaleWidth(), canvas.ScaleHeight()), std::pair(3000.0f, 1500.0f));
    canvas.PSet(14.99f, 29.99f);
    EXPECT_EQ(
        std::tuple(at(0, 1), canvas.Point(0.0f, 15.0f), canvas.Point(15.0f, 15.0f), canvas.Point(2999.9f, 1499.9f)),
        std::tuple(kBluePixel, kBlue, kWhite, kWhite));
    for (auto [x, y] : {std::pair{-0.01f, 0.0f}, {-7.0f, 0.0f}, {0.0f, -0.01f}, {3000.0f, 750.0f}, {0.0f, 1500.0f}}) {
        EXPECT_EQ(canvas.Point(x, y), pointset::kOutside) << x << "," << y;
        canvas.PSet(x, y);
    }
    EXPECT_EQ(countColour(canvas, kWhite), 200 * 100 - 1) << "a dot off the raster was drawn";
    canvas.setForeColor(0x00123456);  // exact, and stored as 0xFFRRGGBB
    canvas.PSet(2999.0f, 1499.0f);
    EXPECT_EQ(std::pair(canvas.Point(2999.0f, 1499.0f), at(199, 99)), std::pair(0x00123456, 0xFF563412u));
    static_cast<void>(canvas.takeDirty());
    canvas.Cls();
    EXPECT_EQ(std::pair(countColour(canvas, kWhite), canvas.takeDirty()),
              std::pair(200 * 100, PixelRect{0, 0, 200, 100}));
    EXPECT_TRUE(canvas.takeDirty().empty());
    canvas.Line(twips(150), twips(20), twips(30), twips(70));
    canvas.PSet(twips(160), twips(10));
    EXPECT_EQ(canvas.takeDirty(), (PixelRect{30, 10, 131, 61}));
    canvas.PSet(twips(5), twips(6));
    EXPECT_EQ(canvas.takeDirty(), (PixelRect{5, 6, 1, 1}));
    // A smaller canvas hides the picture beyond it, and keeps what is drawn
    // there meanwhile, whatever sizes follow: the raster only grows.
    Pixels expected = picture(canvas);
    expected.resize(200 * 300, kWhitePixel);
    canvas.resizePixels(100, 300);
    EXPECT_EQ(std::tuple(canvas.takeDirty(), canvas.ScaleWidth(), canvas.Point(twips(100), twips(6))),
              std::tuple(PixelRect{0, 0, 100, 300}, 1500.0f, pointset::kOutside));
    canvas.setForeColor(kBlue);
    canvas.Line(twips(150), twips(250), twips(50), twips(250));
    EXPECT_EQ(canvas.takeDirty(), (PixelRect{50, 250, 50, 1}));
    std::fill_n(expected.begin() + 250 * 200 + 50, 101, kBluePixel);
    for (auto [width, height] : {std::pair{50, 0}, {0, 50}, {20, 20}, {210, 100}}) canvas.resizePixels(width, height);
    for (int y = 299; y >= 0; --y) expected.insert(expected.begin() + (y + 1) * 200, 10, kWhitePixel);
    EXPECT_EQ(std::tuple(picture(canvas), canvas.stride(), canvas.Point(twips(209), twips(99))),
              std::tuple(expected, 210, kWhite));
    canvas.resizePixels(20, 20);
    canvas.Cls();  // the hidden part too
    EXPECT_EQ(countColour(canvas, kWhite), 210 * 300);
}

// Radius 150 twips is 10 pixels, 30 the point's disc of 2. At an edge or a
// corner a disc shows exactly its part on the raster.
class Disc : public RasterCanvasTest, public ::testing::WithParamInterface<std::tuple<int, int, int>> {};

TEST_P(Disc, HasAnOutlineInTheForeColourAroundARedInside) {
    const auto [cx, cy, r] = GetParam();
    const Pixels blank = picture(canvas);
    canvas.Circle(twips(cx), twips(cy), static_cast<float>(15 * r));
    EXPECT_EQ(picture(canvas), withDisc(blank, 200, cx, cy, r, kBlue));
}

INSTANTIATE_TEST_SUITE_P(RasterCanvas, Disc,
                         ::testing::Values(std::tuple{100, 50, 10}, std::tuple{100, 50, 2}, std::tuple{199, 50, 2},
                                           std::tuple{0, 0, 2}, std::tuple{199, 99, 10}));

// Segments between the centres of two pixels: both ends, one pixel per step,
// each within half a pixel of the ideal line (checked in exact integers).
class Segment : public RasterCanvasTest, public ::testing::WithParamInterface<std::tuple<int, int, int, int>> {};

TEST_P(Segment, IncludesBothEndsAndFollowsTheIdealLine) {
    const auto [x1, y1, x2, y2] = GetParam();
    canvas.Line(twips(x1), twips(y1), twips(x2), twips(y2));
    const bool xMajor = std::abs(x2 - x1) >= std::abs(y2 - y1);
    const int majorSpan = xMajor ? x2 - x1 : y2 - y1, minorSpan = xMajor ? y2 - y1 : x2 - x1;
    EXPECT_EQ(countColour(canvas, kBlue), std::abs(majorSpan) + 1);
    EXPECT_TRUE(at(x1, y1) == kBluePixel && at(x2, y2) == kBluePixel);
    for (int i = 0; i < 200 * 100; ++i) {
        const int x = i % 200, y = i / 200, major = xMajor ? x - x1 : y - y1, minor = xMajor ? y - y1 : x - x1;
        EXPECT_TRUE(at(x, y) == kWhitePixel ||
                    std::abs(2 * (minor * majorSpan - major * minorSpan)) <= std::abs(majorSpan))
            << "pixel " << x << "," << y << " off the line";
    }
}

INSTANTIATE_TEST_SUITE_P(RasterCanvas, Segment,
                         ::testing::Values(std::tuple{10, 10, 10, 10}, std::tuple{60, 10, 10, 10},
                                           std::tuple{10, 10, 10, 90}, std::tuple{190, 3, 7, 88},
                                           std::tuple{20, 90, 23, 2}, std::tuple{30, 40, 130, 41}));

// A segment reaching beyond the raster shows exactly the part an unclipped
// drawing on a larger raster shows there: from the edges themselves, from
// random positions and from huge ones.
TEST_F(RasterCanvasTest, ClippingKeepsTheVisiblePartOfEachSegment) {
    constexpr int kMargin = 400;
    std::mt19937 generator(7);
    std::uniform_int_distribution<int> position(-kMargin * 15, (200 + kMargin) * 15);
    std::vector<std::array<float, 4>> segments = {{3000, 700, 2000, 900},  {2000, 1500, 2800, 200},
                                                  {3000, 1500, -15, -15},  {75, 7, 4500, 3000},
                                                  {75, 1492, 4500, -1508}, {7, 75, 3000, 4500}};
    while (segments.size() < 300)
        segments.push_back({float(position(generator)), float(position(generator) / 2), float(position(generator)),
                            float(position(generator) / 2)});
    RasterCanvas large(200 + 2 * kMargin, 100 + 2 * kMargin);
    large.setForeColor(kBlue);
    for (const auto& [x1, y1, x2, y2] : segments) {
        canvas.Cls();
        large.Cls();
        canvas.Line(x1, y1, x2, y2);
        const float shift = kMargin * 15.0f;
        large.Line(x1 + shift, y1 + shift, x2 + shift, y2 + shift);
        for (std::size_t y = 0; y < 100; ++y)
            ASSERT_TRUE(std::ranges::equal(canvas.pixels().subspan(y * 200, 200),
                                           large.pixels().subspan((y + kMargin) * (200 + 2 * kMargin) + kMargin, 200)))
                << "segment " << x1 << "," << y1 << " - " << x2 << "," << y2 << ", row " << y;
    }
    canvas.Cls();
    canvas.Line(-2.0e9f, -2.0e9f, 2.0e9f, 2.0e9f);
    EXPECT_EQ(countColour(canvas, kBlue), 100);
}

}  // namespace
