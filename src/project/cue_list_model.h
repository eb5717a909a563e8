#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/settings/global_settings.h"
#include "project/cut_exporter.h"
#include "project/cutter_link.h"
#include "project/list_observer.h"
#include "project/modified_sink.h"
#include "project/owned_rows.h"
#include "project/piece_tag_writer.h"
#include "stream/cut_object.h"
#include "stream/prompts.h"

namespace sw {

// Finds the bin's cut object for a source path, importing the file into the bin first when asked
// (the project bin's SearchCutObject).
class CutObjectFinder {
  public:
    virtual ~CutObjectFinder() = default;
    virtual TCutObject* SearchCutObject(const std::string& fileName, bool addIfMissing) = 0;
};

// The cue list's two status panels and the project export's enabling.
struct CueTotals {
    int64_t Frames = 0;
    std::string FramesText;  // "Total frames: %d"
    // "Total time: %s": in real time the sum of the cues' true durations, each at its own file's
    // rate; in the classic form the total frames at the fixed 38 frames per second.
    std::string TimeText;
    bool ExportEnabled = false;
};

// The texts of one cue row: caption, "From frame", "To frame", "Time".
struct CueRowTexts {
    std::string Name;
    std::string From;
    std::string To;
    std::string Time;
};

// Views over the cue list: row notifications, plus the totals after every change.
class CueListObserver : public ListObserver {
  public:
    virtual void TotalsChanged(const CueTotals& /*totals*/) {}
};

// The project's cues in list order, each owned by its row. The order is the order in which the
// project export joins them. Nothing checks a cue's range against its file; a cue always has a
// cut object (AddCue refuses one without).
//
// Appends cost O(1) amortised, totals included: the frame total is kept as cues come and go, so a
// long recording's auto-cut adding thousands of cues stays linear. Between BeginBatch and
// EndBatch, added cues wait outside the list and reach it, and the views, in one insertion.
class CueListModel {
  public:
    CueListModel(TGlobalSettings& settings, Prompts& prompts, ModifiedSink& changes);
    ~CueListModel();
    CueListModel(const CueListModel&) = delete;
    CueListModel& operator=(const CueListModel&) = delete;

    void AddObserver(CueListObserver* observer);
    void RemoveObserver(CueListObserver* observer);
    void SetCutter(CutterLink* cutter) { cutter_ = cutter; }
    // What tags the folder export's MP3 pieces as "PieceTags" says; none without one.
    void SetPieceTagger(PieceTagWriter* tagger) { tagger_ = tagger; }

    int Count() const { return static_cast<int>(cues_.size()); }
    TCueObject* At(int row) const { return cues_.at(static_cast<size_t>(row)).get(); }
    // The row of a cue, -1 when it is not listed.
    int RowOf(const TCueObject* cue) const;
    CueRowTexts RowTexts(int row) const;
    const CueTotals& Totals() const { return totals_; }

    // Takes the cue into the list at its end. False, freeing the cue, without one or without a
    // cut object.
    bool AddCue(std::unique_ptr<TCueObject> cue);
    // The same for a range the caller names (the auto-cut search's sink).
    bool AddCue(TCutObject* cut, const std::string& name, int32_t markIn, int32_t markOut);
    // A cue of the cut object's marks named "Cue <n>: <Name>", n = the number of cues + 1. Numbers
    // are never reassigned, so after deletions a number can repeat.
    bool AddMarkedCue(TCutObject* cut);
    // Takes the marks of the cue's cut object into the cue.
    void UpdateCue(TCueObject* cue);
    // Deletes every cue of the cut object (its bin entry goes).
    void RemoveCutObjectCues(const TCutObject* cut);
    // Points every cue of old at now (a rescan replaced old), keeping their ranges.
    void ReplaceCutObject(const TCutObject* old, TCutObject* now);
    // Recomputes the panels from the kept total and marks the project modified.
    void UpdateTotals();
    // Shows the rows' times and the total again after the time form changed ("RealTimeCodes");
    // the project stays as it was.
    void RefreshTimes();

    // Reads a cue file and attaches its cue to the bin's entry for the stored source, importing
    // that file into the bin when it is missing. False when the file gives no cue or its source
    // cannot be had.
    bool ImportCueFile(const std::string& fileName, CutObjectFinder& bin);

    // Moves one row before the row `before` (Count() for the end).
    void Move(int from, int before);
    // Deletes the rows (any order), then updates the totals.
    void Delete(std::vector<int> rows);
    void DeleteAll();
    // The edited caption becomes the cue's name.
    void Rename(int row, const std::string& name);

    // "Export &As"'s proposal: the safe cue name with "(MarkIn-MarkOut)" after it.
    std::string ExportAsName(int row) const;
    // The folder export's name: folder + "/" + the safe cue name + "." + extension; a cue named
    // as a sheet's cues are ("NN - Title") gets the split's name (PieceFileName).
    std::string FolderExportName(int row, const std::string& folder,
                                 const std::string& extension) const;

    // The popup menu's commands. Import asks for cue files and imports each ("Unable to import
    // cue file %s" for each failure). ExportAs writes one cue: a ".m3q" name gets a cue file,
    // any other name the cue's frames. ExportSelected writes each of the rows into a folder the
    // user chooses, as "mp3", "wav" or "m3q", asking before it replaces a file unless the
    // "Overwrite existing files" box is checked, and tags the MP3 pieces (the n-th of the rows)
    // through the piece tagger. File errors reach the caller.
    void ImportCommand(CutObjectFinder& bin);
    void ExportAs(int row, CutExporter& exporter);
    // "Save as cue &sheet...": the whole list as a CUE sheet, in list order, written as it is;
    // cues the sheet cannot hold as they are (gaps, overlaps) are named in a warning after.
    void SaveCueSheetCommand();
    void ExportSelected(const std::vector<int>& rows, const std::string& extension,
                        CutExporter& exporter);

    void BeginBatch();
    void EndBatch();

  private:
    void Flush();
    void EraseRow(int row);
    void NotifyRowsChanged(int first, int last);
    // Adds (sign 1) or takes away (sign -1) a cue's frames and duration from the kept totals.
    void Tally(const TCueObject& cue, int sign);
    void ComputeTotals();

    TGlobalSettings& settings_;
    Prompts& prompts_;
    ModifiedSink& changes_;
    CutterLink* cutter_ = nullptr;
    PieceTagWriter* tagger_ = nullptr;
    ObserverList<CueListObserver> observers_;
    std::vector<std::unique_ptr<TCueObject>> cues_;
    std::vector<std::unique_ptr<TCueObject>> pending_;  // added during a batch
    int batchDepth_ = 0;
    int64_t totalFrames_ = 0;  // over cues_ only
    int64_t totalTicks_ = 0;   // their true durations (time_code.h ticks)
    CueTotals totals_;
};

// The frames of a cue: MarkOut - MarkIn + 1 (negative for a reversed range, which nothing
// forbids).
int64_t CueFrames(const TCueObject& cue);
// A cue's length as the list shows it: its true duration, or the classic time code of its frames
// at its file's whole frame rate.
std::string CueTimeText(const TCueObject& cue, bool realTime);

}  // namespace sw
