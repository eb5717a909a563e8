#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct mpg123_handle_struct;

namespace sw {

// Decodes one whole MPEG audio frame at a time with libmpg123 in feed mode. With read-ahead
// off, the Info frame treated as audio and gapless trimming off, every frame yields its own
// samples at once (384, 576 or 1152 per channel), so output and input stay frame for frame.
// Output is interleaved signed 16-bit at the rate and channel count given; frames of another
// rate yield nothing. Not thread-safe.
class MpegFrameDecoder {
  public:
    MpegFrameDecoder(int sampleRate, int channels);
    ~MpegFrameDecoder();
    MpegFrameDecoder(const MpegFrameDecoder&) = delete;
    MpegFrameDecoder& operator=(const MpegFrameDecoder&) = delete;

    // False when the library could not set up the decoder; Error() says why.
    bool Ok() const { return handle_ != nullptr; }
    const std::string& Error() const { return error_; }

    // Forgets everything fed so far (bit reservoir, overlap, synthesis state).
    void Restart();
    // Feeds one frame and appends its samples to out. Returns the number of samples per channel
    // appended; a frame that does not decode appends nothing and restarts the decoder.
    int Decode(const uint8_t* frame, size_t length, std::vector<int16_t>& out);

    int SampleRate() const { return sampleRate_; }
    int Channels() const { return channels_; }

  private:
    void OpenFeed();

    mpg123_handle_struct* handle_ = nullptr;
    int sampleRate_;
    int channels_;
    std::string error_;
};

}  // namespace sw
