// PlacePoint: the pixel test, the store's growth and rounding, and the
// automatic triangulation.
#include <set>
#include <tuple>

#include "Fakes.h"

namespace {

using pointset::kRed;
using pointset::kWhite;

using PlacePoint = PointSetTest;

TEST_F(PlacePoint, UpperBoundIsSevenEightNineAfterAClear) {
    set.ClearPoints();
    std::vector<std::int32_t> bounds;
    for (int i = 0; i < 3; ++i) {
        place(twips(50 + 50 * i), twips(50));
        bounds.push_back(set.Points().upperBound());
    }
    EXPECT_EQ(bounds, (std::vector<std::int32_t>{7, 8, 9}));
    EXPECT_EQ(set.Triangles().upperBound(), 0) << "placing must not touch Triangles";
}

TEST_F(PlacePoint, FirstPlacementCreatesPointsButNotTriangles) {
    place(twips(50), twips(50));
    EXPECT_EQ(set.Points().upperBound(), 7);
    EXPECT_FALSE(set.Triangles().exists());
}

TEST_F(PlacePoint, PointsFillSlotsFromOneInOrderAndTheRestStaysZero) {
    placeTriangle();
    const auto stored = slotsOf(set.Points());
    ASSERT_EQ(stored.size(), 10u);
    EXPECT_EQ(stored[0], PointRecord{}) << "slot 0 must never hold a point";
    EXPECT_EQ(stored[1], (PointRecord{1507, 1507, 0}));
    EXPECT_EQ(stored[2], (PointRecord{4507, 1507, 0}));
    EXPECT_EQ(stored[3], (PointRecord{1507, 3007, 0}));
    for (std::size_t i = 4; i < stored.size(); ++i) {
        EXPECT_EQ(stored[i], PointRecord{}) << "spare slot " << i;
    }
}

// Halves go to the even neighbour; everything else to the nearest integer.
class Rounding : public PointSetTest, public ::testing::WithParamInterface<std::pair<float, int>> {};

TEST_P(Rounding, StoresTheNearestIntegerWithHalvesToEven) {
    const auto [position, stored] = GetParam();
    place(position, position + 1000.0f);
    ASSERT_EQ(set.nPoints(), 1);
    EXPECT_EQ(set.Points().at(1).x, stored);
    EXPECT_EQ(set.Points().at(1).y, stored + 1000);
}

INSTANTIATE_TEST_SUITE_P(PlacePoint, Rounding,
                         ::testing::Values(std::pair{100.5f, 100}, std::pair{101.5f, 102},
                                           std::pair{99.5f, 100}, std::pair{0.5f, 0},
                                           std::pair{100.49f, 100}, std::pair{100.51f, 101},
                                           std::pair{2222.25f, 2222}, std::pair{2222.75f, 2223}));

// A second press at an offset (in twips) from the first point's position.
class SecondPress : public PointSetTest,
                    public ::testing::WithParamInterface<std::tuple<float, float, bool>> {};

TEST_P(SecondPress, IsRefusedOnTheDiscAndAcceptedOnWhite) {
    const auto [dx, dy, accepted] = GetParam();
    place(1507.0f, 1507.0f);
    const QImage before = canvas.image().copy();
    const auto slotsBefore = slotsOf(set.Points());

    place(1507.0f + dx, 1507.0f + dy);

    if (accepted) {
        EXPECT_EQ(set.nPoints(), 2);
        EXPECT_EQ(canvas.Point(1507.0f + dx, 1507.0f + dy), kRed);
    } else {
        EXPECT_EQ(set.nPoints(), 1);
        EXPECT_EQ(slotsOf(set.Points()), slotsBefore) << "a refused press changed the store";
        EXPECT_EQ(canvas.image(), before) << "a refused press drew";
    }
}

INSTANTIATE_TEST_SUITE_P(PlacePoint, SecondPress,
                         ::testing::Values(std::tuple{0.0f, 0.0f, false},
                                           std::tuple{1.0f, 0.0f, false},
                                           std::tuple{-1.0f, 0.0f, false},
                                           std::tuple{0.0f, 1.0f, false},
                                           std::tuple{0.0f, -1.0f, false},
                                           std::tuple{15.0f, 15.0f, false},
                                           std::tuple{90.0f, 0.0f, true},
                                           std::tuple{-90.0f, 0.0f, true},
                                           std::tuple{0.0f, 90.0f, true},
                                           std::tuple{0.0f, -90.0f, true}));

class AnyButton : public PointSetTest,
                  public ::testing::WithParamInterface<std::pair<std::int16_t, std::int16_t>> {};

TEST_P(AnyButton, PlacesAPointWhateverTheButtonAndKeys) {
    const auto [button, shift] = GetParam();
    set.PlacePoint(button, shift, twips(40), twips(40));
    EXPECT_EQ(set.nPoints(), 1);
    EXPECT_EQ(pixel(40, 40), kRed);
}

INSTANTIATE_TEST_SUITE_P(PlacePoint, AnyButton,
                         ::testing::Values(std::pair<std::int16_t, std::int16_t>{1, 0},
                                           std::pair<std::int16_t, std::int16_t>{2, 0},
                                           std::pair<std::int16_t, std::int16_t>{4, 0},
                                           std::pair<std::int16_t, std::int16_t>{1, 1},
                                           std::pair<std::int16_t, std::int16_t>{2, 7}));

// chkAuto is ANDed bitwise with a truth value whose "true" is all bits set:
// a value of 2 triangulates as well as 1 does.
class AutoCondition : public PointSetTest, public ::testing::WithParamInterface<int> {};

TEST_P(AutoCondition, TriangulatesFromTheThirdPointWhenTheBoxIsNonZero) {
    controls.value = GetParam();
    recorder.scriptFan();
    std::vector<int> runsAfterEachPoint;
    for (int i = 0; i < 4; ++i) {
        place(twips(50 + 40 * i), twips(60 + 30 * (i % 2)));
        runsAfterEachPoint.push_back(recorder.callCount());
    }
    const std::vector<int> expected =
        GetParam() == 0 ? std::vector<int>{0, 0, 0, 0} : std::vector<int>{0, 0, 1, 2};
    EXPECT_EQ(runsAfterEachPoint, expected);
    EXPECT_EQ(controls.value, GetParam()) << "placing must not change the check box";
}

INSTANTIATE_TEST_SUITE_P(PlacePoint, AutoCondition, ::testing::Values(0, 1, 2, 3));

TEST_F(PlacePoint, ThirdPointWithAutoOnShowsTheMeshAtOnce) {
    controls.value = 1;
    recorder.scriptFan();
    placeTriangle();

    const RecordedCall call = recorder.lastCall();
    EXPECT_EQ(call.pointCount, 3);
    EXPECT_EQ(call.triangleCapacity, 18);
    EXPECT_EQ(call.pointCapacity, 9);
    EXPECT_EQ(controls.caption, "Points:3 Triangles:1 Triangulate time:0 seconds");
    // The new point shows as a dot: its disc is gone.
    EXPECT_EQ(pixel(100, 200), kRed);
    EXPECT_EQ(pixel(101, 201), kWhite);
    EXPECT_EQ(platform.pointer, pointset::kBusyDefault);
}

TEST_F(PlacePoint, AfterARunOnlyAPressOnTheDotItselfIsRefused) {
    placeTriangle();
    recorder.scriptFan();
    set.RunTriangulation();

    place(twips(100), twips(100));  // on the dot of point 1
    EXPECT_EQ(set.nPoints(), 3);
    place(twips(100) + 15.0f, twips(100) - 15.0f);  // the next pixel, where the disc was
    EXPECT_EQ(set.nPoints(), 4);
}

TEST_F(PlacePoint, APressOnAGreyEdgeIsAccepted) {
    placeTriangle();
    recorder.scriptFan();
    set.RunTriangulation();
    ASSERT_EQ(pixel(200, 100), pointset::kLightGrey);

    place(twips(200), twips(100));

    EXPECT_EQ(set.nPoints(), 4);
    EXPECT_EQ(pixel(200, 100), kRed);
}

// Placing n points must not move the storage once per point: n placements
// would then cost time quadratic in n.
TEST_F(PlacePoint, StorageMovesOnlyLogarithmicallyOften) {
    constexpr int kColumns = 80;  // a point every 5 pixels keeps the discs apart
    constexpr int kPoints = kColumns * 60;
    std::set<const PointRecord*> addresses;
    int moves = 0;
    const PointRecord* previous = nullptr;
    for (int i = 0; i < kPoints; ++i) {
        place(twips(2 + 5 * (i % kColumns)), twips(2 + 5 * (i / kColumns)));
        if (set.Points().data() != previous) {
            ++moves;
            previous = set.Points().data();
        }
    }
    ASSERT_EQ(set.nPoints(), kPoints);
    EXPECT_EQ(set.Points().upperBound(), kPoints + 6);
    EXPECT_LE(moves, 20);
}

class Unstorable : public PointSetTest, public ::testing::WithParamInterface<float> {};

TEST_P(Unstorable, PositionIsRefusedWithAMessageAndChangesNothing) {
    place(twips(10), twips(10));
    const QImage before = canvas.image().copy();

    place(GetParam(), 100.0f);

    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].style, 48);
    EXPECT_EQ(platform.boxes[0].title, "Error");
    EXPECT_EQ(set.nPoints(), 1);
    EXPECT_EQ(set.Points().upperBound(), 7);
    EXPECT_EQ(canvas.image(), before);
}

INSTANTIATE_TEST_SUITE_P(PlacePoint, Unstorable,
                         ::testing::Values(3.0e9f, -3.0e9f, 2147483648.0f,
                                           std::numeric_limits<float>::quiet_NaN(),
                                           std::numeric_limits<float>::infinity()));

}  // namespace
