#include "stream/version_flags.h"

namespace sw {

std::string VersionFlagsText(int flags) {
    static constexpr struct {
        int mask;
        const char* name;
    } kFlags[] = {{1, "Debug"}, {2, "Beta"}, {4, "Patched"}, {8, "Private"}, {0x20, "Special"}};
    std::string text;
    for (const auto& flag : kFlags) {
        if ((flags & flag.mask) != 0) {
            if (!text.empty()) {
                text += ", ";
            }
            text += flag.name;
        }
    }
    return text;
}

}  // namespace sw
