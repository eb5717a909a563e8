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

// One imported source file: its open stream, its frame index (one little-endian 32-bit file
// offset per frame), the scan summary, the tag and the marks. Not thread-safe: every lookup moves
// the streams, so only one thread uses a cut object at a time.
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

// A named, inclusive frame range of a cut object (not owned).
struct TCueObject {
    TCutObject* CutObject = nullptr;
    std::string Name;
    int32_t MarkIn = 0;
    int32_t MarkOut = 0;
};

// Why CreateCutObject returned none, for callers that show it.
enum class CreateFailure { None, NotFound, TooLarge, CannotOpen };

// A new cut object ready to be scanned, or nullptr when the file is missing, cannot be opened or
// is 2 GiB or larger (failure says which). The index follows "IndexAsFileStream"; when the index
// cannot be created the object comes back without streams.
TCutObject* CreateCutObject(const std::string& fileName, CreateFailure* failure = nullptr);
// The user's text for a CreateCutObject failure.
std::string CreateFailureText(CreateFailure failure, const std::string& fileName);

// Reads an index file. nullptr when it is missing, has the wrong magic, is truncated or holds an
// index that cannot be right (negative or odd length, longer than the file, offsets not rising).
TCutObject* LoadCutObject(const std::string& indexFileName);
// Writes the index file through a temporary file renamed over the target when complete.
// Returns 5 without a cut object; file errors are thrown.
int SaveCutObject(TCutObject* cut, const std::string& indexFileName);
// Closes the streams, deletes a temporary index file and frees the record. nullptr is allowed.
void FreeCutObject(TCutObject* cut);

// The offset of a frame; a frame past the last yields the last frame's. 2147483647 without a
// cut object.
int32_t FrameOffset(TCutObject* cut, int32_t frame);
// The decoded header of a frame; all zero without a cut object.
TFrameInfo FrameHeader(TCutObject* cut, int32_t frame);

// A new unique temporary file "~hl..." in "TempFolder"; "" when it cannot be created.
std::string TempIndexFileName();

// Owner for code that frees through FreeCutObject.
struct CutObjectDeleter {
    void operator()(TCutObject* cut) const { FreeCutObject(cut); }
};
using CutObjectPtr = std::unique_ptr<TCutObject, CutObjectDeleter>;

}  // namespace sw
