#include "project/ui/list_item_model.h"

#include "widgets/ui/plain_tool_tip.h"

namespace sw {

QString ToQString(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string ToBytes(const QString& text) {
    return text.toStdString();
}

ListItemModel::ListItemModel(QStringList captions, QObject* parent)
    : QAbstractItemModel(parent), captions_(std::move(captions)) {}

QModelIndex ListItemModel::index(int row, int column, const QModelIndex& parent) const {
    if (parent.isValid() || row < 0 || row >= Rows() || column < 0 || column >= captions_.size()) {
        return {};
    }
    return createIndex(row, column);
}

QModelIndex ListItemModel::parent(const QModelIndex&) const {
    return {};
}

int ListItemModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Rows();
}

int ListItemModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(captions_.size());
}

QVariant ListItemModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Rows()) {
        return {};
    }
    if (role == Qt::TextAlignmentRole && index.column() > 0) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        return ToQString(CellText(index.row(), index.column()));
    }
    if (role == Qt::ToolTipRole) {
        return PlainToolTip(ToQString(CellText(index.row(), index.column())));
    }
    return {};
}

bool ListItemModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.column() != 0 || index.row() >= Rows()) {
        return false;
    }
    RenameRow(index.row(), ToBytes(value.toString()));
    return true;
}

QVariant ListItemModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= captions_.size()) {
        return {};
    }
    return captions_.at(section);
}

Qt::ItemFlags ListItemModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::ItemIsDropEnabled;
    }
    Qt::ItemFlags flags =
        Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    if (index.column() == 0) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

Qt::DropActions ListItemModel::supportedDropActions() const {
    return Qt::MoveAction | Qt::CopyAction;
}

void ListItemModel::AboutToMove(int from, int before) {
    moving_ = beginMoveRows({}, from, from, {}, before);
}

void ListItemModel::Moved() {
    if (moving_) {
        endMoveRows();
        moving_ = false;
    } else {
        // A move Qt could not describe still leaves the rows in a new order.
        emit layoutChanged();
    }
}

void ListItemModel::Changed(int first, int last) {
    if (first <= last && Rows() > 0) {
        emit dataChanged(index(first, 0), index(last, columnCount() - 1));
    }
}

}  // namespace sw
