// Joystick polling: GLFW 3 joysticks reported as the framework's axis and
// button arrays.
#include <GLFW/glfw3.h>

#include "host/glfw_game.h"

bool BBGlfwGame::PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                              Array<bool> buttons) {
    int jid = GLFW_JOYSTICK_1 + port;
    if (!glfwJoystickPresent(jid)) return false;
    int naxes = 0, nbuttons = 0;
    const float* axes = glfwGetJoystickAxes(jid, &naxes);
    const unsigned char* pressed = glfwGetJoystickButtons(jid, &nbuttons);
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
    joyx[0] = a[0];
    joyx[1] = a[3];
    joyy[0] = -a[1];
    joyy[1] = -a[4];
    joyz[0] = a[2];
    joyz[1] = a[5];
    for (int i = 0; i < nbuttons && i < 32; ++i) buttons[i] = pressed[i] == GLFW_PRESS;
    return true;
}
