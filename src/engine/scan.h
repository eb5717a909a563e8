#pragma once

#include "engine/worker_control.h"
#include "stream/cut_object.h"

namespace sw {

// The scan worker's whole job on one cut object: walks FileStream with the sync search and the
// next-frame step, appends one offset per frame to IndexStream and fills the summary (FileSize,
// PlayTime, FrameInfo, Tag/HasTag, Vbr, DroppedFrames, marks). Publishes the file position before
// every frame and polls the terminate request. Returns 0 complete, 2 terminated, 3 on any
// error (nothing escapes), 5 when a stream is missing. Does not set CompletelyScanned.
int ScanFrames(TCutObject& cut, WorkerControl& control);

// The offset just past a leading ID3v2 tag, or 0 when the stream does not start with a
// well-formed one. Leaves the stream position unspecified.
int64_t Id3v2TagEnd(ByteStream& stream);

}  // namespace sw
