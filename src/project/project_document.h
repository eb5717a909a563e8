#pragma once

#include <string>
#include <vector>

#include "app/settings/global_settings.h"
#include "project/bin_model.h"
#include "project/cue_list_model.h"
#include "project/modified_sink.h"
#include "project/project_properties.h"
#include "project/scan_runner.h"
#include "stream/prompts.h"

namespace sw {

// Told when the caption or the status bar must be refreshed: the name, the modified flag.
class DocumentObserver {
  public:
    virtual ~DocumentObserver() = default;
    virtual void DocumentStateChanged() = 0;
};

// One project as the main window holds it: the properties, the document state, and the bin and
// cue list models whose contents the project file stores. Both models report their changes
// here, which marks the project modified except while a project loads.
class ProjectDocument : public ModifiedSink {
  public:
    ProjectDocument(TGlobalSettings& settings, Prompts& prompts, ScanRunner& scans);
    ~ProjectDocument() override;

    ProjectBinModel& Bin() { return bin_; }
    CueListModel& Cues() { return cues_; }
    TProjectProperties& Properties() { return properties_; }
    const TProjectProperties& Properties() const { return properties_; }

    bool Modified() const { return modified_; }
    bool HasFile() const { return hasFile_; }
    bool Loading() const { return loading_; }
    const std::string& ProjectName() const { return properties_.FileName; }

    void SetObserver(DocumentObserver* observer) { observer_ = observer; }

    // Ignored while loading.
    void SetModified(bool value);
    void SetProjectName(const std::string& name);
    // Empties the bin (and with it the cue list), and gives the properties a new project's
    // values; the untitled counter stays.
    void ClearProject();
    // "Untitled%d" with the untitled counter.
    std::string UntitledName() const;
    // The New command: the counter goes up, the project is cleared and named UntitledName().
    void NewProject();

    // Writes the project file through the atomic document writer. File errors ("Cannot create
    // file %s" also for a target that a cut object holds open, "Stream write error") reach the
    // caller, and leave the document state as it was.
    bool SaveProject(const std::string& target);
    // Reads a project file into the (cleared) project: its files through the bin's import, its
    // cues onto the bin's entries. False when the file is missing or not a project file.
    // "Cannot open file %s" and "Stream read error" (a file that ends before its cue count)
    // reach the caller; what was read stays in the project, which is not marked as loaded. A file
    // that ends inside its cue list loads what it holds, says how many cues could not be read,
    // and leaves the project modified: saving it over the file is then the user's choice.
    bool LoadProject(const std::string& source);

    void MarkModified() override { SetModified(true); }

  private:
    void Refresh();

    Prompts& prompts_;
    CueListModel cues_;
    ProjectBinModel bin_;
    TProjectProperties properties_;
    DocumentObserver* observer_ = nullptr;
    bool modified_ = false;
    bool hasFile_ = false;
    bool loading_ = false;
    int untitledCounter_ = 1;
};

}  // namespace sw
