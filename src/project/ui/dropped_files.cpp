#include "project/ui/dropped_files.h"

#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace sw {

bool CarriesUrls(const QMimeData* mime) {
    return mime != nullptr && mime->hasUrls();
}

std::vector<std::string> DroppedFileNames(const QMimeData& mime) {
    std::vector<std::string> names;
    for (const QUrl& url : mime.urls()) {
        if (url.isLocalFile()) {
            names.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
        } else if (!url.isEmpty()) {
            names.push_back(url.toString().toStdString());
        }
    }
    return names;
}

bool AcceptUrlDrag(QDropEvent* event) {
    if (!CarriesUrls(event->mimeData())) {
        event->ignore();
        return false;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

bool TakeUrlDrop(QDropEvent* event, QObject* context,
                 std::function<void(const std::vector<std::string>&)> import) {
    if (!CarriesUrls(event->mimeData())) {
        event->ignore();
        return false;
    }
    std::vector<std::string> names = DroppedFileNames(*event->mimeData());
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (!names.empty()) {
        QTimer::singleShot(
            0, context, [names = std::move(names), import = std::move(import)] { import(names); });
    }
    return true;
}

}  // namespace sw
