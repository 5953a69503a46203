// Joystick polling: raw joysticks with their axes rearranged by axis count,
// gamepads in the game's button and axis layout, y positive for up.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <vector>

#include "host/glfw_game.h"
#include "host/joystick.h"

namespace {

class FakeJoystick : public BBJoystickSource {
public:
    bool present = true;
    bool gamepad = false;
    bool gamepadReadable = true;
    std::vector<float> axes;
    std::vector<unsigned char> buttons;
    unsigned char padButtons[15] = {};
    float padAxes[6] = {0, 0, 0, 0, -1, -1};

    bool Present(int) override { return present; }
    bool IsGamepad(int) override { return gamepad; }
    bool GamepadState(int, unsigned char b[15], float a[6]) override {
        if (!gamepadReadable) return false;
        for (int i = 0; i < 15; ++i) b[i] = padButtons[i];
        for (int i = 0; i < 6; ++i) a[i] = padAxes[i];
        return true;
    }
    const float* Axes(int, int* count) override {
        *count = static_cast<int>(axes.size());
        return axes.empty() ? nullptr : axes.data();
    }
    const unsigned char* Buttons(int, int* count) override {
        *count = static_cast<int>(buttons.size());
        return buttons.empty() ? nullptr : buttons.data();
    }
};

struct Arrays {
    Array<float> x{2}, y{2}, z{2};
    Array<bool> b{32};
    bool Poll(BBJoystickSource* s) { return bbPollJoystick(s, 0, x, y, z, b); }
    std::vector<float> All() { return {x[0], y[0], x[1], y[1], z[0], z[1]}; }
};

using V = std::vector<float>;

TEST(Joystick, AnAbsentJoystickLeavesTheArraysAlone) {
    FakeJoystick pad;
    pad.present = false;
    Arrays a;
    a.x[0] = 0.25f;
    a.b[3] = true;
    EXPECT_FALSE(a.Poll(&pad));
    EXPECT_FLOAT_EQ(a.x[0], 0.25f);
    EXPECT_TRUE(a.b[3]);
}

TEST(Joystick, RawAxesAreRearrangedByCountWithYUp) {
    FakeJoystick pad;
    Arrays a;
    // Order in All(): left x, left y, right x, right y, trigger 0, trigger 1.
    pad.axes = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f};
    ASSERT_TRUE(a.Poll(&pad));
    EXPECT_EQ(a.All(), (V{0.1f, -0.2f, 0.4f, -0.5f, 0.3f, 0.6f}));

    pad.axes = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f};  // the fourth axis is the right stick's y
    ASSERT_TRUE(a.Poll(&pad));
    EXPECT_EQ(a.All(), (V{0.1f, -0.2f, 0.5f, -0.4f, 0.3f, 0}));

    pad.axes = {0.1f, 0.2f, 0.3f, 0.4f};
    ASSERT_TRUE(a.Poll(&pad));
    EXPECT_EQ(a.All(), (V{0.1f, -0.2f, 0.4f, -0.3f, 0, 0}));

    pad.axes = {0.1f, 0.2f, 0.3f};
    ASSERT_TRUE(a.Poll(&pad));
    EXPECT_EQ(a.All(), (V{0.1f, -0.2f, 0, 0, 0.3f, 0}));

    pad.axes = {};
    ASSERT_TRUE(a.Poll(&pad));
    EXPECT_EQ(a.All(), (V{0, 0, 0, 0, 0, 0}));
}

TEST(Joystick, RawButtonsBeyondTheReportedCountKeepTheirState) {
    FakeJoystick pad;
    Arrays a;
    a.b[5] = true;
    pad.buttons = {GLFW_PRESS, GLFW_RELEASE, GLFW_PRESS};
    ASSERT_TRUE(a.Poll(&pad));
    EXPECT_TRUE(a.b[0]);
    EXPECT_FALSE(a.b[1]);
    EXPECT_TRUE(a.b[2]);
    EXPECT_TRUE(a.b[5]);

    pad.buttons.assign(40, GLFW_PRESS);
    ASSERT_TRUE(a.Poll(&pad));
    for (int i = 0; i < 32; ++i) EXPECT_TRUE(a.b[i]) << i;
}

TEST(Joystick, GamepadsUseTheGameLayout) {
    FakeJoystick pad;
    pad.gamepad = true;
    pad.axes = {0.9f, 0.9f, 0.9f, 0.9f};  // raw axes must not be used
    pad.buttons.assign(20, GLFW_PRESS);
    Arrays a;
    // GLFW gamepad button -> framework button.
    const int layout[15][2] = {
        {GLFW_GAMEPAD_BUTTON_A, 0},           {GLFW_GAMEPAD_BUTTON_B, 1},
        {GLFW_GAMEPAD_BUTTON_X, 2},           {GLFW_GAMEPAD_BUTTON_Y, 3},
        {GLFW_GAMEPAD_BUTTON_LEFT_BUMPER, 4}, {GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER, 5},
        {GLFW_GAMEPAD_BUTTON_BACK, 6},        {GLFW_GAMEPAD_BUTTON_START, 7},
        {GLFW_GAMEPAD_BUTTON_DPAD_LEFT, 8},   {GLFW_GAMEPAD_BUTTON_DPAD_UP, 9},
        {GLFW_GAMEPAD_BUTTON_DPAD_RIGHT, 10}, {GLFW_GAMEPAD_BUTTON_DPAD_DOWN, 11},
        {GLFW_GAMEPAD_BUTTON_LEFT_THUMB, 12}, {GLFW_GAMEPAD_BUTTON_RIGHT_THUMB, 13},
        {GLFW_GAMEPAD_BUTTON_GUIDE, 14},
    };
    for (auto& l : layout) {
        for (auto& b : pad.padButtons) b = GLFW_RELEASE;
        pad.padButtons[l[0]] = GLFW_PRESS;
        ASSERT_TRUE(a.Poll(&pad));
        for (int i = 0; i < 32; ++i) EXPECT_EQ(a.b[i], i == l[1]) << "GLFW button " << l[0] << ", index " << i;
    }

    // Sticks with y up; triggers from 0 released to 1 fully pressed.
    const float axes[6] = {0.5f, -1, -0.25f, 0.75f, -1, 1};
    for (int i = 0; i < 6; ++i) pad.padAxes[i] = axes[i];
    ASSERT_TRUE(a.Poll(&pad));
    EXPECT_EQ(a.All(), (V{0.5f, 1, -0.25f, -0.75f, 0, 1}));

    // A state that cannot be read falls back to the raw joystick.
    pad.gamepadReadable = false;
    ASSERT_TRUE(a.Poll(&pad));
    EXPECT_EQ(a.All(), (V{0.9f, -0.9f, 0.9f, -0.9f, 0, 0}));
}

TEST(Joystick, TheHostPollsTheInstalledSource) {
    BBGame* savedGame = BBGame::_game;
    BBGlfwGame* savedGlfw = BBGlfwGame::_glfwGame;
    {
        BBGlfwGame host;
        FakeJoystick pad;
        pad.axes = {0, 0.5f};
        bbSetJoystickSource(&pad);
        Arrays a;
        EXPECT_TRUE(host.PollJoystick(0, a.x, a.y, a.z, a.b));
        EXPECT_FLOAT_EQ(a.y[0], -0.5f);
        EXPECT_FALSE(host.PollJoystick(16, a.x, a.y, a.z, a.b)) << "GLFW has ports 0 to 15 only";
        bbSetJoystickSource(nullptr);
        EXPECT_EQ(bbJoystickSource(), bbGlfwJoystickSource());
    }
    BBGame::_game = savedGame;
    BBGlfwGame::_glfwGame = savedGlfw;
}

}  // namespace
