#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "cutter/cutter_keys.h"
#include "stream/cut_object.h"

namespace sw {

// What the waveform needs of the cutter, and all it may do to it: it shows the cutter's file,
// position and marks and moves them through the cutter, never through the player. Everything is
// called on the thread that runs the cutter.
class WaveformCutter {
  public:
    virtual ~WaveformCutter() = default;

    // The file the cutter has open (also while it reviews one of the file's cues), none when it
    // has none; the cue under review, none when it reviews none.
    virtual TCutObject* File() const = 0;
    virtual TCueObject* Cue() const = 0;
    // Frames of the open file (0 without one), the position and the marks as the cutter shows
    // them.
    virtual int32_t FrameCount() const = 0;
    virtual int32_t Position() const = 0;
    virtual int32_t MarkIn() const = 0;
    virtual int32_t MarkOut() const = 0;

    // Moves to a frame as the end of a seek bar scroll does.
    virtual void Seek(int32_t frame) = 0;
    // Sets both marks, markIn <= markOut, as the mark buttons would.
    virtual void SetMarks(int32_t markIn, int32_t markOut) = 0;
    // Opens the cue as its review command does.
    virtual void ReviewCue(TCueObject* cue) = 0;
    // Runs one of the cutter's key commands (play, marks, the selection to the cue list ...) as
    // the cutter's own keys do, so the same keys work wherever the file is shown; only while the
    // cutter's keyboard control is on. False when the command was not taken.
    virtual bool RunKeyCommand(CutterCommand command) = 0;

    // A frame as the cutter shows it now (time code or frame number), and whether it shows time.
    virtual std::string FrameText(int64_t frame) const = 0;
    virtual bool ShowsTime() const = 0;

    // Called after the file, the cue, the marks or the display mode changed; not for the
    // position, which the waveform reads at its display rate. One listener; none to stop.
    virtual void SetChangeListener(std::function<void()> listener) = 0;
};

}  // namespace sw
