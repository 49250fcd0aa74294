// The recording stand-in for the triangulation library.
#include <algorithm>
#include <cstddef>

#include "RecorderControl.h"

extern "C" {

VANTREL_API RecorderState* recorderState(void) {
    static RecorderState state;
    return &state;
}

VANTREL_API int32_t VANTREL_CALL Triangulate(int32_t pointCount, int32_t triangleCapacity,
                                             int32_t pointCapacity, PointRecord* points,
                                             TriangleRecord* triangles, int32_t flag) {
    RecorderState& s = *recorderState();
    ++s.calls;
    s.pointCount = pointCount, s.triangleCapacity = triangleCapacity, s.pointCapacity = pointCapacity;
    s.flag = flag, s.points = points, s.triangleArray = triangles;
    const auto slots = static_cast<std::size_t>(std::max(triangleCapacity, 0));
    s.trianglesWereZero = std::all_of(triangles, triangles + slots + 1,
                                      [](const TriangleRecord& t) { return t.a == 0 && t.b == 0 && t.c == 0; });
    s.seenPoints.assign(points, points + std::max(pointCapacity, 0) + 1);
    if (s.fan) {
        int32_t written = 0;
        for (int32_t i = 2; i + 1 <= pointCount && written < triangleCapacity; ++i)
            triangles[++written] = TriangleRecord{1, i, i + 1};
        return written;
    }
    std::copy_n(s.triangles.begin(), std::min(s.triangles.size(), slots), triangles + 1);
    return s.result;
}

}  // extern "C"
