// The story scroll that follows loading and the game-selection menu drawn as
// a disk directory of .BAS programs: cursor, start, credits, quit.
#include "framework/keycodes.h"
#include "game/myapp.h"

namespace {

// The story, one line each, with the gap in pixels to the next line.
struct StoryLine {
    const char* text;
    int gap;
};
const StoryLine kStory[] = {
    {"In the year 2014", 8},
    {"Pimbo decides on", 8},
    {"a foolproof plan", 8},
    {"to make money.", 24},
    {"Compiling a list of", 8},
    {"current chart-topping", 8},
    {"videogame titles,", 8},
    {"he manages to send", 8},
    {"the list back through", 8},
    {"time, to the year", 8},
    {"1986", 24},
    {"His plan is to create", 8},
    {"the list of games,", 8},
    {"decades before they", 8},
    {"were originally released.", 24},
    {"Unfortunately,", 8},
    {"since he failed to", 8},
    {"include descriptions of", 8},
    {"the games, Younger Pimbo", 8},
    {"had to use his imagination", 8},
    {"to create the games, based", 8},
    {"only on the titles provided.", 24},
    {"Kestrel Quillon was born", 24},
};
const int kStoryLines = sizeof kStory / sizeof kStory[0];

}  // namespace

int c_MyApp::p_StartScroll() {
    p_CLS2D(0, 0, 0, 1);
    p_SetCol(255, 255, 0);
    p_SetSize(1);

    m_storyBegun = 1;
    m_scrollY -= 0.15f;
    m_layoutY = static_cast<int>(m_scrollY);
    float cx = bb_Game_jscrw / 2;
    m_blink = (bb_app_Millisecs() / 500) % 2;
    // Once the text has risen a little the story can be skipped. The skip
    // arrow is recorded first: the centred story never reaches the corner
    // it sits in, and the text then follows it in one batch of the font.
    bool canSkip = m_layoutY + kStory[0].gap < 0.9f * bb_Game_jscrh;
    if (canSkip) p_DrawImg(IMG_SPRITES, bb_Game_jscrw - 16, bb_Game_jscrh - 16, static_cast<float>(50 + m_blink));
    p_Text(cx, static_cast<float>(m_layoutY), String(kStory[0].text), 1, 1);
    m_layoutY += kStory[0].gap;

    if (canSkip) {
        p_Text(bb_Game_jscrw - 20, bb_Game_jscrh - 12, String("SKIP"), 1, 0);
        if (m_keyLatch == 0 && m_touchLatch == 0 &&
            (m_mouseDown > 0 || p_PlayKey(CTRL_A, 1, 0) || p_PlayKey(CTRL_B, 1, 0))) {
            m_keyLatch = 1;
            m_touchLatch = 1;
            m_mode = MODE_MENU;
        }
    }

    for (int i = 1; i < kStoryLines; ++i) {
        p_Text(cx, static_cast<float>(m_layoutY), String(kStory[i].text), 1, 1);
        m_layoutY += kStory[i].gap;
    }

    // The whole story has left the top of the screen.
    if (m_layoutY < 0) {
        m_keyLatch = 1;
        m_touchLatch = 1;
        m_mode = MODE_MENU;
    }
    return 0;
}

int c_MyApp::p_Menu() {
    p_CLS2D(0, 0, 128, 1);
    if (m_menuSlide < 0) m_menuSlide = static_cast<int>(m_menuSlide + 0.25f);

    // Back quits on the desktop; the console asks first.
    if (m_keyLatch == 0 && m_touchLatch == 0 &&
        (p_PlayKeyAll(CTRL_BACK, 1) > 0 || (bb_Game_isOuya == 1 && bb_input_KeyDown(KEY_ESCAPE)))) {
        if (bb_Game_isOuya == 0) bbError(String());
        m_mode = MODE_QUIT_DIALOG;
        m_keyLatch = 1;
        m_touchLatch = 1;
    }

    p_SetCol(255, 255, 255);
    p_SetSize(4);
    p_Text(16, 32, String("Kestrel"), 0, 1);
    p_Text(32, 64, String("Quillons"), 0, 1);
    p_SetSize(2);
    p_Text(64, 92, String("1986 Edition"), 0, 1);

    m_bestIndex = 10 * (m_game - 1);
    if (m_menuCursor < 1 || m_menuCursor > 8) m_menuCursor = 1;

    // The listing's colours change every half second.
    bb_random_Seed = bb_app_Millisecs() / 500;
    for (int i = 0; i < 11; ++i) bb_random_Step();

    bool boxOpen = m_creditsOpen != 0 || m_optionsOpen != 0;
    p_SetSize(1);
    p_SetRot(0);
    p_Alpha(1);
    m_blend = BLEND_ALPHA;
    for (int i = 1; i <= 7; ++i) {
        p_Ink(1 + static_cast<int>(bb_random_Rnd() * 4.9f), 1);
        float top = 12.0f * i + bb_Game_jscrh - 106;
        if (i != m_menuCursor && !boxOpen && m_touchLatch == 0 && m_mouseDown > 0 && p_MouseIn(8, top, 200, 11)) {
            m_touchLatch = 1;
            p_PlaySFX(SFX_CONFIRM, 1, 1, 0);
            m_menuCursor = i;
        }
        String number(i);
        String line =
            i == m_menuCursor
                ? String(">") + number + String(" : ") + p_GameName(i, 2) + String(".BAS < ") + p_GameName(i, 1)
                : String(" ") + number + String(" : ") + p_GameName(i, 2) + String(".BAS   ") + p_GameName(i, 1);
        p_Text(8, 12.0f * i + bb_Game_jscrh - 104, line, 0, 0);
    }

    p_ResetDraw();
    if ((p_PlayKeyAll(CTRL_UP, 1) || p_PlayKeyAll(CTRL_LEFT, 1)) && m_menuCursor > 1 && m_keyLatch == 0 && !boxOpen) {
        m_menuCursor -= 1;
        m_keyLatch = 1;
        p_PlaySFX(SFX_CONFIRM, 1, 1, 0);
    }
    if ((p_PlayKeyAll(CTRL_DOWN, 1) || p_PlayKeyAll(CTRL_RIGHT, 1)) && m_menuCursor < 7 && m_keyLatch == 0 &&
        !boxOpen) {
        m_menuCursor += 1;
        m_keyLatch = 1;
        p_PlaySFX(SFX_CONFIRM, 1, 1, 0);
    }

    // Start: the icon in the bottom-right corner, or A, B, X or Y.
    p_SetSize(2);
    p_DrawImg(IMG_ICONS, bb_Game_jscrw - 40, bb_Game_jscrh - 40, ICON_PLAY);
    bool start = (p_MouseIn(bb_Game_jscrw - 80, bb_Game_jscrh - 80, 80, 80) && m_mouseDown >= 1 && m_touchLatch == 0) ||
                 p_PlayKeyAll(CTRL_A, 1) || p_PlayKeyAll(CTRL_B, 1) || p_PlayKeyAll(CTRL_X, 1) ||
                 p_PlayKeyAll(CTRL_Y, 1);
    if (start && m_keyLatch == 0 && !boxOpen) {
        m_game = m_menuCursor;
        m_mode = MODE_ENTER_TITLE;
        m_keyLatch = 1;
        m_touchLatch = 1;
        p_PlaySFX(SFX_BLIP, 1, 1, 0);
    }

    p_ResetDraw();
    if (m_keyLatch == 0 && p_PlayKeyAll(CTRL_RSHOULDER, 1) && !boxOpen) {
        m_keyLatch = 1;
        p_PlaySFX(SFX_CONFIRM, 1, 1, 0);
        m_creditsOpen = 1;
    }

    // The logo slides in; touching it opens the credits.
    p_SetSize(0.35f);
    if (p_Button(IMG_STUDIO_LOGO, bb_Game_jscrw - 70, 4.0f * m_menuSlide + 32, 0) && m_touchLatch == 0) {
        if (m_creditsOpen == 0 && m_optionsOpen == 0) {
            m_touchLatch = 1;
            p_PlaySFX(SFX_CONFIRM, 1, 1, 0);
            m_creditsOpen = 1;
        }
    }

    // A sideways drag is not a tap until the pointer is released.
    if (m_touchLatch != 1 && m_creditsOpen == 0 && m_optionsOpen == 0 && m_mouseDown > 0) {
        m_swipeSpeed = (m_mouseX - m_lastMouseX) * 1.5f;
        if (m_swipeSpeed > 2 || m_swipeSpeed < -2) m_touchLatch = 2;
    }
    return 0;
}
