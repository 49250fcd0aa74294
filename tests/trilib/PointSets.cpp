#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "TrilibTest.h"

namespace trilibtest {

PointRecord pt(std::int64_t x, std::int64_t y) {
    return {std::int32_t(std::clamp<std::int64_t>(x, kMin, kMax)),
            std::int32_t(std::clamp<std::int64_t>(y, kMin, kMax)), 0};
}

Points raster(std::size_t n, PointRecord origin, std::int64_t w, std::int64_t h, std::int64_t cell,
              std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<std::int64_t> i(0, w), j(0, h);
    Points out(n);
    for (PointRecord& p : out) p = pt(origin.x + i(rng) * cell, origin.y + j(rng) * cell);
    return out;
}

Points uniform(std::size_t n, std::int32_t lo, std::int32_t hi, std::uint64_t seed) {
    return raster(n, pt(lo, lo), std::int64_t{hi} - lo, std::int64_t{hi} - lo, 1, seed);
}

Points nearCorners(std::size_t n, std::int32_t reach, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<std::int32_t> offset(0, reach);
    Points out(n);
    for (PointRecord& p : out) {
        const auto corner = rng();
        p.x = (corner & 1) != 0 ? kMax - offset(rng) : kMin + offset(rng);
        p.y = (corner & 2) != 0 ? kMax - offset(rng) : kMin + offset(rng);
    }
    return out;
}

Points grid(std::int32_t w, std::int32_t h, std::int32_t step, PointRecord origin) {
    Points out;
    for (std::int64_t j = 0; j < h; ++j)
        for (std::int64_t i = 0; i < w; ++i) out.push_back(pt(origin.x + i * step, origin.y + j * step));
    return out;
}

Points line(std::size_t n, PointRecord start, std::int64_t dx, std::int64_t dy) {
    Points out;
    for (std::int64_t k = 0; k < std::int64_t(n); ++k) out.push_back(pt(start.x + k * dx, start.y + k * dy));
    return out;
}

Points circle(std::size_t n, double radius, PointRecord centre) {
    Points out;
    for (double i = 0; i < double(n); ++i) {
        const double angle = 2 * std::numbers::pi * i / double(n);
        out.push_back(
            pt(std::llround(centre.x + radius * std::cos(angle)), std::llround(centre.y + radius * std::sin(angle))));
    }
    return out;
}

Points shuffled(Points points, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::shuffle(points.begin(), points.end(), rng);
    return points;
}

Points withDuplicates(Points points, std::size_t copies, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    for (std::size_t i = 0; i < copies; ++i) points.push_back(points[rng() % points.size()]);
    return shuffled(std::move(points), seed + 1);
}

std::vector<std::array<std::int32_t, 3>> canonical(std::span<const TriangleRecord> triangles) {
    std::vector<std::array<std::int32_t, 3>> out;
    for (const TriangleRecord& t : triangles) {
        std::array c{t.a, t.b, t.c};
        std::rotate(c.begin(), std::min_element(c.begin(), c.end()), c.end());
        out.push_back(c);
    }
    std::ranges::sort(out);
    return out;
}

}  // namespace trilibtest
