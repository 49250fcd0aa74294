// Control of the recording stand-in for the triangulation library, which the
// tests load in place of the real one. It records what each call of
// Triangulate received and answers with a scripted result.
#pragma once

#include "vantrel.h"

extern "C" {

typedef struct RecordedCall {
    int32_t pointCount;
    int32_t triangleCapacity;
    int32_t pointCapacity;
    int32_t flag;
    const PointRecord* points;
    const TriangleRecord* triangles;
    int32_t trianglesWereZero;  // 1 if slots 0..triangleCapacity held only zeros at entry
} RecordedCall;

// Forgets every call and script: calls are then answered with 0.
VANTREL_API void recorderReset(void);
// Later calls write triangles[0..count-1] into slots 1..count (as many as the
// capacity allows) and return result.
VANTREL_API void recorderScript(int32_t result, const TriangleRecord* triangles, int32_t count);
// Later calls answer with the fan (1, i, i + 1) for i = 2 .. pointCount - 1.
VANTREL_API void recorderScriptFan(void);
VANTREL_API int32_t recorderCallCount(void);
VANTREL_API RecordedCall recorderLastCall(void);
// Copies up to max of the point slots 0..pointCapacity the last call saw and
// returns how many there were.
VANTREL_API int32_t recorderSeenPoints(PointRecord* out, int32_t max);

}  // extern "C"

// Function types, for tests that look the controls up at run time.
using RecorderResetFn = void (*)();
using RecorderScriptFn = void (*)(int32_t, const TriangleRecord*, int32_t);
using RecorderScriptFanFn = void (*)();
using RecorderCallCountFn = int32_t (*)();
using RecorderLastCallFn = RecordedCall (*)();
using RecorderSeenPointsFn = int32_t (*)(PointRecord*, int32_t);
