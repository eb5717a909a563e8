#include "engine/ui/qt_front_end.h"

#include <algorithm>
#include <climits>

#include "engine/ui/process_form.h"
#include "engine/ui/worker_runner.h"
#include "stream/status.h"

namespace sw {

int QtFrontEnd::Run(const WorkerTask& task, const std::function<int(WorkerControl&)>& work) {
    TProcessForm form;
    TProcessForm::ResetEstimate();
    // The label's "of %d" reads the total: the range ends one below it.
    form.SetRange(0,
                  static_cast<int32_t>(std::clamp<int64_t>(task.total - 1, INT32_MIN, INT32_MAX)));
    const QString name = TProcessForm::ShortenFileName(QString::fromStdString(task.fileName), 75);
    if (task.kind == WorkerTask::Kind::Scan) {
        form.SetCaptionFormat("Scanning... (ETA: %s)");
        form.SetAction("Scanning:\r\n%s", name);
        form.SetLabelFormat("%d of %d bytes scanned");
    } else {
        form.SetCaptionFormat("Exporting... (ETA: %s)");
        form.SetAction("Exporting:\r\n%s", name);
        form.SetLabelFormat(task.kind == WorkerTask::Kind::Export ? "%d of %d frames exported"
                                                                  : "%d of %d bytes scanned");
    }
    const std::optional<int> result = RunWorker(form, work);
    return result ? *result : kStatusOutOfMemory;
}

}  // namespace sw
