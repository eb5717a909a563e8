#include "app/main_commands.h"

#include <exception>
#include <new>

#include "app/main_texts.h"
#include "engine/export.h"
#include "project/dialog_folder.h"
#include "project/document_texts.h"
#include "project/text_fill.h"
#include "stream/file_names.h"
#include "stream/status.h"

namespace sw {

namespace mt = main_texts;

MainCommands::MainCommands(ProjectDocument& document, TGlobalSettings& settings, Prompts& prompts,
                           CutterLink* cutter, ProjectExport exportProject)
    : document_(document),
      settings_(settings),
      prompts_(prompts),
      cutter_(cutter),
      exportProject_(std::move(exportProject)) {
    document_.SetObserver(this);
    // A new run: an empty project named after the untitled counter, nothing to save or export.
    document_.ClearProject();
    document_.SetProjectName(document_.UntitledName());
}

MainCommands::~MainCommands() {
    document_.SetObserver(nullptr);
}

std::string MainCommands::Caption() const {
    return std::string(mt::kProgramTitle) + " - " + DisplayName(document_.ProjectName());
}

std::string MainCommands::ModifiedText() const {
    return document_.Modified() ? mt::kModified : "";
}

void MainCommands::EnableSave(bool value) {
    saveEnabled_ = value;
    Notify();
}

void MainCommands::EnableExport(bool value) {
    exportEnabled_ = value;
    Notify();
}

void MainCommands::NameStartProject(const std::string& fileName) {
    document_.SetProjectName(fileName);
}

void MainCommands::LoadStartProject(const std::string& fileName) {
    LoadNamedProject(fileName);
}

void MainCommands::New() {
    if (document_.Modified() && !Ask(mt::kAskNew)) {
        return;
    }
    document_.NewProject();
    newEnabled_ = false;
    saveEnabled_ = false;
    Notify();
}

void MainCommands::Open() {
    if (document_.Modified() && !Ask(mt::kAskOpen)) {
        return;
    }
    Prompts::FileDialog dialog;
    dialog.title = mt::kOpenTitle;
    dialog.initialFolder = settings_.LastOpenFolder;
    dialog.filter = mt::kProjectFilter;
    const std::vector<std::string> chosen = prompts_.OpenFiles(dialog);
    if (chosen.empty() || chosen.front().empty()) {
        return;
    }
    const std::string& fileName = chosen.front();
    document_.ClearProject();
    document_.SetProjectName(fileName);
    if (LoadNamedProject(fileName)) {
        settings_.LastOpenFolder = ChosenFolder(fileName);
    }
}

bool MainCommands::LoadNamedProject(const std::string& fileName) {
    bool loaded = false;
    if (!Guarded([&] { loaded = document_.LoadProject(fileName); })) {
        return false;  // the file error was shown; what was read stays, without a file
    }
    if (!loaded) {
        prompts_.Error(texts::kErrorCaption, mt::kUnableToLoadProject);
        return false;
    }
    newEnabled_ = true;
    saveEnabled_ = document_.Modified();  // a project that lost cues on the way in
    Notify();
    return true;
}

void MainCommands::Save() {
    if (!document_.HasFile()) {
        SaveAs();
        return;
    }
    const std::string target = document_.ProjectName();
    if (Guarded([&] { document_.SaveProject(target); })) {
        EnableSave(false);
    }
}

std::string MainCommands::AskSaveTarget(const char* title, const char* filter,
                                        const char* extension) {
    Prompts::FileDialog dialog;
    dialog.title = title;
    dialog.fileName = DisplayName(document_.ProjectName());
    dialog.initialFolder = settings_.LastSaveFolder;
    dialog.filter = filter;
    dialog.defaultExtension = extension;
    return prompts_.SaveFile(dialog);
}

void MainCommands::SaveAs() {
    const std::string target =
        AskSaveTarget(mt::kSaveAsTitle, mt::kProjectFilter, mt::kProjectExtension);
    if (target.empty()) {
        return;
    }
    if (Guarded([&] { document_.SaveProject(target); })) {
        settings_.LastSaveFolder = ChosenFolder(target);
        EnableSave(false);
    }
}

void MainCommands::Export() {
    const std::string target =
        AskSaveTarget(mt::kExportTitle, mt::kExportFilter, mt::kExportExtension);
    if (target.empty()) {
        return;
    }
    std::vector<const TCueObject*> cues;
    const CueListModel& list = document_.Cues();
    cues.reserve(static_cast<size_t>(list.Count()));
    for (int row = 0; row < list.Count(); ++row) {
        cues.push_back(list.At(row));
    }
    // A join of streams players misread is the user's call (a clean export repairs every other).
    if (settings_.CleanCuts && !AcceptMismatchedJoins(cues)) {
        return;
    }
    // The player stays suspended until the export and its messages are over, also when the
    // target could not even be created.
    PlayerPause pause(cutter_);
    int status = kStatusFailed;
    if (!Guarded([&] { status = exportProject_(target, document_.Properties(), cues); })) {
        return;
    }
    if (status != kStatusOk) {
        ShowStatusMessage(prompts_, status);
        return;
    }
    settings_.LastSaveFolder = ChosenFolder(target);
}

void MainCommands::PropertiesClosed(bool changed) {
    if (changed) {
        EnableSave(true);
    }
}

bool MainCommands::CanClose() {
    const bool holdsSomething = document_.Bin().Count() > 0 || document_.Cues().Count() > 0;
    if (!document_.Modified() || !holdsSomething) {
        return true;
    }
    return Ask(mt::kAskQuit);
}

void MainCommands::DocumentStateChanged() {
    if (document_.Modified()) {
        newEnabled_ = true;
        saveEnabled_ = true;
    }
    Notify();
}

bool MainCommands::AcceptMismatchedJoins(const std::vector<const TCueObject*>& cues) {
    std::vector<ExportPiece> pieces;
    for (const TCueObject* cue : cues) {
        pieces.push_back(ExportPiece{cue->CutObject, FrameSpan{cue->MarkIn, cue->MarkOut}});
    }
    const std::vector<MismatchedJoin> mismatched = FindMismatchedJoins(pieces);
    if (mismatched.empty()) {
        return true;
    }
    const MismatchedJoin& join = mismatched.front();
    const std::string question =
        FillText(mt::kAskMismatchedJoin, {cues[join.before]->Name, cues[join.after]->Name});
    return prompts_.YesNo(texts::kConfirmCaption, question) == Prompts::Answer::Yes;
}

bool MainCommands::Ask(const char* question) {
    return prompts_.YesNo(texts::kConfirmCaption, question) == Prompts::Answer::Yes;
}

bool MainCommands::Guarded(const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const std::bad_alloc&) {
        prompts_.Error(texts::kErrorCaption, StatusText(kStatusOutOfMemory));
    } catch (const std::exception& error) {
        prompts_.Error(texts::kErrorCaption, error.what());
    }
    return false;
}

void MainCommands::Notify() {
    if (view_ != nullptr) {
        view_->CommandsChanged();
    }
}

void ShowReadMe(const std::string& readMeFile, const std::function<bool(const std::string&)>& open,
                Prompts& prompts) {
    if (FileExists(readMeFile) && !open(readMeFile)) {
        prompts.Error(texts::kErrorCaption, FillText(mt::kUnableToShowReadMe, {readMeFile}));
    }
}

std::string ReadMeFile(const std::string& executableFolder) {
    return ResolvePath(executableFolder, mt::kReadMeName);
}

}  // namespace sw
