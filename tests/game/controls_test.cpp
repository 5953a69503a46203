// Controls through the real input path: both keyboard layouts, joystick
// buttons and stick thresholds, iCade letters, the keyboard and touch
// steering ramps, and the pointer region tests.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "testing/scenario.h"

namespace {

const int kControls[] = {CTRL_UP, CTRL_LEFT, CTRL_RIGHT, CTRL_DOWN, CTRL_A,        CTRL_B,
                         CTRL_X,  CTRL_Y,    CTRL_LSHOULDER, CTRL_RSHOULDER, CTRL_BACK};

// Controls that player 0 reads as pressed (analogue 1).
std::vector<int> Pressed(c_MyApp* app, int player = 0, int analogue = 1) {
    std::vector<int> out;
    for (int c : kControls)
        if (app->p_PlayKey(c, analogue, player)) out.push_back(c);
    return out;
}

struct Controls : public ::testing::Test {
    Scenario s{960, 540};
    c_MyApp* app = nullptr;
    void SetUp() override {
        s.FinishLoading();
        app = s.App();
    }
    // One finger (the mouse) at a virtual position, as the shell sees it.
    void Finger(int x, int y) {
        for (int i = 0; i < 10; ++i) {
            app->m_touchDown[i] = 0;
            app->m_touchX[i] = app->m_touchY[i] = NOVALUE;
        }
        app->m_touchDown[0] = 1;
        app->m_touchX[0] = x;
        app->m_touchY[0] = y;
        app->m_mouseDown = 1;
    }
};

}  // namespace

TEST_F(Controls, BothKeyboardLayoutsReachEveryControl) {
    struct {
        int key, control;
    } map[] = {
        {GLFW_KEY_UP, CTRL_UP},          {GLFW_KEY_W, CTRL_UP},
        {GLFW_KEY_LEFT, CTRL_LEFT},      {GLFW_KEY_A, CTRL_LEFT},
        {GLFW_KEY_RIGHT, CTRL_RIGHT},    {GLFW_KEY_D, CTRL_RIGHT},
        {GLFW_KEY_DOWN, CTRL_DOWN},      {GLFW_KEY_S, CTRL_DOWN},
        {GLFW_KEY_Z, CTRL_A},            {GLFW_KEY_J, CTRL_A},
        {GLFW_KEY_SPACE, CTRL_A},        {GLFW_KEY_ENTER, CTRL_A},
        {GLFW_KEY_X, CTRL_B},            {GLFW_KEY_K, CTRL_B},
        {GLFW_KEY_LEFT_CONTROL, CTRL_B}, {GLFW_KEY_C, CTRL_X},
        {GLFW_KEY_L, CTRL_X},            {GLFW_KEY_LEFT_SHIFT, CTRL_X},
        {GLFW_KEY_V, CTRL_Y},            {GLFW_KEY_I, CTRL_Y},
        {GLFW_KEY_B, CTRL_LSHOULDER},    {GLFW_KEY_U, CTRL_LSHOULDER},
        {GLFW_KEY_N, CTRL_RSHOULDER},    {GLFW_KEY_O, CTRL_RSHOULDER},
        {GLFW_KEY_ESCAPE, CTRL_BACK},    {GLFW_KEY_GRAVE_ACCENT, CTRL_BACK},
        {GLFW_KEY_DELETE, CTRL_BACK},    {GLFW_KEY_BACKSPACE, CTRL_BACK},
    };
    for (auto& m : map) {
        s.KeyDown(m.key);
        EXPECT_EQ(Pressed(app), std::vector<int>{m.control}) << "key " << m.key;
        // Every player reads the keyboard; players below 0 read nothing.
        EXPECT_EQ(app->p_PlayKey(m.control, 0, 3), 1);
        EXPECT_EQ(app->p_PlayKey(m.control, 0, -1), 0);
        EXPECT_EQ(app->p_PlayKeyAll(m.control, 0), 4);
        s.KeyUp(m.key);
        EXPECT_TRUE(Pressed(app).empty()) << "key " << m.key;
    }
    s.KeyDown(GLFW_KEY_Q);  // not a control key
    EXPECT_TRUE(Pressed(app).empty());
    EXPECT_EQ(app->p_PlayKey(7, 1, 0), 0);  // not a control number
    s.KeyUp(GLFW_KEY_Q);
}

TEST_F(Controls, JoystickButtonsBelongToTheirPlayer) {
    // Raw joystick buttons by framework index: 0 A ... 5 RB, 6 back,
    // 7 start, 8 left, 9 up, 10 right, 11 down, 14 menu.
    struct {
        int button, control;
    } map[] = {{0, CTRL_A},  {1, CTRL_B},     {2, CTRL_X},    {3, CTRL_Y},     {4, CTRL_LSHOULDER},
               {5, CTRL_RSHOULDER}, {6, CTRL_BACK}, {7, CTRL_BACK}, {14, CTRL_BACK}, {8, CTRL_LEFT},
               {9, CTRL_UP}, {10, CTRL_RIGHT}, {11, CTRL_DOWN}};
    // Ports are polled up to the first empty one: fill 0 and 1 with idle pads.
    s.SetJoystick(0, {0, 0}, std::vector<int>(16, 0));
    s.SetJoystick(1, {0, 0}, std::vector<int>(16, 0));
    for (auto& m : map) {
        std::vector<int> buttons(16, 0);
        buttons[m.button] = 1;
        s.SetJoystick(2, {0, 0}, buttons);
        s.Update();
        EXPECT_EQ(Pressed(app, 2), std::vector<int>{m.control}) << "button " << m.button;
        EXPECT_TRUE(Pressed(app, 0).empty());
        EXPECT_EQ(app->p_PlayKeyAll(m.control, 1), 1);
    }
    // Unplugging a pad with a button held releases it.
    s.ClearJoystick(1);
    s.Update();
    EXPECT_TRUE(Pressed(app, 2).empty());
}

TEST_F(Controls, StickThresholdsAreStrictAndNeedAnalogue) {
    // GLFW reports down as positive y; up is y = -0.41 here.
    s.SetJoystick(0, {0, -0.41f}, {});
    s.Update();
    EXPECT_EQ(app->p_PlayKey(CTRL_UP, 1, 0), 1);
    EXPECT_EQ(app->p_PlayKey(CTRL_UP, 0, 0), 0);
    EXPECT_EQ(app->p_PlayKey(CTRL_DOWN, 1, 0), 0);
    EXPECT_FLOAT_EQ(app->p_StickY(0, 0), -0.41f);  // up is negative on screen
    s.SetJoystick(0, {0, -0.4f}, {});
    s.Update();
    EXPECT_EQ(app->p_PlayKey(CTRL_UP, 1, 0), 0);
    s.SetJoystick(0, {0.41f, 0.41f}, {});
    s.Update();
    EXPECT_EQ(Pressed(app), (std::vector<int>{CTRL_RIGHT, CTRL_DOWN}));
    s.SetJoystick(0, {-0.5f, 0}, {});
    s.Update();
    EXPECT_EQ(Pressed(app), std::vector<int>{CTRL_LEFT});
    EXPECT_FLOAT_EQ(app->p_StickX(0, 0), -0.5f);
    EXPECT_FLOAT_EQ(app->p_StickX(0, -1), 0);
    // Another player's stick is its own.
    EXPECT_TRUE(Pressed(app, 1).empty());
}

TEST_F(Controls, ICadeLettersPressAndReleasePadEntries) {
    app->p_iCade(1);
    EXPECT_EQ(bb_Game_iCadeControls, 1);
    struct {
        char press, release;
        int control;
    } letters[] = {{'w', 'e', CTRL_UP}, {'x', 'z', CTRL_DOWN}, {'a', 'q', CTRL_LEFT}, {'d', 'c', CTRL_RIGHT},
                   {'h', 'r', CTRL_A},  {'j', 'n', CTRL_B},    {'k', 'p', CTRL_X},    {'y', 't', CTRL_Y},
                   {'u', 'f', CTRL_LSHOULDER}, {'i', 'm', CTRL_RSHOULDER}, {'o', 'g', CTRL_BACK},
                   {'l', 'v', CTRL_BACK}};
    for (auto& l : letters) {
        s.Char(static_cast<unsigned>(l.press));
        s.Update();
        EXPECT_EQ(Pressed(app), std::vector<int>{l.control}) << l.press;
        s.Update(5);  // held until released
        EXPECT_EQ(Pressed(app), std::vector<int>{l.control}) << l.press;
        s.Char(static_cast<unsigned>(l.release - 32));  // upper case acts alike
        s.Update();
        EXPECT_TRUE(Pressed(app).empty()) << l.release;
        EXPECT_EQ(app->m_iCadeChar, 0);
    }

    // The letter keys are the cabinet's: W on the keyboard is not up, but
    // the arrows, Space, Enter and Escape still work.
    s.KeyDown(GLFW_KEY_W);
    EXPECT_TRUE(Pressed(app).empty());
    s.KeyUp(GLFW_KEY_W);
    s.KeyDown(GLFW_KEY_Z);
    EXPECT_TRUE(Pressed(app).empty());
    s.KeyUp(GLFW_KEY_Z);
    s.KeyDown(GLFW_KEY_SPACE);
    EXPECT_EQ(Pressed(app), std::vector<int>{CTRL_A});
    s.KeyUp(GLFW_KEY_SPACE);
    s.KeyDown(GLFW_KEY_UP);
    EXPECT_EQ(Pressed(app), std::vector<int>{CTRL_UP});
    s.KeyUp(GLFW_KEY_UP);
    s.KeyDown(GLFW_KEY_GRAVE_ACCENT);  // tilde is not back on a cabinet
    EXPECT_TRUE(Pressed(app).empty());
    s.KeyUp(GLFW_KEY_GRAVE_ACCENT);
    // Sticks are not read in iCade mode.
    s.SetJoystick(0, {0.9f, 0}, {});
    s.Update();
    EXPECT_TRUE(Pressed(app).empty());
    s.ClearJoystick(0);

    // Switching off clears held entries; switching on drops waiting letters.
    s.Char('w');
    s.Update();
    ASSERT_EQ(app->m_pad[0], 2);
    app->p_iCade(0);
    EXPECT_EQ(app->m_pad[0], 0);
    EXPECT_EQ(bb_Game_iCadeControls, 0);
    s.Char('w');
    app->p_iCade(1);
    s.Update();
    EXPECT_EQ(app->m_pad[0], 0);
    // Suspending switches iCade off.
    s.Char('w');
    s.Update();
    s.Suspend();
    EXPECT_EQ(bb_Game_iCadeControls, 0);
    EXPECT_EQ(app->m_pad[0], 0);
    s.Resume();
}

TEST_F(Controls, KeyboardRampsAccelerateAndDecay) {
    s.KeyDown(GLFW_KEY_RIGHT);
    const float up[] = {0.15f, 0.3f, 0.45f, 0.6f, 0.75f, 0.9f, 1.0f, 1.0f, 1.0f, 1.0f};
    for (float v : up) {
        app->p_AnalogueControl();
        EXPECT_NEAR(app->m_analogX, v, 1e-5);
        EXPECT_FLOAT_EQ(app->m_analogY, 0);
    }
    s.KeyUp(GLFW_KEY_RIGHT);
    const float down[] = {0.8f, 0.6f, 0.4f, 0.2f, 0.0f, 0.0f};
    for (float v : down) {
        app->p_AnalogueControl();
        EXPECT_NEAR(app->m_analogX, v, 1e-5);
    }
    EXPECT_FLOAT_EQ(app->m_rampX, 0);

    // Up is negative; holding both up and down cancels to where it was.
    s.KeyDown(GLFW_KEY_W);
    app->p_AnalogueControl();
    app->p_AnalogueControl();
    EXPECT_NEAR(app->m_analogY, -0.3f, 1e-5);
    s.KeyDown(GLFW_KEY_S);
    app->p_AnalogueControl();
    EXPECT_NEAR(app->m_analogY, -0.3f, 1e-5);
    s.KeyUp(GLFW_KEY_W);
    s.KeyUp(GLFW_KEY_S);
    app->p_AnalogueControl();
    EXPECT_NEAR(app->m_analogY, -0.1f, 1e-5);
    app->p_AnalogueControl();
    EXPECT_FLOAT_EQ(app->m_analogY, 0);
}

TEST_F(Controls, JoystickAndTouchStickSteer) {
    s.SetJoystick(0, {0.5f, 0.25f}, {});
    s.Update();
    app->p_AnalogueControl();
    EXPECT_FLOAT_EQ(app->m_analogX, 0.5f);
    EXPECT_FLOAT_EQ(app->m_analogY, 0.25f);  // down on the stick is down on screen
    s.SetJoystick(0, {0.15f, 0.15f}, {});    // inside the dead zone
    s.Update();
    app->p_AnalogueControl();
    EXPECT_FLOAT_EQ(app->m_analogX, 0);
    s.ClearJoystick(0);
    s.Update();

    // The touch stick anchors where the pointer goes down.
    s.MoveToVirtual(100, 100);
    s.MouseDown();
    s.Update();
    app->p_AnalogueControl();
    EXPECT_EQ(app->m_stickAnchorX, 100);
    EXPECT_FLOAT_EQ(app->m_analogX, 0);
    s.MoveToVirtual(136, 105);  // y within the dead zone
    s.Update();
    app->p_AnalogueControl();
    EXPECT_FLOAT_EQ(app->m_analogX, 0.5f);
    EXPECT_FLOAT_EQ(app->m_analogY, 0);
    // A far finger drags the anchor after it.
    s.MoveToVirtual(200, 100);
    s.Update();
    app->p_AnalogueControl();
    EXPECT_EQ(app->m_stickAnchorX, 104);
    s.MouseUp();
    s.Update();
    app->p_AnalogueControl();
    EXPECT_EQ(app->m_stickAnchorX, -1);
    EXPECT_FLOAT_EQ(app->m_analogX, 0);
}

TEST_F(Controls, PointerRegionTestsAreStrictAndIgnoreRaisedFingers) {
    Finger(130, 130);
    EXPECT_EQ(app->p_Touch(100, 100, 20, 20), 1);  // widened by 12 right and below
    Finger(131, 131);
    EXPECT_EQ(app->p_Touch(100, 100, 20, 20), 1);
    Finger(132, 110);
    EXPECT_EQ(app->p_Touch(100, 100, 20, 20), 0);
    Finger(93, 110);
    EXPECT_EQ(app->p_Touch(100, 100, 20, 20), 0);  // widened by 6 left and above
    Finger(94, 110);
    EXPECT_EQ(app->p_Touch(100, 100, 20, 20), 0);
    Finger(95, 95);
    EXPECT_EQ(app->p_Touch(100, 100, 20, 20), 1);
    // p_Touch draws its rectangle in the current colour.
    app->p_CLS2D(NOVALUE, 0, 0, 0);
    app->p_SetCol(1, 2, 3);
    app->p_Touch(100, 100, 20, 20);
    std::vector<Scenario::Record> r = s.Records();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].kind, KIND_RECT);
    EXPECT_EQ(r[0].sx, 20);
    EXPECT_EQ(r[0].b, 3);

    Finger(100, 50);
    EXPECT_EQ(app->p_MouseIn(100, 40, 10, 20), 0);
    EXPECT_EQ(app->p_MouseIn(99, 40, 10, 20), 1);
    EXPECT_EQ(app->p_MouseIn(90, 40, 10, 20), 0);
    EXPECT_EQ(app->p_MouseIn_Centered(100, 50, 2, 2), 1);
    EXPECT_EQ(app->p_MouseIn_Centered(100, 51, 2, 2), 0);
    // A raised finger reads -3717 and matches nothing, not even a huge box.
    app->m_touchDown[0] = 0;
    app->m_touchX[0] = app->m_touchY[0] = NOVALUE;
    EXPECT_EQ(app->p_MouseIn(-10000, -10000, 20000, 20000), 0);
    EXPECT_EQ(app->p_Touch(-10000, -10000, 20000, 20000), 0);
    // A second finger counts for p_MouseIn but not for p_Button0.
    app->m_touchDown[3] = 1;
    app->m_touchX[3] = 200;
    app->m_touchY[3] = 100;
    app->m_mouseDown = 1;
    EXPECT_EQ(app->p_MouseIn(190, 90, 20, 20), 1);

    // Image boxes: slot 97 at level 2 is 64 x 64 file pixels, 16 virtual
    // pixels either side of the centre at size 1.
    ASSERT_EQ(app->m_hdLevel, 2);
    EXPECT_EQ(app->m_imageInfo[3 * 97], 64);
    app->p_SetSize(1);
    EXPECT_EQ(app->p_Button(97, 190, 100, 0), 1);
    EXPECT_EQ(app->m_buttonHit, 1);
    EXPECT_EQ(app->p_Button0(97, 190, 100, 0), 0);
    EXPECT_EQ(app->p_Button(97, 184, 100, 0), 0);
    EXPECT_EQ(app->m_buttonHit, 0);
    app->p_SetSize(2);
    EXPECT_EQ(app->p_Button(97, 170, 100, 0), 1);
    app->m_mouseDown = 0;  // the pointer must be down as well
    EXPECT_EQ(app->p_Button(97, 190, 100, 0), 0);
}

TEST_F(Controls, OnScreenPadPressesForOneUpdateWhenSwitchedOn) {
    bb_Game_OnScreenControls = 1;
    app->m_mode = MODE_ENTER_TITLE;  // any screen above 5
    s.Step();
    // Default placement: centre (64, 270 - 64), buttons 32 apart, 16 either
    // side of their centres; the action buttons are mirrored on the right.
    EXPECT_EQ(app->m_padX, 64);
    EXPECT_EQ(app->m_padY, 206);
    int dpad = 0;
    for (const Scenario::Record& r : s.Records())
        if (r.kind == 94) ++dpad;
    EXPECT_EQ(dpad, 7);

    s.TouchDown(1, 2 * 32 + 1, 2 * 206 + 1);  // left button, window pixels
    s.Update();
    EXPECT_EQ(app->m_pad[3], 1);
    EXPECT_EQ(app->p_PlayKey(CTRL_LEFT, 0, 0), 1);
    EXPECT_EQ(app->m_pad[0], 0);
    s.TouchUp(1);
    s.Update();
    EXPECT_EQ(app->m_pad[3], 0);  // lasts one update

    s.TouchDown(2, 2 * 440 + 1, 2 * 182 + 1);  // action button A
    s.Update();
    EXPECT_EQ(app->m_pad[10], 1);
    s.TouchUp(2);
    s.Update();

    // Placement options are clamped to the screen.
    app->m_options[10] = 1000;
    app->m_options[12] = 99;
    s.Update();
    EXPECT_EQ(app->m_padX, 480 - 32);
    EXPECT_FLOAT_EQ(app->m_padScale, 2.5f);
}

TEST_F(Controls, TiltSteeringSmoothsAndCalibrates) {
    bb_Game_AccelerometerControls = 1;
    s.Accel(0.4f, -0.2f);
    s.Update();
    EXPECT_FLOAT_EQ(app->m_tiltX, 0.4f);
    EXPECT_FLOAT_EQ(app->m_smoothTiltX, 0.1f);
    EXPECT_FLOAT_EQ(app->m_smoothTiltY, -0.05f);
    s.Update(40);
    EXPECT_FLOAT_EQ(app->m_smoothTiltX, 0.4f);  // snapped once within 0.005

    // Touching the calibration icon (24, jscrh - 24) takes the level.
    s.TouchDown(0, 2 * 24 + 1, 2 * 246 + 1);
    s.Update();
    s.TouchUp(0);
    EXPECT_FLOAT_EQ(app->m_accelZeroX, 0.4f);
    EXPECT_FLOAT_EQ(app->m_accelZeroY, -0.2f);
    s.Update();
    EXPECT_FLOAT_EQ(app->m_tiltX, 0);

    // iCade input turns tilt off.
    s.Accel(0.9f, 0.9f);
    app->p_iCade(1);
    s.Update();
    EXPECT_FLOAT_EQ(app->m_tiltX, 0);
    EXPECT_FLOAT_EQ(app->m_smoothTiltX, 0);
}

// Field 22 of the save text is the full-screen option.
std::string FullscreenField(Scenario& s) {
    std::stringstream text(s.StateText());
    std::string field;
    for (int i = 0; i < 22; ++i) std::getline(text, field, '|');
    return field;
}

TEST(FullScreen, F11AndAltEnterSwitchReloadingAssetsAndTheNextStartOpensAsLeft) {
    std::string saved;
    int w = 0, h = 0;
    {
        Scenario s(960, 540);
        s.FinishLoading();
        c_MyApp* app = s.App();
        BBGlfwVideoMode* desktop = s.Host()->GetGlfwDesktopMode();
        int dw = desktop->width, dh = desktop->height;

        s.Press(GLFW_KEY_F11);
        EXPECT_EQ(app->m_fullscreen, 1);
        EXPECT_EQ(FullscreenField(s), "1");  // kept at once
        s.Host()->GetWindowSize(&w, &h);
        EXPECT_EQ(w, dw);
        EXPECT_EQ(h, dh);
        s.Render();
        EXPECT_EQ(app->m_loadStep, 1);
        s.FinishLoading();
        EXPECT_EQ(app->m_mode, MODE_STORY);

        // Alt+Enter switches back and is not also a press of Enter.
        s.Host()->OnKey(GLFW_KEY_ENTER, GLFW_PRESS, GLFW_MOD_ALT);
        s.Update();
        EXPECT_EQ(app->p_PlayKeyAll(CTRL_A, 0), 0);
        s.KeyUp(GLFW_KEY_ENTER);
        s.Update();
        EXPECT_EQ(app->m_fullscreen, 0);
        EXPECT_EQ(FullscreenField(s), "0");
        s.Host()->GetWindowSize(&w, &h);
        EXPECT_EQ(w, 640);
        EXPECT_EQ(h, 480);
        s.Render();
        EXPECT_EQ(app->m_loadStep, 1);
        s.Press(GLFW_KEY_F11);
        saved = s.StateText();
    }
    Scenario s(640, 480, saved, true);
    EXPECT_EQ(s.App()->m_fullscreen, 1);
    EXPECT_NE(glfwGetWindowMonitor(s.Host()->Window()), nullptr);
    s.FinishLoading();
    EXPECT_EQ(s.App()->m_mode, MODE_STORY);
}
