// Seeded point sets for the library tests: general position for the CGAL
// comparison, and the degenerate shapes exact predicates must survive.
// Lists are 0-based (element i goes into slot i + 1); "third" carries noise
// the library must neither read nor change.
#pragma once

#include <vantrel.h>

#include <cstdint>
#include <random>
#include <vector>

namespace trilibtest {

using Points = std::vector<PointRecord>;

[[nodiscard]] PointRecord pt(std::int64_t x, std::int64_t y);

// Uniform in [lo, hi] on both axes.
[[nodiscard]] Points uniform(std::size_t n, std::int32_t lo, std::int32_t hi, std::uint64_t seed);

// A few Gaussian clusters of very different spreads, clamped to int32.
[[nodiscard]] Points clusters(std::size_t n, std::uint64_t seed);

// Uniform within `reach` of the four int32 corners: large absolute values,
// small differences.
[[nodiscard]] Points nearCorners(std::size_t n, std::int32_t reach, std::uint64_t seed);

// A w x h lattice with the given step starting at origin, row by row.
[[nodiscard]] Points grid(std::int32_t w, std::int32_t h, std::int32_t step, PointRecord origin);

// All integer points at exactly distance r from the centre.
[[nodiscard]] Points latticeCircle(std::int64_t r, PointRecord centre, std::int64_t scale = 1);

// n points of a circle of radius r, rounded to the nearest integers.
[[nodiscard]] Points roundedCircle(std::size_t n, double r, PointRecord centre);

// Consecutive Fibonacci vectors (F(k+1), F(k)): neighbours have determinant
// +-1, so each triple with the origin is a triangle of area 1/2 whose sides
// are ~1e9 long.
[[nodiscard]] Points fibonacciFan(int firstK, int lastK, PointRecord origin);

// Fibonacci number F(k), F(1) = F(2) = 1.
[[nodiscard]] std::int64_t fibonacci(int k);

void shuffle(Points& points, std::uint64_t seed);

// Appends `copies` extra copies of randomly chosen existing points and
// shuffles, so duplicates land both before and after their first occurrence.
void addDuplicates(Points& points, std::size_t copies, std::uint64_t seed);

// Random noise in every "third" field.
void scribbleThird(Points& points, std::uint64_t seed);

} // namespace trilibtest
