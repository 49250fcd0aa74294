// The user's separators as the commands take them: one ASCII character,
// whatever the locale gives (both front ends map them here).
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "AsciiSeparator.h"

namespace {

class AsciiSeparator : public ::testing::TestWithParam<std::tuple<std::u16string, char>> {};

TEST_P(AsciiSeparator, MapsToTheNearestAsciiCharacter) {
    const auto& [separator, expected] = GetParam();
    EXPECT_EQ(project1::asciiSeparator(separator, '#'), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, AsciiSeparator,
    ::testing::Values(std::tuple{u".", '.'}, std::tuple{u",", ','}, std::tuple{u"'", '\''},
                      std::tuple{u" ", ' '},
                      std::tuple{u"\u00A0", ' '},   // French before 2010, many others
                      std::tuple{u"\u202F", ' '},   // French: narrow no-break space
                      std::tuple{u"\u2009", ' '},   // thin space
                      std::tuple{u"\u2019", '\''},  // Swiss German
                      std::tuple{u"\u066B", '#'},   // Arabic decimal separator: no ASCII match
                      std::tuple{u"", '#'}, std::tuple{u"..", '#'}));

}  // namespace
