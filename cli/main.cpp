#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"
#include "version.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const sw::cli::Arguments&);
    const char* synopsis;
};

const Command kCommands[] = {
    {"scan", sw::cli::RunScan, "scan FILE [--index OUT.m3i] [--json]"},
    {"info", sw::cli::RunInfo, "info FILE"},
    {"export", sw::cli::RunExport, "export SOURCE TARGET [--range FIRST-LAST]"},
    {"export-project", sw::cli::RunExportProject, "export-project PROJECT.m3p TARGET"},
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

}  // namespace

int main(int argc, char** argv) {
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
            return c.run(sw::cli::Arguments(argv + 2, argv + argc));
        }
    }
    std::fprintf(stderr, "slicewell-cli: unknown command '%s'\n\n", name.c_str());
    PrintUsage(stderr);
    return sw::cli::kExitUsage;
}
