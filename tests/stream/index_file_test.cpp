#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <iterator>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "cut_object_fixture.h"
#include "frame_builder.h"
#include "stream/cut_object.h"
#include "stream/file_errors.h"
#include "stream/file_names.h"
#include "stream/file_stream.h"
#include "stream/memory_stream.h"

namespace sw {
namespace {

using test::CutObjectTest;
using test::ReadFileBytes;
using test::WriteFileBytes;

// Little-endian byte writer for expected file images.
struct Bytes {
    std::vector<uint8_t> data;
    Bytes& Raw(const std::string& text) {
        data.insert(data.end(), text.begin(), text.end());
        return *this;
    }
    Bytes& U8(uint8_t value) {
        data.push_back(value);
        return *this;
    }
    Bytes& I32(int32_t value) {
        for (int i = 0; i < 4; ++i) {
            data.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
        }
        return *this;
    }
    Bytes& Str(const std::string& text) {
        data.push_back(static_cast<uint8_t>(text.size() & 0xFF));
        data.push_back(static_cast<uint8_t>(text.size() >> 8));
        return Raw(text);
    }
};

const std::vector<uint8_t> kCommonFrameInfoBytes = {
    0x01, 0x03, 0x80, 0x00, 0x00, 0x00, 0x44, 0xAC, 0x00, 0x00, 0x01, 0x0A, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0xA1, 0x01, 0x00, 0x00};

// Everything of the index file up to, not including, the index length L.
Bytes HeaderImage(const std::string& source, const std::string& name, int32_t fileSize = 2085) {
    Bytes b;
    b.Raw("Slicewell4-Index").Str(source).Str(name).I32(fileSize);
    b.data.insert(b.data.end(), {0x00, 0x00, 0xC0, 0x3F});  // 1.5f
    b.data.insert(b.data.end(), kCommonFrameInfoBytes.begin(), kCommonFrameInfoBytes.end());
    b.Str("Title").Str("").Str("Al").Str("1999").Str("c").U8(17).U8(4);
    b.I32(2).U8(1).U8(1).U8(0);
    return b;
}

class IndexFileTest : public CutObjectTest {
  protected:
    // A scanned five-frame cut object whose fields match HeaderImage.
    CutObjectPtr FiveFrames() {
        source_ = MakeSource("five.mp3", 5);
        CutObjectPtr cut = ScannedCutObject(source_, 5);
        cut->Name = "five";
        cut->FileSize = 2085;
        cut->PlayTime = 1.5f;
        cut->Tag.Title = "Title";
        cut->Tag.Album = "Al";
        cut->Tag.Year = "1999";
        cut->Tag.Comment = "c";
        cut->Tag.Genre = 17;
        cut->Tag.Track = 4;
        cut->DroppedFrames = 2;
        cut->Vbr = true;
        cut->HasTag = true;
        cut->CompletelyScanned = false;
        cut->MarkIn = 2;
        cut->MarkOut = 3;
        return cut;
    }

    std::vector<uint8_t> GoldenImage() {
        Bytes b = HeaderImage(source_, "five");
        b.I32(20);
        for (int i = 0; i < 5; ++i) {
            b.I32(417 * i);
        }
        return b.data;
    }

    // A crafted index file with the given L and entries.
    std::string Crafted(int32_t length, const std::vector<int32_t>& entries,
                        int32_t fileSize = 2085) {
        Bytes b = HeaderImage(source_, "five", fileSize);
        b.I32(length);
        for (int32_t entry : entries) {
            b.I32(entry);
        }
        const std::string fileName = data_.File("crafted.m3i");
        WriteFileBytes(fileName, b.data);
        return fileName;
    }

    // Loads and frees at once, so that a wrongly accepted file holds nothing open.
    bool Loads(const std::string& indexFileName) const {
        return CutObjectPtr(LoadCutObject(indexFileName, options_)) != nullptr;
    }

    std::string source_;
};

TEST_F(IndexFileTest, SaveWritesTheGoldenByteLayout) {
    // Breaks every index file written before: field order, widths and the counted strings.
    CutObjectPtr cut = FiveFrames();
    cut->IndexStream->Seek(8, SeekOrigin::Begin);  // saving must not depend on the position
    const std::string target = data_.File("five.m3i");
    ASSERT_EQ(SaveCutObject(cut.get(), target), 0);
    EXPECT_EQ(ReadFileBytes(target), GoldenImage());
}

TEST_F(IndexFileTest, LoadReproducesEveryStoredFieldAndResetsTheMarks) {
    // Breaks reopening a saved project: any field lost or shifted in the round trip.
    CutObjectPtr saved = FiveFrames();
    const std::string target = data_.File("five.m3i");
    ASSERT_EQ(SaveCutObject(saved.get(), target), 0);
    for (bool asFile : {false, true}) {
        SCOPED_TRACE(asFile ? "file index" : "memory index");
        options_.IndexAsFileStream = asFile;
        TCutObject* loaded = LoadCutObject(target, options_);
        ASSERT_NE(loaded, nullptr);
        EXPECT_EQ(loaded->FileName, saved->FileName);
        EXPECT_EQ(loaded->Name, "five");
        EXPECT_EQ(loaded->FileSize, 2085);
        EXPECT_EQ(loaded->PlayTime, 1.5f);
        EXPECT_EQ(loaded->FrameInfo, saved->FrameInfo);
        EXPECT_EQ(loaded->Tag, saved->Tag);
        EXPECT_EQ(loaded->DroppedFrames, 2);
        EXPECT_TRUE(loaded->Vbr);
        EXPECT_TRUE(loaded->HasTag);
        EXPECT_FALSE(loaded->CompletelyScanned);
        EXPECT_EQ(loaded->MarkIn, 0);
        EXPECT_EQ(loaded->MarkOut, 4);
        EXPECT_NE(loaded->FileStream, nullptr);
        ASSERT_NE(loaded->IndexStream, nullptr);
        EXPECT_EQ(loaded->FrameCount(), 5);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(FrameOffset(loaded, i), 417 * i);
        }
        EXPECT_EQ(FrameHeader(loaded, 4), DecodeFrameHeader(test::MakeHeaderWord({})));
        const std::string indexName = loaded->IndexFileName;
        if (asFile) {
            EXPECT_EQ(ExtractFilePath(indexName), temp_.Path() + "/");
            EXPECT_EQ(ExtractFileName(indexName).rfind("~hl", 0), 0u) << indexName;
        } else {
            EXPECT_EQ(indexName, "");
        }
        FreeCutObject(loaded);
        EXPECT_TRUE(TempFiles().empty());
    }
    EXPECT_EQ(ReadFileBytes(target), GoldenImage()) << "loading must not change the file";
}

TEST_F(IndexFileTest, CutObjectWithoutIndexSavesLengthZeroAndLoadsWithoutIndex) {
    // Breaks saving a cut object whose index could not be created.
    CutObjectPtr cut = FiveFrames();
    cut->IndexStream.reset();
    const std::string target = data_.File("noindex.m3i");
    ASSERT_EQ(SaveCutObject(cut.get(), target), 0);
    Bytes expected = HeaderImage(source_, "five");
    expected.I32(0);
    EXPECT_EQ(ReadFileBytes(target), expected.data);
    CutObjectPtr loaded(LoadCutObject(target, options_));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->IndexStream, nullptr);
    EXPECT_EQ(loaded->FrameCount(), 0);
}

TEST_F(IndexFileTest, MissingSourceLoadsWithoutFileStream) {
    // Breaks the bin's "file missing" report: the index must still load.
    CutObjectPtr cut = FiveFrames();
    const std::string target = data_.File("five.m3i");
    ASSERT_EQ(SaveCutObject(cut.get(), target), 0);
    cut.reset();
    std::filesystem::remove(source_);
    CutObjectPtr loaded(LoadCutObject(target, options_));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->FileStream, nullptr);
    EXPECT_EQ(loaded->FrameCount(), 5);
}

TEST_F(IndexFileTest, SaveWithoutCutObjectIsNotInitialized) {
    // Breaks the status the bin shows for a save of nothing.
    EXPECT_EQ(SaveCutObject(nullptr, data_.File("x.m3i")), 5);
    EXPECT_FALSE(FileExists(data_.File("x.m3i")));
}

TEST_F(IndexFileTest, WrongMagicInAnyByteIsRejected) {
    // Breaks the import of an arbitrary file renamed to ".m3i".
    CutObjectPtr cut = FiveFrames();
    std::vector<uint8_t> image = GoldenImage();
    const std::string target = data_.File("bad.m3i");
    for (size_t i = 0; i < 16; ++i) {
        std::vector<uint8_t> bad = image;
        bad[i] ^= 0x20;  // the same letter in the other case, or another character
        WriteFileBytes(target, bad);
        EXPECT_FALSE(Loads(target)) << "byte " << i;
    }
    EXPECT_FALSE(Loads(data_.File("absent.m3i")));
    EXPECT_TRUE(TempFiles().empty());
}

TEST_F(IndexFileTest, EveryTruncationIsRejectedAndFreesWhatItOpened) {
    // Breaks on a half-written index file: no prefix of a valid file may load, and a failed
    // load must not leave a temporary index file or a held source behind.
    CutObjectPtr cut = FiveFrames();
    const std::vector<uint8_t> image = GoldenImage();
    cut.reset();
    const std::string target = data_.File("short.m3i");
    for (bool asFile : {false, true}) {
        options_.IndexAsFileStream = asFile;
        for (size_t size = 0; size < image.size(); ++size) {
            WriteFileBytes(target, std::vector<uint8_t>(image.begin(), image.begin() + size));
            TCutObject* loaded = LoadCutObject(target, options_);
            EXPECT_EQ(loaded, nullptr) << size << " of " << image.size() << " bytes";
            FreeCutObject(loaded);
        }
        EXPECT_TRUE(TempFiles().empty());
        EXPECT_FALSE(IsHeldSource(source_));
    }
}

TEST_F(IndexFileTest, ImpossibleIndexLengthsAreRejected) {
    // Breaks on a corrupt or hostile file: a negative length, a length that is not whole
    // entries, or one larger than the file (which must be refused before allocating it).
    CutObjectPtr cut = FiveFrames();
    cut.reset();
    const std::vector<int32_t> entries = {0, 417, 834, 1251, 1668};
    EXPECT_FALSE(Loads(Crafted(-4, entries)));
    EXPECT_FALSE(Loads(Crafted(-2147483647 - 1, entries)));
    EXPECT_FALSE(Loads(Crafted(18, entries)));
    EXPECT_FALSE(Loads(Crafted(24, entries)));
    EXPECT_FALSE(Loads(Crafted(2147483644, entries)));
    CutObjectPtr fine(LoadCutObject(Crafted(20, entries), options_));
    ASSERT_NE(fine, nullptr);
    EXPECT_EQ(fine->FrameCount(), 5);
}

TEST_F(IndexFileTest, IndexThatDoesNotRiseOrLeavesTheSourceIsRejected) {
    // Breaks every lookup after loading a corrupt index: offsets must rise strictly and point
    // into the source, or the player and exports read outside the frames.
    CutObjectPtr cut = FiveFrames();
    cut.reset();
    EXPECT_FALSE(Loads(Crafted(12, {0, 417, 417})));
    EXPECT_FALSE(Loads(Crafted(12, {0, 834, 417})));
    EXPECT_FALSE(Loads(Crafted(8, {-417, 0})));
    EXPECT_FALSE(Loads(Crafted(8, {0, 2085}))) << "offset at the source's end";
    EXPECT_FALSE(Loads(Crafted(8, {0, 2147483647})));
    CutObjectPtr one(LoadCutObject(Crafted(4, {1668}), options_));
    EXPECT_NE(one, nullptr);
    EXPECT_TRUE(TempFiles().empty());
}

TEST_F(IndexFileTest, HeadersMustFitInsideTheSourceTheyAreReadFrom) {
    // Breaks the player on a stale or forged index: an entry whose four header bytes do not
    // fit the stored size, or the source as it is now, must never come back usable.
    CutObjectPtr cut = FiveFrames();
    cut.reset();
    EXPECT_FALSE(Loads(Crafted(8, {0, 2083}))) << "header cut by the end";

    // The source shrank (or was replaced) since the index was saved: the file is still worth
    // having, so it loads without the index and can be scanned again.
    CutObjectPtr stale(LoadCutObject(Crafted(8, {0, 4000}, 100000), options_));
    ASSERT_NE(stale, nullptr);
    EXPECT_NE(stale->FileStream, nullptr);
    EXPECT_EQ(stale->IndexStream, nullptr);
    EXPECT_EQ(stale->FrameCount(), 0);
    EXPECT_TRUE(TempFiles().empty());
}

TEST_F(IndexFileTest, SummaryNoScanWritesIsRefusedLikeATruncatedIndex) {
    // Breaks the time codes, the report and the wave format of a loaded index: a frame info no
    // header decodes to (INT_MAX bitrate over a 1-byte frame overflowed the frame rate), a play
    // time that is not a finite number a scan can sum, or negative counts must never load.
    using Mutation = void (*)(TCutObject&);
    const Mutation refused[] = {
        [](TCutObject& c) { c.FrameInfo.Version = 0; },
        [](TCutObject& c) { c.FrameInfo.Version = 5; },
        [](TCutObject& c) { c.FrameInfo.Layer = 0; },
        [](TCutObject& c) { c.FrameInfo.Bitrate = 2147483647; },
        [](TCutObject& c) { c.FrameInfo.Bitrate = 129; },
        [](TCutObject& c) { c.FrameInfo.SampleRate = 44101; },
        [](TCutObject& c) { c.FrameInfo.ChannelMode = 4; },
        [](TCutObject& c) { c.FrameInfo.ModeExtension = 12; },
        [](TCutObject& c) { c.FrameInfo.ModeExtension = -2147483647 - 1; },
        [](TCutObject& c) { c.FrameInfo.Padding = 2; },
        [](TCutObject& c) { c.FrameInfo.Padding = 1; },  // a padded frame is 418 bytes
        [](TCutObject& c) { c.FrameInfo.Crc = 2; },
        [](TCutObject& c) { c.FrameInfo.Emphasis = 2; },
        [](TCutObject& c) { c.FrameInfo.FrameLength = 1; },
        [](TCutObject& c) { c.FrameInfo.FrameLength = 0; },
        [](TCutObject& c) { c.PlayTime = std::numeric_limits<float>::quiet_NaN(); },
        [](TCutObject& c) { c.PlayTime = std::numeric_limits<float>::infinity(); },
        [](TCutObject& c) { c.PlayTime = -1.0f; },
        [](TCutObject& c) { c.PlayTime = 3e38f; },
        [](TCutObject& c) { c.PlayTime = 4.2f; },  // 2085 bytes play 2.1 s at most at 8 kbit/s
        [](TCutObject& c) { c.DroppedFrames = -2; },
        [](TCutObject& c) { c.DroppedFrames = -2147483647 - 1; },
        [](TCutObject& c) { c.FileSize = -1; },
    };
    const Mutation accepted[] = {
        [](TCutObject&) {},
        [](TCutObject& c) { c.FrameInfo = kNoFrame; },  // saved before any frame was found
        [](TCutObject& c) { c.FrameInfo.Crc = 1; },
        [](TCutObject& c) { c.FrameInfo.Copyright = 1; },
        [](TCutObject& c) { c.FrameInfo.ChannelMode = 3; },
        [](TCutObject& c) { c.FrameInfo.ModeExtension = 11; },
        [](TCutObject& c) { c.PlayTime = 0; },
        [](TCutObject& c) { c.PlayTime = 4.16f; },
        // What a scan stores when it found no frame, and older versions for a file ending on a
        // lone header: index files holding it stay valid.
        [](TCutObject& c) { c.DroppedFrames = -1; },
    };
    const std::string target = data_.File("mutated.m3i");
    for (size_t i = 0; i < std::size(refused); ++i) {
        CutObjectPtr cut = FiveFrames();
        refused[i](*cut);
        ASSERT_EQ(SaveCutObject(cut.get(), target), 0);
        cut.reset();
        EXPECT_FALSE(Loads(target)) << "refused case " << i;
        EXPECT_FALSE(IsHeldSource(source_)) << i;
    }
    for (size_t i = 0; i < std::size(accepted); ++i) {
        CutObjectPtr cut = FiveFrames();
        accepted[i](*cut);
        ASSERT_EQ(SaveCutObject(cut.get(), target), 0);
        cut.reset();
        EXPECT_TRUE(Loads(target)) << "accepted case " << i;
    }
    EXPECT_TRUE(TempFiles().empty());
}

TEST_F(IndexFileTest, FrameRecordIsReadFieldByFieldLittleEndian) {
    // Breaks index files moved between machines: the 25-byte record must be read as its
    // little-endian fields, not as the host's image of a packed struct.
    CutObjectPtr cut = FiveFrames();
    cut->FrameInfo = DecodeFrameHeader(test::MakeHeaderWord({.bitrateIndex = 14, .rateIndex = 1}));
    const std::string target = data_.File("fields.m3i");
    ASSERT_EQ(SaveCutObject(cut.get(), target), 0);
    const std::vector<uint8_t> bytes = ReadFileBytes(target);
    const size_t at = 16 + 2 + source_.size() + 2 + 4 + 4 + 4;  // magic, names, size, time
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + long(at), bytes.begin() + long(at) + 10),
              (std::vector<uint8_t>{0x01, 0x03, 0x40, 0x01, 0x00, 0x00, 0x80, 0xBB, 0x00, 0x00}))
        << "Version, Layer, Bitrate 320, SampleRate 48000";
    CutObjectPtr loaded(LoadCutObject(target, options_));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->FrameInfo, cut->FrameInfo);
    EXPECT_EQ(loaded->FrameInfo.FrameLength, 960);
}

TEST_F(IndexFileTest, FailedSaveLeavesThePreviousFileIntact) {
    // Breaks the user's saved index when a save fails halfway: the old file must survive and
    // no half-written temporary may be left beside it.
    CutObjectPtr cut = FiveFrames();
    const std::string target = data_.File("five.m3i");
    ASSERT_EQ(SaveCutObject(cut.get(), target), 0);
    const std::vector<uint8_t> before = ReadFileBytes(target);
    const auto filesBefore = std::distance(std::filesystem::directory_iterator(data_.Path()),
                                           std::filesystem::directory_iterator());

    cut->Tag.Comment = std::string(70000, 'x');  // not representable as a counted string
    EXPECT_THROW(SaveCutObject(cut.get(), target), std::length_error);
    EXPECT_EQ(ReadFileBytes(target), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(data_.Path()),
                            std::filesystem::directory_iterator()),
              filesBefore);

    cut->Tag.Comment = "c";
    cut->Name = "renamed";
    ASSERT_EQ(SaveCutObject(cut.get(), target), 0);
    EXPECT_NE(ReadFileBytes(target), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(data_.Path()),
                            std::filesystem::directory_iterator()),
              filesBefore);
}

TEST_F(IndexFileTest, SaveIntoAMissingFolderThrowsCannotCreate) {
    // Breaks the top-level error display, which shows the create error's text.
    CutObjectPtr cut = FiveFrames();
    const std::string target = data_.File("missing/five.m3i");
    try {
        SaveCutObject(cut.get(), target);
        ADD_FAILURE() << "save into a missing folder succeeded";
    } catch (const FileCreateError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Cannot create file ", 0), 0u) << error.what();
    }
}

}  // namespace
}  // namespace sw
