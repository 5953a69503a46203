// BBGlfwGame: the window and its GL context (class name and icon), the
// fixed-rate main loop, data-path mapping and image decoding; and the
// windowing library's start, retried while the display refuses.
#include "host/glfw_game.h"
#include "host/png.h"

#include <GLFW/glfw3.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "host/paths.h"

int glfwGraphicsSeq = 0;
BBGlfwGame* BBGlfwGame::_glfwGame = nullptr;

namespace {

// The real platform: GLFW's clock and event pump, the window's state.
class GlfwPlatform : public BBHostPlatform {
public:
    double Time() override { return glfwGetTime(); }
    void Sleep(double seconds) override {
        if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    }
    void PollEvents() override { glfwPollEvents(); }
    void WaitEvents() override { glfwWaitEvents(); }
    int WindowParam(int param) override {
        GLFWwindow* w = BBGlfwGame::GlfwGame()->Window();
        switch (param) {
            case BB_GLFW_OPENED: return w != nullptr;
            case BB_GLFW_ACTIVE: return w ? glfwGetWindowAttrib(w, GLFW_FOCUSED) : 0;
            case BB_GLFW_ICONIFIED: return w ? glfwGetWindowAttrib(w, GLFW_ICONIFIED) : 0;
        }
        return 0;
    }
};

GlfwPlatform g_glfwPlatform;

const char* const kWindowClass = "kestrel-quillons";
const int kIconSizes[] = {32, 64, 128, 256};
const int kCloseKey = 432;  // the framework's key code for a closed window

void KeyCallback(GLFWwindow*, int key, int scancode, int action, int mods) {
    BBGlfwGame::GlfwGame()->OnKey(key, action, mods);
}
void CharCallback(GLFWwindow*, unsigned int ch) { BBGlfwGame::GlfwGame()->OnChar(ch); }
void MouseButtonCallback(GLFWwindow*, int button, int action, int mods) {
    BBGlfwGame::GlfwGame()->OnMouseButton(button, action);
}
void CursorPosCallback(GLFWwindow*, double x, double y) { BBGlfwGame::GlfwGame()->OnMousePos(x, y); }
void WindowCloseCallback(GLFWwindow*) { BBGlfwGame::GlfwGame()->OnWindowClose(); }

}  // namespace

BBGlfwGame::BBGlfwGame()
    : _iconified(false),
      _nextUpdate(0),
      _updatePeriod(0),
      _window(nullptr),
      _platform(&g_glfwPlatform),
      _enterAsF11{false, false} {
    _glfwGame = this;
}

void BBGlfwGame::SetPlatform(BBHostPlatform* platform) { _platform = platform ? platform : &g_glfwPlatform; }

void BBGlfwGame::SetUpdateRate(int hz) {
    BBGame::SetUpdateRate(hz);
    if (_updateRate) {
        _updatePeriod = 1.0 / _updateRate;
        _nextUpdate = _platform->Time() + _updatePeriod;
    }
}

int BBGlfwGame::Millisecs() { return static_cast<int>(_platform->Time() * 1000.0); }

void BBGlfwGame::OpenUrl(String url) {}

void BBGlfwGame::SetMouseVisible(bool visible) {
    if (_window) glfwSetInputMode(_window, GLFW_CURSOR, visible ? GLFW_CURSOR_NORMAL : GLFW_CURSOR_HIDDEN);
}

String BBGlfwGame::PathToFilePath(String path) {
    if (!path.StartsWith(String("zorbel:"))) return path;
    String data("zorbel://data/");
    if (path.StartsWith(data)) return String::FromUtf8(bbDataFolder() + "/") + path.Slice(data.Length());
    static const char* const schemes[][2] = {
        {"zorbel://internal/", "./internal/"},
        {"zorbel://external/", "./external/"},
    };
    for (auto& s : schemes) {
        String prefix(s[0]);
        if (path.StartsWith(prefix)) return String(s[1]) + path.Slice(prefix.Length());
    }
    return String();
}

unsigned char* BBGlfwGame::LoadImageData(String path, int* width, int* height, int* depth) {
    FILE* f = OpenFile(path, String("rb"));
    if (!f) return nullptr;
    unsigned char* data = LoadPNG(f, width, height, depth);
    fclose(f);
    return data;
}

void BBGlfwGame::GetWindowSize(int* width, int* height) {
    *width = *height = 0;
    if (_window) glfwGetFramebufferSize(_window, width, height);
}

BBGlfwVideoMode* BBGlfwGame::GetGlfwDesktopMode() {
    const GLFWvidmode* m = glfwGetVideoMode(glfwGetPrimaryMonitor());
    if (!m) return (new BBGlfwVideoMode)->m_new(640, 480, 8, 8, 8);
    return (new BBGlfwVideoMode)->m_new(m->width, m->height, m->redBits, m->greenBits, m->blueBits);
}

Array<BBGlfwVideoMode*> BBGlfwGame::GetGlfwVideoModes() {
    int count = 0;
    const GLFWvidmode* modes = glfwGetVideoModes(glfwGetPrimaryMonitor(), &count);
    if (!modes || count <= 0) return Array<BBGlfwVideoMode*>();
    if (count > 1024) count = 1024;
    Array<BBGlfwVideoMode*> out(count);
    for (int i = 0; i < count; ++i) {
        const GLFWvidmode& m = modes[i];
        gc_assign(out[i], (new BBGlfwVideoMode)->m_new(m.width, m.height, m.redBits, m.greenBits, m.blueBits));
    }
    return out;
}

void BBGlfwGame::SetGlfwWindow(int width, int height, int red, int green, int blue, int alpha, int depth, int stencil,
                               bool fullscreen) {
    // No key stays held across the new window; the release goes through the
    // same translation as the press (Alt+Enter is released as F11).
    if (_window) {
        for (int key = GLFW_KEY_SPACE; key <= GLFW_KEY_LAST; ++key) {
            if (TransKey(key) && glfwGetKey(_window, key) == GLFW_PRESS) OnKey(key, GLFW_RELEASE);
        }
    }

    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* desktop = monitor ? glfwGetVideoMode(monitor) : nullptr;
    if (_window) {
        glfwDestroyWindow(_window);
        _window = nullptr;
    }

    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_RESIZABLE, GLFW_TRUE);
    glfwWindowHint(GLFW_RED_BITS, red);
    glfwWindowHint(GLFW_GREEN_BITS, green);
    glfwWindowHint(GLFW_BLUE_BITS, blue);
    glfwWindowHint(GLFW_ALPHA_BITS, alpha);
    glfwWindowHint(GLFW_DEPTH_BITS, depth);
    glfwWindowHint(GLFW_STENCIL_BITS, stencil);
    // The class the desktop entry's StartupWMClass names.
    glfwWindowHintString(GLFW_X11_CLASS_NAME, kWindowClass);
    glfwWindowHintString(GLFW_X11_INSTANCE_NAME, kWindowClass);
    const char* title = "Kestrel Quillons 1986";
    if (fullscreen && monitor) {
        _window = glfwCreateWindow(width, height, title, monitor, nullptr);
    } else {
        glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
        _window = glfwCreateWindow(width, height, title, nullptr, nullptr);
        if (_window) {
            if (desktop) glfwSetWindowPos(_window, (desktop->width - width) / 2, (desktop->height - height) / 2);
            glfwShowWindow(_window);
        }
    }
    if (!_window) return;  // GLFW has told why on stderr
    SetWindowIcon();
    // Without a window manager nobody hands the new window the focus, and an
    // unfocused window suspends the game.
    glfwFocusWindow(_window);
    glfwMakeContextCurrent(_window);
    ++glfwGraphicsSeq;

    glfwSetKeyCallback(_window, KeyCallback);
    glfwSetCharCallback(_window, CharCallback);
    glfwSetMouseButtonCallback(_window, MouseButtonCallback);
    glfwSetCursorPosCallback(_window, CursorPosCallback);
    glfwSetWindowCloseCallback(_window, WindowCloseCallback);
}

// The game's icon in every size drawn, for the desktop to pick from.
void BBGlfwGame::SetWindowIcon() {
    std::vector<GLFWimage> images;
    for (int size : kIconSizes) {
        int w = 0, h = 0, depth = 0;
        std::string path = "zorbel://data/appicon-" + std::to_string(size) + ".png";
        unsigned char* pixels = LoadImageData(String(path.c_str()), &w, &h, &depth);
        if (pixels && depth == 4) images.push_back(GLFWimage{w, h, pixels});
        else free(pixels);
    }
    if (!images.empty()) glfwSetWindowIcon(_window, static_cast<int>(images.size()), images.data());
    for (GLFWimage& image : images) free(image.pixels);
}

void BBGlfwGame::OnWindowClose() {
    // The framework decides what closing means (it ends the program).
    KeyEvent(BBGameEvent::KeyDown, kCloseKey);
    KeyEvent(BBGameEvent::KeyUp, kCloseKey);
    if (_window) glfwSetWindowShouldClose(_window, GLFW_FALSE);
}

void BBGlfwGame::Run() {
    if (bbStartWindowMode == 1) {
        BBGlfwVideoMode* mode = GetGlfwDesktopMode();
        SetGlfwWindow(mode->width, mode->height, mode->red, mode->green, mode->blue, 0, 0, 0, true);
    } else {
        SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
    }
    if (!_platform->WindowParam(BB_GLFW_OPENED)) return;  // no window: the caller says so
    StartGame();

    bool render = true;  // step 3: render once, then poll
    for (;;) {
        if (render) RenderGame();
        render = false;

        _platform->PollEvents();
        if (!_platform->WindowParam(BB_GLFW_OPENED)) return;
        if (_platform->WindowParam(BB_GLFW_ICONIFIED)) {
            if (!_suspended) {
                _iconified = true;
                SuspendGame();
            }
        } else if (_platform->WindowParam(BB_GLFW_ACTIVE)) {
            if (_suspended) {
                _iconified = false;
                ResumeGame();
                _nextUpdate = _platform->Time();
            }
        } else {
            if (!_suspended) SuspendGame();
        }

        if (!_updateRate || _suspended) {
            if (!_iconified) RenderGame();
            _platform->WaitEvents();
            continue;
        }

        double delay = _nextUpdate - _platform->Time();
        if (delay > 0) {
            _platform->Sleep(delay);
            continue;
        }

        int updates = 0;
        for (; updates < 4; ++updates) {
            _nextUpdate += _updatePeriod;
            UpdateGame();
            if (!_updateRate || _nextUpdate - _platform->Time() > 0) break;
        }
        if (updates < 4) {
            render = true;
            continue;
        }
        RenderGame();
        if (_updateRate) _nextUpdate = _platform->Time();
    }
}

namespace {
std::string g_initError;
void KeepInitError(int, const char* description) { g_initError = description ? description : ""; }
}  // namespace

bool bbInitGlfw(std::string* error) {
    const int kAttempts = 8;
    const useconds_t kPauseMicroseconds = 125000;
    const char* const kDisplayRefused = "Failed to open display";
    const char* display = getenv("DISPLAY");
    const bool mayRetry = display && *display;
    GLFWerrorfun previous = glfwSetErrorCallback(KeepInitError);
    bool ok = false;
    for (int attempt = 1;; ++attempt) {
        g_initError.clear();
        ok = glfwInit();
        if (ok || !mayRetry || attempt == kAttempts || g_initError.find(kDisplayRefused) == std::string::npos) break;
        usleep(kPauseMicroseconds);
    }
    glfwSetErrorCallback(previous);
    if (error) *error = g_initError;
    return ok;
}
