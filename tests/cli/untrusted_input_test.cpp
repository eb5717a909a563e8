// The faults of reading what the user names and writing where the user points, each run through
// the tool as it was reproduced: pipes and folders as inputs, damaged index files, saves onto
// devices, pipes, links and read-only files, and a file that ends on a lone header.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <limits>

#include "cli_fixture.h"
#include "run_cli.h"
#include "stream/cut_object.h"

namespace sw::test {
namespace {

struct UntrustedInput : ::testing::Test {
    TempDir dir;
    std::string source = dir.File("a.mp3");

    void SetUp() override { WriteFileBytes(source, MakeFrames(10)); }

    // The index a scan writes beside the source, then changed by damage.
    void SaveDamagedIndex(void (*damage)(TCutObject&)) {
        ASSERT_EQ(RunCli({"scan", source}).exitCode, 0);
        CutObjectPtr cut(LoadCutObject(dir.File("a.m3i"), {}));
        ASSERT_TRUE(cut);
        damage(*cut);
        ASSERT_EQ(SaveCutObject(cut.get(), dir.File("a.m3i")), 0);
    }

    static bool IsKind(const std::string& name, mode_t kind) {
        struct stat st {};
        return ::lstat(name.c_str(), &st) == 0 && (st.st_mode & S_IFMT) == kind;
    }
};

TEST_F(UntrustedInput, PipesAsInputsAreRefusedInsteadOfHangingTheTool) {
    // Breaks by hanging forever (the test then times out): "mkfifo x.wav; scan x.wav", also
    // info and export, blocked in the open before anything looked at the file.
    ASSERT_EQ(::mkfifo(dir.File("x.wav").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(dir.File("x.mp3").c_str(), 0600), 0);
    for (const char* name : {"x.wav", "x.mp3"}) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"scan", dir.File(name)},
              std::vector<std::string>{"info", dir.File(name)},
              std::vector<std::string>{"export", dir.File(name), dir.File("out.mp3")}}) {
            const CliResult r = RunCli(args);
            EXPECT_NE(r.exitCode, 0) << args[0] << " " << name;
            EXPECT_NE(r.err.find("is not a regular file"), std::string::npos)
                << args[0] << " " << name << ": " << r.err;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.mp3")));
}

TEST_F(UntrustedInput, FifoIndexBesideTheSourceIsPassedOverAndTheSourceScanned) {
    // Breaks by hanging: a FIFO named a.m3i beside a.mp3 blocked the index load.
    ASSERT_EQ(::mkfifo(dir.File("a.m3i").c_str(), 0600), 0);
    const CliResult r = RunCli({"export", source, dir.File("out.mp3")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(dir.File("out.mp3")), ReadFileBytes(source));
    EXPECT_TRUE(IsKind(dir.File("a.m3i"), S_IFIFO));
    const CliResult index = RunCli({"info", dir.File("a.m3i")});
    EXPECT_EQ(index.exitCode, 1);
    EXPECT_NE(index.err.find("is not a regular file"), std::string::npos) << index.err;
}

TEST_F(UntrustedInput, FolderGivenAsInputSaysItIsAFolder) {
    // Breaks the message: a folder was reported as "File not found".
    std::filesystem::create_directory(dir.File("adir"));
    std::filesystem::create_directory(dir.File("bdir.m3i"));
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"scan", dir.File("adir")},
          std::vector<std::string>{"info", dir.File("adir")},
          std::vector<std::string>{"info", dir.File("bdir.m3i")},
          std::vector<std::string>{"export", dir.File("adir"), dir.File("out.mp3")}}) {
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.exitCode, 1) << args[0] << " " << args[1];
        EXPECT_NE(r.err.find("is a folder, not a file"), std::string::npos)
            << args[0] << " " << args[1] << ": " << r.err;
        EXPECT_EQ(r.err.find("File not found"), std::string::npos) << r.err;
    }
}

TEST_F(UntrustedInput, DamagedIndexSummaryIsRefusedAndTheSourceScannedInstead) {
    // Breaks with undefined behaviour in "info" (a play time of 3e38 printed as minus two
    // quadrillion hours; INT_MAX kbit/s over a 1-byte frame overflowed the frame rate), and a
    // negative dropped count was accepted.
    using Damage = void (*)(TCutObject&);
    const Damage damages[] = {
        [](TCutObject& c) { c.PlayTime = 3e38f; },
        [](TCutObject& c) { c.PlayTime = std::numeric_limits<float>::quiet_NaN(); },
        [](TCutObject& c) {
            c.FrameInfo.Bitrate = std::numeric_limits<int32_t>::max();
            c.FrameInfo.FrameLength = 1;
        },
        [](TCutObject& c) { c.DroppedFrames = -5; },
    };
    for (size_t i = 0; i < std::size(damages); ++i) {
        SaveDamagedIndex(damages[i]);
        const CliResult direct = RunCli({"info", dir.File("a.m3i")});
        EXPECT_EQ(direct.exitCode, 1) << i;
        EXPECT_NE(direct.err.find("Unable to load file from index"), std::string::npos)
            << i << ": " << direct.err;

        const CliResult beside = RunCli({"export", source, dir.File("out.mp3")});
        EXPECT_EQ(beside.exitCode, 0) << i << ": " << beside.err;
        EXPECT_NE(beside.err.find("scanning instead"), std::string::npos) << i << beside.err;
        EXPECT_EQ(ReadFileBytes(dir.File("out.mp3")), ReadFileBytes(source)) << i;
    }
}

TEST_F(UntrustedInput, IndexSavesNeverReplaceDevicesPipesOrLinks) {
    // Breaks the system: run as root, "scan sample.mp3 --index /dev/full" replaced the device
    // with a regular file and exited 0; a FIFO went the same way, and a link was replaced by a
    // file of its own instead of being written through.
    std::vector<std::string> refused = {dir.File("fifo.m3i")};
    ASSERT_EQ(::mkfifo(refused[0].c_str(), 0666), 0);
    if (::mknod(dir.File("myfull").c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0) {
        refused.push_back(dir.File("myfull"));
    }
    for (const std::string& target : refused) {
        const mode_t kind = IsKind(target, S_IFIFO) ? S_IFIFO : S_IFCHR;
        const CliResult r = RunCli({"scan", source, "--index", target});
        EXPECT_NE(r.exitCode, 0) << target;
        EXPECT_NE(r.err.find("Cannot create file " + target), std::string::npos) << r.err;
        EXPECT_TRUE(IsKind(target, kind)) << target << " was replaced";
    }

    std::filesystem::create_directory(dir.File("real"));
    std::filesystem::create_symlink("real/a.m3i", dir.File("link.m3i"));
    const CliResult linked = RunCli({"scan", source, "--index", dir.File("link.m3i")});
    EXPECT_EQ(linked.exitCode, 0) << linked.err;
    EXPECT_TRUE(IsKind(dir.File("link.m3i"), S_IFLNK));
    CutObjectPtr cut(LoadCutObject(dir.File("real/a.m3i"), {}));
    ASSERT_TRUE(cut) << "the index went through the link to the file it names";
    EXPECT_EQ(cut->FrameCount(), 10);
}

TEST_F(UntrustedInput, SaveOverAReadOnlyIndexNamesTheIndexNotTheTemporaryFile) {
    // Breaks the message and the file: the save failed with "Cannot open file ~hlXXXXXX".
    const std::string locked = dir.File("locked.m3i");
    WriteFileBytes(locked, {1, 2, 3});
    ::chmod(locked.c_str(), 0444);
    const CliResult r = RunCli({"scan", source, "--index", locked});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_NE(r.err.find("Cannot create file " + locked), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("~hl"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFileBytes(locked), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(UntrustedInput, LoneHeaderAfterTheLastFrameGivesNoMinusOneDroppedFrames) {
    // Breaks the count: "head -c 145657 sample.mp3 > t.mp3; head -c 4 sample.mp3 >> t.mp3"
    // reported dropped_frames -1 beside 697 frames.
    std::vector<uint8_t> bytes = MakeFrames(10);
    const std::vector<uint8_t> frame = MakeFrame();
    bytes.insert(bytes.end(), frame.begin(), frame.begin() + 4);
    WriteFileBytes(dir.File("t.mp3"), bytes);
    const CliResult r = RunCli({"scan", dir.File("t.mp3"), "--json", "--no-index"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(JsonField(r.out, "frames"), "10");
    EXPECT_EQ(JsonField(r.out, "dropped_frames"), "0");
}

}  // namespace
}  // namespace sw::test
