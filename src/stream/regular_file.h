#pragma once

#include <cstdint>
#include <string>

namespace sw {

// Why a file we were asked to read was not opened.
enum class ReadOpenResult {
    Opened,
    NotFound,    // no such name (or a folder on the way does not exist)
    Folder,      // the name is a folder
    NotRegular,  // a FIFO, socket or device node
    Failed,      // exists but may not be opened (permissions, too many open files, ...)
};

// Opens an existing file to read it (readWrite: to read and write it in place) so that nothing
// can make the program wait: the open itself is non-blocking (a FIFO without a writer would
// otherwise block the open forever, a tape or terminal device would hold it), then fstat refuses
// anything that is not a regular file, and only then is O_NONBLOCK cleared. Every reader of
// files the user names goes through this: audio sources, the WAV test, index, project, cue and
// playlist files. A symbolic link is followed to what it names.
//
// Returns Opened with fd set (the caller closes it) and size the file's size, or why not with fd
// -1. Never throws, never blocks.
ReadOpenResult OpenRegularFile(const std::string& fileName, bool readWrite, int& fd,
                               int64_t* size = nullptr);

// What OpenRegularFile found at the name without keeping it open: Opened for a regular file.
ReadOpenResult ProbeRegularFile(const std::string& fileName);

// Why the system refuses to open the file (by its name, or by the absolute form callers open),
// in the user's words: a loop of symbolic links, a path longer than the system takes, or the
// system's own text ("Permission denied"); "" when it opens after all.
std::string OpenRefusalReason(const std::string& fileName);

// The user's text for a refusal: "File not found: <name>", "<name> is a folder, not a file",
// "<name> is not a regular file (a pipe, socket or device)", "Cannot open file <name>: <why>"
// (OpenRefusalReason, when it names one); "" for Opened.
std::string ReadOpenFailureText(ReadOpenResult result, const std::string& fileName);

}  // namespace sw
