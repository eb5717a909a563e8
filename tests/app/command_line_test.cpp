#include "app/command_line.h"

#include <gtest/gtest.h>

#include "app/settings/global_settings.h"
#include "stream/version_text.h"

namespace sw {
namespace {

std::string VisitLine() {
    return "Visit: " + DefaultGlobalSettings().SlicewellURL +
           " for the latest version and information\r\n\r\n";
}

std::string MessageFor(const std::vector<std::string>& arguments) {
    return OptionMessage(ParseCommandLine(arguments), [] { return std::string("REMOVED\r\n"); });
}

TEST(CommandLineOptions, SlashLettersAreReadWithoutRegardToCase) {
    // Would break: "/V" taken for a file name, so the program starts its windows instead.
    for (const char* argument : {"/V", "/v"}) {
        const CommandLine line = ParseCommandLine({argument});
        EXPECT_EQ(line.Options, kVersionOption) << argument;
        EXPECT_FALSE(line.RunsWindows());
        EXPECT_EQ(MessageFor({argument}), VisitLine() + VersionText());
    }
    EXPECT_EQ(ParseCommandLine({"/?"}).Options, kHelpOption);
    EXPECT_EQ(ParseCommandLine({"/H"}).Options, kHelpOption);
    EXPECT_EQ(ParseCommandLine({"/R"}).Options, kRemoveOption);
    EXPECT_EQ(ParseCommandLine({"/Q"}).Options, kQuietOption);
}

TEST(CommandLineOptions, UnknownLetterAndBareSlashAreInvalidNotFileNames) {
    // Would break: a mistyped option silently imported as a file, or "/" opening the root folder.
    for (const char* argument : {"/x", "/", "/\xC3\xA9"}) {
        const CommandLine line = ParseCommandLine({argument, "a.mp3"});
        EXPECT_EQ(line.Options, kUnknownOption) << argument;
        EXPECT_TRUE(line.Files.empty());
        EXPECT_EQ(OptionMessage(line, {}), VisitLine() + "Invalid commandline option");
    }
}

TEST(CommandLineOptions, QuietAloneStartsNoWindowAndNeedsNoBox) {
    // Would break: "/q" taken as "no option", so a scripted call opens the whole program.
    const CommandLine line = ParseCommandLine({"/q"});
    EXPECT_FALSE(line.RunsWindows());
    EXPECT_EQ(line.Options, kQuietOption);
    EXPECT_EQ(MessageFor({"/q"}), VisitLine());
}

TEST(CommandLineOptions, GnuFormsMeanTheSameAsSlashForms) {
    // Would break: "--version" imported as a file named "--version".
    EXPECT_EQ(ParseCommandLine({"-h"}).Options, kHelpOption);
    EXPECT_EQ(ParseCommandLine({"--help"}).Options, kHelpOption);
    EXPECT_EQ(ParseCommandLine({"-q"}).Options, kQuietOption);
    EXPECT_EQ(ParseCommandLine({"--quiet"}).Options, kQuietOption);
    EXPECT_EQ(ParseCommandLine({"-r"}).Options, kRemoveOption);
    EXPECT_EQ(ParseCommandLine({"--remove"}).Options, kRemoveOption);
    EXPECT_EQ(ParseCommandLine({"-v"}).Options, kVersionOption);
    EXPECT_EQ(ParseCommandLine({"--version"}).Options, kVersionOption);
    EXPECT_EQ(ParseCommandLine({"-V", "--Help", "-x"}).Files,
              (std::vector<std::string>{"-V", "--Help", "-x"}));
}

TEST(CommandLineOptions, CombinedOptionsContributeInFixedOrder) {
    // Would break: the remove report before the version, or the removal run without "/r".
    int removals = 0;
    const auto remove = [&] {
        ++removals;
        return std::string("REMOVED\r\n");
    };
    const CommandLine line = ParseCommandLine({"/r", "/v", "/x", "/h"});
    EXPECT_EQ(line.Options, kRemoveOption | kVersionOption | kUnknownOption | kHelpOption);
    EXPECT_EQ(OptionMessage(line, remove), VisitLine() + kUsageText + "\r\n\r\n" +
                                               "Invalid commandline option" + VersionText() +
                                               "REMOVED\r\n");
    EXPECT_EQ(removals, 1);
    OptionMessage(ParseCommandLine({"/v"}), remove);
    EXPECT_EQ(removals, 1);
}

TEST(CommandLineOptions, UsageTextAndCaptionAreExact) {
    // Would break: the help text users and scripts read drifting from the documented one.
    EXPECT_EQ(MessageFor({"/h"}),
              VisitLine() +
                  "Usage: Slicewell [/r][/v][/h] [Filename1] [Filename2] [Filename...]\r\n"
                  "Where:\r\n"
                  "       /r: Remove Slicewell registry entries\r\n"
                  "       /v: Show Slicewell version details\r\n"
                  "       /h: Shows possible command-line options\r\n"
                  "       /q: Quiet command-line; don't show message-box\r\n\r\n");
    EXPECT_EQ(OptionMessageCaption(),
              "Slicewell 4 by The Harrowlight <" + DefaultGlobalSettings().Email + ">");
    EXPECT_EQ(TerminalText("a\r\n\r\nb\rc\n"), "a\n\nb\nc\n");
}

TEST(CommandLineFiles, ProjectFileWinsAndEndsTheReading) {
    // Would break: a.mp3 and c.mp3 imported into the project that b.m3p loads.
    const CommandLine line = ParseCommandLine({"a.mp3", "b.m3p", "c.mp3"});
    EXPECT_TRUE(line.RunsWindows());
    EXPECT_EQ(line.ProjectPath, "b.m3p");
    EXPECT_TRUE(line.Files.empty());
    // Nothing after the project is examined, an option included.
    EXPECT_TRUE(ParseCommandLine({"b.m3p", "/v"}).RunsWindows());
}

TEST(CommandLineFiles, NamesKeepTheirOrderAndOnlyThreeExtensionCharactersCount) {
    // Would break: files imported in another order, or "song.m3px" imported as audio.
    const CommandLine line = ParseCommandLine({"a.mp3", "c.mp3"});
    EXPECT_EQ(line.Files, (std::vector<std::string>{"a.mp3", "c.mp3"}));
    EXPECT_TRUE(line.ProjectPath.empty());
    EXPECT_EQ(ParseCommandLine({"song.m3px"}).ProjectPath, "song.m3px");
    EXPECT_EQ(ParseCommandLine({"SONG.M3P"}).ProjectPath, "SONG.M3P");
    EXPECT_EQ(ParseCommandLine({"notes.txt"}).Files, (std::vector<std::string>{"notes.txt"}));
}

TEST(CommandLineFiles, AbsolutePathsAreNamesNotOptions) {
    // Would break: "/home/a.mp3" read as an unknown option, so no absolute path could be opened.
    const CommandLine line = ParseCommandLine({"/home/a.mp3", "/ab", "--", "-v", "/v"});
    EXPECT_TRUE(line.RunsWindows());
    EXPECT_EQ(line.Files, (std::vector<std::string>{"/home/a.mp3", "/ab", "-v", "/v"}));
}

TEST(CommandLineFiles, AnOptionDropsTheNamesGivenWithIt) {
    // Would break: "/v a.mp3" printing the version and then importing into no window.
    const CommandLine line = ParseCommandLine({"a.mp3", "/v", "c.mp3"});
    EXPECT_TRUE(line.Files.empty());
    EXPECT_FALSE(line.RunsWindows());
}

}  // namespace
}  // namespace sw

#include <cstdio>

#include "scripted_prompts.h"

namespace sw {
namespace {

std::string Printed(const std::function<void(std::FILE*)>& write) {
    std::FILE* out = std::tmpfile();
    write(out);
    std::rewind(out);
    std::string text;
    char buffer[512];
    size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, out)) > 0) {
        text.append(buffer, read);
    }
    std::fclose(out);
    return text;
}

TEST(CommandLineHandOver, LaterStartsHandOverTheirFilesAbsoluteAndNeverAProject) {
    // Breaks when a relative name reaches the running instance, which would take it in its own
    // folder, or when a second start's project replaces the running one's.
    const CommandLine files = ParseCommandLine({"a.mp3", "/abs/b.mp3", "sub/c.m3u"});
    EXPECT_EQ(HandOverNames(files, "/home/me"),
              (std::vector<std::string>{"/home/me/a.mp3", "/abs/b.mp3", "/home/me/sub/c.m3u"}));
    EXPECT_TRUE(HandOverNames(ParseCommandLine({"a.mp3", "show.m3p"}), "/home/me").empty());
    EXPECT_TRUE(HandOverNames(ParseCommandLine({}), "/home/me").empty());
}

TEST(CommandLineAnswer, MessageGoesToTheTerminalAndToABoxUnlessQuiet) {
    // Would break: "/v" from a terminal printing nothing, or "/q" still popping up a box.
    const CommandLine version = ParseCommandLine({"/v"});
    const std::string message = OptionMessage(version, {});
    test::ScriptedPrompts prompts;
    prompts.ExpectInformation();
    EXPECT_EQ(Printed([&](std::FILE* out) { AnswerOptions(version, message, &prompts, out); }),
              TerminalText(message));
    ASSERT_EQ(prompts.History().size(), 1U);
    EXPECT_EQ(prompts.History()[0].caption, OptionMessageCaption());
    EXPECT_EQ(prompts.History()[0].text, message);

    const CommandLine quiet = ParseCommandLine({"/v", "/q"});
    EXPECT_EQ(Printed([&](std::FILE* out) {
                  AnswerOptions(quiet, OptionMessage(quiet, {}), &prompts, out);
              }),
              TerminalText(message));
    EXPECT_EQ(Printed([&](std::FILE* out) { AnswerOptions(version, message, nullptr, out); }),
              TerminalText(message));
    EXPECT_EQ(prompts.History().size(), 1U);
    // The GNU forms are typed in a terminal and answer there; a box would wait for a click the
    // terminal user does not expect. Mixed with a "/"-form the box is shown.
    const CommandLine gnu = ParseCommandLine({"--version", "-h"});
    EXPECT_FALSE(Printed([&](std::FILE* out) {
                     AnswerOptions(gnu, OptionMessage(gnu, {}), &prompts, out);
                 }).empty());
    EXPECT_EQ(prompts.History().size(), 1U);
    const CommandLine mixed = ParseCommandLine({"--version", "/h"});
    prompts.ExpectInformation();
    Printed([&](std::FILE* out) { AnswerOptions(mixed, OptionMessage(mixed, {}), &prompts, out); });
    EXPECT_EQ(prompts.History().size(), 2U);
    // A message without a final line break still ends the terminal's line.
    EXPECT_EQ(Printed([&](std::FILE* out) {
                  AnswerOptions(quiet, "Invalid commandline option", nullptr, out);
              }),
              "Invalid commandline option\n");
}

}  // namespace
}  // namespace sw
