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
    }
    return name;
}

}  // namespace sw
