#include "settings_test_store.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/qt/settings_location.h"

namespace sw::test {

namespace {

QString& BaseFolder() {
    static QString folder;
    return folder;
}

void PointStoreAt(const QString& folder) {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

}  // namespace

void SetBaseConfigFolder(const QString& folder) {
    BaseFolder() = folder;
    PointStoreAt(folder);
}

TestSettingsStore::TestSettingsStore() {
    EXPECT_TRUE(dir_.isValid());
    PointStoreAt(dir_.path());
}

TestSettingsStore::~TestSettingsStore() {
    PointStoreAt(BaseFolder());
}

void TestSettingsStore::MakeUncreatable() {
    const QString blocker = dir_.filePath(QStringLiteral("blocker"));
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    PointStoreAt(blocker + QStringLiteral("/config"));
}

QString TestSettingsStore::FileName() const {
    return OpenSettingsStore()->fileName();
}

void TestSettingsStore::WriteText(const std::string& text) const {
    const QString name = FileName();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(name).absolutePath()));
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.data(), static_cast<qint64>(text.size()));
}

std::string TestSettingsStore::ReadText() const {
    QFile file(FileName());
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll().toStdString();
}

std::unique_ptr<QSettings> TestSettingsStore::Open() const {
    return OpenSettingsStore();
}

}  // namespace sw::test
