#include "cli_prompts.h"

#include <cstdio>
#include <utility>

#include "project/document_texts.h"

namespace sw::cli {

CliPrompts::CliPrompts(std::function<bool()> stopRequested)
    : stopRequested_(std::move(stopRequested)) {}

std::string OneLine(const std::string& text) {
    std::string line;
    line.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            // "name\" \r\nhas" must not become two blanks.
            if (!line.empty() && line.back() != ' ') {
                line += ' ';
            }
            continue;
        }
        line += c;
    }
    return line;
}

void CliPrompts::Print(const std::string& text, const char* answer) {
    if (answer != nullptr) {
        std::fprintf(stderr, "slicewell-cli: %s [%s]\n", OneLine(text).c_str(), answer);
    } else {
        std::fprintf(stderr, "slicewell-cli: %s\n", OneLine(text).c_str());
    }
}

void CliPrompts::Error(const std::string&, const std::string& text) {
    ++problems_;
    Print(text);
}

void CliPrompts::Information(const std::string&, const std::string& text) {
    Print(text);
}

void CliPrompts::Warning(const std::string&, const std::string& text) {
    Print("warning: " + text);
}

Prompts::Answer CliPrompts::YesNo(const std::string& caption, const std::string& text) {
    if (text == texts::kAbortPendingScans) {
        // Asked after a file was not added cleanly: that file is the problem already counted
        // (its scan's message), or the stop the user asked for.
        const bool stop = stopRequested_ && stopRequested_();
        ++problems_;
        Print(text, stop ? "Yes" : "No");
        return stop ? Answer::Yes : Answer::No;
    }
    // An error box that asks (a file that does not exist) is a problem; a question is not.
    if (caption == texts::kErrorCaption) {
        ++problems_;
    }
    Print(text, "Yes");
    return Answer::Yes;
}

Prompts::Answer CliPrompts::ErrorYesNo(const std::string&, const std::string& text) {
    ++problems_;
    Print(text, "Yes");
    return Answer::Yes;
}

Prompts::Answer CliPrompts::YesNoCancel(const std::string& caption, const std::string& text) {
    if (caption == texts::kErrorCaption) {
        ++problems_;
    }
    Print(text, "Yes");
    return Answer::Yes;
}

std::vector<std::string> CliPrompts::OpenFiles(const FileDialog& dialog) {
    NoChoice(dialog.title, dialog.fileName);
    return {};
}

std::string CliPrompts::SaveFile(const FileDialog& dialog) {
    NoChoice(dialog.title, dialog.fileName);
    return "";
}

std::string CliPrompts::Folder(FolderDialog& dialog) {
    NoChoice(dialog.title, dialog.initialFolder);
    return "";
}

void CliPrompts::NoChoice(const std::string& title, const std::string& name) {
    Print(title + (name.empty() ? "" : ": " + name) + " (nothing can be chosen here)", "Cancel");
}

}  // namespace sw::cli
