// ClearPoints: one zeroed slot per array, a white canvas, numbering from 1.
#include "Fakes.h"

namespace {

using ClearPoints = PointSetTest;

TEST_F(ClearPoints, LeavesOneZeroedSlotEachAndAWhiteCanvasAndKeepsTheCaption) {
    placeTriangle();
    recorder.fan = true;
    set.RunTriangulation();
    const std::string caption = controls.caption;
    set.ClearPoints();
    EXPECT_EQ(set.nPoints(), 0);
    EXPECT_EQ(slotsOf(set.Points()), std::vector<PointRecord>(1));
    EXPECT_EQ(slotsOf(set.Triangles()), std::vector<TriangleRecord>(1));
    EXPECT_EQ(countColour(canvas, pointset::kWhite), 400 * 300);
    EXPECT_EQ(controls.caption, caption);
    EXPECT_TRUE(platform.boxes.empty());
    place(30, 40);
    EXPECT_EQ(set.Points().upperBound(), 7);
    EXPECT_EQ(set.Points().at(1), (PointRecord{457, 607, 0}));
    EXPECT_EQ(set.Points().at(2), PointRecord{}) << "a point from before the clear survived";
    EXPECT_EQ(set.Triangles().upperBound(), 0);
}

}  // namespace
