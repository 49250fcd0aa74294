// A stand-in for the triangulation library that answers every call with no
// triangles, for tests that need a library file. RecorderDelay makes each
// call take that many milliseconds, for tests of the time a run shows.
#include <atomic>
#include <chrono>
#include <thread>

#include "vantrel.h"

namespace {
std::atomic<int32_t> delayMilliseconds{0};
}

extern "C" VANTREL_API void RecorderDelay(int32_t milliseconds) {
    delayMilliseconds = milliseconds;
}

extern "C" VANTREL_API int32_t VANTREL_CALL Triangulate(int32_t, int32_t, int32_t, PointRecord*, TriangleRecord*,
                                                        int32_t) {
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMilliseconds.load()));
    return 0;
}
