// The user's separators as the commands take them: one ASCII character, whatever
// the locale gives (both front ends map them here). French (no-break and narrow
// no-break spaces), thin space, Swiss German (right single quotation mark); the
// Arabic decimal separator has no match.
#include <gtest/gtest.h>

#include "AsciiSeparator.h"

TEST(AsciiSeparator, MapsToTheNearestAsciiCharacter) {
    for (const auto& [separator, expected] :
         {std::pair<std::u16string, char>{u".", '.'}, {u",", ','}, {u"'", '\''}, {u" ", ' '}, {u"\u00A0", ' '},
          {u"\u202F", ' '}, {u"\u2009", ' '}, {u"\u2019", '\''}, {u"\u066B", '#'}, {u"", '#'}, {u"..", '#'}})
        EXPECT_EQ(project1::asciiSeparator(separator, '#'), expected) << static_cast<int>(separator.size());
}
