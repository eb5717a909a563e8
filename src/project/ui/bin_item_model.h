#pragma once

#include "project/bin_model.h"
#include "project/ui/list_item_model.h"

namespace sw {

// The project bin with its two columns: "File" (the entry's display name, renamed in place)
// and "Time" (its play time).
class BinItemModel : public ListItemModel {
    Q_OBJECT

  public:
    explicit BinItemModel(ProjectBinModel& bin, QObject* parent = nullptr);
    ~BinItemModel() override;

    ProjectBinModel& Bin() const { return bin_; }

  protected:
    int Rows() const override { return bin_.Count(); }
    std::string CellText(int row, int column) const override;
    void RenameRow(int row, const std::string& name) override { bin_.Rename(row, name); }

  private:
    ProjectBinModel& bin_;
    RowForwarder<ListObserver> forwarder_;
};

}  // namespace sw
