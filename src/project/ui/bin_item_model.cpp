#include "project/ui/bin_item_model.h"

namespace sw {

BinItemModel::BinItemModel(ProjectBinModel& bin, QObject* parent)
    : ListItemModel({QStringLiteral("File"), QStringLiteral("Time")}, parent),
      bin_(bin),
      forwarder_(*this) {
    bin_.AddObserver(&forwarder_);
}

BinItemModel::~BinItemModel() {
    bin_.RemoveObserver(&forwarder_);
}

std::string BinItemModel::CellText(int row, int column) const {
    BinRowTexts texts = bin_.RowTexts(row);
    return column == 0 ? std::move(texts.Name) : std::move(texts.Time);
}

}  // namespace sw
