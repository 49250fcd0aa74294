// The point set: the store of placed points and returned triangles, and the
// commands that change it. The window owns one PointSet and routes each user
// action to one command; the commands reach the outside only through Canvas,
// Platform, Controls and the triangulation library.
//
// No command lets an exception out. A failure shows a message box (style 48,
// title "Error") and leaves the store, the picture and lblInfo as they were;
// a batch of random points keeps the points it placed before the failure.
#pragma once

#include <cstdint>
#include <string>

#include "Canvas.h"
#include "Platform.h"
#include "RecordArray.h"
#include "vantrel.h"

namespace pointset {

class TriangulateLibrary;

// Radius of the disc that marks a newly placed point, in twips.
inline constexpr float kPointRadius = 30.0f;
// Zeroed slots that always follow the last point in Points.
inline constexpr std::int32_t kSparePointSlots = 6;
// The flag the library is called with.
inline constexpr std::int32_t kTriangulateFlag = VANTREL_FLAG_DELAUNAY;
// A batch of random points reports its progress after this many points.
inline constexpr std::int64_t kProgressInterval = 4096;

class PointSet {
public:
    PointSet(Canvas& canvas, Platform& platform, Controls& controls, TriangulateLibrary& library);

    // The four commands.
    void ClearPoints();
    void PlacePoint(std::int16_t button, std::int16_t shift, float x, float y);
    void RunTriangulation();
    void GenerateRandomPoints();

    // The store. nPoints is 0 before the first placement or clear; until then
    // neither array exists.
    [[nodiscard]] std::int32_t nPoints() const noexcept { return nPoints_; }
    [[nodiscard]] const RecordArray<PointRecord>& Points() const noexcept { return points_; }
    [[nodiscard]] const RecordArray<TriangleRecord>& Triangles() const noexcept {
        return triangles_;
    }

private:
    enum class Placement { refused, added };

    // The commands' bodies; they throw on failure and change nothing then.
    void clearPoints();
    [[nodiscard]] Placement placePoint(float x, float y);
    void placePointAndMaybeTriangulate(float x, float y);
    void runTriangulation();
    void generateRandomPoints(double count);

    // Runs a command body, turning an escaping exception into a message box.
    template <class Body>
    void reportingFailures(Body&& body);

    Canvas& canvas_;
    Platform& platform_;
    Controls& controls_;
    TriangulateLibrary& library_;

    std::int32_t nPoints_ = 0;
    RecordArray<PointRecord> points_;
    RecordArray<TriangleRecord> triangles_;
    // The array the next run hands to the library: the one the last run
    // replaced, so that a run re-creates Triangles without new memory.
    RecordArray<TriangleRecord> spareTriangles_;
};

}  // namespace pointset
