#pragma once

#include <QPixmap>

namespace sw {

// The product picture of the splash window, drawn rather than shipped.
QPixmap ProductPicture(const QSize& size);

}  // namespace sw
