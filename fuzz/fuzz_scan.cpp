// The real scan (ScanFrames, as the program runs it) over arbitrary bytes in memory. Whatever
// the bytes, the index must rise strictly, every indexed frame must be a valid header whose whole
// length lies before the scan's limit (the end, or the ID3v1 tag), the stretches must tell of
// exactly the indexed frames, and the summary must be one LoadCutObject accepts back.
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/scan.h"
#include "engine/worker_control.h"
#include "fuzz_check.h"
#include "stream/cut_object.h"
#include "stream/id3_tag.h"
#include "stream/memory_stream.h"
#include "stream/status.h"

namespace {

using sw::fuzz::Check;

// Collects the stretches so they can be held against the index.
class Stretches : public sw::FrameStretchSink {
  public:
    void Stretch(int64_t begin, int64_t end, int32_t frames) override {
        Check(begin < end && frames > 0 && frames <= kMaxFrames);
        Check(begin >= last_);
        last_ = end;
        told.push_back({begin, end, frames});
    }
    struct Told {
        int64_t begin;
        int64_t end;
        int32_t frames;
    };
    std::vector<Told> told;

  private:
    int64_t last_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    sw::TCutObject cut;
    cut.FileStream = std::make_unique<sw::MemoryStream>(bytes);
    cut.IndexStream = std::make_unique<sw::MemoryStream>();
    sw::WorkerControl control;
    Stretches stretches;
    Check(sw::ScanFrames(cut, control, &stretches) == sw::kStatusOk);

    const int32_t count = cut.FrameCount();
    Check(cut.MarkIn == 0 && cut.MarkOut == count - 1);
    Check(cut.FileSize == static_cast<int32_t>(size));
    const int64_t limit = cut.HasTag ? int64_t(size) - sw::kId3TagSize : int64_t(size);
    cut.IndexStream->Seek(0, sw::SeekOrigin::Begin);
    int64_t previousEnd = 0;
    size_t stretch = 0;
    int32_t inStretch = 0;
    uint32_t lastWord = 0;
    for (int32_t frame = 0; frame < count; ++frame) {
        const int64_t offset = cut.IndexStream->ReadInt32();
        Check(offset >= previousEnd);  // rising, and frames never overlap
        const uint32_t word = sw::HeaderWordFromBytes(bytes.data() + offset);
        Check(sw::IsValidFrameHeader(word));
        const sw::TFrameInfo info = sw::DecodeFrameHeader(word);
        Check(info.FrameLength > 4 && offset + info.FrameLength <= limit);
        previousEnd = offset + info.FrameLength;
        lastWord = word;

        Check(stretch < stretches.told.size());
        const Stretches::Told& told = stretches.told[stretch];
        if (inStretch == 0) {
            Check(told.begin == offset);
        }
        if (++inStretch == told.frames) {
            Check(told.end == previousEnd);
            ++stretch;
            inStretch = 0;
        }
    }
    Check(stretch == stretches.told.size() && inStretch == 0);

    // The summary, by the rules an index file's summary is checked against when it is loaded.
    Check(std::isfinite(cut.PlayTime) && cut.PlayTime >= 0);
    Check(cut.PlayTime <= 2.0 * cut.FileSize / 1000.0);
    Check(cut.DroppedFrames >= (count > 0 ? 0 : -1));
    if (count > 0) {
        Check(cut.FrameInfo == sw::DecodeFrameHeader(lastWord));
        Check(sw::IsValidFrameInfo(cut.FrameInfo));
    } else {
        Check(cut.FrameInfo == sw::kNoFrame);
        Check(cut.PlayTime == 0);
    }
    return 0;
}
