#pragma once

#include <functional>
#include <string>

#include "stream/byte_stream.h"
#include "stream/replacement_file.h"

namespace sw {

// Saves a document (index file, project, cue file, playlist) so that a failed save never destroys
// the previous file: write runs on a new temporary file in the target's folder, which takes the
// target's place only after everything was written, as `how` says (by default only once the data
// is on the disk, renamed over the target). The new file keeps an existing
// target's permission bits. Throws FileCreateError "Cannot create file <fileName>" when the
// temporary file cannot be made or the target is a source some cut object holds open, and
// StreamWriteError when the data or the rename fails; the temporary file is removed then.
void WriteDocumentFile(const std::string& fileName, const std::function<void(ByteStream&)>& write,
                       ReplacementFile::Commit how = ReplacementFile::Commit::Durable);

}  // namespace sw
