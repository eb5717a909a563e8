// Stop signals sent to the real tool while it exports a large file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "cli_fixture.h"
#include "run_cli.h"

namespace sw::test {
namespace {

constexpr int kFrameBytes = 417;
constexpr int kFrames = 240000;  // about 100 MB: long enough to be caught at work

uint32_t Le32(const std::vector<uint8_t>& bytes, size_t at) {
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
           uint32_t(bytes[at + 3]) << 24;
}

struct InterruptedExport : ::testing::Test {
    static inline TempDir* shared = nullptr;
    static inline std::vector<uint8_t> bytes;

    static void SetUpTestSuite() {
        shared = new TempDir;
        bytes = MakeFrames(kFrames);
        WriteFileBytes(shared->File("big.mp3"), bytes);
    }
    static void TearDownTestSuite() {
        delete shared;
        shared = nullptr;
        bytes.clear();
    }

    TempDir work;
    std::string source = shared->File("big.mp3");

    // Starts the export, waits until `started` says it is at work, then keeps sending SIGINT
    // (and now and then SIGTERM) until the process has ended. Returns its exit status, or -1 -
    // signal number when a signal ended it.
    int ExportUnderSignals(const std::vector<std::string>& args,
                           const std::function<bool()>& started) {
        const pid_t pid = StartCli(args, work.File("out.txt"), work.File("err.txt"));
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        bool signalling = false;
        for (int round = 0;; ++round) {
            const pid_t done = ::waitpid(pid, &status, WNOHANG);
            if (done == pid) {
                break;
            }
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                ADD_FAILURE() << "the export did not end";
                return -1 - SIGKILL;
            }
            signalling = signalling || started();
            if (signalling) {
                ::kill(pid, round % 5 == 4 ? SIGTERM : SIGINT);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        if (WIFSIGNALED(status)) {
            return -1 - WTERMSIG(status);
        }
        return WEXITSTATUS(status);
    }
};

// A second Ctrl-C used to kill the whole-file export while scanning, leaving its temporary file
// of hundreds of megabytes beside the target; and --json printed nothing when the stop came while
// the file was still being scanned.
TEST_F(InterruptedExport, RepeatedSignalsDuringAWholeFileExportLeaveNoTemporaryFile) {
    const std::string target = work.File("out.mp3");
    WriteFileBytes(target, {'o', 'l', 'd'});
    const int code = ExportUnderSignals({"export", source, target, "--json"},
                                        [this] { return HasTemporaryFile(work.Path()); });
    ASSERT_TRUE(code == 2 || code == 0) << "ended by signal " << (-1 - code);
    EXPECT_FALSE(HasTemporaryFile(work.Path()));
    const std::vector<uint8_t> json = ReadFileBytes(work.File("out.txt"));
    EXPECT_EQ(JsonField(std::string(json.begin(), json.end()), "status"), std::to_string(code));
    // Stopped while scanning, the old target stays; stopped once the scan was done, the frames
    // copied so far replace it, whole.
    const std::vector<uint8_t> out = ReadFileBytes(target);
    if (out != std::vector<uint8_t>{'o', 'l', 'd'}) {
        EXPECT_EQ(out.size() % kFrameBytes, 0u);
        EXPECT_TRUE(std::equal(out.begin(), out.end(), bytes.begin()));
        if (code == 0) {
            EXPECT_EQ(out.size(), bytes.size());
        }
    } else {
        EXPECT_EQ(code, 2);
    }
}

// A second Ctrl-C used to kill a WAV export from an index, leaving hundreds of megabytes behind
// a header of 70 zero bytes.
TEST_F(InterruptedExport, RepeatedSignalsDuringAWaveExportLeaveAWellFormedFile) {
    const std::string indexed = work.File("indexed.mp3");
    std::filesystem::copy_file(source, indexed);
    ASSERT_EQ(RunCli({"scan", indexed}).exitCode, 0);
    const std::string target = work.File("out.wav");
    // The export writes a new file beside the target, which takes the target's name at the end.
    const int code = ExportUnderSignals({"export", indexed, target}, [this] {
        for (const auto& entry : std::filesystem::directory_iterator(work.Path())) {
            std::error_code error;
            if (entry.path().filename().string().rfind("~hl", 0) == 0 &&
                entry.file_size(error) > 70) {
                return true;
            }
        }
        return false;
    });
    ASSERT_TRUE(code == 2 || code == 0) << "ended by signal " << (-1 - code);
    EXPECT_FALSE(HasTemporaryFile(work.Path()));

    const std::vector<uint8_t> out = ReadFileBytes(target);
    ASSERT_GE(out.size(), 70u);
    const size_t data = out.size() - 70;
    EXPECT_EQ(std::string(out.begin(), out.begin() + 4), "RIFF");
    EXPECT_EQ(Le32(out, 4), out.size() - 8);
    EXPECT_EQ(Le32(out, 66), data);
    EXPECT_EQ(data % kFrameBytes, 0u);
    EXPECT_TRUE(std::equal(out.begin() + 70, out.end(), bytes.begin()));
    if (code == 0) {
        EXPECT_EQ(data, bytes.size());
    }
}

}  // namespace
}  // namespace sw::test
