#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "frame_builder.h"

namespace sw::test {

// Frames whose bodies differ (fill = first + n), so a copy in the wrong order or of the wrong
// frame cannot pass a byte comparison.
inline std::vector<std::vector<uint8_t>> DistinctFrames(int count, uint8_t first = 0x10,
                                                        const HeaderSpec& spec = {}) {
    std::vector<std::vector<uint8_t>> frames;
    for (int i = 0; i < count; ++i) {
        frames.push_back(MakeFrame(spec, static_cast<uint8_t>(first + i)));
    }
    return frames;
}

// frames[from..to] back to back.
inline std::vector<uint8_t> Join(const std::vector<std::vector<uint8_t>>& frames, int from,
                                 int to) {
    std::vector<uint8_t> out;
    for (int i = from; i <= to; ++i) {
        Append(out, frames[static_cast<size_t>(i)]);
    }
    return out;
}

// The raw text of a member of a flat JSON object ("10", "true", "\"name\"", "null"), or "" when
// the key is absent.
inline std::string JsonField(const std::string& json, const std::string& key) {
    const std::string marker = "\"" + key + "\":";
    const size_t at = json.find(marker);
    if (at == std::string::npos) {
        return "";
    }
    size_t begin = at + marker.size();
    size_t end = begin;
    if (json[begin] == '"') {
        for (end = begin + 1; end < json.size() && json[end] != '"'; ++end) {
            if (json[end] == '\\') {
                ++end;
            }
        }
        return json.substr(begin, end + 1 - begin);
    }
    if (json[begin] == '{') {
        return json.substr(begin, json.find('}', begin) + 1 - begin);
    }
    end = json.find_first_of(",}", begin);
    return json.substr(begin, end - begin);
}

// A file an export writes before it takes the target's name ("~hl" and six characters) is left
// in folder.
inline bool HasTemporaryFile(const std::string& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string().rfind("~hl", 0) == 0) {
            return true;
        }
    }
    return false;
}

inline std::vector<uint8_t> Slice(const std::vector<uint8_t>& bytes, size_t from, size_t count) {
    return std::vector<uint8_t>(bytes.begin() + static_cast<long>(from),
                                bytes.begin() + static_cast<long>(from + count));
}

}  // namespace sw::test
