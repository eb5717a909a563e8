#include "engine/frame_copy.h"

#include <algorithm>
#include <cstring>

#include "engine/export_framing.h"
#include "engine/layer3_side_info.h"
#include "engine/stream_window.h"
#include "stream/file_stream.h"

namespace sw {
namespace {

// The longest frame any valid header describes is 2881 bytes (MPEG-2.5 Layer II, 160 kbit/s,
// 8000 Hz, padded).
constexpr int32_t kMaxFrameBytes = 4096;
constexpr size_t kBlockBytes = 512 * 1024;  // past the file stream's own buffer: written directly
constexpr int64_t kWindowBytes = 512 * 1024;
// What the file stream writes straight to the file rather than through its own 128 KiB buffer.
constexpr size_t kDirectRunBytes = 128 * 1024;
constexpr int kIndexBatch = 1024;

constexpr char kSourceEnds[] = "the file ends before the frame: it changed after it was scanned";

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

// Frame lengths by header word: a file has a handful of distinct words, and decoding the whole
// header of every frame for its length was a good part of the copy's own work. A word that is no
// valid frame header has length 0: the index points where the source holds no frame (a source
// rewritten since it was indexed), and nothing may be copied from there.
class FrameLengths {
  public:
    int32_t Of(uint32_t word) {
        const uint32_t slot = (word * 0x9E3779B1u) >> (32 - kBits);
        if (!known_[slot] || words_[slot] != word) {
            known_[slot] = true;
            words_[slot] = word;
            lengths_[slot] = IsValidFrameHeader(word) ? DecodeFrameHeader(word).FrameLength : 0;
        }
        return lengths_[slot];
    }

  private:
    static constexpr int kBits = 6;
    bool known_[1 << kBits] = {};
    uint32_t words_[1 << kBits] = {};
    int32_t lengths_[1 << kBits] = {};
};

}  // namespace

uint32_t StampHeaderFlags(uint32_t word, const HeaderFlags& flags) {
    word &= ~(kPrivateBit | kCopyrightBit | kOriginalBit);
    return word | (flags.Private ? kPrivateBit : 0) | (flags.Copyright ? kCopyrightBit : 0) |
           (flags.Original ? kOriginalBit : 0);
}

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
    size_t used = 0;  // bytes gathered in block_
    StreamWindow window(source, kWindowBytes);
    FrameLengths lengths;

    // Frames that lie back to back in the source and keep their headers form a run: they are
    // written straight from the window, without being gathered first. While a run is pending,
    // block_ is empty and frameStarts_ counts from the run's first byte.
    const uint8_t* run = nullptr;
    int64_t runEnd = 0;  // the source offset just past the run
    size_t runBytes = 0;
    // Before the window moves on, the pending run goes out when it is large enough to pass the
    // target's own buffer; a short one joins block_ and is written with what follows.
    const auto settleRun = [&]() -> bool {
        if (run == nullptr) {
            return true;
        }
        const uint8_t* bytes = run;
        run = nullptr;
        if (runBytes >= kDirectRunBytes) {
            return WriteBlock(bytes, info);
        }
        std::memcpy(block_.data(), bytes, runBytes);
        used = runBytes;
        return true;
    };

    uint8_t entries[4 * kIndexBatch];
    int entryCount = 0;
    int entryAt = 0;
    bool whole = true;
    int64_t number = first;
    try {
        blockPosition_ = target_.Position();
        // The index may promise more than the source holds now: a frame is only copied when the
        // source holds all of it.
        const int64_t sourceSize = source.Size();
        // A frame may not begin inside the one before it: an index whose offsets no longer fall
        // on frame boundaries can still meet bytes that pass for a header.
        int64_t previousEnd = 0;
        index.Seek(int64_t(first) * 4, SeekOrigin::Begin);
        for (; number <= last; ++number) {
            if (control_.TerminateRequested()) {
                break;
            }
            control_.Report(++framesTried_);
            if (entryAt == entryCount) {
                const int64_t wanted = std::min<int64_t>(kIndexBatch, last - number + 1);
                if (!ReadFully(index, entries, 4 * wanted)) {
                    NoteSourceFailure(cut, number, "its index ends before the frame");
                    whole = false;
                    break;
                }
                entryCount = static_cast<int>(wanted);
                entryAt = 0;
            }
            const int32_t offset = static_cast<int32_t>(HeaderWordFromBytes(entries + 4 * entryAt));
            ++entryAt;

            // The frame must be whole in the window before any of it counts as copied.
            if (!window.Holds(offset, 4) && !settleRun()) {
                return false;
            }
            const uint8_t* head = window.Bytes(offset, 4);
            if (head == nullptr) {
                NoteSourceFailure(cut, number, kSourceEnds);
                whole = false;
                break;
            }
            const int32_t length = lengths.Of(HeaderWordFromBytes(head));
            if (length < 4 || length > kMaxFrameBytes || int64_t(offset) + length > sourceSize ||
                offset < previousEnd) {
                NoteSourceFailure(cut, number,
                                  int64_t(offset) + length > sourceSize && length >= 4
                                      ? kSourceEnds
                                      : "the frame is not where the index says: the file changed "
                                        "after it was scanned");
                whole = false;
                break;
            }
            previousEnd = int64_t(offset) + length;
            if (!window.Holds(offset, length) && !settleRun()) {
                return false;
            }
            const uint8_t* frame = window.Bytes(offset, length);
            if (frame == nullptr) {
                NoteSourceFailure(cut, number, kSourceEnds);
                whole = false;
                break;
            }

            if (flags == nullptr && run != nullptr && offset == runEnd) {
                frameStarts_.push_back(static_cast<int32_t>(runBytes));
                runBytes += static_cast<size_t>(length);
                runEnd += length;
                continue;
            }
            if (run != nullptr && !settleRun()) {
                return false;
            }
            if (flags == nullptr && used == 0) {
                run = frame;
                runEnd = int64_t(offset) + length;
                runBytes = static_cast<size_t>(length);
                frameStarts_.push_back(0);
                continue;
            }

            uint8_t* gathered = block_.data() + used;
            std::memcpy(gathered, frame, static_cast<size_t>(length));
            if (flags != nullptr) {
                // Only the three bits change; the plain copy keeps a protected frame's CRC.
                const uint32_t word = StampHeaderFlags(HeaderWordFromBytes(gathered), *flags);
                StoreHeaderWord(gathered, word);
                const TFrameInfo stamped = DecodeFrameHeader(word);
                if (flags->renewCrc && stamped.Layer == 3 && stamped.Crc &&
                    length >= MainDataAreaOffset(stamped)) {
                    StoreLayer3FrameCrc(gathered, stamped);
                }
            }
            frameStarts_.push_back(static_cast<int32_t>(used));
            used += static_cast<size_t>(length);
            if (used >= kBlockBytes) {
                if (!WriteBlock(block_.data(), info)) {
                    return false;
                }
                used = 0;
            }
        }
    } catch (const std::exception& error) {
        // A read error of the source or the index: the frames taken so far are whole and still
        // go out (a pending run is still in the window: only a refill replaces its bytes, and the
        // run is settled before every refill).
        NoteSourceFailure(cut, number, error.what());
        whole = false;
    } catch (...) {
        whole = false;
    }
    return WriteBlock(run != nullptr ? run : block_.data(), info) && whole;
}

void FrameCopier::NoteSourceFailure(const TCutObject& cut, int64_t number, const std::string& why) {
    if (sourceFailure_.empty()) {
        sourceFailure_ = cut.FileName + ", frame " + std::to_string(number) + ": " + why;
    }
}

bool FrameCopier::WriteBlock(const uint8_t* data, TFrameInfo& info) {
    if (frameStarts_.empty()) {
        return true;
    }
    const int64_t size = [this, data] {
        const int32_t lastStart = frameStarts_.back();
        return int64_t(lastStart) +
               DecodeFrameHeader(HeaderWordFromBytes(data + lastStart)).FrameLength;
    }();
    int64_t written = 0;
    bool failed = false;
    try {
        target_.Seek(blockPosition_, SeekOrigin::Begin);
        written = target_.Write(data, size);
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
    const int64_t keptBytes = kept == frameStarts_.size() ? size : frameStarts_[kept];
    if (kept > 0) {
        info = DecodeFrameHeader(HeaderWordFromBytes(data + frameStarts_[kept - 1]));
        framesCopied_ += static_cast<int32_t>(kept);
        if (observer_ != nullptr) {
            observer_->Written(blockPosition_, data, keptBytes, frameStarts_.data(), kept);
        }
    }
    frameStarts_.clear();
    blockPosition_ += keptBytes;
    if (failed) {
        StreamTargetAccess(target_).CutBackTo(blockPosition_);
        return false;
    }
    return true;
}

}  // namespace sw
