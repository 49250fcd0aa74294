#include "Delaunay.h"

#include <algorithm>
#include <cstddef>
#include <memory>

namespace vantrel {
Triangulator::Triangulator(const Point2 *xy, std::int32_t *slot, std::int32_t *vertices, std::int32_t *halfedges,
                           std::int32_t firstTriangle)
    : points_(xy), slot_(slot), vertex_(vertices), twin_(halfedges), first_(firstTriangle), triangles_(firstTriangle),
      stack_(initialStack_)
{
}

std::int32_t Triangulator::build(std::int32_t first, std::int32_t last)
{
    const std::int32_t n = last;
    // The first triangle: the first point, the first one different from it,
    // and the first one off their line. Skipped points are inserted later.
    const std::int32_t i0 = first;
    std::int32_t i1 = first + 1;
    while (i1 < n && at(i1) == at(i0)) {
        ++i1;
    }
    if (i1 >= n) {
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
    // Half-edges of triangle 0: 0 = second -> third, 1 = third -> i0,
    // 2 = i0 -> second; each hull edge a -> b gets the ghost (inf, b, a).
    const std::int32_t t = first_;
    const std::int32_t e = 3 * t;
    setTriangle(t, i0, second, third);
    setTriangle(t + 1, kInfinite, second, i0);
    setTriangle(t + 2, kInfinite, third, second);
    setTriangle(t + 3, kInfinite, i0, third);
    link(e + 2, e + 3);  // i0 -> second
    link(e + 0, e + 6);  // second -> third
    link(e + 1, e + 9);  // third -> i0
    link(e + 4, e + 11); // i0 -> inf | inf -> i0
    link(e + 5, e + 7);  // inf -> second | second -> inf
    link(e + 8, e + 10); // inf -> third | third -> inf
    triangles_ = t + 4;
    last_ = t;

    insertRange(first, n, i0, i1, i2);
    return triangles_ - first_;
}

std::int32_t Triangulator::insert(std::int32_t first, std::int32_t last)
{
    insertRange(first, last, -1, -1, -1);
    return triangles_ - first_;
}

void Triangulator::insertRange(std::int32_t first, std::int32_t last, std::int32_t skip0, std::int32_t skip1,
                               std::int32_t skip2)
{
    for (std::int32_t p = first; p < last; ++p) {
        if (p != skip0 && p != skip1 && p != skip2) {
            insert(p);
        }
    }
}

void Triangulator::insert(std::int32_t p)
{
    std::int32_t found = 0;
    switch (locate(at(p), found)) {
    case Where::Inside:
        splitTriangle(found, p); // legalizes as well
        return;
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

void Triangulator::growStack()
{
    auto grown = std::make_unique_for_overwrite<std::int32_t[]>(2 * stackCapacity_);
    std::copy(stack_, stack_ + stackSize_, grown.get());
    grownStack_ = std::move(grown);
    stack_ = grownStack_.get();
    stackCapacity_ *= 2;
}

// Visibility walk from the last triangle: cross any edge that has p strictly
// on its right, never back through the edge just crossed, choosing at random
// when two qualify. The randomness is what makes the walk end on every
// triangulation; in a Delaunay one it would end anyway.
Triangulator::Where Triangulator::locate(Point2 p, std::int32_t &result)
{
    const std::int32_t base = 3 * last_;
    std::int32_t e = 0;
    Point2 a{};
    Point2 b{};
    {
        // The start triangle has no known side: test all three edges.
        // Half-edge base + 2 runs c0 -> c1, base c1 -> c2, base + 1 c2 -> c0.
        const Point2 c0 = at(vertex_[base]);
        const Point2 c1 = at(vertex_[base + 1]);
        const Point2 c2 = at(vertex_[base + 2]);
        // All three are evaluated: they overlap in the pipeline, and
        // stopping at the first negative one would cost a branch each.
        const int side01 = orient2d(c0, c1, p);
        const int side12 = orient2d(c1, c2, p);
        const int side20 = orient2d(c2, c0, p);
        if (side01 < 0) {
            e = base + 2;
            a = c0;
            b = c1;
        } else if (side12 < 0) {
            e = base;
            a = c1;
            b = c2;
        } else if (side20 < 0) {
            e = base + 1;
            a = c2;
            b = c0;
        } else {
            return classify(base + 2, side01, side12, side20, result);
        }
    }
    // Invariant: p is strictly right of half-edge e = a -> b.
    for (;;) {
        const std::int32_t f = twin_[e]; // b -> a, p strictly left of it
        const std::int32_t apex = vertex_[f];
        if (apex == kInfinite) {
            result = f;
            return Where::Outside;
        }
        const Point2 c = at(apex);
        // Triangle (c, b, a): f = b -> a, next(f) = a -> c, prev(f) = c -> b.
        // Both sides are tested before choosing, so that the coin is tossed
        // only when both qualify and the choice itself compiles to selects.
        const int sideAc = orient2d(a, c, p);
        const int sideCb = orient2d(c, b, p);
        const bool crossAc = sideAc < 0;
        const bool crossCb = sideCb < 0;
        if (crossAc || crossCb) {
            const std::int32_t fNext = nextEdge(f);
            const std::int32_t fPrev = prevEdge(f);
            const bool viaAc = crossAc && (!crossCb || (nextRandom() & 1U) != 0);
            e = viaAc ? fNext : fPrev;
            a = viaAc ? a : c;
            b = viaAc ? c : b;
        } else {
            return classify(f, 1, sideAc, sideCb, result);
        }
    }
}

// p is in the closed triangle of half-edge e: on the left of, or on the line
// of, e, next(e) and prev(e), with signs s0, s1, s2 >= 0.
Triangulator::Where Triangulator::classify(std::int32_t e, int s0, int s1, int s2, std::int32_t &result) const
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
    // On the lines of two sides: the corner they share, which is the corner
    // the third side faces.
    const std::int32_t facing = s0 != 0 ? e : (s1 != 0 ? nextEdge(e) : prevEdge(e));
    result = vertex_[facing];
    return Where::AtVertex;
}

// p strictly inside t = (a, b, c): three triangles around p, t reused for
// the first. Each has p in corner 0, so its half-edge 0 is an old side.
// Legalizes the result too (see legalizeSplit).
void Triangulator::splitTriangle(std::int32_t t, std::int32_t p)
{
    const std::int32_t a = vertex_[3 * t];
    const std::int32_t b = vertex_[3 * t + 1];
    const std::int32_t c = vertex_[3 * t + 2];
    const std::int32_t outerCa = twin_[3 * t + 1];
    const std::int32_t outerAb = twin_[3 * t + 2];
    const std::int32_t t1 = triangles_;
    const std::int32_t t2 = triangles_ + 1;
    triangles_ += 2;

    vertex_[3 * t] = p; // (p, b, c) keeps side b -> c as half-edge 0
    setTriangle(t1, p, c, a);
    setTriangle(t2, p, a, b);
    link(3 * t1, outerCa);
    link(3 * t2, outerAb);
    link(3 * t + 1, 3 * t1 + 2); // c -> p | p -> c
    link(3 * t + 2, 3 * t2 + 1); // p -> b | b -> p
    link(3 * t1 + 1, 3 * t2 + 2); // a -> p | p -> a

    last_ = t;
    legalizeSplit(p, t, t1, t2);
}

/*
 * p in the interior of half-edge e = a -> b of t, whose corner across e is
 * c; the twin b -> a lies in u, whose corner across it is d. Each side splits
 * in two, every new triangle with p in corner 0:
 *
 *              c                            c
 *            /   \                        / | \
 *          /   t   \                    / T1|T2 \
 *        a --- p --- b       ==>      a --- p --- b
 *          \   u   /                    \ U1|U2 /
 *            \   /                        \ | /
 *              d                            d
 *
 *   T1 = (p, c, a) in t, T2 = (p, b, c), U1 = (p, a, d) in u, U2 = (p, d, b)
 *
 * When u is a ghost (d is infinite, p on a hull edge), its halves stay
 * ghosts, (inf, p, a) and (inf, b, p), with the infinite vertex in corner 0.
 */
void Triangulator::splitEdge(std::int32_t e, std::int32_t p)
{
    const std::int32_t t = triangleOf(e);
    const std::int32_t c = vertex_[e];
    const std::int32_t a = vertex_[nextEdge(e)];
    const std::int32_t b = vertex_[prevEdge(e)];
    const std::int32_t outerBc = twin_[nextEdge(e)];
    const std::int32_t outerCa = twin_[prevEdge(e)];
    const std::int32_t f = twin_[e];
    const std::int32_t u = triangleOf(f);
    const std::int32_t d = vertex_[f];
    const std::int32_t t2 = triangles_;
    const std::int32_t u2 = triangles_ + 1;
    triangles_ += 2;

    if (d == kInfinite) {
        // u = (inf, b, a) with f = 3u: its half-edge 1, a -> inf, stays.
        const std::int32_t outerInfB = twin_[3 * u + 2];
        vertex_[3 * u + 1] = p; // (inf, p, a)
        setTriangle(u2, kInfinite, b, p);
        link(3 * u + 2, 3 * u2 + 1);  // inf -> p | p -> inf
        link(3 * u2 + 2, outerInfB); // inf -> b
        // The hull halves' twins, p -> a and b -> p, are linked below.
    } else {
        const std::int32_t outerAd = twin_[nextEdge(f)];
        const std::int32_t outerDb = twin_[prevEdge(f)];
        setTriangle(u, p, a, d);
        setTriangle(u2, p, d, b);
        link(3 * u, outerAd);
        link(3 * u2, outerDb);
        link(3 * u + 1, 3 * u2 + 2); // d -> p | p -> d
        push(3 * u);
        push(3 * u2);
    }
    setTriangle(t, p, c, a);
    setTriangle(t2, p, b, c);
    link(3 * t, outerCa);
    link(3 * t2, outerBc);
    link(3 * t + 2, 3 * t2 + 1); // p -> c | c -> p
    // a -> p and p -> b face U1 and U2, ghost or not: in a ghost half the
    // matching side is half-edge 0, in a real one half-edge 2 and 1.
    if (d == kInfinite) {
        link(3 * t + 1, 3 * u);
        link(3 * t2 + 2, 3 * u2);
    } else {
        link(3 * t + 1, 3 * u + 2);
        link(3 * t2 + 2, 3 * u2 + 1);
    }
    push(3 * t);
    push(3 * t2);
    last_ = t;
}

// p strictly outside the hull and strictly right of the hull edge a -> b,
// whose ghost g = (inf, b, a) has half-edge 0 = ghostEdge. Putting p in
// place of the infinite vertex makes g the real triangle (p, b, a), and two
// new ghosts (inf, p, a), (inf, b, p) close the fan. Then, on each side,
// while p also strictly sees the next hull edge, the ghost of that edge
// becomes real the same way and the new ghost slides over it. Collinear
// hull edges are not seen, so points on the hull's lines stay hull
// vertices.
void Triangulator::insertOutside(std::int32_t ghostEdge, std::int32_t p)
{
    const std::int32_t g = triangleOf(ghostEdge);
    const std::int32_t b = vertex_[3 * g + 1];
    const std::int32_t a = vertex_[3 * g + 2];
    const std::int32_t outerA = twin_[3 * g + 1]; // inf -> a of the ghost before
    const std::int32_t outerB = twin_[3 * g + 2]; // b -> inf of the ghost after
    const std::int32_t left = triangles_;
    const std::int32_t right = triangles_ + 1;
    triangles_ += 2;

    vertex_[3 * g] = p;
    setTriangle(left, kInfinite, p, a);
    setTriangle(right, kInfinite, b, p);
    link(3 * g + 1, 3 * left);  // a -> p | p -> a
    link(3 * g + 2, 3 * right); // p -> b | b -> p
    link(3 * left + 1, outerA);
    link(3 * left + 2, 3 * right + 1); // inf -> p | p -> inf
    link(3 * right + 2, outerB);
    push(3 * g);
    last_ = g;

    const Point2 q = at(p);
    // Clockwise: left = (inf, p, a); the ghost before it is (inf, a, z).
    for (;;) {
        const std::int32_t before = triangleOf(twin_[3 * left + 1]);
        const std::int32_t hullA = vertex_[3 * left + 2];
        const std::int32_t z = vertex_[3 * before + 2];
        if (orient2d(at(z), at(hullA), q) >= 0) {
            break;
        }
        const std::int32_t outerZ = twin_[3 * before + 1]; // inf -> z
        const std::int32_t inner = twin_[3 * left];        // a -> p in a real triangle
        vertex_[3 * before] = p;                           // (p, a, z)
        vertex_[3 * left + 2] = z;                         // left = (inf, p, z)
        link(inner, 3 * before + 2);                       // a -> p | p -> a
        link(3 * before + 1, 3 * left);                    // z -> p | p -> z
        link(3 * left + 1, outerZ);
        push(3 * before);
    }
    // Counter-clockwise: right = (inf, b, p); the ghost after it is (inf, c, b).
    for (;;) {
        const std::int32_t after = triangleOf(twin_[3 * right + 2]);
        const std::int32_t hullB = vertex_[3 * right + 1];
        const std::int32_t c = vertex_[3 * after + 1];
        if (orient2d(at(hullB), at(c), q) >= 0) {
            break;
        }
        const std::int32_t outerC = twin_[3 * after + 2]; // c -> inf
        const std::int32_t inner = twin_[3 * right];      // p -> b in a real triangle
        vertex_[3 * after] = p;                           // (p, c, b)
        vertex_[3 * right + 1] = c;                       // right = (inf, c, p)
        link(inner, 3 * after + 1);                       // p -> b | b -> p
        link(3 * after + 2, 3 * right);                   // p -> c | c -> p
        link(3 * right + 2, outerC);
        push(3 * after);
    }
}

/*
 * Lawson's flips. Every pending half-edge e = a -> b faces the new point p
 * (vertices[e] == p). If the apex q across e is inside the circle through
 * a, b, p, the edge is illegal and is replaced by the diagonal p - q:
 *
 *              q                            q
 *            /   \                        / | \
 *          /   u   \                    /   |   \
 *        b --------- a      ==>       b  u  |  t  a
 *          \   t   /                    \   |   /
 *            \   /                        \ | /
 *              p                            p
 *
 *   t = (p, a, b), u = (q, b, a)  ->  t = (p, a, q), u = (q, b, p)
 *
 * Each triangle changes one corner (b -> q in t, a -> p in u), so e still
 * faces p in t, now as a -> q, and the side of u across its new corner p is
 * q -> b: those two are tested next. Co-circular points are decided by the
 * symbolic perturbation of inCirclePerturbed, under which no four points
 * are co-circular: the flips cannot cycle, and they end at the one
 * triangulation the perturbation allows, whatever the order of insertion.
 * Hull edges (a ghost across) never flip.
 */
// Settles pending half-edge e, whose twin is f, and every edge its flips
// create: while e is illegal it is flipped and tested again at once (its new
// twin is still in a register), and the other new side goes on the stack.
// With knownIllegal the first test has been made by the caller. Returns the
// new stack size.
std::size_t Triangulator::legalizeFrom(std::int32_t p, Point2 point, std::int32_t e, std::int32_t f,
                                         bool knownIllegal, std::size_t size)
{
    // Locals, not members: stores through the int32 arrays could otherwise
    // alias the members and force reloads in this, the hottest loop.
    std::int32_t *const vertex = vertex_;
    std::int32_t *const twin = twin_;
    const Point2 *const points = points_;
    for (;;) {
        const std::int32_t q = vertex[f];
        const std::int32_t eNext = nextEdge(e); // b -> p, facing a
        const std::int32_t ePrev = prevEdge(e); // p -> a, facing b
        if (!knownIllegal) {
            if (q == kInfinite) {
                return size; // a hull edge: the ghost's half-edge 0 faces infinity
            }
            const std::int32_t a = vertex[eNext];
            const std::int32_t b = vertex[ePrev];
            if (!inCirclePerturbed(points[a], points[b], point, points[q])) {
                return size;
            }
        }
        knownIllegal = false;
        const std::int32_t fNext = nextEdge(f); // a -> q, facing b
        const std::int32_t fPrev = prevEdge(f); // q -> b, facing a
        const std::int32_t outerAq = twin[fNext];
        const std::int32_t outerBp = twin[eNext];
        vertex[ePrev] = q;
        vertex[fPrev] = p;
        twin[e] = outerAq;
        twin[outerAq] = e;
        twin[f] = outerBp;
        twin[outerBp] = f;
        twin[eNext] = fNext; // q -> p | p -> q
        twin[fNext] = eNext;
        if (size == stackCapacity_) {
            stackSize_ = size;
            growStack();
        }
        stack_[size++] = fPrev;
        f = outerAq;
    }
}

// Settles every pending half-edge on the stack, size entries deep.
void Triangulator::drain(std::int32_t p, Point2 point, std::size_t size)
{
    while (size != 0) {
        const std::int32_t e = stack_[--size];
        size = legalizeFrom(p, point, e, twin_[e], false, size);
    }
    stackSize_ = 0;
}

void Triangulator::legalize(std::int32_t p)
{
    drain(p, points_[p], stackSize_);
}

// After a split of a triangle: the three old sides, half-edge 0 of t0, t1
// and t2, are tested together before any is acted on. The three tests then
// run side by side, and a mispredicted flip decision on one does not throw
// away the work on the others. A result is used only if the triangle across
// is still the one tested (flips from an earlier side leave it alone in
// practice; the check is cheap insurance).
void Triangulator::legalizeSplit(std::int32_t p, std::int32_t t0, std::int32_t t1, std::int32_t t2)
{
    const std::int32_t *const vertex = vertex_;
    const std::int32_t *const twin = twin_;
    const Point2 *const points = points_;
    const Point2 point = points[p];
    const std::int32_t side[3] = {3 * t0, 3 * t1, 3 * t2};
    std::int32_t across[3];
    std::int32_t apex[3];
    bool illegal[3];
    for (int k = 0; k < 3; ++k) {
        const std::int32_t e = side[k];
        across[k] = twin[e];
        apex[k] = vertex[across[k]];
        illegal[k] = apex[k] != kInfinite &&
                     inCirclePerturbed(points[vertex[e + 1]], points[vertex[e + 2]], point, points[apex[k]]);
    }
    for (int k = 0; k < 3; ++k) {
        const std::int32_t e = side[k];
        std::size_t size = 0;
        if (twin[e] == across[k] && vertex[across[k]] == apex[k]) [[likely]] {
            if (illegal[k]) {
                size = legalizeFrom(p, point, e, across[k], true, size);
            }
        } else {
            size = legalizeFrom(p, point, e, twin[e], false, size);
        }
        drain(p, point, size);
    }
}

std::int32_t triangulate(std::span<const Point2> xy, std::span<std::int32_t> slot, std::span<std::int32_t> vertices,
                         std::span<std::int32_t> halfedges)
{
    Triangulator builder(xy.data(), slot.data(), vertices.data(), halfedges.data(), 0);
    return builder.build(0, static_cast<std::int32_t>(xy.size()));
}

} // namespace vantrel
