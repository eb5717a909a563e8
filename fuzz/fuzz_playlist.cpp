// The playlist reader on the input. Every line it returns is a file line by the reader's own
// rules (not empty, not blanks only, no "#" first but below the drive's root, no line break
// inside, backslashes only beside a slash), and a bin written from those names reads back to the
// same names.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "project/playlist.h"
#include "stream/file_names.h"

namespace {

using sw::fuzz::Check;

bool Blank(const std::string& line) {
    for (const char c : line) {
        if (static_cast<unsigned char>(c) > ' ') {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = sw::PlaylistFileLines(text);
    std::vector<sw::PlaylistEntry> entries;
    for (const std::string& line : lines) {
        // A name may start with "#" only where the line started below the drive's root ("\#a").
        std::string written = line;
        std::replace(written.begin(), written.end(), '/', '\\');
        Check(!line.empty() && !Blank(line) &&
              (line.front() != '#' || text.find("\\" + written) != std::string_view::npos));
        Check(line.find_first_of("\r\n") == std::string::npos);
        Check(line.find('\\') == std::string::npos || line.find('/') != std::string::npos);
        entries.push_back({sw::ResolvePath("/base", line), line, 1.0f});
    }

    // What the bin would write for these names, read again from the same folder.
    const std::vector<std::string> again =
        sw::PlaylistFileLines(sw::PlaylistText("/base/list.m3u", entries));
    Check(again.size() == entries.size());
    for (size_t i = 0; i < again.size(); ++i) {
        Check(sw::ResolvePath("/base", again[i]) == entries[i].FileName);
    }
    return 0;
}
