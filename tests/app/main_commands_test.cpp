// The frame window's project commands without a window: caption, availability, questions, Save
// without a file, failures that must leave the project as it was, the close question.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/main_commands.h"
#include "app/settings/global_settings.h"
#include "frame_builder.h"
#include "project/export_planning.h"
#include "project/inline_front_end.h"
#include "project/scan_runner.h"
#include "scripted_prompts.h"
#include "stream/status.h"

namespace sw::test {
namespace {

using Kind = ScriptedPrompts::Kind;
using Answer = Prompts::Answer;

class PlayerCalls : public CutterLink {
  public:
    void EnablePlayer(bool enable) override { calls.push_back(enable); }
    std::vector<bool> calls;
};

// An inline front end whose user presses Abort before the first frame.
class AbortingFrontEnd : public InlineFrontEnd {
  public:
    int Run(const WorkerTask&, const std::function<int(WorkerControl&)>& work) override {
        WorkerControl control;
        control.RequestTerminate();
        return work(control);
    }
};

class MainCommandsTest : public ::testing::Test {
  protected:
    MainCommandsTest() {
        settings.TempFolder = dir.Path();
        settings.SaveIndexStream = false;
        commands.SetView(&view);
    }
    ~MainCommandsTest() override { EXPECT_TRUE(prompts.Done()) << "a scripted prompt never came"; }

    std::string Mp3(const std::string& name, int frames) {
        WriteFileBytes(dir.File(name), MakeFrames(frames));
        return dir.File(name);
    }
    void ImportOne() {
        document.Bin().ParseMP3List("", {Mp3("song.mp3", 12)});
        ASSERT_EQ(document.Bin().Count(), 1);
    }
    void AddCue() { document.Cues().AddCue(document.Bin().At(0), "cue", 2, 7); }
    int Export(const std::string& target, const TProjectProperties& project,
               const std::vector<const TCueObject*>& cues) {
        OperationFrontEnd& front = aborting ? static_cast<OperationFrontEnd&>(abortingFront)
                                            : static_cast<OperationFrontEnd&>(inlineFront);
        return ExportCues(cues, project, target, project.FileName, ExportStyle::Raw, front).status;
    }
    void ExpectNothingAvailable() const {
        EXPECT_FALSE(commands.NewEnabled());
        EXPECT_FALSE(commands.SaveEnabled());
        EXPECT_FALSE(commands.SaveAsEnabled());
    }
    std::string LastText() const {
        return prompts.History().empty() ? "" : prompts.History().back().text;
    }

    struct CountingView : MainCommandsView {
        void CommandsChanged() override { ++count; }
        int count = 0;
    };

    TempDir dir;
    TGlobalSettings settings = DefaultGlobalSettings();
    ScriptedPrompts prompts;
    CoreScanRunner scans{settings};
    ProjectDocument document{settings, prompts, scans};
    PlayerCalls player;
    InlineFrontEnd inlineFront;
    AbortingFrontEnd abortingFront;
    bool aborting = false;
    MainCommands commands{document, settings, prompts, &player,
                          [this](const std::string& target, const TProjectProperties& project,
                                 const std::vector<const TCueObject*>& cues) {
                              return Export(target, project, cues);
                          }};
    CountingView view;
};

TEST_F(MainCommandsTest, AFreshStartIsUntitled1WithNothingToSaveOrExport) {
    // A first Save or Export would write an empty project or an empty audio file.
    EXPECT_EQ(commands.Caption(), "Slicewell 4 - Untitled1");
    EXPECT_EQ(commands.ModifiedText(), "");
    ExpectNothingAvailable();
    EXPECT_FALSE(commands.ExportEnabled());
    EXPECT_EQ(document.Properties().ExportFlags, 3);
}

TEST_F(MainCommandsTest, AnImportMakesNewAndSaveAvailableAndSaveAsksForAName) {
    // Work imported into an untitled project could not be saved, or Save would write a file
    // called Untitled1 in whatever folder the program started in.
    ImportOne();
    EXPECT_EQ(commands.ModifiedText(), "Modified");
    EXPECT_TRUE(commands.NewEnabled());
    EXPECT_TRUE(commands.SaveEnabled());
    EXPECT_FALSE(commands.SaveAsEnabled());
    EXPECT_GT(view.count, 0);

    settings.LastSaveFolder = dir.Path();
    prompts.ExpectSaveFile(dir.File("Mix.m3p"));
    commands.Save();
    const Prompts::FileDialog& dialog = prompts.LastFileDialog();
    EXPECT_EQ(dialog.title, "Save current project as");
    EXPECT_EQ(dialog.fileName, "Untitled1");
    EXPECT_EQ(dialog.initialFolder, dir.Path());
    EXPECT_EQ(dialog.filter, "Projects (*.m3p)|*.m3p|All Files (*.*)|*.*");
    EXPECT_EQ(dialog.defaultExtension, "m3p");

    EXPECT_TRUE(std::filesystem::exists(dir.File("Mix.m3p")));
    EXPECT_EQ(commands.Caption(), "Slicewell 4 - Mix");
    EXPECT_EQ(commands.ModifiedText(), "");
    EXPECT_FALSE(commands.SaveEnabled());
    EXPECT_TRUE(commands.SaveAsEnabled());
    EXPECT_EQ(settings.LastSaveFolder, dir.Path());

    // The next change makes Save available again, and Save then writes without asking.
    AddCue();
    EXPECT_TRUE(commands.SaveEnabled());
    const auto before = std::filesystem::file_size(dir.File("Mix.m3p"));
    commands.Save();
    EXPECT_GT(std::filesystem::file_size(dir.File("Mix.m3p")), before);
    EXPECT_FALSE(commands.SaveEnabled());
}

TEST_F(MainCommandsTest, NewTwiceCountsTheUntitledNamesOnAndAsksOnlyForAModifiedProject) {
    // Two projects of one run would carry the same name, or New would throw work away unasked.
    ImportOne();
    prompts.ExpectYesNo(Answer::Yes);
    commands.New();
    EXPECT_EQ(prompts.History().back().text,
              "Current project was modified.\r\nAre you sure you want to start a new project?");
    EXPECT_EQ(commands.Caption(), "Slicewell 4 - Untitled2");
    EXPECT_EQ(document.Bin().Count(), 0);
    ExpectNothingAvailable();
    commands.New();  // not modified: no question
    EXPECT_EQ(commands.Caption(), "Slicewell 4 - Untitled3");
    EXPECT_EQ(prompts.History().size(), 1u);
}

TEST_F(MainCommandsTest, NoToTheNewOrOpenQuestionKeepsEverything) {
    // Answering No would still clear the bin and the cue list.
    ImportOne();
    AddCue();
    prompts.ExpectYesNo(Answer::No);
    commands.New();
    prompts.ExpectYesNo(Answer::No);
    commands.Open();
    EXPECT_EQ(prompts.History().back().text,
              "Current project was modified.\r\nAre you sure you want to open a new one?");
    EXPECT_EQ(document.Bin().Count(), 1);
    EXPECT_EQ(document.Cues().Count(), 1);
    EXPECT_TRUE(document.Modified());
    EXPECT_EQ(commands.Caption(), "Slicewell 4 - Untitled1");
}

TEST_F(MainCommandsTest, TheCaptionDropsOnlyTheFolderAndTheLastExtension) {
    // A project a.b.m3p would show as "a", or with its folder.
    commands.NameStartProject("/music/sets/a.b.m3p");
    EXPECT_EQ(commands.Caption(), "Slicewell 4 - a.b");
    commands.NameStartProject("/music/plain");
    EXPECT_EQ(commands.Caption(), "Slicewell 4 - plain");
}

TEST_F(MainCommandsTest, OpenLoadsTheProjectAndRemembersItsFolder) {
    // Open would leave the project without its file, so Save would ask for a name again.
    ImportOne();
    AddCue();
    prompts.ExpectSaveFile(dir.File("set.m3p"));
    commands.SaveAs();
    prompts.ExpectOpenFiles({dir.File("set.m3p")});
    commands.Open();
    const Prompts::FileDialog& dialog = prompts.LastFileDialog();
    EXPECT_EQ(dialog.title, "Select project to open");
    EXPECT_FALSE(dialog.multiple);
    EXPECT_EQ(dialog.fileName, "");
    EXPECT_EQ(document.Bin().Count(), 1);
    EXPECT_EQ(document.Cues().Count(), 1);
    EXPECT_EQ(commands.Caption(), "Slicewell 4 - set");
    EXPECT_EQ(settings.LastOpenFolder, dir.Path());
    EXPECT_TRUE(commands.NewEnabled());
    EXPECT_FALSE(commands.SaveEnabled());
    EXPECT_TRUE(commands.SaveAsEnabled());
    EXPECT_EQ(commands.ModifiedText(), "");

    // A file that ends inside its cue list lost cues: the project says so and is left to save.
    auto bytes = ReadFileBytes(dir.File("set.m3p"));
    bytes.resize(bytes.size() - 2);
    WriteFileBytes(dir.File("set.m3p"), bytes);
    prompts.ExpectOpenFiles({dir.File("set.m3p")});
    prompts.ExpectWarning();
    commands.Open();
    EXPECT_NE(LastText().find("1 of 1 cues could not be read"), std::string::npos) << LastText();
    EXPECT_TRUE(commands.SaveEnabled());
    EXPECT_EQ(commands.ModifiedText(), "Modified");
}

TEST_F(MainCommandsTest, AFileThatIsNoProjectLeavesAnEmptyProjectNamedAfterItWithoutAFile) {
    // Save would then overwrite the file the user picked by mistake, an MP3 file say.
    const std::string song = Mp3("song.mp3", 5);
    prompts.ExpectOpenFiles({song});
    prompts.ExpectError();
    commands.Open();
    EXPECT_EQ(LastText(), "Unable to load project");
    EXPECT_EQ(commands.Caption(), "Slicewell 4 - song");
    EXPECT_FALSE(document.HasFile());
    EXPECT_FALSE(commands.SaveAsEnabled());
    EXPECT_EQ(settings.LastOpenFolder, "");
    EXPECT_EQ(ReadFileBytes(song), MakeFrames(5));
}

TEST_F(MainCommandsTest, AStartProjectThatCannotBeLoadedIsReported) {
    // A project opened from the desktop that fails to load would silently show an empty one.
    commands.NameStartProject(dir.File("gone.m3p"));
    prompts.ExpectError();
    commands.LoadStartProject(dir.File("gone.m3p"));
    EXPECT_EQ(LastText(), "Unable to load project");
    EXPECT_EQ(commands.Caption(), "Slicewell 4 - gone");
    EXPECT_FALSE(document.HasFile());
}

TEST_F(MainCommandsTest, AFailedSaveAsShowsWhyAndKeepsTheProjectAsItWas) {
    // A failure reported as success loses the work at the next New; a failed write that
    // replaced the target destroys the file it hit.
    ImportOne();
    const std::string source = document.Bin().At(0)->FileName;
    prompts.ExpectSaveFile(source);  // the bin holds it open: it may not be replaced
    prompts.ExpectError();
    commands.SaveAs();
    EXPECT_EQ(LastText(), "Cannot create file " + source);
    EXPECT_EQ(ReadFileBytes(source), MakeFrames(12));
    EXPECT_TRUE(document.Modified());
    EXPECT_FALSE(document.HasFile());
    EXPECT_TRUE(commands.SaveEnabled());
    EXPECT_EQ(commands.Caption(), "Slicewell 4 - Untitled1");
    EXPECT_EQ(settings.LastSaveFolder, "");
}

TEST_F(MainCommandsTest, AFailedSaveKeepsSaveAvailableAndTheProjectModified) {
    // Save would turn itself off although nothing was written, and the next quit would not ask.
    ImportOne();
    const std::string target = dir.File("keep.m3p");
    prompts.ExpectSaveFile(target);
    commands.SaveAs();
    AddCue();
    // The project file's name is taken by a folder now: the finished file cannot replace it.
    std::filesystem::remove(target);
    std::filesystem::create_directory(target);
    prompts.ExpectError();
    commands.Save();
    EXPECT_EQ(prompts.History().back().kind, Kind::Error);
    EXPECT_TRUE(document.Modified());
    EXPECT_TRUE(document.HasFile());
    EXPECT_TRUE(commands.SaveEnabled());
    EXPECT_EQ(commands.ModifiedText(), "Modified");
    EXPECT_TRUE(std::filesystem::is_empty(target));
}

TEST_F(MainCommandsTest, ChangedPropertiesMakeSaveAvailableWithoutModifiedOrAQuitQuestion) {
    // A tag edit could not be saved, or quitting after one would ask about an unchanged bin.
    ImportOne();
    prompts.ExpectSaveFile(dir.File("tagged.m3p"));
    commands.SaveAs();
    commands.PropertiesClosed(false);
    EXPECT_FALSE(commands.SaveEnabled());
    commands.PropertiesClosed(true);
    EXPECT_TRUE(commands.SaveEnabled());
    EXPECT_EQ(commands.ModifiedText(), "");
    EXPECT_TRUE(commands.CanClose());
}

TEST_F(MainCommandsTest, QuittingAsksOnlyWhenModifiedWorkWouldBeLost) {
    // Either a quit loses work unasked, or No still ends the program.
    EXPECT_TRUE(commands.CanClose());
    document.SetModified(true);  // modified, yet nothing in the bin or the cue list
    EXPECT_TRUE(commands.CanClose());
    ImportOne();
    prompts.ExpectYesNo(Answer::No);
    EXPECT_FALSE(commands.CanClose());
    EXPECT_EQ(LastText(), "Current project was modified.\r\nAre you sure you want to quit?");
    EXPECT_EQ(prompts.History().back().caption, "Confirm");
    EXPECT_EQ(document.Bin().Count(), 1);
    EXPECT_TRUE(document.Modified());
    prompts.ExpectYesNo(Answer::Yes);
    EXPECT_TRUE(commands.CanClose());
}

TEST_F(MainCommandsTest, ExportWritesTheCuesAndRemembersTheFolderWithThePlayerSuspended) {
    // The player would read the sources while the worker does, or stay paused afterwards.
    ImportOne();
    AddCue();
    commands.EnableExport(true);
    EXPECT_TRUE(commands.ExportEnabled());
    const std::string target = dir.File("out/Untitled1.mp3");
    std::filesystem::create_directory(dir.File("out"));
    prompts.ExpectSaveFile(target);
    commands.Export();
    const Prompts::FileDialog& dialog = prompts.LastFileDialog();
    EXPECT_EQ(dialog.title, "Export current project as");
    EXPECT_EQ(dialog.fileName, "Untitled1");
    EXPECT_EQ(dialog.defaultExtension, "mp3");
    EXPECT_EQ(dialog.filter, "MP3 Files (*.mp3)|*.mp3|WAV Files (*.wav)|*.wav|All Files (*.*)|*.*");
    EXPECT_EQ(player.calls, (std::vector<bool>{false, true}));
    EXPECT_EQ(settings.LastSaveFolder, dir.File("out"));
    // Frames 2..7 of the source, then the project's (empty) tag.
    EXPECT_GE(std::filesystem::file_size(target), 6u * MakeFrame().size());
}

TEST_F(MainCommandsTest, ACleanExportAsksBeforeJoiningStreamsPlayersMisread) {
    // A stereo cue followed by a mono one makes a file players read wrongly: the user decides.
    ImportOne();
    HeaderSpec mono;
    mono.channelMode = 3;
    WriteFileBytes(dir.File("mono.mp3"), MakeFrames(12, mono));
    document.Bin().ParseMP3List("", {dir.File("mono.mp3")});
    ASSERT_EQ(document.Bin().Count(), 2);
    AddCue();
    document.Cues().AddCue(document.Bin().At(1), "mono cue", 0, 3);
    const std::string target = dir.File("joined.mp3");
    prompts.ExpectSaveFile(target);
    prompts.ExpectYesNo(Prompts::Answer::No);
    commands.Export();
    EXPECT_EQ(LastText(),
              "The cues \"cue\" and \"mono cue\" differ in MPEG version, layer, sample rate or "
              "channel mode.\r\nPlayers misread a file that joins them; it is joined as it "
              "is.\r\nExport anyway?");
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_TRUE(player.calls.empty()) << "nothing was exported, nothing paused";

    prompts.ExpectSaveFile(target);
    prompts.ExpectYesNo(Prompts::Answer::Yes);
    commands.Export();
    EXPECT_TRUE(std::filesystem::exists(target));
    // The plain copy joins as it always did, without asking.
    settings.CleanCuts = false;
    prompts.ExpectSaveFile(target);
    commands.Export();
}

TEST_F(MainCommandsTest, AnAbortedOrImpossibleExportIsReportedAndKeepsTheFolder) {
    // An aborted export would count as done and move the save folder to where it stopped.
    ImportOne();
    AddCue();
    settings.LastSaveFolder = "/before";
    aborting = true;
    prompts.ExpectSaveFile(dir.File("aborted.mp3"));
    prompts.ExpectError();
    commands.Export();
    EXPECT_EQ(LastText(), StatusText(kStatusAborted));
    EXPECT_EQ(prompts.History().back().caption, "Error");
    EXPECT_EQ(settings.LastSaveFolder, "/before");

    aborting = false;
    player.calls.clear();
    prompts.ExpectSaveFile(dir.File("no folder/x.mp3"));
    prompts.ExpectError();
    commands.Export();
    EXPECT_EQ(LastText(), "Cannot create file " + dir.File("no folder/x.mp3"));
    EXPECT_EQ(player.calls, (std::vector<bool>{false, true}));
    EXPECT_EQ(settings.LastSaveFolder, "/before");
}

TEST_F(MainCommandsTest, CancelledDialogsChangeNothing) {
    // A cancelled dialog would clear the project or export to an empty name.
    ImportOne();
    prompts.ExpectSaveFile("");
    commands.Save();
    prompts.ExpectSaveFile("");
    commands.Export();
    prompts.ExpectYesNo(Answer::Yes);
    prompts.ExpectOpenFiles({});
    commands.Open();
    EXPECT_EQ(document.Bin().Count(), 1);
    EXPECT_TRUE(document.Modified());
    EXPECT_TRUE(player.calls.empty());
}

TEST(ReadMeFileTest, LiesBesideTheExecutable) {
    // The Help menu would look for the read-me in the current folder.
    EXPECT_EQ(ReadMeFile("/opt/slicewell/bin"), "/opt/slicewell/bin/README.TXT");
}

TEST(ReadMeFileTest, NoProgramToShowItIsSaidInABox) {
    // The desktop without a program for text files only wrote a line on stderr; the menu item
    // seemed to do nothing.
    TempDir dir;
    const std::string readMe = ReadMeFile(dir.Path());
    WriteFileBytes(readMe, {'h', 'i'});
    ScriptedPrompts prompts;
    std::vector<std::string> opened;
    ShowReadMe(
        readMe,
        [&](const std::string& file) {
            opened.push_back(file);
            return true;
        },
        prompts);
    EXPECT_EQ(opened, std::vector<std::string>{readMe});
    prompts.ExpectError();
    ShowReadMe(
        readMe, [](const std::string&) { return false; }, prompts);
    ASSERT_EQ(prompts.History().size(), 1u);
    EXPECT_EQ(prompts.History()[0].caption, "Error");
    EXPECT_EQ(prompts.History()[0].text,
              "Unable to open " + readMe + "\r\nNo program is set up to show text files");
    std::filesystem::remove(readMe);  // vanished since start-up: nothing to say
    ShowReadMe(
        readMe, [](const std::string&) { return false; }, prompts);
    EXPECT_EQ(prompts.History().size(), 1u);
}

}  // namespace
}  // namespace sw::test
