#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/settings/global_settings.h"
#include "project/cue_list_model.h"
#include "project/cut_exporter.h"
#include "project/cutter_link.h"
#include "project/list_observer.h"
#include "project/modified_sink.h"
#include "project/owned_rows.h"
#include "project/playlist.h"
#include "project/scan_runner.h"
#include "project/scanned_sources.h"
#include "stream/cut_object.h"
#include "stream/prompts.h"

namespace sw {

// One import (a ParseMP3List with everything it leads to: playlists in playlists, cue files'
// sources) takes at most this many files, and as many playlists.
inline constexpr int kImportLimit = 100000;

// What ParseMP3List keeps per name and returns for the last one it handled.
enum ImportState : int {
    kImportAdded = 0,
    kImportFailed = 1,       // an index file or cue file failed; a playlist without file lines
    kImportNotClean = 2,     // an audio file's scan failed or was aborted, or the user declined
    kImportNotFound = 3,     // the file does not exist
    kImportUnsupported = 4,  // a kind the bin does not take
};

// The texts of one bin row: "File" and "Time".
struct BinRowTexts {
    std::string Name;
    std::string Time;
};

// The project bin: the source files of the project in list order, each entry owning one cut
// object. Every way a file enters the project ends in ParseMP3List. Questions and messages go
// through prompts; scans through the scan runner. Deleting an entry first tells the cutter and
// removes the entry's cues from the cue list; a rescan moves them to the new cut object.
//
// An entry can hold a cut object without frames (the user declined to scan a file whose index
// was lost); Cut, AutoCut and the audio export refuse it with a message.
class ProjectBinModel : public CutObjectFinder {
  public:
    ProjectBinModel(TGlobalSettings& settings, Prompts& prompts, ScanRunner& scans,
                    CueListModel& cues, ModifiedSink& changes);
    ~ProjectBinModel() override;
    ProjectBinModel(const ProjectBinModel&) = delete;
    ProjectBinModel& operator=(const ProjectBinModel&) = delete;

    void AddObserver(ListObserver* observer);
    void RemoveObserver(ListObserver* observer);
    void SetCutter(CutterLink* cutter) { cutter_ = cutter; }

    // The most files, and playlists, one import takes: kImportLimit unless a test sets less.
    void SetImportLimit(int limit) { importLimit_ = limit; }

    int Count() const { return static_cast<int>(entries_.size()); }
    TCutObject* At(int row) const { return entries_.at(static_cast<size_t>(row)).get(); }
    int RowOf(const TCutObject* cut) const;
    BinRowTexts RowTexts(int row) const;
    // The status panel: "%d frames - completely scanned" / "... - NOT completely scanned".
    std::string StatusText(int row) const;

    // Imports every name in order: names without a folder are taken in baseFolder, an absolute
    // name as it is. Returns the import state of the last name handled (1 when none was).
    int ParseMP3List(const std::string& baseFolder, const std::vector<std::string>& names);
    // An MPEG or WAV file: from its index file beside it when that index describes the file as
    // it is now, else scanned (a stale or damaged index is no reason to ask anything).
    bool AddCutObject(const std::string& fileName);
    // An index file, checked against its source (CheckCutObject).
    bool AddIndexObject(const std::string& indexFileName);
    // True when "CheckMatch" finds an entry of the same name and the user declines adding.
    bool CheckMatch(const std::string& fileName);
    // Settles a cut object just loaded from an index file: a lost source can be found by the
    // user, a source whose size differs from the index's can be rescanned, a missing index can
    // be scanned. True when the cut object has its source open.
    bool CheckCutObject(TCutObject& cut, const std::string& indexFileName = "");
    // The last entry whose FileName is exactly fileName; with addIfMissing, the file is imported
    // first when there is none (never a playlist or cue file, which name no entry).
    TCutObject* SearchCutObject(const std::string& fileName, bool addIfMissing) override;

    void Rename(int row, const std::string& name);
    // Deletes the rows (any order); each entry's cues go with it.
    void Delete(std::vector<int> rows);
    void DeleteAll();
    void Move(int from, int before);
    // Scans the entry's file again into a new cut object, which takes the old one's place, its
    // name and its cues.
    void Rescan(int row);

    // The entry with its marks over the whole file, handed to the cutter; nullptr, after a
    // message, for an entry without frames.
    TCutObject* Cut(int row);
    // The entry for the auto-cut dialog; nullptr, after a message, for an entry without frames.
    TCutObject* AutoCutTarget(int row);
    // What the auto-cut dialog works with besides the entry: the settings it keeps its threshold
    // in, the cue list it adds to, and the cutter whose player it suspends.
    TGlobalSettings& Settings() const { return settings_; }
    CueListModel& Cues() const { return cues_; }
    CutterLink* Cutter() const { return cutter_; }

    // The bin as playlist entries, and SaveMP3List over them.
    std::vector<PlaylistEntry> PlaylistEntries() const;
    bool SaveMP3List(const std::string& fileName) const;

    // The popup menu's commands with their dialogs. File errors reach the caller.
    void ImportCommand();
    void ExportCommand(int row, CutExporter& exporter);
    void SaveBinCommand();

  private:
    int ParseList(const std::string& baseFolder, const std::vector<std::string>& names,
                  std::vector<std::string>& playlists);
    int ImportOne(const std::string& fileName, std::vector<std::string>& playlists, bool& reported);
    int ImportPlaylist(const std::string& fileName, std::vector<std::string>& playlists,
                       bool& reported);
    // Counts the name against the import's limit; false, after the one message, once the limit
    // is reached.
    bool TakeImportName(const std::string& fileName);
    // A CUE sheet: its files into the bin, its tracks onto the cue list (bin_sheet_import.cpp).
    int ImportCueSheet(const std::string& fileName);
    void Append(CutObjectPtr cut);
    void EraseRow(int row);
    void ScanMissingIndex(TCutObject& cut);
    bool RefuseWithoutFrames(const TCutObject& cut);
    CutObjectOptions Options() const;

    TGlobalSettings& settings_;
    Prompts& prompts_;
    ScanRunner& scans_;
    CueListModel& cues_;
    ModifiedSink& changes_;
    CutterLink* cutter_ = nullptr;
    ObserverList<ListObserver> observers_;
    std::vector<CutObjectPtr> entries_;
    std::vector<std::string> playlists_;  // the chain of playlists being read
    int importDepth_ = 0;
    int importedFiles_ = 0;  // names taken by the running import, playlists apart
    int importedPlaylists_ = 0;
    bool importLimitReached_ = false;
    int importLimit_ = kImportLimit;
    ScannedSources scanned_;
};

}  // namespace sw
