#include "stream/document_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <stdexcept>

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

}  // namespace
}  // namespace sw::test
