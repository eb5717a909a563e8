#include "app/ui/program_start.h"

#include "app/ui/main_form.h"

namespace sw {

void NameStartProject(TMainForm& form, const CommandLine& commandLine) {
    if (!commandLine.ProjectPath.empty()) {
        form.Commands().NameStartProject(commandLine.ProjectPath);
    }
}

void OpenCommandLineFiles(TMainForm& form, const CommandLine& commandLine,
                          const std::string& currentFolder) {
    if (!commandLine.ProjectPath.empty()) {
        form.Commands().LoadStartProject(commandLine.ProjectPath);
    } else if (!commandLine.Files.empty()) {
        form.ImportFiles(commandLine.Files, currentFolder);
    }
}

}  // namespace sw
