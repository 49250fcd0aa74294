// The raster canvas: twips to pixels, exact colours, what each drawing
// operation covers, clipping, resizing and the dirty rectangle.
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
constexpr QRgb kImageWhite = 0xFFFFFFFFu;

class RasterCanvasTest : public ::testing::Test {
protected:
    // Pixels of the raster that are not white.
    static std::vector<QPoint> drawn(const QImage& image) {
        std::vector<QPoint> pixels;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) != kImageWhite) {
                    pixels.emplace_back(x, y);
                }
            }
        }
        return pixels;
    }

    RasterCanvas canvas{QSize(200, 100)};
};

TEST_F(RasterCanvasTest, ClsPaintsEveryPixelWhite) {
    canvas.setForeColor(kBlue);
    canvas.Line(0, 0, 2999, 1499);
    canvas.Circle(1000, 700, 300);
    canvas.Cls();
    EXPECT_TRUE(drawn(canvas.image()).empty());
    EXPECT_EQ(canvas.Point(0, 0), kWhite);
    EXPECT_EQ(canvas.Point(2999, 1499), kWhite);
}

TEST_F(RasterCanvasTest, SizeIsFifteenTwipsToThePixel) {
    EXPECT_EQ(canvas.ScaleWidth(), 3000.0f);
    EXPECT_EQ(canvas.ScaleHeight(), 1500.0f);
    EXPECT_EQ(canvas.image().format(), QImage::Format_RGB32);
}

class PointOutside : public RasterCanvasTest,
                     public ::testing::WithParamInterface<std::tuple<float, float, Colour>> {};

TEST_P(PointOutside, IsMinusOneAndTheEdgesAreInside) {
    const auto [x, y, expected] = GetParam();
    EXPECT_EQ(canvas.Point(x, y), expected);
}

INSTANTIATE_TEST_SUITE_P(RasterCanvas, PointOutside,
                         ::testing::Values(std::tuple{0.0f, 0.0f, kWhite},
                                           std::tuple{2999.9f, 1499.9f, kWhite},
                                           std::tuple{-0.01f, 0.0f, kOutside},
                                           std::tuple{0.0f, -0.01f, kOutside},
                                           std::tuple{3000.0f, 0.0f, kOutside},
                                           std::tuple{0.0f, 1500.0f, kOutside},
                                           std::tuple{-1e9f, 1e9f, kOutside}));

TEST_F(RasterCanvasTest, APixelCoversFifteenTwips) {
    canvas.setForeColor(kRed);
    canvas.PSet(14.99f, 29.99f);
    canvas.PSet(45.0f, 60.0f);
    EXPECT_EQ(drawn(canvas.image()), (std::vector<QPoint>{QPoint(0, 1), QPoint(3, 4)}));
    EXPECT_EQ(canvas.Point(0.0f, 15.0f), kRed);
    EXPECT_EQ(canvas.Point(15.0f, 15.0f), kWhite);
}

TEST_F(RasterCanvasTest, ColoursReadBackExactly) {
    for (const Colour colour : {0x00123456, 0x00010203, 0x00C0C0C0, 0x000000FF, 0x00FEFDFC}) {
        canvas.setForeColor(colour);
        canvas.PSet(150.0f, 150.0f);
        EXPECT_EQ(canvas.Point(150.0f, 150.0f), colour);
    }
    canvas.setForeColor(0x00123456);
    canvas.PSet(150.0f, 150.0f);
    EXPECT_EQ(canvas.image().pixel(10, 10), qRgb(0x56, 0x34, 0x12));
}

TEST_F(RasterCanvasTest, APointsDiscHasARadiusOfTwoPixels) {
    canvas.setForeColor(kRed);
    canvas.Circle(1507.0f, 757.0f, 30.0f);  // pixel (100, 50)
    for (const QPoint& p : drawn(canvas.image())) {
        const int dx = p.x() - 100;
        const int dy = p.y() - 50;
        EXPECT_LE(dx * dx + dy * dy, 8) << "pixel beyond the disc at " << dx << "," << dy;
        EXPECT_EQ(canvas.image().pixel(p), qRgb(255, 0, 0));
    }
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            if (dx * dx + dy * dy <= 4) {
                EXPECT_EQ(canvas.image().pixel(100 + dx, 50 + dy), qRgb(255, 0, 0))
                    << "hole in the disc at " << dx << "," << dy;
            }
        }
    }
}

TEST_F(RasterCanvasTest, ACircleHasAForeColourOutlineAndAFillColourInside) {
    canvas.setForeColor(kBlue);
    canvas.Circle(1507.0f, 757.0f, 150.0f);  // 10 pixels around (100, 50)
    EXPECT_EQ(canvas.Point(1507.0f, 757.0f), kRed);
    EXPECT_EQ(canvas.Point(1507.0f + 8 * 15, 757.0f), kRed);
    EXPECT_EQ(canvas.Point(1507.0f + 10 * 15, 757.0f), kBlue);
    EXPECT_EQ(canvas.Point(1507.0f, 757.0f - 10 * 15), kBlue);
    EXPECT_EQ(canvas.Point(1507.0f + 11 * 15, 757.0f), kWhite);
    // The outline is closed: every drawn pixel at distance 9.5 or more is blue.
    for (const QPoint& p : drawn(canvas.image())) {
        const double distance = std::hypot(p.x() - 100, p.y() - 50);
        EXPECT_LE(distance, 10.5);
        if (distance >= 9.5) {
            EXPECT_EQ(canvas.image().pixel(p), qRgb(0, 0, 255)) << p.x() << "," << p.y();
        }
    }
}

// Segments in pixels; drawn between the centres of their end pixels.
class Segment : public RasterCanvasTest,
                public ::testing::WithParamInterface<std::tuple<int, int, int, int>> {};

TEST_P(Segment, IncludesBothEndsAndFollowsTheIdealLineWithinHalfAPixel) {
    const auto [x1, y1, x2, y2] = GetParam();
    canvas.setForeColor(kBlue);
    canvas.Line(twips(x1), twips(y1), twips(x2), twips(y2));

    const auto pixels = drawn(canvas.image());
    const int length = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
    EXPECT_EQ(pixels.size(), static_cast<std::size_t>(length + 1)) << "one pixel per step";
    EXPECT_EQ(canvas.image().pixel(x1, y1), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.image().pixel(x2, y2), qRgb(0, 0, 255));
    const bool xMajor = std::abs(x2 - x1) >= std::abs(y2 - y1);
    for (const QPoint& p : pixels) {
        EXPECT_EQ(canvas.image().pixel(p), qRgb(0, 0, 255)) << "only the exact colour";
        if (length == 0) {
            continue;
        }
        // Distance along the minor axis from the ideal line, exactly in integers:
        // |minor * L - ideal * L| <= L / 2.
        const int major = xMajor ? p.x() - x1 : p.y() - y1;
        const int minor = xMajor ? p.y() - y1 : p.x() - x1;
        const int majorSpan = xMajor ? x2 - x1 : y2 - y1;
        const int minorSpan = xMajor ? y2 - y1 : x2 - x1;
        EXPECT_LE(std::abs(2 * (minor * majorSpan - major * minorSpan)), std::abs(majorSpan))
            << "pixel " << p.x() << "," << p.y() << " off the line";
    }
}

INSTANTIATE_TEST_SUITE_P(RasterCanvas, Segment,
                         ::testing::Values(std::tuple{10, 10, 10, 10}, std::tuple{10, 10, 60, 10},
                                           std::tuple{60, 10, 10, 10}, std::tuple{10, 10, 10, 90},
                                           std::tuple{5, 5, 95, 95}, std::tuple{190, 3, 7, 88},
                                           std::tuple{20, 90, 23, 2}, std::tuple{0, 99, 199, 0},
                                           std::tuple{30, 40, 130, 41}));

// A segment reaching beyond the raster shows exactly the part that an
// unclipped drawing on a larger raster shows there.
TEST(RasterCanvas, ClippingKeepsTheVisiblePartOfEachSegment) {
    constexpr int kMargin = 400;  // pixels around the small raster
    std::mt19937 generator(7);
    std::uniform_int_distribution<int> position(-kMargin * 15, (200 + kMargin) * 15);
    for (int trial = 0; trial < 300; ++trial) {
        const auto x1 = static_cast<float>(position(generator));
        const auto y1 = static_cast<float>(position(generator) / 2);
        const auto x2 = static_cast<float>(position(generator));
        const auto y2 = static_cast<float>(position(generator) / 2);
        RasterCanvas small(QSize(200, 100));
        RasterCanvas large(QSize(200 + 2 * kMargin, 100 + 2 * kMargin));
        small.setForeColor(kBlue);
        large.setForeColor(kBlue);
        small.Line(x1, y1, x2, y2);
        const float shift = kMargin * 15.0f;
        large.Line(x1 + shift, y1 + shift, x2 + shift, y2 + shift);
        ASSERT_EQ(small.image(), large.image().copy(kMargin, kMargin, 200, 100))
            << "segment " << x1 << "," << y1 << " - " << x2 << "," << y2;
    }
}

TEST_F(RasterCanvasTest, HugeCoordinatesAreClippedAndNansIgnored) {
    canvas.setForeColor(kBlue);
    canvas.Line(-2.0e9f, -2.0e9f, 2.0e9f, 2.0e9f);
    EXPECT_EQ(canvas.image().pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.image().pixel(99, 99), qRgb(0, 0, 255));
    EXPECT_EQ(drawn(canvas.image()).size(), 100u);

    canvas.Cls();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    canvas.Line(nan, 0, 100, 100);
    canvas.Circle(nan, 100, 30);
    canvas.PSet(100, nan);
    canvas.Circle(-1e30f, 1e30f, 30);
    EXPECT_TRUE(drawn(canvas.image()).empty());
    EXPECT_EQ(canvas.Point(nan, 0), kOutside);
}

TEST_F(RasterCanvasTest, ResizingKeepsTheOverlapAndWhitensTheRest) {
    canvas.setForeColor(kBlue);
    canvas.PSet(twips(10), twips(10));
    canvas.PSet(twips(150), twips(80));

    canvas.resizePixels(QSize(100, 50));
    canvas.resizePixels(QSize(300, 200));

    EXPECT_EQ(canvas.ScaleWidth(), 4500.0f);
    EXPECT_EQ(canvas.ScaleHeight(), 3000.0f);
    EXPECT_EQ(drawn(canvas.image()), (std::vector<QPoint>{QPoint(10, 10)}));
}

TEST_F(RasterCanvasTest, TheDirtyRectangleCoversEachChangeOnce) {
    EXPECT_EQ(canvas.takeDirty(), QRect(0, 0, 200, 100)) << "a new raster needs painting whole";
    EXPECT_TRUE(canvas.takeDirty().isEmpty());

    canvas.PSet(twips(5), twips(6));
    EXPECT_EQ(canvas.takeDirty(), QRect(5, 6, 1, 1));

    canvas.Line(twips(150), twips(20), twips(30), twips(70));
    canvas.PSet(twips(190), twips(90));
    EXPECT_EQ(canvas.takeDirty(), QRect(QPoint(30, 20), QPoint(190, 90)));

    canvas.Line(twips(-50), twips(50), twips(500), twips(50));  // clipped to the raster
    EXPECT_EQ(canvas.takeDirty(), QRect(0, 50, 200, 1));

    EXPECT_EQ(canvas.Point(twips(1), twips(1)), kWhite);
    EXPECT_TRUE(canvas.takeDirty().isEmpty()) << "reading is no change";
    canvas.Cls();
    EXPECT_EQ(canvas.takeDirty(), QRect(0, 0, 200, 100));
}

// The window may keep a copy of the image; drawing must never reach into it.
TEST_F(RasterCanvasTest, DrawingLeavesCopiesOfTheImageAlone) {
    canvas.setForeColor(kBlue);
    canvas.PSet(twips(1), twips(1));
    const QImage kept = canvas.image();
    canvas.Line(twips(0), twips(5), twips(199), twips(5));
    const QImage keptAfterCls = canvas.image();
    canvas.Cls();
    canvas.PSet(twips(2), twips(2));
    canvas.Circle(twips(50), twips(50), 30.0f);

    EXPECT_EQ(drawn(kept), (std::vector<QPoint>{QPoint(1, 1)}));
    EXPECT_EQ(drawn(keptAfterCls).size(), 201u);
    EXPECT_EQ(canvas.Point(twips(2), twips(2)), kBlue);
    EXPECT_EQ(canvas.Point(twips(1), twips(1)), kWhite);
}

TEST(RasterCanvas, WithoutPixelsDrawsNothingAndReadsOutside) {
    RasterCanvas empty;
    empty.Cls();
    empty.Circle(10, 10, 30);
    empty.Line(0, 0, 100, 100);
    empty.PSet(0, 0);
    EXPECT_EQ(empty.Point(0, 0), kOutside);
    EXPECT_EQ(empty.ScaleWidth(), 0.0f);
    EXPECT_TRUE(empty.takeDirty().isEmpty());
}

}  // namespace
