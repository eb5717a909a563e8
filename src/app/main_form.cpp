#include "app/main_form.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "app/about_form.h"
#include "app/child_window.h"
#include "app/global_settings.h"
#include "app/main_texts.h"
#include "app/preferences_form.h"
#include "app/project_properties_form.h"
#include "app/registered_action.h"
#include "app/window_position.h"
#include "cutter/cutter_form.h"
#include "engine/export_operations.h"
#include "player/wave_out.h"
#include "project/ui/cue_list_form.h"
#include "project/ui/dropped_files.h"
#include "project/ui/project_form.h"

namespace sw {
namespace {

using main_texts::kProgramTitle;

QString Text(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString ReadMePath() {
    const std::string folder = QFile::encodeName(QApplication::applicationDirPath()).toStdString();
    return QFile::decodeName(ReadMeFile(folder).c_str());
}

}  // namespace

TMainForm::TMainForm(Prompts& prompts, std::unique_ptr<WaveOut> waveOut, QWidget* parent)
    : QMainWindow(parent),
      prompts_(prompts),
      scans_(GlobalSettings(), &frontEnd_),
      document_(GlobalSettings(), prompts, scans_),
      commands_(document_, GlobalSettings(), prompts, nullptr,
                [this](const std::string& target, const TProjectProperties& project,
                       const std::vector<const TCueObject*>& cues) {
                    return ExportProject(target, project, cues, prompts_);
                }) {
    setObjectName("MainForm");
    setAccessibleName(kProgramTitle);
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
    document_.Cues().SetPieceTagger(&pieceTagger_);
    commands_.SetCutter(cutter_);
    CreateListWindows();
    setAcceptDrops(true);
    commands_.SetView(this);
    CommandsChanged();

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
    connect(cueList_, &TCueListForm::EnableExport, this,
            [this](bool enable) { commands_.EnableExport(enable); });
}

TMainForm::~TMainForm() {
    commands_.SetView(nullptr);
    commands_.SetCutter(nullptr);
    // The cutter's player must let go of the cut objects before the document frees them.
    document_.Bin().SetCutter(nullptr);
    document_.Cues().SetCutter(nullptr);
    document_.Cues().SetPieceTagger(nullptr);
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
    CreateFileMenu();
    CreateOtherMenus();
    CreateToolBar();
}

QAction* TMainForm::CommandAction(const char* objectName, const QString& text, const char* hint,
                                  void (TMainForm::*handler)()) {
    QAction* action = RegisteredAction(this, objectName, text);
    if (hint != nullptr) {
        action->setStatusTip(QString::fromUtf8(hint));
        action->setToolTip(QString::fromUtf8(hint));
    }
    connect(action, &QAction::triggered, this, handler);
    return action;
}

void TMainForm::CreateFileMenu() {
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("FileMenu");
    file->menuAction()->setObjectName("FileMenuAction");
    file->menuAction()->setStatusTip("File handling");
    new_ = CommandAction("NewAction", "&New", "Start a new project", &TMainForm::NewClick);
    new_->setIcon(style()->standardIcon(QStyle::SP_FileIcon));
    open_ = CommandAction("OpenAction", "&Open", "Open an existing project", &TMainForm::OpenClick);
    open_->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    // The menu item has no hint of its own; the toolbar button's serves both.
    save_ = CommandAction("SaveAction", "&Save", "Save current project", &TMainForm::SaveClick);
    save_->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    saveAs_ = CommandAction("SaveAsAction", "Save &As", "Save current project as...",
                            &TMainForm::SaveAsClick);
    import_ = CommandAction("ImportAction", "&Import", "Import a file to project",
                            &TMainForm::ImportClick);
    import_->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    export_ =
        CommandAction("ExportAction", "&Export", "Export current project", &TMainForm::ExportClick);
    export_->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    preferences_ = CommandAction("PreferencesAction", "&Preferences", "Slicewell preferences",
                                 &TMainForm::PreferencesClick);
    preferences_->setIcon(style()->standardIcon(QStyle::SP_ComputerIcon));
    exit_ = RegisteredAction(this, "ExitAction", "E&xit");
    exit_->setStatusTip("Close application");
    exit_->setToolTip("Close application");
    exit_->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    connect(exit_, &QAction::triggered, this, &QWidget::close);
    file->addActions({new_, open_, save_, saveAs_});
    file->addSeparator();
    file->addActions({import_, export_});
    file->addSeparator();
    file->addAction(preferences_);
    file->addSeparator();
    file->addAction(exit_);
}

void TMainForm::CreateOtherMenus() {
    QMenu* view = menuBar()->addMenu("&View");
    view->setObjectName("ViewMenu");
    view->menuAction()->setObjectName("ViewMenuAction");
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

    QMenu* project = menuBar()->addMenu("&Project");
    project->setObjectName("ProjectMenu");
    project->menuAction()->setObjectName("ProjectMenuAction");
    project->menuAction()->setStatusTip("Project options");
    properties_ = CommandAction("PropertiesAction", "&Properties", "Project properties",
                                &TMainForm::PropertiesClick);
    properties_->setIcon(style()->standardIcon(QStyle::SP_FileDialogInfoView));
    project->addAction(properties_);

    // Kept for its place in the menu bar; the auto-cutter is the project bin's command.
    QMenu* tools = menuBar()->addMenu("&Tools");
    tools->setObjectName("ToolsMenu");
    tools->menuAction()->setObjectName("ToolsMenuAction");
    tools->menuAction()->setStatusTip("Various MP3 tools");
    tools->addAction(RegisteredAction(this, "AutoCutterAction", "&AutoCutter"));
    tools->menuAction()->setEnabled(false);

    QMenu* help = menuBar()->addMenu("&Help");
    help->setObjectName("HelpMenu");
    help->menuAction()->setObjectName("HelpMenuAction");
    help->menuAction()->setStatusTip("Slicewell help");
    readMe_ = CommandAction("ReadMeAction", "&View ReadMe.txt", nullptr, &TMainForm::ReadMeClick);
    readMe_->setVisible(QFileInfo::exists(ReadMePath()));
    updates_ = CommandAction("CheckForUpdatesAction", "Check for &updates",
                             "Check for updates on the internet", &TMainForm::CheckForUpdatesClick);
    updates_->setEnabled(false);
    about_ = CommandAction("AboutAction", "&About", "About Slicewell", &TMainForm::AboutClick);
    about_->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
    help->addAction(readMe_);
    help->addSeparator();
    help->addAction(updates_);
    help->addAction(about_);
}

void TMainForm::CreateToolBar() {
    toolBar_ = addToolBar("Toolbar");
    toolBar_->setObjectName("ToolBar");
    toolBar_->toggleViewAction()->setObjectName("ToolBarToggleAction");
    toolBar_->setMovable(false);
    toolBar_->addActions({new_, open_, save_});
    toolBar_->addSeparator();
    toolBar_->addActions({import_, export_});
    toolBar_->addSeparator();
    toolBar_->addActions({viewProjectBin_, viewCueList_, viewCutter_});
    toolBar_->addSeparator();
    toolBar_->addAction(properties_);
    toolBar_->addSeparator();
    toolBar_->addActions({preferences_, about_, exit_});
    auto name = [this](QAction* action, const char* objectName, const char* accessible) {
        QWidget* button = toolBar_->widgetForAction(action);
        button->setObjectName(objectName);
        button->setAccessibleName(accessible);
    };
    name(new_, "NewBtn", "Start a new project");
    name(open_, "OpenBtn", "Open an existing project");
    name(save_, "SaveBtn", "Save current project");
    name(import_, "ImportBtn", "Import a file to project");
    name(export_, "ExportBtn", "Export current project");
    name(viewProjectBin_, "ProjectBinBtn", "Hide / show project-bin");
    name(viewCueList_, "CueListBtn", "Hide / show cue-list");
    name(viewCutter_, "CutterBtn", "Hide / show cutter");
    name(properties_, "PropertiesBtn", "Project properties");
    name(preferences_, "PreferencesBtn", "Slicewell preferences");
    name(about_, "AboutBtn", "About Slicewell");
    name(exit_, "ExitBtn", "Close application");
}

QAction* TMainForm::Action(const char* objectName) const {
    return findChild<QAction*>(QString::fromLatin1(objectName), Qt::FindDirectChildrenOnly);
}

void TMainForm::SetCheckForUpdates(std::function<void()> checkForUpdates) {
    checkForUpdates_ = std::move(checkForUpdates);
    updates_->setEnabled(static_cast<bool>(checkForUpdates_));
}

void TMainForm::CommandsChanged() {
    setWindowTitle(Text(commands_.Caption()));
    modifiedPanel_->setText(Text(commands_.ModifiedText()));
    new_->setEnabled(commands_.NewEnabled());
    save_->setEnabled(commands_.SaveEnabled());
    saveAs_->setEnabled(commands_.SaveAsEnabled());
    export_->setEnabled(commands_.ExportEnabled());
}

void TMainForm::NewClick() {
    commands_.New();
}

void TMainForm::OpenClick() {
    commands_.Open();
}

void TMainForm::SaveClick() {
    commands_.Save();
}

void TMainForm::SaveAsClick() {
    commands_.SaveAs();
}

void TMainForm::ImportClick() {
    projectBin_->PopUpImportClick();
}

void TMainForm::ExportClick() {
    commands_.Export();
}

void TMainForm::PreferencesClick() {
    if (EditPreferences(prompts_, this)) {
        cutter_->InitializeCutter();
    }
}

void TMainForm::PropertiesClick() {
    commands_.PropertiesClosed(EditProjectProperties(document_.Properties(), this));
}

void TMainForm::ReadMeClick() {
    const QString readMe = ReadMePath();
    if (QFileInfo::exists(readMe)) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(readMe));
    }
}

void TMainForm::CheckForUpdatesClick() {
    if (checkForUpdates_) {
        checkForUpdates_();
    }
}

void TMainForm::AboutClick() {
    ShowAbout(checkForUpdates_, this);
}

int TMainForm::ImportFiles(const std::vector<std::string>& names, const std::string& baseFolder) {
    // Files named at start go to the bin only: the user picks what to cut, as after any import.
    const int before = document_.Bin().Count();
    projectBin_->ImportFiles(names, baseFolder);
    return document_.Bin().Count() - before;
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
    // While a scan, an export or a dialog runs, the document it works on must stay; and a
    // modified project is only given up when the user says so.
    if (QApplication::activeModalWidget() != nullptr || !commands_.CanClose()) {
        event->ignore();
        return;
    }
    // The cutter keeps where the user left it, also when it was never toggled this run.
    SaveWindowPosition(cutter_, cutterWindow_->isVisible());
    cueList_->Placement().SavePlacement();
    projectBin_->Placement().SavePlacement();
    if (!SaveWindowPosition(this, true)) {
        prompts_.Warning(main_texts::kWarningCaption, main_texts::kUnableToStoreWindow);
    }
    cutter_->SetTerminating(true);
    cutterWindow_->SetTerminating(true);
    cueListWindow_->SetTerminating(true);
    projectBinWindow_->SetTerminating(true);
    event->accept();
}

}  // namespace sw
