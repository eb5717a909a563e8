#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sw {

// A file type the program opens. Its own types get a shared-mime-info package and belong to
// the program; other programs' types only gain the program as one more application.
struct AssociatedType {
    const char* Extension;  // without the dot
    const char* MimeType;
    bool Own;
    const char* Comment;    // own types: the type's description
    const char* Signature;  // own types: the 16 bytes every such file starts with
};

// The type of an extension ("m3p", "mp3" ...), compared without regard to case; nullptr for an
// extension the program has no type for.
const AssociatedType* FindAssociatedType(const std::string& extension);
// Every own type, in a fixed order.
std::vector<const AssociatedType*> OwnTypes();

inline constexpr const char* kDesktopId = "slicewell.desktop";
// The MIME package an installation puts beside the other programs' packages, defining every own
// type at once; a program registering itself writes one package per type instead.
inline constexpr const char* kInstalledMimePackage = "slicewell.xml";

// The desktop entry: the program's name, an Exec line that hands every opened file to the
// executable (which imports them), and the MIME types it declares. Empty when the executable's
// name cannot be written on an Exec line (a line break in it).
std::string DesktopEntryText(const std::string& executable,
                             const std::vector<std::string>& mimeTypes);

// The executable as one Exec-line argument: quoted when it holds a character the line would
// split or expand, with the escapes an Exec value needs.
std::optional<std::string> ExecArgument(const std::string& executable);

// The shared-mime-info package that defines one own type, by its glob and its signature.
std::string MimePackageText(const AssociatedType& type);

// mimeapps.list texts. Adding puts desktopId at the end of the type's entry in the
// "[Added Associations]" group, creating the entry or the group when missing, and leaves every
// other byte, "[Default Applications]" included, as it was. A type whose
// "[Removed Associations]" entry names desktopId is left alone: the user took the program off
// that type. Removing takes away the name again, and the entry and the group when they hold
// nothing else.
std::string WithAddedAssociation(const std::string& mimeApps, const std::string& mimeType,
                                 const std::string& desktopId);
std::string WithoutAddedAssociation(const std::string& mimeApps, const std::string& mimeType,
                                    const std::string& desktopId);
// Whether any type's "[Added Associations]" entry names desktopId.
bool NamesAddedAssociation(const std::string& mimeApps, const std::string& desktopId);

}  // namespace sw
