#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "cut_object_fixture.h"
#include "frame_builder.h"
#include "stream/cut_object.h"
#include "stream/file_errors.h"
#include "stream/file_stream.h"

namespace sw {
namespace {

using test::CutObjectTest;
using test::ReadFileBytes;

// Expects FileStream Create on name to fail with the user's text for that name.
void ExpectCreateRefused(const std::string& name) {
    try {
        FileStream stream(name, FileMode::Create);
        ADD_FAILURE() << "created " << name << " while its source is held";
    } catch (const FileCreateError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file " + name);
    }
}

TEST_F(CutObjectTest, HeldSourceCannotBeCreatedUnderAnyName) {
    // Breaks the user's audio: an export or save aimed at a file the project has open would
    // truncate it under the open cut object (the original platform denied this by sharing).
    const std::string source = MakeSource("held.mp3", 3);
    const std::vector<uint8_t> before = ReadFileBytes(source);
    const std::string hardLink = data_.File("hard.mp3");
    const std::string symLink = data_.File("sym.mp3");
    std::filesystem::create_hard_link(source, hardLink);
    std::filesystem::create_symlink(source, symLink);
    const std::string dotted = data_.Path() + "/./held.mp3";

    TCutObject* cut = CreateCutObject(source, options_);
    ASSERT_NE(cut, nullptr);
    EXPECT_TRUE(IsHeldSource(source));
    EXPECT_TRUE(IsHeldSource(hardLink));
    EXPECT_TRUE(IsHeldSource(symLink));
    for (const std::string& name : {source, hardLink, symLink, dotted}) {
        ExpectCreateRefused(name);
    }
    EXPECT_EQ(ReadFileBytes(source), before);

    FreeCutObject(cut);
    EXPECT_FALSE(IsHeldSource(source));
    { FileStream now(hardLink, FileMode::Create); }
    EXPECT_TRUE(ReadFileBytes(source).empty()) << "after release the file is writable again";
}

TEST_F(CutObjectTest, SourceStaysHeldWhileAnyHolderRemains) {
    // Breaks when freeing one of two cut objects of the same file releases the other's hold.
    const std::string source = MakeSource("twice.mp3", 2);
    CutObjectPtr first(CreateCutObject(source, options_));
    CutObjectPtr second(CreateCutObject(source, options_));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    first.reset();
    EXPECT_TRUE(IsHeldSource(source));
    ExpectCreateRefused(source);
    second.reset();
    EXPECT_FALSE(IsHeldSource(source));
}

TEST_F(CutObjectTest, ReadersWithoutDenyWriteDoNotHold) {
    // Breaks ordinary file reading (tags, playlists) if every open stream blocked writers.
    const std::string source = MakeSource("plain.mp3", 1);
    FileStream reader(source, FileMode::OpenRead);
    EXPECT_FALSE(IsHeldSource(source));
    FileStream writer(source, FileMode::Create);
}

TEST_F(CutObjectTest, IndexSavedOverAHeldSourceIsRefused) {
    // Breaks the user's audio: saving an index under the source's own name would replace the
    // source file by renaming the finished temporary over it.
    const std::string source = MakeSource("victim.mp3", 3);
    const std::vector<uint8_t> before = ReadFileBytes(source);
    CutObjectPtr cut = ScannedCutObject(source, 3);
    ASSERT_NE(cut, nullptr);
    EXPECT_THROW(SaveCutObject(cut.get(), source), FileCreateError);
    EXPECT_EQ(ReadFileBytes(source), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(data_.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(CutObjectTest, LoadedCutObjectHoldsItsSource) {
    // Breaks the hold for cut objects that come from an index file instead of a scan.
    const std::string source = MakeSource("loaded.mp3", 3);
    CutObjectPtr scanned = ScannedCutObject(source, 3);
    ASSERT_NE(scanned, nullptr);
    const std::string index = data_.File("loaded.m3i");
    ASSERT_EQ(SaveCutObject(scanned.get(), index), 0);
    scanned.reset();
    EXPECT_FALSE(IsHeldSource(source));
    CutObjectPtr loaded(LoadCutObject(index, options_));
    ASSERT_NE(loaded, nullptr);
    EXPECT_TRUE(IsHeldSource(source));
    ExpectCreateRefused(source);
    EXPECT_FALSE(IsHeldSource(index)) << "the index file is closed after loading";
}

}  // namespace
}  // namespace sw
