#pragma once

#include <cstdint>

namespace sw {

// Which frames of a file the waveform shows across its width. Positions across the width are
// continuous pixels (fractions included, for high-DPI screens): frame f covers
// [XOf(f), XOf(f + 1)), and the point x shows frame FrameAt(x). The view never leaves the file:
// zoomed out fully it shows the whole file, the last frame ending exactly at the right edge;
// zoomed in fully one frame is kDeepestPixelsPerFrame pixels wide (or wider, when the whole file
// already shows its frames wider than that).
class WaveformScale {
  public:
    static constexpr double kDeepestPixelsPerFrame = 8.0;

    // A new file: shown whole.
    void SetFrames(int32_t frames);
    // The width changed: the whole file stays whole; a zoomed view keeps its zoom and its first
    // frame as far as the file allows.
    void SetWidth(double pixels);

    int32_t Frames() const { return frames_; }
    double Width() const { return width_; }
    double FramesPerPixel() const { return framesPerPixel_; }
    // The frame position at the left edge (fractional).
    double First() const { return first_; }
    double VisibleFrames() const { return width_ * framesPerPixel_; }
    bool ShowsWhole() const;
    bool AtDeepest() const;

    // The frame under x, clamped into the file; -1 without frames.
    int32_t FrameAt(double x) const;
    // Where frame (or a fraction of one) begins.
    double XOf(double frame) const;

    void ShowWhole();
    // Zooms and scrolls so that [first, end) fills the width, as far as the zoom allows; a range
    // too short for that is centred.
    void Show(double first, double end);
    // Zooms by factor (above 1 in, below 1 out), keeping the frame under x under x.
    void ZoomAround(double x, double factor);
    void ScrollTo(double first);
    void ScrollBy(double pixels) { ScrollTo(first_ + pixels * framesPerPixel_); }
    // Scrolls by the least that brings frame fully into view; false when it was in view.
    bool Reveal(int32_t frame);

  private:
    double WholeFramesPerPixel() const;
    double DeepestFramesPerPixel() const;
    void Clamp();

    int32_t frames_ = 0;
    double width_ = 1;
    double framesPerPixel_ = 0;
    double first_ = 0;
};

}  // namespace sw
