// The in-game overlay and the pause menu: the pause or back icon in the
// corner (whose presses the screen below never sees), pausing with back, and
// the pause panel with its quit, resume and options icons (plus the
// console's overscan slider).
#include <cmath>

#include "game/myapp.h"

namespace {

const float kHighlightSize = 2.5f;

}  // namespace

// A press that lands on the corner icon (pause or back) belongs to the icon
// until it is released: the game or title card below runs as if the pointer
// were up, so the press never also plays.
void c_MyApp::p_BelowCornerIcon(int (c_MyApp::*screen)()) {
    p_ResetDraw();  // the icon's box at size 1
    if (m_touchLatch == 0 && m_hideHud == 0 && p_OnImage(97, 16, 16)) m_iconPress = 1;
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

    // A game that has ended cannot be paused: the game-over overlay
    // replaces the whole picture, so the panel would act unseen.
    const bool canPause = m_mode == MODE_PLAYING && m_gameOver == 0;
    bool back = p_PlayKeyAll(CTRL_BACK, 1) != 0 || (bb_Game_isOuya == 1 && p_PlayKeyAll(CTRL_Y, 1) != 0);
    if (back && m_paused == 0 && m_keyLatch == 0) {
        if (m_mode == MODE_TITLE) {
            m_keyLatch = 1;
            m_touchLatch = 1;
            m_mode = MODE_MENU;
            p_PlaySFX(98, 1, 0.5f);
        } else if (canPause) {
            m_keyLatch = 1;
            m_paused = 1;
            m_pauseSlide = 1;
            m_pauseCursor = 0;
            p_PlaySFX(98, 1, 0.5f);
        }
    }

    if (m_hideHud == 0) {
        if (m_mode == MODE_PLAYING || m_mode == MODE_LOADING_GAME) {
            // The pointer acts on a fresh press only, so a finger still held
            // after resuming does not pause again at once.
            if (p_Button(97, 16, 16, 0) && m_paused == 0 && m_touchLatch == 0 && canPause) {
                m_keyLatch = 1;
                m_touchLatch = 1;
                m_paused = 1;
                m_pauseSlide = 1;
                m_pauseCursor = 0;
                p_PlaySFX(98, 1, 0.5f);
            }
        } else if (m_mode == MODE_TITLE || m_mode == MODE_ENTER_TITLE) {
            if (p_Button(97, 16, 16, 2) && m_touchLatch == 0) {
                m_paused = 0;
                m_keyLatch = 1;
                m_touchLatch = 1;
                m_mode = MODE_MENU;
                p_PlaySFX(98, 1, 0.5f);
            }
        }
    }

    if (m_paused == 1) p_PauseMenu();
    return 0;
}

int c_MyApp::p_PauseMenu() {
    const float W = bb_Game_jscrw;
    const float H = bb_Game_jscrh;

    // Shade the game more the further the panel is in.
    p_SetCol(0, 0, 0, std::fabs(static_cast<float>(m_pauseY)) / (0.8f * H));
    p_Rect(0, 0, W, H);

    // The panel comes and goes within one update.
    if (m_pauseSlide == 1) {
        if (m_pauseY < H / 2) m_pauseY += 512;
        if (m_pauseY > H / 2) m_pauseY = static_cast<int>(H / 2);
    } else if (m_pauseSlide == -1) {
        if (m_pauseY > -64) {
            m_pauseY -= 512;
            if (m_pauseY <= -33) m_paused = 0;
        } else {
            m_paused = 0;
        }
    }

    p_ResetDraw();
    const float cx = W / 2;
    const float y = static_cast<float>(m_pauseY);
    if (m_landscape == 1) {
        p_SetCol(255, 255, 10, 0.6f);
        p_Rect(cx - 128, y - 64, 256, 8);
        p_SetCol(255, 150, 10, 0.7f);
        p_Rect(cx - 140, y - 52, 280, 104);
        p_SetCol(10, 150, 255, 0.6f);
        p_Rect(cx - 128, y + 56, 256, 8);
    } else {
        p_SetCol(255, 255, 10, 0.6f);
        p_Rect(cx - 96, y - 92, 192, 8);
        p_SetCol(255, 150, 10, 0.7f);
        p_Rect(cx - 128, y - 80, 256, 160);
        p_SetCol(10, 150, 255, 0.6f);
        p_Rect(cx - 96, y + 84, 192, 8);
    }

    // Console: the overscan slider above the panel.
    if (bb_Game_isOuya == 1) {
        p_SetRot(0);
        p_SetSize(2);
        p_SetCol(255, 255, 255, 1);
        p_Text(cx, y - 150, "L1 <      Overscan      > R1", 1, 1);
        p_SetSize(1);
        p_SetCol(0, 128, 255, 0.5f);
        p_Rect(cx - 128, y - 154, 256, 9);
        p_SetCol(255, 255, 0, 0.75f);
        p_Rect(m_options[14] * 2.67f + cx - 132, y - 158, 8, 16);
        int setting = m_options[14];
        if (p_MouseIn_Centered(cx, y - 158, 256, 16) && m_touchLatch == 0) {
            // A tap jumps between the two ends of the range.
            m_touchLatch = 1;
            p_PlaySFX(98, 1, 1);
            if (bb_Game_overscan > 1) setting = 1;
            if (bb_Game_overscan < 32) setting = 96;
        }
        if (m_keyLatch == 0 && p_PlayKeyAll(CTRL_LSHOULDER, 0)) {
            setting -= 16;
            m_keyLatch = 1;
        }
        if (m_keyLatch == 0 && p_PlayKeyAll(CTRL_RSHOULDER, 0)) {
            setting += 16;
            m_keyLatch = 1;
        }
        if (setting < 1) setting = 1;
        if (setting > 96) setting = 96;
        m_options[14] = setting;
        bb_Game_overscan = static_cast<float>(setting);
        p_ResetDraw();
    }

    // Resume, in the middle.
    p_SetSize(2);
    p_SetCol(255, 255, 255, 1);
    if (p_Button(97, cx, y, 3) && m_touchLatch == 0) {
        m_pauseSlide = -1;
        m_touchLatch = 1;
        p_PlaySFX(98, 1, 0.5f);
    }
    if (m_pauseCursor == 0) {
        p_SetSize(kHighlightSize);
        p_SetCol(255, 255, 100, 1);
        p_DrawImg(97, cx, y, 6);
        if (m_keyLatch == 0 && p_PlayKeyAll(CTRL_A, 1)) {
            m_pauseSlide = -1;
            m_keyLatch = 1;
            p_PlaySFX(98, 1, 0.5f);
        }
        if (m_keyLatch == 0 && (p_PlayKeyAll(CTRL_LEFT, 1) || p_PlayKeyAll(CTRL_UP, 1))) {
            m_pauseCursor = -1;
            m_keyLatch = 1;
            p_PlaySFX(98, 0.8f, 0.5f);
        }
        if (m_keyLatch == 0 && p_PlayKeyAll(CTRL_RIGHT, 1)) {
            m_pauseCursor = 1;
            m_keyLatch = 1;
            p_PlaySFX(98, 1.2f, 0.5f);
        }
    }

    // Quit, top left of the panel: ends the game through its game-over
    // sequence.
    const float quitX = m_landscape == 1 ? std::trunc(cx - 140) : std::trunc(cx - 96);
    const float iconY = m_landscape == 1 ? y - 64 : y - 96;
    bool quit = false;
    p_SetSize(2);
    p_SetCol(255, 255, 255, 1);
    if (p_Button(97, quitX, iconY, 1) && m_touchLatch == 0) {
        m_touchLatch = 1;
        quit = true;
    }
    if (m_pauseCursor == -1) {
        p_SetSize(kHighlightSize);
        p_SetCol(255, 255, 100, 1);
        p_DrawImg(97, quitX, iconY, 6);
        if (!quit && m_keyLatch == 0 && p_PlayKeyAll(CTRL_A, 1)) {
            m_keyLatch = 1;
            quit = true;
        }
        if (m_keyLatch == 0 && (p_PlayKeyAll(CTRL_RIGHT, 1) || p_PlayKeyAll(CTRL_DOWN, 1))) {
            m_pauseCursor = 0;
            m_keyLatch = 1;
            p_PlaySFX(98, 0.8f, 0.5f);
        }
    }
    if (quit) {
        m_paused = 0;
        m_pauseSlide = -1;
        m_pauseY = -64;
        m_gameOver = 1;
        p_PlaySFX(98, 0.5f, 0.5f);
    }

    // Options, top right of the panel: a gear of three turning parts.
    const float optX = m_landscape == 1 ? std::trunc(cx + 140) : std::trunc(cx + 96);
    if (m_optionsOpen == 0) m_gearAngle += 0.2f;
    p_SetSize(1);
    p_SetCol(255, 255, 255, 1);
    m_rotation = 0.66f * m_gearAngle;
    p_DrawImg(95, optX, iconY, 8);
    m_rotation = -0.33f * m_gearAngle;
    p_DrawImg(95, optX, iconY, 9);
    if (p_Button(95, optX, iconY, 10) && m_touchLatch == 0 && m_optionsOpen == 0 && !quit) {
        m_optionsOpen = 1;
        m_touchLatch = 1;
        p_PlaySFX(99);
    }
    m_rotation = 0;
    if (m_pauseCursor == 1) {
        p_SetSize(kHighlightSize);
        p_SetCol(255, 255, 100, 1);
        p_DrawImg(97, optX, iconY, 6);
        if (m_keyLatch == 0 && p_PlayKeyAll(CTRL_A, 1)) {
            m_optionsOpen = 1;
            m_keyLatch = 1;
            p_PlaySFX(98, 1, 0.5f);
        }
        if (m_keyLatch == 0 && (p_PlayKeyAll(CTRL_LEFT, 1) || p_PlayKeyAll(CTRL_DOWN, 1))) {
            m_pauseCursor = 0;
            m_keyLatch = 1;
            p_PlaySFX(98, 0.8f, 0.5f);
        }
    }

    // Back resumes.
    if (m_keyLatch == 0 && p_PlayKeyAll(CTRL_BACK, 1)) {
        m_keyLatch = 1;
        m_pauseSlide = -1;
        p_PlaySFX(98, 1, 0.5f);
    }
    p_ResetDraw();
    return 0;
}
