#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "stream/byte_stream.h"
#include "stream/cut_object.h"
#include "stream/document_file.h"

namespace sw {

// What a ".m3q" file holds: one cue, by its source's path. Layout: the 16-byte magic, the
// counted source path, the counted cue name, MarkIn and MarkOut as signed 32-bit little-endian;
// nothing follows.
struct CueFileRecord {
    std::string SourcePath;
    std::string Name;
    int32_t MarkIn = 0;
    int32_t MarkOut = 0;

    bool operator==(const CueFileRecord&) const = default;
};

// Reads a cue file's layout from the stream's position. False when the magic is short or wrong,
// or when the data ends before MarkOut's last byte: a cue file cut short anywhere gives no cue.
// Every read is checked against what the stream still holds, so no count makes it read or
// reserve past the end. Bytes after MarkOut are ignored. Never throws for what the bytes say;
// record is unspecified on false.
bool ReadCueRecord(ByteStream& stream, CueFileRecord& record);
// Writes the layout, 28 + source + name bytes. Texts over 65535 bytes throw std::length_error.
void WriteCueRecord(ByteStream& stream, const CueFileRecord& record);

// A new cue with Name, MarkIn and MarkOut from the file and CutObject unset, and sourcePath set
// to the stored path; nullptr ("no cue") when the file is missing, is not a regular file (a FIFO
// or a device is refused without waiting on it), cannot be opened, or fails ReadCueRecord.
// Never throws for a file that exists but cannot be read: that is no cue too.
std::unique_ptr<TCueObject> LoadCueFile(const std::string& fileName, std::string& sourcePath);

// Writes the cue with its cut object's FileName as the source path. False, writing nothing,
// without a cue or when the cue has no cut object. Goes through the atomic document writer, so
// a failed save leaves the previous file as it was; throws FileCreateError ("Cannot create file
// <fileName>") when the target cannot be created or is a source that a cut object holds open,
// StreamWriteError when writing fails, std::length_error for a text over 65535 bytes.
bool SaveCueFile(const TCueObject* cue, const std::string& fileName);
// The same for a record that names its source directly (the command line's export).
void SaveCueFile(const CueFileRecord& record, const std::string& fileName);

}  // namespace sw
