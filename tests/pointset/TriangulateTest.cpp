// RunTriangulation: the library call, the picture and caption it leads to,
// and every way a run can fail without changing anything.
#include <unistd.h>

#include <filesystem>
#include <tuple>

#include "Fakes.h"

namespace {

using pointset::kLightGrey;
using pointset::kRed;
using pointset::kWhite;
using RunTriangulation = PointSetTest;

// Before any array exists a run works on an empty store.
TEST_F(RunTriangulation, PassesCountCapacitiesArraysAndFlagInTheirOrder) {
    set.RunTriangulation();
    EXPECT_EQ(std::tuple(recorder.pointCount, recorder.triangleCapacity, recorder.pointCapacity),
              std::tuple(0, 0, 0));
    EXPECT_NE(recorder.points, nullptr);
    EXPECT_EQ(controls.caption, "Points:0 Triangles:0 Triangulate time:0 seconds");
    placeTriangle();
    set.RunTriangulation();
    EXPECT_EQ(std::tuple(recorder.pointCount, recorder.triangleCapacity, recorder.pointCapacity, recorder.flag),
              std::tuple(3, 18, 9, 1));
    EXPECT_EQ(recorder.points, set.Points().data());
    EXPECT_EQ(recorder.triangleArray, set.Triangles().data());
    EXPECT_TRUE(recorder.trianglesWereZero) << "Triangles must be re-created before the call";
    EXPECT_EQ(set.Triangles().upperBound(), 18);
    EXPECT_EQ(recorder.seenPoints, slotsOf(set.Points()));
    EXPECT_EQ(recorder.seenPoints.at(0), PointRecord{}) << "slot 0 must not carry a point";
}

TEST_F(RunTriangulation, DrawsTheMeshInGreyWithRedDotsInPlaceOfTheDiscs) {
    placeTriangle();
    answer(1, {{1, 2, 3}});
    set.RunTriangulation();
    for (auto [x, y] : {std::pair{200, 100}, {100, 150}, {200, 150}}) EXPECT_EQ(pixel(x, y), kLightGrey);
    for (auto [x, y] : {std::pair{100, 100}, {300, 100}, {100, 200}}) EXPECT_EQ(pixel(x, y), kRed);
    EXPECT_EQ(pixel(99, 99), kWhite) << "the discs are gone";
    EXPECT_EQ(countColour(canvas, kRed), 3);
    EXPECT_EQ(countColour(canvas, kWhite) + countColour(canvas, kLightGrey) + 3, 400 * 300)
        << "no other colour";
    EXPECT_EQ(platform.pointerChanges, (std::vector<int>{11, 0}));
}

// -1 means out of memory: a box, and nothing drawn. Any other negative
// result is a count of no triangles: only the dots, and the number as it came.
class NegativeResult : public PointSetTest, public ::testing::WithParamInterface<std::int32_t> {};

TEST_P(NegativeResult, DrawsNoTriangle) {
    placeTriangle();
    const auto before = picture(canvas);
    answer(GetParam(), {{1, 2, 3}});
    set.RunTriangulation();
    EXPECT_EQ(countColour(canvas, kLightGrey), 0);
    if (GetParam() == -1) {
        platform.expectOneError("Not enough memory");
        EXPECT_EQ(platform.boxes[0].pointerWhenShown, 11) << "the hourglass stays until the box goes";
        EXPECT_EQ(picture(canvas), before);
        EXPECT_EQ(controls.caption, FakeControls::kInitialCaption);
    } else {
        EXPECT_TRUE(platform.boxes.empty());
        EXPECT_EQ(countColour(canvas, kRed), 3);
        EXPECT_EQ(controls.caption, "Points:3 Triangles:" + std::to_string(GetParam()) + " Triangulate time:0 seconds");
    }
    EXPECT_EQ(set.Triangles().data(), recorder.triangleArray) << "Triangles is the array the library had";
}

INSTANTIATE_TEST_SUITE_P(RunTriangulation, NegativeResult, ::testing::Values(-1, -2, -77));

// Answers that cannot be drawn: a box says why and nothing changes.
class UnsoundAnswer
    : public PointSetTest,
      public ::testing::WithParamInterface<std::tuple<std::int32_t, std::vector<TriangleRecord>, const char*>> {};

TEST_P(UnsoundAnswer, ShowsAMessageAndKeepsStorePictureAndCaption) {
    const auto& [result, triangles, mentioned] = GetParam();
    placeTriangle();
    answer(1, {{1, 2, 3}});
    set.RunTriangulation();
    place(200, 250);
    const auto before = picture(canvas);
    const std::string caption = controls.caption;
    const auto trianglesBefore = slotsOf(set.Triangles());
    answer(result, triangles);
    set.RunTriangulation();
    platform.expectOneError(mentioned);
    EXPECT_EQ(picture(canvas), before);
    EXPECT_EQ(controls.caption, caption);
    EXPECT_EQ(slotsOf(set.Triangles()), trianglesBefore);
}

INSTANTIATE_TEST_SUITE_P(RunTriangulation, UnsoundAnswer,
                         ::testing::Values(std::tuple(21, std::vector<TriangleRecord>{}, "21"),
                                           std::tuple(1, std::vector<TriangleRecord>{{1, 2, 11}}, "11"),
                                           std::tuple(2, std::vector<TriangleRecord>{{1, 2, 3}, {4, -1, 2}}, "-1")));

// The bounds themselves are sound: corner 0, the last slot, and as many
// triangles as there is room for.
TEST_F(RunTriangulation, DrawsAnAnswerThatFillsTheArrayToItsBounds) {
    placeTriangle();  // slots 0..9, room for 18 triangles
    answer(18, std::vector<TriangleRecord>(18, {0, 1, 9}));
    set.RunTriangulation();
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(controls.caption, "Points:3 Triangles:18 Triangulate time:0 seconds");
}

// The time: three decimals at most, halves to even, the user's separator.
// A clock that has run long must not be subtracted in single precision.
class CaptionTime : public PointSetTest,
                    public ::testing::WithParamInterface<std::tuple<double, double, char, const char*>> {};

TEST_P(CaptionTime, IsRoundedAndWrittenInTheUsersFormat) {
    const auto [start, seconds, separator, shown] = GetParam();
    platform.decimal = separator;
    platform.group = separator == ',' ? '.' : ',';
    placeTriangle();
    answer(1, {{1, 2, 3}});
    platform.clockReadings = {start, start + seconds};
    set.RunTriangulation();
    EXPECT_EQ(controls.caption, std::string("Points:3 Triangles:1 Triangulate time:") + shown + " seconds");
}

INSTANTIATE_TEST_SUITE_P(
    RunTriangulation, CaptionTime,
    ::testing::Values(std::tuple{1e3, 0.0625, '.', "0.062"}, std::tuple{1e3, 0.1875, '.', "0.188"},
                      std::tuple{1e3, 1.5, '.', "1.5"}, std::tuple{1e3, 0.0625, ',', "0,062"},
                      std::tuple{1e3, 0.1875, ',', "0,188"}, std::tuple{1e3, 1.5, ',', "1,5"},
                      std::tuple{3e7, 0.1875, '.', "0.188"}));

// A library that cannot be had: the box names it and nothing changes; the
// next run tries again.
class MissingLibrary : public PointSetTest, public ::testing::WithParamInterface<bool> {};

TEST_P(MissingLibrary, IsNamedAndTheNextRunTriesAgain) {
    const auto directory = std::filesystem::temp_directory_path() / ("pointset-" + std::to_string(getpid()));
    std::filesystem::create_directories(directory);
    const std::string file = GetParam() ? VANTREL_NOENTRY_PATH : (directory / VANTREL_LIBRARY_FILE).string();
    {
        // Windows removes no library while it is loaded: this one goes first.
        pointset::TriangulateLibrary missing(loader, file);
        pointset::PointSet points(canvas, platform, controls, missing);
        points.PlacePoint(1, 0, twips(30), twips(30));
        const auto before = picture(canvas);
        points.RunTriangulation();
        platform.expectOneError(file);
        platform.expectOneError(GetParam() ? "Triangulate" : kNoSuchFile);
        EXPECT_EQ(picture(canvas), before);
        EXPECT_EQ(controls.caption, FakeControls::kInitialCaption);
        if (!GetParam()) {
            std::filesystem::copy_file(VANTREL_RECORDER_PATH, file);
            points.RunTriangulation();
            EXPECT_EQ(controls.caption, "Points:1 Triangles:0 Triangulate time:0 seconds");
        }
    }
    std::filesystem::remove_all(directory);
}

INSTANTIATE_TEST_SUITE_P(RunTriangulation, MissingLibrary, ::testing::Bool());

}  // namespace
