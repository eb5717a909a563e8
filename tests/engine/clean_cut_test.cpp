// The clean cut's parts on frames built here (the checksums, the side information, the reservoir,
// the gapless arithmetic, the header frame, the join), then whole exports of built streams whose
// main data is known byte for byte. Real encoder output under real decoders is
// tests/corpus/clean_cut_check.py's.

#include <gtest/gtest.h>

#include <cstring>

#include "engine/crc16.h"
#include "engine/export.h"
#include "engine/gapless.h"
#include "engine/header_frame.h"
#include "engine/join_repair.h"
#include "engine/layer3_side_info.h"
#include "engine/reservoir_map.h"
#include "engine/scan.h"
#include "engine_fixture.h"
#include "layer3_stream.h"
#include "stream/memory_stream.h"
#include "stream/status.h"

namespace sw::test {
namespace {

using Bytes = std::vector<uint8_t>;

HeaderSpec Mpeg1Stereo() {
    return HeaderSpec{};
}
HeaderSpec Mpeg25MonoProtected() {
    HeaderSpec spec;
    spec.versionBits = 0;
    spec.rateIndex = 2;  // 8000 Hz
    spec.channelMode = 3;
    spec.protection = false;
    spec.bitrateIndex = 2;
    return spec;
}

// The frames a scan finds in bytes, each as its bytes.
std::vector<Bytes> FramesIn(const Bytes& bytes) {
    std::vector<Bytes> frames;
    size_t at = 0;
    while (at + 4 <= bytes.size() && IsValidFrameHeader(HeaderWordFromBytes(&bytes[at]))) {
        const auto length = size_t(DecodeFrameHeader(HeaderWordFromBytes(&bytes[at])).FrameLength);
        if (at + length > bytes.size()) {
            break;
        }
        frames.emplace_back(bytes.begin() + int64_t(at), bytes.begin() + int64_t(at + length));
        at += length;
    }
    return frames;
}

ReservoirMap MapOf(const std::vector<Bytes>& frames, size_t from = 0) {
    ReservoirMap map;
    for (size_t k = from; k < frames.size(); ++k) {
        EXPECT_TRUE(map.Append(frames[k].data(), int32_t(frames[k].size()))) << "frame " << k;
    }
    return map;
}

TFrameInfo InfoOf(const Bytes& frame) {
    return DecodeFrameHeader(HeaderWordFromBytes(frame.data()));
}

uint32_t BigEndian(const uint8_t* b) {
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

struct Scanned {
    std::unique_ptr<TCutObject> cut;
    Layer3Stream stream;
};

Scanned ScannedStream(Layer3Stream stream, const Bytes& before = {}) {
    Bytes bytes = before;
    Append(bytes, Join(stream.frames));
    Scanned scanned{MemoryCut(bytes), std::move(stream)};
    WorkerControl control;
    EXPECT_EQ(ScanFrames(*scanned.cut, control), kStatusOk);
    return scanned;
}

ExportOutcome CleanExport(const std::vector<ExportPiece>& pieces, Bytes& out,
                          const HeaderFlags* flags = nullptr, bool wave = false) {
    MemoryStream target;
    WorkerControl control;
    const ExportOutcome outcome =
        ExportPieces(target, wave, pieces, ExportStyle::Clean, flags, nullptr, control);
    out = target.Bytes();
    return outcome;
}

TEST(Crc16, BothChecksumsGiveTheirPublishedCheckValuesAndTheFastPathTheTablesSums) {
    // A wrong polynomial, bit order or start value makes every LAME tag look damaged to the
    // players that check it, and every protected frame we touch to decoders that check CRCs.
    const auto* check = reinterpret_cast<const uint8_t*>("123456789");
    EXPECT_EQ(TagCrc16(check, 9), 0xBB3D);    // CRC-16/ARC
    EXPECT_EQ(FrameCrc16(check, 9), 0xAEE7);  // CRC-16/CMS
    Bytes bytes(700);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(i * 131 + (i >> 3));
    }
    for (size_t offset : {0, 1, 3}) {
        for (size_t count = 0; count + offset <= bytes.size(); count += 13) {
            for (uint16_t start : {0, 0x1234}) {
                ASSERT_EQ(TagCrc16(&bytes[offset], count, start),
                          TagCrc16Bytewise(&bytes[offset], count, start))
                    << count << " bytes from " << offset;
            }
        }
    }
    // Continuing a sum is summing the whole.
    EXPECT_EQ(TagCrc16(&bytes[100], 600, TagCrc16(bytes.data(), 100)), TagCrc16(bytes.data(), 700));
}

TEST(Layer3SideInfo, ReadsWhereMainDataStartsAndHowLongItIsInEveryLayout) {
    // The fields sit at other bits in each version, channel count and window layout; one bit
    // off and every reservoir computed from them is wrong.
    HeaderSpec mpeg1Mono;
    mpeg1Mono.channelMode = 3;
    mpeg1Mono.protection = false;
    HeaderSpec mpeg2Stereo;
    mpeg2Stereo.versionBits = 2;
    mpeg2Stereo.bitrateIndex = 8;
    const struct {
        HeaderSpec spec;
        SideInfoSpec side;
    } cases[] = {
        {Mpeg1Stereo(), {511, {4095, 1, 2000, 77}}},
        {mpeg1Mono, {300, {1234, 4001}}},
        {mpeg2Stereo, {255, {999, 3}}},
        {Mpeg25MonoProtected(), {17, {288}}},
    };
    for (const auto& c : cases) {
        const Bytes frame = MakeLayer3Frame(c.spec, c.side, {});
        const TFrameInfo info = InfoOf(frame);
        Layer3SideInfo side;
        ASSERT_TRUE(ReadLayer3SideInfo(frame.data(), int32_t(frame.size()), info, side));
        int bits = 0;
        for (int part : c.side.partLengths) {
            bits += part;
        }
        EXPECT_EQ(side.mainDataBegin, c.side.mainDataBegin) << int(info.Version);
        EXPECT_EQ(side.mainDataBits, bits) << int(info.Version);
        if (info.Crc) {
            EXPECT_EQ(Layer3FrameCrc(frame.data(), info), frame[4] << 8 | frame[5]);
        }
        EXPECT_FALSE(ReadLayer3SideInfo(frame.data(), MainDataAreaOffset(info) - 1, info, side));
    }
}

TEST(ReservoirMap, RebuildsEveryFramesMainDataAndWhatTheFirstOnesNeedInFront) {
    const Layer3Stream stream = MakeLayer3Stream(40, Mpeg1Stereo(), {9, 3, 14, 5, 1}, 7, true);
    const ReservoirMap map = MapOf(stream.frames);
    for (size_t k = 0; k < stream.frames.size(); ++k) {
        Bytes data;
        ASSERT_TRUE(map.MainData(k, data)) << k;
        EXPECT_EQ(data, stream.mainData[k]) << "frame " << k;
    }
    // From frame 10 on, the first frames read bytes of the frames before: exactly these.
    const ReservoirMap later = MapOf(stream.frames, 10);
    const int32_t needed = later.BytesNeededBefore(0);
    ASSERT_GT(needed, 0);
    int64_t earliest = map.AreaStart(10);
    for (size_t k = 10; k < stream.frames.size(); ++k) {
        earliest = std::min(earliest, map.MainDataStart(k));
    }
    EXPECT_EQ(needed, map.AreaStart(10) - earliest);
    Bytes data;
    EXPECT_FALSE(later.MainData(0, data)) << "main data before the map's first byte";
}

TEST(Gapless, PiecesKeepTheSourcesEndsAndSkipOnlyTheirLeadIn) {
    SourceGapless lame;  // 100 frames of 1152, 576 samples of delay, 1000 of padding
    lame.tag.gapless = true;
    lame.tag.delay = 576;
    lame.tag.padding = 1000;
    lame.audioFrames = 100;
    lame.samplesPerFrame = 1152;
    SourceGapless plain = lame;  // no gapless information: played whole
    plain.tag.gapless = false;
    SourceGapless granules = lame;  // MPEG-2: the delay reaches past the first frame
    granules.samplesPerFrame = 576;
    const struct {
        const SourceGapless& source;
        int64_t first, last;
        int32_t before;
        int32_t delay, padding;
    } cases[] = {
        {lame, 0, 99, 0, 576, 1000},                  // the whole file keeps both
        {lame, 0, 9, 0, 576, 529},                    // the start keeps the delay, the end is whole
        {lame, 50, 99, 1, 1152 - 529, 1000},          // the lead-in is skipped, the padding kept
        {lame, 50, 60, 2, 2304 - 529, 529},           // a carrier too
        {lame, 99, 99, 1, 623, 1000},                 // a last frame alone
        {plain, 0, 99, 1, 1152 - 529, 529},           // the carrier makes room for the 529
        {plain, 10, 20, 1, 623, 529},                 //
        {granules, 1, 99, 1, 576 + 529 - 529, 1000},  // frame 1 begins inside the source's skip
    };
    for (const auto& c : cases) {
        const PieceGapless gapless = GaplessOfPiece(c.source, c.first, c.last, c.before);
        EXPECT_EQ(gapless.delay, c.delay) << c.first << "-" << c.last;
        EXPECT_EQ(gapless.padding, c.padding) << c.first << "-" << c.last;
        EXPECT_TRUE(gapless.Fits());
    }
    // A start no field can say: 529 samples decoders always drop are more than the piece skips.
    EXPECT_FALSE(GaplessOfPiece(plain, 0, 99, 0).Fits());
}

TEST(HeaderFrame, SaysWhatTheFileHoldsAsTheLameTagDoesInTheSmallestFrame) {
    SourceTag source;
    source.gapless = true;
    std::memcpy(source.lame.data(), "LAME3.100", 9);
    source.lame[10] = 170;   // lowpass: kept
    source.lame[11] = 0x55;  // peak: of the whole source, not of a piece
    HeaderFrameFields fields;
    HeaderSpec protectedSpec;
    protectedSpec.protection = false;
    fields.streamWord = MakeHeaderWord(protectedSpec);
    fields.constantBitrate = false;
    fields.frames = 1234;
    fields.bytes = 98765;
    fields.seekTable = SeekTable({208, 5000, 50000, 90000}, 98765);
    fields.delay = 1775;
    fields.padding = 4095;
    fields.musicCrc = 0xBEEF;
    fields.source = &source;
    const Bytes frame = BuildHeaderFrame(fields);

    // 4 + 32 + 120 + 36 bytes fit no MPEG-1 frame at 44.1 kHz below 64 kbit/s (208 bytes).
    ASSERT_EQ(frame.size(), 208u);
    EXPECT_EQ(HeaderFrameLength(fields.streamWord), 208);
    const TFrameInfo info = InfoOf(frame);
    EXPECT_EQ(info.Bitrate, 64);
    EXPECT_FALSE(info.Crc) << "the records sit right after the side information, no CRC word";
    EXPECT_EQ(std::string(frame.begin() + 36, frame.begin() + 40), "Xing");
    EXPECT_EQ(BigEndian(&frame[36 + 4]), 15u);
    EXPECT_EQ(BigEndian(&frame[36 + 8]), 1234u);
    EXPECT_EQ(BigEndian(&frame[36 + 12]), 98765u);
    EXPECT_EQ(frame[36 + 16], 0);
    EXPECT_TRUE(std::is_sorted(frame.begin() + 52, frame.begin() + 152));
    const uint8_t* lame = &frame[156];
    EXPECT_EQ(std::string(lame, lame + 9), "LAME3.100");
    EXPECT_EQ(lame[10], 170);
    EXPECT_EQ(lame[11], 0);
    EXPECT_EQ(BigEndian(lame + 28), 98765u);  // music length: the stream with this frame
    EXPECT_EQ(lame[32] << 8 | lame[33], 0xBEEF);
    EXPECT_EQ(lame[34] << 8 | lame[35], TagCrc16(frame.data(), 190));

    const SourceTag read = ReadSourceTag(frame.data(), int32_t(frame.size()));
    EXPECT_TRUE(read.tagFrame && read.gapless);
    EXPECT_EQ(read.delay, 1775);
    EXPECT_EQ(read.padding, 4095);

    // Without a gapless source tag the extension still starts "LAME", which ffmpeg asks for.
    fields.source = nullptr;
    HeaderSpec mono8k = Mpeg25MonoProtected();
    fields.streamWord = MakeHeaderWord(mono8k);
    const Bytes small = BuildHeaderFrame(fields);
    EXPECT_EQ(small.size(), 216u);  // MPEG-2.5 mono at 8 kHz: 24 kbit/s
    EXPECT_EQ(std::string(small.begin() + 13, small.begin() + 17), "Xing");
    EXPECT_EQ(std::string(small.begin() + 133, small.begin() + 137), "LAME");
    EXPECT_TRUE(ReadSourceTag(small.data(), int32_t(small.size())).gapless);
}

TEST(JoinRepair, TheFrameBeforeAJoinGrowsJustEnoughToCarryTheReservoir) {
    HeaderSpec spec = Mpeg1Stereo();
    spec.protection = false;
    spec.bitrateIndex = 1;  // 32 kbit/s: 104 bytes, 66 of area
    spec.copyright = true;
    // Its own main data: 20 bytes in the frame before it, then 30 of its own area.
    const Bytes area(66, 0x21);
    Bytes frame = MakeLayer3Frame(spec, {20, {400, 0, 0, 0}}, area);
    const Bytes reservoir(100, 0x42);
    Bytes grown = frame;
    ASSERT_TRUE(MakeRoomForReservoir(grown, reservoir));
    const TFrameInfo info = InfoOf(grown);
    // 38 + 30 + 100 bytes: 168, the smallest frame that holds them is 56 kbit/s (182 bytes).
    EXPECT_EQ(info.Bitrate, 56);
    EXPECT_EQ(grown.size(), 182u);
    EXPECT_TRUE(info.Copyright) << "only the bitrate changes";
    EXPECT_TRUE(std::equal(frame.begin() + 6, frame.begin() + 38 + 30, grown.begin() + 6))
        << "its side information and its own main data stay";
    EXPECT_EQ(Bytes(grown.end() - 100, grown.end()), reservoir);
    EXPECT_EQ(Layer3FrameCrc(grown.data(), info), grown[4] << 8 | grown[5]);

    // Room enough already: the frame keeps its size, only its tail changes.
    Bytes roomy = frame;
    ASSERT_TRUE(MakeRoomForReservoir(roomy, Bytes(36, 0x43)));
    EXPECT_EQ(roomy.size(), frame.size());
    // More than any bitrate holds: nothing changes.
    Bytes full = frame;
    EXPECT_FALSE(MakeRoomForReservoir(full, Bytes(2000, 0x44)));
    EXPECT_EQ(full, frame);
}

// Every frame of an export finds in front of it the main data its source frame had.
void ExpectEveryMainData(const std::vector<Bytes>& audio, size_t from,
                         const std::vector<const Bytes*>& truth, const std::string& what) {
    const ReservoirMap map = MapOf(audio);
    ASSERT_EQ(audio.size(), from + truth.size()) << what;
    for (size_t k = 0; k < truth.size(); ++k) {
        Bytes data;
        EXPECT_TRUE(map.MainData(from + k, data) && data == *truth[k])
            << what << ": output frame " << from + k;
    }
}

TEST(CleanExport, AMiddleRangeGetsHeaderCarrierAndLeadInAndEveryMainDataByte) {
    // A range that copied only its own frames started with main data the decoder never saw.
    const struct {
        HeaderSpec spec;
        int32_t leadIn;
        int32_t samples;
    } streams[] = {{Mpeg1Stereo(), 1, 1152}, {Mpeg25MonoProtected(), 2, 576}};
    for (const auto& s : streams) {
        Scanned source =
            ScannedStream(MakeLayer3Stream(60, s.spec, {9, 2, 13, 4}, 3, /*deep=*/true));
        Bytes out;
        const ExportOutcome outcome = CleanExport({{source.cut.get(), {30, 44}}}, out);
        ASSERT_EQ(outcome.status, kStatusOk);
        EXPECT_EQ(outcome.framesCopied, 15);
        EXPECT_TRUE(outcome.notes.empty());
        const std::vector<Bytes> frames = FramesIn(out);
        const std::vector<Bytes> audio(frames.begin() + 1, frames.end());
        ASSERT_EQ(audio.size(), size_t(1 + s.leadIn + 15)) << "header, carrier, lead-in, range";

        const SourceTag tag = ReadSourceTag(frames[0].data(), int32_t(frames[0].size()));
        EXPECT_TRUE(tag.gapless);
        EXPECT_EQ(tag.delay, (1 + s.leadIn) * s.samples - kDecoderDelay);
        EXPECT_EQ(tag.padding, kDecoderDelay);
        const uint8_t* xing = &frames[0][4 + SideInfoSize(InfoOf(frames[0]))];
        EXPECT_EQ(std::string(xing, xing + 4), "Xing") << "the carrier's bitrate is its own";
        EXPECT_EQ(BigEndian(xing + 8), audio.size());
        EXPECT_EQ(BigEndian(xing + 12), out.size());
        const uint8_t* lame = xing + 120;
        EXPECT_EQ(lame[32] << 8 | lame[33],
                  TagCrc16(out.data() + frames[0].size(), out.size() - frames[0].size()));

        Layer3SideInfo carrier;
        ASSERT_TRUE(ReadLayer3SideInfo(audio[0].data(), int32_t(audio[0].size()), InfoOf(audio[0]),
                                       carrier));
        EXPECT_EQ(carrier.mainDataBits, 0) << "the carrier decodes to silence";
        std::vector<const Bytes*> truth;
        for (int32_t k = 30 - s.leadIn; k <= 44; ++k) {
            truth.push_back(&source.stream.mainData[size_t(k)]);
            EXPECT_EQ(audio[size_t(1 + s.leadIn + k - 30)], source.stream.frames[size_t(k)]);
        }
        ExpectEveryMainData(audio, 1, truth, "range 30-44");
    }
}

TEST(CleanExport, JoinsCarryEachCuesReservoirAndRaiseABitrateOnlyWhereTheyMust) {
    // Two sources of one format, the second cue reaching deep into frames left behind; the
    // stream is protected and the project stamps its flags, so the CRC words must be made anew.
    HeaderSpec spec = Mpeg1Stereo();
    spec.protection = false;
    Scanned a = ScannedStream(MakeLayer3Stream(30, spec, {1, 2, 3}, 11));
    Scanned b = ScannedStream(MakeLayer3Stream(30, spec, {14, 1, 12}, 12, /*deep=*/true));
    const HeaderFlags flags{0, 1, 0, false};
    Bytes out;
    const ExportOutcome outcome = CleanExport(
        {{a.cut.get(), {10, 19}}, {b.cut.get(), {20, 25}}, {a.cut.get(), {5, 8}}}, out, &flags);
    ASSERT_EQ(outcome.status, kStatusOk);
    EXPECT_EQ(outcome.framesCopied, 10 + 6 + 4);
    const std::vector<Bytes> frames = FramesIn(out);
    const std::vector<Bytes> audio(frames.begin() + 1, frames.end());
    std::vector<const Bytes*> truth = {&a.stream.mainData[9]};  // the lead-in
    for (int k = 10; k <= 19; ++k) {
        truth.push_back(&a.stream.mainData[size_t(k)]);
    }
    for (int k = 20; k <= 25; ++k) {
        truth.push_back(&b.stream.mainData[size_t(k)]);
    }
    for (int k = 5; k <= 8; ++k) {
        truth.push_back(&a.stream.mainData[size_t(k)]);
    }
    const size_t from = audio.size() - truth.size();
    ExpectEveryMainData(audio, from, truth, "three cues");
    for (size_t k = 0; k < audio.size(); ++k) {
        const TFrameInfo info = InfoOf(audio[k]);
        EXPECT_TRUE(info.Copyright) << k;
        EXPECT_EQ(Layer3FrameCrc(audio[k].data(), info), audio[k][4] << 8 | audio[k][5]) << k;
    }
    // Only the last frame of a cue may grow; the small one before the deep second cue must.
    const Bytes& beforeSecond = audio[from + 10];
    EXPECT_GT(beforeSecond.size(), a.stream.frames[19].size());
    for (size_t k = from; k < audio.size(); ++k) {
        if (k != from + 10 && k != from + 16) {
            EXPECT_EQ(audio[k].size(), (k < from + 11   ? a.stream.frames[9 + k - from]
                                        : k < from + 17 ? b.stream.frames[20 + k - from - 11]
                                                        : a.stream.frames[5 + k - from - 17])
                                           .size())
                << k;
        }
    }
}

TEST(CleanExport, DamagedSourcesFallBackOrEndTheRangeAndSaySo) {
    // A source cut out of a longer stream begins with main data before its first byte: that
    // piece is copied as it is, and the user is told.
    const Layer3Stream whole = MakeLayer3Stream(40, Mpeg1Stereo(), {9, 2, 13}, 5, /*deep=*/true);
    Layer3Stream cutOut;
    cutOut.frames.assign(whole.frames.begin() + 20, whole.frames.end());
    cutOut.mainData.assign(whole.mainData.begin() + 20, whole.mainData.end());
    Scanned damaged = ScannedStream(cutOut);
    Bytes out;
    ExportOutcome outcome = CleanExport({{damaged.cut.get(), {0, 3}}}, out);
    EXPECT_EQ(outcome.status, kStatusOk);
    EXPECT_EQ(out, Join({cutOut.frames.begin(), cutOut.frames.begin() + 4}));
    ASSERT_EQ(outcome.notes.size(), 1u);
    EXPECT_NE(outcome.notes[0].find("reaches before the start of the file"), std::string::npos);
    EXPECT_NE(outcome.notes[0].find("copied as they are"), std::string::npos);

    // A lead-in frame that is not where the index says ends the range before it began.
    Scanned stale = ScannedStream(MakeLayer3Stream(20, Mpeg1Stereo(), {9}, 6));
    Bytes bytes = Join(stale.stream.frames);
    bytes[size_t(FrameOffset(stale.cut.get(), 9))] = 0x00;
    stale.cut->FileStream = std::make_unique<MemoryStream>(bytes);
    outcome = CleanExport({{stale.cut.get(), {10, 12}}}, out);
    EXPECT_EQ(outcome.status, kStatusUnknownError);
    EXPECT_EQ(outcome.framesCopied, 0);
}

}  // namespace
}  // namespace sw::test
