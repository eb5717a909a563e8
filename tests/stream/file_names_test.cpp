#include "stream/file_names.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "frame_builder.h"

namespace sw {
namespace {

TEST(FileNames, FileKindIsTheLowerCasedFirstThreeExtensionCharacters) {
    // Breaks the import's choice by kind and the export's choice between MP3 and WAV.
    EXPECT_EQ(FileKind("a.WAVE"), "wav");
    EXPECT_EQ(FileKind("/x/Song.Mp3"), "mp3");
    EXPECT_EQ(FileKind("list.m3u8"), "m3u");
    EXPECT_EQ(FileKind("a.b.M3I"), "m3i");
    EXPECT_EQ(FileKind("a.q"), "q");
    EXPECT_EQ(FileKind("noext"), "");
    EXPECT_EQ(FileKind("trailing."), "");
    EXPECT_EQ(FileKind("/music.d/noext"), "") << "a dot in a folder is no extension";
    EXPECT_EQ(FileKind(""), "");
}

TEST(FileNames, ChangeFileExtReplacesOnlyTheLastExtension) {
    // Breaks the index file's place beside its source.
    EXPECT_EQ(ChangeFileExt("/a/song.mp3", "m3i"), "/a/song.m3i");
    EXPECT_EQ(ChangeFileExt("/a/live.set.mp3", "m3i"), "/a/live.set.m3i");
    EXPECT_EQ(ChangeFileExt("/a/song", "m3i"), "/a/song.m3i");
    EXPECT_EQ(ChangeFileExt("/a/song.", "m3i"), "/a/song.m3i");
    EXPECT_EQ(ChangeFileExt("/music.d/song", "m3i"), "/music.d/song.m3i");
}

TEST(FileNames, DisplayNameDropsFolderAndLastExtension) {
    // Breaks the names the bin and the cue list show.
    EXPECT_EQ(DisplayName("/a/b/live.set.mp3"), "live.set");
    EXPECT_EQ(DisplayName("/a/b.c/noext"), "noext");
    EXPECT_EQ(DisplayName("plain.mp3"), "plain");
    EXPECT_EQ(DisplayName("plain"), "plain");
}

TEST(FileNames, FolderAndNameParts) {
    // Breaks resolving names stored relative to a project or playlist.
    EXPECT_EQ(ExtractFileName("/a/b/c.mp3"), "c.mp3");
    EXPECT_EQ(ExtractFilePath("/a/b/c.mp3"), "/a/b/");
    EXPECT_EQ(ExtractFileName("c.mp3"), "c.mp3");
    EXPECT_EQ(ExtractFilePath("c.mp3"), "");
    EXPECT_EQ(ExtractFilePath("/c.mp3"), "/");
}

TEST(FileNames, SafeFileNameReplacesEachForbiddenCharacter) {
    // Breaks exports named after cues whose names hold characters a file name cannot.
    EXPECT_EQ(SafeFileName("a\"b*c/d:e<f>g?h\\i|j"), "a_b_c_d_e_f_g_h_i_j");
    EXPECT_EQ(SafeFileName("Caf\xC3\xA9 - 01.mp3"), "Caf\xC3\xA9 - 01.mp3");
    EXPECT_EQ(SafeFileName(""), "");
}

TEST(FileNames, ResolvePathKeepsAbsoluteNamesAndJoinsRelativeOnesOnce) {
    // Breaks loading projects whose files were stored with relative names.
    EXPECT_EQ(ResolvePath("/base", "/abs/x.mp3"), "/abs/x.mp3");
    EXPECT_EQ(ResolvePath("/base", "x.mp3"), "/base/x.mp3");
    EXPECT_EQ(ResolvePath("/base/", "x.mp3"), "/base/x.mp3");
    EXPECT_EQ(ResolvePath("/base", "sub/x.mp3"), "/base/sub/x.mp3");
}

TEST(FileNames, ExistenceReadOnlyAndAbsolutePath) {
    // Breaks the read-only test: a name whose attributes cannot be read counts as read-only.
    test::TempDir dir;
    const std::string name = dir.File("x.mp3");
    EXPECT_FALSE(FileExists(name));
    EXPECT_TRUE(IsReadOnly(name));
    test::WriteFileBytes(name, {1});
    EXPECT_TRUE(FileExists(name));
    EXPECT_FALSE(IsReadOnly(name));
    EXPECT_EQ(AbsolutePath("rel.mp3"), std::filesystem::current_path().string() + "/rel.mp3");
    EXPECT_EQ(AbsolutePath("/abs.mp3"), "/abs.mp3");
}

}  // namespace
}  // namespace sw
