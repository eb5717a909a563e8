#include "project/ui/project_form.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>

#include "autocut/ui/auto_cut_command.h"
#include "project/ui/command_guard.h"
#include "project/ui/dropped_files.h"
#include "project/ui/item_list_view.h"
#include "project/ui/properties_form.h"

namespace sw {

QRect TProjectForm::DesignedGeometry() {
    // The panel's text plus the status bar's and the child window's borders.
    constexpr int kBorders = 24;
    const int status =
        QFontMetrics(QApplication::font())
            .horizontalAdvance(QStringLiteral("9999999 frames - NOT completely scanned"));
    return {5, 45, std::max(232, status + kBorders), 103};
}

TProjectForm::TProjectForm(ProjectBinModel& bin, Prompts& prompts, QWidget* parent)
    : QWidget(parent),
      bin_(bin),
      prompts_(prompts),
      exporter_(prompts),
      placement_(this, DesignedGeometry(), MinimumTrackingSize()) {
    setObjectName(QStringLiteral("ProjectForm"));
    setWindowTitle(QStringLiteral("Project bin"));
    setAccessibleName(QStringLiteral("Project bin"));
    resize(DesignedGeometry().size());
    setAcceptDrops(true);

    items_ = new BinItemModel(bin_, this);
    connect(items_, &ListItemModel::ShowWindowRequested, this, [this] { placement_.Show(); });

    CutObjectsList = new ItemListView(this);
    CutObjectsList->setObjectName(QStringLiteral("CutObjectsList"));
    CutObjectsList->setAccessibleName(QStringLiteral("Project files"));
    CutObjectsList->setModel(items_);
    CutObjectsList->SetColumnWidths({{150, {}}, {70, QStringLiteral("00:00:00.00")}});
    CutObjectsList->DraggedItemAt = [this](int row) {
        return TItemDragObject::DraggedItem{CutObjectsList, row, bin_.At(row), nullptr,
                                            TItemDragObject::Kind::BinEntry};
    };
    CutObjectsList->StartDrag = [this] { return CutObjectsListStartDrag(); };
    CutObjectsList->DragOver = [this](const QMimeData* data) {
        return CutObjectsListDragOver(data);
    };
    CutObjectsList->DragDrop = [this](int before) { CutObjectsListDragDrop(before); };
    connect(CutObjectsList, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) {
                if (index.isValid()) {
                    PopUpCutClick();
                }
            });

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setAccessibleName(QStringLiteral("Project bin status"));
    StatusBar->setSizeGripEnabled(false);
    StatusPanel = new QLabel(StatusBar);
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    // Read by its text ("137761 frames - completely scanned"), described by its role.
    StatusPanel->setAccessibleDescription(QStringLiteral("Entry status"));
    StatusPanel->setTextFormat(Qt::PlainText);
    // One panel as wide as the bar.
    StatusBar->addWidget(StatusPanel, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(CutObjectsList);
    layout->addWidget(StatusBar);

    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    PopupMenu->setAccessibleName(QStringLiteral("Project bin menu"));
    PopUpCut = AddMenuAction(QStringLiteral("&Cut"), "PopUpCut", &TProjectForm::PopUpCutClick);
    PopUpAutoCut =
        AddMenuAction(QStringLiteral("&Autocut"), "PopUpAutoCut", &TProjectForm::PopUpAutoCutClick);
    PopUpRename =
        AddMenuAction(QStringLiteral("Re&name"), "PopUpRename", &TProjectForm::PopUpRenameClick);
    PopUpProperties = AddMenuAction(QStringLiteral("&Properties"), "PopUpProperties",
                                    &TProjectForm::PopUpPropertiesClick);
    PopUpRescan =
        AddMenuAction(QStringLiteral("&Rescan"), "PopUpRescan", &TProjectForm::PopUpRescanClick);
    PopupMenu->addSeparator()->setObjectName(QStringLiteral("PopUpSeparator"));
    PopUpImport =
        AddMenuAction(QStringLiteral("&Import"), "PopUpImport", &TProjectForm::PopUpImportClick);
    PopUpExport =
        AddMenuAction(QStringLiteral("&Export"), "PopUpExport", &TProjectForm::PopUpExportClick);
    PopUpSave =
        AddMenuAction(QStringLiteral("&Save bin"), "PopUpSave", &TProjectForm::PopUpSaveClick);
    PopUpDelete =
        AddMenuAction(QStringLiteral("&Delete"), "PopUpDelete", &TProjectForm::PopUpDeleteClick);
    // The Delete key acts on the list, as the menu's entry does.
    PopUpDelete->setShortcut(QKeySequence::Delete);
    PopUpDelete->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(PopUpDelete);

    connect(PopupMenu, &QMenu::aboutToShow, this, &TProjectForm::PopupMenuPopup);
    connect(CutObjectsList, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenu->popup(CutObjectsList->viewport()->mapToGlobal(at));
    });
    connect(CutObjectsList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TProjectForm::ShowStatus);
    connect(CutObjectsList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TProjectForm::ShowStatus);
    connect(items_, &QAbstractItemModel::dataChanged, this, &TProjectForm::ShowStatus);
    connect(items_, &QAbstractItemModel::rowsRemoved, this, &TProjectForm::ShowStatus);
    connect(items_, &QAbstractItemModel::modelReset, this, &TProjectForm::ShowStatus);
    // The enabling is computed again when the menu opens; keeping it current meanwhile lets the
    // Delete key, which acts through the same entry, follow the selection.
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(items_, signal, this, &TProjectForm::PopupMenuPopup);
    }
    connect(items_, &QAbstractItemModel::modelReset, this, &TProjectForm::PopupMenuPopup);
    connect(CutObjectsList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TProjectForm::PopupMenuPopup);
    PopupMenuPopup();
}

TProjectForm::~TProjectForm() {
    // The view must let go of the adapter before the adapter leaves the bin's observers.
    CutObjectsList->setModel(nullptr);
}

QAction* TProjectForm::AddMenuAction(const QString& text, const char* name,
                                     void (TProjectForm::*handler)()) {
    QAction* action = PopupMenu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, handler);
    return action;
}

void TProjectForm::PopupMenuPopup() {
    const bool selected = CutObjectsList->SelectedRow() >= 0;
    PopUpCut->setEnabled(selected);
    PopUpAutoCut->setEnabled(selected);
    PopUpRename->setEnabled(selected);
    PopUpProperties->setEnabled(selected);
    PopUpRescan->setEnabled(selected);
    PopUpImport->setEnabled(true);
    PopUpExport->setEnabled(selected);
    PopUpSave->setEnabled(bin_.Count() > 0);
    PopUpDelete->setEnabled(selected);
}

TCutObject* TProjectForm::SelectedCutObject() const {
    const int row = CutObjectsList->SelectedRow();
    return row >= 0 && row < bin_.Count() ? bin_.At(row) : nullptr;
}

void TProjectForm::ShowStatus() {
    const int row = CutObjectsList->SelectedRow();
    StatusPanel->setText(row >= 0 && row < bin_.Count() ? ToQString(bin_.StatusText(row))
                                                        : QString());
}

void TProjectForm::PopUpCutClick() {
    const int row = CutObjectsList->SelectedRow();
    if (row >= 0) {
        RunCommand(prompts_, [&] { bin_.Cut(row); });
    }
}

void TProjectForm::PopUpAutoCutClick() {
    const int row = CutObjectsList->SelectedRow();
    if (row >= 0) {
        RunCommand(prompts_, [&] { AutoCutCommand(bin_, row, prompts_, this); });
    }
}

void TProjectForm::PopUpRenameClick() {
    CutObjectsList->EditName(CutObjectsList->SelectedRow());
}

void TProjectForm::PopUpPropertiesClick() {
    if (TCutObject* cut = SelectedCutObject()) {
        RunCommand(prompts_, [&] { ShowFileProperties(*cut, this); });
    }
}

void TProjectForm::PopUpRescanClick() {
    const int row = CutObjectsList->SelectedRow();
    RunCommand(prompts_, [&] { bin_.Rescan(row); });
    ShowStatus();
}

void TProjectForm::PopUpImportClick() {
    RunCommand(prompts_, [&] { bin_.ImportCommand(); });
}

void TProjectForm::PopUpExportClick() {
    const int row = CutObjectsList->SelectedRow();
    if (row >= 0) {
        RunCommand(prompts_, [&] { bin_.ExportCommand(row, exporter_); });
    }
}

void TProjectForm::PopUpSaveClick() {
    if (bin_.Count() > 0) {
        RunCommand(prompts_, [&] { bin_.SaveBinCommand(); });
    }
}

void TProjectForm::PopUpDeleteClick() {
    const std::vector<int> rows = CutObjectsList->SelectedRows();
    if (!rows.empty()) {
        RunCommand(prompts_, [&] { bin_.Delete(rows); });
    }
}

bool TProjectForm::CutObjectsListStartDrag() {
    return CutObjectsList->HoldSelectedRow();
}

bool TProjectForm::CutObjectsListDragOver(const QMimeData* data) const {
    // Only this list's own rows: cues are never dropped into the bin.
    return CutObjectsList->CarriesOwnRow(data);
}

void TProjectForm::CutObjectsListDragDrop(int before) {
    // The list may have changed while the drag ran: the entry is found again.
    const int row = bin_.RowOf(ItemListView::TakeHeldRow().cutObject);
    if (row >= 0) {
        bin_.Move(row, before);
    }
}

void TProjectForm::ImportFiles(const std::vector<std::string>& names,
                               const std::string& baseFolder) {
    RunCommand(prompts_, [&] { bin_.ParseMP3List(baseFolder, names); });
}

void TProjectForm::dragEnterEvent(QDragEnterEvent* event) {
    AcceptUrlDrag(event);
}

void TProjectForm::dragMoveEvent(QDragMoveEvent* event) {
    AcceptUrlDrag(event);
}

void TProjectForm::dropEvent(QDropEvent* event) {
    TakeUrlDrop(event, this, [this](const std::vector<std::string>& names) { ImportFiles(names); });
}

}  // namespace sw
