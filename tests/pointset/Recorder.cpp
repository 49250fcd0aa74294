// The recording stand-in for the triangulation library.
#include <algorithm>
#include <cstddef>
#include <vector>

#include "RecorderControl.h"

namespace {

enum class Mode { scripted, fan };

struct State {
    Mode mode = Mode::scripted;
    int32_t result = 0;
    std::vector<TriangleRecord> triangles;
    int32_t calls = 0;
    RecordedCall last{};
    std::vector<PointRecord> seenPoints;
};

State& state() {
    static State instance;
    return instance;
}

}  // namespace

extern "C" {

VANTREL_API void recorderReset(void) {
    state() = State{};
}

VANTREL_API void recorderScript(int32_t result, const TriangleRecord* triangles, int32_t count) {
    State& s = state();
    s.mode = Mode::scripted;
    s.result = result;
    s.triangles.assign(triangles, triangles + std::max(count, 0));
}

VANTREL_API void recorderScriptFan(void) {
    state().mode = Mode::fan;
}

VANTREL_API int32_t recorderCallCount(void) {
    return state().calls;
}

VANTREL_API RecordedCall recorderLastCall(void) {
    return state().last;
}

VANTREL_API int32_t recorderSeenPoints(PointRecord* out, int32_t max) {
    const State& s = state();
    const auto count = static_cast<int32_t>(s.seenPoints.size());
    std::copy_n(s.seenPoints.begin(), std::min(count, std::max(max, 0)), out);
    return count;
}

VANTREL_API int32_t VANTREL_CALL Triangulate(int32_t pointCount, int32_t triangleCapacity,
                                             int32_t pointCapacity, PointRecord* points,
                                             TriangleRecord* triangles, int32_t flag) {
    State& s = state();
    ++s.calls;
    s.last = RecordedCall{pointCount, triangleCapacity, pointCapacity, flag, points, triangles, 1};
    if (triangles != nullptr && triangleCapacity >= 0) {
        const auto slots = static_cast<std::size_t>(triangleCapacity) + 1;
        s.last.trianglesWereZero = std::all_of(triangles, triangles + slots, [](const TriangleRecord& t) {
            return t.a == 0 && t.b == 0 && t.c == 0;
        }) ? 1 : 0;
    }
    s.seenPoints.clear();
    if (points != nullptr && pointCapacity >= 0) {
        s.seenPoints.assign(points, points + static_cast<std::size_t>(pointCapacity) + 1);
    }
    if (s.mode == Mode::fan) {
        int32_t written = 0;
        for (int32_t i = 2; i + 1 <= pointCount && written < triangleCapacity; ++i) {
            ++written;
            triangles[written] = TriangleRecord{1, i, i + 1};
        }
        return written;
    }
    const auto fits = std::min<std::size_t>(s.triangles.size(),
                                            static_cast<std::size_t>(std::max(triangleCapacity, 0)));
    for (std::size_t i = 0; i < fits; ++i) {
        triangles[i + 1] = s.triangles[i];
    }
    return s.result;
}

}  // extern "C"
