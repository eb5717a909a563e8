#include "app/file_associations.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/association_texts.h"

namespace sw {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void Write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

ino_t Inode(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

// A private pair of XDG folders; the refresh commands are recorded instead of run.
class Associations : public ::testing::Test {
  protected:
    void SetUp() override {
        char name[] = "/tmp/sw-assoc-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        root_ = name;
        place_.DataHome = (root_ / "data").string();
        place_.ConfigHome = (root_ / "config").string();
        place_.Executable = "/opt/slicewell/bin/slicewell";
        place_.RunTool = [this](const std::vector<std::string>& argv) { runs_.push_back(argv[0]); };
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path Entry() const { return root_ / "data/applications/slicewell.desktop"; }
    fs::path Package(const char* extension) const {
        return root_ / "data/mime/packages" / (std::string("slicewell-") + extension + ".xml");
    }
    fs::path MimeApps() const { return root_ / "config/mimeapps.list"; }

    fs::path root_;
    AssociationPlace place_;
    std::vector<std::string> runs_;
};

const char* const kUsersList =
    "[Default Applications]\n"
    "audio/mpeg=player.desktop\n"
    "\n"
    "[Added Associations]\n"
    "audio/mpeg=player.desktop;\n";

TEST_F(Associations, OwnTypeIsWrittenOnceAndLeftAloneOnLaterStarts) {
    // Would break: every start rewriting files and rebuilding the desktop's databases.
    ASSERT_TRUE(RegisterFileAssociation(place_, "m3p"));
    EXPECT_TRUE(fs::exists(Package("m3p")));
    EXPECT_NE(Read(Entry()).find("MimeType=application/x-slicewell-project;\n"), std::string::npos);
    EXPECT_EQ(runs_, (std::vector<std::string>{"update-mime-database", "update-desktop-database"}));
    EXPECT_FALSE(fs::exists(MimeApps()));

    const ino_t package = Inode(Package("m3p"));
    const ino_t entry = Inode(Entry());
    runs_.clear();
    ASSERT_TRUE(RegisterFileAssociation(place_, "m3p"));
    EXPECT_TRUE(runs_.empty());
    EXPECT_EQ(Inode(Package("m3p")), package);
    EXPECT_EQ(Inode(Entry()), entry);
}

TEST_F(Associations, AnotherProgramsTypeGainsTheProgramButKeepsItsDefault) {
    // Would break: registering "mp3" making the cutter the user's default MP3 player, or the
    // removal leaving traces in the user's own file.
    Write(MimeApps(), kUsersList);
    ASSERT_TRUE(RegisterFileAssociation(place_, "mp3"));
    const std::string list = Read(MimeApps());
    EXPECT_NE(list.find("[Default Applications]\naudio/mpeg=player.desktop\n"), std::string::npos);
    EXPECT_NE(list.find("audio/mpeg=player.desktop;slicewell.desktop;"), std::string::npos);
    EXPECT_TRUE(fs::exists(Entry()));
    EXPECT_FALSE(fs::exists(Package("mp3")));
    EXPECT_EQ(runs_, (std::vector<std::string>{"update-desktop-database"}));

    runs_.clear();
    ASSERT_TRUE(RegisterFileAssociation(place_, "mp3"));
    EXPECT_EQ(Read(MimeApps()), list);
    EXPECT_TRUE(runs_.empty());

    ASSERT_TRUE(UnregisterFileAssociation(place_, "mp3"));
    EXPECT_EQ(Read(MimeApps()), kUsersList);
    EXPECT_FALSE(fs::exists(Entry()));
}

TEST_F(Associations, DesktopEntryStaysWhileAnyAssociationNeedsIt) {
    // Would break: an added association left naming a desktop entry that was deleted, or the
    // entry declaring a type after it was unregistered.
    ASSERT_TRUE(RegisterFileAssociation(place_, "m3p"));
    ASSERT_TRUE(RegisterFileAssociation(place_, "m3q"));
    ASSERT_TRUE(RegisterFileAssociation(place_, "wav"));
    ASSERT_TRUE(UnregisterFileAssociation(place_, "m3p"));
    EXPECT_FALSE(fs::exists(Package("m3p")));
    EXPECT_NE(Read(Entry()).find("MimeType=application/x-slicewell-cue;\n"), std::string::npos);
    ASSERT_TRUE(UnregisterFileAssociation(place_, "m3q"));
    EXPECT_TRUE(fs::exists(Entry()));
    EXPECT_EQ(Read(Entry()).find("MimeType"), std::string::npos);
    ASSERT_TRUE(UnregisterFileAssociation(place_, "wav"));
    EXPECT_FALSE(fs::exists(Entry()));
    // The file the program created alone goes with its last line.
    EXPECT_FALSE(fs::exists(MimeApps()));
    // Removing what is not there is no failure and writes nothing.
    runs_.clear();
    EXPECT_TRUE(UnregisterFileAssociation(place_, "m3i"));
    EXPECT_TRUE(runs_.empty());
}

TEST_F(Associations, TypeTheUserTookTheProgramOffLeavesNoEntryBehind) {
    // Would break: every start writing a desktop entry that nothing uses.
    Write(MimeApps(), "[Removed Associations]\naudio/mpeg=slicewell.desktop;\n");
    ASSERT_TRUE(RegisterFileAssociation(place_, "mp3"));
    EXPECT_FALSE(fs::exists(Entry()));
    EXPECT_EQ(Read(MimeApps()), "[Removed Associations]\naudio/mpeg=slicewell.desktop;\n");
}

TEST_F(Associations, MovedProgramGetsItsExecLineUpdated) {
    // Would break: after an upgrade to another folder, opening a project starting nothing.
    ASSERT_TRUE(RegisterFileAssociation(place_, "m3i"));
    place_.Executable = "/usr/local/bin/slicewell";
    runs_.clear();
    ASSERT_TRUE(RegisterFileAssociation(place_, "m3i"));
    EXPECT_NE(Read(Entry()).find("Exec=/usr/local/bin/slicewell %F\n"), std::string::npos);
    EXPECT_EQ(runs_, (std::vector<std::string>{"update-desktop-database"}));
}

TEST_F(Associations, LinkedMimeAppsListStaysALink) {
    // Would break: a mimeapps.list kept in a dotfiles folder replaced by a copy on first start.
    const fs::path real = root_ / "dotfiles/mimeapps.list";
    Write(real, kUsersList);
    fs::create_directories(MimeApps().parent_path());
    fs::create_symlink(real, MimeApps());
    ASSERT_TRUE(RegisterFileAssociation(place_, "m3u"));
    EXPECT_TRUE(fs::is_symlink(MimeApps()));
    EXPECT_NE(Read(real).find("audio/x-mpegurl=slicewell.desktop;"), std::string::npos);
    ASSERT_TRUE(UnregisterFileAssociation(place_, "m3u"));
    EXPECT_EQ(Read(real), kUsersList);
}

TEST_F(Associations, InstalledProgramAddsOnlyOtherTypesAssociationsAndRemovesExactlyThose) {
    // Would break: an installed program copying the package's desktop entry and types into the
    // user's home, where they would shadow the package's and outlive its removal.
    place_.Installed = true;
    Write(MimeApps(), kUsersList);
    for (const char* extension : {"m3q", "m3p", "m3i", "mp3", "wav"}) {
        ASSERT_TRUE(RegisterFileAssociation(place_, extension));
    }
    EXPECT_FALSE(fs::exists(root_ / "data"));
    EXPECT_TRUE(runs_.empty());
    const std::string list = Read(MimeApps());
    EXPECT_NE(list.find("audio/mpeg=player.desktop;slicewell.desktop;"), std::string::npos);
    EXPECT_NE(list.find("audio/x-wav=slicewell.desktop;"), std::string::npos);

    for (const char* extension : {"mp3", "wav", "m3u", "m3q", "m3p", "m3i"}) {
        ASSERT_TRUE(UnregisterFileAssociation(place_, extension));
    }
    EXPECT_EQ(Read(MimeApps()), kUsersList);
    EXPECT_FALSE(fs::exists(root_ / "data"));
}

TEST_F(Associations, InstalledProgramLeavesABuildFoldersCopiesUntilTheyAreRemoved) {
    // Would break: an installed start deleting the entry a build folder's run still needs (or a
    // copy the user edited), or "/r" leaving the build folder's copies behind.
    ASSERT_TRUE(RegisterFileAssociation(place_, "m3p"));
    ASSERT_TRUE(RegisterFileAssociation(place_, "mp3"));
    const std::string entry = Read(Entry());
    place_.Installed = true;
    place_.Executable = "/usr/bin/slicewell";
    runs_.clear();
    ASSERT_TRUE(RegisterFileAssociation(place_, "m3p"));
    ASSERT_TRUE(RegisterFileAssociation(place_, "mp3"));
    EXPECT_EQ(Read(Entry()), entry);
    EXPECT_TRUE(runs_.empty());

    ASSERT_TRUE(UnregisterFileAssociation(place_, "m3p"));
    EXPECT_FALSE(fs::exists(Package("m3p")));
    EXPECT_EQ(Read(Entry()), entry);  // still named by the MP3 association
    ASSERT_TRUE(UnregisterFileAssociation(place_, "mp3"));
    EXPECT_FALSE(fs::exists(Entry()));
    EXPECT_FALSE(fs::exists(MimeApps()));
}

TEST_F(Associations, OnlyAnInstallationTheDesktopSeesCounts) {
    // Would break: a program in a build folder, or one installed where the desktop does not
    // look (a staging folder, an unusual prefix), leaving the user without any entry or types.
    const fs::path prefix = root_ / "usr";
    const std::string program = (prefix / "bin/slicewell").string();
    const std::string share = (prefix / "share").string();
    Write(program, "");
    EXPECT_FALSE(IsInstalledForDesktop(program, "../share", "", share));
    Write(prefix / "share/applications/slicewell.desktop", "");
    EXPECT_FALSE(IsInstalledForDesktop(program, "../share", "", share));
    Write(prefix / "share/mime/packages/slicewell.xml", "");
    EXPECT_TRUE(IsInstalledForDesktop(program, "../share", "", "/nonexistent:" + share + "/"));
    EXPECT_TRUE(IsInstalledForDesktop(program, "../share", share, "/usr/share"));
    EXPECT_FALSE(IsInstalledForDesktop(program, "../share", "", ""));  // the XDG default
    EXPECT_FALSE(
        IsInstalledForDesktop((root_ / "build/app/slicewell").string(), "../share", "", share));
}

TEST_F(Associations, UnknownTypesAndUnwritableFoldersFailWithoutHarm) {
    // Would break: a start crashing on a read-only data folder instead of going on.
    EXPECT_FALSE(RegisterFileAssociation(place_, "ogg"));
    EXPECT_FALSE(fs::exists(root_ / "data"));
    Write(root_ / "data", "a file where the folder should be");
    EXPECT_FALSE(RegisterFileAssociation(place_, "m3p"));
    place_.Executable = "/opt/line\nbreak/slicewell";
    EXPECT_FALSE(RegisterFileAssociation(place_, "mp3"));
}

TEST_F(Associations, RealMimeDatabaseLearnsTheOwnTypes) {
    // Would break: packages that update-mime-database rejects, so no file manager knows them.
    if (std::system("command -v update-mime-database >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "update-mime-database is not installed";
    }
    place_.RunTool = RunDatabaseTool;
    for (const char* extension : {"m3q", "m3p", "m3i"}) {
        ASSERT_TRUE(RegisterFileAssociation(place_, extension));
    }
    const std::string globs = Read(root_ / "data/mime/globs2");
    EXPECT_NE(globs.find("application/x-slicewell-project:*.m3p"), std::string::npos);
    EXPECT_NE(globs.find("application/x-slicewell-cue:*.m3q"), std::string::npos);
    EXPECT_NE(Read(root_ / "data/mime/magic").find("SlicewellProject"), std::string::npos);
}

TEST(AssociationTools, MissingToolIsSkipped) {
    // Would break: a start without the desktop utilities aborting or hanging.
    RunDatabaseTool({"slicewell-no-such-database-tool", "/nonexistent"});
    RunDatabaseTool({});
    SUCCEED();
}

TEST(AssociationPlaces, RelativeXdgFoldersAreIgnored) {
    // Would break: associations written into whatever folder the program was started from.
    const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    setenv("XDG_DATA_HOME", "relative/data", 1);
    setenv("XDG_CONFIG_HOME", "/abs/config", 1);
    const AssociationPlace place = UserAssociationPlace();
    unsetenv("XDG_DATA_HOME");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(place.ConfigHome, "/abs/config");
    EXPECT_EQ(place.DataHome.substr(place.DataHome.size() - 13), "/.local/share");
    EXPECT_EQ(place.DataHome[0], '/');
    EXPECT_FALSE(place.Executable.empty());
}

}  // namespace
}  // namespace sw
