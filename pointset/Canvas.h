// The drawing surface the point-set commands draw on and read back from.
//
// Units are twips (1440 to the inch, 15 to a pixel at 96 dpi), origin at the
// top-left of the canvas interior, y growing downwards. Colours are
// 0x00BBGGRR values.
#pragma once

#include <cstdint>
#include <span>

#include "vantrel.h"

namespace pointset {

using Colour = std::int32_t;

inline constexpr Colour kWhite = 0x00FFFFFF;      // canvas background
inline constexpr Colour kRed = 0x000000FF;        // points; the canvas FillColor
inline constexpr Colour kLightGrey = 0x00C0C0C0;  // triangle edges
inline constexpr Colour kLinkBlue = 0x00FF0000;   // the information link's text
inline constexpr Colour kOutside = -1;            // Point() outside the canvas

class Canvas {
public:
    virtual ~Canvas() = default;

    // Fills the whole canvas with the background colour.
    virtual void Cls() = 0;
    // Circle outline in ForeColor, its inside filled with FillColor.
    virtual void Circle(float x, float y, float radius) = 0;
    // Segment from (x1, y1) to (x2, y2), both ends included, in ForeColor.
    virtual void Line(float x1, float y1, float x2, float y2) = 0;
    // The dot at (x, y) in ForeColor.
    virtual void PSet(float x, float y) = 0;
    // Colour of the pixel at (x, y), or kOutside when it is off the canvas.
    [[nodiscard]] virtual Colour Point(float x, float y) const = 0;

    // A mesh and its points at once: exactly the pixels of the Line and
    // PSet calls described here, which a canvas may set faster than one
    // call at a time. For each triangle, the Line calls from corner a to b,
    // from b to c and from a to c, each corner at the stored coordinates of
    // points[corner] as floats; a triangle with a corner outside `points`
    // is skipped.
    virtual void drawTriangleEdges(std::span<const PointRecord> points,
                                   std::span<const TriangleRecord> triangles) = 0;
    // The PSet call at the stored coordinates of each point, as floats.
    virtual void drawDots(std::span<const PointRecord> points) = 0;

    [[nodiscard]] virtual Colour FillColor() const = 0;
    [[nodiscard]] virtual Colour ForeColor() const = 0;
    virtual void setForeColor(Colour colour) = 0;

    // Interior size in twips.
    [[nodiscard]] virtual float ScaleWidth() const = 0;
    [[nodiscard]] virtual float ScaleHeight() const = 0;
};

}  // namespace pointset
