#include "cutter/cutter_display.h"

#include <algorithm>
#include <limits>

#include "stream/file_names.h"
#include "stream/time_code.h"

namespace sw {

std::string FrameText(const TFrameInfo& info, int64_t frame, bool showTime, bool realTime) {
    if (!showTime) {
        return std::to_string(frame);
    }
    if (realTime) {
        return FrameToRealTime(info, frame);
    }
    // Lengths of a whole 2 GiB file stay far below this; the clamp only keeps a damaged
    // record's numbers from wrapping in the conversion.
    const int64_t clamped = std::clamp<int64_t>(frame, 0, std::numeric_limits<int32_t>::max());
    return FrameToTimeCode(info, int32_t(clamped));
}

std::string NoFrameText(bool showTime) {
    return showTime ? "00:00:00.00" : "0";
}

int64_t ShownLength(int32_t markIn, int32_t markOut, int32_t frameCount, bool showMarkedLength) {
    if (!showMarkedLength) {
        return frameCount;
    }
    return std::max<int64_t>(0, int64_t(markOut) - markIn + 1);
}

std::string CutterCaption(bool keyboardControl) {
    return std::string("Cutter (keyboard ") + (keyboardControl ? "enabled" : "disabled") + ")";
}

std::string ProposedExportName(const std::string& name, int32_t markIn, int32_t markOut) {
    return SafeFileName(name) + " (" + std::to_string(markIn) + "-" + std::to_string(markOut) + ")";
}

bool ExportsCueFile(const std::string& fileName) {
    return FileKind(fileName) == "m3q";
}

}  // namespace sw
