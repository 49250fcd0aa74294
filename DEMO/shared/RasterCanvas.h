// The canvas on an off-screen raster: the pixels the point-set commands draw
// on and read back from, and that each front end copies to the screen. It
// knows nothing of any windowing system.
//
// Twips map to pixels at 15 to a pixel (96 dpi): the pixel of a position is
// floor(twips / 15) on each axis. Drawing is exact, with no antialiasing, so
// Point returns precisely the colour that Circle, Line or PSet last wrote.
//
// The raster is as large as the canvas has ever been: the canvas is its
// top-left part, and a smaller canvas hides the rest without losing it. So
// the picture lasts until the next Cls whatever the window goes through,
// and what is drawn beyond a shrunken canvas is there when it grows again.
// Positions off the raster are clipped when drawing; off the canvas they
// read as kOutside.
#pragma once

#include <algorithm>
#include <array>
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

    // Changes the canvas's size in pixels, keeping the whole picture; the
    // raster grows with it, the new area in the background colour. A size
    // that is not positive leaves no pixels showing. Throws
    // std::length_error (or std::bad_alloc) for a size memory cannot hold;
    // the canvas is then as it was.
    void resizePixels(int width, int height);

    // The canvas's size in pixels.
    [[nodiscard]] int width() const noexcept { return static_cast<int>(width_); }
    [[nodiscard]] int height() const noexcept { return static_cast<int>(height_); }
    // The whole raster, rows top to bottom, stride() pixels each with
    // nothing between rows; the canvas is the top-left width() x height().
    [[nodiscard]] std::span<const Pixel> pixels() const noexcept { return image_; }
    [[nodiscard]] int stride() const noexcept { return static_cast<int>(stride_); }

    // The smallest rectangle of the canvas's pixels holding every change
    // since the last call (empty if nothing changed), and starts collecting
    // anew.
    [[nodiscard]] PixelRect takeDirty() noexcept;

    void Cls() override;
    void Circle(float x, float y, float radius) override;
    void Line(float x1, float y1, float x2, float y2) override;
    void PSet(float x, float y) override;
    [[nodiscard]] pointset::Colour Point(float x, float y) const override;
    void drawTriangleEdges(std::span<const PointRecord> points,
                           std::span<const TriangleRecord> triangles) override;
    void drawDots(std::span<const PointRecord> points) override;

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
    // The segment between two pixels of the raster, without clipping.
    void segmentWithin(std::int64_t xa, std::int64_t ya, std::int64_t xb, std::int64_t yb) noexcept;
    // Positions in twips from 0 up to these lie on the raster, and are
    // exact as floats.
    [[nodiscard]] std::int64_t twipLimitX() const noexcept;
    [[nodiscard]] std::int64_t twipLimitY() const noexcept;

    std::vector<Pixel> image_;
    // drawTriangleEdges's scratch, kept for the next mesh: the pixel of each
    // point, and the triangles' corner pixels sorted by each share of the
    // triangles into the bands of the raster.
    std::vector<std::uint32_t> cornerPixels_;
    using Corners = std::array<std::uint32_t, 3>;
    std::vector<std::vector<std::vector<Corners>>> bandCorners_;
    std::int64_t stride_ = 0;  // the raster's size; 0 x 0 until the canvas has pixels
    std::int64_t rows_ = 0;
    std::int64_t width_ = 0;  // the canvas's; 0 x 0 while it has none
    std::int64_t height_ = 0;
    pointset::Colour foreColor_ = 0x00000000;
    Pixel foreRgb_ = 0xFF000000u;  // foreColor_ as the raster stores it
    // Inclusive pixel bounds of the changes; left > right while there are none.
    std::int64_t dirtyLeft_ = 0;
    std::int64_t dirtyTop_ = 0;
    std::int64_t dirtyRight_ = -1;
    std::int64_t dirtyBottom_ = -1;
};
