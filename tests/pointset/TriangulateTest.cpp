// RunTriangulation: the library call, the picture and caption it leads to, and
// every way a run can fail without changing anything.
#include "Fakes.h"

#ifdef _WIN32
#include "Win32LibraryLoader.h"
using SystemLibraryLoader = Win32LibraryLoader;
#else
#include "PosixLibraryLoader.h"
using SystemLibraryLoader = PosixLibraryLoader;
#endif

namespace {

using pointset::kLightGrey;
using pointset::kRed;
using Reading = std::tuple<bool, int, Colour>;  // library loaded, calls made, a pixel of disc 1

// The clock is read right before and right after the library call: the library
// is loaded before the first reading, the picture changed after the second.
// The time has three decimals at most, halves to even, the user's separator; a
// clock that has run long is not subtracted in single precision. The mesh is
// grey, with red dots in place of the discs. The program never writes "third"
// or slot 0: growing Points keeps what the library left there, in every slot.
class Run : public PointSetTest,
            public ::testing::WithParamInterface<std::tuple<double, double, char, const char*>> {};

TEST_P(Run, TimesTheCallAloneDrawsTheMeshAndKeepsWhatTheLibraryWrote) {
    const auto [start, seconds, separator, shown] = GetParam();
    std::tie(platform.decimal, platform.group) = std::pair(separator, separator == ',' ? '.' : ',');
    placeTriangle();
    std::vector<Reading> readings;
    platform.clock = {start, start + seconds};
    platform.onClock = [&] { readings.emplace_back(library.loaded(), recorder.calls, pixel(101, 100)); };
    set.RunTriangulation();
    EXPECT_EQ(controls.caption, std::string("Points:3 Triangles:1 Triangulate time:") + shown + " seconds");
    EXPECT_EQ(readings, (std::vector<Reading>{{true, 0, kRed}, {true, 1, kRed}}));
    EXPECT_EQ(std::tuple(recorder.pointCount, recorder.triangleCapacity, recorder.pointCapacity, recorder.flag,
                         recorder.points, recorder.triangleArray),
              std::tuple(3, 18, 9, 1, set.Points().data(), set.Triangles().data()));
    for (auto [x, y] : {std::pair{200, 100}, {100, 150}, {200, 150}}) EXPECT_EQ(pixel(x, y), kLightGrey);
    for (auto [x, y] : {std::pair{100, 100}, {300, 100}, {100, 200}}) EXPECT_EQ(pixel(x, y), kRed);
    EXPECT_EQ(countColour(canvas, kRed), 3) << "the discs are gone";
    EXPECT_EQ(countColour(canvas, pointset::kWhite) + countColour(canvas, kLightGrey), 400 * 300 - 3);
    EXPECT_EQ(std::pair(canvas.ForeColor(), platform.pointerChanges), std::pair(kRed, std::vector<int>{11, 0}));

    std::vector<PointRecord> expected = slotsOf(set.Points());
    ASSERT_EQ(expected.back().third, 1009);
    place(200, 250);
    place(300, 250);
    expected[4] = {3007, 3757, 1004};
    expected[5] = {4507, 3757, 1005};
    expected.resize(12);
    EXPECT_EQ(slotsOf(set.Points()), expected);
}

INSTANTIATE_TEST_SUITE_P(RunTriangulation, Run,
                         ::testing::Values(std::tuple{1e3, 0.0625, '.', "0.062"}, std::tuple{1e3, 0.1875, ',', "0,188"},
                                           std::tuple{1e3, 1.5, '.', "1.5"}, std::tuple{1e3, 1.5, ',', "1,5"},
                                           std::tuple{3e7, 0.1875, '.', "0.188"}));

// Four points give slots 0..10 and room for 20 triangles. 20 triangles with the
// corners 0 and 10 are drawn; any other negative result than -1 is a count of
// no triangles: only the dots. One triangle more, or a corner past either end,
// gets a box naming it; -1 gets the box that says memory ran out, and
// Triangles is then the array the library had. After a box nothing changes.
struct Answer {
    std::int32_t result;
    std::vector<TriangleRecord> triangles;
    bool drawn;
    const char* shown;  // the caption's triangle count, or what the box names
};

void PrintTo(const Answer& answer, std::ostream* out) { *out << answer.result << " " << answer.shown; }

class Answers : public PointSetTest, public ::testing::WithParamInterface<Answer> {};

TEST_P(Answers, AreDrawnWithinTheBoundsAndRefusedBeyond) {
    const auto& [result, triangles, drawn, shown] = GetParam();
    placeTriangle();
    set.RunTriangulation();
    place(200, 250);
    const auto before = std::tuple(picture(canvas), controls.caption, slotsOf(set.Triangles()));
    recorder.result = result;
    recorder.triangles = triangles;
    set.RunTriangulation();
    EXPECT_EQ(platform.pointer, 0);
    if (drawn) {
        EXPECT_EQ(controls.caption, "Points:4 Triangles:" + std::string(shown) + " Triangulate time:0 seconds");
        EXPECT_EQ(std::pair(countColour(canvas, kRed), countColour(canvas, kLightGrey) > 0), std::pair(4, result > 0));
        EXPECT_TRUE(platform.boxes.empty());
    } else if (result == -1) {
        EXPECT_EQ(platform.boxes, (std::vector<Box>{{"Not enough memory", "Error", 48, 11}}));
        EXPECT_EQ(std::tuple(set.Triangles().data(), set.Triangles().upperBound()),
                  std::tuple(recorder.triangleArray, 20));
        EXPECT_TRUE(std::get<0>(before) == picture(canvas) && std::get<1>(before) == controls.caption);
    } else {
        platform.expectOneError(shown);
        EXPECT_TRUE(before == std::tuple(picture(canvas), controls.caption, slotsOf(set.Triangles())));
    }
}

INSTANTIATE_TEST_SUITE_P(RunTriangulation, Answers,
                         ::testing::Values(Answer{20, std::vector<TriangleRecord>(20, {0, 1, 10}), true, "20"},
                                           Answer{-2, {{1, 2, 3}}, true, "-2"}, Answer{-77, {{1, 2, 3}}, true, "-77"},
                                           Answer{-1, {{1, 2, 3}}, false, ""}, Answer{21, {}, false, "21"},
                                           Answer{1, {{1, 2, 11}}, false, "11"},
                                           Answer{2, {{1, 2, 3}, {4, -1, 2}}, false, "-1"}));

// A library file that cannot be had, or has no Triangulate: the box names it
// and nothing changes. One that loads stays loaded for the next run.
class LibraryFile : public PointSetTest, public ::testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(LibraryFile, IsNamedWhenItCannotServeAndKeptWhenItCan) {
    const auto [file, error] = GetParam();
    SystemLibraryLoader systemLoader;
    pointset::TriangulateLibrary real(systemLoader, file);
    pointset::PointSet points(canvas, platform, controls, real);
    points.PlacePoint(1, 0, twips(30), twips(30));
    const auto before = std::pair(picture(canvas), controls.caption);
    points.RunTriangulation();
    if (error == nullptr) {
        points.RunTriangulation();
        EXPECT_EQ(controls.caption, "Points:1 Triangles:0 Triangulate time:0 seconds");
        return;
    }
    platform.expectOneError(file);
    platform.expectOneError(error);
    EXPECT_TRUE(before == std::pair(picture(canvas), controls.caption));
}

INSTANTIATE_TEST_SUITE_P(RunTriangulation, LibraryFile,
                         ::testing::Values(std::pair{"no-such-folder/" VANTREL_LIBRARY_FILE, "Cannot load"},
                                           std::pair{VANTREL_NOENTRY_PATH, "has no function Triangulate"},
                                           std::pair{VANTREL_RECORDER_PATH, nullptr}));

// A run before the first press hands the library real, empty arrays.
TEST_F(PointSetTest, RunsOnAnEmptyStoreBeforeAnyPress) {
    recorder.result = 0;
    set.RunTriangulation();
    ASSERT_EQ(recorder.calls, 1);
    EXPECT_TRUE(recorder.points != nullptr && recorder.triangleArray != nullptr);
    EXPECT_EQ(controls.caption, "Points:0 Triangles:0 Triangulate time:0 seconds");
}

// A library that could not be loaded is looked for again at the next run.
TEST_F(PointSetTest, LooksForTheLibraryAgainAfterAFailure) {
    struct FailingOnce : RecordingLoader {
        int loads = 0;
        Loaded load(const std::string& file, const char* entry) override {
            return ++loads == 1 ? Loaded{{}, nullptr, {}, "gone"} : RecordingLoader::load(file, entry);
        }
    } failingOnce;
    pointset::TriangulateLibrary retrying(failingOnce);
    pointset::PointSet points(canvas, platform, controls, retrying);
    recorder.result = 0;
    points.RunTriangulation();
    points.RunTriangulation();
    platform.expectOneError("gone");
    EXPECT_EQ(std::pair(failingOnce.loads, recorder.calls), std::pair(2, 1));
}

}  // namespace
