// Triangulate.cpp - the library's only entry point; see vantrel.h.
#include "vantrel.h"

#include "Delaunay.h"
#include "SpatialSort.h"
#include "Strips.h"
#include "Threads.h"
#include "Workspace.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <tuple>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

using vantrel::Point2;

struct AlignedDelete {
    std::align_val_t alignment;
    void operator()(std::byte *p) const noexcept { ::operator delete(p, alignment); }
};

using Workspace = std::unique_ptr<std::byte[], AlignedDelete>;

// One block for all working storage: pages are faulted in once, and the
// part that holds the sort keys is reused for the mesh. Aligned operator new
// rather than std::aligned_alloc, which the Windows C runtimes lack. On
// Linux, a block aligned to huge pages is offered to the kernel for
// transparent huge pages, which saves most of the page faults and TLB
// misses on a fresh block.
Workspace allocateWorkspace(const vantrel::WorkspaceLayout &layout)
{
    const std::align_val_t alignment{layout.alignment};
    auto *const block = static_cast<std::byte *>(::operator new(layout.bytes, alignment, std::nothrow));
    if (block == nullptr) {
        throw std::bad_alloc();
    }
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (layout.alignment == vantrel::kHugePage) {
        static_cast<void>(madvise(block, layout.bytes, MADV_HUGEPAGE)); // a hint; failure is harmless
    }
#endif
    return Workspace(block, AlignedDelete{alignment});
}

// Whether fewer than three distinct points or all of them on one line: then
// the answer is 0 and no memory is needed. Ordinary input answers within
// the first few points.
bool allCollinear(std::span<const PointRecord> points)
{
    const Point2 first{points[0].x, points[0].y};
    std::size_t i = 1;
    while (i < points.size() && Point2{points[i].x, points[i].y} == first) {
        ++i;
    }
    if (i == points.size()) {
        return true;
    }
    const Point2 second{points[i].x, points[i].y};
    for (++i; i < points.size(); ++i) {
        if (vantrel::orient2d(first, second, Point2{points[i].x, points[i].y}) != 0) {
            return false;
        }
    }
    return true;
}

// What TriangulateMesh asks for beyond the triangles; index 0 is slot 1.
struct MeshRequest {
    std::span<NeighbourRecord> neighbours; // as many as triangles
    std::span<std::int32_t> hull;
    std::int32_t *hullLength;
};

// The hull of points on one line or fewer than three distinct ones: the
// distinct points in (x, y) order, which is their order along the line,
// each under its lowest slot.
std::int32_t lineHull(std::span<const PointRecord> points, const MeshRequest &mesh)
{
    std::vector<std::int32_t> order(points.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<std::int32_t>(i);
    }
    const auto key = [&](std::int32_t i) {
        const PointRecord &p = points[static_cast<std::size_t>(i)];
        return std::tuple(p.x, p.y, i);
    };
    std::sort(order.begin(), order.end(), [&](std::int32_t i, std::int32_t j) { return key(i) < key(j); });
    std::size_t length = 0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const PointRecord &p = points[static_cast<std::size_t>(order[k])];
        const PointRecord *const previous = length == 0 ? nullptr : &points[static_cast<std::size_t>(order[length - 1])];
        if (previous == nullptr || previous->x != p.x || previous->y != p.y) {
            order[length++] = order[k];
        }
    }
    *mesh.hullLength = static_cast<std::int32_t>(length);
    if (length > mesh.hull.size()) {
        return VANTREL_E_HULL_CAPACITY;
    }
    for (std::size_t k = 0; k < length; ++k) {
        mesh.hull[k] = order[k] + 1;
    }
    return 0;
}

// The hull of a mesh: the ghosts' hull edges, in order around it. The ghost
// (inf, b, a) of hull edge a -> b is followed by the ghost of the edge from
// b, which lies across its half-edge 2, inf -> b.
std::int32_t meshHull(const std::int32_t *vertices, const std::int32_t *halfedges, std::int32_t used,
                      const Point2 *xy, const std::int32_t *slot, const MeshRequest &mesh)
{
    std::int32_t first = 0;
    while (vertices[3 * first] != vantrel::kInfinite) {
        ++first;
    }
    const auto next = [&](std::int32_t g) { return vantrel::triangleOf(halfedges[3 * g + 2]); };
    const auto from = [&](std::int32_t g) { return vertices[3 * g + 2]; };
    std::int32_t start = first;
    std::size_t length = 0;
    for (std::int32_t g = first;; g = next(g)) {
        ++length;
        const Point2 p = xy[from(g)];
        const Point2 least = xy[from(start)];
        if (vantrel::lexicographicallyLess(p, least)) {
            start = g;
        }
        if (next(g) == first || length > static_cast<std::size_t>(used)) {
            break;
        }
    }
    *mesh.hullLength = static_cast<std::int32_t>(length);
    if (length > mesh.hull.size()) {
        return VANTREL_E_HULL_CAPACITY;
    }
    std::int32_t g = start;
    for (std::size_t k = 0; k < length; ++k, g = next(g)) {
        mesh.hull[k] = slot[static_cast<std::size_t>(from(g))];
    }
    return 0;
}

// The finished mesh, before it is written out.
struct Result {
    const std::int32_t *vertices; // the caller's triangle array when lent
    const std::int32_t *halfedges;
    const std::int32_t *slot;     // sorted point -> point slot
    std::int32_t used;            // triangle slots holding the mesh, from 0
    bool lent;
};

/*
 * Writes the real triangles (ghosts and empty slots have a negative corner
 * 0) in the order of their slots, as point slots, and for TriangulateMesh
 * their neighbours; returns how many, or VANTREL_E_CAPACITY. resultSlot
 * (used entries, mesh only) receives each triangle's slot in the result.
 *
 * With parts > 1 the triangle slots are cut into that many runs, written
 * at once by as many threads, each from where the real triangles before its
 * run end: the result is the same as from one thread. A lent corner array
 * is the output itself, so record k may only be written once the run that
 * holds triangle k has read it. Within a run that holds by itself (a run
 * writes no further than it has read); a run's first few records may land
 * among the slots of the runs before it, as many as these have ghosts and
 * empty slots, and those are kept aside until every run has read its own.
 */
std::int32_t writeResult(const Result &result, std::span<TriangleRecord> triangles, const MeshRequest *mesh,
                         std::int32_t *resultSlot, int parts)
{
    const std::int32_t *const vertices = result.vertices;
    const auto isTriangle = [vertices](std::int32_t t) { return vertices[3 * t] >= 0; };
    const auto runs = static_cast<std::size_t>(std::clamp(parts, 1, std::max(1, result.used)));
    std::vector<std::int32_t> bound(runs + 1);
    for (std::size_t r = 0; r <= runs; ++r) {
        bound[r] = static_cast<std::int32_t>(std::int64_t{result.used} * static_cast<std::int64_t>(r) /
                                             static_cast<std::int64_t>(runs));
    }
    const auto each = [runs](const auto &task) {
        if (runs == 1) {
            task(0); // no thread, and nothing to allocate for one
        } else {
            vantrel::runConcurrently(static_cast<int>(runs), [&](int r) { task(static_cast<std::size_t>(r)); });
        }
    };

    // The real triangles in each run, and with a mesh each one's place in
    // its run, counted from 1 (0 for the others).
    std::vector<std::int32_t> first(runs + 1, 0); // where each run's records start
    if (runs > 1 || mesh != nullptr || !result.lent) {
        std::vector<std::int32_t> real(runs, 0);
        each([&](std::size_t r) {
            std::int32_t count = 0;
            for (std::int32_t t = bound[r]; t < bound[r + 1]; ++t) {
                const bool counted = isTriangle(t);
                count += counted ? 1 : 0;
                if (resultSlot != nullptr) {
                    resultSlot[t] = counted ? count : 0;
                }
            }
            real[r] = count;
        });
        for (std::size_t r = 0; r < runs; ++r) {
            first[r + 1] = first[r] + real[r];
        }
        // Lent, the array has room for every triangle; otherwise nothing may
        // be written unless the real ones fit.
        if (!result.lent && static_cast<std::size_t>(first[runs]) > triangles.size()) {
            return VANTREL_E_CAPACITY;
        }
    }
    if (mesh != nullptr && runs > 1) {
        each([&](std::size_t r) {
            if (r == 0) {
                return;
            }
            for (std::int32_t t = bound[r]; t < bound[r + 1]; ++t) {
                resultSlot[t] += resultSlot[t] != 0 ? first[r] : 0;
            }
        });
    }

    std::vector<std::vector<TriangleRecord>> aside(runs);
    for (std::size_t r = 0; r < runs; ++r) {
        if (result.lent && first[r] < bound[r]) {
            aside[r].resize(static_cast<std::size_t>(std::min(first[r + 1], bound[r]) - first[r]));
        }
    }
    std::vector<std::int32_t> written(runs, 0);
    each([&](std::size_t r) {
        const std::int32_t *const halfedges = result.halfedges;
        const std::int32_t *const slot = result.slot;
        // Half-edge 3t + k faces corner k: 0 faces a across bc, 1 ca, 2 ab.
        const auto across = [&](std::int32_t e) { return resultSlot[vantrel::triangleOf(halfedges[e])]; };
        const std::int32_t keptAside = first[r] + static_cast<std::int32_t>(aside[r].size());
        std::int32_t out = first[r];
        for (std::int32_t t = bound[r]; t < bound[r + 1]; ++t) {
            if (!isTriangle(t)) {
                continue;
            }
            if (mesh != nullptr) {
                mesh->neighbours[static_cast<std::size_t>(out)] =
                    NeighbourRecord{across(3 * t), across(3 * t + 1), across(3 * t + 2)};
            }
            const TriangleRecord record{slot[vertices[3 * t]], slot[vertices[3 * t + 1]], slot[vertices[3 * t + 2]]};
            if (out < keptAside) {
                aside[r][static_cast<std::size_t>(out - first[r])] = record;
            } else {
                triangles[static_cast<std::size_t>(out)] = record;
            }
            ++out;
        }
        written[r] = out;
    });
    for (std::size_t r = 0; r < runs; ++r) {
        std::copy(aside[r].begin(), aside[r].end(), triangles.begin() + first[r]);
    }
    return written[runs - 1];
}

// How many strips, one per thread, a call on n points uses: every core the
// process may run on, as long as each strip has enough points to repay its
// thread (see Strips.h).
int stripsFor(std::size_t n, bool oneThread)
{
    constexpr std::size_t kPointsPerStrip = 32768;
    if (oneThread || n < 2 * kPointsPerStrip) {
        return 1;
    }
    return static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(vantrel::usableCores()),
                                                  n / kPointsPerStrip));
}

// The triangulation proper, arguments already checked, at least 3 points.
// Working storage per point: 12 bytes of sorted copy, then 16 of sort keys
// that become 24 of half-edges and, only when the caller's triangle array
// is too small to lend it, 24 more of corner indices.
std::int32_t triangulatePoints(std::span<const PointRecord> points, std::span<TriangleRecord> triangles,
                               bool oneThread, const MeshRequest *mesh)
{
    const std::size_t n = points.size();
    if (allCollinear(points)) {
        return mesh != nullptr ? lineHull(points, *mesh) : 0;
    }
    const std::size_t triangleBound = 2 * n - 2; // ghosts included, below 2^30
    const std::size_t entries = 3 * triangleBound;
    // A triangle record is three contiguous int32 corners, exactly what the
    // corner array holds per triangle; with room for every triangle the
    // caller's array serves as that array and the result is compacted in
    // place (record k is written only after records up to k are read).
    const bool lentVertices = triangles.size() >= triangleBound;

    const std::optional<vantrel::WorkspaceLayout> layout = vantrel::planWorkspace(n, lentVertices);
    if (!layout) {
        return VANTREL_E_NOMEM;
    }
    const Workspace workspace = allocateWorkspace(*layout);
    std::byte *const base = workspace.get();
    // Aligned operator new gives suitably aligned storage in which these
    // arrays of implicit-lifetime types come into being as they are used.
    Point2 *const xy = reinterpret_cast<Point2 *>(base);
    std::int32_t *const slot = reinterpret_cast<std::int32_t *>(base + layout->slotOffset);
    std::byte *const shared = base + layout->sharedOffset;
    std::int32_t *const halfedges = reinterpret_cast<std::int32_t *>(shared);
    std::int32_t *const vertices = lentVertices ? &triangles[0].a : halfedges + entries;

    const vantrel::Box box = vantrel::boundingBox(points);
    const int strips = stripsFor(n, oneThread);
    std::int32_t used = 0; // triangle slots holding the mesh, from 0
    if (strips > 1) {
        used = vantrel::triangulateInStrips(points, box, strips, xy, slot, vertices, halfedges);
    } else {
        vantrel::noteOutcome(vantrel::StripOutcome::Unsplit);
    }
    if (used == 0) {
        vantrel::spatialOrder(points, box, {xy, n}, {slot, n}, {reinterpret_cast<std::uint64_t *>(shared), 2 * n});
        used = vantrel::triangulate({xy, n}, {slot, n}, {vertices, entries}, {halfedges, entries});
    }

    if (mesh != nullptr) {
        const std::int32_t code = meshHull(vertices, halfedges, used, xy, slot, *mesh);
        if (code < 0) {
            return code;
        }
    }
    const Result result{vertices, halfedges, slot, used, lentVertices};
    // Where the sorted points were: they are not needed any more.
    std::int32_t *const resultSlot = mesh != nullptr ? reinterpret_cast<std::int32_t *>(base) : nullptr;
    return writeResult(result, triangles, mesh, resultSlot, strips);
}

std::int32_t triangulateChecked(std::int32_t pointCount, std::int32_t triangleCapacity, const PointRecord *points, TriangleRecord *triangles, std::int32_t flag,
                                const MeshRequest *mesh) noexcept
{
    if ((flag & VANTREL_FLAG_DELAUNAY) == 0 || (flag & ~(VANTREL_FLAG_DELAUNAY | VANTREL_FLAG_ONE_THREAD)) != 0) {
        return VANTREL_E_FLAG;
    }
    if (pointCount > VANTREL_MAX_POINTS) {
        return VANTREL_E_NOMEM;
    }
    try {
        // Slot 0 is never touched: from here on, index 0 is slot 1.
        const std::span<const PointRecord> input =
            pointCount == 0 ? std::span<const PointRecord>() : std::span(points + 1, static_cast<std::size_t>(pointCount));
        if (pointCount < 3) {
            return mesh != nullptr ? lineHull(input, *mesh) : 0;
        }
        const std::span<TriangleRecord> output(triangles + 1, static_cast<std::size_t>(triangleCapacity));
        return triangulatePoints(input, output, (flag & VANTREL_FLAG_ONE_THREAD) != 0, mesh);
    } catch (const std::bad_alloc &) {
        return VANTREL_E_NOMEM;
    } catch (...) {
        // Nothing else is thrown by this code; should the standard library
        // report an allocation failure some other way, it is still memory.
        return VANTREL_E_NOMEM;
    }
}

// The checks both entry points share, in their order: counts, then arrays,
// then the flag.
bool validCounts(std::int32_t pointCount, std::int32_t triangleCapacity, std::int32_t pointCapacity) noexcept
{
    return pointCount >= 0 && triangleCapacity >= 0 && pointCapacity >= 0 && pointCount <= pointCapacity;
}

bool validArrays(std::int32_t pointCount, const PointRecord *points, const void *triangles) noexcept
{
    return (pointCount == 0 || points != nullptr) && (pointCount < 3 || triangles != nullptr);
}

} // namespace

// The declarations in vantrel.h are C and cannot say noexcept; the checked
// function they forward to can, and catches everything.
extern "C" VANTREL_API int32_t VANTREL_CALL Triangulate(int32_t pointCount, int32_t triangleCapacity,
                                                        int32_t pointCapacity, PointRecord *points,
                                                        TriangleRecord *triangles, int32_t flag)
{
    if (!validCounts(pointCount, triangleCapacity, pointCapacity)) {
        return VANTREL_E_ARGUMENT;
    }
    if (!validArrays(pointCount, points, triangles)) {
        return VANTREL_E_NULL;
    }
    return triangulateChecked(pointCount, triangleCapacity, points, triangles, flag, nullptr);
}

extern "C" VANTREL_API int32_t VANTREL_CALL TriangulateMesh(int32_t pointCount, int32_t triangleCapacity,
                                                            int32_t pointCapacity, PointRecord *points,
                                                            TriangleRecord *triangles, NeighbourRecord *neighbours,
                                                            int32_t hullCapacity, int32_t *hull,
                                                            int32_t *hullLength, int32_t flag)
{
    if (!validCounts(pointCount, triangleCapacity, pointCapacity) || hullCapacity < 0) {
        return VANTREL_E_ARGUMENT;
    }
    if (!validArrays(pointCount, points, triangles) || (pointCount >= 3 && neighbours == nullptr) ||
        (hullCapacity > 0 && hull == nullptr) || hullLength == nullptr) {
        return VANTREL_E_NULL;
    }
    const MeshRequest mesh{
        {neighbours == nullptr ? nullptr : neighbours + 1, neighbours == nullptr ? 0 : static_cast<std::size_t>(triangleCapacity)},
        {hull == nullptr ? nullptr : hull + 1, static_cast<std::size_t>(hullCapacity)},
        hullLength};
    return triangulateChecked(pointCount, triangleCapacity, points, triangles, flag, &mesh);
}
