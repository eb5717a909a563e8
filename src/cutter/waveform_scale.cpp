#include "cutter/waveform_scale.h"

#include <algorithm>
#include <cmath>

namespace sw {

void WaveformScale::SetFrames(int32_t frames) {
    frames_ = std::max(frames, 0);
    ShowWhole();
}

void WaveformScale::SetWidth(double pixels) {
    const bool whole = ShowsWhole();
    width_ = std::max(pixels, 1.0);
    if (whole) {
        ShowWhole();
    } else {
        Clamp();
    }
}

double WaveformScale::WholeFramesPerPixel() const {
    return double(frames_) / width_;
}

double WaveformScale::DeepestFramesPerPixel() const {
    return std::min(1.0 / kDeepestPixelsPerFrame, WholeFramesPerPixel());
}

bool WaveformScale::ShowsWhole() const {
    return framesPerPixel_ >= WholeFramesPerPixel() && first_ <= 0;
}

bool WaveformScale::AtDeepest() const {
    return framesPerPixel_ <= DeepestFramesPerPixel();
}

int32_t WaveformScale::FrameAt(double x) const {
    if (frames_ == 0) {
        return -1;
    }
    const double frame = std::floor(first_ + x * framesPerPixel_);
    return int32_t(std::clamp(frame, 0.0, double(frames_ - 1)));
}

double WaveformScale::XOf(double frame) const {
    if (framesPerPixel_ <= 0) {
        return 0;
    }
    return (frame - first_) / framesPerPixel_;
}

void WaveformScale::ShowWhole() {
    framesPerPixel_ = WholeFramesPerPixel();
    first_ = 0;
}

void WaveformScale::Show(double first, double end) {
    if (end <= first) {
        end = first + 1;
    }
    framesPerPixel_ =
        std::clamp((end - first) / width_, DeepestFramesPerPixel(), WholeFramesPerPixel());
    first_ = (first + end) / 2 - VisibleFrames() / 2;
    Clamp();
}

void WaveformScale::ZoomAround(double x, double factor) {
    if (factor <= 0 || frames_ == 0) {
        return;
    }
    const double anchor = first_ + x * framesPerPixel_;
    framesPerPixel_ =
        std::clamp(framesPerPixel_ / factor, DeepestFramesPerPixel(), WholeFramesPerPixel());
    first_ = anchor - x * framesPerPixel_;
    Clamp();
}

void WaveformScale::ScrollTo(double first) {
    first_ = first;
    Clamp();
}

bool WaveformScale::Reveal(int32_t frame) {
    const double before = first_;
    if (frame < first_) {
        ScrollTo(frame);
    } else if (frame + 1 > first_ + VisibleFrames()) {
        ScrollTo(frame + 1 - VisibleFrames());
    }
    return first_ != before;
}

void WaveformScale::Clamp() {
    framesPerPixel_ = std::clamp(framesPerPixel_, DeepestFramesPerPixel(), WholeFramesPerPixel());
    // The last position keeps the file's end exactly at the right edge.
    const double last = std::max(0.0, double(frames_) - VisibleFrames());
    first_ = std::clamp(first_, 0.0, last);
}

}  // namespace sw
