#pragma once

#include <functional>
#include <string>
#include <vector>

#include "stream/prompts.h"

namespace sw::cli {

// The document models' questions and messages for a tool nobody sits in front of. It never reads
// standard input: every message goes to stderr, one line after "slicewell-cli: ", questions with
// the answer taken, and each question is answered as a user who wants the batch done would:
// - every Yes/No and Yes/No/Cancel question: Yes (go on with the next file, add the file of the
//   same name, rescan a file whose size changed, scan a file whose index is missing);
// - "Do you want to abort all pending scans ?": Yes only after a stop request (Ctrl-C); a scan
//   that failed on its own is no reason to leave the other files unimported;
// - file open, save and folder dialogs: Cancel (a script cannot pick a file or folder: the
//   lost source of an index file is then not found).
class CliPrompts : public Prompts {
  public:
    explicit CliPrompts(std::function<bool()> stopRequested);

    void Error(const std::string& caption, const std::string& text) override;
    void Information(const std::string& caption, const std::string& text) override;
    void Warning(const std::string& caption, const std::string& text) override;
    Answer YesNo(const std::string& caption, const std::string& text) override;
    // An error that asks (a file that does not exist): a problem, answered Yes to go on.
    Answer ErrorYesNo(const std::string& caption, const std::string& text) override;
    Answer YesNoCancel(const std::string& caption, const std::string& text) override;
    std::vector<std::string> OpenFiles(const FileDialog& dialog) override;
    std::string SaveFile(const FileDialog& dialog) override;
    std::string Folder(FolderDialog& dialog) override;

    // Error boxes and questions about something that went wrong, shown so far: what makes a
    // batch command end with a status other than 0.
    int Problems() const { return problems_; }

  private:
    void Print(const std::string& text, const char* answer = nullptr);
    void NoChoice(const std::string& title, const std::string& name);

    std::function<bool()> stopRequested_;
    int problems_ = 0;
};

// A message box text as one line: its "\r\n" and "\n" breaks become single blanks.
std::string OneLine(const std::string& text);

}  // namespace sw::cli
