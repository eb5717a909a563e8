#pragma once

#include <QColor>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>

#include "widgets/knob_geometry.h"

class QLabel;

namespace sw {

// A round rotary control with a whole-number position between Min (at the lower-left stop) and
// Max (at the lower-right stop). It follows the mouse by angle while the left button is held
// inside its round face, answers the cursor and page keys, and shows its position in an optional
// label. The cutter uses it spring-loaded as its jog/shuttle: it returns to 0 when released or
// when it loses the focus.
class TKnob : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(int PageSize READ PageSize WRITE SetPageSize)
    Q_PROPERTY(bool SpringLoaded READ SpringLoaded WRITE SetSpringLoaded)
    Q_PROPERTY(QColor LineColor READ LineColor WRITE SetLineColor)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

  public:
    explicit TKnob(QWidget* parent = nullptr);
    ~TKnob() override;

    int32_t Min() const { return state_.min; }
    int32_t Max() const { return state_.max; }
    int32_t Position() const { return state_.position; }
    void SetMin(int32_t min) { SetParams(state_.position, min, state_.max); }
    void SetMax(int32_t max) { SetParams(state_.position, state_.min, max); }
    void SetPosition(int32_t position) { SetParams(position, state_.min, state_.max); }
    // The one routine behind every assignment of position, minimum or maximum: applies the range
    // rule, redraws, refreshes the label and fires OnChange, even when nothing changed.
    void SetParams(int32_t position, int32_t min, int32_t max);

    int32_t PageSize() const { return pageSize_; }
    void SetPageSize(int32_t pageSize) { pageSize_ = pageSize; }

    bool SpringLoaded() const { return springLoaded_; }
    // Turning the spring on returns the knob to 0 at once.
    void SetSpringLoaded(bool springLoaded);

    QColor LineColor() const { return lineColor_; }
    // The face colour is refused: the indicator would vanish into the face.
    void SetLineColor(const QColor& colour);

    // The label follows the position as "<position> <caption>", is shown, hidden, enabled and
    // disabled with the knob, and is forgotten when it is destroyed.
    QLabel* PositionLabel() const;
    void SetPositionLabel(QLabel* label);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);

    // Derived state, for the cutter and for tests.
    int32_t Angle() const { return state_.angle; }
    float DegreesPerUnit() const { return state_.degreesPerUnit; }
    int32_t LastMouseAngle() const { return lastMouseAngle_; }
    bool Dragging() const { return dragging_; }
    int Side() const { return side_; }
    int Radius() const { return side_ / 2; }
    // The indicator's end points as last painted; empty before the first paint.
    std::optional<knob::Indicator> LastIndicator() const { return lastIndicator_; }
    // The label text for the current position.
    QString PositionText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return width; }

  signals:
    void OnChange(sw::TKnob* sender);

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void UpdateLabel();
    void TrackMouse(const QPoint& point);
    int32_t PositionOfMouse() const;

    knob::State state_;
    int32_t pageSize_ = 10;
    bool springLoaded_ = false;
    QColor lineColor_;
    QPointer<QLabel> label_;
    QString caption_;
    int side_ = 40;
    int32_t lastMouseAngle_ = knob::kMinAngle;
    bool dragging_ = false;
    std::optional<knob::Indicator> lastIndicator_;
};

}  // namespace sw
