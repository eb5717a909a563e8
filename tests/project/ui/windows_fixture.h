#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/settings/global_settings.h"
#include "engine/ui/process_form.h"
#include "engine/ui/qt_front_end.h"
#include "frame_builder.h"
#include "project/project_document.h"
#include "project/scan_runner.h"
#include "project/ui/cue_list_form.h"
#include "project/ui/item_list_view.h"
#include "project/ui/project_form.h"
#include "scripted_prompts.h"
#include "when_shown.h"

namespace sw::test {

// What the lists told the cutter, in order, with the records as they were then.
class RecordingCutter : public CutterLink {
  public:
    struct Call {
        std::string what;
        const void* record;
    };
    void EnablePlayer(bool enable) override {
        calls.push_back({enable ? "EnablePlayer(true)" : "EnablePlayer(false)", nullptr});
    }
    void OpenCutObject(TCutObject* cut) override {
        calls.push_back({"OpenCutObject", cut});
        if (cut != nullptr) {
            opened = {cut->MarkIn, cut->MarkOut};
        }
    }
    void CutObjectDeleted(TCutObject* cut) override { calls.push_back({"CutObjectDeleted", cut}); }
    void CueDeleted(TCueObject* cue) override { calls.push_back({"CueDeleted", cue}); }
    std::vector<std::string> Names() const;
    // True when every EnablePlayer(false) is followed by an EnablePlayer(true).
    bool PlayerResumed() const;

    std::vector<Call> calls;
    std::pair<int32_t, int32_t> opened{-1, -1};
};

// Scans as the frame runs them, under the real progress window, counting them; a file named in
// abortNames has its scan stopped by the window's Abort button once the worker is inside it.
class CountingScanRunner : public ScanRunner {
  public:
    int Scan(TCutObject& cut) override;

    int scans = 0;
    int progressWindowsSeen = 0;
    std::vector<std::string> abortNames;

  private:
    QtFrontEnd frontEnd_;
    CoreScanRunner inner_{GlobalSettings(), &frontEnd_};
};

// Both windows over one real project document, on real files in a folder of the test's own, with
// scripted prompts and the real progress window.
class WindowsTest : public ::testing::Test {
  protected:
    WindowsTest();
    ~WindowsTest() override;

    // An MP3 file of count frames of 417 bytes (frame i filled with byte i + 1).
    std::string Mp3(const std::string& name, int count);
    // Imports names through the bin's drop path and waits for it.
    void DropFiles(QWidget* target, const std::vector<std::string>& names);
    // The captions of a menu's entries in order, "-" for a separator.
    static std::vector<std::string> MenuCaptions(QMenu* menu);
    static std::vector<std::string> ColumnTexts(QAbstractItemModel& model, int column);
    // Selects exactly these rows of a list.
    static void Select(ItemListView* list, const std::vector<int>& rows);

    ProjectBinModel& Bin() { return document_->Bin(); }
    CueListModel& Cues() { return document_->Cues(); }

    TempDir dir_;
    TGlobalSettings saved_;
    ScriptedPrompts prompts_;
    CountingScanRunner scans_;
    RecordingCutter cutter_;
    std::unique_ptr<ProjectDocument> document_;
    std::unique_ptr<TProjectForm> bin_;
    std::unique_ptr<TCueListForm> cueList_;
};

}  // namespace sw::test
