#include "RasterCanvas.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <exception>
#include <initializer_list>
#include <limits>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <utility>

namespace {

using pointset::Colour;

// Whole numbers of twips below this are exact as floats.
constexpr std::int64_t kExactFloat = std::int64_t{1} << 24;

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

// Large pictures are drawn in horizontal bands of the raster, one thread
// each: a band's thread sets only the pixels of its own rows, and whatever
// would cross into another band waits until every band is done. As all of a
// mesh (or all the dots) is one colour, the order in which its pixels are
// set cannot show.
constexpr std::size_t kBandedFrom = std::size_t{1} << 15;  // items; fewer are not worth a thread
constexpr int kMaxBands = 8;

// How many bands for this much work on a raster of `rows` rows.
int bandCount(std::size_t work, std::int64_t rows) noexcept {
    if (work < kBandedFrom) {
        return 1;
    }
    const auto cores = static_cast<std::int64_t>(std::thread::hardware_concurrency());
    return static_cast<int>(std::clamp<std::int64_t>(cores, 1, std::min<std::int64_t>(kMaxBands, rows)));
}

// Part `band` of `bands` equal parts of [0, size): its first and one past its last.
std::pair<std::int64_t, std::int64_t> part(std::int64_t size, int band, int bands) noexcept {
    return {size * band / bands, size * (band + 1) / bands};
}

// Runs task(band) for each band, the first on this thread and the others on
// threads of their own, started and joined here; a thread that cannot be
// started means its band runs here. Rethrows the first failure of a band
// once all have ended.
template <class Task>
void inBands(int bands, const Task& task) {
    if (bands <= 1) {
        task(0);
        return;
    }
    std::vector<std::exception_ptr> failures(static_cast<std::size_t>(bands));
    const auto run = [&](int band) noexcept {
        try {
            task(band);
        } catch (...) {
            failures[static_cast<std::size_t>(band)] = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    threads.reserve(static_cast<std::size_t>(bands - 1));
    for (int band = 1; band < bands; ++band) {
        try {
            threads.emplace_back(run, band);
        } catch (const std::system_error&) {
            run(band);
        }
    }
    run(0);
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (const std::exception_ptr& failure : failures) {
        if (failure) {
            std::rethrow_exception(failure);
        }
    }
}

// The bounds of what one band drew, as markDirty takes them.
struct Bounds {
    std::int64_t left = std::numeric_limits<std::int64_t>::max();
    std::int64_t top = std::numeric_limits<std::int64_t>::max();
    std::int64_t right = -1;
    std::int64_t bottom = -1;

    void add(std::int64_t x, std::int64_t y) noexcept {
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    [[nodiscard]] bool empty() const noexcept { return right < 0; }
};

}  // namespace

RasterCanvas::RasterCanvas(int width, int height) {
    resizePixels(width, height);
}

void RasterCanvas::resizePixels(int width, int height) {
    if (width <= 0 || height <= 0) {
        width_ = 0;
        height_ = 0;
        return;
    }
    // The raster only grows: what lies beyond a smaller canvas is kept.
    const auto stride = static_cast<std::size_t>(std::max<std::int64_t>(stride_, width));
    const auto rows = static_cast<std::size_t>(std::max<std::int64_t>(rows_, height));
    if (stride != static_cast<std::size_t>(stride_) || rows != static_cast<std::size_t>(rows_)) {
        // The pixel count in size_t, which on a 32-bit system is narrower
        // than two ints multiplied.
        if (stride > std::numeric_limits<std::size_t>::max() / sizeof(Pixel) / rows) {
            throw std::length_error("a raster of that many pixels does not fit in memory");
        }
        std::vector<Pixel> grown(stride * rows, kBackground);
        const auto oldStride = static_cast<std::size_t>(stride_);
        for (std::size_t y = 0; y < static_cast<std::size_t>(rows_); ++y) {
            std::copy_n(image_.data() + y * oldStride, oldStride, grown.data() + y * stride);
        }
        image_ = std::move(grown);
        stride_ = static_cast<std::int64_t>(stride);
        rows_ = static_cast<std::int64_t>(rows);
    }
    width_ = width;
    height_ = height;
    markDirty(0, 0, width_ - 1, height_ - 1);
}

PixelRect RasterCanvas::takeDirty() noexcept {
    PixelRect dirty;
    // What changed beyond the canvas shows when the canvas grows; a resize
    // marks the whole canvas.
    const std::int64_t right = std::min(dirtyRight_, width_ - 1);
    const std::int64_t bottom = std::min(dirtyBottom_, height_ - 1);
    if (dirtyLeft_ <= right && dirtyTop_ <= bottom) {
        dirty = {static_cast<int>(dirtyLeft_), static_cast<int>(dirtyTop_),
                 static_cast<int>(right - dirtyLeft_ + 1), static_cast<int>(bottom - dirtyTop_ + 1)};
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
    // A band's worth of work is 128 pixels to a mesh's triangle.
    const int bands = bandCount(image_.size() / 128, rows_);
    inBands(bands, [&](int band) {
        const auto [top, bottom] = part(rows_, band, bands);
        std::fill(image_.data() + static_cast<std::size_t>(top * stride_),
                  image_.data() + static_cast<std::size_t>(bottom * stride_), kBackground);
    });
    markDirty(0, 0, stride_ - 1, rows_ - 1);
}

void RasterCanvas::fillSpan(std::int64_t y, std::int64_t left, std::int64_t right, Pixel colour) {
    left = std::max<std::int64_t>(left, 0);
    right = std::min(right, stride_ - 1);
    if (y < 0 || y >= rows_ || left > right) {
        return;
    }
    Pixel* row = image_.data() + y * stride_;
    std::fill(row + left, row + right + 1, colour);
    markDirty(left, y, right, y);
}

void RasterCanvas::Circle(float x, float y, float radius) {
    if (anyNan({x, y, radius}) || image_.empty()) {
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
    const std::int64_t toRow = std::min(r, rows_ - 1 - cy);
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

// The pixels of a segment as offsets from its first one, on rows `stride`
// pixels apart: `steps` + 1 of them, one step along the major axis at a
// time, and diagonally whenever the running remainder of q carries.
struct Steps {
    std::int64_t steps;
    std::int64_t remainder;
    std::int64_t increment;
    std::int64_t twiceMajor;
    std::int64_t straight;
    std::int64_t diagonal;

    template <class Visit>
    void forEach(Visit visit) const noexcept {
        std::int64_t offset = 0;
        std::int64_t left = remainder;
        for (std::int64_t i = 0;; ++i) {
            visit(offset);
            if (i == steps) {
                break;  // not a step further: the next offset may lie outside the image
            }
            // Conditional moves rather than a branch: for the short segments
            // of a mesh the carry is as good as random.
            left += increment;
            const bool carry = left >= twiceMajor;
            left = carry ? left - twiceMajor : left;
            offset += carry ? diagonal : straight;
        }
    }
};

// The whole segment from pixel (0, 0) to (dx, dy): q(0) = 0, and the
// remainder starts at M.
Steps wholeSegment(std::int64_t dx, std::int64_t dy, std::int64_t stride) noexcept {
    const std::int64_t stepX = dx < 0 ? -1 : 1;
    const std::int64_t stepY = dy < 0 ? -stride : stride;
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    const std::int64_t steps = xMajor ? std::abs(dx) : std::abs(dy);
    const std::int64_t twiceMajor = 2 * std::max<std::int64_t>(steps, 1);
    return {steps, twiceMajor / 2, 2 * (xMajor ? std::abs(dy) : std::abs(dx)), twiceMajor,
            xMajor ? stepX : stepY, stepX + stepY};
}

inline void plot(Pixel* first, const Steps& walk, Pixel colour) noexcept {
    walk.forEach([&](std::int64_t offset) { first[offset] = colour; });
}

// The segments of a mesh are short: those of up to kShort steps each way
// are set from a table of their pixels' offsets, kShort + 1 of them for
// every segment (a shorter one repeats its last pixel), with no loop to
// mispredict.
constexpr int kShort = 7;
constexpr int kShortSide = 2 * kShort + 1;
using ShortSegment = std::array<std::ptrdiff_t, kShort + 1>;

struct ShortSegments {
    std::array<ShortSegment, kShortSide * kShortSide> offsets{};

    explicit ShortSegments(std::int64_t stride) noexcept {
        for (int dy = -kShort; dy <= kShort; ++dy) {
            for (int dx = -kShort; dx <= kShort; ++dx) {
                ShortSegment& pixels = offsets[index(dx, dy)];
                std::size_t count = 0;
                wholeSegment(dx, dy, stride).forEach([&](std::int64_t offset) {
                    pixels[count++] = static_cast<std::ptrdiff_t>(offset);
                });
                std::fill(pixels.begin() + static_cast<std::ptrdiff_t>(count), pixels.end(),
                          pixels[count - 1]);
            }
        }
    }
    [[nodiscard]] static bool holds(std::int64_t dx, std::int64_t dy) noexcept {
        return static_cast<std::uint64_t>(dx + kShort) < kShortSide &&
               static_cast<std::uint64_t>(dy + kShort) < kShortSide;
    }
    [[nodiscard]] static std::size_t index(std::int64_t dx, std::int64_t dy) noexcept {
        return static_cast<std::size_t>((dy + kShort) * kShortSide + (dx + kShort));
    }
};

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

    const std::int64_t straight = line.xMajor ? line.majorStep : line.majorStep * stride_;
    const std::int64_t diagonal =
        straight + (line.xMajor ? line.minorStep * stride_ : line.minorStep);
    plot(image_.data() + y0 * stride_ + x0,
         Steps{last - first, numerator % twiceMajor, 2 * line.minorLength, twiceMajor, straight,
               diagonal},
         foreRgb_);
    markDirty(std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1));
}

void RasterCanvas::segmentWithin(std::int64_t xa, std::int64_t ya, std::int64_t xb,
                                 std::int64_t yb) noexcept {
    plot(image_.data() + ya * stride_ + xa, wholeSegment(xb - xa, yb - ya, stride_), foreRgb_);
}

std::int64_t RasterCanvas::twipLimitX() const noexcept {
    return std::min<std::int64_t>(stride_ * kTwipsPerPixel, kExactFloat);
}

std::int64_t RasterCanvas::twipLimitY() const noexcept {
    return std::min<std::int64_t>(rows_ * kTwipsPerPixel, kExactFloat);
}

void RasterCanvas::Line(float x1, float y1, float x2, float y2) {
    // For segments between points on the raster, a few comparisons (false
    // for NaN as well) and truncating divisions stand in for the general
    // conversion and clipping.
    const auto width = static_cast<float>(twipLimitX());
    const auto height = static_cast<float>(twipLimitY());
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
        segmentWithin(xa, ya, xb, yb);
        markDirty(std::min(xa, xb), std::min(ya, yb), std::max(xa, xb), std::max(ya, yb));
        return;
    }
    if (anyNan({x1, y1, x2, y2}) || image_.empty()) {
        return;
    }
    const Walk line(pixelAt(x1), pixelAt(y1), pixelAt(x2), pixelAt(y2));
    // Only the steps that land on the raster are walked, so a long or mostly
    // hidden segment costs no more than its visible part.
    const std::int64_t majorSize = line.xMajor ? stride_ : rows_;
    const std::int64_t minorSize = line.xMajor ? rows_ : stride_;
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
    if (px < 0 || py < 0 || px >= stride_ || py >= rows_) {
        return;
    }
    image_[static_cast<std::size_t>(py * stride_ + px)] = foreRgb_;
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
    return colourOf(image_[static_cast<std::size_t>(py * stride_ + px)]);
}

void RasterCanvas::drawTriangleEdges(std::span<const PointRecord> points,
                                     std::span<const TriangleRecord> triangles) {
    if (image_.empty() || points.empty()) {
        return;
    }
    const int bands = bandCount(triangles.size(), rows_);
    // Each point's pixel first, in a third of the points' memory: the
    // points lie in the order they were placed, and looking them up along
    // the mesh jumps all over them.
    constexpr std::uint32_t kClipped = 0xFFFFFFFFu;  // off the raster: drawn by Line
    const std::int64_t limitX = stride_ < 0xFFFF ? twipLimitX() : 0;
    const std::int64_t limitY = rows_ < 0xFFFF ? twipLimitY() : 0;
    cornerPixels_.resize(points.size());
    inBands(bands, [&](int band) {
        const auto [first, end] = part(static_cast<std::int64_t>(points.size()), band, bands);
        for (auto i = static_cast<std::size_t>(first); i < static_cast<std::size_t>(end); ++i) {
            const PointRecord& point = points[i];
            // Non-negative: dividing the integers is the floor of the twips.
            cornerPixels_[i] = point.x >= 0 && point.x < limitX && point.y >= 0 && point.y < limitY
                                   ? static_cast<std::uint32_t>(point.x / kTwipsPerPixel) |
                                         static_cast<std::uint32_t>(point.y / kTwipsPerPixel) << 16
                                   : kClipped;
        }
    });
    const ShortSegments table(stride_);
    const auto segment = [&](std::int64_t xa, std::int64_t ya, std::int64_t xb, std::int64_t yb) {
        if (ShortSegments::holds(xb - xa, yb - ya)) {
            Pixel* const start = image_.data() + ya * stride_ + xa;
            for (const std::ptrdiff_t offset : table.offsets[ShortSegments::index(xb - xa, yb - ya)]) {
                start[offset] = foreRgb_;
            }
        } else {
            segmentWithin(xa, ya, xb, yb);
        }
    };
    // A triangle's three segments between pixels of the raster. A segment
    // stays within the rows of its ends, so the triangle within those of
    // its corners.
    const auto drawOnRaster = [&](std::uint32_t a, std::uint32_t b, std::uint32_t c, Bounds& drawn) {
        const std::int64_t ax = a & 0xFFFF, ay = a >> 16;
        const std::int64_t bx = b & 0xFFFF, by = b >> 16;
        const std::int64_t cx = c & 0xFFFF, cy = c >> 16;
        segment(ax, ay, bx, by);
        segment(bx, by, cx, cy);
        segment(ax, ay, cx, cy);
        drawn.add(std::min({ax, bx, cx}), std::min({ay, by, cy}));
        drawn.add(std::max({ax, bx, cx}), std::max({ay, by, cy}));
    };
    const auto valid = [&](const TriangleRecord& triangle) {
        return std::max({static_cast<std::uint32_t>(triangle.a), static_cast<std::uint32_t>(triangle.b),
                         static_cast<std::uint32_t>(triangle.c)}) < points.size();
    };
    const auto pixelOf = [&](std::int32_t index) {
        return cornerPixels_[std::min<std::size_t>(static_cast<std::uint32_t>(index), points.size() - 1)];
    };

    // With several bands, each thread first sorts its share of the
    // triangles by the band that holds them (the band of the top corner,
    // when the lowest lies in it too), then each draws the triangles of its
    // own band. A triangle across a band's border, or with a corner off the
    // raster, is drawn here afterwards. The sorted corners are kept for the
    // next mesh: fresh memory for them on every call would cost more than
    // the sorting.
    const std::int64_t bandHeight = (rows_ + bands - 1) / bands;
    const auto slots = static_cast<std::size_t>(bands);
    std::vector<std::vector<std::vector<Corners>>>& sorted = bandCorners_;
    sorted.resize(slots);
    for (std::vector<std::vector<Corners>>& share : sorted) {
        share.resize(slots);
        for (std::vector<Corners>& band : share) {
            band.clear();
        }
    }
    std::vector<std::vector<std::size_t>> later(slots);
    std::vector<Bounds> drawn(slots);
    inBands(bands, [&](int share) {
        const auto [from, to] = part(static_cast<std::int64_t>(triangles.size()), share, bands);
        const auto mine = static_cast<std::size_t>(share);
        // The corners of a batch of triangles are looked up before any is
        // drawn, so that the lookups overlap rather than wait for each other.
        constexpr std::size_t kBatch = 256;
        std::array<Corners, kBatch> batch{};
        for (auto first = static_cast<std::size_t>(from); first < static_cast<std::size_t>(to); first += kBatch) {
            const std::size_t count = std::min(kBatch, static_cast<std::size_t>(to) - first);
            for (std::size_t i = 0; i < count; ++i) {
                const TriangleRecord& triangle = triangles[first + i];
                batch[i] = {pixelOf(triangle.a), pixelOf(triangle.b), pixelOf(triangle.c)};
            }
            for (std::size_t i = 0; i < count; ++i) {
                if (!valid(triangles[first + i])) {
                    continue;
                }
                const auto [a, b, c] = batch[i];
                if (a == kClipped || b == kClipped || c == kClipped) {
                    later[mine].push_back(first + i);
                    continue;
                }
                if (bands == 1) {
                    drawOnRaster(a, b, c, drawn[0]);
                    continue;
                }
                const std::int64_t band = std::min({a >> 16, b >> 16, c >> 16}) / bandHeight;
                if (std::max({a >> 16, b >> 16, c >> 16}) >= (band + 1) * bandHeight) {
                    later[mine].push_back(first + i);
                    continue;
                }
                sorted[mine][static_cast<std::size_t>(band)].push_back(batch[i]);
            }
        }
    });
    if (bands > 1) {
        inBands(bands, [&](int band) {
            const auto mine = static_cast<std::size_t>(band);
            for (const std::vector<std::vector<Corners>>& share : sorted) {
                for (const auto& [a, b, c] : share[mine]) {
                    drawOnRaster(a, b, c, drawn[mine]);
                }
            }
        });
    }
    for (std::size_t share = 0; share < slots; ++share) {
        for (const std::size_t index : later[share]) {
            const TriangleRecord& triangle = triangles[index];
            const std::uint32_t a = pixelOf(triangle.a), b = pixelOf(triangle.b), c = pixelOf(triangle.c);
            if (a != kClipped && b != kClipped && c != kClipped) {
                drawOnRaster(a, b, c, drawn[share]);
                continue;
            }
            const auto at = [&](std::int32_t corner) { return points[static_cast<std::size_t>(corner)]; };
            const PointRecord pa = at(triangle.a), pb = at(triangle.b), pc = at(triangle.c);
            const auto ax = static_cast<float>(pa.x), ay = static_cast<float>(pa.y);
            const auto bx = static_cast<float>(pb.x), by = static_cast<float>(pb.y);
            const auto cx = static_cast<float>(pc.x), cy = static_cast<float>(pc.y);
            Line(ax, ay, bx, by);
            Line(bx, by, cx, cy);
            Line(ax, ay, cx, cy);
        }
    }
    for (const Bounds& bounds : drawn) {
        if (!bounds.empty()) {
            markDirty(bounds.left, bounds.top, bounds.right, bounds.bottom);
        }
    }
}

void RasterCanvas::drawDots(std::span<const PointRecord> points) {
    const std::int64_t limitX = twipLimitX();
    const std::int64_t limitY = twipLimitY();
    for (const PointRecord& point : points) {
        if (point.x >= 0 && point.x < limitX && point.y >= 0 && point.y < limitY) {
            const std::int64_t px = point.x / kTwipsPerPixel;
            const std::int64_t py = point.y / kTwipsPerPixel;
            image_[static_cast<std::size_t>(py * stride_ + px)] = foreRgb_;
            markDirty(px, py, px, py);
        } else {
            PSet(static_cast<float>(point.x), static_cast<float>(point.y));
        }
    }
}

float RasterCanvas::ScaleWidth() const {
    return static_cast<float>(width_ * kTwipsPerPixel);
}

float RasterCanvas::ScaleHeight() const {
    return static_cast<float>(height_ * kTwipsPerPixel);
}
