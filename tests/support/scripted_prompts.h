#pragma once

#include <deque>
#include <string>
#include <vector>

#include "stream/prompts.h"

namespace sw::test {

// Prompts answered from a script. Each Expect* queues one prompt the test expects, with its
// answer; a prompt of another kind, or one nobody expected, fails the running test. Every prompt
// shown is recorded, so tests can check captions and texts.
class ScriptedPrompts : public Prompts {
  public:
    enum class Kind {
        Error,
        Information,
        Warning,
        YesNo,
        ErrorYesNo,
        YesNoCancel,
        OpenFiles,
        SaveFile,
        Folder
    };

    struct Shown {
        Kind kind;
        std::string caption;
        std::string text;
    };

    ~ScriptedPrompts() override;

    void ExpectError() { Queue(Kind::Error); }
    void ExpectInformation() { Queue(Kind::Information); }
    void ExpectWarning() { Queue(Kind::Warning); }
    void ExpectYesNo(Answer answer) { Queue(Kind::YesNo, answer); }
    void ExpectErrorYesNo(Answer answer) { Queue(Kind::ErrorYesNo, answer); }
    void ExpectYesNoCancel(Answer answer) { Queue(Kind::YesNoCancel, answer); }
    void ExpectOpenFiles(std::vector<std::string> names) {
        Queue(Kind::OpenFiles, Answer::Ok, names);
    }
    void ExpectSaveFile(const std::string& name) { Queue(Kind::SaveFile, Answer::Ok, {name}); }
    void ExpectFolder(const std::string& folder, bool checked = false);

    const std::vector<Shown>& History() const { return shown_; }
    // The texts of every prompt shown, in order.
    std::vector<std::string> Texts() const;
    // True when every expected prompt has been shown.
    bool Done() const { return script_.empty(); }
    // Dialog arguments of the last file or folder dialog shown.
    const FileDialog& LastFileDialog() const { return lastFileDialog_; }
    const FolderDialog& LastFolderDialog() const { return lastFolderDialog_; }

    void Error(const std::string& caption, const std::string& text) override;
    void Information(const std::string& caption, const std::string& text) override;
    void Warning(const std::string& caption, const std::string& text) override;
    Answer YesNo(const std::string& caption, const std::string& text) override;
    Answer ErrorYesNo(const std::string& caption, const std::string& text) override;
    Answer YesNoCancel(const std::string& caption, const std::string& text) override;
    std::vector<std::string> OpenFiles(const FileDialog& dialog) override;
    std::string SaveFile(const FileDialog& dialog) override;
    std::string Folder(FolderDialog& dialog) override;

  private:
    struct Step {
        Kind kind;
        Answer answer;
        std::vector<std::string> names;
        bool checked;
    };
    void Queue(Kind kind, Answer answer = Answer::Ok, std::vector<std::string> names = {},
               bool checked = false);
    Step Take(Kind kind, const std::string& caption, const std::string& text);

    std::deque<Step> script_;
    std::vector<Shown> shown_;
    FileDialog lastFileDialog_;
    FolderDialog lastFolderDialog_;
};

}  // namespace sw::test
