#include "project/text_fill.h"

#include <cstring>

namespace sw {

std::string FillText(const char* format, std::initializer_list<std::string> values) {
    std::string out;
    auto value = values.begin();
    for (const char* p = format; *p != '\0'; ++p) {
        if (p[0] == '%' && (p[1] == 's' || p[1] == 'd') && value != values.end()) {
            out += *value++;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

}  // namespace sw
