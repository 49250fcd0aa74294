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
                               bool oneThread)
{
    const std::size_t n = points.size();
    if (allCollinear(points)) {
        return 0;
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
    }
    if (used == 0) {
        vantrel::spatialOrder(points, box, {xy, n}, {slot, n}, {reinterpret_cast<std::uint64_t *>(shared), 2 * n});
        used = vantrel::triangulate({xy, n}, {slot, n}, {vertices, entries}, {halfedges, entries});
    }

    // Ghosts (the infinite vertex) and empty slots have a negative corner 0.
    const auto isTriangle = [vertices](std::int32_t t) { return vertices[3 * t] >= 0; };
    if (!lentVertices) {
        // Lent, the array had room for every triangle; otherwise nothing may
        // be written unless the real ones fit.
        std::size_t real = 0;
        for (std::int32_t t = 0; t < used; ++t) {
            real += isTriangle(t) ? 1U : 0U;
        }
        if (real > triangles.size()) {
            return VANTREL_E_CAPACITY;
        }
    }
    std::size_t out = 0;
    for (std::int32_t t = 0; t < used; ++t) {
        if (!isTriangle(t)) {
            continue;
        }
        const std::int32_t a = slot[static_cast<std::size_t>(vertices[3 * t])];
        const std::int32_t b = slot[static_cast<std::size_t>(vertices[3 * t + 1])];
        const std::int32_t c = slot[static_cast<std::size_t>(vertices[3 * t + 2])];
        triangles[out++] = TriangleRecord{a, b, c};
    }
    return static_cast<std::int32_t>(out);
}

std::int32_t triangulateChecked(std::int32_t pointCount, std::int32_t triangleCapacity, std::int32_t pointCapacity,
                                const PointRecord *points, TriangleRecord *triangles, std::int32_t flag) noexcept
{
    if (pointCount < 0 || triangleCapacity < 0 || pointCapacity < 0 || pointCount > pointCapacity) {
        return VANTREL_E_ARGUMENT;
    }
    if ((pointCount > 0 && points == nullptr) || (pointCount >= 3 && triangles == nullptr)) {
        return VANTREL_E_NULL;
    }
    if ((flag & VANTREL_FLAG_DELAUNAY) == 0 || (flag & ~(VANTREL_FLAG_DELAUNAY | VANTREL_FLAG_ONE_THREAD)) != 0) {
        return VANTREL_E_FLAG;
    }
    if (pointCount > VANTREL_MAX_POINTS) {
        return VANTREL_E_NOMEM;
    }
    if (pointCount < 3) {
        return 0;
    }
    try {
        // Slot 0 is never touched: from here on, index 0 is slot 1.
        const std::span<const PointRecord> input(points + 1, static_cast<std::size_t>(pointCount));
        const std::span<TriangleRecord> output(triangles + 1, static_cast<std::size_t>(triangleCapacity));
        return triangulatePoints(input, output, (flag & VANTREL_FLAG_ONE_THREAD) != 0);
    } catch (const std::bad_alloc &) {
        return VANTREL_E_NOMEM;
    } catch (...) {
        // Nothing else is thrown by this code; should the standard library
        // report an allocation failure some other way, it is still memory.
        return VANTREL_E_NOMEM;
    }
}

} // namespace

// The declaration in vantrel.h is C and cannot say noexcept; the checked
// function it forwards to can, and catches everything.
extern "C" VANTREL_API int32_t VANTREL_CALL Triangulate(int32_t pointCount, int32_t triangleCapacity,
                                                        int32_t pointCapacity, PointRecord *points,
                                                        TriangleRecord *triangles, int32_t flag)
{
    return triangulateChecked(pointCount, triangleCapacity, pointCapacity, points, triangles, flag);
}
