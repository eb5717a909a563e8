#pragma once

#include <QLabel>

namespace sw {

// A label that acts as a link: underlined, a hand cursor, reachable with Tab and activated by a
// click, Return or Space. Disabled, it shows greyed and does nothing.
class LinkLabel : public QLabel {
    Q_OBJECT

  public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

  signals:
    void activated();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace sw
