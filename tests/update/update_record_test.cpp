#include "update/update_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace sw {
namespace {

using Bytes = std::vector<uint8_t>;

UpdateRecord Sample() {
    UpdateRecord record;
    record.Build = 0x01020304;
    record.Version = (4u << 16) | 2u;
    record.Flags = 0x22;
    record.Date = 45000.75;
    record.Description = "Faster scans";
    record.Message = "Hello";
    record.Email = "mail@example.org";
    record.DownloadURL = "https://example.org/get";
    record.SlicewellURL = "https://example.org/";
    record.UpdatesURL = "http://example.org/update.dat";
    return record;
}

// Would break if a field sat at the wrong offset or were read with the wrong byte order.
TEST(UpdateRecordLayout, FieldsSitAtTheirFixedOffsetsLittleEndian) {
    const Bytes bytes = WriteUpdateRecord(Sample());
    ASSERT_EQ(bytes.size(), kUpdateRecordSize);
    EXPECT_EQ(bytes[4], 0x04);
    EXPECT_EQ(bytes[7], 0x01);
    EXPECT_EQ(bytes[8], 0x02);   // minor, low 16 bits
    EXPECT_EQ(bytes[10], 0x04);  // major, high 16 bits
    EXPECT_EQ(bytes[16], 0x22);
    double date = 0;
    std::memcpy(&date, bytes.data() + 20, 8);  // the test machine is little-endian
    EXPECT_EQ(date, 45000.75);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()) + 28), "Faster scans");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()) + 284), "Hello");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()) + 540), "mail@example.org");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()) + 796),
              "https://example.org/get");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()) + 1052),
              "https://example.org/");
    EXPECT_EQ(bytes[1308], 0);  // the unused field stays empty
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()) + 1564),
              "http://example.org/update.dat");

    const std::optional<UpdateRecord> read = ReadUpdateRecord(bytes.data(), bytes.size());
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, Sample());
    EXPECT_EQ(read->Major(), 4);
    EXPECT_EQ(read->Minor(), 2);
}

// Would break if a text without its zero byte ran on into the next field or past the record.
TEST(UpdateRecordTexts, FullFieldEndsAtItsOwnEnd) {
    Bytes bytes = WriteUpdateRecord(Sample());
    std::memset(bytes.data() + 28, 'd', 256);
    std::memset(bytes.data() + 284, 'm', 256);
    std::memset(bytes.data() + 1564, 'u', 256);  // the last field touches the record's end
    const std::optional<UpdateRecord> read = ReadUpdateRecord(bytes.data(), bytes.size());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Description, std::string(256, 'd'));
    EXPECT_EQ(read->Message, std::string(256, 'm'));
    EXPECT_EQ(read->UpdatesURL, std::string(256, 'u'));

    // A writer never puts more than the field holds.
    UpdateRecord longText = Sample();
    longText.Description = std::string(300, 'x');
    const Bytes written = WriteUpdateRecord(longText);
    EXPECT_EQ(written[284], 'H');
}

// Would break if a short body were taken as a record, or bytes after the record changed it.
TEST(UpdateRecordLength, ShortBodiesAreNoRecordAndTrailingBytesAreIgnored) {
    Bytes bytes = WriteUpdateRecord(Sample());
    EXPECT_FALSE(ReadUpdateRecord(bytes.data(), kUpdateRecordSize - 1));
    EXPECT_FALSE(ReadUpdateRecord(bytes.data(), 0));
    EXPECT_FALSE(ReadUpdateRecord(nullptr, kUpdateRecordSize));
    bytes.resize(5000, 0xEE);
    const std::optional<UpdateRecord> read = ReadUpdateRecord(bytes.data(), bytes.size());
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, Sample());
}

// Would break if a body of the right size with no date-time in it (NaN, infinity, a date past
// 9999) were offered as an update or stored as "LastUpdateCheck".
TEST(UpdateRecordDate, BodiesWithoutADateTimeAreNoRecord) {
    for (const double date : {std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity(), -1.0, 2958466.0, 1e300}) {
        UpdateRecord record = Sample();
        record.Date = date;
        const Bytes bytes = WriteUpdateRecord(record);
        EXPECT_FALSE(ReadUpdateRecord(bytes.data(), bytes.size())) << date;
    }
    UpdateRecord zero;
    const Bytes zeros = WriteUpdateRecord(zero);
    ASSERT_TRUE(ReadUpdateRecord(zeros.data(), zeros.size()));
    EXPECT_EQ(*ReadUpdateRecord(zeros.data(), zeros.size()), zero);
}

}  // namespace
}  // namespace sw
