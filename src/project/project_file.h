#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "project/project_cue_records.h"
#include "project/project_properties.h"
#include "project/text_list.h"
#include "stream/byte_stream.h"
#include "stream/document_file.h"

namespace sw {

// The contents of a ".m3p" file. Properties.FileName is not stored in the file; the reader
// leaves it empty.
struct ProjectFileContents {
    TProjectProperties Properties;
    // Both lists are kept about as compactly as the file holds them (see TextList).
    TextList Files;  // bin entries in order; "" for an entry without a file
    ProjectCueList Cues;
    // Cue records the count announced but the file ended inside: the load still succeeds, and
    // whoever shows it can say how many were lost.
    int32_t UnreadCues = 0;
};

enum class ProjectReadResult {
    Ok,
    NotFound,      // no file of that name
    BadSignature,  // shorter than 16 bytes or not the exact signature
};

// Reads a project from the stream's position. Up to the cue count a short read throws
// StreamReadError, leaving what was read so far in contents; a cue record cut short by the end
// of the data is dropped with everything after it, and the read succeeds. Counts of 0 or less
// read nothing. Memory stays about the size of the file: entries are stored compactly, and room
// is reserved for no more entries than the bytes left could hold (a name takes at least its two
// count bytes, a cue record twelve), so a huge count in a short file reserves nothing it cannot
// fill.
ProjectReadResult ReadProject(ByteStream& stream, ProjectFileContents& contents);
// Opens and reads a ".m3p" file. Throws FileOpenError when it exists but cannot be opened, and
// FileRefusedError (saying which) when it is a folder, FIFO or device, without waiting on it.
ProjectReadResult ReadProjectFile(const std::string& fileName, ProjectFileContents& contents);

// Writes the whole project to the stream. Texts over 65535 bytes throw std::length_error.
void WriteProject(ByteStream& stream, const ProjectFileContents& contents);
// Writes a ".m3p" file through a temporary file in the target's folder, renamed over the
// target only when complete, so a failed save leaves the previous file as it was. Throws
// FileCreateError when the temporary file cannot be made or the target is an open source, and
// StreamWriteError when writing or renaming fails.
void WriteProjectFile(const std::string& fileName, const ProjectFileContents& contents);

}  // namespace sw
