// Independent checks of a triangulation returned by Triangulate.
//
// Everything here decides with exact integer arithmetic of its own (__int128,
// and GMP where 128 bits are not enough), so a fault in the library's
// predicates cannot hide behind the same fault in the test.
//
// Point lists are 0-based: element i is slot i + 1 of the library's array.
#pragma once

#include <vantrel.h>

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace trilibtest {

// Sign of (b - a) x (c - a): +1 counter-clockwise with y up, 0 collinear.
[[nodiscard]] int orientSign(const PointRecord& a, const PointRecord& b, const PointRecord& c);

// Sign of the in-circle determinant: +1 when d lies strictly inside the
// circle through the counter-clockwise triangle a, b, c; 0 on it.
[[nodiscard]] int inCircleSign(const PointRecord& a, const PointRecord& b, const PointRecord& c,
                               const PointRecord& d);

// What any correct result must look like, derived from the input alone.
struct Shape {
    std::size_t distinct = 0;     // m: distinct positions
    std::size_t hullBoundary = 0; // h: distinct points on the hull boundary, corners or not
    bool collinear = false;       // all distinct points on one line (or fewer than three)
    [[nodiscard]] std::size_t expectedTriangles() const {
        return collinear ? 0 : 2 * distinct - 2 - hullBoundary;
    }
};
[[nodiscard]] Shape describe(std::span<const PointRecord> points);

enum class EmptyCircles {
    Auto,       // brute force when small enough, local edges otherwise
    LocalEdges, // every interior edge locally Delaunay
    BruteForce  // no distinct point strictly inside any circumcircle
};

// The full contract of a successful result: canonical slots, strict
// orientation, a proper edge manifold whose boundary is the hull, the
// triangle count, the exact area, and empty circumcircles.
[[nodiscard]] ::testing::AssertionResult
isDelaunayTriangulation(std::span<const PointRecord> points, std::span<const TriangleRecord> triangles,
                        EmptyCircles emptyCircles = EmptyCircles::Auto);

// True when no interior edge has its four points on one circle, i.e. the
// Delaunay triangulation of these points is unique and can be compared
// triangle by triangle. The triangles must already be Delaunay.
[[nodiscard]] bool isUniqueDelaunay(std::span<const PointRecord> points,
                                    std::span<const TriangleRecord> triangles);

using Corners = std::array<std::int32_t, 3>;

// Each triangle rotated to start at its lowest slot (orientation kept), the
// list sorted: two results describe the same mesh iff these are equal.
[[nodiscard]] std::vector<Corners> canonical(std::span<const TriangleRecord> triangles);

} // namespace trilibtest
