#include "app/file_properties_report.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "stream/memory_stream.h"

namespace sw::test {
namespace {

TEST(GroupThousands, SeparatesEveryThreeDigitsFromTheRight) {
    EXPECT_EQ(GroupThousands(4123456, ","), "4,123,456");
    EXPECT_EQ(GroupThousands(4123456, "."), "4.123.456");
    EXPECT_EQ(GroupThousands(123456, "\xE2\x80\xAF"),
              "123\xE2\x80\xAF"
              "456");
    EXPECT_EQ(GroupThousands(999, ","), "999");
    EXPECT_EQ(GroupThousands(1000, ","), "1,000");
    EXPECT_EQ(GroupThousands(0, ","), "0");
    EXPECT_EQ(GroupThousands(-1234, ","), "-1,234");
    EXPECT_EQ(GroupThousands(INT64_MIN, ""), "-9223372036854775808");
}

TEST(UserThousandsSeparator, CLocaleFallsBackToComma) {
    // The C locale defines no separator; a bare environment must still group the size.
    ::setenv("LC_ALL", "C", 1);
    EXPECT_EQ(UserThousandsSeparator(), ",");
    ::setenv("LC_ALL", "no_SUCH.locale", 1);
    EXPECT_EQ(UserThousandsSeparator(), ",");
    ::unsetenv("LC_ALL");
}

TEST(FilePropertiesReport, PartialScanShowsNotCompleteAndItsLastFrame) {
    TCutObject cut;
    cut.Name = "part";
    cut.FileName = "/music/part.mp3";
    cut.FileStream = std::make_unique<MemoryStream>(std::vector<uint8_t>(1234567, 0));
    auto index = std::make_unique<MemoryStream>();
    for (int32_t offset : {0x10, 0x20, 0xABCDEF}) {
        index->WriteInt32(offset);
    }
    cut.IndexStream = std::move(index);
    cut.CompletelyScanned = false;
    const std::string report = FilePropertiesReport(cut, ".");
    EXPECT_NE(report.find("Filesize: 1.234.567 bytes\n"), std::string::npos) << report;
    EXPECT_NE(report.find("Completely scanned: No\n"), std::string::npos) << report;
    EXPECT_NE(report.find("Number of frames: 3\n"), std::string::npos) << report;
    EXPECT_NE(report.find("Last valid frame at: 00ABCDEFh\n"), std::string::npos) << report;
}

TEST(FilePropertiesReport, CutObjectWithoutStreamsStillReports) {
    TCutObject cut;
    cut.FileSize = 5000;
    const std::string report = FilePropertiesReport(cut, ",");
    EXPECT_NE(report.find("Filesize: 5,000 bytes\n"), std::string::npos) << report;
    EXPECT_NE(report.find("First valid frame at: none\n"), std::string::npos) << report;
    EXPECT_TRUE(report.ends_with("\nID3v1.1 tag:\nNo ID3v1.1 tag found\n")) << report;
}

}  // namespace
}  // namespace sw::test
