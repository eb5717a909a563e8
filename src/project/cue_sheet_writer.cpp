#include "project/cue_sheet_writer.h"

#include <cstdio>
#include <map>

#include "project/cue_sheet.h"
#include "project/piece_names.h"
#include "project/sheet_cues.h"
#include "stream/document_file.h"
#include "stream/file_names.h"
#include "stream/text_encoding.h"

namespace sw {

namespace {

// A text on one line, no longer than a sheet's reader takes (cut at a whole UTF-8 character).
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    TruncateUtf8(text, 0xFFFF);
    return text;
}

}  // namespace

std::string CueSheetFileText(const std::string& sheetPath,
                             const std::vector<SheetTrackOut>& tracks) {
    std::string text;
    const auto line = [&text](const std::string& content) { text += content + "\r\n"; };
    const std::string folder = ExtractFilePath(sheetPath);
    const std::string* file = nullptr;
    for (size_t i = 0; i < tracks.size(); ++i) {
        const SheetTrackOut& track = tracks[i];
        if (file == nullptr || *file != track.FileName) {
            file = &track.FileName;
            const std::string name = ExtractFilePath(track.FileName) == folder
                                         ? ExtractFileName(track.FileName)
                                         : track.FileName;
            line("FILE \"" + OneLine(name) + "\" " +
                 (FileKind(track.FileName) == "wav" ? "WAVE" : "MP3"));
        }
        char number[48];
        std::snprintf(number, sizeof number, "  TRACK %02zu AUDIO", i + 1);
        line(number);
        line("    TITLE \"" + OneLine(track.Title) + "\"");
        line("    INDEX 01 " + SheetTimeText(track.Start));
    }
    return text;
}

void SaveCueSheet(const std::string& fileName, const std::vector<SheetTrackOut>& tracks) {
    const std::string text = CueSheetFileText(fileName, tracks);
    WriteDocumentFile(fileName, [&](ByteStream& stream) {
        stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    });
}

CueSheetPlan PlanCueSheet(const std::vector<const TCueObject*>& cues) {
    CueSheetPlan plan;
    std::map<TCutObject*, StreamTiming> timings;
    std::vector<const TCueObject*> listed;
    for (const TCueObject* cue : cues) {
        if (cue == nullptr || cue->CutObject == nullptr) {
            continue;
        }
        auto timing = timings.find(cue->CutObject);
        if (timing == timings.end()) {
            timing = timings.emplace(cue->CutObject, TimingOf(*cue->CutObject)).first;
        }
        const int number = static_cast<int>(listed.size()) + 1;
        const PieceNumbering numbering = NumberedName(cue->Name);
        plan.Tracks.push_back({cue->CutObject->FileName,
                               numbering.Number == number ? numbering.Title : cue->Name,
                               FrameToSheetTime(cue->MarkIn, timing->second)});
        listed.push_back(cue);
    }
    for (size_t i = 0; i < listed.size(); ++i) {
        const TCueObject& cue = *listed[i];
        const bool lastOfRun = i + 1 == listed.size() || listed[i + 1]->CutObject != cue.CutObject;
        const int64_t end = lastOfRun ? int64_t{cue.CutObject->FrameCount()} - 1
                                      : int64_t{listed[i + 1]->MarkIn} - 1;
        if (cue.MarkOut != end || cue.MarkOut < cue.MarkIn) {
            plan.Loose.push_back(cue.Name);
        }
    }
    return plan;
}

}  // namespace sw
