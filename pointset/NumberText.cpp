#include "NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace pointset {

namespace {

bool isDigit(char c) noexcept { return c >= '0' && c <= '9'; }
bool isBlank(char c) noexcept { return c == ' ' || c == '\t'; }

// For a number in from_chars' form that lies outside double's range: whether
// it is beyond the largest double rather than below the smallest. Those are
// above 1.7e308 and below 4.9e-324, so the decimal order of the first
// significant digit decides.
bool beyondLargest(std::string_view plain) noexcept {
    const std::size_t e = std::min(plain.find('e'), plain.size());
    std::int64_t exponent = 0;
    if (e < plain.size()) {
        std::string_view digits = plain.substr(e + 1);
        if (digits.front() == '+') {
            digits.remove_prefix(1);
        }
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), exponent);
        if (error != std::errc{}) {
            return digits.front() != '-';  // an exponent beyond int64 outweighs any digits
        }
    }
    const std::string_view mantissa = plain.substr(0, e);
    // Out of range, so some digit is not zero.
    const auto first = static_cast<std::int64_t>(mantissa.find_first_of("123456789"));
    const auto point = static_cast<std::int64_t>(std::min(mantissa.find('.'), mantissa.size()));
    const std::int64_t order = first < point ? point - first - 1 : point - first;
    // The text is far shorter than 2^40 characters, so the clamp cannot change the answer.
    constexpr std::int64_t kFar = std::int64_t{1} << 40;
    return order + std::clamp(exponent, -kFar, kFar) >= 0;
}

}  // namespace

std::optional<std::int32_t> roundToInt32(double value) noexcept {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    // Done by hand rather than with nearbyint so that the result does not
    // depend on the floating-point rounding mode someone else may have set.
    double whole = std::floor(value);
    const double fraction = value - whole;  // exact for every double
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) {
        whole += 1.0;
    }
    if (whole < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        whole > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(whole);
}

std::string formatSeconds(float seconds, char decimalSeparator) {
    // to_chars rounds the exact binary value and breaks exact ties to even,
    // which is what makes 0.0625 come out as 0.062.
    std::array<char, 64> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), seconds,
                                            std::chars_format::fixed, 3);
    if (error != std::errc{}) {
        return "0";
    }
    std::string text(buffer.data(), end);
    if (const auto point = text.find('.'); point != std::string::npos) {
        const auto lastKept = text.find_last_not_of('0');
        text.erase(lastKept == point ? point : lastKept + 1);
        if (text.size() > point) {
            text[point] = decimalSeparator;
        }
    }
    if (text == "-0") {
        text = "0";
    }
    return text;
}

std::string InfoText(std::int32_t nPoints, std::int32_t triangles, float seconds,
                     char decimalSeparator) {
    return "Points:" + std::to_string(nPoints) + " Triangles:" + std::to_string(triangles) +
           " Triangulate time:" + formatSeconds(seconds, decimalSeparator) + " seconds";
}

std::optional<double> parseNumber(std::string_view text, char decimalSeparator,
                                  char groupSeparator) {
    const bool grouping = groupSeparator != decimalSeparator;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && isBlank(text[i])) {
        ++i;
    }
    // Rewritten in the C locale's form for from_chars.
    std::string plain;
    const auto copyDigits = [&] {
        std::size_t copied = 0;
        while (i < n && isDigit(text[i])) {
            plain += text[i];
            ++copied;
            ++i;
        }
        return copied;
    };
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') {
            plain += '-';
        }
        ++i;
    }
    std::size_t digits = 0;
    while (i < n) {
        if (isDigit(text[i])) {
            plain += text[i];
            ++digits;
        } else if (grouping && text[i] == groupSeparator && digits > 0) {
            // A separator between digits of the whole part is only cosmetic.
        } else {
            break;
        }
        ++i;
    }
    if (i < n && text[i] == decimalSeparator) {
        plain += '.';
        ++i;
        digits += copyDigits();
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            plain += text[i];
            ++i;
        }
        if (copyDigits() == 0) {
            return std::nullopt;
        }
    }
    while (i < n && isBlank(text[i])) {
        ++i;
    }
    if (i != n) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (end != plain.data() + plain.size()) {
        return std::nullopt;
    }
    if (error == std::errc::result_out_of_range) {
        value = beyondLargest(plain) ? std::numeric_limits<double>::infinity() : 0.0;
        return plain.front() == '-' ? -value : value;
    }
    if (error != std::errc{}) {
        return std::nullopt;
    }
    return value;
}

}  // namespace pointset
