#pragma once

#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "engine/qt_front_end.h"
#include "player/wave_out.h"
#include "project/project_document.h"
#include "project/scan_runner.h"
#include "stream/prompts.h"

class QAction;
class QLabel;
class QMdiArea;
class QToolBar;

namespace sw {

class ChildWindow;
class TCueListForm;
class TCutterForm;
class TProjectForm;

// The program's frame window: a workspace holding the child windows, which are created once and
// only shown or hidden, the View menu and the toolbar whose toggles follow the child windows'
// visibility, and a status bar whose first panel shows the long hint of what is under the mouse.
// It holds the project document (bin, cue list, properties) and hosts the cutter, the cue list
// and the project bin. Files dropped on it go to the bin's import like those dropped on the lists.
class TMainForm : public QMainWindow {
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
    QToolBar* ToolBar() const { return toolBar_; }

    ProjectDocument& Document() { return document_; }

    // Imports the named files into the bin (names without a folder taken in baseFolder) and opens
    // the first new entry in the cutter with its marks over the whole file. Returns how many
    // entries came in.
    int ImportFiles(const std::vector<std::string>& names, const std::string& baseFolder);

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void CreateMenusAndToolBar();
    void CreateListWindows();

    Prompts& prompts_;
    QtFrontEnd frontEnd_;
    CoreScanRunner scans_;
    ProjectDocument document_;
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
    QAction* exit_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* hintPanel_ = nullptr;
    QLabel* modifiedPanel_ = nullptr;
};

}  // namespace sw
