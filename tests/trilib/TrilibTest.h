// Shared by the library tests: seeded point sets, a careful caller of
// Triangulate, and independent checks of what it returns.
// Point lists are 0-based: element i goes into slot i + 1.
#pragma once

#include <vantrel.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <vector>

namespace trilibtest {

using Points = std::vector<PointRecord>;
inline constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
inline constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// Clamped to int32.
[[nodiscard]] PointRecord pt(std::int64_t x, std::int64_t y);
// n random points origin + cell * (i, j) with 0 <= i <= w, 0 <= j <= h.
[[nodiscard]] Points raster(std::size_t n, PointRecord origin, std::int64_t w, std::int64_t h, std::int64_t cell,
                            std::uint64_t seed);
[[nodiscard]] inline Points uniform(std::size_t n, std::int32_t lo, std::int32_t hi, std::uint64_t seed) {
    return raster(n, pt(lo, lo), std::int64_t{hi} - lo, std::int64_t{hi} - lo, 1, seed);
}
// Within `reach` of the four int32 corners: large values, small differences.
[[nodiscard]] Points nearCorners(std::size_t n, std::int32_t reach, std::uint64_t seed);
[[nodiscard]] Points grid(std::int32_t w, std::int32_t h, std::int32_t step, PointRecord origin);
[[nodiscard]] Points line(std::size_t n, PointRecord start, std::int64_t dx, std::int64_t dy);
[[nodiscard]] Points shuffled(Points points, std::uint64_t seed);
// Adds copies of random existing points and shuffles, so duplicates land
// both before and after their first occurrence.
[[nodiscard]] Points withDuplicates(Points points, std::size_t copies, std::uint64_t seed);
// Noise in every "third" field, which the library must neither read nor change.
void scribbleThird(Points& points, std::uint64_t seed);

// Calls with triangle capacity 2n and `spareSlots` point slots after the last
// point, checking what every call promises: the point array (slot 0, spare
// slots and "third" included) comes back byte for byte, and neither triangle
// slot 0 nor anything past the capacity is written.
struct Outcome {
    std::int32_t code = 0;
    std::vector<TriangleRecord> triangles;
};
[[nodiscard]] Outcome triangulate(std::span<const PointRecord> points, std::int32_t spareSlots = 0);

// Records no library would write by accident.
inline constexpr TriangleRecord kUntouchedTriangle{-0x21524111, 0x5eed5eed, -0x35014542};
inline constexpr PointRecord kUntouchedPoint{-0x3f3f3f40, 0x1badb002, 0x0ddba11};
[[nodiscard]] inline bool untouched(const TriangleRecord& t) {
    return std::memcmp(&t, &kUntouchedTriangle, sizeof t) == 0;
}

// Sign of the in-circle determinant of a, b, c, d (> 0: d strictly inside
// the circle through the counter-clockwise a, b, c), in exact arithmetic of
// the test's own; the in-circle oracle of builds without CGAL.
[[nodiscard]] int exactInCircle(const PointRecord& a, const PointRecord& b, const PointRecord& c,
                                const PointRecord& d);

// The contract of a successful result, decided with exact arithmetic of the
// test's own (__int128) and an exact in-circle (CGAL's, or exactInCircle
// where CGAL is not built), never the library's:
// corners are the lowest slot among coincident points; triangles strictly
// counter-clockwise; no directed edge twice; open edges exactly the hull
// boundary; 2m - 2 - h triangles (m distinct points, h on the hull boundary);
// areas summing exactly to the hull's; every interior edge locally Delaunay,
// and on small inputs every circumcircle empty by brute force.
// `generalPosition` also demands distinct points and no interior edge with
// four co-circular points, i.e. that the triangulation is unique.
[[nodiscard]] ::testing::AssertionResult isDelaunay(std::span<const PointRecord> points,
                                                    std::span<const TriangleRecord> triangles,
                                                    bool generalPosition = false);

// Each triangle rotated to start at its lowest slot, the list sorted.
[[nodiscard]] std::vector<std::array<std::int32_t, 3>> canonical(std::span<const TriangleRecord> triangles);

} // namespace trilibtest
