#include "engine/frame_copy.h"

#include <algorithm>

#include "stream/file_stream.h"

namespace sw {
namespace {

// The longest frame any valid header describes is 2881 bytes (MPEG-2.5 Layer II, 160 kbit/s,
// 8000 Hz, padded).
constexpr int32_t kMaxFrameBytes = 4096;
constexpr size_t kBlockBytes = 512 * 1024;  // past the file stream's own buffer: written directly
constexpr int kIndexBatch = 1024;

constexpr uint32_t kPrivateBit = 1u << 16;
constexpr uint32_t kCopyrightBit = 1u << 27;
constexpr uint32_t kOriginalBit = 1u << 26;

bool ReadFully(ByteStream& stream, uint8_t* buffer, int64_t count) {
    int64_t done = 0;
    while (done < count) {
        const int64_t got = stream.Read(buffer + done, count - done);
        if (got <= 0) {
            return false;
        }
        done += got;
    }
    return true;
}

}  // namespace

FrameCopier::FrameCopier(ByteStream& target, WorkerControl& control)
    : target_(target), control_(control), file_(dynamic_cast<FileStream*>(&target)) {}

bool FrameCopier::CopyFrameRange(TCutObject& cut, const HeaderFlags* flags, TFrameInfo& info,
                                 int32_t first, int32_t last) {
    if (!cut.FileStream || !cut.IndexStream) {
        return false;
    }
    ByteStream& source = *cut.FileStream;
    ByteStream& index = *cut.IndexStream;
    first = std::max(first, 0);
    last = std::min(last, cut.FrameCount() - 1);
    if (first > last) {
        return true;
    }
    if (block_.empty()) {
        block_.resize(kBlockBytes + kMaxFrameBytes);
        frameStarts_.reserve(kBlockBytes / 24 + 1);
    }
    frameStarts_.clear();
    size_t used = 0;

    uint8_t entries[4 * kIndexBatch];
    int entryCount = 0;
    int entryAt = 0;
    bool whole = true;
    try {
        blockPosition_ = target_.Position();
        index.Seek(int64_t(first) * 4, SeekOrigin::Begin);
        for (int64_t number = first; number <= last; ++number) {
            if (control_.TerminateRequested()) {
                break;
            }
            control_.Report(++framesTried_);
            if (entryAt == entryCount) {
                const int64_t wanted = std::min<int64_t>(kIndexBatch, last - number + 1);
                if (!ReadFully(index, entries, 4 * wanted)) {
                    whole = false;
                    break;
                }
                entryCount = static_cast<int>(wanted);
                entryAt = 0;
            }
            const int32_t offset = static_cast<int32_t>(HeaderWordFromBytes(entries + 4 * entryAt));
            ++entryAt;

            // The frame is read whole into the block before any of it counts as copied.
            uint8_t* frame = block_.data() + used;
            source.Seek(offset, SeekOrigin::Begin);
            if (!ReadFully(source, frame, 4)) {
                whole = false;
                break;
            }
            uint32_t word = HeaderWordFromBytes(frame);
            const int32_t length = DecodeFrameHeader(word).FrameLength;
            if (length < 4 || length > kMaxFrameBytes ||
                !ReadFully(source, frame + 4, length - 4)) {
                whole = false;
                break;
            }
            if (flags != nullptr) {
                // Only the three bits change; the CRC of a protected frame is copied as it was.
                word &= ~(kPrivateBit | kCopyrightBit | kOriginalBit);
                word |= (flags->Private ? kPrivateBit : 0) |
                        (flags->Copyright ? kCopyrightBit : 0) |
                        (flags->Original ? kOriginalBit : 0);
                for (int i = 0; i < 4; ++i) {
                    frame[i] = static_cast<uint8_t>(word >> (8 * i));
                }
            }
            frameStarts_.push_back(static_cast<int32_t>(used));
            used += static_cast<size_t>(length);
            if (used >= kBlockBytes) {
                if (!WriteBlock(info)) {
                    return false;
                }
                used = 0;
            }
        }
    } catch (...) {
        // A read error of the source or the index: the gathered frames are whole and still go out.
        whole = false;
    }
    return WriteBlock(info) && whole;
}

bool FrameCopier::WriteBlock(TFrameInfo& info) {
    if (frameStarts_.empty()) {
        return true;
    }
    const int64_t size = [this] {
        const int32_t lastStart = frameStarts_.back();
        return int64_t(lastStart) +
               DecodeFrameHeader(HeaderWordFromBytes(block_.data() + lastStart)).FrameLength;
    }();
    int64_t written = 0;
    bool failed = false;
    try {
        target_.Seek(blockPosition_, SeekOrigin::Begin);
        written = target_.Write(block_.data(), size);
        if (written == size && file_ != nullptr) {
            file_->Flush();
        }
        failed = written != size;
    } catch (...) {
        // How much of the block reached the file is unknown: none of it counts.
        written = 0;
        failed = true;
    }
    // Keep the frames that reached the target whole, and only those.
    size_t kept = frameStarts_.size();
    if (failed) {
        kept = 0;
        while (kept < frameStarts_.size()) {
            const int64_t end = kept + 1 < frameStarts_.size() ? frameStarts_[kept + 1] : size;
            if (end > written) {
                break;
            }
            ++kept;
        }
    }
    if (kept > 0) {
        info = DecodeFrameHeader(HeaderWordFromBytes(block_.data() + frameStarts_[kept - 1]));
        framesCopied_ += static_cast<int32_t>(kept);
    }
    const int64_t keptBytes = kept == frameStarts_.size() ? size : frameStarts_[kept];
    frameStarts_.clear();
    blockPosition_ += keptBytes;
    if (failed) {
        try {
            target_.SetSize(blockPosition_);
            target_.Seek(blockPosition_, SeekOrigin::Begin);
        } catch (...) {
        }
        return false;
    }
    return true;
}

}  // namespace sw
