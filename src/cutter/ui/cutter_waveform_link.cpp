#include "cutter/ui/cutter_waveform_link.h"

#include "app/settings/global_settings.h"
#include "cutter/ui/cutter_form.h"

namespace sw {

CutterWaveformLink::CutterWaveformLink(TCutterForm& cutter, QObject* parent)
    : QObject(parent), cutter_(cutter) {
    connect(&cutter_, &TCutterForm::LabelsChanged, this, [this] {
        if (listener_) {
            listener_();
        }
    });
}

TCutObject* CutterWaveformLink::File() const {
    return cutter_.CurrentCutObject();
}

TCueObject* CutterWaveformLink::Cue() const {
    return cutter_.CurrentCue();
}

int32_t CutterWaveformLink::FrameCount() const {
    return File() != nullptr ? File()->FrameCount() : 0;
}

int32_t CutterWaveformLink::Position() const {
    return cutter_.Position();
}

int32_t CutterWaveformLink::MarkIn() const {
    return File() != nullptr ? File()->MarkIn : 0;
}

int32_t CutterWaveformLink::MarkOut() const {
    return File() != nullptr ? File()->MarkOut : 0;
}

void CutterWaveformLink::Seek(int32_t frame) {
    cutter_.SeekTo(frame);
}

void CutterWaveformLink::SetMarks(int32_t markIn, int32_t markOut) {
    cutter_.SetMarks(markIn, markOut);
}

void CutterWaveformLink::ReviewCue(TCueObject* cue) {
    cutter_.OpenCue(cue);
}

bool CutterWaveformLink::RunKeyCommand(CutterCommand command) {
    return cutter_.KeyboardControl() && cutter_.RunKeyCommand(command);
}

std::string CutterWaveformLink::FrameText(int64_t frame) const {
    return cutter_.FrameLabel(frame);
}

bool CutterWaveformLink::ShowsTime() const {
    return GlobalSettings().ShowCutterTime;
}

void CutterWaveformLink::SetChangeListener(std::function<void()> listener) {
    listener_ = std::move(listener);
}

}  // namespace sw
