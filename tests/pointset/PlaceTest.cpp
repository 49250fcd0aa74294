// PlacePoint: the store's bounds and rounding, the pixel test, and the
// automatic triangulation.
#include <tuple>

#include "Fakes.h"

namespace {

using pointset::kRed;
using PlacePoint = PointSetTest;

TEST_F(PlacePoint, BoundsAreSevenEightNineAndSlotZeroStaysEmpty) {
    std::vector<std::int32_t> bounds;
    for (int i = 0; i < 3; ++i) {
        place(100 + 200 * (i % 2), 100 + 100 * (i / 2));
        bounds.push_back(set.Points().upperBound());
    }
    EXPECT_EQ(bounds, (std::vector<std::int32_t>{7, 8, 9}));
    EXPECT_FALSE(set.Triangles().exists()) << "placing must not create Triangles";
    std::vector<PointRecord> expected(10);
    expected[1] = {1507, 1507, 0};
    expected[2] = {4507, 1507, 0};
    expected[3] = {1507, 3007, 0};
    EXPECT_EQ(slotsOf(set.Points()), expected);
}

// Halves go to the even neighbour.
class Rounding : public PointSetTest, public ::testing::WithParamInterface<std::pair<float, int>> {};

TEST_P(Rounding, StoresTheNearestIntegerWithHalvesToEven) {
    const auto [position, stored] = GetParam();
    set.PlacePoint(1, 0, position, position + 1000.0f);
    ASSERT_EQ(set.nPoints(), 1);
    EXPECT_EQ(set.Points().at(1), (PointRecord{stored, stored + 1000, 0}));
}

INSTANTIATE_TEST_SUITE_P(PlacePoint, Rounding,
                         ::testing::Values(std::pair{100.5f, 100}, std::pair{101.5f, 102},
                                           std::pair{100.49f, 100}, std::pair{2222.75f, 2223}));

// A second press at an offset in twips from the first point: refused on its
// disc, also one twip beside the centre, accepted on white.
class SecondPress : public PointSetTest, public ::testing::WithParamInterface<std::tuple<float, float, bool>> {};

TEST_P(SecondPress, IsRefusedOnTheDiscAndAcceptedOnWhite) {
    const auto [dx, dy, accepted] = GetParam();
    set.PlacePoint(1, 0, 1507.0f, 1507.0f);
    const auto before = picture(canvas);
    const auto slotsBefore = slotsOf(set.Points());
    set.PlacePoint(1, 0, 1507.0f + dx, 1507.0f + dy);
    EXPECT_EQ(set.nPoints(), accepted ? 2 : 1);
    if (accepted) {
        EXPECT_EQ(canvas.Point(1507.0f + dx, 1507.0f + dy), kRed);
    } else {
        EXPECT_EQ(slotsOf(set.Points()), slotsBefore);
        EXPECT_EQ(picture(canvas), before);
    }
}

INSTANTIATE_TEST_SUITE_P(PlacePoint, SecondPress,
                         ::testing::Values(std::tuple{0.0f, 0.0f, false}, std::tuple{1.0f, 0.0f, false},
                                           std::tuple{0.0f, -1.0f, false}, std::tuple{15.0f, 15.0f, false},
                                           std::tuple{90.0f, 0.0f, true}, std::tuple{0.0f, -90.0f, true}));

TEST_F(PlacePoint, AfterARunOnlyTheDotItselfIsRefused) {
    placeTriangle();
    recorder.fan = true;
    set.RunTriangulation();
    ASSERT_EQ(pixel(200, 100), pointset::kLightGrey);
    set.PlacePoint(1, 0, twips(100), twips(100));  // on the dot
    EXPECT_EQ(set.nPoints(), 3);
    set.PlacePoint(1, 0, twips(101), twips(99));  // where the disc was
    set.PlacePoint(1, 0, twips(200), twips(100));  // on a grey edge
    EXPECT_EQ(set.nPoints(), 5);
}

// chkAuto is ANDed bitwise with a "true" of all bits set: 2 triangulates too.
class AutoCondition : public PointSetTest, public ::testing::WithParamInterface<int> {};

TEST_P(AutoCondition, TriangulatesFromTheThirdPointWhenTheBoxIsNonZero) {
    controls.value = GetParam();
    recorder.fan = true;
    std::vector<int> runs;
    for (int i = 0; i < 4; ++i) {
        place(50 + 40 * i, 60 + 30 * (i % 2));
        runs.push_back(recorder.calls);
    }
    EXPECT_EQ(runs, (GetParam() == 0 ? std::vector<int>{0, 0, 0, 0} : std::vector<int>{0, 0, 1, 2}));
    EXPECT_EQ(controls.caption, GetParam() == 0 ? FakeControls::kInitialCaption
                                                : "Points:4 Triangles:2 Triangulate time:0 seconds");
    EXPECT_EQ(controls.value, GetParam());
}

INSTANTIATE_TEST_SUITE_P(PlacePoint, AutoCondition, ::testing::Values(0, 1, 2));

}  // namespace
