// The program's frame on the offscreen platform: the cutter as a child window that is only
// shown or hidden, with the View item and the toolbar button in step, and files named at start.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QMdiArea>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "app/settings/global_settings.h"
#include "app/ui/child_window.h"
#include "app/ui/main_form.h"
#include "cutter/ui/cutter_form.h"
#include "cutter/ui/waveform_form.h"
#include "player/qt/cut_player_thread.h"
#include "player/test_wave_out.h"
#include "player_fixture.h"
#include "scripted_prompts.h"
#include "settings_test_store.h"
#include "when_shown.h"

namespace sw::test {
namespace {

class MainFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        GlobalSettings() = DefaultGlobalSettings();
        GlobalSettings().CutterAutoPlay = false;
        GlobalSettings().SaveIndexStream = false;
        form_ = std::make_unique<TMainForm>(prompts_, std::make_unique<TestWaveOut>());
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
        ProcessEvents();
    }
    void TearDown() override {
        form_.reset();
        ProcessEvents();
    }

    QToolButton* CutterButton() { return form_->findChild<QToolButton*>("CutterBtn"); }

    TestSettingsStore store_;
    ScriptedPrompts prompts_;
    std::unique_ptr<TMainForm> form_;
};

TEST_F(MainFormTest, F6AndTheToolbarButtonHideAndShowTheCutterInStep) {
    // The menu's check mark, the button and the window would disagree about what is shown.
    ChildWindow* window = form_->CutterWindow();
    ASSERT_NE(CutterButton(), nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(form_->ViewCutterAction()->isChecked());
    EXPECT_TRUE(CutterButton()->isChecked());
    EXPECT_EQ(form_->ViewCutterAction()->shortcut(), QKeySequence(Qt::Key_F6));

    form_->ViewCutterAction()->trigger();
    ProcessEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(form_->ViewCutterAction()->isChecked());
    EXPECT_FALSE(CutterButton()->isChecked());

    QTest::mouseClick(CutterButton(), Qt::LeftButton);
    ProcessEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(form_->ViewCutterAction()->isChecked());
    EXPECT_TRUE(CutterButton()->isChecked());
}

TEST_F(MainFormTest, ClosingTheCutterHidesItThroughTheTogglePath) {
    // A real close would destroy the window that owns the player, or leave the toggles wrong.
    ChildWindow* window = form_->CutterWindow();
    TCutterForm* cutter = form_->Cutter();
    window->close();
    ProcessEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(form_->Cutter(), cutter);
    EXPECT_FALSE(form_->ViewCutterAction()->isChecked());
    EXPECT_FALSE(cutter->Player()->Active());
    EXPECT_TRUE(form_->Workspace()->subWindowList().contains(window));
    form_->ViewCutterAction()->trigger();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(cutter->Player()->Active());
}

TEST_F(MainFormTest, TheWaveformSitsBelowTheCutterAndF8TheButtonAndTheCloseBoxToggleIt) {
    // A fourth child window that starts hidden or on top of the cutter, cannot be resized, or
    // whose toggles disagree with it, or that is really closed, is one the user loses.
    ChildWindow* cutter = form_->CutterWindow();
    QWidget* window = form_->Waveform()->parentWidget();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(form_->Waveform()->windowTitle(), "Waveform");
    EXPECT_GE(window->y(), cutter->geometry().bottom());
    EXPECT_EQ(window->width(), form_->Workspace()->width());
    EXPECT_NE(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(form_->ViewWaveformAction()->shortcut(), QKeySequence(Qt::Key_F8));
    auto* button = form_->findChild<QToolButton*>("WaveformBtn");
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isChecked());

    QTest::keyClick(form_.get(), Qt::Key_F8);
    ProcessEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(button->isChecked());
    QTest::mouseClick(button, Qt::LeftButton);
    ProcessEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(form_->ViewWaveformAction()->isChecked());
    window->close();
    ProcessEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(form_->ViewWaveformAction()->isChecked());
    EXPECT_TRUE(form_->Workspace()->subWindowList().contains(window));
    // The toggle stored the placement under the window's own name.
    EXPECT_EQ(store_.Open()->value("WaveformForm/Visible").toInt(), 1);
}

TEST_F(MainFormTest, FilesNamedAtStartGoToTheBinOnly) {
    // The files would be scanned and then lost, or the cutter would take one the user never
    // chose; cutting one from the bin must then reach the cutter and its cues the cue list.
    TempDir dir;
    WriteNumberedFrames(dir.File("a.mp3"), 40);
    WriteNumberedFrames(dir.File("b.mp3"), 30);
    EXPECT_EQ(form_->ImportFiles({"a.mp3", "b.mp3"}, dir.Path()), 2);
    ProcessEvents();
    ASSERT_EQ(form_->Document().Bin().Count(), 2);
    EXPECT_EQ(form_->Cutter()->CurrentCutObject(), nullptr);
    TCutObject* first = form_->Document().Bin().At(0);
    form_->Cutter()->OpenCutObject(first);
    EXPECT_EQ(form_->Cutter()->CurrentCutObject(), first);
    EXPECT_EQ(first->MarkIn, 0);
    EXPECT_EQ(first->MarkOut, 39);
    EXPECT_EQ(form_->Cutter()->Player()->PlayerState(), kStateOpen);
    EXPECT_EQ(form_->Cutter()->StatusText(0), "a");
    // The cutter's cues reach the document's cue list.
    form_->Cutter()->findChild<QToolButton*>("MarkToCueListBtn")->click();
    EXPECT_EQ(form_->Document().Cues().Count(), 1);
}

TEST_F(MainFormTest, AMissingFileIsAskedAboutAndTheOthersStillCome) {
    // One bad name on the command line would stop the import of the rest.
    TempDir dir;
    WriteNumberedFrames(dir.File("b.mp3"), 30);
    prompts_.ExpectErrorYesNo(Prompts::Answer::Yes);  // the bin asks whether to go on
    EXPECT_EQ(form_->ImportFiles({"missing.mp3", "b.mp3"}, dir.Path()), 1);
    EXPECT_EQ(form_->Document().Bin().Count(), 1);
    EXPECT_EQ(form_->Document().Bin().At(0)->Name, "b");
}

TEST_F(MainFormTest, HandedOverFilesWaitForARunningDialogAndThenComeIn) {
    // A later start's files imported while a scan's progress window or a question is up would
    // start an import inside another; dropped on the floor they are lost.
    TempDir dir;
    WriteNumberedFrames(dir.File("later.mp3"), 30);
    int whileModal = -1;
    test::WhenModal([&](QWidget* modal) {
        form_->ImportHandedOver({dir.File("later.mp3")});
        QTest::qWait(300);
        whileModal = form_->Document().Bin().Count();
        modal->close();
    });
    QDialog dialog(form_.get());
    dialog.exec();
    EXPECT_EQ(whileModal, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form_->Document().Bin().Count() == 1; }, 5000));
    EXPECT_EQ(form_->Document().Bin().At(0)->Name, "later");
}

}  // namespace
}  // namespace sw::test
