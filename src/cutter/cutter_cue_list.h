#pragma once

#include <cstdint>

#include "project/cue_list_model.h"
#include "stream/cut_object.h"

namespace sw {

// "Put current position on cue-list": a one-frame cue at frame through the cue list's own
// AddMarkedCue, the cut object's marks left as they were (also when the cue list throws).
bool AddPositionCue(CueListModel& list, TCutObject& cut, int32_t frame);

}  // namespace sw
