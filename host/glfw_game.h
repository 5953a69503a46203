// The desktop host on GLFW 3: window and GL context, the fixed-rate main
// loop with its suspend and catch-up rules, data paths, image and audio
// file decoding entry points, and the process entry BBZorbelGame::Main.
#pragma once
#include <string>

#include "host/game.h"

struct GLFWwindow;

// Window parameters the loop asks for (values of the GLFW 2 interface).
enum {
    BB_GLFW_OPENED = 0x20001,
    BB_GLFW_ACTIVE = 0x20002,
    BB_GLFW_ICONIFIED = 0x20003,
};

// What the main loop needs from the platform: clock, sleep, event pumping
// and window state. The GLFW implementation is the default; tests may
// install their own to drive the loop deterministically.
class BBHostPlatform {
public:
    virtual ~BBHostPlatform() {}
    virtual double Time() = 0;  // seconds
    virtual void Sleep(double seconds) = 0;
    virtual void PollEvents() = 0;
    virtual void WaitEvents() = 0;
    virtual int WindowParam(int param) = 0;
};

class BBGlfwVideoMode : public Object {
public:
    int width = 0, height = 0, red = 0, green = 0, blue = 0;
    BBGlfwVideoMode* m_new(int w, int h, int r, int g, int b) {
        width = w;
        height = h;
        red = r;
        green = g;
        blue = b;
        return this;
    }
};

extern int glfwGraphicsSeq;

class BBGlfwGame : public BBGame {
public:
    BBGlfwGame();

    static BBGlfwGame* GlfwGame() { return _glfwGame; }

    void SetUpdateRate(int hz) override;
    int Millisecs() override;
    bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz, Array<bool> buttons) override;
    void OpenUrl(String url) override;
    void SetMouseVisible(bool visible) override;
    String PathToFilePath(String path) override;

    virtual unsigned char* LoadImageData(String path, int* width, int* height, int* depth);
    virtual unsigned char* LoadAudioData(String path, int* length, int* channels, int* bytesPerSample, int* rate);
    virtual void SetGlfwWindow(int width, int height, int red, int green, int blue, int alpha, int depth, int stencil,
                               bool fullscreen);
    // Opens the first window (full screen when the command line asked for
    // it) and runs the main loop; returns when there is no window.
    virtual void Run();

    BBGlfwVideoMode* GetGlfwDesktopMode();
    Array<BBGlfwVideoMode*> GetGlfwVideoModes();

    // The window (null before the first SetGlfwWindow) and its drawable
    // size: the framebuffer size, which is what GL draws into.
    GLFWwindow* Window() { return _window; }
    void GetWindowSize(int* width, int* height);

    void SetPlatform(BBHostPlatform* platform);
    BBHostPlatform* Platform() { return _platform; }

    // Input translation (GLFW 3 callbacks feeding the host's own events).
    // mods are GLFW's modifier bits of the key event.
    void OnKey(int key, int action, int mods = 0);
    void OnChar(unsigned int ch);
    void OnMouseButton(int button, int action);
    void OnMousePos(double x, double y);
    void OnWindowClose();

    static BBGlfwGame* _glfwGame;

    bool _iconified;
    double _nextUpdate;
    double _updatePeriod;

protected:
    void SetWindowIcon();

    GLFWwindow* _window;
    BBHostPlatform* _platform;
    // Per Enter key (main, keypad): pressed with Alt, so it stands for F11
    // until it is released.
    bool _enterAsF11[2];
};

// Framework key code of a GLFW 3 key (0 when the key is not mapped), and
// the character a key press also produces (0 for none).
int TransKey(int glfwKey);
int KeyToChar(int key);

// glfwInit, asked again for about a second while the X server refuses the
// connection (it does for a moment while it resets, and now and then when
// several programs connect at once). The text of GLFW's last error goes to
// *error; the error callback in place before is kept.
bool bbInitGlfw(std::string* error);

class BBZorbelGame : public BBGlfwGame {
public:
    static void Main(int argc, const char** argv);
};

// Program start proper: argc/argv, signal handlers, collector, module
// globals (bbInit), roots, then the app (bbMain). The program on top of the
// framework defines bbInit and bbMain.
extern int argc;
extern const char** argv;
int bb_std_main(int argc, const char** argv);
int bbInit();
int bbMain();
