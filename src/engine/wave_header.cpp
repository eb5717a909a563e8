#include "engine/wave_header.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "stream/file_errors.h"
#include "stream/regular_file.h"
#include "stream/status.h"

namespace sw {
namespace {

constexpr int64_t kMaxChunkValue = 0xFFFFFFFFLL;

// RIFF sizes are 32-bit: anything larger is written as the largest value rather than wrapped.
uint32_t Saturated(int64_t value) {
    return static_cast<uint32_t>(std::clamp<int64_t>(value, 0, kMaxChunkValue));
}

class HeaderBytes {
  public:
    explicit HeaderBytes(std::array<uint8_t, kWaveHeaderSize>& bytes) : bytes_(bytes) {}
    void Text(const char* text) {
        std::memcpy(bytes_.data() + at_, text, 4);
        at_ += 4;
    }
    void U16(uint32_t value) {
        bytes_[at_++] = static_cast<uint8_t>(value);
        bytes_[at_++] = static_cast<uint8_t>(value >> 8);
    }
    void U32(uint32_t value) {
        U16(value & 0xFFFF);
        U16(value >> 16);
    }
    void Raw(const uint8_t* data, size_t count) {
        std::memcpy(bytes_.data() + at_, data, count);
        at_ += count;
    }

  private:
    std::array<uint8_t, kWaveHeaderSize>& bytes_;
    size_t at_ = 0;
};

}  // namespace

std::array<uint8_t, kWaveHeaderSize> BuildWaveHeader(const TFrameInfo& info, int64_t fileSize,
                                                     int64_t samples) {
    std::array<uint8_t, kWaveHeaderSize> bytes{};
    if (info.Bitrate <= 0 || info.SampleRate <= 0) {
        return bytes;  // no frame to describe: the space stays reserved with zeros
    }
    const MpegLayer3WaveFormat format = BuildWaveFormat(info);
    const std::array<uint8_t, 30> formatBytes = format.Bytes();
    const int64_t dataSize = std::max<int64_t>(fileSize - kWaveHeaderSize, 0);
    const int64_t bytesPerSecond = format.nAvgBytesPerSec;
    const int64_t sampleCount = samples >= 0 ? samples
                                : bytesPerSecond > 0
                                    ? dataSize / bytesPerSecond * int64_t(format.nSamplesPerSec)
                                    : 0;

    HeaderBytes out(bytes);
    out.Text("RIFF");
    out.U32(Saturated(fileSize - 8));
    out.Text("WAVE");
    out.Text("fmt ");
    out.U32(30);
    out.Raw(formatBytes.data(), formatBytes.size());
    out.Text("fact");
    out.U32(4);
    out.U32(Saturated(sampleCount));
    out.Text("data");
    out.U32(Saturated(dataSize));
    return bytes;
}

int WriteWaveHeader(ByteStream* stream, const TFrameInfo& info) {
    if (stream == nullptr) {
        return kStatusNotInitialized;
    }
    try {
        const std::array<uint8_t, kWaveHeaderSize> bytes = BuildWaveHeader(info, stream->Size());
        stream->Seek(0, SeekOrigin::Begin);
        return stream->Write(bytes.data(), kWaveHeaderSize) == kWaveHeaderSize
                   ? kStatusOk
                   : kStatusUnknownError;
    } catch (...) {
        return kStatusUnknownError;
    }
}

bool IsMpegWaveFile(const std::string& fileName) {
    // Seventy bytes through the regular-file open, without the file stream's 128 KiB buffer:
    // the import asks this of every WAV file it is given.
    int fd = -1;
    const ReadOpenResult opened = OpenRegularFile(fileName, false, fd);
    switch (opened) {
        case ReadOpenResult::Opened:
            break;
        case ReadOpenResult::NotFound:
        case ReadOpenResult::Folder:
            return false;
        case ReadOpenResult::NotRegular:
            throw FileRefusedError(opened, fileName);
        case ReadOpenResult::Failed:
            throw FileOpenError(fileName);
    }
    uint8_t bytes[kWaveHeaderSize];
    size_t got = 0;
    while (got < sizeof bytes) {
        const ssize_t step = ::read(fd, bytes + got, sizeof bytes - got);
        if (step < 0 && errno == EINTR) {
            continue;
        }
        if (step <= 0) {
            break;
        }
        got += static_cast<size_t>(step);
    }
    ::close(fd);
    return got == sizeof bytes && (bytes[20] | bytes[21] << 8) == kWaveFormatMpegLayer3;
}

}  // namespace sw
