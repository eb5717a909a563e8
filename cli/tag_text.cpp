#include "tag_text.h"

#include <cstdint>
#include <optional>

#include "cli_error.h"

namespace sw::cli {

namespace {

// The Latin-1 bytes of valid UTF-8 text; nullopt when the text is not UTF-8 at all. A code point
// above U+00FF sets tooWide.
std::optional<std::string> Utf8ToLatin1(const std::string& text, bool& tooWide) {
    std::string out;
    tooWide = false;
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<uint8_t>(text[i]);
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            ++i;
            continue;
        }
        size_t length;
        uint32_t code;
        if ((lead & 0xE0) == 0xC0 && lead >= 0xC2) {
            length = 2;
            code = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            code = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
        } else {
            return std::nullopt;
        }
        if (i + length > text.size()) {
            return std::nullopt;
        }
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<uint8_t>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms and surrogates are no UTF-8.
        if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF)) {
            return std::nullopt;
        }
        if (code > 0xFF) {
            tooWide = true;
        } else {
            out += static_cast<char>(code);
        }
        i += length;
    }
    return out;
}

}  // namespace

std::string TagFieldBytes(const std::string& option, const std::string& text, size_t maxLength) {
    bool tooWide = false;
    const std::optional<std::string> latin1 = Utf8ToLatin1(text, tooWide);
    if (tooWide) {
        throw UsageError(option + ": ID3v1 tags hold Latin-1 text only");
    }
    std::string bytes = latin1.value_or(text);
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
