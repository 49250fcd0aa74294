// GenerateRandomPoints: the prompt, reading the reply, the batch itself, and
// the check box and pointer it must give back.
#include <tuple>

#include "Fakes.h"

namespace {

using pointset::kRed;
using pointset::kWhite;

using GenerateRandomPoints = PointSetTest;

TEST_F(GenerateRandomPoints, AsksWithTheFixedPromptTitleAndDefault) {
    set.GenerateRandomPoints();
    ASSERT_EQ(platform.prompts.size(), 1u);
    EXPECT_EQ(platform.prompts[0].prompt,
              "Enter number of points.\r\nNote: Triangulate more than 1000 random-ordered "
              "points can take some time...");
    EXPECT_EQ(platform.prompts[0].title, "Number of points");
    EXPECT_EQ(platform.prompts[0].defaultText, "50");
}

TEST_F(GenerateRandomPoints, CancelLeavesEverythingAsItWasIncludingTheCheckBox) {
    place(twips(10), twips(10));
    place(twips(30), twips(30));
    controls.value = 1;
    controls.caption = "caption before";
    const QImage before = canvas.image().copy();
    const auto pointsBefore = slotsOf(set.Points());

    set.GenerateRandomPoints();  // no reply scripted: Cancel

    EXPECT_EQ(controls.value, 1);
    EXPECT_EQ(controls.valueChanges, (std::vector<int>{0, 1}))
        << "the box must be unchecked while the prompt is up";
    EXPECT_EQ(set.nPoints(), 2);
    EXPECT_EQ(slotsOf(set.Points()), pointsBefore);
    EXPECT_EQ(canvas.image(), before);
    EXPECT_EQ(controls.caption, "caption before");
    EXPECT_TRUE(platform.pointerChanges.empty());
    EXPECT_TRUE(platform.boxes.empty());
}

class ReplyBelowOne : public PointSetTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ReplyBelowOne, ClearsAndPlacesNothing) {
    place(twips(10), twips(10));
    platform.replies = {GetParam()};

    set.GenerateRandomPoints();

    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(set.nPoints(), 0);
    EXPECT_EQ(set.Points().upperBound(), 0);
    EXPECT_EQ(countColour(canvas.image(), kWhite), 400 * 300);
    EXPECT_EQ(platform.randomDraws, 0);
    EXPECT_EQ(platform.pointerChanges, (std::vector<int>{11, 0}));
}

INSTANTIATE_TEST_SUITE_P(GenerateRandomPoints, ReplyBelowOne,
                         ::testing::Values("0", "0.5", "0.999", "-3"));

// The reply read in the user's number format; a fraction is cut off by the
// loop's "while i <= N", so two and a half makes two points.
class ReplyFormat
    : public PointSetTest,
      public ::testing::WithParamInterface<std::tuple<const char*, char, char, int>> {};

TEST_P(ReplyFormat, GivesTheNumberOfPointsTried) {
    const auto [reply, decimal, group, tried] = GetParam();
    platform.decimal = decimal;
    platform.group = group;
    platform.replies = {reply};

    set.GenerateRandomPoints();

    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(platform.randomDraws, 2 * tried);
}

INSTANTIATE_TEST_SUITE_P(GenerateRandomPoints, ReplyFormat,
                         ::testing::Values(std::tuple{"2.5", '.', ',', 2},
                                           std::tuple{"2,5", ',', '.', 2},
                                           std::tuple{"2,5", '.', ',', 25},
                                           std::tuple{"1.000", ',', '.', 1000},
                                           std::tuple{" 7 ", '.', ',', 7},
                                           std::tuple{"3e1", '.', ',', 30}));

TEST_F(GenerateRandomPoints, TheFirstDrawOfAPairGoesToXTheSecondToY) {
    platform.scriptedRandom = std::deque<float>{0.25f, 0.75f, 0.5f, 0.125f};
    platform.replies = {"2"};

    set.GenerateRandomPoints();

    // 400 x 300 pixels are 6000 x 4500 twips.
    ASSERT_EQ(set.nPoints(), 2);
    EXPECT_EQ(set.Points().at(1), (PointRecord{1500, 3375, 0}));
    EXPECT_EQ(set.Points().at(2), (PointRecord{3000, 562, 0}));  // 562.5 to even
}

TEST_F(GenerateRandomPoints, ThreeWithAutoCheckedDrawDiscsWithoutATriangulation) {
    controls.value = 1;
    platform.scriptedRandom = std::deque<float>{0.1f, 0.1f, 0.5f, 0.5f, 0.9f, 0.9f};
    platform.replies = {"3"};

    set.GenerateRandomPoints();

    EXPECT_EQ(set.nPoints(), 3);
    EXPECT_EQ(recorder.callCount(), 0);
    EXPECT_EQ(controls.value, 1);
    EXPECT_EQ(controls.caption, FakeControls::kInitialCaption);
    EXPECT_EQ(canvas.Point(600.0f + 15.0f, 450.0f), kRed) << "points show as discs";
    EXPECT_EQ(platform.pointerChanges, (std::vector<int>{11, 0}));
}

TEST_F(GenerateRandomPoints, APointOnADiscOfTheBatchIsDroppedWithoutRetry) {
    platform.scriptedRandom = std::deque<float>{0.5f, 0.5f, 0.5f, 0.5f, 0.2f, 0.2f};
    platform.replies = {"3"};

    set.GenerateRandomPoints();

    EXPECT_EQ(set.nPoints(), 2);
    EXPECT_EQ(platform.randomDraws, 6);
}

// One start of the program: a fresh random source, canvas and store.
struct ProgramStart {
    RasterCanvas canvas{QSize(400, 300)};
    FakePlatform platform;
    FakeControls controls;
    pointset::TriangulateLibrary library{VANTREL_RECORDER_PATH};
    pointset::PointSet set{canvas, platform, controls, library};

    std::vector<PointRecord> pointsAfterBatches(int count, int batches) {
        for (int i = 0; i < batches; ++i) {
            platform.replies.push_back(std::to_string(count));
            set.GenerateRandomPoints();
        }
        return slotsOf(set.Points());
    }
};

TEST_F(GenerateRandomPoints, TheFirstBatchIsTheSameAfterEveryStartTheNextDiffers) {
    const auto firstStart = ProgramStart().pointsAfterBatches(20, 1);
    EXPECT_EQ(ProgramStart().pointsAfterBatches(20, 1), firstStart);
    EXPECT_NE(ProgramStart().pointsAfterBatches(20, 2), firstStart);
    EXPECT_GE(firstStart.size(), 20u);
}

class NotANumber : public PointSetTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(NotANumber, ShowsAMessageAndChangesNothing) {
    place(twips(10), twips(10));
    controls.value = 1;
    const QImage before = canvas.image().copy();
    platform.replies = {GetParam()};

    set.GenerateRandomPoints();

    ASSERT_EQ(platform.boxes.size(), 1u);
    EXPECT_EQ(platform.boxes[0].style, 48);
    EXPECT_EQ(platform.boxes[0].title, "Error");
    EXPECT_NE(platform.boxes[0].text.find(GetParam()), std::string::npos);
    EXPECT_EQ(set.nPoints(), 1);
    EXPECT_EQ(canvas.image(), before);
    EXPECT_EQ(controls.value, 1);
    EXPECT_EQ(platform.pointer, 0);
}

INSTANTIATE_TEST_SUITE_P(GenerateRandomPoints, NotANumber,
                         ::testing::Values("abc", "2.5.1", "12abc", "1e", "--2", ".", "1e999"));

TEST_F(GenerateRandomPoints, ReportsProgressEveryFewThousandPoints) {
    platform.replies = {"20000"};

    set.GenerateRandomPoints();

    EXPECT_EQ(platform.progressTotal, 20000);
    EXPECT_EQ(platform.progressEnds, 1);
    ASSERT_FALSE(platform.progressReports.empty());
    EXPECT_LE(platform.progressReports.size(), 20u) << "reporting per point would slow the batch";
    for (std::size_t i = 1; i < platform.progressReports.size(); ++i) {
        EXPECT_GT(platform.progressReports[i], platform.progressReports[i - 1]);
    }
    EXPECT_LE(platform.progressReports.back(), 20000);
}

TEST_F(GenerateRandomPoints, CancelDuringTheBatchKeepsThePointsPlacedSoFar) {
    controls.value = 1;
    platform.replies = {"1000000"};
    platform.cancelFrom = 1;

    set.GenerateRandomPoints();

    ASSERT_EQ(platform.progressReports.size(), 1u);
    const std::int64_t tried = platform.progressReports[0];
    EXPECT_EQ(platform.randomDraws, 2 * tried) << "the batch went on after the cancel";
    EXPECT_GT(set.nPoints(), 0);
    EXPECT_LE(set.nPoints(), tried);
    EXPECT_EQ(set.Points().upperBound(), set.nPoints() + 6);
    EXPECT_GT(countColour(canvas.image(), kRed), 0);
    EXPECT_EQ(controls.value, 1);
    EXPECT_EQ(platform.pointer, 0);
    EXPECT_EQ(platform.progressEnds, 1);
    EXPECT_TRUE(platform.boxes.empty());
}

TEST(RandomSource, GivesNumbersInZeroToOneThatVary) {
    pointset::RandomSource source;
    float low = 1.0f;
    float high = 0.0f;
    for (int i = 0; i < 100000; ++i) {
        const float value = source.next();
        ASSERT_GE(value, 0.0f);
        ASSERT_LT(value, 1.0f);
        low = std::min(low, value);
        high = std::max(high, value);
    }
    EXPECT_LT(low, 0.001f);
    EXPECT_GT(high, 0.999f);
}

}  // namespace
