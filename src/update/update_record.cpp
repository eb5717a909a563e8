#include "update/update_record.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace sw {

namespace {

constexpr size_t kBuildOffset = 4;
constexpr size_t kVersionOffset = 8;
constexpr size_t kFlagsOffset = 16;
constexpr size_t kDateOffset = 20;
constexpr size_t kDescriptionOffset = 28;
constexpr size_t kMessageOffset = 284;
constexpr size_t kEmailOffset = 540;
constexpr size_t kDownloadOffset = 796;
constexpr size_t kHomePageOffset = 1052;
constexpr size_t kUpdatesOffset = 1564;
static_assert(kUpdatesOffset + kUpdateTextSize == kUpdateRecordSize);

// 9999-12-31 is the last day a date-time of this kind names.
constexpr double kLastDay = 2958466.0;

uint32_t ReadUInt32(const uint8_t* at) {
    return uint32_t{at[0]} | uint32_t{at[1]} << 8 | uint32_t{at[2]} << 16 | uint32_t{at[3]} << 24;
}

void WriteUInt32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

double ReadDouble(const uint8_t* at) {
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) {
        bits = bits << 8 | at[i];
    }
    return std::bit_cast<double>(bits);
}

void WriteDouble(uint8_t* at, double value) {
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    for (int i = 0; i < 8; ++i) {
        at[i] = static_cast<uint8_t>(bits >> (8 * i));
    }
}

std::string ReadText(const uint8_t* field) {
    const void* zero = std::memchr(field, 0, kUpdateTextSize);
    const size_t length = zero == nullptr
                              ? kUpdateTextSize
                              : static_cast<size_t>(static_cast<const uint8_t*>(zero) - field);
    return std::string(reinterpret_cast<const char*>(field), length);
}

void WriteText(uint8_t* field, const std::string& text) {
    std::memcpy(field, text.data(), std::min(text.size(), kUpdateTextSize));
}

}  // namespace

std::optional<UpdateRecord> ReadUpdateRecord(const uint8_t* data, size_t size) {
    if (data == nullptr || size < kUpdateRecordSize) {
        return std::nullopt;
    }
    UpdateRecord record;
    record.Date = ReadDouble(data + kDateOffset);
    if (!std::isfinite(record.Date) || record.Date < 0 || record.Date >= kLastDay) {
        return std::nullopt;
    }
    record.Build = ReadUInt32(data + kBuildOffset);
    record.Version = ReadUInt32(data + kVersionOffset);
    record.Flags = ReadUInt32(data + kFlagsOffset);
    record.Description = ReadText(data + kDescriptionOffset);
    record.Message = ReadText(data + kMessageOffset);
    record.Email = ReadText(data + kEmailOffset);
    record.DownloadURL = ReadText(data + kDownloadOffset);
    record.SlicewellURL = ReadText(data + kHomePageOffset);
    record.UpdatesURL = ReadText(data + kUpdatesOffset);
    return record;
}

std::vector<uint8_t> WriteUpdateRecord(const UpdateRecord& record) {
    std::vector<uint8_t> bytes(kUpdateRecordSize, 0);
    WriteUInt32(bytes.data() + kBuildOffset, record.Build);
    WriteUInt32(bytes.data() + kVersionOffset, record.Version);
    WriteUInt32(bytes.data() + kFlagsOffset, record.Flags);
    WriteDouble(bytes.data() + kDateOffset, record.Date);
    WriteText(bytes.data() + kDescriptionOffset, record.Description);
    WriteText(bytes.data() + kMessageOffset, record.Message);
    WriteText(bytes.data() + kEmailOffset, record.Email);
    WriteText(bytes.data() + kDownloadOffset, record.DownloadURL);
    WriteText(bytes.data() + kHomePageOffset, record.SlicewellURL);
    WriteText(bytes.data() + kUpdatesOffset, record.UpdatesURL);
    return bytes;
}

}  // namespace sw
