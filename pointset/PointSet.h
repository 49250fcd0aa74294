// The point set: the store of placed points and returned triangles, and the
// commands that change it. The window owns one PointSet and routes each user
// action to one command; the commands reach the outside only through Canvas,
// Platform, Controls and the triangulation library.
#pragma once

#include <cstdint>
#include <string>

#include "Canvas.h"
#include "Platform.h"
#include "vantrel.h"

namespace pointset {

class TriangulateLibrary;

class PointSet {
public:
    PointSet(Canvas& canvas, Platform& platform, Controls& controls, TriangulateLibrary& library);

    // The four commands.
    void ClearPoints();
    void PlacePoint(std::int16_t button, std::int16_t shift, float x, float y);
    void RunTriangulation();
    void GenerateRandomPoints();

    // ... store accessors (nPoints, Points, Triangles) are declared by the
    // implementation.
};

}  // namespace pointset
