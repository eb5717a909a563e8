#pragma once

#include <QString>

class QAction;
class QObject;

namespace sw {

// A new action named objectName with its shortcut from the action registry (none when the
// registry has none for it).
QAction* RegisteredAction(QObject* parent, const char* objectName, const QString& text);

}  // namespace sw
