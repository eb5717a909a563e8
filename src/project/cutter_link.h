#pragma once

namespace sw {

struct TCutObject;
struct TCueObject;

// What the bin and the cue list tell the cutter window, which holds references to their cut
// objects and cues. Every call has a default that does nothing, so the models also run with no
// cutter at all (the command line, tests).
class CutterLink {
  public:
    virtual ~CutterLink() = default;

    // false before the models read source files or show a modal window, true after.
    virtual void EnablePlayer(bool /*enable*/) {}
    // The user cuts this entry (its marks cover the whole file).
    virtual void OpenCutObject(TCutObject* /*cut*/) {}
    virtual void CutObjectChanged(TCutObject* /*cut*/) {}
    // Called before the cut object is freed.
    virtual void CutObjectDeleted(TCutObject* /*cut*/) {}
    // A rescan put `now` in the place of `old`, which is freed after this call; the cues that
    // referred to old refer to now already.
    virtual void CutObjectReplaced(TCutObject* /*old*/, TCutObject* /*now*/) {}
    virtual void CueChanged(TCueObject* /*cue*/) {}
    // Called before the cue is freed.
    virtual void CueDeleted(TCueObject* /*cue*/) {}
};

// Suspends the cutter's player for as long as it lives (the player must not read sources while
// a scan, an export or a modal dialog runs). Works without a cutter.
class PlayerPause {
  public:
    explicit PlayerPause(CutterLink* cutter) : cutter_(cutter) {
        if (cutter_ != nullptr) {
            cutter_->EnablePlayer(false);
        }
    }
    ~PlayerPause() {
        if (cutter_ != nullptr) {
            cutter_->EnablePlayer(true);
        }
    }
    PlayerPause(const PlayerPause&) = delete;
    PlayerPause& operator=(const PlayerPause&) = delete;

  private:
    CutterLink* cutter_;
};

}  // namespace sw
