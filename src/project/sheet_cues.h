#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "project/cue_sheet.h"
#include "stream/cut_object.h"

namespace sw {

// How a file's frames lie on the time line a sheet counts in. A sheet's times are the time of
// the music: 00:00:00 is its first sample, which is where a gapless player starts. In the frames
// that is
// - after an Info or Xing frame at frame 0 (it holds no audio: FirstAudioFrame is then 1),
// - and after the encoder's delay plus the decoder's 529 samples, when a LAME tag in that frame
//   says what the encoder's delay was (DelaySamples; 0 without one: the time line then starts
//   at the first audio frame's first sample).
struct StreamTiming {
    int32_t SampleRate = 0;
    int32_t SamplesPerFrame = 0;
    int32_t FirstAudioFrame = 0;
    int32_t DelaySamples = 0;
    int32_t FrameCount = 0;
};

// The timing of a scanned cut object: its reference frame's rate, and frame 0 looked at for an
// Info/Xing frame with a LAME tag. Moves the cut object's streams.
StreamTiming TimingOf(TCutObject& cut);

// The frame that plays the instant `time` (in 1/75 s): the frame whose span of samples holds
// that instant's sample, an instant on a boundary belonging to the frame that starts there.
// 00:00:00 is always FirstAudioFrame, so a first track keeps the encoder's lead-in. The result
// may lie past the last frame (the caller decides what a track there means).
int64_t SheetTimeToFrame(int64_t time, const StreamTiming& timing);

// The time a sheet gives for a cue that starts at frame: the first 1/75 s that lies in the
// frame. SheetTimeToFrame gives the frame back whenever a frame lasts longer than 1/75 s (every
// Layer II and III format; Layer I frames are shorter, and then it gives a frame within 1/75 s).
int64_t FrameToSheetTime(int64_t frame, const StreamTiming& timing);

// A cue's name from its track: "NN - TITLE", "NN - PERFORMER - TITLE" when the track has its
// own performer; NN has at least two digits. A track without a title is "NN - Track NN".
std::string SheetCueName(const CueSheetTrack& track);

// One cue a sheet gives for one of its files.
struct SheetCueRange {
    size_t Track = 0;  // index into CueSheet::Tracks
    int32_t MarkIn = 0;
    int32_t MarkOut = 0;
};

// The cues of the audio tracks whose INDEX 01 lies in file: each from the frame its start
// plays in to the frame before the next of them starts (at least its own frame), the last one
// to the file's last frame. A track that starts after the last frame gives no cue; its index
// goes to pastEnd.
std::vector<SheetCueRange> SheetCueRanges(const CueSheet& sheet, int file,
                                          const StreamTiming& timing, std::vector<size_t>& pastEnd);

}  // namespace sw
