// GenerateRandomPoints: the prompt, reading the reply, the batch, and the check
// box and pointer it gives back.
#include "Fakes.h"

namespace {

using pointset::kProgressInterval;

// The reply in the user's number format, read once; "while i <= N" drops a
// fraction, never rounds it, and under one (underflow to zero included) clears
// the store and places nothing. Cancel, a reply that is not a number and one
// too large for any batch change nothing; the last two get a message. chkAuto
// is unchecked while the prompt is up and for the batch, which therefore runs
// nothing, and comes back as it was. The user cancels at the first progress
// report and keeps the points placed so far. Of each pair of numbers drawn the
// first goes to x; a point on a disc of the batch is dropped, not tried again.
struct Reply {
    const char* text;
    int tried;  // -1: nothing changes
    const char* refusal = nullptr;
    char decimal = '.', group = ',';
};

void PrintTo(const Reply& reply, std::ostream* out) { *out << '"' << reply.text << '"'; }

class Replies : public PointSetTest, public ::testing::WithParamInterface<Reply> {};

TEST_P(Replies, GiveTheNumberOfPointsTriedOrChangeNothing) {
    const auto& [text, tried, refusal, decimal, group] = GetParam();
    const int checked = tried < 0 ? 0 : 1;
    place(10, 10);
    controls.value = checked;
    std::tie(platform.decimal, platform.group) = std::pair(decimal, group);
    platform.replies = {text, "7"};
    platform.cancelFrom = 0;
    platform.scriptedRandom = {0.25f, 0.75f};  // 400 x 300 pixels are 6000 x 4500 twips
    const auto before = std::tuple(picture(canvas), slotsOf(set.Points()), controls.caption);
    set.GenerateRandomPoints();
    EXPECT_EQ(platform.prompts, (std::vector<std::string>{"Enter number of points.\r\nNote: Triangulate more than "
                                                          "1000 random-ordered points can take some time...",
                                                          "Number of points", "50"}));
    EXPECT_EQ(controls.valueChanges, (std::vector<int>{0, checked}));
    if (tried >= 0) {
        EXPECT_EQ(std::tuple(platform.randomDraws, platform.pointerChanges, platform.boxes.size(), recorder.calls),
                  std::tuple(2 * tried, std::vector<int>{11, 0}, 0u, 0));
        EXPECT_LE(set.nPoints(), tried) << "the batch starts with a clear";
        EXPECT_TRUE(tried == 0 || set.Points().at(1) == (PointRecord{1500, 3375, 0}));
        return;
    }
    EXPECT_TRUE(before == std::tuple(picture(canvas), slotsOf(set.Points()), controls.caption));
    EXPECT_EQ(platform.randomDraws, 0);
    if (refusal != nullptr)
        platform.expectOneError('"' + std::string(text) + "\" is " + refusal);
    else
        EXPECT_TRUE(platform.pointerChanges.empty() && platform.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    GenerateRandomPoints, Replies,
    ::testing::Values(Reply{"1", 1}, Reply{"3.5", 3}, Reply{"2,5", 2, nullptr, ',', '.'}, Reply{"2,5", 25},
                      Reply{"1.234,5", 1234, nullptr, ',', '.'}, Reply{" +7\t", 7}, Reply{"1e3", 1000},
                      Reply{"1000000", kProgressInterval}, Reply{"0.999", 0}, Reply{"-3", 0}, Reply{"1e-400", 0},
                      Reply{"1e-99999999999999999999", 0}, Reply{"-1e999", 0}, Reply{"", -1},
                      Reply{"abc", -1, "not a number"},
                      Reply{"12abc", -1, "not a number"}, Reply{"0x10", -1, "not a number"},
                      Reply{"inf", -1, "not a number"}, Reply{"5 5", -1, "not a number"},
                      Reply{",5", -1, "not a number"}, Reply{"1e999", -1, "too many"},
                      Reply{"0.000001e315", -1, "too many"}, Reply{"1e99999999999999999999", -1, "too many"}));

// A fixed seed, never renewed: the first batch after every start of the program is the same.
TEST(RandomSource, GivesTheSameSequenceAfterEveryStart) {
    pointset::RandomSource first, second;
    for (int i = 0; i < 1000; ++i) EXPECT_EQ(first.next(), second.next());
}

}  // namespace
