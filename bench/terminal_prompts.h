#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "stream/prompts.h"

namespace sw::bench {

// A benchmark's run asks nothing: whatever it does ask would be a fault worth seeing, so it goes
// to stderr under the program's name and is declined.
class TerminalPrompts : public Prompts {
  public:
    explicit TerminalPrompts(const char* program) : program_(program) {}

    void Error(const std::string& caption, const std::string& text) override { Say(caption, text); }
    void Information(const std::string& caption, const std::string& text) override {
        Say(caption, text);
    }
    void Warning(const std::string& caption, const std::string& text) override {
        Say(caption, text);
    }
    Answer YesNo(const std::string& caption, const std::string& text) override {
        Say(caption, text);
        return Answer::No;
    }
    Answer YesNoCancel(const std::string& caption, const std::string& text) override {
        Say(caption, text);
        return Answer::Cancel;
    }
    std::vector<std::string> OpenFiles(const FileDialog&) override { return {}; }
    std::string SaveFile(const FileDialog&) override { return {}; }
    std::string Folder(FolderDialog&) override { return {}; }

  private:
    void Say(const std::string& caption, const std::string& text) const {
        std::fprintf(stderr, "%s: %s: %s\n", program_, caption.c_str(), text.c_str());
    }

    const char* program_;
};

}  // namespace sw::bench
