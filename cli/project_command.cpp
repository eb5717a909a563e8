#include <cstdint>
#include <cstdio>
#include <string>

#include "cli_error.h"
#include "commands.h"
#include "document_session.h"
#include "options.h"
#include "stream/file_names.h"
#include "stream/id3_tag.h"
#include "tag_text.h"

namespace sw::cli {

namespace {

constexpr char kHelp[] =
    "Usage: slicewell-cli project OUT.m3p ITEM... [--comment TEXT] [--title T] [--artist A]\n"
    "           [--album B] [--year Y] [--tag-comment C] [--genre N] [--track N] [--private]\n"
    "           [--copyright] [--original] [--export-flags N] [--no-index]\n"
    "\n"
    "Makes a project file of the ITEMs, imported in order as files dropped on the project bin:\n"
    "MP3 files and WAV files holding MPEG Layer-3 frames (from the index file beside them when it\n"
    "matches, else scanned), index files (.m3i), playlists (.m3u, their files in turn), cue\n"
    "files (.m3q: the cue goes on the cue list, its source into the bin) and CUE sheets (.cue:\n"
    "their files into the bin, their tracks onto the cue list). An item that is missing\n"
    "or of another kind is reported and the import goes on; the project is written with what was\n"
    "added, and the exit status is 0 only when every item was. OUT.m3p is replaced.\n"
    "\n"
    "The project properties, as a new project has them unless given:\n"
    "  --comment TEXT      the project comment (\"\")\n"
    "  --title T, --artist A, --album B\n"
    "                      the export tag's texts (\"\"; at most 30 Latin-1 characters)\n"
    "  --year Y            (\"\"; at most 4)\n"
    "  --tag-comment C     (\"\"; at most 30)\n"
    "  --genre N           a genre number 0-255 or name (0)\n"
    "  --track N           the ID3v1.1 track 0-255 (0: none)\n"
    "  --private, --copyright, --original\n"
    "                      set that MPEG header flag for the export (clear)\n"
    "  --export-flags N    1 append the tag, 2 stamp the flags, 3 both, 0 neither (3)\n"
    "  --no-index          write no index file beside a scanned source\n";

const std::vector<OptionSpec> kOptions = {
    {"--comment", true},   {"--title", true},       {"--artist", true},    {"--album", true},
    {"--year", true},      {"--tag-comment", true}, {"--genre", true},     {"--track", true},
    {"--private", false},  {"--copyright", false},  {"--original", false}, {"--export-flags", true},
    {"--no-index", false},
};

// A decimal number in min..max, nothing else.
int NumberOption(const std::string& option, const std::string& text, int min, int max) {
    bool digits = !text.empty() && text.size() <= 9;
    for (const char c : text) {
        digits = digits && c >= '0' && c <= '9';
    }
    const int value = digits ? std::stoi(text) : -1;
    if (!digits || value < min || value > max) {
        throw UsageError(option + " needs a number from " + std::to_string(min) + " to " +
                         std::to_string(max) + ", not '" + text + "'");
    }
    return value;
}

// A genre by number, or by its name in any case ("Rock", "rock").
uint8_t GenreOption(const std::string& text) {
    const int genre = GenreNumber(text);
    if (genre >= 0) {
        return static_cast<uint8_t>(genre);
    }
    return static_cast<uint8_t>(NumberOption("--genre", text, 0, 255));
}

// The properties a new project has, with what the options give.
TProjectProperties PropertiesOf(const ParsedArguments& parsed) {
    TProjectProperties properties;
    const auto text = [&parsed](const char* option) { return parsed.Value(option).value_or(""); };
    properties.Comment = ProjectCommentBytes(text("--comment"));
    properties.Tag.Title = TagFieldBytes("--title", text("--title"), 30);
    properties.Tag.Artist = TagFieldBytes("--artist", text("--artist"), 30);
    properties.Tag.Album = TagFieldBytes("--album", text("--album"), 30);
    properties.Tag.Year = TagFieldBytes("--year", text("--year"), 4);
    properties.Tag.Comment = TagFieldBytes("--tag-comment", text("--tag-comment"), 30);
    if (const auto genre = parsed.Value("--genre")) {
        properties.Tag.Genre = GenreOption(*genre);
    }
    if (const auto track = parsed.Value("--track")) {
        properties.Tag.Track = static_cast<uint8_t>(NumberOption("--track", *track, 0, 255));
    }
    properties.Private = parsed.Has("--private") ? 1 : 0;
    properties.Copyright = parsed.Has("--copyright") ? 1 : 0;
    properties.Original = parsed.Has("--original") ? 1 : 0;
    if (const auto flags = parsed.Value("--export-flags")) {
        properties.ExportFlags = NumberOption("--export-flags", *flags, 0, 3);
    }
    return properties;
}

}  // namespace

int RunProject(const Arguments& args) {
    const ParsedArguments parsed = ParseArguments(args, kOptions, 2, SIZE_MAX);
    if (parsed.help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    const std::string target = AbsolutePath(parsed.positional[0]);
    CheckDocumentTarget(parsed.positional[0], "m3p", "project file");
    // Checked before any file is scanned: a typo in an option must not cost an hour's import.
    const TProjectProperties properties = PropertiesOf(parsed);

    DocumentSession session(!parsed.Has("--no-index"));
    const ImportOutcome outcome = session.Import(
        std::vector<std::string>(parsed.positional.begin() + 1, parsed.positional.end()));
    if (ReportStopped(outcome, parsed.positional[0])) {
        return 2;
    }
    ProjectDocument& document = session.Document();
    document.Properties() = properties;  // SaveProject names it after the file
    document.SaveProject(target);
    std::printf("Saved %d files and %d cues to %s\n", session.Bin().Count(), session.Cues().Count(),
                parsed.positional[0].c_str());
    return ImportedStatus(outcome, "project");
}

}  // namespace sw::cli
