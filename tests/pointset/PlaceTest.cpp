// ClearPoints and PlacePoint: the store's bounds and rounding, the disc a press
// draws, the pixel test, and the automatic triangulation.
#include "Fakes.h"

namespace {

using pointset::kRed;
using PlacePoint = PointSetTest;
using Slots = std::vector<PointRecord>;

// Clearing after a run leaves one zeroed slot each, a white canvas and the
// caption. The disc of the first press goes around the pixel pressed, not the
// rounded position's, in red, and ForeColor stays red; the position is stored
// rounded, halves to even. Any button places a point, whatever keys are held.
// A press (dx, dy) pixels from the first is refused on its disc, rim included,
// and then runs nothing even in automatic mode; just outside it is accepted.
class Press : public PointSetTest,
              public ::testing::WithParamInterface<std::tuple<float, float, int, int, int, int, bool>> {};

TEST_P(Press, DrawsTheDiscAfterAClearAndRefusesAPressOnIt) {
    const auto [x, y, storedX, storedY, dx, dy, accepted] = GetParam();
    const Pixels blank = picture(canvas);
    placeTriangle();
    set.RunTriangulation();
    const std::string caption = controls.caption;
    set.ClearPoints();
    EXPECT_EQ(std::tuple(set.nPoints(), slotsOf(set.Triangles()), controls.caption, picture(canvas) == blank),
              std::tuple(0, std::vector<TriangleRecord>(1), caption, true));
    canvas.setForeColor(pointset::kLightGrey);
    set.PlacePoint(2, 1, x, y);
    EXPECT_EQ(picture(canvas), withDisc(blank, 400, static_cast<int>(x) / 15, static_cast<int>(y) / 15, 2, kRed));
    EXPECT_EQ(canvas.ForeColor(), kRed);
    EXPECT_EQ(slotsOf(set.Points()), (Slots{{}, {storedX, storedY, 0}, {}, {}, {}, {}, {}, {}}));

    place(300, 200);
    place(200, 250);
    controls.value = 1;
    controls.caption = "unchanged";
    const auto before = std::tuple(picture(canvas), slotsOf(set.Points()), controls.caption);
    set.PlacePoint(1, 0, x + 15.0f * static_cast<float>(dx), y + 15.0f * static_cast<float>(dy));
    EXPECT_EQ(std::pair(set.nPoints(), recorder.calls), accepted ? std::pair(4, 2) : std::pair(3, 1));
    EXPECT_TRUE(accepted || before == std::tuple(picture(canvas), slotsOf(set.Points()), controls.caption));
}

INSTANTIATE_TEST_SUITE_P(PlacePoint, Press,
                         ::testing::Values(std::tuple{100.5f, 1601.5f, 100, 1602, 0, 0, false},
                                           std::tuple{2.5f, 3.5f, 2, 4, 2, 1, false},
                                           std::tuple{1514.6f, 2222.49f, 1515, 2222, -1, -2, false},
                                           std::tuple{5999.0f, 4499.5f, 5999, 4500, -2, -2, true},
                                           std::tuple{1514.6f, 2222.49f, 1515, 2222, 2, 2, true},
                                           std::tuple{100.5f, 1601.5f, 100, 1602, -3, 0, true}));

// After a run each point is a single dot: only a press on the dot itself is
// refused. chkAuto is ANDed bitwise with a "true" of all bits set: 2 runs too.
class AutoValue : public PointSetTest, public ::testing::WithParamInterface<int> {};

TEST_P(AutoValue, RunsFromTheThirdPointWhenNonZeroAndAfterARunOnlyTheDotIsRefused) {
    controls.value = GetParam();
    std::vector<int> runs;
    for (auto [x, y] : {std::pair{100, 100}, {300, 100}, {100, 200}, {100, 100}, {101, 99}, {200, 100}}) {
        place(x, y);
        runs.push_back(recorder.calls);
    }
    EXPECT_EQ(std::pair(runs, set.nPoints()), GetParam() == 0 ? std::pair(std::vector<int>{0, 0, 0, 0, 0, 0}, 4)
                                                              : std::pair(std::vector<int>{0, 0, 1, 1, 2, 3}, 5));
}

INSTANTIATE_TEST_SUITE_P(PlacePoint, AutoValue, ::testing::Values(0, 1, 2));

TEST_F(PlacePoint, APositionThatCannotBeStoredShowsAMessageAndChangesNothing) {
    place(10, 10);
    canvas.setForeColor(pointset::kLightGrey);
    const auto before = std::tuple(picture(canvas), slotsOf(set.Points()), canvas.ForeColor());
    for (const auto& [x, y] : {std::pair{3.0e9f, 1507.0f}, {1507.0f, -3.0e9f}}) {
        platform.boxes.clear();
        set.PlacePoint(1, 0, x, y);
        platform.expectOneError("cannot be stored");
        EXPECT_TRUE(before == std::tuple(picture(canvas), slotsOf(set.Points()), canvas.ForeColor()));
    }
}

}  // namespace
