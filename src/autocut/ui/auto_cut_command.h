#pragma once

#include "project/bin_model.h"
#include "stream/prompts.h"

class QWidget;

namespace sw {

// The project bin's "&Autocut" for the entry in row: the "AutoCutter" dialog over the entry,
// adding to the bin's cue list, with the cutter's player suspended for as long as it is open.
// Nothing for a row without an entry; an entry without frames is refused by the bin.
void AutoCutCommand(ProjectBinModel& bin, int row, Prompts& prompts, QWidget* parent = nullptr);

}  // namespace sw
