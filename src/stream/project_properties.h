#pragma once

#include <cstdint>
#include <string>

#include "stream/id3_tag.h"

namespace sw {

inline constexpr int32_t kExportTag = 1;    // write the tag to the exported file
inline constexpr int32_t kExportFlags = 2;  // stamp the header flags into every frame

// Per-project settings that travel with a project and drive its export.
struct TProjectProperties {
    std::string FileName;
    std::string Comment;
    TID3Tag Tag;
    uint8_t Private = 0;
    uint8_t Copyright = 0;
    uint8_t Original = 0;
    int32_t ExportFlags = kExportTag | kExportFlags;

    // Back to a new project's values (tag and flags both exported).
    void Clear() { *this = TProjectProperties{}; }
};

}  // namespace sw
