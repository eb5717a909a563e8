#pragma once

#include <memory>
#include <string>

#include "stream/byte_stream.h"

namespace sw::cli {

// Throws UsageError for targets export cannot write: empty names and cue files (".m3q").
void CheckExportTarget(const std::string& targetName);

// Makes sure everything written reached the file: the stream's destructor cannot report a
// failed flush, so a full disk would otherwise pass as success. Throws StreamWriteError.
void FinishTarget(std::unique_ptr<ByteStream>& target);

}  // namespace sw::cli
