// The main loop's rules, driven by a scripted platform: catch-up limits,
// rate 0, suspending on minimise and focus loss, resuming without a burst.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "host/glfw_game.h"

namespace {

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

struct Recorder : public BBGameDelegate {
    std::string log;
    int updates = 0, renders = 0;
    int rate = 60;
    std::function<void()> onUpdate;
    void StartGame() override {
        log += "S";
        BBGame::Game()->SetUpdateRate(rate);
    }
    void SuspendGame() override { log += "z"; }
    void ResumeGame() override { log += "r"; }
    void UpdateGame() override {
        log += "u";
        ++updates;
        if (onUpdate) onUpdate();
    }
    void RenderGame() override {
        log += "R";
        ++renders;
    }
    void KeyEvent(int event, int data) override { log += "k" + std::to_string(event) + ":" + std::to_string(data); }
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

TEST_F(Loop, AStallOfTenPeriodsGivesFourUpdatesThenOneRenderAndAClockReset) {
    const double period = 1.0 / 60;
    script.closeAfter = 2;
    script.onPoll = [&](int n) {
        if (n == 1) script.t += 10 * period;
    };
    host->Run();
    EXPECT_EQ(rec->log, "SRuuuuR");
    EXPECT_DOUBLE_EQ(host->_nextUpdate, script.t);
}

TEST_F(Loop, NormalFramesAreOneUpdateAndOneRender) {
    script.closeAfter = 7;
    host->Run();
    // Sleep until due, update once, render, poll, sleep again.
    EXPECT_EQ(rec->log, "SRuRuRuR");
    EXPECT_EQ(script.sleeps, 3);
}

TEST_F(Loop, RateZeroRendersOncePerEventAndNeverUpdates) {
    rec->rate = 0;
    script.closeAfter = 3;
    host->Run();
    EXPECT_EQ(rec->updates, 0);
    EXPECT_EQ(rec->renders, 3);
    EXPECT_EQ(script.waits, 2);
}

TEST_F(Loop, MinimiseSuspendsOnceAndRestoreResumesWithoutABurst) {
    script.closeAfter = 5;
    script.onPoll = [&](int n) {
        if (n == 1) script.iconified = true;  // minimised
        if (n == 3) script.iconified = false; // restored after WaitEvents let time pass
    };
    host->Run();
    // Suspended once, neither updated nor rendered while minimised; one
    // resume, then a single update (the clock restarted), not a burst.
    EXPECT_EQ(rec->log, "SRzruR");
    EXPECT_FALSE(host->_iconified);
}

TEST_F(Loop, LosingFocusSuspendsButStillRendersOnEveryEvent) {
    script.closeAfter = 4;
    script.onPoll = [&](int n) {
        if (n == 1) script.active = false;
        if (n == 3) script.active = true;
    };
    host->Run();
    EXPECT_EQ(rec->log.substr(0, 5), "SRzRR");
    EXPECT_NE(rec->log.find("r"), std::string::npos);
    EXPECT_EQ(std::count(rec->log.begin(), rec->log.end(), 'z'), 1);
}

TEST_F(Loop, SettingTheRateToZeroInsideAnUpdateStopsTheCatchUp) {
    const double period = 1.0 / 60;
    script.closeAfter = 2;
    script.onPoll = [&](int n) {
        if (n == 1) script.t += 10 * period;
    };
    rec->onUpdate = [&] { BBGame::Game()->SetUpdateRate(0); };
    host->Run();
    EXPECT_EQ(rec->updates, 1);
}

TEST_F(Loop, GatesKeepEventsFromAGameThatHasNotStarted) {
    host->UpdateGame();
    host->RenderGame();
    host->KeyEvent(1, 65);
    EXPECT_EQ(rec->log, "");
    host->StartGame();
    host->StartGame();
    host->SuspendGame();
    host->UpdateGame();  // suspended: no update
    host->RenderGame();  // rendering still passes
    host->ResumeGame();
    host->ResumeGame();
    EXPECT_EQ(rec->log, "SzRr");
}

TEST_F(Loop, TheCloseRequestSendsTheCloseKeyDownAndUp) {
    host->StartGame();
    host->OnWindowClose();
    EXPECT_EQ(rec->log, "Sk1:432k2:432");
}
