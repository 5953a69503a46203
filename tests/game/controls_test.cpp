// Controls through the real input path: both keyboard layouts and the
// joysticks, stick thresholds and the steering they feed, iCade letters and
// the pointer region tests.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "testing/scenario.h"

namespace {

using Held = std::vector<int>;

// Controls that a player reads as pressed (analogue 1).
Held Pressed(c_MyApp* app, int player = 0) {
    Held out;
    for (int c : {CTRL_UP, CTRL_LEFT, CTRL_RIGHT, CTRL_DOWN, CTRL_A, CTRL_B, CTRL_X, CTRL_Y, CTRL_LSHOULDER,
                  CTRL_RSHOULDER, CTRL_BACK})
        if (app->p_PlayKey(c, 1, player)) out.push_back(c);
    return out;
}

struct Controls : public ::testing::Test {
    Scenario s{960, 540};
    c_MyApp* app = nullptr;
    void SetUp() override {
        s.FinishLoading();
        app = s.App();
    }
    // Each key alone reads as its control (none for -1).
    void ExpectKeys(std::vector<std::pair<int, int>> keys) {
        for (auto [key, control] : keys) {
            s.KeyDown(key);
            EXPECT_EQ(Pressed(app), control < 0 ? Held{} : Held{control}) << "key " << key;
            EXPECT_EQ(app->p_PlayKeyAll(control, 0), control < 0 ? 0 : 4) << "every player reads the keyboard";
            EXPECT_EQ(app->p_PlayKey(control, 0, -1), 0);
            s.KeyUp(key);
        }
    }
    void Steer(float x, float y) {
        app->p_AnalogueControl();
        EXPECT_NEAR(app->m_analogX, x, 1e-5);
        EXPECT_NEAR(app->m_analogY, y, 1e-5);
    }
};

}  // namespace

TEST_F(Controls, BothKeyboardLayoutsAndEachJoystickButtonReachOneControlOfTheirPlayer) {
    // clang-format off
    ExpectKeys({{GLFW_KEY_UP, CTRL_UP},          {GLFW_KEY_W, CTRL_UP},           {GLFW_KEY_LEFT, CTRL_LEFT},
                {GLFW_KEY_A, CTRL_LEFT},         {GLFW_KEY_RIGHT, CTRL_RIGHT},    {GLFW_KEY_D, CTRL_RIGHT},
                {GLFW_KEY_DOWN, CTRL_DOWN},      {GLFW_KEY_S, CTRL_DOWN},         {GLFW_KEY_Z, CTRL_A},
                {GLFW_KEY_J, CTRL_A},            {GLFW_KEY_SPACE, CTRL_A},        {GLFW_KEY_ENTER, CTRL_A},
                {GLFW_KEY_KP_ENTER, CTRL_A},     {GLFW_KEY_X, CTRL_B},            {GLFW_KEY_K, CTRL_B},
                {GLFW_KEY_RIGHT_CONTROL, CTRL_B}, {GLFW_KEY_C, CTRL_X},           {GLFW_KEY_L, CTRL_X},
                {GLFW_KEY_LEFT_SHIFT, CTRL_X},   {GLFW_KEY_V, CTRL_Y},            {GLFW_KEY_I, CTRL_Y},
                {GLFW_KEY_B, CTRL_LSHOULDER},    {GLFW_KEY_U, CTRL_LSHOULDER},    {GLFW_KEY_N, CTRL_RSHOULDER},
                {GLFW_KEY_O, CTRL_RSHOULDER},    {GLFW_KEY_ESCAPE, CTRL_BACK},    {GLFW_KEY_GRAVE_ACCENT, CTRL_BACK},
                {GLFW_KEY_DELETE, CTRL_BACK},    {GLFW_KEY_BACKSPACE, CTRL_BACK}, {GLFW_KEY_Q, -1}});
    // clang-format on

    // Buttons by the framework's index 0 .. 14 (12 and 13 are none). Ports
    // are polled up to the first empty one, so ports 0 and 1 hold idle pads.
    const int byButton[15] = {CTRL_A,         CTRL_B,    CTRL_X,    CTRL_Y,    CTRL_LSHOULDER,
                              CTRL_RSHOULDER, CTRL_BACK, CTRL_BACK, CTRL_LEFT, CTRL_UP,
                              CTRL_RIGHT,     CTRL_DOWN, -1,        -1,        CTRL_BACK};
    s.SetJoystick(0, {0, 0}, std::vector<int>(16, 0));
    s.SetJoystick(1, {0, 0}, std::vector<int>(16, 0));
    for (int button = 0; button < 15; ++button) {
        std::vector<int> held(16, 0);
        held[button] = 1;
        s.SetJoystick(2, {0, 0}, held);
        s.Update();
        const int control = byButton[button];
        EXPECT_EQ(Pressed(app, 2), control < 0 ? Held{} : Held{control}) << "button " << button;
        EXPECT_EQ(app->p_PlayKeyAll(control, 1), control < 0 ? 0 : 1) << "button " << button;
    }
    s.ClearJoystick(1);  // unplugging releases what the pads behind it held
    s.Update();
    EXPECT_TRUE(Pressed(app, 2).empty());
}

TEST_F(Controls, SticksCountBeyondTheirThresholdsAndSteeringFollowsSticksRampsAndTouch) {
    // GLFW reports down as positive y; up on screen is negative.
    s.SetJoystick(0, {0.4f, -0.4f}, {});
    s.Update();
    EXPECT_TRUE(Pressed(app).empty()) << "0.4 itself does not count";
    s.SetJoystick(0, {-0.5f, -0.41f}, {});
    s.Update();
    EXPECT_EQ(Pressed(app), (Held{CTRL_UP, CTRL_LEFT}));
    EXPECT_EQ(app->p_PlayKey(CTRL_UP, 0, 0) + Pressed(app, 1).size(), 0u) << "asked for, and player 0's own";
    Steer(-0.5f, -0.41f);
    s.SetJoystick(0, {0.15f, 0.15f}, {});  // inside the dead zone
    s.Update();
    Steer(0, 0);

    // A held key steers 0.15 further each update up to 1; released, the
    // value returns by 0.2 each update.
    s.KeyDown(GLFW_KEY_RIGHT);
    for (float x : {0.15f, 0.3f, 0.45f, 0.6f, 0.75f, 0.9f, 1.0f, 1.0f}) Steer(x, 0);
    s.KeyUp(GLFW_KEY_RIGHT);
    for (float x : {0.8f, 0.6f, 0.4f, 0.2f, 0.0f, 0.0f}) Steer(x, 0);
    s.KeyDown(GLFW_KEY_W);
    Steer(0, -0.15f);
    s.KeyUp(GLFW_KEY_W);

    // The touch stick anchors where the pointer goes down, 72 pixels are
    // full deflection, and a far finger drags the anchor after it.
    s.MouseDown();
    for (auto [x, y, steer] : {std::tuple{100, 100, 0.0f}, {136, 105, 0.5f}, {200, 100, 1.0f}}) {
        s.MoveToVirtual(x, y);  // 105: y within the dead zone
        s.Update();
        Steer(steer, 0);
    }
    EXPECT_EQ(app->m_stickAnchorX, 104);
    s.MouseUp();
    s.Update();
    Steer(0, 0);
    EXPECT_EQ(app->m_stickAnchorX, -1);
}

TEST_F(Controls, ICadeLettersHoldPadEntriesUntilReleasedAndTheCabinetOwnsTheLetterKeys) {
    app->p_iCade(1);
    const struct {
        char press, release;
        int control;
    } letters[] = {{'w', 'e', CTRL_UP},        {'x', 'z', CTRL_DOWN}, {'a', 'q', CTRL_LEFT},
                   {'d', 'c', CTRL_RIGHT},     {'h', 'r', CTRL_A},    {'j', 'n', CTRL_B},
                   {'k', 'p', CTRL_X},         {'y', 't', CTRL_Y},    {'u', 'f', CTRL_LSHOULDER},
                   {'i', 'm', CTRL_RSHOULDER}, {'o', 'g', CTRL_BACK}, {'l', 'v', CTRL_BACK}};
    for (auto& l : letters) {
        s.Char(static_cast<unsigned>(l.press));
        s.Update(6);
        EXPECT_EQ(Pressed(app), Held{l.control}) << l.press;
        s.Char(static_cast<unsigned>(l.release - 32));  // upper case acts alike
        s.Update();
        EXPECT_TRUE(Pressed(app).empty()) << l.release;
    }
    // clang-format off
    // Letter keys and tilde are the cabinet's; arrows, Space and Escape still work.
    ExpectKeys({{GLFW_KEY_W, -1}, {GLFW_KEY_Z, -1}, {GLFW_KEY_GRAVE_ACCENT, -1}, {GLFW_KEY_UP, CTRL_UP},
                {GLFW_KEY_SPACE, CTRL_A}, {GLFW_KEY_ESCAPE, CTRL_BACK}});
    // clang-format on

    // Losing the focus switches the cabinet off and drops held entries.
    s.Char('w');
    s.Update();
    s.Suspend();
    EXPECT_EQ(bb_Game_iCadeControls + Pressed(app).size(), 0u);
}

// Finger 3 alone at (200, 100): p_MouseIn's box is open, p_Touch's is
// widened by 6 left and above and by 12 right and below. Image slot 97 at
// level 2 spans 16 virtual pixels either side at size 1; any finger counts
// for p_Button while the pointer is down, finger 0 alone for p_Button0.
TEST_F(Controls, PointerRegionsAreOpenBoxesTouchIsWidenedAndButtonsNeedThePointerDown) {
    for (int i = 0; i < 10; ++i) app->m_touchDown[i] = i == 3;
    app->m_touchX[3] = 200;
    app->m_touchY[3] = 100;
    app->m_mouseDown = 1;
    app->p_SetSize(1);
    EXPECT_EQ((Held{app->p_Touch(169, 69, 20, 20), app->p_Touch(168, 100, 20, 20), app->p_Touch(206, 90, 20, 20),
                    app->p_Touch(205, 105, 20, 20), app->p_MouseIn(200, 90, 10, 20), app->p_MouseIn(199, 90, 10, 20),
                    app->p_MouseIn_Centered(200, 100, 2, 2), app->p_MouseIn_Centered(200, 101, 2, 2),
                    app->p_Button(97, 190, 100, 0), app->p_Button0(97, 190, 100, 0), app->p_Button(97, 184, 100, 0)}),
              (Held{1, 0, 0, 1, 0, 1, 1, 0, 1, 0, 0}));
    app->p_SetSize(2);
    EXPECT_EQ(app->p_Button(97, 170, 100, 0), 1);
    app->m_mouseDown = 0;
    EXPECT_EQ(app->p_Button(97, 170, 100, 0), 0);
}
