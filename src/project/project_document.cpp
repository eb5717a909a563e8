#include "project/project_document.h"

#include "project/document_texts.h"
#include "project/project_file.h"
#include "project/text_fill.h"
#include "stream/file_errors.h"
#include "stream/file_names.h"

namespace sw {

ProjectDocument::ProjectDocument(TGlobalSettings& settings, Prompts& prompts, ScanRunner& scans)
    : prompts_(prompts),
      cues_(settings, prompts, *this),
      bin_(settings, prompts, scans, cues_, *this) {}

// The bin's entries go first: the cues refer to them.
ProjectDocument::~ProjectDocument() {
    loading_ = true;
    cues_.DeleteAll();
    bin_.DeleteAll();
}

void ProjectDocument::SetModified(bool value) {
    if (loading_) {
        return;
    }
    modified_ = value;
    Refresh();
}

void ProjectDocument::SetProjectName(const std::string& name) {
    properties_.FileName = name;
    Refresh();
}

void ProjectDocument::ClearProject() {
    bin_.DeleteAll();
    cues_.DeleteAll();  // cues of no entry (none should be left) go too
    properties_.Clear();
    modified_ = false;
    hasFile_ = false;
    Refresh();
}

std::string ProjectDocument::UntitledName() const {
    return "Untitled" + std::to_string(untitledCounter_);
}

void ProjectDocument::NewProject() {
    ++untitledCounter_;
    ClearProject();
    SetProjectName(UntitledName());
}

bool ProjectDocument::SaveProject(const std::string& target) {
    struct RefreshAtEnd {
        ProjectDocument& document;
        ~RefreshAtEnd() { document.Refresh(); }
    } refresh{*this};

    ProjectFileContents contents;
    contents.Properties = properties_;
    contents.Files.reserve(static_cast<size_t>(bin_.Count()));
    for (int row = 0; row < bin_.Count(); ++row) {
        contents.Files.push_back(bin_.At(row)->FileName);
    }
    for (int row = 0; row < cues_.Count(); ++row) {
        const TCueObject& cue = *cues_.At(row);
        contents.Cues.push_back({cue.CutObject->FileName, cue.Name, cue.MarkIn, cue.MarkOut});
    }
    WriteProjectFile(target, contents);
    properties_.FileName = target;
    modified_ = false;
    hasFile_ = true;
    return true;
}

bool ProjectDocument::LoadProject(const std::string& source) {
    struct LoadingScope {
        ProjectDocument& document;
        explicit LoadingScope(ProjectDocument& d) : document(d) { document.loading_ = true; }
        ~LoadingScope() { document.loading_ = false; }
    };

    // Names the program writes are absolute; a relative name in a hand-made or generated project
    // is taken in the project's own folder, as the command line's project export takes it.
    const std::string folder = ExtractFilePath(AbsolutePath(source));
    bool result = false;
    int32_t unreadCues = 0;
    int64_t storedCues = 0;
    {
        LoadingScope scope(*this);
        ProjectFileContents contents;
        ProjectReadResult read;
        try {
            read = ReadProjectFile(source, contents);
        } catch (const StreamReadError&) {
            // The file ends before its cue count: what was read stays in the project, the
            // properties and the file names read whole.
            const std::string name = properties_.FileName;
            properties_ = contents.Properties;
            properties_.FileName = name;
            bin_.ParseMP3List(folder, contents.Files);
            throw;
        }
        if (read != ProjectReadResult::Ok) {
            return false;
        }
        const std::string name = properties_.FileName;
        properties_ = contents.Properties;
        properties_.FileName = name;
        bin_.ParseMP3List(folder, contents.Files);
        result = true;
        unreadCues = contents.UnreadCues;
        storedCues = int64_t(contents.Cues.size()) + unreadCues;
        for (const ProjectFileCue& stored : contents.Cues) {
            TCutObject* cut = bin_.SearchCutObject(ResolvePath(folder, stored.FileName), true);
            if (cut == nullptr) {
                continue;  // the bin's import has told the user about the file
            }
            cues_.AddCue(cut, stored.Name, stored.MarkIn, stored.MarkOut);
        }
    }
    if (result) {
        properties_.FileName = source;
        modified_ = unreadCues > 0;
        hasFile_ = true;
        Refresh();
        if (unreadCues > 0) {
            prompts_.Warning(texts::kWarningCaption,
                             FillText(texts::kCuesNotRead, {source, std::to_string(unreadCues),
                                                            std::to_string(storedCues)}));
        }
    }
    return result;
}

void ProjectDocument::Refresh() {
    if (observer_ != nullptr) {
        observer_->DocumentStateChanged();
    }
}

}  // namespace sw
