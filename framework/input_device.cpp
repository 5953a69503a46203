// The input device: key space, per-update hits and characters, pointer,
// touch and accelerometer state, joystick polling, and the bb_input_*
// functions the game reads through.
#include "framework/input_device.h"

#include "framework/keycodes.h"
#include "host/game.h"

c_InputDevice* bb_input_device = nullptr;

namespace {
const int JOY_PORTS = 4;
const int JOY_BUTTONS = KEY_JOY_PORT_SPAN;

bool ValidKey(int code) { return code > 0 && code < c_InputDevice::KEY_COUNT; }
}  // namespace

c_JoyState* c_JoyState::m_new() {
    m_joyx = Array<float>(2);
    m_joyy = Array<float>(2);
    m_joyz = Array<float>(2);
    m_buttons = Array<bool>(JOY_BUTTONS);
    return this;
}

void c_JoyState::mark() {
    gc_mark(m_joyx);
    gc_mark(m_joyy);
    gc_mark(m_joyz);
    gc_mark(m_buttons);
}

c_InputDevice* c_InputDevice::m_new() {
    m_joyStates = Array<c_JoyState*>(JOY_PORTS);
    for (int i = 0; i < JOY_PORTS; ++i) gc_assign(m_joyStates[i], (new c_JoyState)->m_new());
    m_keyDown = Array<bool>(KEY_COUNT);
    m_keyHitQueue = Array<int>(HIT_QUEUE);
    m_keyHit = Array<int>(KEY_COUNT);
    m_charQueue = Array<int>(CHAR_QUEUE);
    m_touchX = Array<float>(TOUCHES);
    m_touchY = Array<float>(TOUCHES);
    return this;
}

void c_InputDevice::mark() {
    gc_mark(m_joyStates);
    gc_mark(m_keyDown);
    gc_mark(m_keyHitQueue);
    gc_mark(m_keyHit);
    gc_mark(m_charQueue);
    gc_mark(m_touchX);
    gc_mark(m_touchY);
}

void c_InputDevice::p_PutKeyHit(int code) {
    if (m_keyHitPut == m_keyHitQueue.Length() || !ValidKey(code)) return;
    m_keyHit[code] += 1;
    m_keyHitQueue[m_keyHitPut++] = code;
}

void c_InputDevice::p_BeginUpdate() {
    BBGame* host = BBGame::Game();
    int port = 0;
    for (; port < JOY_PORTS; ++port) {
        c_JoyState* state = m_joyStates[port];
        if (!host || !host->PollJoystick(port, state->m_joyx, state->m_joyy, state->m_joyz, state->m_buttons)) break;
        for (int b = 0; b < JOY_BUTTONS; ++b) {
            int code = KEY_JOY_BASE + port * KEY_JOY_PORT_SPAN + b;
            if (!state->m_buttons[b]) {
                m_keyDown[code] = false;
            } else if (!m_keyDown[code]) {
                m_keyDown[code] = true;
                p_PutKeyHit(code);
            }
        }
    }
    // Ports from the first absent one on are no longer polled: a pad pulled
    // out with a button held or a stick pushed must not stay held forever.
    for (; port < JOY_PORTS; ++port) {
        c_JoyState* state = m_joyStates[port];
        for (int b = 0; b < JOY_BUTTONS; ++b) {
            state->m_buttons[b] = false;
            m_keyDown[KEY_JOY_BASE + port * KEY_JOY_PORT_SPAN + b] = false;
        }
        for (int i = 0; i < 2; ++i) state->m_joyx[i] = state->m_joyy[i] = state->m_joyz[i] = 0;
    }
}

void c_InputDevice::p_EndUpdate() {
    for (int i = 0; i < m_keyHitPut; ++i) m_keyHit[m_keyHitQueue[i]] = 0;
    m_keyHitPut = 0;
    m_charGet = 0;
    m_charPut = 0;
}

void c_InputDevice::p_KeyEvent(int event, int data) {
    switch (event) {
        case 1:
            if (!ValidKey(data) || m_keyDown[data]) break;
            m_keyDown[data] = true;
            p_PutKeyHit(data);
            // The left mouse button and the first finger are one pointer.
            if (data == KEY_MOUSE_LEFT) {
                m_keyDown[KEY_TOUCH_BASE] = true;
                p_PutKeyHit(KEY_TOUCH_BASE);
            } else if (data == KEY_TOUCH_BASE) {
                m_keyDown[KEY_MOUSE_LEFT] = true;
                p_PutKeyHit(KEY_MOUSE_LEFT);
            }
            break;
        case 2:
            if (!ValidKey(data) || !m_keyDown[data]) break;
            m_keyDown[data] = false;
            if (data == KEY_MOUSE_LEFT) m_keyDown[KEY_TOUCH_BASE] = false;
            else if (data == KEY_TOUCH_BASE) m_keyDown[KEY_MOUSE_LEFT] = false;
            break;
        case 3:
            if (m_charPut < m_charQueue.Length()) m_charQueue[m_charPut++] = data;
            break;
    }
}

void c_InputDevice::p_MouseEvent(int event, int data, float x, float y) {
    switch (event) {
        case 4:
            p_KeyEvent(1, KEY_MOUSE_LEFT + data);
            m_mouseX = m_touchX[0] = x;
            m_mouseY = m_touchY[0] = y;
            break;
        case 5: p_KeyEvent(2, KEY_MOUSE_LEFT + data); break;
        case 6:
            m_mouseX = m_touchX[0] = x;
            m_mouseY = m_touchY[0] = y;
            break;
    }
}

void c_InputDevice::p_TouchEvent(int event, int data, float x, float y) {
    if (data < 0 || data >= TOUCHES) return;
    switch (event) {
        case 7: p_KeyEvent(1, KEY_TOUCH_BASE + data); break;
        case 8: p_KeyEvent(2, KEY_TOUCH_BASE + data); return;
        case 9: break;
        default: return;
    }
    m_touchX[data] = x;
    m_touchY[data] = y;
    if (data == 0) {
        m_mouseX = x;
        m_mouseY = y;
    }
}

void c_InputDevice::p_MotionEvent(int event, int data, float x, float y, float z) {
    if (event != 10) return;
    m_accelX = x;
    m_accelY = y;
    m_accelZ = z;
}

bool c_InputDevice::p_SetKeyboardEnabled(bool enabled) {
    if (BBGame* host = BBGame::Game()) host->SetKeyboardEnabled(enabled);
    return true;
}

bool c_InputDevice::p_KeyDown(int key) { return ValidKey(key) && m_keyDown[key]; }

int c_InputDevice::p_KeyHit(int key) { return ValidKey(key) ? m_keyHit[key] : 0; }

int c_InputDevice::p_GetChar() {
    if (m_charGet >= m_charPut) return 0;
    return m_charQueue[m_charGet++];
}

int c_InputDevice::p_PeekChar(int index) {
    int i = m_charGet + index;
    if (index < 0 || i >= m_charPut) return 0;
    return m_charQueue[i];
}

float c_InputDevice::p_TouchX(int index) { return index >= 0 && index < TOUCHES ? m_touchX[index] : 0; }
float c_InputDevice::p_TouchY(int index) { return index >= 0 && index < TOUCHES ? m_touchY[index] : 0; }

namespace {
c_JoyState* JoyStateOf(c_InputDevice* device, int index, int unit) {
    if (index < 0 || index > 1 || unit < 0 || unit >= device->m_joyStates.Length()) return nullptr;
    return device->m_joyStates[unit];
}
}  // namespace

float c_InputDevice::p_JoyX(int index, int unit) {
    c_JoyState* s = JoyStateOf(this, index, unit);
    return s ? s->m_joyx[index] : 0;
}
float c_InputDevice::p_JoyY(int index, int unit) {
    c_JoyState* s = JoyStateOf(this, index, unit);
    return s ? s->m_joyy[index] : 0;
}
float c_InputDevice::p_JoyZ(int index, int unit) {
    c_JoyState* s = JoyStateOf(this, index, unit);
    return s ? s->m_joyz[index] : 0;
}

// ---------------------------------------------------------------- module functions

int bb_input_SetInputDevice(c_InputDevice* device) {
    gc_assign(bb_input_device, device);
    return 0;
}

bool bb_input_KeyDown(int key) { return bb_input_device->p_KeyDown(key); }
int bb_input_KeyHit(int key) { return bb_input_device->p_KeyHit(key); }
int bb_input_GetChar() { return bb_input_device->p_GetChar(); }
float bb_input_MouseX() { return bb_input_device->p_MouseX(); }
float bb_input_MouseY() { return bb_input_device->p_MouseY(); }

bool bb_input_MouseDown(int button) {
    if (button < 0 || button > 510) return false;
    return bb_input_device->p_KeyDown(KEY_MOUSE_LEFT + button);
}
int bb_input_MouseHit(int button) {
    if (button < 0 || button > 510) return 0;
    return bb_input_device->p_KeyHit(KEY_MOUSE_LEFT + button);
}

bool bb_input_TouchDown(int finger) {
    if (finger < -383 || finger > 127) return false;
    return bb_input_device->p_KeyDown(KEY_TOUCH_BASE + finger);
}
int bb_input_TouchHit(int finger) {
    if (finger < -383 || finger > 127) return 0;
    return bb_input_device->p_KeyHit(KEY_TOUCH_BASE + finger);
}
float bb_input_TouchX(int finger) { return bb_input_device->p_TouchX(finger); }
float bb_input_TouchY(int finger) { return bb_input_device->p_TouchY(finger); }

bool bb_input_JoyDown(int button, int port) {
    int code = button | KEY_JOY_BASE | (port * KEY_JOY_PORT_SPAN);
    if (code > 511) return false;
    return bb_input_device->p_KeyDown(code);
}
int bb_input_JoyHit(int button, int port) {
    int code = button | KEY_JOY_BASE | (port * KEY_JOY_PORT_SPAN);
    if (code > 511) return 0;
    return bb_input_device->p_KeyHit(code);
}
float bb_input_JoyX(int index, int port) { return bb_input_device->p_JoyX(index, port); }
float bb_input_JoyY(int index, int port) { return bb_input_device->p_JoyY(index, port); }
float bb_input_JoyZ(int index, int port) { return bb_input_device->p_JoyZ(index, port); }
float bb_input_AccelX() { return bb_input_device->p_AccelX(); }
float bb_input_AccelY() { return bb_input_device->p_AccelY(); }
float bb_input_AccelZ() { return bb_input_device->p_AccelZ(); }

bool bb_input_EnableKeyboard() { return bb_input_device->p_SetKeyboardEnabled(true); }
bool bb_input_DisableKeyboard() { return bb_input_device->p_SetKeyboardEnabled(false); }
