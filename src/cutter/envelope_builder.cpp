#include "cutter/envelope_builder.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "player/mpeg_frame_decoder.h"
#include "player/preroll.h"

namespace sw {
namespace {

// The estimate is published in batches: readers gain nothing from seeing it frame by frame.
constexpr int32_t kCoarseBatch = 4096;

bool Stop(const std::atomic<bool>& terminate) {
    return terminate.load(std::memory_order_relaxed);
}

}  // namespace

FrameLevel MeasureFrameLevel(const int16_t* samples, size_t perChannel, int channels) {
    FrameLevel level;
    if (perChannel == 0 || channels <= 0) {
        return level;
    }
    // Plain loops over the interleaved samples, which the compiler turns into vector code: the
    // measure runs over every sample of every decoded frame.
    const size_t count = perChannel * size_t(channels);
    int lowest = 0;
    int highest = 0;
    for (size_t i = 0; i < count; ++i) {
        lowest = std::min(lowest, int(samples[i]));
        highest = std::max(highest, int(samples[i]));
    }
    int64_t sums[2] = {0, 0};
    if (channels == 2) {
        for (size_t i = 0; i < perChannel; ++i) {
            sums[0] += samples[2 * i] * samples[2 * i];
            sums[1] += samples[2 * i + 1] * samples[2 * i + 1];
        }
    } else {
        for (size_t i = 0; i < count; ++i) {
            sums[0] += samples[i] * samples[i];
        }
    }
    const double loudest = double(std::max(sums[0], sums[1])) / double(perChannel);
    level.peak = uint16_t(std::min(std::max(highest, -lowest), int(kFullScaleLevel)));
    level.rms = uint16_t(std::min(std::sqrt(loudest), double(kFullScaleLevel)));
    return level;
}

bool BuildCoarseLevels(LevelEnvelope& envelope, SourceFrameReader& frames,
                       const std::atomic<bool>& terminate) {
    const int32_t count = std::min(envelope.Frames(), frames.Frames());
    for (int32_t frame = envelope.CoarseFrames(); frame < count; ++frame) {
        if (Stop(terminate)) {
            return false;
        }
        const SourceFrameReader::Bytes bytes = frames.Frame(frame);
        envelope.SetCoarse(frame, CoarseFrameLevel(bytes.data, bytes.size));
        if ((frame + 1) % kCoarseBatch == 0) {
            envelope.PublishCoarse(frame + 1);
        }
    }
    if (!frames.Error().empty()) {
        envelope.SetFailure(frames.Error());
    }
    envelope.PublishCoarse(count);
    return true;
}

bool BuildExactLevels(LevelEnvelope& envelope, SourceFrameReader& frames, int sampleRate,
                      int channels, const std::atomic<bool>& terminate) {
    const int32_t count = std::min(envelope.Frames(), frames.Frames());
    const int32_t resume = envelope.ExactFrames();
    if (resume >= count) {
        return true;
    }
    MpegFrameDecoder decoder(sampleRate, channels);
    if (!decoder.Ok()) {
        envelope.SetFailure(decoder.Error());
        return true;
    }
    std::vector<int16_t> samples;
    for (int32_t frame = std::max(0, resume - kMaxPrerollFrames); frame < count; ++frame) {
        if (Stop(terminate)) {
            return false;
        }
        const SourceFrameReader::Bytes bytes = frames.Frame(frame);
        samples.clear();
        const int perChannel = decoder.Decode(bytes.data, bytes.size, samples);
        if (frame >= resume) {
            envelope.SetExact(
                frame, MeasureFrameLevel(samples.data(), size_t(perChannel), decoder.Channels()));
            envelope.PublishExact(frame + 1);
        }
        if (!frames.Error().empty()) {
            envelope.SetFailure(frames.Error());
            return true;
        }
    }
    return true;
}

}  // namespace sw
