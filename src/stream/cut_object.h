#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "stream/byte_stream.h"
#include "stream/frame_header.h"
#include "stream/id3_tag.h"

namespace sw {

inline constexpr char kIndexFileMagic[] = "Slicewell4-Index";  // 16 bytes, no terminator
inline constexpr int32_t kNoOffset = 2147483647;
// Offsets in the index and everywhere else are signed 32-bit: sources must stay below this.
inline constexpr int64_t kMaxSourceSize = 2147483648LL;

// One imported source file: its stream, its frame index (one little-endian 32-bit file offset
// per frame), the scan summary, the tag and the marks. Not thread-safe: every lookup moves the
// streams, so only one thread uses a cut object at a time.
//
// The source stream (and the stream of a file-based index) opens its file when it is used and
// closes it when the work ends (ReleaseCutObjectFiles) or when many other files are open, so a
// bin of thousands of entries holds a few descriptors, not thousands. The source stays held
// (IsHeldSource) for the cut object's whole life, open or not.
struct TCutObject {
    std::string FileName;
    std::string IndexFileName;  // temporary file backing a file-based index; "" in memory
    std::string Name;
    int32_t FileSize = 0;
    float PlayTime = 0;
    TFrameInfo FrameInfo{};
    TID3Tag Tag;
    int32_t MarkIn = 0;
    int32_t MarkOut = 0;
    int32_t DroppedFrames = 0;
    bool Vbr = false;
    bool HasTag = false;
    bool CompletelyScanned = false;
    std::unique_ptr<ByteStream> FileStream;
    std::unique_ptr<ByteStream> IndexStream;

    int32_t FrameCount() const;  // index size / 4, 0 without an index
};

// What a cue read from a CUE sheet knows besides its range: what its piece's tags say. Shared
// by nothing but the cue; project and cue files do not keep it.
struct CueSheetFacts {
    std::string Name;   // the name the import gave the cue; a cue renamed since goes by its name
    std::string Title;  // the track's TITLE
    std::string Performer;  // the track's PERFORMER, else the sheet's
    std::string Album;      // the sheet's TITLE
    std::string Year;       // the sheet's REM DATE
    std::string Genre;      // the sheet's REM GENRE
};

// A named, inclusive frame range of a cut object (not owned).
struct TCueObject {
    TCutObject* CutObject = nullptr;
    std::string Name;
    int32_t MarkIn = 0;
    int32_t MarkOut = 0;
    std::shared_ptr<const CueSheetFacts> Sheet = nullptr;  // only for a cue read from a CUE sheet
};

// What the stream model needs of the settings: the caller reads "IndexAsFileStream" and
// "TempFolder" and passes them in, so the stream model depends on nothing above it.
struct CutObjectOptions {
    bool IndexAsFileStream = false;  // the index in a temporary file instead of in memory
    std::string TempFolder;          // where that file goes; "" for the system's temporary folder
};

// Why CreateCutObject returned none, for callers that show it.
enum class CreateFailure { None, NotFound, TooLarge, CannotOpen, Folder, NotRegular };

// A new cut object ready to be scanned, or nullptr when the file is missing, a folder or no
// regular file (a FIFO or device is refused without being waited on), cannot be opened or is
// 2 GiB or larger (failure says which). The index follows options; when it cannot be created
// the object comes back without streams.
TCutObject* CreateCutObject(const std::string& fileName, const CutObjectOptions& options,
                            CreateFailure* failure = nullptr);
// The user's text for a CreateCutObject failure: it says "is a folder" or "is not a regular
// file" where that was the reason.
std::string CreateFailureText(CreateFailure failure, const std::string& fileName);

// Reads an index file. nullptr when it is missing or no regular file, has the wrong magic, is
// truncated or holds what no scan writes: a negative or odd index length, one longer than the
// file, offsets not rising or outside the recorded size, a frame info no valid header decodes
// to, a play time that is negative or not finite, negative sizes or a dropped count below -1.
// The index stream follows options.
TCutObject* LoadCutObject(const std::string& indexFileName, const CutObjectOptions& options);
// Writes the index file through the document writer (WriteDocumentFile: a temporary file renamed
// over the target when complete, the target's own rules for links and special files). Returns 5
// without a cut object; file errors are thrown.
int SaveCutObject(TCutObject* cut, const std::string& indexFileName);
// Closes the streams, deletes a temporary index file and frees the record. nullptr is allowed.
void FreeCutObject(TCutObject* cut);
// Closes the files behind the cut object's streams until they are next used, where a piece of
// work on it ends (an import, a playback). nullptr is allowed.
void ReleaseCutObjectFiles(TCutObject* cut);

// The source stream CreateCutObject gives a cut object: opened now, as a check, and held as a
// source from now on; nullptr when the file is missing, no regular file (a FIFO is refused
// without being waited on), cannot be opened or is 2 GiB or larger (failure says which).
std::unique_ptr<ByteStream> OpenSourceStream(const std::string& fileName,
                                             CreateFailure* failure = nullptr);

// Copies what a scan learns of a file (size, play time, frame info, tag, dropped frames, VBR,
// whether it ran to the end) from one cut object to another; names, marks and streams stay.
void CopyScanSummary(const TCutObject& from, TCutObject& to);

// The offset of a frame; a frame past the last yields the last frame's. 2147483647 without a
// cut object.
int32_t FrameOffset(TCutObject* cut, int32_t frame);
// The decoded header of a frame; all zero without a cut object.
TFrameInfo FrameHeader(TCutObject* cut, int32_t frame);

// A new unique temporary file "~hl..." in tempFolder (the system's temporary folder when "");
// "" when it cannot be created.
std::string TempIndexFileName(const std::string& tempFolder);

// Owner for code that frees through FreeCutObject.
struct CutObjectDeleter {
    void operator()(TCutObject* cut) const { FreeCutObject(cut); }
};
using CutObjectPtr = std::unique_ptr<TCutObject, CutObjectDeleter>;

}  // namespace sw
