#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace sw {

// The LAME extension's gapless fields are 12 bits each.
inline constexpr int32_t kMaxGaplessField = 4095;

// What a source's first frame says when it is the encoder's summary frame (an Info or Xing frame,
// or a VBRI frame) rather than audio.
struct SourceTag {
    bool tagFrame = false;  // the frame holds no audio: never copied as such
    // It carries a LAME extension whose encoder delay and padding both ffmpeg and mpg123 apply
    // (ffmpeg only trusts the encoder names "LAME", "Lavf" and "Lavc").
    bool gapless = false;
    int32_t delay = 0;
    int32_t padding = 0;
    std::array<uint8_t, 36> lame{};  // the extension's bytes, when gapless
    bool hasQuality = false;
    uint32_t quality = 0;
};

// Reads the frame at frame (length bytes, header included) as a summary frame.
SourceTag ReadSourceTag(const uint8_t* frame, int32_t length);

// The header frame a clean export starts with: a Layer III frame without audio (its side
// information is all zero) that carries an Info (constant bitrate) or Xing (variable bitrate)
// record and a LAME extension, as the encoder's own summary frame does.
struct HeaderFrameFields {
    // A header of the stream: the header frame takes its version, layer, sample rate, channel
    // mode and flags, and the smallest bitrate that holds the records; it has no CRC word.
    uint32_t streamWord = 0;
    bool constantBitrate = true;
    uint32_t frames = 0;  // audio frames after the header frame
    uint32_t bytes = 0;   // the header frame and the audio frames
    std::array<uint8_t, 100> seekTable{};
    int32_t delay = 0;      // samples decoders drop at the start, besides their own 529
    int32_t padding = 0;    // samples they drop at the end, counted with their 529
    uint16_t musicCrc = 0;  // of the audio frames' bytes
    // Whose encoder name, VBR method, lowpass, encoding flags, bitrate, misc, gain and preset
    // bytes to keep; without a gapless tag the encoder name is "LAME" and the rest zero. Peak and
    // replay gain describe the whole source, not a piece of it, and are left out.
    const SourceTag* source = nullptr;
};

// The length of the header frame for a stream with this header word.
int32_t HeaderFrameLength(uint32_t streamWord);
std::vector<uint8_t> BuildHeaderFrame(const HeaderFrameFields& fields);

// The Xing seek table: for each percent of the play time, where that frame starts, in 256ths of
// the bytes. frameStarts: each audio frame's offset in the file.
std::array<uint8_t, 100> SeekTable(const std::vector<int64_t>& frameStarts, int64_t totalBytes);

}  // namespace sw
