#pragma once

#include <cstdint>

#include "engine/export.h"
#include "stream/byte_stream.h"
#include "stream/frame_header.h"

namespace sw {

// Where an export's bytes go, seen the same way by both export paths: the block copier writes
// through a stream, the whole-file copy while scanning through a file descriptor.
class ExportTargetAccess {
  public:
    virtual ~ExportTargetAccess() = default;
    // Writes count bytes at position; returns how many of them arrived. Never throws.
    virtual int64_t WriteAt(int64_t position, const uint8_t* bytes, int64_t count) = 0;
    // Drops every byte from size on; false when that failed.
    virtual bool CutBackTo(int64_t size) = 0;
    // Pushes what is buffered to the file; false when it did not all arrive.
    virtual bool Flush() = 0;
};

// A stream as an export target.
class StreamTargetAccess : public ExportTargetAccess {
  public:
    explicit StreamTargetAccess(ByteStream& stream) : stream_(stream) {}
    int64_t WriteAt(int64_t position, const uint8_t* bytes, int64_t count) override;
    bool CutBackTo(int64_t size) override;
    bool Flush() override;

  private:
    ByteStream& stream_;
};

// The rules every export follows around its frames, kept in one place so that both paths write
// the same file:
// - a WAV target first gets a provisional header of 70 zero bytes; when that cannot be written,
//   the frames start at 0 and the file stays without a header (reported, status unchanged);
// - a frame that did not arrive whole is cut off: the target ends on the last whole frame;
// - the final WAV header describes the last frame that arrived whole over the final size;
// - everything is flushed before the status is decided; a failure beats an abort, which beats
//   success.
class ExportFraming {
  public:
    ExportFraming(ExportTargetAccess& target, bool wave) : target_(target), wave_(wave) {}

    // Writes the provisional header; returns where the first frame goes.
    int64_t Begin();
    // The WAV header's sample count from now on: the frames' own (a clean export's), not the
    // whole seconds the data last.
    void SetSampleCount(int64_t samples) { samples_ = samples; }
    // The final header, the flush and the status. size: the target's final size; failed: some
    // frame, the tag or a cut-back did not make it.
    ExportOutcome Finish(const TFrameInfo& lastWholeFrame, int64_t size, bool failed,
                         bool terminated, int32_t framesCopied);

  private:
    bool WriteHeader(const TFrameInfo& info, int64_t size);

    ExportTargetAccess& target_;
    bool wave_;
    bool headerFailed_ = false;
    int64_t samples_ = -1;
};

}  // namespace sw
