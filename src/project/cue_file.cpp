#include "project/cue_file.h"

#include <cstring>
#include <stdexcept>

#include "project/regular_file_bytes.h"
#include "stream/counted_string.h"
#include "stream/document_file.h"
#include "stream/memory_stream.h"

namespace sw {

namespace {

constexpr int kMagicSize = 16;
// The longest cue file the layout allows: magic, two full counted strings, two frame numbers.
constexpr int64_t kMaxCueFileSize = kMagicSize + 2 * (2 + 0xFFFF) + 8;

int64_t Remaining(ByteStream& stream) {
    return stream.Size() - stream.Position();
}

// The checks come before each read, so a count larger than what is left costs nothing.
bool ReadText(ByteStream& stream, std::string& text) {
    uint8_t count[2];
    if (Remaining(stream) < 2 || stream.Read(count, 2) != 2) {
        return false;
    }
    const int64_t length = int64_t(count[0]) | int64_t(count[1]) << 8;
    if (Remaining(stream) < length) {
        return false;
    }
    text.resize(static_cast<size_t>(length));
    return stream.Read(text.data(), length) == length;
}

bool ReadFrame(ByteStream& stream, int32_t& frame) {
    uint8_t b[4];
    if (Remaining(stream) < 4 || stream.Read(b, 4) != 4) {
        return false;
    }
    frame = static_cast<int32_t>(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 |
                                 uint32_t(b[3]) << 24);
    return true;
}

}  // namespace

bool ReadCueRecord(ByteStream& stream, CueFileRecord& record) {
    char magic[kMagicSize];
    if (Remaining(stream) < kMagicSize || stream.Read(magic, kMagicSize) != kMagicSize ||
        std::memcmp(magic, kCueFileMagic, kMagicSize) != 0) {
        return false;
    }
    return ReadText(stream, record.SourcePath) && ReadText(stream, record.Name) &&
           ReadFrame(stream, record.MarkIn) && ReadFrame(stream, record.MarkOut);
}

void WriteCueRecord(ByteStream& stream, const CueFileRecord& record) {
    stream.WriteBuffer(kCueFileMagic, kMagicSize);
    WriteCountedString(stream, record.SourcePath);
    WriteCountedString(stream, record.Name);
    stream.WriteInt32(record.MarkIn);
    stream.WriteInt32(record.MarkOut);
}

std::unique_ptr<TCueObject> LoadCueFile(const std::string& fileName, std::string& sourcePath) {
    std::string bytes;
    // A file longer than any cue file can be is still read as far as a cue file reaches.
    if (ReadRegularFile(fileName, bytes, kMaxCueFileSize, /*prefixOnly=*/true) !=
        RegularFileRead::Ok) {
        return nullptr;
    }
    MemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    CueFileRecord record;
    if (!ReadCueRecord(stream, record)) {
        return nullptr;
    }
    auto cue = std::make_unique<TCueObject>();
    cue->Name = std::move(record.Name);
    cue->MarkIn = record.MarkIn;
    cue->MarkOut = record.MarkOut;
    sourcePath = std::move(record.SourcePath);
    return cue;
}

bool SaveCueFile(const TCueObject* cue, const std::string& fileName) {
    if (cue == nullptr || cue->CutObject == nullptr) {
        return false;
    }
    SaveCueFile(CueFileRecord{cue->CutObject->FileName, cue->Name, cue->MarkIn, cue->MarkOut},
                fileName);
    return true;
}

void SaveCueFile(const CueFileRecord& record, const std::string& fileName) {
    // Checked before the temporary file exists, so an unwritable record leaves nothing behind.
    if (record.SourcePath.size() > 0xFFFF || record.Name.size() > 0xFFFF) {
        throw std::length_error("A text of more than 65535 bytes cannot be stored");
    }
    WriteDocumentFile(fileName, [&](ByteStream& stream) { WriteCueRecord(stream, record); });
}

}  // namespace sw
