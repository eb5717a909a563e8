// The project windows under load, in one process after Qt's start-up (offscreen unless a platform
// is chosen): how long 10,000 cues take to appear in the cue list window, added in one batch
// (as the auto-cut adds them) and one by one, and how long importing FILE through the project
// bin takes (its scan under the progress window) beside the bare core scan of the same file.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/settings/global_settings.h"
#include "cli_prompts.h"
#include "engine/scan.h"
#include "engine/ui/qt_front_end.h"
#include "in_process_timing.h"
#include "project/project_document.h"
#include "project/ui/cue_list_form.h"
#include "project/ui/project_form.h"

namespace {

using sw::bench::Clock;
using sw::bench::Median;
using sw::bench::MillisecondsSince;

// Nothing here should ask anything; what is asked shows on stderr.
struct Project {
    sw::cli::CliPrompts prompts{[] { return false; }};
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

// What the command line's scan does: open the source, scan it.
double CoreScan(const std::string& file) {
    const Clock::time_point start = Clock::now();
    sw::CutObjectPtr cut(
        sw::CreateCutObject(file, sw::CutObjectOptionsOf(sw::GlobalSettings()), nullptr));
    sw::WorkerControl control;
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
    // The import must scan: an index file beside the given file would be loaded instead. A
    // link (or copy) of the file in a folder of our own has none.
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("project_windows_bench." + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::filesystem::path linked = folder / "source.mp3";
    std::error_code linkError;
    std::filesystem::create_hard_link(argv[1], linked, linkError);
    if (linkError) {
        std::filesystem::copy_file(argv[1], linked);
    }
    const std::string file = linked.string();

    constexpr int kRuns = 15;
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
    std::printf("the same file opened and scanned by the core: %.1f ms; ratio %.2f\n", Median(core),
                Median(bin) / Median(core));
    std::filesystem::remove_all(folder);
    return 0;
}
