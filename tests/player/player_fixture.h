#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frame_builder.h"
#include "stream/cut_object.h"

namespace sw::test {

// Opens a file as a cut object and fills its index by walking the frame headers from the first
// valid one, as a scan of a clean file would; marks span the whole file.
CutObjectPtr IndexedCutObject(const std::string& fileName);

// Writes count frames; frame i carries i in its body bytes 4..7, so a buffer names its frame.
void WriteNumberedFrames(const std::string& fileName, int count, const HeaderSpec& spec = {});
int32_t FrameNumberOf(const std::vector<uint8_t>& frame);

// Makes an MP3 file with sox and lame: seconds of a sweep over pink noise (stereo) or of a tone
// (mono), which keeps the encoder's bit reservoir busy. lameArguments go to lame as they are.
// Returns false when a tool is missing or fails.
bool MakeMp3(const std::string& fileName, double seconds, int sampleRate, int channels,
             const std::string& lameArguments);

// Decodes frames first..last (inclusive) of a cut object one by one with a fresh decoder fed
// from frame 0, and returns the samples of first..last only: the continuous reference.
std::vector<int16_t> ReferenceDecode(TCutObject& cut, int32_t first, int32_t last);
std::vector<uint8_t> ReadFrame(TCutObject& cut, int32_t frame);

// Runs the Qt event loop until nothing posted is left to deliver.
void ProcessEvents();

}  // namespace sw::test
