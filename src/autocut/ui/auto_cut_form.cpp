#include "autocut/ui/auto_cut_form.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>

#include "autocut/auto_cut_run.h"

namespace sw {

namespace {

constexpr char kErrorCaption[] = "Error";

QLabel* Label(const char* text, const char* name) {
    auto* label = new QLabel(QString::fromLatin1(text));
    label->setObjectName(QString::fromLatin1(name));
    label->setAccessibleName(label->text());
    return label;
}

QPushButton* Button(const char* text, const char* name) {
    auto* button = new QPushButton(QString::fromLatin1(text));
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(button->text());
    return button;
}

}  // namespace

TAutoCutForm::TAutoCutForm(TCutObject* cut, TGlobalSettings& settings, CueListModel& cues,
                           Prompts& prompts, QWidget* parent)
    : QDialog(parent), cut_(cut), settings_(settings), cues_(cues), prompts_(prompts) {
    setObjectName(QStringLiteral("AutoCutForm"));
    setWindowTitle(QStringLiteral("AutoCutter"));
    setAccessibleName(windowTitle());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    FileEdit = new QLineEdit;
    FileEdit->setObjectName(QStringLiteral("FileEdit"));
    FileEdit->setAccessibleName(QStringLiteral("File"));
    FileEdit->setReadOnly(true);
    if (cut_ != nullptr) {
        FileEdit->setText(QString::fromStdString(cut_->Name));
    }
    ProgressBar = new QProgressBar;
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setAccessibleName(QStringLiteral("Search progress"));
    ProgressBar->setTextVisible(false);
    SetGaugeRange();
    Label1 = Label("Threshold", "Label1");
    ThresholdEdit = new QSpinBox;
    ThresholdEdit->setObjectName(QStringLiteral("ThresholdEdit"));
    ThresholdEdit->setAccessibleName(QStringLiteral("Threshold in percent"));
    ThresholdEdit->setRange(kMinAutocutThreshold, kMaxAutocutThreshold);
    ThresholdEdit->setValue(settings_.AutocutThreshold);
    Label1->setBuddy(ThresholdEdit);
    Label2 = Label("%", "Label2");
    SearchBtn = Button("Search", "SearchBtn");
    SearchBtn->setDefault(true);
    AbortBtn = Button("Abort", "AbortBtn");
    AbortBtn->hide();
    connect(SearchBtn, &QPushButton::clicked, this, &TAutoCutForm::SearchBtnClick);
    connect(AbortBtn, &QPushButton::clicked, this, &TAutoCutForm::AbortBtnClick);

    auto* layout = new QGridLayout(this);
    layout->addWidget(FileEdit, 0, 0, 1, 4);
    layout->addWidget(ProgressBar, 1, 0, 1, 4);
    layout->addWidget(Label1, 2, 0);
    layout->addWidget(ThresholdEdit, 2, 1);
    layout->addWidget(Label2, 2, 2);
    // One place for both buttons; only one of them shows at a time.
    layout->addWidget(SearchBtn, 2, 3);
    layout->addWidget(AbortBtn, 2, 3);
    layout->setColumnStretch(2, 1);
    setFixedSize(298, 90);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

TAutoCutForm::~TAutoCutForm() = default;

void TAutoCutForm::SearchBtnClick() {
    if (run_ != nullptr) {
        return;
    }
    SearchBtn->hide();
    AbortBtn->show();
    ThresholdEdit->setEnabled(false);
    ProcessFile();
    SearchBtn->show();
    AbortBtn->hide();
    ThresholdEdit->setEnabled(true);
}

void TAutoCutForm::AbortBtnClick() {
    if (run_ != nullptr) {
        run_->Abort();
    }
}

void TAutoCutForm::done(int result) {
    settings_.AutocutThreshold = ThresholdEdit->value();
    AbortBtnClick();
    QDialog::done(result);
}

bool TAutoCutForm::HandOverCues() {
    for (const AutoCutRun::FoundCue& cue : run_->TakeCues()) {
        if (cueRefused_) {
            break;
        }
        if (!cues_.AddCue(cut_, cue.Name, cue.MarkIn, cue.MarkOut)) {
            // What the search does when a cue cannot be made: it ends, with its error.
            cueRefused_ = true;
            run_->Abort();
        }
    }
    return !cueRefused_;
}

void TAutoCutForm::SetGaugeRange() {
    // Position 0 of the file's frames until a search moves it. A range of 0..0 (a file of one
    // frame or none) would make Qt's gauge show its busy animation instead.
    const int32_t frames = cut_ != nullptr ? cut_->FrameCount() : 0;
    ProgressBar->setRange(0, std::max(frames - 1, 1));
    ProgressBar->setValue(0);
}

void TAutoCutForm::ProcessFile() {
    SetGaugeRange();

    AutoCutRun run;
    cueRefused_ = false;
    if (!run.Start(cut_, ThresholdEdit->value())) {
        prompts_.Error(kErrorCaption,
                       "Error while searching " + (cut_ != nullptr ? cut_->Name : std::string()));
        return;
    }
    run_ = &run;
    QEventLoop loop;
    QTimer display;
    // The next look comes after a quarter of the time searched so far, at most at the display
    // rate: a short search then ends about when it ends, not at the display's next tick, which
    // made the search of an hour's index take twice as long in the dialog as without it.
    QElapsedTimer searched;
    searched.start();
    display.setInterval(1);
    connect(&display, &QTimer::timeout, &loop, [&] {
        ProgressBar->setValue(run.Progress());
        HandOverCues();
        if (run.Finished()) {
            loop.quit();
        }
        display.setInterval(
            static_cast<int>(std::clamp<qint64>(searched.elapsed() / 4, 1, kDisplayInterval)));
    });
    display.start();
    loop.exec();
    display.stop();
    // The loop also ends when the application quits; the search must not outlive the dialog.
    run.Abort();
    const AutoCutResult result = run.Wait();
    ProgressBar->setValue(run.Progress());
    const bool handedOver = HandOverCues();
    run_ = nullptr;

    if (!handedOver) {
        prompts_.Error(kErrorCaption, "Error while searching " + cut_->Name);
    } else if (result.Outcome == AutoCutOutcome::InvalidCutObject ||
               result.Outcome == AutoCutOutcome::NoIndex ||
               result.Outcome == AutoCutOutcome::SearchError) {
        prompts_.Error(kErrorCaption, result.Message);
    }
}

int AutoCutFile(TCutObject* cut, TGlobalSettings& settings, CueListModel& cues, Prompts& prompts,
                QWidget* parent) {
    TAutoCutForm form(cut, settings, cues, prompts, parent);
    return form.exec();
}

}  // namespace sw
