/*
 * vantrel.h - the triangulation library's C interface.
 *
 * One function, Triangulate, computes the Delaunay triangulation of a set of
 * integer points held in caller-owned record arrays.
 *
 * Records (12 bytes each, little-endian 32-bit fields, no padding):
 *   PointRecord    { x, y, third }  position in any integer unit; "third" is
 *                                   never read or written by the library.
 *   TriangleRecord { a, b, c }      three slot indices into the point array.
 *
 * Slots. Both arrays are 1-based: slot 0 exists but is never read or written.
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
 *   - Four or more co-circular points may be split either way; the result is
 *     always a valid Delaunay triangulation: no point lies strictly inside
 *     the circumcircle of any triangle.
 *   - Orientation: every triangle (a, b, c) satisfies
 *         (xb - xa) * (yc - ya) - (yb - ya) * (xc - xa) > 0,
 *     i.e. counter-clockwise with y pointing up, which is clockwise as seen
 *     on a screen whose y axis points down.
 *   - With m distinct points of which h lie on the convex hull boundary
 *     (corners and points on hull edges alike), t = 2m - 2 - h.
 *   - The order of the triangles and the starting corner of each are
 *     unspecified.
 *
 * flag:
 *   VANTREL_FLAG_DELAUNAY (1)  the only accepted value: Delaunay triangulation
 *                              of slots 1..pointCount, as described above.
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
 * threads at once are safe as long as they use different arrays.
 * Nothing is printed; no C++ exception leaves the function.
 *
 * Linkage: libvantrel.so on Linux, vantrel.dll on Windows. On 32-bit Windows
 * the function is __stdcall (the callee removes its 24 bytes of arguments)
 * and is exported undecorated, as "Triangulate"; everywhere else it uses the
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

enum {
    VANTREL_FLAG_DELAUNAY = 1
};

enum {
    VANTREL_E_NOMEM = -1,
    VANTREL_E_ARGUMENT = -2,
    VANTREL_E_NULL = -3,
    VANTREL_E_FLAG = -4,
    VANTREL_E_CAPACITY = -5
};

/* Largest pointCount the library accepts; above it the result is VANTREL_E_NOMEM. */
#define VANTREL_MAX_POINTS 300000000

/* The exported name, for callers that look it up at run time. */
#define VANTREL_ENTRY_NAME "Triangulate"

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
#endif

#endif /* VANTREL_H */
