#include "cutter/ui/waveform_form.h"

#include <QAccessible>
#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/qt/registered_action.h"
#include "cutter/envelope_source.h"
#include "cutter/ui/waveform_canvas.h"

namespace sw {

// The cue list's rows come and go: the cues drawn are taken again after every change.
class TWaveformForm::CueWatch : public CueListObserver {
  public:
    explicit CueWatch(TWaveformForm& form) : form_(form) {}
    void RowsInserted() override { form_.CuesChanged(); }
    void RowsRemoved() override { form_.CuesChanged(); }
    void RowMoved() override { form_.CuesChanged(); }
    void RowsChanged(int, int) override { form_.CuesChanged(); }
    void ResetDone() override { form_.CuesChanged(); }

  private:
    TWaveformForm& form_;
};

// Files leaving the bin take their levels with them.
class TWaveformForm::BinWatch : public ListObserver {
  public:
    explicit BinWatch(TWaveformForm& form) : form_(form) {}
    void RowsRemoved() override { form_.BinChanged(); }
    void RowsChanged(int, int) override { form_.BinChanged(); }
    void ResetDone() override { form_.BinChanged(); }

  private:
    TWaveformForm& form_;
};

TWaveformForm::TWaveformForm(WaveformCutter& cutter, CueListModel& cues, ProjectBinModel& bin,
                             QWidget* parent)
    : QWidget(parent),
      cutter_(cutter),
      cues_(cues),
      bin_(bin),
      placement_(this, QRect(0, 300, 640, 220), MinimumTrackingSize()),
      cueWatch_(std::make_unique<CueWatch>(*this)),
      binWatch_(std::make_unique<BinWatch>(*this)) {
    setObjectName("WaveformForm");
    setWindowTitle("Waveform");
    CreateControls();
    cues_.AddObserver(cueWatch_.get());
    bin_.AddObserver(binWatch_.get());
    cutter_.SetChangeListener([this] { CutterChanged(); });
    CutterChanged();
}

TWaveformForm::~TWaveformForm() {
    cutter_.SetChangeListener(nullptr);
    cues_.RemoveObserver(cueWatch_.get());
    bin_.RemoveObserver(binWatch_.get());
    worker_.Cancel();
}

void TWaveformForm::CreateControls() {
    canvas_ = new WaveformCanvas(cutter_, this);
    scrollBar_ = new QScrollBar(Qt::Horizontal, this);
    scrollBar_->setObjectName("WaveformScrollBar");
    scrollBar_->setAccessibleName("Waveform scroll bar");
    summary_ = new QLabel(this);
    summary_->setObjectName("WaveformSummary");
    summary_->setAccessibleName("Waveform position");
    summary_->setTextFormat(Qt::PlainText);
    levels_ = new QLabel(this);
    levels_->setObjectName("WaveformLevels");
    levels_->setAccessibleName("Waveform levels");
    levels_->setTextFormat(Qt::PlainText);
    levels_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto command = [this](const char* name, const char* text, const char* hint,
                          void (WaveformCanvas::*handler)()) {
        QAction* action = RegisteredAction(this, name, QString::fromUtf8(text));
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        const QString keys = action->shortcut().toString(QKeySequence::NativeText);
        action->setToolTip(QString::fromUtf8(hint) + (keys.isEmpty() ? "" : " (" + keys + ")"));
        action->setStatusTip(QString::fromUtf8(hint));
        connect(action, &QAction::triggered, canvas_, handler);
        addAction(action);
        return action;
    };
    zoomIn_ = command("WaveformZoomInAction", "Zoom in", "Zoom in around the position",
                      &WaveformCanvas::ZoomIn);
    zoomOut_ = command("WaveformZoomOutAction", "Zoom out", "Zoom out around the position",
                       &WaveformCanvas::ZoomOut);
    zoomToSelection_ =
        command("WaveformZoomToSelectionAction", "Zoom to selection",
                "Show the marked selection across the window", &WaveformCanvas::ZoomToSelection);
    wholeFile_ = command("WaveformWholeFileAction", "Whole file", "Show the whole file",
                         &WaveformCanvas::WholeFile);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    for (QAction* action : {zoomIn_, zoomOut_, zoomToSelection_, wholeFile_}) {
        auto* button = new QToolButton(this);
        button->setDefaultAction(action);
        button->setObjectName(action->objectName().replace("Action", "Btn"));
        button->setAccessibleName(action->text());
        button->setAutoRaise(true);
        // The canvas keeps the keyboard: a click on a button must not take it away.
        button->setFocusPolicy(Qt::NoFocus);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    buttons->addWidget(levels_);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addLayout(buttons);
    layout->addWidget(canvas_, 1);
    layout->addWidget(scrollBar_);
    layout->addWidget(summary_);

    connect(canvas_, &WaveformCanvas::ViewChanged, this, &TWaveformForm::ViewChanged);
    connect(canvas_, &WaveformCanvas::SummaryChanged, this, &TWaveformForm::SummaryChanged);
    connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int value) {
        if (!syncingScrollBar_) {
            canvas_->Scale().ScrollTo(value);
            canvas_->Refresh();
        }
    });

    describeLater_ = new QTimer(this);
    describeLater_->setSingleShot(true);
    describeLater_->setInterval(300);
    connect(describeLater_, &QTimer::timeout, this, &TWaveformForm::Describe);

    tick_ = new QTimer(this);
    tick_->setObjectName("WaveformTick");
    connect(tick_, &QTimer::timeout, this, &TWaveformForm::Tick);
}

void TWaveformForm::showEvent(QShowEvent* event) {
    // The display's own rate, so the position line moves with every frame the screen shows.
    const qreal rate = screen() != nullptr ? screen()->refreshRate() : 60;
    tick_->start(std::clamp(int(std::lround(1000 / std::max<qreal>(rate, 1))), 8, 40));
    Tick();
    QWidget::showEvent(event);
}

void TWaveformForm::hideEvent(QHideEvent* event) {
    tick_->stop();
    QWidget::hideEvent(event);
}

void TWaveformForm::CutterChanged() {
    TCutObject* file = cutter_.File();
    if (file != shownFile_ || (envelope_ && envelope_->Frames() != cutter_.FrameCount())) {
        shownFile_ = file;
        shownCue_ = nullptr;
        if (file != nullptr && cutter_.FrameCount() > 0) {
            envelope_ = cache_.Take(*file);
            // Only the file on show is worked on: another one stops, and later goes on from
            // where it stopped.
            if (envelope_->Complete() || !envelope_->Failure().empty()) {
                worker_.Cancel();
            } else {
                worker_.Start(envelope_, EnvelopeSourceOf(*file));
            }
        } else {
            worker_.Cancel();
            envelope_.reset();
        }
        canvas_->ShowFile(envelope_);
        CuesChanged();
    }
    const TCueObject* cue = cutter_.Cue();
    if (cue != shownCue_) {
        shownCue_ = cue;
        if (cue != nullptr && file != nullptr) {
            // A cue under review is shown with a little of the file on either side.
            const double first = std::min(cue->MarkIn, cue->MarkOut);
            const double end = double(std::max(cue->MarkIn, cue->MarkOut)) + 1;
            const double margin = (end - first) / 8;
            canvas_->Scale().Show(first - margin, end + margin);
            ViewChanged();
        }
    }
    canvas_->Refresh();
    canvas_->Tick();
    UpdateLevelsText();
}

void TWaveformForm::CuesChanged() {
    std::vector<WaveformCue> shown;
    const TCutObject* file = cutter_.File();
    for (int row = 0; file != nullptr && row < cues_.Count(); ++row) {
        TCueObject* cue = cues_.At(row);
        if (cue->CutObject == file) {
            shown.push_back({cue, {cue->MarkIn, cue->MarkOut}, cue->Name});
        }
    }
    canvas_->SetCues(std::move(shown));
}

void TWaveformForm::BinChanged() {
    cache_.KeepOnly([this](const TCutObject* cut) { return bin_.RowOf(cut) >= 0; });
}

void TWaveformForm::Tick() {
    canvas_->Tick();
    UpdateLevelsText();
}

void TWaveformForm::UpdateLevelsText() {
    QString text;
    if (envelope_ && !envelope_->Failure().empty()) {
        text = "Levels estimated: " + QString::fromStdString(envelope_->Failure());
    } else if (envelope_ && !envelope_->Complete() && envelope_->Frames() > 0) {
        text = QString("Decoding levels %1 %")
                   .arg(int64_t(envelope_->ExactFrames()) * 100 / envelope_->Frames());
    }
    if (levels_->text() != text) {
        levels_->setText(text);
        levels_->setAccessibleDescription(text);
    }
}

void TWaveformForm::ViewChanged() {
    const WaveformScale& scale = canvas_->Scale();
    const int visible = int(std::ceil(scale.VisibleFrames()));
    syncingScrollBar_ = true;
    scrollBar_->setRange(0, std::max(0, scale.Frames() - visible));
    scrollBar_->setPageStep(std::max(1, visible));
    scrollBar_->setSingleStep(std::max(1, visible / 20));
    scrollBar_->setValue(int(std::lround(scale.First())));
    syncingScrollBar_ = false;
    zoomIn_->setEnabled(scale.Frames() > 0 && !scale.AtDeepest());
    zoomOut_->setEnabled(scale.Frames() > 0 && !scale.ShowsWhole());
    zoomToSelection_->setEnabled(scale.Frames() > 0);
    wholeFile_->setEnabled(scale.Frames() > 0 && !scale.ShowsWhole());
}

void TWaveformForm::SummaryChanged() {
    const QString summary = canvas_->Summary();
    if (summary_->text() != summary) {
        summary_->setText(summary);
    }
    // While playing the position changes with every frame; assistive technology hears of it at
    // most a few times a second, and always of where it ends.
    if (!describeLater_->isActive()) {
        Describe();
        describeLater_->start();
    }
}

void TWaveformForm::Describe() {
    const QString summary = summary_->text();
    if (canvas_->accessibleDescription() == summary) {
        return;
    }
    // A label's text does not reach assistive technology past the label's name; its
    // description does.
    summary_->setAccessibleDescription(summary);
    canvas_->setAccessibleDescription(summary);
    QAccessibleEvent event(canvas_, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

}  // namespace sw
