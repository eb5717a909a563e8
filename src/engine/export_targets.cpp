#include "engine/export_targets.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "stream/counted_string.h"
#include "stream/cut_object.h"
#include "stream/document_file.h"
#include "stream/file_errors.h"
#include "stream/file_names.h"
#include "stream/file_stream.h"

namespace sw {

namespace {

// The source file name an index file records, or "" when the file is no index.
std::string StoredSourceName(const std::string& indexFileName) {
    try {
        FileStream stream(indexFileName, FileMode::OpenRead);
        char magic[16];
        if (stream.Read(magic, sizeof magic) != int64_t(sizeof magic) ||
            std::memcmp(magic, kIndexFileMagic, sizeof magic) != 0) {
            return "";
        }
        return ReadCountedString(stream);
    } catch (const FileError&) {
        return "";
    }
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

ExportTargetKind ExportTargetKindOf(const std::string& fileName) {
    const std::string kind = FileKind(fileName);
    if (kind == "wav") {
        return ExportTargetKind::Wave;
    }
    if (kind == "m3i") {
        return ExportTargetKind::IndexFile;
    }
    if (kind == "m3q") {
        return ExportTargetKind::CueFile;
    }
    if (kind == "m3p" || kind == "m3u" || kind == "pls") {
        return ExportTargetKind::Document;
    }
    return ExportTargetKind::Mpeg;
}

namespace {

// Why a name of this kind is no audio target, or "" when it may be one.
std::string KindProblem(const std::string& fileName, const std::string& shownName) {
    switch (ExportTargetKindOf(fileName)) {
        case ExportTargetKind::CueFile:
            return (shownName == fileName ? "" : shownName + " is a cue file; ") +
                   "cue files (.m3q) cannot be exported yet; choose an .mp3 or .wav target";
        case ExportTargetKind::IndexFile:
        case ExportTargetKind::Document:
            return shownName + " has the extension of the program's ." + FileKind(fileName) +
                   " files; an audio export never writes one: choose an .mp3 or .wav target";
        case ExportTargetKind::Mpeg:
        case ExportTargetKind::Wave:
            break;
    }
    return "";
}

}  // namespace

std::string AudioTargetProblem(const std::string& targetName, const std::string& projectFile) {
    if (targetName.empty()) {
        return "the target file name is empty";
    }
    std::string problem = KindProblem(targetName, targetName);
    if (!problem.empty()) {
        return problem;
    }
    // A link named like audio may lead to a playlist; a hard link or a renamed copy of a project
    // still begins with its signature.
    const std::string linked = LinkedFile(targetName);
    if (!linked.empty() && linked != targetName) {
        problem = KindProblem(linked, targetName + " leads to " + linked + ", which");
        if (!problem.empty()) {
            return problem;
        }
    }
    if (!projectFile.empty() && (AbsolutePath(projectFile) == AbsolutePath(targetName) ||
                                 SameFile(projectFile, targetName))) {
        return targetName + " is the project file being exported";
    }
    const std::string document = ProgramDocumentBySignature(targetName);
    if (!document.empty()) {
        return targetName + " is one of the program's " + document +
               "s; an audio export never writes one: choose another target";
    }
    return "";
}

void RemoveIndexDescribing(const std::string& targetName) {
    const std::string companion = ChangeFileExt(targetName, "m3i");
    if (companion == targetName || !FileExists(companion) || IsHeldSource(companion)) {
        return;
    }
    const std::string described = StoredSourceName(companion);
    if (described.empty()) {
        return;
    }
    if (described == AbsolutePath(targetName) || SameFile(described, targetName)) {
        std::remove(companion.c_str());
    }
}

}  // namespace sw
