#include "project/index_beside.h"

#include <sys/stat.h>

#include "stream/file_errors.h"
#include "stream/file_names.h"
#include "stream/frame_header.h"

namespace sw {

namespace {

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// A stale index of a file rewritten to the same size would point into the middle of frames;
// checking the two ends catches that without reading the whole index.
bool FrameEndsInside(TCutObject& cut, int32_t frame) {
    const int32_t offset = FrameOffset(&cut, frame);
    const int64_t size = cut.FileStream->Size();
    if (offset < 0 || offset > size - 4) {
        return false;
    }
    cut.FileStream->Seek(offset, SeekOrigin::Begin);
    uint8_t bytes[4];
    if (cut.FileStream->Read(bytes, 4) != 4) {
        return false;
    }
    const uint32_t word = HeaderWordFromBytes(bytes);
    if (!IsValidFrameHeader(word)) {
        return false;
    }
    return offset + int64_t{DecodeFrameHeader(word).FrameLength} <= size;
}

// A file rewritten in place keeps its size but not its modification time. Nanoseconds count:
// a scan and the save of its index can fall within one second, and so can an edit after it.
bool ModifiedAfter(const std::string& fileName, const std::string& reference) {
    struct stat file {};
    struct stat ref {};
    if (::stat(fileName.c_str(), &file) != 0 || ::stat(reference.c_str(), &ref) != 0) {
        return true;
    }
    if (file.st_mtim.tv_sec != ref.st_mtim.tv_sec) {
        return file.st_mtim.tv_sec > ref.st_mtim.tv_sec;
    }
    return file.st_mtim.tv_nsec > ref.st_mtim.tv_nsec;
}

IndexRejection Check(TCutObject& cut, const std::string& sourceName,
                     const std::string& indexFileName) {
    if (!SameFile(cut.FileName, sourceName)) {
        return FileExists(cut.FileName) ? IndexRejection::OtherSource
                                        : IndexRejection::SourceMissing;
    }
    if (!cut.FileStream) {
        return IndexRejection::SourceMissing;
    }
    if (cut.FileStream->Size() != cut.FileSize) {
        return IndexRejection::SizeDiffers;
    }
    if (ModifiedAfter(sourceName, indexFileName)) {
        return IndexRejection::SourceModified;
    }
    if (!cut.IndexStream || cut.FrameCount() == 0) {
        return IndexRejection::NoIndex;
    }
    if (!cut.CompletelyScanned) {
        return IndexRejection::IncompleteScan;
    }
    if (!FrameEndsInside(cut, 0) || !FrameEndsInside(cut, cut.FrameCount() - 1)) {
        return IndexRejection::FramesDontMatch;
    }
    return IndexRejection::None;
}

}  // namespace

std::string IndexFileBeside(const std::string& sourceName) {
    return ChangeFileExt(sourceName, "m3i");
}

std::string IndexRejectionText(IndexRejection why) {
    switch (why) {
        case IndexRejection::None:
            return "the index matches its source";
        case IndexRejection::Missing:
            return "there is no index file";
        case IndexRejection::Unreadable:
            return "the index file cannot be read";
        case IndexRejection::OtherSource:
            return "the index was made for another file";
        case IndexRejection::SourceMissing:
            return "the file the index was made for does not exist";
        case IndexRejection::SizeDiffers:
            return "the file's size differs from the size the index was made for";
        case IndexRejection::NoIndex:
            return "the index holds no frames";
        case IndexRejection::IncompleteScan:
            return "the index comes from an incomplete scan";
        case IndexRejection::SourceModified:
            return "the file was modified after the index was made";
        case IndexRejection::FramesDontMatch:
            return "the index does not point at the file's frames";
    }
    return "the index cannot be used";
}

CutObjectPtr LoadIndexFor(const std::string& indexFileName, const std::string& sourceName,
                          const CutObjectOptions& options, IndexRejection* why) {
    IndexRejection result = IndexRejection::Missing;
    CutObjectPtr cut;
    if (FileExists(indexFileName)) {
        try {
            cut.reset(LoadCutObject(indexFileName, options));
        } catch (const FileError&) {
            cut.reset();  // an index that cannot be opened is only a reason to scan
        }
        result = cut ? Check(*cut, sourceName, indexFileName) : IndexRejection::Unreadable;
        if (result != IndexRejection::None) {
            cut.reset();
        } else {
            cut->MarkIn = 0;
            cut->MarkOut = cut->FrameCount() - 1;
        }
    }
    if (why) {
        *why = result;
    }
    return cut;
}

}  // namespace sw
