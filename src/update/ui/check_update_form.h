#pragma once

#include <QDialog>

#include "app/settings/global_settings.h"
#include "stream/prompts.h"
#include "update/ui/check_for_updates.h"
#include "update/update_record.h"

class QLabel;
class QPushButton;

namespace sw {

class CheckWebAnimation;
class HttpGet;

// "Checking for updates...": fetches the record from "UpdatesURL" the first time it is shown
// and closes itself when the request is done: accepted when the request ended without an error
// (Record() then holds the record, or zeros after "Unable to retrieve update-info"), rejected
// on a failure, an abort or a close while it runs.
class TCheckUpdateForm : public QDialog {
    Q_OBJECT

  public:
    TCheckUpdateForm(const TGlobalSettings& settings, Prompts& prompts,
                     const UpdateCheckOptions& options, QWidget* parent = nullptr);

    const UpdateRecord& Record() const { return record_; }

    void HTTPGetStateChange(int state);
    void HTTPGetRequestDone(int error);
    void AbortBtnClick();

    QLabel* LastCheckLbl;
    CheckWebAnimation* Animation;
    QLabel* ActionLbl;
    QPushButton* AbortBtn;
    HttpGet* HTTPGet;

  public slots:
    // Closing the window while the request runs aborts it; the done event then closes it.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    const TGlobalSettings& settings_;
    Prompts& prompts_;
    UpdateRecord record_;
    bool started_ = false;
};

}  // namespace sw
