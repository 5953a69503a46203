// Joystick polling: a joystick GLFW 3 recognises as a gamepad is reported
// in the layout the game expects; any other keeps its raw axes and buttons
// with the usual rearrangement of stick axes by axis count.
#include "host/joystick.h"

#include <GLFW/glfw3.h>

#include "host/glfw_game.h"

namespace {

class GlfwJoystickSource : public BBJoystickSource {
public:
    bool Present(int port) override { return glfwJoystickPresent(GLFW_JOYSTICK_1 + port) == GLFW_TRUE; }
    bool IsGamepad(int port) override { return glfwJoystickIsGamepad(GLFW_JOYSTICK_1 + port) == GLFW_TRUE; }
    bool GamepadState(int port, unsigned char buttons[15], float axes[6]) override {
        GLFWgamepadstate state;
        if (!glfwGetGamepadState(GLFW_JOYSTICK_1 + port, &state)) return false;
        for (int i = 0; i < 15; ++i) buttons[i] = state.buttons[i];
        for (int i = 0; i < 6; ++i) axes[i] = state.axes[i];
        return true;
    }
    const float* Axes(int port, int* count) override {
        *count = 0;
        const float* axes = glfwGetJoystickAxes(GLFW_JOYSTICK_1 + port, count);
        if (!axes) *count = 0;
        return axes;
    }
    const unsigned char* Buttons(int port, int* count) override {
        *count = 0;
        const unsigned char* buttons = glfwGetJoystickButtons(GLFW_JOYSTICK_1 + port, count);
        if (!buttons) *count = 0;
        return buttons;
    }
};

GlfwJoystickSource g_glfwSource;
BBJoystickSource* g_source = &g_glfwSource;

// Framework button index of each GLFW gamepad button, in GLFW's order:
// A, B, X, Y, left and right shoulder, back, start, guide, left and right
// thumb, d-pad up, right, down, left.
const int kGamepadButtonMap[15] = {0, 1, 2, 3, 4, 5, 6, 7, 14, 12, 13, 9, 10, 11, 8};

bool PollGamepad(BBJoystickSource* source, int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                 Array<bool> buttons) {
    unsigned char pressed[15] = {};
    float axes[6] = {0, 0, 0, 0, -1, -1};
    if (!source->GamepadState(port, pressed, axes)) return false;
    joyx[0] = axes[0];
    joyy[0] = -axes[1];
    joyx[1] = axes[2];
    joyy[1] = -axes[3];
    // Triggers rest at -1 in GLFW; the framework reads 0 released, 1 full.
    joyz[0] = (axes[4] + 1) * 0.5f;
    joyz[1] = (axes[5] + 1) * 0.5f;
    int n = buttons.Length();
    for (int i = 0; i < n && i < 32; ++i) buttons[i] = false;
    for (int i = 0; i < 15; ++i)
        if (kGamepadButtonMap[i] < n) buttons[kGamepadButtonMap[i]] = pressed[i] == GLFW_PRESS;
    return true;
}

}  // namespace

BBJoystickSource* bbGlfwJoystickSource() { return &g_glfwSource; }
BBJoystickSource* bbJoystickSource() { return g_source; }
void bbSetJoystickSource(BBJoystickSource* source) { g_source = source ? source : &g_glfwSource; }

bool bbPollJoystick(BBJoystickSource* source, int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                    Array<bool> buttons) {
    if (port < 0 || port > GLFW_JOYSTICK_LAST || !source->Present(port)) return false;
    if (source->IsGamepad(port) && PollGamepad(source, port, joyx, joyy, joyz, buttons)) return true;

    int naxes = 0, nbuttons = 0;
    const float* axes = source->Axes(port, &naxes);
    const unsigned char* pressed = source->Buttons(port, &nbuttons);
    float a[6] = {0, 0, 0, 0, 0, 0};
    for (int i = 0; i < naxes && i < 6; ++i) a[i] = axes[i];
    if (naxes == 4) {
        a[4] = a[2];
        a[2] = 0;
    } else if (naxes == 5) {
        float t = a[3];
        a[3] = a[4];
        a[4] = t;
    }
    // GLFW reports down as positive; the framework's y is positive for up.
    joyx[0] = a[0];
    joyx[1] = a[3];
    joyy[0] = -a[1];
    joyy[1] = -a[4];
    joyz[0] = a[2];
    joyz[1] = a[5];
    for (int i = 0; i < nbuttons && i < 32 && i < buttons.Length(); ++i) buttons[i] = pressed[i] == GLFW_PRESS;
    return true;
}

bool BBGlfwGame::PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz, Array<bool> buttons) {
    return bbPollJoystick(g_source, port, joyx, joyy, joyz, buttons);
}
