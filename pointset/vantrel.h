/*
 * vantrel.h - the triangulation library's C interface.
 *
 * Triangulate computes the Delaunay triangulation of a set of integer
 * points held in caller-owned record arrays; TriangulateMesh computes the
 * same triangles and, with them, each triangle's neighbours and the convex
 * hull (see below, after Triangulate).
 *
 * Records (12 bytes each, little-endian 32-bit fields, no padding):
 *   PointRecord     { x, y, third }  position in any integer unit; "third"
 *                                    is never read or written by the library.
 *   TriangleRecord  { a, b, c }      three slot indices into the point array.
 *   NeighbourRecord { bc, ca, ab }   three slot indices into the triangle
 *                                    array (TriangulateMesh).
 *
 * Slots. All arrays are 1-based: slot 0 exists but is never read or written.
 * A "capacity" is the highest slot index the caller owns, so an array with
 * capacity k has k + 1 records (slots 0..k).
 *
 *   points     slots 1..pointCount hold the input points; slots up to
 *              pointCapacity may be read, never written. x and y are never
 *              changed.
 *   triangles  on success slots 1..t hold the result. The library may use
 *              slots 1..triangleCapacity as working storage during the call;
 *              their contents after a failed call are unspecified.
 *
 * Result (t >= 0 is the triangle count):
 *   - The Delaunay triangulation of the distinct input points, decided with
 *     exact arithmetic for every int32 coordinate: no tolerances.
 *   - Coincident points are merged; the lowest slot index among them is the
 *     one that appears in triangles, the others appear in none.
 *   - Fewer than three distinct points, or all of them on one line: t = 0.
 *   - No point lies strictly inside the circumcircle of any triangle.
 *   - The triangles are a function of the set of distinct points alone: the
 *     same for every order of the input, every repetition, every number of
 *     threads and every platform. Where four or more points lie on one
 *     circle with no point inside it, several triangulations of their
 *     polygon would be Delaunay; the library joins its corners as a fan from
 *     the least of them, the one with the smallest x and, among equal x, the
 *     smallest y (in a square grid: every cell split by the diagonal from its
 *     corner of smallest x and y). Formally: ties of the in-circle test are
 *     broken by lifting each point p to x^2 + y^2 - eps^r(p), r(p) its rank
 *     in that order, eps infinitesimal.
 *   - Orientation: every triangle (a, b, c) satisfies
 *         (xb - xa) * (yc - ya) - (yb - ya) * (xc - xa) > 0,
 *     i.e. counter-clockwise with y pointing up, which is clockwise as seen
 *     on a screen whose y axis points down.
 *   - With m distinct points of which h lie on the convex hull boundary
 *     (corners and points on hull edges alike), t = 2m - 2 - h.
 *   - The order of the triangles and the starting corner of each are
 *     unspecified.
 *
 * flag: VANTREL_FLAG_DELAUNAY, optionally with VANTREL_FLAG_ONE_THREAD.
 *   VANTREL_FLAG_DELAUNAY (1)    required: the Delaunay triangulation of
 *                                slots 1..pointCount, as described above.
 *   VANTREL_FLAG_ONE_THREAD (2)  all work on the calling thread. Without it
 *                                a large input (about 65 000 points and up)
 *                                is split among the cores the process may
 *                                run on (its CPU affinity), each on a thread
 *                                started and joined within the call; small
 *                                inputs run on the calling thread anyway.
 *                                The triangles are the same either way,
 *                                their order may differ.
 *   Any other bit answers VANTREL_E_FLAG.
 *
 * Error codes (negative results); nothing is written to triangles slots
 * beyond triangleCapacity, and nothing at all for argument errors:
 *   VANTREL_E_NOMEM     -1  memory for the working storage could not be had,
 *                           or the point count exceeds VANTREL_MAX_POINTS
 *   VANTREL_E_ARGUMENT  -2  a negative count or capacity, or pointCount above
 *                           pointCapacity
 *   VANTREL_E_NULL      -3  a null array where the call needs one: points with
 *                           pointCount > 0, triangles with pointCount >= 3
 *   VANTREL_E_FLAG      -4  an unknown flag
 *   VANTREL_E_CAPACITY  -5  the triangulation has more triangles than
 *                           triangleCapacity; 2 * pointCount always suffices
 *
 * Threads: the library keeps no state between calls. Calls from several
 * threads at once are safe as long as they use different arrays. A thread
 * the system refuses to start costs time, never the result.
 *
 * TriangulateMesh(pointCount, triangleCapacity, pointCapacity, points,
 *                 triangles, neighbours, hullCapacity, hull, hullLength, flag)
 *   The first five arguments and flag are Triangulate's, with the same
 *   meaning, checks and error codes, and the result is Triangulate's: the
 *   same t and the same triangles in slots 1..t, in the same order, with the
 *   same starting corners, as Triangulate returns for the same arguments on
 *   the same machine. In addition:
 *   neighbours  capacity triangleCapacity, like triangles (null allowed when
 *               pointCount < 3). On success, slot i describes triangle i:
 *                 bc  the triangle across its edge from b to c,
 *                 ca  the triangle across its edge from c to a,
 *                 ab  the triangle across its edge from a to b,
 *               each a slot 1..t of triangles, or 0 where that edge lies on
 *               the convex hull. The relation is symmetric: if triangle j is
 *               across edge (u, v) of triangle i, then triangle i is across
 *               edge (v, u) of triangle j. The library may use the slots up
 *               to triangleCapacity as working storage during the call.
 *   hull        slots 1..hullCapacity (null allowed when hullCapacity is 0).
 *               On success, slots 1..*hullLength hold the convex hull as
 *               point slots, counter-clockwise (y up), starting at its least
 *               point (smallest x, then smallest y). Every point on the
 *               hull's boundary is in it, corners and points along its edges
 *               alike; of coincident points only the lowest slot, as in the
 *               triangles. Degenerate sets, where t = 0: no points, no hull
 *               (length 0); one distinct point, that point; all distinct
 *               points on one line, all of them in order along the line,
 *               from the least to the greatest. pointCount always suffices
 *               as hullCapacity.
 *   hullLength  receives the hull's length, on success and with
 *               VANTREL_E_HULL_CAPACITY (then the capacity it would need);
 *               never null.
 *   Errors: Triangulate's, where VANTREL_E_CAPACITY covers neighbours too
 *   (they share triangleCapacity), VANTREL_E_NULL a null neighbours (with
 *   pointCount >= 3), hull (with hullCapacity > 0) or hullLength, and
 *   VANTREL_E_ARGUMENT a negative hullCapacity; moreover
 *     VANTREL_E_HULL_CAPACITY  -6  the hull has more points than
 *                                  hullCapacity.
 *   Nothing is written past any capacity; after a failure the contents of
 *   triangles, neighbours and hull are unspecified, and for argument errors
 *   nothing at all is written.
 * Nothing is printed; no C++ exception leaves the function.
 *
 * Linkage: libvantrel.so on Linux, vantrel.dll on Windows. On 32-bit Windows
 * both functions are __stdcall (the callee removes its arguments: 24 bytes
 * for Triangulate, 40 for TriangulateMesh) and are exported undecorated, as
 * "Triangulate" and "TriangulateMesh"; everywhere else they use the
 * platform's one C convention. VANTREL_CALL carries the convention into
 * every declaration, so C and C++ callers agree with the library.
 */
#ifndef VANTREL_H
#define VANTREL_H

#include <stdint.h>

/* _WIN32 without _WIN64: 32-bit Windows, whatever the compiler. */
#if defined(_WIN32) && !defined(_WIN64)
#define VANTREL_CALL __stdcall
#else
#define VANTREL_CALL
#endif

#if defined(_WIN32)
#if defined(VANTREL_BUILDING)
#define VANTREL_API __declspec(dllexport)
#else
#define VANTREL_API __declspec(dllimport)
#endif
#elif defined(VANTREL_BUILDING)
#define VANTREL_API __attribute__((visibility("default")))
#else
#define VANTREL_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct PointRecord {
    int32_t x;
    int32_t y;
    int32_t third;
} PointRecord;

typedef struct TriangleRecord {
    int32_t a;
    int32_t b;
    int32_t c;
} TriangleRecord;

typedef struct NeighbourRecord {
    int32_t bc;
    int32_t ca;
    int32_t ab;
} NeighbourRecord;

enum {
    VANTREL_FLAG_DELAUNAY = 1,
    VANTREL_FLAG_ONE_THREAD = 2
};

enum {
    VANTREL_E_NOMEM = -1,
    VANTREL_E_ARGUMENT = -2,
    VANTREL_E_NULL = -3,
    VANTREL_E_FLAG = -4,
    VANTREL_E_CAPACITY = -5,
    VANTREL_E_HULL_CAPACITY = -6
};

/* Largest pointCount the library accepts; above it the result is VANTREL_E_NOMEM. */
#define VANTREL_MAX_POINTS 300000000

/* The exported names, for callers that look them up at run time. */
#define VANTREL_ENTRY_NAME "Triangulate"
#define VANTREL_MESH_ENTRY_NAME "TriangulateMesh"

/* Library file name the demonstration program loads. On Linux it is the
   soname: an installed system has that name from the runtime package, while
   libvantrel.so is only the development package's link for the linker. */
#if defined(_WIN32)
#define VANTREL_LIBRARY_FILE "vantrel.dll"
#else
#define VANTREL_LIBRARY_FILE "libvantrel.so.1"
#endif

typedef int32_t(VANTREL_CALL *TriangulateFn)(int32_t pointCount, int32_t triangleCapacity,
                                             int32_t pointCapacity, PointRecord *points,
                                             TriangleRecord *triangles, int32_t flag);

VANTREL_API int32_t VANTREL_CALL Triangulate(int32_t pointCount, int32_t triangleCapacity,
                                             int32_t pointCapacity, PointRecord *points,
                                             TriangleRecord *triangles, int32_t flag);

typedef int32_t(VANTREL_CALL *TriangulateMeshFn)(int32_t pointCount, int32_t triangleCapacity,
                                                 int32_t pointCapacity, PointRecord *points,
                                                 TriangleRecord *triangles, NeighbourRecord *neighbours,
                                                 int32_t hullCapacity, int32_t *hull, int32_t *hullLength,
                                                 int32_t flag);

VANTREL_API int32_t VANTREL_CALL TriangulateMesh(int32_t pointCount, int32_t triangleCapacity,
                                                 int32_t pointCapacity, PointRecord *points,
                                                 TriangleRecord *triangles, NeighbourRecord *neighbours,
                                                 int32_t hullCapacity, int32_t *hull, int32_t *hullLength,
                                                 int32_t flag);

#ifdef __cplusplus
} /* extern "C" */

#include <cstddef>
#include <type_traits>

static_assert(sizeof(PointRecord) == 12);
static_assert(offsetof(PointRecord, x) == 0);
static_assert(offsetof(PointRecord, y) == 4);
static_assert(offsetof(PointRecord, third) == 8);
static_assert(sizeof(TriangleRecord) == 12);
static_assert(offsetof(TriangleRecord, a) == 0);
static_assert(offsetof(TriangleRecord, b) == 4);
static_assert(offsetof(TriangleRecord, c) == 8);
static_assert(std::is_standard_layout_v<PointRecord> && std::is_trivially_copyable_v<PointRecord>);
static_assert(std::is_standard_layout_v<TriangleRecord> &&
              std::is_trivially_copyable_v<TriangleRecord>);
static_assert(sizeof(NeighbourRecord) == 12);
static_assert(offsetof(NeighbourRecord, bc) == 0);
static_assert(offsetof(NeighbourRecord, ca) == 4);
static_assert(offsetof(NeighbourRecord, ab) == 8);
#endif

#endif /* VANTREL_H */
