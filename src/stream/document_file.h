#pragma once

#include <functional>
#include <string>

#include "stream/byte_stream.h"
#include "stream/replacement_file.h"

namespace sw {

// The signatures that open the program's cue and project files (16 bytes, no terminator); the
// index file's is kIndexFileMagic.
inline constexpr char kCueFileMagic[] = "Slicewell4-QFile";
inline constexpr char kProjectFileMagic[] = "SlicewellProject";

// Which of the program's own documents a file is by what it holds, whatever its name: "index
// file", "cue file" or "project file" when it begins with that signature, else "" (also for a
// file that is missing or cannot be read). Reads those 16 bytes only, and never waits on a FIFO
// or device.
std::string ProgramDocumentBySignature(const std::string& fileName);

// Saves a document (index file, project, cue file, playlist) so that a failed save never destroys
// the previous file: write runs on a new temporary file in the target's folder (a
// DescriptorStream over ReplacementFile's descriptor), which takes the target's place only after
// everything was written, as `how` says (by default only once the data is on the disk, renamed
// over the target). The new file keeps an existing target's permission bits.
//
// The target is what DocumentTarget says. Throws FileCreateError "Cannot create file <fileName>"
// (always the name the caller gave, never the temporary one) when it refuses the target or the
// temporary file cannot be made, and FileWriteError (a StreamWriteError) with the system's reason
// when the data or the rename fails; the temporary file is removed then, and the target is
// untouched.
void WriteDocumentFile(const std::string& fileName, const std::function<void(ByteStream&)>& write,
                       ReplacementFile::Commit how = ReplacementFile::Commit::Durable);

// The file a name leads to through its symbolic links, each taken relative to the folder of the
// link that holds it: the name itself when it is no link, and also when the file at the end is
// missing (a dangling link names where a new file goes). "" when the links loop or one cannot be
// read.
std::string LinkedFile(const std::string& fileName);

// Where a document saved as fileName really goes: a symbolic link is followed to the file it
// names (also a file that does not exist yet), so the save writes through the link and the link
// stays. Throws FileCreateError for fileName when the file there exists but is no regular file
// (a device node, FIFO, socket or folder), is read-only (its owner write bit is clear, or this
// process may not write it), is a source a cut object holds open, or when its folder is
// read-only in the same sense or missing, or the links loop.
std::string DocumentTarget(const std::string& fileName);

}  // namespace sw
