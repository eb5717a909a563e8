#include "engine/scan.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "engine/stream_window.h"
#include "stream/memory_stream.h"
#include "stream/status.h"

namespace sw {
namespace {

// A block of the size the file stream passes straight through (no second copy in its own buffer)
// and small enough to stay in the processor's cache while the headers in it are looked at: with
// 512 KiB blocks the scan of an hour of audio took measurably longer than with 128 KiB.
constexpr int64_t kScanBlock = 128 * 1024;
constexpr int kIndexBatch = 4096;  // entries written to the index stream at once

// The sync search over the window: the first valid header among the 4-byte windows starting at
// from, from + 1, ... up to size - 8 (a header in the last 7 bytes of a stream is never found, as
// with the stream-based search). Returns its offset and word, or -1.
int64_t FindHeader(StreamWindow& window, int64_t from, int64_t size, uint32_t& word) {
    const int64_t lastStart = size - 8;
    int64_t start = from;
    while (start <= lastStart) {
        const uint8_t* bytes = window.Bytes(start, 4);
        if (bytes == nullptr) {
            return -1;
        }
        // Every window that lies wholly inside the buffer is examined in place; only a first byte
        // of 0xFF can begin a header, so memchr skips garbage quickly.
        const int64_t spanLast = std::min(lastStart, window.End() - 4);
        const uint8_t* at = bytes;
        const uint8_t* stop = bytes + (spanLast - start) + 1;
        while (at < stop) {
            at = static_cast<const uint8_t*>(std::memchr(at, 0xFF, static_cast<size_t>(stop - at)));
            if (at == nullptr) {
                break;
            }
            const uint32_t candidate = HeaderWordFromBytes(at);
            if (IsValidFrameHeader(candidate)) {
                word = candidate;
                return start + (at - bytes);
            }
            ++at;
        }
        start = spanLast + 1;
    }
    return -1;
}

// Offsets go to the index stream in batches rather than one virtual write per frame.
class IndexWriter {
  public:
    explicit IndexWriter(ByteStream& index) : index_(index) {}

    void Append(int32_t offset) {
        const uint32_t value = static_cast<uint32_t>(offset);
        uint8_t* out = batch_ + 4 * count_;
        out[0] = static_cast<uint8_t>(value);
        out[1] = static_cast<uint8_t>(value >> 8);
        out[2] = static_cast<uint8_t>(value >> 16);
        out[3] = static_cast<uint8_t>(value >> 24);
        if (++count_ == kIndexBatch) {
            Flush();
        }
    }
    void Flush() {
        const int pending = count_;
        count_ = 0;
        index_.WriteBuffer(batch_, 4 * pending);
    }

  private:
    ByteStream& index_;
    uint8_t batch_[4 * kIndexBatch];
    int count_ = 0;
};

// Decoded headers by word. A file uses a handful of distinct header words (its bitrates, the
// padding bit, the stereo mode bits), so decoding every frame's header from scratch, twice (once
// to validate it, once to use it), was most of the scan's own work. An entry also keeps the
// frame's play time as the play time sums it, so the sum stays exactly what it always was.
class HeaderCache {
  public:
    struct Entry {
        uint32_t word = 0;
        bool known = false;
        bool valid = false;
        TFrameInfo info{};
        long double duration = 0;  // seconds
    };

    const Entry& Lookup(uint32_t word) {
        Entry& entry = entries_[(word * 0x9E3779B1u) >> (32 - kBits)];
        if (!entry.known || entry.word != word) {
            entry.word = word;
            entry.known = true;
            entry.valid = IsValidFrameHeader(word);
            entry.info = DecodeFrameHeader(word);
            entry.duration =
                entry.valid ? static_cast<long double>(entry.info.FrameLength) /
                                  (static_cast<long double>(entry.info.Bitrate * 1000) * 0.125L)
                            : 0.0L;
        }
        return entry;
    }

  private:
    static constexpr int kBits = 6;
    Entry entries_[1 << kBits];
};

}  // namespace

int64_t Id3v2TagEnd(ByteStream& stream) {
    uint8_t head[10];
    stream.Seek(0, SeekOrigin::Begin);
    if (stream.Read(head, 10) != 10 || std::memcmp(head, "ID3", 3) != 0) {
        return 0;
    }
    int64_t size = 0;
    for (int i = 6; i < 10; ++i) {
        if (head[i] & 0x80) {
            return 0;  // not syncsafe: whatever this is, it is no tag we can measure
        }
        size = (size << 7) | head[i];
    }
    int64_t end = 10 + size;
    if (head[5] & 0x10) {
        end += 10;  // footer
    }
    return end <= stream.Size() ? end : 0;
}

int ScanFrames(TCutObject& cut, WorkerControl& control, FrameStretchSink* stretches) {
    if (!cut.FileStream || !cut.IndexStream) {
        return kStatusNotInitialized;
    }
    ByteStream& file = *cut.FileStream;
    ByteStream& index = *cut.IndexStream;
    try {
        const int64_t size = file.Size();
        if (size >= kMaxSourceSize) {
            return kStatusFailed;  // offsets would not fit the index
        }
        bool bitrateChangeSeen = false;
        cut.Vbr = false;
        cut.PlayTime = 0.0f;
        cut.FileSize = static_cast<int32_t>(size);
        cut.HasTag = ReadId3Tag(file, cut.Tag);
        const int64_t limit = cut.HasTag ? size - kId3TagSize : size;
        // A leading ID3v2 tag may hold a picture whose bytes look like frames; they are skipped.
        const int64_t start = Id3v2TagEnd(file);
        index.Seek(0, SeekOrigin::Begin);
        IndexWriter writer(index);
        StreamWindow window(file, kScanBlock);

        control.Report(static_cast<int32_t>(start));
        cut.DroppedFrames = -1;
        uint32_t word = 0;
        int64_t offset = FindHeader(window, start, size, word);
        if (offset < 0) {
            word = 0;
        }
        HeaderCache headers;
        if (auto* memory = dynamic_cast<MemoryStream*>(&index); memory != nullptr && word != 0) {
            // Room for as many entries as frames of the first one's size fit: exact for a
            // constant bitrate, and growth by doubling covers a variable one.
            const int32_t firstLength = headers.Lookup(word).info.FrameLength;
            if (firstLength > 0 && offset < limit) {
                memory->Reserve(index.Size() + 4 * ((limit - offset) / firstLength + 1));
            }
        }
        int32_t previousBitrate = 0;
        // The summary is kept in locals while the loop runs (the index writer's byte stores would
        // otherwise force every field back to memory per frame) and published on every way out.
        float playTime = 0.0f;
        int32_t droppedFrames = -1;
        bool vbr = false;
        uint32_t lastWord = 0;  // the last indexed frame's header, 0 before the first
        // The stretch of back-to-back frames not yet told to stretches.
        int64_t stretchBegin = 0;
        int64_t stretchEnd = -1;
        int32_t stretchFrames = 0;
        const auto tellStretch = [&] {
            if (stretches != nullptr && stretchFrames > 0) {
                stretches->Stretch(stretchBegin, stretchEnd, stretchFrames);
            }
            stretchBegin = stretchEnd;
            stretchFrames = 0;
        };
        const auto publish = [&] {
            tellStretch();
            cut.PlayTime = playTime;
            cut.DroppedFrames = droppedFrames;
            cut.Vbr = vbr;
            if (lastWord != 0) {
                cut.FrameInfo = DecodeFrameHeader(lastWord);
            }
        };
        try {
            // A header in the last 4 bytes before the limit is not looked at: the chain ends
            // there, and the index is what it always was.
            while (word != 0 && !control.TerminateRequested() && offset < limit - 4) {
                control.Report(static_cast<int32_t>(offset));
                const HeaderCache::Entry& header = headers.Lookup(word);
                const TFrameInfo& info = header.info;
                if (offset + info.FrameLength > limit) {
                    // A frame cut short by the end of the file or by the tag is no frame to play
                    // or export: it counts as the chain's last failed step.
                    ++droppedFrames;
                    break;
                }
                lastWord = word;
                if (info.Bitrate != previousBitrate) {
                    if (bitrateChangeSeen) {
                        vbr = true;
                    } else {
                        bitrateChangeSeen = true;
                    }
                }
                previousBitrate = info.Bitrate;
                playTime = static_cast<float>(static_cast<long double>(playTime) + header.duration);
                writer.Append(static_cast<int32_t>(offset));
                if (offset != stretchEnd || stretchFrames == FrameStretchSink::kMaxFrames) {
                    tellStretch();
                    stretchBegin = offset;
                }
                stretchEnd = offset + info.FrameLength;
                ++stretchFrames;

                const int64_t next = offset + info.FrameLength;
                const uint8_t* bytes = window.Bytes(next, 4);
                if (bytes != nullptr) {
                    const uint32_t following = HeaderWordFromBytes(bytes);
                    if (headers.Lookup(following).valid) {
                        word = following;
                        offset = next;
                        if (offset >= limit - 4) {
                            // The chain ends on a header the loop does not look at: that is its
                            // last failed step, as when the step after the last frame fails.
                            ++droppedFrames;
                        }
                        continue;
                    }
                }
                offset = FindHeader(window, next + 1, size, word);
                if (offset < 0) {
                    word = 0;
                }
                ++droppedFrames;
            }
        } catch (...) {
            publish();
            // Keep what was indexed so far; the error itself is reported below.
            try {
                writer.Flush();
            } catch (...) {
            }
            throw;
        }
        publish();
        writer.Flush();
        cut.MarkIn = 0;
        cut.MarkOut = static_cast<int32_t>(index.Size() / 4) - 1;
        return control.TerminateRequested() ? kStatusAborted : kStatusOk;
    } catch (...) {
        return kStatusUnknownError;
    }
}

}  // namespace sw
