// Scans one file the way the windowed program does: ScanCutObject with its worker thread under
// the modal progress window (offscreen unless a platform is chosen), and prints the time the scan
// took. bench/run.sh compares the whole process with the command-line scan.
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/global_settings.h"
#include "engine/scan_operation.h"
#include "stream/cut_object.h"
#include "stream/prompts.h"

namespace {

// The scan asks nothing; anything it did ask would be a fault worth seeing on stderr.
class StderrPrompts : public sw::Prompts {
  public:
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
    static void Say(const std::string& caption, const std::string& text) {
        std::fprintf(stderr, "scan_dialog_bench: %s: %s\n", caption.c_str(), text.c_str());
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: scan_dialog_bench FILE\n");
        return 2;
    }
    sw::GlobalSettings() = sw::DefaultGlobalSettings();
    // Timing the scan, not the index file beside the source (which would also outlive the run).
    sw::GlobalSettings().SaveIndexStream = false;

    sw::CreateFailure failure = sw::CreateFailure::None;
    sw::CutObjectPtr cut(sw::CreateCutObject(argv[1], &failure));
    if (!cut) {
        std::fprintf(stderr, "scan_dialog_bench: %s\n",
                     sw::CreateFailureText(failure, argv[1]).c_str());
        return 1;
    }
    StderrPrompts prompts;
    const auto start = std::chrono::steady_clock::now();
    const int status = sw::ScanCutObject(cut.get(), prompts);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d frames, status %d, %.1f ms\n", cut->FrameCount(), status, ms);
    return status == 0 ? 0 : 1;
}
