#include "app/qt/remove_store_entries.h"

#include <QFile>
#include <QFileInfo>

#include "app/file_associations.h"
#include "app/qt/settings_location.h"

namespace sw {

namespace {

constexpr const char* kWindowGroups[] = {"CueListForm", "CutterForm", "MainForm", "ProjectForm"};
constexpr const char* kRegisteredKinds[] = {"mp3", "wav", "m3u", "m3q", "m3p", "m3i"};

bool RemoveStore() {
    std::unique_ptr<QSettings> store = OpenSettingsStore();
    for (const char* group : kWindowGroups) {
        store->remove(QString::fromLatin1(group));
    }
    store->clear();
    store->sync();
    const QString fileName = store->fileName();
    store.reset();
    // The maker's folder above the store stays, as other programs of the maker may use it.
    QFile::remove(fileName);
    return !QFileInfo::exists(fileName);
}

}  // namespace

std::string RemoveStoreEntries(const AssociationPlace& place) {
    const std::string report = RemoveStore() ? "Removed Slicewell registry entries"
                                             : "Unable to remove Slicewell registry entries";
    for (const char* kind : kRegisteredKinds) {
        UnregisterFileAssociation(place, kind);
    }
    return report + "\r\n";
}

std::string RemoveStoreEntries() {
    return RemoveStoreEntries(UserAssociationPlace());
}

}  // namespace sw
