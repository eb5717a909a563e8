#include "cutter/envelope_source.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "cutter/coarse_level.h"
#include "stream/frame_header.h"
#include "stream/regular_file.h"

namespace sw {
namespace {

// Large enough that an hour of audio is a few dozen reads, small enough to stay in the cache.
constexpr size_t kBlockSize = 1 << 20;

}  // namespace

EnvelopeSource EnvelopeSourceOf(TCutObject& cut) {
    EnvelopeSource source;
    source.fileName = cut.FileName;
    source.sampleRate = cut.FrameInfo.SampleRate;
    source.channels = cut.FrameInfo.ChannelMode == 3 ? 1 : 2;
    const int32_t frames = cut.FrameCount();
    if (frames <= 0) {
        return source;
    }
    // Read straight into the copy, then put each entry into the machine's order.
    source.offsets.resize(size_t(frames));
    cut.IndexStream->Seek(0, SeekOrigin::Begin);
    const int64_t read = cut.IndexStream->Read(source.offsets.data(), int64_t(frames) * 4);
    source.offsets.resize(size_t(std::max<int64_t>(read, 0) / 4));
    for (int32_t& offset : source.offsets) {
        uint8_t bytes[4];
        std::memcpy(bytes, &offset, 4);
        offset = int32_t(HeaderWordFromBytes(bytes));
    }
    return source;
}

SourceFrameReader::SourceFrameReader(const EnvelopeSource& source)
    : offsets_(source.offsets), fileName_(source.fileName) {
    const ReadOpenResult opened = OpenRegularFile(fileName_, false, fd_, &fileSize_);
    if (opened != ReadOpenResult::Opened) {
        error_ = ReadOpenFailureText(opened, fileName_);
        fd_ = -1;
    }
}

SourceFrameReader::~SourceFrameReader() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

size_t SourceFrameReader::Load(int64_t offset, size_t size) {
    if (offset >= bufferOffset_ && offset + int64_t(size) <= bufferOffset_ + int64_t(bufferSize_)) {
        return size;
    }
    if (buffer_.size() < std::max(size, kBlockSize)) {
        buffer_.resize(std::max(size, kBlockSize));
    }
    bufferOffset_ = offset;
    bufferSize_ = 0;
    while (bufferSize_ < buffer_.size()) {
        const ssize_t got = ::pread(fd_, buffer_.data() + bufferSize_, buffer_.size() - bufferSize_,
                                    offset + int64_t(bufferSize_));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error_ = "Stream read error";
            bufferSize_ = 0;
            return 0;
        }
        if (got == 0) {
            break;
        }
        bufferSize_ += size_t(got);
    }
    return std::min(size, bufferSize_);
}

SourceFrameReader::Bytes SourceFrameReader::Frame(int32_t index) {
    if (fd_ < 0 || !error_.empty() || index < 0 || index >= Frames()) {
        return {};
    }
    const int64_t offset = offsets_[size_t(index)];
    if (Load(offset, 4) < 4) {
        return {};
    }
    const uint32_t word = HeaderWordFromBytes(&buffer_[size_t(offset - bufferOffset_)]);
    const TFrameInfo& info = DecodedHeader(word);
    if ((word & 0xE0FF) != 0xE0FF || info.FrameLength <= 0) {
        return {};
    }
    const size_t length = size_t(info.FrameLength);
    const size_t got = Load(offset, length);
    if (got < 4) {
        return {};
    }
    return {&buffer_[size_t(offset - bufferOffset_)], got};
}

}  // namespace sw
