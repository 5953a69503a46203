// The input device: per-update hits and characters with their queue limits,
// the mouse/touch pairing and the query functions' ranges, and joystick
// polling with a fake joystick.
#include <gtest/gtest.h>

#include <vector>

#include "framework/input_device.h"
#include "host/game.h"

namespace {

// A host with pads in some ports; remembers which ports were polled.
class JoyHost : public BBGame {
public:
    bool present[4] = {};
    std::vector<bool> buttons[4];
    float stickX[4] = {};
    std::vector<int> asked;
    bool PollJoystick(int port, Array<float> x, Array<float>, Array<float>, Array<bool> pressed) override {
        asked.push_back(port);
        for (size_t b = 0; b < buttons[port].size(); ++b) pressed[int(b)] = buttons[port][b];
        x[0] = stickX[port];
        return present[port];
    }
};

class Input : public ::testing::Test {
protected:
    BBGame* saved = BBGame::_game;
    JoyHost host;  // the host while the test runs
    c_InputDevice* dev = (new c_InputDevice)->m_new();
    void SetUp() override { bb_input_SetInputDevice(dev); }
    void TearDown() override { BBGame::_game = saved; }
    void Press(int code) { dev->p_KeyEvent(1, code); }
    void Release(int code) { dev->p_KeyEvent(2, code); }
    void Update() {
        dev->p_EndUpdate();
        dev->p_BeginUpdate();
    }
};

}  // namespace

TEST_F(Input, HitsAndCharactersLastOneUpdateWithinTheirQueues) {
    Press(65);
    Release(65);
    Press(66);
    Press(66);  // auto-repeat: no new hit
    EXPECT_EQ(bb_input_KeyHit(65), 1) << "pressed and released between updates is one hit";
    EXPECT_FALSE(bb_input_KeyDown(65));
    EXPECT_EQ(bb_input_KeyHit(66), 1);
    for (int code = 67; code < 67 + 32; ++code) Press(code);
    EXPECT_EQ(bb_input_KeyHit(67 + 30), 1);
    EXPECT_EQ(bb_input_KeyHit(67 + 31), 0) << "the 34th hit is neither counted nor queued";
    EXPECT_TRUE(bb_input_KeyDown(67 + 31));
    for (int i = 0; i < 33; ++i) dev->p_KeyEvent(3, 'a' + i);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(bb_input_GetChar(), 'a' + i);
    EXPECT_EQ(bb_input_GetChar(), 0) << "the 33rd character was dropped";

    Update();
    dev->p_KeyEvent(3, 'x');
    EXPECT_EQ(bb_input_GetChar(), 'x') << "the character queue is empty again";
    dev->p_KeyEvent(3, 'y');
    for (int code = 65; code < 67 + 32; ++code) EXPECT_EQ(bb_input_KeyHit(code), 0);
    EXPECT_TRUE(bb_input_KeyDown(66)) << "held keys stay down across updates";
    Release(65 + 32);
    Press(65 + 32);
    EXPECT_EQ(bb_input_KeyHit(65 + 32), 1) << "the hit queue is empty again";
    Update();
    EXPECT_EQ(bb_input_GetChar(), 0) << "characters not fetched in an update are gone after it";
}

TEST_F(Input, TheLeftButtonAndTheFirstFingerAreOnePointer) {
    dev->p_MouseEvent(4, 0, 30, 40);
    EXPECT_TRUE(bb_input_TouchDown(0));
    EXPECT_EQ(bb_input_KeyHit(384), 1);
    EXPECT_FLOAT_EQ(bb_input_TouchX(0), 30);
    EXPECT_FLOAT_EQ(bb_input_MouseY(), 40);
    dev->p_MouseEvent(5, 0, 0, 0);
    EXPECT_FALSE(bb_input_TouchDown(0)) << "releasing the button lifts the finger";

    Update();
    dev->p_TouchEvent(7, 0, 5, 6);
    EXPECT_EQ(bb_input_MouseHit(0), 1);
    EXPECT_FLOAT_EQ(bb_input_MouseX(), 5);
    dev->p_TouchEvent(8, 0, 0, 0);
    EXPECT_FALSE(bb_input_MouseDown(0)) << "lifting the finger releases the button";
    dev->p_TouchEvent(7, 2, 70, 80);
    EXPECT_FLOAT_EQ(bb_input_TouchX(2), 70);
    EXPECT_FLOAT_EQ(bb_input_MouseX(), 5) << "only finger 0 moves the mouse";
    dev->p_MouseEvent(4, 2, 9, 9);
    EXPECT_TRUE(bb_input_MouseDown(2));
    EXPECT_EQ(bb_input_KeyHit(384), 1) << "only button 0 is paired: the finger's hit alone";
    dev->p_MouseEvent(6, -1, 100, 200);
    EXPECT_FLOAT_EQ(bb_input_TouchY(0), 200);

    // Queries outside the key space read nothing; presses there are ignored.
    for (int code : {0, -1, 512, 100000}) {
        Press(code);
        EXPECT_FALSE(bb_input_KeyDown(code));
        EXPECT_EQ(bb_input_KeyHit(code), 0);
    }
    EXPECT_FLOAT_EQ(bb_input_TouchX(32) + bb_input_TouchX(-1), 0);
    EXPECT_FLOAT_EQ(bb_input_JoyX(2, 0) + bb_input_JoyY(0, 4), 0);
}

TEST_F(Input, JoystickButtonsBecomeKeysUntilThePadIsPulledOut) {
    // Pads in ports 0 and 2: polling stops at the absent port 1.
    host.present[0] = host.present[2] = true;
    host.buttons[2] = {1};
    dev->p_BeginUpdate();
    EXPECT_EQ(host.asked, (std::vector<int>{0, 1}));
    EXPECT_FALSE(bb_input_JoyDown(0, 2));

    host.present[1] = true;  // plugged in: works from the next poll
    host.buttons[1] = {1, 0, 0, 1};
    host.stickX[1] = 0.5f;
    Update();
    EXPECT_EQ(bb_input_JoyHit(3, 1), 1);
    EXPECT_EQ(bb_input_KeyHit(291), 1);
    EXPECT_FLOAT_EQ(bb_input_JoyX(0, 1), 0.5f);
    EXPECT_TRUE(bb_input_JoyDown(0, 2));
    Update();
    EXPECT_EQ(bb_input_JoyHit(3, 1), 0) << "a held button is one hit";
    EXPECT_TRUE(bb_input_JoyDown(3, 1));
    host.buttons[1][3] = 0;
    Update();
    EXPECT_FALSE(bb_input_JoyDown(3, 1));

    // Pulled out with a button held and the stick pushed: nothing stays held.
    host.present[1] = false;
    Update();
    EXPECT_FALSE(bb_input_JoyDown(0, 1));
    EXPECT_FALSE(bb_input_JoyDown(0, 2));
    EXPECT_FLOAT_EQ(bb_input_JoyX(0, 1), 0);
    host.present[1] = true;
    Update();
    EXPECT_EQ(bb_input_JoyHit(0, 1), 1) << "pressed again after plugging back in";
}
