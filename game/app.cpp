// The game's frame loop: c_MyApp's construction, OnCreate, the fourteen
// steps of OnUpdate (input, latches, one screen, overlays), OnRender (fit
// the virtual screen, replay the draw list), suspend/resume and recording
// a finished game's score.
#include "game/myapp.h"

#include <cmath>

#include "framework/keycodes.h"
#include "game/audio/sequencer.h"
#include "host/paths.h"

c_MyApp* c_MyApp::m_new() {
    c_App::m_new();
    m_drawList = Array<float>(DRAW_LIST_FLOATS);
    m_touchDown = Array<int>(10);
    m_touchX = Array<int>(10);
    m_touchY = Array<int>(10);
    m_options = Array<int>(OPTION_COUNT);
    m_options[OPTION_SOUND] = 1;
    m_pad = Array<int>(PAD_ENTRIES);
    m_images = Array<c_Image*>(IMAGE_SLOTS);
    m_imageInfo = Array<int>(3 * IMAGE_SLOTS);
    m_stars = Array<float>(5100);
    m_particles = Array<float>(5100);
    m_badges = Array<bool>(256);
    m_scoreTable = Array<int>(350);
    m_sounds = Array<c_Sound*>(SOUND_SLOTS);
    m_channels = Array<int>(33);
    for (int i = 0; i < 33; ++i) m_channels[i] = i;
    m_players = Array<float>(512);
    m_objects = Array<float>(128000);
    gc_assign(m_music, (new c_SQPlayer)->m_new());
    return this;
}

void c_MyApp::mark() {
    gc_mark(m_music);
    gc_mark(m_images);
    gc_mark(m_imageInfo);
    gc_mark(m_badges);
    gc_mark(m_pad);
    gc_mark(m_options);
    gc_mark(m_scoreTable);
    gc_mark(m_channels);
    gc_mark(m_drawList);
    gc_mark(m_touchDown);
    gc_mark(m_touchX);
    gc_mark(m_touchY);
    gc_mark(m_sounds);
    gc_mark(m_stars);
    gc_mark(m_particles);
    gc_mark(m_players);
    gc_mark(m_objects);
}

int bbMain() {
    (new c_MyApp)->m_new();
    return 0;
}

int c_MyApp::p_OnCreate() {
    if (bb_Game_isOuya == 1) bb_Game_overscan = 64;
    m_fullscreen = bbStartWindowMode == 1 ? 1 : 0;  // the host opened the first window
    m_logoSoundPlayed = 0;
    m_mode = MODE_STORY;
    bb_app_SetUpdateRate(60);
    m_lastDeviceWidth = bb_graphics_DeviceWidth();
    m_lastDeviceHeight = bb_graphics_DeviceHeight();
    if (bb_Game_HasMusic == 1) m_music->p_SQ_Init(32, 4, 3, 3, 4);
    m_accelZeroX = 0;
    m_accelZeroY = 0;
    p_Reload();
    m_game = 2;
    m_paused = 0;
    m_pauseSlide = -1;
    m_pauseY = -64;
    m_menuSlide = -32;
    for (int i = 0; i < 256; ++i) m_badges[i] = false;
    for (int i = 0; i < PAD_BACK_KEY; ++i) m_pad[i] = 0;
    for (int i = 0; i < OPTION_COUNT; ++i) m_options[i] = 0;
    m_options[OPTION_SOUND] = 1;
    for (int i = 0; i <= 70; ++i) m_scoreTable[i] = 0;
    p_Load();
    for (int i = 0; i <= 32; ++i) m_channels[i] = i;
    p_ApplyMusicOption();
    // The one place that decides the window mode of a start: the host opens
    // the window as the command line asked (--fullscreen, --windowed), for
    // this run only; without either it opens as a window and the saved
    // option switches it to full screen.
    if (bbStartWindowMode == -1 && m_options[OPTION_FULLSCREEN] == 1) p_FullscreenFlip();
    return 0;
}

// The console reads joystick 0's menu button as back.
const int kConsoleMenuButton = KEY_JOY_BASE + JOY_GUIDE;

// Rate measurement shared by updates and renders: raw rate from the time
// since the last call (kept when the clock has not advanced), smoothed.
static void MeasureRate(int& lastMs, int& raw, int& smooth) {
    int now = bb_app_Millisecs();
    if (now > lastMs) raw = 1000 / (now - lastMs);
    smooth = (smooth * 9 + raw) / 10;
    lastMs = now;
}

void c_MyApp::p_UpdatePointer() {
    m_lastMouseX = m_mouseX;
    m_lastMouseY = m_mouseY;
    float w = static_cast<float>(bb_graphics_DeviceWidth());
    float h = static_cast<float>(bb_graphics_DeviceHeight());
    float ovx = bb_Game_overscan;
    float ovy = w > 0 ? bb_Game_overscan * h / w : 0;
    // Before the first render there is no scale yet: take device pixels.
    float sx = m_scaleX > 0 ? m_scaleX : 1;
    float sy = m_scaleY > 0 ? m_scaleY : 1;
    m_mouseX = static_cast<int>((bb_input_MouseX() - ovx) / sx);
    m_mouseY = static_cast<int>((bb_input_MouseY() - ovy) / sy);
    bool left = bb_input_MouseDown(0);
    if (!m_wasMouseDown && left) {
        m_lastMouseX = m_mouseX;
        m_lastMouseY = m_mouseY;
    }
    m_mouseDown = left ? 1 : 0;
    m_mouseHit = bb_input_MouseHit(0);

    for (int i = 0; i < 10; ++i) {
        m_touchDown[i] = 0;
        m_touchX[i] = NOVALUE;
        m_touchY[i] = NOVALUE;
        if (bb_input_TouchDown(i)) {
            m_touchDown[i] = 1;
            m_touchX[i] = static_cast<int>((bb_input_TouchX(i) - ovx) / sx);
            m_touchY[i] = static_cast<int>((bb_input_TouchY(i) - ovy) / sy);
            m_mouseDown = 1;
        }
    }
    m_wasMouseDown = left ? 1 : 0;
    if (m_mouseDown == 0) {
        m_touchLatch = 0;
        m_iconPress = 0;
    }
}

void c_MyApp::p_UpdateLatches() {
    const bool any = p_AnyControlHeld();
    const bool back = p_PlayKeyAll(CTRL_BACK, 1) != 0;
    if (!any) m_keyLatch = 0;
    if (any && m_keyLatch == 0 && m_touchLatch == 0 && back && m_mode == MODE_MENU &&
        (m_creditsOpen || m_optionsOpen)) {
        m_creditsOpen = 0;
        m_keyLatch = 1;
        m_touchLatch = 1;
    }
    if (m_optionsOpen) {
        m_keyLatch = 1;
        m_touchLatch = 1;
    }
}

void c_MyApp::p_RunScreen() {
    bool menuOverlays = false;
    switch (m_mode) {
        case MODE_MENU:
            p_Menu();
            menuOverlays = true;
            break;
        case MODE_RETURN_TO_MENU:
            p_LoadMenu();
            p_PlaySFX(SFX_STARTUP, 1, 1, 0);
            m_mode = MODE_MENU;
            menuOverlays = true;
            break;
        case MODE_QUIT_DIALOG: p_OuyaQuit(); break;
        case MODE_STORY: p_StartScroll(); break;
        case MODE_PLAYING:
            p_BelowCornerIcon(&c_MyApp::p_RunGame);
            p_InGame();
            if (m_mode == MODE_PLAYING && m_gameOver > 0) p_GameOver();
            break;
        case MODE_LOADING_GAME: p_RunLoadGame(); break;
        case MODE_TITLE:
            p_BelowCornerIcon(&c_MyApp::p_RunTitle);
            p_InGame();
            break;
        case MODE_ENTER_TITLE:
            m_titleTimer = 0;
            m_mode = MODE_TITLE;
            p_PlaySFX(SFX_ENTER_TITLE, 1, 1, 0);
            break;
    }
    if (menuOverlays) {
        p_GameOver();
        if (m_creditsOpen || m_creditsSlide > 0) p_CreditBox();
    }
}

int c_MyApp::p_OnUpdate() {
    // 1. The back button.
    if (bb_Game_isOuya == 0) m_pad[PAD_BACK_KEY] = bb_input_KeyHit(KEY_BACK);
    else m_pad[PAD_BACK_KEY] = bb_input_KeyHit(kConsoleMenuButton) ? 1 : 0;

    // 2. Global keys. The host sends Alt+Enter as F11; the switch is kept at
    // once, so the next start opens the same way. F12 asks the next render
    // for a screenshot.
    if (bb_input_KeyHit(KEY_F1)) bb_Game_DebugMode = 1 - bb_Game_DebugMode;
    if (bb_input_KeyHit(KEY_F2)) m_hideHud = 1 - m_hideHud;
    if (bb_input_KeyHit(KEY_F11)) {
        p_FullscreenFlip();
        p_Save();
    }
    if (bb_input_KeyHit(KEY_F12)) m_shotPending = 1;
    if (bb_input_KeyHit(KEY_F4) || bb_input_KeyHit(KEY_CLOSE)) bbError(String());

    // 3. Asynchronous events.
    bb_asyncevent_UpdateAsyncEvents();

    // 4. Streamed music follows the pause flag.
    if (bb_Game_HasMusicStream == 1 && m_tunePlaying == 1) {
        if (m_paused == 1) bb_audio_PauseMusic();
        else bb_audio_ResumeMusic();
    }

    // 5. Update rate.
    MeasureRate(m_updateLastMs, m_updateFpsRaw, m_updateFps);

    // 6. The music sequencer, once initialised (by the build's switch or the
    // music option).
    if (m_music->m_baseChannel > 0) m_music->p_SQ_Alive_U(m_paused, p_MusicAllowed());

    // 7, 8. Pointer and fingers in virtual pixels.
    p_UpdatePointer();

    // 9. The held-control latch.
    p_UpdateLatches();

    // 10. One screen, then the sliding boxes; or a loading step.
    if (m_loadStep == 0) {
        p_RunScreen();
        if (m_creditsOpen == 0 && m_creditsSlide > 0) --m_creditsSlide;
        if (m_creditsOpen == 1 && m_creditsSlide < SLIDE_IN) ++m_creditsSlide;
        if (m_optionsOpen || m_optionsSlide > 0) {
            p_OptionBox();
            if (m_optionsOpen == 0 && m_optionsSlide > 0) --m_optionsSlide;
            if (m_optionsOpen == 1 && m_optionsSlide < SLIDE_IN) ++m_optionsSlide;
        }
    } else {
        p_Loader();
    }

    // 11. iCade letters.
    if (bb_Game_iCadeControls == 1) p_iCadeKeys();

    // 12. On-screen button presses last one update.
    for (int i = 0; i < PAD_BACK_KEY; ++i)
        if (m_pad[i] == 1) m_pad[i] = 0;

    // 13. On-screen pad or tilt steering.
    if (bb_Game_iCadeControls == 1) {
        m_tiltX = m_tiltY = m_smoothTiltX = m_smoothTiltY = 0;
    } else if (bb_Game_OnScreenControls == 1 && m_mode > 5) {
        p_OnScreenControls();
    } else if (bb_Game_AccelerometerControls == 1) {
        p_TiltControls();
    }

    // 14. Debug line, and the note about the last screenshot.
    if (bb_Game_DebugMode == 1) {
        p_ResetDraw();
        float y = bb_Game_AccelerometerControls == 1 ? bb_Game_jscrh * 0.5f : bb_Game_jscrh - 16;
        p_Text(16, y, String(m_renderFps) + String(":") + String(m_scaleX) + String(",") + String(m_scaleY), 0, 0);
    }
    p_ScreenshotNote();
    return 0;
}

int c_MyApp::p_OnRender() {
    if (m_music->m_baseChannel > 0) m_music->p_SQ_Alive_R();
    MeasureRate(m_renderLastMs, m_renderFpsRaw, m_renderFps);

    int W = bb_graphics_DeviceWidth();
    int H = bb_graphics_DeviceHeight();
    bb_graphics_SetColor(m_clsRed, m_clsGreen, m_clsBlue);
    bb_graphics_SetAlpha(m_clsAlpha);
    bb_graphics_DrawRect(-1, -1, static_cast<float>(W + 2), static_cast<float>(H + 2));
    bb_graphics_SetColor(255, 255, 255);
    bb_graphics_SetAlpha(1);

    if (W != m_lastDeviceWidth || H != m_lastDeviceHeight) {
        m_loadStep = 1;
        m_lastDeviceWidth = W;
        m_lastDeviceHeight = H;
    }
    if (W <= 0 || H <= 0) return 0;  // a minimised window has nothing to fit

    // Fit: the larger scale wins, so the window is covered and the visible
    // virtual area is 480 x 270 shortened along one axis.
    float ov = bb_Game_overscan;
    float sx = (W - 2 * ov) / bb_Game_rawscrw;
    float sy = (H - 2 * ov) / bb_Game_rawscrh;
    float k;
    if (sy > sx) {
        m_fitAxis = 2;
        k = H / bb_Game_rawscrh;
        m_scaleX = m_scaleY = sy;
    } else {
        m_fitAxis = 1;
        k = W / bb_Game_rawscrw;
        m_scaleX = m_scaleY = sx;
    }
    bb_Game_jscrw = W / k;
    bb_Game_jscrh = H / k;
    m_landscape = bb_Game_jscrw >= bb_Game_jscrh ? 1 : 0;

    float ovy = ov * H / W;
    // A blend change flushes the renderer's batch, so the mode is only set
    // when it changes, starting from the mode the frame began with: runs of
    // sprites then go out in one draw call.
    int blend = bb_graphics_context->m_blend;
    for (int i = 0; i + DRAW_STRIDE <= m_drawCount; i += DRAW_STRIDE) {
        const float* r = m_drawList.Data() + i;
        bb_graphics_SetColorAlpha(r[DRAW_RED], r[DRAW_GREEN], r[DRAW_BLUE], r[DRAW_ALPHA]);
        int wanted = r[DRAW_BLEND] == BLEND_ADDITIVE ? 1 : 0;
        if (wanted != blend) {
            bb_graphics_SetBlend(wanted);
            blend = wanted;
        }
        float x = r[DRAW_X] * m_scaleX + ov;
        float y = r[DRAW_Y] * m_scaleY + ovy;
        float w = r[DRAW_SIZE_X] * m_scaleX, h = r[DRAW_SIZE_Y] * m_scaleY;
        if (r[DRAW_KIND] == KIND_RECT) {
            bb_graphics_DrawRect(x, y, w, h);
        } else if (r[DRAW_KIND] == KIND_OVAL) {
            bb_graphics_DrawEllipse(x, y, w, h);
        } else if (r[DRAW_KIND] > -1) {
            int slot = static_cast<int>(r[DRAW_KIND]);
            if (slot < IMAGE_SLOTS && m_images[slot])
                bb_graphics_DrawImage2(m_images[slot], x, y, r[DRAW_ROTATION], w * m_hdScale, h * m_hdScale,
                                       static_cast<int>(r[DRAW_FRAME]));
        }
    }
    // The picture F12 asked for is this frame, read before it is shown.
    if (m_shotPending) p_TakeScreenshot();
    bb_graphics_SetAlpha(0.5f);
    bb_graphics_SetColor(255, 255, 255);
    return 0;
}

String c_MyApp::p_GameName(int game, int style) {
    static const char* const names[9][2] = {
        {"Name of the Game", "GameName"}, {"Vuror Idi", "VurorIdi"},    {"Zuzo Variru", "DaveDova"},
        {"Zizarevizovu", "VuvoRaro"},     {"Dedu Dezu", "DeduDezu"},    {"Duze zuz Izora", "VedeRizo"},
        {"Rev Urezov", "Zevovev "},       {"Ridera Didud", "Battle  "},
    };
    if (style != 1 && style != 2) return String();
    int g = (game >= 1 && game <= 7) ? game : 0;
    return String(names[g][style - 1]);
}

// Records m_score into the current game's best and recent lists and saves.
// Each played game is recorded once: the game-over sequence records it, and
// leaving the title card afterwards (which passes here again) must not enter
// it a second time, nor a 0 when no game was played. The template game (any
// number but 1..7) has no lists of its own, so its score is not recorded
// rather than written over another game's entries.
int c_MyApp::p_LoadMenu() {
    m_bestIndex = 10 * (m_game - 1);
    if (!m_scorePending) return 0;
    m_scorePending = 0;
    if (m_game < 1 || m_game > 7) return 0;
    int s = m_score;
    int rank = -1;
    for (int i = 0; i < 10; ++i) {
        if (m_scoreTable[m_bestIndex + i] < s) {
            rank = i;
            break;
        }
    }
    if (rank >= 0) {
        for (int i = 8; i >= rank; --i) m_scoreTable[m_bestIndex + i + 1] = m_scoreTable[m_bestIndex + i];
        m_scoreTable[m_bestIndex + rank] = s;
    }
    int recent = m_bestIndex + 70;
    for (int i = 8; i >= 0; --i) m_scoreTable[recent + i + 1] = m_scoreTable[recent + i];
    m_scoreTable[recent] = s;
    p_Save();
    return 0;
}

// Losing or regaining the focus pauses a game or a title card; a game that
// has ended is not paused, so no pause outlives it into the title card.
static void PauseRule(c_MyApp* app) {
    const bool ended = app->m_mode == MODE_PLAYING && app->m_gameOver > 0;
    if (app->m_mode >= MODE_PLAYING && !ended) {
        app->m_paused = 1;
        app->m_pauseSlide = 1;
        app->m_pauseY = static_cast<int>(bb_Game_jscrh * 0.5f);
    } else {
        app->m_paused = app->m_pauseSlide = app->m_pauseY = 0;
    }
}

int c_MyApp::p_OnSuspend() {
    bb_input_DisableKeyboard();
    bb_Game_iCadeControls = 0;
    for (int i = 0; i < PAD_BACK_KEY; ++i) m_pad[i] = 0;
    PauseRule(this);
    bb_app_SetUpdateRate(5);
    p_Save();
    return 0;
}

int c_MyApp::p_OnResume() {
    PauseRule(this);
    bb_app_SetUpdateRate(60);
    bb_input_DisableKeyboard();
    bb_Game_iCadeControls = 0;
    for (int i = 0; i < PAD_BACK_KEY; ++i) m_pad[i] = 0;
    return 0;
}
