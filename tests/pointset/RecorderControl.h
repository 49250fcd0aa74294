// The recording stand-in for the triangulation library, loaded in place of
// the real one: it keeps what the last call of Triangulate received and
// answers as scripted. Tests reach its state through recorderState().
#pragma once

#include <cstdint>
#include <vector>

#include "vantrel.h"

struct RecorderState {
    bool fan = false;  // answer with the fan (1, i, i + 1); else with result and triangles
    std::int32_t result = 0;
    std::vector<TriangleRecord> triangles;  // written to slots 1.. as far as the capacity allows
    int calls = 0;
    std::int32_t pointCount = 0, triangleCapacity = 0, pointCapacity = 0, flag = 0;
    const void *points = nullptr, *triangleArray = nullptr;
    bool trianglesWereZero = false;       // slots 0..triangleCapacity at entry
    std::vector<PointRecord> seenPoints;  // slots 0..pointCapacity at entry
};

extern "C" VANTREL_API RecorderState* recorderState(void);
