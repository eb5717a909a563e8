#include "project/sheet_cues.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "stream/time_code.h"

namespace sw {

namespace {

// The decoder's own delay in Layer III, which a LAME tag's encoder delay does not include.
constexpr int32_t kDecoderDelay = 529;
constexpr int kLameDelayOffset = 21;  // within the LAME tag: 12 bits of delay, 12 of padding

uint32_t BigEndian32(const uint8_t* b) {
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

// Where an Info/Xing tag sits in a Layer III frame: after the header, the CRC and the side
// information.
size_t XingTagOffset(const TFrameInfo& info) {
    const bool mono = info.ChannelMode == 3;
    const size_t sideInfo = info.Version == 1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    return 4 + (info.Crc != 0 ? 2 : 0) + sideInfo;
}

// Frame 0's bytes when it is a Layer III frame that fits its file; empty otherwise.
std::vector<uint8_t> FirstFrameBytes(TCutObject& cut) {
    if (!cut.FileStream || !cut.IndexStream || cut.FrameCount() == 0) {
        return {};
    }
    const TFrameInfo info = FrameHeader(&cut, 0);
    if (info.Layer != 3 || info.FrameLength <= 4) {
        return {};
    }
    const int64_t offset = FrameOffset(&cut, 0);
    if (offset < 0 || offset + info.FrameLength > cut.FileStream->Size()) {
        return {};
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(info.FrameLength));
    cut.FileStream->Seek(offset, SeekOrigin::Begin);
    if (cut.FileStream->Read(bytes.data(), info.FrameLength) != info.FrameLength) {
        return {};
    }
    return bytes;
}

}  // namespace

StreamTiming TimingOf(TCutObject& cut) {
    StreamTiming timing;
    timing.SampleRate = cut.FrameInfo.SampleRate;
    timing.SamplesPerFrame = FrameSamples(cut.FrameInfo);
    timing.FrameCount = cut.FrameCount();
    const std::vector<uint8_t> frame = FirstFrameBytes(cut);
    if (frame.empty()) {
        return timing;
    }
    const size_t at = XingTagOffset(DecodeFrameHeader(HeaderWordFromBytes(frame.data())));
    if (at + 8 > frame.size() ||
        (std::memcmp(&frame[at], "Xing", 4) != 0 && std::memcmp(&frame[at], "Info", 4) != 0)) {
        return timing;
    }
    timing.FirstAudioFrame = std::min<int32_t>(1, timing.FrameCount);
    // The LAME tag follows the Xing fields that the flags announce.
    const uint32_t flags = BigEndian32(&frame[at + 4]);
    const size_t lame = at + 8 + ((flags & 1) ? 4 : 0) + ((flags & 2) ? 4 : 0) +
                        ((flags & 4) ? 100 : 0) + ((flags & 8) ? 4 : 0);
    if (lame + kLameDelayOffset + 3 <= frame.size() &&
        (std::memcmp(&frame[lame], "LAME", 4) == 0 || std::memcmp(&frame[lame], "Lavc", 4) == 0 ||
         std::memcmp(&frame[lame], "Lavf", 4) == 0)) {
        const uint8_t* delay = &frame[lame + kLameDelayOffset];
        timing.DelaySamples = (int32_t{delay[0]} << 4 | delay[1] >> 4) + kDecoderDelay;
    }
    return timing;
}

int64_t SheetTimeToFrame(int64_t time, const StreamTiming& timing) {
    if (time <= 0 || timing.SampleRate <= 0 || timing.SamplesPerFrame <= 0) {
        return timing.FirstAudioFrame;
    }
    const int64_t numerator =
        time * timing.SampleRate + int64_t{kSheetFramesPerSecond} * timing.DelaySamples;
    return timing.FirstAudioFrame +
           numerator / (int64_t{kSheetFramesPerSecond} * timing.SamplesPerFrame);
}

int64_t FrameToSheetTime(int64_t frame, const StreamTiming& timing) {
    if (timing.SampleRate <= 0) {
        return 0;
    }
    const int64_t samples =
        (frame - timing.FirstAudioFrame) * timing.SamplesPerFrame - timing.DelaySamples;
    if (samples <= 0) {
        return 0;
    }
    return (samples * kSheetFramesPerSecond + timing.SampleRate - 1) / timing.SampleRate;
}

std::string SheetCueName(const CueSheetTrack& track) {
    char number[16];
    std::snprintf(number, sizeof number, "%02d", track.Number);
    const std::string title = track.Title.empty() ? std::string("Track ") + number : track.Title;
    if (!track.Performer.empty()) {
        return std::string(number) + " - " + track.Performer + " - " + title;
    }
    return std::string(number) + " - " + title;
}

std::vector<SheetCueRange> SheetCueRanges(const CueSheet& sheet, int file,
                                          const StreamTiming& timing,
                                          std::vector<size_t>& pastEnd) {
    std::vector<SheetCueRange> ranges;
    const int64_t last = int64_t{timing.FrameCount} - 1;
    for (size_t i = 0; i < sheet.Tracks.size(); ++i) {
        const CueSheetTrack& track = sheet.Tracks[i];
        if (track.File != file || !track.Audio) {
            continue;
        }
        const int64_t start = SheetTimeToFrame(track.Start, timing);
        if (start > last) {
            pastEnd.push_back(i);
            continue;
        }
        if (!ranges.empty()) {
            SheetCueRange& before = ranges.back();
            before.MarkOut = static_cast<int32_t>(std::max<int64_t>(before.MarkIn, start - 1));
        }
        ranges.push_back({i, static_cast<int32_t>(start), static_cast<int32_t>(last)});
    }
    return ranges;
}

}  // namespace sw
