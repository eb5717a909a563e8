// "autocut FILE": the silence search over the bin's entry, its printout, project and split.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <thread>

#include "document_fixture.h"
#include "run_cli.h"
#include "stream/file_names.h"

namespace sw::test {
namespace {

// 0-2 sound, 3 a few equal bytes, 4-6 sound, 7-8 silence, 9-10 half silence, 11-12 sound,
// 13-14 silence.
constexpr char kPattern[] = "SSSlSSS..hhSS..";

struct AutocutCommand : ::testing::Test {
    TempDir dir;
    std::string song = dir.File("song.mp3");
    std::vector<std::vector<uint8_t>> frames = PatternFrames(kPattern);

    void SetUp() override { WriteFileBytes(song, AllFrames(frames)); }

    std::string Lines(const std::vector<std::array<int, 2>>& runs) const {
        std::string text;
        int number = 1;
        for (const auto& run : runs) {
            // The run's true length in hundredths, as the cue list shows it: 1152 samples a
            // frame at 44.1 kHz.
            const int hundredths = (run[1] - run[0] + 1) * 115200 / 44100;
            text += "Auto" + std::to_string(number++) + ": song\t" + std::to_string(run[0]) + "\t" +
                    std::to_string(run[1]) + "\t00:00:00." + (hundredths < 10 ? "0" : "") +
                    std::to_string(hundredths) + "\n";
        }
        return text;
    }
};

TEST_F(AutocutCommand, ThresholdDecidesWhichFramesAreSilence) {
    // The run rules (no run at frame 0, a second sound frame before a silence can close a run)
    // and the threshold's limit must come through the command unchanged.
    struct Case {
        const char* threshold;
        std::vector<std::array<int, 2>> runs;
    };
    const std::vector<Case> cases = {
        {"1", {{1, 2}, {4, 6}, {11, 12}}}, {"20", {{1, 6}, {11, 12}}}, {"49", {{1, 6}, {11, 12}}},
        {"50", {{1, 6}, {9, 12}}},         {"100", {{1, 14}}},
    };
    for (const Case& c : cases) {
        const CliResult r = RunCli({"autocut", song, "--threshold", c.threshold, "--no-index"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, Lines(c.runs)) << "threshold " << c.threshold;
    }
    EXPECT_EQ(RunCli({"autocut", song, "--no-index"}).out, Lines(cases[1].runs))
        << "the default threshold is 20";
}

TEST_F(AutocutCommand, JsonIsAnArrayOfTheCues) {
    // Scripts parse this; a missing comma or a wrong key breaks every one of them.
    const CliResult r = RunCli({"autocut", song, "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "[{\"name\":\"Auto1: song\",\"mark_in\":1,\"mark_out\":6,\"time\":\"00:00:00.15\"},"
              "{\"name\":\"Auto2: song\",\"mark_in\":11,\"mark_out\":12,\"time\":\"00:00:00.05\"}]"
              "\n");
    WriteFileBytes(dir.File("quiet.mp3"), MakeFrames(30));
    const CliResult none = RunCli({"autocut", dir.File("quiet.mp3"), "--json"});
    ASSERT_EQ(none.exitCode, 0) << none.err;
    EXPECT_EQ(none.out, "[]\n") << "silence only gives no cue";
}

TEST_F(AutocutCommand, ProjectHoldsTheFileAndItsCues) {
    // The saved project must be what the program saves after an auto-cut: the file, then the
    // cues in the order found.
    const std::string project = dir.File("cuts.m3p");
    const CliResult r = RunCli({"autocut", song, "--project", project});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ProjectFileContents expected;
    expected.Files = {song};
    expected.Cues = {{song, "Auto1: song", 1, 6}, {song, "Auto2: song", 11, 12}};
    EXPECT_EQ(ReadFileBytes(project), ProjectFileBytes(expected));
    EXPECT_EQ(RunCli({"autocut", song, "--project", dir.File("cuts.mp3")}).exitCode, 64);
}

TEST_F(AutocutCommand, SplitWritesEachCuesFramesUnderItsSafeName) {
    // Each file must hold exactly its run's frames; the ":" of the cue name is no file name.
    const std::string out = dir.File("parts");
    CliResult r = RunCli({"autocut", song, "--split", out, "--raw"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(out + "/Auto1_ song.mp3"), Join(frames, 1, 6));
    EXPECT_EQ(ReadFileBytes(out + "/Auto2_ song.mp3"), Join(frames, 11, 12));

    r = RunCli({"autocut", song, "--split", out, "--format", "wav", "--raw"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto wave = ReadFileBytes(out + "/Auto2_ song.wav");
    ASSERT_EQ(wave.size(), 70 + 2 * 417u);
    EXPECT_EQ(std::vector<uint8_t>(wave.begin(), wave.begin() + 4),
              (std::vector<uint8_t>{'R', 'I', 'F', 'F'}));
    EXPECT_EQ(Slice(wave, 70, 834), Join(frames, 11, 12));

    r = RunCli({"autocut", song, "--split", out, "--format", "m3q"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(out + "/Auto1_ song.m3q"), CueFileBytes({song, "Auto1: song", 1, 6}));
}

TEST_F(AutocutCommand, SplitNeverReplacesAFileUnlessForced) {
    // A second split over the first must not destroy files the user may have edited, and must
    // not report success when it wrote nothing.
    const std::string out = dir.File("parts");
    ASSERT_EQ(::mkdir(out.c_str(), 0755), 0);
    WriteFileBytes(out + "/Auto1_ song.mp3", {7, 7, 7});
    CliResult r = RunCli({"autocut", song, "--split", out, "--raw"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("exists; not replaced"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFileBytes(out + "/Auto1_ song.mp3"), (std::vector<uint8_t>{7, 7, 7}));
    EXPECT_EQ(ReadFileBytes(out + "/Auto2_ song.mp3"), Join(frames, 11, 12)) << "the rest goes on";

    r = RunCli({"autocut", song, "--split", out, "--force", "--raw"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(out + "/Auto1_ song.mp3"), Join(frames, 1, 6));
}

TEST_F(AutocutCommand, ForcedSplitNeverWritesIntoAPipeOrOutOfItsFolder) {
    // --force over a FIFO would wait for a reader forever; a link planted in the folder let the
    // split overwrite a file anywhere else (or send the frames to a device).
    const std::string out = dir.File("parts");
    ASSERT_EQ(::mkdir(out.c_str(), 0755), 0);
    WriteFileBytes(dir.File("elsewhere.txt"), {'k', 'e', 'e', 'p'});
    ASSERT_EQ(::mkfifo((out + "/Auto1_ song.mp3").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("../elsewhere.txt", (out + "/Auto2_ song.mp3").c_str()), 0);
    for (const char* format : {"mp3", "m3q"}) {
        ::rename((out + "/Auto2_ song.mp3").c_str(), (out + "/Auto2_ song." + format).c_str());
        const CliResult r =
            RunCli({"autocut", song, "--split", out, "--force", "--format", format});
        EXPECT_EQ(r.exitCode, 1) << format;
        EXPECT_NE(r.err.find("Auto2_ song." + std::string(format) + " is a symbolic link to"),
                  std::string::npos)
            << r.err;
        EXPECT_NE(r.err.find("a split never writes through one"), std::string::npos) << r.err;
        EXPECT_EQ(ReadFileBytes(dir.File("elsewhere.txt")),
                  (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
        if (std::string(format) == "mp3") {
            EXPECT_NE(r.err.find("Auto1_ song.mp3 is not a regular file"), std::string::npos)
                << r.err;
            EXPECT_NE(r.err.find("0 of 2 cues written"), std::string::npos) << r.err;
        }
    }
}

TEST_F(AutocutCommand, SplitIntoAMissingFolderMakesItAndIntoAFileFails) {
    // Like other split tools the folder is made; a file in its place is an error before any
    // search, not a cue of failures.
    // A file that is missing makes nothing: the folder used to be there before the file was
    // found missing.
    CliResult r = RunCli({"autocut", dir.File("missing.mp3"), "--split", dir.File("a/b")});
    EXPECT_EQ(r.exitCode, 4) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("a")));
    r = RunCli({"autocut", song, "--split", dir.File("a/b")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(FileExists(dir.File("a/b/Auto1_ song.mp3")));
    WriteFileBytes(dir.File("plain"), {1});
    r = RunCli({"autocut", song, "--split", dir.File("plain")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("is not a folder"), std::string::npos) << r.err;
    r = RunCli({"autocut", song, "--split", dir.File("plain/sub")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("plain is not a folder"), std::string::npos) << r.err;
}

TEST_F(AutocutCommand, BadArgumentsAreUsageErrors) {
    // Each of these would otherwise search with a value nobody asked for.
    const std::vector<std::vector<std::string>> bad = {
        {"--threshold", "0"}, {"--threshold", "101"}, {"--threshold", "2x"},
        {"--threshold", ""},  {"--format", "ogg"},    {"--force"},
        {"--format", "wav"},
    };
    for (const auto& options : bad) {
        std::vector<std::string> args = {"autocut", song};
        args.insert(args.end(), options.begin(), options.end());
        EXPECT_EQ(RunCli(args).exitCode, 64) << options[0];
    }
    EXPECT_EQ(RunCli({"autocut", dir.File("list.m3u")}).exitCode, 64);
    EXPECT_FALSE(FileExists(dir.File("song.m3i"))) << "nothing was imported";
}

TEST_F(AutocutCommand, FilesThatCannotBeSearchedFailWithoutHanging) {
    // A missing file, a FIFO, a folder or a device named like MP3 must end with a message.
    EXPECT_EQ(RunCli({"autocut", dir.File("gone.mp3")}).exitCode, 4);
    ASSERT_EQ(::mkfifo(dir.File("pipe.mp3").c_str(), 0644), 0);
    ASSERT_EQ(::mkdir(dir.File("folder.mp3").c_str(), 0755), 0);
    ASSERT_EQ(::symlink("/dev/zero", dir.File("zero.mp3").c_str()), 0);
    // The bin finds no file of a folder's name (4); the others exist and are refused (1).
    for (const auto& [name, code] :
         {std::pair{"pipe.mp3", 1}, {"folder.mp3", 4}, {"zero.mp3", 1}}) {
        const CliResult r = RunCli({"autocut", dir.File(name)});
        EXPECT_EQ(r.exitCode, code) << name;
        EXPECT_EQ(r.out, "") << name;
        EXPECT_NE(r.err, "") << name;
    }
    WriteFileBytes(dir.File("empty.mp3"), std::vector<uint8_t>(300, 0));
    const CliResult r = RunCli({"autocut", dir.File("empty.mp3")});
    EXPECT_EQ(r.exitCode, 1) << "a file without frames cannot be searched";
    EXPECT_NE(r.err.find("has no frame index"), std::string::npos) << r.err;
}

TEST_F(AutocutCommand, AnIndexFileStandsForItsSource) {
    // autocut of song.m3i searches song.mp3 through the index, and the cues name the source.
    ASSERT_EQ(RunCli({"scan", song}).exitCode, 0);
    const CliResult r = RunCli({"autocut", dir.File("song.m3i")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, Lines({{1, 6}, {11, 12}}));
}

bool HasEntry(const std::string& folder) {
    std::error_code error;
    return std::filesystem::exists(folder, error) && !std::filesystem::is_empty(folder, error);
}

TEST(AutocutInterrupted, StopDuringSplitLeavesOnlyCompleteFiles) {
    // Ctrl-C in the middle of a cue must leave neither its temporary file nor a shorter file
    // that a second run without --force would take for a finished one.
    constexpr int kRun = 40000;
    constexpr int kRuns = 4;
    TempDir dir;
    std::vector<uint8_t> bytes;
    const std::vector<uint8_t> sound = FrameWithZeros(0);
    const std::vector<uint8_t> silence = FrameWithZeros(413);
    for (int run = 0; run < kRuns; ++run) {
        Append(bytes, silence);
        for (int i = 0; i < kRun; ++i) {
            Append(bytes, sound);
        }
    }
    // The last frame counts as sound (the search reads past its end): a second silent frame
    // closes the last run.
    Append(bytes, silence);
    Append(bytes, silence);
    const std::string song = dir.File("long.mp3");
    WriteFileBytes(song, bytes);
    const std::string out = dir.File("parts");
    ASSERT_EQ(::mkdir(out.c_str(), 0755), 0);

    const pid_t pid = StartCli({"autocut", song, "--split", out, "--raw"}, dir.File("out.txt"),
                               dir.File("err.txt"));
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    bool signalling = false;
    while (::waitpid(pid, &status, WNOHANG) != pid) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the split did not end";
        signalling = signalling || HasEntry(out);
        if (signalling) {
            ::kill(pid, SIGINT);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    int complete = 0;
    for (const auto& entry : std::filesystem::directory_iterator(out)) {
        const std::string name = entry.path().filename().string();
        EXPECT_NE(name.rfind("~hl", 0), 0u) << "temporary file left: " << name;
        ASSERT_EQ(name.size(), std::string("Auto1_ long.mp3").size()) << name;
        const int number = name[4] - '0';
        ASSERT_GE(number, 1);
        ASSERT_LE(number, kRuns);
        EXPECT_EQ(entry.file_size(), size_t{kRun} * sound.size()) << name << " is cut short";
        ++complete;
    }
    EXPECT_LT(complete, kRuns);
}

}  // namespace
}  // namespace sw::test
