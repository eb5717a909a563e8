#pragma once

#include <cstdint>

namespace sw {

enum class SeekOrigin { Begin, Current, End };

// The seekable byte stream every reader and writer works on. Read and Write return the number
// of bytes actually moved; the Buffer variants turn a short transfer into the user-facing file
// errors. Positions are 64-bit here, but the files the program indexes stay below 2 GiB.
class ByteStream {
  public:
    virtual ~ByteStream() = default;

    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    // Returns the new position. Seeking before 0 clamps to 0; seeking past the end is allowed.
    virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;
    virtual int64_t Size() = 0;
    // Cuts or extends the stream; the position is kept unless it lies past the new end.
    virtual void SetSize(int64_t size) = 0;
    // Hands buffered data to the system; throws StreamWriteError when it refuses. A writer that
    // must know its data arrived (an export, a document save) calls it before reporting success.
    virtual void Flush() {}

    int64_t Position() { return Seek(0, SeekOrigin::Current); }

    void ReadBuffer(void* buffer, int64_t count);         // throws StreamReadError when short
    void WriteBuffer(const void* buffer, int64_t count);  // throws StreamWriteError when short
    // Copies count bytes from source's position to this stream's position; count 0 copies the
    // whole source from its start. Throws on a short read or write, after writing what it read.
    int64_t CopyFrom(ByteStream& source, int64_t count);

    uint32_t ReadUInt32();  // little-endian, throws when short
    void WriteUInt32(uint32_t value);
    int32_t ReadInt32() { return static_cast<int32_t>(ReadUInt32()); }
    void WriteInt32(int32_t value) { WriteUInt32(static_cast<uint32_t>(value)); }
    uint8_t ReadByte();
    void WriteByte(uint8_t value);

  protected:
    // Where a seek lands: offset from the start, from position or from size, as origin says,
    // and never before 0.
    static int64_t SeekedPosition(int64_t offset, SeekOrigin origin, int64_t position,
                                  int64_t size);
};

}  // namespace sw
