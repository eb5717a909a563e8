#pragma once

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/settings/global_settings.h"
#include "frame_builder.h"
#include "project/bin_model.h"
#include "project/cue_list_model.h"
#include "project/scan_runner.h"
#include "scripted_prompts.h"

namespace sw::test {

class CountingSink : public ModifiedSink {
  public:
    void MarkModified() override { ++count; }
    int count = 0;
};

// The real scan, counted, with a status forced for chosen files (an abort the test cannot
// click).
class CountingScanRunner : public ScanRunner {
  public:
    explicit CountingScanRunner(const TGlobalSettings& settings) : core_(settings) {}
    int Scan(TCutObject& cut) override {
        ++scans;
        const int status = core_.Scan(cut);
        auto forced = forcedStatus.find(cut.FileName);
        return forced == forcedStatus.end() ? status : forced->second;
    }
    int scans = 0;
    std::map<std::string, int> forcedStatus;

  private:
    CoreScanRunner core_;
};

// Records the row notifications a view would receive, as text.
class RecordingObserver : public CueListObserver {
  public:
    void RowsAboutToBeInserted(int first, int last) override { Log("insert", first, last); }
    void RowsAboutToBeRemoved(int first, int last) override { Log("remove", first, last); }
    void RowAboutToBeMoved(int from, int before) override { Log("move", from, before); }
    void RowsChanged(int first, int last) override { Log("change", first, last); }
    void AboutToReset() override { calls.push_back("reset"); }
    void TotalsChanged(const CueTotals&) override { ++totals; }
    std::vector<std::string> calls;
    int totals = 0;

  private:
    void Log(const char* what, int a, int b) {
        calls.push_back(std::string(what) + " " + std::to_string(a) + "," + std::to_string(b));
    }
};

class RecordingCutter : public CutterLink {
  public:
    void EnablePlayer(bool enable) override { calls.push_back(enable ? "resume" : "pause"); }
    void OpenCutObject(TCutObject*) override { calls.push_back("open"); }
    void CutObjectDeleted(TCutObject* cut) override { calls.push_back("deleted " + cut->Name); }
    void CutObjectReplaced(TCutObject* old, TCutObject* now) override {
        replaced.push_back({old, now});
    }
    void CueDeleted(TCueObject* cue) override { calls.push_back("cue deleted " + cue->Name); }
    std::vector<std::string> calls;
    std::vector<std::pair<TCutObject*, TCutObject*>> replaced;
};

// A bin and a cue list over real files in a temporary folder; the index files beside sources are
// off unless a test turns "SaveIndexStream" on. Exports are plain copies: the hand-built frames
// carry no real side information for a clean cut to work with (tests/engine has its own).
class ModelFixture : public ::testing::Test {
  protected:
    ModelFixture() {
        settings.TempFolder = dir.Path();
        settings.SaveIndexStream = false;
        settings.CheckMatch = false;
        settings.CleanCuts = false;
    }

    // An MP3 file of count 128 kbit/s frames (417 bytes each).
    std::string WriteMp3(const std::string& name, int count, const HeaderSpec& spec = {}) {
        const std::string fileName = dir.File(name);
        WriteFileBytes(fileName, MakeFrames(count, spec));
        return fileName;
    }

    TempDir dir;
    TGlobalSettings settings = DefaultGlobalSettings();
    ScriptedPrompts prompts;
    CountingScanRunner scans{settings};
    CountingSink changes;
    CueListModel cues{settings, prompts, changes};
    ProjectBinModel bin{settings, prompts, scans, cues, changes};
};

}  // namespace sw::test
