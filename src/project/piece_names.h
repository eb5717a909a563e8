#pragma once

#include <string>

namespace sw {

// A cue name in the form a sheet's cues get, "NN - Title": its number and its title. Number is
// 0 (and Title the whole name) for any other name.
struct PieceNumbering {
    int Number = 0;
    std::string Title;
};
PieceNumbering NumberedName(const std::string& name);

// The file a piece of a split is written to: "NN - Title.<extension>", with the cue's own number
// and title when its name has the sheet form, else with its place in the split (from 1) and the
// whole name. NN has at least two digits. Safe as SafePieceFileName makes it.
std::string PieceFileName(const std::string& cueName, int position, const std::string& extension);

// A name that can be created in any folder: the folder export's nine characters
// (" * / : < > ? \ |) and every control character made "_", a leading "." made "_" (no hidden
// file, never "." or ".."), and the name cut, at a whole UTF-8 character, so that it and
// "." + extension fit the 255 bytes a file name may have.
std::string SafePieceFileName(const std::string& name, const std::string& extension);

}  // namespace sw
