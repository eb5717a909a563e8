#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace sw {

struct TCutObject;

// The "Properties" window: the file properties report of one cut object in a read-only,
// scrollable text, with an "Ok" button kept centred below it.
class TPropertiesForm : public QDialog {
    Q_OBJECT

  public:
    explicit TPropertiesForm(QWidget* parent = nullptr);

    // Fills the text with the report of cut. An entry that was accepted without a frame index
    // says so in place of the index lines (nothing reads a missing index).
    void ShowReport(TCutObject& cut);

    QPlainTextEdit* PropsMemo;
    QWidget* ButtonPanel;
    QPushButton* OkBtn;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ButtonPanelResize();
};

// The report of cut in a modal "Properties" window, centred on the screen; returns when closed.
void ShowFileProperties(TCutObject& cut, QWidget* parent = nullptr);

}  // namespace sw
