#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/settings/global_settings.h"
#include "project/cutter_link.h"
#include "project/project_document.h"
#include "stream/cut_object.h"
#include "stream/project_properties.h"
#include "stream/prompts.h"

namespace sw {

// Told whenever something the frame window shows of the project changed: the caption, the
// "Modified" panel, which commands are available.
class MainCommandsView {
  public:
    virtual ~MainCommandsView() = default;
    virtual void CommandsChanged() = 0;
};

// The project commands of the frame window and their rules, without a window: what the caption
// says, which of New, Save, Save As and Export are available, what each command asks and does,
// and whether closing must ask first. The window shows the state and forwards its menu items,
// toolbar buttons and close query here; every question and file dialog goes through prompts.
//
// A command that fails (a file that cannot be created, read or written, an export that did not
// complete) shows why and leaves the project as it was at that point: in particular a failed
// save keeps the project modified, keeps Save available and keeps the previous project file.
class MainCommands : public DocumentObserver {
  public:
    // Exports the cues into the target with the project's flags and tag; returns the export's
    // status (0 done). File errors of the target may be thrown. The frame runs the export under
    // its progress window; tests run it inline.
    using ProjectExport = std::function<int(const std::string& target, const TProjectProperties&,
                                            const std::vector<const TCueObject*>&)>;

    // Takes the document's observer. The cutter (may be null) is suspended around an export.
    MainCommands(ProjectDocument& document, TGlobalSettings& settings, Prompts& prompts,
                 CutterLink* cutter, ProjectExport exportProject);
    ~MainCommands() override;
    MainCommands(const MainCommands&) = delete;
    MainCommands& operator=(const MainCommands&) = delete;

    void SetView(MainCommandsView* view) { view_ = view; }
    void SetCutter(CutterLink* cutter) { cutter_ = cutter; }

    // "Slicewell 4 - " and the project's name without folder and last extension.
    std::string Caption() const;
    // "Modified" while the project is modified, else "".
    std::string ModifiedText() const;
    bool NewEnabled() const { return newEnabled_; }
    bool SaveEnabled() const { return saveEnabled_; }
    // Only while the project has a file.
    bool SaveAsEnabled() const { return document_.HasFile(); }
    bool ExportEnabled() const { return exportEnabled_; }

    void EnableSave(bool value);
    // The cue list's totals: whether its cues hold any frames.
    void EnableExport(bool value);

    // Start-up names the project that it loads once the windows exist; until then it only
    // names the project.
    void NameStartProject(const std::string& fileName);
    // Loads the project named on the command line, as Open does once the user chose it.
    void LoadStartProject(const std::string& fileName);

    void New();
    void Open();
    void Save();
    void SaveAs();
    void Export();
    // After the project properties dialog closed: a change makes Save available, without
    // marking the project modified.
    void PropertiesClosed(bool changed);
    // The close query: true when the program may end. Asks only when the project is modified
    // and the bin or the cue list holds something; No keeps everything.
    bool CanClose();

    // The caption, the "Modified" panel, and a modified project makes New and Save available.
    void DocumentStateChanged() override;

  private:
    bool Ask(const char* question);
    // With clean cuts on: true when no two cues of different streams meet, or the user wants
    // the export anyway.
    bool AcceptMismatchedJoins(const std::vector<const TCueObject*>& cues);
    // The save dialog in "LastSaveFolder", proposing the bare project name; "" when cancelled.
    std::string AskSaveTarget(const char* title, const char* filter, const char* extension);
    // Runs one step that may throw; shows the error and returns false when it did.
    bool Guarded(const std::function<void()>& step);
    // Loads fileName into the cleared project named after it; false (the reason shown) when it
    // could not be loaded.
    bool LoadNamedProject(const std::string& fileName);
    void Notify();

    ProjectDocument& document_;
    TGlobalSettings& settings_;
    Prompts& prompts_;
    CutterLink* cutter_;
    ProjectExport exportProject_;
    MainCommandsView* view_ = nullptr;
    bool newEnabled_ = false;
    bool saveEnabled_ = false;
    bool exportEnabled_ = false;
};

// The read-me file beside the executable, in executableFolder.
std::string ReadMeFile(const std::string& executableFolder);

// Help's "View ReadMe.txt": hands the read-me file to the desktop's program for it (open) when
// it still exists, and says so in an error box when the desktop has none: otherwise only a line
// on stderr, which nobody at the window reads, would tell.
void ShowReadMe(const std::string& readMeFile, const std::function<bool(const std::string&)>& open,
                Prompts& prompts);

}  // namespace sw
