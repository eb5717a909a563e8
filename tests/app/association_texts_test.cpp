#include "app/association_texts.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace sw {
namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The line of the entry that starts with key and "=", with its line break.
std::string LineOf(const std::string& entry, const std::string& key) {
    const size_t start = entry.find("\n" + key + "=");
    return start == std::string::npos
               ? ""
               : entry.substr(start, entry.find('\n', start + 1) - start + 1);
}

const std::string kOthersList =
    "[Default Applications]\n"
    "audio/mpeg=player.desktop\n"
    "\n"
    "[Added Associations]\n"
    "audio/mpeg=player.desktop;\n"
    "text/plain=editor.desktop;\n"
    "\n"
    "[Removed Associations]\n"
    "audio/x-wav=slicewell.desktop;\n";

TEST(MimeAppsEdits, AddingKeepsTheDefaultAndRemovingRestoresEveryByte) {
    // Would break: the user's player losing its place as the default for MP3 files, or /r
    // leaving a changed mimeapps.list behind.
    const std::string added = WithAddedAssociation(kOthersList, "audio/mpeg", kDesktopId);
    EXPECT_NE(added.find("[Default Applications]\naudio/mpeg=player.desktop\n"), std::string::npos);
    EXPECT_NE(added.find("[Added Associations]\naudio/mpeg=player.desktop;slicewell.desktop;\n"),
              std::string::npos);
    EXPECT_EQ(WithAddedAssociation(added, "audio/mpeg", kDesktopId), added);
    EXPECT_EQ(WithoutAddedAssociation(added, "audio/mpeg", kDesktopId), kOthersList);
}

TEST(MimeAppsEdits, NewEntryGoesAfterTheGroupsLastEntryAndLeavesWithIt) {
    // Would break: an entry put after the blank line, inside the next group's paragraph.
    const std::string added = WithAddedAssociation(kOthersList, "audio/x-mpegurl", kDesktopId);
    EXPECT_NE(added.find("text/plain=editor.desktop;\naudio/x-mpegurl=slicewell.desktop;\n\n"
                         "[Removed Associations]"),
              std::string::npos);
    EXPECT_EQ(WithoutAddedAssociation(added, "audio/x-mpegurl", kDesktopId), kOthersList);
}

TEST(MimeAppsEdits, MissingGroupIsCreatedAndTakenAwayAgain) {
    // Would break: registering into a fresh account, or one whose file lacks the group.
    EXPECT_EQ(WithAddedAssociation("", "audio/mpeg", kDesktopId),
              "[Added Associations]\naudio/mpeg=slicewell.desktop;\n");
    const std::string defaultsOnly = "[Default Applications]\naudio/mpeg=player.desktop";
    const std::string added = WithAddedAssociation(defaultsOnly, "audio/mpeg", kDesktopId);
    EXPECT_EQ(added, defaultsOnly + "\n[Added Associations]\naudio/mpeg=slicewell.desktop;\n");
    EXPECT_EQ(WithoutAddedAssociation(WithAddedAssociation("", "audio/mpeg", kDesktopId),
                                      "audio/mpeg", kDesktopId),
              "");
}

TEST(MimeAppsEdits, ATypeTheUserTookTheProgramOffStaysOff) {
    // Would break: every start putting the program back on a type the user removed it from.
    EXPECT_EQ(WithAddedAssociation(kOthersList, "audio/x-wav", kDesktopId), kOthersList);
}

TEST(MimeAppsEdits, RemovingTakesOnlyTheProgramsNameFromASharedEntry) {
    // Would break: unregistering taking other programs off the type, or leaving ";;" behind.
    const std::string list = "[Added Associations]\naudio/mpeg = a.desktop;slicewell.desktop;b\n";
    EXPECT_EQ(WithoutAddedAssociation(list, "audio/mpeg", kDesktopId),
              "[Added Associations]\naudio/mpeg = a.desktop;b;\n");
    EXPECT_EQ(WithoutAddedAssociation(kOthersList, "audio/mpeg", kDesktopId), kOthersList);
    EXPECT_EQ(WithAddedAssociation("[Added Associations]\naudio/mpeg=a.desktop\n", "audio/mpeg",
                                   kDesktopId),
              "[Added Associations]\naudio/mpeg=a.desktop;slicewell.desktop;\n");
}

TEST(MimeAppsEdits, OnlyTheAddedGroupCountsAsAnAssociation) {
    // Would break: the desktop entry kept (or deleted) because of the wrong group.
    EXPECT_FALSE(NamesAddedAssociation(kOthersList, kDesktopId));
    EXPECT_TRUE(NamesAddedAssociation(WithAddedAssociation(kOthersList, "audio/mpeg", kDesktopId),
                                      kDesktopId));
}

TEST(DesktopEntry, ExecLineSurvivesBlanksAndShellCharactersInThePath) {
    // Would break: opening a file from the file manager running the wrong program, or none.
    EXPECT_EQ(ExecArgument("/usr/bin/slicewell"), "/usr/bin/slicewell");
    EXPECT_EQ(ExecArgument("/opt/My Apps/slicewell"), "\"/opt/My Apps/slicewell\"");
    EXPECT_EQ(ExecArgument("/opt/a$b/100%/sw"), "\"/opt/a\\\\$b/100%%/sw\"");
    EXPECT_EQ(ExecArgument("/opt/back\\slash/sw"), "\"/opt/back\\\\\\\\slash/sw\"");
    EXPECT_EQ(ExecArgument("/opt/100%/sw"), "/opt/100%%/sw");
    EXPECT_FALSE(ExecArgument("/opt/line\nbreak/sw"));
    EXPECT_FALSE(ExecArgument(""));
    EXPECT_EQ(DesktopEntryText("/opt/line\nbreak/sw", {}), "");
}

TEST(DesktopEntry, HandsEveryOpenedFileToTheProgramAndDeclaresItsTypes) {
    // Would break: several selected files opening one instance each (and all but one ending),
    // or the project type not offered to the program at all.
    const std::string text = DesktopEntryText(
        "/usr/bin/slicewell", {"application/x-slicewell-cue", "application/x-slicewell-project"});
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0U);
    EXPECT_NE(text.find("\nExec=/usr/bin/slicewell %F\n"), std::string::npos);
    EXPECT_NE(
        text.find("\nMimeType=application/x-slicewell-cue;application/x-slicewell-project;\n"),
        std::string::npos);
    EXPECT_EQ(DesktopEntryText("/usr/bin/slicewell", {}).find("MimeType"), std::string::npos);
}

TEST(DesktopEntry, OwnTypesAreKnownByGlobAndSignature) {
    // Would break: a project saved under another name not recognised as a project.
    const AssociatedType* project = FindAssociatedType("M3P");
    ASSERT_NE(project, nullptr);
    EXPECT_TRUE(project->Own);
    const std::string package = MimePackageText(*project);
    EXPECT_NE(package.find("<mime-type type=\"application/x-slicewell-project\">"),
              std::string::npos);
    EXPECT_NE(package.find("<glob pattern=\"*.m3p\"/>"), std::string::npos);
    EXPECT_NE(package.find("value=\"SlicewellProject\""), std::string::npos);
    EXPECT_EQ(OwnTypes().size(), 3U);
    ASSERT_NE(FindAssociatedType("mp3"), nullptr);
    EXPECT_FALSE(FindAssociatedType("mp3")->Own);
    EXPECT_EQ(FindAssociatedType("ogg"), nullptr);
}

TEST(InstalledFiles, DefineTheOwnTypesAndNameTheProgramAsItRegistersItself) {
    // Would break: a type's signature or name changed in the program but not in the package's
    // files, so that the installed desktop knows the files by other rules than a program run
    // from a build folder.
    const std::string package = ReadFile(SW_DATA_DIR "/slicewell.xml");
    const std::string installed = ReadFile(SW_DATA_DIR "/slicewell.desktop");
    const std::string registered = DesktopEntryText("slicewell", {});
    ASSERT_FALSE(package.empty());
    for (const AssociatedType* type : OwnTypes()) {
        const std::string text = MimePackageText(*type);
        const size_t start = text.find("  <mime-type");
        const size_t end = text.find("</mime-type>\n") + 13;
        EXPECT_NE(package.find(text.substr(start, end - start)), std::string::npos)
            << type->MimeType;
        EXPECT_NE(LineOf(installed, "MimeType").find(std::string(type->MimeType) + ";"),
                  std::string::npos)
            << type->MimeType;
    }
    for (const char* key : {"Type", "Name", "GenericName", "Comment", "Exec", "Categories"}) {
        EXPECT_EQ(LineOf(installed, key), LineOf(registered, key)) << key;
    }
}

TEST(DesktopEntry, WrittenEntryPassesTheDesktopsValidator) {
    // Would break: an entry that the desktop's own tools reject (a key or version they do not
    // know), so that no menu shows the program.
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "desktop-file-validate is not installed";
    }
    char folder[] = "/tmp/sw-entry-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string entry = std::string(folder) + "/slicewell.desktop";
    std::ofstream(entry) << DesktopEntryText("/opt/My Apps/slicewell",
                                             {"application/x-slicewell-project"});
    const std::string command = "desktop-file-validate '" + entry + "' >" + folder + "/out 2>&1";
    const int status = std::system(command.c_str());
    const std::string output = ReadFile(std::string(folder) + "/out");
    std::filesystem::remove_all(folder);
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output, "");
}

}  // namespace
}  // namespace sw
