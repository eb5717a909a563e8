#include "app/qt/registered_action.h"

#include <QAction>
#include <QKeySequence>

#include "app/settings/action_registry.h"

namespace sw {

QAction* RegisteredAction(QObject* parent, const char* objectName, const QString& text) {
    auto* action = new QAction(text, parent);
    action->setObjectName(QString::fromLatin1(objectName));
    const std::string keys = ShortcutOf(objectName);
    if (!keys.empty()) {
        action->setShortcut(QKeySequence(QString::fromStdString(keys), QKeySequence::PortableText));
    }
    return action;
}

}  // namespace sw
