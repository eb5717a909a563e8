#include "app/qt/settings_location.h"

#include <QFileInfo>

namespace sw {

std::unique_ptr<QSettings> OpenSettingsStore() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Harrowlight"), QStringLiteral("Slicewell"));
}

bool SettingsStoreUsable(QSettings& store) {
    if (store.status() != QSettings::NoError) {
        return false;
    }
    // An existing store that is read-only still holds the user's values; only one that cannot be
    // created at all makes the program run on defaults it could never keep.
    if (store.format() == QSettings::NativeFormat && !QFileInfo::exists(store.fileName())) {
#ifdef Q_OS_WIN
        return true;
#else
        return store.isWritable();
#endif
    }
    return true;
}

}  // namespace sw
