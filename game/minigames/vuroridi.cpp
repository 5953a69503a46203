// Vuror Idi: Rared the dog leaps along a row of 10001 bobbing watches.
// Player record 0 is Rared (1 x, 2 y, 3 walk counter, 4 fall speed, 5 watch
// stood on or -1); object record i is watch i (0 ink, 1 x, 5 phase, 6 step).
#include <cmath>

#include "game/myapp.h"

namespace {
const int kLastWatch = 10000;
const float kSpan = 48;  // width of a watch that Rared can stand on
}

int c_MyApp::p_GameTitle_Vuroridi() {
    return p_GameTitle(String("Watch"), String("Dog"), String("Help Rared"), String("to leap his"), String("way over"), String("the watches."));
}

int c_MyApp::p_LoadGame_Vuroridi() {
    p_CommonSetup(1);
    Array<float>& o = m_objects;
    float x = 0;
    for (int i = 0; i <= kLastWatch; ++i) {
        o[10 * i] = std::floor(bb_random_Rnd2(1, 8.9f));
        o[10 * i + 1] = x;
        x = static_cast<float>(static_cast<int>(x + bb_random_Rnd2(72, 128)));
        o[10 * i + 5] = bb_random_Rnd2(0, 360);
        o[10 * i + 6] = bb_random_Rnd2(1, 3.5f);
    }
    o[0] = 9;  // the starting watch is white

    Array<float>& p = m_players;
    p[1] = 32;
    p[2] = 0;
    p[3] = 0;
    p[4] = 0;
    p[5] = 0;
    m_camX = m_camY = m_camTargetY = 0;
    m_camTargetX = -0.2f * bb_Game_jscrw;
    return 0;
}

// While paused nothing moves; after the end the watches keep bobbing and
// Rared keeps falling.
int c_MyApp::p_Game_Vuroridi() {
    Array<float>& p = m_players;
    Array<float>& o = m_objects;
    const bool moving = m_paused == 0;

    p_CLS2D(0, 0, 128, 1);
    p_CameraEase();
    if (moving) p_AnalogueControl();
    p_SetCol(255, 255, 255);
    p_SetSize(1, 1);
    p_DoStars(m_camDX, m_camDY);

    if (moving) p[5] = -1;
    const float raredX = p[1] - m_camX;
    for (int i = 0; i <= kLastWatch; ++i) {
        if (moving) o[10 * i + 5] += o[10 * i + 6];
        float x = o[10 * i + 1];
        float sx = x - m_camX;
        if (!(sx > -128 && sx < bb_Game_jscrw + 128)) continue;
        float y = std::sin(o[10 * i + 5] * D2R) * 64 + bb_Game_jscrh / 2;

        // Only a rising-slowly or falling Rared lands, so a jump passes up through.
        if (moving && sx < raredX && raredX < sx + kSpan && std::fabs(p[2] - y) < 12 && p[4] > -1) {
            p[4] = 0;
            p[2] = y - 4;
            p[5] = static_cast<float>(i);
            m_camTargetX = x - 0.2f * bb_Game_jscrw;
            if (i > m_score) {
                m_score = i;
                p_PlaySFX(99, 1, 1, 0);
            }
        }

        p_Ink(static_cast<int>(o[10 * i]), 1);
        for (int k = 0; k < 4; ++k) p_DrawImg(1, sx + 16 * k, y, static_cast<float>(k));
    }

    if (moving) {
        p[2] += p[4];
        p[4] += 0.4f;

        // Jumping needs Rared standing (speed near 0 after gravity) and no
        // latch; holding the button therefore jumps again at each landing.
        bool touchJump = m_analogY < -0.5f && m_mouseDown > 0;
        bool asked = p_PlayKeyAll(CTRL_A, 1) || p_PlayKeyAll(CTRL_B, 1) || p_PlayKeyAll(CTRL_X, 1) ||
                     (p_PlayKeyAll(CTRL_UP, 1) && bb_Game_isOuya == 0) || touchJump;
        if (p[4] > -0.4f && p[4] < 1 && p[5] > -1 && m_keyLatch == 0 && m_touchLatch == 0 && asked) p[4] = -7;
    }

    p_SetCol(255, 255, 255);
    p_SetSize(1, 1);
    p_DrawImg(1, p[1] - m_camX, p[2] - m_camY, 4 + static_cast<int>(std::fmod(p[3] * 0.25f, 6.0f)));

    if (moving) {
        p[1] += m_analogX * 3;
        if (std::fabs(m_analogX) > 0.2f) p[3] += 1;
        if (std::fabs(m_analogX) < 0.21f) p[3] = 0;

        if (p[2] > bb_Game_jscrh + 128) {
            if (m_gameOver == 0) p_PlaySFX(2, 1, 1, 0);
            m_gameOver = 1;
        }
        if (p[5] == kLastWatch) m_gameOver = 1;
    }

    p_ScoreBar();
    return 0;
}
