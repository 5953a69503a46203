// Initialisation of every module global in start-up order, and the
// collector's roots: the globals that hold collected objects.
#include "audio/audio.h"
#include "framework/app.h"
#include "framework/random.h"
#include "game/globals.h"
#include "graphics/graphics.h"

static void bb_mark_roots() {
    gc_mark(bb_app__app);
    gc_mark(bb_app__delegate);
    gc_mark(bb_graphics_device);
    gc_mark(bb_graphics_context);
    gc_mark(bb_audio_device);
    gc_mark(bb_input_device);
    gc_mark(bb_graphics_renderDevice);
    gc_mark(bb_asyncevent__current);
    gc_mark(bb_asyncevent__sources);
    gc_mark(c_Stack::m_NIL);
    gc_mark(bb_Game_CreditText);
}

int bbInit() {
    gc_mark_roots = bb_mark_roots;
    gc_assign(bb_app__app, nullptr);
    gc_assign(bb_app__delegate, nullptr);
    bb_app__game = BBGame::Game();
    gc_assign(bb_graphics_device, nullptr);
    gc_assign(bb_graphics_context, (new c_GraphicsContext)->m_new());
    c_Image::m_DefaultFlags = 0;
    gc_assign(bb_audio_device, nullptr);
    gc_assign(bb_input_device, nullptr);
    gc_assign(bb_graphics_renderDevice, nullptr);
    bb_Game_isOuya = 0;
    bb_Game_overscan = 0;
    bb_app__updateRate = 0;
    bb_Game_HasMusic = 0;
    bb_Game_DebugMode = 0;
    bb_Game_rawscrw = 480.0f;
    bb_Game_rawscrh = 270.0f;
    bb_Game_jscrw = 480.0f;
    bb_Game_jscrh = 270.0f;
    bb_Game_iCadeControls = 0;
    gc_assign(bb_asyncevent__current, nullptr);
    gc_assign(bb_asyncevent__sources, (new c_Stack)->m_new());
    gc_assign(c_Stack::m_NIL, nullptr);
    bb_Game_HasMusicStream = 0;
    bb_random_Seed = 1234;
    bb_Game_CreditText = bb_Game_MakeCreditText();
    bb_Game_OnScreenControls = 0;
    bb_Game_AccelerometerControls = 0;
    return 0;
}
