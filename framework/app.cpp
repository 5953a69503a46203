// c_App registration, the delegate that creates the devices and forwards
// host events to the app and the input device, and the bb_app_* functions.
#include "framework/app.h"

#include "audio/audio.h"
#include "framework/keycodes.h"
#include "graphics/graphics.h"

c_App* bb_app__app = nullptr;
c_GameDelegate* bb_app__delegate = nullptr;
BBGame* bb_app__game = nullptr;
int bb_app__updateRate = 0;

c_Stack* c_Stack::m_NIL = nullptr;
c_IAsyncEventSource* bb_asyncevent__current = nullptr;
c_Stack* bb_asyncevent__sources = nullptr;

c_App* c_App::m_new() {
    if (bb_app__app) bbError(String("App has already been created"));
    gc_assign(bb_app__app, this);
    gc_assign(bb_app__delegate, (new c_GameDelegate)->m_new());
    bb_app__game->SetDelegate(bb_app__delegate);
    return this;
}

int c_App::p_OnClose() { return bb_app_EndApp(); }
int c_App::p_OnBack() { return bb_app_EndApp(); }

void c_GameDelegate::mark() {
    gc_mark(m_graphics);
    gc_mark(m_audio);
    gc_mark(m_input);
}

void c_GameDelegate::StartGame() {
    gc_assign(m_graphics, new gxtkGraphics());
    bb_graphics_SetGraphicsDevice(m_graphics);
    bb_graphics_SetFont(nullptr, 32);
    gc_assign(m_audio, new gxtkAudio());
    bb_audio_SetAudioDevice(m_audio);
    gc_assign(m_input, (new c_InputDevice)->m_new());
    bb_input_SetInputDevice(m_input);
    bb_app__app->p_OnCreate();
}

void c_GameDelegate::SuspendGame() {
    bb_app__app->p_OnSuspend();
    m_audio->Suspend();
}

void c_GameDelegate::ResumeGame() {
    m_audio->Resume();
    bb_app__app->p_OnResume();
}

void c_GameDelegate::UpdateGame() {
    m_input->p_BeginUpdate();
    bb_app__app->p_OnUpdate();
    m_input->p_EndUpdate();
}

void c_GameDelegate::RenderGame() {
    int mode = m_graphics->BeginRender();
    if (mode == 0) {
        bb_app__app->p_OnRender();
        m_graphics->EndRender();
        return;
    }
    bb_graphics_BeginRender();
    if (mode != 2) bb_app__app->p_OnRender();
    bb_graphics_renderDevice = nullptr;
    m_graphics->EndRender();
}

void c_GameDelegate::KeyEvent(int event, int data) {
    switch (event) {
        case BBGameEvent::KeyDown:
            m_input->p_KeyEvent(event, data);
            if (data == KEY_BACK) bb_app__app->p_OnBack();
            if (data == KEY_CLOSE) bb_app__app->p_OnClose();
            break;
        case BBGameEvent::KeyUp:
        case BBGameEvent::KeyChar: m_input->p_KeyEvent(event, data); break;
    }
}

void c_GameDelegate::MouseEvent(int event, int data, float x, float y) { m_input->p_MouseEvent(event, data, x, y); }

void c_GameDelegate::TouchEvent(int event, int data, float x, float y) { m_input->p_TouchEvent(event, data, x, y); }

void c_GameDelegate::MotionEvent(int event, int data, float x, float y, float z) {
    m_input->p_MotionEvent(event, data, x, y, z);
}

void c_GameDelegate::DiscardGraphics() { m_graphics->DiscardGraphics(); }

int bb_app_SetUpdateRate(int hz) {
    bb_app__updateRate = hz;
    bb_app__game->SetUpdateRate(hz);
    return 0;
}
int bb_app_UpdateRate() { return bb_app__updateRate; }
int bb_app_Millisecs() { return bb_app__game->Millisecs(); }
int bb_app_SaveState(String state) { return bb_app__game->SaveState(state); }
String bb_app_LoadState() { return bb_app__game->LoadState(); }
int bb_app_StateDamaged(String why) {
    bb_app__game->StateDamaged(why);
    return 0;
}
String bb_app_LoadString(String path) { return bb_app__game->LoadString(path); }
int bb_app_EndApp() {
    bbError(String());
    return 0;
}
int bb_app_DeviceWidth() { return bb_graphics_DeviceWidth(); }
int bb_app_DeviceHeight() { return bb_graphics_DeviceHeight(); }

void c_Stack::mark() { gc_mark(m_data); }

void c_Stack::p_Push(c_IAsyncEventSource* source) {
    if (m_length == m_data.Length()) m_data = m_data.Resize(m_length * 2 + 10);
    gc_assign(m_data[m_length++], source);
}

void c_Stack::p_RemoveEach(c_IAsyncEventSource* source) {
    int j = 0;
    for (int i = 0; i < m_length; ++i)
        if (m_data[i] != source) m_data[j++] = m_data[i];
    for (int i = j; i < m_length; ++i) m_data[i] = nullptr;
    m_length = j;
}

int bb_asyncevent_UpdateAsyncEvents() {
    if (bb_asyncevent__current) return 0;
    int i = 0;
    while (bb_asyncevent__sources && i < bb_asyncevent__sources->p_Length()) {
        bb_asyncevent__current = bb_asyncevent__sources->p_Get(i);
        bb_asyncevent__current->p_UpdateAsyncEvents();
        if (bb_asyncevent__current) ++i;
    }
    bb_asyncevent__current = nullptr;
    return 0;
}
