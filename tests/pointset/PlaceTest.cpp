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
class FirstPress : public PointSetTest, public ::testing::WithParamInterface<std::tuple<float, float, int, int>> {};

TEST_P(FirstPress, AfterAClearDrawsTheDiscAndStoresTheRoundedPosition) {
    const auto [x, y, storedX, storedY] = GetParam();
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
}

INSTANTIATE_TEST_SUITE_P(PlacePoint, FirstPress,
                         ::testing::Values(std::tuple{100.5f, 1601.5f, 100, 1602}, std::tuple{2.5f, 3.5f, 2, 4},
                                           std::tuple{1514.6f, 2222.49f, 1515, 2222},
                                           std::tuple{5999.0f, 4499.5f, 5999, 4500}));

// A second press at an offset in twips from a first one in the middle of pixel
// (100, 100): refused on the disc, its rim (2 pixels right, 1 down) included,
// and then nothing runs even in automatic mode; accepted just outside it (2
// right and 2 down, or 3 left).
class SecondPress : public PointSetTest, public ::testing::WithParamInterface<std::tuple<float, float, bool>> {};

TEST_P(SecondPress, IsRefusedOnTheDiscAndAcceptedJustOutside) {
    const auto [dx, dy, accepted] = GetParam();
    place(300, 200);
    place(200, 200);
    set.PlacePoint(1, 0, 1507.0f, 1507.0f);
    controls.value = 1;
    controls.caption = "unchanged";
    const auto before = std::tuple(picture(canvas), slotsOf(set.Points()), controls.caption);
    set.PlacePoint(1, 0, 1507.0f + dx, 1507.0f + dy);
    EXPECT_EQ(std::pair(set.nPoints(), recorder.calls), accepted ? std::pair(4, 1) : std::pair(3, 0));
    EXPECT_TRUE(accepted || before == std::tuple(picture(canvas), slotsOf(set.Points()), controls.caption));
}

INSTANTIATE_TEST_SUITE_P(PlacePoint, SecondPress,
                         ::testing::Values(std::tuple{0.0f, 0.0f, false}, std::tuple{1.0f, 0.0f, false},
                                           std::tuple{30.0f, 15.0f, false}, std::tuple{-15.0f, -30.0f, false},
                                           std::tuple{30.0f, 30.0f, true}, std::tuple{-45.0f, 0.0f, true}));

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
    EXPECT_EQ(runs, (GetParam() == 0 ? std::vector<int>{0, 0, 0, 0, 0, 0} : std::vector<int>{0, 0, 1, 1, 2, 3}));
    EXPECT_EQ(set.nPoints(), GetParam() == 0 ? 4 : 5);
}

INSTANTIATE_TEST_SUITE_P(PlacePoint, AutoValue, ::testing::Values(0, 1, 2));

TEST_F(PlacePoint, APositionThatCannotBeStoredShowsAMessageAndChangesNothing) {
    place(10, 10);
    canvas.setForeColor(pointset::kLightGrey);
    const auto before = std::pair(picture(canvas), slotsOf(set.Points()));
    for (const auto& [x, y] : {std::pair{3.0e9f, 1507.0f}, {1507.0f, -3.0e9f}}) {
        platform.boxes.clear();
        set.PlacePoint(1, 0, x, y);
        platform.expectOneError("cannot be stored");
        EXPECT_TRUE(before == std::pair(picture(canvas), slotsOf(set.Points())));
        EXPECT_EQ(canvas.ForeColor(), pointset::kLightGrey);
    }
}

}  // namespace
