#include "stream/frame_header.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "frame_builder.h"

namespace sw {
namespace {

using test::HeaderSpec;
using test::MakeHeaderWord;

// Bitrates by the version and layer bits of the word, written out here so that a typo in the
// program's own table shows up as a mismatch rather than being copied into the test.
int32_t ExpectedBitrate(int versionBits, int layerBits, int index) {
    static const int32_t kMpeg1[3][16] = {
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},     // Layer III
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},    // Layer II
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0}  // Layer I
    };
    static const int32_t kMpeg2Layer1[16] = {0,   32,  48,  56,  64,  80,  96,  112,
                                             128, 144, 160, 176, 192, 224, 256, 0};
    static const int32_t kMpeg2Layer23[16] = {0,  8,  16, 24,  32,  40,  48,  56,
                                              64, 80, 96, 112, 128, 144, 160, 0};
    if (versionBits == 1 || layerBits == 0) {
        return 0;
    }
    if (versionBits == 3) {
        return kMpeg1[layerBits - 1][index];
    }
    return layerBits == 3 ? kMpeg2Layer1[index] : kMpeg2Layer23[index];
}

int32_t ExpectedSampleRate(int versionBits, int rateIndex) {
    static const int32_t kRates[4][3] = {
        {11025, 12000, 8000}, {0, 0, 0}, {22050, 24000, 16000}, {44100, 48000, 32000}};
    return rateIndex == 3 ? 0 : kRates[versionBits][rateIndex];
}

// Every word whose low byte and top three sync bits are set, i.e. every candidate the sync test
// lets through: 2^21 words, all variable bits enumerated.
template <typename F>
void ForEachSyncWord(F f) {
    for (uint32_t bits = 0; bits < (1u << 21); ++bits) {
        const uint32_t low = bits & 0x1F;  // word bits 8..12
        const uint32_t high = bits >> 5;   // word bits 16..31
        f(0xE0FFu | (low << 8) | (high << 16));
    }
}

TEST(FrameHeader, NamedExampleFFFB9064DecodesEveryField) {
    // Breaks when a bit position or table lookup is off: the most common MP3 header of all.
    const uint8_t bytes[4] = {0xFF, 0xFB, 0x90, 0x64};
    const uint32_t word = HeaderWordFromBytes(bytes);
    ASSERT_EQ(word, 0x6490FBFFu);
    const TFrameInfo info = DecodeFrameHeader(word);
    EXPECT_EQ(info.Version, 1);
    EXPECT_EQ(info.Layer, 3);
    EXPECT_EQ(info.Bitrate, 128);
    EXPECT_EQ(info.SampleRate, 44100);
    EXPECT_EQ(info.ChannelMode, 1);
    EXPECT_EQ(info.ModeExtension, 10);
    EXPECT_EQ(info.Padding, 0);
    EXPECT_EQ(info.Crc, 0);
    EXPECT_EQ(info.Private, 0);
    EXPECT_EQ(info.Copyright, 0);
    EXPECT_EQ(info.Original, 1);
    EXPECT_EQ(info.Emphasis, 0);
    EXPECT_EQ(info.FrameLength, 417);
    EXPECT_TRUE(IsValidFrameHeader(word));

    EXPECT_EQ(DecodeFrameHeader(word | (1u << 17)).FrameLength, 418);
}

TEST(FrameHeader, FrameLengthsOfEachLayerFormula) {
    // Breaks when the Layer I slot factor or the MPEG-2 Layer III halving is misplaced.
    struct Case {
        HeaderSpec spec;
        int32_t length;
    };
    const Case cases[] = {
        {{.versionBits = 3, .layerBits = 1, .bitrateIndex = 9, .rateIndex = 0}, 417},
        {{.versionBits = 3, .layerBits = 1, .bitrateIndex = 9, .padding = true}, 418},
        {{.versionBits = 2, .layerBits = 1, .bitrateIndex = 8, .rateIndex = 0}, 208},
        {{.versionBits = 2, .layerBits = 1, .bitrateIndex = 8, .padding = true}, 209},
        {{.versionBits = 0, .layerBits = 1, .bitrateIndex = 1, .rateIndex = 2}, 72},
        {{.versionBits = 3, .layerBits = 2, .bitrateIndex = 14, .rateIndex = 1}, 1152},
        {{.versionBits = 3, .layerBits = 3, .bitrateIndex = 1, .rateIndex = 1}, 32},
        {{.versionBits = 3, .layerBits = 3, .bitrateIndex = 1, .rateIndex = 1, .padding = true},
         36},
    };
    for (const Case& c : cases) {
        const uint32_t word = MakeHeaderWord(c.spec);
        EXPECT_EQ(DecodeFrameHeader(word).FrameLength, c.length) << std::hex << word;
    }
}

TEST(FrameHeader, DecodedTablesMatchEveryVersionLayerBitrateAndRate) {
    // Breaks on a typo in the bitrate or sample-rate tables, or a swapped version/layer code.
    const uint8_t versionCodes[4] = {3, 0, 2, 1};
    const uint8_t layerCodes[4] = {0, 3, 2, 1};
    for (int v = 0; v < 4; ++v) {
        for (int l = 0; l < 4; ++l) {
            for (int b = 0; b < 16; ++b) {
                for (int r = 0; r < 4; ++r) {
                    const uint32_t word = MakeHeaderWord(
                        {.versionBits = v, .layerBits = l, .bitrateIndex = b, .rateIndex = r});
                    const TFrameInfo info = DecodeFrameHeader(word);
                    SCOPED_TRACE(testing::Message() << std::hex << word);
                    EXPECT_EQ(info.Version, versionCodes[v]);
                    EXPECT_EQ(info.Layer, layerCodes[l]);
                    EXPECT_EQ(info.Bitrate, ExpectedBitrate(v, l, b));
                    EXPECT_EQ(info.SampleRate, v == 1 ? 0 : ExpectedSampleRate(v, r));
                    if (info.SampleRate == 0 || info.Layer == 0) {
                        EXPECT_EQ(info.FrameLength, 0);
                    }
                }
            }
        }
    }
}

TEST(FrameHeader, ValidityIsExactlyTheReservedFieldRules) {
    // Breaks when validity tests something else (CRC, mode) or lets a reserved field through;
    // checked over every word that passes the sync test.
    int valid = 0;
    ForEachSyncWord([&](uint32_t word) {
        const uint32_t versionBits = (word >> 11) & 3;
        const uint32_t layerBits = (word >> 9) & 3;
        const uint32_t bitrateIndex = (word >> 20) & 15;
        const uint32_t rateIndex = (word >> 18) & 3;
        const uint32_t emphasis = (word >> 24) & 3;
        const bool expected = versionBits != 1 && layerBits != 0 && bitrateIndex != 0 &&
                              bitrateIndex != 15 && rateIndex != 3 && emphasis != 2;
        if (IsValidFrameHeader(word) != expected) {
            ADD_FAILURE() << std::hex << word << " valid should be " << expected;
        }
        valid += expected ? 1 : 0;
    });
    // 3 versions x 3 layers x 14 bitrates x 3 rates x 2^10 flag combinations x 3 emphases/4.
    EXPECT_EQ(valid, 3 * 3 * 14 * 3 * 256 * 2 * 3);
}

TEST(FrameHeader, EveryValidWordRoundTripsThroughEncode) {
    // Breaks the export's flag rewrite: decoding then encoding a valid header must give the
    // identical word for every version, layer, bitrate, rate and flag combination.
    int failures = 0;
    ForEachSyncWord([&](uint32_t word) {
        if (!IsValidFrameHeader(word)) {
            return;
        }
        const uint32_t again = EncodeFrameHeader(DecodeFrameHeader(word));
        if (again != word && ++failures <= 10) {
            ADD_FAILURE() << std::hex << word << " encoded back as " << again;
        }
    });
    EXPECT_EQ(failures, 0);
}

TEST(FrameHeader, ChangingOneFlagChangesOnlyItsBit) {
    // Breaks the export's private/copyright/original rewrite if it disturbs any other bit.
    const uint32_t word = 0x6490FBFFu;
    TFrameInfo info = DecodeFrameHeader(word);
    info.Copyright = 1;
    EXPECT_EQ(EncodeFrameHeader(info), word | (1u << 27));
    info = DecodeFrameHeader(word);
    info.Private = 1;
    EXPECT_EQ(EncodeFrameHeader(info), word | (1u << 16));
    info = DecodeFrameHeader(word);
    info.Original = 0;
    EXPECT_EQ(EncodeFrameHeader(info), word & ~(1u << 26));
}

TEST(FrameHeader, ReservedFieldsDecodeToZerosAndAreInvalid) {
    // Breaks when a reserved field is looked up as if it were real (table overrun or a bogus
    // frame length that the scan would step by).
    const uint32_t freeFormat = MakeHeaderWord({.bitrateIndex = 0});
    EXPECT_EQ(DecodeFrameHeader(freeFormat).Bitrate, 0);
    EXPECT_EQ(DecodeFrameHeader(freeFormat).FrameLength, 0);
    EXPECT_FALSE(IsValidFrameHeader(freeFormat));

    const uint32_t badBitrate = MakeHeaderWord({.bitrateIndex = 15});
    EXPECT_EQ(DecodeFrameHeader(badBitrate).Bitrate, 0);
    EXPECT_FALSE(IsValidFrameHeader(badBitrate));

    const TFrameInfo badRate = DecodeFrameHeader(MakeHeaderWord({.rateIndex = 3}));
    EXPECT_EQ(badRate.SampleRate, 0);
    EXPECT_EQ(badRate.FrameLength, 0);
    EXPECT_EQ(badRate.Bitrate, 128);
    EXPECT_FALSE(IsValidFrameHeader(MakeHeaderWord({.rateIndex = 3})));

    const TFrameInfo badVersion = DecodeFrameHeader(MakeHeaderWord({.versionBits = 1}));
    EXPECT_EQ(badVersion.Version, 0);
    EXPECT_EQ(badVersion.Bitrate, 0);
    EXPECT_EQ(badVersion.SampleRate, 0);
    EXPECT_EQ(badVersion.FrameLength, 0);
    EXPECT_FALSE(IsValidFrameHeader(MakeHeaderWord({.versionBits = 1})));

    for (int ext = 0; ext < 4; ++ext) {
        const uint32_t word = MakeHeaderWord({.layerBits = 0, .modeExtension = ext});
        const TFrameInfo badLayer = DecodeFrameHeader(word);
        EXPECT_EQ(badLayer.Layer, 0);
        EXPECT_EQ(badLayer.Bitrate, 0);
        EXPECT_EQ(badLayer.FrameLength, 0);
        EXPECT_EQ(badLayer.ModeExtension, ext - 4);
        EXPECT_FALSE(IsValidFrameHeader(word));
    }
}

TEST(FrameHeader, EmphasisTwoIsTheOnlyInvalidEmphasis) {
    // Breaks when the reserved emphasis is accepted or a real one rejected.
    EXPECT_TRUE(IsValidFrameHeader(MakeHeaderWord({.emphasis = 0})));
    EXPECT_TRUE(IsValidFrameHeader(MakeHeaderWord({.emphasis = 1})));
    EXPECT_FALSE(IsValidFrameHeader(MakeHeaderWord({.emphasis = 2})));
    EXPECT_TRUE(IsValidFrameHeader(MakeHeaderWord({.emphasis = 3})));
}

TEST(FrameHeader, SyncNeedsElevenOneBits) {
    // Breaks MPEG-2.5 detection (0xFFE0 is enough) or lets a first byte other than 0xFF pass.
    const uint32_t mpeg25 = MakeHeaderWord({.versionBits = 0, .layerBits = 1});
    EXPECT_EQ(mpeg25 & 0xFFFF, 0xE3FFu);  // FF E3: only the sync bits and Layer III set
    EXPECT_TRUE(IsValidFrameHeader(mpeg25));
    EXPECT_EQ(DecodeFrameHeader(mpeg25).Version, 3);

    const uint32_t word = 0x6490FBFFu;
    for (uint32_t first = 0; first < 0xFF; ++first) {
        EXPECT_FALSE(IsValidFrameHeader((word & ~0xFFu) | first)) << first;
    }
    for (int bit = 13; bit <= 15; ++bit) {
        EXPECT_FALSE(IsValidFrameHeader(word & ~(1u << bit))) << bit;
    }
}

TEST(FrameHeader, FlagBitsDecodeIndependently) {
    // Breaks when two flags are read from the same bit or the CRC flag is not inverted.
    const TFrameInfo plain = DecodeFrameHeader(MakeHeaderWord({.original = false}));
    EXPECT_EQ(plain.Crc, 0);
    EXPECT_EQ(plain.Private + plain.Copyright + plain.Original + plain.Padding, 0);
    EXPECT_EQ(DecodeFrameHeader(MakeHeaderWord({.protection = false})).Crc, 1);
    EXPECT_EQ(DecodeFrameHeader(MakeHeaderWord({.privateBit = true, .original = false})).Private,
              1);
    EXPECT_EQ(DecodeFrameHeader(MakeHeaderWord({.copyright = true, .original = false})).Copyright,
              1);
    const TFrameInfo mono = DecodeFrameHeader(MakeHeaderWord({.channelMode = 3}));
    EXPECT_EQ(mono.ChannelMode, 3);
    EXPECT_EQ(DecodeFrameHeader(MakeHeaderWord({.layerBits = 3, .modeExtension = 3})).ModeExtension,
              3);
    EXPECT_EQ(DecodeFrameHeader(MakeHeaderWord({.layerBits = 2, .modeExtension = 3})).ModeExtension,
              7);
}

TEST(FrameHeader, FrameInfoHasTheTwentyFiveByteFileLayout) {
    // Breaks every saved index file if a field moves, widens or gains padding.
    EXPECT_EQ(offsetof(TFrameInfo, Version), 0u);
    EXPECT_EQ(offsetof(TFrameInfo, Layer), 1u);
    EXPECT_EQ(offsetof(TFrameInfo, Bitrate), 2u);
    EXPECT_EQ(offsetof(TFrameInfo, SampleRate), 6u);
    EXPECT_EQ(offsetof(TFrameInfo, ChannelMode), 10u);
    EXPECT_EQ(offsetof(TFrameInfo, ModeExtension), 11u);
    EXPECT_EQ(offsetof(TFrameInfo, Padding), 15u);
    EXPECT_EQ(offsetof(TFrameInfo, Crc), 16u);
    EXPECT_EQ(offsetof(TFrameInfo, Private), 17u);
    EXPECT_EQ(offsetof(TFrameInfo, Copyright), 18u);
    EXPECT_EQ(offsetof(TFrameInfo, Original), 19u);
    EXPECT_EQ(offsetof(TFrameInfo, Emphasis), 20u);
    EXPECT_EQ(offsetof(TFrameInfo, FrameLength), 21u);

    const TFrameInfo info = DecodeFrameHeader(0x6490FBFFu);
    const std::vector<uint8_t> golden = {0x01, 0x03, 0x80, 0x00, 0x00, 0x00, 0x44, 0xAC, 0x00,
                                         0x00, 0x01, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                         0x00, 0x01, 0x00, 0xA1, 0x01, 0x00, 0x00};
    std::vector<uint8_t> bytes(sizeof(TFrameInfo));
    std::memcpy(bytes.data(), &info, sizeof(TFrameInfo));
    EXPECT_EQ(bytes, golden);
}

TEST(FrameHeader, NameTablesUseTheProgramsTexts) {
    // Breaks the file properties report's texts.
    EXPECT_STREQ(kVersionNames[0], "Invalid");
    EXPECT_STREQ(kVersionNames[3], "2.5");
    EXPECT_STREQ(kLayerNames[3], "III");
    EXPECT_STREQ(kChannelModeNames[1], "Joint-Stereo");
    EXPECT_STREQ(kChannelModeNames[3], "Mono");
    EXPECT_STREQ(kEmphasisNames[1], "50/15\xB5s");
    EXPECT_EQ(std::strlen(kEmphasisNames[1]), 7u);  // the micro sign is one byte
    EXPECT_STREQ(kEmphasisNames[3], "CITT j.17");
}

}  // namespace
}  // namespace sw
