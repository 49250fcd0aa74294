// The user's decimal and group separators as the point-set commands take
// them: one ASCII character each. Both front ends read the separators as
// UTF-16 (a QString, a Windows wide string) and map them here alike.
#pragma once

#include <string_view>

namespace project1 {

// Unicode's white space: the space separators, the line and paragraph
// separators and the ASCII and Latin-1 controls that count as space.
[[nodiscard]] constexpr bool isUnicodeSpace(char16_t c) noexcept {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

// A separator that is one ASCII character stays as it is. Others get the
// nearest ASCII one: a space for the various non-breaking and thin spaces
// (French, Russian), an apostrophe for the typographic ones (Swiss); any
// other, or a separator of more than one character, gives the fallback.
[[nodiscard]] constexpr char asciiSeparator(std::u16string_view separator, char fallback) noexcept {
    if (separator.size() != 1) return fallback;
    const char16_t c = separator.front();
    if (c < 0x80) return static_cast<char>(c);
    if (isUnicodeSpace(c)) return ' ';
    if (c == 0x2019 || c == 0x02BC) return '\'';
    return fallback;
}

}  // namespace project1
