// Calls Triangulate the way a careful caller would, and checks on the way
// what every call promises about the arrays: the points (slot 0, spare
// slots and "third" included) come back byte for byte, and neither slot 0
// nor anything past the triangle capacity is written.
#pragma once

#include "PointSets.h"

#include <vantrel.h>

#include <cstdint>
#include <span>
#include <vector>

namespace trilibtest {

struct Outcome {
    std::int32_t code = 0;
    std::vector<TriangleRecord> triangles; // slots 1..code when code >= 0
};

struct CallShape {
    std::int32_t triangleCapacity = -1; // -1: twice the point count
    std::int32_t spareSlots = 0;        // point slots after the last point
};

[[nodiscard]] Outcome triangulate(std::span<const PointRecord> points, CallShape shape = {});

// A record no library would write by accident.
inline constexpr TriangleRecord kUntouchedTriangle{-0x21524111, 0x5eed5eed, -0x35014542};
inline constexpr PointRecord kUntouchedPoint{-0x3f3f3f40, 0x1badb002, 0x0ddba11};

[[nodiscard]] bool sameRecord(const TriangleRecord& l, const TriangleRecord& r);
[[nodiscard]] bool sameRecord(const PointRecord& l, const PointRecord& r);

} // namespace trilibtest
