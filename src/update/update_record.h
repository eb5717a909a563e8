#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sw {

// The update-information record the maker publishes: exactly 1820 bytes, little-endian, fixed
// fields. Texts are 256-byte fields ended by their first zero byte; a field of 256 non-zero
// bytes is a text of 256 bytes, never more. The texts are kept as the bytes read (Latin-1).
inline constexpr size_t kUpdateRecordSize = 1820;
inline constexpr size_t kUpdateTextSize = 256;

struct UpdateRecord {
    uint32_t Build = 0;        // offset 4
    uint32_t Version = 0;      // offset 8: major in the high 16 bits, minor in the low 16 bits
    uint32_t Flags = 0;        // offset 16, the version flags of the published version
    double Date = 0;           // offset 20: days since 1899-12-30, fraction = time of day
    std::string Description;   // offset 28
    std::string Message;       // offset 284, from the maker; empty for none
    std::string Email;         // offset 540
    std::string DownloadURL;   // offset 796
    std::string SlicewellURL;  // offset 1052
    std::string UpdatesURL;    // offset 1564

    int Major() const { return static_cast<int>(Version >> 16); }
    int Minor() const { return static_cast<int>(Version & 0xFFFF); }
    bool operator==(const UpdateRecord&) const = default;
};

// The record in the first 1820 bytes of data; bytes after them are ignored. Nothing when fewer
// than 1820 bytes are there, or when the publication date is no date-time at all (not finite,
// or outside 1899-12-30 .. 9999-12-31): such a body is some other file, and a date like that
// would make the date decision and the days line meaningless.
std::optional<UpdateRecord> ReadUpdateRecord(const uint8_t* data, size_t size);

// The 1820 bytes of a record, each text cut to its field (the maker's tool, tests and fuzz
// seeds). The unread and unused fields are zero.
std::vector<uint8_t> WriteUpdateRecord(const UpdateRecord& record);

}  // namespace sw
