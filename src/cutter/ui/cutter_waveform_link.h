#pragma once

#include <QObject>
#include <functional>

#include "cutter/waveform_cutter.h"

namespace sw {

class TCutterForm;

// The waveform's view of the cutter window, as the cutter stands today: every call is one of
// the window's own. Another cutter (its rules in a plain object) only needs its own adapter.
class CutterWaveformLink : public QObject, public WaveformCutter {
    Q_OBJECT

  public:
    explicit CutterWaveformLink(TCutterForm& cutter, QObject* parent = nullptr);

    TCutObject* File() const override;
    TCueObject* Cue() const override;
    int32_t FrameCount() const override;
    int32_t Position() const override;
    int32_t MarkIn() const override;
    int32_t MarkOut() const override;
    void Seek(int32_t frame) override;
    void SetMarks(int32_t markIn, int32_t markOut) override;
    void ReviewCue(TCueObject* cue) override;
    bool RunKeyCommand(CutterCommand command) override;
    std::string FrameText(int64_t frame) const override;
    bool ShowsTime() const override;
    void SetChangeListener(std::function<void()> listener) override;

  private:
    TCutterForm& cutter_;
    std::function<void()> listener_;
};

}  // namespace sw
