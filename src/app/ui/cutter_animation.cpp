#include "app/ui/cutter_animation.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace sw {

CutterAnimation::CutterAnimation(QWidget* parent)
    : LoopedAnimation(kFrameCount, kFrameInterval, parent) {
    setObjectName(QStringLiteral("CutterAnim"));
    setAccessibleName(QStringLiteral("Cutter animation"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void CutterAnimation::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(2, 2, -2, -2);
    const double middle = area.center().y();
    const double cut = area.left() + area.width() * Frame() / (kFrameCount - 1);

    // The waveform: bars whose heights follow a fixed pattern, the part behind the cut dimmed.
    const int bars = 16;
    const double step = area.width() / bars;
    for (int i = 0; i < bars; ++i) {
        const double x = area.left() + (i + 0.5) * step;
        const double height = area.height() * (0.2 + 0.35 * std::fabs(std::sin(i * 1.3 + 0.4)));
        const QColor color = x < cut ? QColor(0x3b, 0x6e, 0xa5, 110) : QColor(0x3b, 0x6e, 0xa5);
        painter.setPen(QPen(color, std::max(1.5, step * 0.55), Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(x, middle - height / 2), QPointF(x, middle + height / 2));
    }

    // The cut: a red line with a marker that opens and closes as it goes.
    painter.setPen(QPen(QColor(0xc8, 0x2a, 0x2a), 2));
    painter.drawLine(QPointF(cut, area.top()), QPointF(cut, area.bottom()));
    const double open = 3 + 3 * std::fabs(std::sin(Frame() * M_PI / 6));
    QPainterPath marker;
    marker.moveTo(cut, area.top() + 8);
    marker.lineTo(cut - open, area.top());
    marker.lineTo(cut + open, area.top());
    marker.closeSubpath();
    painter.fillPath(marker, QColor(0xc8, 0x2a, 0x2a));
}

}  // namespace sw
