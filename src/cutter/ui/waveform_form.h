#pragma once

#include <QRect>
#include <QWidget>
#include <memory>

#include "cutter/envelope_cache.h"
#include "cutter/envelope_worker.h"
#include "cutter/waveform_cutter.h"
#include "project/bin_model.h"
#include "project/cue_list_model.h"
#include "project/ui/child_form_placement.h"

class QAction;
class QLabel;
class QScrollBar;
class QTimer;

namespace sw {

class WaveformCanvas;

// The "Waveform" window: the sound of the file or cue the cutter has open, with its marks, its
// cues and the play position, zoomable down to single frames. It drives the cutter, never the
// player: a click seeks, a drag marks, a double click on a cue reviews it.
//
// The levels come from a worker thread, first estimated from the compressed frames, then decoded
// from the first frame on; they are kept per file while the file stays in the bin, so going back
// to a file or one of its cues decodes nothing again. The window reads the worker's progress and
// the cutter's position at its display rate while it is shown.
class TWaveformForm : public QWidget {
    Q_OBJECT

  public:
    TWaveformForm(WaveformCutter& cutter, CueListModel& cues, ProjectBinModel& bin,
                  QWidget* parent = nullptr);
    ~TWaveformForm() override;

    static QSize MinimumTrackingSize() { return {260, 150}; }

    ChildFormPlacement& Placement() { return placement_; }
    WaveformCanvas& Canvas() const { return *canvas_; }
    QScrollBar& ScrollBar() const { return *scrollBar_; }
    EnvelopeCache& Cache() { return cache_; }
    const EnvelopeWorker& Worker() const { return worker_; }
    // The levels shown now, none without a file.
    const LevelEnvelope* Envelope() const { return envelope_.get(); }

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    class CueWatch;
    class BinWatch;

    void CreateControls();
    void CutterChanged();
    void CuesChanged();
    void BinChanged();
    void Tick();
    void ViewChanged();
    void SummaryChanged();
    void Describe();
    void UpdateLevelsText();

    WaveformCutter& cutter_;
    CueListModel& cues_;
    ProjectBinModel& bin_;
    ChildFormPlacement placement_;
    EnvelopeCache cache_;
    EnvelopeWorker worker_;
    std::shared_ptr<LevelEnvelope> envelope_;
    std::unique_ptr<CueWatch> cueWatch_;
    std::unique_ptr<BinWatch> binWatch_;
    const TCutObject* shownFile_ = nullptr;
    const TCueObject* shownCue_ = nullptr;
    bool syncingScrollBar_ = false;

    WaveformCanvas* canvas_ = nullptr;
    QScrollBar* scrollBar_ = nullptr;
    QLabel* summary_ = nullptr;
    QLabel* levels_ = nullptr;
    QTimer* tick_ = nullptr;
    QTimer* describeLater_ = nullptr;
    QAction* zoomIn_ = nullptr;
    QAction* zoomOut_ = nullptr;
    QAction* zoomToSelection_ = nullptr;
    QAction* wholeFile_ = nullptr;
};

}  // namespace sw
