// "project OUT.m3p ITEM...": the project file the bin's import and SaveProject make.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "document_fixture.h"
#include "run_cli.h"
#include "stream/file_names.h"

namespace sw::test {
namespace {

struct ProjectCommand : ::testing::Test {
    TempDir dir;
    std::string a = dir.File("a.mp3");
    std::string b = dir.File("b.mp3");
    std::string out = dir.File("p.m3p");

    void SetUp() override {
        WriteFileBytes(a, MakeFrames(12));
        WriteFileBytes(b, MakeFrames(30));
    }

    void WriteCue(const std::string& name, const CueFileRecord& record) {
        WriteFileBytes(dir.File(name), CueFileBytes(record));
    }
};

TEST_F(ProjectCommand, TwoFilesAndThreeCuesGiveTheCoreWritersBytes) {
    // Items in another order, cues of a cue file landing on the wrong entry, or properties other
    // than a new project's would all change the bytes.
    WriteCue("one.m3q", {a, "first", 0, 5});
    WriteCue("two.m3q", {b, "second", 10, 29});
    WriteCue("three.m3q", {a, "third", 6, 11});
    const CliResult r = RunCli(
        {"project", out, a, b, dir.File("one.m3q"), dir.File("two.m3q"), dir.File("three.m3q")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    ProjectFileContents expected;
    expected.Files = {a, b};
    expected.Cues = {{a, "first", 0, 5}, {b, "second", 10, 29}, {a, "third", 6, 11}};
    EXPECT_EQ(ReadFileBytes(out), ProjectFileBytes(expected));
    EXPECT_EQ(expected.Properties.ExportFlags, 3);
}

TEST_F(ProjectCommand, ACueFileBringsItsSourceIntoTheBin) {
    // The cue's source is imported, exactly once, when no item named it.
    WriteCue("c.m3q", {b, "only", 1, 2});
    const CliResult r = RunCli({"project", out, dir.File("c.m3q")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ProjectFileContents expected;
    expected.Files = {b};
    expected.Cues = {{b, "only", 1, 2}};
    EXPECT_EQ(ReadFileBytes(out), ProjectFileBytes(expected));
}

TEST_F(ProjectCommand, PropertiesOptionsReachTheirFields) {
    // Each option must land in its own field; tag texts are stored as Latin-1, as "info" and
    // the properties dialog read them, and the comment's lines end in CR LF as the dialog
    // stores them.
    const CliResult r = RunCli({"project",
                                out,
                                a,
                                "--comment",
                                "line 1\nline 2",
                                "--title",
                                "Caf\xC3\xA9",
                                "--artist",
                                "Art",
                                "--album",
                                "Alb",
                                "--year",
                                "1999",
                                "--tag-comment",
                                "tc",
                                "--genre",
                                "rock",
                                "--track",
                                "7",
                                "--private",
                                "--original",
                                "--export-flags",
                                "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ProjectFileContents expected;
    expected.Properties.Comment = "line 1\r\nline 2";
    expected.Properties.Tag = {"Caf\xE9", "Art", "Alb", "1999", "tc", 17, 7};
    expected.Properties.Private = 1;
    expected.Properties.Original = 1;
    expected.Properties.ExportFlags = 1;
    expected.Files = {a};
    EXPECT_EQ(ReadFileBytes(out), ProjectFileBytes(expected));

    const CliResult numbered =
        RunCli({"project", out, a, "--genre", "255", "--copyright", "--export-flags", "0"});
    ASSERT_EQ(numbered.exitCode, 0) << numbered.err;
    expected.Properties = TProjectProperties{};
    expected.Properties.Tag.Genre = 255;
    expected.Properties.Copyright = 1;
    expected.Properties.ExportFlags = 0;
    EXPECT_EQ(ReadFileBytes(out), ProjectFileBytes(expected));
}

TEST_F(ProjectCommand, BadPropertyValuesAreUsageErrorsBeforeAnythingIsWritten) {
    // A value the field cannot hold must not be cut or wrapped silently into another one.
    WriteFileBytes(out, {9});
    const std::vector<std::vector<std::string>> bad = {
        {"--genre", "256"},          {"--genre", "-1"},   {"--genre", "Not a genre"},
        {"--track", "300"},          {"--track", "3a"},   {"--export-flags", "4"},
        {"--export-flags", ""},      {"--year", "19999"}, {"--title", std::string(31, 'x')},
        {"--title", "\xE2\x82\xAC"},  // the euro sign is not Latin-1
    };
    for (const auto& option : bad) {
        const CliResult r = RunCli({"project", out, a, option[0], option[1]});
        EXPECT_EQ(r.exitCode, 64) << option[0] << " " << option[1];
    }
    EXPECT_EQ(ReadFileBytes(out), (std::vector<uint8_t>{9}));
    EXPECT_FALSE(FileExists(dir.File("a.m3i"))) << "nothing was imported";
}

TEST_F(ProjectCommand, MissingAndUnsupportedItemsAreReportedAndTheRestIsSaved) {
    // One bad item must neither stop the import nor be reported as success.
    WriteFileBytes(dir.File("notes.txt"), {1, 2, 3});
    const CliResult r = RunCli({"project", out, a, dir.File("gone.mp3"), dir.File("notes.txt"), b});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Unable to find file " + dir.File("gone.mp3")), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("The file \"" + dir.File("notes.txt") + "\" has another format"),
              std::string::npos)
        << r.err;
    ProjectFileContents expected;
    expected.Files = {a, b};
    EXPECT_EQ(ReadFileBytes(out), ProjectFileBytes(expected));

    // The one item named is missing: the input's own exit status.
    EXPECT_EQ(RunCli({"project", out, dir.File("gone.mp3")}).exitCode, 4);
}

TEST_F(ProjectCommand, RelativeItemsAreStoredAsCleanAbsolutePaths) {
    // "./a.mp3" or "sub/../a.mp3" stored as typed would name files the program later fails to
    // match with the same file dropped on the bin.
    ASSERT_EQ(::mkdir(dir.File("sub").c_str(), 0755), 0);
    const CliResult r = RunCli({"project", "p.m3p", "./a.mp3", "sub/../b.mp3"}, {}, dir.Path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ProjectFileContents expected;
    expected.Files = {a, b};
    EXPECT_EQ(ReadFileBytes(out), ProjectFileBytes(expected));
}

TEST_F(ProjectCommand, IndexFilesBesideTheSourcesAreUsedAndWritten) {
    // The import writes the index beside a scanned source (the default settings), and a second
    // import takes it instead of scanning; a damaged one is only a cache miss.
    ASSERT_EQ(RunCli({"project", out, a}).exitCode, 0);
    ASSERT_TRUE(FileExists(dir.File("a.m3i")));
    const auto first = ReadFileBytes(out);
    WriteFileBytes(dir.File("b.m3i"), {'S', 'l', 'i', 'c', 'e'});
    const CliResult r = RunCli({"project", out, dir.File("a.m3i"), b});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ProjectFileContents expected;
    expected.Files = {a, b};
    EXPECT_EQ(ReadFileBytes(out), ProjectFileBytes(expected));
    EXPECT_GT(ReadFileBytes(dir.File("b.m3i")).size(), 5u) << "the damaged index was replaced";

    ASSERT_EQ(RunCli({"project", out, dir.File("c.mp3.m3i")}).exitCode, 4);
    std::remove(dir.File("a.m3i").c_str());
    ASSERT_EQ(RunCli({"project", out, a, "--no-index"}).exitCode, 0);
    EXPECT_FALSE(FileExists(dir.File("a.m3i")));
    EXPECT_EQ(ReadFileBytes(out), first);
}

TEST_F(ProjectCommand, AnIndexWhoseSourceIsLostIsReportedNotWaitedOn) {
    // The window asks the user to find the file; the tool cannot, and must say so and fail.
    ASSERT_EQ(RunCli({"scan", a, "--index", dir.File("moved.m3i")}).exitCode, 0);
    ASSERT_EQ(::rename(a.c_str(), dir.File("elsewhere.mp3").c_str()), 0);
    const CliResult r = RunCli({"project", out, dir.File("moved.m3i"), b});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Unable to find original file referenced by index"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("Unable to load file from index"), std::string::npos) << r.err;
    ProjectFileContents expected;
    expected.Files = {b};
    EXPECT_EQ(ReadFileBytes(out), ProjectFileBytes(expected));
}

TEST_F(ProjectCommand, AnIndexOfAChangedSourceIsRescannedAfterTheQuestion) {
    // The size question answered Yes must rescan the file, not keep offsets of the old one.
    ASSERT_EQ(RunCli({"scan", a}).exitCode, 0);
    std::vector<uint8_t> longer = ReadFileBytes(a);
    Append(longer, MakeFrames(5));
    WriteFileBytes(a, longer);
    const CliResult r = RunCli({"project", out, dir.File("a.m3i")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("Size of selected file differs from size referenced by index-file Do "
                         "you want to rescan the file ? [Yes]"),
              std::string::npos)
        << r.err;
    const CliResult index = RunCli({"info", dir.File("a.m3i"), "--json"});
    EXPECT_EQ(JsonField(index.out, "frames"), "17") << "the index beside it was rewritten";
}

TEST_F(ProjectCommand, UnreadableItemsAreReportedAndSkipped) {
    // A file the user may not read must be named in a message, not end the import.
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    WriteFileBytes(dir.File("locked.mp3"), MakeFrames(3));
    ASSERT_EQ(::chmod(dir.File("locked.mp3").c_str(), 0), 0);
    const CliResult r = RunCli({"project", out, dir.File("locked.mp3"), a});
    EXPECT_EQ(r.exitCode, 1);
    ProjectFileContents expected;
    expected.Files = {a};
    EXPECT_EQ(ReadFileBytes(out), ProjectFileBytes(expected));
}

TEST_F(ProjectCommand, OutputMustBeAProjectName) {
    // Forgetting OUT would make the first item the output: an MP3 overwritten by a project.
    const auto before = ReadFileBytes(a);
    for (const std::string& target : {a, dir.File("x.m3u"), dir.File("x.m3i"), std::string("")}) {
        const CliResult r = RunCli({"project", target, b});
        EXPECT_EQ(r.exitCode, 64) << target;
    }
    EXPECT_EQ(ReadFileBytes(a), before);
    EXPECT_EQ(RunCli({"project", out}).exitCode, 64) << "no item";
    EXPECT_EQ(RunCli({"project", out, ""}).exitCode, 64) << "an empty item";
}

TEST_F(ProjectCommand, HostileTargetsAndItemsEndWithAnErrorNotAHang) {
    // FIFOs, folders and devices among the names must be refused without waiting on them.
    ASSERT_EQ(::mkfifo(dir.File("pipe.mp3").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo(dir.File("pipe.m3u").c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo(dir.File("pipe.m3q").c_str(), 0644), 0);
    ASSERT_EQ(::mkdir(dir.File("folder.mp3").c_str(), 0755), 0);
    ASSERT_EQ(::symlink("/dev/zero", dir.File("zero.mp3").c_str()), 0);
    CliResult r = RunCli({"project", out, dir.File("pipe.mp3"), dir.File("pipe.m3u"),
                          dir.File("pipe.m3q"), dir.File("folder.mp3"), dir.File("zero.mp3"), a});
    EXPECT_EQ(r.exitCode, 1);
    ProjectFileContents expected;
    expected.Files = {a};
    EXPECT_EQ(ReadFileBytes(out), ProjectFileBytes(expected));

    ASSERT_EQ(::mkfifo(dir.File("pipe.m3p").c_str(), 0644), 0);
    ASSERT_EQ(::mkdir(dir.File("folder.m3p").c_str(), 0755), 0);
    for (const std::string& target :
         {dir.File("pipe.m3p"), dir.File("folder.m3p"), dir.File("no/such/p.m3p")}) {
        r = RunCli({"project", target, a});
        EXPECT_EQ(r.exitCode, 1) << target;
        EXPECT_NE(r.err.find("Cannot create file"), std::string::npos) << r.err;
    }
}

TEST_F(ProjectCommand, ASelfNamingPlaylistIsReportedOnce) {
    // A playlist that lists itself would recurse without end.
    WriteFileBytes(dir.File("loop.m3u"),
                   {'l', 'o', 'o', 'p', '.', 'm', '3', 'u', '\n', 'a', '.', 'm', 'p', '3', '\n'});
    const CliResult r = RunCli({"project", out, dir.File("loop.m3u")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("names itself"), std::string::npos) << r.err;
    ProjectFileContents expected;
    expected.Files = {a};
    EXPECT_EQ(ReadFileBytes(out), ProjectFileBytes(expected));
}

TEST(ProjectInterrupted, StopDuringTheImportWritesNoProject) {
    // A project of the files scanned before Ctrl-C would look complete to the script that
    // asked for all of them.
    TempDir dir;
    std::vector<std::string> args = {"project", dir.File("p.m3p")};
    // Files of their own, enough for the import to be running when the stop comes: links of one
    // file would be scanned once, the rest taking that scan at once.
    const std::vector<uint8_t> frames = MakeFrames(50);
    for (int i = 0; i < 2000; ++i) {
        const std::string name = dir.File("f" + std::to_string(i) + ".mp3");
        WriteFileBytes(name, frames);
        args.push_back(name);
    }
    args.push_back("--no-index");
    const pid_t pid = StartCli(args, dir.File("out.txt"), dir.File("err.txt"));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (::waitpid(pid, &status, WNOHANG) != pid) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the import did not end";
        ::kill(pid, SIGINT);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 0) {
        GTEST_SKIP() << "the import ended before the stop arrived";
    }
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_FALSE(FileExists(dir.File("p.m3p")));
}

}  // namespace
}  // namespace sw::test
