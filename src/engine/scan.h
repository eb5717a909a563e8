#pragma once

#include <cstdint>

#include "engine/worker_control.h"
#include "stream/cut_object.h"

namespace sw {

// The scan worker's whole job on one cut object: walks FileStream with the sync search and the
// next-frame step, appends one offset per frame to IndexStream (from position 0) and fills the
// summary (FileSize, PlayTime, FrameInfo, Tag/HasTag, Vbr, DroppedFrames, marks). The search
// starts after a leading ID3v2 tag; a frame that does not fit before the end of the file or the
// ID3v1 tag is not indexed and ends the scan as one more dropped step. Publishes the file position
// before every frame and polls the terminate request. Returns 0 complete, 2 terminated, 3 on any
// error (nothing escapes; the partial index stays, the marks are not set), 5 when a stream is
// missing, 1 for a source of 2 GiB or more. Does not set CompletelyScanned.
//
// stretches, when given, hears of the indexed frames as the scan goes.
class FrameStretchSink;
int ScanFrames(TCutObject& cut, WorkerControl& control, FrameStretchSink* stretches = nullptr);

// Told where the indexed frames lie, for work that follows a running scan: each call names the
// next frames in file order, back to back from begin to end (exclusive). Every indexed frame lies
// in exactly one stretch; a stretch ends at a gap between frames and after at most kMaxFrames
// frames, so the news comes steadily. Called on the scanning thread; a scan that fails or is
// terminated has told of every frame it indexed.
class FrameStretchSink {
  public:
    static constexpr int32_t kMaxFrames = 4096;

    virtual ~FrameStretchSink() = default;
    virtual void Stretch(int64_t begin, int64_t end, int32_t frames) = 0;
};

// The offset just past a leading ID3v2 tag ("ID3", version, flags, syncsafe size, plus 10 when
// the flags announce a footer), or 0 when the stream does not start with a well-formed one (a
// size byte with its top bit set, or a tag that would end past the stream). Leaves the stream
// position unspecified.
int64_t Id3v2TagEnd(ByteStream& stream);

}  // namespace sw
