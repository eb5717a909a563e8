#pragma once

#include <string>

namespace sw::cli {

// "info" of the program's own documents: what a cue file (.m3q) or a project file (.m3p) holds,
// read as the program reads it, as text or as one JSON object. Texts are printed as their bytes,
// except the tag's, which are Latin-1 and printed as UTF-8. Returns the exit status; a file that
// is missing, no regular file, or not of its kind ends with a CommandError.
int PrintCueFileInfo(const std::string& fileName, bool json);
int PrintProjectFileInfo(const std::string& fileName, bool json);

}  // namespace sw::cli
