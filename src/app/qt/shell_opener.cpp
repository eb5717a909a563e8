#include "app/qt/shell_opener.h"

#include <QDesktopServices>
#include <QUrl>

#include "app/shell_address.h"

namespace sw {

bool OpenAddress(const std::string& address) {
    if (!IsOpenableAddress(address)) {
        return false;
    }
    const QUrl url(QString::fromStdString(address), QUrl::StrictMode);
    return url.isValid() && QDesktopServices::openUrl(url);
}

}  // namespace sw
