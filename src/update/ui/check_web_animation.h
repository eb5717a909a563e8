#pragma once

#include <QTimer>
#include <QWidget>

namespace sw {

// "CHECKWEB": a small looping animation of a globe whose meridians turn while a page travels
// to it, shown while the update check downloads. It takes no focus.
class CheckWebAnimation : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kFrameCount = 24;
    static constexpr int kFrameInterval = 70;  // milliseconds

    explicit CheckWebAnimation(QWidget* parent = nullptr);

    void Start() { timer_.start(); }
    void Stop() { timer_.stop(); }
    bool Running() const { return timer_.isActive(); }
    int Frame() const { return frame_; }

    QSize sizeHint() const override { return {272, 60}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QTimer timer_;
    int frame_ = 0;
};

}  // namespace sw
