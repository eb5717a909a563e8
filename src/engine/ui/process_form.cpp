#include "engine/ui/process_form.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <cmath>

namespace sw {
namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point g_startTime = Clock::now();
double g_fractionDone = 0;

constexpr int kDisplayIntervalMs = 33;

// Fills the %s and %d fields of a format in order. The formats are the program's own texts, so
// nothing but these two ever appears in them.
QString FillFormat(const QString& format, const QStringList& values) {
    QString out;
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] == u'%' && i + 1 < format.size() &&
            (format[i + 1] == u's' || format[i + 1] == u'd') && next < values.size()) {
            out += values[next++];
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

void AssertGuiThread() {
    Q_ASSERT(QThread::currentThread() == qApp->thread());
}

}  // namespace

TProcessForm::TProcessForm(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName("ProcessForm");
    setWindowTitle("Processing...");
    setModal(true);

    // A label rather than a read-only text editor: it shows the same centred lines, and it does
    // not cost the editor's start-up each time a scan opens the window.
    ActionMemo = new QLabel("Waiting for action...", this);
    ActionMemo->setObjectName("ActionMemo");
    ActionMemo->setAlignment(Qt::AlignCenter);
    ActionMemo->setWordWrap(true);
    ActionMemo->setTextFormat(Qt::PlainText);
    ActionMemo->setBackgroundRole(QPalette::Button);
    ActionMemo->setAutoFillBackground(true);
    ActionMemo->setMinimumHeight(48);

    ProgressLbl = new QLabel("Hold on...", this);
    ProgressLbl->setObjectName("ProgressLbl");
    ProgressLbl->setAlignment(Qt::AlignCenter);

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);

    AbortBtn = new QPushButton("Abort", this);
    AbortBtn->setObjectName("AbortBtn");
    connect(AbortBtn, &QPushButton::clicked, this, &TProcessForm::AbortBtnClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ActionMemo);
    layout->addWidget(ProgressLbl);
    layout->addWidget(ProgressBar);
    layout->addWidget(AbortBtn, 0, Qt::AlignHCenter);
    setMinimumWidth(420);

    timer_ = new QTimer(this);
    timer_->setInterval(kDisplayIntervalMs);
    connect(timer_, &QTimer::timeout, this, &TProcessForm::Tick);
}

TProcessForm::~TProcessForm() = default;

void TProcessForm::ResetEstimate() {
    g_fractionDone = 0;
    g_startTime = Clock::now();
}

void TProcessForm::SetRange(int32_t minimum, int32_t maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    // A bar whose range is one value shows a busy animation; two values show it empty or full.
    ProgressBar->setRange(minimum_, maximum_ > minimum_ ? maximum_ : minimum_ + 1);
    ProgressBar->setValue(minimum_);
}

void TProcessForm::SetAction(const QString& format, const QString& fileName) {
    QString text = FillFormat(format, {fileName});
    text.replace("\r\n", "\n");
    ActionMemo->setText(text);
}

void TProcessForm::Watch(WorkerControl* control) {
    control_ = control;
    if (control_ != nullptr) {
        timer_->start();
    } else {
        timer_->stop();
    }
}

void TProcessForm::ProgressUpdate(int32_t value) {
    AssertGuiThread();
    const int32_t position = std::clamp(value, minimum_, maximum_);
    const int64_t p = int64_t(position) - minimum_;
    const int64_t r = int64_t(maximum_) - minimum_;
    if (r > 0) {
        ProgressBar->setValue(position);
        g_fractionDone = double(p) / double(r);
    } else {
        // One value only: nothing to divide; anything past it counts as done.
        const bool past = value > minimum_;
        ProgressBar->setValue(past ? minimum_ + 1 : minimum_);
        g_fractionDone = past ? 1.0 : 0.0;
    }
    setWindowTitle(FillFormat(captionFormat_, {EstimateTimeLeft()}));
    if (value % 5 == 0) {
        ProgressLbl->setText(
            FillFormat(labelFormat_, {QString::number(p), QString::number(r + 1)}));
    }
}

void TProcessForm::WorkerFinished(int32_t finalValue) {
    timer_->stop();
    ProgressUpdate(finalValue);
    ThreadDone();
}

void TProcessForm::ThreadDone() {
    AssertGuiThread();
    Watch(nullptr);
    done(QDialog::Accepted);
}

void TProcessForm::AbortBtnClick() {
    if (control_ != nullptr) {
        control_->RequestTerminate();
    }
}

void TProcessForm::reject() {
    if (WorkerRunning()) {
        AbortBtnClick();
        return;
    }
    QDialog::reject();
}

void TProcessForm::Tick() {
    if (control_ != nullptr) {
        ProgressUpdate(control_->progress.load(std::memory_order_relaxed));
    }
}

QString TProcessForm::EstimateTimeLeft() const {
    const double elapsedDays =
        std::chrono::duration<double>(Clock::now() - g_startTime).count() / 86400.0;
    return EstimateTimeLeft(g_fractionDone, elapsedDays);
}

QString TProcessForm::EstimateTimeLeft(double fraction, double elapsedDays) {
    if (!(fraction > 0 && elapsedDays > 0)) {
        return "Unknown";
    }
    if (fraction >= 1) {
        return "Done";
    }
    const double leftDays = elapsedDays * (1.0 / fraction - 1.0);
    // Shown as a time of day: a day or more wraps around.
    const long long milliseconds = std::llround(std::fmod(leftDays, 1.0) * 86400000.0);
    const long long seconds = (milliseconds / 1000) % 86400;
    return QString::asprintf("%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                             seconds % 60);
}

QString TProcessForm::ShortenFileName(const QString& name, int maximum) {
    if (name.size() <= maximum) {
        return name;
    }
    return "..." + name.right(maximum + 4);
}

}  // namespace sw
