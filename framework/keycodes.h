// The framework's key space of 512 codes: keyboard keys by their Windows
// virtual-key numbers (a letter or digit key is its capital character),
// mouse buttons, joystick buttons, touches, and the back and close keys.
#pragma once

enum {
    KEY_MOUSE_LEFT = 1,  // mouse button b is KEY_MOUSE_LEFT + b
    KEY_BACKSPACE = 8,
    KEY_ENTER = 13,
    KEY_SHIFT = 16,
    KEY_CONTROL = 17,
    KEY_ESCAPE = 27,
    KEY_SPACE = 32,
    KEY_LEFT = 37,
    KEY_UP = 38,
    KEY_RIGHT = 39,
    KEY_DOWN = 40,
    KEY_DELETE = 46,
    KEY_F1 = 112,
    KEY_F2 = 113,
    KEY_F4 = 115,
    KEY_F11 = 122,
    KEY_F12 = 123,
    KEY_GRAVE = 192,     // the ~ key
    KEY_JOY_BASE = 256,  // joystick button b of port p: KEY_JOY_BASE + KEY_JOY_PORT_SPAN p + b
    KEY_JOY_PORT_SPAN = 32,
    KEY_TOUCH_BASE = 384,  // finger f: KEY_TOUCH_BASE + f
    KEY_BACK = 416,
    KEY_CLOSE = 432  // sent when the window is closed
};

// Joystick button numbers of a gamepad as the host reports it.
enum {
    JOY_A = 0,
    JOY_B = 1,
    JOY_X = 2,
    JOY_Y = 3,
    JOY_LEFT_SHOULDER = 4,
    JOY_RIGHT_SHOULDER = 5,
    JOY_BACK = 6,
    JOY_START = 7,
    JOY_LEFT = 8,
    JOY_UP = 9,
    JOY_RIGHT = 10,
    JOY_DOWN = 11,
    JOY_GUIDE = 14
};
