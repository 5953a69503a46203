// Vuror Idi: Rared the dog leaps along a row of 10001 bobbing watches.
// Player record 0 is Rared; object record i is watch i.
#include <cmath>

#include "game/myapp.h"

namespace {
// Rared: world x, screen y, walk counter, fall speed (positive is down), the
// watch he stands on (-1 none).
enum { RARED_X = 1, RARED_Y = 2, RARED_WALK = 3, RARED_FALL = 4, RARED_WATCH = 5 };
// A watch: its ink (1..9), world x of its left end, phase and phase step in degrees.
enum { WATCH_INK = 0, WATCH_X = 1, WATCH_PHASE = 5, WATCH_STEP = 6 };

const int kLastWatch = 10000;
const float kSpan = 48;  // width of a watch that Rared can stand on
}

int c_MyApp::p_GameTitle_Vuroridi() {
    return p_GameTitle(String("Watch"), String("Dog"), String("Help Rared"), String("to leap his"), String("way over"),
                       String("the watches."));
}

int c_MyApp::p_LoadGame_Vuroridi() {
    p_CommonSetup(1);
    float x = 0;
    for (int i = 0; i <= kLastWatch; ++i) {
        float* watch = m_objects.Data() + OBJECT_STRIDE * i;
        watch[WATCH_INK] = std::floor(bb_random_Rnd2(1, 8.9f));
        watch[WATCH_X] = x;
        x = static_cast<float>(static_cast<int>(x + bb_random_Rnd2(72, 128)));
        watch[WATCH_PHASE] = bb_random_Rnd2(0, 360);
        watch[WATCH_STEP] = bb_random_Rnd2(1, 3.5f);
    }
    m_objects[WATCH_INK] = 9;  // the starting watch is white

    Array<float>& p = m_players;
    p[RARED_X] = 32;
    p[RARED_Y] = 0;
    p[RARED_WALK] = 0;
    p[RARED_FALL] = 0;
    p[RARED_WATCH] = 0;
    m_camX = m_camY = m_camTargetY = 0;
    m_camTargetX = -0.2f * bb_Game_jscrw;
    return 0;
}

// While paused nothing moves; after the end the watches keep bobbing and
// Rared keeps falling.
int c_MyApp::p_Game_Vuroridi() {
    Array<float>& p = m_players;
    const bool moving = m_paused == 0;

    p_CLS2D(0, 0, 128, 1);
    p_CameraEase();
    if (moving) p_AnalogueControl();
    p_SetCol(255, 255, 255);
    p_SetSize(1, 1);
    p_DoStars(m_camDX, m_camDY);

    if (moving) p[RARED_WATCH] = -1;
    const float raredX = p[RARED_X] - m_camX;
    for (int i = 0; i <= kLastWatch; ++i) {
        float* watch = m_objects.Data() + OBJECT_STRIDE * i;
        if (moving) watch[WATCH_PHASE] += watch[WATCH_STEP];
        float x = watch[WATCH_X];
        float sx = x - m_camX;
        if (!(sx > -128 && sx < bb_Game_jscrw + 128)) continue;
        float y = std::sin(watch[WATCH_PHASE] * D2R) * 64 + bb_Game_jscrh / 2;

        // Only a rising-slowly or falling Rared lands, so a jump passes up through.
        const bool over = sx < raredX && raredX < sx + kSpan;
        if (moving && over && std::fabs(p[RARED_Y] - y) < 12 && p[RARED_FALL] > -1) {
            p[RARED_FALL] = 0;
            p[RARED_Y] = y - 4;
            p[RARED_WATCH] = static_cast<float>(i);
            m_camTargetX = x - 0.2f * bb_Game_jscrw;
            if (i > m_score) {
                m_score = i;
                p_PlaySFX(SFX_CONFIRM, 1, 1, 0);
            }
        }

        p_Ink(static_cast<int>(watch[WATCH_INK]), 1);
        for (int k = 0; k < 4; ++k) p_DrawImg(IMG_SPRITES, sx + 16 * k, y, static_cast<float>(k));
    }

    if (moving) {
        p[RARED_Y] += p[RARED_FALL];
        p[RARED_FALL] += 0.4f;

        // Jumping needs Rared standing (speed near 0 after gravity) and no
        // latch; holding the button therefore jumps again at each landing.
        bool touchJump = m_analogY < -0.5f && m_mouseDown > 0;
        bool asked = p_PlayKeyAll(CTRL_A, 1) || p_PlayKeyAll(CTRL_B, 1) || p_PlayKeyAll(CTRL_X, 1) ||
                     (p_PlayKeyAll(CTRL_UP, 1) && bb_Game_isOuya == 0) || touchJump;
        const bool standing = p[RARED_FALL] > -0.4f && p[RARED_FALL] < 1 && p[RARED_WATCH] > -1;
        if (standing && m_keyLatch == 0 && m_touchLatch == 0 && asked) p[RARED_FALL] = -7;
    }

    p_SetCol(255, 255, 255);
    p_SetSize(1, 1);
    const int step = static_cast<int>(std::fmod(p[RARED_WALK] * 0.25f, 6.0f));
    p_DrawImg(IMG_SPRITES, p[RARED_X] - m_camX, p[RARED_Y] - m_camY, 4 + step);

    if (moving) {
        p[RARED_X] += m_analogX * 3;
        if (std::fabs(m_analogX) > 0.2f) p[RARED_WALK] += 1;
        if (std::fabs(m_analogX) < 0.21f) p[RARED_WALK] = 0;

        if (p[RARED_Y] > bb_Game_jscrh + 128) {
            if (m_gameOver == 0) p_PlaySFX(SFX_LOSE, 1, 1, 0);
            m_gameOver = 1;
        }
        if (p[RARED_WATCH] == kLastWatch) m_gameOver = 1;
    }

    p_ScoreBar();
    return 0;
}
