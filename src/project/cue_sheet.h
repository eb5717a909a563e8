#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sw {

// Times in a CUE sheet are minutes, seconds and frames of 1/75 s ("mm:ss:ff"); they are kept as
// a count of those 1/75 s.
inline constexpr int kSheetFramesPerSecond = 75;

// One FILE line of a sheet.
struct CueSheetFile {
    std::string Name;  // as written (UTF-8), "\" already taken as "/" where there is no "/"
    std::string Type;  // upper-cased: "MP3", "WAVE", "BINARY" ...
    int Line = 0;
};

// One TRACK of a sheet. Its INDEX 01 may follow a later FILE line than the TRACK line itself
// (sheets that put a track's pregap at the end of the previous file do that), so the track
// belongs to the file in effect at its INDEX 01.
struct CueSheetTrack {
    int Number = 0;
    bool Audio = true;  // the data type is AUDIO
    std::string Title;
    std::string Performer;
    std::string Songwriter;
    int File = -1;       // index into CueSheet::Files of the track's INDEX 01
    int64_t Start = -1;  // INDEX 01, in 1/75 s from the start of that file
    int Line = 0;        // the TRACK line
    int StartLine = 0;   // the INDEX 01 line
};

// What a sheet says, texts in UTF-8. Disc-level texts are those before the first TRACK;
// Date, Genre and Comment come from "REM DATE", "REM GENRE" and "REM COMMENT" there.
struct CueSheet {
    std::string Title;
    std::string Performer;
    std::string Songwriter;
    std::string Catalog;
    std::string Date;
    std::string Genre;
    std::string Comment;
    std::vector<CueSheetFile> Files;
    std::vector<CueSheetTrack> Tracks;
};

// Where and why a sheet was refused: Line counts from 1 (0 for the sheet as a whole).
struct CueSheetError {
    int Line = 0;
    std::string Message;
    // "line 7: ..." or the message alone.
    std::string Text() const;
};

// The sheet's bytes as UTF-8 text: a UTF-8 byte order mark is dropped, UTF-16 with its byte
// order mark is converted, and bytes that are not well-formed UTF-8 are read as Latin-1 (the
// whole text then, as the sheet was written in one encoding).
std::string CueSheetText(std::string_view bytes);

// Reads a sheet. Keywords in any case; values quoted or not (the outer quotes of a value are
// taken off, "\"" inside it is a quote, other quotes stay); lines end at LF, CR LF or CR. REM,
// FLAGS, ISRC, CDTEXTFILE, PREGAP, POSTGAP and unknown keywords are accepted and not kept (but
// for the disc's REM DATE, GENRE and COMMENT). Minutes may have any number of digits.
//
// Refused, with the line: a NUL byte, a text longer than 65535 bytes (no name or title can be
// stored that long), TRACK before any FILE, INDEX outside a track, a malformed number or time
// (seconds 0-59, frames 0-74), a FILE without a type or with an unclosed quote, a track without
// INDEX 01 or with two, a track that starts before the one before it in the same file, and a
// sheet without any track. Never throws for what the bytes say.
bool ParseCueSheet(std::string_view bytes, CueSheet& sheet, CueSheetError& error);

// "mm:ss:ff", minutes with at least two digits (more when the time is 100 minutes or longer).
std::string SheetTimeText(int64_t time);

enum class CueSheetRead { Ok, NotFound, NotRegular, CannotOpen, TooLarge, Invalid };

// Reads and parses a sheet file (at most 16 MiB; a FIFO or device is refused without waiting on
// it). error is filled for Invalid.
CueSheetRead ReadCueSheetFile(const std::string& fileName, CueSheet& sheet, CueSheetError& error);

}  // namespace sw
