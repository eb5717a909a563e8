#include <cstdio>
#include <string>

#include "autocut/auto_cut_search.h"
#include "cli_error.h"
#include "commands.h"
#include "document_session.h"
#include "json_writer.h"
#include "options.h"
#include "progress.h"
#include "split_exporter.h"
#include "stream/file_names.h"
#include "stream/status.h"
#include "terminal_text.h"

namespace sw::cli {

namespace {

constexpr char kHelp[] =
    "Usage: slicewell-cli autocut FILE [--threshold N] [--json] [--project OUT.m3p]\n"
    "           [--split DIR] [--format mp3|wav|m3q] [--force] [--raw] [--no-index]\n"
    "\n"
    "Searches FILE (MP3, a WAV file holding MPEG Layer-3 frames, or the source of an index file)\n"
    "for runs of sound between silent frames, as the program's auto-cutter does, and prints one\n"
    "line per cue found: its name (\"Auto<n>: <file's name>\"), first and last frame, and length\n"
    "as a time code, separated by tabs. A frame is silent when at least N percent of its\n"
    "neighbouring byte pairs are equal. FILE is imported as the project bin imports it: from the\n"
    "index file beside it when that matches, else scanned (and the index file written beside it).\n"
    "\n"
    "  --threshold N   1 to 100 (20); 100 finds no silence\n"
    "  --json          print a JSON array of {name, mark_in, mark_out, time} instead\n"
    "  --project OUT   save a project file holding FILE and the cues found\n"
    "  --split DIR     write each cue into DIR (made when missing) as \"<cue name>.mp3\", the\n"
    "                  name's \" * / : < > ? \\ | made \"_\"; an existing file is not replaced\n"
    "  --format F      what --split writes: mp3 (the frames), wav (the frames behind a WAV\n"
    "                  header) or m3q (cue files)\n"
    "  --force         let --split replace existing files\n"
    "  --raw           --split copies the frames byte for byte, without the clean cut's header\n"
    "                  frame and lead-in (see export --help)\n"
    "  --no-index      write no index file beside a scanned FILE\n";

const std::vector<OptionSpec> kOptions = {
    {"--threshold", true}, {"--json", false},  {"--project", true},   {"--split", true},
    {"--format", true},    {"--force", false}, {"--no-index", false}, {"--raw", false},
};

int32_t ThresholdOption(const ParsedArguments& parsed) {
    const auto text = parsed.Value("--threshold");
    if (!text) {
        return kDefaultAutocutThreshold;
    }
    bool digits = !text->empty() && text->size() <= 3;
    for (const char c : *text) {
        digits = digits && c >= '0' && c <= '9';
    }
    const int value = digits ? std::stoi(*text) : 0;
    if (value < kMinAutocutThreshold || value > kMaxAutocutThreshold) {
        throw UsageError("--threshold needs a percentage from 1 to 100, not '" + *text + "'");
    }
    return value;
}

void PrintCues(CueListModel& cues, bool json) {
    if (json) {
        JsonArray array;
        for (int row = 0; row < cues.Count(); ++row) {
            const TCueObject& cue = *cues.At(row);
            JsonObject object;
            object.Add("name", cue.Name);
            object.Add("mark_in", cue.MarkIn);
            object.Add("mark_out", cue.MarkOut);
            object.Add("time", cues.RowTexts(row).Time);
            array.Add(object);
        }
        std::printf("%s\n", array.Text().c_str());
        return;
    }
    for (int row = 0; row < cues.Count(); ++row) {
        const CueRowTexts texts = cues.RowTexts(row);
        std::printf("%s\t%s\t%s\t%s\n", TerminalText(texts.Name).c_str(), texts.From.c_str(),
                    texts.To.c_str(), texts.Time.c_str());
    }
}

int StatusOf(const AutoCutResult& result) {
    switch (result.Outcome) {
        case AutoCutOutcome::Completed:
            return kStatusOk;
        case AutoCutOutcome::Aborted:
            return kStatusAborted;
        case AutoCutOutcome::SearchError:
            return kStatusUnknownError;
        default:
            return kStatusFailed;
    }
}

}  // namespace

int RunAutocut(const Arguments& args) {
    const ParsedArguments parsed = ParseArguments(args, kOptions, 1, 1);
    if (parsed.help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    const std::string& fileName = parsed.positional[0];
    const int32_t threshold = ThresholdOption(parsed);
    const std::string kind = FileKind(fileName);
    if (kind != "mp3" && kind != "wav" && kind != "m3i") {
        throw UsageError(
            "autocut searches an .mp3 file, an MPEG .wav file or the source of an "
            ".m3i index file, not '" +
            fileName + "'");
    }
    const auto project = parsed.Value("--project");
    if (project) {
        CheckDocumentTarget(*project, "m3p", "project file");
    }
    const auto split = parsed.Value("--split");
    const std::string format = parsed.Value("--format").value_or("mp3");
    if (format != "mp3" && format != "wav" && format != "m3q") {
        throw UsageError("--format is mp3, wav or m3q, not '" + format + "'");
    }
    if (!split && (parsed.Has("--format") || parsed.Has("--force") || parsed.Has("--raw"))) {
        throw UsageError("--format, --force and --raw belong to --split");
    }
    if (split) {
        if (split->empty()) {
            throw UsageError("--split needs a folder");
        }
        CheckSplitFolder(*split);
    }

    DocumentSession session(!parsed.Has("--no-index"));
    const ImportOutcome imported = session.Import({fileName});
    if (imported.stopped) {
        std::fprintf(stderr, "slicewell-cli: %s; nothing was searched\n",
                     StatusText(kStatusAborted).c_str());
        return kStatusAborted;
    }
    if (session.Bin().Count() == 0) {
        return imported.AllAdded() ? int{kStatusFailed} : ImportExitStatus(imported);
    }
    // An aborted scan leaves an entry with a partial index: searching that would report cues of
    // part of the file as if they were all.
    if (!imported.AllAdded()) {
        std::fprintf(stderr, "slicewell-cli: %s was not scanned completely\n", fileName.c_str());
        return ImportExitStatus(imported);
    }
    TCutObject* cut = session.Bin().AutoCutTarget(0);
    if (cut == nullptr) {
        return kStatusFailed;  // the bin said why
    }
    CueListModel& cues = session.Cues();
    WorkerControl control;
    cues.BeginBatch();
    // The cues wait in the batch until the search has ended; this thread does not touch the
    // model meanwhile.
    const AutoCutResult result = RunWithProgress("Searching", cut->FrameCount(), control, [&] {
        return ProcessFile(
            cut, threshold,
            [&cues](TCutObject* of, const std::string& name, int32_t in, int32_t out) {
                return cues.AddCue(of, name, in, out);
            },
            control);
    });
    cues.EndBatch();
    const int status = StatusOf(result);
    PrintCues(cues, parsed.Has("--json"));
    if (status != kStatusOk) {
        std::fprintf(stderr, "slicewell-cli: %s\n",
                     result.Message.empty() ? StatusText(status).c_str() : result.Message.c_str());
        if (status == kStatusAborted) {
            std::fprintf(stderr,
                         "slicewell-cli: the cues above are those of the frames searched; "
                         "nothing was written\n");
        }
        return status;
    }
    if (project) {
        session.Document().SaveProject(AbsolutePath(*project));
    }
    if (split) {
        MakeSplitFolder(*split);
        const SplitOutcome outcome = SplitCues(cues, *split, format, parsed.Has("--force"),
                                               ExportStyleOf(!parsed.Has("--raw")));
        std::fprintf(stderr, "slicewell-cli: %d of %d cues written to %s\n", outcome.written,
                     cues.Count(), split->c_str());
        if (outcome.status != kStatusOk) {
            if (outcome.stopped) {
                std::fprintf(stderr, "slicewell-cli: %s\n", StatusText(kStatusAborted).c_str());
            }
            return outcome.status;
        }
    }
    return 0;
}

}  // namespace sw::cli
