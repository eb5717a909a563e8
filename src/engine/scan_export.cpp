#include "engine/scan_export.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/export_framing.h"
#include "engine/export_target_file.h"
#include "engine/scan.h"
#include "engine/wave_header.h"
#include "stream/file_errors.h"
#include "stream/file_names.h"
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
            if (done == 0) {
                errno = ENOSPC;  // nothing taken and no reason given: the device is full
            }
            return false;
        }
        bytes += done;
        count -= done;
        position += done;
    }
    return true;
}

// Why a copy between the files stopped short.
struct CopyFailure {
    int writeError = 0;  // errno of a write the target refused (or of the kernel's copy)
    int readError = 0;   // errno of a read of the source; neither: the source ended early
};

// Copies count bytes of source from `from` to target at `to`; returns how many arrived. The
// kernel copies between the files itself where it can, so the bytes never pass through this
// process; where it cannot (another file system on an old kernel, a special file), they are read
// and written in blocks.
int64_t CopyBytes(int source, int64_t from, int target, int64_t to, int64_t count, bool& kernelCopy,
                  CopyFailure& failure) {
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
            // An error, which the kernel's copy does not tell apart by side (a full disk is by
            // far the likeliest), or the source ended early.
            failure.writeError = done < 0 ? errno : 0;
            return copied;
        }
    }
    if (copied == count) {
        return copied;
    }
    std::vector<uint8_t> block;
    try {
        block.resize(1 << 20);
    } catch (...) {
        failure.writeError = ENOMEM;  // nothing escapes while the scan runs
        return copied;
    }
    while (copied < count) {
        const size_t wanted = static_cast<size_t>(std::min<int64_t>(count - copied, 1 << 20));
        const ssize_t got = ::pread(source, block.data(), wanted, from + copied);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            failure.readError = got < 0 ? errno : 0;
            return copied;
        }
        if (!WriteAt(target, block.data(), got, to + copied)) {
            failure.writeError = errno;
            return copied;
        }
        copied += got;
    }
    return copied;
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
    ExportTargetFile target(targetName);
    FileDescriptor source(cut.FileName, O_RDONLY);
    if (source.Get() < 0) {
        throw FileOpenError(cut.FileName);
    }

    StretchQueue stretches;
    std::thread scanner([&] {
        outcome.scanStatus = ScanFrames(cut, control, &stretches);
        stretches.Finish();
    });

    StreamTargetAccess access(target.Stream());
    ExportFraming framing(access, wave);
    int64_t position = framing.Begin();
    bool failed = false;
    bool kernelCopy = true;
    CopyFailure why;
    int32_t framesCopied = 0;
    FrameStretch stretch;
    while (stretches.Next(stretch)) {
        if (failed || control.TerminateRequested()) {
            continue;  // the scan decides the outcome; its stretches are no longer copied
        }
        const int64_t length = stretch.end - stretch.begin;
        // A copy that falls short fails the export, whose file is then dropped whole.
        failed = CopyBytes(source.Get(), stretch.begin, target.Descriptor(), position, length,
                           kernelCopy, why) != length;
        // Start writing this stretch out now, so that the wait for the disk at the end is short.
        ::sync_file_range(target.Descriptor(), position, length, SYNC_FILE_RANGE_WRITE);
        position += length;
        framesCopied += stretch.frames;
    }
    scanner.join();
    if (outcome.scanStatus != kStatusOk) {
        outcome.targetBytes = target.TargetBytes();
        return outcome;  // the new file goes with target, which stays as it was
    }

    const TFrameInfo last = framesCopied > 0 ? FrameHeader(&cut, framesCopied - 1) : kNoFrame;
    outcome.exported =
        framing.Finish(last, position, failed, control.TerminateRequested(), framesCopied);
    if (why.writeError != 0) {
        outcome.exported.failure = FileWriteError(targetName, why.writeError).what();
    } else if (failed) {
        outcome.exported.failure =
            cut.FileName + ": " +
            (why.readError != 0 ? std::string(std::strerror(why.readError))
                                : "the file ended early: it changed while it was exported");
    }
    target.Finish(outcome.exported);
    outcome.targetBytes = target.TargetBytes();
    return outcome;
}

}  // namespace sw
