#include "MeshCheck.h"

#include <gmpxx.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <unordered_map>
#include <utility>

namespace trilibtest {
namespace {

__extension__ typedef __int128 Wide;

// The in-circle determinant of differences bounded by 2^30 stays below
// 2^126, so __int128 is exact there; wider spreads go through GMP.
constexpr std::int64_t kWideLimit = std::int64_t{1} << 30;

int signOf(Wide v) { return (v > 0) - (v < 0); }

Wide twiceArea(const PointRecord& a, const PointRecord& b, const PointRecord& c) {
    const Wide abx = Wide{b.x} - a.x;
    const Wide aby = Wide{b.y} - a.y;
    const Wide acx = Wide{c.x} - a.x;
    const Wide acy = Wide{c.y} - a.y;
    return abx * acy - aby * acx;
}

bool samePosition(const PointRecord& p, const PointRecord& q) { return p.x == q.x && p.y == q.y; }

// Slots are 1-based, the lists 0-based.
const PointRecord& at(std::span<const PointRecord> points, std::int32_t slot) {
    return points[static_cast<std::size_t>(slot) - 1];
}

std::uint64_t edgeKey(std::int32_t from, std::int32_t to) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(from)) << 32) |
           static_cast<std::uint32_t>(to);
}

std::string show(const TriangleRecord& t) {
    std::ostringstream out;
    out << "(" << t.a << ", " << t.b << ", " << t.c << ")";
    return out.str();
}

std::string show(const PointRecord& p) {
    std::ostringstream out;
    out << "(" << p.x << ", " << p.y << ")";
    return out.str();
}

// Distinct positions, each represented by the lowest slot that holds it.
struct Distinct {
    std::vector<std::int32_t> canonicalOf; // indexed by slot, 0 unused
    std::vector<std::int32_t> slots;       // the representatives, sorted by (x, y)
};

Distinct distinctPoints(std::span<const PointRecord> points) {
    Distinct d;
    d.canonicalOf.assign(points.size() + 1, 0);
    std::vector<std::int32_t> order(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        order[i] = static_cast<std::int32_t>(i + 1);
    }
    std::sort(order.begin(), order.end(), [&](std::int32_t l, std::int32_t r) {
        const PointRecord& p = at(points, l);
        const PointRecord& q = at(points, r);
        if (p.x != q.x) {
            return p.x < q.x;
        }
        if (p.y != q.y) {
            return p.y < q.y;
        }
        return l < r;
    });
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i == 0 || !samePosition(at(points, order[i]), at(points, order[i - 1]))) {
            d.slots.push_back(order[i]);
        }
        d.canonicalOf[static_cast<std::size_t>(order[i])] = d.slots.back();
    }
    return d;
}

// Strict convex hull corners, counter-clockwise, of points sorted by (x, y).
std::vector<std::int32_t> hullCorners(std::span<const PointRecord> points,
                                      const std::vector<std::int32_t>& sorted) {
    std::vector<std::int32_t> hull(2 * sorted.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        while (k >= 2 &&
               twiceArea(at(points, hull[k - 2]), at(points, hull[k - 1]), at(points, sorted[i])) <= 0) {
            --k;
        }
        hull[k++] = sorted[i];
    }
    const std::size_t lower = k + 1;
    for (std::size_t i = sorted.size() - 1; i-- > 0;) {
        while (k >= lower &&
               twiceArea(at(points, hull[k - 2]), at(points, hull[k - 1]), at(points, sorted[i])) <= 0) {
            --k;
        }
        hull[k++] = sorted[i];
    }
    hull.resize(k - 1);
    return hull;
}

bool onSegment(const PointRecord& a, const PointRecord& b, const PointRecord& p) {
    return twiceArea(a, b, p) == 0 && std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) &&
           std::min(a.y, b.y) <= p.y && p.y <= std::max(a.y, b.y);
}

struct Analysis {
    Distinct distinct;
    std::vector<std::int32_t> corners; // strict hull, counter-clockwise
    std::vector<bool> onHull;          // indexed by slot
    Shape shape;
    Wide hullTwiceArea = 0;
};

Analysis analyse(std::span<const PointRecord> points) {
    Analysis a;
    a.distinct = distinctPoints(points);
    a.onHull.assign(points.size() + 1, false);
    const auto& slots = a.distinct.slots;
    a.shape.distinct = slots.size();
    a.shape.collinear = true;
    for (std::size_t i = 2; i < slots.size() && a.shape.collinear; ++i) {
        a.shape.collinear = twiceArea(at(points, slots[0]), at(points, slots[1]), at(points, slots[i])) == 0;
    }
    if (a.shape.collinear) {
        return a;
    }
    a.corners = hullCorners(points, slots);
    for (std::size_t i = 0; i < a.corners.size(); ++i) {
        const PointRecord& p = at(points, a.corners[i]);
        const PointRecord& q = at(points, a.corners[(i + 1) % a.corners.size()]);
        a.hullTwiceArea += Wide{p.x} * q.y - Wide{q.x} * p.y;
    }
    for (const std::int32_t s : slots) {
        for (std::size_t i = 0; i < a.corners.size(); ++i) {
            if (onSegment(at(points, a.corners[i]), at(points, a.corners[(i + 1) % a.corners.size()]),
                          at(points, s))) {
                a.onHull[static_cast<std::size_t>(s)] = true;
                ++a.shape.hullBoundary;
                break;
            }
        }
    }
    return a;
}

// Collects failures but keeps the message readable for a badly broken mesh.
class Complaints {
public:
    void add(const std::string& text) {
        if (count_++ < 8) {
            out_ << "\n  " << text;
        }
    }
    [[nodiscard]] bool any() const { return count_ > 0; }
    [[nodiscard]] ::testing::AssertionResult result() const {
        if (count_ == 0) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << count_ << " fault(s):" << out_.str();
    }

private:
    std::size_t count_ = 0;
    std::ostringstream out_;
};

} // namespace

int orientSign(const PointRecord& a, const PointRecord& b, const PointRecord& c) {
    return signOf(twiceArea(a, b, c));
}

int inCircleSign(const PointRecord& a, const PointRecord& b, const PointRecord& c, const PointRecord& d) {
    const std::int64_t adx = std::int64_t{a.x} - d.x;
    const std::int64_t ady = std::int64_t{a.y} - d.y;
    const std::int64_t bdx = std::int64_t{b.x} - d.x;
    const std::int64_t bdy = std::int64_t{b.y} - d.y;
    const std::int64_t cdx = std::int64_t{c.x} - d.x;
    const std::int64_t cdy = std::int64_t{c.y} - d.y;
    const std::int64_t spread =
        std::max({std::abs(adx), std::abs(ady), std::abs(bdx), std::abs(bdy), std::abs(cdx), std::abs(cdy)});
    if (spread <= kWideLimit) {
        const Wide alift = Wide{adx} * adx + Wide{ady} * ady;
        const Wide blift = Wide{bdx} * bdx + Wide{bdy} * bdy;
        const Wide clift = Wide{cdx} * cdx + Wide{cdy} * cdy;
        return signOf(alift * (Wide{bdx} * cdy - Wide{bdy} * cdx) +
                      blift * (Wide{cdx} * ady - Wide{cdy} * adx) +
                      clift * (Wide{adx} * bdy - Wide{ady} * bdx));
    }
    // Differences up to 2^33 are exact doubles, so only the final rounding
    // errors matter; they stay far below this fraction of the permanent.
    const auto fx = [](std::int64_t v) { return static_cast<double>(v); };
    const double alift = fx(adx) * fx(adx) + fx(ady) * fx(ady);
    const double blift = fx(bdx) * fx(bdx) + fx(bdy) * fx(bdy);
    const double clift = fx(cdx) * fx(cdx) + fx(cdy) * fx(cdy);
    const double approx = alift * (fx(bdx) * fx(cdy) - fx(bdy) * fx(cdx)) +
                          blift * (fx(cdx) * fx(ady) - fx(cdy) * fx(adx)) +
                          clift * (fx(adx) * fx(bdy) - fx(ady) * fx(bdx));
    const double permanent = alift * (std::abs(fx(bdx) * fx(cdy)) + std::abs(fx(bdy) * fx(cdx))) +
                             blift * (std::abs(fx(cdx) * fx(ady)) + std::abs(fx(cdy) * fx(adx))) +
                             clift * (std::abs(fx(adx) * fx(bdy)) + std::abs(fx(ady) * fx(bdx)));
    if (std::abs(approx) > 1e-12 * permanent) {
        return approx > 0 ? 1 : -1;
    }
    const mpz_class ax(static_cast<long>(adx));
    const mpz_class ay(static_cast<long>(ady));
    const mpz_class bx(static_cast<long>(bdx));
    const mpz_class by(static_cast<long>(bdy));
    const mpz_class cx(static_cast<long>(cdx));
    const mpz_class cy(static_cast<long>(cdy));
    const mpz_class det = (ax * ax + ay * ay) * (bx * cy - by * cx) + (bx * bx + by * by) * (cx * ay - cy * ax) +
                          (cx * cx + cy * cy) * (ax * by - ay * bx);
    return sgn(det);
}

Shape describe(std::span<const PointRecord> points) { return analyse(points).shape; }

::testing::AssertionResult isDelaunayTriangulation(std::span<const PointRecord> points,
                                                   std::span<const TriangleRecord> triangles,
                                                   EmptyCircles emptyCircles) {
    const Analysis a = analyse(points);
    const std::size_t expected = a.shape.expectedTriangles();
    Complaints faults;
    if (triangles.size() != expected) {
        faults.add("triangle count " + std::to_string(triangles.size()) + ", expected 2m - 2 - h = " +
                   std::to_string(expected) + " (m = " + std::to_string(a.shape.distinct) +
                   ", h = " + std::to_string(a.shape.hullBoundary) + ")");
    }
    const auto n = static_cast<std::int32_t>(points.size());

    // Every directed edge, mapped to the corner opposite it.
    std::unordered_map<std::uint64_t, std::int32_t> opposite;
    opposite.reserve(3 * triangles.size());
    std::vector<bool> used(points.size() + 1, false);
    Wide area = 0;
    bool cornersValid = true;
    for (const TriangleRecord& t : triangles) {
        const std::array<std::int32_t, 3> v{t.a, t.b, t.c};
        bool valid = true;
        for (const std::int32_t s : v) {
            if (s < 1 || s > n) {
                faults.add("triangle " + show(t) + " has a corner outside slots 1.." + std::to_string(n));
                valid = false;
            } else if (a.distinct.canonicalOf[static_cast<std::size_t>(s)] != s) {
                faults.add("triangle " + show(t) + " uses slot " + std::to_string(s) +
                           " instead of the lowest coincident slot " +
                           std::to_string(a.distinct.canonicalOf[static_cast<std::size_t>(s)]));
            }
        }
        if (!valid) {
            cornersValid = false;
            continue;
        }
        const Wide twice = twiceArea(at(points, t.a), at(points, t.b), at(points, t.c));
        if (twice <= 0) {
            faults.add("triangle " + show(t) + " is not strictly counter-clockwise");
        }
        area += twice;
        for (std::size_t i = 0; i < 3; ++i) {
            used[static_cast<std::size_t>(v[i])] = true;
            const auto [slot, fresh] = opposite.emplace(edgeKey(v[i], v[(i + 1) % 3]), v[(i + 2) % 3]);
            if (!fresh) {
                faults.add("directed edge " + std::to_string(v[i]) + "->" + std::to_string(v[(i + 1) % 3]) +
                           " belongs to two triangles");
            }
        }
    }
    if (!cornersValid || a.shape.collinear) {
        return faults.result();
    }

    // A boundary edge (no reverse twin) must run along the hull, interior on its left.
    std::size_t boundaryEdges = 0;
    for (const auto& [key, third] : opposite) {
        const auto from = static_cast<std::int32_t>(key >> 32);
        const auto to = static_cast<std::int32_t>(key & 0xffffffffu);
        if (opposite.count(edgeKey(to, from)) != 0) {
            continue;
        }
        ++boundaryEdges;
        if (!a.onHull[static_cast<std::size_t>(from)] || !a.onHull[static_cast<std::size_t>(to)]) {
            faults.add("edge " + std::to_string(from) + "->" + std::to_string(to) +
                       " has one side open but is not on the hull");
            continue;
        }
        for (const std::int32_t c : a.corners) {
            if (twiceArea(at(points, from), at(points, to), at(points, c)) < 0) {
                faults.add("open edge " + std::to_string(from) + "->" + std::to_string(to) +
                           " has hull corner " + show(at(points, c)) + " on its right");
                break;
            }
        }
    }
    if (boundaryEdges != a.shape.hullBoundary) {
        faults.add(std::to_string(boundaryEdges) + " open edges, the hull boundary has " +
                   std::to_string(a.shape.hullBoundary));
    }
    if (area != a.hullTwiceArea) {
        faults.add("the triangles' areas do not add up to the hull's area");
    }
    for (const std::int32_t s : a.distinct.slots) {
        if (!used[static_cast<std::size_t>(s)]) {
            faults.add("point " + std::to_string(s) + " " + show(at(points, s)) + " is in no triangle");
        }
    }

    for (const auto& [key, third] : opposite) {
        const auto from = static_cast<std::int32_t>(key >> 32);
        const auto to = static_cast<std::int32_t>(key & 0xffffffffu);
        const auto twin = opposite.find(edgeKey(to, from));
        if (from > to || twin == opposite.end()) {
            continue;
        }
        if (inCircleSign(at(points, from), at(points, to), at(points, third), at(points, twin->second)) > 0) {
            faults.add("edge " + std::to_string(from) + "-" + std::to_string(to) + " is not locally Delaunay");
        }
    }
    const bool brute = emptyCircles == EmptyCircles::BruteForce ||
                       (emptyCircles == EmptyCircles::Auto && triangles.size() * a.shape.distinct <= 1000000);
    if (brute) {
        for (const TriangleRecord& t : triangles) {
            for (const std::int32_t s : a.distinct.slots) {
                if (inCircleSign(at(points, t.a), at(points, t.b), at(points, t.c), at(points, s)) > 0) {
                    faults.add("point " + std::to_string(s) + " lies inside the circumcircle of " + show(t));
                }
            }
        }
    }
    return faults.result();
}

bool isUniqueDelaunay(std::span<const PointRecord> points, std::span<const TriangleRecord> triangles) {
    std::unordered_map<std::uint64_t, std::int32_t> opposite;
    for (const TriangleRecord& t : triangles) {
        opposite.emplace(edgeKey(t.a, t.b), t.c);
        opposite.emplace(edgeKey(t.b, t.c), t.a);
        opposite.emplace(edgeKey(t.c, t.a), t.b);
    }
    for (const auto& [key, third] : opposite) {
        const auto from = static_cast<std::int32_t>(key >> 32);
        const auto to = static_cast<std::int32_t>(key & 0xffffffffu);
        const auto twin = opposite.find(edgeKey(to, from));
        if (twin != opposite.end() &&
            inCircleSign(at(points, from), at(points, to), at(points, third), at(points, twin->second)) == 0) {
            return false;
        }
    }
    return true;
}

std::vector<Corners> canonical(std::span<const TriangleRecord> triangles) {
    std::vector<Corners> out;
    out.reserve(triangles.size());
    for (const TriangleRecord& t : triangles) {
        Corners c{t.a, t.b, t.c};
        std::rotate(c.begin(), std::min_element(c.begin(), c.end()), c.end());
        out.push_back(c);
    }
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace trilibtest
