#pragma once

#include <string>

namespace sw {

// The characters after the last "." of the name, lower-cased, cut to their first three
// ("mp3", "wav", "m3i" ...); "" when the name part has no dot.
std::string FileKind(const std::string& fileName);
// Everything up to and including the last "." replaced by extension; a name without "." gets
// "." and the extension appended. extension is given without the dot.
std::string ChangeFileExt(const std::string& fileName, const std::string& extension);
// The file name without folder and without its last extension.
std::string DisplayName(const std::string& fileName);
// The name part after the last "/".
std::string ExtractFileName(const std::string& fileName);
// The folder part including the trailing "/", "" when there is none.
std::string ExtractFilePath(const std::string& fileName);
// Each of " * / : < > ? \ | replaced by "_".
std::string SafeFileName(const std::string& name);
// A name whose attributes cannot be read counts as read-only.
bool IsReadOnly(const std::string& fileName);
// True for a name that leads to something other than a folder, and for one that cannot be
// followed to its end (a loop of symbolic links, a path longer than the system takes): such a
// file is there, but cannot be opened, and opening it says why.
bool FileExists(const std::string& fileName);
// The absolute form of a name relative to the current folder (no symlinks resolved).
std::string AbsolutePath(const std::string& fileName);
// An absolute name unchanged; a relative one joined to the base folder with one "/".
std::string ResolvePath(const std::string& baseFolder, const std::string& name);
// The system's temporary folder: $TMPDIR trimmed of surrounding blanks when that leaves
// something, else "/tmp".
std::string SystemTempFolder();

}  // namespace sw
