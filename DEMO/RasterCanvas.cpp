#include "RasterCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace {

using pointset::Colour;

// Pixel coordinates are clamped to this magnitude: far beyond any raster and
// any stored point (int32 twips / 15 < 2^28), small enough that the line
// arithmetic below cannot overflow 64 bits.
constexpr double kPixelLimit = 0x1p29;

// The pixel holding a position in twips, or nothing for a position that is
// not a number.
std::optional<std::int64_t> toPixel(float twips) noexcept {
    if (std::isnan(twips)) {
        return std::nullopt;
    }
    const double pixel = std::floor(static_cast<double>(twips) / RasterCanvas::kTwipsPerPixel);
    return static_cast<std::int64_t>(std::clamp(pixel, -kPixelLimit, kPixelLimit));
}

// 0x00BBGGRR to the image's 0xFFRRGGBB and back.
constexpr QRgb toRgb(Colour colour) noexcept {
    const auto value = static_cast<std::uint32_t>(colour);
    return 0xFF000000u | ((value & 0xFFu) << 16) | (value & 0xFF00u) | ((value >> 16) & 0xFFu);
}

constexpr Colour fromRgb(QRgb pixel) noexcept {
    return static_cast<Colour>(((pixel & 0xFFu) << 16) | (pixel & 0xFF00u) |
                               ((pixel >> 16) & 0xFFu));
}

const QRgb kBackground = toRgb(pointset::kWhite);

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

RasterCanvas::RasterCanvas(QSize pixels) {
    resizePixels(pixels);
}

void RasterCanvas::resizePixels(QSize pixels) {
    if (pixels.isEmpty()) {
        image_ = QImage();
        dirtyRight_ = -1;
        dirtyLeft_ = 0;
        return;
    }
    QImage resized(pixels, QImage::Format_RGB32);
    resized.fill(kBackground);
    if (!image_.isNull()) {
        const int columns = std::min(image_.width(), resized.width());
        const int rows = std::min(image_.height(), resized.height());
        for (int y = 0; y < rows; ++y) {
            std::memcpy(resized.scanLine(y), image_.constScanLine(y),
                        static_cast<std::size_t>(columns) * sizeof(QRgb));
        }
    }
    image_ = std::move(resized);
    markDirty(0, 0, image_.width() - 1, image_.height() - 1);
}

QRect RasterCanvas::takeDirty() noexcept {
    QRect dirty;
    if (dirtyLeft_ <= dirtyRight_ && dirtyTop_ <= dirtyBottom_) {
        dirty = QRect(QPoint(static_cast<int>(dirtyLeft_), static_cast<int>(dirtyTop_)),
                      QPoint(static_cast<int>(dirtyRight_), static_cast<int>(dirtyBottom_)));
    }
    dirtyLeft_ = 0;
    dirtyTop_ = 0;
    dirtyRight_ = -1;
    dirtyBottom_ = -1;
    return dirty;
}

void RasterCanvas::markDirty(std::int64_t left, std::int64_t top, std::int64_t right,
                             std::int64_t bottom) noexcept {
    if (dirtyLeft_ > dirtyRight_) {
        dirtyLeft_ = left;
        dirtyTop_ = top;
        dirtyRight_ = right;
        dirtyBottom_ = bottom;
        return;
    }
    dirtyLeft_ = std::min(dirtyLeft_, left);
    dirtyTop_ = std::min(dirtyTop_, top);
    dirtyRight_ = std::max(dirtyRight_, right);
    dirtyBottom_ = std::max(dirtyBottom_, bottom);
}

void RasterCanvas::Cls() {
    if (image_.isNull()) {
        return;
    }
    image_.fill(kBackground);
    markDirty(0, 0, image_.width() - 1, image_.height() - 1);
}

void RasterCanvas::fillSpan(std::int64_t y, std::int64_t left, std::int64_t right, QRgb colour) {
    left = std::max<std::int64_t>(left, 0);
    right = std::min<std::int64_t>(right, image_.width() - 1);
    if (y < 0 || y >= image_.height() || left > right) {
        return;
    }
    auto* row = reinterpret_cast<QRgb*>(image_.scanLine(static_cast<int>(y)));
    std::fill(row + left, row + right + 1, colour);
    markDirty(left, y, right, y);
}

void RasterCanvas::Circle(float x, float y, float radius) {
    const auto cx = toPixel(x);
    const auto cy = toPixel(y);
    if (!cx || !cy || std::isnan(radius) || image_.isNull()) {
        return;
    }
    const double pixels = std::round(std::abs(static_cast<double>(radius)) / kTwipsPerPixel);
    const auto r = static_cast<std::int64_t>(std::min(pixels, kPixelLimit));
    // A pixel (dx, dy) belongs to the disc when dx^2 + dy^2 <= r^2 + r: the
    // usual digital circle, which for r = 2 is the 5 x 5 square less its
    // corners. halfWidth(dy) is the largest |dx| on row dy, -1 off the disc.
    const std::int64_t limit = r * r + r;
    const auto halfWidth = [&](std::int64_t dy) -> std::int64_t {
        return (dy < -r || dy > r) ? -1 : floorSqrt(limit - dy * dy);
    };
    const QRgb outline = toRgb(foreColor_);
    const QRgb inside = toRgb(FillColor());
    const std::int64_t fromRow = std::max(-r, -*cy);
    const std::int64_t toRow = std::min(r, image_.height() - 1 - *cy);
    for (std::int64_t dy = fromRow; dy <= toRow; ++dy) {
        const std::int64_t half = halfWidth(dy);
        // Inside are the pixels whose four neighbours are all on the disc;
        // the rest of the disc is its outline.
        const std::int64_t inner = std::min({half - 1, halfWidth(dy - 1), halfWidth(dy + 1)});
        fillSpan(*cy + dy, *cx - half, *cx + half, outline);
        if (inner >= 0) {
            fillSpan(*cy + dy, *cx - inner, *cx + inner, inside);
        }
    }
}

void RasterCanvas::Line(float x1, float y1, float x2, float y2) {
    const auto px1 = toPixel(x1);
    const auto py1 = toPixel(y1);
    const auto px2 = toPixel(x2);
    const auto py2 = toPixel(y2);
    if (!px1 || !py1 || !px2 || !py2 || image_.isNull()) {
        return;
    }
    // Walk along the major axis one pixel per step; the minor coordinate at
    // step i is the start's plus round(i * minorLength / majorLength), halves
    // rounded up, kept exactly as a quotient and remainder. Only the steps
    // that land on the raster are walked, so a long or mostly hidden segment
    // costs no more than its visible part.
    const std::int64_t dx = *px2 - *px1;
    const std::int64_t dy = *py2 - *py1;
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const std::int64_t major0 = xMajor ? *px1 : *py1;
    const std::int64_t minor0 = xMajor ? *py1 : *px1;
    const std::int64_t majorLength = std::abs(xMajor ? dx : dy);
    const std::int64_t minorLength = std::abs(xMajor ? dy : dx);
    const std::int64_t majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const std::int64_t minorStep = (xMajor ? dy : dx) < 0 ? -1 : 1;
    const std::int64_t majorSize = xMajor ? image_.width() : image_.height();
    const std::int64_t minorSize = xMajor ? image_.height() : image_.width();

    // Steps whose major coordinate lies on the raster.
    std::int64_t first = 0;
    std::int64_t last = majorLength;
    if (majorStep > 0) {
        first = std::max(first, -major0);
        last = std::min(last, majorSize - 1 - major0);
    } else {
        first = std::max(first, major0 - (majorSize - 1));
        last = std::min(last, major0);
    }
    // Narrowed to the steps whose minor coordinate lies on the raster. The
    // minor offset q(i) = floor((2 i m + M) / 2M) never decreases with i.
    const std::int64_t twiceMajor = 2 * std::max<std::int64_t>(majorLength, 1);
    const std::int64_t lowOffset = minorStep > 0 ? -minor0 : minor0 - (minorSize - 1);
    const std::int64_t highOffset = minorStep > 0 ? minorSize - 1 - minor0 : minor0;
    if (minorLength == 0) {
        if (lowOffset > 0 || highOffset < 0) {
            return;
        }
    } else {
        // q(i) >= low  <=>  i >= (2 M low - M) / 2m;  q(i) <= high  <=>  i < (2 M (high + 1) - M) / 2m
        const std::int64_t twiceMinor = 2 * minorLength;
        first = std::max(first, ceilDiv(twiceMajor / 2 * (2 * lowOffset - 1), twiceMinor));
        last = std::min(last, ceilDiv(twiceMajor / 2 * (2 * highOffset + 1), twiceMinor) - 1);
    }
    if (first > last) {
        return;
    }

    const QRgb colour = toRgb(foreColor_);
    auto* bits = reinterpret_cast<QRgb*>(image_.bits());
    const std::int64_t stride = image_.bytesPerLine() / static_cast<std::int64_t>(sizeof(QRgb));
    const std::int64_t majorStride = xMajor ? majorStep : majorStep * stride;
    const std::int64_t minorStride = xMajor ? minorStep * stride : minorStep;

    const std::int64_t numerator = 2 * first * minorLength + twiceMajor / 2;
    std::int64_t offset = numerator / twiceMajor;
    std::int64_t remainder = numerator % twiceMajor;
    const std::int64_t firstMajor = major0 + majorStep * first;
    const std::int64_t firstMinor = minor0 + minorStep * offset;
    QRgb* pixel = bits + (xMajor ? firstMinor * stride + firstMajor : firstMajor * stride + firstMinor);
    for (std::int64_t i = first;; ++i) {
        *pixel = colour;
        if (i == last) {
            break;  // not a step further: the next address may lie outside the image
        }
        pixel += majorStride;
        remainder += 2 * minorLength;
        if (remainder >= twiceMajor) {
            remainder -= twiceMajor;
            ++offset;
            pixel += minorStride;
        }
    }
    const std::int64_t lastMajor = major0 + majorStep * last;
    const std::int64_t lastMinor = minor0 + minorStep * ((2 * last * minorLength + twiceMajor / 2) / twiceMajor);
    const std::int64_t xa = xMajor ? firstMajor : firstMinor;
    const std::int64_t ya = xMajor ? firstMinor : firstMajor;
    const std::int64_t xb = xMajor ? lastMajor : lastMinor;
    const std::int64_t yb = xMajor ? lastMinor : lastMajor;
    markDirty(std::min(xa, xb), std::min(ya, yb), std::max(xa, xb), std::max(ya, yb));
}

void RasterCanvas::PSet(float x, float y) {
    const auto px = toPixel(x);
    const auto py = toPixel(y);
    if (!px || !py || *px < 0 || *py < 0 || *px >= image_.width() || *py >= image_.height()) {
        return;
    }
    auto* row = reinterpret_cast<QRgb*>(image_.scanLine(static_cast<int>(*py)));
    row[*px] = toRgb(foreColor_);
    markDirty(*px, *py, *px, *py);
}

Colour RasterCanvas::Point(float x, float y) const {
    const auto px = toPixel(x);
    const auto py = toPixel(y);
    if (!px || !py || *px < 0 || *py < 0 || *px >= image_.width() || *py >= image_.height()) {
        return pointset::kOutside;
    }
    const auto* row = reinterpret_cast<const QRgb*>(image_.constScanLine(static_cast<int>(*py)));
    return fromRgb(row[*px]);
}

float RasterCanvas::ScaleWidth() const {
    return static_cast<float>(image_.width() * kTwipsPerPixel);
}

float RasterCanvas::ScaleHeight() const {
    return static_cast<float>(image_.height() * kTwipsPerPixel);
}
