#include "engine/scan_export.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/export_framing.h"
#include "engine/export_targets.h"
#include "engine/operation_error.h"
#include "engine/scan.h"
#include "engine/wave_header.h"
#include "stream/file_errors.h"
#include "stream/file_names.h"
#include "stream/file_stream.h"
#include "stream/replacement_file.h"
#include "stream/status.h"

namespace sw {

namespace {

struct FrameStretch {
    int64_t begin = 0;
    int64_t end = 0;
    int32_t frames = 0;
};

// Hands the scan's stretches to the copying thread.
class StretchQueue : public FrameStretchSink {
  public:
    void Stretch(int64_t begin, int64_t end, int32_t frames) override {
        {
            std::lock_guard lock(mutex_);
            stretches_.push_back(FrameStretch{begin, end, frames});
        }
        arrived_.notify_one();
    }
    void Finish() {
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        arrived_.notify_one();
    }
    // The next stretch; false once the scan has finished and every stretch was taken.
    bool Next(FrameStretch& stretch) {
        std::unique_lock lock(mutex_);
        arrived_.wait(lock, [this] { return finished_ || !stretches_.empty(); });
        if (stretches_.empty()) {
            return false;
        }
        stretch = stretches_.front();
        stretches_.pop_front();
        return true;
    }

  private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<FrameStretch> stretches_;
    bool finished_ = false;
};

class FileDescriptor {
  public:
    FileDescriptor(const std::string& fileName, int flags)
        : fd_(::open(fileName.c_str(), flags | O_CLOEXEC)) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }
    // False when closing reported an error: the data may not have reached the file.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

bool WriteAt(int fd, const uint8_t* bytes, int64_t count, int64_t position) {
    while (count > 0) {
        const ssize_t done = ::pwrite(fd, bytes, static_cast<size_t>(count), position);
        if (done < 0 && errno == EINTR) {
            continue;
        }
        if (done <= 0) {
            return false;
        }
        bytes += done;
        count -= done;
        position += done;
    }
    return true;
}

// Copies count bytes of source from `from` to target at `to`; returns how many arrived. The
// kernel copies between the files itself where it can, so the bytes never pass through this
// process; where it cannot (another file system on an old kernel, a special file), they are read
// and written in blocks.
int64_t CopyBytes(int source, int64_t from, int target, int64_t to, int64_t count,
                  bool& kernelCopy) {
    int64_t copied = 0;
    while (kernelCopy && copied < count) {
        loff_t in = from + copied;
        loff_t out = to + copied;
        const ssize_t done =
            ::copy_file_range(source, &in, target, &out, static_cast<size_t>(count - copied), 0);
        if (done > 0) {
            copied += done;
        } else if (done < 0 && errno == EINTR) {
            continue;
        } else if (done < 0 && copied == 0 &&
                   (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)) {
            kernelCopy = false;
        } else {
            return copied;  // an error, or the source ended early
        }
    }
    if (copied == count) {
        return copied;
    }
    std::vector<uint8_t> block;
    try {
        block.resize(1 << 20);
    } catch (...) {
        return copied;  // counts as a failed write: nothing escapes while the scan runs
    }
    while (copied < count) {
        const size_t wanted = static_cast<size_t>(std::min<int64_t>(count - copied, 1 << 20));
        const ssize_t got = ::pread(source, block.data(), wanted, from + copied);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0 || !WriteAt(target, block.data(), got, to + copied)) {
            return copied;
        }
        copied += got;
    }
    return copied;
}

// The target's descriptor as the framing rules see it.
class DescriptorTargetAccess : public ExportTargetAccess {
  public:
    explicit DescriptorTargetAccess(int fd) : fd_(fd) {}
    int64_t WriteAt(int64_t position, const uint8_t* bytes, int64_t count) override {
        return sw::WriteAt(fd_, bytes, count, position) ? count : 0;
    }
    bool CutBackTo(int64_t size) override { return ::ftruncate(fd_, size) == 0; }
    // Written with pwrite: nothing is buffered here.
    bool Flush() override { return true; }

  private:
    int fd_;
};

struct WholeFrames {
    int32_t frames = 0;
    int64_t bytes = 0;
};

// How many of the count back-to-back frames from frame `first` on (the first of them at begin)
// lie wholly within the first `bytes` bytes from begin.
WholeFrames WholeFramesWithin(TCutObject& cut, int32_t first, int32_t count, int64_t begin,
                              int64_t bytes) {
    WholeFrames whole;
    while (whole.frames < count) {
        const int32_t frame = first + whole.frames;
        const int64_t end =
            int64_t(FrameOffset(&cut, frame)) + FrameHeader(&cut, frame).FrameLength;
        if (end - begin > bytes) {
            break;
        }
        whole.bytes = end - begin;
        ++whole.frames;
    }
    return whole;
}

}  // namespace

ScanExportOutcome ScanAndExportAll(TCutObject& cut, const std::string& targetName, bool wave,
                                   WorkerControl& control) {
    ScanExportOutcome outcome;
    if (!cut.FileStream || !cut.IndexStream) {
        outcome.scanStatus = kStatusNotInitialized;
        outcome.exported.status = kStatusNotInitialized;
        return outcome;
    }
    const std::string problem = AudioTargetProblem(targetName);
    if (!problem.empty()) {
        throw OperationError(kStatusFailed, problem);
    }
    if (IsHeldSource(targetName)) {
        throw FileCreateError(targetName);
    }
    ReplacementFile replacement(targetName);
    // Opened as it is: truncating even an empty file makes the file system push all of it to the
    // disk when it is closed: 10 ms for an hour of audio, half the copy itself.
    FileDescriptor target(replacement.TempName(), O_RDWR);
    FileDescriptor source(cut.FileName, O_RDONLY);
    if (target.Get() < 0) {
        throw FileCreateError(targetName);
    }
    if (source.Get() < 0) {
        throw FileOpenError(cut.FileName);
    }

    StretchQueue stretches;
    std::thread scanner([&] {
        outcome.scanStatus = ScanFrames(cut, control, &stretches);
        stretches.Finish();
    });

    DescriptorTargetAccess access(target.Get());
    ExportFraming framing(access, wave);
    int64_t position = framing.Begin();
    bool failed = false;
    bool kernelCopy = true;
    int32_t framesCopied = 0;
    FrameStretch stretch;
    // The stretch that did not arrive whole, and how much of it did.
    int64_t brokenCopied = -1;
    FrameStretch broken;
    while (stretches.Next(stretch)) {
        if (failed || control.TerminateRequested()) {
            continue;  // the scan decides the outcome; its stretches are no longer copied
        }
        const int64_t length = stretch.end - stretch.begin;
        const int64_t copied =
            CopyBytes(source.Get(), stretch.begin, target.Get(), position, length, kernelCopy);
        if (copied != length) {
            failed = true;
            broken = stretch;
            brokenCopied = copied;
            continue;
        }
        position += length;
        framesCopied += stretch.frames;
    }
    scanner.join();
    if (outcome.scanStatus != kStatusOk) {
        return outcome;  // the temporary file goes with replacement
    }

    if (failed) {
        // Keep the frames of the broken stretch that arrived whole, and only those.
        const WholeFrames whole =
            WholeFramesWithin(cut, framesCopied, broken.frames, broken.begin, brokenCopied);
        position += whole.bytes;
        framesCopied += whole.frames;
        if (!framing.CutBack(position)) {
            failed = true;
        }
    }
    const TFrameInfo last = framesCopied > 0 ? FrameHeader(&cut, framesCopied - 1) : kNoFrame;
    outcome.exported =
        framing.Finish(last, position, failed, control.TerminateRequested(), framesCopied);
    if (!target.Close()) {
        outcome.exported.status = kStatusUnknownError;
    }
    replacement.Replace(ReplacementFile::Commit::Fast);
    RemoveIndexDescribing(targetName);
    return outcome;
}

}  // namespace sw
