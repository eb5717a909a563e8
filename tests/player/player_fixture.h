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

// Runs the Qt event loop until nothing posted is left to deliver.
void ProcessEvents();

}  // namespace sw::test
