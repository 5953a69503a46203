// Where joystick input comes from: a small interface over GLFW 3's
// joystick and gamepad queries, so that tests can poll a fake joystick,
// and the translation of one joystick into the framework's arrays.
#pragma once
#include "runtime/runtime.h"

// One joystick port as GLFW 3 sees it. Gamepad state follows GLFW's
// standard layout (buttons A, B, X, Y, shoulders, back, start, guide,
// thumbs, d-pad up, right, down, left; axes left x, y, right x, y,
// triggers), with y positive for down and triggers from -1 to 1.
class BBJoystickSource {
public:
    virtual ~BBJoystickSource() {}
    virtual bool Present(int port) = 0;
    virtual bool IsGamepad(int port) = 0;
    // Fills 15 buttons and 6 axes; false when the state cannot be read.
    virtual bool GamepadState(int port, unsigned char buttons[15], float axes[6]) = 0;
    // Raw axes and buttons (null with a count of 0 when there are none).
    virtual const float* Axes(int port, int* count) = 0;
    virtual const unsigned char* Buttons(int port, int* count) = 0;
};

// The GLFW 3 source.
BBJoystickSource* bbGlfwJoystickSource();
// The source the host polls: the GLFW one unless a test installed another
// (null puts the GLFW one back).
BBJoystickSource* bbJoystickSource();
void bbSetJoystickSource(BBJoystickSource* source);

// Reads one port into the framework's arrays: joyx, joyy, joyz of length 2
// (left, right) and 32 buttons; y is positive for up. False, with the
// arrays untouched, when no joystick is present at the port.
bool bbPollJoystick(BBJoystickSource* source, int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                    Array<bool> buttons);
