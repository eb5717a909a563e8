#include "app/file_associations.h"

#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "app/association_texts.h"
#include "install_layout.h"
#include "stream/byte_stream.h"
#include "stream/document_file.h"
#include "stream/file_errors.h"

extern char** environ;

namespace sw {

namespace {

namespace fs = std::filesystem;

std::optional<std::string> ReadText(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Writes text unless the file already holds exactly that; reports whether it wrote. Throws on
// failure.
bool WriteIfChanged(const std::string& fileName, const std::string& text) {
    if (ReadText(fileName) == text) {
        return false;
    }
    std::error_code error;
    fs::create_directories(fs::path(fileName).parent_path(), error);
    WriteDocumentFile(fileName, [&](ByteStream& stream) {
        stream.WriteBuffer(text.data(), static_cast<int32_t>(text.size()));
    });
    return true;
}

bool RemoveIfPresent(const std::string& fileName) {
    std::error_code error;
    const bool removed = fs::remove(fileName, error);
    if (error) {
        throw FileCreateError(fileName);
    }
    return removed;
}

struct Files {
    std::string mimeFolder;
    std::string applications;
    std::string desktopEntry;
    std::string mimeApps;

    explicit Files(const AssociationPlace& place)
        : mimeFolder(place.DataHome + "/mime"),
          applications(place.DataHome + "/applications"),
          desktopEntry(applications + "/" + kDesktopId),
          mimeApps(place.ConfigHome + "/mimeapps.list") {}

    std::string Package(const AssociatedType& type) const {
        return mimeFolder + "/packages/slicewell-" + type.Extension + ".xml";
    }
};

// The own types whose packages are in place: the types the desktop entry declares.
std::vector<std::string> DeclaredTypes(const Files& files) {
    std::vector<std::string> types;
    for (const AssociatedType* type : OwnTypes()) {
        if (fs::exists(files.Package(*type))) {
            types.emplace_back(type->MimeType);
        }
    }
    return types;
}

// Brings the desktop entry in line with what is registered: present while any association
// needs it (or one is about to), gone when none does. Reports whether it changed.
bool UpdateDesktopEntry(const AssociationPlace& place, const Files& files, bool needed) {
    const std::vector<std::string> declared = DeclaredTypes(files);
    needed = needed || !declared.empty() ||
             NamesAddedAssociation(ReadText(files.mimeApps).value_or(""), kDesktopId);
    if (!needed) {
        return RemoveIfPresent(files.desktopEntry);
    }
    if (place.Installed) {
        return false;  // the installed entry serves; a copy still in use stays as it is
    }
    const std::string text = DesktopEntryText(place.Executable, declared);
    if (text.empty()) {
        throw FileCreateError(files.desktopEntry);
    }
    return WriteIfChanged(files.desktopEntry, text);
}

struct Changes {
    bool mime = false;
    bool desktop = false;
};

// Runs one edit of the type's association and refreshes the databases whose files it changed,
// also after a failure part of the way. False for an unknown type or a failed write.
bool Change(const AssociationPlace& place, const std::string& extension,
            const std::function<void(const AssociatedType&, const Files&, Changes&)>& edit) {
    const AssociatedType* type = FindAssociatedType(extension);
    if (type == nullptr || place.DataHome.empty() || place.ConfigHome.empty()) {
        return false;
    }
    const Files files(place);
    Changes changes;
    bool done = true;
    try {
        edit(*type, files, changes);
    } catch (const FileError&) {
        done = false;
    }
    if (place.RunTool && changes.mime) {
        place.RunTool({"update-mime-database", files.mimeFolder});
    }
    if (place.RunTool && changes.desktop) {
        place.RunTool({"update-desktop-database", files.applications});
    }
    return done;
}

// The edit of mimeapps.list for another program's type; the file goes when nothing is left.
bool EditMimeApps(const Files& files, const AssociatedType& type, bool add) {
    const std::optional<std::string> current = ReadText(files.mimeApps);
    const std::string before = current.value_or("");
    const std::string after = add ? WithAddedAssociation(before, type.MimeType, kDesktopId)
                                  : WithoutAddedAssociation(before, type.MimeType, kDesktopId);
    if (after == before) {
        return false;
    }
    // A list kept elsewhere and linked here (a dotfiles folder) is edited where it lives.
    std::error_code error;
    if (fs::is_symlink(files.mimeApps, error)) {
        const fs::path target = fs::canonical(files.mimeApps, error);
        if (error) {
            throw FileCreateError(files.mimeApps);
        }
        return WriteIfChanged(target.string(), after);
    }
    if (after.empty()) {
        return RemoveIfPresent(files.mimeApps);
    }
    return WriteIfChanged(files.mimeApps, after);
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        return home;
    }
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return {};
}

// The XDG rule: a relative value is to be ignored.
std::string XdgFolder(const char* variable, const char* fallback) {
    if (const char* value = std::getenv(variable); value != nullptr && value[0] == '/') {
        return value;
    }
    return HomeFolder() + fallback;
}

std::string ExecutablePath() {
    std::error_code error;
    const fs::path path = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

std::vector<std::string> SplitFolders(const std::string& list) {
    std::vector<std::string> folders;
    std::istringstream in(list);
    for (std::string folder; std::getline(in, folder, ':');) {
        folders.push_back(folder);
    }
    return folders;
}

}  // namespace

bool IsInstalledForDesktop(const std::string& executable, const std::string& dataFromPrograms,
                           const std::string& dataHome, const std::string& dataDirs) {
    if (executable.empty()) {
        return false;
    }
    const fs::path data = fs::path(executable).parent_path() / dataFromPrograms;
    std::error_code error;
    if (!fs::is_regular_file(data / "applications" / kDesktopId, error) ||
        !fs::is_regular_file(data / "mime/packages" / kInstalledMimePackage, error)) {
        return false;
    }
    std::vector<std::string> folders =
        SplitFolders(dataDirs.empty() ? "/usr/local/share:/usr/share" : dataDirs);
    folders.push_back(dataHome);
    for (const std::string& folder : folders) {
        // Compared as files, so that "/usr/share/" and a folder reached through a link match.
        if (!folder.empty() && folder[0] == '/' && fs::equivalent(folder, data, error)) {
            return true;
        }
    }
    return false;
}

AssociationPlace UserAssociationPlace() {
    AssociationPlace place;
    place.DataHome = XdgFolder("XDG_DATA_HOME", "/.local/share");
    place.ConfigHome = XdgFolder("XDG_CONFIG_HOME", "/.config");
    place.Executable = ExecutablePath();
    place.RunTool = RunDatabaseTool;
    const char* dataDirs = std::getenv("XDG_DATA_DIRS");
    place.Installed = IsInstalledForDesktop(place.Executable, kDataFolderFromPrograms,
                                            place.DataHome, dataDirs != nullptr ? dataDirs : "");
    return place;
}

bool RegisterFileAssociation(const AssociationPlace& place, const std::string& extension) {
    return Change(
        place, extension, [&](const AssociatedType& type, const Files& files, Changes& changes) {
            if (place.Installed) {
                if (!type.Own) {
                    EditMimeApps(files, type, true);
                }
                return;
            }
            if (type.Own) {
                changes.mime = WriteIfChanged(files.Package(type), MimePackageText(type));
                changes.desktop = UpdateDesktopEntry(place, files, false);
            } else {
                // The entry first: an added association must never name a program that is not
                // there.
                changes.desktop = UpdateDesktopEntry(place, files, true);
                EditMimeApps(files, type, true);
                // Not needed after all when the user had taken the program off this type.
                changes.desktop = UpdateDesktopEntry(place, files, false) || changes.desktop;
            }
        });
}

bool UnregisterFileAssociation(const AssociationPlace& place, const std::string& extension) {
    return Change(place, extension,
                  [&](const AssociatedType& type, const Files& files, Changes& changes) {
                      if (type.Own) {
                          changes.mime = RemoveIfPresent(files.Package(type));
                      } else {
                          EditMimeApps(files, type, false);
                      }
                      changes.desktop = UpdateDesktopEntry(place, files, false);
                  });
}

bool RegisterOwnFileAssociations() {
    const AssociationPlace place = UserAssociationPlace();
    bool all = true;
    for (const AssociatedType* type : OwnTypes()) {
        all = RegisterFileAssociation(place, type->Extension) && all;
    }
    return all;
}

void RunDatabaseTool(const std::vector<std::string>& argv) {
    if (argv.empty()) {
        return;
    }
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const int fd : {0, 1, 2}) {
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY,
                                         0);
    }
    pid_t child = 0;
    const int started = posix_spawnp(&child, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) {
        return;  // not installed: the desktop rebuilds its caches itself, later
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace sw
