#include "player/qt/wave_out.h"

#include <QMetaObject>
#include <QObject>
#include <atomic>

namespace sw {

// Lives on the creating thread, so a queued call to it runs in that thread's event loop. Posts
// are coalesced: one pending wake-up delivers everything returned until it runs.
struct WaveOut::Notifier {
    QObject target;
    std::atomic<bool> posted{false};
};

WaveOut::WaveOut() : notifier_(std::make_unique<Notifier>()) {}

// Destroying the notifier's QObject discards a wake-up that is still posted.
WaveOut::~WaveOut() = default;

void WaveOut::Complete(std::unique_ptr<WaveBuffer> buffer) {
    buffer->flags |= kBufferDone;
    {
        std::lock_guard<std::mutex> lock(pendingMutex_);
        pending_.push_back(std::move(buffer));
    }
    if (!notifier_->posted.exchange(true)) {
        QMetaObject::invokeMethod(
            &notifier_->target,
            [this] {
                notifier_->posted = false;
                DispatchPending();
            },
            Qt::QueuedConnection);
    }
}

int WaveOut::DispatchPending(int max) {
    int delivered = 0;
    while (delivered < max) {
        std::unique_ptr<WaveBuffer> buffer;
        {
            std::lock_guard<std::mutex> lock(pendingMutex_);
            if (pending_.empty()) {
                break;
            }
            buffer = std::move(pending_.front());
            pending_.pop_front();
        }
        ++delivered;
        if (listener_ != nullptr) {
            listener_->WaveOutDone(std::move(buffer));
        }
    }
    return delivered;
}

std::string WaveOut::ErrorText(int code) {
    return CommonWaveOutErrorText(code);
}

std::string CommonWaveOutErrorText(int code) {
    switch (code) {
        case kWaveOk:
            return "The operation was successful";
        case kWaveError:
            return "The audio output operation failed";
        case kWaveBadDeviceId:
            return "The audio device number is out of range";
        case kWaveAllocated:
            return "The audio output is already open";
        case kWaveInvalidHandle:
            return "No file or audio device is open";
        case kWaveNoDriver:
            return "No audio output is available";
        case kWaveNoMemory:
            return "Not enough memory for audio output";
        case kWaveNotSupported:
            return "The audio device cannot play the format of this file";
        case kWaveInvalidParam:
            return "No file was given to play";
        case kWaveBadFormat:
            return "The audio format is not supported";
        case kWaveStillPlaying:
            return "Audio buffers are still playing";
        case kWaveUnprepared:
            return "No audio data could be read from the file";
        default:
            return "";
    }
}

}  // namespace sw
