// Adds 10,000 cues to the cue list model one by one, as a long recording's auto-cut does, with
// the totals brought up to date after every add, and prints the time. Also times the same adds
// in one batch, and the naive totals (a sum over every cue after each add) for comparison.
//
//   cue_list_bench [COUNT]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "project/cue_list_model.h"

namespace {

class NoPrompts : public sw::Prompts {
  public:
    void Error(const std::string&, const std::string&) override {}
    void Information(const std::string&, const std::string&) override {}
    void Warning(const std::string&, const std::string&) override {}
    Answer YesNo(const std::string&, const std::string&) override { return Answer::No; }
    Answer YesNoCancel(const std::string&, const std::string&) override { return Answer::Cancel; }
    std::vector<std::string> OpenFiles(const FileDialog&) override { return {}; }
    std::string SaveFile(const FileDialog&) override { return ""; }
    std::string Folder(FolderDialog&) override { return ""; }
};

class Changes : public sw::ModifiedSink {
  public:
    void MarkModified() override { ++count; }
    long count = 0;
};

// What a view does per notification: keep a row count and the panel texts.
class View : public sw::CueListObserver {
  public:
    void RowsAboutToBeInserted(int first, int last) override { rows += last - first + 1; }
    void TotalsChanged(const sw::CueTotals& totals) override { panel = totals.FramesText; }
    long rows = 0;
    std::string panel;
};

enum class Mode { Incremental, Batched, NaiveSum };

double RunOnce(int count, Mode mode, sw::TCutObject& cut) {
    sw::TGlobalSettings settings = sw::DefaultGlobalSettings();
    NoPrompts prompts;
    Changes changes;
    sw::CueListModel cues(settings, prompts, changes);
    View view;
    cues.AddObserver(&view);
    int64_t naive = 0;
    const auto start = std::chrono::steady_clock::now();
    if (mode == Mode::Batched) {
        cues.BeginBatch();
    }
    for (int i = 0; i < count; ++i) {
        cues.AddCue(&cut, "Auto" + std::to_string(i + 1) + ": hour", i * 10, i * 10 + 7);
        if (mode == Mode::NaiveSum) {
            naive = 0;
            for (int row = 0; row < cues.Count(); ++row) {
                naive += sw::CueFrames(*cues.At(row));
            }
        }
    }
    if (mode == Mode::Batched) {
        cues.EndBatch();
    }
    const auto end = std::chrono::steady_clock::now();
    if (cues.Count() != count || view.rows != count ||
        (mode == Mode::NaiveSum && naive != cues.Totals().Frames)) {
        std::fprintf(stderr, "cue_list_bench: the model lost cues\n");
        std::exit(1);
    }
    cues.RemoveObserver(&view);
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double Median(int count, Mode mode, sw::TCutObject& cut) {
    std::vector<double> runs;
    for (int run = 0; run < 7; ++run) {
        runs.push_back(RunOnce(count, mode, cut));
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    sw::TCutObject cut;
    cut.Name = "hour";
    cut.FrameInfo.Bitrate = 128;
    cut.FrameInfo.FrameLength = 417;
    std::printf("%d cues added one by one, totals after every add: %.2f ms (median of 7)\n", count,
                Median(count, Mode::Incremental, cut));
    std::printf("%d cues added in one batch: %.2f ms\n", count, Median(count, Mode::Batched, cut));
    std::printf("%d cues with the total summed over every cue after each add: %.2f ms\n", count,
                Median(count, Mode::NaiveSum, cut));
    return 0;
}
