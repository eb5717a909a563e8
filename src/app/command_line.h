#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace sw {

class Prompts;

// Option bits of the command line; several may be combined.
inline constexpr int kRemoveOption = 1;
inline constexpr int kVersionOption = 2;
inline constexpr int kQuietOption = 4;
inline constexpr int kHelpOption = 8;
inline constexpr int kUnknownOption = 0xF0;

// What the command line asks for.
struct CommandLine {
    std::string ProjectPath;         // a project file to load, "" for none
    std::vector<std::string> Files;  // names to import, in the order given
    int Options = 0;
    // A "/"-form was given: the answer shows in a message box as well. The GNU forms ("--help")
    // come from a terminal and answer there only.
    bool SlashForm = false;

    // Windows run only when no option, not even "/q", was given.
    bool RunsWindows() const { return Options == 0; }
};

// Reads the arguments after the program name. "/" with exactly one character (any case) and
// "-h", "--help", "-q", "--quiet", "-r", "--remove", "-v", "--version" are options; "/" alone
// and "/" with an unknown character are unknown options. After "--" every argument is a name.
// Any other argument, "/home/a.mp3" included, is a file name: the first whose kind is "m3p"
// ("song.m3px" too) becomes the project and ends the reading. With an option the names are
// dropped; with a project the other names are.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The message that answers the options: the "Visit" line, then the usage text, the
// invalid-option line, the version text and the report of removeStoreEntries, for the options
// given, in that order. removeStoreEntries runs only for the remove option.
std::string OptionMessage(const CommandLine& commandLine,
                          const std::function<std::string()>& removeStoreEntries);

// "Slicewell 4 by The Harrowlight <address>", the caption of the option message box.
std::string OptionMessageCaption();

// The usage text, without the blank line that follows it in the message.
extern const char* const kUsageText;

// The message for a terminal: its "\r\n" line breaks as "\n".
std::string TerminalText(const std::string& message);

// The names a later start hands to the running instance: the files to import, each taken in
// currentFolder unless absolute. None with a project (the running one keeps its own project and
// says that only one instance can be active) or without files.
std::vector<std::string> HandOverNames(const CommandLine& commandLine,
                                       const std::string& currentFolder);

// Prints message on out (line breaks as "\n") and, when a "/"-form was given and "/q" was not,
// shows it through prompts with the information icon and OptionMessageCaption(); prompts is
// nullptr when no box can be seen (see MessageBoxCanShow).
void AnswerOptions(const CommandLine& commandLine, const std::string& message, Prompts* prompts,
                   std::FILE* out);

// Whether a message box can be seen: a display is named and Qt is not told to draw off screen.
// Without one the message goes to standard output only.
bool MessageBoxCanShow();

}  // namespace sw
