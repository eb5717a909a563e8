#include "scripted_prompts.h"

#include <gtest/gtest.h>

namespace sw::test {
namespace {

const char* KindName(ScriptedPrompts::Kind kind) {
    switch (kind) {
        case ScriptedPrompts::Kind::Error:
            return "error box";
        case ScriptedPrompts::Kind::Information:
            return "information box";
        case ScriptedPrompts::Kind::Warning:
            return "warning box";
        case ScriptedPrompts::Kind::YesNo:
            return "yes/no question";
        case ScriptedPrompts::Kind::ErrorYesNo:
            return "error box with yes and no";
        case ScriptedPrompts::Kind::YesNoCancel:
            return "yes/no/cancel question";
        case ScriptedPrompts::Kind::OpenFiles:
            return "open dialog";
        case ScriptedPrompts::Kind::SaveFile:
            return "save dialog";
        case ScriptedPrompts::Kind::Folder:
            return "folder dialog";
    }
    return "prompt";
}

}  // namespace

ScriptedPrompts::~ScriptedPrompts() {
    EXPECT_TRUE(script_.empty()) << script_.size() << " expected prompt(s) never shown, first a "
                                 << KindName(script_.front().kind);
}

void ScriptedPrompts::ExpectFolder(const std::string& folder, bool checked) {
    Queue(Kind::Folder, Answer::Ok, {folder}, checked);
}

void ScriptedPrompts::Queue(Kind kind, Answer answer, std::vector<std::string> names,
                            bool checked) {
    script_.push_back(Step{kind, answer, std::move(names), checked});
}

ScriptedPrompts::Step ScriptedPrompts::Take(Kind kind, const std::string& caption,
                                            const std::string& text) {
    shown_.push_back(Shown{kind, caption, text});
    if (script_.empty()) {
        ADD_FAILURE() << "unexpected " << KindName(kind) << " \"" << caption << "\": " << text;
        return Step{kind,
                    kind == Kind::YesNo || kind == Kind::ErrorYesNo || kind == Kind::YesNoCancel
                        ? Answer::No
                        : Answer::Ok,
                    {},
                    false};
    }
    Step step = script_.front();
    script_.pop_front();
    if (step.kind != kind) {
        ADD_FAILURE() << "expected a " << KindName(step.kind) << " but got a " << KindName(kind)
                      << " \"" << caption << "\": " << text;
    }
    return step;
}

std::vector<std::string> ScriptedPrompts::Texts() const {
    std::vector<std::string> texts;
    for (const Shown& s : shown_) {
        texts.push_back(s.text);
    }
    return texts;
}

void ScriptedPrompts::Error(const std::string& caption, const std::string& text) {
    Take(Kind::Error, caption, text);
}

void ScriptedPrompts::Information(const std::string& caption, const std::string& text) {
    Take(Kind::Information, caption, text);
}

void ScriptedPrompts::Warning(const std::string& caption, const std::string& text) {
    Take(Kind::Warning, caption, text);
}

Prompts::Answer ScriptedPrompts::YesNo(const std::string& caption, const std::string& text) {
    return Take(Kind::YesNo, caption, text).answer;
}

Prompts::Answer ScriptedPrompts::ErrorYesNo(const std::string& caption, const std::string& text) {
    return Take(Kind::ErrorYesNo, caption, text).answer;
}

Prompts::Answer ScriptedPrompts::YesNoCancel(const std::string& caption, const std::string& text) {
    return Take(Kind::YesNoCancel, caption, text).answer;
}

std::vector<std::string> ScriptedPrompts::OpenFiles(const FileDialog& dialog) {
    lastFileDialog_ = dialog;
    return Take(Kind::OpenFiles, dialog.title, dialog.fileName).names;
}

std::string ScriptedPrompts::SaveFile(const FileDialog& dialog) {
    lastFileDialog_ = dialog;
    Step step = Take(Kind::SaveFile, dialog.title, dialog.fileName);
    return step.names.empty() ? std::string() : step.names.front();
}

std::string ScriptedPrompts::Folder(FolderDialog& dialog) {
    lastFolderDialog_ = dialog;
    Step step = Take(Kind::Folder, dialog.title, dialog.text);
    dialog.extraChecked = step.checked;
    return step.names.empty() ? std::string() : step.names.front();
}

}  // namespace sw::test
