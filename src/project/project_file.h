#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "project/project_properties.h"
#include "stream/byte_stream.h"

namespace sw {

inline constexpr char kProjectFileMagic[] = "SlicewellProject";  // 16 bytes, no terminator

// One cue as the project file stores it: by its source's file name, not by a cut object.
struct ProjectFileCue {
    std::string FileName;
    std::string Name;
    int32_t MarkIn = 0;
    int32_t MarkOut = 0;

    bool operator==(const ProjectFileCue&) const = default;
};

// The contents of a ".m3p" file. Properties.FileName is not stored in the file; the reader
// leaves it empty.
struct ProjectFileContents {
    TProjectProperties Properties;
    std::vector<std::string> Files;  // bin entries in order; "" for an entry without a file
    std::vector<ProjectFileCue> Cues;
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
// read nothing. Nothing is allocated ahead on a count's word: a huge count in a short file costs
// no more memory than the file itself.
ProjectReadResult ReadProject(ByteStream& stream, ProjectFileContents& contents);
// Opens and reads a ".m3p" file. Throws FileOpenError when it exists but cannot be opened.
ProjectReadResult ReadProjectFile(const std::string& fileName, ProjectFileContents& contents);

// Writes the whole project to the stream. Texts over 65535 bytes throw std::length_error.
void WriteProject(ByteStream& stream, const ProjectFileContents& contents);
// Writes a ".m3p" file through a temporary file in the target's folder, renamed over the
// target only when complete, so a failed save leaves the previous file as it was. Throws
// FileCreateError when the temporary file cannot be made or the target is an open source, and
// StreamWriteError when writing or renaming fails.
void WriteProjectFile(const std::string& fileName, const ProjectFileContents& contents);

}  // namespace sw
