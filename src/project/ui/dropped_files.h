#pragma once

#include <functional>
#include <string>
#include <vector>

class QDropEvent;
class QMimeData;
class QObject;

namespace sw {

// True when a drop carries URLs (files from the desktop, or addresses from a browser).
bool CarriesUrls(const QMimeData* mime);

// The names a desktop drop carries, in the order of the drop: a local file as its path in the
// file system's bytes; any other URL as its full text, so that the import reports it as a file
// it cannot find rather than dropping it silently.
std::vector<std::string> DroppedFileNames(const QMimeData& mime);

// Accepts a drag enter or move that carries URLs and ignores any other; true when accepted.
bool AcceptUrlDrag(QDropEvent* event);

// Takes a drop of URLs and hands its names to import once the drop has returned (through
// context's event queue), so that a long import never holds up the program the files came from
// and never runs inside Qt's drop handling. False, ignoring the event, for any other drop.
bool TakeUrlDrop(QDropEvent* event, QObject* context,
                 std::function<void(const std::vector<std::string>&)> import);

}  // namespace sw
