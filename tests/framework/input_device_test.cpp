// The input device: key space with the mouse/touch pairing, per-update hits
// and characters with their queue limits, pointer and touch positions, the
// query functions' ranges, and joystick polling with a fake joystick.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "framework/input_device.h"
#include "host/game.h"
#include "host/joystick.h"

namespace {

// Joysticks on some of the ports; remembers which ports were asked about.
class FakePorts : public BBJoystickSource {
public:
    bool present[16] = {};
    std::vector<unsigned char> buttons[16];
    std::vector<float> axes[16];
    std::vector<int> asked;
    bool Present(int port) override {
        asked.push_back(port);
        return present[port];
    }
    bool IsGamepad(int) override { return false; }
    bool GamepadState(int, unsigned char*, float*) override { return false; }
    const float* Axes(int port, int* count) override {
        *count = static_cast<int>(axes[port].size());
        return axes[port].data();
    }
    const unsigned char* Buttons(int port, int* count) override {
        *count = static_cast<int>(buttons[port].size());
        return buttons[port].data();
    }
};

// A host whose joysticks are the fake ones.
class JoyHost : public BBGame {
public:
    FakePorts ports;
    bool PollJoystick(int port, Array<float> x, Array<float> y, Array<float> z, Array<bool> b) override {
        return bbPollJoystick(&ports, port, x, y, z, b);
    }
};

class Input : public ::testing::Test {
protected:
    void SetUp() override {
        saved = BBGame::_game;
        host = new JoyHost();
        dev = (new c_InputDevice)->m_new();
        bb_input_SetInputDevice(dev);
    }
    void TearDown() override {
        bb_input_SetInputDevice(nullptr);
        delete host;
        BBGame::_game = saved;
    }
    void Press(int code) { dev->p_KeyEvent(1, code); }
    void Release(int code) { dev->p_KeyEvent(2, code); }
    void Update() {
        dev->p_EndUpdate();
        dev->p_BeginUpdate();
    }
    BBGame* saved = nullptr;
    JoyHost* host = nullptr;
    c_InputDevice* dev = nullptr;
};

TEST_F(Input, APressBetweenUpdatesIsOneHitEvenWhenAlreadyReleased) {
    dev->p_BeginUpdate();
    Press(65);
    Release(65);
    Press(66);
    Press(66);  // auto-repeat: no new hit
    EXPECT_EQ(bb_input_KeyHit(65), 1);
    EXPECT_FALSE(bb_input_KeyDown(65));
    EXPECT_EQ(bb_input_KeyHit(66), 1);
    EXPECT_TRUE(bb_input_KeyDown(66));
    Update();
    EXPECT_EQ(bb_input_KeyHit(65), 0);
    EXPECT_EQ(bb_input_KeyHit(66), 0);
    EXPECT_TRUE(bb_input_KeyDown(66)) << "held keys stay down across updates";
    Release(66);
    Press(65);
    EXPECT_EQ(bb_input_KeyHit(65), 1);
}

TEST_F(Input, TheHitQueueRecordsThirtyThreeHitsPerUpdate) {
    for (int code = 65; code < 65 + 34; ++code) Press(code);
    EXPECT_EQ(dev->m_keyHitPut, 33);
    EXPECT_EQ(bb_input_KeyHit(65 + 32), 1);
    EXPECT_EQ(bb_input_KeyHit(65 + 33), 0) << "the 34th hit is neither counted nor queued";
    EXPECT_TRUE(bb_input_KeyDown(65 + 33));
    Update();
    for (int code = 65; code < 65 + 34; ++code) EXPECT_EQ(bb_input_KeyHit(code), 0);
    Release(65);
    Press(65);
    EXPECT_EQ(bb_input_KeyHit(65), 1) << "the queue is empty again after the update";
}

TEST_F(Input, TheCharacterQueueHoldsThirtyTwoAndEmptiesEachUpdate) {
    for (int i = 0; i < 33; ++i) dev->p_KeyEvent(3, 'a' + i);
    EXPECT_EQ(dev->p_PeekChar(31), 'a' + 31);
    EXPECT_EQ(dev->p_PeekChar(32), 0);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(bb_input_GetChar(), 'a' + i);
    EXPECT_EQ(bb_input_GetChar(), 0) << "the 33rd character was dropped";
    dev->p_KeyEvent(3, 'x');
    dev->p_KeyEvent(3, 'y');
    EXPECT_EQ(bb_input_GetChar(), 0) << "a full queue stays full until the update ends";
    Update();
    dev->p_KeyEvent(3, 'x');
    dev->p_KeyEvent(3, 'y');
    Update();
    EXPECT_EQ(bb_input_GetChar(), 0) << "characters not fetched in an update are gone after it";
}

TEST_F(Input, TheLeftButtonAndTheFirstFingerArePaired) {
    dev->p_MouseEvent(4, 0, 30, 40);
    EXPECT_TRUE(bb_input_MouseDown(0));
    EXPECT_TRUE(bb_input_TouchDown(0));
    EXPECT_EQ(bb_input_KeyHit(384), 1);
    EXPECT_EQ(bb_input_TouchHit(0), 1);
    EXPECT_FLOAT_EQ(bb_input_TouchX(0), 30);
    EXPECT_FLOAT_EQ(bb_input_MouseY(), 40);
    dev->p_TouchEvent(8, 0, 0, 0);
    EXPECT_FALSE(bb_input_MouseDown(0));
    EXPECT_FALSE(bb_input_TouchDown(0));

    Update();
    dev->p_TouchEvent(7, 0, 5, 6);
    EXPECT_EQ(bb_input_MouseHit(0), 1);
    EXPECT_FLOAT_EQ(bb_input_MouseX(), 5);
    dev->p_TouchEvent(7, 2, 70, 80);
    EXPECT_FLOAT_EQ(bb_input_TouchX(2), 70);
    EXPECT_FLOAT_EQ(bb_input_MouseX(), 5) << "only finger 0 moves the mouse";
    EXPECT_FALSE(bb_input_KeyDown(1 + 2));
    dev->p_MouseEvent(4, 2, 9, 9);
    EXPECT_TRUE(bb_input_MouseDown(2));
    EXPECT_EQ(bb_input_KeyHit(384), 1) << "only button 0 is paired";
    dev->p_MouseEvent(6, -1, 100, 200);
    EXPECT_FLOAT_EQ(bb_input_TouchY(0), 200);
    dev->p_MotionEvent(10, 0, 1, 2, 3);
    EXPECT_FLOAT_EQ(bb_input_AccelZ(), 3);
}

TEST_F(Input, QueriesOutsideTheKeySpaceReadNothing) {
    Press(511);
    Press(1);
    EXPECT_TRUE(bb_input_KeyDown(511));
    for (int code : {0, -1, 512, 100000}) {
        EXPECT_FALSE(bb_input_KeyDown(code));
        EXPECT_EQ(bb_input_KeyHit(code), 0);
        Press(code);  // ignored, never written
    }
    EXPECT_FALSE(bb_input_MouseDown(-1));
    EXPECT_FALSE(bb_input_MouseDown(511));
    EXPECT_FALSE(bb_input_TouchDown(128));
    EXPECT_TRUE(bb_input_TouchDown(-383)) << "finger -383 is code 1";
    EXPECT_FLOAT_EQ(bb_input_TouchX(32), 0);
    EXPECT_FLOAT_EQ(bb_input_TouchX(-1), 0);
    EXPECT_FALSE(bb_input_JoyDown(0, 16));
    EXPECT_FLOAT_EQ(bb_input_JoyX(2, 0), 0);
    EXPECT_FLOAT_EQ(bb_input_JoyY(0, 4), 0);
}

TEST_F(Input, JoystickButtonsBecomeKeysAndHits) {
    host->ports.present[0] = host->ports.present[1] = true;
    host->ports.buttons[1] = {0, 0, 0, 1};
    host->ports.axes[1] = {0.5f, 0.25f};
    dev->p_BeginUpdate();
    EXPECT_EQ(bb_input_JoyHit(3, 1), 1);
    EXPECT_EQ(bb_input_KeyHit(291), 1);
    EXPECT_TRUE(bb_input_JoyDown(3, 1));
    EXPECT_FLOAT_EQ(bb_input_JoyX(0, 1), 0.5f);
    EXPECT_FLOAT_EQ(bb_input_JoyY(0, 1), -0.25f);
    Update();
    EXPECT_EQ(bb_input_JoyHit(3, 1), 0) << "a held button is one hit";
    EXPECT_TRUE(bb_input_JoyDown(3, 1));
    host->ports.buttons[1][3] = 0;
    Update();
    EXPECT_FALSE(bb_input_JoyDown(3, 1));
}

TEST_F(Input, PollingStopsAtTheFirstAbsentPort) {
    host->ports.present[0] = host->ports.present[2] = true;
    host->ports.buttons[2] = {1};
    dev->p_BeginUpdate();
    EXPECT_EQ(host->ports.asked, (std::vector<int>{0, 1}));
    EXPECT_FALSE(bb_input_JoyDown(0, 2));
}

TEST_F(Input, APadPluggedInWorksFromTheNextPollAndUnpluggedLetsGo) {
    dev->p_BeginUpdate();
    EXPECT_FALSE(bb_input_JoyDown(0, 0));
    host->ports.present[0] = true;
    host->ports.buttons[0] = {1, 0, 1};
    host->ports.axes[0] = {-1, 0};
    Update();
    EXPECT_EQ(bb_input_JoyHit(0, 0), 1);
    EXPECT_FLOAT_EQ(bb_input_JoyX(0, 0), -1);

    // Pulled out with buttons held and the stick pushed: nothing stays held.
    host->ports.present[0] = false;
    Update();
    EXPECT_FALSE(bb_input_JoyDown(0, 0));
    EXPECT_FALSE(bb_input_JoyDown(2, 0));
    EXPECT_FLOAT_EQ(bb_input_JoyX(0, 0), 0);
    host->ports.present[0] = true;
    Update();
    EXPECT_EQ(bb_input_JoyHit(2, 0), 1) << "pressed again after plugging back in";
}

}  // namespace
