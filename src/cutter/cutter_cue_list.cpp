#include "cutter/cutter_cue_list.h"

namespace sw {

bool AddPositionCue(CueListModel& list, TCutObject& cut, int32_t frame) {
    struct MarksKeeper {
        TCutObject& cut;
        int32_t in;
        int32_t out;
        ~MarksKeeper() {
            cut.MarkIn = in;
            cut.MarkOut = out;
        }
    } keeper{cut, cut.MarkIn, cut.MarkOut};
    cut.MarkIn = frame;
    cut.MarkOut = frame;
    return list.AddMarkedCue(&cut);
}

}  // namespace sw
