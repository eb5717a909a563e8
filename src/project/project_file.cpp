#include "project/project_file.h"

#include <algorithm>
#include <cstring>

#include "stream/counted_string.h"
#include "stream/document_file.h"
#include "stream/file_errors.h"
#include "stream/file_names.h"
#include "stream/file_stream.h"
#include "stream/regular_file.h"

namespace sw {

namespace {

constexpr int kMagicSize = 16;
constexpr int64_t kLeastNameBytes = 2;
constexpr int64_t kLeastCueBytes = 2 + 2 + 4 + 4;

// How many of count entries of at least leastBytes each the rest of the stream can hold.
size_t EntriesThatFit(ByteStream& stream, int32_t count, int64_t leastBytes) {
    const int64_t remaining = stream.Size() - stream.Position();
    return static_cast<size_t>(std::clamp<int64_t>(count, 0, remaining / leastBytes));
}

void ReadTag(ByteStream& stream, TID3Tag& tag) {
    tag.Title = ReadCountedString(stream);
    tag.Artist = ReadCountedString(stream);
    tag.Album = ReadCountedString(stream);
    tag.Year = ReadCountedString(stream);
    tag.Comment = ReadCountedString(stream);
    tag.Genre = stream.ReadByte();
    tag.Track = stream.ReadByte();
}

// One cue record, or false when the data ends inside it.
bool ReadCue(ByteStream& stream, ProjectFileCue& cue) {
    try {
        cue.FileName = ReadCountedString(stream);
        cue.Name = ReadCountedString(stream);
        cue.MarkIn = stream.ReadInt32();
        cue.MarkOut = stream.ReadInt32();
        return true;
    } catch (const StreamReadError&) {
        return false;
    }
}

}  // namespace

ProjectReadResult ReadProject(ByteStream& stream, ProjectFileContents& contents) {
    char magic[kMagicSize];
    if (stream.Read(magic, kMagicSize) != kMagicSize ||
        std::memcmp(magic, kProjectFileMagic, kMagicSize) != 0) {
        return ProjectReadResult::BadSignature;
    }
    TProjectProperties& p = contents.Properties;
    p.Comment = ReadCountedString(stream);
    ReadTag(stream, p.Tag);
    p.Private = stream.ReadByte();
    p.Copyright = stream.ReadByte();
    p.Original = stream.ReadByte();
    p.ExportFlags = stream.ReadInt32();

    // Every name costs at least its two count bytes, so a file count larger than what remains
    // is a broken file; it still fails by the short read below, only without reserving for it.
    const int32_t fileCount = stream.ReadInt32();
    contents.Files.reserve(EntriesThatFit(stream, fileCount, kLeastNameBytes));
    for (int32_t i = 0; i < fileCount; ++i) {
        contents.Files.push_back(ReadCountedString(stream));
    }

    const int32_t cueCount = stream.ReadInt32();
    contents.Cues.reserve(EntriesThatFit(stream, cueCount, kLeastCueBytes));
    for (int32_t i = 0; i < cueCount; ++i) {
        ProjectFileCue cue;
        if (!ReadCue(stream, cue)) {
            contents.UnreadCues = cueCount - i;
            break;
        }
        contents.Cues.push_back(std::move(cue));
    }
    return ProjectReadResult::Ok;
}

ProjectReadResult ReadProjectFile(const std::string& fileName, ProjectFileContents& contents) {
    if (ProbeRegularFile(fileName) == ReadOpenResult::NotFound) {
        return ProjectReadResult::NotFound;
    }
    FileStream stream(fileName, FileMode::OpenRead);  // refuses what is not a regular file
    return ReadProject(stream, contents);
}

void WriteProject(ByteStream& stream, const ProjectFileContents& contents) {
    const TProjectProperties& p = contents.Properties;
    stream.WriteBuffer(kProjectFileMagic, kMagicSize);
    WriteCountedString(stream, p.Comment);
    WriteCountedString(stream, p.Tag.Title);
    WriteCountedString(stream, p.Tag.Artist);
    WriteCountedString(stream, p.Tag.Album);
    WriteCountedString(stream, p.Tag.Year);
    WriteCountedString(stream, p.Tag.Comment);
    stream.WriteByte(p.Tag.Genre);
    stream.WriteByte(p.Tag.Track);
    stream.WriteByte(p.Private);
    stream.WriteByte(p.Copyright);
    stream.WriteByte(p.Original);
    stream.WriteInt32(p.ExportFlags);
    stream.WriteInt32(static_cast<int32_t>(contents.Files.size()));
    for (const std::string& file : contents.Files) {
        WriteCountedString(stream, file);
    }
    stream.WriteInt32(static_cast<int32_t>(contents.Cues.size()));
    for (const ProjectFileCue& cue : contents.Cues) {
        WriteCountedString(stream, cue.FileName);
        WriteCountedString(stream, cue.Name);
        stream.WriteInt32(cue.MarkIn);
        stream.WriteInt32(cue.MarkOut);
    }
}

void WriteProjectFile(const std::string& fileName, const ProjectFileContents& contents) {
    WriteDocumentFile(fileName,
                      [&contents](ByteStream& stream) { WriteProject(stream, contents); });
}

}  // namespace sw
