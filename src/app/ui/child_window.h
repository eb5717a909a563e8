#pragma once

#include <QMdiSubWindow>
#include <functional>

namespace sw {

// A child window of the frame that lives for the whole run: "closing" it runs onClose (which
// hides it through the same path as its View toggle) instead of closing it. Once the program
// ends the close goes through.
class ChildWindow : public QMdiSubWindow {
    Q_OBJECT

  public:
    ChildWindow(std::function<void()> onClose, QWidget* parent = nullptr);

    void SetTerminating(bool terminating) { terminating_ = terminating; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    std::function<void()> onClose_;
    bool terminating_ = false;
};

}  // namespace sw
