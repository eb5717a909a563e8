#include "sources.h"

#include <cstdio>

#include "cli_error.h"
#include "engine/scan.h"
#include "engine/wave_header.h"
#include "engine/worker_control.h"
#include "progress.h"
#include "project/index_beside.h"
#include "stream/file_names.h"
#include "stream/status.h"

namespace sw::cli {

void CheckAudioKind(const std::string& fileName) {
    const std::string kind = FileKind(fileName);
    if (kind == "wav") {
        if (FileExists(fileName) && !IsMpegWaveFile(fileName)) {
            throw CommandError(kStatusFailed, "Slicewell only supports MP3 encoded wave-files: " +
                                                  fileName + " has another format");
        }
    } else if (kind == "m3i" || kind == "m3q" || kind == "m3p" || kind == "m3u" || kind == "pls") {
        throw CommandError(kStatusFailed, fileName + " is a ." + kind + " file, not MPEG audio");
    }
}

CutObjectPtr CreateSource(const std::string& fileName) {
    CreateFailure failure = CreateFailure::None;
    CutObjectPtr cut(CreateCutObject(AbsolutePath(fileName), &failure));
    if (!cut) {
        throw CommandError(failure == CreateFailure::NotFound ? kStatusFileNotFound : kStatusFailed,
                           CreateFailureText(failure, fileName));
    }
    return cut;
}

LoadedSource ScanSource(const std::string& fileName) {
    LoadedSource source;
    source.cut = CreateSource(fileName);
    TCutObject& cut = *source.cut;
    if (!cut.FileStream || !cut.IndexStream) {
        source.status = kStatusFailed;
        return source;
    }
    WorkerControl control;
    source.status = RunWithProgress("Scanning", cut.FileStream->Size(), control,
                                    [&] { return ScanFrames(cut, control); });
    cut.CompletelyScanned = source.status == kStatusOk;
    return source;
}

CutObjectPtr LoadIndexedSource(const std::string& fileName) {
    const std::string absolute = AbsolutePath(fileName);
    if (!FileExists(absolute)) {
        throw CommandError(kStatusFileNotFound,
                           CreateFailureText(CreateFailure::NotFound, fileName));
    }
    const std::string indexName = IndexFileBeside(absolute);
    IndexRejection why = IndexRejection::None;
    CutObjectPtr cut = LoadIndexFor(indexName, absolute, &why);
    if (!cut && why != IndexRejection::Missing) {
        std::fprintf(stderr, "slicewell-cli: not using %s: %s; scanning instead\n",
                     indexName.c_str(), IndexRejectionText(why).c_str());
    }
    return cut;
}

LoadedSource OpenSource(const std::string& fileName) {
    LoadedSource source;
    source.cut = LoadIndexedSource(fileName);
    if (source.cut) {
        source.fromIndex = true;
        return source;
    }
    return ScanSource(fileName);
}

}  // namespace sw::cli
