// The auto-cut dialog's search of one file, in one process after Qt's start-up (offscreen unless
// a platform is chosen): from the press of "Search" until the dialog is ready for the next one,
// every cue on the cue list; beside it the core's search of the same entry into the same cue
// list without a window, which is what `slicewell-cli autocut` does after its start-up. The file
// comes into the project bin as the program imports it: from the index file beside it when that
// fits, else scanned.
//   autocut_dialog_bench FILE [--runs N]
#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/settings/global_settings.h"
#include "autocut/auto_cut_search.h"
#include "autocut/ui/auto_cut_form.h"
#include "cli_prompts.h"
#include "engine/scan.h"
#include "engine/ui/qt_front_end.h"
#include "in_process_timing.h"
#include "project/project_document.h"

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

double DialogSearch(sw::TAutoCutForm& form, sw::CueListModel& cues) {
    cues.DeleteAll();
    QApplication::processEvents();
    const Clock::time_point start = Clock::now();
    form.SearchBtnClick();
    return MillisecondsSince(start);
}

double CoreSearch(sw::TCutObject* cut, sw::CueListModel& cues) {
    cues.DeleteAll();
    const Clock::time_point start = Clock::now();
    sw::WorkerControl control;
    const sw::AutoCutResult result = sw::ProcessFile(
        cut, sw::GlobalSettings().AutocutThreshold,
        [&](sw::TCutObject* from, const std::string& name, int32_t in, int32_t out) {
            return cues.AddCue(from, name, in, out);
        },
        control);
    const double ms = MillisecondsSince(start);
    if (result.Outcome != sw::AutoCutOutcome::Completed) {
        std::fprintf(stderr, "autocut_dialog_bench: %s\n", result.Message.c_str());
    }
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    int runs = 15;
    if (argc == 4 && std::strcmp(argv[2], "--runs") == 0) {
        runs = std::max(1, std::atoi(argv[3]));
    } else if (argc != 2) {
        std::fprintf(stderr, "usage: autocut_dialog_bench FILE [--runs N]\n");
        return 2;
    }
    sw::GlobalSettings() = sw::DefaultGlobalSettings();
    // Runs of the bench leave nothing beside the file that a later run would find.
    sw::GlobalSettings().SaveIndexStream = false;

    Project project;
    project.document.Bin().ParseMP3List("", {argv[1]});
    if (project.document.Bin().Count() != 1) {
        std::fprintf(stderr, "autocut_dialog_bench: %s was not imported\n", argv[1]);
        return 1;
    }
    sw::TCutObject* cut = project.document.Bin().At(0);
    sw::CueListModel& cues = project.document.Cues();
    sw::TAutoCutForm form(cut, sw::GlobalSettings(), cues, project.prompts);
    form.show();
    QApplication::processEvents();

    // The first search pays for the dialog's first paint of its changed buttons; timed apart.
    const double first = DialogSearch(form, cues);
    std::vector<double> dialog, core;
    for (int run = 0; run < runs; ++run) {
        dialog.push_back(DialogSearch(form, cues));
        const int found = cues.Count();
        core.push_back(CoreSearch(cut, cues));
        if (cues.Count() != found) {
            std::fprintf(stderr, "autocut_dialog_bench: the dialog found %d cues, the core %d\n",
                         found, cues.Count());
            return 1;
        }
    }
    std::printf("%d frames, %d cues\n", cut->FrameCount(), cues.Count());
    std::printf("first search in the dialog: %.1f ms\n", first);
    std::printf("search in the dialog: %.1f ms (median of %d)\n", Median(dialog), runs);
    std::printf("search by the core into the cue list: %.1f ms (median of %d)\n", Median(core),
                runs);
    return 0;
}
