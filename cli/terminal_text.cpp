#include "terminal_text.h"

#include <cstdint>
#include <cstdio>

#include "stream/text_encoding.h"

namespace sw::cli {

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
