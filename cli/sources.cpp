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

LoadedSource ScanSource(const std::string& fileName) {
    const std::string absolute = AbsolutePath(fileName);
    CreateFailure failure = CreateFailure::None;
    LoadedSource source;
    source.cut.reset(CreateCutObject(absolute, &failure));
    if (!source.cut) {
        throw CommandError(failure == CreateFailure::NotFound ? kStatusFileNotFound : kStatusFailed,
                           CreateFailureText(failure, fileName));
    }
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

LoadedSource OpenSource(const std::string& fileName) {
    const std::string absolute = AbsolutePath(fileName);
    if (!FileExists(absolute)) {
        throw CommandError(kStatusFileNotFound,
                           CreateFailureText(CreateFailure::NotFound, fileName));
    }
    const std::string indexName = IndexFileBeside(absolute);
    IndexRejection why = IndexRejection::None;
    LoadedSource source;
    source.cut = LoadIndexFor(indexName, absolute, &why);
    if (source.cut) {
        source.fromIndex = true;
        return source;
    }
    if (why != IndexRejection::Missing) {
        std::fprintf(stderr, "slicewell-cli: not using %s: %s; scanning instead\n",
                     indexName.c_str(), IndexRejectionText(why).c_str());
    }
    return ScanSource(fileName);
}

}  // namespace sw::cli
