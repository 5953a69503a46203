// Translation of GLFW 3 keyboard, character and mouse callbacks into the
// framework's key codes (Windows virtual-key numbers) and host events.
#include <GLFW/glfw3.h>

#include "host/glfw_game.h"

namespace {
const int kEnter = 13;
const int kF11 = 122;
}  // namespace

int TransKey(int key) {
    if (key >= '0' && key <= '9') return key;
    if (key >= 'A' && key <= 'Z') return key;
    if (key >= GLFW_KEY_F1 && key <= GLFW_KEY_F12) return 112 + (key - GLFW_KEY_F1);
    if (key >= GLFW_KEY_KP_0 && key <= GLFW_KEY_KP_9) return 96 + (key - GLFW_KEY_KP_0);
    switch (key) {
        case GLFW_KEY_SPACE: return 32;
        case GLFW_KEY_APOSTROPHE: return 222;
        case GLFW_KEY_COMMA: return 188;
        case GLFW_KEY_MINUS: return 189;
        case GLFW_KEY_PERIOD: return 190;
        case GLFW_KEY_SLASH: return 191;
        case GLFW_KEY_SEMICOLON: return 186;
        case GLFW_KEY_EQUAL: return 187;
        case GLFW_KEY_LEFT_BRACKET: return 219;
        case GLFW_KEY_BACKSLASH: return 220;
        case GLFW_KEY_RIGHT_BRACKET: return 221;
        case GLFW_KEY_GRAVE_ACCENT: return 192;
        case GLFW_KEY_ESCAPE: return 27;
        case GLFW_KEY_UP: return 38;
        case GLFW_KEY_DOWN: return 40;
        case GLFW_KEY_LEFT: return 37;
        case GLFW_KEY_RIGHT: return 39;
        case GLFW_KEY_LEFT_SHIFT:
        case GLFW_KEY_RIGHT_SHIFT: return 16;
        case GLFW_KEY_LEFT_CONTROL:
        case GLFW_KEY_RIGHT_CONTROL: return 17;
        case GLFW_KEY_TAB: return 9;
        case GLFW_KEY_ENTER:
        case GLFW_KEY_KP_ENTER: return 13;
        case GLFW_KEY_BACKSPACE: return 8;
        case GLFW_KEY_INSERT: return 45;
        case GLFW_KEY_DELETE: return 46;
        case GLFW_KEY_PAGE_UP: return 33;
        case GLFW_KEY_PAGE_DOWN: return 34;
        case GLFW_KEY_HOME: return 36;
        case GLFW_KEY_END: return 35;
        case GLFW_KEY_KP_DIVIDE: return 111;
        case GLFW_KEY_KP_MULTIPLY: return 106;
        case GLFW_KEY_KP_SUBTRACT: return 109;
        case GLFW_KEY_KP_ADD: return 107;
        case GLFW_KEY_KP_DECIMAL: return 110;
    }
    return 0;
}

int KeyToChar(int key) {
    switch (key) {
        case 8:
        case 9:
        case 13:
        case 27: return key;
        case 33:
        case 34:
        case 35:
        case 36:
        case 37:
        case 38:
        case 39:
        case 40:
        case 45: return key | 0x10000;
        case 46: return 127;
    }
    return 0;
}

void BBGlfwGame::OnKey(int key, int action, int mods) {
    int k = TransKey(key);
    if (!k) return;
    // Alt+Enter is the desktop's usual full-screen key: the game gets it as
    // F11, press and release, and never as Enter.
    if (k == kEnter) {
        bool& asF11 = _enterAsF11[key == GLFW_KEY_KP_ENTER ? 1 : 0];
        if (action == GLFW_PRESS) asF11 = (mods & GLFW_MOD_ALT) != 0;
        if (asF11) k = kF11;
    }
    if (action == GLFW_RELEASE) {
        KeyEvent(BBGameEvent::KeyUp, k);
        return;
    }
    // GLFW 3 reports auto-repeat as GLFW_REPEAT: it counts as a press.
    KeyEvent(BBGameEvent::KeyDown, k);
    if (int ch = KeyToChar(k)) KeyEvent(BBGameEvent::KeyChar, ch);
}

void BBGlfwGame::OnChar(unsigned int ch) { KeyEvent(BBGameEvent::KeyChar, static_cast<int>(ch)); }

// Cursor positions come in window coordinates; the game works in
// framebuffer pixels, like the device size.
static void FramebufferScale(GLFWwindow* window, float* sx, float* sy) {
    *sx = *sy = 1;
    if (!window) return;
    int ww, wh, fw, fh;
    glfwGetWindowSize(window, &ww, &wh);
    glfwGetFramebufferSize(window, &fw, &fh);
    if (ww > 0 && wh > 0) {
        *sx = static_cast<float>(fw) / ww;
        *sy = static_cast<float>(fh) / wh;
    }
}

void BBGlfwGame::OnMouseButton(int button, int action) {
    if (button < 0 || button > 2) return;
    double x = 0, y = 0;
    if (_window) glfwGetCursorPos(_window, &x, &y);
    float sx, sy;
    FramebufferScale(_window, &sx, &sy);
    int event = action == GLFW_RELEASE ? BBGameEvent::MouseUp : BBGameEvent::MouseDown;
    MouseEvent(event, button, static_cast<float>(x) * sx, static_cast<float>(y) * sy);
}

void BBGlfwGame::OnMousePos(double x, double y) {
    float sx, sy;
    FramebufferScale(_window, &sx, &sy);
    MouseEvent(BBGameEvent::MouseMove, -1, static_cast<float>(x) * sx, static_cast<float>(y) * sy);
}
