#include "autocut/auto_cut_search.h"

#include <array>
#include <cmath>
#include <exception>
#include <limits>
#include <stdexcept>

#include "stream/frame_header.h"

namespace sw {

namespace {

// The limit is defined in 80-bit extended arithmetic: a wider or narrower long double would
// round some products differently and move a frame across the threshold.
static_assert(std::numeric_limits<long double>::digits == 64,
              "the empty-frame limit needs the 64-bit mantissa of x87 extended precision");

// The longest frame a header can describe is 2881 bytes (MPEG-2.5 Layer II, 160 kbit/s at
// 8 kHz); a frame's data read ends inside this buffer whatever header the file holds.
constexpr size_t kWorkBufferSize = 4096;

// Index entries read per call, so that the index costs a call per block, not per frame.
constexpr int kIndexBlockEntries = 4096;

int64_t EqualNeighbours(const uint8_t* data, int32_t n) {
    int64_t equal = 0;
    for (int32_t i = 1; i < n; ++i) {
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

bool IsEmptyFrame(ByteStream& stream, int32_t threshold) {
    uint8_t header[4];
    if (stream.Read(header, 4) != 4) {
        return false;
    }
    const uint32_t word = HeaderWordFromBytes(header);
    if (!IsValidFrameHeader(word)) {
        return false;
    }
    const int32_t n = DecodeFrameHeader(word).FrameLength;
    std::array<uint8_t, kWorkBufferSize> data;
    if (n < 0 || static_cast<size_t>(n) > data.size() || stream.Read(data.data(), n) != n) {
        return false;
    }
    return EqualNeighbours(data.data(), n) >= EmptyFrameLimit(threshold, n);
}

AutoCutResult ProcessFile(TCutObject* cut, int32_t threshold, const AutoCutSink& sink,
                          WorkerControl& control) {
    AutoCutResult result;
    if (cut == nullptr || !cut->FileStream) {
        result.Outcome = AutoCutOutcome::InvalidCutObject;
        result.Message = "Invalid TCutObject";
        return result;
    }
    if (!cut->IndexStream) {
        result.Outcome = AutoCutOutcome::NoIndex;
        result.Message = "The file " + cut->Name + " has no frame index: rescan it first";
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
            if (!IsEmptyFrame(file, threshold)) {
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
