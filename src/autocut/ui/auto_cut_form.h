#pragma once

#include <QDialog>

#include "app/settings/global_settings.h"
#include "project/cue_list_model.h"
#include "stream/cut_object.h"
#include "stream/prompts.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace sw {

class AutoCutRun;

// "AutoCutter": searches one cut object for runs of sound and puts each on the cue list. The
// search runs on its own thread (AutoCutRun) while the dialog shows its progress and hands the
// found cues to the cue list at display rate, so the window answers "Abort" and its close at
// once and a long file costs what the search itself costs. The threshold comes from
// "AutocutThreshold" and goes back there when the dialog closes.
class TAutoCutForm : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kDisplayInterval = 30;  // milliseconds between looks at the search

    TAutoCutForm(TCutObject* cut, TGlobalSettings& settings, CueListModel& cues, Prompts& prompts,
                 QWidget* parent = nullptr);
    ~TAutoCutForm() override;

    // Runs the search and returns when it has ended (by itself, by Abort or by the dialog
    // closing); the dialog stays open for another search.
    void SearchBtnClick();
    void AbortBtnClick();
    bool Searching() const { return run_ != nullptr; }

    QLineEdit* FileEdit;
    QProgressBar* ProgressBar;
    QLabel* Label1;
    QSpinBox* ThresholdEdit;
    QLabel* Label2;
    QPushButton* SearchBtn;
    QPushButton* AbortBtn;

  public slots:
    // Every way the dialog closes stores the threshold and aborts a running search.
    void done(int result) override;

  private:
    void ProcessFile();
    void SetGaugeRange();
    // Hands what the search found since the last look to the cue list; false once the list
    // refused a cue.
    bool HandOverCues();

    TCutObject* cut_;
    TGlobalSettings& settings_;
    CueListModel& cues_;
    Prompts& prompts_;
    AutoCutRun* run_ = nullptr;  // while a search runs
    bool cueRefused_ = false;
};

// Shows the dialog for the cut object modally and returns its result (the bin's "&Autocut").
int AutoCutFile(TCutObject* cut, TGlobalSettings& settings, CueListModel& cues, Prompts& prompts,
                QWidget* parent = nullptr);

}  // namespace sw
