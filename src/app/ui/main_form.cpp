#include "app/ui/main_form.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "app/main_texts.h"
#include "app/placement_rules.h"
#include "app/qt/registered_action.h"
#include "app/qt/single_instance.h"
#include "app/qt/window_position.h"
#include "app/settings/global_settings.h"
#include "app/ui/about_form.h"
#include "app/ui/child_window.h"
#include "app/ui/preferences_form.h"
#include "app/ui/project_properties_form.h"
#include "cutter/ui/cutter_form.h"
#include "cutter/ui/cutter_waveform_link.h"
#include "cutter/ui/waveform_form.h"
#include "engine/ui/export_operations.h"
#include "player/qt/wave_out.h"
#include "project/prompted_export.h"
#include "project/ui/cue_list_form.h"
#include "project/ui/dropped_files.h"
#include "project/ui/project_form.h"

namespace sw {
namespace {

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
                    return ExportProject(target, project, cues,
                                         ExportStyleOf(GlobalSettings().CleanCuts), prompts_);
                }) {
    // No accessible name of its own: a screen reader names the window by its caption.
    setObjectName("MainForm");
    setMinimumSize(236, 98);
    resize(640, 480);

    workspace_ = new QMdiArea(this);
    workspace_->setObjectName("Workspace");
    workspace_->setAccessibleName("Workspace");
    setCentralWidget(workspace_);

    hintPanel_ = new QLabel(this);
    hintPanel_->setObjectName("HintPanel");
    // The panels are read by what they show; the descriptions say which panel it is.
    hintPanel_->setAccessibleDescription("Hint");
    hintPanel_->setTextFormat(Qt::PlainText);
    modifiedPanel_ = new QLabel(this);
    modifiedPanel_->setObjectName("ModifiedPanel");
    modifiedPanel_->setAccessibleDescription("Modified");
    modifiedPanel_->setTextFormat(Qt::PlainText);
    modifiedPanel_->setFixedWidth(50);
    statusBar()->addWidget(hintPanel_, 1);
    statusBar()->addPermanentWidget(modifiedPanel_);
    reportTimer_ = new QTimer(this);
    reportTimer_->setSingleShot(true);
    reportTimer_->setInterval(5000);
    connect(reportTimer_, &QTimer::timeout, hintPanel_, &QLabel::clear);
    SetExportReporter([this](const std::string& text) { ShowExportReport(text); });

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
    // The waveform joins the workspace before the list windows, so that they lie above it where
    // they meet and the bin, added last, is the window the workspace activates first.
    CreateWaveformWindow();
    CreateListWindows();
    setAcceptDrops(true);
    commands_.SetView(this);
    CommandsChanged();

    move(0, 0);
    const bool placed = RestoreWindowPosition(this);
    // Right of the bin, as designed, also where the desktop's font made the bin wider.
    cutter_->RestorePlacement({std::max(235, TProjectForm::DesignedGeometry().right() - 1), 115});
    cueList_->Placement().RestorePlacement();
    projectBin_->Placement().RestorePlacement();
    if (!placed) {
        FitFirstStart();
    }
    PlaceWaveform();
}

namespace {

// The waveform's designed height below the other windows.
constexpr int kWaveformHeight = 220;

}  // namespace

void TMainForm::FitFirstStart() {
    // The designed 640 x 480 cut off the cutter's right edge and the cue list's totals in the
    // desktop's fonts: the frame grows to show every child window whole where it was designed,
    // and the waveform below them.
    layout()->activate();
    int right = 0;
    int bottom = 0;
    for (const QMdiSubWindow* child : workspace_->subWindowList()) {
        if (child != waveformWindow_) {
            right = std::max(right, child->geometry().right() + 1);
            bottom = std::max(bottom, child->geometry().bottom() + 1);
        }
    }
    bottom += kWaveformHeight;
    const int border = 2 * workspace_->frameWidth();
    const QScreen* shown = screen();
    const QRect area = shown != nullptr ? shown->availableGeometry() : QRect();
    const WindowRect fitted = FirstStartFrame({x(), y(), width(), height()}, right, bottom,
                                              width() - workspace_->width() + border,
                                              height() - workspace_->height() + border,
                                              {area.x(), area.y(), area.width(), area.height()});
    resize(fitted.width, fitted.height);
    move(fitted.left, fitted.top);
}

void TMainForm::PlaceWaveform() {
    // Below the other windows, as wide as the workspace and as tall as what is left of it.
    layout()->activate();
    int top = 0;
    for (const QMdiSubWindow* child : workspace_->subWindowList()) {
        if (child != waveformWindow_) {
            top = std::max(top, child->geometry().bottom() + 1);
        }
    }
    waveform_->Placement().SetDesigned(
        QRect(0, top, workspace_->viewport()->width(),
              std::max(kWaveformHeight, workspace_->viewport()->height() - top)));
    waveform_->Placement().RestorePlacement();
    waveformWindow_->lower();
}

void TMainForm::CreateWaveformWindow() {
    waveformLink_ = std::make_unique<CutterWaveformLink>(*cutter_);
    waveform_ = new TWaveformForm(*waveformLink_, document_.Cues(), document_.Bin());
    waveformWindow_ = new ChildWindow([this] { waveform_->Placement().ToggleVisible(); });
    waveformWindow_->setObjectName("WaveformWindow");
    waveformWindow_->setWidget(waveform_);
    waveformWindow_->setWindowIcon(style()->standardIcon(QStyle::SP_MediaVolume));
    workspace_->addSubWindow(waveformWindow_);
    waveform_->Placement().SetViewAction(viewWaveform_);
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
    SetExportReporter(nullptr);
    commands_.SetView(nullptr);
    commands_.SetCutter(nullptr);
    // The cutter's player must let go of the cut objects before the document frees them.
    document_.Bin().SetCutter(nullptr);
    document_.Cues().SetCutter(nullptr);
    document_.Cues().SetPieceTagger(nullptr);
    cutter_->SetTerminating(true);
    cutterWindow_->SetTerminating(true);
    // The waveform stops its worker and the list windows' adapters leave the models' observers
    // before the document goes.
    for (ChildWindow* window : {waveformWindow_, projectBinWindow_, cueListWindow_}) {
        window->SetTerminating(true);
        delete window;
    }
    waveform_ = nullptr;
    waveformLink_.reset();
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
    viewWaveform_ = RegisteredAction(this, "ViewWaveformAction", "&Waveform");
    viewWaveform_->setCheckable(true);
    viewWaveform_->setStatusTip("Hide / show the waveform");
    viewWaveform_->setToolTip("Hide / show waveform");
    viewWaveform_->setIcon(style()->standardIcon(QStyle::SP_MediaVolume));
    connect(viewWaveform_, &QAction::triggered, this, [this] { waveformWindow_->close(); });
    view->addAction(viewProjectBin_);
    view->addAction(viewCutter_);
    view->addAction(viewCueList_);
    view->addAction(viewWaveform_);

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
    toolBar_->addActions({viewProjectBin_, viewCueList_, viewCutter_, viewWaveform_});
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
    name(viewWaveform_, "WaveformBtn", "Hide / show waveform");
    // The toggles share their View items' actions, whose status tips are the menu's hints ("Hide
    // / show the project-bin"); over the toolbar the buttons' own hints are shown instead.
    for (QAction* toggle : {viewProjectBin_, viewCueList_, viewCutter_, viewWaveform_}) {
        toolBar_->widgetForAction(toggle)->installEventFilter(this);
    }
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
        document_.Cues().RefreshTimes();
    }
}

void TMainForm::PropertiesClick() {
    commands_.PropertiesClosed(EditProjectProperties(document_.Properties(), this));
}

void TMainForm::ReadMeClick() {
    ShowReadMe(
        QFile::encodeName(ReadMePath()).toStdString(),
        [](const std::string& file) {
            return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(file.c_str())));
        },
        prompts_);
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

void TMainForm::ImportHandedOver(const std::vector<std::string>& files) {
    handedOver_.insert(handedOver_.end(), files.begin(), files.end());
    ImportHandedOverWhenFree();
}

void TMainForm::ImportHandedOverWhenFree() {
    if (handedOver_.empty()) {
        return;
    }
    if (QApplication::activeModalWidget() != nullptr) {
        QTimer::singleShot(250, this, &TMainForm::ImportHandedOverWhenFree);
        return;
    }
    const std::vector<std::string> names = std::move(handedOver_);
    handedOver_.clear();
    BringToFront(this);
    projectBin_->ImportFiles(names);
}

void TMainForm::ShowExportReport(const std::string& text) {
    hintPanel_->setText(Text(text));
    reportTimer_->start();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::StatusTip &&
        !static_cast<QStatusTipEvent*>(event)->tip().isEmpty()) {
        QStatusTipEvent hint(static_cast<QWidget*>(watched)->toolTip());
        QApplication::sendEvent(this, &hint);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TMainForm::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        // The mouse rests over some control when the export's window closes; its hint would
        // take the report's place at once.
        if (!reportTimer_->isActive()) {
            hintPanel_->setText(static_cast<QStatusTipEvent*>(event)->tip());
        }
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
    waveform_->Placement().SavePlacement();
    if (!SaveWindowPosition(this, true)) {
        prompts_.Warning(main_texts::kWarningCaption, main_texts::kUnableToStoreWindow);
    }
    cutter_->SetTerminating(true);
    cutterWindow_->SetTerminating(true);
    cueListWindow_->SetTerminating(true);
    projectBinWindow_->SetTerminating(true);
    waveformWindow_->SetTerminating(true);
    event->accept();
}

}  // namespace sw
