#include "engine/export_targets.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "engine/operation_error.h"
#include "engine_fixture.h"
#include "stream/file_errors.h"
#include "stream/file_names.h"

namespace sw::test {
namespace {

// MPEG frames written over a project, playlist or index file would be lost to the program that
// reads it, and the file to the user.
TEST(AudioTargetProblem, RefusesTheProgramsDocumentsAndTheProjectBeingExported) {
    TempDir dir;
    for (const std::string name : {"a.m3p", "a.M3U", "a.m3u8", "a.pls", "a.m3i", "a.m3q", ""}) {
        EXPECT_NE(AudioTargetProblem(name), "") << name;
    }
    for (const std::string name : {"a.mp3", "a.wav", "a.WAVE", "a", "a.mp2"}) {
        EXPECT_EQ(AudioTargetProblem(name), "") << name;
    }
    const std::string project = dir.File("p.m3p");
    WriteFileBytes(project, {1});
    ASSERT_EQ(::symlink(project.c_str(), dir.File("p.mp3").c_str()), 0);
    ASSERT_EQ(::link(project.c_str(), dir.File("hard.mp3").c_str()), 0);
    EXPECT_NE(AudioTargetProblem(dir.File("p.mp3"), project), "");
    EXPECT_NE(AudioTargetProblem(dir.File("hard.mp3"), project), "");
    EXPECT_EQ(AudioTargetProblem(dir.File("other.mp3"), project), "");

    // Refused before the target or anything beside it is touched.
    WriteFileBytes(dir.File("x.m3p"), {7});
    EXPECT_THROW(CreateExportTarget(dir.File("x.m3p")), OperationError);
    EXPECT_EQ(ReadFileBytes(dir.File("x.m3p")), std::vector<uint8_t>{7});
}

// The export used to delete whatever ".m3i" lay beside the target, the source's own index of
// an export a.mp3 -> a.wav included, and before the target was even created.
TEST(RemoveIndexDescribing, RemovesOnlyAnIndexWhoseSourceIsTheTarget) {
    TempDir dir;
    const std::string target = dir.File("a.wav");
    const std::string index = dir.File("a.m3i");
    WriteFileBytes(target, {1});

    WriteFileBytes(index, IndexFileNaming(AbsolutePath(dir.File("a.mp3"))));
    RemoveIndexDescribing(target);
    EXPECT_TRUE(FileExists(index)) << "the index of another file";

    WriteFileBytes(index, {'n', 'o', 't'});
    RemoveIndexDescribing(target);
    EXPECT_TRUE(FileExists(index)) << "no index at all";

    ASSERT_EQ(::symlink(target.c_str(), dir.File("link.wav").c_str()), 0);
    WriteFileBytes(index, IndexFileNaming(AbsolutePath(dir.File("link.wav"))));
    RemoveIndexDescribing(target);
    EXPECT_FALSE(FileExists(index)) << "an index of the target by another name";

    WriteFileBytes(index, IndexFileNaming(AbsolutePath(target)));
    RemoveIndexDescribing(target);
    EXPECT_FALSE(FileExists(index));
}

// Exporting onto a folder fails to create it; the index beside it used to be gone already.
TEST(CreateExportTarget, TargetThatCannotBeCreatedDeletesNothing) {
    TempDir dir;
    const std::string folder = dir.File("adir");
    std::filesystem::create_directory(folder);
    WriteFileBytes(dir.File("adir.m3i"), IndexFileNaming(AbsolutePath(folder)));
    EXPECT_THROW(CreateExportTarget(folder), FileCreateError);
    EXPECT_TRUE(FileExists(dir.File("adir.m3i")));
}

}  // namespace
}  // namespace sw::test
