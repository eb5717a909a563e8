#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "stream/cut_object.h"

namespace sw {

// One TRACK of a sheet we write.
struct SheetTrackOut {
    std::string FileName;  // the source's full path
    std::string Title;
    int64_t Start = 0;  // INDEX 01, in 1/75 s
};

// The sheet: a FILE block for each run of tracks from one file (a file that comes back after
// another gets a block again), "TRACK nn AUDIO" numbered from 01 across the sheet, with TITLE
// and INDEX 01. A file in the sheet's own folder is named bare, any other by its full path; its
// type is WAVE for a ".wav" name, MP3 otherwise. UTF-8 without a byte order mark, every line
// ending with CR LF; line breaks in a title become blanks.
std::string CueSheetFileText(const std::string& sheetPath,
                             const std::vector<SheetTrackOut>& tracks);

// Writes the sheet through the atomic document writer (FileCreateError, StreamWriteError).
void SaveCueSheet(const std::string& fileName, const std::vector<SheetTrackOut>& tracks);

// What a sheet of a cue list holds, and which cues it cannot hold as they are.
struct CueSheetPlan {
    std::vector<SheetTrackOut> Tracks;
    // A sheet keeps where each cue starts; read back, a cue runs to the next one's start, the
    // last of a file to the file's end. The names of the cues that do not run so (a gap or an
    // overlap after them, a last cue short of its file's end, a reversed range).
    std::vector<std::string> Loose;
};

// The tracks of the cues in list order: the cue's name as TITLE, without its leading "NN - "
// when NN is the track number it gets (so a sheet's own cues read back under their names), and
// its first frame's time. Cues without a cut object are left out. Moves the cut objects'
// streams (each file's first frame is looked at once).
CueSheetPlan PlanCueSheet(const std::vector<const TCueObject*>& cues);

}  // namespace sw
