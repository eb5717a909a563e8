// The CUE sheet reader on the input. A sheet it accepts is one the import can use as it stands:
// every track started, in a file the sheet named, in order within that file, no text longer
// than a cue name can be stored; its cues lie in the file and run forward for any timing; and
// the sheet written from its starts reads back to the same starts.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "project/cue_sheet.h"
#include "project/cue_sheet_writer.h"
#include "project/sheet_cues.h"

using sw::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    sw::CueSheet sheet;
    sw::CueSheetError error;
    if (!sw::ParseCueSheet(bytes, sheet, error)) {
        Check(!error.Message.empty() && error.Line >= 0);
        return 0;
    }
    Check(!sheet.Tracks.empty());
    std::vector<sw::SheetTrackOut> out;
    for (size_t i = 0; i < sheet.Tracks.size(); ++i) {
        const sw::CueSheetTrack& track = sheet.Tracks[i];
        Check(track.File >= 0 && track.File < static_cast<int>(sheet.Files.size()));
        Check(track.Start >= 0 && track.Number > 0);
        Check(track.Title.size() <= 0xFFFF && track.Performer.size() <= 0xFFFF);
        if (i > 0 && sheet.Tracks[i - 1].File == track.File) {
            Check(sheet.Tracks[i - 1].Start <= track.Start);
        }
        out.push_back({"/music/" + std::to_string(track.File) + ".mp3", track.Title, track.Start});
    }

    // A timing drawn from the input's size: any rate, delay and length must give sane cues.
    const sw::StreamTiming timing{8000 + static_cast<int32_t>(size % 40000),
                                  size % 3 == 0   ? 384
                                  : size % 3 == 1 ? 576
                                                  : 1152,
                                  static_cast<int32_t>(size % 2), static_cast<int32_t>(size % 1200),
                                  static_cast<int32_t>(1 + size % 5000)};
    for (int file = 0; file < static_cast<int>(sheet.Files.size()); ++file) {
        std::vector<size_t> pastEnd;
        for (const sw::SheetCueRange& range : sw::SheetCueRanges(sheet, file, timing, pastEnd)) {
            Check(range.MarkIn >= 0 && range.MarkIn <= range.MarkOut);
            Check(range.MarkOut < timing.FrameCount);
            Check(sheet.Tracks[range.Track].File == file);
        }
    }

    sw::CueSheet again;
    Check(sw::ParseCueSheet(sw::CueSheetFileText("/music/sheet.cue", out), again, error));
    Check(again.Tracks.size() == sheet.Tracks.size());
    for (size_t i = 0; i < again.Tracks.size(); ++i) {
        Check(again.Tracks[i].Start == sheet.Tracks[i].Start);
    }
    return 0;
}
