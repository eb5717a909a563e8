#include "widgets/ui/item_drag_object.h"

#include <QDrag>
#include <QMimeData>
#include <QWidget>

namespace sw {

TItemDragObject& TItemDragObject::Instance() {
    static TItemDragObject holder;
    return holder;
}

bool TItemDragObject::CarriesItem(const QMimeData* mime) const {
    return mime != nullptr && mime->hasFormat(QString::fromLatin1(kItemMimeType)) && !item_.Empty();
}

bool TItemDragObject::CarriesItemOf(const QMimeData* mime, const QWidget* list) const {
    return CarriesItem(mime) && item_.list == list;
}

void TItemDragObject::Forget(const TCutObject* cutObject) {
    if (cutObject != nullptr && item_.cutObject == cutObject) {
        Clear();
    }
}

void TItemDragObject::Forget(const TCueObject* cue) {
    if (cue != nullptr && item_.cue == cue) {
        Clear();
    }
}

Qt::DropAction TItemDragObject::Run(QWidget* source, const DraggedItem& item, const QString& text) {
    item_ = item;
    auto* mime = new QMimeData();
    mime->setData(QString::fromLatin1(kItemMimeType), QByteArray::number(item.row));
    // A plain-text copy lets a drop into a text field take the row's name, nothing more.
    mime->setText(text);
    auto* drag = new QDrag(source);
    drag->setMimeData(mime);
    Qt::DropAction action = Qt::IgnoreAction;
    if (loop_) {
        action = loop_(*drag);
        drag->deleteLater();  // exec hands a finished drag to Qt to delete; the loop does not
    } else {
        action = drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
    }
    Clear();
    return action;
}

}  // namespace sw
