#pragma once

#include <algorithm>
#include <memory>
#include <vector>

#include "project/list_observer.h"

namespace sw {

// The observers of one list model, told in the order they subscribed.
template <class Observer>
class ObserverList {
  public:
    void Add(Observer* observer) { observers_.push_back(observer); }
    void Remove(Observer* observer) {
        observers_.erase(std::remove(observers_.begin(), observers_.end(), observer),
                         observers_.end());
    }
    template <class Call>
    void Tell(Call call) const {
        for (Observer* observer : observers_) {
            call(*observer);
        }
    }

  private:
    std::vector<Observer*> observers_;
};

// The row of the record a row owns, -1 when none does.
template <class Owner, class Record>
int RowOfRecord(const std::vector<Owner>& rows, const Record* record) {
    const auto found = std::find_if(rows.begin(), rows.end(),
                                    [record](const Owner& row) { return row.get() == record; });
    return found == rows.end() ? -1 : static_cast<int>(found - rows.begin());
}

// Moves row `from` before row `before` (rows.size() for the end), telling the observers as a Qt
// model's move does. False, with nothing told, when the move would leave the order as it is or
// names no row.
template <class Owner, class Observer>
bool MoveRow(std::vector<Owner>& rows, int from, int before,
             const ObserverList<Observer>& observers) {
    const int count = static_cast<int>(rows.size());
    if (from < 0 || from >= count || before < 0 || before > count || before == from ||
        before == from + 1) {
        return false;
    }
    observers.Tell([&](ListObserver& o) { o.RowAboutToBeMoved(from, before); });
    Owner row = std::move(rows[static_cast<size_t>(from)]);
    rows.erase(rows.begin() + from);
    rows.insert(rows.begin() + (before > from ? before - 1 : before), std::move(row));
    observers.Tell([](ListObserver& o) { o.RowMoved(); });
    return true;
}

}  // namespace sw
