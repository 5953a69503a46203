// Joystick polling: raw joysticks with their axes rearranged by axis count,
// gamepads in the game's button and axis layout, y positive for up.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "host/glfw_game.h"
#include "host/joystick.h"

namespace {

class FakeJoystick : public BBJoystickSource {
public:
    bool present = true, gamepad = false, gamepadReadable = true;
    std::vector<float> axes;
    std::vector<unsigned char> buttons;
    unsigned char padButtons[15] = {};
    float padAxes[6] = {0, 0, 0, 0, -1, -1};

    bool Present(int) override { return present; }
    bool IsGamepad(int) override { return gamepad; }
    bool GamepadState(int, unsigned char b[15], float a[6]) override {
        std::copy(padButtons, padButtons + 15, b);
        std::copy(padAxes, padAxes + 6, a);
        return gamepadReadable;
    }
    const float* Axes(int, int* count) override {
        *count = static_cast<int>(axes.size());
        return axes.data();
    }
    const unsigned char* Buttons(int, int* count) override {
        *count = static_cast<int>(buttons.size());
        return buttons.data();
    }
};

struct Arrays {
    Array<float> x{2}, y{2}, z{2};
    Array<bool> b{32};
    bool Poll(BBJoystickSource* s) { return bbPollJoystick(s, 0, x, y, z, b); }
    // Left x, left y, right x, right y, trigger 0, trigger 1.
    std::vector<float> All() { return {x[0], y[0], x[1], y[1], z[0], z[1]}; }
};

using V = std::vector<float>;

TEST(Joystick, RawAxesAreRearrangedByCountWithYUpAndButtonsKeepWhatIsNotReported) {
    FakeJoystick pad;
    Arrays a;
    a.b[5] = true;
    pad.present = false;
    EXPECT_FALSE(a.Poll(&pad));
    EXPECT_TRUE(a.b[5]) << "an absent joystick leaves the arrays alone";
    pad.present = true;

    const std::vector<float> raw = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f};
    const V expected[] = {
        // clang-format off
        {0, 0, 0, 0, 0, 0},         {0.1f, 0, 0, 0, 0, 0},           {0.1f, -0.2f, 0, 0, 0, 0},
        {0.1f, -0.2f, 0, 0, 0.3f, 0}, {0.1f, -0.2f, 0.4f, -0.3f, 0, 0}, {0.1f, -0.2f, 0.5f, -0.4f, 0.3f, 0},
        {0.1f, -0.2f, 0.4f, -0.5f, 0.3f, 0.6f}, {0.1f, -0.2f, 0.4f, -0.5f, 0.3f, 0.6f},
    };
    // clang-format on
    for (int n = 0; n <= 7; ++n) {
        pad.axes.assign(raw.begin(), raw.begin() + n);
        ASSERT_TRUE(a.Poll(&pad));
        EXPECT_EQ(a.All(), expected[n]) << n << " axes";
    }

    pad.buttons = {GLFW_PRESS, GLFW_RELEASE, GLFW_PRESS};
    ASSERT_TRUE(a.Poll(&pad));
    EXPECT_TRUE(a.b[0] && !a.b[1] && a.b[2] && a.b[5]);
    pad.buttons.assign(40, GLFW_PRESS);
    ASSERT_TRUE(a.Poll(&pad));
    EXPECT_TRUE(a.b[31]);
}

TEST(Joystick, GamepadsUseTheGameLayout) {
    FakeJoystick pad;
    pad.gamepad = true;
    pad.axes = {0.9f, 0.9f, 0.9f, 0.9f};  // raw axes must not be used
    pad.buttons.assign(20, GLFW_PRESS);
    Arrays a;
    // GLFW gamepad button -> framework button.
    const int layout[15][2] = {
        // clang-format off
        {GLFW_GAMEPAD_BUTTON_A, 0},           {GLFW_GAMEPAD_BUTTON_B, 1},           {GLFW_GAMEPAD_BUTTON_X, 2},
        {GLFW_GAMEPAD_BUTTON_Y, 3},           {GLFW_GAMEPAD_BUTTON_LEFT_BUMPER, 4}, {GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER, 5},
        {GLFW_GAMEPAD_BUTTON_BACK, 6},        {GLFW_GAMEPAD_BUTTON_START, 7},       {GLFW_GAMEPAD_BUTTON_DPAD_LEFT, 8},
        {GLFW_GAMEPAD_BUTTON_DPAD_UP, 9},     {GLFW_GAMEPAD_BUTTON_DPAD_RIGHT, 10}, {GLFW_GAMEPAD_BUTTON_DPAD_DOWN, 11},
        {GLFW_GAMEPAD_BUTTON_LEFT_THUMB, 12}, {GLFW_GAMEPAD_BUTTON_RIGHT_THUMB, 13}, {GLFW_GAMEPAD_BUTTON_GUIDE, 14},
    };
    // clang-format on
    for (auto& l : layout) {
        std::fill(pad.padButtons, pad.padButtons + 15, GLFW_RELEASE);
        pad.padButtons[l[0]] = GLFW_PRESS;
        ASSERT_TRUE(a.Poll(&pad));
        for (int i = 0; i < 32; ++i) EXPECT_EQ(a.b[i], i == l[1]) << "GLFW button " << l[0] << ", index " << i;
    }

    // Sticks with y up; triggers from 0 released to 1 fully pressed.
    const float axes[6] = {0.5f, -1, -0.25f, 0.75f, -1, 1};
    std::copy(axes, axes + 6, pad.padAxes);
    ASSERT_TRUE(a.Poll(&pad));
    EXPECT_EQ(a.All(), (V{0.5f, 1, -0.25f, -0.75f, 0, 1}));

    // A state that cannot be read falls back to the raw joystick.
    pad.gamepadReadable = false;
    ASSERT_TRUE(a.Poll(&pad));
    EXPECT_EQ(a.All(), (V{0.9f, -0.9f, 0.9f, -0.9f, 0, 0}));
}

TEST(Joystick, TheHostPollsTheInstalledSourceOnPortsZeroToFifteen) {
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
        EXPECT_FALSE(host.PollJoystick(16, a.x, a.y, a.z, a.b));
        bbSetJoystickSource(nullptr);
        EXPECT_EQ(bbJoystickSource(), bbGlfwJoystickSource());
    }
    BBGame::_game = savedGame;
    BBGlfwGame::_glfwGame = savedGlfw;
}

}  // namespace
