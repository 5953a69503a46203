// The main loop's rules, driven by a scripted platform: catch-up limits,
// rate 0, suspending on minimise and focus loss, resuming without a burst,
// and the gates that keep events from a game that has not started.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "host/glfw_game.h"

namespace {

const double kPeriod = 1.0 / 60;

struct Script : public BBHostPlatform {
    double t = 100.0;
    int polls = 0, waits = 0, sleeps = 0;
    bool opened = true, iconified = false, active = true;
    std::function<void(int)> onPoll;  // called with the poll number (1-based)
    int closeAfter = 10;

    double Time() override { return t; }
    void Sleep(double s) override {
        ++sleeps;
        t += s;
    }
    void PollEvents() override {
        ++polls;
        if (onPoll) onPoll(polls);
        if (polls >= closeAfter) opened = false;
    }
    void WaitEvents() override {
        ++waits;
        t += 1.0;  // time passes while nothing happens
    }
    int WindowParam(int p) override {
        if (p == BB_GLFW_OPENED) return opened;
        if (p == BB_GLFW_ICONIFIED) return iconified;
        if (p == BB_GLFW_ACTIVE) return active;
        return 0;
    }
};

// Logs S(tart), z (suspend), r(esume), u(pdate), R(ender) and k(ey) events.
struct Recorder : public BBGameDelegate {
    std::string log;
    std::function<void()> onUpdate;
    void StartGame() override {
        log += "S";
        BBGame::Game()->SetUpdateRate(60);
    }
    void SuspendGame() override { log += "z"; }
    void ResumeGame() override { log += "r"; }
    void UpdateGame() override {
        log += "u";
        if (onUpdate) onUpdate();
    }
    void RenderGame() override { log += "R"; }
    void KeyEvent(int event, int data) override { log += "k"; }
};

// The desktop host without a real window.
struct Host : public BBGlfwGame {
    void SetGlfwWindow(int, int, int, int, int, int, int, int, bool) override {}
};

struct Loop : public ::testing::Test {
    Host* host = nullptr;
    Script script;
    Recorder* rec = nullptr;
    void SetUp() override {
        gc_init1();
        host = new Host;
        host->SetPlatform(&script);
        rec = new Recorder;
        host->SetDelegate(rec);
    }
    void TearDown() override {
        host->SetPlatform(nullptr);
        delete host;
    }
};

}  // namespace

// Normal frames are: sleep until due, one update, one render. A stall of
// ten periods is caught up by four updates at most and one render, and the
// clock starts again from then instead of bursting on.
TEST_F(Loop, FramesUpdateOnceAndAStallCatchesUpFourTimesAtMost) {
    script.closeAfter = 5;
    script.onPoll = [&](int n) {
        if (n == 1) script.t += 10 * kPeriod;
    };
    host->Run();
    EXPECT_EQ(rec->log, "SRuuuuRuRuR");
    EXPECT_EQ(script.sleeps, 1);
}

// Rate 0, even when set inside an update, ends the catch-up and renders once
// per event without updating.
TEST_F(Loop, RateZeroRendersOncePerEventAndNeverUpdates) {
    script.closeAfter = 4;
    script.onPoll = [&](int n) {
        if (n == 1) script.t += 10 * kPeriod;
    };
    rec->onUpdate = [&] { BBGame::Game()->SetUpdateRate(0); };
    host->Run();
    EXPECT_EQ(rec->log, "SRuRRR");
    EXPECT_EQ(script.waits, 2);
}

TEST_F(Loop, MinimiseSuspendsOnceAndRestoreResumesWithoutABurst) {
    script.closeAfter = 5;
    script.onPoll = [&](int n) {
        if (n == 1) script.iconified = true;
        if (n == 3) script.iconified = false;  // after WaitEvents let seconds pass
    };
    host->Run();
    // Neither updated nor rendered while minimised; then a single update.
    EXPECT_EQ(rec->log, "SRzruR");
}

TEST_F(Loop, LosingFocusSuspendsButStillRendersOnEveryEvent) {
    script.closeAfter = 4;
    script.onPoll = [&](int n) {
        if (n == 1) script.active = false;
        if (n == 3) script.active = true;
    };
    host->Run();
    EXPECT_EQ(rec->log, "SRzRRruR");
}

TEST_F(Loop, GatesKeepEventsFromAGameThatHasNotStarted) {
    host->UpdateGame();
    host->RenderGame();
    host->KeyEvent(1, 65);
    EXPECT_EQ(rec->log, "");
    host->StartGame();
    host->StartGame();
    host->SuspendGame();
    host->SuspendGame();
    host->UpdateGame();  // suspended: no update
    host->RenderGame();  // rendering still passes
    host->KeyEvent(1, 65);
    host->ResumeGame();
    host->ResumeGame();
    EXPECT_EQ(rec->log, "SzRkr");
}
