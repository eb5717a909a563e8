#include "update/ui/check_for_updates.h"

#include <QDialog>

#include "app/qt/shell_opener.h"
#include "update/ui/check_update_form.h"
#include "update/ui/update_info_form.h"
#include "update/update_check.h"
#include "update/update_texts.h"

namespace sw {

void CheckForUpdates(TGlobalSettings& settings, Prompts& prompts, QWidget* parent,
                     const UpdateCheckOptions& options) {
    UpdateRecord record;
    {
        TCheckUpdateForm form(settings, prompts, options, parent);
        const bool fetched = form.exec() == QDialog::Accepted;
        record = form.Record();
        if (fetched) {
            if (IsNewerRecord(record, settings.LastUpdateCheck)) {
                ShowUpdateInfo(record, settings, prompts, parent, options);
            } else {
                prompts.Information(update_texts::kInformationCaption,
                                    update_texts::kNoNewerVersion);
            }
        }
    }
    if (!record.Message.empty() &&
        prompts.YesNo(update_texts::kConfirmCaption, update_texts::kReadMessage) ==
            Prompts::Answer::Yes) {
        prompts.Information(update_texts::kInformationCaption,
                            RecordTextForDisplay(record.Message));
    }
}

void ShowUpdateInfo(const UpdateRecord& record, TGlobalSettings& settings, Prompts& prompts,
                    QWidget* parent, const UpdateCheckOptions& options) {
    TakeRecordSettings(record, settings);
    TUpdateInfoForm form(settings, prompts, options.openAddress ? options.openAddress : OpenAddress,
                         parent);
    form.UpdateControls(record);
    if (form.exec() == QDialog::Accepted) {
        settings.LastUpdateCheck = record.Date;
    }
}

}  // namespace sw
