// The canvas on an off-screen raster: a QImage backing store that the
// point-set commands draw on and read back from, and that the canvas widget
// copies to the screen.
//
// Twips map to pixels at 15 to a pixel (96 dpi): the pixel of a position is
// floor(twips / 15) on each axis. Drawing is exact, with no antialiasing, so
// Point returns precisely the colour that Circle, Line or PSet last wrote.
// Positions off the raster are clipped when drawing and read as kOutside.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

#include <algorithm>
#include <cstdint>

#include "Canvas.h"

class RasterCanvas final : public pointset::Canvas {
public:
    static constexpr int kTwipsPerPixel = 15;

    // A white raster of the given size in pixels; an empty size gives a
    // canvas with no pixels, on which drawing does nothing.
    explicit RasterCanvas(QSize pixels = {});

    // Changes the raster's size, keeping the picture where old and new
    // overlap and filling the new area with the background colour.
    void resizePixels(QSize pixels);

    // The backing store, Format_RGB32.
    [[nodiscard]] const QImage& image() const noexcept { return image_; }

    // The smallest rectangle of pixels holding every change since the last
    // call (empty if nothing changed), and starts collecting anew. Call it
    // before painting the image: it also renews the image's cacheKey(), which
    // drawing straight into the pixels does not.
    [[nodiscard]] QRect takeDirty();

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
    // Both inline: they run once per segment of a mesh.
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
    // The pixels to draw into, unshared from any copy of image() taken since.
    [[nodiscard]] QRgb* pixels() {
        if (pixels_ == nullptr || !image_.isDetached()) {
            pixels_ = reinterpret_cast<QRgb*>(image_.bits());
        }
        return pixels_;
    }
    void fillSpan(std::int64_t y, std::int64_t left, std::int64_t right, QRgb colour);
    struct Walk;
    // Sets the pixels of steps first..last of a segment, all on the raster.
    void walk(const Walk& line, std::int64_t first, std::int64_t last);

    QImage image_;
    // image_'s pixel data while image_ owns it alone; saves a detach() per
    // drawing operation, which costs more than drawing a short segment.
    QRgb* pixels_ = nullptr;
    std::int64_t stride_ = 0;  // pixels per scan line
    std::int64_t width_ = 0;   // 0 while there is no image
    std::int64_t height_ = 0;
    pointset::Colour foreColor_ = 0x00000000;
    QRgb foreRgb_ = 0xFF000000u;  // foreColor_ as the image stores it
    // Inclusive pixel bounds of the changes; left > right while there are none.
    std::int64_t dirtyLeft_ = 0;
    std::int64_t dirtyTop_ = 0;
    std::int64_t dirtyRight_ = -1;
    std::int64_t dirtyBottom_ = -1;
};
