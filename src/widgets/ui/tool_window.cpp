#include "widgets/ui/tool_window.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>

namespace sw {

namespace {

class CentreWhenShown : public QObject {
  public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* window = static_cast<QWidget*>(watched);
            if (const QScreen* screen = window->screen()) {
                QRect frame = window->frameGeometry();
                frame.moveCenter(screen->availableGeometry().center());
                window->move(frame.topLeft());
            }
        }
        return false;
    }
};

}  // namespace

void MakeCentredToolWindow(QWidget* dialog) {
    dialog->setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
    dialog->installEventFilter(new CentreWhenShown(dialog));
}

}  // namespace sw
