#include "update/ui/check_web_animation.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace sw {

CheckWebAnimation::CheckWebAnimation(QWidget* parent)
    : LoopedAnimation(kFrameCount, kFrameInterval, parent) {
    setObjectName(QStringLiteral("Animation"));
    setAccessibleName(QStringLiteral("Checking the web"));
}

void CheckWebAnimation::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor blue(0x2f, 0x64, 0xa8);
    const QRectF area = QRectF(rect()).adjusted(4, 4, -4, -4);
    const double radius = std::min(area.height(), area.width() / 4) / 2;
    const QPointF computer(area.left() + radius, area.center().y());
    const QPointF globe(area.right() - radius, area.center().y());
    const double phase = static_cast<double>(Frame()) / kFrameCount;

    // The computer asking: a screen on a stand.
    const QRectF screen(computer.x() - radius, computer.y() - radius * 0.8, radius * 2,
                        radius * 1.3);
    painter.setPen(QPen(blue, 2));
    painter.setBrush(QColor(0xdd, 0xe8, 0xf5));
    painter.drawRoundedRect(screen, 3, 3);
    painter.drawLine(QPointF(computer.x(), screen.bottom()),
                     QPointF(computer.x(), screen.bottom() + radius * 0.4));

    // The globe: its outline, the equator and meridians that move with the phase.
    painter.setBrush(QColor(0xcf, 0xe6, 0xd2));
    painter.drawEllipse(globe, radius, radius);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(blue, 1));
    painter.drawLine(QPointF(globe.x() - radius, globe.y()),
                     QPointF(globe.x() + radius, globe.y()));
    for (int m = 0; m < 3; ++m) {
        const double angle = (phase + m / 3.0) * M_PI;
        const double width = radius * std::fabs(std::cos(angle));
        painter.drawEllipse(globe, width, radius);
    }

    // A page on its way between them, out and back.
    const double path = phase < 0.5 ? phase * 2 : 2 - phase * 2;
    const double left = screen.right() + 4;
    const double right = globe.x() - radius - 4 - radius * 0.5;
    const double x = left + (right - left) * path;
    const QRectF page(x, area.center().y() - radius * 0.35, radius * 0.5, radius * 0.7);
    painter.setPen(QPen(blue, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(page);
    for (int line = 1; line <= 3; ++line) {
        const double y = page.top() + page.height() * line / 4;
        painter.drawLine(QPointF(page.left() + 2, y), QPointF(page.right() - 2, y));
    }
}

}  // namespace sw
