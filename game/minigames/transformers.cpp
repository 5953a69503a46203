// Zizarevizovu: five rows, each a transformer at the left and a device
// sliding in from the right; a device must meet a transformer set to its
// voltage and switch. Player record 0 holds the transformers, ten floats a
// row, the selected row and the top speed; object record r is the device of
// row r.
#include <cmath>

#include "game/myapp.h"

namespace {
// Player record 0: the selected row and the top speed of new devices, beside
// each row's transformer at ROW_STRIDE r: its voltage kind (1..6) and switch.
enum { SELECTED_ROW = 2, TOP_SPEED = 5, ROW_STRIDE = 10, TRANSFORMER_KIND = 0, TRANSFORMER_SWITCH = 1 };
// A device: voltage kind, switch, x and speed.
enum { DEVICE_KIND = 0, DEVICE_SWITCH = 1, DEVICE_X = 2, DEVICE_SPEED = 3 };

const int kRows = 5;
const float kTopSpeedCap = 2.0f;

String VoltageLabel(int kind) {
    static const char* const labels[] = {"3v", "4.5v", "6v", "7.5v", "9v", "12v"};
    if (kind < 1 || kind > 6) return String("");
    return String(labels[kind - 1]);
}
}  // namespace

int c_MyApp::p_GameTitle_Transformers() {
    return p_GameTitle(String("Trans"), String("formers"), String("Set up the"), String("transformers"),
                       String("to power"), String("the devices"));
}

int c_MyApp::p_LoadGame_Transformers() {
    p_CommonSetup(1);
    p_ClearObjects();
    for (int r = 0; r < kRows; ++r) {
        float* device = m_objects.Data() + OBJECT_STRIDE * r;
        float* transformer = m_players.Data() + ROW_STRIDE * r;
        device[DEVICE_KIND] = std::floor(bb_random_Rnd2(1, 6.9f));
        device[DEVICE_SWITCH] = std::floor(bb_random_Rnd2(0, 1.9f));
        device[DEVICE_X] = bb_Game_jscrw + 240 * r;  // staggered first arrivals
        device[DEVICE_SPEED] = 0.7f;
        transformer[TRANSFORMER_KIND] = 1;
        transformer[TRANSFORMER_SWITCH] = 0;
    }
    m_players[SELECTED_ROW] = 0;
    m_players[TOP_SPEED] = 0.7f;
    m_camX = m_camY = m_camTargetX = m_camTargetY = 0;
    return 0;
}

int c_MyApp::p_Game_Transformers() {
    Array<float>& p = m_players;

    p_CLS2D(0, 0, 128, 1);
    p_CameraEase();

    for (int r = 0; r < kRows; ++r) {
        float* device = m_objects.Data() + OBJECT_STRIDE * r;
        float* transformer = m_players.Data() + ROW_STRIDE * r;
        float y = static_cast<float>(static_cast<int>(bb_Game_jscrh / 2 - 64) + 32 * r);
        if (r == p[SELECTED_ROW]) {
            p_SetCol(0, 128, 128);
            p_Rect(8, y - 12, 64, 24);
        }
        p_SetCol(255, 255, 255);

        // The left and right controls may have stepped the kind to 0 or 7.
        if (transformer[TRANSFORMER_KIND] < 1) transformer[TRANSFORMER_KIND] = 6;
        if (transformer[TRANSFORMER_KIND] > 6) transformer[TRANSFORMER_KIND] = 1;
        p_DrawImg(IMG_SPRITES, 16, y, 32 + transformer[TRANSFORMER_SWITCH]);
        p_Text(32, y, VoltageLabel(static_cast<int>(transformer[TRANSFORMER_KIND])), 0, 0);

        // From the update of a mismatch on, the rows below it stand still too.
        if (m_paused == 0 && m_gameOver == 0) device[DEVICE_X] -= device[DEVICE_SPEED];
        float dx = static_cast<float>(static_cast<int>(device[DEVICE_X]));
        p_Text(dx, y, VoltageLabel(static_cast<int>(device[DEVICE_KIND])), 0, 0);
        p_DrawImg(IMG_SPRITES, dx - 16, y, 32 + device[DEVICE_SWITCH]);

        if (device[DEVICE_X] < 33) {
            if (device[DEVICE_KIND] == transformer[TRANSFORMER_KIND] &&
                device[DEVICE_SWITCH] == transformer[TRANSFORMER_SWITCH]) {
                m_score += 1;
                p_PlaySFX(SFX_POINT, 1, 1, 0);
            } else {
                m_gameOver = 1;
                p_PlaySFX(SFX_LOSE, 1, 1, 0);
            }
            device[DEVICE_KIND] = std::floor(bb_random_Rnd2(1, 6.9f));
            device[DEVICE_SWITCH] = std::floor(bb_random_Rnd2(0, 1.9f));
            device[DEVICE_X] = bb_random_Rnd2(60, 230) + bb_Game_jscrw;
            device[DEVICE_SPEED] = bb_random_Rnd2(0.6f, p[TOP_SPEED]);
            p[TOP_SPEED] = bb_math_Min2(p[TOP_SPEED] + 0.02f, kTopSpeedCap);
        }
    }

    // One action per press: each needs both latches clear and sets them.
    if (m_paused == 0 && m_gameOver == 0) {
        const bool free = m_keyLatch == 0 && m_touchLatch == 0;
        int row = static_cast<int>(p[SELECTED_ROW]);
        float* transformer = m_players.Data() + ROW_STRIDE * row;
        int action = 0;  // 1 cursor moved, 2 setting changed
        if (free && p_PlayKeyAll(CTRL_UP, 1) && row > 0) {
            p[SELECTED_ROW] = static_cast<float>(row - 1);
            action = 1;
        } else if (free && p_PlayKeyAll(CTRL_DOWN, 1) && row < kRows - 1) {
            p[SELECTED_ROW] = static_cast<float>(row + 1);
            action = 1;
        } else if (free && p_PlayKeyAll(CTRL_LEFT, 1)) {
            transformer[TRANSFORMER_KIND] -= 1;
            action = 2;
        } else if (free && p_PlayKeyAll(CTRL_RIGHT, 1)) {
            transformer[TRANSFORMER_KIND] += 1;
            action = 2;
        } else if (free && (p_PlayKeyAll(CTRL_A, 1) || p_PlayKeyAll(CTRL_B, 1))) {
            transformer[TRANSFORMER_SWITCH] = 1 - transformer[TRANSFORMER_SWITCH];
            action = 2;
        }
        if (action != 0) {
            m_keyLatch = m_touchLatch = 1;
            p_PlaySFX(action == 1 ? SFX_BLIP : SFX_CONFIRM, 1, 1, 0);
        }
    }

    p_ScoreBar();
    return 0;
}
