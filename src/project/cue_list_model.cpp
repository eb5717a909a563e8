#include "project/cue_list_model.h"

#include <algorithm>
#include <exception>
#include <limits>

#include "project/batch_export.h"
#include "project/cue_file.h"
#include "project/cue_sheet_writer.h"
#include "project/dialog_folder.h"
#include "project/document_texts.h"
#include "project/piece_names.h"
#include "project/text_fill.h"
#include "stream/file_names.h"
#include "stream/time_code.h"

namespace sw {

namespace {

// The totals are shown at a fixed rate, whatever the cues' own files are: the conversion reads
// only these two fields, 128 kbit/s in frames of 418 bytes, which is 38 frames per second.
TFrameInfo TotalsReference() {
    TFrameInfo info{};
    info.Bitrate = 128;
    info.FrameLength = 418;
    return info;
}

int32_t ClampToInt32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// The folder export's rule for a name that is taken: replaced when the user checked
// "Overwrite existing files", else the user picks another name or skips the cue.
class FolderExportPolicy : public BatchPolicy {
  public:
    FolderExportPolicy(Prompts& prompts, TGlobalSettings& settings, bool overwrite)
        : prompts_(prompts), settings_(settings), overwrite_(overwrite) {}
    std::string ResolveExisting(const BatchItem& item, bool /*takenByBatch*/) override {
        if (overwrite_) {
            return item.target;
        }
        Prompts::FileDialog dialog;
        dialog.title = texts::kSaveCueTitle;
        dialog.fileName = item.target;
        dialog.initialFolder = settings_.LastSaveFolder;
        dialog.defaultExtension = "mp3";
        dialog.filter = texts::kSaveCueFilter;
        const std::string target = prompts_.SaveFile(dialog);
        if (target.empty()) {
            prompts_.Information(texts::kInformationCaption, texts::kExportSkipped);
        }
        return target;
    }

  private:
    Prompts& prompts_;
    TGlobalSettings& settings_;
    bool overwrite_;
};

}  // namespace

int64_t CueFrames(const TCueObject& cue) {
    return int64_t{cue.MarkOut} - cue.MarkIn + 1;
}

std::string CueTimeText(const TCueObject& cue, bool realTime) {
    const TFrameInfo& info = cue.CutObject->FrameInfo;
    return realTime ? FrameToRealTime(info, CueFrames(cue))
                    : FrameToTimeCode(info, ClampToInt32(CueFrames(cue)));
}

void CueListModel::Tally(const TCueObject& cue, int sign) {
    totalFrames_ += sign * CueFrames(cue);
    totalTicks_ += sign * FramesToTicks(cue.CutObject->FrameInfo, CueFrames(cue));
}

CueListModel::CueListModel(TGlobalSettings& settings, Prompts& prompts, ModifiedSink& changes)
    : settings_(settings), prompts_(prompts), changes_(changes) {
    totals_.FramesText = FillText(texts::kTotalFrames, {"0"});
    totals_.TimeText = FillText(texts::kTotalTime, {TicksToRealTime(0)});
}

CueListModel::~CueListModel() = default;

void CueListModel::AddObserver(CueListObserver* observer) {
    observers_.Add(observer);
}

void CueListModel::RemoveObserver(CueListObserver* observer) {
    observers_.Remove(observer);
}

int CueListModel::RowOf(const TCueObject* cue) const {
    for (size_t row = 0; row < cues_.size(); ++row) {
        if (cues_[row].get() == cue) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

CueRowTexts CueListModel::RowTexts(int row) const {
    const TCueObject& cue = *At(row);
    CueRowTexts texts;
    texts.Name = cue.Name;
    texts.From = std::to_string(cue.MarkIn);
    texts.To = std::to_string(cue.MarkOut);
    texts.Time = CueTimeText(cue, settings_.RealTimeCodes);
    return texts;
}

bool CueListModel::AddCue(std::unique_ptr<TCueObject> cue) {
    if (!cue || cue->CutObject == nullptr) {
        return false;
    }
    if (batchDepth_ > 0) {
        pending_.push_back(std::move(cue));
    } else {
        const int row = Count();
        observers_.Tell([&](CueListObserver& o) { o.RowsAboutToBeInserted(row, row); });
        Tally(*cue, 1);
        cues_.push_back(std::move(cue));
        observers_.Tell([&](CueListObserver& o) { o.RowsInserted(); });
        UpdateTotals();
        observers_.Tell([&](CueListObserver& o) { o.ShowRequested(); });
    }
    changes_.MarkModified();
    return true;
}

bool CueListModel::AddCue(TCutObject* cut, const std::string& name, int32_t markIn,
                          int32_t markOut) {
    auto cue = std::make_unique<TCueObject>();
    cue->CutObject = cut;
    cue->Name = name;
    cue->MarkIn = markIn;
    cue->MarkOut = markOut;
    return AddCue(std::move(cue));
}

bool CueListModel::AddMarkedCue(TCutObject* cut) {
    if (cut == nullptr) {
        return false;
    }
    const std::string number = std::to_string(cues_.size() + pending_.size() + 1);
    return AddCue(cut, FillText(texts::kCueNameFormat, {number, cut->Name}), cut->MarkIn,
                  cut->MarkOut);
}

void CueListModel::UpdateCue(TCueObject* cue) {
    const int row = RowOf(cue);
    if (row < 0 || cue->CutObject == nullptr) {
        return;
    }
    Tally(*cue, -1);
    cue->MarkIn = cue->CutObject->MarkIn;
    cue->MarkOut = cue->CutObject->MarkOut;
    Tally(*cue, 1);
    NotifyRowsChanged(row, row);
    UpdateTotals();
}

void CueListModel::ComputeTotals() {
    Flush();
    totals_.Frames = cues_.empty() ? 0 : totalFrames_;
    totals_.FramesText = FillText(texts::kTotalFrames, {std::to_string(totals_.Frames)});
    const std::string time = settings_.RealTimeCodes
                                 ? TicksToRealTime(cues_.empty() ? 0 : totalTicks_)
                                 : FrameToTimeCode(TotalsReference(), ClampToInt32(totals_.Frames));
    totals_.TimeText = FillText(texts::kTotalTime, {time});
    totals_.ExportEnabled = totals_.Frames > 0;
    observers_.Tell([&](CueListObserver& o) { o.TotalsChanged(totals_); });
}

void CueListModel::UpdateTotals() {
    ComputeTotals();
    changes_.MarkModified();
}

void CueListModel::RefreshTimes() {
    ComputeTotals();
    if (!cues_.empty()) {
        NotifyRowsChanged(0, Count() - 1);
    }
}

void CueListModel::EraseRow(int row) {
    observers_.Tell([&](CueListObserver& o) { o.RowsAboutToBeRemoved(row, row); });
    std::unique_ptr<TCueObject> cue = std::move(cues_[static_cast<size_t>(row)]);
    cues_.erase(cues_.begin() + row);
    Tally(*cue, -1);
    observers_.Tell([&](CueListObserver& o) { o.RowsRemoved(); });
    if (cutter_ != nullptr) {
        cutter_->CueDeleted(cue.get());
    }
    changes_.MarkModified();
}

void CueListModel::RemoveCutObjectCues(const TCutObject* cut) {
    Flush();
    bool removed = false;
    for (int row = Count() - 1; row >= 0; --row) {
        if (cues_[static_cast<size_t>(row)]->CutObject == cut) {
            EraseRow(row);
            removed = true;
        }
    }
    if (removed) {
        UpdateTotals();
    }
}

void CueListModel::ReplaceCutObject(const TCutObject* old, TCutObject* now) {
    Flush();
    bool moved = false;
    for (int row = 0; row < Count(); ++row) {
        TCueObject& cue = *cues_[static_cast<size_t>(row)];
        if (cue.CutObject == old) {
            // A rescan can find another format than the old index described.
            Tally(cue, -1);
            cue.CutObject = now;
            Tally(cue, 1);
            NotifyRowsChanged(row, row);
            if (cutter_ != nullptr) {
                cutter_->CueChanged(&cue);
            }
            moved = true;
        }
    }
    if (moved) {
        changes_.MarkModified();
    }
}

bool CueListModel::ImportCueFile(const std::string& fileName, CutObjectFinder& bin) {
    std::string source;
    std::unique_ptr<TCueObject> cue = LoadCueFile(fileName, source);
    if (!cue) {
        return false;
    }
    cue->CutObject = bin.SearchCutObject(source, true);
    return AddCue(std::move(cue));
}

void CueListModel::Move(int from, int before) {
    Flush();
    if (MoveRow(cues_, from, before, observers_)) {
        changes_.MarkModified();
    }
}

void CueListModel::Delete(std::vector<int> rows) {
    Flush();
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty()) {
        return;
    }
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        if (*row >= 0 && *row < Count()) {
            EraseRow(*row);
        }
    }
    UpdateTotals();
}

void CueListModel::DeleteAll() {
    Flush();
    if (cues_.empty()) {
        return;
    }
    observers_.Tell([&](CueListObserver& o) { o.AboutToReset(); });
    std::vector<std::unique_ptr<TCueObject>> gone = std::move(cues_);
    cues_.clear();
    totalFrames_ = 0;
    totalTicks_ = 0;
    observers_.Tell([&](CueListObserver& o) { o.ResetDone(); });
    if (cutter_ != nullptr) {
        for (const auto& cue : gone) {
            cutter_->CueDeleted(cue.get());
        }
    }
    changes_.MarkModified();
    UpdateTotals();
}

void CueListModel::Rename(int row, const std::string& name) {
    Flush();
    if (row < 0 || row >= Count() || At(row)->Name == name) {
        return;
    }
    At(row)->Name = name;
    NotifyRowsChanged(row, row);
    if (cutter_ != nullptr) {
        cutter_->CueChanged(At(row));
    }
    changes_.MarkModified();
    UpdateTotals();
}

std::string CueListModel::ExportAsName(int row) const {
    const TCueObject& cue = *At(row);
    return SafeFileName(cue.Name) + " (" + std::to_string(cue.MarkIn) + "-" +
           std::to_string(cue.MarkOut) + ")";
}

std::string CueListModel::FolderExportName(int row, const std::string& folder,
                                           const std::string& extension) const {
    const std::string& cueName = At(row)->Name;
    const std::string name = NumberedName(cueName).Number > 0
                                 ? PieceFileName(cueName, row + 1, extension)
                                 : SafeFileName(cueName) + "." + extension;
    return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

void CueListModel::ImportCommand(CutObjectFinder& bin) {
    Prompts::FileDialog dialog;
    dialog.title = texts::kImportCuesTitle;
    dialog.initialFolder = settings_.LastOpenFolder;
    dialog.defaultExtension = "m3q";
    dialog.filter = texts::kCueFilter;
    dialog.multiple = true;
    const std::vector<std::string> chosen = prompts_.OpenFiles(dialog);
    if (!chosen.empty()) {
        settings_.LastOpenFolder = ChosenFolder(chosen.front());
        for (const std::string& fileName : chosen) {
            if (!ImportCueFile(fileName, bin)) {
                prompts_.Error(texts::kErrorCaption,
                               FillText(texts::kUnableToImportCue, {fileName}));
            }
        }
    }
    UpdateTotals();
}

void CueListModel::ExportAs(int row, CutExporter& exporter) {
    Flush();
    if (row < 0 || row >= Count()) {
        return;
    }
    TCueObject& cue = *At(row);
    Prompts::FileDialog dialog;
    dialog.title = texts::kSaveCueTitle;
    dialog.fileName = ExportAsName(row);
    dialog.initialFolder = settings_.LastSaveFolder;
    dialog.defaultExtension = "mp3";
    dialog.filter = texts::kSaveCueFilter;
    const std::string target = prompts_.SaveFile(dialog);
    if (target.empty()) {
        return;
    }
    settings_.LastSaveFolder = ChosenFolder(target);
    PlayerPause pause(cutter_);
    // The export takes the cue's range as values: the bin's entry and the cutter never show the
    // cue's range or name, not even while the export's window runs.
    WriteCue(cue, target, exporter, ExportStyleOf(settings_.CleanCuts));
}

void CueListModel::SaveCueSheetCommand() {
    Flush();
    if (cues_.empty()) {
        return;
    }
    Prompts::FileDialog dialog;
    dialog.title = texts::kSaveSheetTitle;
    dialog.initialFolder = settings_.LastSaveFolder;
    dialog.defaultExtension = "cue";
    dialog.filter = texts::kSaveSheetFilter;
    const std::string target = prompts_.SaveFile(dialog);
    if (target.empty()) {
        return;
    }
    settings_.LastSaveFolder = ChosenFolder(target);
    PlayerPause pause(cutter_);  // each file's first frame is read
    std::vector<const TCueObject*> cues;
    for (const auto& cue : cues_) {
        cues.push_back(cue.get());
    }
    const CueSheetPlan plan = PlanCueSheet(cues);
    SaveCueSheet(target, plan.Tracks);
    if (!plan.Loose.empty()) {
        std::string names;
        for (const std::string& name : plan.Loose) {
            names += "\r\n" + name;
        }
        prompts_.Warning(
            texts::kWarningCaption,
            FillText(texts::kSheetLooseCues, {std::to_string(plan.Loose.size()), names}));
    }
}

void CueListModel::ExportSelected(const std::vector<int>& rows, const std::string& extension,
                                  CutExporter& exporter) {
    Flush();
    PlayerPause pause(cutter_);

    Prompts::FolderDialog folderDialog;
    folderDialog.title = texts::kBrowseFolderTitle;
    folderDialog.text = "Export selected as " + extension + " files to folder";
    folderDialog.initialFolder = settings_.LastSaveFolder;
    folderDialog.extraCheckBox = texts::kOverwriteBox;
    folderDialog.extraChecked = false;
    const std::string folder = prompts_.Folder(folderDialog);
    if (folder.empty()) {
        return;
    }
    settings_.LastSaveFolder = folder;
    FolderExportPolicy policy(prompts_, settings_, folderDialog.extraChecked);

    std::vector<int> ordered = rows;
    std::sort(ordered.begin(), ordered.end());
    ordered.erase(std::unique(ordered.begin(), ordered.end()), ordered.end());
    std::vector<BatchItem> items;
    const int count = static_cast<int>(ordered.size());
    int number = 0;
    for (int row : ordered) {
        if (row < 0 || row >= Count()) {
            continue;
        }
        const TCueObject& cue = *At(row);
        // Each piece gets its tags once it is written whole (the tagger leaves WAV and cue files).
        std::function<bool(const std::string&)> tag;
        ++number;
        if (tagger_ != nullptr) {
            tag = [this, &cue, number, count](const std::string& written) {
                tagger_->TagPiece(written, cue, number, count,
                                  static_cast<PieceTagKinds>(settings_.PieceTags & 3));
                return true;
            };
        }
        items.push_back(BatchItem{cue.CutObject, FrameSpan{cue.MarkIn, cue.MarkOut},
                                  FolderExportName(row, folder, extension), cue.Name, tag});
    }
    // One cue that cannot be written (a target a cut object holds open, a full disk) must not
    // cost the others: all such are reported once at the end.
    const BatchOutcome outcome =
        ExportBatch(items, policy, exporter, ExportStyleOf(settings_.CleanCuts));
    if (!outcome.failures.empty()) {
        std::string lines;
        for (const BatchFailure& failure : outcome.failures) {
            lines += "\r\n" + (failure.error.empty() ? failure.target : failure.error);
        }
        prompts_.Error(
            texts::kErrorCaption,
            FillText(texts::kCuesNotExported, {std::to_string(outcome.failures.size()), lines}));
    }
}

void CueListModel::BeginBatch() {
    ++batchDepth_;
}

void CueListModel::EndBatch() {
    if (batchDepth_ > 0 && --batchDepth_ == 0 && !pending_.empty()) {
        UpdateTotals();  // flushes
        observers_.Tell([&](CueListObserver& o) { o.ShowRequested(); });
    }
}

void CueListModel::Flush() {
    if (pending_.empty()) {
        return;
    }
    const int first = Count();
    const int last = first + static_cast<int>(pending_.size()) - 1;
    observers_.Tell([&](CueListObserver& o) { o.RowsAboutToBeInserted(first, last); });
    for (auto& cue : pending_) {
        Tally(*cue, 1);
        cues_.push_back(std::move(cue));
    }
    pending_.clear();
    observers_.Tell([&](CueListObserver& o) { o.RowsInserted(); });
}

void CueListModel::NotifyRowsChanged(int first, int last) {
    observers_.Tell([&](CueListObserver& o) { o.RowsChanged(first, last); });
}

}  // namespace sw
