#include "project/sheet_cues.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/scan.h"
#include "frame_builder.h"
#include "project/cue_sheet_writer.h"
#include "project/piece_names.h"

namespace sw::test {
namespace {

// MPEG-1 Layer III at 44.1 kHz: 1152 samples a frame, 26.12 ms.
StreamTiming Cd(int32_t frames, int32_t first = 0, int32_t delay = 0) {
    return {44100, 1152, first, delay, frames};
}

CutObjectPtr Scanned(const std::string& fileName) {
    CutObjectPtr cut(CreateCutObject(fileName, {}));
    WorkerControl control;
    EXPECT_EQ(ScanFrames(*cut, control), 0);
    return cut;
}

TEST(SheetTiming, ATimeMapsToTheFrameThatPlaysIt) {
    // Frame n plays samples n*1152 .. n*1152+1151. 2:00:00 is sample 88200, inside frame 76
    // (87552..88703); an instant on a boundary starts the frame there.
    const StreamTiming cd = Cd(10000);
    EXPECT_EQ(SheetTimeToFrame(0, cd), 0);
    EXPECT_EQ(SheetTimeToFrame(2 * 75, cd), 76);
    EXPECT_EQ(SheetTimeToFrame(1, cd), 0);  // 588 samples
    EXPECT_EQ(SheetTimeToFrame(2, cd), 1);  // 1176 samples: frame 1 began at 1152
    // 120 minutes: 317,520,000 samples, frame 275625 exactly at its start.
    EXPECT_EQ(SheetTimeToFrame(120 * 60 * 75, cd), 275625);
    // After an Info frame with a LAME tag of 576 samples of delay, 0 is the first audio frame,
    // and every later instant is 1105 samples further into the frames.
    const StreamTiming lame = Cd(10000, 1, 576 + 529);
    EXPECT_EQ(SheetTimeToFrame(0, lame), 1);
    EXPECT_EQ(SheetTimeToFrame(2 * 75, lame), 1 + (88200 + 1105) / 1152);
    // MPEG-2 Layer III at 22.05 kHz: 576 samples, the same 26.12 ms.
    EXPECT_EQ(SheetTimeToFrame(2 * 75, StreamTiming{22050, 576, 0, 0, 100}), 76);
}

TEST(SheetTiming, WrittenStartsReadBackToTheirFrames) {
    // A sheet we write must give every cue its own first frame back; Layer I frames are shorter
    // than the 1/75 s a sheet can say, and come back within that.
    const StreamTiming formats[] = {
        Cd(3000),
        Cd(3000, 1, 576 + 529),
        {48000, 1152, 1, 1105, 3000},
        {32000, 1152, 0, 0, 3000},
        {24000, 576, 0, 0, 3000},
        {22050, 576, 1, 1105, 3000},
        {8000, 576, 0, 0, 3000},
        {44100, 1152, 0, 0, 3000},  // Layer II
    };
    for (const StreamTiming& timing : formats) {
        for (int64_t frame = timing.FirstAudioFrame; frame < 3000; ++frame) {
            // Frames that hold only the encoder's lead-in all start the music at 00:00:00.
            if (frame > timing.FirstAudioFrame &&
                (frame - timing.FirstAudioFrame) * timing.SamplesPerFrame < timing.DelaySamples) {
                continue;
            }
            ASSERT_EQ(SheetTimeToFrame(FrameToSheetTime(frame, timing), timing), frame)
                << timing.SampleRate << " Hz, delay " << timing.DelaySamples;
        }
    }
    const StreamTiming layer1{48000, 384, 0, 0, 3000};
    for (int64_t frame = 0; frame < 3000; ++frame) {
        const int64_t back = SheetTimeToFrame(FrameToSheetTime(frame, layer1), layer1);
        ASSERT_LE(std::abs(back - frame) * 384 * 75, 48000) << frame;
    }
}

TEST(SheetTiming, InfoFrameAndLameDelayAreFoundInFrameZero) {
    // LAME and ffmpeg put an Info frame before the audio; its LAME tag says how many samples of
    // the encoder's lead-in come before the music.
    TempDir dir;
    std::vector<uint8_t> bytes = MakeFrames(20);
    // MPEG-1 stereo: "Info" after the 4-byte header and 32 bytes of side information, then
    // flags 0x0F (frames, bytes, TOC, quality), 120 bytes of fields, and the LAME tag.
    const size_t info = 36;
    std::memcpy(&bytes[info], "Info\0\0\0\x0F", 8);
    const size_t lame = info + 120;
    std::memcpy(&bytes[lame], "LAME3.100", 9);
    bytes[lame + 21] = 0x24;  // delay 0x240 = 576, padding 0x0C0
    bytes[lame + 22] = 0x00;
    bytes[lame + 23] = 0xC0;
    WriteFileBytes(dir.File("lame.mp3"), bytes);
    CutObjectPtr cut = Scanned(dir.File("lame.mp3"));
    const StreamTiming timing = TimingOf(*cut);
    EXPECT_EQ(timing.SampleRate, 44100);
    EXPECT_EQ(timing.SamplesPerFrame, 1152);
    EXPECT_EQ(timing.FirstAudioFrame, 1);
    EXPECT_EQ(timing.DelaySamples, 576 + 529);
    EXPECT_EQ(timing.FrameCount, 20);

    // A Xing frame of another encoder, without a LAME tag: no audio in it, no delay known.
    std::memcpy(&bytes[info], "Xing\0\0\0\x01", 8);
    std::memset(&bytes[lame], 0x55, 24);
    WriteFileBytes(dir.File("xing.mp3"), bytes);
    EXPECT_EQ(TimingOf(*Scanned(dir.File("xing.mp3"))).FirstAudioFrame, 1);
    EXPECT_EQ(TimingOf(*Scanned(dir.File("xing.mp3"))).DelaySamples, 0);

    WriteFileBytes(dir.File("plain.mp3"), MakeFrames(20));
    const StreamTiming plain = TimingOf(*Scanned(dir.File("plain.mp3")));
    EXPECT_EQ(plain.FirstAudioFrame, 0);
    EXPECT_EQ(plain.DelaySamples, 0);
}

TEST(SheetCues, TracksRunToTheNextStartAndTheLastToTheEnd) {
    // 100 frames of 26 ms: 2.6 s. A last track that starts in the last frame is one frame long;
    // one that starts after the end is no cue; two starts in one frame still give each a frame.
    CueSheet sheet;
    sheet.Files = {{"a.mp3", "MP3", 1}, {"b.mp3", "MP3", 9}};
    const auto track = [](int number, int file, int64_t start, bool audio = true) {
        CueSheetTrack t;
        t.Number = number;
        t.File = file;
        t.Start = start;
        t.Audio = audio;
        return t;
    };
    sheet.Tracks = {track(1, 0, 0),   track(2, 0, 75),  track(3, 0, 76),         track(4, 1, 0),
                    track(5, 0, 120), track(6, 0, 194), track(7, 0, 195, false), track(8, 0, 196)};
    std::vector<size_t> pastEnd;
    const std::vector<SheetCueRange> ranges = SheetCueRanges(sheet, 0, Cd(100), pastEnd);
    ASSERT_EQ(ranges.size(), 5u);
    EXPECT_EQ(ranges[0].MarkIn, 0);
    EXPECT_EQ(ranges[0].MarkOut, 37);  // 1 s is sample 44100, in frame 38
    EXPECT_EQ(ranges[1].MarkIn, 38);
    EXPECT_EQ(ranges[1].MarkOut, 38);  // 01:01 is in frame 38 too
    EXPECT_EQ(ranges[2].MarkIn, 38);
    EXPECT_EQ(ranges[3].Track, 4u);
    EXPECT_EQ(ranges[4].Track, 5u);
    EXPECT_EQ(ranges[4].MarkIn, 99);  // 194/75 s is in the last frame, 196/75 s after it
    EXPECT_EQ(ranges[4].MarkOut, 99);
    EXPECT_EQ(pastEnd, std::vector<size_t>{7});
}

TEST(SheetCues, NamesAndPieceFilesFollowTheSheetForm) {
    CueSheetTrack track;
    track.Number = 3;
    track.Title = "Song";
    EXPECT_EQ(SheetCueName(track), "03 - Song");
    track.Performer = "Artist";
    EXPECT_EQ(SheetCueName(track), "03 - Artist - Song");
    track = CueSheetTrack{};
    track.Number = 120;
    EXPECT_EQ(SheetCueName(track), "120 - Track 120");

    EXPECT_EQ(NumberedName("07 - Intro").Number, 7);
    EXPECT_EQ(NumberedName("07 - Intro").Title, "Intro");
    EXPECT_EQ(NumberedName("Cue 2: live").Number, 0);
    EXPECT_EQ(NumberedName("07 -Intro").Number, 0);
    EXPECT_EQ(NumberedName("07 - ").Number, 0);

    EXPECT_EQ(PieceFileName("07 - AC/DC: Live?", 1, "mp3"), "07 - AC_DC_ Live_.mp3");
    EXPECT_EQ(PieceFileName("Cue 2: live", 12, "wav"), "12 - Cue 2_ live.wav");
    EXPECT_EQ(SafePieceFileName("..", "mp3"), "_..mp3");
    EXPECT_EQ(SafePieceFileName("a\tb\x7F", "mp3"), "a_b_.mp3");
    // 200 two-byte letters: cut to whole letters so the name and ".mp3" fit 255 bytes.
    std::string longName;
    for (int i = 0; i < 200; ++i) {
        longName += "\xC3\xA9";
    }
    const std::string safe = SafePieceFileName(longName, "mp3");
    EXPECT_EQ(safe.size(), 250u + 4);
    EXPECT_EQ(safe.substr(safe.size() - 6), "\xC3\xA9.mp3");
}

TEST(CueSheetWrite, CueListBecomesFileBlocksWithTheStartsOfItsCues) {
    // Two files, the first coming back after the second: three FILE blocks. Cues in the sheet's
    // form lose their number into the TRACK line (reading gives it back); a start is the first
    // 1/75 s inside the cue's first frame.
    TempDir dir;
    WriteFileBytes(dir.File("a.mp3"), MakeFrames(200));
    WriteFileBytes(dir.File("b.mp3"), MakeFrames(100));
    CutObjectPtr a = Scanned(dir.File("a.mp3"));
    CutObjectPtr b = Scanned(dir.File("b.mp3"));
    TCueObject cues[] = {
        {a.get(), "01 - Opening", 0, 76},
        {a.get(), "Cue 2: a", 77, 150},
        {b.get(), "Interlude \"live\"", 0, 99},
        {a.get(), "04 - Coda", 151, 199},
    };
    const CueSheetPlan plan = PlanCueSheet({&cues[0], &cues[1], &cues[2], &cues[3]});
    // Cue 2 ends at 150 while the next in a.mp3 is in another block: read back it would run to
    // the end of a.mp3.
    EXPECT_EQ(plan.Loose, std::vector<std::string>{"Cue 2: a"});
    const std::string text = CueSheetFileText(dir.File("mix.cue"), plan.Tracks);
    EXPECT_EQ(text,
              "FILE \"a.mp3\" MP3\r\n"
              "  TRACK 01 AUDIO\r\n"
              "    TITLE \"Opening\"\r\n"
              "    INDEX 01 00:00:00\r\n"
              "  TRACK 02 AUDIO\r\n"
              "    TITLE \"Cue 2: a\"\r\n"
              "    INDEX 01 00:02:01\r\n"
              "FILE \"b.mp3\" MP3\r\n"
              "  TRACK 03 AUDIO\r\n"
              "    TITLE \"Interlude \"live\"\"\r\n"
              "    INDEX 01 00:00:00\r\n"
              "FILE \"a.mp3\" MP3\r\n"
              "  TRACK 04 AUDIO\r\n"
              "    TITLE \"Coda\"\r\n"
              "    INDEX 01 00:03:71\r\n");
}

}  // namespace
}  // namespace sw::test
