// The benchmark layer that times "first buffer played": it must count only buffers the device
// really played, and must not change what the player does.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>

#include "played_buffers_wave_out.h"
#include "player/qt/cut_player_thread.h"
#include "player/test_wave_out.h"
#include "player_fixture.h"

namespace sw::bench {
namespace {

struct Rig {
    explicit Rig(bool layered) {
        test::WriteNumberedFrames(dir.File("n.mp3"), 400);
        cut = test::IndexedCutObject(dir.File("n.mp3"));
        auto owned = std::make_unique<TestWaveOut>();
        device = owned.get();
        std::unique_ptr<WaveOut> out = std::move(owned);
        if (layered) {
            auto layer = std::make_unique<PlayedBuffersWaveOut>(std::move(out));
            played = layer.get();
            out = std::move(layer);
        }
        player = std::make_unique<TCutPlayerThread>(std::move(out));
        player->SetQueueDepths(16, 6);
        player->SetActive(true);
        EXPECT_EQ(player->Open(cut.get()), 0);
    }
    ~Rig() { player->Close(); }

    void Advance(int count) {
        device->Advance(count);
        test::ProcessEvents();
    }

    test::TempDir dir;
    CutObjectPtr cut;
    TestWaveOut* device = nullptr;
    PlayedBuffersWaveOut* played = nullptr;
    std::unique_ptr<TCutPlayerThread> player;
};

TEST(PlayedBuffers, BuffersASeekThrowsAwayAreNotCountedAsPlayed) {
    // Would break: a seek's sixteen unplayed buffers counted as played make every jog look
    // heard at once (0 ms) instead of when its first new frame has played.
    Rig rig(true);
    rig.player->Play();
    test::ProcessEvents();
    rig.Advance(3);
    EXPECT_EQ(rig.played->Played(), 3);
    const auto third = rig.played->LastPlayedAt();

    rig.player->SetPosition(200);
    test::ProcessEvents();
    EXPECT_EQ(rig.played->Played(), 3) << "the reset's returns were counted";
    EXPECT_EQ(rig.played->LastPlayedAt(), third);
    EXPECT_EQ(rig.player->QueuedBuffers(), 16) << "the queue was not refilled after the seek";

    rig.Advance(1);
    EXPECT_EQ(rig.played->Played(), 4);
    EXPECT_GT(rig.played->LastPlayedAt(), third);
    EXPECT_EQ(rig.player->Position(), 201u);
}

TEST(PlayedBuffers, PauseAndCloseHandBackUnplayedBuffersWithoutCountingThem) {
    // Would break: buffers returned by a pause's reset or a close counted, or left out so the
    // close waits for buffers that never come.
    Rig rig(true);
    rig.player->Play();
    test::ProcessEvents();
    rig.Advance(2);
    rig.player->Pause();
    test::ProcessEvents();
    rig.Advance(5);  // a paused device plays nothing
    EXPECT_EQ(rig.played->Played(), 2);
    rig.player->Play();
    test::ProcessEvents();
    rig.Advance(1);
    EXPECT_EQ(rig.played->Played(), 3);
    EXPECT_EQ(rig.player->Close(), 0);
    EXPECT_EQ(rig.player->PlayerState(), kStateClosed);
    EXPECT_EQ(rig.played->Played(), 3);
}

TEST(PlayedBuffers, ThePlayerBehavesAsOnTheDeviceItself) {
    // Would break: the layer losing, delaying or reordering returns, which changes the player's
    // position and refills, so the benchmark would time something the program never does.
    Rig direct(false);
    Rig layered(true);
    auto step = [&](auto action) {
        action(direct);
        action(layered);
        test::ProcessEvents();
        EXPECT_EQ(direct.player->Position(), layered.player->Position());
        EXPECT_EQ(direct.player->QueuedBuffers(), layered.player->QueuedBuffers());
        EXPECT_EQ(direct.player->NextFrame(), layered.player->NextFrame());
        EXPECT_EQ(direct.device->Events().size(), layered.device->Events().size());
    };
    step([](Rig& r) { r.player->Play(); });
    step([](Rig& r) { r.Advance(7); });
    step([](Rig& r) { r.player->SetPosition(120); });
    step([](Rig& r) { r.Advance(20); });
    step([](Rig& r) { r.player->SetPosition(20); });
    step([](Rig& r) { r.player->Cue(); });
    step([](Rig& r) { r.Advance(9); });
    step([](Rig& r) { r.player->PlayMark(); });
    step([](Rig& r) { r.Advance(30); });
    step([](Rig& r) { r.player->Pause(); });
    EXPECT_GT(layered.played->Played(), 0);
}

}  // namespace
}  // namespace sw::bench

// Returned buffers reach the player through the Qt event loop, so the tests run one.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
