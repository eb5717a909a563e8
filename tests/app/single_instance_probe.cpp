// A stand-in for the program's start as far as the single-instance rule goes: a main window,
// the rule, and prompts that print what they would show. The test runs two of these.
#include <QApplication>
#include <QWidget>
#include <cstdio>
#include <string>
#include <vector>

#include "app/qt/single_instance.h"
#include "stream/prompts.h"

namespace {

class PrintedPrompts : public sw::Prompts {
  public:
    void Error(const std::string& caption, const std::string& text) override {
        Print("ERROR", caption, text);
    }
    void Information(const std::string& caption, const std::string& text) override {
        Print("INFORMATION", caption, text);
    }
    void Warning(const std::string& caption, const std::string& text) override {
        Print("WARNING", caption, text);
    }
    Answer YesNo(const std::string&, const std::string&) override { return Answer::No; }
    Answer YesNoCancel(const std::string&, const std::string&) override { return Answer::Cancel; }
    std::vector<std::string> OpenFiles(const FileDialog&) override { return {}; }
    std::string SaveFile(const FileDialog&) override { return {}; }
    std::string Folder(FolderDialog&) override { return {}; }

  private:
    static void Print(const char* kind, const std::string& caption, const std::string& text) {
        std::printf("%s %s|%s\n", kind, caption.c_str(), text.c_str());
        std::fflush(stdout);
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget mainWindow;
    mainWindow.setObjectName(QStringLiteral("MainForm"));
    mainWindow.setWindowTitle(QStringLiteral("Slicewell 4 - Untitled1"));

    // Any arguments are the files a later start hands over.
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        files.emplace_back(argv[i]);
    }
    sw::SingleInstance instance;
    if (!instance.IsFirstInstance(files)) {
        return sw::kSecondInstanceExitCode;
    }
    mainWindow.showMinimized();
    PrintedPrompts prompts;
    QObject::connect(&instance, &sw::SingleInstance::anotherInstanceStarted, &app, [&] {
        sw::BringToFrontAndTell(&mainWindow, prompts);
        std::printf("FRONT %d\n", mainWindow.isMinimized() ? 0 : 1);
        std::fflush(stdout);
        app.quit();
    });
    QObject::connect(&instance, &sw::SingleInstance::filesHandedOver, &app,
                     [&](const std::vector<std::string>& handed) {
                         for (const std::string& file : handed) {
                             std::printf("HANDED %s\n", file.c_str());
                         }
                         std::fflush(stdout);
                         app.quit();
                     });
    std::printf("READY\n");
    std::fflush(stdout);
    return app.exec();
}
