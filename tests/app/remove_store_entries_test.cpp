#include "app/qt/remove_store_entries.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "app/file_associations.h"
#include "settings_test_store.h"

namespace sw {
namespace {

TEST(RemoveStoreEntries, StoreAndEveryAssociationGoButTheMakersFolderStays) {
    // Would break: "/r" leaving window placements or a desktop entry behind, or deleting a
    // folder other programs of the maker share.
    test::TestSettingsStore store;
    {
        auto settings = store.Open();
        settings->setValue(QStringLiteral("SplashDelay"), 0);
        settings->setValue(QStringLiteral("MainForm/Left"), 10);
        settings->setValue(QStringLiteral("CutterForm/Visible"), 1);
        settings->sync();
    }
    ASSERT_TRUE(QFileInfo::exists(store.FileName()));
    QTemporaryDir xdg;
    AssociationPlace place;
    place.DataHome = xdg.filePath(QStringLiteral("data")).toStdString();
    place.ConfigHome = xdg.filePath(QStringLiteral("config")).toStdString();
    place.Executable = "/usr/bin/slicewell";
    for (const char* kind : {"m3p", "m3q", "m3i", "mp3", "wav"}) {
        ASSERT_TRUE(RegisterFileAssociation(place, kind));
    }

    EXPECT_EQ(RemoveStoreEntries(place), "Removed Slicewell registry entries\r\n");
    EXPECT_FALSE(QFileInfo::exists(store.FileName()));
    EXPECT_TRUE(QFileInfo(store.FileName()).dir().exists());
    EXPECT_FALSE(
        QFileInfo::exists(xdg.filePath(QStringLiteral("data/applications/slicewell.desktop"))));
    EXPECT_EQ(QDir(xdg.filePath(QStringLiteral("data/mime/packages"))).entryList(QDir::Files),
              QStringList());
    EXPECT_FALSE(QFileInfo::exists(xdg.filePath(QStringLiteral("config/mimeapps.list"))));

    // A store that was never written counts as removed as well.
    EXPECT_EQ(RemoveStoreEntries(place), "Removed Slicewell registry entries\r\n");
}

}  // namespace
}  // namespace sw
