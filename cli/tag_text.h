#pragma once

#include <cstddef>
#include <string>

namespace sw::cli {

// A command-line text as the bytes of an ID3v1 field, which are Latin-1 (what "info" prints
// back as UTF-8): valid UTF-8 is converted, any other bytes are taken as they are (already
// 8-bit text). Throws UsageError, naming the option, for a character that Latin-1 cannot hold
// and for more than maxLength characters (the properties dialog's limit).
std::string TagFieldBytes(const std::string& option, const std::string& text, size_t maxLength);

// A project comment as the properties dialog stores it: its lines end with CR LF.
std::string ProjectCommentBytes(const std::string& text);

}  // namespace sw::cli
