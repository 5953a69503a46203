// Zizarevizovu: five rows, each a transformer at the left and a device
// sliding in from the right; a device must meet a transformer set to its
// voltage and switch. Player record 0 holds the transformers (10r kind,
// 10r+1 switch), the selected row (2) and the top speed (5); object record r
// is the device of row r (0 kind, 1 switch, 2 x, 3 speed).
#include <cmath>

#include "game/myapp.h"

namespace {
const int kRows = 5;
const float kTopSpeedCap = 2.0f;

String VoltageLabel(int kind) {
    static const char* const labels[] = {"3v", "4.5v", "6v", "7.5v", "9v", "12v"};
    if (kind < 1 || kind > 6) return String("");
    return String(labels[kind - 1]);
}
}  // namespace

int c_MyApp::p_GameTitle_Transformers() {
    return p_GameTitle(String("Trans"), String("formers"), String("Set up the"), String("transformers"), String("to power"), String("the devices"));
}

int c_MyApp::p_LoadGame_Transformers() {
    p_CommonSetup(1);
    p_ClearObjects();
    Array<float>& p = m_players;
    Array<float>& o = m_objects;
    for (int r = 0; r < kRows; ++r) {
        o[10 * r] = std::floor(bb_random_Rnd2(1, 6.9f));
        o[10 * r + 1] = std::floor(bb_random_Rnd2(0, 1.9f));
        o[10 * r + 2] = bb_Game_jscrw + 240 * r;  // staggered first arrivals
        o[10 * r + 3] = 0.7f;
        p[10 * r] = 1;
        p[10 * r + 1] = 0;
    }
    p[2] = 0;
    p[5] = 0.7f;
    m_camX = m_camY = m_camTargetX = m_camTargetY = 0;
    return 0;
}

int c_MyApp::p_Game_Transformers() {
    Array<float>& p = m_players;
    Array<float>& o = m_objects;

    p_CLS2D(0, 0, 128, 1);
    p_CameraEase();

    for (int r = 0; r < kRows; ++r) {
        float y = static_cast<float>(static_cast<int>(bb_Game_jscrh / 2 - 64) + 32 * r);
        if (r == p[2]) {
            p_SetCol(0, 128, 128);
            p_Rect(8, y - 12, 64, 24);
        }
        p_SetCol(255, 255, 255);

        // The left and right controls may have stepped the kind to 0 or 7.
        if (p[10 * r] < 1) p[10 * r] = 6;
        if (p[10 * r] > 6) p[10 * r] = 1;
        p_DrawImg(1, 16, y, 32 + p[10 * r + 1]);
        p_Text(32, y, VoltageLabel(static_cast<int>(p[10 * r])), 0, 0);

        // From the update of a mismatch on, the rows below it stand still too.
        if (m_paused == 0 && m_gameOver == 0) o[10 * r + 2] -= o[10 * r + 3];
        float dx = static_cast<float>(static_cast<int>(o[10 * r + 2]));
        p_Text(dx, y, VoltageLabel(static_cast<int>(o[10 * r])), 0, 0);
        p_DrawImg(1, dx - 16, y, 32 + o[10 * r + 1]);

        if (o[10 * r + 2] < 33) {
            if (o[10 * r] == p[10 * r] && o[10 * r + 1] == p[10 * r + 1]) {
                m_score += 1;
                p_PlaySFX(1, 1, 1, 0);
            } else {
                m_gameOver = 1;
                p_PlaySFX(2, 1, 1, 0);
            }
            o[10 * r] = std::floor(bb_random_Rnd2(1, 6.9f));
            o[10 * r + 1] = std::floor(bb_random_Rnd2(0, 1.9f));
            o[10 * r + 2] = bb_random_Rnd2(60, 230) + bb_Game_jscrw;
            o[10 * r + 3] = bb_random_Rnd2(0.6f, p[5]);
            p[5] = bb_math_Min2(p[5] + 0.02f, kTopSpeedCap);
        }
    }

    // One action per press: each needs both latches clear and sets them.
    if (m_paused == 0 && m_gameOver == 0) {
        const bool free = m_keyLatch == 0 && m_touchLatch == 0;
        int row = static_cast<int>(p[2]);
        int action = 0;  // 1 cursor moved, 2 setting changed
        if (free && p_PlayKeyAll(CTRL_UP, 1) && row > 0) {
            p[2] = static_cast<float>(row - 1);
            action = 1;
        } else if (free && p_PlayKeyAll(CTRL_DOWN, 1) && row < 4) {
            p[2] = static_cast<float>(row + 1);
            action = 1;
        } else if (free && p_PlayKeyAll(CTRL_LEFT, 1)) {
            p[10 * row] -= 1;
            action = 2;
        } else if (free && p_PlayKeyAll(CTRL_RIGHT, 1)) {
            p[10 * row] += 1;
            action = 2;
        } else if (free && (p_PlayKeyAll(CTRL_A, 1) || p_PlayKeyAll(CTRL_B, 1))) {
            p[10 * row + 1] = 1 - p[10 * row + 1];
            action = 2;
        }
        if (action != 0) {
            m_keyLatch = m_touchLatch = 1;
            p_PlaySFX(action == 1 ? 98 : 99, 1, 1, 0);
        }
    }

    p_ScoreBar();
    return 0;
}
