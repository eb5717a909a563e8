#pragma once

#include <string>

#include "stream/file_names.h"

namespace sw {

// The folder of a name chosen in a file dialog, without its trailing "/" ("/" for the root), for
// "LastOpenFolder" and "LastSaveFolder".
inline std::string ChosenFolder(const std::string& fileName) {
    std::string folder = ExtractFilePath(fileName);
    if (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

}  // namespace sw
