// The project bin's import of a CUE sheet: each FILE into the bin, each TRACK a cue on the cue
// list. A sheet that cannot be used as a whole (it does not read, or names a file that is not
// there or is no audio file) is refused before anything is imported; an import the user aborts
// takes back what it added. What only shows once the files are scanned (a track after its
// file's end) leaves that track out and is listed in one message at the end.
#include <memory>

#include "engine/export_targets.h"
#include "project/bin_model.h"
#include "project/cue_sheet.h"
#include "project/document_texts.h"
#include "project/sheet_cues.h"
#include "project/text_fill.h"
#include "stream/file_names.h"

namespace sw {

namespace {

bool IsListKind(const std::string& fileName) {
    const std::string kind = FileKind(fileName);
    return kind == "cue" || kind == "m3u" || kind == "m3q" || kind == "m3p" || kind == "m3i" ||
           kind == "pls";
}

// Where a FILE line's file is: the name from the sheet's folder; else, as sheets travel without
// their folders and outlive the WAV files they were made for, the bare name in the sheet's
// folder, and either with the extension mp3. "" when none of them exists.
std::string LocateSheetFile(const std::string& folder, const std::string& name) {
    const std::string bare = ExtractFileName(name);
    for (const std::string& candidate : {ResolvePath(folder, name), ResolvePath(folder, bare),
                                         ResolvePath(folder, ChangeFileExt(name, "mp3")),
                                         ResolvePath(folder, ChangeFileExt(bare, "mp3"))}) {
        if (FileExists(candidate)) {
            return candidate;
        }
    }
    return "";
}

std::string LineText(int line, const std::string& text) {
    return "line " + std::to_string(line) + ": " + text;
}

bool HasAudioTrack(const CueSheet& sheet, int file) {
    for (const CueSheetTrack& track : sheet.Tracks) {
        if (track.File == file && track.Audio) {
            return true;
        }
    }
    return false;
}

std::shared_ptr<const CueSheetFacts> FactsOf(const CueSheet& sheet, const CueSheetTrack& track) {
    auto facts = std::make_shared<CueSheetFacts>();
    facts->Name = SheetCueName(track);
    facts->Title = track.Title;
    facts->Performer = track.Performer.empty() ? sheet.Performer : track.Performer;
    facts->Album = sheet.Title;
    facts->Year = sheet.Date;
    facts->Genre = sheet.Genre;
    return facts;
}

}  // namespace

int ProjectBinModel::ImportCueSheet(const std::string& fileName) {
    const auto refuse = [&](const std::string& why) {
        prompts_.Error(texts::kErrorCaption, FillText(texts::kSheetRefused, {fileName, why}));
        return kImportFailed;
    };
    CueSheet sheet;
    CueSheetError error;
    switch (ReadCueSheetFile(fileName, sheet, error)) {
        case CueSheetRead::Ok:
            break;
        case CueSheetRead::Invalid:
            return refuse(error.Text());
        case CueSheetRead::TooLarge:
            return refuse("it is larger than any cue sheet (16 MiB)");
        case CueSheetRead::NotRegular:
            return refuse("it is a pipe, socket or device, not a file");
        default:
            return refuse("it cannot be opened");
    }

    // Every file first: a sheet whose files are not all there is not imported in part.
    const std::string folder = ExtractFilePath(fileName);
    std::vector<std::string> paths(sheet.Files.size());
    std::vector<std::string> left;
    for (size_t i = 0; i < sheet.Files.size(); ++i) {
        const CueSheetFile& file = sheet.Files[i];
        if (!HasAudioTrack(sheet, static_cast<int>(i))) {
            continue;
        }
        if (file.Type != "MP3" && file.Type != "WAVE") {
            left.push_back(LineText(file.Line, "a FILE of type " + file.Type +
                                                   " is skipped (only MP3 and WAVE files are "
                                                   "imported)"));
            continue;
        }
        const std::string path = LocateSheetFile(folder, file.Name);
        if (path.empty()) {
            return refuse(LineText(
                file.Line, "the file \"" + ResolvePath(folder, file.Name) + "\" does not exist"));
        }
        if (SameFile(path, fileName)) {
            return refuse(
                LineText(file.Line, "\"" + file.Name + "\" is this cue sheet, not an audio file"));
        }
        if (IsListKind(path)) {
            return refuse(LineText(file.Line, "\"" + file.Name + "\" is not an audio file"));
        }
        paths[i] = path;
    }

    const int before = Count();
    std::vector<TCutObject*> cuts(sheet.Files.size(), nullptr);
    for (size_t i = 0; i < sheet.Files.size(); ++i) {
        if (paths[i].empty()) {
            continue;
        }
        cuts[i] = SearchCutObject(paths[i], false);
        if (cuts[i] != nullptr) {
            continue;
        }
        const int rows = Count();
        if (ParseMP3List("", {paths[i]}) == kImportAdded && Count() > rows) {
            cuts[i] = At(Count() - 1);
            continue;
        }
        // Only an aborted scan adds its entry and still fails: the user stopped the import, and
        // cues over part of a file would lie. Everything this sheet added goes again.
        if (Count() > rows) {
            std::vector<int> added;
            for (int row = before; row < Count(); ++row) {
                added.push_back(row);
            }
            Delete(added);
            return kImportNotClean;
        }
        left.push_back(LineText(sheet.Files[i].Line, "\"" + paths[i] + "\" was not imported"));
    }

    cues_.BeginBatch();
    for (size_t i = 0; i < sheet.Files.size(); ++i) {
        if (cuts[i] == nullptr) {
            continue;
        }
        const StreamTiming timing = TimingOf(*cuts[i]);
        std::vector<size_t> pastEnd;
        for (const SheetCueRange& range :
             SheetCueRanges(sheet, static_cast<int>(i), timing, pastEnd)) {
            const CueSheetTrack& track = sheet.Tracks[range.Track];
            auto cue = std::make_unique<TCueObject>();
            cue->CutObject = cuts[i];
            cue->Name = SheetCueName(track);
            cue->MarkIn = range.MarkIn;
            cue->MarkOut = range.MarkOut;
            cue->Sheet = FactsOf(sheet, track);
            cues_.AddCue(std::move(cue));
        }
        for (const size_t index : pastEnd) {
            const CueSheetTrack& track = sheet.Tracks[index];
            left.push_back(LineText(
                track.StartLine,
                "track " + std::to_string(track.Number) + " starts at " +
                    SheetTimeText(track.Start) + ", after the end of \"" + cuts[i]->Name + "\" (" +
                    SheetTimeText(FrameToSheetTime(timing.FrameCount, timing)) + ")"));
        }
    }
    for (const CueSheetTrack& track : sheet.Tracks) {
        if (!track.Audio) {
            left.push_back(
                LineText(track.Line, "track " + std::to_string(track.Number) + " is a data track"));
        }
    }
    cues_.EndBatch();

    if (!left.empty()) {
        std::string lines;
        for (const std::string& line : left) {
            lines += "\r\n" + line;
        }
        prompts_.Error(texts::kErrorCaption, FillText(texts::kSheetTracksLeft, {fileName, lines}));
    }
    return kImportAdded;
}

}  // namespace sw
