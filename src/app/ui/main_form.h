#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_commands.h"
#include "engine/ui/qt_front_end.h"
#include "player/qt/wave_out.h"
#include "project/project_document.h"
#include "project/scan_runner.h"
#include "project/taglib/piece_tagger.h"
#include "stream/prompts.h"

class QAction;
class QLabel;
class QMdiArea;
class QTimer;
class QToolBar;

namespace sw {

class ChildWindow;
class CutterWaveformLink;
class TCueListForm;
class TCutterForm;
class TProjectForm;
class TWaveformForm;

// The program's frame window: a workspace holding the child windows, which are created once and
// only shown or hidden, the menus and the toolbar of the project commands and of the toggles that
// follow the child windows' visibility, and a status bar whose first panel shows the long hint of
// what is under the mouse and whose second says "Modified". It holds the project document (bin,
// cue list, properties) and hosts the cutter, the cue list and the project bin. The commands'
// rules are MainCommands'; this window shows their state and forwards its items to them. Files
// dropped on it go to the bin's import like those dropped on the lists.
class TMainForm : public QMainWindow, private MainCommandsView {
    Q_OBJECT

  public:
    explicit TMainForm(Prompts& prompts, std::unique_ptr<WaveOut> waveOut = nullptr,
                       QWidget* parent = nullptr);
    ~TMainForm() override;

    TCutterForm* Cutter() const { return cutter_; }
    ChildWindow* CutterWindow() const { return cutterWindow_; }
    QMdiArea* Workspace() const { return workspace_; }
    QAction* ViewCutterAction() const { return viewCutter_; }
    TProjectForm* ProjectBin() const { return projectBin_; }
    TCueListForm* CueList() const { return cueList_; }
    QAction* ViewProjectBinAction() const { return viewProjectBin_; }
    QAction* ViewCueListAction() const { return viewCueList_; }
    TWaveformForm* Waveform() const { return waveform_; }
    QAction* ViewWaveformAction() const { return viewWaveform_; }
    QToolBar* ToolBar() const { return toolBar_; }
    MainCommands& Commands() { return commands_; }
    QLabel* HintPanel() const { return hintPanel_; }
    QLabel* ModifiedPanel() const { return modifiedPanel_; }
    // The action of that objectName ("NewAction", "SaveAsAction", ...), null when none.
    QAction* Action(const char* objectName) const;

    ProjectDocument& Document() { return document_; }

    // Makes "Check for &updates" (and the about box's link) start checkForUpdates; until then
    // the item is shown disabled.
    void SetCheckForUpdates(std::function<void()> checkForUpdates);

    // Imports the named files into the bin (names without a folder taken in baseFolder), as the
    // command line's files; the user opens one in the cutter. Returns how many entries came in.
    int ImportFiles(const std::vector<std::string>& names, const std::string& baseFolder);

    // Files a later start handed over: imported as a drop of them would be, once no scan,
    // question or dialog runs (a drop could not come in before either), the frame in front.
    void ImportHandedOver(const std::vector<std::string>& files);

    // What an export from any window wrote ("Exported 120 frames to take.mp3"): shown in the
    // hint panel for a few seconds, in which the hints of what the mouse passes wait.
    void ShowExportReport(const std::string& text);

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void CreateMenusAndToolBar();
    void CreateFileMenu();
    void CreateOtherMenus();
    void CreateToolBar();
    void CreateListWindows();
    // Without a stored placement: large enough for the child windows at their designed places.
    void FitFirstStart();
    void CreateWaveformWindow();
    // The waveform's place when none is stored: below the other child windows, across the frame.
    void PlaceWaveform();
    // The caption, the "Modified" panel and the commands' availability, from MainCommands.
    void CommandsChanged() override;
    QAction* CommandAction(const char* objectName, const QString& text, const char* hint,
                           void (TMainForm::*handler)());

    void NewClick();
    void OpenClick();
    void SaveClick();
    void SaveAsClick();
    void ImportClick();
    void ExportClick();
    void PreferencesClick();
    void PropertiesClick();
    void ReadMeClick();
    void CheckForUpdatesClick();
    void AboutClick();
    void ImportHandedOverWhenFree();

    Prompts& prompts_;
    QtFrontEnd frontEnd_;
    CoreScanRunner scans_;
    ProjectDocument document_;
    PieceTagger pieceTagger_;  // the folder export's MP3 pieces get their tags here
    MainCommands commands_;
    std::function<void()> checkForUpdates_;
    QMdiArea* workspace_ = nullptr;
    ChildWindow* cutterWindow_ = nullptr;
    TCutterForm* cutter_ = nullptr;
    QAction* viewCutter_ = nullptr;
    ChildWindow* cueListWindow_ = nullptr;
    TCueListForm* cueList_ = nullptr;
    QAction* viewCueList_ = nullptr;
    ChildWindow* projectBinWindow_ = nullptr;
    TProjectForm* projectBin_ = nullptr;
    QAction* viewProjectBin_ = nullptr;
    std::unique_ptr<CutterWaveformLink> waveformLink_;
    ChildWindow* waveformWindow_ = nullptr;
    TWaveformForm* waveform_ = nullptr;
    QAction* viewWaveform_ = nullptr;
    QAction* new_ = nullptr;
    QAction* open_ = nullptr;
    QAction* save_ = nullptr;
    QAction* saveAs_ = nullptr;
    QAction* import_ = nullptr;
    QAction* export_ = nullptr;
    QAction* preferences_ = nullptr;
    QAction* properties_ = nullptr;
    QAction* readMe_ = nullptr;
    QAction* updates_ = nullptr;
    QAction* about_ = nullptr;
    QAction* exit_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* hintPanel_ = nullptr;
    QLabel* modifiedPanel_ = nullptr;
    QTimer* reportTimer_ = nullptr;
    std::vector<std::string> handedOver_;
};

}  // namespace sw
