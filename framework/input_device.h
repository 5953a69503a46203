// The input device: one 512-code key space for keys, mouse buttons,
// joystick buttons and touches, per-update hit counts and character queue,
// pointer, touch and accelerometer positions, and four joystick states.
#pragma once
#include "runtime/runtime.h"

class c_JoyState : public Object {
public:
    Array<float> m_joyx;
    Array<float> m_joyy;
    Array<float> m_joyz;
    Array<bool> m_buttons;

    c_JoyState* m_new();
    void mark() override;
};

class c_InputDevice : public Object {
public:
    enum { KEY_COUNT = 512, HIT_QUEUE = 33, CHAR_QUEUE = 32, TOUCHES = 32 };

    Array<c_JoyState*> m_joyStates;
    Array<bool> m_keyDown;
    int m_keyHitPut = 0;
    Array<int> m_keyHitQueue;
    Array<int> m_keyHit;
    int m_charGet = 0;
    int m_charPut = 0;
    Array<int> m_charQueue;
    float m_mouseX = 0;
    float m_mouseY = 0;
    Array<float> m_touchX;
    Array<float> m_touchY;
    float m_accelX = 0;
    float m_accelY = 0;
    float m_accelZ = 0;

    c_InputDevice* m_new();
    void mark() override;

    void p_PutKeyHit(int code);
    void p_BeginUpdate();
    void p_EndUpdate();
    void p_KeyEvent(int event, int data);
    void p_MouseEvent(int event, int data, float x, float y);
    void p_TouchEvent(int event, int data, float x, float y);
    void p_MotionEvent(int event, int data, float x, float y, float z);
    bool p_SetKeyboardEnabled(bool enabled);

    bool p_KeyDown(int key);
    int p_KeyHit(int key);
    int p_GetChar();
    int p_PeekChar(int index);
    float p_MouseX() { return m_mouseX; }
    float p_MouseY() { return m_mouseY; }
    float p_TouchX(int index);
    float p_TouchY(int index);
    float p_AccelX() { return m_accelX; }
    float p_AccelY() { return m_accelY; }
    float p_AccelZ() { return m_accelZ; }
    float p_JoyX(int index, int unit);
    float p_JoyY(int index, int unit);
    float p_JoyZ(int index, int unit);
};

extern c_InputDevice* bb_input_device;

int bb_input_SetInputDevice(c_InputDevice* device);
bool bb_input_KeyDown(int key);
int bb_input_KeyHit(int key);
int bb_input_GetChar();
float bb_input_MouseX();
float bb_input_MouseY();
bool bb_input_MouseDown(int button);
int bb_input_MouseHit(int button);
bool bb_input_TouchDown(int finger);
int bb_input_TouchHit(int finger);
float bb_input_TouchX(int finger);
float bb_input_TouchY(int finger);
bool bb_input_JoyDown(int button, int port);
int bb_input_JoyHit(int button, int port);
float bb_input_JoyX(int index, int port);
float bb_input_JoyY(int index, int port);
float bb_input_JoyZ(int index, int port);
float bb_input_AccelX();
float bb_input_AccelY();
float bb_input_AccelZ();
bool bb_input_EnableKeyboard();
bool bb_input_DisableKeyboard();
