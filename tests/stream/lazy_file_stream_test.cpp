#include "stream/lazy_file_stream.h"

#include <gtest/gtest.h>

#include <cstdio>
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
using test::OpenDescriptorCount;
using test::ReadFileBytes;

TEST_F(CutObjectTest, ReleasedStreamsKeepTheirPlaceTheirBytesAndTheirHold) {
    // A close between two uses must not show: a reader would start again at byte 0, a file-based
    // index would lose what was written, a source would be free to be overwritten.
    const std::string source = MakeSource("lazy.mp3", 3);
    const std::vector<uint8_t> bytes = ReadFileBytes(source);
    const int before = OpenDescriptorCount();
    std::unique_ptr<ByteStream> stream = OpenSourceStream(source);
    ASSERT_NE(stream, nullptr);
    auto& lazy = dynamic_cast<LazyFileStream&>(*stream);
    uint8_t read[2];
    ASSERT_EQ(lazy.Read(read, 2), 2);
    lazy.Release();
    EXPECT_EQ(OpenDescriptorCount(), before);
    EXPECT_TRUE(IsHeldSource(source));
    EXPECT_THROW(FileStream(source, FileMode::Create), FileCreateError);
    ASSERT_EQ(lazy.Read(read, 2), 2);
    EXPECT_EQ(std::vector<uint8_t>(read, read + 2),
              std::vector<uint8_t>(bytes.begin() + 2, bytes.begin() + 4));
    EXPECT_EQ(OpenDescriptorCount(), before + 1);

    // Replaced between two uses, the name leads to another file: the hold goes with the reads.
    lazy.Release();
    const std::string other = MakeSource("other.mp3", 1);
    ASSERT_EQ(std::rename(other.c_str(), source.c_str()), 0);
    EXPECT_EQ(lazy.Size(), 417);
    EXPECT_TRUE(IsHeldSource(source));
    stream.reset();
    EXPECT_FALSE(IsHeldSource(source));
    EXPECT_EQ(OpenDescriptorCount(), before);

    // A file-based index keeps what was written, and knows its size without opening its file.
    CutObjectPtr cut(CreateCutObject(MakeSource("indexed.mp3", 2), {true, temp_.Path()}));
    ASSERT_NE(cut, nullptr);
    cut->IndexStream->WriteInt32(0);
    cut->IndexStream->WriteInt32(417);
    ReleaseCutObjectFiles(cut.get());
    EXPECT_EQ(OpenDescriptorCount(), before);
    EXPECT_EQ(cut->FrameCount(), 2);
    EXPECT_FALSE(dynamic_cast<LazyFileStream&>(*cut->IndexStream).IsOpen());
    EXPECT_EQ(FrameOffset(cut.get(), 1), 417);
    EXPECT_EQ(FrameHeader(cut.get(), 1).FrameLength, 417);
}

TEST_F(CutObjectTest, OpenFilesStayBoundedHoweverManyCutObjectsLive) {
    // Each cut object held its source open: about a thousand took the program past the
    // descriptor limit. The one used longest ago closes for a newcomer and opens again when used.
    const int before = OpenDescriptorCount();
    std::vector<std::string> sources;
    std::vector<CutObjectPtr> cuts;
    for (int i = 0; i < kMaxOpenLazyStreams + 8; ++i) {
        sources.push_back(MakeSource("s" + std::to_string(i) + ".mp3", 1));
        cuts.emplace_back(CreateCutObject(sources.back(), options_));
        ASSERT_NE(cuts.back(), nullptr);
    }
    EXPECT_EQ(OpenLazyStreamCount(), kMaxOpenLazyStreams);
    EXPECT_EQ(OpenDescriptorCount(), before + kMaxOpenLazyStreams);
    auto& oldest = dynamic_cast<LazyFileStream&>(*cuts.front()->FileStream);
    EXPECT_FALSE(oldest.IsOpen());
    EXPECT_EQ(oldest.Size(), 417);
    EXPECT_TRUE(oldest.IsOpen());
    EXPECT_EQ(OpenLazyStreamCount(), kMaxOpenLazyStreams);
    for (const std::string& source : sources) {
        EXPECT_TRUE(IsHeldSource(source)) << source;
    }
    cuts.clear();
    EXPECT_EQ(OpenLazyStreamCount(), 0);
    EXPECT_EQ(OpenDescriptorCount(), before);
}

}  // namespace
}  // namespace sw
