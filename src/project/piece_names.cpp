#include "project/piece_names.h"

#include <cstdio>

#include "stream/file_names.h"
#include "stream/text_encoding.h"

namespace sw {

namespace {

constexpr size_t kMaxFileName = 255;  // bytes, as Linux file systems allow
constexpr size_t kMaxNumberDigits = 7;

std::string TwoDigits(int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", number);
    return text;
}

}  // namespace

PieceNumbering NumberedName(const std::string& name) {
    size_t digits = 0;
    while (digits < name.size() && name[digits] >= '0' && name[digits] <= '9') {
        ++digits;
    }
    if (digits == 0 || digits > kMaxNumberDigits || name.compare(digits, 3, " - ") != 0 ||
        name.size() == digits + 3) {
        return {0, name};
    }
    const int number = std::stoi(name.substr(0, digits));
    if (number == 0) {
        return {0, name};
    }
    return {number, name.substr(digits + 3)};
}

std::string PieceFileName(const std::string& cueName, int position, const std::string& extension) {
    PieceNumbering numbering = NumberedName(cueName);
    if (numbering.Number == 0) {
        numbering.Number = position;
    }
    return SafePieceFileName(TwoDigits(numbering.Number) + " - " + numbering.Title, extension);
}

std::string SafePieceFileName(const std::string& name, const std::string& extension) {
    std::string safe = SafeFileName(name);
    for (char& c : safe) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            c = '_';
        }
    }
    if (safe.empty()) {
        safe.push_back('_');
    } else if (safe.front() == '.') {
        safe.front() = '_';
    }
    const size_t room = kMaxFileName - 1 - extension.size();
    TruncateUtf8(safe, room);
    safe += '.';
    safe += extension;
    return safe;
}

}  // namespace sw
