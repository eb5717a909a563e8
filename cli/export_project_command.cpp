#include <cstdio>
#include <map>
#include <vector>

#include "cli_error.h"
#include "commands.h"
#include "engine/export.h"
#include "engine/worker_control.h"
#include "export_target.h"
#include "json_writer.h"
#include "options.h"
#include "progress.h"
#include "project/project_file.h"
#include "sources.h"
#include "stream/file_names.h"
#include "stream/status.h"

namespace sw::cli {

namespace {

constexpr char kHelp[] =
    "Usage: slicewell-cli export-project PROJECT.m3p TARGET [--strict] [--json]\n"
    "\n"
    "Exports the cues of a project, in the project's order, into one file: plain MPEG audio, or\n"
    "WAV when TARGET's extension starts with \"wav\". The project's export flags decide whether\n"
    "its ID3v1.1 tag is appended and its private/copyright/original bits are stamped into every\n"
    "frame. Each source's index file beside it is used when it matches; otherwise the source\n"
    "is scanned in memory. Relative source names are taken from the project's folder. Cues\n"
    "whose source is missing or cannot be scanned are skipped with a warning.\n"
    "\n"
    "  --strict  exit with status 1 when a cue was skipped (the export is still written)\n"
    "  --json    print one JSON object instead of the summary\n";

// A source once opened serves every cue on it; nullptr marks one that could not be opened.
using SourceMap = std::map<std::string, CutObjectPtr>;

TCutObject* SourceFor(SourceMap& sources, const std::string& fileName) {
    const auto found = sources.find(fileName);
    if (found != sources.end()) {
        return found->second.get();
    }
    CutObjectPtr& slot = sources[fileName];
    if (!FileExists(fileName)) {
        return nullptr;
    }
    try {
        CheckAudioKind(fileName);
        LoadedSource source = OpenSource(fileName);
        if (source.status == kStatusAborted) {
            throw CommandError(kStatusAborted, StatusText(kStatusAborted));
        }
        if (source.status != kStatusOk) {
            std::fprintf(stderr, "slicewell-cli: warning: scanning %s: %s\n", fileName.c_str(),
                         StatusText(source.status).c_str());
        } else {
            slot = std::move(source.cut);
        }
    } catch (const CommandError& error) {
        if (error.ExitCode() == kStatusAborted) {
            throw;
        }
        std::fprintf(stderr, "slicewell-cli: warning: %s\n", error.what());
    }
    return slot.get();
}

}  // namespace

int RunExportProject(const Arguments& args) {
    const ParsedArguments parsed =
        ParseArguments(args, {{"--strict", false}, {"--json", false}}, 2, 2);
    if (parsed.help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    const std::string& projectName = parsed.positional[0];
    const std::string& targetName = parsed.positional[1];
    CheckExportTarget(targetName);
    if (FileKind(targetName) == "m3i") {
        throw UsageError("an index file holds one source; choose an .mp3 or .wav target");
    }

    ProjectFileContents project;
    switch (ReadProjectFile(projectName, project)) {
        case ProjectReadResult::NotFound:
            throw CommandError(kStatusFileNotFound, "File not found: " + projectName);
        case ProjectReadResult::BadSignature:
            throw CommandError(kStatusFailed, projectName + " is not a Slicewell project file");
        case ProjectReadResult::Ok:
            break;
    }
    if (project.Cues.empty()) {
        throw CommandError(kStatusFailed, projectName + " has no cues; nothing to export");
    }

    const std::string projectFolder = ExtractFilePath(AbsolutePath(projectName));
    SourceMap sources;
    std::vector<TCueObject> cues;
    cues.reserve(project.Cues.size());
    int skipped = 0;
    int64_t total = 0;
    for (const ProjectFileCue& stored : project.Cues) {
        const std::string fileName = ResolvePath(projectFolder, stored.FileName);
        TCutObject* cut = stored.FileName.empty() ? nullptr : SourceFor(sources, fileName);
        if (!cut) {
            std::fprintf(stderr, "slicewell-cli: warning: cue '%s' skipped: its source %s%s\n",
                         stored.Name.c_str(), fileName.c_str(),
                         FileExists(fileName) ? " cannot be used" : " is missing");
            ++skipped;
            continue;
        }
        cues.push_back(TCueObject{cut, stored.Name, stored.MarkIn, stored.MarkOut});
        if (stored.MarkOut >= stored.MarkIn) {
            total += int64_t{stored.MarkOut} - stored.MarkIn + 1;
        }
    }
    if (cues.empty()) {
        throw CommandError(kStatusFailed,
                           "none of the cues of " + projectName + " can be exported");
    }
    std::vector<const TCueObject*> cueList;
    for (const TCueObject& cue : cues) {
        cueList.push_back(&cue);
    }

    const bool wave = IsWaveTarget(targetName);
    std::unique_ptr<ByteStream> target = CreateExportTarget(targetName);
    WorkerControl control;
    const ExportOutcome outcome = RunWithProgress("Exporting", total, control, [&] {
        return ExportProjectFrames(*target, wave, project.Properties, cueList, control);
    });
    const int64_t bytes = target->Size();
    FinishTarget(target);

    int status = outcome.status;
    if (outcome.waveHeaderFailed) {
        std::fprintf(stderr, "slicewell-cli: Unable to write wave-header\n");
        if (status == kStatusOk) {
            status = kStatusFailed;
        }
    }
    if (parsed.Has("--json")) {
        JsonObject json;
        json.Add("project", AbsolutePath(projectName));
        json.Add("target", AbsolutePath(targetName));
        json.Add("wave", wave);
        json.Add("cues", static_cast<int64_t>(cues.size()));
        json.Add("skipped_cues", skipped);
        json.Add("frames", outcome.framesCopied);
        json.Add("bytes", bytes);
        json.Add("status", status);
        json.Add("status_text", StatusText(status));
        std::printf("%s\n", json.Text().c_str());
    } else {
        std::printf("Exported %zu cues (%d frames, %lld bytes) to %s\n", cues.size(),
                    outcome.framesCopied, static_cast<long long>(bytes), targetName.c_str());
    }
    if (status != kStatusOk) {
        std::fprintf(stderr, "slicewell-cli: %s\n", StatusText(status).c_str());
    } else if (skipped > 0) {
        std::fprintf(stderr, "slicewell-cli: %d of %zu cues skipped\n", skipped,
                     project.Cues.size());
        if (parsed.Has("--strict")) {
            status = kStatusFailed;
        }
    }
    return status;
}

}  // namespace sw::cli
