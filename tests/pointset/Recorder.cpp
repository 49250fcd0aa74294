// A stand-in for the triangulation library that answers every call with no
// triangles, for tests that need a library file.
#include "vantrel.h"

extern "C" VANTREL_API int32_t VANTREL_CALL Triangulate(int32_t, int32_t, int32_t, PointRecord*, TriangleRecord*,
                                                        int32_t) {
    return 0;
}
