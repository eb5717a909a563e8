// Every row of the player's mode table, from a known place in each mode: which device calls the
// change makes, where playing goes on, and what Position says afterwards.
#include <gtest/gtest.h>

#include "player_harness.h"

namespace sw::test {
namespace {

using Strings = std::vector<std::string>;

// 100 frames, marks 20..60, queue depth 4, cue snippet 3. Each mode is entered the way a user
// gets there, and leaves the player at a known frame:
// 1 audible 32 (next 36); 2 audible 22 (next 26); 3 cue 40; 4 held at 50; 5 at 0; 6 after the
// end of Play All, next 0.
void Enter(PlayerHarness& h, int mode) {
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    switch (mode) {
        case kModePlayAll:
            p.SetPosition(30);
            p.Play();
            h.Play(2);
            break;
        case kModePlayMark:
            p.Stop();
            p.PlayMark();
            h.Play(2);
            break;
        case kModeCueing:
            p.SetPosition(40);
            p.Cue();
            h.Play(1);
            break;
        case kModePausing:
            p.SetPosition(50);
            break;
        case kModeStopped:
            p.Play();
            h.Play(2);
            p.Stop();
            break;
        case kModeEnded:
            p.SetPosition(98);
            p.Play();
            h.Play(1);
            break;
    }
    ProcessEvents();
    ASSERT_EQ(p.PlayerMode(), mode);
    h.Clear();
}

struct Row {
    int current;
    int requested;
    Strings controls;    // device calls the change makes
    int32_t firstWrite;  // first frame queued afterwards, -1 for none
    uint32_t position;   // Position once returned buffers are delivered
};

void PrintTo(const Row& row, std::ostream* os) {
    *os << kPlayerModeNames[row.requested] << " from " << kPlayerModeNames[row.current];
}

class ModeTable : public testing::TestWithParam<Row> {};

TEST_P(ModeTable, ChangeActsAsTabled) {
    const Row& row = GetParam();
    PlayerHarness h;
    h.Player().SetQueueDepths(4, 3);
    h.Cut()->MarkIn = 20;
    h.Cut()->MarkOut = 60;
    Enter(h, row.current);
    TCutPlayerThread& p = h.Player();
    p.SetPlayerMode(row.requested);
    EXPECT_EQ(h.Controls(), row.controls);
    ProcessEvents();
    EXPECT_EQ(p.PlayerMode(), row.requested);
    const std::vector<int32_t> written = h.Written();
    EXPECT_EQ(written.empty() ? -1 : written.front(), row.firstWrite);
    EXPECT_EQ(p.Position(), row.position);
    const Strings& log = h.Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "mode " + std::to_string(row.requested)), 1);
}

const Strings kNone;
const Strings kReset{"reset"};
const Strings kRestart{"restart"};
const Strings kResetPause{"reset", "pause"};

INSTANTIATE_TEST_SUITE_P(PlayAll, ModeTable,
                         testing::Values(Row{kModePlayAll, kModePlayAll, kReset, 0, 0},
                                         Row{kModePlayMark, kModePlayAll, kNone, -1, 22},
                                         Row{kModeCueing, kModePlayAll, kReset, 40, 40},
                                         Row{kModePausing, kModePlayAll, kRestart, 50, 50},
                                         Row{kModeStopped, kModePlayAll, kReset, 0, 0},
                                         Row{kModeEnded, kModePlayAll, kNone, 0, 0}));

INSTANTIATE_TEST_SUITE_P(PlayMark, ModeTable,
                         testing::Values(Row{kModePlayAll, kModePlayMark, kReset, 20, 20},
                                         Row{kModePlayMark, kModePlayMark, kReset, 20, 20},
                                         Row{kModeCueing, kModePlayMark, kReset, 40, 40},
                                         Row{kModePausing, kModePlayMark, kRestart, 50, 50},
                                         Row{kModeStopped, kModePlayMark, kReset, 20, 20},
                                         Row{kModeEnded, kModePlayMark, kReset, 20, 20}));

// From Stopped the device is paused; cueing restarts it so the snippet is heard.
INSTANTIATE_TEST_SUITE_P(Cueing, ModeTable,
                         testing::Values(Row{kModePlayAll, kModeCueing, kReset, 32, 32},
                                         Row{kModePlayMark, kModeCueing, kReset, 22, 22},
                                         Row{kModeCueing, kModeCueing, kNone, -1, 40},
                                         Row{kModePausing, kModeCueing, kReset, 50, 50},
                                         Row{kModeStopped, kModeCueing, kRestart, 0, 0},
                                         Row{kModeEnded, kModeCueing, kNone, 0, 0}));

INSTANTIATE_TEST_SUITE_P(Pausing, ModeTable,
                         testing::Values(Row{kModePlayAll, kModePausing, kResetPause, -1, 32},
                                         Row{kModePlayMark, kModePausing, kResetPause, -1, 22},
                                         Row{kModeCueing, kModePausing, kResetPause, -1, 40},
                                         Row{kModePausing, kModePausing, kNone, -1, 50},
                                         Row{kModeStopped, kModePausing, kResetPause, -1, 0},
                                         Row{kModeEnded, kModePausing, kResetPause, -1, 0}));

INSTANTIATE_TEST_SUITE_P(Stopped, ModeTable,
                         testing::Values(Row{kModePlayAll, kModeStopped, kResetPause, -1, 0},
                                         Row{kModePlayMark, kModeStopped, kResetPause, -1, 0},
                                         Row{kModeCueing, kModeStopped, kResetPause, -1, 0},
                                         Row{kModePausing, kModeStopped, kResetPause, -1, 0},
                                         Row{kModeStopped, kModeStopped, kResetPause, -1, 0},
                                         Row{kModeEnded, kModeStopped, kResetPause, -1, 0}));

TEST(ModeTableEnded, EndedFiresItsEventWithoutTouchingTheDevice) {
    PlayerHarness h;
    Enter(h, kModePlayAll);
    h.Player().SetPlayerMode(kModeEnded);
    EXPECT_TRUE(h.Controls().empty());
    EXPECT_EQ(h.Player().PlayerMode(), kModeEnded);
    EXPECT_EQ(h.Log(), (Strings{"mode 6"}));
}

}  // namespace
}  // namespace sw::test
