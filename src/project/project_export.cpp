#include "project/project_export.h"

#include <map>
#include <vector>

#include "engine/operation_error.h"
#include "project/export_planning.h"
#include "project/project_file.h"
#include "project/source_opening.h"
#include "stream/file_names.h"
#include "stream/status.h"

namespace sw {

namespace {

// A source once opened serves every cue on it; nullptr marks one that could not be opened.
class SourceCache {
  public:
    SourceCache(const CutObjectOptions& options, OperationFrontEnd& frontEnd)
        : options_(options), frontEnd_(frontEnd) {}

    TCutObject* For(const std::string& fileName) {
        const auto found = sources_.find(fileName);
        if (found != sources_.end()) {
            return found->second.get();
        }
        CutObjectPtr& slot = sources_[fileName];
        if (!FileExists(fileName)) {
            return nullptr;
        }
        try {
            CheckAudioKind(fileName);
            OpenedSource source = OpenSource(fileName, options_, frontEnd_);
            if (source.status == kStatusAborted) {
                throw OperationError(kStatusAborted, StatusText(kStatusAborted));
            }
            if (source.status != kStatusOk) {
                frontEnd_.Note("warning: scanning " + fileName + ": " + StatusText(source.status));
            } else {
                slot = std::move(source.cut);
            }
        } catch (const OperationError& error) {
            if (error.Status() == kStatusAborted) {
                throw;
            }
            frontEnd_.Note(std::string("warning: ") + error.what());
        }
        return slot.get();
    }

  private:
    const CutObjectOptions& options_;
    OperationFrontEnd& frontEnd_;
    std::map<std::string, CutObjectPtr> sources_;
};

}  // namespace

ProjectExportResult ExportProjectFile(const std::string& projectName, const std::string& targetName,
                                      const CutObjectOptions& options, ExportStyle style,
                                      OperationFrontEnd& frontEnd) {
    // Refused before the project is even read: its own name must never be overwritten.
    const std::string problem = AudioTargetProblem(targetName, projectName);
    if (!problem.empty()) {
        throw OperationError(kStatusFailed, problem);
    }
    ProjectExportResult result;
    result.project = AbsolutePath(projectName);
    ProjectFileContents project;
    switch (ReadProjectFile(projectName, project)) {
        case ProjectReadResult::NotFound:
            throw OperationError(kStatusFileNotFound, "File not found: " + projectName);
        case ProjectReadResult::BadSignature:
            throw OperationError(kStatusFailed, projectName + " is not a Slicewell project file");
        case ProjectReadResult::Ok:
            break;
    }
    if (project.UnreadCues > 0) {
        frontEnd.Note("warning: " + projectName +
                      " ends inside its cue records: " + std::to_string(project.UnreadCues) +
                      " of " + std::to_string(project.UnreadCues + int64_t(project.Cues.size())) +
                      " cues could not be read");
    }
    result.unreadCues = project.UnreadCues;
    if (project.Cues.empty()) {
        throw OperationError(kStatusFailed, projectName + " has no cues; nothing to export");
    }
    result.storedCues = static_cast<int32_t>(project.Cues.size());

    const std::string projectFolder = ExtractFilePath(result.project);
    SourceCache sources(options, frontEnd);
    std::vector<TCueObject> cues;
    cues.reserve(project.Cues.size());
    for (const ProjectFileCue& stored : project.Cues) {
        const std::string fileName = ResolvePath(projectFolder, stored.FileName);
        TCutObject* cut = stored.FileName.empty() ? nullptr : sources.For(fileName);
        if (!cut) {
            frontEnd.Note("warning: cue '" + stored.Name + "' skipped: its source " + fileName +
                          (FileExists(fileName) ? " cannot be used" : " is missing"));
            ++result.skipped;
            continue;
        }
        cues.push_back(TCueObject{cut, stored.Name, stored.MarkIn, stored.MarkOut});
    }
    if (cues.empty()) {
        throw OperationError(kStatusFailed,
                             "none of the cues of " + projectName + " can be exported");
    }
    std::vector<const TCueObject*> cueList;
    for (const TCueObject& cue : cues) {
        cueList.push_back(&cue);
    }
    result.cues = static_cast<int32_t>(cues.size());
    result.outcome = ExportCues(cueList, project.Properties, targetName, projectName, style,
                                frontEnd, &result.bytes);
    return result;
}

}  // namespace sw
