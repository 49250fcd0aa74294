// Shared by the library tests: seeded point sets, a careful caller of
// Triangulate, and checks of its results that owe nothing to the library.
// Point lists are 0-based: element i goes into slot i + 1.
#pragma once

#include <vantrel.h>

#include <gtest/gtest.h>

#if defined(VANTREL_TEST_WITH_CGAL)
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#endif

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <numbers>
#include <numeric>
#include <random>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace trilibtest {

using Points = std::vector<PointRecord>;
inline constexpr std::int32_t kMin = INT32_MIN, kMax = INT32_MAX;

// Records no library would write by accident.
inline constexpr TriangleRecord kUntouchedTriangle{-0x21524111, 0x5eed5eed, -0x35014542};
inline constexpr PointRecord kUntouchedPoint{-0x3f3f3f40, 0x1badb002, 0x0ddba11};

// Names a parameterised test after its row.
inline constexpr auto byName = [](const auto& info) { return std::string(info.param.name); };

inline PointRecord pt(std::int64_t x, std::int64_t y) {  // clamped to int32
    return {std::int32_t(std::clamp<std::int64_t>(x, kMin, kMax)),
            std::int32_t(std::clamp<std::int64_t>(y, kMin, kMax)), 0};
}

// n random points origin + cell * (i, j) with 0 <= i <= w, 0 <= j <= h.
inline Points raster(std::size_t n, PointRecord origin, std::int64_t w, std::int64_t h, std::int64_t cell,
                     std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::uniform_int_distribution<std::int64_t> i(0, w), j(0, h);
    Points out(n);
    for (PointRecord& p : out) p = pt(origin.x + i(rng) * cell, origin.y + j(rng) * cell);
    return out;
}

inline Points uniform(std::size_t n, std::int32_t lo, std::int32_t hi, std::uint64_t seed) {
    return raster(n, pt(lo, lo), std::int64_t{hi} - lo, std::int64_t{hi} - lo, 1, seed);
}

// Within `reach` of the corners of the int32 square.
inline Points nearCorners(std::size_t n, std::int32_t reach, std::uint64_t seed) {
    Points out = raster(n, pt(0, 0), 2 * std::int64_t{reach} + 1, 2 * std::int64_t{reach} + 1, 1, seed);
    const auto corner = [&](std::int32_t v) { return v <= reach ? kMin + v : kMax - (v - reach - 1); };
    for (PointRecord& p : out) p = {corner(p.x), corner(p.y), 0};
    return out;
}

inline Points grid(std::int32_t w, std::int32_t h, std::int32_t step, PointRecord origin) {
    Points out;
    for (std::int64_t j = 0; j < h; ++j)
        for (std::int64_t i = 0; i < w; ++i) out.push_back(pt(origin.x + i * step, origin.y + j * step));
    return out;
}

inline Points line(std::size_t n, PointRecord start, std::int64_t dx, std::int64_t dy) {
    Points out;
    for (std::int64_t k = 0; k < std::int64_t(n); ++k) out.push_back(pt(start.x + k * dx, start.y + k * dy));
    return out;
}

// Rounded: nearly co-circular.
inline Points circle(std::size_t n, double radius, PointRecord centre) {
    Points out;
    for (double i = 0; i < double(n); ++i) {
        const double angle = 2 * std::numbers::pi * i / double(n);
        out.push_back(
            pt(std::llround(centre.x + radius * std::cos(angle)), std::llround(centre.y + radius * std::sin(angle))));
    }
    return out;
}

inline Points shuffled(Points points, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    std::shuffle(points.begin(), points.end(), rng);
    return points;
}

// Copies of random points added, then all shuffled.
inline Points withDuplicates(Points points, std::size_t copies, std::uint64_t seed) {
    std::mt19937_64 rng(seed);
    for (std::size_t i = 0; i < copies; ++i) points.push_back(points[rng() % points.size()]);
    return shuffled(std::move(points), seed + 1);
}

// Each triangle rotated to start at its lowest slot, the list sorted.
inline std::vector<std::array<std::int32_t, 3>> canonical(std::span<const TriangleRecord> triangles) {
    std::vector<std::array<std::int32_t, 3>> out;
    for (const TriangleRecord& t : triangles) {
        std::array c{t.a, t.b, t.c};
        std::rotate(c.begin(), std::min_element(c.begin(), c.end()), c.end());
        out.push_back(c);
    }
    std::ranges::sort(out);
    return out;
}

// The triangles as coordinate triples, each from its least corner, sorted:
// what calls on the same set of points agree on, whatever their slots.
using Corner = std::pair<std::int32_t, std::int32_t>;
inline std::vector<std::array<Corner, 3>> byCoordinates(std::span<const PointRecord> points,
                                                        std::span<const TriangleRecord> triangles) {
    std::vector<std::array<Corner, 3>> out;
    for (const TriangleRecord& t : triangles) {
        std::array<Corner, 3> c;
        for (std::size_t k = 0; const std::int32_t s : {t.a, t.b, t.c}) {
            const PointRecord& p = points[std::size_t(std::clamp(s, 1, std::int32_t(points.size()))) - 1];
            c[k++] = {p.x, p.y};
        }
        std::rotate(c.begin(), std::min_element(c.begin(), c.end()), c.end());
        out.push_back(c);
    }
    std::ranges::sort(out);
    return out;
}

inline bool untouched(const TriangleRecord& t) { return std::memcmp(&t, &kUntouchedTriangle, sizeof t) == 0; }

__extension__ typedef __int128 Wide;

inline Wide twiceArea(const PointRecord& a, const PointRecord& b, const PointRecord& c) {
    return (Wide{b.x} - a.x) * (Wide{c.y} - a.y) - (Wide{b.y} - a.y) * (Wide{c.x} - a.x);
}

inline std::ostream& operator<<(std::ostream& out, const TriangleRecord& t) {
    return out << "(" << t.a << ", " << t.b << ", " << t.c << ")";
}

// Sign of the in-circle determinant (> 0: d inside the circle through the
// counter-clockwise a, b, c), exact: the oracle of builds without CGAL. Its
// products pass 128 bits, so each lift is split at bit 32: the sum is
// 2^32 H + L, and the sign of H + floor(L / 2^32) decides, or L mod 2^32.
inline int exactInCircle(const PointRecord& a, const PointRecord& b, const PointRecord& c, const PointRecord& d) {
    const Wide adx = Wide{a.x} - d.x, ady = Wide{a.y} - d.y, bdx = Wide{b.x} - d.x, bdy = Wide{b.y} - d.y;
    const Wide cdx = Wide{c.x} - d.x, cdy = Wide{c.y} - d.y;
    const Wide lift[3] = {adx * adx + ady * ady, bdx * bdx + bdy * bdy, cdx * cdx + cdy * cdy};
    const Wide cofactor[3] = {bdx * cdy - cdx * bdy, cdx * ady - adx * cdy, adx * bdy - bdx * ady};
    Wide high = 0, low = 0;
    for (int k = 0; k < 3; ++k) {
        high += (lift[k] >> 32) * cofactor[k];
        low += (lift[k] & 0xffffffff) * cofactor[k];
    }
    const Wide bracket = high + (low >> 32);  // >> rounds towards minus infinity
    return bracket != 0 ? (bracket > 0 ? 1 : -1) : ((low & 0xffffffff) != 0 ? 1 : 0);
}

// CGAL's predicate is exact on doubles, and every int32 is one.
inline int inCircle(const PointRecord& a, const PointRecord& b, const PointRecord& c, const PointRecord& d) {
#if defined(VANTREL_TEST_WITH_CGAL)
    const auto p = [](const PointRecord& q) { return CGAL::Epick::Point_2(q.x, q.y); };
    return static_cast<int>(CGAL::side_of_oriented_circle(p(a), p(b), p(c), p(d)));
#else
    return exactInCircle(a, b, c, d);
#endif
}

// The contract of a result, decided in exact arithmetic of the test's own and
// CGAL's in-circle (exactInCircle without CGAL): corners are the lowest slot
// among coincident points and every distinct point is one; triangles strictly
// counter-clockwise; no directed edge twice; open edges along the hull; areas
// adding up to the hull's (so far a triangulation of the points); every
// interior edge locally Delaunay (so all of it Delaunay). `generalPosition`
// also demands distinct points and no co-circular interior edge, which make
// the result unique.
inline ::testing::AssertionResult isDelaunay(std::span<const PointRecord> points,
                                             std::span<const TriangleRecord> triangles, bool generalPosition = false) {
    const auto n = static_cast<std::int32_t>(points.size());
    const auto at = [&](std::int32_t slot) -> const PointRecord& { return points[std::size_t(slot) - 1]; };
    std::size_t faultCount = 0;
    std::ostringstream faults;
    const auto expect = [&](bool holds, const auto&... parts) {
        if (!holds && faultCount++ < 8) (faults << "\n  " << ... << parts);  // enough to read a broken mesh
    };

    // Distinct positions, each represented by its lowest slot, sorted by (x, y).
    std::vector<std::int32_t> order(points.size()), lowest(points.size() + 1, 0), distinct;
    std::iota(order.begin(), order.end(), 1);
    std::ranges::sort(order, {}, [&](std::int32_t s) { return std::tuple(at(s).x, at(s).y, s); });
    for (const std::int32_t s : order) {
        if (distinct.empty() || std::tie(at(distinct.back()).x, at(distinct.back()).y) != std::tie(at(s).x, at(s).y))
            distinct.push_back(s);
        lowest[std::size_t(s)] = distinct.back();
    }
    if (std::all_of(distinct.begin() + std::min<std::ptrdiff_t>(2, std::ssize(distinct)), distinct.end(),
                    [&](std::int32_t s) { return twiceArea(at(distinct[0]), at(distinct[1]), at(s)) == 0; }))
        return triangles.empty()
                   ? ::testing::AssertionSuccess()
                   : ::testing::AssertionFailure() << triangles.size() << " triangle(s) from collinear points";

    // Strict hull corners, counter-clockwise: the lower chain, then the upper.
    std::vector<std::int32_t> hull;
    for (const bool upper : {false, true}) {
        const std::size_t base = hull.size();
        for (std::size_t i = 0; i < distinct.size(); ++i) {
            const std::int32_t s = distinct[upper ? distinct.size() - 1 - i : i];
            while (hull.size() >= base + 2 && twiceArea(at(hull[hull.size() - 2]), at(hull.back()), at(s)) <= 0)
                hull.pop_back();
            hull.push_back(s);
        }
        hull.pop_back();
    }
    Wide hullArea = 0, area = 0;
    for (std::size_t i = 1; i + 1 < hull.size(); ++i) hullArea += twiceArea(at(hull[0]), at(hull[i]), at(hull[i + 1]));

    std::vector<bool> corner(points.size() + 1, false);
    std::map<std::pair<std::int32_t, std::int32_t>, std::int32_t> opposite;  // directed edge -> the corner across it
    for (const TriangleRecord& t : triangles) {
        const std::array v{t.a, t.b, t.c};
        if (std::ranges::any_of(v, [&](std::int32_t s) { return s < 1 || s > n; })) {
            expect(false, "triangle ", t, " has a corner outside slots 1..", n);
            continue;
        }
        for (const std::int32_t s : v) {
            expect(lowest[std::size_t(s)] == s, "triangle ", t, " uses ", s, ", not the lowest such slot");
            corner[std::size_t(s)] = true;
        }
        const Wide twice = twiceArea(at(t.a), at(t.b), at(t.c));
        expect(twice > 0, "triangle ", t, " is not strictly counter-clockwise");
        area += twice;
        for (std::size_t i = 0; i < 3; ++i)
            expect(opposite.try_emplace({v[i], v[(i + 1) % 3]}, v[(i + 2) % 3]).second, "edge ", v[i], "->",
                   v[(i + 1) % 3], " twice");
    }
    for (const auto& [edge, across] : opposite) {
        const auto [from, to] = edge;
        const auto twin = opposite.find({to, from});
        if (twin == opposite.end()) {
            const auto left = [&](std::int32_t c) { return twiceArea(at(from), at(to), at(c)) >= 0; };
            expect(std::ranges::all_of(hull, left), "open edge ", from, "->", to, " does not run along the hull");
        } else if (from < to) {
            const int side = inCircle(at(from), at(to), at(across), at(twin->second));
            expect(side < 0 || (!generalPosition && side == 0), "edge ", from, "-", to,
                   side > 0 ? " is not locally Delaunay" : " has co-circular ends");
        }
    }
    expect(area == hullArea, "the triangles' areas do not add up to the hull's");
    for (const std::int32_t s : distinct) expect(corner[std::size_t(s)], "point ", s, " is no triangle's corner");
    expect(!generalPosition || distinct.size() == points.size(), "coincident points");
    return faultCount == 0 ? ::testing::AssertionSuccess()
                           : ::testing::AssertionFailure() << faultCount << " fault(s):" << faults.str();
}

// TriangulateMesh's additions to the triangles, checked against them: each
// neighbour is the triangle holding the same edge the other way, 0 exactly
// where no triangle does; the hull starts at the least distinct point and its
// edges are exactly those open edges, in a loop (the triangles' orientation
// makes it counter-clockwise); with no triangles, the distinct points in
// (x, y) order, each under its lowest slot.
inline ::testing::AssertionResult isMesh(std::span<const PointRecord> points, std::span<const TriangleRecord> triangles,
                                         std::span<const NeighbourRecord> neighbours,
                                         std::span<const std::int32_t> hull) {
    const auto at = [&](std::int32_t slot) { return Corner{points[std::size_t(slot) - 1].x, points[std::size_t(slot) - 1].y}; };
    std::map<Corner, std::int32_t> lowest;  // distinct points in (x, y) order
    for (std::int32_t s = std::int32_t(points.size()); s >= 1; --s) lowest[at(s)] = s;
    std::map<std::pair<std::int32_t, std::int32_t>, std::int32_t> holder;  // directed edge -> triangle slot
    for (std::size_t i = 0; i < triangles.size(); ++i)
        for (const auto& [u, v] : {std::pair{triangles[i].b, triangles[i].c}, {triangles[i].c, triangles[i].a},
                                   {triangles[i].a, triangles[i].b}})
            holder[{u, v}] = std::int32_t(i + 1);
    std::set<std::pair<std::int32_t, std::int32_t>> open;
    for (std::size_t i = 0; i < triangles.size(); ++i) {
        const TriangleRecord& t = triangles[i];
        const NeighbourRecord& n = neighbours[i];
        for (const auto& [u, v, across] : {std::tuple{t.b, t.c, n.bc}, {t.c, t.a, n.ca}, {t.a, t.b, n.ab}}) {
            const auto other = holder.find({v, u});
            const std::int32_t expected = other == holder.end() ? 0 : other->second;
            if (across != expected)
                return ::testing::AssertionFailure() << "triangle " << i + 1 << ": across " << u << "->" << v << " is "
                                                     << across << ", not " << expected;
            if (expected == 0) open.insert({u, v});
        }
    }
    std::vector<std::int32_t> expected;
    if (triangles.empty()) {
        for (const auto& [corner, s] : lowest) expected.push_back(s);
    } else {
        std::set<std::pair<std::int32_t, std::int32_t>> loop;
        for (std::size_t k = 0; k < hull.size(); ++k) loop.insert({hull[k], hull[(k + 1) % hull.size()]});
        if (loop != open || loop.size() != hull.size())
            return ::testing::AssertionFailure() << "the hull's " << hull.size() << " edges are not the "
                                                 << open.size() << " open edges";
        expected.assign(hull.begin(), hull.end());
        expected[0] = lowest.begin()->second;
    }
    if (!std::ranges::equal(expected, hull))
        return ::testing::AssertionFailure() << "hull of " << hull.size() << " points, expected " << expected.size()
                                             << " from the least one";
    return ::testing::AssertionSuccess();
}

// The triangles of `points` from a call with capacity 2n and noise in "third"
// and `spareSlots` slots after the last point, checked for success, the points
// back unchanged, nothing written in slot 0 or past the capacity, and isDelaunay.
// TriangulateMesh on the same arguments must answer the same triangles in the
// same order, with neighbours and hull that pass isMesh, and write nothing
// past its capacities either.
inline std::vector<TriangleRecord> triangulate(std::span<const PointRecord> points, bool generalPosition = false,
                                               std::int32_t spareSlots = 0,
                                               std::int32_t flag = VANTREL_FLAG_DELAUNAY) {
    constexpr std::size_t kTail = 4;  // records past the capacity that must stay untouched
    static std::atomic<std::uint64_t> calls{0};
    std::mt19937 noise(static_cast<std::uint32_t>(++calls));
    const auto count = static_cast<std::int32_t>(points.size());
    Points slots(points.size() + static_cast<std::size_t>(spareSlots) + 1, kUntouchedPoint);
    std::copy(points.begin(), points.end(), slots.begin() + 1);
    for (PointRecord& p : std::span(slots).subspan(1)) p.third = static_cast<std::int32_t>(noise());
    const Points before = slots;
    std::vector<TriangleRecord> out(2 * points.size() + 1 + kTail, kUntouchedTriangle);
    const std::int32_t code =
        Triangulate(count, 2 * count, count + spareSlots, slots.data(), out.data(), flag);
    EXPECT_EQ(0, std::memcmp(before.data(), slots.data(), slots.size() * sizeof(PointRecord))) << "the points changed";
    EXPECT_TRUE(untouched(out[0])) << "triangle slot 0 was written";
    EXPECT_TRUE(std::all_of(out.end() - kTail, out.end(), untouched)) << "a slot past the capacity was written";
    EXPECT_GE(code, 0);
    std::vector<TriangleRecord> triangles(out.begin() + 1, out.begin() + 1 + std::clamp(code, 0, 2 * count));
    EXPECT_TRUE(isDelaunay(points, triangles, generalPosition));

    std::vector<TriangleRecord> meshOut(out.size(), kUntouchedTriangle);
    std::vector<NeighbourRecord> neighbours(out.size(), NeighbourRecord{kUntouchedTriangle.a, 1, 2});
    std::vector<std::int32_t> hull(points.size() + 1 + kTail, kUntouchedTriangle.a);
    std::int32_t hullLength = -1;
    EXPECT_EQ(code, TriangulateMesh(count, 2 * count, count + spareSlots, slots.data(), meshOut.data(),
                                    neighbours.data(), count, hull.data(), &hullLength, flag));
    EXPECT_EQ(0, std::memcmp(out.data(), meshOut.data(), out.size() * sizeof(TriangleRecord)))
        << "TriangulateMesh's triangles differ from Triangulate's";
    const auto intact = [](std::int32_t v) { return v == kUntouchedTriangle.a; };
    EXPECT_TRUE(intact(neighbours[0].bc) && intact(hull[0]) && std::all_of(hull.end() - kTail, hull.end(), intact) &&
                std::all_of(neighbours.end() - kTail, neighbours.end(), [&](const NeighbourRecord& r) { return intact(r.bc); }))
        << "a neighbour or hull slot past its capacity, or slot 0, was written";
    if (code >= 0 && hullLength >= 0 && hullLength <= count) {
        EXPECT_TRUE(isMesh(points, triangles, std::span(neighbours).subspan(1, triangles.size()),
                           std::span(hull).subspan(1, std::size_t(hullLength))));
    }
    return triangles;
}

}  // namespace trilibtest
