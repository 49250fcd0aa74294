// The calling contract of Triangulate: which slots it may touch, the result
// codes for bad arguments, and calls from several threads at once.

#include "Harness.h"
#include "MeshCheck.h"
#include "PointSets.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>

namespace trilibtest {
namespace {

enum class Guard { End, SlotZero, Both };

// A 1-based record array whose neighbours are unmapped: with Guard::End the
// record in slot `capacity` ends at the last readable byte, with
// Guard::SlotZero slot 0 lies in an inaccessible page and slot 1 starts the
// first readable one. Any touch outside the promise is a segmentation fault.
template <class Record>
class GuardedSlots {
public:
    GuardedSlots(std::size_t capacity, Guard guard, const Record& fill) {
        const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        const std::size_t dataBytes = capacity * sizeof(Record);
        const std::size_t dataPages = (dataBytes + page - 1) / page;
        const bool front = guard != Guard::End;
        const bool back = guard != Guard::SlotZero;
        if (front && back && dataBytes % page != 0) {
            throw std::invalid_argument("slots 1..capacity must fill whole pages to guard both ends");
        }
        // Guard::End needs room for slot 0 as well.
        const std::size_t readablePages = front ? dataPages : (dataBytes + sizeof(Record) + page - 1) / page;
        size_ = (readablePages + (front ? 1 : 0) + (back ? 1 : 0)) * page;
        void* base = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (base == MAP_FAILED) {
            throw std::bad_alloc();
        }
        base_ = static_cast<unsigned char*>(base);
        unsigned char* readable = base_ + (front ? page : 0);
        if ((front && mprotect(base_, page, PROT_NONE) != 0) ||
            (back && mprotect(readable + readablePages * page, page, PROT_NONE) != 0)) {
            munmap(base_, size_);
            throw std::runtime_error("cannot protect the guard pages");
        }
        unsigned char* slot1 = front ? readable : readable + readablePages * page - dataBytes;
        slot0_ = reinterpret_cast<Record*>(slot1) - 1;
        for (std::size_t i = front ? 1 : 0; i <= capacity; ++i) {
            std::memcpy(slot0_ + i, &fill, sizeof(Record));
        }
    }
    GuardedSlots(const GuardedSlots&) = delete;
    GuardedSlots& operator=(const GuardedSlots&) = delete;
    ~GuardedSlots() { munmap(base_, size_); }

    [[nodiscard]] Record* data() { return slot0_; }
    Record& operator[](std::size_t slot) { return slot0_[slot]; }

private:
    unsigned char* base_ = nullptr;
    std::size_t size_ = 0;
    Record* slot0_ = nullptr;
};

std::vector<TriangleRecord> slice(const TriangleRecord* slot0, std::int32_t count) {
    return std::vector<TriangleRecord>(slot0 + 1, slot0 + 1 + count);
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
    {"RandomWithDuplicates",
     [] {
         Points p = uniform(kGuardedCount - 200, 0, 10650, 52);
         addDuplicates(p, 200, 53);
         return p;
     }},
    {"Grid", [] { return grid(32, 32, 3, pt(-40, -40)); }},
    {"Collinear",
     [] {
         Points p;
         for (std::int64_t i = 0; i < static_cast<std::int64_t>(kGuardedCount); ++i) {
             p.push_back(pt(5 * i - 2000, 3 * i));
         }
         return p;
     }},
};

void PrintTo(const GuardedSet& c, std::ostream* out) { *out << c.name; }

class GuardedArrays : public ::testing::TestWithParam<GuardedSet> {
protected:
    void SetUp() override {
        points_ = GetParam().make();
        ASSERT_EQ(kGuardedCount, points_.size());
        const Outcome reference = triangulate(points_);
        ASSERT_GE(reference.code, 0);
        ASSERT_TRUE(isDelaunayTriangulation(points_, reference.triangles));
        exact_ = reference.code;
        for (std::size_t i = 0; i < kGuardedCount; ++i) {
            guardedPoints_[i + 1] = points_[i];
        }
    }

    // Runs with the triangle array guarded as asked, capacity `capacity`.
    std::int32_t run(std::int32_t capacity, Guard guard, std::vector<TriangleRecord>& out) {
        GuardedSlots<TriangleRecord> triangles(static_cast<std::size_t>(capacity), guard, kUntouchedTriangle);
        const auto count = static_cast<std::int32_t>(kGuardedCount);
        const std::int32_t code = Triangulate(count, capacity, count, guardedPoints_.data(), triangles.data(),
                                              VANTREL_FLAG_DELAUNAY);
        if (code >= 0 && code <= capacity) {
            out = slice(triangles.data(), code);
        }
        for (std::size_t i = 0; i < kGuardedCount; ++i) {
            EXPECT_TRUE(sameRecord(points_[i], guardedPoints_[i + 1])) << "point slot " << i + 1 << " changed";
        }
        return code;
    }

    Points points_;
    std::int32_t exact_ = 0;
    GuardedSlots<PointRecord> guardedPoints_{kGuardedCount, Guard::Both, kUntouchedPoint};
};

TEST_P(GuardedArrays, ExactTriangleCapacityEndingAtUnmappedPage) {
    std::vector<TriangleRecord> out;
    ASSERT_EQ(exact_, run(exact_, Guard::End, out));
    EXPECT_TRUE(isDelaunayTriangulation(points_, out));
}

TEST_P(GuardedArrays, ExactTriangleCapacityAfterUnmappedSlotZero) {
    std::vector<TriangleRecord> out;
    ASSERT_EQ(exact_, run(exact_, Guard::SlotZero, out));
    EXPECT_TRUE(isDelaunayTriangulation(points_, out));
}

TEST_P(GuardedArrays, AmpleTriangleCapacity) {
    std::vector<TriangleRecord> out;
    ASSERT_EQ(exact_, run(2 * static_cast<std::int32_t>(kGuardedCount), Guard::End, out));
    EXPECT_TRUE(isDelaunayTriangulation(points_, out));
}

TEST_P(GuardedArrays, OneTriangleShortFailsWithinCapacity) {
    if (exact_ == 0) {
        GTEST_SKIP() << "no triangles to fall short of";
    }
    std::vector<TriangleRecord> out;
    EXPECT_EQ(VANTREL_E_CAPACITY, run(exact_ - 1, Guard::End, out));
    EXPECT_EQ(VANTREL_E_CAPACITY, run(exact_ - 1, Guard::SlotZero, out));
}

INSTANTIATE_TEST_SUITE_P(Trilib, GuardedArrays, ::testing::ValuesIn(kGuardedSets),
                         [](const ::testing::TestParamInfo<GuardedSet>& param) {
                             return std::string(param.param.name);
                         });

// The slots between the last point and the point capacity may hold anything;
// so may "third". Neither may change the result.
TEST(TrilibContract, SpareSlotsAndThirdFieldAreIgnored) {
    Points points = uniform(500, -50000, 50000, 61);
    const Outcome plain = triangulate(points);
    ASSERT_TRUE(isDelaunayTriangulation(points, plain.triangles));
    ASSERT_TRUE(isUniqueDelaunay(points, plain.triangles));

    const Outcome spare = triangulate(points, CallShape{.spareSlots = 6});
    EXPECT_EQ(canonical(plain.triangles), canonical(spare.triangles));

    scribbleThird(points, 62);
    const Outcome noisy = triangulate(points, CallShape{.spareSlots = 1000});
    EXPECT_EQ(canonical(plain.triangles), canonical(noisy.triangles));
}

// Argument checks. Each row has a single fault (or none), since the order in
// which several faults are noticed is not part of the contract.
struct ArgumentCase {
    const char* name;
    std::int32_t count;
    std::int32_t triangleCapacity;
    std::int32_t pointCapacity;
    bool nullPoints = false;
    bool nullTriangles = false;
    std::int32_t flag = VANTREL_FLAG_DELAUNAY;
    bool collinear = false;
    std::int32_t expected = 0;
};

constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();

const ArgumentCase kArgumentCases[] = {
    {"NegativeCount", -1, 10, 5, false, false, 1, false, VANTREL_E_ARGUMENT},
    {"MostNegativeCount", kIntMin, 10, 5, false, false, 1, false, VANTREL_E_ARGUMENT},
    {"NegativeTriangleCapacity", 4, -1, 4, false, false, 1, false, VANTREL_E_ARGUMENT},
    {"MostNegativeTriangleCapacity", 4, kIntMin, 4, false, false, 1, false, VANTREL_E_ARGUMENT},
    {"NegativePointCapacity", 0, 8, -1, false, false, 1, false, VANTREL_E_ARGUMENT},
    {"CountAbovePointCapacity", 5, 10, 4, false, false, 1, false, VANTREL_E_ARGUMENT},
    {"NullPoints", 4, 8, 4, true, false, 1, false, VANTREL_E_NULL},
    {"NullPointsForOnePoint", 1, 2, 1, true, false, 1, false, VANTREL_E_NULL},
    {"NullTriangles", 4, 8, 4, false, true, 1, false, VANTREL_E_NULL},
    {"NullTrianglesForThreeCollinear", 3, 6, 3, false, true, 1, true, VANTREL_E_NULL},
    {"FlagZero", 4, 8, 4, false, false, 0, false, VANTREL_E_FLAG},
    {"FlagTwo", 4, 8, 4, false, false, 2, false, VANTREL_E_FLAG},
    {"FlagThree", 4, 8, 4, false, false, 3, false, VANTREL_E_FLAG},
    {"FlagMinusOne", 4, 8, 4, false, false, -1, false, VANTREL_E_FLAG},
    {"FlagMostNegative", 4, 8, 4, false, false, kIntMin, false, VANTREL_E_FLAG},
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
    const std::size_t pointSlots = static_cast<std::size_t>(std::clamp(c.pointCapacity, 0, 64)) + 1 + 4;
    const std::size_t triangleSlots = static_cast<std::size_t>(std::clamp(c.triangleCapacity, 0, 64)) + 1 + 4;
    std::vector<PointRecord> points(pointSlots, kUntouchedPoint);
    const Points square = c.collinear ? Points{pt(0, 0), pt(1, 1), pt(2, 2), pt(3, 3)}
                                      : Points{pt(0, 0), pt(10, 0), pt(10, 10), pt(0, 10)};
    for (std::size_t i = 1; i < points.size() && i <= square.size(); ++i) {
        points[i] = square[i - 1];
    }
    const std::vector<PointRecord> before = points;
    std::vector<TriangleRecord> triangles(triangleSlots, kUntouchedTriangle);

    const std::int32_t code = Triangulate(c.count, c.triangleCapacity, c.pointCapacity,
                                          c.nullPoints ? nullptr : points.data(),
                                          c.nullTriangles ? nullptr : triangles.data(), c.flag);
    EXPECT_EQ(c.expected, code);
    EXPECT_EQ(0, std::memcmp(before.data(), points.data(), points.size() * sizeof(PointRecord)));
    EXPECT_TRUE(sameRecord(kUntouchedTriangle, triangles[0])) << "slot 0 written";
    // Argument errors write nothing at all; a capacity failure nothing past the capacity.
    const bool argumentError = c.expected < 0 && c.expected != VANTREL_E_CAPACITY;
    const std::size_t firstUntouched = argumentError ? 1 : static_cast<std::size_t>(c.triangleCapacity) + 1;
    for (std::size_t i = std::min(firstUntouched, triangles.size()); i < triangles.size(); ++i) {
        EXPECT_TRUE(sameRecord(kUntouchedTriangle, triangles[i])) << "triangle slot " << i << " written";
    }
}

INSTANTIATE_TEST_SUITE_P(Trilib, Arguments, ::testing::ValuesIn(kArgumentCases),
                         [](const ::testing::TestParamInfo<ArgumentCase>& param) {
                             return std::string(param.param.name);
                         });

// Address space only: the pages are never touched unless the library reads them.
class Reservation {
public:
    explicit Reservation(std::size_t bytes) : size_(bytes) {
        base_ = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (base_ == MAP_FAILED) {
            throw std::bad_alloc();
        }
    }
    Reservation(const Reservation&) = delete;
    Reservation& operator=(const Reservation&) = delete;
    ~Reservation() { munmap(base_, size_); }
    template <class T>
    [[nodiscard]] T* as() const {
        return static_cast<T*>(base_);
    }

private:
    void* base_ = nullptr;
    std::size_t size_ = 0;
};

TEST(TrilibContract, TooManyPointsIsOutOfMemory) {
    for (const std::int32_t count : {VANTREL_MAX_POINTS + 1, kIntMax}) {
        SCOPED_TRACE("count " + std::to_string(count));
        const auto slots = static_cast<std::size_t>(count) + 1;
        const std::int32_t triangleCapacity = count > kIntMax / 2 ? kIntMax : 2 * count;
        const Reservation points(slots * sizeof(PointRecord));
        const Reservation triangles((static_cast<std::size_t>(triangleCapacity) + 1) * sizeof(TriangleRecord));
        EXPECT_EQ(VANTREL_E_NOMEM, Triangulate(count, triangleCapacity, count, points.as<PointRecord>(),
                                               triangles.as<TriangleRecord>(), VANTREL_FLAG_DELAUNAY));
    }
}

// The library keeps no state: simultaneous calls on different arrays give
// what the same calls give one after another.
TEST(TrilibContract, ConcurrentCallsMatchSequentialOnes) {
    std::vector<Points> sets;
    for (std::uint64_t seed = 71; seed < 75; ++seed) {
        sets.push_back(uniform(10000, -100000000, 100000000, seed));
    }
    std::vector<std::vector<Corners>> sequential;
    for (const Points& p : sets) {
        const Outcome o = triangulate(p);
        ASSERT_TRUE(isDelaunayTriangulation(p, o.triangles));
        ASSERT_TRUE(isUniqueDelaunay(p, o.triangles));
        sequential.push_back(canonical(o.triangles));
    }

    constexpr int kRounds = 4;
    std::vector<std::vector<Outcome>> parallel(sets.size(), std::vector<Outcome>(kRounds));
    {
        std::vector<std::jthread> threads;
        for (std::size_t i = 0; i < sets.size(); ++i) {
            threads.emplace_back([&, i] {
                for (Outcome& o : parallel[i]) {
                    o = triangulate(sets[i]);
                }
            });
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
