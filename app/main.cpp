// slicewell: the windowed program.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/file_associations.h"
#include "app/qt/load_settings.h"
#include "app/qt/qt_prompts.h"
#include "app/qt/remove_store_entries.h"
#include "app/qt/settings_store.h"
#include "app/qt/single_instance.h"
#include "app/ui/first_paint_report.h"
#include "app/ui/main_form.h"
#include "app/ui/program_start.h"
#include "app/ui/splash_form.h"
#include "update/ui/check_for_updates.h"
#include "widgets/ui/item_drag_object.h"

namespace {

constexpr char kNoDisplay[] =
    "slicewell: no display to show the windows on (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
    "slicewell-cli scans, exports and plays files without one.\n";

}  // namespace

int main(int argc, char** argv) {
    // The arguments as the file system's bytes, before Qt takes any of its own options.
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    // The settings, the single-instance check and the option message need no display; without
    // one Qt would not even start, so it draws off screen and only the terminal hears from us.
    const bool display = sw::MessageBoxCanShow();
    const bool madeOffscreen = !display && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (madeOffscreen) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    QApplication app(argc, argv);
    // No application display name: Qt would append it to every window's and box's title
    // ("Slicewell 4 - Untitled1 — Slicewell 4"), and the titles are the captions exactly.
    // The desktop matches the windows to the menu's entry (and its icon) by this name.
    QApplication::setDesktopFileName(QStringLiteral("slicewell"));
    sw::TItemDragObject::Instance();
    sw::QtPrompts prompts;
    // A box nobody can see would wait for ever: without a display messages go to the terminal.
    const auto error = [&](const char* caption, const char* text) {
        if (display) {
            prompts.Error(caption, text);
        } else {
            std::fprintf(stderr, "slicewell: %s\n", sw::TerminalText(text).c_str());
        }
    };

    if (!sw::LoadGlobalSettings()) {
        error("Error", "Error retrieving global settings...\r\nUsing default values");
    }
    sw::RegisterOwnFileAssociations();  // the program runs without them as well

    // Options answer by themselves, also while another instance runs.
    const sw::CommandLine commandLine = sw::ParseCommandLine(arguments);
    const std::string folder = QFile::encodeName(QDir::currentPath()).toStdString();
    if (!commandLine.RunsWindows()) {
        // An option ends the program after its message, without saving the settings.
        const std::string message =
            sw::OptionMessage(commandLine, [] { return sw::RemoveStoreEntries(); });
        sw::AnswerOptions(commandLine, message, display ? &prompts : nullptr, stdout);
        return 0;
    }

    // A file opened from the desktop while the program runs is imported by the running one.
    sw::SingleInstance instance;
    if (!instance.IsFirstInstance(sw::HandOverNames(commandLine, folder))) {
        return sw::kSecondInstanceExitCode;
    }
    if (madeOffscreen) {
        std::fputs(kNoDisplay, stderr);
        return 1;
    }

    // The frame makes its child windows in the order cutter, cue list, project bin.
    sw::TMainForm mainForm(prompts);
    prompts.SetParent(&mainForm);
    sw::NameStartProject(mainForm, commandLine);
    mainForm.SetCheckForUpdates(
        [&] { sw::CheckForUpdates(sw::GlobalSettings(), prompts, &mainForm); });
    QObject::connect(&instance, &sw::SingleInstance::anotherInstanceStarted, &mainForm,
                     [&] { sw::BringToFrontAndTell(&mainForm, prompts); });
    QObject::connect(&instance, &sw::SingleInstance::filesHandedOver, &mainForm,
                     &sw::TMainForm::ImportHandedOver);
    sw::ReportFirstPaint(&mainForm);
    mainForm.show();
    sw::ShowSplash(sw::GlobalSettings().SplashDelay, &mainForm);
    // From the event loop, so that the scans' progress windows sit over a painted frame.
    QTimer::singleShot(0, &mainForm,
                       [&] { sw::OpenCommandLineFiles(mainForm, commandLine, folder); });
    const int result = app.exec();

    if (!sw::SaveGlobalSettings()) {
        prompts.Error("Error", "Error storing global settings...");
    }
    return result;
}
