// The options box (sound, iCade, full screen, music, and the console's
// overscan slider), which slides up over a paused game with latches of its
// own, and the console variant's quit dialog.
#include "game/myapp.h"

namespace {

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

// A row's label: the setting it shows, or for the window mode the mode that
// acting switches to. A stored sound mode the build cannot play is reset.
String RowLabel(c_MyApp* app, int row) {
    Array<int>& options = app->m_options;
    switch (row) {
        case ROW_SOUND:
            if (!HasMusicSupport() && options[OPTION_SOUND] > 1) options[OPTION_SOUND] = 0;
            return SoundLabel(options[OPTION_SOUND]);
        case ROW_ICADE: return String(bb_Game_iCadeControls == 1 ? "iCade : On" : "iCade : Off");
        case ROW_FULLSCREEN: return String(app->m_fullscreen == 1 ? "Windowed" : "Fullscreen");
    }
    return String(options[OPTION_MUSIC] == 1 ? "Music : On" : "Music : Off");
}

void ActOnRow(c_MyApp* app, int row) {
    Array<int>& options = app->m_options;
    switch (row) {
        case ROW_SOUND:
            if (HasMusicSupport()) {
                options[OPTION_SOUND] = (options[OPTION_SOUND] + 1) % 4;
                if (options[OPTION_SOUND] == 0 || options[OPTION_SOUND] == 2) app->p_StopTune();
            } else {
                options[OPTION_SOUND] = 1 - options[OPTION_SOUND];
            }
            app->p_ApplyMusicOption();
            break;
        case ROW_ICADE:
            bb_Game_iCadeControls = 1 - bb_Game_iCadeControls;
            app->p_iCade(bb_Game_iCadeControls);
            for (int i = 0; i < PAD_ENTRIES; ++i) app->m_pad[i] = 0;
            break;
        case ROW_FULLSCREEN: app->p_FullscreenFlip(); break;
        default:
            options[OPTION_MUSIC] = options[OPTION_MUSIC] == 1 ? 0 : 1;
            app->p_ApplyMusicOption();
            break;
    }
}

// Row r's bar, lit while the cursor is on it, and its label; answers
// whether a finger touches the bar.
bool DrawRow(c_MyApp* app, int r, float labelY, const String& label) {
    app->p_SetSize(1);
    if (app->m_optionCursor == r) app->p_SetCol(0, 180, 255, 0.5f);
    else app->p_SetCol(0, 0, 160, 0.5f);
    const bool touched = app->p_Touch(84, labelY - 2, bb_Game_jscrw - 168, 24) != 0;
    app->p_SetCol(255, 255, 255, 1);
    app->p_SetSize(2);
    app->p_Text(100, labelY, label, 0, 0);
    return touched;
}

// Console: marks in the screen's corners show where the overscan edge lies.
void OverscanCorners(c_MyApp* app) {
    const float W = bb_Game_jscrw;
    const float H = bb_Game_jscrh;
    app->p_Rect(0, 0, 16, 8);
    app->p_Rect(0, 0, 8, 16);
    app->p_Rect(W - 16, 0, 16, 8);
    app->p_Rect(W - 8, 0, 8, 16);
    app->p_Rect(0, H - 8, 16, 8);
    app->p_Rect(0, H - 16, 8, 16);
    app->p_Rect(W - 16, H - 8, 16, 8);
    app->p_Rect(W - 8, H - 16, 8, 16);
}

// Closing saves the settings; the box then slides out.
void CloseOptions(c_MyApp* app) {
    if (app->m_optionsOpen == 0) return;
    app->m_optionsOpen = 0;
    app->m_optKeyLatch = 1;
    app->m_optTouchLatch = 1;
    app->p_PlaySFX(SFX_CONFIRM);
    app->p_Save();
}

}  // namespace

int c_MyApp::p_OptionBox() {
    const float W = bb_Game_jscrw;
    p_ResetDraw();
    if (bb_Game_isOuya == 1) OverscanCorners(this);

    // The screen below sees no input while the box is up, and the box takes
    // none until it is fully in.
    m_keyLatch = 1;
    m_touchLatch = 1;
    if (m_optionsSlide != SLIDE_IN) {
        m_optKeyLatch = 1;
        m_optTouchLatch = 1;
    }

    const float b = (SLIDE_IN - m_optionsSlide) * 24.0f;
    p_SetCol(150, 75, 0, 0.85f);
    p_Rect(50, b, W - 100, bb_Game_jscrh);

    // The back gear.
    const float gearX = 12.0f * m_optionsSlide - 260;
    p_SetCol(255, 255, 255, 1);
    p_SetSize(m_optionCursor == 0 ? 2.0f : 1.5f);
    m_gearAngle += 0.2f;
    const int gearTouched = p_Gear(gearX, 60, -1.0f);
    if ((gearTouched || p_PlayKeyAll(CTRL_BACK, 1)) && m_optKeyLatch == 0 && m_optTouchLatch == 0) CloseOptions(this);
    p_SetSize(2);
    p_Text(gearX + 76, 60, "<[BACK]", 0, 1);

    if (bb_Game_isOuya == 1) {
        const float y = 12.0f * m_optionsSlide - 268;
        p_OverscanSlider(0.6f * W, y, y - 5, m_optKeyLatch, false);
    }

    // The rows: a bar to touch and a label each. A row acts once per press
    // of a key or finger, when it is touched or is the cursor row.
    bool confirm = false;
    for (int c = CTRL_A; c <= CTRL_RSHOULDER; ++c)
        if (p_PlayKeyAll(c, 1)) confirm = true;
    float labelY = b + kFirstRow;
    m_optionRow = 0;
    for (int row = ROW_SOUND; row <= ROW_LAST; ++row) {
        if (row == ROW_ICADE && bb_Game_isOuya == 1) continue;
        ++m_optionRow;
        if (m_optionRow > 1) labelY += kRowGap;
        const int r = m_optionRow;
        const bool touched = DrawRow(this, r, labelY, RowLabel(this, row));
        if (touched && m_optTouchLatch == 0) m_optionCursor = r;
        const bool activated = touched || (m_optionCursor == r && confirm);
        if (!activated || m_optKeyLatch != 0 || m_optTouchLatch != 0) continue;
        m_optKeyLatch = 1;
        m_optTouchLatch = 1;
        ActOnRow(this, row);
        p_PlaySFX(SFX_CONFIRM);
    }

    // Keys: the cursor runs from the back gear (0) over the rows.
    if (m_optionCursor == 0 && m_optKeyLatch == 0 &&
        (p_PlayKeyAll(CTRL_RSHOULDER, 1) || p_PlayKeyAll(CTRL_A, 1) || p_PlayKeyAll(CTRL_B, 1))) {
        CloseOptions(this);
    } else if (p_LatchedPress(m_optKeyLatch, {CTRL_UP, CTRL_LEFT})) {
        if (m_optionCursor > 0) --m_optionCursor;
        p_PlaySFX(SFX_CONFIRM);
    } else if (p_LatchedPress(m_optKeyLatch, {CTRL_DOWN, CTRL_RIGHT})) {
        if (m_optionCursor < m_optionRow) ++m_optionCursor;
        p_PlaySFX(SFX_CONFIRM);
    }

    if (m_mouseDown == 0) m_optTouchLatch = 0;
    if (!p_AnyControlHeld()) m_optKeyLatch = 0;
    p_ResetDraw();
    return 0;
}

int c_MyApp::p_OuyaQuit() {
    const float W = bb_Game_jscrw;
    const float H = bb_Game_jscrh;
    p_CLS2D(180, 180, 180, -1);
    p_SetSize(2);
    p_DrawImg(IMG_TESTCARD, W / 2, H / 2, 0);

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
