// The calling contract of Triangulate: which slots it may touch, the result
// codes for bad arguments, and calls from several threads at once.

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

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <utility>

namespace trilibtest {
namespace {

// Pages of address space with no access, or read-write ones that are
// backed only once touched: mmap on Linux, VirtualAlloc on Windows.
#if defined(_WIN32)
struct Unmap {
    std::size_t bytes;
    void operator()(unsigned char* p) const { VirtualFree(p, 0, MEM_RELEASE); }
};

std::size_t pageSize() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwPageSize;
}

// Committed pages count against the system's commit limit even untouched,
// so a mapping that must never be read is only reserved.
unsigned char* mapPages(std::size_t bytes, bool readable) {
    return static_cast<unsigned char*>(
        VirtualAlloc(nullptr, bytes, readable ? MEM_RESERVE | MEM_COMMIT : MEM_RESERVE,
                     readable ? PAGE_READWRITE : PAGE_NOACCESS));
}

bool protectNone(unsigned char* p, std::size_t bytes) {
    DWORD before = 0;
    return VirtualProtect(p, bytes, PAGE_NOACCESS, &before) != 0;
}
#else
struct Unmap {
    std::size_t bytes;
    void operator()(unsigned char* p) const { munmap(p, bytes); }
};

std::size_t pageSize() {
    return static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

unsigned char* mapPages(std::size_t bytes, bool readable) {
    void* p = mmap(nullptr, bytes, readable ? PROT_READ | PROT_WRITE : PROT_NONE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    return p == MAP_FAILED ? nullptr : static_cast<unsigned char*>(p);
}

bool protectNone(unsigned char* p, std::size_t bytes) {
    return mprotect(p, bytes, PROT_NONE) == 0;
}
#endif

using Mapping = std::unique_ptr<unsigned char, Unmap>;

// Address space only: pages are never touched unless someone reads them.
Mapping map(std::size_t bytes, bool readable = true) {
    unsigned char* p = mapPages(bytes, readable);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return Mapping(p, Unmap{bytes});
}

// Slot 0 of a record array between unreadable pages, and the mapping that
// holds it. With `atEnd` slot `capacity` ends at the last readable byte;
// otherwise slot 0 lies in the unreadable page before slot 1, and when slots
// 1..capacity fill whole pages the last one ends against the guard as well.
// A touch outside the promise is a segmentation fault.
template <class Record>
std::pair<Mapping, Record*> guarded(std::size_t capacity, bool atEnd) {
    static const std::size_t page = pageSize();
    const std::size_t pages = ((capacity + (atEnd ? 1 : 0)) * sizeof(Record) + page - 1) / page;
    Mapping mapping = map((pages + 2) * page);
    unsigned char* readable = mapping.get() + page;
    EXPECT_TRUE(protectNone(mapping.get(), page));
    EXPECT_TRUE(protectNone(readable + pages * page, page));
    Record* slot0 = atEnd ? reinterpret_cast<Record*>(readable + pages * page) - capacity - 1
                          : reinterpret_cast<Record*>(readable) - 1;
    return {std::move(mapping), slot0};
}

// 1024 points: slots 1..1024 fill exactly three pages, so both ends of the
// point array can sit against unreadable memory.
constexpr std::size_t kGuardedCount = 1024;

struct GuardedSet {
    const char* name;
    Points (*make)();
};

const GuardedSet kGuardedSets[] = {
    {"Random", [] { return uniform(kGuardedCount, -1000000000, 1000000000, 51); }},
    {"RandomWithDuplicates", [] { return withDuplicates(uniform(kGuardedCount - 200, 0, 10650, 52), 200, 53); }},
    {"Grid", [] { return grid(32, 32, 3, pt(-40, -40)); }},
    {"Collinear", [] { return line(kGuardedCount, pt(-2000, 0), 5, 3); }},
};

void PrintTo(const GuardedSet& c, std::ostream* out) { *out << c.name; }

class GuardedArrays : public ::testing::TestWithParam<GuardedSet> {};

// The exact triangle capacity suffices and one less fails with the capacity
// code, both without a touch outside the slots the call was given.
TEST_P(GuardedArrays, ExactCapacityAndOneShort) {
    const Points points = GetParam().make();
    ASSERT_EQ(kGuardedCount, points.size());
    const std::int32_t exact = triangulate(points).code;
    ASSERT_GE(exact, 0);
    const auto [pointPages, slots] = guarded<PointRecord>(kGuardedCount, false);
    std::copy(points.begin(), points.end(), slots + 1);
    const auto count = static_cast<std::int32_t>(kGuardedCount);
    for (const bool atEnd : {true, false}) {
        for (const std::int32_t capacity : {exact, exact - 1}) {
            if (capacity < 0) {
                continue;
            }
            SCOPED_TRACE("capacity " + std::to_string(capacity) + (atEnd ? " ending at a guard" : " after one"));
            const auto [trianglePages, out] = guarded<TriangleRecord>(static_cast<std::size_t>(capacity), atEnd);
            const std::int32_t code = Triangulate(count, capacity, count, slots, out, VANTREL_FLAG_DELAUNAY);
            EXPECT_EQ(0, std::memcmp(points.data(), slots + 1, kGuardedCount * sizeof(PointRecord)));
            if (capacity < exact) {
                EXPECT_EQ(VANTREL_E_CAPACITY, code);
            } else {
                ASSERT_EQ(exact, code);
                EXPECT_TRUE(isDelaunay(points, std::span(out + 1, static_cast<std::size_t>(code))));
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Trilib, GuardedArrays, ::testing::ValuesIn(kGuardedSets),
                         [](const auto& param) { return std::string(param.param.name); });

// The slots between the last point and the point capacity may hold anything;
// so may "third". Neither may change the result.
TEST(TrilibContract, SpareSlotsAndThirdFieldAreIgnored) {
    Points points = uniform(500, -50000, 50000, 61);
    const Outcome plain = triangulate(points);
    ASSERT_TRUE(isDelaunay(points, plain.triangles, true));
    EXPECT_EQ(canonical(plain.triangles), canonical(triangulate(points, 6).triangles));
    scribbleThird(points, 62);
    EXPECT_EQ(canonical(plain.triangles), canonical(triangulate(points, 1000).triangles));
}

// Each row has a single fault (or none), since the order in which several
// faults are noticed is not part of the contract. Arrays hold the square
// (0,0) (10,0) (10,10) (0,10), or four collinear points where `collinear`.
struct ArgumentCase {
    const char* name;
    std::int32_t count, triangleCapacity, pointCapacity;
    bool nullPoints, nullTriangles;
    std::int32_t flag;
    bool collinear;
    std::int32_t expected;
};

const ArgumentCase kArgumentCases[] = {
    {"NegativeCount", -1, 10, 5, false, false, 1, false, VANTREL_E_ARGUMENT},
    {"MostNegativeCount", kMin, 10, 5, false, false, 1, false, VANTREL_E_ARGUMENT},
    {"NegativeTriangleCapacity", 4, -1, 4, false, false, 1, false, VANTREL_E_ARGUMENT},
    {"MostNegativeTriangleCapacity", 4, kMin, 4, false, false, 1, false, VANTREL_E_ARGUMENT},
    {"NegativePointCapacity", 0, 8, -1, false, false, 1, false, VANTREL_E_ARGUMENT},
    {"CountAbovePointCapacity", 5, 10, 4, false, false, 1, false, VANTREL_E_ARGUMENT},
    {"NullPoints", 4, 8, 4, true, false, 1, false, VANTREL_E_NULL},
    {"NullPointsForOnePoint", 1, 2, 1, true, false, 1, false, VANTREL_E_NULL},
    {"NullTriangles", 4, 8, 4, false, true, 1, false, VANTREL_E_NULL},
    {"NullTrianglesForThreeCollinear", 3, 6, 3, false, true, 1, true, VANTREL_E_NULL},
    {"FlagZero", 4, 8, 4, false, false, 0, false, VANTREL_E_FLAG},
    {"FlagTwo", 4, 8, 4, false, false, 2, false, VANTREL_E_FLAG},
    {"FlagMostNegative", 4, 8, 4, false, false, kMin, false, VANTREL_E_FLAG},
    {"FlagZeroWithNoPoints", 0, 0, 0, false, false, 0, false, VANTREL_E_FLAG},
    {"NoRoomForOneTriangle", 3, 0, 3, false, false, 1, false, VANTREL_E_CAPACITY},
    {"NoRoomForTwoTriangles", 4, 1, 4, false, false, 1, false, VANTREL_E_CAPACITY},
    {"NoRoomNeededWhenCollinear", 3, 0, 3, false, false, 1, true, 0},
    {"NoArraysForNoPoints", 0, 0, 0, true, true, 1, false, 0},
    {"NoPointsWithSpareCapacity", 0, 0, 6, false, false, 1, false, 0},
    {"NoTrianglesArrayForTwoPoints", 2, 4, 2, false, true, 1, false, 0},
    {"NoTrianglesArrayForOnePoint", 1, 0, 7, false, true, 1, false, 0},
};

void PrintTo(const ArgumentCase& c, std::ostream* out) { *out << c.name; }

class Arguments : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(Arguments, ResultCodeAndUntouchedArrays) {
    const ArgumentCase& c = GetParam();
    // Room for what the capacities claim (the library may use all of it), plus a tail.
    std::vector<PointRecord> points(static_cast<std::size_t>(std::clamp(c.pointCapacity, 0, 64)) + 5, kUntouchedPoint);
    const Points square{pt(0, 0), pt(10, 0), pt(10, 10), pt(0, 10)};
    const Points collinear{pt(0, 0), pt(1, 1), pt(2, 2), pt(3, 3)};
    std::copy_n((c.collinear ? collinear : square).begin(), 4, points.begin() + 1);
    const std::vector<PointRecord> before = points;
    std::vector<TriangleRecord> triangles(static_cast<std::size_t>(std::clamp(c.triangleCapacity, 0, 64)) + 5,
                                          kUntouchedTriangle);
    EXPECT_EQ(c.expected, Triangulate(c.count, c.triangleCapacity, c.pointCapacity,
                                      c.nullPoints ? nullptr : points.data(),
                                      c.nullTriangles ? nullptr : triangles.data(), c.flag));
    EXPECT_EQ(0, std::memcmp(before.data(), points.data(), points.size() * sizeof(PointRecord)));
    // Argument errors write nothing at all; other calls nothing in slot 0 or past the capacity.
    const bool argumentError = c.expected < 0 && c.expected != VANTREL_E_CAPACITY;
    const std::size_t from =
        argumentError ? 1 : std::min(triangles.size(), static_cast<std::size_t>(c.triangleCapacity) + 1);
    EXPECT_TRUE(untouched(triangles[0]) && std::all_of(triangles.begin() + from, triangles.end(), untouched));
}

INSTANTIATE_TEST_SUITE_P(Trilib, Arguments, ::testing::ValuesIn(kArgumentCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(TrilibContract, TooManyPointsIsOutOfMemory) {
    for (const std::int32_t count : {VANTREL_MAX_POINTS + 1, kMax}) {
        SCOPED_TRACE("count " + std::to_string(count));
        const std::int32_t capacity = count > kMax / 2 ? kMax : 2 * count;
        // Unreadable: the call must answer before it reads a point or writes a triangle.
        const Mapping points = map((static_cast<std::size_t>(count) + 1) * sizeof(PointRecord), false);
        const Mapping triangles = map((static_cast<std::size_t>(capacity) + 1) * sizeof(TriangleRecord), false);
        EXPECT_EQ(VANTREL_E_NOMEM, Triangulate(count, capacity, count, reinterpret_cast<PointRecord*>(points.get()),
                                               reinterpret_cast<TriangleRecord*>(triangles.get()),
                                               VANTREL_FLAG_DELAUNAY));
    }
}

// The working storage for a large count needs more than a 32-bit process
// can address: its layout must be refused (the call then answers
// VANTREL_E_NOMEM), not wrapped round to a small block that the
// triangulation overruns. The layout's arithmetic does not depend on the
// width of size_t, so a 64-bit build checks what a 32-bit one computes.
TEST(TrilibContract, WorkspaceBeyondTheAddressSpaceIsRefused) {
    constexpr std::uint64_t k32Bit = 0x7fffffff; // the largest object of a 32-bit process
    for (const bool lent : {true, false}) {
        SCOPED_TRACE(lent ? "triangle array lent" : "corners in the workspace");
        for (const std::uint64_t n : {std::uint64_t{VANTREL_MAX_POINTS}, std::uint64_t{120000000}}) {
            EXPECT_FALSE(vantrel::planWorkspace(n, lent, k32Bit)) << n << " points";
        }
        if constexpr (sizeof(void*) == 8) {
            EXPECT_TRUE(vantrel::planWorkspace(VANTREL_MAX_POINTS, lent)) << "a 64-bit process";
        }
        for (const std::uint64_t n : {std::uint64_t{3}, std::uint64_t{1000}, std::uint64_t{10000000}}) {
            SCOPED_TRACE(std::to_string(n) + " points");
            const auto layout = vantrel::planWorkspace(n, lent, k32Bit);
            ASSERT_TRUE(layout);
            // Sorted points, slots, then the larger of the sort's two key
            // arrays and the mesh (half-edges, and corners unless lent).
            const std::uint64_t mesh = (lent ? 1 : 2) * 3 * (2 * n - 2) * 4;
            EXPECT_GE(layout->slotOffset, 8 * n);
            EXPECT_GE(layout->sharedOffset, layout->slotOffset + 4 * n);
            EXPECT_GE(layout->bytes, layout->sharedOffset + std::max(16 * n, mesh));
            EXPECT_EQ(0U, layout->bytes % layout->alignment);
        }
    }
}

// The library keeps no state: simultaneous calls on different arrays give
// what the same calls give one after another.
TEST(TrilibContract, ConcurrentCallsMatchSequentialOnes) {
    std::vector<Points> sets;
    std::vector<std::vector<std::array<std::int32_t, 3>>> sequential;
    for (std::uint64_t seed = 71; seed < 75; ++seed) {
        sets.push_back(uniform(10000, -100000000, 100000000, seed));
        const Outcome o = triangulate(sets.back());
        ASSERT_TRUE(isDelaunay(sets.back(), o.triangles, true));
        sequential.push_back(canonical(o.triangles));
    }
    std::vector<std::vector<Outcome>> parallel(sets.size(), std::vector<Outcome>(4));
    {
        std::vector<std::jthread> threads;
        for (std::size_t i = 0; i < sets.size(); ++i) {
            threads.emplace_back([&, i] { std::ranges::generate(parallel[i], [&] { return triangulate(sets[i]); }); });
        }
    }
    for (std::size_t i = 0; i < sets.size(); ++i) {
        for (const Outcome& o : parallel[i]) {
            EXPECT_EQ(sequential[i], canonical(o.triangles)) << "set " << i;
        }
    }
}

} // namespace
} // namespace trilibtest
