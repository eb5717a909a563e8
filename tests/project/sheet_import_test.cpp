// The bin's import of CUE sheets and the cue list written as one, on real files: sheets as people
// find them, the ones that must import nothing, and the round trip cue list -> sheet -> cue list.
#include "model_fixture.h"
#include "project/document_texts.h"
#include "project/text_fill.h"

namespace sw::test {
namespace {

using Answer = Prompts::Answer;

class SheetImportTest : public ModelFixture {
  protected:
    std::string WriteSheet(const std::string& name, const std::string& text) {
        const std::string fileName = dir.File(name);
        WriteFileBytes(fileName, std::vector<uint8_t>(text.begin(), text.end()));
        return fileName;
    }
    // Each cue as "name in-out".
    std::vector<std::string> CueTexts() {
        std::vector<std::string> texts;
        for (int row = 0; row < cues.Count(); ++row) {
            const TCueObject& cue = *cues.At(row);
            texts.push_back(cue.Name + " " + std::to_string(cue.MarkIn) + "-" +
                            std::to_string(cue.MarkOut));
        }
        return texts;
    }
};

TEST_F(SheetImportTest, FilesGoToTheBinAndTracksBecomeCuesUpToTheNextStart) {
    // Two files of 200 and 100 frames (26.1 ms each); the second track's pregap stays with the
    // first track, a track that starts in the last frame is one frame long.
    WriteMp3("side a.mp3", 200);
    WriteMp3("side b.mp3", 100);
    const std::string sheet = WriteSheet("album.cue",
                                         "PERFORMER \"Band\"\r\n"
                                         "TITLE \"Album\"\r\n"
                                         "REM DATE 1999\r\n"
                                         "FILE \"side a.mp3\" MP3\r\n"
                                         "  TRACK 01 AUDIO\r\n"
                                         "    TITLE \"Opening\"\r\n"
                                         "    INDEX 01 00:00:00\r\n"
                                         "  TRACK 02 AUDIO\r\n"
                                         "    TITLE \"Second\"\r\n"
                                         "    PERFORMER \"Guest\"\r\n"
                                         "    INDEX 00 00:01:00\r\n"
                                         "    INDEX 01 00:02:00\r\n"
                                         "  TRACK 03 AUDIO\r\n"
                                         "    INDEX 01 00:05:15\r\n"
                                         "FILE \"side b.wav\" WAVE\r\n"
                                         "  TRACK 04 AUDIO\r\n"
                                         "    TITLE \"B\"\r\n"
                                         "    INDEX 01 00:00:00\r\n");
    EXPECT_EQ(bin.ParseMP3List("", {sheet}), kImportAdded);
    // "side b.wav" is no longer there: the MP3 made from it is.
    ASSERT_EQ(bin.Count(), 2);
    EXPECT_EQ(bin.At(1)->FileName, dir.File("side b.mp3"));
    EXPECT_EQ(CueTexts(),
              (std::vector<std::string>{"01 - Opening 0-75", "02 - Guest - Second 76-198",
                                        "03 - Track 03 199-199", "04 - B 0-99"}));
    ASSERT_TRUE(cues.At(1)->Sheet);
    EXPECT_EQ(cues.At(1)->Sheet->Title, "Second");
    EXPECT_EQ(cues.At(1)->Sheet->Performer, "Guest");
    EXPECT_EQ(cues.At(0)->Sheet->Performer, "Band");
    EXPECT_EQ(cues.At(0)->Sheet->Album, "Album");
    EXPECT_EQ(cues.At(0)->Sheet->Year, "1999");
    EXPECT_TRUE(prompts.History().empty());

    // The same sheet again takes the entries it finds and adds its cues once more.
    EXPECT_EQ(bin.ParseMP3List("", {sheet}), kImportAdded);
    EXPECT_EQ(bin.Count(), 2);
    EXPECT_EQ(cues.Count(), 8);
    EXPECT_EQ(scans.scans, 2);
}

TEST_F(SheetImportTest, ABadSheetImportsNothingAndNamesItsLine) {
    // Half an album in the bin and on the cue list would be worse than none: the user fixes the
    // line and imports again.
    WriteMp3("a.mp3", 50);
    const struct {
        std::string name;
        std::string text;
        std::string says;
    } cases[] = {
        {"broken.cue", "FILE \"a.mp3\" MP3\nTRACK 01 AUDIO\nINDEX 01 00:61:00\n",
         "line 3: INDEX needs a time mm:ss:ff (seconds 0-59, frames 0-74), not \"00:61:00\""},
        {"missing.cue",
         "FILE \"a.mp3\" MP3\nTRACK 01 AUDIO\nINDEX 01 00:00:00\nFILE \"gone.mp3\" MP3\n"
         "TRACK 02 AUDIO\nINDEX 01 00:00:00\n",
         "line 4: the file \"" + dir.File("gone.mp3") + "\" does not exist"},
        {"self.cue", "FILE \"self.cue\" MP3\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n",
         "line 1: \"self.cue\" is this cue sheet, not an audio file"},
        {"list.cue", "FILE \"broken.cue\" WAVE\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n",
         "line 1: \"broken.cue\" is not an audio file"},
        {"nul.cue", std::string("FILE \"a.mp3\" MP3\nTRACK 01 AUDIO\0\n", 32),
         "line 2: a NUL byte"},
    };
    for (const auto& c : cases) {
        const std::string sheet = WriteSheet(c.name, c.text);
        prompts.ExpectError();
        EXPECT_EQ(bin.ParseMP3List("", {sheet}), kImportFailed) << c.name;
        EXPECT_EQ(prompts.Texts().back().rfind(
                      "The cue sheet \"" + sheet + "\" cannot be imported:\r\n" + c.says, 0),
                  0u)
            << prompts.Texts().back();
    }
    EXPECT_EQ(bin.Count(), 0);
    EXPECT_EQ(cues.Count(), 0);
    EXPECT_EQ(scans.scans, 0);
}

TEST_F(SheetImportTest, TracksTheFilesCannotHoldAreListedAndTheRestImported) {
    // A sheet made for a longer rip, with a data track and a CD image beside the audio.
    WriteMp3("a.mp3", 100);  // 2.61 s
    const std::string sheet = WriteSheet("long.cue",
                                         "FILE \"a.mp3\" MP3\n"
                                         "TRACK 01 AUDIO\n"
                                         "INDEX 01 00:00:00\n"
                                         "TRACK 02 AUDIO\n"
                                         "INDEX 01 00:01:00\n"
                                         "TRACK 03 AUDIO\n"
                                         "INDEX 01 00:03:00\n"
                                         "TRACK 04 MODE1/2352\n"
                                         "INDEX 01 00:04:00\n"
                                         "FILE \"image.bin\" BINARY\n"
                                         "TRACK 05 AUDIO\n"
                                         "INDEX 01 00:00:00\n");
    prompts.ExpectError();
    EXPECT_EQ(bin.ParseMP3List("", {sheet}), kImportAdded);
    EXPECT_EQ(CueTexts(), (std::vector<std::string>{"01 - Track 01 0-37", "02 - Track 02 38-99"}));
    EXPECT_EQ(prompts.Texts().back(),
              "Not every track of the cue sheet \"" + sheet +
                  "\" was imported:\r\n"
                  "line 10: a FILE of type BINARY is skipped (only MP3 and WAVE files are "
                  "imported)\r\n"
                  "line 7: track 3 starts at 00:03:00, after the end of \"a\" (00:02:46)\r\n"
                  "line 8: track 4 is a data track");
}

TEST_F(SheetImportTest, AnAbortedScanTakesBackWhatTheSheetAdded) {
    // Cues over part of a file would lie about the music, and the user asked to stop.
    const std::string already = WriteMp3("already.mp3", 20);
    WriteMp3("a.mp3", 50);
    const std::string b = WriteMp3("b.mp3", 50);
    ASSERT_EQ(bin.ParseMP3List("", {already}), kImportAdded);
    scans.forcedStatus[b] = 2;
    const std::string sheet = WriteSheet("ab.cue",
                                         "FILE \"already.mp3\" MP3\nTRACK 01 AUDIO\n"
                                         "INDEX 01 00:00:00\nFILE \"a.mp3\" MP3\nTRACK 02 AUDIO\n"
                                         "INDEX 01 00:00:00\nFILE \"b.mp3\" MP3\nTRACK 03 AUDIO\n"
                                         "INDEX 01 00:00:00\n");
    prompts.ExpectYesNo(Answer::Yes);  // the outer list asks whether to abort what follows
    EXPECT_EQ(bin.ParseMP3List("", {sheet, already}), kImportNotClean);
    ASSERT_EQ(bin.Count(), 1);
    EXPECT_EQ(bin.At(0)->FileName, already);
    EXPECT_EQ(cues.Count(), 0);
}

TEST_F(SheetImportTest, CueListWrittenAsSheetReadsBackToTheSameCues) {
    // Project -> sheet -> project: the sheet's own cues come back with their names and frames;
    // cues that leave a gap are written as they are, and the user is told which.
    const std::string a = WriteMp3("a.mp3", 300);
    const std::string b = WriteMp3("b.mp3", 120);
    ASSERT_EQ(bin.ParseMP3List("", {a, b}), kImportAdded);
    ASSERT_TRUE(cues.AddCue(bin.At(0), "01 - First", 0, 99));
    ASSERT_TRUE(cues.AddCue(bin.At(0), "02 - Second", 100, 299));
    ASSERT_TRUE(cues.AddCue(bin.At(1), "03 - Third", 7, 119));
    prompts.ExpectSaveFile(dir.File("list.cue"));
    cues.SaveCueSheetCommand();
    EXPECT_EQ(prompts.LastFileDialog().title, "Save cue list as cue sheet");
    EXPECT_EQ(settings.LastSaveFolder, dir.Path());

    ScriptedPrompts again;
    CountingSink sink;
    CueListModel readCues{settings, again, sink};
    ProjectBinModel readBin{settings, again, scans, readCues, sink};
    EXPECT_EQ(readBin.ParseMP3List("", {dir.File("list.cue")}), kImportAdded);
    ASSERT_EQ(readCues.Count(), 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(readCues.At(row)->Name, cues.At(row)->Name);
        EXPECT_EQ(readCues.At(row)->MarkIn, cues.At(row)->MarkIn);
        EXPECT_EQ(readCues.At(row)->MarkOut, cues.At(row)->MarkOut);
        EXPECT_EQ(readCues.At(row)->CutObject->FileName, cues.At(row)->CutObject->FileName);
    }

    cues.Rename(1, "Middle");
    cues.UpdateTotals();
    ASSERT_TRUE(cues.AddCue(bin.At(1), "Overlap", 100, 119));
    prompts.ExpectSaveFile(dir.File("list.cue"));
    prompts.ExpectWarning();
    cues.SaveCueSheetCommand();
    EXPECT_EQ(prompts.Texts().back(), FillText(texts::kSheetLooseCues, {"1", "\r\n03 - Third"}));
}

}  // namespace
}  // namespace sw::test
