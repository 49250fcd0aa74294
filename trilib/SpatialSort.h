// SpatialSort.h - the order in which the triangulation inserts the points.
//
// Incremental insertion is fast only when consecutive points lie close
// together (short point-location walks, warm caches). The order here follows
// a Hilbert curve over the bounding box, inside rounds of a biased randomized
// insertion order: a hash of each slot index assigns the point to one of a
// few rounds, the last round holding about seven eighths of the points, the
// one before seven sixty-fourths, and so on. Rounds keep the expected work per
// insertion constant: in a pure curve order every new point lands at the
// edge of the region filled so far, among long thin triangles that many
// flips must undo, and points in convex position fare worst.
//
// The order only affects speed: the triangulation is exact for any order.
#ifndef VANTREL_SPATIALSORT_H
#define VANTREL_SPATIALSORT_H

#include "Predicates.h"
#include "vantrel.h"

#include <cstdint>
#include <span>

namespace vantrel {

// An axis-aligned box, bounds included.
struct Box {
    std::int32_t minX;
    std::int32_t maxX;
    std::int32_t minY;
    std::int32_t maxY;
};

// The bounding box of at least one point.
[[nodiscard]] Box boundingBox(std::span<const PointRecord> points);

// Writes the points of `points` (slot 1 at index 0) whose x lies in
// [box.minX, box.maxX] in insertion order: xy[k] is the position of the k-th
// point to insert and slot[k] its 1-based slot index. Every point lies within
// box.minY .. box.maxY. xy and slot have room for exactly the points
// selected (any beyond are ignored); scratch has room for twice as many and
// holds nothing useful afterwards. Points with equal coordinates keep their
// relative slot order within a round.
void spatialOrder(std::span<const PointRecord> points, Box box, std::span<Point2> xy, std::span<std::int32_t> slot,
                  std::span<std::uint64_t> scratch);

} // namespace vantrel

#endif // VANTREL_SPATIALSORT_H
