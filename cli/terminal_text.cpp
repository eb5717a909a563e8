#include "terminal_text.h"

#include <cstdint>
#include <cstdio>

namespace sw::cli {

size_t Utf8SequenceLength(const std::string& text, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    size_t length = 0;
    uint32_t min = 0;
    uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, min = 0x80, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, min = 0x800, code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, min = 0x10000, code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        code = code << 6 | (byte(i + k) & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
}

std::string TerminalText(const std::string& bytes, bool keepLineBreaks) {
    std::string out;
    out.reserve(bytes.size());
    const auto escape = [&out](unsigned char c) {
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02x", c);
        out += hex;
    };
    for (size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            if ((c < 0x20 && !(keepLineBreaks && c == '\n')) || c == 0x7F) {
                escape(c);
            } else {
                out += static_cast<char>(c);
            }
            ++i;
            continue;
        }
        const size_t length = Utf8SequenceLength(bytes, i);
        // U+0080..U+009F are the two bytes C2 80..C2 9F.
        const bool c1 = length == 2 && c == 0xC2 && static_cast<unsigned char>(bytes[i + 1]) < 0xA0;
        if (length == 0 || c1) {
            const size_t end = length == 0 ? i + 1 : i + length;
            for (; i < end; ++i) {
                const auto b = static_cast<unsigned char>(bytes[i]);
                if (c1 || b < 0xA0) {
                    escape(b);
                } else {
                    out += static_cast<char>(b);
                }
            }
            continue;
        }
        out.append(bytes, i, length);
        i += length;
    }
    return out;
}

}  // namespace sw::cli
