#pragma once

#include <string>
#include <vector>

namespace sw {

// Every message box and file or folder dialog of the program goes through this interface, so the
// core never depends on a toolkit and tests can answer each question. The Qt implementation shows
// real dialogs; tests use a scripted one that fails on any prompt it was not told to expect.
class Prompts {
  public:
    enum class Answer { Ok, Yes, No, Cancel };

    struct FileDialog {
        std::string title;
        std::string fileName;  // initial name
        std::string initialFolder;
        std::string filter;            // "Name|*.a;*.b|Name2|*.c"
        std::string defaultExtension;  // without the dot
        bool multiple = false;         // open dialogs only
    };

    struct FolderDialog {
        std::string title;
        std::string text;
        std::string initialFolder;
        std::string extraCheckBox;  // caption of an extra check box ("" for none)
        bool extraChecked = false;
    };

    virtual ~Prompts() = default;

    virtual void Error(const std::string& caption, const std::string& text) = 0;
    virtual void Information(const std::string& caption, const std::string& text) = 0;
    virtual void Warning(const std::string& caption, const std::string& text) = 0;
    virtual Answer YesNo(const std::string& caption, const std::string& text) = 0;
    // An error that asks how to go on: the error icon with Yes and No. Prompts that show no
    // icons ask it as any other question.
    virtual Answer ErrorYesNo(const std::string& caption, const std::string& text) {
        return YesNo(caption, text);
    }
    virtual Answer YesNoCancel(const std::string& caption, const std::string& text) = 0;

    // Each returns the chosen names; empty when the user cancelled.
    virtual std::vector<std::string> OpenFiles(const FileDialog& dialog) = 0;
    virtual std::string SaveFile(const FileDialog& dialog) = 0;
    // Returns the folder, or "" when cancelled; extraChecked receives the check box's state.
    virtual std::string Folder(FolderDialog& dialog) = 0;
};

}  // namespace sw
