#include "stream/text_encoding.h"

#include <gtest/gtest.h>

#include <string>

namespace sw {
namespace {

TEST(TextEncoding, MalformedUtf8IsNeverTakenForACharacter) {
    // A decoder that took these for characters would let an overlong "/" or NUL through a check
    // made on the decoded text, or write a surrogate no other program reads back.
    for (const std::string& bad : {
             std::string("\xC0\xAF"),              // overlong "/"
             std::string("\xC1\xBF"),              // overlong U+007F
             std::string("\xE0\x80\x80", 3),       // overlong NUL in three bytes
             std::string("\xF0\x8F\xBF\xBF"),      // overlong U+FFFF
             std::string("\xED\xA0\x80"),          // the surrogate U+D800
             std::string("\xED\xBF\xBF"),          // the surrogate U+DFFF
             std::string("\xF4\x90\x80\x80"),      // above U+10FFFF
             std::string("\xF8\x88\x80\x80\x80"),  // a five-byte lead
             std::string("\x80"),                  // a stray continuation byte
             std::string("\xE2\x82"),              // cut short by the end
             std::string("\xE2\x82\x41"),          // cut short by an "A"
         }) {
        EXPECT_EQ(Utf8SequenceLength(bad, 0), 0u) << testing::PrintToString(bad);
        EXPECT_FALSE(IsValidUtf8(bad)) << testing::PrintToString(bad);
        EXPECT_FALSE(FitsLatin1(bad)) << testing::PrintToString(bad);
    }
    // The limits on either side of each length are characters.
    for (const std::string& good : {
             std::string("\x7F"),
             std::string("\xC2\x80"),
             std::string("\xDF\xBF"),
             std::string("\xE0\xA0\x80"),
             std::string("\xED\x9F\xBF"),
             std::string("\xEE\x80\x80"),
             std::string("\xEF\xBF\xBF"),
             std::string("\xF0\x90\x80\x80"),
             std::string("\xF4\x8F\xBF\xBF"),
         }) {
        EXPECT_EQ(Utf8SequenceLength(good, 0), good.size()) << testing::PrintToString(good);
        EXPECT_TRUE(IsValidUtf8(good)) << testing::PrintToString(good);
    }
}

TEST(TextEncoding, EveryLatin1ByteSurvivesTheRoundTripC1ControlsIncluded) {
    // A tag text written back from its UTF-8 form must be the bytes it was read from.
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    const std::string utf8 = Latin1ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_TRUE(FitsLatin1(utf8));
    EXPECT_EQ(utf8.substr(0x80 + 2 * (0x85 - 0x80), 2), "\xC2\x85");  // NEL stays U+0085
    EXPECT_EQ(Utf8ToLatin1(utf8), all);
    EXPECT_FALSE(FitsLatin1("\xE2\x82\xAC"));  // the euro sign
}

TEST(TextEncoding, UnconvertibleTextBecomesOneQuestionMarkPerCharacterOrBadByte) {
    // Resyncing at the wrong byte would swallow the letter after a broken sequence.
    EXPECT_EQ(Utf8ToLatin1("a\xE2\x82\xAC"
                           "b"),
              "a?b");
    EXPECT_EQ(Utf8ToLatin1("a\xE2\x82"
                           "b"),
              "a??b");
    EXPECT_EQ(Utf8ToLatin1("\xC0\xAF\xC3\xA9"), "??\xE9");
    EXPECT_EQ(Utf8ToLatin1("\xF0\x9F\x8E\xB5"), "?");

    std::string out;
    AppendUtf8(out, 0xD800);
    AppendUtf8(out, 0x110000);
    AppendUtf8(out, 0x10FFFF);
    EXPECT_EQ(out, "\xEF\xBF\xBD\xEF\xBF\xBD\xF4\x8F\xBF\xBF");
}

TEST(TextEncoding, TruncationNeverSplitsACharacter) {
    // A name cut inside a sequence is not UTF-8 any more; the file system takes it, nothing
    // shows it.
    std::string text = "a\xE2\x82\xAC";
    TruncateUtf8(text, 3);
    EXPECT_EQ(text, "a");
    text = "a\xE2\x82\xAC";
    TruncateUtf8(text, 4);
    EXPECT_EQ(text, "a\xE2\x82\xAC");
    text = "\xC3\xA9\xC3\xA9";
    TruncateUtf8(text, 2);
    EXPECT_EQ(text, "\xC3\xA9");
}

}  // namespace
}  // namespace sw
