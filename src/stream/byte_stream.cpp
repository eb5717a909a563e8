#include "stream/byte_stream.h"

#include <algorithm>
#include <vector>

#include "stream/file_errors.h"

namespace sw {

int64_t ByteStream::SeekedPosition(int64_t offset, SeekOrigin origin, int64_t position,
                                   int64_t size) {
    const int64_t base = origin == SeekOrigin::Current ? position
                         : origin == SeekOrigin::End   ? size
                                                       : 0;
    return std::max<int64_t>(0, base + offset);
}

void ByteStream::ReadBuffer(void* buffer, int64_t count) {
    if (count > 0 && Read(buffer, count) != count) {
        throw StreamReadError();
    }
}

void ByteStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count > 0 && Write(buffer, count) != count) {
        throw StreamWriteError();
    }
}

int64_t ByteStream::CopyFrom(ByteStream& source, int64_t count) {
    if (count == 0) {
        source.Seek(0, SeekOrigin::Begin);
        count = source.Size();
    }
    constexpr int64_t kChunk = 64 * 1024;
    std::vector<uint8_t> chunk(static_cast<size_t>(std::min(count, kChunk)));
    int64_t left = count;
    while (left > 0) {
        const int64_t want = std::min(left, kChunk);
        const int64_t got = source.Read(chunk.data(), want);
        if (got > 0) {
            WriteBuffer(chunk.data(), got);
        }
        if (got != want) {
            throw StreamReadError();
        }
        left -= got;
    }
    return count;
}

uint32_t ByteStream::ReadUInt32() {
    uint8_t b[4];
    ReadBuffer(b, 4);
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

void ByteStream::WriteUInt32(uint32_t value) {
    const uint8_t b[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16),
                          uint8_t(value >> 24)};
    WriteBuffer(b, 4);
}

uint8_t ByteStream::ReadByte() {
    uint8_t b;
    ReadBuffer(&b, 1);
    return b;
}

void ByteStream::WriteByte(uint8_t value) {
    WriteBuffer(&value, 1);
}

}  // namespace sw
