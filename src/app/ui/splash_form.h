#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;

namespace sw {

// The splash window: borderless and centred, the product picture with the build text along its
// bottom edge. It closes itself when its timer, started at creation, fires.
class TSplashForm : public QDialog {
    Q_OBJECT

  public:
    TSplashForm(int delayMs, QWidget* parent = nullptr);

    QLabel* BuildLabel() const { return buildLabel_; }
    const QTimer& Timer() const { return timer_; }

  private:
    void TimerTimer();

    QTimer timer_;
    QLabel* buildLabel_ = nullptr;
};

// Shows the splash modally for delayMs milliseconds; nothing when delayMs is 0 or less.
void ShowSplash(int delayMs, QWidget* parent = nullptr);

}  // namespace sw
