#include "project/ui/cue_item_model.h"

namespace sw {

CueItemModel::CueItemModel(CueListModel& cues, QObject* parent)
    : ListItemModel({QStringLiteral("Cue name"), QStringLiteral("From frame"),
                     QStringLiteral("To frame"), QStringLiteral("Time")},
                    parent),
      cues_(cues),
      forwarder_(*this) {
    cues_.AddObserver(&forwarder_);
}

CueItemModel::~CueItemModel() {
    cues_.RemoveObserver(&forwarder_);
}

std::string CueItemModel::CellText(int row, int column) const {
    CueRowTexts texts = cues_.RowTexts(row);
    switch (column) {
        case 0:
            return std::move(texts.Name);
        case 1:
            return std::move(texts.From);
        case 2:
            return std::move(texts.To);
        default:
            return std::move(texts.Time);
    }
}

void CueItemModel::Forwarder::TotalsChanged(const CueTotals& totals) {
    emit model_.TotalsChanged(ToQString(totals.FramesText), ToQString(totals.TimeText),
                              totals.ExportEnabled);
}

}  // namespace sw
