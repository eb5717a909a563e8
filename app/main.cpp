// slicewell: the windowed program.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/load_settings.h"
#include "app/main_form.h"
#include "app/qt_prompts.h"
#include "app/settings_store.h"
#include "widgets/item_drag_object.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName("Slicewell 4");
    sw::TItemDragObject::Instance();
    sw::QtPrompts prompts;

    if (!sw::LoadGlobalSettings()) {
        prompts.Error("Error", "Error retrieving global settings...\r\nUsing default values");
    }

    std::vector<std::string> arguments;
    const QStringList given = QApplication::arguments();
    for (qsizetype i = 1; i < given.size(); ++i) {
        arguments.push_back(QFile::encodeName(given[i]).toStdString());
    }
    const sw::CommandLine commandLine = sw::ParseCommandLine(arguments);
    if (!commandLine.RunsWindows()) {
        // An option ends the program after its message, without saving the settings.
        const std::string message = sw::OptionMessage(commandLine, [] { return std::string(); });
        std::fputs(sw::TerminalText(message).c_str(), stdout);
        if (!(commandLine.Options & sw::kQuietOption) && sw::MessageBoxCanShow()) {
            prompts.Information(sw::OptionMessageCaption(), message);
        }
        return 0;
    }

    sw::TMainForm mainForm(prompts);
    prompts.SetParent(&mainForm);
    mainForm.show();
    if (!commandLine.Files.empty()) {
        // After the frame is on screen, so that the scans' progress windows sit over it.
        const std::string folder = QFile::encodeName(QDir::currentPath()).toStdString();
        QTimer::singleShot(0, &mainForm, [&] { mainForm.ImportFiles(commandLine.Files, folder); });
    }
    const int result = app.exec();

    if (!sw::SaveGlobalSettings()) {
        prompts.Error("Error", "Error storing global settings...");
    }
    return result;
}
