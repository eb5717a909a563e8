#include "terminal_text.h"

#include <gtest/gtest.h>

namespace sw::cli {
namespace {

// A name holding ESC ] 0 ; ... BEL retitled the terminal that printed it, ESC [ 2 J cleared it,
// and 8-bit terminals obey the same controls as single bytes 0x80..0x9F.
TEST(TerminalText, ControlCharactersAreShownNotObeyed) {
    EXPECT_EQ(TerminalText("\x1b]0;owned\x07 \x1b[2J"), "\\x1b]0;owned\\x07 \\x1b[2J");
    EXPECT_EQ(TerminalText("a\tb\r\nc\x7f"), "a\\x09b\\x0d\\x0ac\\x7f");
    EXPECT_EQ(TerminalText("one\ntwo\r", /*keepLineBreaks=*/true), "one\ntwo\\x0d");
    // C1 controls as UTF-8 (U+009B) and as lone bytes; other text, valid or not, stays.
    EXPECT_EQ(TerminalText("\xc2\x9b"
                           "2J \x9b"
                           "2J"),
              "\\xc2\\x9b2J \\x9b2J");
    EXPECT_EQ(TerminalText("Caf\xc3\xa9 caf\xe9 \xe2\x82\xac"), "Caf\xc3\xa9 caf\xe9 \xe2\x82\xac");
}

}  // namespace
}  // namespace sw::cli
