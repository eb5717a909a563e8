#include "stream/time_code.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "frame_builder.h"
#include "stream/file_errors.h"

namespace sw {
namespace {

using test::HeaderSpec;
using test::MakeHeaderWord;

TFrameInfo Info(const HeaderSpec& spec) {
    return DecodeFrameHeader(MakeHeaderWord(spec));
}

// 38 frames per second.
TFrameInfo Mpeg1Layer3() {
    return Info({});
}

TEST(TimeCode, FrameRatesOfTheCommonFormats) {
    // Breaks every time code shown if the rate is truncated instead of rounded, or taken from
    // the wrong fields.
    struct Case {
        HeaderSpec spec;
        int32_t fps;
    };
    const Case cases[] = {
        {{}, 38},
        {{.padding = true}, 38},
        {{.rateIndex = 1}, 42},
        {{.rateIndex = 2}, 28},
        {{.versionBits = 2, .bitrateIndex = 8}, 38},
        {{.versionBits = 2, .bitrateIndex = 8, .rateIndex = 1}, 42},
        {{.versionBits = 2, .bitrateIndex = 8, .rateIndex = 1, .padding = true}, 41},
        {{.versionBits = 0, .bitrateIndex = 4}, 19},
    };
    for (const Case& c : cases) {
        const TFrameInfo info = Info(c.spec);
        EXPECT_EQ(FrameRate(info), c.fps) << info.Bitrate << " kbit/s " << info.SampleRate
                                          << " Hz, " << info.FrameLength << " bytes";
    }
}

TEST(TimeCode, HalfFrameRatesRoundToEven) {
    // Breaks MPEG-2 Layer I at 24 kHz, which runs at exactly 62.5 frames per second: rounding
    // half up would shift every time code of such files.
    const TFrameInfo layer1 =
        Info({.versionBits = 2, .layerBits = 3, .bitrateIndex = 1, .rateIndex = 1});
    ASSERT_EQ(layer1.FrameLength, 64);
    EXPECT_EQ(FrameRate(layer1), 62);

    TFrameInfo odd{};  // 127 kbit/s in 250-byte frames: 63.5 frames per second
    odd.Bitrate = 127;
    odd.FrameLength = 250;
    EXPECT_EQ(FrameRate(odd), 64);
}

TEST(TimeCode, FrameToTimeCodeExamples) {
    // Breaks the hours/minutes/seconds/frames split, or the zero padding of the fields.
    const TFrameInfo info = Mpeg1Layer3();
    EXPECT_EQ(FrameToTimeCode(info, 0), "00:00:00.00");
    EXPECT_EQ(FrameToTimeCode(info, 37), "00:00:00.37");
    EXPECT_EQ(FrameToTimeCode(info, 38), "00:00:01.00");
    EXPECT_EQ(FrameToTimeCode(info, 2317), "00:01:00.37");
    EXPECT_EQ(FrameToTimeCode(info, 137808), "01:00:26.20");
    EXPECT_EQ(FrameToTimeCode(info, 137812), "01:00:26.24");
}

TEST(TimeCode, NoRateGivesZeroBothWays) {
    // Breaks a cutter without a file: a zero bitrate or frame length must not divide by zero.
    TFrameInfo noBitrate = Mpeg1Layer3();
    noBitrate.Bitrate = 0;
    TFrameInfo noLength = Mpeg1Layer3();
    noLength.FrameLength = 0;
    for (const TFrameInfo& info : {kNoFrame, noBitrate, noLength}) {
        EXPECT_EQ(FrameToTimeCode(info, 0), "00:00:00.00");
        EXPECT_EQ(FrameToTimeCode(info, 123456), "00:00:00.00");
        EXPECT_EQ(TimeCodeToFrame(info, "00:00:00.00"), 0);
        EXPECT_EQ(TimeCodeToFrame(info, "12:34:56.07"), 0);
    }
}

TEST(TimeCode, ConversionsAreInverseBelowOneHundredHours) {
    // Breaks the jump dialog: a position shown and typed back must land on the same frame.
    const HeaderSpec formats[] = {
        {},                                                                     // 38 fps
        {.rateIndex = 1},                                                       // 42 fps
        {.versionBits = 2, .layerBits = 3, .bitrateIndex = 1, .rateIndex = 1},  // 62 fps
        {.versionBits = 0, .bitrateIndex = 4},                                  // 19 fps
    };
    for (const HeaderSpec& spec : formats) {
        const TFrameInfo info = Info(spec);
        const int32_t fps = FrameRate(info);
        const int32_t limit = 100 * 3600 * fps;  // first frame of hour 100
        auto check = [&](int32_t frame) {
            const std::string text = FrameToTimeCode(info, frame);
            ASSERT_EQ(TimeCodeToFrame(info, text), frame) << text << " at " << fps << " fps";
        };
        for (int32_t frame = 0; frame < 4 * fps; ++frame) {
            check(frame);
        }
        for (int32_t frame = 0; frame < limit; frame += 9973) {
            check(frame);
        }
        for (int32_t edge : {60 * fps, 3600 * fps, 36000 * fps}) {
            check(edge - 1);
            check(edge);
        }
        check(limit - 1);
    }
}

TEST(TimeCode, HundredHoursAndMoreAreWrittenInFullButNotReadBack) {
    // Breaks if a long position is shown cut to two digits, or if reading it silently returns a
    // wrong frame instead of refusing the text.
    const TFrameInfo info = Mpeg1Layer3();
    const int32_t frame = 100 * 3600 * 38 + 5;
    EXPECT_EQ(FrameToTimeCode(info, frame), "100:00:00.05");
    EXPECT_THROW(TimeCodeToFrame(info, "100:00:00.05"), ConversionError);
}

TEST(TimeCode, FieldsAreReadAtFixedPositionsWithoutRangeChecks) {
    // Breaks the jump dialog's lenient parsing: separators are not examined, oversized fields
    // add up, text after the frames field is ignored.
    const TFrameInfo info = Mpeg1Layer3();
    EXPECT_EQ(TimeCodeToFrame(info, "00:00:00.99"), 99);
    EXPECT_EQ(TimeCodeToFrame(info, "00:00:01.05xyz"), 38 + 5);
    EXPECT_EQ(TimeCodeToFrame(info, "01-02/03,04"), (3600 + 120 + 3) * 38 + 4);
    EXPECT_EQ(TimeCodeToFrame(info, "00:99:00.00"), 99 * 60 * 38);
}

TEST(TimeCode, NonNumericFieldsRaiseConversionError) {
    // Breaks the jump dialog if a typo returns a frame instead of an error, or if a short
    // text reads out of bounds or escapes as another exception type.
    const TFrameInfo info = Mpeg1Layer3();
    for (const char* text : {"0a:00:00.00", "00:0x:00.00", "00:00:s0.00", "00:00:00.f0",
                             "  :00:00.00", "00:00", "", "1"}) {
        EXPECT_THROW(TimeCodeToFrame(info, text), ConversionError) << '"' << text << '"';
    }
}

TEST(TimeCode, StrToIntAcceptsOnlyAnOptionalSignAndDigits) {
    // Breaks the conversion the time codes rely on: leniency here turns typos into positions.
    EXPECT_EQ(StrToInt("0"), 0);
    EXPECT_EQ(StrToInt("07"), 7);
    EXPECT_EQ(StrToInt("+5"), 5);
    EXPECT_EQ(StrToInt("-12"), -12);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    for (const char* text : {"", "+", "-", "5a", "a5", " 5", "5 ", "1.5", "0x10", "2147483648",
                             "99999999999999999999"}) {
        EXPECT_THROW(StrToInt(text), ConversionError) << '"' << text << '"';
    }
}

TEST(TimeCode, PlayTimeExamples) {
    // Breaks the bin's play time column: hundredths are scaled by 99 and rounded to even.
    EXPECT_EQ(PlayTimeToText(1.6f), "00:00:01.59");
    EXPECT_EQ(PlayTimeToText(61.25f), "00:01:01.25");
    EXPECT_EQ(PlayTimeToText(0.999f), "00:00:00.99");
    EXPECT_EQ(PlayTimeToText(3600.5f), "01:00:00.50");
    EXPECT_EQ(PlayTimeToText(360000.0f), "100:00:00.00");
}

TEST(TimeCode, PlayTimeOfZeroNegativeOrNaNIsZero) {
    // Breaks on an unscanned file (0), a corrupt index file (negative) or a NaN read from one.
    EXPECT_EQ(PlayTimeToText(0.0f), "00:00:00.00");
    EXPECT_EQ(PlayTimeToText(-0.0f), "00:00:00.00");
    EXPECT_EQ(PlayTimeToText(-5.5f), "00:00:00.00");
    EXPECT_EQ(PlayTimeToText(std::numeric_limits<float>::quiet_NaN()), "00:00:00.00");
    EXPECT_EQ(PlayTimeToText(-std::numeric_limits<float>::infinity()), "00:00:00.00");
}

TEST(TimeCode, DamagedRecordsAndTimesSaturateInsteadOfOverflowing) {
    // Breaks with undefined behaviour (a float-to-integer overflow) when a damaged index's
    // bitrate, frame length or play time reaches the conversions; "info" once printed a
    // negative play time of minus two quadrillion hours.
    TFrameInfo info = Mpeg1Layer3();
    info.Bitrate = std::numeric_limits<int32_t>::max();
    info.FrameLength = 1;
    EXPECT_EQ(FrameRate(info), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(FrameToTimeCode(info, std::numeric_limits<int32_t>::max()), "00:00:01.00");
    EXPECT_EQ(TimeCodeToFrame(info, "00:00:01.00"), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(TimeCodeToFrame(info, "-1:00:00.00"), std::numeric_limits<int32_t>::min());

    for (const int32_t length : {0, -1, std::numeric_limits<int32_t>::min()}) {
        info.FrameLength = length;
        EXPECT_EQ(FrameRate(info), 0) << length;
        EXPECT_EQ(FrameToTimeCode(info, 1000), "00:00:00.00") << length;
    }
    info.FrameLength = std::numeric_limits<int32_t>::max();
    info.Bitrate = 1;
    EXPECT_EQ(FrameRate(info), 0) << "rounds to no rate at all";
    EXPECT_EQ(FrameToTimeCode(info, 5), "00:00:00.00");

    const float huge = 3e38f;
    const std::string text = PlayTimeToText(huge);
    EXPECT_EQ(text.find('-'), std::string::npos) << text;
    EXPECT_EQ(text, PlayTimeToText(std::numeric_limits<float>::max()));
    EXPECT_EQ(text, "2501999792983:36:32.00") << "2^53 seconds";
    EXPECT_EQ(PlayTimeToText(std::numeric_limits<float>::infinity()), "00:00:00.00");
    EXPECT_EQ(PlayTimeToText(-std::numeric_limits<float>::infinity()), "00:00:00.00");
    EXPECT_EQ(PlayTimeToText(std::numeric_limits<float>::denorm_min()), "00:00:00.00");
}

TEST(RealTime, ShowsWhereAFrameReallyStartsNotAWholeFrameRateCount) {
    // Breaks when the real-time form counts at the rounded rate (an hour's last frame then read
    // 01:00:25 while the bin said 00:59:58), rounds instead of truncating, or takes a frame's
    // samples from the wrong layer or version.
    const TFrameInfo mp3 = Mpeg1Layer3();
    EXPECT_EQ(FrameToRealTime(mp3, 137760), "00:59:58.62");
    EXPECT_EQ(FrameToTimeCode(mp3, 137760), "01:00:25.10") << "the classic form stays";
    EXPECT_EQ(FrameToRealTime(mp3, 168), "00:00:04.38");
    EXPECT_EQ(FrameToTimeCode(mp3, 168), "00:00:04.16");
    EXPECT_EQ(FrameToRealTime(mp3, 0), "00:00:00.00");
    EXPECT_EQ(FrameToRealTime(mp3, -5), "00:00:00.00");
    EXPECT_EQ(FrameToRealTime(mp3, 14040000), "101:52:39.18") << "hours in full";

    struct Case {
        HeaderSpec spec;
        int32_t samples;
    };
    const Case cases[] = {
        {{}, 1152},
        {{.layerBits = 2}, 1152},
        {{.layerBits = 3}, 384},
        {{.versionBits = 2, .bitrateIndex = 8}, 576},
        {{.versionBits = 0, .bitrateIndex = 4}, 576},
        {{.versionBits = 2, .layerBits = 3, .bitrateIndex = 8}, 384},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FrameSamples(Info(c.spec)), c.samples) << c.spec.versionBits << c.spec.layerBits;
    }
    TFrameInfo broken = mp3;
    broken.SampleRate = 0;
    EXPECT_EQ(FramesToTicks(broken, 100), 0);
    EXPECT_EQ(RealTimeToFrame(broken, "00:00:10.00"), 0);
    broken = mp3;
    broken.Layer = 0;
    EXPECT_EQ(FrameToRealTime(broken, 1000), "00:00:00.00");
}

TEST(RealTime, DurationsOfDifferentRatesAddUpExactly) {
    // Breaks when durations are summed as seconds in floating point: 100 frames at 48 kHz last
    // exactly 2.4 s, which a double holds as 2.3999... and truncation shows as 00:00:02.39.
    const TFrameInfo at48 = Info({.rateIndex = 1});
    const TFrameInfo at22 = Info({.versionBits = 2, .bitrateIndex = 8});
    EXPECT_EQ(TicksToRealTime(FramesToTicks(at48, 100)), "00:00:02.40");
    // 2.4 s and 1225 frames of 576 samples at 22050 Hz (32 s) together.
    EXPECT_EQ(TicksToRealTime(FramesToTicks(at48, 100) + FramesToTicks(at22, 1225)), "00:00:34.40");
    EXPECT_EQ(TicksToRealTime(-FramesToTicks(at48, 100)), "00:00:00.00");
}

TEST(RealTime, ATimeReadsBackAsTheFrameThatShowsIt) {
    // Breaks when the jump dialog's time field, read in real time, lands one frame early (the
    // shown time is truncated, so rounding down would miss the frame) or on a frame whose time
    // reads differently.
    for (const HeaderSpec& spec :
         {HeaderSpec{}, HeaderSpec{.rateIndex = 1}, HeaderSpec{.versionBits = 0, .bitrateIndex = 4},
          HeaderSpec{.layerBits = 2, .rateIndex = 1}, HeaderSpec{.layerBits = 3, .rateIndex = 2}}) {
        const TFrameInfo info = Info(spec);
        for (int32_t frame = 0; frame < 5000; ++frame) {
            ASSERT_EQ(RealTimeToFrame(info, FrameToRealTime(info, frame)), frame)
                << info.SampleRate << " Hz layer " << int(info.Layer);
        }
        ASSERT_EQ(RealTimeToFrame(info, FrameToRealTime(info, 3000000)), 3000000);
    }
    // Layer I at 48 kHz: frames of 8 ms, so two can share a hundredth; the time reads back as
    // the first frame that shows it.
    const TFrameInfo shortFrames = Info({.layerBits = 3, .rateIndex = 1});
    for (int32_t frame = 0; frame < 2000; ++frame) {
        const std::string shown = FrameToRealTime(shortFrames, frame);
        const int32_t back = RealTimeToFrame(shortFrames, shown);
        ASSERT_LE(back, frame);
        ASSERT_EQ(FrameToRealTime(shortFrames, back), shown);
    }
    const TFrameInfo mp3 = Mpeg1Layer3();
    EXPECT_EQ(RealTimeToFrame(mp3, "00:00:01.00"), 39) << "38 starts at 0.993 s";
    EXPECT_EQ(RealTimeToFrame(mp3, "-1:00:00.00"), 0);
    EXPECT_EQ(RealTimeToFrame(mp3, "99:99:99.99"), 13874656);
    EXPECT_THROW(RealTimeToFrame(mp3, "0a:00:00.00"), ConversionError);
}

}  // namespace
}  // namespace sw
