// The options box (sound, iCade, full screen, music, and the console's
// overscan slider), which slides up over a paused game with latches of its
// own, and the console variant's quit dialog.
#include "game/myapp.h"

namespace {

// Controls that count as "something held" for the box's key latch.
const int kLatchControls[] = {CTRL_UP, CTRL_LEFT,      CTRL_RIGHT,     CTRL_DOWN, CTRL_A, CTRL_B,
                              CTRL_X,  CTRL_Y,         CTRL_LSHOULDER, CTRL_RSHOULDER, CTRL_BACK};

bool HasMusicSupport() { return bb_Game_HasMusic == 1 || bb_Game_HasMusicStream == 1; }

// The rows, top to bottom; the console has no iCade row.
enum { ROW_SOUND = 1, ROW_ICADE, ROW_FULLSCREEN, ROW_MUSIC, ROW_LAST = ROW_MUSIC };

// Label of the first row when the box is fully in, under the back gear and
// the console's overscan slider. Each bar starts 2 above its label and is 24
// high; 36 between rows fits four rows above the bottom edge and keeps each
// row's touch area (12 more below its bar) out of the next row's bar.
const float kFirstRow = 130;
const float kRowGap = 36;

String SoundLabel(int mode) {
    if (HasMusicSupport()) {
        static const char* const labels[4] = {"Sound : Off", "Sound : SFX + Music", "Sound : SFX", "Sound : Music"};
        return String(labels[mode >= 0 && mode <= 3 ? mode : 0]);
    }
    return String(mode == 1 ? "Sound : On" : "Sound : Off");
}

}  // namespace

int c_MyApp::p_OptionBox() {
    const float W = bb_Game_jscrw;
    const float H = bb_Game_jscrh;
    p_ResetDraw();

    // Console: marks in the corners show where the overscan edge lies.
    if (bb_Game_isOuya == 1) {
        p_Rect(0, 0, 16, 8);
        p_Rect(0, 0, 8, 16);
        p_Rect(W - 16, 0, 16, 8);
        p_Rect(W - 8, 0, 8, 16);
        p_Rect(0, H - 8, 16, 8);
        p_Rect(0, H - 16, 8, 16);
        p_Rect(W - 16, H - 8, 16, 8);
        p_Rect(W - 8, H - 16, 8, 16);
    }

    // The screen below sees no input while the box is up, and the box takes
    // none until it is fully in.
    m_keyLatch = 1;
    m_touchLatch = 1;
    if (m_optionsSlide != 30) {
        m_optKeyLatch = 1;
        m_optTouchLatch = 1;
    }

    p_SetCol(150, 75, 0, 0.85f);
    p_Rect(50, (30 - m_optionsSlide) * 24.0f, W - 100, H);

    // Closing saves the settings; the box then slides out.
    auto close = [this]() {
        if (m_optionsOpen == 0) return;
        m_optionsOpen = 0;
        m_optKeyLatch = 1;
        m_optTouchLatch = 1;
        p_PlaySFX(99);
        p_Save();
    };

    // The back gear.
    const float gearX = 12.0f * m_optionsSlide - 260;
    p_SetCol(255, 255, 255, 1);
    p_SetSize(m_optionCursor == 0 ? 2.0f : 1.5f);
    m_gearAngle += 0.2f;
    m_rotation = 0.66f * m_gearAngle;
    p_DrawImg(95, gearX, 60, 8);
    m_rotation = -0.33f * m_gearAngle;
    p_DrawImg(95, gearX, 60, 9);
    m_rotation = -1.0f * m_gearAngle;
    int gearTouched = p_Button(95, gearX, 60, 10);
    m_rotation = 0;
    if ((gearTouched || p_PlayKeyAll(CTRL_BACK, 1)) && m_optKeyLatch == 0 && m_optTouchLatch == 0) close();
    p_SetSize(2);
    p_Text(gearX + 76, 60, "<[BACK]", 0, 1);

    // Console: the overscan slider.
    if (bb_Game_isOuya == 1) {
        const float y = 12.0f * m_optionsSlide - 268;
        p_SetCol(255, 255, 255, 1);
        p_SetSize(2);
        p_Text(0.6f * W, y, "L1 <      Overscan      > R1", 1, 1);
        p_SetSize(1);
        p_SetCol(0, 128, 255, 0.5f);
        p_Rect(0.6f * W - 128, y - 5, 256, 9);
        p_SetCol(255, 255, 0, 0.75f);
        p_Rect(m_options[14] * 2.67f + 0.6f * W - 132, y - 8, 8, 16);
        int setting = m_options[14];
        if (m_optKeyLatch == 0 && p_PlayKeyAll(CTRL_LSHOULDER, 0)) {
            setting -= 16;
            m_optKeyLatch = 1;
        }
        if (m_optKeyLatch == 0 && p_PlayKeyAll(CTRL_RSHOULDER, 0)) {
            setting += 16;
            m_optKeyLatch = 1;
        }
        if (setting < 1) setting = 1;
        if (setting > 96) setting = 96;
        m_options[14] = setting;
        bb_Game_overscan = static_cast<float>(setting);
    }

    // The rows: a bar to touch and a label each. A row acts once per press
    // of a key or finger, when it is touched or is the cursor row.
    bool confirm = false;
    for (int c = CTRL_A; c <= CTRL_RSHOULDER; ++c)
        if (p_PlayKeyAll(c, 1)) confirm = true;
    const float b = (30 - m_optionsSlide) * 24.0f;
    float labelY = b + kFirstRow;
    m_optionRow = 0;
    for (int row = ROW_SOUND; row <= ROW_LAST; ++row) {
        if (row == ROW_ICADE && bb_Game_isOuya == 1) continue;
        ++m_optionRow;
        if (m_optionRow > 1) labelY += kRowGap;
        const int r = m_optionRow;

        String label;
        if (row == ROW_SOUND) {
            if (!HasMusicSupport() && m_options[5] > 1) m_options[5] = 0;
            label = SoundLabel(m_options[5]);
        } else if (row == ROW_ICADE) {
            label = String(bb_Game_iCadeControls == 1 ? "iCade : On" : "iCade : Off");
        } else if (row == ROW_FULLSCREEN) {
            label = String(m_fullscreen == 1 ? "Windowed" : "Fullscreen");
        } else {
            label = String(m_options[OPTION_MUSIC] == 1 ? "Music : On" : "Music : Off");
        }

        p_SetSize(1);
        if (m_optionCursor == r)
            p_SetCol(0, 180, 255, 0.5f);
        else
            p_SetCol(0, 0, 160, 0.5f);
        bool touched = p_Touch(84, labelY - 2, W - 168, 24) != 0;
        p_SetCol(255, 255, 255, 1);
        p_SetSize(2);
        p_Text(100, labelY, label, 0, 0);

        if (touched && m_optTouchLatch == 0) m_optionCursor = r;
        bool activated = touched || (m_optionCursor == r && confirm);
        if (!activated || m_optKeyLatch != 0 || m_optTouchLatch != 0) continue;

        m_optKeyLatch = 1;
        m_optTouchLatch = 1;
        if (row == ROW_SOUND) {
            if (HasMusicSupport()) {
                m_options[5] = (m_options[5] + 1) % 4;
                if (m_options[5] == 0 || m_options[5] == 2) p_StopTune();
            } else {
                m_options[5] = 1 - m_options[5];
            }
            p_ApplyMusicOption();
        } else if (row == ROW_ICADE) {
            bb_Game_iCadeControls = 1 - bb_Game_iCadeControls;
            p_iCade(bb_Game_iCadeControls);
            for (int i = 0; i < 20; ++i) m_pad[i] = 0;
        } else if (row == ROW_FULLSCREEN) {
            p_FullscreenFlip();
        } else {
            m_options[OPTION_MUSIC] = m_options[OPTION_MUSIC] == 1 ? 0 : 1;
            p_ApplyMusicOption();
        }
        p_PlaySFX(99);
    }

    // Keys: the cursor runs from the back gear (0) over the rows.
    if (m_optKeyLatch == 0) {
        if (m_optionCursor == 0 &&
            (p_PlayKeyAll(CTRL_RSHOULDER, 1) || p_PlayKeyAll(CTRL_A, 1) || p_PlayKeyAll(CTRL_B, 1))) {
            close();
        } else if (p_PlayKeyAll(CTRL_UP, 1) || p_PlayKeyAll(CTRL_LEFT, 1)) {
            if (m_optionCursor > 0) --m_optionCursor;
            m_optKeyLatch = 1;
            p_PlaySFX(99);
        } else if (p_PlayKeyAll(CTRL_DOWN, 1) || p_PlayKeyAll(CTRL_RIGHT, 1)) {
            if (m_optionCursor < m_optionRow) ++m_optionCursor;
            m_optKeyLatch = 1;
            p_PlaySFX(99);
        }
    }

    if (m_mouseDown == 0) m_optTouchLatch = 0;
    bool held = false;
    for (int c : kLatchControls)
        if (p_PlayKeyAll(c, 1)) held = true;
    if (!held) m_optKeyLatch = 0;

    p_ResetDraw();
    return 0;
}

int c_MyApp::p_OuyaQuit() {
    const float W = bb_Game_jscrw;
    const float H = bb_Game_jscrh;
    p_CLS2D(180, 180, 180, -1);
    p_SetSize(2);
    p_DrawImg(91, W / 2, H / 2, 0);

    const float x = static_cast<float>(static_cast<int>(0.63f * W));
    float y = static_cast<float>(static_cast<int>(0.2f * H));
    struct Line {
        const char* text;
        float size;
        float gap;  // to the next line
    };
    static const Line lines[] = {
        {"It looks like", 2, 16},
        {"you're trying", 2, 16},
        {"to QUIT!", 2, 16},
        {"Are you absolutely sure", 1, 8},
        {"you want to quit the game?", 1, 16},
        {"Isn't this fun?", 1, 24},
        {"It'll be a shame to see you go.", 1, 16},
        {"Press (A) to Quit", 1, 8},
        {"or (O) to return to the fun!", 1, 0},
    };
    for (const Line& line : lines) {
        p_SetSize(line.size);
        p_Text(x, y, line.text, 1, 0);
        y += line.gap;
    }
    p_SetSize(1);

    if (m_keyLatch == 0 && m_touchLatch == 0) {
        if (p_PlayKeyAll(CTRL_A, 1)) {
            m_mode = MODE_MENU;
            m_keyLatch = 1;
            m_touchLatch = 1;
        } else if (p_PlayKeyAll(CTRL_B, 1) || p_PlayKeyAll(CTRL_X, 1) || p_PlayKeyAll(CTRL_BACK, 1)) {
            bbError(String());
        }
    }
    return 0;
}
