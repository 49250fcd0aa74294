// Triangulate.cpp - the library's only entry point; see vantrel.h.
#include "vantrel.h"

#include "Delaunay.h"
#include "SpatialSort.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <span>

namespace {

using vantrel::Point2;

// The triangulation proper, arguments already checked, at least 3 points.
// Working storage per point: 12 bytes of sorted copy, 24 of half-edges and,
// only when the caller's triangle array is too small to lend it, 24 of
// corner indices; the sort's 16 bytes are gone before the half-edges come.
std::int32_t triangulatePoints(std::span<const PointRecord> points, std::span<TriangleRecord> triangles)
{
    const std::size_t n = points.size();
    auto xy = std::make_unique_for_overwrite<Point2[]>(n);
    auto slot = std::make_unique_for_overwrite<std::int32_t[]>(n);
    vantrel::spatialOrder(points, {xy.get(), n}, {slot.get(), n});

    const std::size_t triangleBound = 2 * n - 2; // ghosts included
    const std::size_t entries = 3 * triangleBound;
    auto halfedges = std::make_unique_for_overwrite<std::int32_t[]>(entries);
    // A triangle record is three contiguous int32 corners, exactly what the
    // corner array holds per triangle; with room for every triangle the
    // caller's array serves as that array and the result is compacted in
    // place (record k is written only after records up to k are read).
    std::unique_ptr<std::int32_t[]> ownVertices;
    std::int32_t *vertices = nullptr;
    if (triangles.size() >= triangleBound) {
        vertices = &triangles[0].a;
    } else {
        ownVertices = std::make_unique_for_overwrite<std::int32_t[]>(entries);
        vertices = ownVertices.get();
    }

    const std::int32_t used = vantrel::triangulate({xy.get(), n}, {slot.get(), n}, {vertices, entries},
                                                   {halfedges.get(), entries});
    halfedges.reset();
    std::size_t real = 0;
    for (std::int32_t t = 0; t < used; ++t) {
        real += vantrel::isGhost(vertices, t) ? 0U : 1U;
    }
    if (real > triangles.size()) {
        return VANTREL_E_CAPACITY;
    }
    std::size_t out = 0;
    for (std::int32_t t = 0; t < used; ++t) {
        if (vantrel::isGhost(vertices, t)) {
            continue;
        }
        const std::int32_t a = slot[static_cast<std::size_t>(vertices[3 * t])];
        const std::int32_t b = slot[static_cast<std::size_t>(vertices[3 * t + 1])];
        const std::int32_t c = slot[static_cast<std::size_t>(vertices[3 * t + 2])];
        triangles[out++] = TriangleRecord{a, b, c};
    }
    return static_cast<std::int32_t>(real);
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
    if (flag != VANTREL_FLAG_DELAUNAY) {
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
        return triangulatePoints(input, output);
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
