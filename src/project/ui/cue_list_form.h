#pragma once

#include <QRect>
#include <QWidget>

#include "project/bin_model.h"
#include "project/cue_list_model.h"
#include "project/ui/child_form_placement.h"
#include "project/ui/cue_item_model.h"
#include "project/ui/progress_cut_exporter.h"

class QAction;
class QLabel;
class QMenu;
class QMimeData;
class QStatusBar;

namespace sw {

class ItemListView;

// The "Cue list" window: the project's cues over the cue list model, with the totals in two
// status panels, the popup menu's commands, in-place rename, reordering by drag and drop and
// files dropped from the desktop (which go to the bin's import like every other file).
class TCueListForm : public QWidget {
    Q_OBJECT

  public:
    TCueListForm(CueListModel& cues, ProjectBinModel& bin, Prompts& prompts,
                 QWidget* parent = nullptr);
    ~TCueListForm() override;

    static QRect DesignedGeometry() { return {150, 310, 382, 137}; }
    static QSize MinimumTrackingSize() { return {382, 137}; }

    CueListModel& Cues() const { return cues_; }
    ChildFormPlacement& Placement() { return placement_; }
    CueItemModel& ItemModel() const { return *items_; }

    // Computes the menu's enabling for the current selection (also before it opens).
    void PopupPopup();

    void PopUpReviewClick();
    void PopUpRenameClick();
    void PopUpPropertiesClick();
    void PopUpImportClick();
    void PopUpExportMP3Click();
    void PopUpExportAsWAVClick();
    void PopUpExportAsCUEClick();
    void PopUpExportAsClick();
    void PopUpSaveSheetClick();
    void PopUpDeleteClick();
    // Reordering by drag and drop (the list's drag calls these): the selected cue becomes the
    // drag holder's item; only this list's own rows may drop; the dragged cue goes before row
    // `before` (Count() to append) and the holder is cleared.
    bool CueListStartDrag();
    bool CueListDragOver(const QMimeData* data) const;
    void CueListDragDrop(int before);
    // Files dropped here: the bin's list import, in the drop's order.
    void ImportFiles(const std::vector<std::string>& names);

    ItemListView* CueList;
    QStatusBar* StatusBar;
    QLabel* FramesPanel;
    QLabel* TimePanel;
    QMenu* Popup;
    QAction* PopUpReview;
    QAction* PopUpRename;
    QAction* PopUpProperties;
    QAction* PopUpImport;
    QMenu* PopUpExport;
    QAction* PopUpExportMP3;
    QAction* PopUpExportAsWAV;
    QAction* PopUpExportAsCUE;
    QAction* PopUpExportAs;
    QAction* PopUpSaveSheet;
    QAction* PopUpDelete;

  signals:
    // Review the cue in the cutter (the cutter shows its file with the cue's range as marks).
    void ReviewRequested(TCueObject* cue);
    // The project export has cues to join (total frames above 0), or no longer has.
    void EnableExport(bool enable);

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    QAction* AddMenuAction(QMenu* menu, const QString& text, const char* name,
                           void (TCueListForm::*handler)());
    void ShowTotals(const QString& frames, const QString& time, bool exportEnabled);
    void ExportSelected(const std::string& extension);
    TCueObject* SelectedCue() const;

    CueListModel& cues_;
    ProjectBinModel& bin_;
    Prompts& prompts_;
    ProgressCutExporter exporter_;
    ChildFormPlacement placement_;
    CueItemModel* items_;
};

}  // namespace sw
