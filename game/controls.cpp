// Controls: the abstract control query over keyboard (two layouts), joysticks
// and the pad array, iCade letters, sticks and analogue steering, pointer
// region tests, the on-screen d-pad, tilt steering and the full-screen toggle.
#include <cmath>
#include <cstdlib>

#include "framework/keycodes.h"
#include "game/myapp.h"
#include "host/glfw_game.h"

namespace {

// Key n of the framework's key space, looked at only inside 1..511.
bool K(int code) { return code >= 1 && code <= 511 && bb_input_KeyDown(code); }

// Button b of a player's joystick.
bool J(int player, int b) { return K(KEY_JOY_BASE + KEY_JOY_PORT_SPAN * player + b); }

// Pad entry that an iCade letter presses (first) or releases (second).
struct ICadeLetter {
    char press, release;
    int entry;
};
const ICadeLetter kICade[] = {
    {'W', 'E', CTRL_UP},        {'X', 'Z', CTRL_DOWN},      {'A', 'Q', CTRL_LEFT},  {'D', 'C', CTRL_RIGHT},
    {'H', 'R', CTRL_A},         {'J', 'N', CTRL_B},         {'K', 'P', CTRL_X},     {'Y', 'T', CTRL_Y},
    {'U', 'F', CTRL_LSHOULDER}, {'I', 'M', CTRL_RSHOULDER}, {'O', 'G', PAD_BACK_1}, {'L', 'V', PAD_BACK_2},
};

float Clamp1(float v) { return v < -1 ? -1 : (v > 1 ? 1 : v); }

}  // namespace

int c_MyApp::p_PlayKey(int control, int analogue, int player) {
    if (player < 0) return 0;
    const bool backPad = m_pad[PAD_BACK_1] || m_pad[PAD_BACK_2] || m_pad[PAD_BACK_KEY];
    bool on = false;
    if (bb_Game_iCadeControls == 1) {
        // The letter keys belong to the cabinet; sticks are not read.
        switch (control) {
            case CTRL_UP: on = K(KEY_UP) || J(player, JOY_UP) || m_pad[CTRL_UP]; break;
            case CTRL_LEFT: on = K(KEY_LEFT) || J(player, JOY_LEFT) || m_pad[CTRL_LEFT]; break;
            case CTRL_RIGHT: on = K(KEY_RIGHT) || J(player, JOY_RIGHT) || m_pad[CTRL_RIGHT]; break;
            case CTRL_DOWN: on = K(KEY_DOWN) || J(player, JOY_DOWN) || m_pad[CTRL_DOWN]; break;
            case CTRL_A: on = K(KEY_SPACE) || K(KEY_ENTER) || J(player, JOY_A) || m_pad[CTRL_A]; break;
            case CTRL_B: on = K(KEY_CONTROL) || J(player, JOY_B) || m_pad[CTRL_B]; break;
            case CTRL_X: on = K(KEY_SHIFT) || J(player, JOY_X) || m_pad[CTRL_X]; break;
            case CTRL_Y: on = J(player, JOY_Y) || m_pad[CTRL_Y]; break;
            case CTRL_LSHOULDER: on = J(player, JOY_LEFT_SHOULDER) || m_pad[CTRL_LSHOULDER]; break;
            case CTRL_RSHOULDER: on = J(player, JOY_RIGHT_SHOULDER) || m_pad[CTRL_RSHOULDER]; break;
            case CTRL_BACK:
                on = K(KEY_ESCAPE) || K(KEY_DELETE) || K(KEY_BACKSPACE) || J(player, JOY_START) ||
                     J(player, JOY_BACK) || J(player, JOY_GUIDE) || backPad;
                break;
            default: return 0;
        }
        return on ? 1 : 0;
    }

    bool stick = analogue == 1;
    switch (control) {
        case CTRL_UP:
            on = K(KEY_UP) || K('W') || J(player, JOY_UP) || (stick && bb_input_JoyY(0, player) > 0.4f) ||
                 m_pad[CTRL_UP];
            break;
        case CTRL_LEFT:
            on = K(KEY_LEFT) || K('A') || J(player, JOY_LEFT) || (stick && bb_input_JoyX(0, player) < -0.4f) ||
                 m_pad[CTRL_LEFT];
            break;
        case CTRL_RIGHT:
            on = K(KEY_RIGHT) || K('D') || J(player, JOY_RIGHT) || (stick && bb_input_JoyX(0, player) > 0.4f) ||
                 m_pad[CTRL_RIGHT];
            break;
        case CTRL_DOWN:
            on = K(KEY_DOWN) || K('S') || J(player, JOY_DOWN) || (stick && bb_input_JoyY(0, player) < -0.4f) ||
                 m_pad[CTRL_DOWN];
            break;
        case CTRL_A: on = K('Z') || K('J') || K(KEY_SPACE) || K(KEY_ENTER) || J(player, JOY_A) || m_pad[CTRL_A]; break;
        case CTRL_B: on = K('X') || K('K') || K(KEY_CONTROL) || J(player, JOY_B) || m_pad[CTRL_B]; break;
        case CTRL_X: on = K('C') || K('L') || K(KEY_SHIFT) || J(player, JOY_X) || m_pad[CTRL_X]; break;
        case CTRL_Y: on = K('V') || K('I') || J(player, JOY_Y) || m_pad[CTRL_Y]; break;
        case CTRL_LSHOULDER: on = K('B') || K('U') || J(player, JOY_LEFT_SHOULDER) || m_pad[CTRL_LSHOULDER]; break;
        case CTRL_RSHOULDER: on = K('N') || K('O') || J(player, JOY_RIGHT_SHOULDER) || m_pad[CTRL_RSHOULDER]; break;
        case CTRL_BACK:
            // The console reads its menu button alone.
            if (bb_Game_isOuya == 1) return m_pad[PAD_BACK_KEY];
            on = K(KEY_ESCAPE) || K(KEY_GRAVE) || K(KEY_DELETE) || K(KEY_BACKSPACE) || J(player, JOY_BACK) ||
                 J(player, JOY_START) || J(player, JOY_GUIDE) || backPad;
            break;
        default: return 0;
    }
    return on ? 1 : 0;
}

int c_MyApp::p_PlayKeyAll(int control, int analogue) {
    int n = 0;
    for (int p = 0; p < 4; ++p) n += p_PlayKey(control, analogue, p);
    return n;
}

bool c_MyApp::p_AnyControlHeld() {
    for (int c : ALL_CONTROLS)
        if (p_PlayKeyAll(c, 1) != 0) return true;
    return false;
}

float c_MyApp::p_StickX(int axis, int player) {
    if (player < 0) return 0;
    return bb_input_JoyX(axis, player);
}

float c_MyApp::p_StickY(int axis, int player) {
    if (player < 0) return 0;
    return axis == 0 ? -bb_input_JoyY(axis, player) : bb_input_JoyY(axis, player);
}

// One keyboard ramp: while its key is held it moves 0.15 per update in the
// key's direction; released, it returns toward 0 by 0.2 per update. A ramp
// that moves sets the steering value; one at rest leaves it alone.
static void StepRamp(bool held, float direction, float& ramp, float& value) {
    if (held) {
        ramp += 0.15f * direction;
        value = ramp;
    } else if (ramp * direction > 0) {
        ramp -= 0.2f * direction;
        if (ramp * direction < 0) ramp = 0;
        value = ramp;
    }
}

int c_MyApp::p_AnalogueControl() {
    m_analogX = 0;
    m_analogY = 0;

    // Touch stick: anchored where the pointer went down.
    if (m_mouseDown == 0) {
        m_stickAnchorX = -1;
    } else {
        if (m_stickAnchorX < 0) {
            m_stickAnchorX = m_mouseX;
            m_stickAnchorY = m_mouseY;
        } else {
            m_analogX = (m_mouseX - m_stickAnchorX) / 72.0f;
            m_analogY = (m_mouseY - m_stickAnchorY) / 72.0f;
            if (std::fabs(m_analogX) < 0.1f) m_analogX = 0;
            if (std::fabs(m_analogY) < 0.1f) m_analogY = 0;
            if (m_mouseX < m_stickAnchorX - 64) m_stickAnchorX -= 4;
            if (m_mouseX > m_stickAnchorX + 64) m_stickAnchorX += 4;
            if (m_mouseY < m_stickAnchorY - 64) m_stickAnchorY -= 4;
            if (m_mouseY > m_stickAnchorY + 64) m_stickAnchorY += 4;
        }
        p_SetCol(0, 100, 250, 0.25f);
        p_Oval(static_cast<float>(m_stickAnchorX), static_cast<float>(m_stickAnchorY), 12, 12);
        p_Oval(static_cast<float>(m_mouseX), static_cast<float>(m_mouseY), 8, 8);
    }

    // Joystick 0's left stick, outside its dead zone.
    float jx = bb_input_JoyX(0, 0), jy = bb_input_JoyY(0, 0);
    if (std::fabs(jx) > 0.2f || std::fabs(jy) > 0.2f) {
        m_analogX = jx;
        m_analogY = -jy;
    }

    // Keyboard ramps of player 0.
    StepRamp(p_PlayKey(CTRL_UP, 0, 0) != 0, -1, m_rampY, m_analogY);
    StepRamp(p_PlayKey(CTRL_DOWN, 0, 0) != 0, 1, m_rampY, m_analogY);
    StepRamp(p_PlayKey(CTRL_LEFT, 0, 0) != 0, -1, m_rampX, m_analogX);
    StepRamp(p_PlayKey(CTRL_RIGHT, 0, 0) != 0, 1, m_rampX, m_analogX);

    m_analogX = Clamp1(m_analogX);
    m_analogY = Clamp1(m_analogY);
    m_rampX = Clamp1(m_rampX);
    m_rampY = Clamp1(m_rampY);

    if (std::fabs(m_analogX) <= 0.05f && std::fabs(m_analogY) <= 0.05f) return 0;
    if (bb_Game_DebugMode == 1) {
        p_SetCol(0, 180, 250, 0.5f);
        float cx = bb_Game_jscrw - 64, cy = bb_Game_jscrh - 64;
        p_Oval(cx, cy, 12, 12);
        p_Oval(cx + m_analogX * 52, cy + m_analogY * 52, 8, 8);
    }
    return 0;
}

int c_MyApp::p_MouseIn(float x, float y, float w, float h) {
    for (int i = 0; i < 10; ++i) {
        if (!m_touchDown[i]) continue;
        float fx = static_cast<float>(m_touchX[i]), fy = static_cast<float>(m_touchY[i]);
        if (x < fx && fx < x + w && y < fy && fy < y + h) return 1;
    }
    return 0;
}

int c_MyApp::p_MouseIn_Centered(float cx, float cy, float w, float h) {
    return p_MouseIn(cx - w * 0.5f, cy - h * 0.5f, w, h);
}

int c_MyApp::p_Touch(float x, float y, float w, float h) {
    p_Rect(x, y, w, h);
    for (int i = 0; i < 10; ++i) {
        if (!m_touchDown[i]) continue;
        float fx = static_cast<float>(m_touchX[i]), fy = static_cast<float>(m_touchY[i]);
        if (x - 6 < fx && fx < x + w + 12 && y - 6 < fy && fy < y + h + 12) return 1;
    }
    return 0;
}

// Whether finger i lies inside the box of image slot drawn at (x, y) at the
// current size.
static bool InImageBox(c_MyApp* app, int slot, float x, float y, int i) {
    if (!app->m_touchDown[i] || slot < 0 || slot >= IMAGE_SLOTS) return false;
    float hw = app->m_imageInfo[3 * slot] * app->m_hdScale * app->m_sizeX * 0.5f;
    float hh = app->m_imageInfo[3 * slot + 1] * app->m_hdScale * app->m_sizeY * 0.5f;
    float fx = static_cast<float>(app->m_touchX[i]), fy = static_cast<float>(app->m_touchY[i]);
    return x - hw < fx && fx < x + hw && y - hh < fy && fy < y + hh;
}

int c_MyApp::p_OnImage(int slot, float x, float y) {
    for (int i = 0; i < 10; ++i)
        if (InImageBox(this, slot, x, y, i)) return 1;
    return 0;
}

int c_MyApp::p_Button(int slot, float x, float y, int frame) {
    p_DrawImg(slot, x, y, static_cast<float>(frame));
    m_buttonHit = m_mouseDown > 0 && p_OnImage(slot, x, y) ? 1 : 0;
    return m_buttonHit;
}

int c_MyApp::p_Button0(int slot, float x, float y, int frame) {
    p_DrawImg(slot, x, y, static_cast<float>(frame));
    return (m_mouseDown > 0 && InImageBox(this, slot, x, y, 0)) ? 1 : 0;
}

int c_MyApp::p_iCade(int on) {
    if (on == 1) {
        bb_input_EnableKeyboard();
        bb_Game_iCadeControls = 1;
        while (bb_input_GetChar() != 0) {
        }
    } else {
        bb_input_DisableKeyboard();
        bb_Game_iCadeControls = 0;
        for (int i = 0; i < PAD_BACK_KEY; ++i) m_pad[i] = 0;
    }
    return 0;
}

int c_MyApp::p_iCadeKeys() {
    for (;;) {
        m_iCadeChar = bb_input_GetChar();
        if (m_iCadeChar == 0) break;
        int c = m_iCadeChar;
        if (c >= 'a' && c <= 'z') c -= 32;
        for (const ICadeLetter& l : kICade) {
            if (c == l.press) m_pad[l.entry] = 2;
            if (c == l.release) m_pad[l.entry] = 0;
        }
    }
    return 0;
}

int c_MyApp::p_FullscreenFlip() {
    BBGlfwGame* host = BBGlfwGame::GlfwGame();
    if (!host) return 0;
    // Copy the mode out at once: the window change runs host callbacks.
    BBGlfwVideoMode* mode = host->GetGlfwDesktopMode();
    int w = mode->width, h = mode->height, r = mode->red, g = mode->green, b = mode->blue;
    m_fullscreen = 1 - m_fullscreen;
    m_options[OPTION_FULLSCREEN] = m_fullscreen;
    if (m_fullscreen == 1) host->SetGlfwWindow(w, h, r, g, b, 0, 0, 0, true);
    else host->SetGlfwWindow(640, 480, r, g, b, 0, 0, 0, false);
    return 0;
}

int c_MyApp::p_OnScreenControls() {
    int& padX = m_options[OPTION_PAD_X];
    int& padHeight = m_options[OPTION_PAD_HEIGHT];
    int& padSize = m_options[OPTION_PAD_SIZE];
    if (padX < 32) padX = 32;
    if (padX > static_cast<int>(bb_Game_jscrw - 32)) padX = static_cast<int>(bb_Game_jscrw - 32);
    if (padHeight < 32) padHeight = 32;
    if (padHeight > static_cast<int>(bb_Game_jscrh - 32)) padHeight = static_cast<int>(bb_Game_jscrh - 32);
    if (padSize < 8) padSize = 8;
    if (padSize > 25) padSize = 25;
    m_padX = padX;
    m_padY = static_cast<int>(bb_Game_jscrh - padHeight);
    m_padScale = padSize / 10.0f;

    p_SetRot(0);
    p_SetCol(255, 255, 255);
    m_blend = BLEND_ALPHA;
    p_Alpha(0.6f);
    p_SetSize(m_padScale);
    float s = m_padScale * 32;
    float px = static_cast<float>(m_padX), py = static_cast<float>(m_padY);
    if (p_Button(IMG_DPAD, px - s, py, 4) && m_paused == 0) m_pad[CTRL_LEFT] = 1;
    if (p_Button(IMG_DPAD, px, py - s, 1) && m_paused == 0) m_pad[CTRL_UP] = 1;
    if (p_Button(IMG_DPAD, px, py + s, 9) && m_paused == 0) m_pad[CTRL_DOWN] = 1;
    if (p_Button(IMG_DPAD, px + s, py, 6) && m_paused == 0) m_pad[CTRL_RIGHT] = 1;
    p_DrawImg(IMG_DPAD, px, py, 5);

    // While paused, the d-pad can be dragged and pinched to a new size.
    if (m_paused == 1) {
        p_SetSize(3);
        if (p_Button0(IMG_DPAD, px, py, 0) && !m_touchDown[1]) {
            padX = m_touchX[0];
            padHeight = static_cast<int>(bb_Game_jscrh - m_touchY[0]);
        }
        if (!m_touchDown[1]) {
            m_pinchActive = 0;
            m_pinchLast = 0;
        }
        if (m_touchDown[0] && m_touchDown[1]) {
            int d = -(std::abs(m_touchX[0] - m_touchX[1]) / 16);
            if (m_pinchActive == 1) padSize += m_pinchLast - d;
            m_pinchLast = d;
            m_pinchActive = 1;
        }
    }

    // The two action buttons, mirrored on the right.
    p_SetSize(m_padScale * 1.5f);
    float f = m_padScale * 24;
    if (p_Button(IMG_DPAD, bb_Game_jscrw - (px - f), py - f, 0)) m_pad[CTRL_A] = 1;
    if (p_Button(IMG_DPAD, bb_Game_jscrw - (px + f), py + f, 0)) m_pad[CTRL_B] = 1;
    return 0;
}

int c_MyApp::p_TiltControls() {
    p_SetRot(0);
    p_SetCol(255, 255, 255);
    m_blend = BLEND_ALPHA;
    p_SetSize(1.5f);
    p_Alpha(0.8f);
    m_tiltX = bb_input_AccelX() - m_accelZeroX;
    m_tiltY = bb_input_AccelY() - m_accelZeroY;

    m_smoothTiltX += (m_tiltX - m_smoothTiltX) * 0.25f;
    if (std::fabs(m_smoothTiltX - m_tiltX) < 0.005f) m_smoothTiltX = m_tiltX;
    m_smoothTiltY += (m_tiltY - m_smoothTiltY) * 0.25f;
    if (std::fabs(m_smoothTiltY - m_tiltY) < 0.005f) m_smoothTiltY = m_tiltY;

    if (p_Button(IMG_ICONS, 24, bb_Game_jscrh - 24, ICON_CALIBRATE)) {
        m_accelZeroX = bb_input_AccelX();
        m_accelZeroY = bb_input_AccelY();
    }

    p_SetCol(100, 255, 100, 0.6f);
    p_SetSize(1);
    p_Oval(24 + 20 * m_smoothTiltX, bb_Game_jscrh - 24 + 20 * m_smoothTiltY, 4, 4);
    return 0;
}
