// The app layer: c_App that the game derives from, the one delegate the
// host drives (it owns the three devices), and the bb_app_* functions.
#pragma once
#include "audio/gxtk_audio.h"
#include "framework/input_device.h"
#include "graphics/gxtk_graphics.h"
#include "host/glfw_game.h"

class c_App : public Object {
public:
    c_App* m_new();
    virtual int p_OnCreate() { return 0; }
    virtual int p_OnSuspend() { return 0; }
    virtual int p_OnResume() { return 0; }
    virtual int p_OnUpdate() { return 0; }
    virtual int p_OnRender() { return 0; }
    int p_OnLoading() { return 0; }
    int p_OnClose();
    int p_OnBack();
};

class c_GameDelegate : public BBGameDelegate {
public:
    gxtkGraphics* m_graphics = nullptr;
    gxtkAudio* m_audio = nullptr;
    c_InputDevice* m_input = nullptr;

    c_GameDelegate* m_new() { return this; }
    void mark() override;

    void StartGame() override;
    void SuspendGame() override;
    void ResumeGame() override;
    void UpdateGame() override;
    void RenderGame() override;
    void KeyEvent(int event, int data) override;
    void MouseEvent(int event, int data, float x, float y) override;
    void TouchEvent(int event, int data, float x, float y) override;
    void MotionEvent(int event, int data, float x, float y, float z) override;
    void DiscardGraphics() override;
};

extern c_App* bb_app__app;
extern c_GameDelegate* bb_app__delegate;
extern BBGame* bb_app__game;
extern int bb_app__updateRate;

int bb_app_SetUpdateRate(int hz);
int bb_app_UpdateRate();
int bb_app_Millisecs();
int bb_app_SaveState(String state);
String bb_app_LoadState();
// The loaded state did not load whole (why says how): the host keeps the
// file aside before the next save replaces it.
int bb_app_StateDamaged(String why);
String bb_app_LoadString(String path);
int bb_app_EndApp();
int bb_app_DeviceWidth();
int bb_app_DeviceHeight();

// Asynchronous event sources (the game registers none).
class c_IAsyncEventSource : public virtual gc_interface {
public:
    virtual int p_UpdateAsyncEvents() = 0;
};

class c_Stack : public Object {
public:
    static c_Stack* m_NIL;
    Array<c_IAsyncEventSource*> m_data;
    int m_length = 0;
    c_Stack* m_new() { return this; }
    void mark() override;
    int p_Length() { return m_length; }
    c_IAsyncEventSource* p_Get(int index) { return m_data[index]; }
    void p_Push(c_IAsyncEventSource* source);
    void p_RemoveEach(c_IAsyncEventSource* source);
};

extern c_IAsyncEventSource* bb_asyncevent__current;
extern c_Stack* bb_asyncevent__sources;
int bb_asyncevent_UpdateAsyncEvents();
