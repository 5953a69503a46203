// The in-game overlay and the pause menu: the pause or back icon in the
// corner (whose presses the screen below never sees), pausing with back, and
// the pause panel with its quit, resume and options icons (plus the
// console's overscan slider).
#include <cmath>
#include <initializer_list>

#include "game/myapp.h"

namespace {

const float kHighlightSize = 2.5f;
const float kCornerIcon = 16;  // the pause and back icons' centre, from the top-left corner

}  // namespace

// A press that lands on the corner icon (pause or back) belongs to the icon
// until it is released: the game or title card below runs as if the pointer
// were up, so the press never also plays.
void c_MyApp::p_BelowCornerIcon(int (c_MyApp::*screen)()) {
    p_ResetDraw();  // the icon's box at size 1
    if (m_touchLatch == 0 && m_hideHud == 0 && p_OnImage(IMG_ICONS, kCornerIcon, kCornerIcon)) m_iconPress = 1;
    if (m_iconPress == 0) {
        (this->*screen)();
        return;
    }
    const int mouseDown = m_mouseDown;
    int down[10], x[10], y[10];
    for (int i = 0; i < 10; ++i) {
        down[i] = m_touchDown[i], x[i] = m_touchX[i], y[i] = m_touchY[i];
        m_touchDown[i] = 0;
        m_touchX[i] = m_touchY[i] = NOVALUE;
    }
    m_mouseDown = 0;
    (this->*screen)();
    m_mouseDown = mouseDown;
    for (int i = 0; i < 10; ++i) m_touchDown[i] = down[i], m_touchX[i] = x[i], m_touchY[i] = y[i];
}

int c_MyApp::p_InGame() {
    p_ResetDraw();
    m_menuSlide = -32;

    auto pause = [this]() {
        m_keyLatch = 1;
        m_paused = 1;
        m_pauseSlide = 1;
        m_pauseCursor = 0;
        p_PlaySFX(SFX_BLIP, 1, 0.5f);
    };
    auto toMenu = [this]() {
        m_keyLatch = 1;
        m_touchLatch = 1;
        m_mode = MODE_MENU;
        p_PlaySFX(SFX_BLIP, 1, 0.5f);
    };

    // A game that has ended cannot be paused: the game-over overlay
    // replaces the whole picture, so the panel would act unseen.
    const bool canPause = m_mode == MODE_PLAYING && m_gameOver == 0;
    bool back = p_PlayKeyAll(CTRL_BACK, 1) != 0 || (bb_Game_isOuya == 1 && p_PlayKeyAll(CTRL_Y, 1) != 0);
    if (back && m_paused == 0 && m_keyLatch == 0) {
        if (m_mode == MODE_TITLE) toMenu();
        else if (canPause) pause();
    }

    if (m_hideHud == 0) {
        if (m_mode == MODE_PLAYING || m_mode == MODE_LOADING_GAME) {
            // The pointer acts on a fresh press only, so a finger still held
            // after resuming does not pause again at once.
            if (p_Button(IMG_ICONS, kCornerIcon, kCornerIcon, ICON_PAUSE) && m_paused == 0 && m_touchLatch == 0 &&
                canPause) {
                m_touchLatch = 1;
                pause();
            }
        } else if (m_mode == MODE_TITLE || m_mode == MODE_ENTER_TITLE) {
            if (p_Button(IMG_ICONS, kCornerIcon, kCornerIcon, ICON_BACK) && m_touchLatch == 0) {
                m_paused = 0;
                toMenu();
            }
        }
    }

    if (m_paused == 1) p_PauseMenu();
    return 0;
}

// The latch pattern of every overlay: a press of any of the controls counts
// only while the latch is clear, and sets it.
bool c_MyApp::p_LatchedPress(int& latch, std::initializer_list<int> controls) {
    if (latch != 0) return false;
    for (int c : controls) {
        if (p_PlayKeyAll(c, 1)) {
            latch = 1;
            return true;
        }
    }
    return false;
}

// The options gear: three parts turning at their own rates, the last one
// the button. Answers whether a finger is on it.
int c_MyApp::p_Gear(float x, float y, float lastTurn) {
    m_rotation = 0.66f * m_gearAngle;
    p_DrawImg(IMG_BUTTONS, x, y, GEAR_FRAME);
    m_rotation = -0.33f * m_gearAngle;
    p_DrawImg(IMG_BUTTONS, x, y, GEAR_FRAME + 1);
    m_rotation = lastTurn * m_gearAngle;
    const int touched = p_Button(IMG_BUTTONS, x, y, GEAR_FRAME + 2);
    m_rotation = 0;
    return touched;
}

// The console's overscan slider: its label centred on (x, textY), the bar
// and the knob; the shoulders move it by 16 (each press under the latch),
// and where tapJumps is set a tap on the bar jumps between the two ends.
int c_MyApp::p_OverscanSlider(float x, float textY, float barY, int& latch, bool tapJumps) {
    p_SetSize(2);
    p_SetCol(255, 255, 255, 1);
    p_Text(x, textY, "L1 <      Overscan      > R1", 1, 1);
    p_SetSize(1);
    p_SetCol(0, 128, 255, 0.5f);
    p_Rect(x - 128, barY, 256, 9);
    p_SetCol(255, 255, 0, 0.75f);
    const float knobY = textY - 8;
    p_Rect(m_options[OPTION_OVERSCAN] * 2.67f + x - 132, knobY, 8, 16);
    int setting = m_options[OPTION_OVERSCAN];
    if (tapJumps && p_MouseIn_Centered(x, knobY, 256, 16) && m_touchLatch == 0) {
        m_touchLatch = 1;
        p_PlaySFX(SFX_BLIP, 1, 1);
        if (bb_Game_overscan > 1) setting = 1;
        if (bb_Game_overscan < 32) setting = 96;
    }
    if (p_LatchedPress(latch, {CTRL_LSHOULDER})) setting -= 16;
    if (p_LatchedPress(latch, {CTRL_RSHOULDER})) setting += 16;
    if (setting < 1) setting = 1;
    if (setting > 96) setting = 96;
    m_options[OPTION_OVERSCAN] = setting;
    bb_Game_overscan = static_cast<float>(setting);
    return 0;
}

namespace {

// The panel's three bars, and the quit and options icons left and right of
// its centre, for a landscape and a portrait screen.
struct PanelLayout {
    float barHalf, barTop, bodyHalf, bodyTop, bodyHeight, iconDX, iconDY;
};
const PanelLayout kLandscape = {128, -64, 140, -52, 104, 140, -64};
const PanelLayout kPortrait = {96, -92, 128, -80, 160, 96, -96};

// The panel comes and goes within one update; the pause ends once it is out.
void MovePanel(c_MyApp* app) {
    const float H = bb_Game_jscrh;
    if (app->m_pauseSlide == 1) {
        if (app->m_pauseY < H / 2) app->m_pauseY += 512;
        if (app->m_pauseY > H / 2) app->m_pauseY = static_cast<int>(H / 2);
    } else if (app->m_pauseSlide == -1) {
        if (app->m_pauseY > -64) {
            app->m_pauseY -= 512;
            if (app->m_pauseY <= -33) app->m_paused = 0;
        } else {
            app->m_paused = 0;
        }
    }
}

// The panel's body between a yellow bar above and a blue one below.
void DrawPanel(c_MyApp* app, float cx, float y, const PanelLayout& l) {
    app->p_SetCol(255, 255, 10, 0.6f);
    app->p_Rect(cx - l.barHalf, y + l.barTop, 2 * l.barHalf, 8);
    app->p_SetCol(255, 150, 10, 0.7f);
    app->p_Rect(cx - l.bodyHalf, y + l.bodyTop, 2 * l.bodyHalf, l.bodyHeight);
    app->p_SetCol(10, 150, 255, 0.6f);
    app->p_Rect(cx - l.barHalf, y - l.barTop - 8, 2 * l.barHalf, 8);
}

}  // namespace

// One icon of the pause panel: its picture (a frame of the icons at size 2,
// or the options gear), touched while the pointer latch is clear; with the
// cursor on it, the highlight over it and A while the key latch is clear.
// The caller acts on the answer and sets the latch.
c_MyApp::IconPick c_MyApp::p_PauseIcon(float x, float y, int frame, bool selected) {
    IconPick pick;
    if (frame == GEAR_FRAME) {
        p_SetSize(1);
        p_SetCol(255, 255, 255, 1);
        pick.touched = p_Gear(x, y, -0.33f) && m_touchLatch == 0;
    } else {
        p_SetSize(2);
        p_SetCol(255, 255, 255, 1);
        pick.touched = p_Button(IMG_ICONS, x, y, frame) && m_touchLatch == 0;
    }
    if (selected) {
        p_SetSize(kHighlightSize);
        p_SetCol(255, 255, 100, 1);
        p_DrawImg(IMG_ICONS, x, y, ICON_HIGHLIGHT);
        pick.chosen = m_keyLatch == 0 && p_PlayKeyAll(CTRL_A, 1);
    }
    return pick;
}

int c_MyApp::p_PauseMenu() {
    const float W = bb_Game_jscrw;
    const float H = bb_Game_jscrh;

    // Shade the game more the further the panel is in.
    p_SetCol(0, 0, 0, std::fabs(static_cast<float>(m_pauseY)) / (0.8f * H));
    p_Rect(0, 0, W, H);

    MovePanel(this);
    p_ResetDraw();
    const float cx = W / 2;
    const float y = static_cast<float>(m_pauseY);
    const PanelLayout& l = m_landscape == 1 ? kLandscape : kPortrait;
    DrawPanel(this, cx, y, l);

    if (bb_Game_isOuya == 1) {
        p_SetRot(0);
        p_OverscanSlider(cx, y - 150, y - 154, m_keyLatch, true);
        p_ResetDraw();
    }

    // The cursor runs quit (-1), resume (0), options (1); each move blips.
    auto moveTo = [this](int cursor, float rate) {
        m_pauseCursor = cursor;
        p_PlaySFX(SFX_BLIP, rate, 0.5f);
    };

    // Resume, in the middle.
    const bool onResume = m_pauseCursor == 0;
    const IconPick resume = p_PauseIcon(cx, y, ICON_PLAY, onResume);
    if (resume.touched || resume.chosen) m_pauseSlide = -1;
    if (resume.touched) m_touchLatch = 1;
    if (resume.chosen) m_keyLatch = 1;
    if (resume.touched) p_PlaySFX(SFX_BLIP, 1, 0.5f);
    if (resume.chosen) p_PlaySFX(SFX_BLIP, 1, 0.5f);
    if (onResume && p_LatchedPress(m_keyLatch, {CTRL_LEFT, CTRL_UP})) moveTo(-1, 0.8f);
    if (onResume && p_LatchedPress(m_keyLatch, {CTRL_RIGHT})) moveTo(1, 1.2f);

    // Quit, top left of the panel: ends the game through its game-over
    // sequence.
    const float iconY = y + l.iconDY;
    const bool onQuit = m_pauseCursor == -1;
    const IconPick quitIcon = p_PauseIcon(std::trunc(cx - l.iconDX), iconY, ICON_QUIT, onQuit);
    const bool quit = quitIcon.touched || quitIcon.chosen;
    if (quitIcon.touched) m_touchLatch = 1;
    else if (quitIcon.chosen) m_keyLatch = 1;
    if (onQuit && p_LatchedPress(m_keyLatch, {CTRL_RIGHT, CTRL_DOWN})) moveTo(0, 0.8f);
    if (quit) {
        m_paused = 0;
        m_pauseSlide = -1;
        m_pauseY = -64;
        m_gameOver = 1;
        p_PlaySFX(SFX_BLIP, 0.5f, 0.5f);
    }

    // Options, top right of the panel.
    if (m_optionsOpen == 0) m_gearAngle += 0.2f;
    const bool onOptions = m_pauseCursor == 1;
    const IconPick options = p_PauseIcon(std::trunc(cx + l.iconDX), iconY, GEAR_FRAME, onOptions);
    if (options.touched && m_optionsOpen == 0 && !quit) {
        m_optionsOpen = 1;
        m_touchLatch = 1;
        p_PlaySFX(SFX_CONFIRM);
    }
    if (options.chosen) {
        m_optionsOpen = 1;
        m_keyLatch = 1;
        p_PlaySFX(SFX_BLIP, 1, 0.5f);
    }
    if (onOptions && p_LatchedPress(m_keyLatch, {CTRL_LEFT, CTRL_DOWN})) moveTo(0, 0.8f);

    // Back resumes.
    if (p_LatchedPress(m_keyLatch, {CTRL_BACK})) {
        m_pauseSlide = -1;
        p_PlaySFX(SFX_BLIP, 1, 0.5f);
    }
    p_ResetDraw();
    return 0;
}
