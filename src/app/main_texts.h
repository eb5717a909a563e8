#pragma once

// The texts of the frame window and its commands, exactly as the user sees them.
namespace sw::main_texts {

inline constexpr char kProgramTitle[] = "Slicewell 4";
inline constexpr char kModified[] = "Modified";

// "Error" and "Confirm" are the captions of project/document_texts.h.
inline constexpr char kWarningCaption[] = "Warning";

inline constexpr char kAskNew[] =
    "Current project was modified.\r\nAre you sure you want to start a new project?";
inline constexpr char kAskOpen[] =
    "Current project was modified.\r\nAre you sure you want to open a new one?";
inline constexpr char kAskQuit[] =
    "Current project was modified.\r\nAre you sure you want to quit?";
inline constexpr char kUnableToLoadProject[] = "Unable to load project";
inline constexpr char kUnableToStoreWindow[] = "Unable to store window settings...";

inline constexpr char kProjectFilter[] = "Projects (*.m3p)|*.m3p|All Files (*.*)|*.*";
inline constexpr char kOpenTitle[] = "Select project to open";
inline constexpr char kSaveAsTitle[] = "Save current project as";
inline constexpr char kProjectExtension[] = "m3p";
inline constexpr char kExportFilter[] =
    "MP3 Files (*.mp3)|*.mp3|WAV Files (*.wav)|*.wav|All Files (*.*)|*.*";
inline constexpr char kExportTitle[] = "Export current project as";
inline constexpr char kExportExtension[] = "mp3";
inline constexpr char kAskMismatchedJoin[] =
    "The cues \"%s\" and \"%s\" differ in MPEG version, layer, sample rate or channel "
    "mode.\r\nPlayers misread a file that joins them; it is joined as it is.\r\nExport "
    "anyway?";

inline constexpr char kReadMeName[] = "README.TXT";
// %s: the read-me file's path.
inline constexpr char kUnableToShowReadMe[] =
    "Unable to open %s\r\nNo program is set up to show text files";

}  // namespace sw::main_texts
