#pragma once

#include <string>

namespace sw {

// What an export writes, by the target's kind (the first three characters of its extension, any
// case).
enum class ExportTargetKind {
    Mpeg,       // plain MPEG audio: any name that is none of the kinds below
    Wave,       // "wav": the frames behind the 70-byte WAV header
    IndexFile,  // "m3i": the source's index file, not audio
    CueFile,    // "m3q": the cue writer's, not audio
    Document,   // "m3p", "m3u", "pls": a project or playlist, never written by an export
};

ExportTargetKind ExportTargetKindOf(const std::string& fileName);

// Why an audio export must not write to targetName, or "" when it may. Decided by the name and
// by what is there: refused are an empty name; the names of the program's own document kinds (a
// project, playlist or index file holding MPEG frames would be lost to the program that reads
// it, and taken for a damaged document) and cue files, by the target's name or by the name of
// the file its symbolic links lead to; a file that begins with the signature of one of the
// program's documents, whatever it is called; and the project file being exported (projectFile,
// "" when none), by whatever name or link.
std::string AudioTargetProblem(const std::string& targetName, const std::string& projectFile = "");

// True when both names lead to one file (same device and inode), by any path or link.
bool SameFile(const std::string& a, const std::string& b);

// Removes the ".m3i" file beside a target that was just written, but only when it is an index
// of that very file: its stored file name is the target's absolute path, or another name of the
// same file. Its offsets point into the old contents. An index of another file (the source's own
// a.m3i beside an export a.wav) is left alone, and so is anything that is not a readable index.
void RemoveIndexDescribing(const std::string& targetName);

}  // namespace sw
