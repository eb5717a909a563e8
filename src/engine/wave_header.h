#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "stream/byte_stream.h"
#include "stream/frame_header.h"

namespace sw {

inline constexpr int kWaveHeaderSize = 70;

// The 70-byte RIFF/WAVE header for MPEG Layer-3 data of a file of fileSize bytes in all. Its
// sample count is samples when given (>= 0, a clean export's true length), else the whole
// seconds the data last at the frame's bitrate, times the sample rate.
std::array<uint8_t, kWaveHeaderSize> BuildWaveHeader(const TFrameInfo& info, int64_t fileSize,
                                                     int64_t samples = -1);
// Writes the header at offset 0 from the stream's current size; 5 without a stream, 3 on a short
// write, else 0. Leaves the stream at 70.
int WriteWaveHeader(ByteStream* stream, const TFrameInfo& info);
// True when the file's first 70 bytes could be read and hold format tag 85 at offset 20; false
// for a missing file or a folder. A FIFO, socket or device throws FileRefusedError without being
// waited on; a file that cannot be opened throws FileOpenError.
bool IsMpegWaveFile(const std::string& fileName);

}  // namespace sw
