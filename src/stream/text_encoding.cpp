#include "stream/text_encoding.h"

namespace sw {

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

// The code point of the well-formed UTF-8 sequence at text[at], and its length; length 0 when
// the bytes there are not one.
uint32_t DecodeUtf8(std::string_view text, size_t at, size_t& length) {
    length = 0;
    const auto byte = [&text](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        length = 1;
        return lead;
    }
    size_t count;
    uint32_t code;
    uint32_t least;
    if ((lead & 0xE0) == 0xC0) {
        count = 2, code = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        count = 3, code = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        count = 4, code = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - at < count) {
        return 0;
    }
    for (size_t i = 1; i < count; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return 0;
        }
        code = code << 6 | (byte(at + i) & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    length = count;
    return code;
}

}  // namespace

size_t Utf8SequenceLength(std::string_view text, size_t at) {
    size_t length;
    DecodeUtf8(text, at, length);
    return length;
}

bool IsValidUtf8(std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        size_t length;
        DecodeUtf8(text, at, length);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

bool FitsLatin1(std::string_view utf8) {
    for (size_t at = 0; at < utf8.size();) {
        size_t length;
        if (DecodeUtf8(utf8, at, length) > 0xFF || length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

void TruncateUtf8(std::string& text, size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return;
    }
    size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    text.resize(cut);
}

std::string Latin1ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const unsigned char c : text) {
        AppendUtf8(out, c);
    }
    return out;
}

std::string Utf8ToLatin1(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        size_t length;
        const uint32_t code = DecodeUtf8(text, at, length);
        out += length != 0 && code <= 0xFF ? static_cast<char>(code) : '?';
        at += length != 0 ? length : 1;
    }
    return out;
}

void AppendUtf8(std::string& out, uint32_t code) {
    if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
        code = kReplacement;
    }
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    const size_t units = bytes.size() / 2;
    const auto unit = [&](size_t i) -> uint32_t {
        const auto a = static_cast<unsigned char>(bytes[2 * i]);
        const auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
        return bigEndian ? uint32_t(a) << 8 | b : uint32_t(b) << 8 | a;
    };
    for (size_t i = 0; i < units; ++i) {
        const uint32_t first = unit(i);
        if (first >= 0xD800 && first <= 0xDBFF && i + 1 < units) {
            const uint32_t second = unit(i + 1);
            if (second >= 0xDC00 && second <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, first);  // a lone surrogate becomes U+FFFD there
    }
    return out;
}

}  // namespace sw
