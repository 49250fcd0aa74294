#include "TrilibTest.h"

#include <algorithm>
#include <random>
#include <utility>

namespace trilibtest {
PointRecord pt(std::int64_t x, std::int64_t y) {
    return PointRecord{static_cast<std::int32_t>(std::clamp<std::int64_t>(x, kMin, kMax)),
                       static_cast<std::int32_t>(std::clamp<std::int64_t>(y, kMin, kMax)), 0};
}

Points raster(std::size_t n, PointRecord origin, std::int64_t w, std::int64_t h, std::int64_t cell,
              std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<std::int64_t> i(0, w);
    std::uniform_int_distribution<std::int64_t> j(0, h);
    Points out(n);
    for (PointRecord& p : out) {
        p = pt(origin.x + i(rng) * cell, origin.y + j(rng) * cell);
    }
    scribbleThird(out, seed + 1);
    return out;
}

Points nearCorners(std::size_t n, std::int32_t reach, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<std::int32_t> offset(0, reach);
    std::uniform_int_distribution<int> corner(0, 3);
    Points out(n);
    for (PointRecord& p : out) {
        const int k = corner(rng);
        p.x = (k & 1) != 0 ? kMax - offset(rng) : kMin + offset(rng);
        p.y = (k & 2) != 0 ? kMax - offset(rng) : kMin + offset(rng);
    }
    scribbleThird(out, seed + 1);
    return out;
}

Points grid(std::int32_t w, std::int32_t h, std::int32_t step, PointRecord origin) {
    Points out;
    for (std::int64_t j = 0; j < h; ++j) {
        for (std::int64_t i = 0; i < w; ++i) {
            out.push_back(pt(origin.x + i * step, origin.y + j * step));
        }
    }
    return out;
}

Points line(std::size_t n, PointRecord start, std::int64_t dx, std::int64_t dy) {
    Points out;
    for (std::int64_t k = 0; k < static_cast<std::int64_t>(n); ++k) {
        out.push_back(pt(start.x + k * dx, start.y + k * dy));
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
    std::uniform_int_distribution<std::size_t> pick(0, points.size() - 1);
    for (std::size_t i = 0; i < copies; ++i) {
        points.push_back(points[pick(rng)]);
    }
    points = shuffled(std::move(points), seed + 1);
    scribbleThird(points, seed + 2);
    return points;
}

void scribbleThird(Points& points, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<std::int32_t> noise(kMin, kMax);
    for (PointRecord& p : points) {
        p.third = noise(rng);
    }
}

} // namespace trilibtest
