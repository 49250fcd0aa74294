// The canvas on an off-screen raster: the pixels the point-set commands draw
// on and read back from, and that each front end copies to the screen. It
// knows nothing of any windowing system.
//
// Twips map to pixels at 15 to a pixel (96 dpi): the pixel of a position is
// floor(twips / 15) on each axis. Drawing is exact, with no antialiasing, so
// Point returns precisely the colour that Circle, Line or PSet last wrote.
// Positions off the raster are clipped when drawing and read as kOutside.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "Canvas.h"

// A rectangle of pixels; empty when its width or height is not positive.
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    [[nodiscard]] bool empty() const noexcept { return width <= 0 || height <= 0; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

class RasterCanvas final : public pointset::Canvas {
public:
    static constexpr int kTwipsPerPixel = 15;

    // A pixel as stored: 0xFFRRGGBB, so that in memory each pixel reads
    // blue, green, red, 255. That is the layout of Qt's QImage::Format_RGB32
    // and of a top-down 32-bit BI_RGB bitmap alike: both front ends show the
    // rows as they are, without conversion.
    using Pixel = std::uint32_t;

    [[nodiscard]] static constexpr Pixel pixelOf(pointset::Colour colour) noexcept {
        const auto value = static_cast<std::uint32_t>(colour);
        return 0xFF000000u | ((value & 0xFFu) << 16) | (value & 0xFF00u) |
               ((value >> 16) & 0xFFu);
    }
    [[nodiscard]] static constexpr pointset::Colour colourOf(Pixel pixel) noexcept {
        return static_cast<pointset::Colour>(((pixel & 0xFFu) << 16) | (pixel & 0xFF00u) |
                                             ((pixel >> 16) & 0xFFu));
    }

    // A white raster of the given size in pixels; a size that is not
    // positive gives a canvas with no pixels, on which drawing does nothing.
    explicit RasterCanvas(int width = 0, int height = 0);

    // Changes the raster's size, keeping the picture where old and new
    // overlap and filling the new area with the background colour. Throws
    // std::length_error (or std::bad_alloc) for a size memory cannot hold;
    // the raster is then as it was.
    void resizePixels(int width, int height);

    [[nodiscard]] int width() const noexcept { return static_cast<int>(width_); }
    [[nodiscard]] int height() const noexcept { return static_cast<int>(height_); }
    // The rows top to bottom, width() pixels each with nothing between rows.
    [[nodiscard]] std::span<const Pixel> pixels() const noexcept { return image_; }

    // The smallest rectangle of pixels holding every change since the last
    // call (empty if nothing changed), and starts collecting anew.
    [[nodiscard]] PixelRect takeDirty() noexcept;

    void Cls() override;
    void Circle(float x, float y, float radius) override;
    void Line(float x1, float y1, float x2, float y2) override;
    void PSet(float x, float y) override;
    [[nodiscard]] pointset::Colour Point(float x, float y) const override;

    [[nodiscard]] pointset::Colour FillColor() const override { return pointset::kRed; }
    [[nodiscard]] pointset::Colour ForeColor() const override { return foreColor_; }
    void setForeColor(pointset::Colour colour) override;

    [[nodiscard]] float ScaleWidth() const override;
    [[nodiscard]] float ScaleHeight() const override;

private:
    // Inline: it runs once per segment of a mesh.
    void markDirty(std::int64_t left, std::int64_t top, std::int64_t right,
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
    void fillSpan(std::int64_t y, std::int64_t left, std::int64_t right, Pixel colour);
    struct Walk;
    // Sets the pixels of steps first..last of a segment, all on the raster.
    void walk(const Walk& line, std::int64_t first, std::int64_t last);

    std::vector<Pixel> image_;
    std::int64_t width_ = 0;  // 0 while there are no pixels
    std::int64_t height_ = 0;
    pointset::Colour foreColor_ = 0x00000000;
    Pixel foreRgb_ = 0xFF000000u;  // foreColor_ as the raster stores it
    // Inclusive pixel bounds of the changes; left > right while there are none.
    std::int64_t dirtyLeft_ = 0;
    std::int64_t dirtyTop_ = 0;
    std::int64_t dirtyRight_ = -1;
    std::int64_t dirtyBottom_ = -1;
};
