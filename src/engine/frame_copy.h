#pragma once

#include <cstdint>

#include "engine/worker_control.h"
#include "stream/cut_object.h"

namespace sw {

// Header flags a project export stamps into every frame.
struct HeaderFlags {
    uint8_t Private = 0;
    uint8_t Copyright = 0;
    uint8_t Original = 0;
};

// Copies frames through a cut object's index to a target stream, counting frames across calls
// (a project export counts across all its cues) and publishing the count before every frame.
class FrameCopier {
  public:
    FrameCopier(ByteStream& target, WorkerControl& control) : target_(target), control_(control) {}

    // Copies frames first..last inclusive, clamped to the index first (first < 0 -> 0, last past
    // the last frame -> the last frame); a range that is empty then copies nothing and is no
    // error. Stops before the next frame once termination is requested. A frame that cannot be
    // read or written whole is not written at all (a partly written one is cut off again) and
    // ends the range: the result is then false. info receives each frame copied whole, so it
    // ends as the last one (callers start it zeroed); a call that copies nothing leaves it alone.
    // flags == nullptr copies headers unchanged; otherwise only the private, copyright and
    // original bits of each header change.
    bool CopyFrameRange(TCutObject& cut, const HeaderFlags* flags, TFrameInfo& info, int32_t first,
                        int32_t last);

    int32_t FramesCopied() const { return framesCopied_; }

  private:
    void CutBack(int64_t frameStart);

    ByteStream& target_;
    WorkerControl& control_;
    int32_t framesCopied_ = 0;
};

}  // namespace sw
