#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "stream/cut_object.h"

namespace sw {

// What the envelope's worker needs to find a file's frames without touching its cut object,
// whose streams belong to the thread that plays it: the file's name, a copy of its index and
// the format the decoder is set up for.
struct EnvelopeSource {
    std::string fileName;
    std::vector<int32_t> offsets;
    int32_t sampleRate = 0;
    int channels = 2;
};

// Copies what the worker needs out of the cut object; on the thread that owns it. An object
// without an index gives no offsets.
EnvelopeSource EnvelopeSourceOf(TCutObject& cut);

// Reads the indexed frames of a source in large blocks through a descriptor of its own. Frames
// are best asked for in order: then the file is read once, a block at a time.
class SourceFrameReader {
  public:
    struct Bytes {
        const uint8_t* data = nullptr;
        size_t size = 0;
    };

    explicit SourceFrameReader(const EnvelopeSource& source);
    ~SourceFrameReader();
    SourceFrameReader(const SourceFrameReader&) = delete;
    SourceFrameReader& operator=(const SourceFrameReader&) = delete;

    int32_t Frames() const { return int32_t(offsets_.size()); }
    // Why the file cannot be read ("" while it can). Once set, every frame comes back empty.
    const std::string& Error() const { return error_; }

    // The bytes of frame `index` (a whole frame, or what the file still holds of it). Empty when
    // the index no longer points at a frame header there: the file changed since its scan.
    Bytes Frame(int32_t index);

  private:
    // Makes [offset, offset + size) readable in the buffer as far as the file reaches; returns
    // how much of it is.
    size_t Load(int64_t offset, size_t size);

    std::vector<int32_t> offsets_;
    std::string fileName_;
    std::string error_;
    int fd_ = -1;
    int64_t fileSize_ = 0;
    std::vector<uint8_t> buffer_;
    int64_t bufferOffset_ = 0;
    size_t bufferSize_ = 0;
};

}  // namespace sw
