#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/worker_control.h"
#include "stream/cut_object.h"

namespace sw {

class FileStream;

// Header flags a project export stamps into every frame.
struct HeaderFlags {
    uint8_t Private = 0;
    uint8_t Copyright = 0;
    uint8_t Original = 0;
    // The CRC word of a protected Layer III frame covers these bits: a clean export makes it
    // anew, the plain copy keeps the old one.
    bool renewCrc = false;
};

// The header word with the flags' three bits.
uint32_t StampHeaderFlags(uint32_t word, const HeaderFlags& flags);

// Told of every block of frames as it reaches the target whole, in target order: count frames
// back to back in bytes (size bytes), written at target position, frame i from starts[i] on.
class CopiedFramesObserver {
  public:
    virtual ~CopiedFramesObserver() = default;
    virtual void Written(int64_t position, const uint8_t* bytes, int64_t size,
                         const int32_t* starts, size_t count) = 0;
};

// Copies frames through a cut object's index to a target stream, counting frames across calls
// (a project export counts across all its cues) and publishing the count before every frame.
//
// The source is read in large blocks. Frames that lie back to back there and keep their headers
// are written straight from the block that holds them; the others (after a gap, or with rewritten
// flags) are gathered into a block of their own first. Each block is written (and, for a file,
// flushed) at once: a write error then always leaves the target at a known frame boundary, and
// the copy makes a few system calls per block rather than several per frame.
class FrameCopier {
  public:
    FrameCopier(ByteStream& target, WorkerControl& control);

    // Copies frames first..last inclusive, clamped to the index first (first < 0 -> 0, last past
    // the last frame -> the last frame); a range that is empty then copies nothing and is no
    // error. Stops before the next frame once termination is requested. A frame that cannot be
    // read or written whole is not written at all and ends the range: the result is then false,
    // and the target ends on the last frame that reached it whole (a write error can cost the
    // frames of the block that failed). info receives the last frame the target holds from this
    // call (callers start it zeroed); a call that copies nothing leaves it alone. flags == nullptr
    // copies headers unchanged; otherwise only the private, copyright and original bits change.
    bool CopyFrameRange(TCutObject& cut, const HeaderFlags* flags, TFrameInfo& info, int32_t first,
                        int32_t last);

    // Frames the target holds.
    int32_t FramesCopied() const { return framesCopied_; }
    // Why the first range that ended early did, when its source was the cause (it ends before a
    // frame its index promises, holds no frame where the index says, or cannot be read); "" when
    // no range did, or the target refused a write (its stream knows why).
    const std::string& SourceFailure() const { return sourceFailure_; }

    void SetObserver(CopiedFramesObserver* observer) { observer_ = observer; }

  private:
    // Writes the frames frameStarts_ lists, which start at data; false when they did not reach the
    // target whole.
    bool WriteBlock(const uint8_t* data, TFrameInfo& info);
    // Notes why the source ended the copy at frame number, unless an earlier range did.
    void NoteSourceFailure(const TCutObject& cut, int64_t number, const std::string& why);

    ByteStream& target_;
    WorkerControl& control_;
    FileStream* file_;  // the target when it is a file, to push each block to the disk
    CopiedFramesObserver* observer_ = nullptr;
    int32_t framesCopied_ = 0;
    int32_t framesTried_ = 0;  // the published progress value
    std::vector<uint8_t> block_;
    std::vector<int32_t> frameStarts_;  // where each gathered frame starts in block_
    int64_t blockPosition_ = 0;         // the target position block_ goes to
    std::string sourceFailure_;
};

}  // namespace sw
