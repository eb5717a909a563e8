#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cutter/jog_shuttle.h"
#include "cutter/level_envelope.h"
#include "cutter/waveform_cutter.h"
#include "cutter/waveform_gestures.h"
#include "cutter/waveform_scale.h"

namespace sw {

// One cue of the shown file as the waveform draws it.
struct WaveformCue {
    TCueObject* cue = nullptr;
    CueSpan span;
    std::string name;
};

// The drawing and the pointer and key handling of the waveform: a time ruler, a lane of the
// file's cues, and the level envelope with the selection and the play position over it. It asks
// the cutter for the position and the marks and moves them through it; it keeps no copy of them.
//
// What it draws apart from the position line is kept in an image of the widget's size at the
// screen's pixel ratio, made again only when the view, the levels, the marks, the cues or the
// palette change; the position line moves over that image.
class WaveformCanvas : public QWidget {
    Q_OBJECT

  public:
    explicit WaveformCanvas(WaveformCutter& cutter, QWidget* parent = nullptr);

    WaveformScale& Scale() { return scale_; }
    const WaveformScale& Scale() const { return scale_; }

    // A new file (or none): shown whole, with levels from envelope (none without a file).
    void ShowFile(std::shared_ptr<const LevelEnvelope> envelope);
    void SetCues(std::vector<WaveformCue> cues);
    const std::vector<WaveformCue>& Cues() const { return cues_; }
    // The levels, marks or display mode changed: the picture is made again.
    void Refresh();
    // The display tick: follows the cutter's position, and redraws levels that came in.
    void Tick();

    void ZoomIn();
    void ZoomOut();
    void ZoomToSelection();
    void WholeFile();

    // Where the parts lie, in widget pixels: the ruler, the cue lane, the levels.
    QRect RulerRect() const;
    QRect CueLaneRect() const;
    QRect LevelsRect() const;

    // What the position and the marks are, in the cutter's display mode.
    QString Summary() const;
    // How many frames' estimates and decoded levels the last picture showed.
    int32_t DrawnCoarseFrames() const { return drawnCoarse_; }
    int32_t DrawnExactFrames() const { return drawnExact_; }

  signals:
    // The zoom or the scroll position changed.
    void ViewChanged();
    // The position or the marks moved (by the cutter or by this widget).
    void SummaryChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    enum class Drag { None, Pending, Selecting, Handle };

    void Render();
    void RenderRuler(QPainter& painter);
    void RenderCues(QPainter& painter);
    void RenderLevels(QPainter& painter);
    void RenderSelection(QPainter& painter);
    void ViewMoved();
    void UpdatePositionLine(int32_t previous);
    int CueRowAt(double y) const;
    int RowHeight() const;
    int LaneRows() const;
    double HandleTolerance() const;
    // The key's move of the position; with extend, the selection grows from its anchor to it.
    void MoveByKey(int64_t frame, bool extend);
    void SeekTo(int64_t frame);
    bool HasFile() const { return cutter_.File() != nullptr && scale_.Frames() > 0; }

    WaveformCutter& cutter_;
    WaveformScale scale_;
    std::shared_ptr<const LevelEnvelope> envelope_;
    std::vector<WaveformCue> cues_;
    std::vector<CueSpan> spans_;
    std::vector<int> cueRows_;
    QImage picture_;
    bool stale_ = true;
    int32_t position_ = -1;
    int32_t drawnCoarse_ = 0;
    int32_t drawnExact_ = 0;
    qint64 lastLevelsRender_ = 0;

    Drag drag_ = Drag::None;
    double pressX_ = 0;
    int32_t anchor_ = 0;
    // The frame a Shift+key selection grows from, -1 until one starts.
    int32_t keyAnchor_ = -1;
    WheelAccumulator wheel_;
};

}  // namespace sw
