#pragma once

#include <QAbstractItemModel>
#include <QStringList>
#include <string>

#include "project/list_observer.h"

namespace sw {

// A flat Qt item model over one of the project's list models: rows are the core model's rows,
// read when a view asks, column 0 is the name that the view's in-place edit renames. The adapter
// keeps nothing of the rows; the core model's change notifications reach the views through
// RowForwarder one for one.
class ListItemModel : public QAbstractItemModel {
    Q_OBJECT

  public:
    ListItemModel(QStringList captions, QObject* parent);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override;

    // The core model's notifications, forwarded.
    void AboutToInsert(int first, int last) { beginInsertRows({}, first, last); }
    void Inserted() { endInsertRows(); }
    void AboutToRemove(int first, int last) { beginRemoveRows({}, first, last); }
    void Removed() { endRemoveRows(); }
    void AboutToMove(int from, int before);
    void Moved();
    void Changed(int first, int last);
    void AboutToReset() { beginResetModel(); }
    void ResetDone() { endResetModel(); }
    void RequestShow() { emit ShowWindowRequested(); }

  signals:
    // The core model wants its window shown (an import, a new cue).
    void ShowWindowRequested();

  protected:
    virtual int Rows() const = 0;
    virtual std::string CellText(int row, int column) const = 0;
    virtual void RenameRow(int row, const std::string& name) = 0;

  private:
    QStringList captions_;
    bool moving_ = false;  // Qt refuses a move onto the row's own place
};

// Forwards a core model's row notifications to an adapter. Base is ListObserver or an observer
// derived from it (the cue list's adds its totals).
template <class Base>
class RowForwarder : public Base {
  public:
    explicit RowForwarder(ListItemModel& model) : model_(model) {}

    void RowsAboutToBeInserted(int first, int last) override { model_.AboutToInsert(first, last); }
    void RowsInserted() override { model_.Inserted(); }
    void RowsAboutToBeRemoved(int first, int last) override { model_.AboutToRemove(first, last); }
    void RowsRemoved() override { model_.Removed(); }
    void RowAboutToBeMoved(int from, int before) override { model_.AboutToMove(from, before); }
    void RowMoved() override { model_.Moved(); }
    void RowsChanged(int first, int last) override { model_.Changed(first, last); }
    void AboutToReset() override { model_.AboutToReset(); }
    void ResetDone() override { model_.ResetDone(); }
    void ShowRequested() override { model_.RequestShow(); }

  private:
    ListItemModel& model_;
};

// UTF-8 bytes of the core (names are the file system's bytes) as a QString, and back.
QString ToQString(const std::string& bytes);
std::string ToBytes(const QString& text);

}  // namespace sw
