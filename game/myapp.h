// c_MyApp: the game's one app object. It holds every piece of game state,
// grouped below by the screen or game that owns it; each group's methods
// live in the source file named beside it.
#pragma once
#include <initializer_list>

#include "audio/audio.h"
#include "framework/app.h"
#include "framework/random.h"
#include "game/globals.h"
#include "graphics/graphics.h"

class c_SQPlayer;

// "No value": optional helper arguments, a finger that is up, and the
// rectangle kind of the draw list.
const int NOVALUE = -3717;
const float KIND_RECT = -3717.0f;
const float KIND_OVAL = -3716.0f;

// The draw list (m_drawList): records of DRAW_STRIDE floats. The kind is an
// image slot, KIND_RECT or KIND_OVAL; the size is an image's scale, a
// rectangle's width and height or an oval's radii. The last record's room is
// never used: a full list holds 2499 records.
enum {
    DRAW_KIND = 0,
    DRAW_X = 1,
    DRAW_Y = 2,
    DRAW_ROTATION = 3,
    DRAW_SIZE_X = 4,
    DRAW_SIZE_Y = 5,
    DRAW_FRAME = 6,
    DRAW_ALPHA = 7,
    DRAW_RED = 10,
    DRAW_GREEN = 11,
    DRAW_BLUE = 12,
    DRAW_BLEND = 13,
    DRAW_STRIDE = 15,
    DRAW_RECORDS = 2500,
    DRAW_LIST_FLOATS = DRAW_STRIDE * DRAW_RECORDS,
    DRAW_LIST_FULL = DRAW_LIST_FLOATS - DRAW_STRIDE
};

// Blend values of the draw state (m_blend); anything but additive blends by alpha.
enum { BLEND_ALPHA = 1, BLEND_ADDITIVE = 3 };

// Image slots (m_images) and the frames of them that mean something.
enum {
    IMG_SPRITES = 1,  // "gfx": the mini-games' and the story's 16 x 16 sprites
    IMG_BADGES = 80,
    IMG_FONT = 90,
    IMG_TESTCARD = 91,
    IMG_STUDIO_LOGO = 93,  // the loading display's logo
    IMG_DPAD = 94,
    IMG_BUTTONS = 95,  // on-screen buttons, the gear's parts
    IMG_PARTS = 96,    // 8 x 8 pieces: the stars
    IMG_ICONS = 97,
    IMG_TITLE_LOGO = 98,
    IMG_MENU = 99,
    IMAGE_SLOTS = 100
};
enum {
    ICON_PAUSE = 0,
    ICON_QUIT = 1,
    ICON_BACK = 2,
    ICON_PLAY = 3,  // start a game, resume one
    ICON_HIGHLIGHT = 6,
    ICON_CALIBRATE = 7,
    GEAR_FRAME = 8,   // of IMG_BUTTONS: the gear's three parts are frames 8, 9 and 10
    BADGE_FRAME = 12  // of IMG_BUTTONS: the credits' corner badge
};

// Sound-effect slots (m_sounds).
enum {
    SFX_POINT = 1,
    SFX_LOSE = 2,
    SFX_CRASH = 3,
    SFX_TITLE_JINGLE = 10,  // game g's title card plays SFX_TITLE_JINGLE + g
    SFX_PLEASANT = 95,      // loaded; nothing plays it
    SFX_STARTUP = 96,       // the loader's jingle, and the return to the menu
    SFX_ENTER_TITLE = 97,
    SFX_BLIP = 98,     // cursor moves and toggles
    SFX_CONFIRM = 99,  // a choice confirmed
    SOUND_SLOTS = 100
};

// Option values (m_options): the sound mode (0 off, 1 effects and music, 2
// effects only, 3 music only), the on-screen d-pad's place and size, the
// console's overscan, and the music switch and remembered full-screen mode
// (both 0 or 1).
enum {
    OPTION_SOUND = 5,
    OPTION_PAD_X = 10,
    OPTION_PAD_HEIGHT = 11,  // above the bottom edge
    OPTION_PAD_SIZE = 12,    // in tenths
    OPTION_OVERSCAN = 14,    // 1..96
    OPTION_MUSIC = 20,
    OPTION_FULLSCREEN = 21,
    OPTION_COUNT = 25
};

// Screen numbers (m_mode).
enum {
    MODE_MENU = 1,
    MODE_RETURN_TO_MENU = 2,
    MODE_QUIT_DIALOG = 4,
    MODE_STORY = 7,
    MODE_PLAYING = 10,
    MODE_LOADING_GAME = 11,
    MODE_TITLE = 12,
    MODE_ENTER_TITLE = 13
};

// The credits and options boxes slide in over this many updates.
const int SLIDE_IN = 30;

// Abstract controls (p_PlayKey).
enum {
    CTRL_UP = 0,
    CTRL_LEFT = 3,
    CTRL_RIGHT = 5,
    CTRL_DOWN = 8,
    CTRL_A = 10,
    CTRL_B = 11,
    CTRL_X = 12,
    CTRL_Y = 13,
    CTRL_LSHOULDER = 14,
    CTRL_RSHOULDER = 15,
    CTRL_BACK = 99
};

// Every control: one held keeps the key latches set.
constexpr int ALL_CONTROLS[] = {CTRL_UP, CTRL_LEFT, CTRL_RIGHT,     CTRL_DOWN,      CTRL_A,   CTRL_B,
                                CTRL_X,  CTRL_Y,    CTRL_LSHOULDER, CTRL_RSHOULDER, CTRL_BACK};

// Pad entries (m_pad): entry c holds control c (0..15) pressed by an
// on-screen button (1, one update) or an iCade letter (2, until released);
// two further iCade buttons mean back, and the last entry is the back key's hit.
enum { PAD_BACK_1 = 16, PAD_BACK_2 = 17, PAD_BACK_KEY = 19, PAD_ENTRIES = 20 };

// Mini-game records: m_players holds records of PLAYER_STRIDE floats,
// m_objects records of OBJECT_STRIDE floats; each game names their fields.
enum { PLAYER_STRIDE = 100, OBJECT_STRIDE = 10 };
// Ridera Didud's goal counts in player record 0, which its game-over shows.
enum { FOOTBALL_PLAYER_GOALS = 7, FOOTBALL_ENEMY_GOALS = 17 };

class c_MyApp : public c_App {
public:
    c_MyApp* m_new();
    void mark() override;

    // --- Frame loop and screen state machine (game/app.cpp) ---
    int m_mode = 0;
    int m_game = 0;
    int m_loadStep = 0;
    int m_paused = 0;
    int m_pauseSlide = -1;
    int m_pauseY = -64;
    int m_gameOver = 0;
    int m_gameOverTimer = 0;
    int m_titleTimer = 0;
    int m_creditsOpen = 0;
    int m_optionsOpen = 0;
    int m_creditsSlide = 0;
    int m_optionsSlide = 0;
    int m_keyLatch = 0;
    int m_touchLatch = 0;
    int m_hideHud = 0;
    int m_fullscreen = 0;
    int m_lastDeviceWidth = 0;
    int m_lastDeviceHeight = 0;
    float m_scaleX = 0;
    float m_scaleY = 0;
    int m_fitAxis = 0;
    int m_landscape = 0;
    float m_clsRed = 0, m_clsGreen = 0, m_clsBlue = 0, m_clsAlpha = 1;
    Array<float> m_drawList;  // DRAW_RECORDS records of DRAW_STRIDE floats
    int m_drawCount = 0;
    int m_mouseX = 0, m_mouseY = 0, m_lastMouseX = 0, m_lastMouseY = 0;
    int m_mouseDown = 0, m_wasMouseDown = 0, m_mouseHit = 0;
    Array<int> m_touchDown, m_touchX, m_touchY;  // 10 fingers each
    float m_accelZeroX = 0, m_accelZeroY = 0;
    int m_updateLastMs = 0, m_updateFpsRaw = 0, m_updateFps = 0;
    int m_renderLastMs = 0, m_renderFpsRaw = 0, m_renderFps = 0;
    Array<int> m_options;  // OPTION_COUNT option values
    Array<int> m_pad;      // PAD_ENTRIES pad entries
    c_SQPlayer* m_music = nullptr;
    int m_scorePending = 0;  // 1 from a game's set-up until its score is recorded
    int m_i = 0;             // the loop index shared by every method

    int p_OnCreate() override;
    int p_OnSuspend() override;
    int p_OnResume() override;
    int p_OnUpdate() override;
    int p_OnRender() override;
    String p_GameName(int game, int style);
    int p_LoadMenu();
    void p_RunScreen();
    void p_UpdatePointer();
    void p_UpdateLatches();

    // --- Asset loading and the loading display (game/loader.cpp) ---
    int m_hdLevel = 1;
    float m_hdScale = 1.0f;
    Array<c_Image*> m_images;  // IMAGE_SLOTS image slots
    Array<int> m_imageInfo;    // 300: frame width, height, count per slot
    int m_fontSlot = IMG_FONT;
    int m_logoSoundPlayed = 0;
    float m_scrollY = 0;
    int m_storyBegun = 0;  // 1 once the story has scrolled: a reload keeps its place
    int m_spinAngle = 0;
    int m_spinRadius = 0;

    void p_SetHdLevel();
    String p_ImageFile(String name);
    void p_EmptyImageSlot(int slot);
    int p_LoadImg(int slot, String name, int frameWidth, int frameHeight, int frames, int flags);
    int p_LoadFont(int slot, String name, int width, int height);
    int p_Reload();
    int p_Loader();
    int p_WaitStart(int style);

    // --- Drawing helpers and retro text (game/draw.cpp) ---
    float m_sizeX = 1, m_sizeY = 1, m_rotation = 0;
    float m_red = 255, m_green = 255, m_blue = 255, m_alpha = 1;
    int m_blend = BLEND_ALPHA;
    int m_cursorX = 0, m_cursorY = 0;
    float m_screenW = 0, m_screenH = 0;
    Array<float> m_stars;  // 510 records of 10 floats
    int m_starCount = 100;
    Array<float> m_particles;  // 510 records of 10 floats
    int m_particleCount = 250;

    int p_CLS2D(float r, float g, float b, float a);
    int p_ResetDraw();
    int p_SetSize(float sx, float sy = NOVALUE);
    int p_SetRot(float angle);
    int p_SetCol(float r, float g, float b, float a = NOVALUE);
    int p_Alpha(float a);
    int p_Ink(int ink, int brightness);
    int p_DrawImg(int slot, float x, float y, float frame);
    int p_Rect(float x, float y, float w, float h);
    int p_Oval(float x, float y, float rx, float ry);
    int p_Text(float x, float y, String text, float alignX, float alignY);
    int p_CPC_Locate(int column, int row);
    int p_CPC_Print(String text);
    int p_DoStars(float dx, float dy);
    int p_ResetStars(int count);
    int p_ResetParticles(int count);
    int p_Rand(int lo, int hi);
    String p_rstr(int value, int width, String pad);

    // --- Controls (game/controls.cpp) ---
    int m_iCadeChar = 0;
    float m_analogX = 0, m_analogY = 0;
    int m_stickAnchorX = -1, m_stickAnchorY = 0;
    float m_rampX = 0, m_rampY = 0;
    int m_buttonHit = 0;
    int m_padX = 0, m_padY = 0;
    float m_padScale = 1;
    int m_pinchActive = 0, m_pinchLast = 0;
    float m_tiltX = 0, m_tiltY = 0, m_smoothTiltX = 0, m_smoothTiltY = 0;

    int p_PlayKey(int control, int analogue, int player);
    int p_PlayKeyAll(int control, int analogue);
    bool p_AnyControlHeld();  // any control of any player
    float p_StickX(int axis, int player);
    float p_StickY(int axis, int player);
    int p_AnalogueControl();
    int p_MouseIn(float x, float y, float w, float h);
    int p_MouseIn_Centered(float cx, float cy, float w, float h);
    int p_Touch(float x, float y, float w, float h);
    int p_OnImage(int slot, float x, float y);  // a finger in the image's box, drawing nothing
    int p_Button(int slot, float x, float y, int frame);
    int p_Button0(int slot, float x, float y, int frame);
    int p_iCade(int on);
    int p_iCadeKeys();  // applies waiting iCade characters to m_pad
    int p_FullscreenFlip();
    int p_OnScreenControls();
    int p_TiltControls();

    // --- Story scroll and game-selection menu (game/menu.cpp) ---
    int m_layoutY = 0;
    int m_blink = 0;
    int m_menuCursor = 0;
    int m_menuSlide = -32;
    float m_swipeSpeed = 0;

    int p_StartScroll();
    int p_Menu();

    // --- Pause menu, options box and quit dialog (game/pause.cpp, game/options.cpp) ---
    int m_pauseCursor = 0;
    float m_gearAngle = 0;
    int m_layoutX = 0;
    int m_optionCursor = 0;
    int m_optionRow = 0;
    int m_optKeyLatch = 0, m_optTouchLatch = 0;
    int m_iconPress = 0;  // 1 while a press that landed on the corner icon is held

    struct IconPick {
        bool touched = false;  // by a finger, the touch latch clear
        bool chosen = false;   // with A under the cursor, the key latch clear
    };

    void p_BelowCornerIcon(int (c_MyApp::*screen)());
    int p_InGame();
    bool p_LatchedPress(int& latch, std::initializer_list<int> controls);
    int p_Gear(float x, float y, float lastTurn);
    int p_OverscanSlider(float x, float textY, float barY, int& latch, bool tapJumps);
    IconPick p_PauseIcon(float x, float y, int frame, bool selected);
    int p_PauseMenu();
    int p_OptionBox();
    int p_OuyaQuit();

    // --- Game over and rankings (game/gameover.cpp) ---
    int p_GameOver();
    String p_MyNth();

    // --- Credits (game/credits.cpp) ---
    float m_creditScroll = 0;
    int m_creditLine = 0;

    int p_CreditBox();

    // --- Settings, best scores and badges (game/save.cpp) ---
    Array<bool> m_badges;     // 256 flags
    Array<int> m_scoreTable;  // 350: best at 10g.., recent at 70+10g..

    String p_SaveText();
    int p_Save();
    int p_Load();

    // --- Sound effects and tunes (game/audio/sfx.cpp) ---
    Array<c_Sound*> m_sounds;  // SOUND_SLOTS sound slots
    Array<int> m_channels;     // 33 channel numbers
    int m_sfxChannel = 0;
    int m_tunePlaying = 0;
    int m_sfxPlays[SOUND_SLOTS] = {};  // effects played per slot that the sound mode let through
    int m_lastSfxSlot = -1;            // slot of the last effect that passed the sound-mode gate
    float m_lastSfxRate = 0, m_lastSfxVolume = 0, m_lastSfxPan = 0;

    int p_LoadSFX(int slot);
    int p_PlaySFX(int slot, float rate = 1, float volume = 1, float pan = 0);
    int p_PlayTune(String name, int flags);
    int p_StopTune();

    // --- The music option and each game's tune (game/audio/music.cpp) ---
    int p_MusicAllowed();
    int p_InitMusic();
    int p_StartGameTune();
    int p_ApplyMusicOption();

    // --- Screenshots (game/screenshot.cpp) ---
    int m_shotPending = 0;    // 1 from the F12 press until the next render takes the picture
    int m_shotNoteTimer = 0;  // updates the note about the last picture stays on screen
    int m_shotFailed = 0;     // 1 when the last picture could not be written

    int p_TakeScreenshot();
    int p_ScreenshotNote();

    // --- Mini-game frame and the template game (game/minigames/frame.cpp, skel.cpp) ---
    int m_score = 0;
    int m_shownScore = 0;
    float m_camX = 0, m_camY = 0, m_camTargetX = 0, m_camTargetY = 0;
    float m_camDX = 0, m_camDY = 0;  // the last camera easing step
    int m_bestIndex = 0;
    Array<float> m_players;  // 512: player records of 100 floats
    Array<float> m_objects;  // 128000: object records of 10 floats

    int p_GameTitle(String word1, String word2, String line1, String line2, String line3, String line4);
    int p_CommonSetup(int initPlayers);
    int p_ClearObjects();
    int p_CameraEase();
    int p_EaseShownScore();
    int p_ScoreBar();
    int p_RunTitle();
    int p_RunLoadGame();
    int p_RunGame();
    int p_GameTitle_Skel();
    int p_LoadGame_Skel();
    int p_Game_Skel();

    // --- Vuror Idi (game/minigames/vuroridi.cpp) ---
    int p_GameTitle_Vuroridi();
    int p_LoadGame_Vuroridi();
    int p_Game_Vuroridi();

    // --- Zuzo Variru (game/minigames/rising.cpp) ---
    int p_GameTitle_Rising();
    int p_LoadGame_Rising();
    int p_Game_Rising();

    // --- Zizarevizovu (game/minigames/transformers.cpp) ---
    int p_GameTitle_Transformers();
    int p_LoadGame_Transformers();
    int p_Game_Transformers();

    // --- Dedu Dezu (game/minigames/dedudezu.cpp) ---
    int p_GameTitle_DeduDezu();
    int p_LoadGame_DeduDezu();
    int p_Game_DeduDezu();

    // --- Duze zuz Izora (game/minigames/zur.cpp) ---
    int p_GameTitle_ZUR();
    int p_LoadGame_ZUR();
    int p_Game_ZUR();
    int p_ZUR_Lay();

    // --- Rev Urezov (game/minigames/zevovever.cpp) ---
    int p_GameTitle_Zevovever();
    int p_LoadGame_Zevovever();
    int p_Game_Zevovever();
    int p_NextLander();

    // --- Ridera Didud (game/minigames/football.cpp) ---
    int p_GameTitle_Football();
    int p_LoadGame_Football();
    int p_Game_Football();
};

// Creates the app (the program's bbMain).
int bbMain();
