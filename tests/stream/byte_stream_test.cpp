#include "stream/byte_stream.h"

#include <gtest/gtest.h>

#include <vector>

#include "stream/file_errors.h"
#include "stream/memory_stream.h"

namespace sw {
namespace {

TEST(ByteStream, IntegersAreLittleEndian) {
    // Breaks every integer in the program's files and the header word of every frame.
    MemoryStream stream;
    stream.WriteUInt32(0x6490FBFFu);
    stream.WriteInt32(-2);
    stream.WriteByte(0x7F);
    EXPECT_EQ(stream.Bytes(),
              (std::vector<uint8_t>{0xFF, 0xFB, 0x90, 0x64, 0xFE, 0xFF, 0xFF, 0xFF, 0x7F}));
    stream.Seek(0, SeekOrigin::Begin);
    EXPECT_EQ(stream.ReadUInt32(), 0x6490FBFFu);
    EXPECT_EQ(stream.ReadInt32(), -2);
    EXPECT_EQ(stream.ReadByte(), 0x7F);
    EXPECT_THROW(stream.ReadByte(), StreamReadError);
}

TEST(ByteStream, ShortReadsThrowAndLeaveNoGuess) {
    // Breaks every reader of a truncated file that would otherwise use stale bytes.
    MemoryStream stream({1, 2, 3});
    EXPECT_THROW(stream.ReadUInt32(), StreamReadError);
    MemoryStream empty;
    uint8_t byte = 0;
    EXPECT_EQ(empty.Read(&byte, 1), 0);
    EXPECT_THROW(empty.ReadBuffer(&byte, 1), StreamReadError);
    EXPECT_NO_THROW(empty.ReadBuffer(&byte, 0));
}

TEST(ByteStream, SeekClampsAtZeroAndMayPassTheEnd) {
    // Breaks the sync search's step back at the start of a stream.
    MemoryStream stream({1, 2, 3, 4});
    EXPECT_EQ(stream.Seek(-3, SeekOrigin::Current), 0);
    EXPECT_EQ(stream.Seek(-10, SeekOrigin::End), 0);
    EXPECT_EQ(stream.Seek(2, SeekOrigin::End), 6);
    EXPECT_EQ(stream.Size(), 4);
    uint8_t byte = 0;
    EXPECT_EQ(stream.Read(&byte, 1), 0);
}

TEST(ByteStream, WritingPastTheEndFillsTheGapWithZeros) {
    // Breaks a tag appended after a seek: the gap must not hold stale memory.
    MemoryStream stream({1});
    stream.Seek(3, SeekOrigin::Begin);
    stream.WriteByte(9);
    EXPECT_EQ(stream.Bytes(), (std::vector<uint8_t>{1, 0, 0, 9}));
}

TEST(ByteStream, SetSizeKeepsThePositionInsideTheStream) {
    // Breaks index truncation after an aborted scan.
    MemoryStream stream({1, 2, 3, 4, 5});
    stream.Seek(4, SeekOrigin::Begin);
    stream.SetSize(2);
    EXPECT_EQ(stream.Size(), 2);
    EXPECT_LE(stream.Position(), 2);
    stream.Seek(1, SeekOrigin::Begin);
    stream.SetSize(4);
    EXPECT_EQ(stream.Position(), 1);
    EXPECT_EQ(stream.Bytes(), (std::vector<uint8_t>{1, 2, 0, 0}));
}

TEST(ByteStream, CopyFromZeroCopiesTheWholeSourceFromItsStart) {
    // Breaks saving an index stream whose position was left anywhere by the last lookup.
    MemoryStream source({1, 2, 3, 4, 5});
    source.Seek(3, SeekOrigin::Begin);
    MemoryStream target;
    EXPECT_EQ(target.CopyFrom(source, 0), 5);
    EXPECT_EQ(target.Bytes(), source.Bytes());

    source.Seek(1, SeekOrigin::Begin);
    MemoryStream part;
    EXPECT_EQ(part.CopyFrom(source, 3), 3);
    EXPECT_EQ(part.Bytes(), (std::vector<uint8_t>{2, 3, 4}));
}

TEST(ByteStream, CopyFromMoreThanAvailableThrowsAfterWritingWhatItRead) {
    // Breaks the export of a range whose source file was cut short.
    MemoryStream source(std::vector<uint8_t>(100000, 7));
    source.Seek(99990, SeekOrigin::Begin);
    MemoryStream target;
    EXPECT_THROW(target.CopyFrom(source, 20), StreamReadError);
    EXPECT_EQ(target.Size(), 10);
}

}  // namespace
}  // namespace sw
