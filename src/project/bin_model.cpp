#include "project/bin_model.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>

#include "engine/wave_header.h"
#include "project/dialog_folder.h"
#include "project/document_texts.h"
#include "project/index_beside.h"
#include "project/text_fill.h"
#include "stream/file_errors.h"
#include "stream/file_names.h"
#include "stream/file_stream.h"
#include "stream/regular_file.h"
#include "stream/status.h"
#include "stream/time_code.h"

namespace sw {

namespace {

bool IsBlank(const std::string& name) {
    return name.find_first_not_of(" \t") == std::string::npos;
}

// The name a playlist is known by on the chain of playlists being read: two names of one file
// (a relative and an absolute one, a link) are the same playlist.
std::string PlaylistIdentity(const std::string& fileName) {
    char resolved[4096];
    if (::realpath(fileName.c_str(), resolved) != nullptr) {
        return resolved;
    }
    return AbsolutePath(fileName);
}

void DropIndex(TCutObject& cut) {
    cut.IndexStream.reset();
    cut.CompletelyScanned = false;
    if (!cut.IndexFileName.empty()) {
        std::remove(cut.IndexFileName.c_str());
        cut.IndexFileName.clear();
    }
}

}  // namespace

ProjectBinModel::ProjectBinModel(TGlobalSettings& settings, Prompts& prompts, ScanRunner& scans,
                                 CueListModel& cues, ModifiedSink& changes)
    : settings_(settings), prompts_(prompts), scans_(scans), cues_(cues), changes_(changes) {}

ProjectBinModel::~ProjectBinModel() = default;

void ProjectBinModel::AddObserver(ListObserver* observer) {
    observers_.Add(observer);
}

void ProjectBinModel::RemoveObserver(ListObserver* observer) {
    observers_.Remove(observer);
}

CutObjectOptions ProjectBinModel::Options() const {
    return CutObjectOptionsOf(settings_);
}

int ProjectBinModel::RowOf(const TCutObject* cut) const {
    return RowOfRecord(entries_, cut);
}

BinRowTexts ProjectBinModel::RowTexts(int row) const {
    const TCutObject& cut = *At(row);
    return {cut.Name, PlayTimeToText(cut.PlayTime)};
}

std::string ProjectBinModel::StatusText(int row) const {
    const TCutObject& cut = *At(row);
    return std::to_string(cut.FrameCount()) + " frames - " +
           (cut.CompletelyScanned ? "completely scanned" : "NOT completely scanned");
}

int ProjectBinModel::ParseMP3List(const std::string& baseFolder,
                                  const std::vector<std::string>& names) {
    // An import can start another (a cue file's source, a project's cues): the player stays
    // suspended until the outermost one ends, and the chain of playlists being read is one.
    const bool outermost = importDepth_++ == 0;
    struct DepthScope {
        int& depth;
        ~DepthScope() { --depth; }
    } depth{importDepth_};
    std::optional<PlayerPause> pause;
    if (outermost) {
        pause.emplace(cutter_);
        importedFiles_ = 0;
        importedPlaylists_ = 0;
        importLimitReached_ = false;
    }
    const int state = ParseList(baseFolder, names, playlists_);
    observers_.Tell([&](ListObserver& o) { o.ShowRequested(); });
    changes_.MarkModified();
    return state;
}

int ProjectBinModel::ParseList(const std::string& baseFolder, const std::vector<std::string>& names,
                               std::vector<std::string>& playlists) {
    int state = kImportFailed;
    const size_t count = names.size();
    bool goOn = true;
    for (size_t i = 0; goOn && i < count; ++i) {
        const std::string& name = names[i];
        if (IsBlank(name) || name.front() == '#') {
            continue;
        }
        const std::string fileName = ResolvePath(baseFolder, name);
        if (!TakeImportName(fileName)) {
            return kImportFailed;
        }
        bool reported = false;
        state = FileExists(fileName) ? ImportOne(fileName, playlists, reported) : kImportNotFound;
        if (importLimitReached_) {
            return kImportFailed;
        }
        switch (state) {
            case kImportFailed:
                if (!reported) {
                    prompts_.Error(texts::kErrorCaption, texts::kUnableToAdd);
                }
                break;
            case kImportNotClean:
                if (i + 1 < count) {
                    goOn = prompts_.YesNo(texts::kConfirmCaption, texts::kAbortPendingScans) ==
                           Prompts::Answer::No;
                }
                break;
            case kImportNotFound:
                goOn = prompts_.ErrorYesNo(texts::kErrorCaption,
                                           FillText(texts::kUnableToFind, {fileName})) ==
                       Prompts::Answer::Yes;
                break;
            case kImportUnsupported:
                prompts_.Error(texts::kErrorCaption,
                               FillText(texts::kUnsupportedFormat, {fileName}));
                break;
            default:
                break;
        }
    }
    return state;
}

int ProjectBinModel::ImportOne(const std::string& fileName, std::vector<std::string>& playlists,
                               bool& reported) {
    const std::string kind = FileKind(fileName);
    if (kind == "mp3") {
        return AddCutObject(fileName) ? kImportAdded : kImportNotClean;
    }
    if (kind == "wav") {
        if (!IsMpegWaveFile(fileName)) {
            return kImportUnsupported;
        }
        return AddCutObject(fileName) ? kImportAdded : kImportNotClean;
    }
    if (kind == "m3u") {
        return ImportPlaylist(fileName, playlists, reported);
    }
    if (kind == "m3q") {
        return cues_.ImportCueFile(fileName, *this) ? kImportAdded : kImportFailed;
    }
    if (kind == "cue") {
        reported = true;  // the sheet's import says what went wrong, line by line
        return ImportCueSheet(fileName);
    }
    if (kind == "m3i") {
        return AddIndexObject(fileName) ? kImportAdded : kImportFailed;
    }
    return kImportUnsupported;
}

// Playlists that name others more than once multiply: 17 of two lines each made 65,536 entries,
// and 18 would make twice as many. One import takes at most kImportLimit files and as many
// playlists, counted through every nesting, and says so when it stops.
bool ProjectBinModel::TakeImportName(const std::string& fileName) {
    int& taken = FileKind(fileName) == "m3u" ? importedPlaylists_ : importedFiles_;
    if (importLimitReached_) {
        return false;
    }
    if (taken >= importLimit_) {
        importLimitReached_ = true;
        prompts_.Error(texts::kErrorCaption,
                       FillText(texts::kImportLimitReached, {std::to_string(importLimit_)}));
        return false;
    }
    ++taken;
    return true;
}

// Playlists may name each other in a ring; the chain of playlists being read is kept, and one
// that is already on it is reported and not read again. A playlist listed twice side by side
// (not inside itself) is read twice, as asked.
int ProjectBinModel::ImportPlaylist(const std::string& fileName,
                                    std::vector<std::string>& playlists, bool& reported) {
    const std::string identity = PlaylistIdentity(fileName);
    if (std::find(playlists.begin(), playlists.end(), identity) != playlists.end()) {
        prompts_.Error(texts::kErrorCaption, FillText(texts::kPlaylistLoop, {fileName}));
        reported = true;
        return kImportFailed;
    }
    PlaylistContents contents;
    // Names past what the import may still take are never looked at; one more than that is read,
    // so that the limit is seen and said.
    const size_t room = size_t(2 * importLimit_ - importedFiles_ - importedPlaylists_) + 1;
    if (ReadPlaylistFile(fileName, contents, room) != PlaylistReadResult::Ok) {
        return kImportFailed;
    }
    playlists.push_back(identity);
    // The names are resolved against the playlist's folder already; a relative folder (a
    // playlist reached by a relative name) must not be joined to them a second time.
    const int state = ParseList("", contents.Names, playlists);
    playlists.pop_back();
    return state;
}

bool ProjectBinModel::AddCutObject(const std::string& fileName) {
    if (settings_.CheckMatch && CheckMatch(fileName)) {
        return false;
    }
    const CutObjectOptions options = Options();
    if (!options.IndexAsFileStream) {
        if (CutObjectPtr known = scanned_.Reuse(fileName)) {
            Append(std::move(known));
            return true;
        }
    }
    const std::optional<SourceStamp> before = StampOf(fileName);
    const std::string indexFileName = IndexFileBeside(fileName);
    if (FileExists(indexFileName)) {
        CutObjectPtr cut = LoadIndexFor(indexFileName, fileName, options);
        if (cut) {
            // The index may know the file by another name (a link, a relative path); the entry
            // goes by the name it was imported as, which is the one projects and cues look for.
            cut->FileName = fileName;
            if (before) {
                scanned_.Remember(*cut, *before);
            }
            Append(std::move(cut));
            return true;
        }
        // A damaged index, or one of another file or of this file before it changed, is only a
        // cache that missed: the file itself is scanned, and the scan's index replaces it when
        // "SaveIndexStream" is on.
    }
    CreateFailure failure = CreateFailure::None;
    CutObjectPtr cut(CreateCutObject(fileName, options, &failure));
    if (!cut) {
        if (failure == CreateFailure::NotFound || failure == CreateFailure::None) {
            ShowStatusMessage(prompts_, kStatusFileNotFound);
        } else {
            prompts_.Error(texts::kErrorCaption, CreateFailureText(failure, fileName));
        }
        return false;
    }
    const int status = scans_.Scan(*cut);
    if (status != kStatusOk && status != kStatusAborted) {
        ShowStatusMessage(prompts_, status);
        return false;
    }
    if (before) {
        scanned_.Remember(*cut, *before);
    }
    Append(std::move(cut));
    return status == kStatusOk;
}

bool ProjectBinModel::AddIndexObject(const std::string& indexFileName) {
    if (settings_.CheckMatch && CheckMatch(indexFileName)) {
        return false;
    }
    CutObjectPtr cut;
    try {
        cut.reset(LoadCutObject(indexFileName, Options()));
    } catch (const FileError&) {
        cut.reset();
    }
    if (cut && CheckCutObject(*cut, indexFileName)) {
        Append(std::move(cut));
        return true;
    }
    prompts_.Error(texts::kErrorCaption, texts::kUnableToLoadIndex);
    return false;
}

bool ProjectBinModel::CheckMatch(const std::string& fileName) {
    const std::string name = DisplayName(fileName);
    const bool match = std::any_of(entries_.begin(), entries_.end(), [&name](const auto& cut) {
        return DisplayName(cut->FileName) == name;
    });
    if (!match) {
        return false;
    }
    return prompts_.YesNo(texts::kConfirmCaption, FillText(texts::kSameName, {name})) ==
           Prompts::Answer::No;
}

bool ProjectBinModel::CheckCutObject(TCutObject& cut, const std::string& indexFileName) {
    bool changed = false;
    // Yes drops the index (the scan question follows), No keeps it, Cancel refuses the entry.
    auto askAboutSize = [this, &cut]() {
        switch (prompts_.YesNoCancel(texts::kConfirmCaption, texts::kSizeDiffers)) {
            case Prompts::Answer::Yes:
                DropIndex(cut);
                break;
            case Prompts::Answer::Cancel:
                cut.FileStream.reset();
                break;
            default:
                break;
        }
    };
    try {
        if (!cut.FileStream) {
            if (prompts_.YesNo(texts::kConfirmCaption, texts::kFindOriginal) ==
                Prompts::Answer::Yes) {
                Prompts::FileDialog dialog;
                dialog.title = texts::kImportTitle;
                dialog.fileName = cut.FileName;
                dialog.initialFolder = settings_.LastOpenFolder;
                dialog.filter = texts::kFindSourceFilter;
                dialog.multiple = false;
                const std::vector<std::string> chosen = prompts_.OpenFiles(dialog);
                if (!chosen.empty()) {
                    settings_.LastOpenFolder = ChosenFolder(chosen.front());
                    cut.FileName = chosen.front();
                    cut.FileStream = OpenSourceStream(cut.FileName);
                    changed = true;
                    if (cut.FileStream && cut.FileStream->Size() != cut.FileSize) {
                        askAboutSize();
                    }
                }
            }
        } else if (cut.FileStream->Size() != cut.FileSize) {
            // The file at the stored path was rewritten since the index was made: its offsets
            // would point into the middle of frames.
            changed = true;
            askAboutSize();
        }
        if (cut.FileStream && !cut.IndexStream) {
            if (prompts_.YesNo(texts::kConfirmCaption, texts::kScanNow) == Prompts::Answer::Yes) {
                ScanMissingIndex(cut);
                changed = true;
            }
        }
    } catch (const std::exception&) {
        ShowStatusMessage(prompts_, kStatusUnknownError);
    }
    if (!cut.FileStream) {
        return false;
    }
    // The index beside the source is rewritten only when it would say something new: an index
    // read from there unchanged is already what a save would write.
    const std::string beside = IndexFileBeside(cut.FileName);
    if (settings_.SaveIndexStream && !IsReadOnly(cut.FileName) &&
        (changed || indexFileName != beside)) {
        try {
            SaveCutObject(&cut, beside);
        } catch (const FileError&) {
            // The index file only spares a later scan.
        }
    }
    return true;
}

void ProjectBinModel::ScanMissingIndex(TCutObject& cut) {
    CutObjectPtr scanned(CreateCutObject(cut.FileName, Options()));
    if (!scanned || !scanned->IndexStream) {
        ShowStatusMessage(prompts_, kStatusOutOfMemory);
        return;
    }
    const int status = scans_.Scan(*scanned);
    if (status != kStatusOk && status != kStatusAborted) {
        prompts_.Error(texts::kErrorCaption, texts::kScanError);
        return;
    }
    // The new index comes with what the scan learnt of the file: the loaded summary belongs to
    // the file as it was, and would give a wrong play time and frame format. The name stays.
    DropIndex(cut);
    cut.IndexStream = std::move(scanned->IndexStream);
    cut.IndexFileName = std::move(scanned->IndexFileName);
    scanned->IndexFileName.clear();
    CopyScanSummary(*scanned, cut);
    cut.MarkIn = 0;
    cut.MarkOut = cut.FrameCount() - 1;
}

TCutObject* ProjectBinModel::SearchCutObject(const std::string& fileName, bool addIfMissing) {
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
        if ((*entry)->FileName == fileName) {
            return entry->get();
        }
    }
    // A playlist, cue file or sheet never becomes an entry of its own name, and one naming the
    // cue file being imported would import that again without end.
    const std::string kind = FileKind(fileName);
    if (!addIfMissing || fileName.empty() || kind == "m3u" || kind == "m3q" || kind == "cue") {
        return nullptr;
    }
    // The path is imported as it stands: an absolute one needs no base folder, and a relative
    // one joined to its own folder would name its folder twice.
    if (ParseMP3List("", {fileName}) == kImportAdded && !entries_.empty() &&
        entries_.back()->FileName == fileName) {
        return entries_.back().get();
    }
    return nullptr;
}

void ProjectBinModel::Append(CutObjectPtr cut) {
    // The import's work on the file is done; the next command that needs it opens it again.
    ReleaseCutObjectFiles(cut.get());
    const int row = Count();
    observers_.Tell([&](ListObserver& o) { o.RowsAboutToBeInserted(row, row); });
    entries_.push_back(std::move(cut));
    observers_.Tell([&](ListObserver& o) { o.RowsInserted(); });
}

void ProjectBinModel::Rename(int row, const std::string& name) {
    if (row < 0 || row >= Count()) {
        return;
    }
    TCutObject* cut = At(row);
    if (cut->Name != name) {
        cut->Name = name;
        observers_.Tell([&](ListObserver& o) { o.RowsChanged(row, row); });
        changes_.MarkModified();
    }
    if (cutter_ != nullptr) {
        cutter_->CutObjectChanged(cut);
    }
}

void ProjectBinModel::EraseRow(int row) {
    TCutObject* cut = At(row);
    observers_.Tell([&](ListObserver& o) { o.RowsAboutToBeRemoved(row, row); });
    if (cutter_ != nullptr) {
        cutter_->CutObjectDeleted(cut);
    }
    cues_.RemoveCutObjectCues(cut);
    entries_.erase(entries_.begin() + row);
    observers_.Tell([&](ListObserver& o) { o.RowsRemoved(); });
    changes_.MarkModified();
}

void ProjectBinModel::Delete(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        if (*row >= 0 && *row < Count()) {
            EraseRow(*row);
        }
    }
}

void ProjectBinModel::DeleteAll() {
    if (entries_.empty()) {
        return;
    }
    observers_.Tell([&](ListObserver& o) { o.AboutToReset(); });
    for (const CutObjectPtr& cut : entries_) {
        if (cutter_ != nullptr) {
            cutter_->CutObjectDeleted(cut.get());
        }
        cues_.RemoveCutObjectCues(cut.get());
    }
    entries_.clear();
    observers_.Tell([&](ListObserver& o) { o.ResetDone(); });
    changes_.MarkModified();
}

void ProjectBinModel::Move(int from, int before) {
    if (MoveRow(entries_, from, before, observers_)) {
        changes_.MarkModified();
    }
}

void ProjectBinModel::Rescan(int row) {
    {
        PlayerPause pause(cutter_);
        if (row >= 0 && row < Count()) {
            TCutObject* old = At(row);
            CreateFailure failure = CreateFailure::None;
            CutObjectPtr fresh(CreateCutObject(old->FileName, Options(), &failure));
            if (!fresh) {
                prompts_.Error(texts::kErrorCaption, CreateFailureText(failure, old->FileName));
            } else {
                const int status = scans_.Scan(*fresh);
                if (status == kStatusAborted) {
                    prompts_.Information(texts::kInformationCaption, texts::kOperationAborted);
                } else if (status != kStatusOk) {
                    ShowStatusMessage(prompts_, status);
                }
                if (status == kStatusOk || status == kStatusAborted) {
                    TCutObject* now = fresh.get();
                    now->Name = old->Name;
                    // Cues past the new end keep their frames: exports and the player clamp.
                    cues_.ReplaceCutObject(old, now);
                    if (cutter_ != nullptr) {
                        cutter_->CutObjectReplaced(old, now);
                    }
                    ReleaseCutObjectFiles(now);
                    entries_[static_cast<size_t>(row)] = std::move(fresh);
                    observers_.Tell([&](ListObserver& o) { o.RowsChanged(row, row); });
                    if (cutter_ != nullptr) {
                        cutter_->CutObjectChanged(now);
                    }
                }
            }
        }
    }
    changes_.MarkModified();
}

bool ProjectBinModel::RefuseWithoutFrames(const TCutObject& cut) {
    if (cut.IndexStream && cut.FrameCount() > 0 && cut.FileStream) {
        return false;
    }
    prompts_.Error(texts::kErrorCaption, FillText(texts::kNoFrameIndex, {cut.Name}));
    return true;
}

TCutObject* ProjectBinModel::Cut(int row) {
    if (row < 0 || row >= Count()) {
        return nullptr;
    }
    TCutObject* cut = At(row);
    if (RefuseWithoutFrames(*cut)) {
        return nullptr;
    }
    cut->MarkIn = 0;
    cut->MarkOut = cut->FrameCount() - 1;
    if (cutter_ != nullptr) {
        cutter_->OpenCutObject(cut);
    }
    return cut;
}

TCutObject* ProjectBinModel::AutoCutTarget(int row) {
    if (row < 0 || row >= Count()) {
        return nullptr;
    }
    TCutObject* cut = At(row);
    return RefuseWithoutFrames(*cut) ? nullptr : cut;
}

std::vector<PlaylistEntry> ProjectBinModel::PlaylistEntries() const {
    std::vector<PlaylistEntry> entries;
    entries.reserve(entries_.size());
    for (const CutObjectPtr& cut : entries_) {
        entries.push_back({cut->FileName, cut->Name, cut->PlayTime});
    }
    return entries;
}

bool ProjectBinModel::SaveMP3List(const std::string& fileName) const {
    return sw::SaveMP3List(fileName, PlaylistEntries());
}

void ProjectBinModel::ImportCommand() {
    Prompts::FileDialog dialog;
    dialog.title = texts::kImportTitle;
    dialog.initialFolder = settings_.LastOpenFolder;
    dialog.filter = texts::kImportFilter;
    dialog.multiple = true;
    const std::vector<std::string> chosen = prompts_.OpenFiles(dialog);
    if (chosen.empty()) {
        return;
    }
    const std::string folder = ChosenFolder(chosen.front());
    if (ParseMP3List(folder, chosen) == kImportNotClean) {
        prompts_.Information(texts::kInformationCaption, texts::kOperationAborted);
    }
    settings_.LastOpenFolder = folder;
}

void ProjectBinModel::ExportCommand(int row, CutExporter& exporter) {
    if (row < 0 || row >= Count()) {
        return;
    }
    TCutObject* cut = At(row);
    Prompts::FileDialog dialog;
    dialog.title = texts::kExportFileTitle;
    dialog.fileName = DisplayName(cut->FileName);
    dialog.initialFolder = settings_.LastSaveFolder;
    dialog.defaultExtension = "m3i";
    dialog.filter = texts::kExportFileFilter;
    const std::string target = prompts_.SaveFile(dialog);
    if (target.empty()) {
        return;
    }
    PlayerPause pause(cutter_);
    const std::string folder = ChosenFolder(target);
    int status;
    if (IsReadOnly(folder.empty() ? "." : folder)) {
        prompts_.Error(texts::kErrorCaption, texts::kReadOnlyFolder);
        status = kStatusFailed;
    } else if (FileKind(target) == "m3i") {
        status = SaveCutObject(cut, target);
    } else if (RefuseWithoutFrames(*cut)) {
        return;
    } else {
        status = exporter.ExportRange(target, *cut, FrameSpan{0, cut->FrameCount() - 1},
                                      ExportStyleOf(settings_.CleanCuts));
    }
    if (status != kStatusOk) {
        ShowStatusMessage(prompts_, status);
    } else {
        settings_.LastSaveFolder = folder;
    }
}

void ProjectBinModel::SaveBinCommand() {
    if (entries_.empty()) {
        return;
    }
    Prompts::FileDialog dialog;
    dialog.title = texts::kSaveBinTitle;
    dialog.fileName = "ProjectBin";
    dialog.initialFolder = settings_.LastSaveFolder;
    dialog.defaultExtension = "m3u";
    dialog.filter = texts::kSaveBinFilter;
    const std::string target = prompts_.SaveFile(dialog);
    if (target.empty()) {
        return;
    }
    settings_.LastSaveFolder = ChosenFolder(target);
    if (!SaveMP3List(target)) {
        prompts_.Error(texts::kErrorCaption, texts::kUnableToSaveBin);
    }
}

}  // namespace sw
