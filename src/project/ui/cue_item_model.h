#pragma once

#include "project/cue_list_model.h"
#include "project/ui/list_item_model.h"

namespace sw {

// The cue list with its four columns: "Cue name" (renamed in place), "From frame", "To frame"
// and "Time"; the totals of the two status panels come with every change.
class CueItemModel : public ListItemModel {
    Q_OBJECT

  public:
    explicit CueItemModel(CueListModel& cues, QObject* parent = nullptr);
    ~CueItemModel() override;

    CueListModel& Cues() const { return cues_; }

  signals:
    void TotalsChanged(const QString& frames, const QString& time, bool exportEnabled);

  protected:
    int Rows() const override { return cues_.Count(); }
    std::string CellText(int row, int column) const override;
    void RenameRow(int row, const std::string& name) override { cues_.Rename(row, name); }

  private:
    class Forwarder : public RowForwarder<CueListObserver> {
      public:
        explicit Forwarder(CueItemModel& model) : RowForwarder(model), model_(model) {}
        void TotalsChanged(const CueTotals& totals) override;

      private:
        CueItemModel& model_;
    };

    CueListModel& cues_;
    Forwarder forwarder_;
};

}  // namespace sw
