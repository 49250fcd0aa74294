// Numbers to text and back, in the user's number format, and the rounding of
// canvas coordinates to the integers the point store holds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pointset {

// Rounds to the nearest integer, a half going to the even neighbour (100.5 to
// 100, 101.5 to 102). Empty when the value is not a number or its rounding
// lies outside the int32 range.
[[nodiscard]] std::optional<std::int32_t> roundToInt32(double value) noexcept;

// Seconds rounded to three decimals, a half going to the even neighbour, with
// no trailing zeros and no exponent: 0.0625 -> "0.062", 1.5 -> "1.5", 0 -> "0".
// The rounding works on the exact value of the single-precision number.
[[nodiscard]] std::string formatSeconds(float seconds, char decimalSeparator);

// The summary caption of a triangulation run, e.g.
// "Points:3 Triangles:1 Triangulate time:0 seconds".
[[nodiscard]] std::string InfoText(std::int32_t nPoints, std::int32_t triangles, float seconds,
                                   char decimalSeparator);

// Reads a number written in the user's format: optional blanks and sign,
// digits that may be grouped with groupSeparator, an optional fraction after
// decimalSeparator and an optional exponent (e or E). Empty for anything
// else, including an empty text. A number beyond double's range reads as
// infinity, one too small for its smallest step as zero, each with its sign.
[[nodiscard]] std::optional<double> parseNumber(std::string_view text, char decimalSeparator,
                                                char groupSeparator);

}  // namespace pointset
