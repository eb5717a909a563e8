#include <gtest/gtest.h>

#include "cutter/jump_fields.h"
#include "stream/time_code.h"

namespace sw::jump {
namespace {

// A frame number read modulo 2^32 would send the player to an unrelated, possibly negative frame.
TEST(JumpFrameField, TakesOnlyDecimalNumbersThatFitAFrame) {
    EXPECT_EQ(FrameFieldValue(""), 0);
    EXPECT_EQ(FrameFieldValue("0"), 0);
    EXPECT_EQ(FrameFieldValue("007"), 7);
    EXPECT_EQ(FrameFieldValue("2147483647"), 2147483647);
    EXPECT_EQ(FrameFieldValue("00000000002147483647"), 2147483647);
    EXPECT_EQ(FrameFieldValue("2147483648"), std::nullopt);
    EXPECT_EQ(FrameFieldValue("4294967296"), std::nullopt);
    EXPECT_EQ(FrameFieldValue("99999999999999999999999"), std::nullopt);
    EXPECT_EQ(FrameFieldValue("-1"), std::nullopt);
    EXPECT_EQ(FrameFieldValue("+1"), std::nullopt);
    EXPECT_EQ(FrameFieldValue(" 1"), std::nullopt);
    EXPECT_EQ(FrameFieldValue("1a"), std::nullopt);
}

TEST(JumpFrameField, TypedCharactersAreDigitsAndBackspaceOnly) {
    for (char32_t c = U'0'; c <= U'9'; ++c) {
        EXPECT_TRUE(FrameFieldTakes(c));
    }
    EXPECT_TRUE(FrameFieldTakes(U'\b'));
    for (char32_t c : {U'a', U'-', U'+', U' ', U'.', U':', U'\u0663', U'\uff11'}) {
        EXPECT_FALSE(FrameFieldTakes(c)) << uint32_t(c);
    }
}

TEST(JumpTimeField, DefaultDescriptionRunsAtThirtyEightFramesASecond) {
    const TFrameInfo info = DefaultFrameInfo();
    EXPECT_EQ(info.Bitrate, 128);
    EXPECT_EQ(info.FrameLength, 418);
    EXPECT_EQ(info.SampleRate, 0);
    EXPECT_EQ(FrameRate(info), 38);
}

// The field has two hour digits: a three-digit hour cut to fit would read as a time 90 or more
// hours earlier than the frame.
TEST(JumpTimeField, FramesPastOneHundredHoursShowAsTheLastOneTheFieldHolds) {
    const TFrameInfo info = DefaultFrameInfo();
    const int32_t hundredHours = 100 * 3600 * 38;
    EXPECT_EQ(TimeFieldCode(info, hundredHours - 1, false), "99:59:59.37");
    EXPECT_EQ(TimeFieldCode(info, hundredHours, false), "99:59:59.37");
    EXPECT_EQ(TimeFieldCode(info, 2147483647, false), "99:59:59.37");
    EXPECT_EQ(TimeFieldCode(info, 38, false), "00:00:01.00");
    TFrameInfo none{};
    EXPECT_EQ(TimeFieldCode(none, 2147483647, false), "00:00:00.00");
    EXPECT_EQ(TimeFieldCode(none, 2147483647, true), "00:00:00.00");

    // In real time the last frame that starts before 100 hours, at 44.1 kHz the 13781249th.
    TFrameInfo mp3 = info;
    mp3.Version = 1;
    mp3.Layer = 3;
    mp3.SampleRate = 44100;
    EXPECT_EQ(TimeFieldCode(mp3, 2147483647, true), "99:59:59.97");
    EXPECT_EQ(TimeFieldCode(mp3, 13781249, true), "99:59:59.97");
    EXPECT_EQ(TimeFieldCode(mp3, 13781248, true), "99:59:59.94");
    EXPECT_EQ(TimeFieldFrame(mp3, "99:59:59.97", true), 13781249);
    EXPECT_EQ(TimeFieldFrame(mp3, "00:00:01.00", false), 38);
}

TEST(JumpTimeField, BlanksReadAsZero) {
    EXPECT_EQ(TimeFieldText("1 :  :  .5 ", ' '), "10:00:00.50");
    EXPECT_EQ(TimeFieldText("12:34:56.78", ' '), "12:34:56.78");
    EXPECT_EQ(TimeFieldText("__:__:__.__", '_'), "00:00:00.00");
}

}  // namespace
}  // namespace sw::jump
