#include "engine/gapless.h"

#include <algorithm>

namespace sw {

int64_t LeadingSkip(const SourceGapless& source, int64_t first, int32_t framesBefore) {
    const int64_t start = first * source.samplesPerFrame;
    return std::max<int64_t>(source.KeptBegin() - start, 0) +
           int64_t{framesBefore} * source.samplesPerFrame;
}

int64_t TrailingDrop(const SourceGapless& source, int64_t last) {
    const int64_t end = (last + 1) * source.samplesPerFrame;
    return std::max<int64_t>(end - source.KeptEnd(), 0);
}

PieceGapless GaplessOfPiece(const SourceGapless& source, int64_t first, int64_t last,
                            int32_t framesBefore) {
    const int64_t all = (int64_t{framesBefore} + last - first + 1) * source.samplesPerFrame;
    const int64_t skip = LeadingSkip(source, first, framesBefore);
    // A piece that lies wholly in what the source skips or drops keeps nothing, not less.
    const int64_t drop = std::min(TrailingDrop(source, last), all - std::min(skip, all));
    PieceGapless gapless;
    gapless.delay = static_cast<int32_t>(std::clamp<int64_t>(skip - kDecoderDelay, -1, 1 << 20));
    gapless.padding = static_cast<int32_t>(std::clamp<int64_t>(drop + kDecoderDelay, -1, 1 << 20));
    return gapless;
}

}  // namespace sw
