// Start-up values of the framework's module globals, and the collector's
// roots among them.
#include "framework/globals.h"

#include "audio/audio.h"
#include "framework/app.h"
#include "framework/random.h"
#include "graphics/graphics.h"

void bbMarkFrameworkRoots() {
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
}

void bbInitFramework() {
    gc_assign(bb_app__app, nullptr);
    gc_assign(bb_app__delegate, nullptr);
    bb_app__game = BBGame::Game();
    gc_assign(bb_graphics_device, nullptr);
    gc_assign(bb_graphics_context, (new c_GraphicsContext)->m_new());
    c_Image::m_DefaultFlags = 0;
    gc_assign(bb_audio_device, nullptr);
    gc_assign(bb_input_device, nullptr);
    gc_assign(bb_graphics_renderDevice, nullptr);
    bb_app__updateRate = 0;
    gc_assign(bb_asyncevent__current, nullptr);
    gc_assign(bb_asyncevent__sources, (new c_Stack)->m_new());
    gc_assign(c_Stack::m_NIL, nullptr);
    bb_random_Seed = 1234;
}
