// ClearPoints: the store back to one zeroed slot per array, the canvas white.
#include "Fakes.h"

namespace {

using ClearPoints = PointSetTest;

TEST_F(ClearPoints, NoArrayExistsBeforeTheFirstPlacementOrClear) {
    EXPECT_EQ(set.nPoints(), 0);
    EXPECT_FALSE(set.Points().exists());
    EXPECT_FALSE(set.Triangles().exists());
    EXPECT_EQ(set.Points().data(), nullptr);
}

TEST_F(ClearPoints, LeavesOneZeroedSlotInEachArrayAndAWhiteCanvas) {
    placeTriangle();
    recorder.scriptFan();
    set.RunTriangulation();
    const std::string captionOfRun = controls.caption;
    ASSERT_EQ(captionOfRun, "Points:3 Triangles:1 Triangulate time:0 seconds");
    const auto pointerChangesBefore = platform.pointerChanges.size();

    set.ClearPoints();

    EXPECT_EQ(set.nPoints(), 0);
    EXPECT_EQ(slotsOf(set.Points()), std::vector<PointRecord>{PointRecord{}});
    EXPECT_EQ(slotsOf(set.Triangles()), std::vector<TriangleRecord>{TriangleRecord{}});
    EXPECT_EQ(countColour(canvas.image(), pointset::kWhite), 400 * 300);
    // lblInfo keeps the numbers of the last run; a clear asks nothing and shows nothing.
    EXPECT_EQ(controls.caption, captionOfRun);
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(platform.pointerChanges.size(), pointerChangesBefore);
}

TEST_F(ClearPoints, BeforeAnyPlacementCreatesBothArrays) {
    set.ClearPoints();
    EXPECT_EQ(set.Points().upperBound(), 0);
    EXPECT_EQ(set.Triangles().upperBound(), 0);
}

TEST_F(ClearPoints, NumberingStartsAgainAtSlotOne) {
    place(twips(10), twips(10));
    place(twips(20), twips(20));
    set.ClearPoints();
    place(twips(30), twips(40));

    const auto stored = slotsOf(set.Points());
    ASSERT_EQ(stored.size(), 8u);
    EXPECT_EQ(stored[1], (PointRecord{457, 607, 0}));
    EXPECT_EQ(stored[2], PointRecord{}) << "a point from before the clear survived";
    // The earlier discs were wiped; only the new one shows.
    EXPECT_EQ(pixel(10, 10), pointset::kWhite);
    EXPECT_EQ(pixel(30, 40), pointset::kRed);
}

}  // namespace
