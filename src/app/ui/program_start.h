#pragma once

#include <string>

#include "app/command_line.h"

namespace sw {

class TMainForm;

// What the command line asks of the windows, in two steps around the splash: the main window
// takes the named project's name as soon as it exists, and once every window is up the project
// is loaded, or else the named files are imported into the bin (names without a folder taken
// in currentFolder). With a project the other names were dropped by the parser already.
void NameStartProject(TMainForm& form, const CommandLine& commandLine);
void OpenCommandLineFiles(TMainForm& form, const CommandLine& commandLine,
                          const std::string& currentFolder);

}  // namespace sw
