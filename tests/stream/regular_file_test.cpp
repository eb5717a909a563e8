#include "stream/regular_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <string>

#include "cut_object_fixture.h"
#include "frame_builder.h"
#include "stream/cut_object.h"
#include "stream/file_errors.h"
#include "stream/file_names.h"
#include "stream/file_stream.h"

namespace sw::test {
namespace {

ReadOpenResult Open(const std::string& name, bool readWrite = false) {
    int fd = -1;
    const ReadOpenResult result = OpenRegularFile(name, readWrite, fd);
    EXPECT_EQ(fd >= 0, result == ReadOpenResult::Opened) << name;
    if (fd >= 0) {
        EXPECT_EQ(::fcntl(fd, F_GETFL) & O_NONBLOCK, 0) << "left non-blocking: " << name;
        ::close(fd);
    }
    return result;
}

TEST(OpenRegularFile, FifosDevicesAndFoldersAreRefusedWithoutBlocking) {
    // Breaks by hanging: a FIFO without a writer blocked every blocking open forever, and a
    // folder was reported as a missing file. If this test hangs, the open blocked.
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("x.wav").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.File("adir"));
    WriteFileBytes(dir.File("file.mp3"), {1, 2, 3});
    std::filesystem::create_symlink(dir.File("x.wav"), dir.File("to_fifo"));
    std::filesystem::create_symlink(dir.File("file.mp3"), dir.File("to_file"));
    std::filesystem::create_symlink(dir.File("gone"), dir.File("dangling"));
    for (bool readWrite : {false, true}) {
        SCOPED_TRACE(readWrite ? "read and write" : "read");
        EXPECT_EQ(Open(dir.File("x.wav"), readWrite), ReadOpenResult::NotRegular);
        EXPECT_EQ(Open(dir.File("to_fifo"), readWrite), ReadOpenResult::NotRegular);
        EXPECT_EQ(Open("/dev/null", readWrite), ReadOpenResult::NotRegular);
        EXPECT_EQ(Open(dir.File("adir"), readWrite), ReadOpenResult::Folder);
        EXPECT_EQ(Open(dir.File("missing"), readWrite), ReadOpenResult::NotFound);
        EXPECT_EQ(Open(dir.File("dangling"), readWrite), ReadOpenResult::NotFound);
        EXPECT_EQ(Open(dir.File("file.mp3/inside"), readWrite), ReadOpenResult::NotFound);
        EXPECT_EQ(Open("", readWrite), ReadOpenResult::NotFound);
        EXPECT_EQ(Open(dir.File("file.mp3"), readWrite), ReadOpenResult::Opened);
        EXPECT_EQ(Open(dir.File("to_file"), readWrite), ReadOpenResult::Opened);
    }
    int fd = -1;
    int64_t size = -1;
    ASSERT_EQ(OpenRegularFile(dir.File("file.mp3"), false, fd, &size), ReadOpenResult::Opened);
    ::close(fd);
    EXPECT_EQ(size, 3);
    EXPECT_EQ(ProbeRegularFile(dir.File("x.wav")), ReadOpenResult::NotRegular);
}

TEST(OpenRegularFile, FileStreamSaysWhatItRefused) {
    // Breaks the message the command line and the windows show for a wrong input.
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("x.wav").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.File("adir"));
    for (FileMode mode : {FileMode::OpenRead, FileMode::OpenReadWrite}) {
        try {
            FileStream stream(dir.File("x.wav"), mode);
            ADD_FAILURE() << "a FIFO was opened";
        } catch (const FileRefusedError& error) {
            EXPECT_EQ(std::string(error.what()), dir.File("x.wav") +
                                                     " is not a regular file (a pipe, socket or "
                                                     "device)");
        }
        try {
            FileStream stream(dir.File("adir"), mode);
            ADD_FAILURE() << "a folder was opened";
        } catch (const FileRefusedError& error) {
            EXPECT_EQ(std::string(error.what()), dir.File("adir") + " is a folder, not a file");
        }
        EXPECT_THROW(FileStream(dir.File("missing"), mode), FileOpenError);
    }
}

TEST_F(CutObjectTest, FoldersAndFifosAsSourcesSayWhatTheyAre) {
    // Breaks the user's message, and hangs: "scan x.wav" on a FIFO blocked, and a folder was
    // "File not found".
    ASSERT_EQ(::mkfifo(data_.File("x.mp3").c_str(), 0600), 0);
    std::filesystem::create_directory(data_.File("adir.mp3"));
    CreateFailure failure = CreateFailure::None;
    EXPECT_EQ(CreateCutObject(data_.File("x.mp3"), options_, &failure), nullptr);
    EXPECT_EQ(failure, CreateFailure::NotRegular);
    EXPECT_NE(CreateFailureText(failure, "x.mp3").find("x.mp3 is not a regular file"),
              std::string::npos);
    EXPECT_EQ(CreateCutObject(data_.File("adir.mp3"), options_, &failure), nullptr);
    EXPECT_EQ(failure, CreateFailure::Folder);
    EXPECT_EQ(CreateFailureText(failure, "adir.mp3"), "adir.mp3 is a folder, not a file");
    EXPECT_FALSE(IsHeldSource(data_.File("x.mp3")));
}

TEST_F(CutObjectTest, FifoIndexOrFifoSourceNeverBlocksTheLoad) {
    // Breaks by hanging: a FIFO named a.m3i beside a.mp3, or an index naming a FIFO as its
    // source, blocked LoadCutObject before anything was checked.
    ASSERT_EQ(::mkfifo(data_.File("a.m3i").c_str(), 0600), 0);
    EXPECT_EQ(LoadCutObject(data_.File("a.m3i"), options_), nullptr);

    CutObjectPtr cut = ScannedCutObject(MakeSource("song.mp3", 3), 3);
    cut->FileName = data_.File("pipe.mp3");
    ASSERT_EQ(::mkfifo(cut->FileName.c_str(), 0600), 0);
    ASSERT_EQ(SaveCutObject(cut.get(), data_.File("pipe.m3i")), 0);
    cut.reset();
    CutObjectPtr loaded(LoadCutObject(data_.File("pipe.m3i"), options_));
    ASSERT_NE(loaded, nullptr) << "an index whose source is unusable still loads, as for a "
                                  "missing source";
    EXPECT_EQ(loaded->FileStream, nullptr);
}

// A loop of links was taken for a missing file ("Unable to find file"), and a working folder
// longer than the system takes gave a bare "Cannot open file s.mp3": neither said what to mend.
TEST(OpenRegularFile, RefusalSaysWhyTheFileCannotBeOpened) {
    TempDir dir;
    const std::string loop = dir.File("a.mp3");
    ASSERT_EQ(::symlink("b.mp3", loop.c_str()), 0);
    ASSERT_EQ(::symlink("a.mp3", dir.File("b.mp3").c_str()), 0);
    EXPECT_TRUE(FileExists(loop)) << "there, though it cannot be opened";
    EXPECT_EQ(Open(loop), ReadOpenResult::Failed);
    EXPECT_EQ(ReadOpenFailureText(ReadOpenResult::Failed, loop),
              "Cannot open file " + loop + ": its symbolic links lead round in a loop");

    // Down a chain of folders until the working folder alone is longer than a path may be.
    const int saved = ::open(".", O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(::chdir(dir.Path().c_str()), 0);
    const std::string step(200, 'd');
    int depth = 0;
    for (; depth * 201 <= PATH_MAX; ++depth) {
        ASSERT_EQ(::mkdir(step.c_str(), 0755), 0);
        ASSERT_EQ(::chdir(step.c_str()), 0);
    }
    WriteFileBytes("s.mp3", {1});
    EXPECT_EQ(Open("s.mp3"), ReadOpenResult::Opened);
    EXPECT_EQ(ReadOpenFailureText(ReadOpenResult::Failed, "s.mp3"),
              "Cannot open file s.mp3: its full path is longer than the system takes (" +
                  std::to_string(PATH_MAX) + " bytes)");
    ::unlink("s.mp3");
    for (; depth > 0; --depth) {
        ASSERT_EQ(::chdir(".."), 0);
        ::rmdir(step.c_str());
    }
    ASSERT_EQ(::fchdir(saved), 0);
    ::close(saved);
}

}  // namespace
}  // namespace sw::test
