// The auto-cut search of one file, as the bin runs it on an entry: the index comes from the
// index file beside the source when one fits it (the usual case for a file already in a
// project), otherwise from a scan. Prints what it found so that a run can be checked.
//   autocut_bench FILE [--threshold N] [--scan | --save-index]
// --scan ignores an index file and scans first; --save-index scans and writes the index file
// beside the source for the runs that follow, without searching.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "autocut/auto_cut_search.h"
#include "engine/scan.h"
#include "project/index_beside.h"
#include "stream/cut_object.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: autocut_bench FILE [--threshold N] [--scan | --save-index]\n");
        return 2;
    }
    const std::string file = argv[1];
    int32_t threshold = sw::kDefaultAutocutThreshold;
    bool scan = false;
    bool saveIndex = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--scan") == 0) {
            scan = true;
        } else if (std::strcmp(argv[i], "--save-index") == 0) {
            scan = saveIndex = true;
        } else if (std::strcmp(argv[i], "--threshold") == 0 && i + 1 < argc) {
            threshold = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "autocut_bench: unknown argument %s\n", argv[i]);
            return 2;
        }
    }

    sw::CutObjectPtr cut;
    if (!scan) {
        cut = sw::LoadIndexFor(sw::IndexFileBeside(file), file, {});
    }
    if (!cut) {
        cut.reset(sw::CreateCutObject(file, {}));
        if (!cut) {
            std::fprintf(stderr, "autocut_bench: cannot open %s\n", file.c_str());
            return 1;
        }
        sw::WorkerControl control;
        if (sw::ScanFrames(*cut, control) != 0) {
            std::fprintf(stderr, "autocut_bench: the scan of %s failed\n", file.c_str());
            return 1;
        }
    }

    if (saveIndex) {
        cut->CompletelyScanned = true;
        return sw::SaveCutObject(cut.get(), sw::IndexFileBeside(file));
    }

    int32_t cues = 0;
    int64_t frames = 0;
    sw::WorkerControl control;
    const sw::AutoCutResult result = sw::ProcessFile(
        cut.get(), threshold,
        [&](sw::TCutObject*, const std::string&, int32_t in, int32_t out) {
            ++cues;
            frames += out - in + 1;
            return true;
        },
        control);
    if (result.Outcome != sw::AutoCutOutcome::Completed) {
        std::fprintf(stderr, "autocut_bench: %s\n", result.Message.c_str());
        return 1;
    }
    std::printf("%d frames searched, %d cues holding %lld frames\n", cut->FrameCount(), cues,
                static_cast<long long>(frames));
    return 0;
}
