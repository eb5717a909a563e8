#include "json_writer.h"

#include <cmath>
#include <cstdio>

#include "stream/text_encoding.h"

namespace sw::cli {

std::string JsonString(const std::string& bytes) {
    std::string out = "\"";
    for (size_t i = 0; i < bytes.size();) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x80) {
            const size_t length = Utf8SequenceLength(bytes, i);
            if (length > 0) {
                out.append(bytes, i, length);
                i += length;
            } else {
                AppendUtf8(out, c);  // a stray byte is taken as the Latin-1 character it names
                ++i;
            }
            continue;
        }
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += static_cast<char>(c);
                }
        }
        ++i;
    }
    return out + "\"";
}

void JsonObject::Member(const std::string& key, const std::string& json) {
    if (!members_.empty()) {
        members_ += ",";
    }
    members_ += JsonString(key) + ":" + json;
}

void JsonObject::Add(const std::string& key, const std::string& text) {
    Member(key, JsonString(text));
}

void JsonObject::Add(const std::string& key, int64_t number) {
    Member(key, std::to_string(number));
}

void JsonObject::Add(const std::string& key, bool value) {
    Member(key, value ? "true" : "false");
}

void JsonObject::Add(const std::string& key, double number) {
    if (!std::isfinite(number)) {
        AddNull(key);
        return;
    }
    // The process keeps the C locale for LC_NUMERIC, so the decimal point is always ".".
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", number);
    Member(key, text);
}

void JsonObject::AddNull(const std::string& key) {
    Member(key, "null");
}

void JsonObject::AddObject(const std::string& key, const JsonObject& object) {
    Member(key, object.Text());
}

void JsonObject::AddArray(const std::string& key, const JsonArray& array) {
    Member(key, array.Text());
}

void JsonArray::Element(const std::string& json) {
    if (!elements_.empty()) {
        elements_ += ",";
    }
    elements_ += json;
}

}  // namespace sw::cli
