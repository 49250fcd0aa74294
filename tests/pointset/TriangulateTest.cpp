// RunTriangulation: the library call, the picture and caption it leads to,
// and every way a run can fail without changing anything.
#include <chrono>
#include <filesystem>
#include <tuple>

#include "Fakes.h"

namespace {

using pointset::kLightGrey;
using pointset::kRed;
using pointset::kWhite;

using RunTriangulation = PointSetTest;

TEST_F(RunTriangulation, PassesCountCapacitiesArraysAndFlagInTheirOrder) {
    placeTriangle();
    set.RunTriangulation();

    ASSERT_EQ(recorder.callCount(), 1);
    const RecordedCall call = recorder.lastCall();
    EXPECT_EQ(call.pointCount, 3);
    EXPECT_EQ(call.triangleCapacity, 18);
    EXPECT_EQ(call.pointCapacity, 9);
    EXPECT_EQ(call.points, set.Points().data());
    EXPECT_EQ(call.triangles, set.Triangles().data());
    EXPECT_EQ(call.flag, 1);
    EXPECT_EQ(call.trianglesWereZero, 1) << "Triangles must be re-created before the call";
    EXPECT_EQ(set.Triangles().upperBound(), 18);

    const auto seen = recorder.lastPoints();
    ASSERT_EQ(seen.size(), 10u);
    EXPECT_EQ(seen[0], PointRecord{}) << "slot 0 must not carry a point";
    EXPECT_EQ(seen[1], (PointRecord{1507, 1507, 0}));
    EXPECT_EQ(seen[2], (PointRecord{4507, 1507, 0}));
    EXPECT_EQ(seen[3], (PointRecord{1507, 3007, 0}));
    for (std::size_t i = 4; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i], PointRecord{}) << "spare slot " << i;
    }
}

TEST_F(RunTriangulation, AfterAClearPassesZeroesAndShowsAWhiteCanvas) {
    placeTriangle();
    set.ClearPoints();
    platform.clockReadings = {500.0, 500.0};

    set.RunTriangulation();

    const RecordedCall call = recorder.lastCall();
    EXPECT_EQ(call.pointCount, 0);
    EXPECT_EQ(call.triangleCapacity, 0);
    EXPECT_EQ(call.pointCapacity, 0);
    EXPECT_EQ(countColour(canvas.image(), kWhite), 400 * 300);
    EXPECT_EQ(controls.caption, "Points:0 Triangles:0 Triangulate time:0 seconds");
}

TEST_F(RunTriangulation, BeforeAnyArrayExistsWorksOnAnEmptyStore) {
    set.RunTriangulation();

    ASSERT_EQ(recorder.callCount(), 1);
    const RecordedCall call = recorder.lastCall();
    EXPECT_EQ(call.pointCount, 0);
    EXPECT_EQ(call.triangleCapacity, 0);
    EXPECT_EQ(call.pointCapacity, 0);
    EXPECT_NE(call.points, nullptr);
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(controls.caption, "Points:0 Triangles:0 Triangulate time:0 seconds");
}

TEST_F(RunTriangulation, DrawsTheMeshInGreyWithRedDotsInPlaceOfTheDiscs) {
    placeTriangle();
    recorder.answer(1, {{1, 2, 3}});

    set.RunTriangulation();

    // Midpoints of the three edges, the three dots, and where the discs were.
    EXPECT_EQ(pixel(200, 100), kLightGrey);
    EXPECT_EQ(pixel(100, 150), kLightGrey);
    EXPECT_EQ(pixel(200, 150), kLightGrey);
    EXPECT_EQ(pixel(100, 100), kRed);
    EXPECT_EQ(pixel(300, 100), kRed);
    EXPECT_EQ(pixel(100, 200), kRed);
    EXPECT_EQ(pixel(99, 99), kWhite);
    EXPECT_EQ(pixel(102, 98), kWhite);
    EXPECT_EQ(countColour(canvas.image(), kRed), 3);
    const int grey = countColour(canvas.image(), kLightGrey);
    EXPECT_EQ(countColour(canvas.image(), kWhite) + grey + 3, 400 * 300)
        << "no other colour (no antialiasing)";
    EXPECT_EQ(canvas.ForeColor(), kRed);
    EXPECT_EQ(platform.pointerChanges, (std::vector<int>{11, 0}));
}

TEST_F(RunTriangulation, ASecondRunOnTheSamePointsDrawsTheSamePicture) {
    placeTriangle();
    recorder.answer(1, {{1, 2, 3}});
    set.RunTriangulation();
    const QImage first = canvas.image().copy();
    set.RunTriangulation();
    EXPECT_EQ(canvas.image(), first);
}

TEST_F(RunTriangulation, MinusOneShowsNotEnoughMemoryAndDrawsNothing) {
    placeTriangle();
    controls.caption = "caption before";
    const QImage before = canvas.image().copy();
    recorder.answer(-1, {{1, 2, 3}, {2, 3, 1}});

    set.RunTriangulation();

    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].text, "Not enough memory");
    EXPECT_EQ(platform.boxes[0].style, 48);
    EXPECT_EQ(platform.boxes[0].title, "Error");
    EXPECT_EQ(platform.boxes[0].pointerWhenShown, 11) << "the hourglass stays until the box is dismissed";
    EXPECT_EQ(platform.pointer, 0);
    EXPECT_EQ(canvas.image(), before);
    EXPECT_EQ(controls.caption, "caption before");
    EXPECT_EQ(set.Triangles().upperBound(), 18);
    EXPECT_EQ(set.nPoints(), 3);
}

// Any other negative result is a count of no triangles: no segment is drawn,
// the dots are, and the caption shows the number as it came.
class NegativeResult : public PointSetTest, public ::testing::WithParamInterface<std::int32_t> {};

TEST_P(NegativeResult, DrawsOnlyTheDotsAndShowsTheNumber) {
    placeTriangle();
    recorder.answer(GetParam(), {{1, 2, 3}});

    set.RunTriangulation();

    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(countColour(canvas.image(), kLightGrey), 0);
    EXPECT_EQ(countColour(canvas.image(), kRed), 3);
    EXPECT_EQ(pixel(100, 100), kRed);
    EXPECT_EQ(controls.caption, "Points:3 Triangles:" + std::to_string(GetParam()) +
                                    " Triangulate time:0 seconds");
    EXPECT_EQ(platform.pointer, 0);
}

INSTANTIATE_TEST_SUITE_P(RunTriangulation, NegativeResult, ::testing::Values(-2, -3, -5, -77));

// Answers the program cannot draw: nothing may change, and a box says why.
struct BadAnswer {
    const char* name;
    std::int32_t result;
    std::vector<TriangleRecord> triangles;
    const char* mentioned;  // text the message must contain
};

class UnsoundAnswer : public PointSetTest, public ::testing::WithParamInterface<BadAnswer> {};

TEST_P(UnsoundAnswer, ShowsAMessageAndKeepsStorePictureAndCaption) {
    placeTriangle();
    recorder.answer(1, {{1, 2, 3}});
    set.RunTriangulation();
    place(twips(200), twips(250));  // a disc on top of the mesh
    const QImage before = canvas.image().copy();
    const std::string captionBefore = controls.caption;
    const auto pointsBefore = slotsOf(set.Points());
    const auto trianglesBefore = slotsOf(set.Triangles());
    recorder.answer(GetParam().result, GetParam().triangles);

    set.RunTriangulation();

    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].style, 48);
    EXPECT_EQ(platform.boxes[0].title, "Error");
    EXPECT_NE(platform.boxes[0].text.find(GetParam().mentioned), std::string::npos)
        << platform.boxes[0].text;
    EXPECT_EQ(platform.pointer, 0);
    EXPECT_EQ(canvas.image(), before);
    EXPECT_EQ(controls.caption, captionBefore);
    EXPECT_EQ(slotsOf(set.Points()), pointsBefore);
    EXPECT_EQ(slotsOf(set.Triangles()), trianglesBefore);
}

INSTANTIATE_TEST_SUITE_P(
    RunTriangulation, UnsoundAnswer,
    ::testing::Values(BadAnswer{"MoreTrianglesThanRoom", 21, {}, "21"},
                      BadAnswer{"Int32Max", 2147483647, {}, "2147483647"},
                      BadAnswer{"CornerPastPoints", 1, {{1, 2, 11}}, "11"},
                      BadAnswer{"NegativeCorner", 2, {{1, 2, 3}, {4, -1, 2}}, "-1"}),
    [](const auto& answer) { return std::string(answer.param.name); });

// The caption's time: rounded to three decimals, halves to even, no trailing
// zeros, the user's decimal separator.
class CaptionTime
    : public PointSetTest,
      public ::testing::WithParamInterface<std::tuple<double, char, const char*>> {};

TEST_P(CaptionTime, IsRoundedAndWrittenInTheUsersFormat) {
    const auto [seconds, separator, shown] = GetParam();
    platform.decimal = separator;
    platform.group = separator == ',' ? '.' : ',';
    placeTriangle();
    recorder.answer(1, {{1, 2, 3}});
    platform.clockReadings = {1000.0, 1000.0 + seconds};

    set.RunTriangulation();

    EXPECT_EQ(controls.caption,
              std::string("Points:3 Triangles:1 Triangulate time:") + shown + " seconds");
    EXPECT_EQ(platform.clockReads, 2);
}

INSTANTIATE_TEST_SUITE_P(
    RunTriangulation, CaptionTime,
    ::testing::Values(std::tuple{0.0625, '.', "0.062"}, std::tuple{0.1875, '.', "0.188"},
                      std::tuple{1.5, '.', "1.5"}, std::tuple{0.0625, ',', "0,062"},
                      std::tuple{0.1875, ',', "0,188"}, std::tuple{1.5, ',', "1,5"},
                      std::tuple{0.0, ',', "0"}, std::tuple{0.0004, '.', "0"},
                      std::tuple{2.0, ',', "2"}, std::tuple{0.25, ',', "0,25"},
                      std::tuple{12.3456, '.', "12.346"}));

// The clock may have run for a long time: the difference of its readings
// must not be taken in single precision, whose steps are 2 s at 3e7 s.
TEST_F(RunTriangulation, ElapsedTimeKeepsMillisecondsLongAfterTheClockStarted) {
    placeTriangle();
    recorder.answer(1, {{1, 2, 3}});
    platform.clockReadings = {3.0e7, 3.0e7 + 0.1875};

    set.RunTriangulation();

    EXPECT_EQ(controls.caption, "Points:3 Triangles:1 Triangulate time:0.188 seconds");
}

// Runs whose library cannot be had.
class LibraryLoading : public PointSetTest {
protected:
    static std::filesystem::path scratchDirectory() {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        auto directory = std::filesystem::temp_directory_path() /
                         ("pointset-test-" + std::to_string(stamp));
        std::filesystem::create_directories(directory);
        return directory;
    }

    // Runs with a library of the given file name after placing a disc, and
    // checks that nothing changed.
    void expectFailedRunWith(const std::string& fileName, const std::string& mentioned) {
        pointset::TriangulateLibrary other(fileName);
        pointset::PointSet points(canvas, platform, controls, other);
        points.PlacePoint(1, 0, twips(30), twips(30));
        const QImage before = canvas.image().copy();

        points.RunTriangulation();

        ASSERT_EQ(platform.boxes.size(), 1u);
        EXPECT_EQ(platform.boxes[0].style, 48);
        EXPECT_EQ(platform.boxes[0].title, "Error");
        EXPECT_NE(platform.boxes[0].text.find(mentioned), std::string::npos)
            << platform.boxes[0].text;
        EXPECT_EQ(platform.pointer, 0);
        EXPECT_EQ(canvas.image(), before);
        EXPECT_EQ(controls.caption, FakeControls::kInitialCaption);
        EXPECT_EQ(points.nPoints(), 1);
        EXPECT_FALSE(points.Triangles().exists());
    }
};

TEST_F(LibraryLoading, AMissingFileIsNamedWithTheReason) {
    expectFailedRunWith("/nonexistent-directory/libvantrel.so", "/nonexistent-directory/libvantrel.so");
    EXPECT_NE(platform.boxes[0].text.find("No such file"), std::string::npos);
}

TEST_F(LibraryLoading, ALibraryWithoutTriangulateIsNamed) {
    expectFailedRunWith(VANTREL_NOENTRY_PATH, "Triangulate");
    EXPECT_NE(platform.boxes[0].text.find(VANTREL_NOENTRY_PATH), std::string::npos);
}

TEST_F(LibraryLoading, TheNextRunTriesAgain) {
    const auto directory = scratchDirectory();
    const auto path = directory / "libvantrel.so";
    pointset::TriangulateLibrary late(path.string());
    pointset::PointSet points(canvas, platform, controls, late);
    points.RunTriangulation();
    ASSERT_EQ(platform.boxes.size(), 1u);

    std::filesystem::copy_file(VANTREL_RECORDER_PATH, path);
    points.RunTriangulation();

    EXPECT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(controls.caption, "Points:0 Triangles:0 Triangulate time:0 seconds");
    std::filesystem::remove_all(directory);
}

TEST_F(LibraryLoading, ABareNameIsFoundBesideTheExecutable) {
    // The recorder is built into the test program's directory, which is on
    // no search path.
    pointset::TriangulateLibrary beside(
        std::filesystem::path(VANTREL_RECORDER_PATH).filename().string());
    pointset::PointSet points(canvas, platform, controls, beside);
    points.RunTriangulation();
    EXPECT_TRUE(platform.boxes.empty()) << platform.boxes[0].text;
    EXPECT_TRUE(beside.loaded());
}

}  // namespace
