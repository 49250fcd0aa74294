// Shared by the library tests: seeded point sets, a careful caller of
// Triangulate, and checks of its results that owe nothing to the library.
// Point lists are 0-based: element i goes into slot i + 1.
#pragma once

#include <vantrel.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

namespace trilibtest {

using Points = std::vector<PointRecord>;
inline constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
inline constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

[[nodiscard]] PointRecord pt(std::int64_t x, std::int64_t y);  // clamped to int32
// n random points origin + cell * (i, j) with 0 <= i <= w, 0 <= j <= h.
[[nodiscard]] Points raster(std::size_t n, PointRecord origin, std::int64_t w, std::int64_t h, std::int64_t cell,
                            std::uint64_t seed);
[[nodiscard]] Points uniform(std::size_t n, std::int32_t lo, std::int32_t hi, std::uint64_t seed);
[[nodiscard]] Points nearCorners(std::size_t n, std::int32_t reach, std::uint64_t seed);  // of the int32 square
[[nodiscard]] Points grid(std::int32_t w, std::int32_t h, std::int32_t step, PointRecord origin);
[[nodiscard]] Points line(std::size_t n, PointRecord start, std::int64_t dx, std::int64_t dy);
[[nodiscard]] Points circle(std::size_t n, double radius, PointRecord centre);  // rounded: nearly co-circular
[[nodiscard]] Points shuffled(Points points, std::uint64_t seed);
// Copies of random points added, then all shuffled.
[[nodiscard]] Points withDuplicates(Points points, std::size_t copies, std::uint64_t seed);
// Each triangle rotated to start at its lowest slot, the list sorted.
[[nodiscard]] std::vector<std::array<std::int32_t, 3>> canonical(std::span<const TriangleRecord> triangles);

// Records no library would write by accident.
inline constexpr TriangleRecord kUntouchedTriangle{-0x21524111, 0x5eed5eed, -0x35014542};
inline constexpr PointRecord kUntouchedPoint{-0x3f3f3f40, 0x1badb002, 0x0ddba11};
[[nodiscard]] bool untouched(const TriangleRecord& t);

// The triangles of `points`, from a call with triangle capacity 2n, noise in
// every "third" field and in `spareSlots` slots after the last point, and
// checked for what every call promises: success, the points back byte for
// byte, neither triangle slot 0 nor anything past the capacity written, and a
// result that passes isDelaunay.
std::vector<TriangleRecord> triangulate(std::span<const PointRecord> points, bool generalPosition = false,
                                        std::int32_t spareSlots = 0);

// Sign of the in-circle determinant (> 0: d strictly inside the circle through
// the counter-clockwise a, b, c), exact: the oracle of builds without CGAL.
[[nodiscard]] int exactInCircle(const PointRecord& a, const PointRecord& b, const PointRecord& c, const PointRecord& d);

// The contract of a result, decided in exact arithmetic of the test's own and
// CGAL's in-circle (exactInCircle without CGAL): corners are the lowest slot
// among coincident points and every distinct point is one; triangles strictly
// counter-clockwise; no directed edge twice; open edges along the hull; areas
// adding up to the hull's; every interior edge locally Delaunay, and on small
// inputs every circumcircle empty. `generalPosition` also demands distinct
// points and no co-circular interior edge, which make the result unique.
[[nodiscard]] ::testing::AssertionResult isDelaunay(std::span<const PointRecord> points,
                                                    std::span<const TriangleRecord> triangles,
                                                    bool generalPosition = false);

// Names a parameterised test after its row.
inline constexpr auto byName = [](const auto& info) { return std::string(info.param.name); };

}  // namespace trilibtest
