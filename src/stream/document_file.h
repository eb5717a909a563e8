#pragma once

#include <functional>
#include <string>

#include "stream/byte_stream.h"

namespace sw {

// Saves a document (index file, project, cue file, playlist) so that a failed save never destroys
// the previous file: write runs on a new temporary file in the target's folder, which is renamed
// over the target only after everything was written and flushed. The new file keeps an existing
// target's permission bits. Throws FileCreateError "Cannot create file <fileName>" when the
// temporary file cannot be made or the target is a source some cut object holds open, and
// StreamWriteError when the data or the rename fails; the temporary file is removed then.
void WriteDocumentFile(const std::string& fileName, const std::function<void(ByteStream&)>& write);

}  // namespace sw
