// Strips.h - one triangulation built by several threads at once.
//
// The points are cut by x into vertical strips of about equal counts, one
// per thread. Each thread orders and triangulates its own strip, in its own
// part of the shared arrays. Most of a strip's triangles are already those
// of the whole set: a triangle whose circumcircle lies within its strip has
// no point of another strip inside it, so it is Delaunay for all points
// (final). Only near the cuts do the strips' triangulations differ from the
// whole one. The points of the other triangles (suspect) are triangulated
// once more, together; the part of that triangulation which lies between
// the final triangles replaces the suspect ones, linked to the final
// triangles across the edges where they meet.
//
// Under the symbolic perturbation of the in-circle test the Delaunay
// triangulation is unique, so the stitched mesh is exactly the one a single
// thread builds, triangle for triangle (not in the same order).
#ifndef VANTREL_STRIPS_H
#define VANTREL_STRIPS_H

#include "Predicates.h"
#include "SpatialSort.h"
#include "vantrel.h"

#include <cstdint>
#include <span>

namespace vantrel {

// Corner 0 of a triangle slot that holds no triangle.
inline constexpr std::int32_t kDead = -2;

// Triangulates `points` (slot 1 at index 0) within `box`, their bounding
// box, in `strips` strips at once. xy and slot have room for every point,
// vertices and halfedges for 2n - 2 triangles (see Delaunay.h). Returns the
// number of triangle slots from 0 that hold the mesh; among them ghosts
// have kInfinite and empty slots kDead in corner 0. Returns 0 when strips
// would not pay (too few points for a strip, or all of them within a few
// columns) or the set has fewer than three distinct points or all on one
// line; the arrays then hold nothing of use. Throws std::bad_alloc when
// memory runs out, in any thread.
[[nodiscard]] std::int32_t triangulateInStrips(std::span<const PointRecord> points, Box box, int strips,
                                               Point2 *xy, std::int32_t *slot, std::int32_t *vertices,
                                               std::int32_t *halfedges);

} // namespace vantrel

#endif // VANTREL_STRIPS_H
