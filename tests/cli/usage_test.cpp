#include <gtest/gtest.h>

#include "cli_fixture.h"
#include "run_cli.h"
#include "stream/file_names.h"

namespace sw::test {
namespace {

TEST(CliUsage, WrongUsageExits64) {
    // Scripts tell a usage mistake from a failed operation by this one code.
    TempDir dir;
    WriteFileBytes(dir.File("a.mp3"), MakeFrames(2));
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"frobnicate"},
        {"scan"},
        {"scan", dir.File("a.mp3"), dir.File("b.mp3")},
        {"scan", dir.File("a.mp3"), "--bogus"},
        {"scan", dir.File("a.mp3"), "--index"},
        {"scan", dir.File("a.mp3"), "--json=yes"},
        {"info"},
        {"export", dir.File("a.mp3")},
        {"export-project", dir.File("p.m3p")},
    };
    for (const auto& args : wrong) {
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.exitCode, 64) << (args.empty() ? "(none)" : args[0]) << ": " << r.err;
        EXPECT_FALSE(r.err.empty());
    }
    EXPECT_FALSE(FileExists(dir.File("a.m3i")));
}

TEST(CliUsage, EveryCommandHasHelpOnStdout) {
    for (const std::string command :
         {"scan", "info", "export", "export-project", "project", "playlist", "autocut"}) {
        const CliResult r = RunCli({command, "--help"});
        EXPECT_EQ(r.exitCode, 0) << command;
        EXPECT_EQ(r.out.rfind("Usage: slicewell-cli " + command, 0), 0u) << r.out;
    }
    const CliResult top = RunCli({"--help"});
    EXPECT_EQ(top.exitCode, 0);
    EXPECT_NE(top.out.find("export-project PROJECT.m3p TARGET"), std::string::npos);
}

}  // namespace
}  // namespace sw::test
