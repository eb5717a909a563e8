#include "autocut/auto_cut_search.h"

#include <array>
#include <cmath>
#include <exception>
#include <limits>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "project/document_texts.h"
#include "stream/frame_header.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sw {

namespace {

// The limit is defined in 80-bit extended arithmetic: a wider or narrower long double would
// round some products differently and move a frame across the threshold.
static_assert(std::numeric_limits<long double>::digits == 64,
              "the empty-frame limit needs the 64-bit mantissa of x87 extended precision");

// The longest frame a header can describe is 2881 bytes (MPEG-2.5 Layer II, 160 kbit/s at
// 8 kHz); a frame's data read ends inside this buffer whatever header the file holds.
constexpr size_t kWorkBufferSize = 3072;

// Index entries read per call, so that the index costs a call per block, not per frame.
constexpr int kIndexBlockEntries = 4096;

// The counting is most of the search's time: 16 pairs at a time, each equal pair adding 1 to
// its byte lane. A frame has at most 180 blocks of 16, so no lane passes 255 before the sum.
int64_t EqualNeighbours(const uint8_t* data, int32_t n) {
    int64_t equal = 0;
    int32_t i = 1;
#if defined(__SSE2__)
    static_assert(kWorkBufferSize / 16 < 256, "a lane counts at most 255 equal pairs");
    __m128i lanes = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i - 1));
        lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(here, before));
    }
    const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
    equal = _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_srli_si128(sums, 8));
#endif
    for (; i < n; ++i) {
        equal += data[i] == data[i - 1];
    }
    return equal;
}

std::string CueName(int32_t number, const std::string& name) {
    return "Auto" + std::to_string(number) + ": " + name;
}

}  // namespace

int64_t EmptyFrameLimit(int32_t threshold, int32_t frameLength) {
    // volatile keeps each product rounded to extended precision where the definition rounds it,
    // whatever the optimiser would fuse or keep wider.
    volatile long double share = static_cast<long double>(frameLength) * 0.01L;
    volatile long double limit = static_cast<long double>(threshold) * share;
    const long double whole = std::floor(static_cast<long double>(limit));
    const long double fraction = limit - whole;
    long double rounded = whole;
    if (fraction > 0.5L || (fraction == 0.5L && std::fmod(whole, 2.0L) != 0.0L)) {
        rounded = whole + 1;
    }
    return static_cast<int64_t>(rounded);
}

namespace {

// What one search works out once instead of for every frame: the limits of its threshold by
// frame length (the extended arithmetic and its rounding cost more than counting a frame's
// pairs), and the length of the last header word seen (a file repeats a few words throughout).
class LimitTable {
  public:
    explicit LimitTable(int32_t threshold) : threshold_(threshold) { limits_.fill(-1); }
    int64_t For(int32_t n) {
        int64_t& limit = limits_[static_cast<size_t>(n)];
        if (limit < 0) {
            limit = EmptyFrameLimit(threshold_, n);
        }
        return limit;
    }
    // The frame length of a header word, -1 for a word that is no valid header.
    int32_t LengthOf(uint32_t word) {
        if (word != lastWord_ || lastLength_ == kUnknown) {
            lastWord_ = word;
            lastLength_ = IsValidFrameHeader(word) ? DecodeFrameHeader(word).FrameLength : -1;
        }
        return lastLength_;
    }

  private:
    static constexpr int32_t kUnknown = -2;
    int32_t threshold_;
    uint32_t lastWord_ = 0;
    int32_t lastLength_ = kUnknown;
    std::array<int64_t, kWorkBufferSize + 1> limits_;
};

bool IsEmptyFrameWith(ByteStream& stream, LimitTable& limits) {
    uint8_t header[4];
    if (stream.Read(header, 4) != 4) {
        return false;
    }
    const int32_t n = limits.LengthOf(HeaderWordFromBytes(header));
    std::array<uint8_t, kWorkBufferSize> data;
    if (n < 0 || static_cast<size_t>(n) > data.size() || stream.Read(data.data(), n) != n) {
        return false;
    }
    return EqualNeighbours(data.data(), n) >= limits.For(n);
}

// The search's view of the file: one large read at a time through the file stream (a read this
// size goes straight from the file into the window, with no copy through the stream's cache),
// and each frame examined where it lies in the window. The same bytes as IsEmptyFrame reads,
// and the same answer, for a fraction of the copying.
class FrameWindow {
  public:
    explicit FrameWindow(ByteStream& file) : file_(file), bytes_(kWindowSize) {}

    // The count bytes at offset, or nullptr when the file holds fewer there.
    const uint8_t* At(int64_t offset, int64_t count) {
        if (offset < start_ || offset + count > start_ + length_) {
            file_.Seek(offset, SeekOrigin::Begin);
            start_ = offset;
            length_ = file_.Read(bytes_.data(), kWindowSize);
            if (count > length_) {
                return nullptr;
            }
        }
        return bytes_.data() + (offset - start_);
    }

    bool IsEmptyFrameAt(int64_t offset, LimitTable& limits) {
        const uint8_t* header = At(offset, 4);
        if (header == nullptr) {
            return false;
        }
        const int32_t n = limits.LengthOf(HeaderWordFromBytes(header));
        if (n < 0 || static_cast<size_t>(n) > kWorkBufferSize) {
            return false;
        }
        const uint8_t* data = At(offset + 4, n);
        return data != nullptr && EqualNeighbours(data, n) >= limits.For(n);
    }

  private:
    static constexpr int64_t kWindowSize = 256 * 1024;
    ByteStream& file_;
    std::vector<uint8_t> bytes_;
    int64_t start_ = 0;
    int64_t length_ = 0;
};

}  // namespace

bool IsEmptyFrame(ByteStream& stream, int32_t threshold) {
    LimitTable limits(threshold);
    return IsEmptyFrameWith(stream, limits);
}

AutoCutResult ProcessFile(TCutObject* cut, int32_t threshold, const AutoCutSink& sink,
                          WorkerControl& control) {
    AutoCutResult result;
    if (cut == nullptr || !cut->FileStream) {
        result.Outcome = AutoCutOutcome::InvalidCutObject;
        result.Message = "Invalid TCutObject";
        return result;
    }
    // An entry whose scan the user declined has no frames; a scanned file without frames has
    // nothing to search and is no refusal.
    if (!cut->IndexStream || (cut->FrameCount() == 0 && !cut->CompletelyScanned)) {
        result.Outcome = AutoCutOutcome::NoIndex;
        const std::string_view format = texts::kNoFrameIndex;
        const size_t at = format.find("%s");
        result.Message =
            std::string(format.substr(0, at)) + cut->Name + std::string(format.substr(at + 2));
        return result;
    }
    try {
        ByteStream& index = *cut->IndexStream;
        ByteStream& file = *cut->FileStream;
        if (index.Seek(0, SeekOrigin::Begin) != 0) {
            result.Outcome = AutoCutOutcome::InvalidCutObject;
            result.Message = "Invalid TCutObject";
            return result;
        }
        // 0 stands for "unset": a run never opens at frame 0.
        int32_t runStart = 0;
        int32_t runEnd = 0;
        int32_t number = 0;
        const auto closeRun = [&] {
            ++number;
            if (!sink(cut, CueName(number, cut->Name), runStart, runEnd)) {
                throw std::runtime_error("Error creating CueObject");
            }
            ++result.CuesAdded;
            runStart = 0;
            runEnd = 0;
        };

        LimitTable limits(threshold);
        FrameWindow window(file);
        std::array<uint8_t, 4 * kIndexBlockEntries> block;
        int64_t blockEntries = 0;
        int64_t blockNext = 0;
        int32_t frame = -1;
        bool aborted = false;
        for (;;) {
            if (control.TerminateRequested()) {
                aborted = true;
                break;
            }
            if (blockNext == blockEntries) {
                // A trailing part of an entry is no entry: the walk ends before it.
                const int64_t got = index.Read(block.data(), static_cast<int64_t>(block.size()));
                blockEntries = got / 4;
                blockNext = 0;
                if (blockEntries == 0) {
                    break;
                }
            }
            const int32_t offset = static_cast<int32_t>(HeaderWordFromBytes(&block[4 * blockNext]));
            ++blockNext;
            if (file.Seek(offset, SeekOrigin::Begin) != offset) {
                break;
            }
            ++frame;
            if (!window.IsEmptyFrameAt(offset, limits)) {
                (runStart != 0 ? runEnd : runStart) = frame;
            } else if (runStart != 0 && runEnd != 0) {
                closeRun();
            }
            control.Report(frame);
        }
        if (aborted) {
            result.Outcome = AutoCutOutcome::Aborted;
        }
        if (runStart != 0 && runEnd != 0) {
            closeRun();
        }
    } catch (const std::exception&) {
        result.Outcome = AutoCutOutcome::SearchError;
        result.Message = "Error while searching " + cut->Name;
    }
    return result;
}

}  // namespace sw
