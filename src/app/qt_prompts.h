#pragma once

#include <QPointer>
#include <QWidget>

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

    QPointer<QWidget> parent_;
};

}  // namespace sw
