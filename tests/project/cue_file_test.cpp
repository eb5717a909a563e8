#include "project/cue_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "frame_builder.h"
#include "stream/file_errors.h"
#include "stream/file_stream.h"
#include "stream/memory_stream.h"

namespace sw::test {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// The layout written out by hand: magic, counted path, counted name, two signed frames.
Bytes GoldenCueFile() {
    Bytes b = Text("Slicewell4-QFile");
    Append(b, {14, 0});
    Append(b, Text("/music/\xE9t\xE9.mp3"));
    Append(b, {9, 0});
    Append(b, Text("Cue 1: \xE9t"));
    Append(b, {0x10, 0x27, 0, 0});        // 10000
    Append(b, {0xFF, 0xFF, 0xFF, 0xFF});  // -1: nothing checks the range
    return b;
}

struct CueFixture : ::testing::Test {
    TempDir dir;
    TCutObject cut;
    TCueObject cue;

    CueFixture() {
        cut.FileName = "/music/\xE9t\xE9.mp3";
        cut.Name = "\xE9t\xE9";
        cue = {&cut, "Cue 1: \xE9t", 10000, -1};
    }
};

TEST_F(CueFixture, SavedCueFileHasTheGoldenBytes) {
    // Another program reads these files: one byte off and the cue is lost there.
    const std::string name = dir.File("a.m3q");
    ASSERT_TRUE(SaveCueFile(&cue, name));
    const Bytes written = ReadFileBytes(name);
    EXPECT_EQ(written, GoldenCueFile());
    EXPECT_EQ(written.size(), 28u + 14 + 9);
}

TEST_F(CueFixture, LoadGivesBackEveryFieldWithoutACutObject) {
    // A lost sign, byte or path would attach the cue to the wrong frames or file.
    const std::string name = dir.File("b.m3q");
    WriteFileBytes(name, GoldenCueFile());
    std::string source;
    const std::unique_ptr<TCueObject> loaded = LoadCueFile(name, source);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(source, cut.FileName);
    EXPECT_EQ(loaded->Name, cue.Name);
    EXPECT_EQ(loaded->MarkIn, 10000);
    EXPECT_EQ(loaded->MarkOut, -1);
    EXPECT_EQ(loaded->CutObject, nullptr);
}

TEST_F(CueFixture, RoundTripKeepsEmptyAndLongTexts) {
    // Empty names and names past 254 bytes must survive a save and a load unchanged.
    cut.FileName = "/" + std::string(1000, 'p') + ".mp3";
    for (const std::string& name : {std::string(), std::string(300, 'n')}) {
        cue.Name = name;
        const std::string file = dir.File("r.m3q");
        ASSERT_TRUE(SaveCueFile(&cue, file));
        std::string source;
        const auto loaded = LoadCueFile(file, source);
        ASSERT_TRUE(loaded);
        EXPECT_EQ(source, cut.FileName);
        EXPECT_EQ(loaded->Name, name);
        EXPECT_EQ(loaded->MarkOut, -1);
    }
}

TEST(CueFileRead, EveryTruncationGivesNoCueAndTrailingBytesAreIgnored) {
    // A file cut short inside the frame numbers must not come back with made-up frames.
    const Bytes full = GoldenCueFile();
    for (size_t length = 0; length < full.size(); ++length) {
        MemoryStream stream(Bytes(full.begin(), full.begin() + length));
        CueFileRecord record;
        EXPECT_FALSE(ReadCueRecord(stream, record)) << "cut to " << length << " bytes";
    }
    Bytes longer = full;
    Append(longer, Text("anything"));
    MemoryStream stream(longer);
    CueFileRecord record;
    ASSERT_TRUE(ReadCueRecord(stream, record));
    EXPECT_EQ(record.MarkOut, -1);
}

TEST(CueFileRead, WrongMagicAndOversizedCountsGiveNoCue) {
    // A near-miss signature, or a count that promises more than the file holds, is no cue file.
    Bytes lower = GoldenCueFile();
    lower[0] = 's';
    MemoryStream wrong(lower);
    CueFileRecord record;
    EXPECT_FALSE(ReadCueRecord(wrong, record));

    Bytes huge = Text("Slicewell4-QFile");
    Append(huge, {0xFF, 0xFF, 'x'});
    MemoryStream promised(huge);
    EXPECT_FALSE(ReadCueRecord(promised, record));
}

TEST(CueFileLoad, MissingFoldersAndFifosGiveNoCueWithoutWaiting) {
    // Opening a FIFO for reading would block the import until someone writes to it.
    TempDir dir;
    std::string source = "unchanged";
    EXPECT_FALSE(LoadCueFile(dir.File("none.m3q"), source));
    EXPECT_FALSE(LoadCueFile(dir.Path(), source));
    const std::string fifo = dir.File("pipe.m3q");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(LoadCueFile(fifo, source));
    EXPECT_EQ(source, "unchanged");
}

TEST_F(CueFixture, SaveWithoutCueOrCutObjectWritesNothing) {
    // A cue without a file has no source path to store; a file with an empty path is useless.
    const std::string name = dir.File("n.m3q");
    EXPECT_FALSE(SaveCueFile(nullptr, name));
    TCueObject orphan{nullptr, "x", 1, 2};
    EXPECT_FALSE(SaveCueFile(&orphan, name));
    EXPECT_FALSE(std::filesystem::exists(name));
}

TEST_F(CueFixture, SaveReplacesAnOldCueFileButNeverAnOpenSource) {
    // Writing over a file a cut object holds open would destroy the audio being cut.
    const std::string old = dir.File("old.m3q");
    WriteFileBytes(old, Text("old contents"));
    ASSERT_TRUE(SaveCueFile(&cue, old));
    EXPECT_EQ(ReadFileBytes(old), GoldenCueFile());

    const std::string audio = dir.File("source.mp3");
    WriteFileBytes(audio, MakeFrames(3));
    FileStream held(audio, FileMode::OpenRead, /*denyWrite=*/true);
    EXPECT_THROW(SaveCueFile(&cue, audio), FileCreateError);
    EXPECT_EQ(ReadFileBytes(audio), MakeFrames(3));
}

TEST_F(CueFixture, AFailedSaveLeavesThePreviousFileAndNoTemporaryFile) {
    // A half-written cue file in place of a good one is lost work.
    const std::string name = dir.File("keep.m3q");
    ASSERT_TRUE(SaveCueFile(&cue, name));
    cue.Name = std::string(70000, 'x');
    EXPECT_THROW(SaveCueFile(&cue, name), std::length_error);
    EXPECT_EQ(ReadFileBytes(name), GoldenCueFile());
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        ++files;
    }
    EXPECT_EQ(files, 1);
}

}  // namespace
}  // namespace sw::test
