#include "Harness.h"

#include <gtest/gtest.h>

#include <cstring>

namespace trilibtest {
namespace {

// Records past the capacity that must stay untouched.
constexpr std::size_t kTail = 4;

} // namespace

bool sameRecord(const TriangleRecord& l, const TriangleRecord& r) {
    return std::memcmp(&l, &r, sizeof l) == 0;
}

bool sameRecord(const PointRecord& l, const PointRecord& r) { return std::memcmp(&l, &r, sizeof l) == 0; }

Outcome triangulate(std::span<const PointRecord> points, CallShape shape) {
    const auto count = static_cast<std::int32_t>(points.size());
    const std::int32_t pointCapacity = count + shape.spareSlots;
    const std::int32_t triangleCapacity = shape.triangleCapacity >= 0 ? shape.triangleCapacity : 2 * count;

    std::vector<PointRecord> slots(static_cast<std::size_t>(pointCapacity) + 1, kUntouchedPoint);
    std::copy(points.begin(), points.end(), slots.begin() + 1);
    const std::vector<PointRecord> before = slots;
    std::vector<TriangleRecord> out(static_cast<std::size_t>(triangleCapacity) + 1 + kTail, kUntouchedTriangle);

    Outcome result;
    result.code = Triangulate(count, triangleCapacity, pointCapacity, slots.data(), out.data(),
                              VANTREL_FLAG_DELAUNAY);

    EXPECT_EQ(0, std::memcmp(before.data(), slots.data(), slots.size() * sizeof(PointRecord)))
        << "the point array changed";
    EXPECT_TRUE(sameRecord(out[0], kUntouchedTriangle)) << "triangle slot 0 was written";
    for (std::size_t i = static_cast<std::size_t>(triangleCapacity) + 1; i < out.size(); ++i) {
        EXPECT_TRUE(sameRecord(out[i], kUntouchedTriangle)) << "triangle slot " << i << " past the capacity";
    }
    if (result.code >= 0) {
        EXPECT_LE(result.code, triangleCapacity);
        if (result.code <= triangleCapacity) {
            result.triangles.assign(out.begin() + 1, out.begin() + 1 + result.code);
        }
    }
    return result;
}

} // namespace trilibtest
