#include "app/ui/product_picture.h"

#include <QLinearGradient>
#include <QPainter>
#include <cmath>

namespace sw {

QPixmap ProductPicture(const QSize& size) {
    QPixmap picture(size);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area(QPointF(0, 0), QSizeF(size));

    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0, QColor(0x1d, 0x2b, 0x44));
    sky.setColorAt(1, QColor(0x3b, 0x6e, 0xa5));
    painter.fillRect(area, sky);

    // A stretch of waveform with a marked range, the program's whole idea in one image.
    const double middle = area.height() * 0.62;
    const double left = area.width() * 0.08;
    const double width = area.width() * 0.84;
    const double markIn = left + width * 0.35;
    const double markOut = left + width * 0.68;
    painter.fillRect(
        QRectF(markIn, middle - area.height() * 0.22, markOut - markIn, area.height() * 0.44),
        QColor(255, 255, 255, 40));
    const int bars = 60;
    for (int i = 0; i < bars; ++i) {
        const double x = left + width * (i + 0.5) / bars;
        const double height =
            area.height() * (0.04 + 0.16 * std::fabs(std::sin(i * 0.7) * std::cos(i * 0.23)));
        const bool inside = x >= markIn && x <= markOut;
        painter.setPen(QPen(inside ? QColor(0xff, 0xd3, 0x6e) : QColor(0xc9, 0xd8, 0xea),
                            width / bars * 0.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(x, middle - height), QPointF(x, middle + height));
    }
    painter.setPen(QPen(QColor(0xe0, 0x4b, 0x4b), 2));
    for (const double mark : {markIn, markOut}) {
        painter.drawLine(QPointF(mark, middle - area.height() * 0.25),
                         QPointF(mark, middle + area.height() * 0.25));
    }

    QFont title = painter.font();
    title.setPixelSize(static_cast<int>(area.height() * 0.16));
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, area.height() * 0.06, area.width(), area.height() * 0.2),
                     Qt::AlignCenter, QStringLiteral("Slicewell 4"));
    QFont line = painter.font();
    line.setPixelSize(static_cast<int>(area.height() * 0.055));
    line.setBold(false);
    painter.setFont(line);
    painter.setPen(QColor(0xc9, 0xd8, 0xea));
    painter.drawText(QRectF(0, area.height() * 0.25, area.width(), area.height() * 0.1),
                     Qt::AlignCenter, QStringLiteral("MPEG audio cut to the frame"));
    return picture;
}

}  // namespace sw
