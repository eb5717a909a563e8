#include "project/text_lines.h"

namespace sw {

std::string WithSlashes(std::string_view line) {
    std::string name(line);
    if (name.find('/') == std::string::npos) {
        for (char& c : name) {
            if (c == '\\') {
                c = '/';
            }
        }
        // A line that starts with "\" names a path below the root of the playlist's drive,
        // which here is the list's own folder, not the root of the file system.
        name.erase(0, name.find_first_not_of('/'));
    }
    return name;
}

}  // namespace sw
