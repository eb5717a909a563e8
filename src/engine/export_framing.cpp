#include "engine/export_framing.h"

#include "engine/wave_header.h"
#include "stream/status.h"

namespace sw {

int64_t StreamTargetAccess::WriteAt(int64_t position, const uint8_t* bytes, int64_t count) {
    try {
        stream_.Seek(position, SeekOrigin::Begin);
        return stream_.Write(bytes, count);
    } catch (...) {
        return 0;  // how much reached the file is unknown: none of it counts
    }
}

bool StreamTargetAccess::CutBackTo(int64_t size) {
    try {
        stream_.SetSize(size);
        stream_.Seek(size, SeekOrigin::Begin);
        return true;
    } catch (...) {
        return false;
    }
}

bool StreamTargetAccess::Flush() {
    try {
        stream_.Flush();
        return true;
    } catch (...) {
        return false;
    }
}

int64_t ExportFraming::Begin() {
    if (!wave_) {
        return 0;
    }
    if (!WriteHeader(kNoFrame, 0)) {
        headerFailed_ = true;
        return 0;
    }
    return kWaveHeaderSize;
}

ExportOutcome ExportFraming::Finish(const TFrameInfo& lastWholeFrame, int64_t size, bool failed,
                                    bool terminated, int32_t framesCopied) {
    if (wave_ && !headerFailed_ && !WriteHeader(lastWholeFrame, size)) {
        headerFailed_ = true;
    }
    if (!target_.Flush()) {
        failed = true;
    }
    ExportOutcome outcome;
    outcome.waveHeaderFailed = headerFailed_;
    outcome.framesCopied = framesCopied;
    // A damaged file is worth more attention than a shortened one.
    outcome.status = failed ? kStatusUnknownError : terminated ? kStatusAborted : kStatusOk;
    return outcome;
}

// A header that only reached a buffer has not been written yet: a full disk shows when it goes
// out, and that counts as the header's failure.
bool ExportFraming::WriteHeader(const TFrameInfo& info, int64_t size) {
    const auto header = BuildWaveHeader(info, size, samples_);
    return target_.WriteAt(0, header.data(), kWaveHeaderSize) == kWaveHeaderSize && target_.Flush();
}

}  // namespace sw
