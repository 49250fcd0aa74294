// The caption's number formats and the reading of the prompt's reply, on
// values the commands cannot easily be made to produce.
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <tuple>

#include "NumberText.h"

namespace {

using pointset::formatSeconds;
using pointset::parseNumber;
using pointset::roundToInt32;

// Rounding works on the exact single-precision value: 0.0005f lies just above
// a half-thousandth and goes up, 0.0025f just below and goes down.
class SecondsText : public ::testing::TestWithParam<std::tuple<float, char, const char*>> {};

TEST_P(SecondsText, HasThreeDecimalsAtMostAndNoExponent) {
    const auto [seconds, separator, text] = GetParam();
    EXPECT_EQ(formatSeconds(seconds, separator), text);
}

INSTANTIATE_TEST_SUITE_P(
    InfoText, SecondsText,
    ::testing::Values(std::tuple{0.0625f, '.', "0.062"}, std::tuple{0.1875f, ',', "0,188"},
                      std::tuple{0.0005f, '.', "0.001"}, std::tuple{0.0025f, '.', "0.002"},
                      std::tuple{0.0015f, '.', "0.002"}, std::tuple{10.0f, '.', "10"},
                      std::tuple{100.5f, ',', "100,5"}, std::tuple{123.4567f, '.', "123.457"},
                      std::tuple{3.0e9f, '.', "3000000000"}, std::tuple{-0.0001f, '.', "0"},
                      std::tuple{0.0f, ',', "0"}));

TEST(InfoText, JoinsTheFieldsWithoutSpacesAfterTheColons) {
    EXPECT_EQ(pointset::InfoText(3, 1, 0.0f, '.'), "Points:3 Triangles:1 Triangulate time:0 seconds");
    EXPECT_EQ(pointset::InfoText(100000, 199970, 0.1875f, ','),
              "Points:100000 Triangles:199970 Triangulate time:0,188 seconds");
    EXPECT_EQ(pointset::InfoText(3, -5, 1.5f, '.'), "Points:3 Triangles:-5 Triangulate time:1.5 seconds");
}

class ReadNumber
    : public ::testing::TestWithParam<std::tuple<const char*, char, char, std::optional<double>>> {};

TEST_P(ReadNumber, InTheUsersFormat) {
    const auto [text, decimal, group, value] = GetParam();
    EXPECT_EQ(parseNumber(text, decimal, group), value) << '"' << text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    GenerateRandomPoints, ReadNumber,
    ::testing::Values(std::tuple{"50", '.', ',', 50.0}, std::tuple{"2.5", '.', ',', 2.5},
                      std::tuple{"2,5", ',', '.', 2.5}, std::tuple{"2,5", '.', ',', 25.0},
                      std::tuple{"1.234,5", ',', '.', 1234.5}, std::tuple{" +7\t", '.', ',', 7.0},
                      std::tuple{"-3", '.', ',', -3.0}, std::tuple{",5", ',', ' ', 0.5},
                      std::tuple{"5.", '.', ',', 5.0}, std::tuple{"1e3", '.', ',', 1000.0},
                      std::tuple{"1 000", '.', ' ', 1000.0},
                      std::tuple{"", '.', ',', std::nullopt}, std::tuple{" ", '.', ',', std::nullopt},
                      std::tuple{",5", '.', ',', std::nullopt}, std::tuple{"5 5", '.', ',', std::nullopt},
                      std::tuple{"0x10", '.', ',', std::nullopt}, std::tuple{"1e999", '.', ',', std::nullopt},
                      std::tuple{"inf", '.', ',', std::nullopt}, std::tuple{"nan", '.', ',', std::nullopt}));

class IntegerRounding : public ::testing::TestWithParam<std::pair<double, std::optional<std::int32_t>>> {};

TEST_P(IntegerRounding, GoesToTheNearestIntegerWithHalvesToEven) {
    EXPECT_EQ(roundToInt32(GetParam().first), GetParam().second) << GetParam().first;
}

INSTANTIATE_TEST_SUITE_P(
    PlacePoint, IntegerRounding,
    ::testing::Values(std::pair{100.5, std::optional<std::int32_t>{100}},
                      std::pair{101.5, std::optional<std::int32_t>{102}},
                      std::pair{-0.5, std::optional<std::int32_t>{0}},
                      std::pair{-1.5, std::optional<std::int32_t>{-2}},
                      std::pair{-2.5, std::optional<std::int32_t>{-2}},
                      std::pair{0.49999999999999994, std::optional<std::int32_t>{0}},
                      std::pair{2147483647.0, std::optional<std::int32_t>{2147483647}},
                      std::pair{2147483647.4, std::optional<std::int32_t>{2147483647}},
                      std::pair{2147483647.5, std::optional<std::int32_t>{}},
                      std::pair{-2147483648.5, std::optional<std::int32_t>{-2147483647 - 1}},
                      std::pair{-2147483649.0, std::optional<std::int32_t>{}},
                      std::pair{std::numeric_limits<double>::quiet_NaN(), std::optional<std::int32_t>{}},
                      std::pair{std::numeric_limits<double>::infinity(), std::optional<std::int32_t>{}}));

}  // namespace
