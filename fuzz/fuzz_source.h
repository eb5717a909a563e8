#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "stream/frame_header.h"

namespace sw::fuzz {

// Writes an input to a file for a target that reads files, as a new file each time: truncating
// an existing one makes ext4 write it out on close, which costs milliseconds an execution.
// Plain POSIX, no buffered stream (that would cost a 128 KiB buffer an execution).
inline void WriteInputFile(const std::string& name, const uint8_t* data, size_t size) {
    ::unlink(name.c_str());
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        std::abort();
    }
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0) {
            std::abort();
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    ::close(fd);
}

// The source file the index-file target loads against, written into its working folder under
// this name; the seed index files name it, so mutations start from a cut object that opens.
inline constexpr char kSourceName[] = "source.mp3";
inline constexpr int kSourceFrames = 12;

// count frames with the given header word, bodies of a byte that never forms a sync pattern.
inline std::vector<uint8_t> Frames(uint32_t word, int count) {
    const int32_t length = DecodeFrameHeader(word).FrameLength;
    std::vector<uint8_t> bytes;
    for (int i = 0; i < count; ++i) {
        for (int b = 0; b < 4; ++b) {
            bytes.push_back(static_cast<uint8_t>(word >> (8 * b)));
        }
        bytes.insert(bytes.end(), static_cast<size_t>(length - 4), 0x55);
    }
    return bytes;
}

inline constexpr uint32_t kMpeg1Layer3 = 0x6490FBFFu;  // 128 kbit/s, 44100 Hz, 417 bytes

inline std::vector<uint8_t> SourceBytes() {
    return Frames(kMpeg1Layer3, kSourceFrames);
}

}  // namespace sw::fuzz
