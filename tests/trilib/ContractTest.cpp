// The calling contract of Triangulate: which slots it may touch, the result
// codes for bad arguments and its working storage.
#include "TrilibTest.h"
#include "Workspace.h"

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <functional>
#include <memory>

namespace trilibtest {
namespace {

// Address space backed only once touched, and unreadable until allowed: on
// Windows only reserved till then, so that it counts against no commit limit.
using Pages = std::unique_ptr<unsigned char, std::function<void(unsigned char*)>>;

#if defined(_WIN32)
const std::size_t kPage = [] {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return std::size_t{info.dwPageSize};
}();

Pages pages(std::size_t bytes) {
    void* p = VirtualAlloc(nullptr, bytes, MEM_RESERVE, PAGE_NOACCESS);
    return p == nullptr
               ? throw std::bad_alloc()
               : Pages(static_cast<unsigned char*>(p), [](unsigned char* q) { VirtualFree(q, 0, MEM_RELEASE); });
}

bool allow(unsigned char* p, std::size_t bytes) {
    return bytes == 0 || VirtualAlloc(p, bytes, MEM_COMMIT, PAGE_READWRITE) == p;
}
#else
const std::size_t kPage = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));

Pages pages(std::size_t bytes) {
    void* p = mmap(nullptr, bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    return p == MAP_FAILED ? throw std::bad_alloc()
                           : Pages(static_cast<unsigned char*>(p), [bytes](unsigned char* q) { munmap(q, bytes); });
}

bool allow(unsigned char* p, std::size_t bytes) { return mprotect(p, bytes, PROT_READ | PROT_WRITE) == 0; }
#endif

// A record array of slots 0..capacity between unreadable pages: with `atEnd`
// slot `capacity` ends at the last readable byte, otherwise slot 0 lies in the
// unreadable page before slot 1. A touch outside is a crash.
template <class Record>
Record* guarded(Pages& holder, std::size_t capacity, bool atEnd) {
    const std::size_t readable = ((capacity + (atEnd ? 1 : 0)) * sizeof(Record) + kPage - 1) / kPage * kPage;
    holder = pages(readable + 2 * kPage);
    unsigned char* const first = holder.get() + kPage;
    EXPECT_TRUE(allow(first, readable));
    return atEnd ? reinterpret_cast<Record*>(first + readable) - capacity - 1 : reinterpret_cast<Record*>(first) - 1;
}

// The hull of distinct points in general position (no three collinear on
// it, as for random points), by the monotone chain: 2n - 2 - h triangles.
Points hullOf(Points points) {
    std::ranges::sort(points, {}, [](const PointRecord& p) { return Corner{p.x, p.y}; });
    Points hull;
    for (const bool upper : {false, true}) {
        const std::size_t base = hull.size();
        for (std::size_t i = 0; i < points.size(); ++i) {
            const PointRecord& p = points[upper ? points.size() - 1 - i : i];
            while (hull.size() >= base + 2 && twiceArea(hull[hull.size() - 2], hull.back(), p) <= 0) hull.pop_back();
            hull.push_back(p);
        }
        hull.pop_back();
    }
    return hull;
}

// On 1024 points, which fill three pages exactly, both ends of the point
// array lie against unreadable memory. The exact triangle capacity suffices,
// one less fails with the capacity code, and 2n - 3 (room for every triangle,
// not for the mesh's working corners) works too, all without a touch outside.
// 98304 points (288 pages) take the same roads split among threads.
TEST(TrilibContract, GuardedArraysWithExactCapacityOneShortAndAlmostTwiceTheCount) {
    const std::vector<Points> sets{uniform(1024, -1000000000, 1000000000, 51), grid(32, 32, 3, pt(-40, -40)),
                                   withDuplicates(uniform(1024 - 200, 0, 10650, 52), 200, 53),
                                   line(1024, pt(-2000, 0), 5, 3), uniform(98304, 0, 1 << 24, 54)};
    for (const Points& points : sets) {
        const auto count = static_cast<std::int32_t>(points.size());
        const auto exact = static_cast<std::int32_t>(
            count < 2000 ? triangulate(points).size() : std::size_t(2 * count - 2) - hullOf(points).size());
        Pages pointPages, trianglePages;
        PointRecord* const slots = guarded<PointRecord>(pointPages, std::size_t(count), false);
        std::copy(points.begin(), points.end(), slots + 1);
        for (const bool atEnd : {true, false}) {
            for (const std::int32_t capacity : {exact, exact - 1, 2 * count - 3}) {
                if (capacity < 0) continue;
                SCOPED_TRACE(std::to_string(exact) + " triangles, capacity " + std::to_string(capacity) +
                             (atEnd ? " at" : " after") + " a guard");
                TriangleRecord* const out = guarded<TriangleRecord>(trianglePages, std::size_t(capacity), atEnd);
                const std::int32_t code = Triangulate(count, capacity, count, slots, out, VANTREL_FLAG_DELAUNAY);
                EXPECT_EQ(0, std::memcmp(points.data(), slots + 1, std::size_t(count) * sizeof(PointRecord)));
                ASSERT_EQ(code, capacity < exact ? VANTREL_E_CAPACITY : exact);
                if (code >= 0 && count < 2000) {
                    EXPECT_TRUE(isDelaunay(points, std::span(out + 1, std::size_t(code))));
                }
                // TriangulateMesh with its neighbours against a guard as well,
                // and a hull of exactly its length, then one short of it.
                Pages neighbourPages, hullPages;
                NeighbourRecord* const neighbours = guarded<NeighbourRecord>(neighbourPages, std::size_t(capacity), atEnd);
                std::int32_t length = 0;
                ASSERT_EQ(code, TriangulateMesh(count, capacity, count, slots, out, neighbours, count,
                                                guarded<std::int32_t>(hullPages, std::size_t(count), atEnd), &length,
                                                VANTREL_FLAG_DELAUNAY));
                if (code >= 0) {
                    const std::int32_t full = length;
                    EXPECT_EQ(VANTREL_E_HULL_CAPACITY,
                              TriangulateMesh(count, capacity, count, slots, out, neighbours, full - 1,
                                              guarded<std::int32_t>(hullPages, std::size_t(full - 1), atEnd), &length,
                                              VANTREL_FLAG_DELAUNAY));
                    EXPECT_EQ(full, length);
                }
            }
        }
    }
}

// One fault per row (or none): the order in which several are noticed is not
// part of the contract. The arrays hold the square (0,0) (10,0) (10,10) (0,10)
// or, with 'c' among the options, four collinear points; 'p' and 't' pass
// null for the points and the triangles. Argument errors write nothing at
// all, other calls nothing in slot 0 or past the capacity.
TEST(TrilibContract, ResultCodesAndUntouchedArrays) {
    const struct {
        const char* name;
        std::int32_t count, triangleCapacity, pointCapacity, flag;
        std::string_view options;
        std::int32_t expected;
    } cases[] = {
        {"NegativeCount", -1, 10, 5, 1, "", VANTREL_E_ARGUMENT},
        {"MostNegativeCount", kMin, 10, 5, 1, "", VANTREL_E_ARGUMENT},
        {"NegativeTriangleCapacity", 4, -1, 4, 1, "", VANTREL_E_ARGUMENT},
        {"MostNegativeTriangleCapacity", 4, kMin, 4, 1, "", VANTREL_E_ARGUMENT},
        {"NegativePointCapacity", 0, 8, -1, 1, "", VANTREL_E_ARGUMENT},
        {"CountAbovePointCapacity", 5, 10, 4, 1, "", VANTREL_E_ARGUMENT},
        {"NullPoints", 4, 8, 4, 1, "p", VANTREL_E_NULL},
        {"NullPointsForOnePoint", 1, 2, 1, 1, "p", VANTREL_E_NULL},
        {"NullTriangles", 4, 8, 4, 1, "t", VANTREL_E_NULL},
        {"NullTrianglesForThreeCollinear", 3, 6, 3, 1, "tc", VANTREL_E_NULL},
        {"FlagZero", 4, 8, 4, 0, "", VANTREL_E_FLAG},
        {"FlagTwo", 4, 8, 4, 2, "", VANTREL_E_FLAG},
        {"FlagFive", 4, 8, 4, 5, "", VANTREL_E_FLAG},
        {"FlagOneThread", 4, 8, 4, 3, "", 2},
        {"FlagMostNegative", 4, 8, 4, kMin, "", VANTREL_E_FLAG},
        {"FlagZeroWithNoPoints", 0, 0, 0, 0, "", VANTREL_E_FLAG},
        {"NoRoomForOneTriangle", 3, 0, 3, 1, "", VANTREL_E_CAPACITY},
        {"NoRoomForTwoTriangles", 4, 1, 4, 1, "", VANTREL_E_CAPACITY},
        {"NoRoomNeededWhenCollinear", 3, 0, 3, 1, "c", 0},
        {"NoArraysForNoPoints", 0, 0, 0, 1, "pt", 0},
        {"NoPointsWithSpareCapacity", 0, 0, 6, 1, "", 0},
        {"NoTrianglesArrayForTwoPoints", 2, 4, 2, 1, "t", 0},
        {"NoTrianglesArrayForOnePoint", 1, 0, 7, 1, "t", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Points points(std::size_t(std::clamp(c.pointCapacity, 0, 64)) + 5, kUntouchedPoint);
        const Points shape = c.options.find('c') != std::string_view::npos
                                 ? line(4, pt(0, 0), 1, 1)
                                 : Points{pt(0, 0), pt(10, 0), pt(10, 10), pt(0, 10)};
        std::copy(shape.begin(), shape.end(), points.begin() + 1);
        const Points before = points;
        // TriangulateMesh shares every check, with room for any hull.
        {
            std::vector<TriangleRecord> triangles(std::size_t(std::clamp(c.triangleCapacity, 0, 64)) + 5);
            std::vector<NeighbourRecord> neighbours(triangles.size());
            std::vector<std::int32_t> hull(9);
            std::int32_t length = 0;
            const bool nullTriangles = c.options.find('t') != std::string_view::npos;
            EXPECT_EQ(c.expected, TriangulateMesh(c.count, c.triangleCapacity, c.pointCapacity,
                                                  c.options.find('p') != std::string_view::npos ? nullptr : points.data(),
                                                  nullTriangles ? nullptr : triangles.data(),
                                                  nullTriangles ? nullptr : neighbours.data(), 8, hull.data(), &length,
                                                  c.flag));
        }
        std::vector<TriangleRecord> triangles(std::size_t(std::clamp(c.triangleCapacity, 0, 64)) + 5,
                                              kUntouchedTriangle);
        EXPECT_EQ(c.expected,
                  Triangulate(c.count, c.triangleCapacity, c.pointCapacity,
                              c.options.find('p') != std::string_view::npos ? nullptr : points.data(),
                              c.options.find('t') != std::string_view::npos ? nullptr : triangles.data(), c.flag));
        EXPECT_EQ(0, std::memcmp(before.data(), points.data(), points.size() * sizeof(PointRecord)));
        const bool argumentError = c.expected < 0 && c.expected != VANTREL_E_CAPACITY;
        const auto from = argumentError ? 1 : std::min<std::ptrdiff_t>(std::ssize(triangles), c.triangleCapacity + 1);
        EXPECT_TRUE(untouched(triangles[0]) && std::all_of(triangles.begin() + from, triangles.end(), untouched));
    }
}

// TriangulateMesh's own arguments, on the square (0,0) (10,0) (10,10) (0,10):
// its hull has 4 points. 'n', 'h' and 'l' pass null for the neighbours, the
// hull and the hull's length.
TEST(TrilibContract, MeshResultCodes) {
    const struct {
        const char* name;
        std::int32_t count, hullCapacity;
        std::string_view nulls;
        std::int32_t expected, length;
    } cases[] = {
        {"NullNeighbours", 4, 8, "n", VANTREL_E_NULL, -7},
        {"NullNeighboursForThreePoints", 3, 8, "n", VANTREL_E_NULL, -7},
        {"NullNeighboursForTwoPoints", 2, 8, "n", 0, 2},
        {"NullHull", 4, 8, "h", VANTREL_E_NULL, -7},
        {"NullHullOfNoPoints", 0, 0, "h", 0, 0},
        {"NullHullLength", 4, 8, "l", VANTREL_E_NULL, -7},
        {"NegativeHullCapacity", 4, -1, "", VANTREL_E_ARGUMENT, -7},
        {"HullOneShort", 4, 3, "", VANTREL_E_HULL_CAPACITY, 4},
        {"HullExact", 4, 4, "", 2, 4},
        {"OnePointNoRoom", 1, 0, "h", VANTREL_E_HULL_CAPACITY, 1},
        {"TwoPointsNoRoomForTheSecond", 2, 1, "", VANTREL_E_HULL_CAPACITY, 2},
        {"ThreeCollinearOfFour", 3, 3, "", 1, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Points points{kUntouchedPoint, pt(0, 0), pt(10, 0), pt(10, 10), pt(0, 10)};
        std::vector<TriangleRecord> triangles(9, kUntouchedTriangle);
        std::vector<NeighbourRecord> neighbours(9);
        std::vector<std::int32_t> hull(std::size_t(std::max(c.hullCapacity, 0)) + 3, -9);
        std::int32_t length = -7;
        const auto has = [&](char k) { return c.nulls.find(k) == std::string_view::npos; };
        EXPECT_EQ(c.expected, TriangulateMesh(c.count, 8, 4, points.data(), triangles.data(),
                                              has('n') ? neighbours.data() : nullptr, c.hullCapacity,
                                              has('h') ? hull.data() : nullptr, has('l') ? &length : nullptr,
                                              VANTREL_FLAG_DELAUNAY));
        EXPECT_EQ(c.length, length);
        EXPECT_TRUE(std::all_of(hull.begin() + std::max(c.hullCapacity, 0) + 1, hull.end(),
                                [](std::int32_t v) { return v == -9; }) &&
                    hull[0] == -9);
    }
}

// Too many points: the answer comes before a touch of the unreadable arrays.
// A 32-bit process cannot address the storage for large counts: the layout,
// computed alike on 64 bits, must be refused rather than wrap round small.
TEST(TrilibContract, TooManyPointsOrTooLargeAWorkspaceIsRefused) {
    for (const std::int32_t count : {VANTREL_MAX_POINTS + 1, kMax}) {
        const std::int32_t capacity = count > kMax / 2 ? kMax : 2 * count;
        const Pages points = pages((static_cast<std::size_t>(count) + 1) * sizeof(PointRecord));
        const Pages triangles = pages((static_cast<std::size_t>(capacity) + 1) * sizeof(TriangleRecord));
        EXPECT_EQ(VANTREL_E_NOMEM,
                  Triangulate(count, capacity, count, reinterpret_cast<PointRecord*>(points.get()),
                              reinterpret_cast<TriangleRecord*>(triangles.get()), VANTREL_FLAG_DELAUNAY))
            << count << " points";
    }
    for (const bool lent : {true, false}) {
        for (const std::uint64_t n : {std::uint64_t{VANTREL_MAX_POINTS}, std::uint64_t{120000000}})
            EXPECT_FALSE(vantrel::planWorkspace(n, lent, 0x7fffffff)) << n;
        EXPECT_TRUE(vantrel::planWorkspace(10000000, lent, 0x7fffffff));
        EXPECT_EQ(sizeof(void*) == 8, vantrel::planWorkspace(VANTREL_MAX_POINTS, lent).has_value());
    }
}

}  // namespace
}  // namespace trilibtest
