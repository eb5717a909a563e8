#pragma once

#include <string>

#include "engine/export.h"
#include "stream/descriptor_stream.h"
#include "stream/replacement_file.h"

namespace sw {

// An audio export's target while the export writes it. The frames go to a new file beside the
// file the target's name leads to (through its symbolic links, which stay links), and that file
// takes the target's place only when the export is kept: a failed export, whatever failed (a
// full disk, a source that changed, an error), leaves the old target byte for byte and no
// temporary file. Two exports to one target each write their own file; the last to finish
// replaces the target whole.
class ExportTargetFile {
  public:
    // Throws before anything is touched: OperationError 1 with AudioTargetProblem's text (the
    // project file being exported is projectFile), and FileCreateError "Cannot create file
    // <targetName>" when the file there is no regular file, is read-only, is a source some cut
    // object holds, or its folder takes no new files (see DocumentTarget).
    explicit ExportTargetFile(const std::string& targetName, const std::string& projectFile = "");

    // Where the export writes: unbuffered, so nothing waits in memory for a last flush.
    ByteStream& Stream() { return stream_; }
    // The same file for writers that copy between descriptors.
    int Descriptor() const { return replacement_.Descriptor(); }

    // Decides the export's file after the worker ended. It replaces the target when the status
    // is 0, or 2 with keepAborted (an aborted export keeps a shorter, well-formed file), and the
    // WAV header was written; the index file describing the old target goes then
    // (RemoveIndexDescribing). Otherwise the file is dropped, the status of a kept-looking
    // outcome turns to 3, and failure gets the system's reason for a failed write. A replacement
    // that fails (the data cannot reach the disk) is a failure too. Returns true when replaced;
    // framesCopied is 0 when not.
    bool Finish(ExportOutcome& outcome, bool keepAborted = true);

    // The target's size now: the new file's once replaced, the old one's (or 0) when not.
    int64_t TargetBytes() const;

  private:
    std::string targetName_;
    ReplacementFile replacement_;
    DescriptorStream stream_;
};

}  // namespace sw
