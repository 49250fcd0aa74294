#include "RasterCanvas.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <stdexcept>

namespace {

using pointset::Colour;

// Pixel coordinates are clamped to this magnitude: far beyond any raster and
// any stored point (int32 twips / 15 < 2^28), small enough that the line
// arithmetic below cannot overflow 64 bits.
constexpr double kPixelLimit = 0x1p29;

// The pixel holding a position in twips, not a NaN. Worked out in integers,
// as floor(twips / 15) equals floor(floor(twips) / 15): it runs four times
// per segment of the mesh.
std::int64_t pixelAt(float twips) noexcept {
    // Beyond any int32 coordinate; within it the pixel stays inside kPixelLimit.
    constexpr float kTwipLimit = 0x1p32f;
    if (!(twips > -kTwipLimit && twips < kTwipLimit)) {
        return static_cast<std::int64_t>(twips < 0.0f ? -kPixelLimit : kPixelLimit);
    }
    auto whole = static_cast<std::int64_t>(twips);  // towards zero, and exact back to float
    whole -= static_cast<float>(whole) > twips ? 1 : 0;
    const std::int64_t pixel = whole / RasterCanvas::kTwipsPerPixel;
    return pixel - (whole % RasterCanvas::kTwipsPerPixel < 0 ? 1 : 0);
}

bool anyNan(std::initializer_list<float> values) noexcept {
    return std::any_of(values.begin(), values.end(), [](float v) { return std::isnan(v); });
}

using Pixel = RasterCanvas::Pixel;

constexpr Pixel kBackground = RasterCanvas::pixelOf(pointset::kWhite);

// floor(sqrt(value)) for 0 <= value < 2^62.
std::int64_t floorSqrt(std::int64_t value) noexcept {
    auto root = static_cast<std::int64_t>(std::sqrt(static_cast<double>(value)));
    while (root * root > value) {
        --root;
    }
    while ((root + 1) * (root + 1) <= value) {
        ++root;
    }
    return root;
}

// Smallest integer >= numerator / denominator, denominator > 0.
std::int64_t ceilDiv(std::int64_t numerator, std::int64_t denominator) noexcept {
    const std::int64_t quotient = numerator / denominator;
    return quotient + ((numerator % denominator != 0 && numerator > 0) ? 1 : 0);
}

}  // namespace

RasterCanvas::RasterCanvas(int width, int height) {
    resizePixels(width, height);
}

void RasterCanvas::resizePixels(int width, int height) {
    if (width <= 0 || height <= 0) {
        image_ = {};
        width_ = 0;
        height_ = 0;
        dirtyRight_ = -1;
        dirtyLeft_ = 0;
        return;
    }
    const auto newWidth = static_cast<std::size_t>(width);
    const auto newHeight = static_cast<std::size_t>(height);
    // The pixel count in size_t, which on a 32-bit system is narrower than
    // two ints multiplied.
    if (newWidth > std::numeric_limits<std::size_t>::max() / sizeof(Pixel) / newHeight) {
        throw std::length_error("a raster of that many pixels does not fit in memory");
    }
    std::vector<Pixel> resized(newWidth * newHeight, kBackground);
    const auto oldWidth = static_cast<std::size_t>(width_);
    const auto columns = std::min(oldWidth, newWidth);
    const auto rows = std::min(static_cast<std::size_t>(height_), newHeight);
    for (std::size_t y = 0; y < rows; ++y) {
        std::copy_n(image_.data() + y * oldWidth, columns, resized.data() + y * newWidth);
    }
    image_ = std::move(resized);
    width_ = width;
    height_ = height;
    markDirty(0, 0, width_ - 1, height_ - 1);
}

PixelRect RasterCanvas::takeDirty() noexcept {
    PixelRect dirty;
    if (dirtyLeft_ <= dirtyRight_ && dirtyTop_ <= dirtyBottom_) {
        dirty = {static_cast<int>(dirtyLeft_), static_cast<int>(dirtyTop_),
                 static_cast<int>(dirtyRight_ - dirtyLeft_ + 1),
                 static_cast<int>(dirtyBottom_ - dirtyTop_ + 1)};
    }
    dirtyLeft_ = 0;
    dirtyTop_ = 0;
    dirtyRight_ = -1;
    dirtyBottom_ = -1;
    return dirty;
}

void RasterCanvas::setForeColor(pointset::Colour colour) {
    foreColor_ = colour;
    foreRgb_ = pixelOf(colour);
}

void RasterCanvas::Cls() {
    if (image_.empty()) {
        return;
    }
    std::fill(image_.begin(), image_.end(), kBackground);
    markDirty(0, 0, width_ - 1, height_ - 1);
}

void RasterCanvas::fillSpan(std::int64_t y, std::int64_t left, std::int64_t right, Pixel colour) {
    left = std::max<std::int64_t>(left, 0);
    right = std::min(right, width_ - 1);
    if (y < 0 || y >= height_ || left > right) {
        return;
    }
    Pixel* row = image_.data() + y * width_;
    std::fill(row + left, row + right + 1, colour);
    markDirty(left, y, right, y);
}

void RasterCanvas::Circle(float x, float y, float radius) {
    if (anyNan({x, y, radius}) || width_ == 0) {
        return;
    }
    const std::int64_t cx = pixelAt(x);
    const std::int64_t cy = pixelAt(y);
    const double radiusPixels = std::round(std::abs(static_cast<double>(radius)) / kTwipsPerPixel);
    const auto r = static_cast<std::int64_t>(std::min(radiusPixels, kPixelLimit));
    // A pixel (dx, dy) belongs to the disc when dx^2 + dy^2 <= r^2 + r: the
    // usual digital circle, which for r = 2 is the 5 x 5 square less its
    // corners. halfWidth(dy) is the largest |dx| on row dy, -1 off the disc.
    const std::int64_t limit = r * r + r;
    const auto halfWidth = [&](std::int64_t dy) -> std::int64_t {
        return (dy < -r || dy > r) ? -1 : floorSqrt(limit - dy * dy);
    };
    const Pixel outline = foreRgb_;
    const Pixel inside = pixelOf(FillColor());
    const std::int64_t fromRow = std::max(-r, -cy);
    const std::int64_t toRow = std::min(r, height_ - 1 - cy);
    for (std::int64_t dy = fromRow; dy <= toRow; ++dy) {
        const std::int64_t half = halfWidth(dy);
        // Inside are the pixels whose four neighbours are all on the disc;
        // the rest of the disc is its outline.
        const std::int64_t inner = std::min({half - 1, halfWidth(dy - 1), halfWidth(dy + 1)});
        fillSpan(cy + dy, cx - half, cx + half, outline);
        if (inner >= 0) {
            fillSpan(cy + dy, cx - inner, cx + inner, inside);
        }
    }
}

// Segments are digital lines: walking along the major axis one pixel per
// step, the minor coordinate at step i is the start's plus
// q(i) = round(i * m / M), halves rounded up, where M and m are the lengths
// in pixels along the major and minor axes. q is kept exactly as a quotient
// and a remainder of (2 i m + M) / 2M.
struct RasterCanvas::Walk {
    std::int64_t major0, minor0;      // start pixel, along the major and minor axes
    std::int64_t majorLength, minorLength;
    std::int64_t majorStep, minorStep;  // +1 or -1
    bool xMajor;

    Walk(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) noexcept {
        const std::int64_t dx = x2 - x1;
        const std::int64_t dy = y2 - y1;
        xMajor = std::abs(dx) >= std::abs(dy);
        major0 = xMajor ? x1 : y1;
        minor0 = xMajor ? y1 : x1;
        majorLength = std::abs(xMajor ? dx : dy);
        minorLength = std::abs(xMajor ? dy : dx);
        majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
        minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    }
    [[nodiscard]] std::int64_t twiceMajor() const noexcept {
        return 2 * std::max<std::int64_t>(majorLength, 1);
    }
    [[nodiscard]] std::int64_t offset(std::int64_t step) const noexcept {
        return (2 * step * minorLength + twiceMajor() / 2) / twiceMajor();
    }
};

namespace {

// Sets `steps` + 1 pixels from `pixel` on, one step along the major axis at
// a time, and diagonally whenever the running remainder of q carries.
inline void plot(Pixel* pixel, std::int64_t steps, std::int64_t remainder, std::int64_t increment,
                 std::int64_t twiceMajor, std::int64_t straight, std::int64_t diagonal,
                 Pixel colour) noexcept {
    for (std::int64_t i = 0;; ++i) {
        *pixel = colour;
        if (i == steps) {
            break;  // not a step further: the next address may lie outside the image
        }
        // Conditional moves rather than a branch: for the short segments of
        // a mesh the carry is as good as random.
        remainder += increment;
        const bool carry = remainder >= twiceMajor;
        remainder = carry ? remainder - twiceMajor : remainder;
        pixel += carry ? diagonal : straight;
    }
}

}  // namespace

void RasterCanvas::walk(const Walk& line, std::int64_t first, std::int64_t last) {
    const std::int64_t twiceMajor = line.twiceMajor();
    const std::int64_t numerator = 2 * first * line.minorLength + twiceMajor / 2;
    const std::int64_t firstOffset = numerator / twiceMajor;
    const std::int64_t lastOffset = line.offset(last);
    const std::int64_t firstMajor = line.major0 + line.majorStep * first;
    const std::int64_t firstMinor = line.minor0 + line.minorStep * firstOffset;
    const std::int64_t lastMajor = line.major0 + line.majorStep * last;
    const std::int64_t lastMinor = line.minor0 + line.minorStep * lastOffset;
    const std::int64_t x0 = line.xMajor ? firstMajor : firstMinor;
    const std::int64_t y0 = line.xMajor ? firstMinor : firstMajor;
    const std::int64_t x1 = line.xMajor ? lastMajor : lastMinor;
    const std::int64_t y1 = line.xMajor ? lastMinor : lastMajor;

    const std::int64_t straight = line.xMajor ? line.majorStep : line.majorStep * width_;
    const std::int64_t diagonal =
        straight + (line.xMajor ? line.minorStep * width_ : line.minorStep);
    plot(image_.data() + y0 * width_ + x0, last - first, numerator % twiceMajor,
         2 * line.minorLength, twiceMajor, straight, diagonal, foreRgb_);
    markDirty(std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1));
}

void RasterCanvas::Line(float x1, float y1, float x2, float y2) {
    // The mesh draws hundreds of thousands of segments between points on the
    // raster: for those, a few comparisons (false for NaN as well) and
    // truncating divisions stand in for the general conversion and clipping.
    const auto width = static_cast<float>(width_ * kTwipsPerPixel);
    const auto height = static_cast<float>(height_ * kTwipsPerPixel);
    if (x1 >= 0.0f && x1 < width && x2 >= 0.0f && x2 < width && y1 >= 0.0f && y1 < height &&
        y2 >= 0.0f && y2 < height) {
        const auto pixelOf = [](float twips) {
            return static_cast<std::int64_t>(static_cast<std::uint32_t>(twips) /
                                             static_cast<std::uint32_t>(kTwipsPerPixel));
        };
        const std::int64_t xa = pixelOf(x1);
        const std::int64_t ya = pixelOf(y1);
        const std::int64_t xb = pixelOf(x2);
        const std::int64_t yb = pixelOf(y2);
        // The walk of the general case from step 0 to step M, where q(0) = 0
        // and the remainder starts at M.
        const std::int64_t dx = xb - xa;
        const std::int64_t dy = yb - ya;
        const std::int64_t stepX = dx < 0 ? -1 : 1;
        const std::int64_t stepY = dy < 0 ? -width_ : width_;
        const bool xMajor = std::abs(dx) >= std::abs(dy);
        const std::int64_t steps = xMajor ? std::abs(dx) : std::abs(dy);
        const std::int64_t twiceMajor = 2 * std::max<std::int64_t>(steps, 1);
        plot(image_.data() + ya * width_ + xa, steps, twiceMajor / 2,
             2 * (xMajor ? std::abs(dy) : std::abs(dx)), twiceMajor, xMajor ? stepX : stepY,
             stepX + stepY, foreRgb_);
        markDirty(std::min(xa, xb), std::min(ya, yb), std::max(xa, xb), std::max(ya, yb));
        return;
    }
    if (anyNan({x1, y1, x2, y2}) || width_ == 0) {
        return;
    }
    const Walk line(pixelAt(x1), pixelAt(y1), pixelAt(x2), pixelAt(y2));
    // Only the steps that land on the raster are walked, so a long or mostly
    // hidden segment costs no more than its visible part.
    const std::int64_t majorSize = line.xMajor ? width_ : height_;
    const std::int64_t minorSize = line.xMajor ? height_ : width_;
    std::int64_t first = 0;
    std::int64_t last = line.majorLength;
    // Steps whose major coordinate lies on the raster.
    if (line.majorStep > 0) {
        first = std::max(first, -line.major0);
        last = std::min(last, majorSize - 1 - line.major0);
    } else {
        first = std::max(first, line.major0 - (majorSize - 1));
        last = std::min(last, line.major0);
    }
    // Narrowed to the steps whose minor coordinate lies on the raster,
    // low <= q(i) <= high; q never decreases with i, and
    //   q(i) >= low  <=>  i >= M (2 low - 1) / 2m
    //   q(i) <= high <=>  i <  M (2 high + 1) / 2m
    const std::int64_t low = line.minorStep > 0 ? -line.minor0 : line.minor0 - (minorSize - 1);
    const std::int64_t high = line.minorStep > 0 ? minorSize - 1 - line.minor0 : line.minor0;
    if (line.minorLength == 0) {
        if (low > 0 || high < 0) {
            return;
        }
    } else {
        const std::int64_t twiceMinor = 2 * line.minorLength;
        first = std::max(first, ceilDiv(line.majorLength * (2 * low - 1), twiceMinor));
        last = std::min(last, ceilDiv(line.majorLength * (2 * high + 1), twiceMinor) - 1);
    }
    if (first <= last) {
        walk(line, first, last);
    }
}

void RasterCanvas::PSet(float x, float y) {
    if (anyNan({x, y})) {
        return;
    }
    const std::int64_t px = pixelAt(x);
    const std::int64_t py = pixelAt(y);
    if (px < 0 || py < 0 || px >= width_ || py >= height_) {
        return;
    }
    image_[static_cast<std::size_t>(py * width_ + px)] = foreRgb_;
    markDirty(px, py, px, py);
}

Colour RasterCanvas::Point(float x, float y) const {
    if (anyNan({x, y})) {
        return pointset::kOutside;
    }
    const std::int64_t px = pixelAt(x);
    const std::int64_t py = pixelAt(y);
    if (px < 0 || py < 0 || px >= width_ || py >= height_) {
        return pointset::kOutside;
    }
    return colourOf(image_[static_cast<std::size_t>(py * width_ + px)]);
}

float RasterCanvas::ScaleWidth() const {
    return static_cast<float>(width_ * kTwipsPerPixel);
}

float RasterCanvas::ScaleHeight() const {
    return static_cast<float>(height_ * kTwipsPerPixel);
}
