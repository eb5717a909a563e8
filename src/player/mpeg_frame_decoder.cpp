#include "player/mpeg_frame_decoder.h"

#include <mpg123.h>

#include <mutex>

namespace sw {

namespace {

void InitLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
}

}  // namespace

MpegFrameDecoder::MpegFrameDecoder(int sampleRate, int channels)
    : sampleRate_(sampleRate), channels_(channels) {
    InitLibrary();
    int err = MPG123_OK;
    handle_ = mpg123_new(nullptr, &err);
    if (handle_ == nullptr) {
        error_ = mpg123_plain_strerror(err);
        return;
    }
    // Read-ahead would hold a frame back until the next one arrives; the Info frame must count as
    // a frame like any other, and gapless trimming would cut samples the player counts on.
    long flags = MPG123_NO_READAHEAD | MPG123_IGNORE_INFOFRAME | MPG123_QUIET;
    flags |= channels == 1 ? MPG123_FORCE_MONO : MPG123_FORCE_STEREO;
    mpg123_param(handle_, MPG123_ADD_FLAGS, flags, 0);
    mpg123_param(handle_, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0);
    mpg123_format_none(handle_);
    if (mpg123_format(handle_, sampleRate, channels == 1 ? MPG123_MONO : MPG123_STEREO,
                      MPG123_ENC_SIGNED_16) != MPG123_OK) {
        error_ = mpg123_strerror(handle_);
        mpg123_delete(handle_);
        handle_ = nullptr;
        return;
    }
    OpenFeed();
}

MpegFrameDecoder::~MpegFrameDecoder() {
    if (handle_ != nullptr) {
        mpg123_close(handle_);
        mpg123_delete(handle_);
    }
}

void MpegFrameDecoder::OpenFeed() {
    if (mpg123_open_feed(handle_) != MPG123_OK) {
        error_ = mpg123_strerror(handle_);
    }
}

void MpegFrameDecoder::Restart() {
    if (handle_ == nullptr) {
        return;
    }
    mpg123_close(handle_);
    OpenFeed();
}

int MpegFrameDecoder::Decode(const uint8_t* frame, size_t length, std::vector<int16_t>& out) {
    if (handle_ == nullptr || length == 0) {
        return 0;
    }
    if (mpg123_feed(handle_, frame, length) != MPG123_OK) {
        Restart();
        return 0;
    }
    const size_t before = out.size();
    for (;;) {
        off_t number = 0;
        unsigned char* audio = nullptr;
        size_t bytes = 0;
        const int result = mpg123_decode_frame(handle_, &number, &audio, &bytes);
        if (result == MPG123_NEW_FORMAT) {
            continue;
        }
        if (result == MPG123_OK) {
            const auto* samples = reinterpret_cast<const int16_t*>(audio);
            out.insert(out.end(), samples, samples + bytes / sizeof(int16_t));
            continue;
        }
        if (result != MPG123_NEED_MORE) {
            // A frame of another rate or a broken frame: drop what it gave and start clean, so
            // one bad frame cannot wedge the feed.
            out.resize(before);
            Restart();
            return 0;
        }
        break;
    }
    return static_cast<int>((out.size() - before) / channels_);
}

}  // namespace sw
