// The project document over the bin and the cue list: save and load, the failure table, the
// document state.

#include <gtest/gtest.h>

#include "frame_builder.h"
#include "project/project_document.h"
#include "project/project_file.h"
#include "scripted_prompts.h"
#include "stream/file_errors.h"
#include "stream/file_names.h"

namespace sw::test {
namespace {

class CountingObserver : public DocumentObserver {
  public:
    void DocumentStateChanged() override { ++count; }
    int count = 0;
};

class ProjectDocumentTest : public ::testing::Test {
  protected:
    ProjectDocumentTest() {
        settings.TempFolder = dir.Path();
        settings.SaveIndexStream = false;
        document.SetObserver(&observer);
    }
    std::string WriteMp3(const std::string& name, int count) {
        WriteFileBytes(dir.File(name), MakeFrames(count));
        return dir.File(name);
    }
    // Two files and three cues, one of them on the second file.
    void Fill() {
        ASSERT_EQ(
            document.Bin().ParseMP3List("", {WriteMp3("one.mp3", 10), WriteMp3("two.mp3", 6)}),
            kImportAdded);
        CueListModel& cues = document.Cues();
        cues.AddCue(document.Bin().At(0), "intro", 0, 3);
        cues.AddCue(document.Bin().At(1), "second file", 2, 5);
        cues.AddCue(document.Bin().At(0), "", 4, 9);
        document.Properties().Comment = "notes";
        document.Properties().Tag.Title = "Title";
        document.Properties().Private = 1;
        document.Properties().ExportFlags = 1;
    }

    TempDir dir;
    TGlobalSettings settings = DefaultGlobalSettings();
    ScriptedPrompts prompts;
    CoreScanRunner scans{settings};
    ProjectDocument document{settings, prompts, scans};
    CountingObserver observer;
};

TEST_F(ProjectDocumentTest, SaveThenLoadGivesBackTheFilesCuesAndProperties) {
    // Anything lost here is the user's work lost at the next open.
    Fill();
    EXPECT_TRUE(document.Modified());
    const std::string file = dir.File("work.m3p");
    ASSERT_TRUE(document.SaveProject(file));
    EXPECT_FALSE(document.Modified());
    EXPECT_TRUE(document.HasFile());
    EXPECT_EQ(document.ProjectName(), file);
    const auto saved = ReadFileBytes(file);

    CoreScanRunner otherScans(settings);
    ProjectDocument other(settings, prompts, otherScans);
    ASSERT_TRUE(other.LoadProject(file));
    EXPECT_FALSE(other.Modified());
    EXPECT_TRUE(other.HasFile());
    EXPECT_EQ(other.ProjectName(), file);
    ASSERT_EQ(other.Bin().Count(), 2);
    EXPECT_EQ(other.Bin().At(1)->FileName, dir.File("two.mp3"));
    ASSERT_EQ(other.Cues().Count(), 3);
    EXPECT_EQ(other.Cues().At(1)->CutObject, other.Bin().At(1));
    EXPECT_EQ(other.Cues().At(1)->Name, "second file");
    EXPECT_EQ(other.Cues().At(2)->MarkIn, 4);
    EXPECT_EQ(other.Properties().Comment, "notes");
    EXPECT_EQ(other.Properties().ExportFlags, 1);

    // Saving what was loaded writes the same bytes.
    const std::string again = dir.File("again.m3p");
    ASSERT_TRUE(other.SaveProject(again));
    EXPECT_EQ(ReadFileBytes(again), saved);
}

TEST_F(ProjectDocumentTest, ACueOnAFileMissingFromTheListImportsThatFile) {
    // Dropping such a cue would lose it though its file is at hand.
    ProjectFileContents contents;
    contents.Cues.push_back({WriteMp3("only.mp3", 4), "cue", 1, 2});
    WriteProjectFile(dir.File("p.m3p"), contents);
    ASSERT_TRUE(document.LoadProject(dir.File("p.m3p")));
    ASSERT_EQ(document.Bin().Count(), 1);
    ASSERT_EQ(document.Cues().Count(), 1);
    EXPECT_EQ(document.Cues().At(0)->CutObject, document.Bin().At(0));
}

TEST_F(ProjectDocumentTest, RelativeNamesAreTakenInTheProjectsFolder) {
    // Taken in the current folder, a project made by hand or by a tool beside its files loads
    // nothing, while the command line's export of the same project finds every file.
    ProjectFileContents contents;
    WriteMp3("one.mp3", 4);
    WriteMp3("two.mp3", 4);
    contents.Files = {"one.mp3"};
    contents.Cues.push_back({"two.mp3", "cue", 1, 2});
    contents.Cues.push_back({"one.mp3", "other", 0, 3});
    WriteProjectFile(dir.File("p.m3p"), contents);
    ASSERT_TRUE(document.LoadProject(dir.File("p.m3p")));
    ASSERT_EQ(document.Bin().Count(), 2);
    EXPECT_EQ(document.Bin().At(0)->FileName, dir.File("one.mp3"));
    EXPECT_EQ(document.Bin().At(1)->FileName, dir.File("two.mp3"));
    ASSERT_EQ(document.Cues().Count(), 2);
    EXPECT_EQ(document.Cues().At(0)->CutObject, document.Bin().At(1));
    EXPECT_EQ(document.Cues().At(1)->CutObject, document.Bin().At(0));
}

TEST_F(ProjectDocumentTest, ACueWhoseFileDiffersOnlyInCaseIsDropped) {
    // A case-blind match would attach the cue to another file.
    ProjectFileContents contents;
    contents.Files.push_back(WriteMp3("take.mp3", 4));
    contents.Cues.push_back({dir.File("Take.mp3"), "cue", 1, 2});
    WriteProjectFile(dir.File("p.m3p"), contents);
    prompts.ExpectErrorYesNo(Prompts::Answer::Yes);  // "Unable to find file .../Take.mp3"
    ASSERT_TRUE(document.LoadProject(dir.File("p.m3p")));
    EXPECT_EQ(document.Bin().Count(), 1);
    EXPECT_EQ(document.Cues().Count(), 0);
}

TEST_F(ProjectDocumentTest, FilesThatAreNoProjectLoadNothing) {
    // Reading a foreign file as a project would fill the bin with garbage names.
    EXPECT_FALSE(document.LoadProject(dir.File("none.m3p")));
    WriteFileBytes(dir.File("short.m3p"), std::vector<uint8_t>(15, 'S'));
    EXPECT_FALSE(document.LoadProject(dir.File("short.m3p")));
    const std::string wrongCase = "SlicewellprojecT";
    std::vector<uint8_t> bytes(wrongCase.begin(), wrongCase.end());
    bytes.resize(60, 0);
    WriteFileBytes(dir.File("case.m3p"), bytes);
    EXPECT_FALSE(document.LoadProject(dir.File("case.m3p")));
    EXPECT_FALSE(document.Loading());
    EXPECT_FALSE(document.HasFile());
    EXPECT_EQ(document.Bin().Count(), 0);
}

TEST_F(ProjectDocumentTest, AFileEndingBeforeItsCueCountKeepsWhatWasReadButIsNotLoaded) {
    // Marking a broken file as loaded would let Save overwrite it with less than it held.
    ProjectFileContents contents;
    contents.Files.push_back(WriteMp3("kept.mp3", 4));
    contents.Properties.Comment = "partial";
    WriteProjectFile(dir.File("cut.m3p"), contents);
    auto bytes = ReadFileBytes(dir.File("cut.m3p"));
    bytes.resize(bytes.size() - 4);  // the cue count
    WriteFileBytes(dir.File("cut.m3p"), bytes);
    EXPECT_THROW(document.LoadProject(dir.File("cut.m3p")), StreamReadError);
    EXPECT_FALSE(document.Loading());
    EXPECT_FALSE(document.HasFile());
    EXPECT_EQ(document.Bin().Count(), 1);
    EXPECT_EQ(document.Properties().Comment, "partial");
    EXPECT_NE(document.ProjectName(), dir.File("cut.m3p"));
}

TEST_F(ProjectDocumentTest, AFileEndingInsideItsCueListSaysSoAndLeavesTheProjectModified) {
    // The cues after the cut vanished without a word, and the project looked saved: a Save
    // would have made the loss final.
    Fill();
    ASSERT_TRUE(document.SaveProject(dir.File("p.m3p")));
    auto bytes = ReadFileBytes(dir.File("p.m3p"));
    bytes.resize(bytes.size() - 5);  // inside the last cue's marks
    WriteFileBytes(dir.File("p.m3p"), bytes);
    document.ClearProject();
    prompts.ExpectWarning();
    ASSERT_TRUE(document.LoadProject(dir.File("p.m3p")));
    EXPECT_TRUE(prompts.Done());
    EXPECT_NE(prompts.Texts().back().find("1 of 3 cues could not be read"), std::string::npos)
        << prompts.Texts().back();
    EXPECT_EQ(document.Cues().Count(), 2);
    EXPECT_TRUE(document.HasFile());
    EXPECT_TRUE(document.Modified());
}

TEST_F(ProjectDocumentTest, ChangesWhileLoadingDoNotMarkTheProjectModified) {
    // A project fresh from its file would otherwise ask to be saved.
    Fill();
    ASSERT_TRUE(document.SaveProject(dir.File("p.m3p")));
    document.ClearProject();
    EXPECT_FALSE(document.Modified());
    ASSERT_TRUE(document.LoadProject(dir.File("p.m3p")));
    EXPECT_FALSE(document.Modified());
    document.Bin().Rename(0, "changed");
    EXPECT_TRUE(document.Modified());
}

TEST_F(ProjectDocumentTest, ANewProjectIsUntitledWithTagAndFlagsExported) {
    // A new project that exported no tag, or reused a name, surprises the user.
    Fill();
    EXPECT_EQ(document.UntitledName(), "Untitled1");
    document.NewProject();
    EXPECT_EQ(document.ProjectName(), "Untitled2");
    EXPECT_EQ(document.Bin().Count(), 0);
    EXPECT_EQ(document.Cues().Count(), 0);
    EXPECT_FALSE(document.Modified());
    EXPECT_EQ(document.Properties().Comment, "");
    ASSERT_TRUE(document.SaveProject(dir.File("new.m3p")));
    const auto bytes = ReadFileBytes(dir.File("new.m3p"));
    // signature, six empty texts, genre, track, three flags, then the export flags
    ASSERT_GE(bytes.size(), 16u + 12 + 5 + 4);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 33, bytes.begin() + 37),
              (std::vector<uint8_t>{3, 0, 0, 0}));
    EXPECT_GT(observer.count, 0);
}

TEST_F(ProjectDocumentTest, SavingOverAHeldSourceIsRefusedAndChangesNothing) {
    // Replacing an open source with a project file would destroy the audio being cut.
    Fill();
    const std::string source = document.Bin().At(0)->FileName;
    const auto audio = ReadFileBytes(source);
    EXPECT_THROW(document.SaveProject(source), FileCreateError);
    EXPECT_EQ(ReadFileBytes(source), audio);
    EXPECT_TRUE(document.Modified());
    EXPECT_FALSE(document.HasFile());
}

}  // namespace
}  // namespace sw::test
