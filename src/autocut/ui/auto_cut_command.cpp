#include "autocut/ui/auto_cut_command.h"

#include "autocut/ui/auto_cut_form.h"
#include "project/cutter_link.h"

namespace sw {

void AutoCutCommand(ProjectBinModel& bin, int row, Prompts& prompts, QWidget* parent) {
    TCutObject* cut = bin.AutoCutTarget(row);
    if (cut == nullptr) {
        return;
    }
    const PlayerPause pause(bin.Cutter());
    AutoCutFile(cut, bin.Settings(), bin.Cues(), prompts, parent);
}

}  // namespace sw
