#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>

#include "stream/prompts.h"

namespace sw {

// The prompts as real Qt message boxes and file dialogs. Texts arrive as UTF-8 bytes and file
// names leave as the file system's bytes. Every box is modal to the parent given, or to the
// active window when there is none.
class QtPrompts : public Prompts {
  public:
    explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}

    void SetParent(QWidget* parent) { parent_ = parent; }

    void Error(const std::string& caption, const std::string& text) override;
    void Information(const std::string& caption, const std::string& text) override;
    void Warning(const std::string& caption, const std::string& text) override;
    Answer YesNo(const std::string& caption, const std::string& text) override;
    Answer ErrorYesNo(const std::string& caption, const std::string& text) override;
    Answer YesNoCancel(const std::string& caption, const std::string& text) override;
    std::vector<std::string> OpenFiles(const FileDialog& dialog) override;
    std::string SaveFile(const FileDialog& dialog) override;
    // A non-native directory dialog, so that the text line and the extra check box fit in it.
    std::string Folder(FolderDialog& dialog) override;

  private:
    QWidget* Parent() const;
    QMessageBox::StandardButton Show(QMessageBox::Icon icon, const std::string& caption,
                                     const std::string& text, QMessageBox::StandardButtons buttons);

    QPointer<QWidget> parent_;
};

// The characters a message shows: the UTF-8 text with "\r\n" and a lone "\r" as line breaks.
QString DisplayText(const std::string& text);

// The box a message goes out in, not yet shown. Its text is always plain: messages carry file
// names, cue names, tag texts and what a server sent, and Qt takes a text that looks like markup
// for rich text. A name such as <img src="/dev/zero"> then makes the box read without end, one
// naming a FIFO hangs it, and a heading in red draws a false alarm.
std::unique_ptr<QMessageBox> NewMessageBox(QWidget* parent, QMessageBox::Icon icon,
                                           const std::string& caption, const std::string& text,
                                           QMessageBox::StandardButtons buttons);

}  // namespace sw
