// "info" of cue files and project files: what the program would read from them.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "document_fixture.h"
#include "run_cli.h"

namespace sw::test {
namespace {

struct DocumentInfo : ::testing::Test {
    TempDir dir;
};

TEST_F(DocumentInfo, CueFileListsItsCue) {
    // The stored path, name and range must be shown as stored, not resolved or checked.
    const std::string cue = dir.File("c.m3q");
    WriteFileBytes(cue, CueFileBytes({"/music/gone.mp3", "Intro", 12, 3}));
    CliResult r = RunCli({"info", cue});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Cue file: " + cue +
                         "\nName: Intro\nSource: /music/gone.mp3\nFrames: 12-3 (-8 frames)\n");
    r = RunCli({"info", cue, "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "{\"file\":\"" + cue +
                         "\",\"kind\":\"cue\",\"source\":\"/music/gone.mp3\",\"name\":\"Intro\","
                         "\"mark_in\":12,\"mark_out\":3,\"frames\":-8}\n");
}

TEST_F(DocumentInfo, DamagedCueFilesAreNoCue) {
    // A short or foreign file must be refused, not shown with invented fields.
    auto bytes = CueFileBytes({"/a.mp3", "x", 1, 2});
    const std::string cue = dir.File("c.m3q");
    for (const size_t keep : {size_t{0}, size_t{10}, bytes.size() - 1}) {
        WriteFileBytes(cue, std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(keep)));
        EXPECT_EQ(RunCli({"info", cue}).exitCode, 1) << keep;
    }
    bytes[0] = 's';
    WriteFileBytes(cue, bytes);
    EXPECT_EQ(RunCli({"info", cue}).exitCode, 1);
    EXPECT_EQ(RunCli({"info", dir.File("gone.m3q")}).exitCode, 4);
    ASSERT_EQ(::mkfifo(dir.File("pipe.m3q").c_str(), 0644), 0);
    const CliResult r = RunCli({"info", dir.File("pipe.m3q")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
}

TEST_F(DocumentInfo, ProjectFileListsPropertiesFilesAndCues) {
    // Each field must be read from its own place; tag texts are Latin-1 and come out as UTF-8.
    ProjectFileContents contents;
    contents.Properties.Comment = "two\r\nlines";
    contents.Properties.Tag = {"Caf\xE9", "A", "B", "2001", "c", 17, 4};
    contents.Properties.Copyright = 1;
    contents.Properties.ExportFlags = 2;
    contents.Files = {"/m/a.mp3", "/m/b.mp3"};
    contents.Cues = {{"/m/b.mp3", "Cue 1: b", 0, 9}};
    const std::string project = dir.File("p.m3p");
    WriteFileBytes(project, ProjectFileBytes(contents));
    CliResult r = RunCli({"info", project});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Project file: " + project +
                         "\nProject comment:\n  two\n  lines\n"
                         "\nID3v1.1 tag (exported: No):\nTitle: Caf\xC3\xA9\nArtist: A\n"
                         "Album: B\nYear: 2001\nComment: c\nGenre: 17 (Rock)\nTrack: 4\n"
                         "\nMPEG flags (exported: Yes):\nPrivate: No\nCopyright: Yes\n"
                         "Original: No\nExport flags: 2\n"
                         "\nFiles: 2\n  /m/a.mp3\n  /m/b.mp3\n"
                         "\nCues: 1\n  Cue 1: b\t0\t9\t/m/b.mp3\n");
    r = RunCli({"info", project, "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\"file\":\"" + project +
                  "\",\"kind\":\"project\",\"comment\":\"two\\r\\nlines\",\"tag\":{\"title\":"
                  "\"Caf\xC3\xA9\",\"artist\":\"A\",\"album\":\"B\",\"year\":\"2001\",\"comment\":"
                  "\"c\",\"genre\":17,\"genre_name\":\"Rock\",\"track\":4},\"private\":0,"
                  "\"copyright\":1,\"original\":0,\"export_flags\":2,\"files\":[\"/m/a.mp3\","
                  "\"/m/b.mp3\"],\"cues\":[{\"file\":\"/m/b.mp3\",\"name\":\"Cue 1: b\","
                  "\"mark_in\":0,\"mark_out\":9}],\"unread_cues\":0}\n");
}

// A project's comment, cue name or tag holding terminal escapes took over the terminal that
// listed it; the text output shows them escaped, as the JSON output does.
TEST_F(DocumentInfo, TerminalEscapesInAProjectArePrintedEscaped) {
    ProjectFileContents contents;
    contents.Properties.Comment = "\x1b]0;title\x07\r\nnext";
    contents.Properties.Tag.Title = "\x1b[2J";
    contents.Files = {"/m/\x1b[31ma.mp3"};
    contents.Cues = {{"/m/a.mp3",
                      "cue\x9b"
                      "2J\tx",
                      0, 9}};
    const std::string project = dir.File("p.m3p");
    WriteFileBytes(project, ProjectFileBytes(contents));
    const CliResult r = RunCli({"info", project});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\n  \\x1b]0;title\\x07\n  next\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Title: \\x1b[2J\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  /m/\\x1b[31ma.mp3\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  cue\\x9b2J\\x09x\t0\t9\t/m/a.mp3\n"), std::string::npos) << r.out;
}

TEST_F(DocumentInfo, TruncatedProjectsAreReadAsTheProgramReadsThem) {
    // Cut inside the cues: the whole records are listed and the loss is named; cut before the
    // cue count: the program's read error; not a project: refused.
    ProjectFileContents contents;
    contents.Files = {"/m/a.mp3"};
    contents.Cues = {{"/m/a.mp3", "one", 0, 1}, {"/m/a.mp3", "two", 2, 3}};
    auto bytes = ProjectFileBytes(contents);
    const std::string project = dir.File("p.m3p");
    WriteFileBytes(project, std::vector<uint8_t>(bytes.begin(), bytes.end() - 3));
    CliResult r = RunCli({"info", project, "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(JsonField(r.out, "unread_cues"), "1");
    EXPECT_NE(r.err.find("1 of 2 cues could not be read"), std::string::npos) << r.err;

    WriteFileBytes(project, std::vector<uint8_t>(bytes.begin(), bytes.begin() + 30));
    r = RunCli({"info", project});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Stream read error"), std::string::npos) << r.err;
    WriteFileBytes(project, std::vector<uint8_t>(15, 'x'));
    EXPECT_EQ(RunCli({"info", project}).exitCode, 1);
    ASSERT_EQ(::mkdir(dir.File("folder.m3p").c_str(), 0755), 0);
    EXPECT_EQ(RunCli({"info", dir.File("folder.m3p")}).exitCode, 1);
}

TEST_F(DocumentInfo, AudioAndIndexFilesGiveTheScanSummaryAsJson) {
    // --json on audio must not silently print the text report scripts cannot parse.
    const std::string song = dir.File("s.mp3");
    WriteFileBytes(song, MakeFrames(5));
    const CliResult r = RunCli({"info", song, "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(JsonField(r.out, "kind"), "\"audio\"");
    EXPECT_EQ(JsonField(r.out, "frames"), "5");
}

}  // namespace
}  // namespace sw::test
