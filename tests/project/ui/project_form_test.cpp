#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTextDocument>
#include <filesystem>

#include "autocut/ui/auto_cut_form.h"
#include "engine/scan.h"
#include "project/document_texts.h"
#include "project/playlist.h"
#include "project/ui/properties_form.h"
#include "windows_fixture.h"

namespace sw::test {
namespace {

using Kind = ScriptedPrompts::Kind;

class ProjectFormTest : public WindowsTest {
  protected:
    // Imports names through the popup menu's Import command; expect queues the prompts that
    // follow the dialog.
    void ImportThroughMenu(const std::vector<std::string>& names,
                           const std::function<void()>& expect = {}) {
        prompts_.ExpectOpenFiles(names);
        if (expect) {
            expect();
        }
        bin_->PopUpImport->trigger();
    }
    std::vector<std::string> Files() { return ColumnTexts(bin_->ItemModel(), 0); }
};

// The menu is the window's only way to most commands: a wrong order or an entry enabled with
// nothing to act on would run a command on no entry.
TEST_F(ProjectFormTest, MenuEntriesInOrderAndEnabledOnlyWhenTheyCanAct) {
    EXPECT_EQ(MenuCaptions(bin_->PopupMenu),
              (std::vector<std::string>{"&Cut", "&Autocut", "Re&name", "&Properties", "&Rescan",
                                        "-", "&Import", "&Export", "&Save bin", "&Delete"}));
    bin_->PopupMenu->aboutToShow();
    for (QAction* action : bin_->PopupMenu->actions()) {
        if (!action->isSeparator()) {
            EXPECT_EQ(action->isEnabled(), action == bin_->PopUpImport)
                << action->text().toStdString();
        }
        EXPECT_FALSE(action->objectName().isEmpty());
    }
    ImportThroughMenu({Mp3("a.mp3", 5)});
    bin_->CutObjectsList->clearSelection();
    bin_->PopupMenu->aboutToShow();
    EXPECT_TRUE(bin_->PopUpSave->isEnabled()) << "the bin has an entry to save";
    EXPECT_FALSE(bin_->PopUpCut->isEnabled());
    Select(bin_->CutObjectsList, {0});
    bin_->PopupMenu->aboutToShow();
    for (QAction* action :
         {bin_->PopUpCut, bin_->PopUpAutoCut, bin_->PopUpRename, bin_->PopUpProperties,
          bin_->PopUpRescan, bin_->PopUpExport, bin_->PopUpDelete}) {
        EXPECT_TRUE(action->isEnabled()) << action->text().toStdString();
    }
}

// Would break if "&Autocut" did not reach the dialog, its cues missed the cue list, or the
// cutter's player were left running (or left suspended) around the dialog.
TEST_F(ProjectFormTest, AutocutFindsCuesIntoTheCueListWithThePlayerSuspended) {
    ImportThroughMenu({Mp3("a.mp3", 40)});
    Select(bin_->CutObjectsList, {0});
    cutter_.calls.clear();
    bool suspended = false;
    WhenShown<TAutoCutForm>([&](TAutoCutForm& form) {
        suspended = !cutter_.calls.empty() && cutter_.calls.back().what == "EnablePlayer(false)";
        EXPECT_EQ(form.FileEdit->text(), QStringLiteral("a"));
        // Every frame here is one repeated byte: only 100 % finds no silence.
        form.ThresholdEdit->setValue(100);
        form.SearchBtn->click();
        form.close();
    });
    bin_->PopupMenu->aboutToShow();
    bin_->PopUpAutoCut->trigger();
    EXPECT_TRUE(suspended);
    EXPECT_TRUE(cutter_.PlayerResumed());
    ASSERT_EQ(Cues().Count(), 1);
    EXPECT_EQ(Cues().At(0)->Name, "Auto1: a");
    EXPECT_EQ(Cues().At(0)->MarkIn, 1);
    EXPECT_EQ(Cues().At(0)->MarkOut, 39);
    EXPECT_EQ(Cues().At(0)->CutObject, Bin().At(0));
}

// The import dialog must offer what the bin can take, and each file must be scanned under the
// progress window (its Abort button is the only way out of a long scan).
TEST_F(ProjectFormTest, ImportScansEachFileUnderTheProgressWindowInTheDialogsOrder) {
    const std::string b = Mp3("b.mp3", 38);
    const std::string a = Mp3("a.mp3", 76);
    ImportThroughMenu({b, a});
    EXPECT_EQ(prompts_.LastFileDialog().title, texts::kImportTitle);
    EXPECT_EQ(prompts_.LastFileDialog().filter, texts::kImportFilter);
    EXPECT_TRUE(prompts_.LastFileDialog().multiple);
    EXPECT_EQ(Files(), (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(ColumnTexts(bin_->ItemModel(), 1).size(), 2u);
    EXPECT_EQ(bin_->ItemModel().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("File"));
    EXPECT_EQ(bin_->ItemModel().headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Time"));
    EXPECT_EQ(scans_.scans, 2);
    EXPECT_EQ(scans_.progressWindowsSeen, 2);
    EXPECT_TRUE(cutter_.PlayerResumed());
    Select(bin_->CutObjectsList, {1});
    EXPECT_EQ(bin_->StatusPanel->text(), QStringLiteral("76 frames - completely scanned"));
}

// A file name that looks like markup must show as its characters in the row and its tip: Qt
// guesses rich text for tips, and an image in one is loaded when the tip shows.
TEST_F(ProjectFormTest, NameThatLooksLikeMarkupShowsAsItsCharacters) {
    ImportThroughMenu({Mp3("<h1>ALARM<img src=nowhere>.mp3", 3)});
    const QModelIndex row = bin_->ItemModel().index(0, 0);
    EXPECT_EQ(row.data(Qt::DisplayRole).toString(), QStringLiteral("<h1>ALARM<img src=nowhere>"));
    QTextDocument tip;
    tip.setHtml(row.data(Qt::ToolTipRole).toString());
    EXPECT_EQ(tip.toPlainText(), QStringLiteral("<h1>ALARM<img src=nowhere>"));
    EXPECT_EQ(bin_->StatusPanel->textFormat(), Qt::PlainText);
}

// An index file beside the MP3 spares the scan; scanning anyway would cost a long file's time.
TEST_F(ProjectFormTest, IndexBesideTheMp3LoadsInsteadOfScanning) {
    const std::string song = Mp3("song.mp3", 20);
    {
        CutObjectPtr cut(CreateCutObject(song, {}));
        WorkerControl control;
        ASSERT_EQ(ScanFrames(*cut, control), 0);
        cut->CompletelyScanned = true;
        ASSERT_EQ(SaveCutObject(cut.get(), dir_.File("song.m3i")), 0);
    }
    ImportThroughMenu({song});
    EXPECT_EQ(scans_.scans, 0);
    EXPECT_EQ(Files(), std::vector<std::string>{"song"});
    EXPECT_EQ(Bin().At(0)->FrameCount(), 20);
}

// An index whose source is gone must ask where the source is; declining refuses the entry with
// the index's and the list's messages instead of adding an entry with no audio behind it.
TEST_F(ProjectFormTest, IndexWhoseSourceMovedAsksToFindTheFile) {
    const std::string song = Mp3("song.mp3", 10);
    {
        CutObjectPtr cut(CreateCutObject(song, {}));
        WorkerControl control;
        ASSERT_EQ(ScanFrames(*cut, control), 0);
        ASSERT_EQ(SaveCutObject(cut.get(), dir_.File("kept.m3i")), 0);
    }
    std::filesystem::remove(song);
    ImportThroughMenu({dir_.File("kept.m3i")}, [&] {
        prompts_.ExpectYesNo(Prompts::Answer::No);
        prompts_.ExpectError();
        prompts_.ExpectError();
    });
    const std::vector<std::string> texts = prompts_.Texts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[1], texts::kFindOriginal);
    EXPECT_EQ(texts[2], texts::kUnableToLoadIndex);
    EXPECT_EQ(texts[3], texts::kUnableToAdd);
    EXPECT_EQ(Bin().Count(), 0);
}

// "CheckMatch" must ask about the same name only: asking about other letter case would nag, and
// declining with names left must offer to stop the rest.
TEST_F(ProjectFormTest, CheckMatchAsksOnlyForAnExactNameAndDecliningAsksAboutPendingScans) {
    GlobalSettings().CheckMatch = true;
    std::filesystem::create_directories(dir_.File("other"));
    const std::string first = Mp3("song.mp3", 4);
    const std::string same = Mp3("other/song.mp3", 4);
    const std::string otherCase = Mp3("other/Song.mp3", 4);
    const std::string next = Mp3("other/next.mp3", 4);
    ImportThroughMenu({first, otherCase});
    EXPECT_EQ(Bin().Count(), 2) << "a name in other letter case is another name";
    ImportThroughMenu({same, next}, [&] {
        prompts_.ExpectYesNo(Prompts::Answer::No);  // do not add the same name
        prompts_.ExpectYesNo(Prompts::Answer::No);  // do not abort the rest
    });
    const std::vector<std::string> texts = prompts_.Texts();
    ASSERT_EQ(texts.size(), 4u);  // two dialogs, two questions
    EXPECT_NE(texts[2].find("The selected file \"song\""), std::string::npos);
    EXPECT_EQ(texts[3], texts::kAbortPendingScans);
    EXPECT_EQ(Files(), (std::vector<std::string>{"song", "Song", "next"}));
}

// A WAV file without MPEG data would be "cut" into garbage; ".mp3x" counts by its first three
// letters and must import.
TEST_F(ProjectFormTest, NonMpegWavIsSkippedWithTheMessageAndMp3xImportsAsMp3) {
    std::vector<uint8_t> wav(70, 0);
    wav[20] = 1;  // PCM
    WriteFileBytes(dir_.File("pcm.wav"), wav);
    const std::string mp3x = Mp3("song.mp3x", 6);
    ImportThroughMenu({dir_.File("pcm.wav"), mp3x}, [&] { prompts_.ExpectError(); });
    EXPECT_EQ(prompts_.History()[1].text,
              "Slicewell only supports MP3 encoded wave-files\r\nThe file \"" +
                  dir_.File("pcm.wav") + "\" has another format and will be skipped");
    EXPECT_EQ(Files(), std::vector<std::string>{"song"});
}

// Aborting the last of several scans must keep that file with its partial index, ask nothing
// more, and say the import was aborted.
TEST_F(ProjectFormTest, AbortedLastScanIsAddedWithItsPartialIndexAndReportedAsAborted) {
    const std::string first = Mp3("first.mp3", 30);
    const std::string last = Mp3("last.mp3", 3000);
    scans_.abortNames = {"last.mp3"};
    ImportThroughMenu({first, last}, [&] { prompts_.ExpectInformation(); });
    EXPECT_EQ(prompts_.Texts().back(), texts::kOperationAborted);
    ASSERT_EQ(Bin().Count(), 2);
    EXPECT_FALSE(Bin().At(1)->CompletelyScanned);
    EXPECT_LT(Bin().At(1)->FrameCount(), 3000);
    Select(bin_->CutObjectsList, {1});
    EXPECT_TRUE(bin_->StatusPanel->text().endsWith(QStringLiteral("NOT completely scanned")));
}

// The in-place edit is the rename; a rescan builds a new cut object and must not bring back the
// file's own name.
TEST_F(ProjectFormTest, InPlaceRenameSurvivesARescan) {
    ImportThroughMenu({Mp3("song.mp3", 8)});
    Select(bin_->CutObjectsList, {0});
    bin_->PopUpRename->trigger();
    auto* editor = bin_->CutObjectsList->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr) << "Rename must open the in-place editor";
    editor->setText(QStringLiteral("Intro"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(editor, &enter);
    QApplication::processEvents();
    EXPECT_EQ(Bin().At(0)->Name, "Intro");
    const TCutObject* before = Bin().At(0);
    bin_->PopUpRescan->trigger();
    EXPECT_EQ(scans_.scans, 2);
    EXPECT_NE(Bin().At(0), before) << "the rescan gives a new cut object";
    EXPECT_EQ(Files(), std::vector<std::string>{"Intro"});
    EXPECT_EQ(bin_->StatusPanel->text(), QStringLiteral("8 frames - completely scanned"));
}

// Cut and the double-click hand the entry to the cutter with marks over the whole file.
TEST_F(ProjectFormTest, DoubleClickCutsTheEntryWithMarksOverTheWholeFile) {
    ImportThroughMenu({Mp3("song.mp3", 12)});
    Bin().At(0)->MarkIn = 4;
    const QRect row = bin_->CutObjectsList->visualRect(bin_->ItemModel().index(0, 0));
    QMouseEvent press(QEvent::MouseButtonPress, row.center(), row.center(), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bin_->CutObjectsList->viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, row.center(), row.center(), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(bin_->CutObjectsList->viewport(), &release);
    QMouseEvent twice(QEvent::MouseButtonDblClick, row.center(), row.center(), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bin_->CutObjectsList->viewport(), &twice);
    EXPECT_EQ(cutter_.Names().back(), "OpenCutObject");
    EXPECT_EQ(cutter_.opened, (std::pair<int32_t, int32_t>{0, 11}));
}

// Deleting an entry whose cues are listed must tell the cutter about the entry and its cues
// before they are freed, and leave neither in the cue list (under AddressSanitizer a window that
// kept one would read freed memory when it repaints).
TEST_F(ProjectFormTest, DeletingAnEntryTellsTheCutterFirstAndTakesItsCues) {
    ImportThroughMenu({Mp3("keep.mp3", 10), Mp3("gone.mp3", 10)});
    ASSERT_TRUE(Cues().AddMarkedCue(Bin().At(1)));
    ASSERT_TRUE(Cues().AddMarkedCue(Bin().At(0)));
    TCutObject* gone = Bin().At(1);
    TCueObject* goneCue = Cues().At(0);
    Select(bin_->CutObjectsList, {1});
    cutter_.calls.clear();
    bin_->PopUpDelete->trigger();
    const std::vector<std::string> names = cutter_.Names();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], "CutObjectDeleted");
    EXPECT_EQ(cutter_.calls[0].record, gone);
    EXPECT_EQ(names[1], "CueDeleted");
    EXPECT_EQ(cutter_.calls[1].record, goneCue);
    EXPECT_EQ(Files(), std::vector<std::string>{"keep"});
    EXPECT_EQ(ColumnTexts(cueList_->ItemModel(), 0), std::vector<std::string>{"Cue 2: keep"});
    cueList_->repaint();
    bin_->repaint();
}

// The playlist the bin saves must be exactly what the core writes for these entries.
TEST_F(ProjectFormTest, SaveBinWritesTheCoresPlaylistBytes) {
    ImportThroughMenu({Mp3("one.mp3", 38), Mp3("two.mp3", 76)});
    const std::string playlist = dir_.File("ProjectBin.m3u");
    prompts_.ExpectSaveFile(playlist);
    bin_->PopUpSave->trigger();
    EXPECT_EQ(prompts_.LastFileDialog().title, texts::kSaveBinTitle);
    EXPECT_EQ(prompts_.LastFileDialog().fileName, "ProjectBin");
    const std::string text = PlaylistText(playlist, Bin().PlaylistEntries());
    EXPECT_EQ(ReadFileBytes(playlist), std::vector<uint8_t>(text.begin(), text.end()));
}

// "Export" of an entry as MP3 copies every frame through the export under its progress window.
TEST_F(ProjectFormTest, ExportCopiesTheWholeFile) {
    const std::string song = Mp3("song.mp3", 9);
    ImportThroughMenu({song});
    Select(bin_->CutObjectsList, {0});
    std::filesystem::create_directories(dir_.File("out"));
    prompts_.ExpectSaveFile(dir_.File("out/copy.mp3"));
    bin_->PopUpExport->trigger();
    EXPECT_EQ(prompts_.LastFileDialog().title, texts::kExportFileTitle);
    EXPECT_EQ(prompts_.LastFileDialog().fileName, "song");
    EXPECT_EQ(ReadFileBytes(dir_.File("out/copy.mp3")), ReadFileBytes(song));
    EXPECT_TRUE(cutter_.PlayerResumed());
}

// An export onto a source the bin holds open must fail with the file error in a box, not
// destroy the source and not let the error escape into Qt's event handling.
TEST_F(ProjectFormTest, ExportOntoAHeldSourceShowsTheErrorAndKeepsTheSource) {
    const std::string song = Mp3("song.mp3", 9);
    const std::string other = Mp3("other.mp3", 5);
    ImportThroughMenu({song, other});
    const std::vector<uint8_t> before = ReadFileBytes(other);
    Select(bin_->CutObjectsList, {0});
    prompts_.ExpectSaveFile(other);
    prompts_.ExpectError();
    bin_->PopUpExport->trigger();
    EXPECT_EQ(prompts_.Texts().back(), "Cannot create file " + other);
    EXPECT_EQ(ReadFileBytes(other), before);
    EXPECT_TRUE(cutter_.PlayerResumed());
}

// Properties must show the selected entry's report and return when closed.
TEST_F(ProjectFormTest, PropertiesShowTheSelectedEntrysReport) {
    ImportThroughMenu({Mp3("first.mp3", 3), Mp3("second.mp3", 7)});
    Select(bin_->CutObjectsList, {1});
    QString shown;
    WhenShown<TPropertiesForm>([&](TPropertiesForm& form) {
        shown = form.PropsMemo->toPlainText();
        form.OkBtn->click();
    });
    bin_->PopUpProperties->trigger();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Properties for 'second':")));
    EXPECT_TRUE(shown.contains(QStringLiteral("Number of frames: 7")));
}

}  // namespace
}  // namespace sw::test
