#include "TrilibTest.h"

#if defined(VANTREL_TEST_WITH_CGAL)
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#endif

#include <algorithm>
#include <cstring>
#include <map>
#include <numeric>
#include <sstream>
#include <tuple>
#include <utility>

namespace trilibtest {
namespace {

__extension__ typedef __int128 Wide;

Wide twiceArea(const PointRecord& a, const PointRecord& b, const PointRecord& c) {
    return (Wide{b.x} - a.x) * (Wide{c.y} - a.y) - (Wide{b.y} - a.y) * (Wide{c.x} - a.x);
}

// +1 when d lies strictly inside the circle through the counter-clockwise
// a, b, c, 0 on it. CGAL's predicate is exact on doubles, and every int32 is
// one; builds without CGAL (Windows) use the test's own.
int inCircle(const PointRecord& a, const PointRecord& b, const PointRecord& c, const PointRecord& d) {
#if defined(VANTREL_TEST_WITH_CGAL)
    using Point = CGAL::Exact_predicates_inexact_constructions_kernel::Point_2;
    const auto p = [](const PointRecord& q) { return Point(q.x, q.y); };
    return static_cast<int>(CGAL::side_of_oriented_circle(p(a), p(b), p(c), p(d)));
#else
    return exactInCircle(a, b, c, d);
#endif
}

std::ostream& operator<<(std::ostream& out, const TriangleRecord& t) {
    return out << "(" << t.a << ", " << t.b << ", " << t.c << ")";
}

} // namespace

// Lifts and cofactors are below 2^65 in magnitude and their products below
// 2^130, past 128 bits. Each lift is split at bit 32 instead:
//   sum(lift cofactor) = 2^32 H + L,  H = sum(high cofactor) below 2^100,
//                                     L = sum(low cofactor) below 2^99.
// With L = 2^32 floor(L / 2^32) + r, 0 <= r < 2^32, the sum is
// 2^32 (H + floor(L / 2^32)) + r: the sign of the bracket decides, and r
// when the bracket is zero.
int exactInCircle(const PointRecord& a, const PointRecord& b, const PointRecord& c, const PointRecord& d) {
    const Wide adx = Wide{a.x} - d.x, ady = Wide{a.y} - d.y;
    const Wide bdx = Wide{b.x} - d.x, bdy = Wide{b.y} - d.y;
    const Wide cdx = Wide{c.x} - d.x, cdy = Wide{c.y} - d.y;
    const Wide lift[3] = {adx * adx + ady * ady, bdx * bdx + bdy * bdy, cdx * cdx + cdy * cdy};
    const Wide cofactor[3] = {bdx * cdy - cdx * bdy, cdx * ady - adx * cdy, adx * bdy - bdx * ady};
    constexpr Wide kLow = 0xffffffff;
    Wide high = 0;
    Wide low = 0;
    for (int k = 0; k < 3; ++k) {
        high += (lift[k] >> 32) * cofactor[k];
        low += (lift[k] & kLow) * cofactor[k];
    }
    const Wide bracket = high + (low >> 32); // >> rounds towards minus infinity
    if (bracket != 0) {
        return bracket > 0 ? 1 : -1;
    }
    return (low & kLow) != 0 ? 1 : 0;
}

Outcome triangulate(std::span<const PointRecord> points, std::int32_t spareSlots) {
    constexpr std::size_t kTail = 4; // records past the capacity that must stay untouched
    const auto count = static_cast<std::int32_t>(points.size());
    std::vector<PointRecord> slots(points.size() + static_cast<std::size_t>(spareSlots) + 1, kUntouchedPoint);
    std::copy(points.begin(), points.end(), slots.begin() + 1);
    const std::vector<PointRecord> before = slots;
    std::vector<TriangleRecord> out(2 * points.size() + 1 + kTail, kUntouchedTriangle);

    Outcome result;
    result.code =
        Triangulate(count, 2 * count, count + spareSlots, slots.data(), out.data(), VANTREL_FLAG_DELAUNAY);
    EXPECT_EQ(0, std::memcmp(before.data(), slots.data(), slots.size() * sizeof(PointRecord)))
        << "the point array changed";
    EXPECT_TRUE(untouched(out[0])) << "triangle slot 0 was written";
    EXPECT_TRUE(std::all_of(out.end() - kTail, out.end(), untouched)) << "a slot past the capacity was written";
    if (result.code >= 0) {
        EXPECT_LE(result.code, 2 * count);
        result.triangles.assign(out.begin() + 1, out.begin() + 1 + std::min(result.code, 2 * count));
    }
    return result;
}

::testing::AssertionResult isDelaunay(std::span<const PointRecord> points, std::span<const TriangleRecord> triangles,
                                      bool generalPosition) {
    const auto n = static_cast<std::int32_t>(points.size());
    const auto at = [&](std::int32_t slot) -> const PointRecord& { return points[static_cast<std::size_t>(slot) - 1]; };
    std::size_t faultCount = 0;
    std::ostringstream faults;
    const auto expect = [&](bool holds, const auto&... parts) {
        if (!holds && faultCount++ < 8) { // enough to read, even for a badly broken mesh
            (faults << "\n  " << ... << parts);
        }
    };

    // Distinct positions, each represented by its lowest slot, sorted by (x, y).
    std::vector<std::int32_t> order(points.size());
    std::iota(order.begin(), order.end(), 1);
    std::ranges::sort(order, {}, [&](std::int32_t s) { return std::tuple(at(s).x, at(s).y, s); });
    std::vector<std::int32_t> lowest(points.size() + 1, 0);
    std::vector<std::int32_t> distinct;
    for (const std::int32_t s : order) {
        if (distinct.empty() || at(distinct.back()).x != at(s).x || at(distinct.back()).y != at(s).y) {
            distinct.push_back(s);
        }
        lowest[static_cast<std::size_t>(s)] = distinct.back();
    }
    if (std::all_of(distinct.begin() + std::min<std::ptrdiff_t>(2, std::ssize(distinct)), distinct.end(),
                    [&](std::int32_t s) { return twiceArea(at(distinct[0]), at(distinct[1]), at(s)) == 0; })) {
        if (triangles.empty()) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << triangles.size() << " triangle(s) from collinear points";
    }

    // Strict hull corners, counter-clockwise: the lower chain, then the upper.
    std::vector<std::int32_t> hull;
    for (const bool upper : {false, true}) {
        const std::size_t base = hull.size();
        for (std::size_t i = 0; i < distinct.size(); ++i) {
            const std::int32_t s = distinct[upper ? distinct.size() - 1 - i : i];
            while (hull.size() >= base + 2 && twiceArea(at(hull[hull.size() - 2]), at(hull.back()), at(s)) <= 0) {
                hull.pop_back();
            }
            hull.push_back(s);
        }
        hull.pop_back();
    }
    Wide hullArea = 0;
    for (std::size_t i = 1; i + 1 < hull.size(); ++i) {
        hullArea += twiceArea(at(hull[0]), at(hull[i]), at(hull[i + 1]));
    }
    std::vector<bool> onHull(points.size() + 1, false);
    std::size_t h = 0;
    for (const std::int32_t s : distinct) {
        const PointRecord& p = at(s);
        for (std::size_t i = 0; i < hull.size() && !onHull[static_cast<std::size_t>(s)]; ++i) {
            const PointRecord& a = at(hull[i]);
            const PointRecord& b = at(hull[(i + 1) % hull.size()]);
            // On the line through a and b, and not beyond either.
            if (twiceArea(a, b, p) == 0 &&
                (Wide{p.x} - a.x) * (Wide{p.x} - b.x) + (Wide{p.y} - a.y) * (Wide{p.y} - b.y) <= 0) {
                onHull[static_cast<std::size_t>(s)] = true;
                ++h;
            }
        }
    }

    std::map<std::pair<std::int32_t, std::int32_t>, std::int32_t> opposite; // directed edge -> the corner across it
    Wide area = 0;
    for (const TriangleRecord& t : triangles) {
        const std::array v{t.a, t.b, t.c};
        if (std::ranges::any_of(v, [&](std::int32_t s) { return s < 1 || s > n; })) {
            expect(false, "triangle ", t, " has a corner outside slots 1..", n);
            continue;
        }
        for (const std::int32_t s : v) {
            expect(lowest[static_cast<std::size_t>(s)] == s, "triangle ", t, " uses ", s, ", not the lowest such slot");
        }
        const Wide twice = twiceArea(at(t.a), at(t.b), at(t.c));
        expect(twice > 0, "triangle ", t, " is not strictly counter-clockwise");
        area += twice;
        for (std::size_t i = 0; i < 3; ++i) {
            expect(opposite.try_emplace({v[i], v[(i + 1) % 3]}, v[(i + 2) % 3]).second, "directed edge ", v[i], "->",
                   v[(i + 1) % 3], " is in two triangles");
        }
    }
    std::size_t open = 0;
    for (const auto& [edge, across] : opposite) {
        const auto [from, to] = edge;
        const auto twin = opposite.find({to, from});
        if (twin == opposite.end()) {
            ++open;
            const auto left = [&](std::int32_t c) { return twiceArea(at(from), at(to), at(c)) >= 0; };
            expect(onHull[static_cast<std::size_t>(from)] && onHull[static_cast<std::size_t>(to)] &&
                       std::ranges::all_of(hull, left),
                   "open edge ", from, "->", to, " does not run along the hull");
        } else if (from < to) {
            const int side = inCircle(at(from), at(to), at(across), at(twin->second));
            expect(side < 0 || (!generalPosition && side == 0), "edge ", from, "-", to,
                   side > 0 ? " is not locally Delaunay" : " has co-circular ends");
        }
    }
    expect(open == h, open, " open edges, but ", h, " points on the hull boundary");
    expect(area == hullArea, "the triangles' areas do not add up to the hull's");
    expect(triangles.size() == 2 * distinct.size() - 2 - h, triangles.size(), " triangles, m = ", distinct.size(),
           ", h = ", h);
    expect(!generalPosition || distinct.size() == points.size(), "coincident points");
    if (faultCount == 0 && triangles.size() * distinct.size() <= 1000000) {
        for (const TriangleRecord& t : triangles) {
            for (const std::int32_t s : distinct) {
                if (inCircle(at(t.a), at(t.b), at(t.c), at(s)) > 0) {
                    expect(false, "point ", s, " lies inside the circumcircle of ", t);
                }
            }
        }
    }
    return faultCount == 0 ? ::testing::AssertionSuccess()
                           : ::testing::AssertionFailure() << faultCount << " fault(s):" << faults.str();
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

} // namespace trilibtest
