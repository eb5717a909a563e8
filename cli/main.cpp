#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/settings/global_settings.h"
#include "cli_error.h"
#include "commands.h"
#include "progress.h"
#include "stream/file_errors.h"
#include "version.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const sw::cli::Arguments&);
    const char* synopsis;
};

const Command kCommands[] = {
    {"scan", sw::cli::RunScan, "scan FILE [--index OUT.m3i] [--json]"},
    {"info", sw::cli::RunInfo, "info FILE [--json]"},
    {"export", sw::cli::RunExport, "export SOURCE TARGET [--range FIRST-LAST] [--name NAME]"},
    {"export-project", sw::cli::RunExportProject, "export-project PROJECT.m3p TARGET"},
    {"project", sw::cli::RunProject, "project OUT.m3p ITEM... [--title T] [--export-flags N] ..."},
    {"playlist", sw::cli::RunPlaylist, "playlist OUT.m3u ITEM..."},
    {"autocut", sw::cli::RunAutocut,
     "autocut FILE [--threshold N] [--json] [--project OUT.m3p] [--split DIR] [--format mp3|wav]"},
    {"split", sw::cli::RunSplit,
     "split SHEET.cue|PROJECT.m3p [DIR] [--format mp3|wav|m3q] [--raw] [--force] "
     "[--tags none|v1|v2|both]"},
    {"cuesheet", sw::cli::RunCueSheet, "cuesheet PROJECT.m3p OUT.cue"},
    {"devices", sw::cli::RunDevices, "devices"},
    {"play", sw::cli::RunPlay, "play FILE [--range FIRST-LAST] [--device N] [--loop]"},
};

void PrintUsage(std::FILE* to) {
    std::fprintf(
        to,
        "Slicewell %s command-line tool: frame-exact MPEG audio cutting without re-encoding.\n\n",
        sw::kVersionText);
    std::fprintf(to, "Usage:\n");
    for (const Command& c : kCommands) {
        std::fprintf(to, "  slicewell-cli %s\n", c.synopsis);
    }
    std::fprintf(to, "\nRun 'slicewell-cli COMMAND --help' for the details of one command.\n");
}

// Runs one command and turns what ends it early into a message on stderr and an exit status.
int RunCommand(const Command& c, const sw::cli::Arguments& args) {
    try {
        return c.run(args);
    } catch (const sw::cli::UsageError& error) {
        std::fprintf(stderr, "slicewell-cli %s: %s\nUsage: slicewell-cli %s\n", c.name,
                     error.what(), c.synopsis);
        std::fprintf(stderr, "Run 'slicewell-cli %s --help' for the details.\n", c.name);
        return sw::cli::kExitUsage;
    } catch (const sw::OperationError& error) {
        std::fprintf(stderr, "slicewell-cli: %s\n", error.what());
        return error.Status();
    } catch (const sw::FileError& error) {
        std::fprintf(stderr, "slicewell-cli: %s\n", error.what());
        return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "slicewell-cli: Unknown error at operation: %s\n", error.what());
        return 3;
    }
}

// Everything a command printed must have reached standard output: a summary or JSON object that
// went nowhere (a full disk, a closed pipe) is a failure the caller has to hear of.
int CheckedStandardOutput(int status) {
    errno = 0;
    const bool failed = std::ferror(stdout) != 0;
    const bool closed = std::fclose(stdout) == 0;
    if (!failed && closed) {
        return status;
    }
    const int error = errno;
    std::fprintf(stderr, "slicewell-cli: cannot write to standard output%s%s\n",
                 error != 0 ? ": " : "", error != 0 ? std::strerror(error) : "");
    return status == 0 ? 1 : status;
}

int Dispatch(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return sw::cli::kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(stdout);
        return 0;
    }
    if (name == "--version" || name == "-v") {
        std::printf("slicewell-cli %s\n", sw::kVersionText);
        return 0;
    }
    for (const Command& c : kCommands) {
        if (name == c.name) {
            return RunCommand(c, sw::cli::Arguments(argv + 2, argv + argc));
        }
    }
    std::fprintf(stderr, "slicewell-cli: unknown command '%s'\n\n", name.c_str());
    PrintUsage(stderr);
    return sw::cli::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    // No settings store here: the defaults keep the index in memory.
    sw::GlobalSettings() = sw::DefaultGlobalSettings();
    sw::cli::InstallStopRequestHandlers();
    return CheckedStandardOutput(Dispatch(argc, argv));
}
