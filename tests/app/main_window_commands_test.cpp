// The whole frame window on the offscreen platform with scripted prompts: its menus and toolbar,
// the project commands as the user reaches them, the close question, files dropped on it and
// the command line's project and files.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <functional>

#include "app/command_line.h"
#include "app/settings/global_settings.h"
#include "app/ui/child_window.h"
#include "app/ui/main_form.h"
#include "app/ui/preferences_form.h"
#include "app/ui/program_start.h"
#include "app/ui/project_properties_form.h"
#include "cutter/ui/cutter_form.h"
#include "player/qt/cut_player_thread.h"
#include "player/test_wave_out.h"
#include "player_fixture.h"
#include "project/project_document.h"
#include "project/ui/project_form.h"
#include "scripted_prompts.h"
#include "settings_test_store.h"
#include "when_shown.h"

namespace sw::test {
namespace {

using Answer = Prompts::Answer;

std::vector<std::string> Captions(const QList<QAction*>& actions) {
    std::vector<std::string> captions;
    for (QAction* action : actions) {
        captions.push_back(action->isSeparator() ? "-" : action->text().toStdString());
    }
    return captions;
}

QMenu* MenuOf(QMainWindow& window, const char* objectName) {
    return window.menuBar()->findChild<QMenu*>(QString::fromLatin1(objectName));
}

class MainWindowCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        GlobalSettings() = DefaultGlobalSettings();
        GlobalSettings().CutterAutoPlay = true;
        GlobalSettings().SaveIndexStream = false;
        GlobalSettings().TempFolder = dir_.Path();
        auto device = std::make_unique<TestWaveOut>();
        device_ = device.get();
        form_ = std::make_unique<TMainForm>(prompts_, std::move(device));
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
        ProcessEvents();
    }
    void TearDown() override {
        form_.reset();
        ProcessEvents();
        EXPECT_TRUE(prompts_.Done()) << "a scripted prompt never came";
    }

    // A key as the user presses it on the frame. Window shortcuts (Ctrl+S, F6) work in the
    // active window only, and every scan's progress window took that from the frame.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QApplication::setActiveWindow(form_.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
        QTest::keyClick(form_.get(), key, modifiers);
        ProcessEvents();
    }
    std::string Mp3(const std::string& name, int frames = 40) {
        WriteNumberedFrames(dir_.File(name), frames);
        return dir_.File(name);
    }
    QAction* Action(const char* name) {
        QAction* action = form_->Action(name);
        EXPECT_NE(action, nullptr) << name;
        return action;
    }
    QToolButton* Button(const char* name) {
        auto* button = form_->ToolBar()->findChild<QToolButton*>(QString::fromLatin1(name));
        EXPECT_NE(button, nullptr) << name;
        return button;
    }
    std::string Caption() const { return form_->windowTitle().toStdString(); }
    std::string ModifiedPanel() const { return form_->ModifiedPanel()->text().toStdString(); }
    ProjectBinModel& Bin() { return form_->Document().Bin(); }
    // A project file with the given sources and one cue on the first.
    std::string Project(const std::string& name, const std::vector<std::string>& sources) {
        ScriptedPrompts quiet;
        CoreScanRunner scans{GlobalSettings()};
        ProjectDocument document(GlobalSettings(), quiet, scans);
        document.Bin().ParseMP3List("", sources);
        document.Cues().AddCue(document.Bin().At(0), "kept", 3, 9);
        document.SaveProject(dir_.File(name));
        return dir_.File(name);
    }
    // Drops the files on the frame itself, the way the desktop hands them over.
    void Drop(const std::vector<std::string>& names) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const std::string& name : names) {
            urls.push_back(QUrl::fromLocalFile(QString::fromStdString(name)));
        }
        mime.setUrls(urls);
        const QPoint at = form_->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form_.get(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form_.get(), &drop);
        ProcessEvents();
    }

    TestSettingsStore store_;
    TempDir dir_;
    ScriptedPrompts prompts_;
    TestWaveOut* device_ = nullptr;
    std::unique_ptr<TMainForm> form_;
};

TEST_F(MainWindowCommandsTest, MenusAndToolbarCarryTheirItemsInOrderWithTheirKeys) {
    // A command out of place or without its key is one the user cannot find or reach.
    EXPECT_EQ(Captions(form_->menuBar()->actions()),
              (std::vector<std::string>{"&File", "&View", "&Project", "&Tools", "&Help"}));
    EXPECT_EQ(Captions(MenuOf(*form_, "FileMenu")->actions()),
              (std::vector<std::string>{"&New", "&Open", "&Save", "Save &As", "-", "&Import",
                                        "&Export", "-", "&Preferences", "-", "E&xit"}));
    EXPECT_EQ(Captions(MenuOf(*form_, "ViewMenu")->actions()),
              (std::vector<std::string>{"&Project bin", "&Cutter", "Cue &list", "&Waveform"}));
    EXPECT_EQ(Captions(MenuOf(*form_, "ProjectMenu")->actions()),
              (std::vector<std::string>{"&Properties"}));
    EXPECT_FALSE(MenuOf(*form_, "ToolsMenu")->menuAction()->isEnabled());
    EXPECT_EQ(Captions(MenuOf(*form_, "HelpMenu")->actions()),
              (std::vector<std::string>{"&View ReadMe.txt", "-", "Check for &updates", "&About"}));
    const std::pair<const char*, const char*> keys[] = {
        {"NewAction", "Ctrl+N"},        {"OpenAction", "Ctrl+O"},   {"SaveAction", "Ctrl+S"},
        {"ImportAction", "Ctrl+I"},     {"ExportAction", "Ctrl+E"}, {"ExitAction", "Alt+F4"},
        {"ViewProjectBinAction", "F5"}, {"ViewCutterAction", "F6"}, {"ViewCueListAction", "F7"},
        {"ViewWaveformAction", "F8"},
    };
    for (const auto& [name, key] : keys) {
        EXPECT_EQ(Action(name)->shortcut(), QKeySequence(QString::fromLatin1(key))) << name;
    }
    // The hint's long part reaches the first status panel.
    EXPECT_EQ(Action("OpenAction")->statusTip(), "Open an existing project");
    QStatusTipEvent tip(Action("OpenAction")->statusTip());
    QApplication::sendEvent(form_.get(), &tip);
    EXPECT_EQ(form_->HintPanel()->text(), "Open an existing project");

    std::vector<std::string> buttons;
    for (QAction* action : form_->ToolBar()->actions()) {
        QWidget* widget = form_->ToolBar()->widgetForAction(action);
        buttons.push_back(action->isSeparator() ? "-" : widget->objectName().toStdString());
        if (!action->isSeparator()) {
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << buttons.back();
        }
    }
    EXPECT_EQ(buttons, (std::vector<std::string>{"NewBtn", "OpenBtn", "SaveBtn", "-", "ImportBtn",
                                                 "ExportBtn", "-", "ProjectBinBtn", "CueListBtn",
                                                 "CutterBtn", "WaveformBtn", "-", "PropertiesBtn",
                                                 "-", "PreferencesBtn", "AboutBtn", "ExitBtn"}));
    // The frame's own actions and its menus' (the sub-windows' system menus are Qt's).
    QList<QAction*> own = form_->findChildren<QAction*>(Qt::FindDirectChildrenOnly);
    own += form_->menuBar()->actions();
    own += form_->ToolBar()->toggleViewAction();
    for (QAction* action : own) {
        EXPECT_FALSE(action->objectName().isEmpty()) << action->text().toStdString();
    }
}

TEST_F(MainWindowCommandsTest, AFreshStartIsUntitled1WithNewSaveSaveAsAndExportUnavailable) {
    // A fresh window that offers Save or Export writes an empty project or an empty file.
    EXPECT_EQ(Caption(), "Slicewell 4 - Untitled1");
    EXPECT_EQ(ModifiedPanel(), "");
    for (const char* name : {"NewAction", "SaveAction", "SaveAsAction", "ExportAction"}) {
        EXPECT_FALSE(Action(name)->isEnabled()) << name;
    }
    EXPECT_FALSE(Button("NewBtn")->isEnabled());
    EXPECT_FALSE(Button("SaveBtn")->isEnabled());
    EXPECT_TRUE(Action("OpenAction")->isEnabled());
    // No read-me lies beside the test program, and no update check was wired.
    EXPECT_FALSE(Action("ReadMeAction")->isVisible());
    EXPECT_FALSE(Action("CheckForUpdatesAction")->isEnabled());
}

TEST_F(MainWindowCommandsTest, AnImportMakesNewAndSaveAvailableAndCtrlSAsksForTheName) {
    // Save would stay grey after an import, or write somewhere without asking.
    form_->ImportFiles({Mp3("a.mp3")}, "");
    EXPECT_EQ(ModifiedPanel(), "Modified");
    EXPECT_TRUE(Action("NewAction")->isEnabled());
    EXPECT_TRUE(Button("SaveBtn")->isEnabled());
    EXPECT_FALSE(Action("SaveAsAction")->isEnabled());

    prompts_.ExpectSaveFile(dir_.File("Mix.m3p"));
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(prompts_.LastFileDialog().title, "Save current project as");
    EXPECT_EQ(Caption(), "Slicewell 4 - Mix");
    EXPECT_EQ(ModifiedPanel(), "");
    EXPECT_FALSE(Action("SaveAction")->isEnabled());
    EXPECT_TRUE(Action("SaveAsAction")->isEnabled());
    EXPECT_EQ(GlobalSettings().LastSaveFolder, dir_.Path());
}

TEST_F(MainWindowCommandsTest, NewTwiceShowsUntitled2ThenUntitled3) {
    // The second project of a run would carry the first one's name.
    form_->ImportFiles({Mp3("a.mp3")}, "");
    prompts_.ExpectYesNo(Answer::Yes);
    Action("NewAction")->trigger();
    EXPECT_EQ(Caption(), "Slicewell 4 - Untitled2");
    EXPECT_EQ(Bin().Count(), 0);
    EXPECT_EQ(form_->Cutter()->CurrentCutObject(), nullptr);
    form_->ImportFiles({Mp3("b.mp3")}, "");
    prompts_.ExpectYesNo(Answer::Yes);
    Action("NewAction")->trigger();
    EXPECT_EQ(Caption(), "Slicewell 4 - Untitled3");
    EXPECT_FALSE(Action("NewAction")->isEnabled());
}

TEST_F(MainWindowCommandsTest, QuittingAsksOnlyAboutModifiedContentAndNoKeepsEverything) {
    // Either work is lost unasked, or No still ends the program or empties the bin.
    form_->Document().SetModified(true);  // modified, but bin and cue list are empty
    form_->ImportFiles({Mp3("a.mp3")}, "");
    prompts_.ExpectYesNo(Answer::No);
    EXPECT_FALSE(form_->close());
    EXPECT_EQ(prompts_.History().back().text,
              "Current project was modified.\r\nAre you sure you want to quit?");
    EXPECT_TRUE(form_->isVisible());
    EXPECT_EQ(Bin().Count(), 1);
    EXPECT_TRUE(form_->CutterWindow()->isVisible());
    EXPECT_EQ(ModifiedPanel(), "Modified");
    prompts_.ExpectYesNo(Answer::Yes);
    EXPECT_TRUE(form_->close());
}

TEST_F(MainWindowCommandsTest, TheFrameDoesNotCloseWhileAModalWindowRuns) {
    // Closing under a scan's or an export's progress window frees what the worker reads.
    form_->ImportFiles({Mp3("a.mp3")}, "");
    QDialog modal(form_.get());
    bool closed = true;
    QTimer::singleShot(0, &modal, [&] {
        closed = form_->close();
        modal.reject();
    });
    modal.exec();
    EXPECT_FALSE(closed);
    EXPECT_TRUE(form_->isVisible());
    EXPECT_EQ(Bin().Count(), 1);
}

TEST_F(MainWindowCommandsTest, ConfirmedPreferencesReachTheCutter) {
    // The cutter would go on with the old settings until the next start.
    GlobalSettings().CutterKBControl = false;
    form_->Cutter()->InitializeCutter();
    ASSERT_EQ(form_->Cutter()->windowTitle(), "Cutter (keyboard disabled)");
    WhenShown<TPreferencesForm>([](TPreferencesForm& dialog) {
        dialog.findChild<QCheckBox*>("KeyboardBox")->click();
        dialog.OkButton()->click();
    });
    Action("PreferencesAction")->trigger();
    EXPECT_TRUE(GlobalSettings().CutterKBControl);
    EXPECT_EQ(form_->Cutter()->windowTitle(), "Cutter (keyboard enabled)");
}

TEST_F(MainWindowCommandsTest, AModifiedButEmptyProjectClosesWithoutAsking) {
    // The user would be asked about losing nothing.
    form_->Document().SetModified(true);
    EXPECT_TRUE(form_->close());
    EXPECT_TRUE(prompts_.History().empty());
}

TEST_F(MainWindowCommandsTest, ChangedPropertiesOnlyMakeSaveAvailable) {
    // A tag edit would mark the bin modified (and ask at quit), or could not be saved at all.
    form_->ImportFiles({Mp3("a.mp3")}, "");
    prompts_.ExpectSaveFile(dir_.File("tagged.m3p"));
    Action("SaveAction")->trigger();
    ASSERT_FALSE(Action("SaveAction")->isEnabled());
    WhenShown<TProjectPropertiesForm>([](TProjectPropertiesForm& dialog) {
        auto* title = dialog.findChild<QLineEdit*>("TitleEdit");
        ASSERT_NE(title, nullptr);
        title->setFocus();
        QTest::keyClicks(title, "New title");
        dialog.close();
    });
    Action("PropertiesAction")->trigger();
    EXPECT_EQ(form_->Document().Properties().Tag.Title, "New title");
    EXPECT_TRUE(Action("SaveAction")->isEnabled());
    EXPECT_EQ(ModifiedPanel(), "");
    EXPECT_TRUE(form_->close());
    EXPECT_EQ(prompts_.History().size(), 1u);  // the save dialog only
}

TEST_F(MainWindowCommandsTest, F6PausesThePlayingCutterAndResumesIt) {
    // Hiding the cutter would leave it playing unseen, or showing it would not play on.
    form_->ImportFiles({Mp3("a.mp3", 200)}, "");
    form_->Cutter()->OpenCutObject(form_->Document().Bin().At(0));
    TCutPlayerThread* player = form_->Cutter()->Player();
    ASSERT_EQ(player->PlayerMode(), kModePlayAll);
    device_->Advance(3);
    ProcessEvents();
    Key(Qt::Key_F6);
    EXPECT_FALSE(form_->CutterWindow()->isVisible());
    EXPECT_FALSE(player->Active());
    EXPECT_TRUE(device_->Paused() || device_->Queued() == 0);
    const uint32_t position = player->Position();
    device_->Advance(3);
    ProcessEvents();
    EXPECT_EQ(player->Position(), position);
    Key(Qt::Key_F6);
    EXPECT_TRUE(form_->CutterWindow()->isVisible());
    EXPECT_TRUE(player->Active());
    EXPECT_EQ(player->PlayerMode(), kModePlayAll);
    device_->Advance(3);
    ProcessEvents();
    EXPECT_GT(player->Position(), position);
}

TEST_F(MainWindowCommandsTest, ExportIsAvailableExactlyWhileCuesHoldFrames) {
    // Export would offer to write an empty file, or stay grey with cues on the list.
    form_->ImportFiles({Mp3("a.mp3")}, "");
    EXPECT_FALSE(Action("ExportAction")->isEnabled());
    form_->Document().Cues().AddCue(Bin().At(0), "one", 0, 9);
    ProcessEvents();
    EXPECT_TRUE(Action("ExportAction")->isEnabled());
    EXPECT_TRUE(Button("ExportBtn")->isEnabled());
    form_->Document().Cues().DeleteAll();
    ProcessEvents();
    EXPECT_FALSE(Action("ExportAction")->isEnabled());
}

TEST_F(MainWindowCommandsTest, AFirstStartShowsEveryChildWindowWholeAndTheTogglesOwnHints) {
    // At 640 x 480 the cutter's right edge and the cue list's totals were cut off; over the
    // toolbar the toggles showed the menu's hints.
    const QRect workspace = form_->Workspace()->viewport()->rect();
    for (QMdiSubWindow* child : form_->Workspace()->subWindowList()) {
        EXPECT_TRUE(workspace.contains(child->geometry())) << child->objectName().toStdString();
    }
    EXPECT_TRUE(form_->screen()->availableGeometry().contains(form_->frameGeometry()));
    // The bin, widened for its status in the desktop's font, pushes the cutter right instead of
    // covering it (the design lets their edges share two pixels).
    const QList<QMdiSubWindow*> children = form_->Workspace()->subWindowList();
    for (int i = 0; i < children.size(); ++i) {
        for (int j = i + 1; j < children.size(); ++j) {
            EXPECT_LE((children[i]->geometry() & children[j]->geometry()).width(), 2)
                << children[i]->objectName().toStdString() << " "
                << children[j]->objectName().toStdString();
        }
    }
    QLabel* status = form_->ProjectBin()->StatusPanel;
    EXPECT_GE(status->width(),
              status->fontMetrics().horizontalAdvance("137761 frames - NOT completely scanned"));
    for (const char* button : {"ProjectBinBtn", "CueListBtn"}) {
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(Button(button), &enter);
        EXPECT_EQ(form_->HintPanel()->text(), Button(button)->toolTip()) << button;
    }
    EXPECT_EQ(form_->HintPanel()->text(), "Hide / show cue-list");
}

TEST_F(MainWindowCommandsTest, ScreenReadersHearTheCaptionAndWhatEveryPanelShows) {
    // An accessible name such as "Total frames" or "Hint" hid the value the eye sees, and the
    // frame's fixed name hid which project is open.
    form_->ImportFiles({Mp3("a.mp3")}, "");
    form_->Cutter()->OpenCutObject(Bin().At(0));
    form_->Document().Cues().AddCue(Bin().At(0), "one", 0, 9);
    ProcessEvents();
    const auto spoken = [](QObject* object) {
        return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name);
    };
    EXPECT_EQ(spoken(form_.get()), "Slicewell 4 - Untitled1");
    int panels = 0;
    for (QStatusBar* bar : form_->findChildren<QStatusBar*>()) {
        for (QLabel* panel : bar->findChildren<QLabel*>()) {
            EXPECT_EQ(spoken(panel), panel->text()) << panel->objectName().toStdString();
            ++panels;
        }
    }
    EXPECT_EQ(panels, 2 + 1 + 2 + 3) << "frame, bin, cue list, cutter";
    EXPECT_EQ(spoken(form_->ModifiedPanel()), "Modified");
}

TEST_F(MainWindowCommandsTest, AnExportSaysWhatItWroteInTheStatusBarForAWhile) {
    // An export that ended silently left the user to look in the folder whether it ran, and a
    // hint under the resting mouse would have replaced the report at once.
    form_->ImportFiles({Mp3("a.mp3")}, "");
    form_->Document().Cues().AddCue(Bin().At(0), "one", 0, 9);
    ProcessEvents();
    prompts_.ExpectSaveFile(dir_.File("all.mp3"));
    Key(Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(form_->HintPanel()->text(), "Exported 10 frames to all.mp3");
    QStatusTipEvent hint("Start a new project");
    QApplication::sendEvent(form_.get(), &hint);
    EXPECT_EQ(form_->HintPanel()->text(), "Exported 10 frames to all.mp3");
}

TEST_F(MainWindowCommandsTest, FilesDroppedOnTheFrameComeInTheDropsOrder) {
    // Dropped files would be lost, or listed in another order than the user chose them.
    const std::vector<std::string> names = {Mp3("c.mp3"), Mp3("a.mp3"), Mp3("b.mp3")};
    Drop(names);
    ASSERT_EQ(Bin().Count(), 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(Bin().At(row)->FileName, names[static_cast<size_t>(row)]);
    }
}

TEST_F(MainWindowCommandsTest, ACommandLineProjectWinsOverTheFilesAroundIt) {
    // a.mp3 and c.mp3 would be imported into the opened project, or the project not opened.
    const std::string project = Project("b.m3p", {Mp3("x.mp3")});
    const CommandLine line = ParseCommandLine({Mp3("a.mp3"), project, Mp3("c.mp3")});
    NameStartProject(*form_, line);
    EXPECT_EQ(Caption(), "Slicewell 4 - b");
    OpenCommandLineFiles(*form_, line, dir_.Path());
    ASSERT_EQ(Bin().Count(), 1);
    EXPECT_EQ(Bin().At(0)->FileName, dir_.File("x.mp3"));
    ASSERT_EQ(form_->Document().Cues().Count(), 1);
    EXPECT_EQ(form_->Document().Cues().At(0)->Name, "kept");
    EXPECT_EQ(ModifiedPanel(), "");
    EXPECT_EQ(Caption(), "Slicewell 4 - b");
}

TEST_F(MainWindowCommandsTest, AnExtensionThatOnlyBeginsWithM3pStillNamesAProject) {
    // song.m3px would be imported as audio and refused as a file of another format.
    const std::string project = Project("song.m3px", {Mp3("x.mp3")});
    const CommandLine line = ParseCommandLine({project});
    NameStartProject(*form_, line);
    OpenCommandLineFiles(*form_, line, dir_.Path());
    EXPECT_EQ(Caption(), "Slicewell 4 - song");
    EXPECT_EQ(Bin().Count(), 1);
    EXPECT_EQ(form_->Document().Cues().Count(), 1);
}

TEST_F(MainWindowCommandsTest, CommandLineFilesWithoutAProjectAreImportedInOrder) {
    // Relative names would be looked for in the program's folder, not where it was started.
    Mp3("a.mp3");
    Mp3("c.mp3");
    const CommandLine line = ParseCommandLine({"c.mp3", "a.mp3"});
    NameStartProject(*form_, line);
    OpenCommandLineFiles(*form_, line, dir_.Path());
    EXPECT_EQ(Caption(), "Slicewell 4 - Untitled1");
    ASSERT_EQ(Bin().Count(), 2);
    EXPECT_EQ(Bin().At(0)->FileName, dir_.File("c.mp3"));
    EXPECT_EQ(Bin().At(1)->FileName, dir_.File("a.mp3"));
}

}  // namespace
}  // namespace sw::test
