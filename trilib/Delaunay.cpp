#include "Delaunay.h"

#include <algorithm>
#include <cstddef>
#include <memory>

namespace vantrel {
namespace {

// Half-edges are never negative: unsigned division by 3 is a multiply, and
// the arithmetic form keeps the compiler from branching on the corner.
[[nodiscard]] inline std::int32_t nextEdge(std::int32_t e) noexcept
{
    return e + 1 - 3 * static_cast<std::int32_t>(static_cast<std::uint32_t>(e) % 3U == 2U);
}

[[nodiscard]] inline std::int32_t prevEdge(std::int32_t e) noexcept
{
    return e - 1 + 3 * static_cast<std::int32_t>(static_cast<std::uint32_t>(e) % 3U == 0U);
}

[[nodiscard]] inline std::int32_t triangleOf(std::int32_t e) noexcept
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(e) / 3U);
}

// Where point location ended.
enum class Where {
    Inside,   // strictly inside a real triangle: result is the triangle
    OnEdge,   // in the interior of an edge: result is a half-edge of a real triangle
    AtVertex, // coincides with a vertex: result is that vertex
    Outside,  // strictly outside the hull: result is half-edge 0 of a ghost
              // whose hull edge the point strictly sees
};

class Builder {
public:
    Builder(std::span<const Point2> xy, std::span<std::int32_t> slot, std::int32_t *vertices,
            std::int32_t *halfedges)
        : points_(xy.data()), slot_(slot.data()), vertex_(vertices), twin_(halfedges), count_(xy.size())
    {
        stack_ = std::make_unique_for_overwrite<std::int32_t[]>(stackCapacity_);
    }

    std::int32_t run();

private:
    void insert(std::int32_t p);
    Where locate(Point2 p, std::int32_t &result);
    Where classify(std::int32_t e, int s0, int s1, int s2, std::int32_t &result) const;
    void splitTriangle(std::int32_t t, std::int32_t p);
    void splitEdge(std::int32_t e, std::int32_t p);
    void insertOutside(std::int32_t ghostEdge, std::int32_t p);
    void legalize(std::int32_t p);

    void push(std::int32_t e)
    {
        if (stackSize_ == stackCapacity_) {
            growStack();
        }
        stack_[stackSize_++] = e;
    }

    void growStack();

    void link(std::int32_t e, std::int32_t f) noexcept
    {
        twin_[e] = f;
        twin_[f] = e;
    }

    void setTriangle(std::int32_t t, std::int32_t a, std::int32_t b, std::int32_t c) noexcept
    {
        vertex_[3 * t] = a;
        vertex_[3 * t + 1] = b;
        vertex_[3 * t + 2] = c;
    }

    [[nodiscard]] Point2 at(std::int32_t v) const noexcept { return points_[v]; }

    // xorshift32: enough randomness for the walk, no state beyond the call.
    std::uint32_t nextRandom() noexcept
    {
        random_ ^= random_ << 13;
        random_ ^= random_ >> 17;
        random_ ^= random_ << 5;
        return random_;
    }

    const Point2 *points_;
    std::int32_t *slot_;
    std::int32_t *vertex_;
    std::int32_t *twin_;
    std::size_t count_;
    std::int32_t triangles_ = 0; // triangles in use, ghosts included
    std::int32_t last_ = 0;      // a real triangle near the last insertion
    std::uint32_t random_ = 2463534242U;
    // Half-edges whose Delaunay test is pending. It grows by doubling: one
    // insertion can push as many edges as the new vertex gets neighbours.
    std::unique_ptr<std::int32_t[]> stack_;
    std::size_t stackSize_ = 0;
    std::size_t stackCapacity_ = 1024;
};

std::int32_t Builder::run()
{
    const auto n = static_cast<std::int32_t>(count_);
    // The first triangle: the first point, the first one different from it,
    // and the first one off their line. Skipped points are inserted later.
    const std::int32_t i0 = 0;
    std::int32_t i1 = 1;
    while (i1 < n && at(i1) == at(i0)) {
        ++i1;
    }
    if (i1 == n) {
        return 0;
    }
    std::int32_t i2 = i1 + 1;
    int turn = 0;
    while (i2 < n && (turn = orient2d(at(i0), at(i1), at(i2))) == 0) {
        ++i2;
    }
    if (i2 == n) {
        return 0;
    }
    const std::int32_t second = turn > 0 ? i1 : i2;
    const std::int32_t third = turn > 0 ? i2 : i1;
    setTriangle(0, i0, second, third);
    setTriangle(1, second, i0, kInfinite);
    setTriangle(2, third, second, kInfinite);
    setTriangle(3, i0, third, kInfinite);
    link(0, 3);  // i0 -> second
    link(1, 6);  // second -> third
    link(2, 9);  // third -> i0
    link(4, 11); // i0 -> inf | inf -> i0
    link(5, 7);  // inf -> second | second -> inf
    link(8, 10); // inf -> third | third -> inf
    triangles_ = 4;
    last_ = 0;

    for (std::int32_t p = 0; p < n; ++p) {
        if (p != i0 && p != i1 && p != i2) {
            insert(p);
        }
    }
    return triangles_;
}

void Builder::insert(std::int32_t p)
{
    std::int32_t found = 0;
    switch (locate(at(p), found)) {
    case Where::Inside:
        splitTriangle(found, p);
        break;
    case Where::OnEdge:
        splitEdge(found, p);
        break;
    case Where::Outside:
        insertOutside(found, p);
        break;
    case Where::AtVertex:
        slot_[found] = std::min(slot_[found], slot_[p]);
        return;
    }
    legalize(p);
}

void Builder::growStack()
{
    auto grown = std::make_unique_for_overwrite<std::int32_t[]>(2 * stackCapacity_);
    std::copy(stack_.get(), stack_.get() + stackSize_, grown.get());
    stack_ = std::move(grown);
    stackCapacity_ *= 2;
}

// Visibility walk from the last triangle: cross any edge that has p strictly
// on its right, never back through the edge just crossed, trying the two
// candidates in random order. The randomness is what makes the walk end on
// every triangulation; in a Delaunay one it would end anyway.
Where Builder::locate(Point2 p, std::int32_t &result)
{
    std::int32_t e = 3 * last_;
    Point2 a = at(vertex_[e]);
    Point2 b = at(vertex_[e + 1]);
    {
        // The start triangle has no known side: test all three edges.
        const Point2 c = at(vertex_[e + 2]);
        const int sideAb = orient2d(a, b, p);
        const int sideBc = sideAb < 0 ? 0 : orient2d(b, c, p);
        const int sideCa = (sideAb < 0 || sideBc < 0) ? 0 : orient2d(c, a, p);
        if (sideBc < 0) {
            e += 1;
            a = b;
            b = c;
        } else if (sideCa < 0) {
            e += 2;
            b = a;
            a = c;
        } else if (sideAb >= 0) {
            return classify(e, sideAb, sideBc, sideCa, result);
        }
    }
    // Invariant: p is strictly right of half-edge e = a -> b.
    for (;;) {
        const std::int32_t f = twin_[e]; // b -> a, p strictly left of it
        const std::int32_t fBc = nextEdge(f);
        const std::int32_t fCa = prevEdge(f);
        const std::int32_t apex = vertex_[fCa];
        if (apex == kInfinite) {
            result = f;
            return Where::Outside;
        }
        const Point2 c = at(apex);
        // Triangle (b, a, c): edges f = b -> a, fBc = a -> c, fCa = c -> b.
        // Both tests are made and the choice is arithmetic: a branch on the
        // random bit would be mispredicted half the time.
        const int sideAc = orient2d(a, c, p);
        const int sideCb = orient2d(c, b, p);
        const bool crossAc = sideAc < 0;
        const bool crossCb = sideCb < 0;
        if (crossAc || crossCb) {
            const bool viaAc = crossAc && (!crossCb || (nextRandom() & 1U) != 0);
            e = viaAc ? fBc : fCa;
            a = viaAc ? a : c;
            b = viaAc ? c : b;
        } else {
            return classify(f, 1, sideAc, sideCb, result);
        }
    }
}

// p is in the closed triangle of half-edge e, whose three half-edges e,
// next, prev have p on their left or on their line (signs s0, s1, s2 >= 0).
Where Builder::classify(std::int32_t e, int s0, int s1, int s2, std::int32_t &result) const
{
    const int zeros = (s0 == 0) + (s1 == 0) + (s2 == 0);
    if (zeros == 0) {
        result = triangleOf(e);
        return Where::Inside;
    }
    if (zeros == 1) {
        result = s0 == 0 ? e : (s1 == 0 ? nextEdge(e) : prevEdge(e));
        return Where::OnEdge;
    }
    // On the lines of two edges: the corner they share, which is where the
    // earlier of the two (in cyclic order) ends.
    const std::int32_t corner = s0 != 0 ? prevEdge(e) : (s1 != 0 ? e : nextEdge(e));
    result = vertex_[corner];
    return Where::AtVertex;
}

// p strictly inside t = (a, b, c): three triangles around p, t reused for
// the first. Corner 2 of each is p, so half-edge 0 is the old outer edge.
void Builder::splitTriangle(std::int32_t t, std::int32_t p)
{
    const std::int32_t a = vertex_[3 * t];
    const std::int32_t b = vertex_[3 * t + 1];
    const std::int32_t c = vertex_[3 * t + 2];
    const std::int32_t outerBc = twin_[3 * t + 1];
    const std::int32_t outerCa = twin_[3 * t + 2];
    const std::int32_t t1 = triangles_;
    const std::int32_t t2 = triangles_ + 1;
    triangles_ += 2;

    vertex_[3 * t + 2] = p;
    setTriangle(t1, b, c, p);
    setTriangle(t2, c, a, p);
    link(3 * t1, outerBc);
    link(3 * t2, outerCa);
    link(3 * t + 1, 3 * t1 + 2);
    link(3 * t + 2, 3 * t2 + 1);
    link(3 * t1 + 1, 3 * t2 + 2);

    push(3 * t);
    push(3 * t1);
    push(3 * t2);
    last_ = t;
}

/*
 * p in the interior of half-edge e = a -> b of t = (a, b, c), whose twin
 * b -> a lies in u = (b, a, d). Each side splits in two:
 *
 *              c                            c
 *            /   \                        / | \
 *          /   t   \                    / T1|T2 \
 *        a --- p --- b       ==>      a --- p --- b
 *          \   u   /                    \ U1|U2 /
 *            \   /                        \ | /
 *              d                            d
 *
 * When u is a ghost (d is infinite, p on a hull edge), its halves stay
 * ghosts and keep the infinite vertex in corner 2.
 */
void Builder::splitEdge(std::int32_t e, std::int32_t p)
{
    const std::int32_t t = triangleOf(e);
    const std::int32_t eBc = nextEdge(e);
    const std::int32_t eCa = prevEdge(e);
    const std::int32_t a = vertex_[e];
    const std::int32_t b = vertex_[eBc];
    const std::int32_t c = vertex_[eCa];
    const std::int32_t outerBc = twin_[eBc];
    const std::int32_t outerCa = twin_[eCa];
    const std::int32_t f = twin_[e];
    const std::int32_t u = triangleOf(f);
    const std::int32_t t2 = triangles_;
    const std::int32_t u2 = triangles_ + 1;
    triangles_ += 2;

    // T1 = (c, a, p) in t, T2 = (b, c, p).
    setTriangle(t, c, a, p);
    setTriangle(t2, b, c, p);
    link(3 * t, outerCa);
    link(3 * t2, outerBc);
    link(3 * t + 2, 3 * t2 + 1);
    push(3 * t);
    push(3 * t2);

    if (isGhost(vertex_, u)) {
        // u = (b, a, inf) with f = 3u. U1 = (p, a, inf) in u, U2 = (b, p, inf).
        const std::int32_t outerInfB = twin_[3 * u + 2];
        setTriangle(u, p, a, kInfinite);
        setTriangle(u2, b, p, kInfinite);
        link(3 * u, 3 * t + 1);
        link(3 * u + 2, 3 * u2 + 1);
        link(3 * u2, 3 * t2 + 2);
        link(3 * u2 + 2, outerInfB);
    } else {
        const std::int32_t fAd = nextEdge(f);
        const std::int32_t fDb = prevEdge(f);
        const std::int32_t d = vertex_[fDb];
        const std::int32_t outerAd = twin_[fAd];
        const std::int32_t outerDb = twin_[fDb];
        // U1 = (a, d, p) in u, U2 = (d, b, p).
        setTriangle(u, a, d, p);
        setTriangle(u2, d, b, p);
        link(3 * u, outerAd);
        link(3 * u2, outerDb);
        link(3 * u + 1, 3 * u2 + 2);
        link(3 * t + 1, 3 * u + 2);
        link(3 * t2 + 2, 3 * u2 + 1);
        push(3 * u);
        push(3 * u2);
    }
    last_ = t;
}

// p strictly outside the hull and strictly right of the hull edge a -> b,
// whose ghost g = (b, a, inf) has half-edge 0 = ghostEdge. g becomes the
// real triangle (b, a, p) and two new ghosts (p, a, inf), (b, p, inf) close
// the fan. Then, on each side, while p also strictly sees the next hull
// edge, the ghost of that edge becomes real in the same way and the new
// ghost slides over it. Collinear hull edges are not seen, so points on
// the hull's lines stay hull vertices.
void Builder::insertOutside(std::int32_t ghostEdge, std::int32_t p)
{
    const std::int32_t g = triangleOf(ghostEdge);
    const std::int32_t b = vertex_[3 * g];
    const std::int32_t a = vertex_[3 * g + 1];
    const std::int32_t outerA = twin_[3 * g + 1]; // inf -> a of the ghost before
    const std::int32_t outerB = twin_[3 * g + 2]; // b -> inf of the ghost after
    const std::int32_t left = triangles_;
    const std::int32_t right = triangles_ + 1;
    triangles_ += 2;

    vertex_[3 * g + 2] = p;
    setTriangle(left, p, a, kInfinite);
    setTriangle(right, b, p, kInfinite);
    link(3 * g + 1, 3 * left);
    link(3 * g + 2, 3 * right);
    link(3 * left + 1, outerA);
    link(3 * left + 2, 3 * right + 1);
    link(3 * right + 2, outerB);
    push(3 * g);
    last_ = g;

    const Point2 q = at(p);
    // Clockwise: left = (p, a, inf); the ghost before it is (a, z, inf).
    for (;;) {
        const std::int32_t before = triangleOf(twin_[3 * left + 1]);
        const std::int32_t hullA = vertex_[3 * left + 1];
        const std::int32_t z = vertex_[3 * before + 1];
        if (orient2d(at(z), at(hullA), q) >= 0) {
            break;
        }
        const std::int32_t outerZ = twin_[3 * before + 1];
        const std::int32_t inner = twin_[3 * left]; // a -> p in a real triangle
        vertex_[3 * before + 2] = p;                 // (a, z, p)
        vertex_[3 * left + 1] = z;                   // left = (p, z, inf)
        link(inner, 3 * before + 2);
        link(3 * before + 1, 3 * left);
        link(3 * left + 1, outerZ);
        push(3 * before);
    }
    // Counter-clockwise: right = (b, p, inf); the ghost after it is (c, b, inf).
    for (;;) {
        const std::int32_t after = triangleOf(twin_[3 * right + 2]);
        const std::int32_t hullB = vertex_[3 * right];
        const std::int32_t c = vertex_[3 * after];
        if (orient2d(at(hullB), at(c), q) >= 0) {
            break;
        }
        const std::int32_t outerC = twin_[3 * after + 2];
        const std::int32_t inner = twin_[3 * right]; // p -> b in a real triangle
        vertex_[3 * after + 2] = p;                   // (c, b, p)
        vertex_[3 * right] = c;                       // right = (c, p, inf)
        link(inner, 3 * after + 1);
        link(3 * after + 2, 3 * right);
        link(3 * right + 2, outerC);
        push(3 * after);
    }
}

/*
 * Lawson's flips. Every pending half-edge e = a -> b lies in a triangle
 * (a, b, p) whose corner opposite e is the new point p. If the apex q of the
 * triangle across e is strictly inside the circle through a, b, p, the edge
 * is illegal and is replaced by the diagonal p - q:
 *
 *              q                            q
 *            /   \                        / | \
 *          /   u   \                    /   |   \
 *        b --------- a      ==>       b  u  |  t  a
 *          \   t   /                    \   |   /
 *            \   /                        \ | /
 *              p                            p
 *
 *   t = (a, b, p), u = (b, a, q)  ->  t = (a, q, p), u = (b, p, q)
 *
 * after which the edges a -> q and q -> b face p and are tested in turn.
 * Only strictly positive tests flip, so four or more co-circular points
 * cannot make the flips cycle; hull edges (a ghost across) never flip.
 */
void Builder::legalize(std::int32_t p)
{
    // Locals, not members: stores through the int32 arrays could otherwise
    // alias the members and force reloads in this, the hottest loop.
    std::int32_t *const vertex = vertex_;
    std::int32_t *const twin = twin_;
    const Point2 *const points = points_;
    const Point2 point = points[p];
    std::size_t size = stackSize_;
    while (size != 0) {
        const std::int32_t e = stack_[--size];
        const std::int32_t f = twin[e];
        const std::int32_t f2 = prevEdge(f);
        const std::int32_t q = vertex[f2];
        if (q == kInfinite) {
            continue; // a ghost across: f is its half-edge 0, corner 2 is infinite
        }
        const std::int32_t e1 = nextEdge(e);
        const std::int32_t a = vertex[e];
        const std::int32_t b = vertex[e1];
        if (inCircle(points[a], points[b], point, points[q]) <= 0) {
            continue;
        }
        const std::int32_t f1 = nextEdge(f);
        const std::int32_t outerAq = twin[f1];
        const std::int32_t outerBp = twin[e1];
        vertex[e1] = q;
        vertex[f1] = p;
        twin[e] = outerAq;
        twin[outerAq] = e;
        twin[f] = outerBp;
        twin[outerBp] = f;
        twin[e1] = f1;
        twin[f1] = e1;
        if (size + 2 > stackCapacity_) {
            stackSize_ = size;
            growStack();
        }
        stack_[size] = e;
        stack_[size + 1] = f2;
        size += 2;
    }
    stackSize_ = 0;
}

} // namespace

std::int32_t triangulate(std::span<const Point2> xy, std::span<std::int32_t> slot, std::span<std::int32_t> vertices,
                         std::span<std::int32_t> halfedges)
{
    Builder builder(xy, slot, vertices.data(), halfedges.data());
    return builder.run();
}

} // namespace vantrel
