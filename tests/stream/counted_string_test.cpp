#include "stream/counted_string.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "stream/file_errors.h"
#include "stream/memory_stream.h"

namespace sw {
namespace {

TEST(CountedString, LayoutIsLittleEndianCountThenBytes) {
    // Breaks every index, cue and project file written before.
    MemoryStream stream;
    WriteCountedString(stream, "abc");
    WriteCountedString(stream, "");
    EXPECT_EQ(stream.Bytes(), (std::vector<uint8_t>{3, 0, 'a', 'b', 'c', 0, 0}));
}

TEST(CountedString, AnyBytesRoundTripUpToTheLargestCount) {
    // Breaks names with zero bytes or high bytes, or the largest count that fits.
    std::string binary("a\0b\xFF\x80", 5);
    const std::string largest(65535, 'z');
    MemoryStream stream;
    WriteCountedString(stream, binary);
    WriteCountedString(stream, largest);
    EXPECT_EQ(stream.Size(), 2 + 5 + 2 + 65535);
    stream.Seek(0, SeekOrigin::Begin);
    EXPECT_EQ(ReadCountedString(stream), binary);
    EXPECT_EQ(ReadCountedString(stream), largest);
}

TEST(CountedString, OverlongTextIsRefusedWithoutWritingAnything) {
    // Breaks a file whose count wrapped around: it would no longer match its text.
    MemoryStream stream;
    EXPECT_THROW(WriteCountedString(stream, std::string(65536, 'x')), std::length_error);
    EXPECT_EQ(stream.Size(), 0);
}

TEST(CountedString, CountBeyondTheStreamIsAReadError) {
    // Breaks loading a truncated file: the reader must not return a short string.
    MemoryStream stream({5, 0, 'a', 'b'});
    EXPECT_THROW(ReadCountedString(stream), StreamReadError);
    MemoryStream half({5});
    EXPECT_THROW(ReadCountedString(half), StreamReadError);
}

}  // namespace
}  // namespace sw
