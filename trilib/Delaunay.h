// Delaunay.h - incremental Delaunay triangulation on flat index arrays.
//
// Storage. Triangle t owns the entries 3t, 3t + 1, 3t + 2 of two arrays:
//   vertices[3t + k]    corner k (an index into the points), corners in
//                       counter-clockwise order (orient2d > 0, y up);
//   halfedges[3t + k]   the twin of half-edge 3t + k, the side of t opposite
//                       corner k, which runs from corner k + 1 to corner
//                       k + 2 (mod 3). The twin runs the other way in the
//                       neighbouring triangle.
// Numbering each side after the corner it faces puts the apex across a
// half-edge e at vertices[halfedges[e]]: one load, no division by 3, on the
// path every Delaunay test and every walk step takes.
//
// Ghost triangles. Outside the convex hull lies one vertex at infinity,
// kInfinite. Every hull edge a -> b (interior to its left) has a ghost
// triangle (kInfinite, b, a) on its other side, the infinite vertex always
// in corner 0, so half-edge 0 of a ghost is its hull edge, b -> a, and the
// ghosts form a closed fan around infinity:
//
//                       kInfinite
//                      /    |    \         ghost (inf, b, a): half-edge 1
//            ghost   /      |      \  ghost   is a -> inf, twin of the
//                  / (inf,b,a) (inf,a,z) \    neighbouring ghost's
//                /          |          \      half-edge 2, inf -> a.
//           ... b --------- a --------- z ...
//                   real triangles
//
// Every half-edge therefore has a twin, point location never falls off the
// mesh, and with m distinct points there are exactly 2m - 2 triangles,
// ghosts included, of which the h ghosts (one per hull edge; collinear hull
// points are kept as vertices) are dropped from the result: 2m - 2 - h.
#ifndef VANTREL_DELAUNAY_H
#define VANTREL_DELAUNAY_H

#include "Predicates.h"

#include <cstdint>
#include <span>

namespace vantrel {

inline constexpr std::int32_t kInfinite = -1;

[[nodiscard]] inline bool isGhost(const std::int32_t *vertices, std::int32_t triangle) noexcept
{
    return vertices[3 * triangle] == kInfinite;
}

// Triangulates the points xy, inserted in the order given (see
// SpatialSort.h). Preconditions: slot.size() == xy.size() and vertices and
// halfedges each hold 3 * (2 * xy.size() - 2) entries (space for 2n - 2
// triangles), with 2 <= xy.size() and 6 * xy.size() within int32.
//
// Returns the number of triangles used, ghosts included: 2m - 2 for m
// distinct points, or 0 when there are fewer than three distinct points or
// all are collinear (vertices and halfedges then hold nothing meaningful).
// Coincident points are merged into the vertex inserted first; that vertex
// takes the lowest slot value of the group (slot is updated in place).
// Throws std::bad_alloc only if the flip stack cannot grow.
[[nodiscard]] std::int32_t triangulate(std::span<const Point2> xy, std::span<std::int32_t> slot,
                                       std::span<std::int32_t> vertices, std::span<std::int32_t> halfedges);

} // namespace vantrel

#endif // VANTREL_DELAUNAY_H
