#pragma once

#include <QRect>
#include <QWidget>

#include "project/bin_model.h"
#include "project/ui/bin_item_model.h"
#include "project/ui/child_form_placement.h"
#include "project/ui/progress_cut_exporter.h"

class QAction;
class QLabel;
class QMenu;
class QMimeData;
class QStatusBar;

namespace sw {

class ItemListView;

// The "Project bin" window: the project's source files over the bin model, with the popup
// menu's commands, in-place rename, reordering by drag and drop and files dropped from the
// desktop. Every rule lives in the model; the window asks it and shows the answer.
class TProjectForm : public QWidget {
    Q_OBJECT

  public:
    TProjectForm(ProjectBinModel& bin, Prompts& prompts, QWidget* parent = nullptr);
    ~TProjectForm() override;

    // Where the window stands the first time, before any placement was stored: left 5, top 45,
    // 232 x 103, or wider when the desktop's font needs more for the status panel's longest text.
    // MinimumTrackingSize is the smallest it may get.
    static QRect DesignedGeometry();
    static QSize MinimumTrackingSize() { return {232, 103}; }

    ProjectBinModel& Bin() const { return bin_; }
    ChildFormPlacement& Placement() { return placement_; }
    BinItemModel& ItemModel() const { return *items_; }

    // Computes the menu's enabling for the current selection (also before it opens).
    void PopupMenuPopup();

    void PopUpCutClick();
    void PopUpAutoCutClick();
    void PopUpRenameClick();
    void PopUpPropertiesClick();
    void PopUpRescanClick();
    void PopUpImportClick();
    void PopUpExportClick();
    void PopUpSaveClick();
    void PopUpDeleteClick();
    // Reordering by drag and drop (the list's drag calls these): the selected entry becomes the
    // drag holder's item; only this list's own rows may drop; the dragged entry goes before row
    // `before` (Count() to append) and the holder is cleared.
    bool CutObjectsListStartDrag();
    bool CutObjectsListDragOver(const QMimeData* data) const;
    void CutObjectsListDragDrop(int before);
    // Files dropped here, on the cue list or on the frame (in the drop's order), and the command
    // line's files (names without a folder taken in baseFolder): the bin's list import.
    void ImportFiles(const std::vector<std::string>& names, const std::string& baseFolder = "");

    ItemListView* CutObjectsList;
    QStatusBar* StatusBar;
    QLabel* StatusPanel;
    QMenu* PopupMenu;
    QAction* PopUpCut;
    QAction* PopUpAutoCut;
    QAction* PopUpRename;
    QAction* PopUpProperties;
    QAction* PopUpRescan;
    QAction* PopUpImport;
    QAction* PopUpExport;
    QAction* PopUpSave;
    QAction* PopUpDelete;

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    QAction* AddMenuAction(const QString& text, const char* name, void (TProjectForm::*handler)());
    void ShowStatus();
    TCutObject* SelectedCutObject() const;

    ProjectBinModel& bin_;
    Prompts& prompts_;
    ProgressCutExporter exporter_;
    ChildFormPlacement placement_;
    BinItemModel* items_;
};

}  // namespace sw
