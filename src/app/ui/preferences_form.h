#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "app/settings/global_settings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace sw {

class Prompts;

// The preferences dialog: edits part of the settings and applies them only on "Ok". The dialog
// is a view; EditPreferences moves values between it and the settings record.
class TPreferencesForm : public QDialog {
    Q_OBJECT

  public:
    // deviceNames: the output devices' product names, device 0 first ("" for one whose name
    // could not be read).
    TPreferencesForm(const std::vector<std::string>& deviceNames, Prompts& prompts,
                     QWidget* parent = nullptr);

    // Shows the values of settings and makes them the ones "Revert" goes back to; "Ok" and
    // "Revert" are disabled until the next change.
    void Load(const TGlobalSettings& settings);
    // Writes the controls' values into the fields the dialog edits.
    void Store(TGlobalSettings& settings) const;

    QPushButton* OkButton() const { return okBtn_; }
    QPushButton* RevertButton() const { return revertBtn_; }
    QPushButton* FolderButton() const { return folderBtn_; }

  private:
    void Changed();
    void RevertBtnClick();
    void FolderBtnClick();
    void TempFileBoxToggled(bool checked);
    void ShowFolder();

    Prompts& prompts_;
    TGlobalSettings loaded_;
    std::string folder_;
    bool loading_ = false;

    QComboBox* deviceList_ = nullptr;
    QSpinBox* cueBuffers_ = nullptr;
    QSpinBox* playBuffers_ = nullptr;
    QSpinBox* jogSpeed_ = nullptr;
    QLabel* priorityLabel_ = nullptr;
    QComboBox* priorityList_ = nullptr;
    QComboBox* timeCodeList_ = nullptr;
    QComboBox* pieceTagsList_ = nullptr;
    QCheckBox* keyboardBox_ = nullptr;
    QCheckBox* matchBox_ = nullptr;
    QCheckBox* indexFileBox_ = nullptr;
    QCheckBox* tempFileBox_ = nullptr;
    QCheckBox* cleanCutsBox_ = nullptr;
    QPushButton* folderBtn_ = nullptr;
    QLabel* folderLabel_ = nullptr;
    QPushButton* revertBtn_ = nullptr;
    QPushButton* okBtn_ = nullptr;
    QPushButton* cancelBtn_ = nullptr;
};

// Runs the dialog modally over GlobalSettings() with the devices the wave-output layer reports.
// True when the user confirmed; the settings then hold the dialog's values.
bool EditPreferences(Prompts& prompts, QWidget* parent = nullptr);
// The same with a given device list.
bool EditPreferences(const std::vector<std::string>& deviceNames, Prompts& prompts,
                     QWidget* parent = nullptr);

}  // namespace sw
