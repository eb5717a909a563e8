// The project windows under load, in one process after Qt's start-up (offscreen unless a platform
// is chosen): how long 10,000 cues take to appear in the cue list window, added in one batch
// (as the auto-cut adds them) and one by one, and how long importing FILE through the project
// bin takes (its scan under the progress window) beside the bare core scan of the same file.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/global_settings.h"
#include "engine/qt_front_end.h"
#include "engine/scan.h"
#include "project/project_document.h"
#include "project/ui/cue_list_form.h"
#include "project/ui/project_form.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Nothing here should ask anything; whatever is asked is printed and declined.
class DecliningPrompts : public sw::Prompts {
  public:
    void Error(const std::string&, const std::string& text) override { Print(text); }
    void Information(const std::string&, const std::string& text) override { Print(text); }
    void Warning(const std::string&, const std::string& text) override { Print(text); }
    Answer YesNo(const std::string&, const std::string& text) override {
        Print(text);
        return Answer::No;
    }
    Answer YesNoCancel(const std::string&, const std::string& text) override {
        Print(text);
        return Answer::Cancel;
    }
    std::vector<std::string> OpenFiles(const FileDialog&) override { return {}; }
    std::string SaveFile(const FileDialog&) override { return {}; }
    std::string Folder(FolderDialog&) override { return {}; }

  private:
    static void Print(const std::string& text) {
        std::fprintf(stderr, "project_windows_bench: asked: %s\n", text.c_str());
    }
};

struct Project {
    DecliningPrompts prompts;
    sw::QtFrontEnd frontEnd;
    sw::CoreScanRunner scans{sw::GlobalSettings(), &frontEnd};
    sw::ProjectDocument document{sw::GlobalSettings(), prompts, scans};
};

// From the first add to the window painted with the last cue in view.
double TenThousandCues(const std::string& source, bool batched) {
    Project project;
    sw::TCueListForm window(project.document.Cues(), project.document.Bin(), project.prompts);
    window.show();
    project.document.Bin().ParseMP3List("", {source});
    sw::TCutObject* cut = project.document.Bin().At(0);
    QApplication::processEvents();
    const Clock::time_point start = Clock::now();
    if (batched) {
        project.document.Cues().BeginBatch();
    }
    for (int i = 0; i < 10000; ++i) {
        project.document.Cues().AddCue(cut, "Auto" + std::to_string(i + 1), i, i);
    }
    if (batched) {
        project.document.Cues().EndBatch();
    }
    window.ItemModel().rowCount();
    window.repaint();
    QApplication::processEvents();
    const double ms = MillisecondsSince(start);
    if (window.ItemModel().rowCount() != 10000) {
        std::fprintf(stderr, "project_windows_bench: %d rows shown\n",
                     window.ItemModel().rowCount());
    }
    return ms;
}

double ImportThroughTheBin(const std::string& file) {
    Project project;
    sw::TProjectForm window(project.document.Bin(), project.prompts);
    window.show();
    QApplication::processEvents();
    const Clock::time_point start = Clock::now();
    window.ImportFiles({file});
    return MillisecondsSince(start);
}

double CoreScan(const std::string& file) {
    sw::CutObjectPtr cut(
        sw::CreateCutObject(file, sw::CutObjectOptionsOf(sw::GlobalSettings()), nullptr));
    sw::WorkerControl control;
    const Clock::time_point start = Clock::now();
    sw::ScanFrames(*cut, control);
    return MillisecondsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: project_windows_bench FILE\n");
        return 2;
    }
    sw::GlobalSettings() = sw::DefaultGlobalSettings();
    sw::GlobalSettings().SaveIndexStream = false;
    sw::GlobalSettings().CheckMatch = false;
    const std::string file = argv[1];

    constexpr int kRuns = 9;
    std::vector<double> batched, single, bin, core;
    for (int run = 0; run < kRuns; ++run) {
        batched.push_back(TenThousandCues(file, true));
        single.push_back(TenThousandCues(file, false));
        bin.push_back(ImportThroughTheBin(file));
        core.push_back(CoreScan(file));
    }
    std::printf("10,000 cues into the cue list window, one batch: %.1f ms (median of %d)\n",
                Median(batched), kRuns);
    std::printf("10,000 cues into the cue list window, one by one: %.1f ms (median of %d)\n",
                Median(single), kRuns);
    std::printf("import through the bin, progress window included: %.1f ms (median of %d)\n",
                Median(bin), kRuns);
    std::printf("core scan of the same file: %.1f ms; ratio %.2f\n", Median(core),
                Median(bin) / Median(core));
    return 0;
}
