#include "app/main_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include "app/child_window.h"
#include "app/global_settings.h"
#include "app/registered_action.h"
#include "app/window_position.h"
#include "cutter/cutter_form.h"
#include "player/wave_out.h"
#include "project/ui/cue_list_form.h"
#include "project/ui/dropped_files.h"
#include "project/ui/project_form.h"

namespace sw {
namespace {

constexpr char kProgramTitle[] = "Slicewell 4";

}  // namespace

TMainForm::TMainForm(Prompts& prompts, std::unique_ptr<WaveOut> waveOut, QWidget* parent)
    : QMainWindow(parent),
      prompts_(prompts),
      scans_(GlobalSettings(), &frontEnd_),
      document_(GlobalSettings(), prompts, scans_) {
    setObjectName("MainForm");
    setAccessibleName(kProgramTitle);
    setWindowTitle(QString("%1 - %2").arg(kProgramTitle, "Untitled1"));
    setMinimumSize(236, 98);
    resize(640, 480);

    workspace_ = new QMdiArea(this);
    workspace_->setObjectName("Workspace");
    workspace_->setAccessibleName("Workspace");
    setCentralWidget(workspace_);

    hintPanel_ = new QLabel(this);
    hintPanel_->setObjectName("HintPanel");
    hintPanel_->setAccessibleName("Hint");
    modifiedPanel_ = new QLabel(this);
    modifiedPanel_->setObjectName("ModifiedPanel");
    modifiedPanel_->setAccessibleName("Modified");
    modifiedPanel_->setFixedWidth(50);
    statusBar()->addWidget(hintPanel_, 1);
    statusBar()->addPermanentWidget(modifiedPanel_);

    CreateMenusAndToolBar();

    // The cutter comes first of the child windows; it owns the program's player.
    cutter_ = new TCutterForm(prompts_, std::move(waveOut));
    cutterWindow_ = new ChildWindow([this] { cutter_->ToggleVisible(); });
    cutterWindow_->setObjectName("CutterWindow");
    cutterWindow_->setWidget(cutter_);
    cutterWindow_->setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                  Qt::WindowCloseButtonHint);
    cutterWindow_->setWindowIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));
    workspace_->addSubWindow(cutterWindow_);
    cutterWindow_->setFixedSize(cutterWindow_->sizeHint());
    cutter_->SetViewAction(viewCutter_);
    cutter_->SetCueList(&document_.Cues());
    document_.Bin().SetCutter(cutter_);
    document_.Cues().SetCutter(cutter_);
    CreateListWindows();
    setAcceptDrops(true);

    move(0, 0);
    RestoreWindowPosition(this);
    cutter_->RestorePlacement();
    cueList_->Placement().RestorePlacement();
    projectBin_->Placement().RestorePlacement();
}

void TMainForm::CreateListWindows() {
    // After the cutter, the cue list and then the bin, as the program has always made them.
    cueList_ = new TCueListForm(document_.Cues(), document_.Bin(), prompts_);
    cueListWindow_ = new ChildWindow([this] { cueList_->Placement().ToggleVisible(); });
    cueListWindow_->setObjectName("CueListWindow");
    cueListWindow_->setWidget(cueList_);
    cueListWindow_->setWindowIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    workspace_->addSubWindow(cueListWindow_);
    cueList_->Placement().SetViewAction(viewCueList_);
    connect(cueList_, &TCueListForm::ReviewRequested, cutter_, &TCutterForm::OpenCue);

    projectBin_ = new TProjectForm(document_.Bin(), prompts_);
    projectBinWindow_ = new ChildWindow([this] { projectBin_->Placement().ToggleVisible(); });
    projectBinWindow_->setObjectName("ProjectBinWindow");
    projectBinWindow_->setWidget(projectBin_);
    projectBinWindow_->setWindowIcon(style()->standardIcon(QStyle::SP_DirIcon));
    workspace_->addSubWindow(projectBinWindow_);
    projectBin_->Placement().SetViewAction(viewProjectBin_);
}

TMainForm::~TMainForm() {
    // The cutter's player must let go of the cut objects before the document frees them.
    document_.Bin().SetCutter(nullptr);
    document_.Cues().SetCutter(nullptr);
    cutter_->SetTerminating(true);
    cutterWindow_->SetTerminating(true);
    // The list windows' adapters leave the models' observers before the document goes.
    for (ChildWindow* window : {projectBinWindow_, cueListWindow_}) {
        window->SetTerminating(true);
        delete window;
    }
    projectBin_ = nullptr;
    cueList_ = nullptr;
    delete cutterWindow_;
    cutterWindow_ = nullptr;
    cutter_ = nullptr;
}

void TMainForm::CreateMenusAndToolBar() {
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("FileMenu");
    file->menuAction()->setStatusTip("File handling");
    exit_ = RegisteredAction(this, "ExitAction", "E&xit");
    exit_->setStatusTip("Close application");
    exit_->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    connect(exit_, &QAction::triggered, this, &QWidget::close);
    file->addAction(exit_);

    QMenu* view = menuBar()->addMenu("&View");
    view->setObjectName("ViewMenu");
    view->menuAction()->setStatusTip("Hide / show windows");
    viewCutter_ = RegisteredAction(this, "ViewCutterAction", "&Cutter");
    viewCutter_->setCheckable(true);
    viewCutter_->setStatusTip("Hide / show the cutter");
    viewCutter_->setToolTip("Hide / show cutter");
    viewCutter_->setIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));
    // The View item and the toolbar button both "close" the cutter, which hides or shows it
    // and sets their check state to what it became.
    connect(viewCutter_, &QAction::triggered, this, [this] { cutterWindow_->close(); });
    viewProjectBin_ = RegisteredAction(this, "ViewProjectBinAction", "&Project bin");
    viewProjectBin_->setCheckable(true);
    viewProjectBin_->setStatusTip("Hide / show the project-bin");
    viewProjectBin_->setToolTip("Hide / show project-bin");
    viewProjectBin_->setIcon(style()->standardIcon(QStyle::SP_DirIcon));
    connect(viewProjectBin_, &QAction::triggered, this, [this] { projectBinWindow_->close(); });
    viewCueList_ = RegisteredAction(this, "ViewCueListAction", "Cue &list");
    viewCueList_->setCheckable(true);
    viewCueList_->setStatusTip("Hide / show the cue-list");
    viewCueList_->setToolTip("Hide / show cue-list");
    viewCueList_->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    connect(viewCueList_, &QAction::triggered, this, [this] { cueListWindow_->close(); });
    view->addAction(viewProjectBin_);
    view->addAction(viewCutter_);
    view->addAction(viewCueList_);

    toolBar_ = addToolBar("Toolbar");
    toolBar_->setObjectName("ToolBar");
    toolBar_->setMovable(false);
    toolBar_->addAction(viewProjectBin_);
    toolBar_->addAction(viewCueList_);
    toolBar_->addAction(viewCutter_);
    toolBar_->addSeparator();
    toolBar_->addAction(exit_);
    auto name = [this](QAction* action, const char* objectName, const char* accessible) {
        QWidget* button = toolBar_->widgetForAction(action);
        button->setObjectName(objectName);
        button->setAccessibleName(accessible);
    };
    name(viewProjectBin_, "ProjectBinBtn", "Hide / show project-bin");
    name(viewCueList_, "CueListBtn", "Hide / show cue-list");
    name(viewCutter_, "CutterBtn", "Hide / show cutter");
    name(exit_, "ExitBtn", "Close application");
}

int TMainForm::ImportFiles(const std::vector<std::string>& names, const std::string& baseFolder) {
    ProjectBinModel& bin = document_.Bin();
    const int before = bin.Count();
    projectBin_->ImportFiles(names, baseFolder);
    const int added = bin.Count() - before;
    if (added > 0) {
        if (TCutObject* first = bin.Cut(before)) {
            cutter_->OpenCutObject(first);
        }
    }
    return added;
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    AcceptUrlDrag(event);
}

void TMainForm::dragMoveEvent(QDragMoveEvent* event) {
    AcceptUrlDrag(event);
}

void TMainForm::dropEvent(QDropEvent* event) {
    TakeUrlDrop(event, this,
                [this](const std::vector<std::string>& names) { projectBin_->ImportFiles(names); });
}

bool TMainForm::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        hintPanel_->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // The cutter keeps where the user left it, also when it was never toggled this run.
    SaveWindowPosition(cutter_, cutterWindow_->isVisible());
    cueList_->Placement().SavePlacement();
    projectBin_->Placement().SavePlacement();
    if (!SaveWindowPosition(this, true)) {
        prompts_.Error(kProgramTitle, "Unable to store window settings...");
    }
    cutter_->SetTerminating(true);
    cutterWindow_->SetTerminating(true);
    cueListWindow_->SetTerminating(true);
    projectBinWindow_->SetTerminating(true);
    event->accept();
}

}  // namespace sw
