#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

#include "engine/worker_control.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace sw {

// The modal window shown while a scan or export worker runs. It only shows: it reads the
// worker's latest progress value at display rate, and its Abort button (or its close box) sets the
// terminate request. Only the worker's done notification (ThreadDone) ends its modal loop.
class TProcessForm : public QDialog {
    Q_OBJECT

  public:
    explicit TProcessForm(QWidget* parent = nullptr);
    ~TProcessForm() override;

    // The time estimate's start and fraction are shared by all progress windows (one exists at a
    // time); the starting operation resets them.
    static void ResetEstimate();

    void SetRange(int32_t minimum, int32_t maximum);
    void SetCaptionFormat(const QString& format) { captionFormat_ = format; }  // one %s
    void SetLabelFormat(const QString& format) { labelFormat_ = format; }      // two %d
    // Fills the action format's %s (a "\r\n" in the format is a line break).
    void SetAction(const QString& format, const QString& fileName);

    // Starts watching a worker: its progress is shown about 30 times a second, and Abort and the
    // close box request its termination. nullptr stops watching.
    void Watch(WorkerControl* control);
    bool WorkerRunning() const { return control_ != nullptr; }

    void ProgressUpdate(int32_t value);
    // The worker's done notification: shows the final value, then ends the modal loop.
    void WorkerFinished(int32_t finalValue);
    void ThreadDone();
    void AbortBtnClick();

    QString EstimateTimeLeft() const;
    // The estimate for a fraction done after elapsedDays: "Unknown", "Done" or "hh:mm:ss".
    static QString EstimateTimeLeft(double fraction, double elapsedDays);
    // A name longer than maximum becomes "..." and its last maximum + 4 characters.
    static QString ShortenFileName(const QString& name, int maximum);

    QLabel* ActionMemo;  // the multi-line action text
    QLabel* ProgressLbl;
    QProgressBar* ProgressBar;
    QPushButton* AbortBtn;

  protected:
    // Esc and the close box: while a worker runs they ask it to stop and the window stays.
    void reject() override;

  private:
    void Tick();

    QTimer* timer_;
    WorkerControl* control_ = nullptr;
    int32_t minimum_ = 0;
    int32_t maximum_ = 100;
    QString captionFormat_;
    QString labelFormat_;
};

}  // namespace sw
