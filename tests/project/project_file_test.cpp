#include "project/project_file.h"

#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "frame_builder.h"
#include "stream/file_errors.h"
#include "stream/file_names.h"
#include "stream/memory_stream.h"

namespace sw::test {
namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<uint8_t> Counted(const std::string& text) {
    std::vector<uint8_t> out = {static_cast<uint8_t>(text.size()),
                                static_cast<uint8_t>(text.size() >> 8)};
    Append(out, Bytes(text));
    return out;
}

std::vector<uint8_t> Int32(int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

std::vector<uint8_t> Written(const ProjectFileContents& contents) {
    MemoryStream stream;
    WriteProject(stream, contents);
    return stream.Bytes();
}

ProjectFileContents TwoFilesThreeCues() {
    ProjectFileContents p;
    p.Properties.Comment = "line one\r\nline two";
    p.Properties.Tag = {"Title", "Artist", "Album", "2024", "tag comment", 17, 4};
    p.Properties.Private = 1;
    p.Properties.Copyright = 0;
    p.Properties.Original = 1;
    p.Properties.ExportFlags = 2;
    p.Files = {"/music/a.mp3", "/music/b\xE9.mp3"};
    p.Cues = {{"/music/a.mp3", "Intro", 0, 99},
              {"/music/b\xE9.mp3", "", 5, 5},
              {"/music/a.mp3", "Outro", 100, 2147483647}};
    return p;
}

TEST(ProjectFileFormat, NewEmptyProjectHasTheGoldenBytes) {
    // A project saved right after New: signature, empty texts, zero bytes, flags 3, no entries.
    std::vector<uint8_t> expected = Bytes("SlicewellProject");
    Append(expected, std::vector<uint8_t>(12, 0));  // comment and five tag texts
    Append(expected, {0, 0, 0, 0, 0});              // genre, track, private, copyright, original
    Append(expected, {3, 0, 0, 0});
    Append(expected, Int32(0));
    Append(expected, Int32(0));
    EXPECT_EQ(Written(ProjectFileContents{}), expected);
}

TEST(ProjectFileFormat, FilesAndCuesHaveTheGoldenBytes) {
    const ProjectFileContents p = TwoFilesThreeCues();
    std::vector<uint8_t> expected = Bytes("SlicewellProject");
    for (const std::string& text :
         {std::string("line one\r\nline two"), std::string("Title"), std::string("Artist"),
          std::string("Album"), std::string("2024"), std::string("tag comment")}) {
        Append(expected, Counted(text));
    }
    Append(expected, {17, 4, 1, 0, 1});
    Append(expected, Int32(2));
    Append(expected, Int32(2));
    Append(expected, Counted("/music/a.mp3"));
    Append(expected, Counted("/music/b\xE9.mp3"));
    Append(expected, Int32(3));
    for (const ProjectFileCue& cue : p.Cues) {
        Append(expected, Counted(cue.FileName));
        Append(expected, Counted(cue.Name));
        Append(expected, Int32(cue.MarkIn));
        Append(expected, Int32(cue.MarkOut));
    }
    EXPECT_EQ(Written(p), expected);
}

TEST(ProjectFileFormat, SavingAndLoadingReproducesEveryField) {
    TempDir dir;
    const ProjectFileContents saved = TwoFilesThreeCues();
    WriteProjectFile(dir.File("p.m3p"), saved);
    ProjectFileContents loaded;
    ASSERT_EQ(ReadProjectFile(dir.File("p.m3p"), loaded), ProjectReadResult::Ok);
    EXPECT_EQ(loaded.Properties.Comment, saved.Properties.Comment);
    EXPECT_EQ(loaded.Properties.Tag, saved.Properties.Tag);
    EXPECT_EQ(loaded.Properties.Private, 1);
    EXPECT_EQ(loaded.Properties.Copyright, 0);
    EXPECT_EQ(loaded.Properties.Original, 1);
    EXPECT_EQ(loaded.Properties.ExportFlags, 2);
    EXPECT_EQ(loaded.Files, saved.Files);
    EXPECT_EQ(loaded.Cues, saved.Cues);
    EXPECT_EQ(ReadFileBytes(dir.File("p.m3p")), Written(saved));
}

TEST(ProjectFileFormat, TextTooLongToStoreFailsTheSaveAndKeepsThePreviousFile) {
    // A counted string holds at most 65535 bytes; a longer comment must not cost the old file.
    TempDir dir;
    const std::string name = dir.File("doc.m3p");
    WriteFileBytes(name, {1, 2, 3});
    ProjectFileContents tooLong;
    tooLong.Properties.Comment.assign(70000, 'x');
    EXPECT_THROW(WriteProjectFile(name, tooLong), std::length_error);
    EXPECT_EQ(ReadFileBytes(name), (std::vector<uint8_t>{1, 2, 3}));
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1u);
}

TEST(ProjectFileReader, EveryTruncationFailsAsTheFormatSays) {
    // Short signature: not a project. Cut before the cue count: a read error. Cut inside the
    // cues: the complete records stay and the load succeeds. Never a crash or an overread.
    const std::vector<uint8_t> full = Written(TwoFilesThreeCues());
    const ProjectFileContents all = TwoFilesThreeCues();
    size_t cueCountAt = full.size();
    for (const ProjectFileCue& cue : all.Cues) {
        cueCountAt -= 2 + cue.FileName.size() + 2 + cue.Name.size() + 8;
    }
    cueCountAt -= 4;
    for (size_t length = 0; length < full.size(); ++length) {
        MemoryStream stream(std::vector<uint8_t>(full.begin(), full.begin() + long(length)));
        ProjectFileContents contents;
        if (length < 16) {
            EXPECT_EQ(ReadProject(stream, contents), ProjectReadResult::BadSignature) << length;
        } else if (length < cueCountAt + 4) {
            EXPECT_THROW(ReadProject(stream, contents), StreamReadError) << length;
        } else {
            ASSERT_EQ(ReadProject(stream, contents), ProjectReadResult::Ok) << length;
            EXPECT_LT(contents.Cues.size(), 3u) << length;
            // Whoever shows the load can say how many records were lost.
            EXPECT_EQ(contents.UnreadCues, 3 - int32_t(contents.Cues.size())) << length;
            for (size_t i = 0; i < contents.Cues.size(); ++i) {
                EXPECT_EQ(contents.Cues[i], all.Cues[i]) << length;
            }
        }
    }
}

TEST(ProjectFileReader, SignatureMustMatchExactly) {
    std::vector<uint8_t> bytes = Written(ProjectFileContents{});
    bytes[9] = 'p';  // "Slicewellproject"
    MemoryStream stream(bytes);
    ProjectFileContents contents;
    EXPECT_EQ(ReadProject(stream, contents), ProjectReadResult::BadSignature);
}

TEST(ProjectFileReader, HugeCountsInAShortFileDoNotAllocateAhead) {
    std::vector<uint8_t> header = Written(ProjectFileContents{});
    header.resize(header.size() - 8);

    std::vector<uint8_t> files = header;
    Append(files, Int32(0x7FFFFFFF));
    Append(files, Counted("/only/one"));
    MemoryStream fileStream(files);
    ProjectFileContents contents;
    EXPECT_THROW(ReadProject(fileStream, contents), StreamReadError);
    EXPECT_EQ(contents.Files, std::vector<std::string>{"/only/one"});

    std::vector<uint8_t> cues = header;
    Append(cues, Int32(0));
    Append(cues, Int32(0x7FFFFFFF));
    Append(cues, Counted("/a.mp3"));
    Append(cues, Counted("cue"));
    Append(cues, Int32(1));
    Append(cues, Int32(2));
    Append(cues, {0xFF, 0xFF});  // a name that claims 65535 bytes
    MemoryStream cueStream(cues);
    ProjectFileContents withCues;
    ASSERT_EQ(ReadProject(cueStream, withCues), ProjectReadResult::Ok);
    ASSERT_EQ(withCues.Cues.size(), 1u);
    EXPECT_EQ(withCues.Cues[0], (ProjectFileCue{"/a.mp3", "cue", 1, 2}));
}

TEST(ProjectFileReader, NegativeCountsReadNothing) {
    std::vector<uint8_t> bytes = Written(ProjectFileContents{});
    bytes.resize(bytes.size() - 8);
    Append(bytes, Int32(-5));
    Append(bytes, Int32(-1));
    Append(bytes, Counted("never read"));
    MemoryStream stream(bytes);
    ProjectFileContents contents;
    ASSERT_EQ(ReadProject(stream, contents), ProjectReadResult::Ok);
    EXPECT_TRUE(contents.Files.empty());
    EXPECT_TRUE(contents.Cues.empty());
}

TEST(ProjectFileReader, MillionsOfEmptyNamesCostAboutTheFileItself) {
    // Breaks the promise that a project costs about the memory of its file: a vector of strings
    // took 32 bytes for each two-byte empty name, and 10 M of them peaked above 500 MB.
    constexpr int32_t kNames = 1'000'000;
    std::vector<uint8_t> bytes = Written(ProjectFileContents{});
    bytes.resize(bytes.size() - 8);
    Append(bytes, Int32(kNames));
    bytes.resize(bytes.size() + 2 * size_t(kNames), 0);
    Append(bytes, Int32(kNames));  // as many empty cue records
    bytes.resize(bytes.size() + 12 * size_t(kNames), 0);
    MemoryStream stream(std::move(bytes));
    const size_t fileSize = static_cast<size_t>(stream.Size());

    const size_t before = ::mallinfo2().uordblks;
    ProjectFileContents contents;
    ASSERT_EQ(ReadProject(stream, contents), ProjectReadResult::Ok);
    const size_t used = ::mallinfo2().uordblks - before;
    EXPECT_EQ(contents.Files.size(), size_t(kNames));
    EXPECT_EQ(contents.Cues.size(), size_t(kNames));
    EXPECT_EQ(contents.Files[kNames - 1], "");
    EXPECT_EQ(contents.Cues[kNames - 1], (ProjectFileCue{"", "", 0, 0}));
    EXPECT_LT(used, fileSize * 3 / 2) << used << " bytes for a file of " << fileSize;
}

TEST(ProjectFileReader, ListsKeepEveryTextAndWalkInOrder) {
    // Breaks the compact lists the reader fills: a text lost, cut or shifted across the points
    // where the index jumps, or cues whose names and marks come apart.
    TextList names;
    std::vector<std::string> expected;
    for (int i = 0; i < 300; ++i) {
        expected.push_back(i % 7 == 0 ? "" : std::string(size_t(i % 13), char('a' + i % 26)));
        names.push_back(expected.back());
    }
    expected.push_back(std::string(65535, 'z'));
    names.push_back(expected.back());
    EXPECT_THROW(names.push_back(std::string(65536, 'z')), std::length_error);
    ASSERT_EQ(names.size(), expected.size());
    EXPECT_EQ(names, expected);
    EXPECT_EQ(names.ToVector(), expected);
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(names[i], expected[i]) << i;
    }
    EXPECT_THROW(names.View(expected.size()), std::out_of_range);

    ProjectCueList cues;
    for (int i = 0; i < 200; ++i) {
        cues.push_back({expected[size_t(i)], expected[size_t(i + 1)], i, -i});
    }
    int i = 0;
    for (const ProjectFileCue& cue : cues) {
        EXPECT_EQ(cue, (ProjectFileCue{expected[size_t(i)], expected[size_t(i + 1)], i, -i})) << i;
        ++i;
    }
    EXPECT_EQ(i, 200);
    EXPECT_EQ(cues[130], (ProjectFileCue{expected[130], expected[131], 130, -130}));
}

TEST(ProjectFileReader, FoldersAndPipesAreRefusedWithoutWaiting) {
    // Breaks opening a project: a FIFO named p.m3p blocked the open forever, and a folder was
    // reported as a missing file.
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("pipe.m3p").c_str(), 0600), 0);
    std::filesystem::create_directory(dir.File("folder.m3p"));
    ProjectFileContents contents;
    try {
        ReadProjectFile(dir.File("pipe.m3p"), contents);
        ADD_FAILURE() << "a FIFO was read";
    } catch (const FileRefusedError& error) {
        EXPECT_EQ(error.Reason(), ReadOpenResult::NotRegular);
        EXPECT_NE(std::string(error.what()).find("not a regular file"), std::string::npos);
    }
    try {
        ReadProjectFile(dir.File("folder.m3p"), contents);
        ADD_FAILURE() << "a folder was read";
    } catch (const FileRefusedError& error) {
        EXPECT_EQ(std::string(error.what()), dir.File("folder.m3p") + " is a folder, not a file");
    }
}

TEST(ProjectFileReader, MissingFileIsNotFoundAndAnUnreadableOneRaisesTheOpenError) {
    TempDir dir;
    ProjectFileContents contents;
    EXPECT_EQ(ReadProjectFile(dir.File("none.m3p"), contents), ProjectReadResult::NotFound);
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads files whatever their permissions";
    }
    WriteProjectFile(dir.File("locked.m3p"), ProjectFileContents{});
    ::chmod(dir.File("locked.m3p").c_str(), 0);
    try {
        ReadProjectFile(dir.File("locked.m3p"), contents);
        ADD_FAILURE() << "no error";
    } catch (const FileOpenError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file " + dir.File("locked.m3p"));
    }
}

}  // namespace
}  // namespace sw::test
