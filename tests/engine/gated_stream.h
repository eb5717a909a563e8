#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "stream/byte_stream.h"

namespace sw::test {

// Passes everything to a real stream, but the first read that crosses gateOffset (starts before it
// and ends after it) waits until the test opens the gate. The worker is then known to be in the
// middle of its file, and the test can press buttons without racing it.
class GatedStream : public ByteStream {
  public:
    GatedStream(std::unique_ptr<ByteStream> inner, int64_t gateOffset)
        : inner_(std::move(inner)), gateOffset_(gateOffset) {}

    int64_t Read(void* buffer, int64_t count) override {
        const int64_t at = inner_->Position();
        if (!passed_ && at < gateOffset_ && at + count > gateOffset_) {
            passed_ = true;
            std::unique_lock<std::mutex> lock(mutex_);
            reached_ = true;
            opened_.wait(lock, [this] { return open_; });
        }
        return inner_->Read(buffer, count);
    }
    int64_t Write(const void* buffer, int64_t count) override {
        return inner_->Write(buffer, count);
    }
    int64_t Seek(int64_t offset, SeekOrigin origin) override {
        return inner_->Seek(offset, origin);
    }
    int64_t Size() override { return inner_->Size(); }
    void SetSize(int64_t size) override { inner_->SetSize(size); }

    bool Reached() {
        std::lock_guard<std::mutex> lock(mutex_);
        return reached_;
    }
    void Open() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }

  private:
    std::unique_ptr<ByteStream> inner_;
    int64_t gateOffset_;
    bool passed_ = false;  // worker thread only
    std::mutex mutex_;
    std::condition_variable opened_;
    bool reached_ = false;
    bool open_ = false;
};

}  // namespace sw::test
