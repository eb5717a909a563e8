#include "project/ui/cue_list_form.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QVBoxLayout>

#include "project/ui/command_guard.h"
#include "project/ui/dropped_files.h"
#include "project/ui/item_list_view.h"
#include "project/ui/properties_form.h"

namespace sw {

namespace {

// A screen reader reads the panel's text as its name ("Total frames: 38"); the description says
// which panel it is.
QLabel* AddPanel(QStatusBar* bar, const char* name, const QString& description) {
    auto* panel = new QLabel(bar);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setAccessibleDescription(description);
    panel->setTextFormat(Qt::PlainText);
    // Two panels of equal stretch: each takes half the bar.
    bar->addWidget(panel, 1);
    return panel;
}

}  // namespace

TCueListForm::TCueListForm(CueListModel& cues, ProjectBinModel& bin, Prompts& prompts,
                           QWidget* parent)
    : QWidget(parent),
      cues_(cues),
      bin_(bin),
      prompts_(prompts),
      exporter_(prompts),
      placement_(this, DesignedGeometry(), MinimumTrackingSize()) {
    setObjectName(QStringLiteral("CueListForm"));
    setWindowTitle(QStringLiteral("Cue list"));
    setAccessibleName(QStringLiteral("Cue list"));
    resize(DesignedGeometry().size());
    setAcceptDrops(true);

    items_ = new CueItemModel(cues_, this);
    connect(items_, &ListItemModel::ShowWindowRequested, this, [this] { placement_.Show(); });
    connect(items_, &CueItemModel::TotalsChanged, this, &TCueListForm::ShowTotals);

    CueList = new ItemListView(this);
    CueList->setObjectName(QStringLiteral("CueList"));
    CueList->setAccessibleName(QStringLiteral("Cues"));
    CueList->setModel(items_);
    CueList->SetColumnWidths({{150, {}}, {75, {}}, {75, {}}, {70, QStringLiteral("00:00:00.00")}});
    CueList->DraggedItemAt = [this](int row) {
        TCueObject* cue = cues_.At(row);
        return TItemDragObject::DraggedItem{CueList, row, cue->CutObject, cue,
                                            TItemDragObject::Kind::Cue};
    };
    CueList->StartDrag = [this] { return CueListStartDrag(); };
    CueList->DragOver = [this](const QMimeData* data) { return CueListDragOver(data); };
    CueList->DragDrop = [this](int before) { CueListDragDrop(before); };
    connect(CueList, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) {
            PopUpReviewClick();
        }
    });

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setAccessibleName(QStringLiteral("Cue list totals"));
    StatusBar->setSizeGripEnabled(false);
    FramesPanel = AddPanel(StatusBar, "FramesPanel", QStringLiteral("Total frames"));
    TimePanel = AddPanel(StatusBar, "TimePanel", QStringLiteral("Total time"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(CueList);
    layout->addWidget(StatusBar);

    Popup = new QMenu(this);
    Popup->setObjectName(QStringLiteral("Popup"));
    Popup->setAccessibleName(QStringLiteral("Cue list menu"));
    PopUpReview = AddMenuAction(Popup, QStringLiteral("&Review"), "PopUpReview",
                                &TCueListForm::PopUpReviewClick);
    PopUpRename = AddMenuAction(Popup, QStringLiteral("Re&name"), "PopUpRename",
                                &TCueListForm::PopUpRenameClick);
    PopUpProperties = AddMenuAction(Popup, QStringLiteral("&Properties"), "PopUpProperties",
                                    &TCueListForm::PopUpPropertiesClick);
    Popup->addSeparator()->setObjectName(QStringLiteral("PopUpSeparator"));
    PopUpImport = AddMenuAction(Popup, QStringLiteral("&Import"), "PopUpImport",
                                &TCueListForm::PopUpImportClick);
    PopUpExport = Popup->addMenu(QStringLiteral("&Export"));
    PopUpExport->setObjectName(QStringLiteral("PopUpExport"));
    PopUpExport->setAccessibleName(QStringLiteral("Export"));
    PopUpExport->menuAction()->setObjectName(QStringLiteral("PopUpExportItem"));
    PopUpExportMP3 = AddMenuAction(PopUpExport, QStringLiteral("As &MP3"), "PopUpExportMP3",
                                   &TCueListForm::PopUpExportMP3Click);
    PopUpExportAsWAV = AddMenuAction(PopUpExport, QStringLiteral("As &WAV"), "PopUpExportAsWAV",
                                     &TCueListForm::PopUpExportAsWAVClick);
    PopUpExportAsCUE = AddMenuAction(PopUpExport, QStringLiteral("As &CUE"), "PopUpExportAsCUE",
                                     &TCueListForm::PopUpExportAsCUEClick);
    PopUpExportAs = AddMenuAction(Popup, QStringLiteral("Export &As"), "PopUpExportAs",
                                  &TCueListForm::PopUpExportAsClick);
    PopUpSaveSheet = AddMenuAction(Popup, QStringLiteral("Save as cue &sheet..."), "PopUpSaveSheet",
                                   &TCueListForm::PopUpSaveSheetClick);
    PopUpDelete = AddMenuAction(Popup, QStringLiteral("&Delete"), "PopUpDelete",
                                &TCueListForm::PopUpDeleteClick);
    PopUpDelete->setShortcut(QKeySequence::Delete);
    PopUpDelete->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(PopUpDelete);

    connect(Popup, &QMenu::aboutToShow, this, &TCueListForm::PopupPopup);
    connect(CueList, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { Popup->popup(CueList->viewport()->mapToGlobal(at)); });
    // The window's own popup menu, outside the list (the status bar).
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { Popup->popup(mapToGlobal(at)); });

    const CueTotals& totals = cues_.Totals();
    ShowTotals(ToQString(totals.FramesText), ToQString(totals.TimeText), totals.ExportEnabled);
    // The enabling is computed again when the menu opens; keeping it current meanwhile lets the
    // Delete key, which acts through the same entry, follow the selection.
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(items_, signal, this, &TCueListForm::PopupPopup);
    }
    connect(items_, &QAbstractItemModel::modelReset, this, &TCueListForm::PopupPopup);
    connect(CueList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TCueListForm::PopupPopup);
    PopupPopup();
}

TCueListForm::~TCueListForm() {
    CueList->setModel(nullptr);
}

QAction* TCueListForm::AddMenuAction(QMenu* menu, const QString& text, const char* name,
                                     void (TCueListForm::*handler)()) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, handler);
    return action;
}

void TCueListForm::ShowTotals(const QString& frames, const QString& time, bool exportEnabled) {
    FramesPanel->setText(frames);
    TimePanel->setText(time);
    emit EnableExport(exportEnabled);
}

void TCueListForm::PopupPopup() {
    const size_t selected = CueList->SelectedRows().size();
    PopUpReview->setEnabled(selected > 0);
    PopUpRename->setEnabled(selected > 0);
    PopUpProperties->setEnabled(selected > 0);
    PopUpImport->setEnabled(true);
    PopUpExport->setEnabled(selected > 0);
    PopUpExport->menuAction()->setEnabled(selected > 0);
    PopUpExportAs->setEnabled(selected == 1);
    PopUpSaveSheet->setEnabled(cues_.Count() > 0);
    PopUpDelete->setEnabled(selected > 0);
}

TCueObject* TCueListForm::SelectedCue() const {
    const int row = CueList->SelectedRow();
    return row >= 0 && row < cues_.Count() ? cues_.At(row) : nullptr;
}

void TCueListForm::PopUpReviewClick() {
    TCueObject* cue = SelectedCue();
    if (cue != nullptr && cue->CutObject != nullptr) {
        emit ReviewRequested(cue);
    }
}

void TCueListForm::PopUpRenameClick() {
    CueList->EditName(CueList->SelectedRow());
}

void TCueListForm::PopUpPropertiesClick() {
    TCueObject* cue = SelectedCue();
    if (cue != nullptr && cue->CutObject != nullptr) {
        RunCommand(prompts_, [&] { ShowFileProperties(*cue->CutObject, this); });
    }
}

void TCueListForm::PopUpImportClick() {
    RunCommand(prompts_, [&] { cues_.ImportCommand(bin_); });
}

void TCueListForm::ExportSelected(const std::string& extension) {
    const std::vector<int> rows = CueList->SelectedRows();
    if (!rows.empty()) {
        RunCommand(prompts_, [&] { cues_.ExportSelected(rows, extension, exporter_); });
    }
}

void TCueListForm::PopUpExportMP3Click() {
    ExportSelected("mp3");
}

void TCueListForm::PopUpExportAsWAVClick() {
    ExportSelected("wav");
}

void TCueListForm::PopUpExportAsCUEClick() {
    ExportSelected("m3q");
}

void TCueListForm::PopUpExportAsClick() {
    const int row = CueList->SelectedRow();
    if (row >= 0) {
        RunCommand(prompts_, [&] { cues_.ExportAs(row, exporter_); });
    }
}

bool TCueListForm::CueListStartDrag() {
    return CueList->HoldSelectedRow();
}

bool TCueListForm::CueListDragOver(const QMimeData* data) const {
    // Only this list's own rows: bin entries are never dropped into the cue list.
    return CueList->CarriesOwnRow(data);
}

void TCueListForm::CueListDragDrop(int before) {
    // The list may have changed while the drag ran: the cue is found again.
    const int row = cues_.RowOf(ItemListView::TakeHeldRow().cue);
    if (row >= 0) {
        cues_.Move(row, before);
    }
}

void TCueListForm::PopUpSaveSheetClick() {
    RunCommand(prompts_, [&] { cues_.SaveCueSheetCommand(); });
}

void TCueListForm::PopUpDeleteClick() {
    const std::vector<int> rows = CueList->SelectedRows();
    if (!rows.empty()) {
        RunCommand(prompts_, [&] { cues_.Delete(rows); });
    }
}

void TCueListForm::ImportFiles(const std::vector<std::string>& names) {
    RunCommand(prompts_, [&] { bin_.ParseMP3List("", names); });
}

void TCueListForm::dragEnterEvent(QDragEnterEvent* event) {
    AcceptUrlDrag(event);
}

void TCueListForm::dragMoveEvent(QDragMoveEvent* event) {
    AcceptUrlDrag(event);
}

void TCueListForm::dropEvent(QDropEvent* event) {
    TakeUrlDrop(event, this, [this](const std::vector<std::string>& names) { ImportFiles(names); });
}

}  // namespace sw
