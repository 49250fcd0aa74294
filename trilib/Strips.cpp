#include "Strips.h"

#include "Delaunay.h"
#include "Threads.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

namespace vantrel {
namespace {

// A strip must hold at least this many points, and each strip at least a
// quarter of its share: otherwise one thread would wait for another most of
// the time, and the cost of starting threads and stitching is not repaid.
constexpr std::size_t kMinimumStrip = 8192;

// Where the seam (the suspect triangles' points) holds more than this
// fraction of the points, the strips overlap too much to be worth
// stitching: points on a circle, say, whose triangles all reach across the
// cut. Then the first strip's triangulation is kept and the other points
// are inserted into it, which costs no more than a single thread would.
constexpr std::size_t kMaximumSeamFraction = 8;

// x is cut into at most this many columns, whose counts place the cuts.
constexpr int kColumnBits = 12;

// Each strip is written by its own thread: see the note on Triangulator.
struct alignas(128) Strip {
    std::int64_t minX; // the strip's points have minX <= x <= maxX
    std::int64_t maxX;
    std::size_t count;          // its points, at index offset of xy and slot
    std::size_t offset;
    std::int32_t firstTriangle; // its triangles: firstTriangle ..
    std::int32_t used = 0;      // .. firstTriangle + used - 1
    std::unique_ptr<Triangulator> builder;
    std::vector<std::int32_t> suspects; // triangles, ascending
    std::vector<std::int32_t> seam;     // vertices of suspect triangles, ascending
    std::vector<std::int32_t> boundary; // half-edges of final triangles with a suspect one across
};

// Cuts [box.minX, box.maxX] into strips of about n / strips points each, at
// column boundaries, so that all points with one x fall into one strip.
std::vector<Strip> cutIntoStrips(std::span<const PointRecord> points, Box box, int strips)
{
    const auto spanX = static_cast<std::uint32_t>(std::int64_t{box.maxX} - box.minX);
    const int shift = std::max(0, static_cast<int>(std::bit_width(spanX)) - kColumnBits);
    std::vector<std::size_t> columns((spanX >> shift) + 1U, 0);
    for (const PointRecord &p : points) {
        ++columns[static_cast<std::uint32_t>(std::int64_t{p.x} - box.minX) >> shift];
    }
    const std::size_t n = points.size();
    std::vector<Strip> out;
    std::size_t column = 0;
    std::size_t before = 0; // points in the columns before `column`
    std::int32_t triangles = 0;
    for (int j = 0; j < strips; ++j) {
        const std::size_t firstColumn = column;
        const std::size_t start = before;
        const std::size_t target = n * static_cast<std::size_t>(j + 1) / static_cast<std::size_t>(strips);
        // The cut goes where the count comes closest to the target; the
        // last strip takes what is left.
        while (column < columns.size()) {
            const std::size_t next = before + columns[column];
            const bool last = j == strips - 1;
            if (!last && (before >= target || (next > target && next - target > target - before && before > start))) {
                break;
            }
            before = next;
            ++column;
        }
        Strip strip;
        strip.minX = std::int64_t{box.minX} + (static_cast<std::int64_t>(firstColumn) << shift);
        strip.maxX = column == columns.size() ? std::int64_t{box.maxX}
                                              : std::int64_t{box.minX} + (static_cast<std::int64_t>(column) << shift) - 1;
        strip.count = before - start;
        strip.offset = start;
        strip.firstTriangle = triangles;
        if (strip.count < std::max(kMinimumStrip, n / static_cast<std::size_t>(4 * strips))) {
            return {};
        }
        triangles += static_cast<std::int32_t>(2 * strip.count - 2);
        out.push_back(std::move(strip));
    }
    return out;
}

/*
 * Whether the closed circumdisk of the counter-clockwise triangle a, b, c
 * lies strictly between the vertical lines x = left and x = right. Evaluated
 * in double precision with a bound on every rounding error: a "yes" is
 * certain, a "no" only means that the triangle is treated as suspect, which
 * costs a little time and never changes the result. Nearly flat triangles,
 * whose centres cannot be placed with confidence, are answered "no".
 *
 * With b and c relative to a, D = bx cy - by cx, B = bx^2 + by^2 and
 * C = cx^2 + cy^2, the centre lies at a + (ux, uy) with
 *   ux = (cy B - by C) / 2D,   uy = (bx C - cx B) / 2D,
 * and the radius is r = |(ux, uy)|. Each product or sum below rounds once,
 * by a relative 2^-53 (eps) at most; the differences are exact.
 */
bool circleWithin(Point2 a, Point2 b, Point2 c, double left, double right)
{
    constexpr double eps = 1.0 / 9007199254740992.0;
    const double bx = static_cast<double>(std::int64_t{b.x} - a.x);
    const double by = static_cast<double>(std::int64_t{b.y} - a.y);
    const double cx = static_cast<double>(std::int64_t{c.x} - a.x);
    const double cy = static_cast<double>(std::int64_t{c.y} - a.y);
    const double d = bx * cy - by * cx;
    const double dError = 3 * eps * (std::fabs(bx * cy) + std::fabs(by * cx));
    // Beyond this, D is known to a relative 2^-20 and the centre with it.
    if (!(d > dError * 1048576.0)) {
        return false;
    }
    const double bb = bx * bx + by * by;
    const double cc = cx * cx + cy * cy;
    const double nx = cy * bb - by * cc;
    const double ny = bx * cc - cx * bb;
    // B and C within 3 eps, each product within 5 eps, the difference 6 eps.
    const double nxError = 6 * eps * (std::fabs(cy * bb) + std::fabs(by * cc));
    const double nyError = 6 * eps * (std::fabs(bx * cc) + std::fabs(cx * bb));
    const double ux = nx / (2 * d);
    const double uy = ny / (2 * d);
    // The error of the quotient: that of the numerator over D, plus the
    // quotient times D's relative error (2^-20) and its own rounding, doubled
    // for the products of the small errors themselves.
    const double uxError = 2 * (nxError / (2 * d) + std::fabs(ux) * 0x1p-19);
    const double uyError = 2 * (nyError / (2 * d) + std::fabs(uy) * 0x1p-19);
    const double r = std::sqrt(ux * ux + uy * uy);
    const double rError = uxError + uyError + 4 * eps * r;
    const double centre = static_cast<double>(a.x) + ux;
    const double reach = r + rError + uxError + 8 * eps * (std::fabs(static_cast<double>(a.x)) + std::fabs(ux) + r);
    return centre - reach > left && centre + reach < right;
}

// Whether a point of the rectangle x0 <= x <= x1, y0 <= y <= y1 (x0 <= x1)
// can lie strictly right of the line a -> b: then so does one of its
// corners, as a half-plane meets a rectangle first at a corner.
bool rectangleRightOf(Point2 a, Point2 b, std::int64_t x0, std::int64_t x1, std::int32_t y0, std::int32_t y1)
{
    for (const std::int64_t x : {x0, x1}) {
        for (const std::int32_t y : {y0, y1}) {
            if (orient2d(a, b, Point2{static_cast<std::int32_t>(x), y}) < 0) {
                return true;
            }
        }
    }
    return false;
}

// Fault points, for tests that make memory run out in a task or stitching.
enum FaultSite { kAfterOrder = 0, kAfterBuild = 1, kStitching = 2 };

/*
 * One strip's task: order, triangulate, then sort the triangles into final
 * and suspect. A real triangle is final when its circumdisk lies within
 * the strip's columns; a ghost (a hull edge a -> b) is final when no point
 * of the other strips can lie strictly outside that edge, that is when the
 * other strips' rectangles lie on the inner side of its line. Then it is a
 * hull edge of the whole set too, with nothing beyond it.
 */
void buildStrip(std::span<const PointRecord> points, Box box, std::vector<Strip> &strips, std::size_t j,
                Point2 *xy, std::int32_t *slot, std::int32_t *vertices, std::int32_t *halfedges)
{
    Strip &strip = strips[j];
    const auto task = static_cast<int>(j);
    auto *const keys = reinterpret_cast<std::uint64_t *>(halfedges + 3 * static_cast<std::ptrdiff_t>(strip.firstTriangle));
    const Box own{static_cast<std::int32_t>(strip.minX), static_cast<std::int32_t>(strip.maxX), box.minY, box.maxY};
    spatialOrder(points, own, {xy + strip.offset, strip.count}, {slot + strip.offset, strip.count},
                 {keys, 2 * strip.count});
    faultPoint(task, kAfterOrder);
    const auto first = static_cast<std::int32_t>(strip.offset);
    const auto last = static_cast<std::int32_t>(strip.offset + strip.count);
    strip.builder = std::make_unique<Triangulator>(xy, slot, vertices, halfedges, strip.firstTriangle);
    strip.used = strip.builder->build(first, last);
    faultPoint(task, kAfterBuild);
    if (strip.used == 0) {
        return;
    }

    const bool hasLeft = j > 0;
    const bool hasRight = j + 1 < strips.size();
    const double left = hasLeft ? static_cast<double>(strip.minX - 1) : -std::numeric_limits<double>::infinity();
    const double right = hasRight ? static_cast<double>(strip.maxX + 1) : std::numeric_limits<double>::infinity();
    const std::int32_t end = strip.firstTriangle + strip.used;
    const auto isGhost = [&](std::int32_t t) { return vertices[3 * t] == kInfinite; };
    const auto suspect = [&](std::int32_t t) {
        const std::int32_t *const v = vertices + 3 * t;
        if (v[0] != kInfinite) {
            return !circleWithin(xy[v[0]], xy[v[1]], xy[v[2]], left, right);
        }
        const Point2 a = xy[v[2]];
        const Point2 b = xy[v[1]];
        return (hasLeft && rectangleRightOf(a, b, box.minX, strip.minX - 1, box.minY, box.maxY)) ||
               (hasRight && rectangleRightOf(a, b, strip.maxX + 1, box.maxX, box.minY, box.maxY));
    };
    // The triangles in conflict with some position in the other strips'
    // rectangles are connected, and each of them has a path among them to
    // a ghost: so a walk from the triangles next to the hull, through
    // suspect triangles only, finds all of them without testing the rest.
    // A triangle it misses is suspect only by the error bound of the test,
    // and final in fact.
    std::vector<bool> seen(static_cast<std::size_t>(strip.used), false); // a bit per triangle
    std::vector<std::int32_t> pending;
    const auto visit = [&](std::int32_t t) {
        auto mark = seen[static_cast<std::size_t>(t - strip.firstTriangle)];
        if (!mark) {
            mark = true;
            if (suspect(t)) {
                strip.suspects.push_back(t);
                pending.push_back(t);
            }
        }
    };
    for (std::int32_t t = strip.firstTriangle; t < end; ++t) {
        if (isGhost(t)) {
            visit(t);
            visit(triangleOf(halfedges[3 * t])); // across from the infinite corner
        }
    }
    while (!pending.empty()) {
        const std::int32_t t = pending.back();
        pending.pop_back();
        for (std::int32_t e = 3 * t; e < 3 * t + 3; ++e) {
            const std::int32_t u = triangleOf(halfedges[e]);
            if (!isGhost(u)) {
                visit(u);
            }
        }
    }
    std::sort(strip.suspects.begin(), strip.suspects.end());
    for (const std::int32_t t : strip.suspects) {
        for (int k = 0; k < 3; ++k) {
            const std::int32_t v = vertices[3 * t + k];
            if (v != kInfinite) {
                strip.seam.push_back(v);
            }
        }
    }
    std::sort(strip.seam.begin(), strip.seam.end());
    strip.seam.erase(std::unique(strip.seam.begin(), strip.seam.end()), strip.seam.end());
    for (const std::int32_t t : strip.suspects) {
        for (std::int32_t e = 3 * t; e < 3 * t + 3; ++e) {
            const std::int32_t f = halfedges[e];
            if (!std::binary_search(strip.suspects.begin(), strip.suspects.end(), triangleOf(f))) {
                strip.boundary.push_back(f);
            }
        }
    }
}

// Half-edge e of triangle e / 3 runs from the corner after the one it faces
// to the corner before it.
std::int32_t origin(const std::int32_t *vertices, std::int32_t e)
{
    return vertices[nextEdge(e)];
}

std::int32_t destination(const std::int32_t *vertices, std::int32_t e)
{
    return vertices[prevEdge(e)];
}

/*
 * The seam: the points of every suspect triangle, triangulated afresh. Its
 * triangles that lie where the suspect ones lay are exactly the missing
 * triangles of the whole set: each of those has an empty circle through
 * three seam points, and together they cover that region. They are found
 * by walking from the edges the final triangles leave open, never crossing
 * such an edge, and take the slots of the suspect triangles, of the strips'
 * unused slots and of the spare slots after the last strip.
 */
class Seam {
public:
    Seam(std::vector<Strip> &strips, std::size_t n, Point2 *xy, std::int32_t *vertices, std::int32_t *halfedges)
        : strips_(strips), n_(n), xy_(xy), vertex_(vertices), twin_(halfedges)
    {
    }

    // Whether the seam is small enough to pay; if not, nothing is changed.
    [[nodiscard]] bool stitch();

private:
    [[nodiscard]] std::int32_t local(std::int32_t global) const;
    [[nodiscard]] std::int32_t find(std::int32_t from, std::int32_t to) const;
    void fill(std::vector<std::int32_t> &slots) const;

    std::vector<Strip> &strips_;
    std::size_t n_;
    Point2 *xy_;
    std::int32_t *vertex_;
    std::int32_t *twin_;

    std::vector<std::int32_t> seam_;       // global vertices, ascending
    std::vector<std::int32_t> localOf_;    // position in seam_ -> local vertex
    std::vector<std::int32_t> globalOf_;   // local vertex -> global vertex
    std::vector<std::int32_t> vertices_;   // the seam's own triangulation
    std::vector<std::int32_t> halfedges_;
    std::vector<std::int32_t> incident_;   // local vertex -> a half-edge leaving it
};

std::int32_t Seam::local(std::int32_t global) const
{
    if (global == kInfinite) {
        return kInfinite;
    }
    const auto at = std::lower_bound(seam_.begin(), seam_.end(), global);
    return localOf_[static_cast<std::size_t>(at - seam_.begin())];
}

// The seam's half-edge from -> to (local vertices, at most one infinite), or
// -1 if there is none; found among the triangles around its finite end.
std::int32_t Seam::find(std::int32_t from, std::int32_t to) const
{
    const std::int32_t *const v = vertices_.data();
    const std::int32_t pivot = from != kInfinite ? from : to;
    const std::int32_t start = incident_[static_cast<std::size_t>(pivot)];
    std::int32_t e = start; // leaves pivot
    for (std::size_t steps = 0; steps < vertices_.size(); ++steps) {
        const std::int32_t t = triangleOf(e);
        for (std::int32_t f = 3 * t; f < 3 * t + 3; ++f) {
            if (origin(v, f) == from && destination(v, f) == to) {
                return f;
            }
        }
        // prev(e) enters pivot; its twin leaves it in the next triangle around.
        e = halfedges_[static_cast<std::size_t>(prevEdge(e))];
        if (e == start) {
            break;
        }
    }
    return -1;
}

// Every slot the seam's triangles may take, in a fixed order.
void Seam::fill(std::vector<std::int32_t> &slots) const
{
    std::int32_t spare = 0;
    for (const Strip &strip : strips_) {
        slots.insert(slots.end(), strip.suspects.begin(), strip.suspects.end());
        const std::int32_t unused = strip.firstTriangle + static_cast<std::int32_t>(2 * strip.count - 2);
        for (std::int32_t t = strip.firstTriangle + strip.used; t < unused; ++t) {
            slots.push_back(t);
        }
        spare = unused;
    }
    for (std::int32_t t = spare; t < static_cast<std::int32_t>(2 * n_ - 2); ++t) {
        slots.push_back(t);
    }
}

bool Seam::stitch()
{
    for (const Strip &strip : strips_) {
        seam_.insert(seam_.end(), strip.seam.begin(), strip.seam.end());
    }
    const std::size_t m = seam_.size();
    if (m < 3 || m > n_ / kMaximumSeamFraction) {
        return false;
    }
    faultPoint(0, kStitching);

    // Order and triangulate the seam's points as a set of their own.
    std::vector<PointRecord> records(m);
    for (std::size_t i = 0; i < m; ++i) {
        const Point2 p = xy_[seam_[i]];
        records[i] = PointRecord{p.x, p.y, 0};
    }
    std::vector<Point2> xy(m);
    std::vector<std::int32_t> position(m); // local vertex -> 1 + position in seam_
    {
        std::vector<std::uint64_t> keys(2 * m);
        spatialOrder(records, boundingBox(records), xy, position, keys);
    }
    localOf_.resize(m);
    globalOf_.resize(m);
    for (std::size_t k = 0; k < m; ++k) {
        const auto at = static_cast<std::size_t>(position[k] - 1);
        localOf_[at] = static_cast<std::int32_t>(k);
        globalOf_[k] = seam_[at];
    }
    vertices_.resize(3 * (2 * m - 2));
    halfedges_.resize(vertices_.size());
    Triangulator builder(xy.data(), position.data(), vertices_.data(), halfedges_.data(), 0);
    const std::int32_t used = builder.build(0, static_cast<std::int32_t>(m));
    if (used == 0) {
        return false;
    }
    incident_.assign(m, -1);
    for (std::int32_t e = 0; e < 3 * used; ++e) {
        const std::int32_t from = origin(vertices_.data(), e);
        if (from != kInfinite) {
            incident_[static_cast<std::size_t>(from)] = e;
        }
    }

    // Each open edge of the final triangles, seen from the seam's side.
    std::vector<std::int32_t> across(halfedges_.size(), -1); // seam half-edge -> final half-edge
    std::vector<std::int32_t> pending;
    for (const Strip &strip : strips_) {
        for (const std::int32_t f : strip.boundary) {
            const std::int32_t e = find(local(destination(vertex_, f)), local(origin(vertex_, f)));
            if (e < 0) {
                return false; // cannot happen; the caller then inserts the points instead
            }
            across[static_cast<std::size_t>(e)] = f;
            pending.push_back(triangleOf(e));
        }
    }
    if (pending.empty()) {
        return false;
    }
    // The seam's triangles between the final ones.
    std::vector<std::int32_t> slotOf(static_cast<std::size_t>(used), -1);
    std::vector<std::int32_t> inside;
    std::vector<std::int32_t> slots;
    fill(slots);
    while (!pending.empty()) {
        const std::int32_t t = pending.back();
        pending.pop_back();
        if (slotOf[static_cast<std::size_t>(t)] >= 0) {
            continue;
        }
        if (inside.size() == slots.size()) {
            return false; // more triangles than room: cannot happen either
        }
        slotOf[static_cast<std::size_t>(t)] = slots[inside.size()];
        inside.push_back(t);
        for (std::int32_t e = 3 * t; e < 3 * t + 3; ++e) {
            if (across[static_cast<std::size_t>(e)] < 0) {
                pending.push_back(triangleOf(halfedges_[static_cast<std::size_t>(e)]));
            }
        }
    }

    // Into the shared arrays, linked to each other and to the final ones.
    for (const std::int32_t t : inside) {
        const std::int32_t into = slotOf[static_cast<std::size_t>(t)];
        for (std::int32_t k = 0; k < 3; ++k) {
            const auto e = static_cast<std::size_t>(3 * t + k);
            const std::int32_t v = vertices_[e];
            vertex_[3 * into + k] = v == kInfinite ? kInfinite : globalOf_[static_cast<std::size_t>(v)];
            const std::int32_t f = across[e];
            if (f >= 0) {
                twin_[3 * into + k] = f;
                twin_[f] = 3 * into + k;
            } else {
                const std::int32_t g = halfedges_[e];
                twin_[3 * into + k] = 3 * slotOf[static_cast<std::size_t>(triangleOf(g))] + cornerOf(g);
            }
        }
    }
    for (std::size_t i = inside.size(); i < slots.size(); ++i) {
        vertex_[3 * slots[i]] = kDead;
    }
    return true;
}

} // namespace

std::int32_t triangulateInStrips(std::span<const PointRecord> points, Box box, int strips, Point2 *xy,
                                 std::int32_t *slot, std::int32_t *vertices, std::int32_t *halfedges)
{
    noteOutcome(StripOutcome::Unsplit);
    std::vector<Strip> parts = cutIntoStrips(points, box, strips);
    if (parts.size() < 2) {
        return 0;
    }
    runConcurrently(static_cast<int>(parts.size()), [&](int j) {
        buildStrip(points, box, parts, static_cast<std::size_t>(j), xy, slot, vertices, halfedges);
    });
    if (std::any_of(parts.begin(), parts.end(), [](const Strip &strip) { return strip.used == 0; })) {
        return 0; // a strip without a triangle: all its points on one line
    }
    const std::size_t n = points.size();
    Seam seam(parts, n, xy, vertices, halfedges);
    if (seam.stitch()) {
        noteOutcome(StripOutcome::Stitched);
        return static_cast<std::int32_t>(2 * n - 2);
    }
    noteOutcome(StripOutcome::Grown);
    // The strips overlap too much: the first one's triangulation grows by
    // the other points, in their strips' order, into the slots after it.
    Strip &first = parts.front();
    return first.firstTriangle + first.builder->insert(static_cast<std::int32_t>(first.count),
                                                                 static_cast<std::int32_t>(n));
}

} // namespace vantrel
