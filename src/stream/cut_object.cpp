#include "stream/cut_object.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "stream/counted_string.h"
#include "stream/document_file.h"
#include "stream/file_errors.h"
#include "stream/file_names.h"
#include "stream/file_stream.h"
#include "stream/lazy_file_stream.h"
#include "stream/memory_stream.h"
#include "stream/regular_file.h"

namespace sw {
namespace {

constexpr size_t kMagicLength = 16;

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return "";
    }
    const size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

CreateFailure FailureOf(ReadOpenResult result) {
    switch (result) {
        case ReadOpenResult::Opened:
            return CreateFailure::None;
        case ReadOpenResult::NotFound:
            return CreateFailure::NotFound;
        case ReadOpenResult::Folder:
            return CreateFailure::Folder;
        case ReadOpenResult::NotRegular:
            return CreateFailure::NotRegular;
        case ReadOpenResult::Failed:
            return CreateFailure::CannotOpen;
    }
    return CreateFailure::CannotOpen;
}

}  // namespace

std::unique_ptr<ByteStream> OpenSourceStream(const std::string& fileName, CreateFailure* why) {
    CreateFailure ignored;
    CreateFailure& failure = why != nullptr ? *why : ignored;
    failure = CreateFailure::None;
    std::unique_ptr<FileStream> stream;
    try {
        stream = std::make_unique<FileStream>(fileName, FileMode::OpenRead);
    } catch (const FileRefusedError& refused) {
        failure = FailureOf(refused.Reason());
        return nullptr;
    } catch (const FileError&) {
        failure = FailureOf(ProbeRegularFile(fileName));
        if (failure == CreateFailure::None) {
            failure = CreateFailure::CannotOpen;  // it came back between the two looks
        }
        return nullptr;
    }
    if (stream->Size() >= kMaxSourceSize) {
        failure = CreateFailure::TooLarge;
        return nullptr;
    }
    return std::make_unique<LazyFileStream>(std::move(stream), LazyFileStream::Use::Source);
}

namespace {

// A new empty index as the options ask; nullptr when its temporary file cannot be made.
std::unique_ptr<ByteStream> CreateIndexStream(const CutObjectOptions& options,
                                              std::string& indexFileName) {
    indexFileName.clear();
    if (!options.IndexAsFileStream) {
        return std::make_unique<MemoryStream>();
    }
    const std::string name = TempIndexFileName(options.TempFolder);
    if (name.empty()) {
        return nullptr;
    }
    try {
        auto stream = std::make_unique<FileStream>(name, FileMode::Create);
        indexFileName = name;
        return std::make_unique<LazyFileStream>(std::move(stream), LazyFileStream::Use::ReadWrite);
    } catch (const FileError&) {
        ::unlink(name.c_str());
        return nullptr;
    }
}

// The 25-byte frame record, field by field and little-endian like the rest of the file, whatever
// the host's byte order or the struct's layout.
void WriteFrameInfo(ByteStream& stream, const TFrameInfo& info) {
    stream.WriteByte(info.Version);
    stream.WriteByte(info.Layer);
    stream.WriteInt32(info.Bitrate);
    stream.WriteInt32(info.SampleRate);
    stream.WriteByte(info.ChannelMode);
    stream.WriteInt32(info.ModeExtension);
    stream.WriteByte(info.Padding);
    stream.WriteByte(info.Crc);
    stream.WriteByte(info.Private);
    stream.WriteByte(info.Copyright);
    stream.WriteByte(info.Original);
    stream.WriteByte(info.Emphasis);
    stream.WriteInt32(info.FrameLength);
}

TFrameInfo ReadFrameInfo(ByteStream& stream) {
    TFrameInfo info{};
    info.Version = stream.ReadByte();
    info.Layer = stream.ReadByte();
    info.Bitrate = stream.ReadInt32();
    info.SampleRate = stream.ReadInt32();
    info.ChannelMode = stream.ReadByte();
    info.ModeExtension = stream.ReadInt32();
    info.Padding = stream.ReadByte();
    info.Crc = stream.ReadByte();
    info.Private = stream.ReadByte();
    info.Copyright = stream.ReadByte();
    info.Original = stream.ReadByte();
    info.Emphasis = stream.ReadByte();
    info.FrameLength = stream.ReadInt32();
    return info;
}

// The summary fields a scan can have written. Time codes, play times and wave formats are
// computed from them, so a record that no scan writes is refused before anything uses it.
//
// No frame plays longer than its bytes take at the lowest bitrate (8 kbit/s, 1000 bytes a
// second). The stored time is a float sum rounded after every frame, and rounding to nearest
// adds less than twice a frame's duration at each step, so twice that bound holds for every
// scan. A dropped count of -1 is what a scan stores when it found no frame (and what older
// versions stored for a file that ends on a lone header), so it stays valid.
bool SummaryIsSound(const TCutObject& cut) {
    const bool noFrame = cut.FrameInfo == kNoFrame;
    const double longest = 2.0 * cut.FileSize / 1000.0;
    return (noFrame || IsValidFrameInfo(cut.FrameInfo)) && std::isfinite(cut.PlayTime) &&
           cut.PlayTime >= 0 && cut.PlayTime <= longest && cut.FileSize >= 0 &&
           cut.DroppedFrames >= -1;
}

int32_t EntryAt(const std::vector<uint8_t>& index, size_t entry) {
    return static_cast<int32_t>(HeaderWordFromBytes(index.data() + 4 * entry));
}

// Offsets must rise strictly and each header's four bytes must lie inside the file; anything
// else would later lead lookups outside the source.
bool IndexIsSound(const std::vector<uint8_t>& index, int64_t fileSize) {
    const size_t count = index.size() / 4;
    int64_t previous = -1;
    for (size_t i = 0; i < count; ++i) {
        const int64_t offset = EntryAt(index, i);
        if (offset <= previous || offset + 4 > fileSize) {
            return false;
        }
        previous = offset;
    }
    return true;
}

}  // namespace

int32_t TCutObject::FrameCount() const {
    return IndexStream ? static_cast<int32_t>(IndexStream->Size() / 4) : 0;
}

std::string CreateFailureText(CreateFailure failure, const std::string& fileName) {
    switch (failure) {
        case CreateFailure::None:
            return "";
        case CreateFailure::TooLarge:
            return "The file " + fileName +
                   " is 2 GiB or larger; frame positions cannot address files of that size";
        case CreateFailure::NotFound:
            return ReadOpenFailureText(ReadOpenResult::NotFound, fileName);
        case CreateFailure::CannotOpen:
            return ReadOpenFailureText(ReadOpenResult::Failed, fileName);
        case CreateFailure::Folder:
            return ReadOpenFailureText(ReadOpenResult::Folder, fileName);
        case CreateFailure::NotRegular:
            return ReadOpenFailureText(ReadOpenResult::NotRegular, fileName);
    }
    return "";
}

TCutObject* CreateCutObject(const std::string& fileName, const CutObjectOptions& options,
                            CreateFailure* failure) {
    std::unique_ptr<ByteStream> source = OpenSourceStream(fileName, failure);
    if (!source) {
        return nullptr;
    }
    auto* cut = new TCutObject;
    cut->FileName = fileName;
    cut->Name = DisplayName(fileName);
    cut->FileStream = std::move(source);
    cut->IndexStream = CreateIndexStream(options, cut->IndexFileName);
    if (!cut->IndexStream) {
        cut->FileStream.reset();
    }
    return cut;
}

std::string TempIndexFileName(const std::string& tempFolder) {
    std::string folder = tempFolder;
    if (folder.empty()) {
        folder = SystemTempFolder();
    }
    if (folder.back() != '/') {
        folder += '/';
    }
    std::string pattern = folder + "~hlXXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        return "";
    }
    ::close(fd);
    return Trim(pattern);
}

int SaveCutObject(TCutObject* cut, const std::string& indexFileName) {
    if (cut == nullptr) {
        return 5;
    }
    // Through a temporary file renamed over the target: a failed save keeps the previous index,
    // and a source that is open is never replaced by an index. No wait for the disk: an index
    // only spares a scan, and one that a crash damaged fails LoadCutObject's checks and is
    // scanned anew.
    WriteDocumentFile(
        indexFileName,
        [cut](ByteStream& out) {
            out.WriteBuffer(kIndexFileMagic, kMagicLength);
            WriteCountedString(out, cut->FileName);
            WriteCountedString(out, cut->Name);
            out.WriteInt32(cut->FileSize);
            out.WriteBuffer(&cut->PlayTime, 4);
            WriteFrameInfo(out, cut->FrameInfo);
            WriteCountedString(out, cut->Tag.Title);
            WriteCountedString(out, cut->Tag.Artist);
            WriteCountedString(out, cut->Tag.Album);
            WriteCountedString(out, cut->Tag.Year);
            WriteCountedString(out, cut->Tag.Comment);
            out.WriteByte(cut->Tag.Genre);
            out.WriteByte(cut->Tag.Track);
            out.WriteInt32(cut->DroppedFrames);
            out.WriteByte(cut->Vbr ? 1 : 0);
            out.WriteByte(cut->HasTag ? 1 : 0);
            out.WriteByte(cut->CompletelyScanned ? 1 : 0);
            if (cut->IndexStream) {
                const int64_t length = cut->IndexStream->Size();
                out.WriteInt32(static_cast<int32_t>(length));
                if (length > 0) {
                    cut->IndexStream->Seek(0, SeekOrigin::Begin);
                    out.CopyFrom(*cut->IndexStream, length);
                }
                cut->IndexStream->Seek(0, SeekOrigin::End);
            } else {
                out.WriteInt32(0);
            }
        },
        ReplacementFile::Commit::Fast);
    return 0;
}

TCutObject* LoadCutObject(const std::string& indexFileName, const CutObjectOptions& options) {
    CutObjectPtr cut(new TCutObject);
    try {
        // FileStream refuses a FIFO or device here without waiting on it; a missing file is
        // an open error too, and both end in nullptr below.
        FileStream in(indexFileName, FileMode::OpenRead);
        char magic[kMagicLength];
        if (in.Read(magic, kMagicLength) != static_cast<int64_t>(kMagicLength) ||
            std::memcmp(magic, kIndexFileMagic, kMagicLength) != 0) {
            return nullptr;
        }
        cut->FileName = ReadCountedString(in);
        cut->Name = ReadCountedString(in);
        cut->FileSize = in.ReadInt32();
        in.ReadBuffer(&cut->PlayTime, 4);
        cut->FrameInfo = ReadFrameInfo(in);
        cut->Tag.Title = ReadCountedString(in);
        cut->Tag.Artist = ReadCountedString(in);
        cut->Tag.Album = ReadCountedString(in);
        cut->Tag.Year = ReadCountedString(in);
        cut->Tag.Comment = ReadCountedString(in);
        cut->Tag.Genre = in.ReadByte();
        cut->Tag.Track = in.ReadByte();
        cut->DroppedFrames = in.ReadInt32();
        cut->Vbr = in.ReadByte() != 0;
        cut->HasTag = in.ReadByte() != 0;
        cut->CompletelyScanned = in.ReadByte() != 0;
        if (!SummaryIsSound(*cut)) {
            return nullptr;
        }
        const int32_t length = in.ReadInt32();
        // Checked before anything is allocated: the length must fit what the file still holds.
        const int64_t remaining = in.Size() - in.Position();
        if (length < 0 || length % 4 != 0 || length > remaining) {
            return nullptr;
        }
        std::vector<uint8_t> index(static_cast<size_t>(length));
        in.ReadBuffer(index.data(), length);
        if (!IndexIsSound(index, cut->FileSize)) {
            return nullptr;
        }
        cut->FileStream = OpenSourceStream(cut->FileName);
        // The source may have shrunk or been replaced since the index was saved. The index is
        // then of no use, but the file still is: it comes back without an index, and the
        // project bin offers to scan it again, as for an index file that holds none.
        // Every entry already lies below FileSize, so only a smaller source needs the walk again.
        const int64_t sourceSize = cut->FileStream ? cut->FileStream->Size() : cut->FileSize;
        const bool stale = sourceSize < cut->FileSize && !IndexIsSound(index, sourceSize);
        if (length > 0 && !stale) {
            if (!options.IndexAsFileStream) {
                // The bytes just read become the index: a project of many long files would
                // otherwise pay a second copy, and its page faults, for each.
                cut->IndexFileName.clear();
                cut->IndexStream = std::make_unique<MemoryStream>(std::move(index));
            } else {
                cut->IndexStream = CreateIndexStream(options, cut->IndexFileName);
                if (cut->IndexStream) {
                    cut->IndexStream->WriteBuffer(index.data(), length);
                }
            }
            if (cut->IndexStream) {
                cut->MarkIn = 0;
                cut->MarkOut = length / 4 - 1;
            }
        }
    } catch (const FileError&) {
        return nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return cut.release();
}

void ReleaseCutObjectFiles(TCutObject* cut) {
    if (cut != nullptr) {
        ReleaseFile(cut->FileStream.get());
        ReleaseFile(cut->IndexStream.get());
    }
}

void FreeCutObject(TCutObject* cut) {
    if (cut == nullptr) {
        return;
    }
    cut->FileStream.reset();
    cut->IndexStream.reset();
    if (!cut->IndexFileName.empty()) {
        ::unlink(cut->IndexFileName.c_str());
    }
    delete cut;
}

void CopyScanSummary(const TCutObject& from, TCutObject& to) {
    to.FileSize = from.FileSize;
    to.PlayTime = from.PlayTime;
    to.FrameInfo = from.FrameInfo;
    to.Tag = from.Tag;
    to.HasTag = from.HasTag;
    to.Vbr = from.Vbr;
    to.DroppedFrames = from.DroppedFrames;
    to.CompletelyScanned = from.CompletelyScanned;
}

int32_t FrameOffset(TCutObject* cut, int32_t frame) {
    if (cut == nullptr || !cut->IndexStream) {
        return kNoOffset;
    }
    const int32_t last = cut->FrameCount() - 1;
    if (last < 0) {
        return kNoOffset;
    }
    const int32_t entry = frame > last ? last : (frame < 0 ? 0 : frame);
    cut->IndexStream->Seek(int64_t(entry) * 4, SeekOrigin::Begin);
    return cut->IndexStream->ReadInt32();
}

TFrameInfo FrameHeader(TCutObject* cut, int32_t frame) {
    if (cut == nullptr || !cut->FileStream) {
        return kNoFrame;
    }
    const int32_t offset = FrameOffset(cut, frame);
    if (offset == kNoOffset) {
        return kNoFrame;
    }
    cut->FileStream->Seek(offset, SeekOrigin::Begin);
    uint8_t bytes[4];
    if (cut->FileStream->Read(bytes, 4) != 4) {
        return kNoFrame;
    }
    return DecodeFrameHeader(HeaderWordFromBytes(bytes));
}

}  // namespace sw
