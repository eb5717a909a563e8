#include "stream/lazy_file_stream.h"

#include <algorithm>
#include <vector>

namespace sw {

// The lazy streams that have their file open. Lock order: a stream may come here holding its own
// mutex; this registry, holding its own, only ever tries a stream's mutex and passes over a
// stream it cannot have at once, so neither ever waits for the other.
class OpenLazyStreams {
  public:
    static OpenLazyStreams& Instance() {
        static OpenLazyStreams instance;
        return instance;
    }

    // Called with stream's mutex held, its file just opened.
    void Opened(LazyFileStream* stream) {
        std::lock_guard lock(mutex_);
        while (static_cast<int>(open_.size()) >= kMaxOpenLazyStreams && CloseLeastRecent()) {
        }
        open_.push_back(stream);
    }

    // Called with stream's mutex held, before its file is closed.
    void Closed(LazyFileStream* stream) {
        std::lock_guard lock(mutex_);
        open_.erase(std::remove(open_.begin(), open_.end(), stream), open_.end());
    }

    int Count() {
        std::lock_guard lock(mutex_);
        return static_cast<int>(open_.size());
    }

    uint64_t Tick() { return clock_.fetch_add(1, std::memory_order_relaxed) + 1; }

  private:
    // Closes the stream used longest ago among those no thread is in; false when every one is
    // busy (the newcomer then goes over the limit for a while rather than wait).
    bool CloseLeastRecent() {
        std::vector<LazyFileStream*> byAge = open_;
        std::sort(byAge.begin(), byAge.end(), [](LazyFileStream* a, LazyFileStream* b) {
            return a->lastUse_.load(std::memory_order_relaxed) <
                   b->lastUse_.load(std::memory_order_relaxed);
        });
        for (LazyFileStream* stream : byAge) {
            std::unique_lock victim(stream->mutex_, std::try_to_lock);
            if (!victim.owns_lock()) {
                continue;
            }
            open_.erase(std::find(open_.begin(), open_.end(), stream));
            // Nothing written waits in its buffer: every write was flushed.
            stream->file_.reset();
            return true;
        }
        return false;
    }

    std::mutex mutex_;
    std::vector<LazyFileStream*> open_;
    std::atomic<uint64_t> clock_{0};
};

LazyFileStream::LazyFileStream(std::unique_ptr<FileStream> opened, Use use)
    : fileName_(opened->FileName()), use_(use) {
    std::lock_guard lock(mutex_);
    if (use_ == Use::Source) {
        hold_.emplace(opened->Identity());
    }
    size_ = opened->Size();
    lastUse_ = OpenLazyStreams::Instance().Tick();
    file_ = std::move(opened);
    OpenLazyStreams::Instance().Opened(this);
}

LazyFileStream::~LazyFileStream() {
    std::lock_guard lock(mutex_);
    Close();
}

FileStream& LazyFileStream::Opened() {
    OpenLazyStreams& streams = OpenLazyStreams::Instance();
    lastUse_.store(streams.Tick(), std::memory_order_relaxed);
    if (!file_) {
        auto file = std::make_unique<FileStream>(
            fileName_, use_ == Use::Source ? FileMode::OpenRead : FileMode::OpenReadWrite);
        if (hold_ && hold_->File() != file->Identity()) {
            hold_.reset();
            hold_.emplace(file->Identity());
        }
        file_ = std::move(file);
        streams.Opened(this);
    }
    return *file_;
}

void LazyFileStream::Close() {
    if (file_) {
        OpenLazyStreams::Instance().Closed(this);
        file_.reset();
    }
}

int64_t LazyFileStream::SizeLocked() {
    if (!file_ && use_ == Use::ReadWrite) {
        return size_;
    }
    size_ = Opened().Size();
    return size_;
}

int64_t LazyFileStream::Read(void* buffer, int64_t count) {
    std::lock_guard lock(mutex_);
    FileStream& file = Opened();
    file.Seek(position_, SeekOrigin::Begin);
    const int64_t read = file.Read(buffer, count);
    position_ += read;
    return read;
}

int64_t LazyFileStream::Write(const void* buffer, int64_t count) {
    std::lock_guard lock(mutex_);
    FileStream& file = Opened();
    file.Seek(position_, SeekOrigin::Begin);
    const int64_t written = file.Write(buffer, count);
    file.Flush();
    position_ += written;
    size_ = file.Size();
    return written;
}

int64_t LazyFileStream::Seek(int64_t offset, SeekOrigin origin) {
    std::lock_guard lock(mutex_);
    int64_t base = 0;
    if (origin == SeekOrigin::Current) {
        base = position_;
    } else if (origin == SeekOrigin::End) {
        base = SizeLocked();
    }
    position_ = std::max<int64_t>(0, base + offset);
    return position_;
}

int64_t LazyFileStream::Size() {
    std::lock_guard lock(mutex_);
    return SizeLocked();
}

void LazyFileStream::SetSize(int64_t size) {
    std::lock_guard lock(mutex_);
    FileStream& file = Opened();
    file.SetSize(size);
    size_ = file.Size();
    position_ = std::min(position_, size_);
}

void LazyFileStream::Flush() {
    std::lock_guard lock(mutex_);
    if (file_) {
        file_->Flush();
    }
}

void LazyFileStream::Release() {
    std::lock_guard lock(mutex_);
    Close();
}

bool LazyFileStream::IsOpen() {
    std::lock_guard lock(mutex_);
    return file_ != nullptr;
}

int OpenLazyStreamCount() {
    return OpenLazyStreams::Instance().Count();
}

void ReleaseFile(ByteStream* stream) {
    if (auto* lazy = dynamic_cast<LazyFileStream*>(stream)) {
        lazy->Release();
    }
}

}  // namespace sw
