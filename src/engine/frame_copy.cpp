#include "engine/frame_copy.h"

#include <algorithm>

namespace sw {
namespace {

// The longest frame any valid header describes is 2881 bytes (MPEG-2.5 Layer II, 160 kbit/s,
// 8000 Hz, padded).
constexpr int32_t kMaxFrameBytes = 4096;
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

void StoreWord(uint8_t* bytes, uint32_t word) {
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<uint8_t>(word >> (8 * i));
    }
}

}  // namespace

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

    uint8_t frame[kMaxFrameBytes];
    uint8_t entries[4 * kIndexBatch];
    int entryCount = 0;
    int entryAt = 0;
    int64_t framePosition = 0;
    bool writing = false;
    try {
        index.Seek(int64_t(first) * 4, SeekOrigin::Begin);
        framePosition = target_.Position();
        for (int64_t number = first; number <= last; ++number) {
            if (control_.TerminateRequested()) {
                return true;
            }
            control_.Report(framesCopied_ + 1);
            if (entryAt == entryCount) {
                const int64_t wanted = std::min<int64_t>(kIndexBatch, last - number + 1);
                if (!ReadFully(index, entries, 4 * wanted)) {
                    return false;
                }
                entryCount = static_cast<int>(wanted);
                entryAt = 0;
            }
            const int32_t offset = static_cast<int32_t>(HeaderWordFromBytes(entries + 4 * entryAt));
            ++entryAt;

            source.Seek(offset, SeekOrigin::Begin);
            if (!ReadFully(source, frame, 4)) {
                return false;
            }
            uint32_t word = HeaderWordFromBytes(frame);
            TFrameInfo frameInfo = DecodeFrameHeader(word);
            const int32_t length = frameInfo.FrameLength;
            if (length < 4 || length > kMaxFrameBytes ||
                !ReadFully(source, frame + 4, length - 4)) {
                return false;
            }
            if (flags != nullptr) {
                frameInfo.Private = flags->Private != 0;
                frameInfo.Copyright = flags->Copyright != 0;
                frameInfo.Original = flags->Original != 0;
                // Only the three bits change; the CRC of a protected frame is copied as it was.
                word &= ~(kPrivateBit | kCopyrightBit | kOriginalBit);
                word |= (frameInfo.Private ? kPrivateBit : 0) |
                        (frameInfo.Copyright ? kCopyrightBit : 0) |
                        (frameInfo.Original ? kOriginalBit : 0);
                StoreWord(frame, word);
            }
            writing = true;
            if (target_.Write(frame, length) != length) {
                CutBack(framePosition);
                return false;
            }
            writing = false;
            framePosition += length;
            info = frameInfo;
            ++framesCopied_;
        }
        return true;
    } catch (...) {
        if (writing) {
            CutBack(framePosition);
        }
        return false;
    }
}

void FrameCopier::CutBack(int64_t frameStart) {
    // Whatever part of a failed frame reached the target is cut off again, so the file ends on a
    // whole frame.
    try {
        target_.SetSize(frameStart);
        target_.Seek(frameStart, SeekOrigin::Begin);
    } catch (...) {
    }
}

}  // namespace sw
