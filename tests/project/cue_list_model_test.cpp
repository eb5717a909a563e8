// The cue list model: numbering, totals, order, the export names and commands, cue files.

#include <sys/stat.h>

#include <numeric>

#include "model_fixture.h"
#include "project/cue_file.h"
#include "project/inline_front_end.h"
#include "stream/file_names.h"

namespace sw::test {
namespace {

class CueListModelTest : public ModelFixture {
  protected:
    TCutObject* Import(const std::string& name, int frames) {
        const std::string fileName = WriteMp3(name, frames);
        EXPECT_EQ(bin.ParseMP3List("", {fileName}), kImportAdded);
        return bin.At(bin.Count() - 1);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int row = 0; row < cues.Count(); ++row) {
            names.push_back(cues.At(row)->Name);
        }
        return names;
    }
    int64_t RecountedFrames() const {
        int64_t total = 0;
        for (int row = 0; row < cues.Count(); ++row) {
            total += CueFrames(*cues.At(row));
        }
        return total;
    }
};

TEST_F(CueListModelTest, MarkedCueNumbersAreNeverReassignedAfterDeletion) {
    // Renumbering would rename cues the user already knows by their number.
    TCutObject* cut = Import("take.mp3", 10);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(cues.AddMarkedCue(cut));
    }
    cues.Delete({1});
    ASSERT_TRUE(cues.AddMarkedCue(cut));
    EXPECT_EQ(Names(), (std::vector<std::string>{"Cue 1: take", "Cue 3: take", "Cue 3: take"}));
    EXPECT_EQ(cues.At(2)->MarkIn, 0);
    EXPECT_EQ(cues.At(2)->MarkOut, 9);
}

TEST_F(CueListModelTest, TotalsAfterTheLastDeleteShowZeroAndDisableTheExport) {
    // Stale totals would leave the project export enabled with nothing to export.
    TCutObject* cut = Import("take.mp3", 10);
    cues.AddMarkedCue(cut);
    EXPECT_TRUE(cues.Totals().ExportEnabled);
    cues.Delete({0});
    EXPECT_EQ(cues.Totals().FramesText, "Total frames: 0");
    EXPECT_EQ(cues.Totals().TimeText, "Total time: 00:00:00.00");
    EXPECT_FALSE(cues.Totals().ExportEnabled);
}

TEST_F(CueListModelTest, TotalTimeUsesThirtyEightFramesPerSecondWhateverTheFiles) {
    // Totals at the files' own rates would disagree with the fixed reference the panel shows.
    settings.RealTimeCodes = false;
    HeaderSpec spec;
    spec.rateIndex = 1;  // 48 kHz
    const std::string fileName = WriteMp3("fast.mp3", 4, spec);
    ASSERT_EQ(bin.ParseMP3List("", {fileName}), kImportAdded);
    TCutObject* cut = bin.At(0);
    ASSERT_TRUE(cues.AddCue(cut, "long", 0, 38 * 61 + 5 - 1));
    EXPECT_EQ(cues.Totals().FramesText, "Total frames: 2323");
    EXPECT_EQ(cues.Totals().TimeText, "Total time: 00:01:01.05");
    // The row's own time is at the file's rate (48 kHz at 128 kbit/s: 384-byte frames, 42 fps).
    EXPECT_EQ(cues.RowTexts(0).Time, "00:00:55.13");
}

TEST_F(CueListModelTest, RealTimesAreEachFilesTrueDurationAndTheirExactSum) {
    // Breaks when the real-time total counts frames at one rate for every file (a 48 kHz cue then
    // adds 8 % too much), sums rounded seconds, or when showing the other form marks the project
    // modified.
    HeaderSpec at48;
    at48.rateIndex = 1;
    ASSERT_EQ(bin.ParseMP3List("", {WriteMp3("fast.mp3", 4, at48)}), kImportAdded);
    TCutObject* fast = bin.At(0);
    TCutObject* slow = Import("slow.mp3", 4);
    ASSERT_TRUE(cues.AddCue(fast, "fast", 0, 99));   // 100 x 24 ms: exactly 2.4 s
    ASSERT_TRUE(cues.AddCue(slow, "slow", 0, 167));  // 168 x 26.12 ms: 4.388 s
    EXPECT_EQ(cues.RowTexts(0).Time, "00:00:02.40");
    EXPECT_EQ(cues.RowTexts(1).Time, "00:00:04.38");
    EXPECT_EQ(cues.Totals().TimeText, "Total time: 00:00:06.78");
    fast->MarkIn = 0;
    fast->MarkOut = 3;
    cues.UpdateCue(cues.At(0));
    EXPECT_EQ(cues.Totals().TimeText, "Total time: 00:00:04.48");

    RecordingObserver view;
    cues.AddObserver(&view);
    const int modified = changes.count;
    settings.RealTimeCodes = false;
    cues.RefreshTimes();
    EXPECT_EQ(cues.RowTexts(1).Time, "00:00:04.16");
    EXPECT_EQ(cues.Totals().TimeText, "Total time: 00:00:04.20");
    EXPECT_EQ(view.calls, std::vector<std::string>{"change 0,1"});
    EXPECT_EQ(view.totals, 1);
    EXPECT_EQ(changes.count, modified);
    cues.RemoveObserver(&view);
}

TEST_F(CueListModelTest, KeptTotalMatchesARecountAfterEveryKindOfChange) {
    // The total is kept incrementally; a missed update would drift from the cues' real sum.
    TCutObject* a = Import("a.mp3", 20);
    TCutObject* b = Import("b.mp3", 20);
    cues.AddCue(a, "one", 0, 9);
    cues.AddCue(b, "two", 5, 19);
    cues.AddCue(a, "reversed", 9, 2);  // nothing forbids it; it counts negatively
    cues.BeginBatch();
    cues.AddCue(b, "batched", 1, 1);
    cues.EndBatch();
    EXPECT_EQ(cues.Totals().Frames, RecountedFrames());
    a->MarkIn = 3;
    a->MarkOut = 4;
    cues.UpdateCue(cues.At(0));
    EXPECT_EQ(cues.Totals().Frames, RecountedFrames());
    cues.RemoveCutObjectCues(b);
    EXPECT_EQ(cues.Count(), 2);
    EXPECT_EQ(cues.Totals().Frames, RecountedFrames());
    cues.Move(1, 0);
    cues.Delete({0});
    EXPECT_EQ(cues.Totals().Frames, 2);
}

TEST_F(CueListModelTest, ACueWithoutACutObjectIsRefused) {
    // A listed cue without a file would crash every row text and export.
    EXPECT_FALSE(cues.AddCue(nullptr, "orphan", 0, 1));
    EXPECT_FALSE(cues.AddCue(std::unique_ptr<TCueObject>()));
    EXPECT_FALSE(cues.AddMarkedCue(nullptr));
    EXPECT_EQ(cues.Count(), 0);
}

TEST_F(CueListModelTest, ProposedExportNamesAreSafeAndOnlyTheSingleExportNamesTheRange) {
    // A slash or colon in a proposed name would point the save into another folder or fail it.
    TCutObject* cut = Import("take.mp3", 10);
    cues.AddCue(cut, "a/b:c?d", 3, 9);
    EXPECT_EQ(cues.ExportAsName(0), "a_b_c_d (3-9)");
    EXPECT_EQ(cues.FolderExportName(0, "/out", "mp3"), "/out/a_b_c_d.mp3");
    EXPECT_EQ(cues.FolderExportName(0, "/out/", "wav"), "/out/a_b_c_d.wav");
}

TEST_F(CueListModelTest, ViewsHearOfEveryRowChangeInQtOrder) {
    // A view told the wrong rows would show cues that are gone or miss new ones.
    TCutObject* cut = Import("take.mp3", 10);
    RecordingObserver view;
    cues.AddObserver(&view);
    for (const char* name : {"a", "b", "c", "d"}) {
        cues.AddCue(cut, name, 0, 1);
    }
    cues.Move(0, 3);
    EXPECT_EQ(Names(), (std::vector<std::string>{"b", "c", "a", "d"}));
    cues.Move(3, 0);
    EXPECT_EQ(Names(), (std::vector<std::string>{"d", "b", "c", "a"}));
    cues.Move(1, 2);  // onto its own place: nothing happens
    cues.Rename(2, "renamed");
    cues.Delete({3, 0});
    EXPECT_EQ(Names(), (std::vector<std::string>{"b", "renamed"}));
    EXPECT_EQ(view.calls, (std::vector<std::string>{"insert 0,0", "insert 1,1", "insert 2,2",
                                                    "insert 3,3", "move 0,3", "move 3,0",
                                                    "change 2,2", "remove 3,3", "remove 0,0"}));
    cues.RemoveObserver(&view);
}

TEST_F(CueListModelTest, ABatchReachesViewsAsOneInsertionAndKeepsNumbering) {
    // Thousands of single insertions from an auto-cut would each repaint the view and totals.
    TCutObject* cut = Import("take.mp3", 10);
    RecordingObserver view;
    cues.AddObserver(&view);
    cues.BeginBatch();
    for (int i = 0; i < 50; ++i) {
        cues.AddMarkedCue(cut);
    }
    EXPECT_EQ(cues.Count(), 0);  // views see nothing until the batch ends
    cues.EndBatch();
    EXPECT_EQ(cues.Count(), 50);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"insert 0,49"}));
    EXPECT_EQ(view.totals, 1);
    EXPECT_EQ(cues.At(49)->Name, "Cue 50: take");
    EXPECT_EQ(cues.Totals().Frames, 500);
    cues.RemoveObserver(&view);
}

TEST_F(CueListModelTest, RemovingAFilesCuesKeepsOtherFilesCuesAndTellsTheCutterFirst) {
    // A cue left on a freed cut object would be a dangling reference at the next export.
    RecordingCutter cutter;
    cues.SetCutter(&cutter);
    TCutObject* a = Import("a.mp3", 10);
    TCutObject* b = Import("b.mp3", 10);
    cues.AddCue(a, "a1", 0, 1);
    cues.AddCue(b, "b1", 0, 1);
    cues.AddCue(a, "a2", 0, 1);
    cues.RemoveCutObjectCues(a);
    EXPECT_EQ(Names(), (std::vector<std::string>{"b1"}));
    EXPECT_EQ(cutter.calls, (std::vector<std::string>{"cue deleted a2", "cue deleted a1"}));
    cues.SetCutter(nullptr);
}

TEST_F(CueListModelTest, ACueFileAttachesToTheEntryOfExactlyItsPath) {
    // A case-insensitive match would attach a cue to another file of the same name.
    TCutObject* cut = Import("take.mp3", 10);
    const std::string cueFile = dir.File("take.m3q");
    SaveCueFile(CueFileRecord{cut->FileName, "kept", 2, 5}, cueFile);
    ASSERT_TRUE(cues.ImportCueFile(cueFile, bin));
    EXPECT_EQ(bin.Count(), 1);
    EXPECT_EQ(cues.At(0)->CutObject, cut);
    EXPECT_EQ(cues.At(0)->Name, "kept");

    const std::string upper = dir.File("Take.mp3");
    SaveCueFile(CueFileRecord{upper, "other", 0, 1}, cueFile);
    prompts.ExpectErrorYesNo(Prompts::Answer::Yes);  // "Unable to find file .../Take.mp3"
    EXPECT_FALSE(cues.ImportCueFile(cueFile, bin));
    EXPECT_EQ(prompts.Texts().back(),
              "Unable to find file " + upper + "\r\nDo you want to continue?");
    EXPECT_EQ(cues.Count(), 1);
}

TEST_F(CueListModelTest, ImportingACueWhoseSourceMovedAsksThenReportsTheCueFile) {
    // A silent failure would leave the user not knowing which cue file was not taken.
    const std::string cueFile = dir.File("gone.m3q");
    SaveCueFile(CueFileRecord{dir.File("moved.mp3"), "lost", 0, 1}, cueFile);
    prompts.ExpectOpenFiles({cueFile});
    prompts.ExpectErrorYesNo(Prompts::Answer::Yes);
    prompts.ExpectError();
    cues.ImportCommand(bin);
    EXPECT_EQ(prompts.Texts().back(), "Unable to import cue file " + cueFile);
    EXPECT_EQ(settings.LastOpenFolder, dir.Path());
    EXPECT_EQ(prompts.LastFileDialog().title, "Select cue(s) to add");
}

TEST_F(CueListModelTest, FolderExportAsksBeforeReplacingAndTakesACueNameTheUserChose) {
    // Replacing an existing file unasked loses it; ignoring the chosen ".m3q" writes audio.
    TCutObject* cut = Import("take.mp3", 10);
    cues.AddCue(cut, "first", 0, 3);
    cues.AddCue(cut, "second", 4, 9);
    const std::string out = dir.File("out");
    ASSERT_EQ(::mkdir(out.c_str(), 0700), 0);
    WriteFileBytes(out + "/first.mp3", {1, 2, 3});
    WriteFileBytes(out + "/second.mp3", {4, 5, 6});

    InlineFrontEnd frontEnd;
    CoreCutExporter exporter(frontEnd);
    prompts.ExpectFolder(out, false);
    prompts.ExpectSaveFile(out + "/first.m3q");
    prompts.ExpectSaveFile("");  // cancelled: skipped
    prompts.ExpectInformation();
    cues.ExportSelected({1, 0}, "mp3", exporter);
    EXPECT_EQ(prompts.LastFolderDialog().text, "Export selected as mp3 files to folder");
    EXPECT_EQ(prompts.Texts().back(), "File export skipped");
    std::string source;
    auto written = LoadCueFile(out + "/first.m3q", source);
    ASSERT_TRUE(written);
    EXPECT_EQ(source, cut->FileName);
    EXPECT_EQ(written->MarkOut, 3);
    EXPECT_EQ(ReadFileBytes(out + "/second.mp3"), (std::vector<uint8_t>{4, 5, 6}));
    EXPECT_EQ(settings.LastSaveFolder, out);

    // With the box checked the files are replaced without a question.
    prompts.ExpectFolder(out, true);
    cues.ExportSelected({0, 1}, "mp3", exporter);
    EXPECT_EQ(ReadFileBytes(out + "/second.mp3").size(), 6u * 417u);
}

// What the bin's entry was, and what the export was given, while the export ran.
class WatchingExporter : public CutExporter {
  public:
    WatchingExporter(OperationFrontEnd& frontEnd, const TCutObject& entry)
        : core_(frontEnd), entry_(entry) {}
    int ExportRange(const std::string& target, TCutObject& cut, FrameSpan span,
                    ExportStyle style) override {
        seen.push_back(entry_.Name + " " + std::to_string(entry_.MarkIn) + "-" +
                       std::to_string(entry_.MarkOut));
        seen.push_back(std::to_string(span.first) + "-" + std::to_string(span.last));
        return core_.ExportRange(target, cut, span, style);
    }
    std::vector<std::string> seen;

  private:
    CoreCutExporter core_;
    const TCutObject& entry_;
};

TEST_F(CueListModelTest, ExportAsWritesTheCuesFramesWithoutLendingTheEntryItsRange) {
    // Lending the entry the cue's name and range for the export showed the cue's name in the
    // bin's row while the export's window ran, and the range in the cutter.
    TCutObject* cut = Import("take.mp3", 10);
    cut->MarkIn = 1;
    cut->MarkOut = 2;
    cues.AddCue(cut, "part", 4, 6);
    prompts.ExpectSaveFile(dir.File("part.mp3"));
    InlineFrontEnd frontEnd;
    WatchingExporter exporter(frontEnd, *cut);
    cues.ExportAs(0, exporter);
    EXPECT_EQ(exporter.seen, (std::vector<std::string>{"take 1-2", "4-6"}));
    EXPECT_EQ(prompts.LastFileDialog().fileName, "part (4-6)");
    const auto all = ReadFileBytes(cut->FileName);
    EXPECT_EQ(ReadFileBytes(dir.File("part.mp3")),
              std::vector<uint8_t>(all.begin() + 4 * 417, all.begin() + 7 * 417));
    EXPECT_EQ(cut->MarkIn, 1);
    EXPECT_EQ(cut->MarkOut, 2);
    EXPECT_EQ(cut->Name, "take");
}

}  // namespace
}  // namespace sw::test
