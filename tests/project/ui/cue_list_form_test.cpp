#include <QAccessible>
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <filesystem>

#include "project/cue_file.h"
#include "project/document_texts.h"
#include "project/ui/properties_form.h"
#include "windows_fixture.h"

namespace sw::test {
namespace {

class CueListFormTest : public WindowsTest {
  protected:
    // A bin entry of count frames, imported through the bin's drop path.
    TCutObject* Entry(const std::string& name, int count) {
        DropFiles(bin_->CutObjectsList->viewport(), {Mp3(name, count)});
        return Bin().At(Bin().Count() - 1);
    }
    TCueObject* MarkedCue(TCutObject* cut, int32_t markIn, int32_t markOut) {
        cut->MarkIn = markIn;
        cut->MarkOut = markOut;
        EXPECT_TRUE(Cues().AddMarkedCue(cut));
        return Cues().At(Cues().Count() - 1);
    }
    std::vector<std::string> Names() { return ColumnTexts(cueList_->ItemModel(), 0); }
    QString FramesText() const { return cueList_->FramesPanel->text(); }
    QString TimeText() const { return cueList_->TimePanel->text(); }
};

// Entries that act on no cue, or an "Export As" of several cues at once, would run a command
// on the wrong cues.
TEST_F(CueListFormTest, MenuEntriesInOrderAndEnabledByTheSelection) {
    EXPECT_EQ(
        MenuCaptions(cueList_->Popup),
        (std::vector<std::string>{"&Review", "Re&name", "&Properties", "-", "&Import", "&Export",
                                  "Export &As", "Save as cue &sheet...", "&Delete"}));
    EXPECT_EQ(MenuCaptions(cueList_->PopUpExport),
              (std::vector<std::string>{"As &MP3", "As &WAV", "As &CUE"}));
    TCutObject* cut = Entry("song.mp3", 40);
    MarkedCue(cut, 0, 9);
    MarkedCue(cut, 10, 19);
    const auto enabled = [&] {
        cueList_->Popup->aboutToShow();
        return std::vector<bool>{
            cueList_->PopUpReview->isEnabled(), cueList_->PopUpImport->isEnabled(),
            cueList_->PopUpExport->menuAction()->isEnabled(), cueList_->PopUpExportAs->isEnabled(),
            cueList_->PopUpDelete->isEnabled()};
    };
    Select(cueList_->CueList, {});
    EXPECT_EQ(enabled(), (std::vector<bool>{false, true, false, false, false}));
    Select(cueList_->CueList, {1});
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, true, true}));
    Select(cueList_->CueList, {0, 1});
    EXPECT_EQ(enabled(), (std::vector<bool>{true, true, true, false, true}));
}

// The entry must reach the model's sheet writer, and only with cues to write.
TEST_F(CueListFormTest, SaveAsCueSheetWritesTheWholeList) {
    cueList_->Popup->aboutToShow();
    EXPECT_FALSE(cueList_->PopUpSaveSheet->isEnabled());
    TCutObject* cut = Entry("song.mp3", 40);
    MarkedCue(cut, 0, 19)->Name = "01 - One";
    MarkedCue(cut, 20, 39)->Name = "Two";
    cueList_->Popup->aboutToShow();
    ASSERT_TRUE(cueList_->PopUpSaveSheet->isEnabled());
    prompts_.ExpectSaveFile(dir_.File("list.cue"));
    cueList_->PopUpSaveSheet->trigger();
    const std::vector<uint8_t> sheet = ReadFileBytes(dir_.File("list.cue"));
    const std::string text(sheet.begin(), sheet.end());
    EXPECT_NE(text.find("TITLE \"One\"\r\n    INDEX 01 00:00:00"), std::string::npos) << text;
    EXPECT_NE(text.find("TITLE \"Two\""), std::string::npos) << text;
}

// The rows are the model's cues, with the four columns filled from each; the time column uses
// the cue's own file.
TEST_F(CueListFormTest, RowsShowNameRangeAndTimeOfEachCue) {
    TCutObject* cut = Entry("song.mp3", 100);
    MarkedCue(cut, 10, 47);
    EXPECT_EQ(cueList_->ItemModel().columnCount(), 4);
    EXPECT_EQ(cueList_->ItemModel().headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("From frame"));
    EXPECT_EQ(Names(), std::vector<std::string>{"Cue 1: song"});
    EXPECT_EQ(ColumnTexts(cueList_->ItemModel(), 1), std::vector<std::string>{"10"});
    EXPECT_EQ(ColumnTexts(cueList_->ItemModel(), 2), std::vector<std::string>{"47"});
    EXPECT_EQ(ColumnTexts(cueList_->ItemModel(), 3),
              std::vector<std::string>{Cues().RowTexts(0).Time});
    EXPECT_EQ(FramesText(), QStringLiteral("Total frames: 38"));
}

// Numbers are never given back: after deleting cue 2 of three, the next cue is numbered 3 again.
// After the last delete the panels must read zero and the project export must switch off.
TEST_F(CueListFormTest, NumberingAfterDeletionsAndTotalsAfterTheLastDelete) {
    QSignalSpy exports(cueList_.get(), &TCueListForm::EnableExport);
    TCutObject* cut = Entry("song.mp3", 60);
    for (int i = 0; i < 3; ++i) {
        MarkedCue(cut, 10 * i, 10 * i + 4);
    }
    ASSERT_FALSE(exports.isEmpty());
    EXPECT_TRUE(exports.last().at(0).toBool());
    Select(cueList_->CueList, {1});
    cueList_->PopUpDelete->trigger();
    MarkedCue(cut, 50, 54);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Cue 1: song", "Cue 3: song", "Cue 3: song"}));
    Select(cueList_->CueList, {0, 1, 2});
    cueList_->PopUpDelete->trigger();
    EXPECT_EQ(cueList_->ItemModel().rowCount(), 0);
    EXPECT_EQ(FramesText(), QStringLiteral("Total frames: 0"));
    EXPECT_EQ(TimeText(), QStringLiteral("Total time: 00:00:00.00"));
    EXPECT_FALSE(exports.last().at(0).toBool());
}

// Review and the double-click hand the selected cue, not another, to the cutter.
TEST_F(CueListFormTest, ReviewAndDoubleClickAskForTheSelectedCue) {
    QSignalSpy reviews(cueList_.get(), &TCueListForm::ReviewRequested);
    TCutObject* cut = Entry("song.mp3", 30);
    MarkedCue(cut, 0, 4);
    TCueObject* second = MarkedCue(cut, 5, 9);
    Select(cueList_->CueList, {1});
    cueList_->PopUpReview->trigger();
    ASSERT_EQ(reviews.size(), 1);
    EXPECT_EQ(reviews.at(0).at(0).value<TCueObject*>(), second);
    emit cueList_->CueList->doubleClicked(cueList_->ItemModel().index(1, 2));
    EXPECT_EQ(reviews.size(), 2);
}

// The in-place edit renames the cue itself (the project export names nothing else).
TEST_F(CueListFormTest, InPlaceEditRenamesTheCue) {
    TCueObject* cue = MarkedCue(Entry("song.mp3", 30), 0, 4);
    Select(cueList_->CueList, {0});
    cueList_->PopUpRename->trigger();
    auto* editor = cueList_->CueList->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("Chorus"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(editor, &enter);
    QApplication::processEvents();
    EXPECT_EQ(cue->Name, "Chorus");
}

// Characters that no file name may hold must not reach the save dialog; the single export
// carries the range, the folder export does not.
TEST_F(CueListFormTest, ProposedExportNamesAreSafeNames) {
    TCueObject* cue = MarkedCue(Entry("song.mp3", 30), 3, 8);
    cue->Name = "a/b:c?d";
    Select(cueList_->CueList, {0});
    prompts_.ExpectSaveFile("");
    cueList_->PopUpExportAs->trigger();
    EXPECT_EQ(prompts_.LastFileDialog().title, texts::kSaveCueTitle);
    EXPECT_EQ(prompts_.LastFileDialog().fileName, "a_b_c_d (3-8)");
    std::filesystem::create_directories(dir_.File("out"));
    WriteFileBytes(dir_.File("out/a_b_c_d.mp3"), {1});
    prompts_.ExpectFolder(dir_.File("out"));
    prompts_.ExpectSaveFile("");
    prompts_.ExpectInformation();
    cueList_->PopUpExportMP3->trigger();
    EXPECT_EQ(prompts_.LastFileDialog().fileName, dir_.File("out/a_b_c_d.mp3"));
    EXPECT_EQ(prompts_.Texts().back(), texts::kExportSkipped);
    EXPECT_EQ(prompts_.LastFolderDialog().extraCheckBox, texts::kOverwriteBox);
    EXPECT_TRUE(cutter_.PlayerResumed());
}

// A ".m3q" name chosen in the folder export's dialog writes a cue file, though the submenu said
// MP3; a skipped cue must not stop the next one.
TEST_F(CueListFormTest, FolderExportTakesTheChosenKindAndGoesOnAfterASkippedCue) {
    TCutObject* cut = Entry("song.mp3", 30);
    MarkedCue(cut, 0, 4)->Name = "one";
    MarkedCue(cut, 5, 9)->Name = "two";
    MarkedCue(cut, 10, 14)->Name = "three";
    std::filesystem::create_directories(dir_.File("out"));
    WriteFileBytes(dir_.File("out/one.mp3"), {1});
    WriteFileBytes(dir_.File("out/two.mp3"), {2});
    Select(cueList_->CueList, {0, 1, 2});
    prompts_.ExpectFolder(dir_.File("out"));
    prompts_.ExpectSaveFile("");  // one: skipped
    prompts_.ExpectInformation();
    prompts_.ExpectSaveFile(dir_.File("out/two.m3q"));
    cueList_->PopUpExportMP3->trigger();
    EXPECT_EQ(ReadFileBytes(dir_.File("out/one.mp3")), std::vector<uint8_t>{1});
    std::string source;
    std::unique_ptr<TCueObject> two = LoadCueFile(dir_.File("out/two.m3q"), source);
    ASSERT_TRUE(two);
    EXPECT_EQ(two->Name, "two");
    EXPECT_EQ(source, cut->FileName);
    const std::vector<uint8_t> all = ReadFileBytes(cut->FileName);
    EXPECT_EQ(ReadFileBytes(dir_.File("out/three.mp3")),
              std::vector<uint8_t>(all.begin() + 10 * 417, all.begin() + 15 * 417));
}

// A target that a cut object holds open (here the cue's own source) must never be written; in
// the folder export that cue is reported once at the end and the next cue is still written.
TEST_F(CueListFormTest, HeldSourceIsNeverAnExportTargetAndTheFolderExportGoesOn) {
    TCutObject* cut = Entry("song.mp3", 30);
    const std::vector<uint8_t> source = ReadFileBytes(cut->FileName);
    MarkedCue(cut, 0, 4)->Name = "song";
    MarkedCue(cut, 5, 9)->Name = "other";
    Select(cueList_->CueList, {0});
    prompts_.ExpectSaveFile(cut->FileName);
    prompts_.ExpectError();
    cueList_->PopUpExportAs->trigger();
    EXPECT_EQ(prompts_.Texts().back(), "Cannot create file " + cut->FileName);

    Select(cueList_->CueList, {0, 1});
    prompts_.ExpectFolder(dir_.Path(), true);
    prompts_.ExpectError();
    cueList_->PopUpExportMP3->trigger();
    EXPECT_EQ(prompts_.Texts().back(),
              "1 of the selected cues could not be exported:\r\n"
              "Cannot create file " +
                  cut->FileName);
    EXPECT_EQ(ReadFileBytes(cut->FileName), source);
    EXPECT_EQ(ReadFileBytes(dir_.File("other.mp3")),
              std::vector<uint8_t>(source.begin() + 5 * 417, source.begin() + 10 * 417));
    EXPECT_TRUE(cutter_.PlayerResumed());
}

// A cue file whose source has moved meets the bin's missing-file question for the old path and
// is then reported, without adding a cue that points nowhere.
TEST_F(CueListFormTest, CueFileWhoseSourceMovedAsksForTheFileThenReportsTheCueFile) {
    TCueObject* cue = MarkedCue(Entry("song.mp3", 30), 2, 6);
    const std::string cueFile = dir_.File("kept.m3q");
    ASSERT_TRUE(SaveCueFile(cue, cueFile));
    const std::string moved = Bin().At(0)->FileName;
    Select(bin_->CutObjectsList, {0});
    bin_->PopUpDelete->trigger();
    std::filesystem::remove(moved);
    prompts_.ExpectOpenFiles({cueFile});
    prompts_.ExpectErrorYesNo(Prompts::Answer::Yes);
    prompts_.ExpectError();
    cueList_->PopUpImport->trigger();
    EXPECT_EQ(prompts_.LastFileDialog().title, texts::kImportCuesTitle);
    const std::vector<std::string> texts = prompts_.Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[1], "Unable to find file " + moved + "\r\nDo you want to continue?");
    EXPECT_EQ(texts[2], "Unable to import cue file " + cueFile);
    EXPECT_EQ(cueList_->ItemModel().rowCount(), 0);
}

// A cue file dropped on the cue list goes through the bin's import like any dropped file, and
// brings its source into the bin.
TEST_F(CueListFormTest, DroppedCueFileIsImportedWithItsSource) {
    TCueObject* cue = MarkedCue(Entry("song.mp3", 30), 2, 6);
    cue->Name = "kept";
    const std::string cueFile = dir_.File("kept.m3q");
    ASSERT_TRUE(SaveCueFile(cue, cueFile));
    Select(bin_->CutObjectsList, {0});
    bin_->PopUpDelete->trigger();
    ASSERT_EQ(cueList_->ItemModel().rowCount(), 0);
    DropFiles(cueList_->CueList->viewport(), {cueFile});
    EXPECT_EQ(Names(), std::vector<std::string>{"kept"});
    EXPECT_EQ(Bin().Count(), 1);
}

// The properties of a cue are those of its file.
TEST_F(CueListFormTest, PropertiesShowTheCuesFile) {
    MarkedCue(Entry("song.mp3", 14), 2, 6);
    Select(cueList_->CueList, {0});
    QString shown;
    WhenShown<TPropertiesForm>([&](TPropertiesForm& form) {
        shown = form.PropsMemo->toPlainText();
        form.OkBtn->click();
    });
    cueList_->PopUpProperties->trigger();
    EXPECT_TRUE(shown.contains(QStringLiteral("Number of frames: 14")));
}

// An auto-cut of a long recording adds thousands of cues; every one must reach the window, with
// the totals of all of them (the time it takes is measured in bench/).
TEST_F(CueListFormTest, TenThousandCuesAllShowWithTheirTotals) {
    TCutObject* cut = Entry("song.mp3", 50);
    Cues().BeginBatch();
    for (int i = 0; i < 10000; ++i) {
        ASSERT_TRUE(Cues().AddCue(cut, "Auto" + std::to_string(i + 1), 0, 1));
    }
    Cues().EndBatch();
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(Cues().AddCue(cut, "Single", 0, 0));
    }
    QApplication::processEvents();
    EXPECT_EQ(cueList_->ItemModel().rowCount(), 10100);
    EXPECT_EQ(cueList_->CueList->model()->index(9999, 0).data().toString(),
              QStringLiteral("Auto10000"));
    EXPECT_EQ(FramesText(), QStringLiteral("Total frames: 20100"));
    cueList_->CueList->scrollToBottom();
    cueList_->repaint();
    // With the scroll bar the name column gives way: the Time column was cut off; a wider
    // window widens the names.
    QHeaderView* header = cueList_->CueList->header();
    const int viewport = cueList_->CueList->viewport()->width();
    EXPECT_LE(header->sectionViewportPosition(3) + header->sectionSize(3), viewport);
    const int name = header->sectionSize(0);
    cueList_->resize(cueList_->width() + 200, cueList_->height());
    QApplication::processEvents();
    EXPECT_GT(header->sectionSize(0), name + 150);
}

// The end-to-end tests and screen readers find controls by role and name: a control or menu
// entry without one cannot be driven or read out.
TEST_F(CueListFormTest, EveryControlAndMenuEntryOfBothListsHasAName) {
    for (QWidget* form :
         {static_cast<QWidget*>(bin_.get()), static_cast<QWidget*>(cueList_.get())}) {
        EXPECT_FALSE(form->accessibleName().isEmpty());
        for (QWidget* control : {static_cast<QWidget*>(form->findChild<ItemListView*>()),
                                 static_cast<QWidget*>(form->findChild<QStatusBar*>())}) {
            ASSERT_NE(control, nullptr);
            EXPECT_FALSE(control->accessibleName().isEmpty())
                << control->objectName().toStdString();
            EXPECT_FALSE(control->objectName().isEmpty());
        }
        // A panel is read by what it shows ("Total frames: 38"); its description says which.
        for (QLabel* panel : form->findChildren<QLabel*>()) {
            EXPECT_EQ(QAccessible::queryAccessibleInterface(panel)->text(QAccessible::Name),
                      panel->text())
                << panel->objectName().toStdString();
            EXPECT_FALSE(panel->accessibleDescription().isEmpty());
        }
        for (QMenu* menu : form->findChildren<QMenu*>()) {
            for (QAction* action : menu->actions()) {
                if (!action->isSeparator()) {
                    EXPECT_FALSE(action->objectName().isEmpty()) << action->text().toStdString();
                }
            }
        }
    }
}

}  // namespace
}  // namespace sw::test
