#include <cstdio>

#include "app/file_properties_report.h"
#include "app/settings/global_settings.h"
#include "cli_error.h"
#include "commands.h"
#include "document_info.h"
#include "json_writer.h"
#include "options.h"
#include "sources.h"
#include "stream/file_names.h"
#include "stream/regular_file.h"
#include "stream/status.h"
#include "stream/taglib/source_tags_reader.h"
#include "summary.h"
#include "terminal_text.h"

namespace sw::cli {

namespace {

constexpr char kHelp[] =
    "Usage: slicewell-cli info FILE [--json]\n"
    "\n"
    "Prints the file properties report of FILE: an audio file is scanned in memory, an index\n"
    "file (.m3i) is read as it is. The file size uses the thousands separator of the LC_NUMERIC\n"
    "locale (\",\" in the C locale); the report is UTF-8. A cue file (.m3q) or a project file\n"
    "(.m3p) is listed instead: its cue, or its properties, files and cues.\n"
    "\n"
    "  --json  print one JSON object instead (for audio and index files, the scan summary)\n";

}  // namespace

int RunInfo(const Arguments& args) {
    const ParsedArguments parsed = ParseArguments(args, {{"--json", false}}, 1, 1);
    if (parsed.help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    const std::string& fileName = parsed.positional[0];
    const bool json = parsed.Has("--json");
    const std::string kind = FileKind(fileName);
    if (kind == "m3q") {
        return PrintCueFileInfo(fileName, json);
    }
    if (kind == "m3p") {
        return PrintProjectFileInfo(fileName, json);
    }
    LoadedSource source;
    if (kind == "m3i") {
        if (const ReadOpenResult probe = ProbeRegularFile(fileName);
            probe != ReadOpenResult::Opened && probe != ReadOpenResult::Failed) {
            throw CommandError(
                probe == ReadOpenResult::NotFound ? kStatusFileNotFound : kStatusFailed,
                ReadOpenFailureText(probe, fileName));
        }
        source.cut.reset(LoadCutObject(fileName, CutObjectOptionsOf(GlobalSettings())));
        if (!source.cut) {
            throw CommandError(kStatusFailed, "Unable to load file from index " + fileName);
        }
    } else {
        CheckAudioKind(fileName);
        source = ScanSource(fileName);
    }
    // The source's own ID3v2 tag, as the properties window shows it.
    const SourceTags tags = ReadSourceTags(source.cut->FileName);
    if (json) {
        JsonObject object;
        object.Add("kind", kind == "m3i" ? "index" : "audio");
        AddScanSummary(object, *source.cut, source.status);
        if (tags.HasId3v2) {
            JsonObject v2;
            v2.Add("title", tags.Title);
            v2.Add("artist", tags.Artist);
            object.AddObject("id3v2", v2);
        } else {
            object.AddNull("id3v2");
        }
        std::printf("%s\n", object.Text().c_str());
    } else {
        const std::string report =
            TerminalText(FilePropertiesReport(*source.cut, UserThousandsSeparator(), &tags),
                         /*keepLineBreaks=*/true);
        std::fwrite(report.data(), 1, report.size(), stdout);
    }
    if (source.status != kStatusOk) {
        std::fprintf(stderr, "slicewell-cli: %s\n", StatusText(source.status).c_str());
    }
    return source.status;
}

}  // namespace sw::cli
