#include "app/command_line.h"

#include <cstdlib>

#include "app/settings/global_settings.h"
#include "stream/file_names.h"
#include "stream/prompts.h"
#include "stream/version_text.h"

namespace sw {

const char* const kUsageText =
    "Usage: Slicewell [/r][/v][/h] [Filename1] [Filename2] [Filename...]\r\n"
    "Where:\r\n"
    "       /r: Remove Slicewell registry entries\r\n"
    "       /v: Show Slicewell version details\r\n"
    "       /h: Shows possible command-line options\r\n"
    "       /q: Quiet command-line; don't show message-box";

namespace {

// The option a long or short GNU form names; 0 when the argument is none of them.
int GnuOption(const std::string& argument) {
    if (argument == "-h" || argument == "--help") {
        return kHelpOption;
    }
    if (argument == "-q" || argument == "--quiet") {
        return kQuietOption;
    }
    if (argument == "-r" || argument == "--remove") {
        return kRemoveOption;
    }
    if (argument == "-v" || argument == "--version") {
        return kVersionOption;
    }
    return 0;
}

// The number of bytes of the UTF-8 character that starts with byte; 1 for a stray byte, so a
// broken name still counts as one character.
size_t CharacterLength(unsigned char byte) {
    if (byte >= 0xF0 && byte < 0xF8) {
        return 4;
    }
    if (byte >= 0xE0) {
        return byte < 0xF0 ? 3 : 1;
    }
    if (byte >= 0xC0) {
        return 2;
    }
    return 1;
}

// "/" followed by at most one character: the slash form of an option.
bool IsSlashOption(const std::string& argument) {
    if (argument.empty() || argument[0] != '/') {
        return false;
    }
    if (argument.size() == 1) {
        return true;
    }
    return argument.size() == 1 + CharacterLength(static_cast<unsigned char>(argument[1]));
}

int SlashOption(const std::string& argument) {
    if (argument.size() != 2) {
        return kUnknownOption;
    }
    switch (argument[1]) {
        case '?':
        case 'h':
        case 'H':
            return kHelpOption;
        case 'q':
        case 'Q':
            return kQuietOption;
        case 'r':
        case 'R':
            return kRemoveOption;
        case 'v':
        case 'V':
            return kVersionOption;
        default:
            return kUnknownOption;
    }
}

bool Named(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] != '\0';
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine result;
    bool namesOnly = false;
    for (const std::string& argument : arguments) {
        if (!namesOnly) {
            if (argument == "--") {
                namesOnly = true;
                continue;
            }
            if (IsSlashOption(argument)) {
                result.Options |= SlashOption(argument);
                result.SlashForm = true;
                continue;
            }
            if (const int option = GnuOption(argument)) {
                result.Options |= option;
                continue;
            }
        }
        if (FileKind(argument) == "m3p") {
            result.ProjectPath = argument;
            break;
        }
        result.Files.push_back(argument);
    }
    if (!result.RunsWindows() || !result.ProjectPath.empty()) {
        result.Files.clear();
    }
    return result;
}

std::string OptionMessage(const CommandLine& commandLine,
                          const std::function<std::string()>& removeStoreEntries) {
    const int options = commandLine.Options;
    std::string text = "Visit: " + DefaultGlobalSettings().SlicewellURL +
                       " for the latest version and information\r\n\r\n";
    if ((options & kHelpOption) != 0) {
        text += kUsageText;
        text += "\r\n\r\n";
    }
    if ((options & kUnknownOption) != 0) {
        text += "Invalid commandline option";
    }
    if ((options & kVersionOption) != 0) {
        text += VersionText();
    }
    if ((options & kRemoveOption) != 0 && removeStoreEntries) {
        text += removeStoreEntries();
    }
    return text;
}

std::vector<std::string> HandOverNames(const CommandLine& commandLine,
                                       const std::string& currentFolder) {
    std::vector<std::string> names;
    if (!commandLine.ProjectPath.empty()) {
        return names;
    }
    for (const std::string& file : commandLine.Files) {
        if (!file.empty()) {
            names.push_back(ResolvePath(currentFolder, file));
        }
    }
    return names;
}

std::string OptionMessageCaption() {
    return "Slicewell 4 by The Harrowlight <" + DefaultGlobalSettings().Email + ">";
}

std::string TerminalText(const std::string& message) {
    std::string text;
    text.reserve(message.size());
    for (size_t i = 0; i < message.size(); ++i) {
        if (message[i] == '\r') {
            if (i + 1 < message.size() && message[i + 1] == '\n') {
                continue;
            }
            text += '\n';
            continue;
        }
        text += message[i];
    }
    return text;
}

void AnswerOptions(const CommandLine& commandLine, const std::string& message, Prompts* prompts,
                   std::FILE* out) {
    const std::string text = TerminalText(message);
    std::fwrite(text.data(), 1, text.size(), out);
    if (!text.empty() && text.back() != '\n') {
        std::fputc('\n', out);
    }
    std::fflush(out);
    if (prompts != nullptr && commandLine.SlashForm && (commandLine.Options & kQuietOption) == 0) {
        prompts->Information(OptionMessageCaption(), message);
    }
}

bool MessageBoxCanShow() {
    if (const char* platform = std::getenv("QT_QPA_PLATFORM")) {
        const std::string name = platform;
        if (name.starts_with("offscreen") || name.starts_with("minimal")) {
            return false;
        }
    }
    return Named("DISPLAY") || Named("WAYLAND_DISPLAY");
}

}  // namespace sw
