// GenerateRandomPoints: the prompt, reading the reply, the batch, and the
// check box and pointer it gives back.
#include <tuple>

#include "Fakes.h"

namespace {

using GenerateRandomPoints = PointSetTest;

TEST_F(GenerateRandomPoints, CancelLeavesEverythingIncludingTheCheckBox) {
    place(10, 10);
    controls.value = 1;
    controls.caption = "caption before";
    const auto before = picture(canvas);
    set.GenerateRandomPoints();  // no reply scripted: Cancel
    EXPECT_EQ(platform.prompts, (std::vector<std::string>{
        "Enter number of points.\r\nNote: Triangulate more than 1000 random-ordered points can take some time...",
        "Number of points", "50"}));
    EXPECT_EQ(controls.valueChanges, (std::vector<int>{0, 1})) << "unchecked while the prompt is up";
    EXPECT_EQ(set.nPoints(), 1);
    EXPECT_EQ(picture(canvas), before);
    EXPECT_EQ(controls.caption, "caption before");
    EXPECT_TRUE(platform.pointerChanges.empty());
    EXPECT_TRUE(platform.boxes.empty());
}

// The reply in the user's number format, read once; "while i <= N" cuts a
// fraction off, so three and a half makes three points, and under one
// (underflow to zero included) clears the store and makes none.
class ReplyFormat : public PointSetTest,
                    public ::testing::WithParamInterface<std::tuple<const char*, char, char, int>> {};

TEST_P(ReplyFormat, GivesTheNumberOfPointsTried) {
    const auto [reply, decimal, group, tried] = GetParam();
    place(10, 10);
    platform.decimal = decimal;
    platform.group = group;
    platform.replies = {reply, "7"};
    set.GenerateRandomPoints();
    EXPECT_EQ(platform.prompts.size(), 3u) << "one prompt";
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_EQ(platform.randomDraws, 2 * tried);
    EXPECT_LE(set.nPoints(), tried) << "the batch starts with a clear";
    EXPECT_EQ(platform.pointerChanges, (std::vector<int>{11, 0}));
}

INSTANTIATE_TEST_SUITE_P(GenerateRandomPoints, ReplyFormat,
                         ::testing::Values(std::tuple{"1", '.', ',', 1}, std::tuple{"3.5", '.', ',', 3},
                                           std::tuple{"2.5", '.', ',', 2}, std::tuple{"2,5", ',', '.', 2},
                                           std::tuple{"2,5", '.', ',', 25}, std::tuple{"1.234,5", ',', '.', 1234},
                                           std::tuple{" +7\t", '.', ',', 7}, std::tuple{"1e3", '.', ',', 1000},
                                           std::tuple{"0.999", '.', ',', 0}, std::tuple{"-3", '.', ',', 0},
                                           std::tuple{"1e-400", '.', ',', 0}, std::tuple{"-1e-400", '.', ',', 0},
                                           std::tuple{"1e-99999999999999999999", '.', ',', 0},
                                           std::tuple{"-1e999", '.', ',', 0}));

// Of each pair the first draw goes to x; a point on a disc of the batch is
// dropped, not tried again; with chkAuto on nothing is triangulated.
TEST_F(GenerateRandomPoints, DrawsXThenYAndDropsAPointOnADisc) {
    controls.value = 1;
    platform.scriptedRandom = std::deque<float>{0.25f, 0.75f, 0.25f, 0.75f, 0.5f, 0.125f};
    platform.replies = {"3"};
    set.GenerateRandomPoints();
    // 400 x 300 pixels are 6000 x 4500 twips.
    ASSERT_EQ(set.nPoints(), 2);
    EXPECT_EQ(set.Points().at(1), (PointRecord{1500, 3375, 0}));
    EXPECT_EQ(set.Points().at(2), (PointRecord{3000, 562, 0}));  // 562.5 to even
    EXPECT_EQ(canvas.Point(1500.0f + 15.0f, 3375.0f), pointset::kRed) << "points show as discs";
    EXPECT_EQ(recorder.calls, 0);
    EXPECT_EQ(controls.value, 1);
    EXPECT_EQ(controls.caption, FakeControls::kInitialCaption);
}

// The source is seeded once per start of the program, not per batch.
TEST_F(GenerateRandomPoints, TheFirstBatchIsTheSameAfterEveryStart) {
    const auto batches = [this](int count) {
        PointSetTest::platform = FakePlatform();
        for (int i = 0; i < count; ++i) {
            platform.replies.push_back("20");
            set.GenerateRandomPoints();
        }
        return slotsOf(set.Points());
    };
    const auto first = batches(1);
    EXPECT_EQ(batches(1), first);
    EXPECT_NE(batches(2), first);
}

// A reply that is not a number, or too large for any batch, is refused
// before the clear.
class RefusedReply : public PointSetTest,
                     public ::testing::WithParamInterface<std::tuple<const char*, const char*>> {};

TEST_P(RefusedReply, ShowsAMessageAndChangesNothing) {
    const auto [reply, message] = GetParam();
    place(10, 10);
    controls.value = 1;
    const auto before = picture(canvas);
    platform.replies = {reply};
    platform.cancelFrom = 0;  // a batch begun by mistake stops at its first report
    set.GenerateRandomPoints();
    platform.expectOneError('"' + std::string(reply) + "\" is " + message);
    EXPECT_EQ(set.nPoints(), 1);
    EXPECT_EQ(picture(canvas), before);
    EXPECT_EQ(controls.value, 1);
    EXPECT_EQ(platform.randomDraws, 0);
}

INSTANTIATE_TEST_SUITE_P(
    GenerateRandomPoints, RefusedReply,
    ::testing::Values(std::tuple{"abc", "not a number"}, std::tuple{"12abc", "not a number"},
                      std::tuple{"0x10", "not a number"}, std::tuple{"inf", "not a number"},
                      std::tuple{"5 5", "not a number"}, std::tuple{",5", "not a number"},
                      std::tuple{"1e999", "too many"}, std::tuple{"+1e309", "too many"},
                      std::tuple{"0.000001e315", "too many"},
                      std::tuple{"1e99999999999999999999", "too many"}));

TEST_F(GenerateRandomPoints, CancelDuringTheBatchKeepsThePointsPlacedSoFar) {
    controls.value = 1;
    platform.replies = {"1000000"};
    platform.cancelFrom = 1;
    set.GenerateRandomPoints();
    ASSERT_EQ(platform.progressReports, std::vector<std::int64_t>{pointset::kProgressInterval});
    const std::int64_t tried = platform.progressReports[0];
    EXPECT_EQ(platform.randomDraws, 2 * tried) << "the batch went on after the cancel";
    EXPECT_TRUE(set.nPoints() > 0 && set.nPoints() <= tried) << set.nPoints();
    EXPECT_EQ(set.Points().upperBound(), set.nPoints() + 6);
    EXPECT_EQ(controls.value, 1);
    EXPECT_EQ(platform.pointer, 0);
    EXPECT_EQ(platform.progressEnds, 1);
    EXPECT_TRUE(platform.boxes.empty());
}

}  // namespace
