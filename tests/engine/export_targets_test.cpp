#include "engine/export_targets.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <barrier>
#include <filesystem>
#include <thread>

#include "engine/export_target_file.h"
#include "engine/operation_error.h"
#include "engine_fixture.h"
#include "stream/document_file.h"
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
    EXPECT_THROW(ExportTargetFile{dir.File("x.m3p")}, OperationError);
    EXPECT_EQ(ReadFileBytes(dir.File("x.m3p")), std::vector<uint8_t>{7});
}

// The guard went by the name alone: a hard link hlink.mp3 to a project, a link cuelink.wav to a
// cue file or one named like audio to a playlist was overwritten with frames, and the export
// reported success. What the target is decides, whatever it is called.
TEST(AudioTargetProblem, DecidesByWhatTheTargetIsNotByItsName) {
    TempDir dir;
    WriteFileBytes(dir.File("p.m3p"),
                   std::vector<uint8_t>(kProjectFileMagic, kProjectFileMagic + 16));
    WriteFileBytes(dir.File("q.m3q"), std::vector<uint8_t>(kCueFileMagic, kCueFileMagic + 16));
    WriteFileBytes(dir.File("renamed-index.bin"), IndexFileNaming(AbsolutePath(dir.File("a.mp3"))));
    WriteFileBytes(dir.File("list.m3u"), {'a', '.', 'm', 'p', '3'});
    ASSERT_EQ(::link(dir.File("p.m3p").c_str(), dir.File("hlink.mp3").c_str()), 0);
    ASSERT_EQ(::symlink("q.m3q", dir.File("cuelink.wav").c_str()), 0);
    ASSERT_EQ(::symlink("list.m3u", dir.File("listlink.mp3").c_str()), 0);
    for (const char* name : {"hlink.mp3", "cuelink.wav", "renamed-index.bin", "listlink.mp3"}) {
        const std::string target = dir.File(name);
        const std::string problem = AudioTargetProblem(target);
        EXPECT_NE(problem.find(target), std::string::npos) << name << ": " << problem;
        EXPECT_THROW(ExportTargetFile{target}, OperationError) << name;
    }
    // Audio, a short file and a link to audio stay fair targets.
    WriteFileBytes(dir.File("song.mp3"), MakeFrames(2));
    WriteFileBytes(dir.File("short.mp3"), {'S', 'l'});
    ASSERT_EQ(::symlink("song.mp3", dir.File("songlink.mp3").c_str()), 0);
    for (const char* name : {"song.mp3", "short.mp3", "songlink.mp3"}) {
        EXPECT_EQ(AudioTargetProblem(dir.File(name)), "") << name;
    }
}

// Two exports to one target ran at once and both reported success over a mix of their bytes.
// Each now writes its own file; whichever finishes last replaces the target whole.
TEST(ExportTargetFile, ConcurrentExportsToOneTargetNeverMixTheirBytes) {
    TempDir dir;
    const std::string target = dir.File("out.mp3");
    const std::vector<uint8_t> first(256 * 1024, 0x11);
    const std::vector<uint8_t> second(256 * 1024, 0x22);
    for (int round = 0; round < 4; ++round) {
        WriteFileBytes(target, {'o', 'l', 'd'});
        std::barrier bothWriting(2);
        const auto exportBytes = [&](const std::vector<uint8_t>& bytes) {
            ExportTargetFile file(target);
            for (size_t at = 0; at < bytes.size(); at += 4096) {
                file.Stream().WriteBuffer(bytes.data() + at, 4096);
                if (at == 64 * 1024) {
                    bothWriting.arrive_and_wait();  // both are halfway through their bytes
                }
            }
            ExportOutcome outcome;
            EXPECT_TRUE(file.Finish(outcome));
        };
        std::thread other(exportBytes, std::cref(second));
        exportBytes(first);
        other.join();
        const std::vector<uint8_t> result = ReadFileBytes(target);
        EXPECT_TRUE(result == first || result == second) << "round " << round;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
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
TEST(ExportTargetFile, TargetThatCannotBeCreatedDeletesNothing) {
    TempDir dir;
    const std::string folder = dir.File("adir");
    std::filesystem::create_directory(folder);
    WriteFileBytes(dir.File("adir.m3i"), IndexFileNaming(AbsolutePath(folder)));
    EXPECT_THROW(ExportTargetFile{folder}, FileCreateError);
    EXPECT_TRUE(FileExists(dir.File("adir.m3i")));
}

}  // namespace
}  // namespace sw::test
