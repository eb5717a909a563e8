#include <cstdio>

#include "app/file_properties_report.h"
#include "app/global_settings.h"
#include "cli_error.h"
#include "commands.h"
#include "options.h"
#include "sources.h"
#include "stream/file_names.h"
#include "stream/regular_file.h"
#include "stream/status.h"

namespace sw::cli {

namespace {

constexpr char kHelp[] =
    "Usage: slicewell-cli info FILE\n"
    "\n"
    "Prints the file properties report of FILE: an audio file is scanned in memory, an index\n"
    "file (.m3i) is read as it is. The file size uses the thousands separator of the LC_NUMERIC\n"
    "locale (\",\" in the C locale); the report is UTF-8.\n";

}  // namespace

int RunInfo(const Arguments& args) {
    const ParsedArguments parsed = ParseArguments(args, {}, 1, 1);
    if (parsed.help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    const std::string& fileName = parsed.positional[0];
    LoadedSource source;
    if (FileKind(fileName) == "m3i") {
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
    std::fputs(FilePropertiesReport(*source.cut, UserThousandsSeparator()).c_str(), stdout);
    if (source.status != kStatusOk) {
        std::fprintf(stderr, "slicewell-cli: %s\n", StatusText(source.status).c_str());
    }
    return source.status;
}

}  // namespace sw::cli
