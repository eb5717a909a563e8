#pragma once

#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <string>

namespace sw::test {

// The folder app_test_main points the settings store at before any test runs.
void SetBaseConfigFolder(const QString& folder);

// Points the settings store at a fresh private folder while it lives, so that every test starts
// from an empty store and none touches the user's real settings.
class TestSettingsStore {
  public:
    TestSettingsStore();
    ~TestSettingsStore();
    TestSettingsStore(const TestSettingsStore&) = delete;
    TestSettingsStore& operator=(const TestSettingsStore&) = delete;

    // Redirects the store to a folder that can never be created (a regular file stands in its
    // way), as with a read-only home.
    void MakeUncreatable();

    // The store file, as the program opens it.
    QString FileName() const;
    // Writes the store file as a user editing it by hand might have left it.
    void WriteText(const std::string& text) const;
    std::string ReadText() const;
    std::unique_ptr<QSettings> Open() const;

  private:
    QTemporaryDir dir_;
};

}  // namespace sw::test
