#include "world/display_text.h"

#include <gtest/gtest.h>

#include <string>

namespace brickstorm {
namespace {

struct EscapeCase {
    std::string text;
    std::string shown;
};

class DisplayText : public testing::TestWithParam<EscapeCase> {};

TEST_P(DisplayText, ShowsNoRawControlByte) { EXPECT_EQ(escapedForDisplay(GetParam().text), GetParam().shown); }

INSTANTIATE_TEST_SUITE_P(Cases, DisplayText,
                         testing::Values(EscapeCase{"level-1.lvl", "level-1.lvl"},
                                         EscapeCase{"a\\b", "a\\\\b"},
                                         EscapeCase{"\x1b]0;x\x07", "\\x1b]0;x\\x07"},
                                         EscapeCase{std::string("a\0b", 3), "a\\x00b"},
                                         EscapeCase{"\x7f", "\\x7f"},
                                         EscapeCase{"niveau-\xc3\xa9", "niveau-\xc3\xa9"},  // é
                                         EscapeCase{"\xe2\x96\x91", "\xe2\x96\x91"},        // a shade
                                         EscapeCase{"\xc2\x9b"
                                                    "2J",
                                                    "\\xc2\\x9b2J"},                     // C1 CSI
                                         EscapeCase{"\xc0\xaf", "\\xc0\\xaf"},           // overlong
                                         EscapeCase{"\xed\xa0\x80", "\\xed\\xa0\\x80"},  // surrogate
                                         EscapeCase{"\xe2\x96", "\\xe2\\x96"},           // cut short
                                         EscapeCase{"\xff", "\\xff"}));

TEST(DisplayText, QuotedIsTheEscapedTextInSingleQuotes) { EXPECT_EQ(quotedForDisplay("a\x1b"), "'a\\x1b'"); }

}  // namespace
}  // namespace brickstorm
