#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "app/settings/global_settings.h"
#include "stream/prompts.h"
#include "update/update_record.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace sw {

// "Update information": the newer version's numbers and description. "Get this version" hands
// "DownloadURL" to openAddress and closes rejected when the desktop took it; "Update version
// info" closes accepted, which tells the caller to store the record's date.
class TUpdateInfoForm : public QDialog {
    Q_OBJECT

  public:
    TUpdateInfoForm(const TGlobalSettings& settings, Prompts& prompts,
                    std::function<bool(const std::string&)> openAddress, QWidget* parent = nullptr);

    void UpdateControls(const UpdateRecord& record);
    void GetNewBtnClick();
    void OnlyUpdateBtnClick();

    QLabel* FoundLbl;
    QLabel* CurrentVersionLbl;
    QLabel* LatestVersionLbl;
    QLabel* Label4;
    QPlainTextEdit* Memo;
    QPushButton* GetNewBtn;
    QPushButton* OnlyUpdateBtn;

  private:
    const TGlobalSettings& settings_;
    Prompts& prompts_;
    std::function<bool(const std::string&)> openAddress_;
};

}  // namespace sw
