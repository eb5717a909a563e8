#include "stream/document_file.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "file_size_limit.h"
#include "frame_builder.h"
#include "stream/file_errors.h"
#include "stream/file_names.h"
#include "stream/file_stream.h"

namespace sw::test {
namespace {

size_t EntriesIn(const std::string& folder) {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

void WriteText(ByteStream& stream, const std::string& text) {
    stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

TEST(WriteDocumentFile, FailedSaveKeepsThePreviousFileAndLeavesNoTemporary) {
    // Writing in place would have truncated the user's document before the error struck.
    TempDir dir;
    const std::string name = dir.File("doc.m3p");
    WriteFileBytes(name, {1, 2, 3});
    EXPECT_THROW(WriteDocumentFile(name,
                                   [](ByteStream& stream) {
                                       WriteText(stream, "partial");
                                       throw StreamWriteError();
                                   }),
                 StreamWriteError);
    EXPECT_EQ(ReadFileBytes(name), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);

    // A full disk says so, rather than a bare "Stream write error" (writes past a size limit
    // fail as writes to a full disk do).
    try {
        const FileSizeLimit full(100);
        WriteDocumentFile(name,
                          [](ByteStream& stream) { WriteText(stream, std::string(200, 'x')); });
        ADD_FAILURE() << "saved";
    } catch (const FileWriteError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot write file " + name + ": File too large");
    }
    EXPECT_EQ(ReadFileBytes(name), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(WriteDocumentFile, ReplacesTheTargetWhenComplete) {
    TempDir dir;
    const std::string name = dir.File("doc.m3p");
    WriteFileBytes(name, std::vector<uint8_t>(100, 9));
    WriteDocumentFile(name, [](ByteStream& stream) { WriteText(stream, "new"); });
    EXPECT_EQ(ReadFileBytes(name), (std::vector<uint8_t>{'n', 'e', 'w'}));
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST(WriteDocumentFile, MissingFolderRaisesTheCreateErrorWithTheTargetName) {
    TempDir dir;
    const std::string name = dir.File("no/such/doc.m3p");
    try {
        WriteDocumentFile(name, [](ByteStream&) {});
        ADD_FAILURE() << "no error";
    } catch (const FileCreateError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file " + name);
    }
}

TEST(WriteDocumentFile, OpenSourceIsNeverReplaced) {
    // A source held by a cut object must not be overwritten, also not by a rename.
    TempDir dir;
    const std::string name = dir.File("song.mp3");
    WriteFileBytes(name, {7, 7, 7});
    FileStream held(name, FileMode::OpenRead, true);
    EXPECT_THROW(WriteDocumentFile(name, [](ByteStream& s) { WriteText(s, "x"); }),
                 FileCreateError);
    EXPECT_EQ(ReadFileBytes(name), (std::vector<uint8_t>{7, 7, 7}));
}

TEST(WriteDocumentFile, NewFileGetsUsualPermissionsAndAReplacedOneKeepsItsOwn) {
    // The temporary file is private (0600); a saved document must not stay that way.
    TempDir dir;
    const mode_t old = ::umask(022);
    WriteDocumentFile(dir.File("new.m3p"), [](ByteStream& s) { WriteText(s, "x"); });
    ::umask(old);
    struct stat st {};
    ASSERT_EQ(::stat(dir.File("new.m3p").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);

    ::chmod(dir.File("new.m3p").c_str(), 0640);
    WriteDocumentFile(dir.File("new.m3p"), [](ByteStream& s) { WriteText(s, "y"); });
    ASSERT_EQ(::stat(dir.File("new.m3p").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// What lstat says the name is now: 'f' regular file, 'l' link, 'c' character device, 'p' FIFO,
// 's' socket, 'd' folder, '-' nothing.
char KindOf(const std::string& name) {
    struct stat st {};
    if (::lstat(name.c_str(), &st) != 0) {
        return '-';
    }
    return S_ISREG(st.st_mode)    ? 'f'
           : S_ISLNK(st.st_mode)  ? 'l'
           : S_ISCHR(st.st_mode)  ? 'c'
           : S_ISFIFO(st.st_mode) ? 'p'
           : S_ISSOCK(st.st_mode) ? 's'
           : S_ISDIR(st.st_mode)  ? 'd'
                                  : '?';
}

// Saves "new" to name and returns the create error's text, or "" when the save succeeded.
std::string SaveError(const std::string& name) {
    try {
        WriteDocumentFile(name, [](ByteStream& s) { WriteText(s, "new"); });
        return "";
    } catch (const FileCreateError& error) {
        return error.what();
    }
}

TEST(WriteDocumentFile, DevicesPipesSocketsAndFoldersAreRefusedAndLeftAlone) {
    // Breaks the system and reports success: run as root, an index saved onto /dev/full
    // replaced the device with a regular file, and a FIFO the same way.
    TempDir dir;
    std::vector<std::string> names = {dir.File("fifo.m3i"), dir.File("folder.m3i"),
                                      dir.File("socket.m3i")};
    ASSERT_EQ(::mkfifo(names[0].c_str(), 0666), 0);
    std::filesystem::create_directory(names[1]);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", names[2].c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    if (::mknod(dir.File("myfull").c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0) {
        names.push_back(dir.File("myfull"));
    }
    for (const std::string& name : names) {
        const char kind = KindOf(name);
        EXPECT_EQ(SaveError(name), "Cannot create file " + name);
        EXPECT_EQ(KindOf(name), kind) << name;
    }
    ::close(sock);
    EXPECT_EQ(EntriesIn(dir.Path()), names.size()) << "a temporary file was left behind";
}

TEST(WriteDocumentFile, LinksAreWrittenThroughAndStayLinks) {
    // Breaks a user's link farm: the save replaced the link itself with a file of its own, while
    // exports write through links. The temporary file must sit beside the real file so that the
    // rename stays inside one folder.
    TempDir dir;
    std::filesystem::create_directory(dir.File("real"));
    WriteFileBytes(dir.File("real/doc.m3p"), {1});
    std::filesystem::create_symlink("real/doc.m3p", dir.File("relative.m3p"));
    std::filesystem::create_symlink(dir.File("relative.m3p"), dir.File("chain.m3p"));
    for (const char* link : {"relative.m3p", "chain.m3p"}) {
        EXPECT_EQ(SaveError(dir.File(link)), "") << link;
        EXPECT_EQ(KindOf(dir.File(link)), 'l') << link;
        EXPECT_EQ(ReadFileBytes(dir.File("real/doc.m3p")), (std::vector<uint8_t>{'n', 'e', 'w'}));
        WriteFileBytes(dir.File("real/doc.m3p"), {1});
    }
    EXPECT_EQ(EntriesIn(dir.File("real")), 1u);

    // A link to a file not yet there names where the document goes.
    std::filesystem::create_symlink("real/later.m3p", dir.File("dangling.m3p"));
    EXPECT_EQ(SaveError(dir.File("dangling.m3p")), "");
    EXPECT_EQ(KindOf(dir.File("dangling.m3p")), 'l');
    EXPECT_EQ(ReadFileBytes(dir.File("real/later.m3p")), (std::vector<uint8_t>{'n', 'e', 'w'}));

    // A link to a FIFO is refused like the FIFO; a loop of links too.
    ASSERT_EQ(::mkfifo(dir.File("real/fifo").c_str(), 0666), 0);
    std::filesystem::create_symlink("real/fifo", dir.File("to_fifo.m3p"));
    std::filesystem::create_symlink("loop_b.m3p", dir.File("loop_a.m3p"));
    std::filesystem::create_symlink("loop_a.m3p", dir.File("loop_b.m3p"));
    for (const char* link : {"to_fifo.m3p", "loop_a.m3p"}) {
        EXPECT_EQ(SaveError(dir.File(link)), "Cannot create file " + dir.File(link)) << link;
        EXPECT_EQ(KindOf(dir.File(link)), 'l') << link;
    }
    EXPECT_EQ(KindOf(dir.File("real/fifo")), 'p');
}

TEST(WriteDocumentFile, ReadOnlyTargetsAndFoldersFailWithTheTargetsOwnName) {
    // Breaks the message and the user's file: saving over a read-only file failed with "Cannot
    // open file ~hlXXXXXX", naming the temporary file, and root replaced it. A file or folder
    // whose owner write bit is clear counts as read-only, also for root.
    TempDir dir;
    const std::string locked = dir.File("locked.m3i");
    WriteFileBytes(locked, {1, 2});
    ::chmod(locked.c_str(), 0444);
    EXPECT_EQ(SaveError(locked), "Cannot create file " + locked);
    EXPECT_EQ(ReadFileBytes(locked), (std::vector<uint8_t>{1, 2}));

    std::filesystem::create_directory(dir.File("shut"));
    WriteFileBytes(dir.File("shut/doc.m3i"), {3});
    ::chmod(dir.File("shut").c_str(), 0555);
    EXPECT_EQ(SaveError(dir.File("shut/doc.m3i")),
              "Cannot create file " + dir.File("shut/doc.m3i"));
    EXPECT_EQ(SaveError(dir.File("shut/new.m3i")),
              "Cannot create file " + dir.File("shut/new.m3i"));
    EXPECT_EQ(ReadFileBytes(dir.File("shut/doc.m3i")), (std::vector<uint8_t>{3}));
    EXPECT_EQ(EntriesIn(dir.File("shut")), 1u);
    ::chmod(dir.File("shut").c_str(), 0755);
    EXPECT_EQ(EntriesIn(dir.Path()), 2u);
}

// Replacing used to remove the old target first and then rename: when the rename failed, the
// name held nothing at all. A rename that finds no new file to move must leave the old one, and
// say why.
TEST(ReplacementFile, FailedRenameLeavesTheOldTargetInPlace) {
    TempDir dir;
    const std::string target = dir.File("out.mp3");
    for (const auto how : {ReplacementFile::Commit::Durable, ReplacementFile::Commit::Fast}) {
        WriteFileBytes(target, {'o', 'l', 'd'});
        ReplacementFile replacement(target);
        ASSERT_EQ(::write(replacement.Descriptor(), "new", 3), 3);
        ASSERT_EQ(::unlink(replacement.TempName().c_str()), 0);
        try {
            replacement.Replace(how);
            ADD_FAILURE() << "replaced by nothing";
        } catch (const FileWriteError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "Cannot write file " + target + ": No such file or directory");
        }
        EXPECT_EQ(ReadFileBytes(target), (std::vector<uint8_t>{'o', 'l', 'd'}));
    }
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

}  // namespace
}  // namespace sw::test
