// Delaunay.h - incremental Delaunay triangulation on flat index arrays.
//
// Storage. Triangle t owns the entries 3t, 3t + 1, 3t + 2 of two arrays:
//   vertices[3t + k]    corner k (an index into the points), corners in
//                       counter-clockwise order (orient2d > 0, y up);
//   halfedges[3t + k]   the twin of half-edge 3t + k, the side of t opposite
//                       corner k, which runs from corner k + 1 to corner
//                       k + 2 (mod 3). The twin runs the other way in the
//                       neighbouring triangle.
// Numbering each side after the corner it faces puts the apex across a
// half-edge e at vertices[halfedges[e]]: one load, no division by 3, on the
// path every Delaunay test and every walk step takes.
//
// Ghost triangles. Outside the convex hull lies one vertex at infinity,
// kInfinite. Every hull edge a -> b (interior to its left) has a ghost
// triangle (kInfinite, b, a) on its other side, the infinite vertex always
// in corner 0, so half-edge 0 of a ghost is its hull edge, b -> a, and the
// ghosts form a closed fan around infinity:
//
//                       kInfinite
//                      /    |    \         ghost (inf, b, a): half-edge 1
//            ghost   /      |      \  ghost   is a -> inf, twin of the
//                  / (inf,b,a) (inf,a,z) \    neighbouring ghost's
//                /          |          \      half-edge 2, inf -> a.
//           ... b --------- a --------- z ...
//                   real triangles
//
// Every half-edge therefore has a twin, point location never falls off the
// mesh, and with m distinct points there are exactly 2m - 2 triangles,
// ghosts included, of which the h ghosts (one per hull edge; collinear hull
// points are kept as vertices) are dropped from the result: 2m - 2 - h.
#ifndef VANTREL_DELAUNAY_H
#define VANTREL_DELAUNAY_H

#include "Predicates.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#if defined(__GNUC__)
#define VANTREL_INLINE [[gnu::always_inline]] inline
#else
#define VANTREL_INLINE inline
#endif

namespace vantrel {

inline constexpr std::int32_t kInfinite = -1;

[[nodiscard]] inline bool isGhost(const std::int32_t *vertices, std::int32_t triangle) noexcept
{
    return vertices[3 * triangle] == kInfinite;
}

// The corner a half-edge faces, 0, 1 or 2. Half-edges are never negative:
// the unsigned division by 3 is a multiplication.
[[nodiscard]] inline std::int32_t cornerOf(std::int32_t e) noexcept
{
    const auto u = static_cast<std::uint32_t>(e);
    return static_cast<std::int32_t>(u - 3U * (u / 3U));
}

// next and prev in shifts rather than comparisons: given "corner == 2" the
// compiler emits a branch on the corner, which is mispredicted a third of
// the time in the flip loop.
[[nodiscard]] inline std::int32_t nextEdge(std::int32_t e) noexcept
{
    return e + 1 - 3 * (cornerOf(e) >> 1);
}

[[nodiscard]] inline std::int32_t prevEdge(std::int32_t e) noexcept
{
    return e + 2 - 3 * ((cornerOf(e) + 1) >> 1);
}

[[nodiscard]] inline std::int32_t triangleOf(std::int32_t e) noexcept
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(e) / 3U);
}

// Builds a triangulation by inserting points one at a time, in the order
// given (see SpatialSort.h), into arrays it shares with its caller. Several
// builders may work at once on disjoint parts of the same arrays: one
// builder's points are the indices [first, last) of xy and slot, and its
// triangles are numbered from firstTriangle on, 2 (last - first) - 2 of them
// at most, ghosts included. Vertex indices in the mesh are indices of xy.
//
// Coincident points are merged into the vertex inserted first; that vertex
// takes the lowest slot value of the group (slot is updated in place).
// Member functions throw std::bad_alloc only if the flip stack cannot grow.
//
// A builder's members change with every insertion. Builders working at once
// on other threads must not share a cache line (or the pair of lines that a
// core's prefetcher fetches together): when they did, whenever the heap put
// two side by side, each insertion bounced the line between the cores and
// both threads ran at about half speed. So a builder starts on, and fills,
// whole 128-byte blocks, and its flip stack starts inside it.
class alignas(128) Triangulator {
public:
    Triangulator(const Point2 *xy, std::int32_t *slot, std::int32_t *vertices, std::int32_t *halfedges,
                 std::int32_t firstTriangle);
    Triangulator(const Triangulator &) = delete; // the stack may point into the object
    Triangulator &operator=(const Triangulator &) = delete;

    // Triangulates the points first .. last - 1 into an empty mesh. Returns
    // the number of triangles used, ghosts included: 2m - 2 for m distinct
    // points, or 0 when there are fewer than three distinct points or all
    // are collinear (then the arrays hold nothing meaningful).
    [[nodiscard]] std::int32_t build(std::int32_t first, std::int32_t last);

    // Inserts the points first .. last - 1 into the mesh a successful build
    // made; its triangles go on from where it ended. Returns the number of
    // triangles used since firstTriangle.
    [[nodiscard]] std::int32_t insert(std::int32_t first, std::int32_t last);

private:
    // Where point location ended.
    enum class Where {
        Inside,   // strictly inside a real triangle: result is the triangle
        OnEdge,   // in the interior of an edge: result is a half-edge of a real triangle
        AtVertex, // coincides with a vertex: result is that vertex
        Outside,  // strictly outside the hull: result is half-edge 0 of a ghost
                  // whose hull edge the point strictly sees
    };

    // The insertion loop is one function, with everything an ordinary
    // insertion does inlined into it: the compiler then keeps the arrays and
    // the point in registers across the steps.
    void insertRange(std::int32_t first, std::int32_t last, std::int32_t skip0, std::int32_t skip1,
                     std::int32_t skip2);
    VANTREL_INLINE void insert(std::int32_t p);
    VANTREL_INLINE Where locate(Point2 p, std::int32_t &result);
    VANTREL_INLINE Where classify(std::int32_t e, int s0, int s1, int s2, std::int32_t &result) const;
    VANTREL_INLINE void splitTriangle(std::int32_t t, std::int32_t p);
    void splitEdge(std::int32_t e, std::int32_t p);
    void insertOutside(std::int32_t ghostEdge, std::int32_t p);
    VANTREL_INLINE void legalize(std::int32_t p);
    VANTREL_INLINE void legalizeSplit(std::int32_t p, std::int32_t t0, std::int32_t t1, std::int32_t t2);
    VANTREL_INLINE void drain(std::int32_t p, Point2 point, std::size_t size);
    VANTREL_INLINE std::size_t legalizeFrom(std::int32_t p, Point2 point, std::int32_t e, std::int32_t f,
                                            bool knownIllegal, std::size_t size);

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

    static constexpr std::size_t kInitialStack = 16;

    const Point2 *points_;
    std::int32_t *slot_;
    std::int32_t *vertex_;
    std::int32_t *twin_;
    std::int32_t first_;         // the first triangle of this builder
    std::int32_t triangles_;     // one past the last triangle in use, ghosts included
    std::int32_t last_ = 0;      // a real triangle near the last insertion
    std::uint32_t random_ = 2463534242U;
    // Half-edges whose Delaunay test is pending: in initialStack_ until it
    // overflows, then in grownStack_, which grows by doubling. A million
    // uniform or gridded points had at most 15 pending at once, points on a
    // circle a few more; the bound is the number of neighbours one insertion
    // gives its new vertex.
    std::int32_t *stack_;
    std::size_t stackSize_ = 0;
    std::size_t stackCapacity_ = kInitialStack;
    std::unique_ptr<std::int32_t[]> grownStack_;
    std::int32_t initialStack_[kInitialStack];
};

// Triangulates all of xy with one builder from triangle 0: see build().
// vertices and halfedges each hold 3 * (2 * xy.size() - 2) entries, with
// 2 <= xy.size() and 6 * xy.size() within int32.
[[nodiscard]] std::int32_t triangulate(std::span<const Point2> xy, std::span<std::int32_t> slot,
                                       std::span<std::int32_t> vertices, std::span<std::int32_t> halfedges);

} // namespace vantrel

#endif // VANTREL_DELAUNAY_H
