#include "stream/file_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "frame_builder.h"
#include "stream/file_errors.h"
#include "stream/memory_stream.h"

namespace sw {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

// Runs the same random operations on both streams and stops at the first disagreement.
// Transfers are mostly small (the scan's 4-byte reads and short seeks) with occasional large
// ones that cross any buffer boundary.
void RunDifferential(FileStream& file, MemoryStream& memory, uint32_t seed, int steps) {
    std::mt19937 random(seed);
    auto pick = [&](int64_t low, int64_t high) {
        return std::uniform_int_distribution<int64_t>(low, high)(random);
    };
    auto length = [&]() { return pick(0, 9) == 0 ? pick(0, 70000) : pick(0, 16); };
    for (int step = 0; step < steps; ++step) {
        const int64_t size = memory.Size();
        const int op = static_cast<int>(pick(0, 9));
        SCOPED_TRACE(testing::Message() << "seed " << seed << " step " << step << " op " << op);
        if (op <= 2) {
            std::vector<uint8_t> data(static_cast<size_t>(length()));
            for (uint8_t& b : data) {
                b = static_cast<uint8_t>(pick(0, 255));
            }
            const auto n = static_cast<int64_t>(data.size());
            ASSERT_EQ(file.Write(data.data(), n), memory.Write(data.data(), n));
        } else if (op <= 5) {
            const int64_t n = length();
            std::vector<uint8_t> a(static_cast<size_t>(n), 0xAA);
            std::vector<uint8_t> b(static_cast<size_t>(n), 0xAA);
            const int64_t got = memory.Read(b.data(), n);
            ASSERT_EQ(file.Read(a.data(), n), got);
            ASSERT_EQ(a, b);
        } else if (op <= 7) {
            const auto origin = static_cast<SeekOrigin>(pick(0, 2));
            const int64_t offset = pick(-size - 20, size + 20);
            ASSERT_EQ(file.Seek(offset, origin), memory.Seek(offset, origin));
        } else if (op == 8) {
            const int64_t newSize = pick(0, size + 500);
            file.SetSize(newSize);
            memory.SetSize(newSize);
        } else {
            file.Flush();
        }
        ASSERT_EQ(file.Size(), memory.Size());
        ASSERT_EQ(file.Position(), memory.Position());
    }
}

TEST(FileStream, RandomMixedOperationsAgreeWithTheMemoryStream) {
    // Breaks the buffered file stream wherever its buffer and the file part ways: a read after
    // a write, a seek inside or past the buffer, a size change with buffered data.
    TempDir dir;
    for (uint32_t seed = 1; seed <= 8; ++seed) {
        const std::string name = dir.File("diff" + std::to_string(seed));
        MemoryStream memory;
        {
            FileStream file(name, FileMode::Create);
            RunDifferential(file, memory, seed, 600);
            if (HasFatalFailure()) {
                return;
            }
        }
        EXPECT_EQ(ReadFileBytes(name), memory.Bytes()) << "seed " << seed << " after close";
        {
            FileStream reopened(name, FileMode::OpenReadWrite);
            memory.Seek(0, SeekOrigin::Begin);
            RunDifferential(reopened, memory, seed + 1000, 300);
            if (HasFatalFailure()) {
                return;
            }
        }
        EXPECT_EQ(ReadFileBytes(name), memory.Bytes()) << "seed " << seed << " after reopen";
    }
}

TEST(FileStream, SizeCountsBufferedWrites) {
    // Breaks the export's progress and the index's frame count, both read before any flush.
    TempDir dir;
    FileStream file(dir.File("size"), FileMode::Create);
    std::vector<uint8_t> data(100, 7);
    file.WriteBuffer(data.data(), 100);
    EXPECT_EQ(file.Size(), 100);
    file.Seek(50, SeekOrigin::Begin);
    file.WriteBuffer(data.data(), 100);
    EXPECT_EQ(file.Size(), 150);
    file.Seek(10, SeekOrigin::End);
    EXPECT_EQ(file.Size(), 150) << "seeking past the end does not grow the file";
    file.WriteByte(1);
    EXPECT_EQ(file.Size(), 161);
}

TEST(FileStream, ReadingPastTheEndDoesNotGrowTheSize) {
    // Breaks the frame count of an index file stream and the tag search: a read attempted
    // beyond the end must not make the stream report a larger size.
    TempDir dir;
    WriteFileBytes(dir.File("ten"), std::vector<uint8_t>(10, 1));
    FileStream file(dir.File("ten"), FileMode::OpenRead);
    file.Seek(5000, SeekOrigin::Begin);
    uint8_t buffer[4];
    EXPECT_EQ(file.Read(buffer, 4), 0);
    EXPECT_EQ(file.Size(), 10);
    EXPECT_EQ(file.Seek(0, SeekOrigin::End), 10);
}

TEST(FileStream, SetSizeBelowTheCachedWindowReportsTheNewSize) {
    // Breaks truncating an index after an aborted scan: the old cached window must not keep
    // the stream's size at its former end.
    TempDir dir;
    FileStream file(dir.File("cut"), FileMode::Create);
    std::vector<uint8_t> data(300000, 3);
    file.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
    file.Seek(250000, SeekOrigin::Begin);
    file.WriteByte(4);  // a cached window far from the start
    file.SetSize(1000);
    EXPECT_EQ(file.Size(), 1000);
    EXPECT_EQ(file.Seek(0, SeekOrigin::End), 1000);
    file.Flush();
    EXPECT_EQ(ReadFileBytes(dir.File("cut")).size(), 1000u);
}

// A large read that begins inside the cached window takes the rest straight from the file; it
// must still see bytes written but not yet flushed, and the file's bytes after the window.
TEST(FileStream, LargeReadStartingInTheCacheSeesTheFileAndUnflushedWrites) {
    TempDir dir;
    const std::string name = dir.File("large.bin");
    std::vector<uint8_t> bytes(600 * 1024);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
    }
    WriteFileBytes(name, bytes);
    FileStream file(name, FileMode::OpenReadWrite);
    uint8_t small[16];
    file.Seek(100 * 1024, SeekOrigin::Begin);
    ASSERT_EQ(file.Read(small, 16), 16);  // the cache now starts at 100 KiB
    const uint8_t changed[3] = {1, 2, 3};
    file.Seek(200 * 1024, SeekOrigin::Begin);
    ASSERT_EQ(file.Write(changed, 3), 3);
    for (int i = 0; i < 3; ++i) {
        bytes[200 * 1024 + i] = changed[i];
    }

    std::vector<uint8_t> got(300 * 1024);
    file.Seek(150 * 1024, SeekOrigin::Begin);
    ASSERT_EQ(file.Read(got.data(), int64_t(got.size())), int64_t(got.size()));
    EXPECT_TRUE(std::equal(got.begin(), got.end(), bytes.begin() + 150 * 1024));
    EXPECT_EQ(file.Position(), 450 * 1024);
}

TEST(FileStream, ShortReadAtTheEnd) {
    // Breaks the sync search's last window and the short-read error of every reader.
    TempDir dir;
    WriteFileBytes(dir.File("ten"), {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    FileStream file(dir.File("ten"), FileMode::OpenRead);
    file.Seek(6, SeekOrigin::Begin);
    uint8_t buffer[10] = {};
    EXPECT_EQ(file.Read(buffer, 10), 4);
    EXPECT_EQ(buffer[0], 6);
    EXPECT_EQ(buffer[3], 9);
    EXPECT_EQ(file.Position(), 10);
    EXPECT_EQ(file.Read(buffer, 10), 0);
    file.Seek(8, SeekOrigin::Begin);
    EXPECT_THROW(file.ReadBuffer(buffer, 4), StreamReadError);
    file.Seek(100, SeekOrigin::Begin);
    EXPECT_EQ(file.Read(buffer, 4), 0);
}

TEST(FileStream, ClosingWritesBufferedData) {
    // Breaks every saved file whose last bytes sat in the buffer when the stream was closed.
    TempDir dir;
    {
        FileStream file(dir.File("out"), FileMode::Create);
        file.WriteUInt32(0x04030201u);
    }
    EXPECT_EQ(ReadFileBytes(dir.File("out")), (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST(FileStream, OpenAndCreateFailuresCarryTheUsersText) {
    // Breaks the top-level error display, which shows these texts unchanged.
    TempDir dir;
    const std::string missing = dir.File("missing.mp3");
    try {
        FileStream file(missing, FileMode::OpenRead);
        ADD_FAILURE() << "opened a missing file";
    } catch (const FileOpenError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file " + missing);
    }
    EXPECT_THROW(FileStream(missing, FileMode::OpenReadWrite), FileOpenError);
    const std::string noFolder = dir.File("none/new.mp3");
    try {
        FileStream file(noFolder, FileMode::Create);
        ADD_FAILURE() << "created a file in a missing folder";
    } catch (const FileCreateError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file " + noFolder);
    }
}

TEST(FileStream, WritingAReadOnlyStreamFailsLoudly) {
    // Breaks silently lost data: a write the file never receives must be an error, not a
    // success that vanishes at close.
    TempDir dir;
    WriteFileBytes(dir.File("ro"), {1, 2, 3});
    {
        FileStream file(dir.File("ro"), FileMode::OpenRead);
        const uint8_t data[2] = {9, 9};
        EXPECT_THROW(
            {
                file.WriteBuffer(data, 2);
                file.Flush();
            },
            StreamWriteError);
    }
    EXPECT_EQ(ReadFileBytes(dir.File("ro")), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(FileStream, CreateTruncatesAndOpenReadWriteKeeps) {
    // Breaks tag writing (which opens an existing export) or export (which replaces a file).
    TempDir dir;
    WriteFileBytes(dir.File("f"), {1, 2, 3});
    {
        FileStream keep(dir.File("f"), FileMode::OpenReadWrite);
        EXPECT_EQ(keep.Size(), 3);
        keep.Seek(0, SeekOrigin::End);
        keep.WriteByte(4);
    }
    EXPECT_EQ(ReadFileBytes(dir.File("f")), (std::vector<uint8_t>{1, 2, 3, 4}));
    { FileStream fresh(dir.File("f"), FileMode::Create); }
    EXPECT_TRUE(ReadFileBytes(dir.File("f")).empty());
}

}  // namespace
}  // namespace sw
