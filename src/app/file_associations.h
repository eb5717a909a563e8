#pragma once

#include <functional>
#include <string>
#include <vector>

namespace sw {

// Where the associations live: the user's XDG data folder (desktop entry, MIME packages), the
// XDG config folder (mimeapps.list), the executable the desktop entry starts, and how the
// desktop's databases are refreshed after a change.
struct AssociationPlace {
    std::string DataHome;
    std::string ConfigHome;
    std::string Executable;
    // Runs one refresh command (argv); a missing tool is no error.
    std::function<void(const std::vector<std::string>&)> RunTool;
    // An installation (a package, "cmake --install") that the desktop sees provides the desktop
    // entry and the own types. The user's folders then get only the added associations of other
    // programs' types, never copies of what the installation provides, which would outlive it.
    bool Installed = false;
};

// Whether the executable belongs to an installation the desktop sees: the data folder at
// dataFromPrograms (relative to the executable's folder) holds the desktop entry and the MIME
// package, and it is the desktop's dataHome or one of the colon-separated dataDirs (empty:
// the XDG default, /usr/local/share and /usr/share). A build folder is no installation.
bool IsInstalledForDesktop(const std::string& executable, const std::string& dataFromPrograms,
                           const std::string& dataHome, const std::string& dataDirs);

// $XDG_DATA_HOME and $XDG_CONFIG_HOME (absolute values only, else ~/.local/share and
// ~/.config), this process's executable, the real update-mime-database and
// update-desktop-database, and whether the executable is installed for the desktop.
AssociationPlace UserAssociationPlace();

// Makes files with the extension open in the program. An own type ("m3q", "m3p", "m3i") gets its
// MIME package and is declared by the desktop entry "slicewell.desktop"; another program's type
// ("mp3", "wav", "m3u") only gains the program in mimeapps.list's added associations, its
// default application untouched. A file is written only when its content would change, and a
// database is refreshed only after its files changed, so that doing this on every start costs
// a few small reads. An installed program writes only the added associations. False for an
// unknown extension or when a file could not be written.
bool RegisterFileAssociation(const AssociationPlace& place, const std::string& extension);

// Takes away exactly what registering added; the desktop entry goes with the last association.
// An installed program also takes away the copies a run from a build folder left in the user's
// folders, and never writes the desktop entry. True when nothing of the program's is left for the
// type (also when nothing was there).
bool UnregisterFileAssociation(const AssociationPlace& place, const std::string& extension);

// What every start does: the three own types at the user's place. False when any failed; the
// program goes on either way.
bool RegisterOwnFileAssociations();

// Runs argv[0] from PATH with no input or output and waits for it; a tool that is not
// installed is skipped.
void RunDatabaseTool(const std::vector<std::string>& argv);

}  // namespace sw
