#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "cutter/ui/cutter_form.h"
#include "player/qt/cut_player_thread.h"
#include "player/test_wave_out.h"
#include "player_fixture.h"
#include "project/cue_list_model.h"
#include "scripted_prompts.h"

namespace sw::test {

// A shown cutter over a file of numbered frames, its player on the deterministic device, its
// cues going to a real cue list model. Settings start from the defaults with frame display,
// keyboard control on and autoplay, loop and mute off.
class CutterHarness {
  public:
    explicit CutterHarness(int frames = 1000, std::unique_ptr<WaveOut> device = nullptr);
    ~CutterHarness();

    TCutterForm& Form() { return *form_; }
    TCutPlayerThread& Player() { return *form_->Player(); }
    TestWaveOut& Device() { return *device_; }
    ScriptedPrompts& Prompts() { return prompts_; }
    CueListModel& Cues() { return cues_; }
    TCutObject* Cut() { return cut_.get(); }
    const TempDir& Dir() const { return dir_; }
    // Another file of numbered frames in the same folder.
    CutObjectPtr MakeCut(int frames, const std::string& name);

    template <class T>
    T* Find(const char* name) {
        T* child = form_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    // Clicks a control the way the mouse does; a disabled control ignores it.
    void Click(const char* name);
    // Presses and releases a key at the focused control of the cutter.
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    QString LabelText(const char* name);
    // Plays count buffers and lets the event loop deliver them.
    void Play(int count);
    // The frames written to the device since the last ClearWrites.
    std::vector<int32_t> Written() const;
    void ClearWrites() { device_->ClearEvents(); }

  private:
    class Changes : public ModifiedSink {
      public:
        void MarkModified() override {}
    };

    TempDir dir_;
    CutObjectPtr cut_;
    TestWaveOut* device_ = nullptr;
    ScriptedPrompts prompts_;
    Changes changes_;
    CueListModel cues_;
    std::unique_ptr<TCutterForm> form_;
};

}  // namespace sw::test
