#pragma once

// The texts the bin, the cue list and the project document show, exactly as the user sees them
// ("%s" and "%d" filled in where they stand).
namespace sw::texts {

// Captions of the message boxes.
inline constexpr char kErrorCaption[] = "Error";
inline constexpr char kConfirmCaption[] = "Confirm";
inline constexpr char kInformationCaption[] = "Information";
inline constexpr char kWarningCaption[] = "Warning";

// The project bin.
inline constexpr char kUnableToAdd[] = "Unable to add file to project";
inline constexpr char kAbortPendingScans[] = "Do you want to abort all pending scans ?";
inline constexpr char kUnableToFind[] = "Unable to find file %s\r\nDo you want to continue?";
inline constexpr char kUnsupportedFormat[] =
    "Slicewell only supports MP3 encoded wave-files\r\nThe file \"%s\" has another format and "
    "will be skipped";
inline constexpr char kUnableToLoadIndex[] = "Unable to load file from index";
inline constexpr char kSameName[] =
    "The selected file \"%s\" \r\nhas the same name as one in the current project\r\n\r\nDo you "
    "still wish to add it?";
inline constexpr char kFindOriginal[] =
    "Unable to find original file referenced by index\r\nDo you want to find the file yourself ?";
inline constexpr char kSizeDiffers[] =
    "Size of selected file differs from size referenced by index-file\r\nDo you want to rescan "
    "the file ?";
inline constexpr char kScanNow[] =
    "Unable to load MP3 indexes\r\nDo you want to scan for them now ?";
inline constexpr char kScanError[] = "Scan error";
inline constexpr char kOperationAborted[] = "Operation aborted";
inline constexpr char kReadOnlyFolder[] = "Unable to export file to a read-only folder";
inline constexpr char kUnableToSaveBin[] = "Unable to save project bin";
// Ours: an entry whose scan the user declined has no frames to cut, search or export.
inline constexpr char kNoFrameIndex[] =
    "The file \"%s\" has no frame index\r\nRescan it before cutting, auto-cutting or exporting it";
// Ours: a playlist that lists itself, directly or through the playlists it names.
inline constexpr char kPlaylistLoop[] =
    "The playlist \"%s\" names itself, directly or through other playlists\r\nIt is not read "
    "again";

// Ours: an import that names more than it may take (nested playlists multiply).
inline constexpr char kImportLimitReached[] =
    "The import stopped at %s files or playlists, the most one import takes\r\nThe rest of the "
    "list was not imported";
// Ours: CUE sheets. A sheet that cannot be used is refused whole, with the line to fix; tracks
// that could not become cues are listed in one message once the rest is imported.
inline constexpr char kSheetRefused[] = "The cue sheet \"%s\" cannot be imported:\r\n%s";
inline constexpr char kSheetTracksLeft[] =
    "Not every track of the cue sheet \"%s\" was imported:%s";

// The cue list.
inline constexpr char kCueNameFormat[] = "Cue %d: %s";
inline constexpr char kTotalFrames[] = "Total frames: %d";
inline constexpr char kTotalTime[] = "Total time: %s";
inline constexpr char kUnableToImportCue[] = "Unable to import cue file %s";
inline constexpr char kExportSkipped[] = "File export skipped";
// Ours: the folder export's one report of the cues it could not write, one line each.
inline constexpr char kCuesNotExported[] = "%d of the selected cues could not be exported:%s";

// The project document. Ours: a project file that ends inside its cue list.
inline constexpr char kCuesNotRead[] =
    "The project file \"%s\" ends inside its cue list\r\n%d of %d cues could not be read";

// Dialogs.
inline constexpr char kImportTitle[] = "Select file(s) to import";
inline constexpr char kImportFilter[] =
    "All Supported Files|*.mp3;*.wav;*.m3u;*.m3i;*.m3q;*.cue|MP3 Files (*.mp3)|*.mp3|MP3 Indexes "
    "(*.m3i)|*.m3i|MP3 Cues (*.m3q)|*.m3q|Playlists (*.m3u)|*.m3u|Cue sheets (*.cue)|*.cue|WAV "
    "Files (*.wav)|*.wav|All Files (*.*)|*.*";
inline constexpr char kFindSourceFilter[] = "MP3 Files (*.mp3)|*.mp3|All Files (*.*)|*.*";
inline constexpr char kExportFileTitle[] = "Export selected file as";
inline constexpr char kExportFileFilter[] =
    "MP3 Indexes (*.m3i)|*.m3i|MP3 Files (*.mp3)|*.mp3|WAV Files (*.wav)|*.wav|All Files "
    "(*.*)|*.*";
inline constexpr char kSaveBinTitle[] = "Save project-bin as";
inline constexpr char kSaveBinFilter[] = "Playlists (*.m3u)|*.m3u|All Files (*.*)|*.*";
inline constexpr char kImportCuesTitle[] = "Select cue(s) to add";
inline constexpr char kCueFilter[] = "MP3 Cues (*.m3q)|*.m3q|All Files (*.*)|*.*";
inline constexpr char kSaveCueTitle[] = "Save selected cue as";
inline constexpr char kSaveCueFilter[] =
    "MP3 Files (*.mp3)|*.mp3|WAV Files (*.wav)|*.wav|MP3 Cues (*.m3q)|*.m3q|All Files (*.*)|*.*";
inline constexpr char kBrowseFolderTitle[] = "Browse for Folder";
// Ours: the cue list written as a CUE sheet.
inline constexpr char kSaveSheetTitle[] = "Save cue list as cue sheet";
inline constexpr char kSaveSheetFilter[] = "Cue sheets (*.cue)|*.cue|All Files (*.*)|*.*";
inline constexpr char kSheetLooseCues[] =
    "A cue sheet keeps only where each cue starts: read back, a cue runs to the start of the next "
    "one, the last of a file to the file's end. %d cues of the list do not end so, and will come "
    "back longer or shorter:%s";
inline constexpr char kOverwriteBox[] = "Overwrite existing files";

}  // namespace sw::texts
