#include "project/source_opening.h"

#include "engine/operation_error.h"
#include "engine/scan.h"
#include "engine/wave_header.h"
#include "stream/file_names.h"
#include "stream/regular_file.h"
#include "stream/status.h"

namespace sw {

void CheckAudioKind(const std::string& fileName) {
    const std::string kind = FileKind(fileName);
    if (kind == "wav") {
        if (FileExists(fileName) && !IsMpegWaveFile(fileName)) {
            throw OperationError(kStatusFailed, "Slicewell only supports MP3 encoded wave-files: " +
                                                    fileName + " has another format");
        }
    } else if (kind == "m3i" || kind == "m3q" || kind == "m3p" || kind == "m3u" || kind == "pls") {
        throw OperationError(kStatusFailed, fileName + " is a ." + kind + " file, not MPEG audio");
    }
}

CutObjectPtr CreateSource(const std::string& fileName, const CutObjectOptions& options) {
    CreateFailure failure = CreateFailure::None;
    CutObjectPtr cut(CreateCutObject(AbsolutePath(fileName), options, &failure));
    if (!cut) {
        throw OperationError(
            failure == CreateFailure::NotFound ? kStatusFileNotFound : kStatusFailed,
            CreateFailureText(failure, fileName));
    }
    return cut;
}

OpenedSource ScanSource(const std::string& fileName, const CutObjectOptions& options,
                        OperationFrontEnd& frontEnd) {
    OpenedSource source;
    source.cut = CreateSource(fileName, options);
    TCutObject& cut = *source.cut;
    if (!cut.FileStream || !cut.IndexStream) {
        source.status = kStatusFailed;
        return source;
    }
    const WorkerTask task{WorkerTask::Kind::Scan, cut.FileName, cut.FileStream->Size()};
    source.status =
        frontEnd.Run(task, [&cut](WorkerControl& control) { return ScanFrames(cut, control); });
    cut.CompletelyScanned = source.status == kStatusOk;
    return source;
}

CutObjectPtr LoadIndexedSource(const std::string& fileName, const CutObjectOptions& options,
                               OperationFrontEnd& frontEnd) {
    const std::string absolute = AbsolutePath(fileName);
    // A folder or FIFO says what it is, and is refused before anything waits on it.
    if (const ReadOpenResult probe = ProbeRegularFile(absolute);
        probe != ReadOpenResult::Opened && probe != ReadOpenResult::Failed) {
        throw OperationError(
            probe == ReadOpenResult::NotFound ? kStatusFileNotFound : kStatusFailed,
            ReadOpenFailureText(probe, fileName));
    }
    const std::string indexName = IndexFileBeside(absolute);
    IndexRejection why = IndexRejection::None;
    CutObjectPtr cut = LoadIndexFor(indexName, absolute, options, &why);
    if (!cut && why != IndexRejection::Missing) {
        frontEnd.Note("not using " + indexName + ": " + IndexRejectionText(why) +
                      "; scanning instead");
    }
    return cut;
}

OpenedSource OpenSource(const std::string& fileName, const CutObjectOptions& options,
                        OperationFrontEnd& frontEnd) {
    OpenedSource source;
    source.cut = LoadIndexedSource(fileName, options, frontEnd);
    if (source.cut) {
        source.fromIndex = true;
        return source;
    }
    return ScanSource(fileName, options, frontEnd);
}

}  // namespace sw
