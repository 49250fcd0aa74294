#include "PointSets.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace trilibtest {
namespace {

std::int32_t clampToInt32(double v) {
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::llround(std::clamp(v, lo, hi)));
}

} // namespace

PointRecord pt(std::int64_t x, std::int64_t y) {
    return PointRecord{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), 0};
}

Points uniform(std::size_t n, std::int32_t lo, std::int32_t hi, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<std::int32_t> coord(lo, hi);
    Points out(n);
    for (PointRecord& p : out) {
        p.x = coord(rng);
        p.y = coord(rng);
    }
    scribbleThird(out, seed + 1);
    return out;
}

Points clusters(std::size_t n, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> centre(-1.5e9, 1.5e9);
    constexpr double spreads[] = {3e4, 1e5, 1e7, 3e8, 1e6};
    Points out;
    out.reserve(n);
    for (std::size_t c = 0; c < std::size(spreads); ++c) {
        const double cx = centre(rng);
        const double cy = centre(rng);
        std::normal_distribution<double> dx(cx, spreads[c]);
        std::normal_distribution<double> dy(cy, spreads[c]);
        const std::size_t share = (n * (c + 1)) / std::size(spreads) - out.size();
        for (std::size_t i = 0; i < share; ++i) {
            out.push_back(PointRecord{clampToInt32(dx(rng)), clampToInt32(dy(rng)), 0});
        }
    }
    shuffle(out, seed + 2);
    scribbleThird(out, seed + 1);
    return out;
}

Points nearCorners(std::size_t n, std::int32_t reach, std::uint64_t seed) {
    constexpr std::int32_t lo = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t hi = std::numeric_limits<std::int32_t>::max();
    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<std::int32_t> offset(0, reach);
    std::uniform_int_distribution<int> corner(0, 3);
    Points out(n);
    for (PointRecord& p : out) {
        const int k = corner(rng);
        p.x = (k & 1) != 0 ? hi - offset(rng) : lo + offset(rng);
        p.y = (k & 2) != 0 ? hi - offset(rng) : lo + offset(rng);
    }
    scribbleThird(out, seed + 1);
    return out;
}

Points grid(std::int32_t w, std::int32_t h, std::int32_t step, PointRecord origin) {
    Points out;
    for (std::int32_t j = 0; j < h; ++j) {
        for (std::int32_t i = 0; i < w; ++i) {
            out.push_back(pt(std::int64_t{origin.x} + std::int64_t{i} * step,
                             std::int64_t{origin.y} + std::int64_t{j} * step));
        }
    }
    return out;
}

Points latticeCircle(std::int64_t r, PointRecord centre, std::int64_t scale) {
    Points out;
    for (std::int64_t x = -r; x <= r; ++x) {
        const std::int64_t rest = r * r - x * x;
        auto y = static_cast<std::int64_t>(std::sqrt(static_cast<double>(rest)));
        while (y * y > rest) {
            --y;
        }
        while ((y + 1) * (y + 1) <= rest) {
            ++y;
        }
        if (y * y != rest) {
            continue;
        }
        out.push_back(pt(centre.x + x * scale, centre.y + y * scale));
        if (y != 0) {
            out.push_back(pt(centre.x + x * scale, centre.y - y * scale));
        }
    }
    return out;
}

Points roundedCircle(std::size_t n, double r, PointRecord centre) {
    Points out;
    for (std::size_t i = 0; i < n; ++i) {
        const double angle = 2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n);
        out.push_back(PointRecord{clampToInt32(centre.x + r * std::cos(angle)),
                                  clampToInt32(centre.y + r * std::sin(angle)), 0});
    }
    return out;
}

std::int64_t fibonacci(int k) {
    std::int64_t a = 0;
    std::int64_t b = 1;
    for (int i = 0; i < k; ++i) {
        const std::int64_t next = a + b;
        a = b;
        b = next;
    }
    return a;
}

Points fibonacciFan(int firstK, int lastK, PointRecord origin) {
    Points out{origin};
    for (int k = firstK; k <= lastK; ++k) {
        out.push_back(pt(origin.x + fibonacci(k + 1), origin.y + fibonacci(k)));
    }
    return out;
}

void shuffle(Points& points, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::shuffle(points.begin(), points.end(), rng);
}

void addDuplicates(Points& points, std::size_t copies, std::uint64_t seed) {
    if (points.empty()) {
        return;
    }
    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<std::size_t> pick(0, points.size() - 1);
    for (std::size_t i = 0; i < copies; ++i) {
        points.push_back(points[pick(rng)]);
    }
    shuffle(points, seed + 1);
    scribbleThird(points, seed + 2);
}

void scribbleThird(Points& points, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<std::int32_t> noise(std::numeric_limits<std::int32_t>::min(),
                                                      std::numeric_limits<std::int32_t>::max());
    for (PointRecord& p : points) {
        p.third = noise(rng);
    }
}

} // namespace trilibtest
