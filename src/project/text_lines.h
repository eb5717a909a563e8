#pragma once

#include <string>
#include <string_view>

namespace sw {

// Calls each(line) for every line of a text file's bytes, in order; lines end at LF, CR LF or
// CR (lists and sheets come from every system), the last one also at the end of the text. Stops
// as soon as each returns false, and returns whether it ran to the end.
template <typename Each>
bool ForEachLine(std::string_view text, Each each) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        if (!each(text.substr(start, end - start))) {
            return false;
        }
        start = end;
        if (start < text.size() && text[start] == '\r') {
            ++start;
        }
        if (start < text.size() && text[start] == '\n') {
            ++start;
        }
    }
    return true;
}

// A file name written where "\" separates folders (a line with "\" and no "/") with "/" in their
// place, and without the leading "\" that names the root of the list's drive (taken as the
// list's folder); a name that has a "/" keeps its "\", which on this system can be part of a
// name.
std::string WithSlashes(std::string_view name);

}  // namespace sw
