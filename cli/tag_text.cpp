#include "tag_text.h"

#include "cli_error.h"
#include "stream/text_encoding.h"

namespace sw::cli {

std::string TagFieldBytes(const std::string& option, const std::string& text, size_t maxLength) {
    // Text that is not UTF-8 at all is taken as the Latin-1 bytes it already is.
    std::string bytes = text;
    if (IsValidUtf8(text)) {
        if (!FitsLatin1(text)) {
            throw UsageError(option + ": ID3v1 tags hold Latin-1 text only");
        }
        bytes = Utf8ToLatin1(text);
    }
    if (bytes.size() > maxLength) {
        throw UsageError(option + ": at most " + std::to_string(maxLength) + " characters");
    }
    return bytes;
}

std::string ProjectCommentBytes(const std::string& text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            bytes += '\r';
        }
        bytes += text[i];
    }
    return bytes;
}

}  // namespace sw::cli
