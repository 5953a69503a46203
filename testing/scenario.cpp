// Scenario driver: one host object per process with a platform whose clock
// the driver owns, a fresh runtime, app and working directory per Scenario,
// input through the host's entry points, draw-list decoding and screenshots.
#include "testing/scenario.h"
#include "testing/display.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "framework/app.h"
#include "graphics/graphics.h"
#include "host/glfw_game.h"
#include "host/joystick.h"
#include "runtime/gc.h"

namespace {

const double kStartTime = 1000.0;

// The platform the driver installs: its own clock, no event pumping, and a
// window that is always open and active.
class DriverPlatform : public BBHostPlatform {
public:
    double now = kStartTime;
    double Time() override { return now; }
    void Sleep(double seconds) override {
        if (seconds > 0) now += seconds;
    }
    void PollEvents() override {}
    void WaitEvents() override {}
    int WindowParam(int param) override {
        switch (param) {
            case BB_GLFW_OPENED: return 1;
            case BB_GLFW_ACTIVE: return 1;
            case BB_GLFW_ICONIFIED: return 0;
        }
        return 0;
    }
};

// Joysticks the driver sets, reported through the host's joystick source:
// a raw joystick (axes and buttons as the device lists them) or a gamepad
// in GLFW's standard layout.
class DriverJoysticks : public BBJoystickSource {
public:
    struct Joy {
        bool present = false;
        bool gamepad = false;
        std::vector<float> axes;
        std::vector<unsigned char> buttons;
    };
    std::array<Joy, 4> joys;

    bool Valid(int port) { return port >= 0 && port < 4 && joys[port].present; }
    bool Present(int port) override { return Valid(port); }
    bool IsGamepad(int port) override { return Valid(port) && joys[port].gamepad; }
    bool GamepadState(int port, unsigned char buttons[15], float axes[6]) override {
        if (!IsGamepad(port)) return false;
        const Joy& j = joys[port];
        for (int i = 0; i < 15; ++i) buttons[i] = i < static_cast<int>(j.buttons.size()) ? j.buttons[i] : 0;
        const float rest[6] = {0, 0, 0, 0, -1, -1};
        for (int i = 0; i < 6; ++i) axes[i] = i < static_cast<int>(j.axes.size()) ? j.axes[i] : rest[i];
        return true;
    }
    const float* Axes(int port, int* count) override {
        *count = Valid(port) ? static_cast<int>(joys[port].axes.size()) : 0;
        return *count ? joys[port].axes.data() : nullptr;
    }
    const unsigned char* Buttons(int port, int* count) override {
        *count = Valid(port) ? static_cast<int>(joys[port].buttons.size()) : 0;
        return *count ? joys[port].buttons.data() : nullptr;
    }
};

// The process's one host; it can be started again for the next Scenario.
class DriverHost : public BBGlfwGame {
public:
    void ResetForScenario() {
        _started = false;
        _suspended = false;
        _delegate = nullptr;
        _keyboardEnabled = false;
        _updateRate = 0;
        _iconified = false;
        _nextUpdate = 0;
        _updatePeriod = 0;
        _stateFile = BBStateFile();
    }
};

DriverJoysticks g_joysticks;
// Reports a failure to the running test, or on stderr outside of one (the
// command-line front end).
void Fail(const std::string& message) {
    if (::testing::UnitTest::GetInstance()->current_test_info()) ADD_FAILURE() << message;
    else fprintf(stderr, "scenario: %s\n", message.c_str());
}

DriverPlatform* g_platform = nullptr;
DriverHost* g_host = nullptr;
bool g_alive = false;

void EnsureHost() {
    if (g_host) return;
    if (!InitGlfwRetrying()) {
        Fail("glfwInit failed (is DISPLAY set? run under xvfb-run -a)");
        abort();
    }
    g_platform = new DriverPlatform();
    g_host = new DriverHost();
}

// The previous Scenario's audio device is orphaned with its app: close it so
// that OpenAL devices do not pile up.
void CloseAudioDevice() {
    if (!bb_audio_device) return;
    ALCcontext* ctx = static_cast<ALCcontext*>(bb_audio_device->m_alcContext);
    ALCdevice* dev = static_cast<ALCdevice*>(bb_audio_device->m_alcDevice);
    if (ctx) {
        if (alcGetCurrentContext() == ctx) alcMakeContextCurrent(nullptr);
        alcDestroyContext(ctx);
    }
    if (dev) alcCloseDevice(dev);
    bb_audio_device->m_alcContext = nullptr;
    bb_audio_device->m_alcDevice = nullptr;
    for (auto& chan : bb_audio_device->m_alChannels) {
        chan.m_alSource = 0;
        chan.m_state = 0;
    }
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::string();
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

}  // namespace

Scenario::Scenario(int width, int height, const std::string& stateText, bool haveState) {
    if (g_alive) {
        Fail("only one Scenario may be alive at a time");
        abort();
    }
    g_alive = true;

    char cwd[4096];
    if (getcwd(cwd, sizeof cwd)) m_prevDir = cwd;
    std::string tmpl = (std::filesystem::temp_directory_path() / "kq_scenario_XXXXXX").string();
    if (!mkdtemp(&tmpl[0])) {
        Fail("mkdtemp failed");
        abort();
    }
    m_workDir = tmpl;
    std::error_code ec;
    std::filesystem::create_directory_symlink(KQ_DATA_DIR, m_workDir + "/data", ec);
    if (ec) Fail("cannot link data folder: " + ec.message());
    if (haveState) {
        std::ofstream out(m_workDir + "/.zorbelstate", std::ios::binary);
        out << stateText;
    }
    if (chdir(m_workDir.c_str()) != 0) Fail("chdir " + m_workDir + " failed");
    // The state file lives in the working directory, never in the real home.
    setenv("KESTREL_QUILLONS_HOME", m_workDir.c_str(), 1);

    EnsureHost();
    CloseAudioDevice();
    g_host->ResetForScenario();
    for (auto& j : g_joysticks.joys) j = DriverJoysticks::Joy();
    bbSetJoystickSource(&g_joysticks);
    g_platform->now = kStartTime;
    g_host->SetPlatform(g_platform);

    // The start-up of the program entry, without its signal handlers: empty
    // the collector's lists, initialise the module globals, mark the roots,
    // create the app.
    gc_init1();
    gc_new_bytes = gc_alloced_bytes = gc_marked_bytes = gc_free_bytes = 0;
    gc_external_bytes = gc_new_external_bytes = 0;
    bbInit();
    gc_init2();
    bbMain();

    g_host->SetGlfwWindow(width, height, 8, 8, 8, 0, 0, 0, false);
    if (!g_host->Window()) Fail("no window");
    g_host->StartGame();
    Render();
}

Scenario::~Scenario() {
    CloseAudioDevice();
    bbSetJoystickSource(nullptr);
    if (!m_prevDir.empty() && chdir(m_prevDir.c_str()) != 0) {
        // Nothing sensible to do: the next Scenario changes directory anyway.
    }
    if (!getenv("KQ_KEEP_SCENARIO")) {
        std::error_code ec;
        std::filesystem::remove_all(m_workDir, ec);
    }
    g_alive = false;
}

c_MyApp* Scenario::App() { return static_cast<c_MyApp*>(bb_app__app); }
BBGlfwGame* Scenario::Host() { return g_host; }

void Scenario::Update(int n) {
    for (int i = 0; i < n; ++i) {
        g_platform->now += 1.0 / 60.0;
        g_host->UpdateGame();
    }
}

void Scenario::Render() { g_host->RenderGame(); }

void Scenario::Step(int n) {
    for (int i = 0; i < n; ++i) {
        Update();
        Render();
    }
}

void Scenario::AdvanceMs(int ms) { g_platform->now += ms / 1000.0; }
double Scenario::Time() { return g_platform->now; }

void Scenario::KeyDown(int glfwKey) { g_host->OnKey(glfwKey, GLFW_PRESS); }
void Scenario::KeyUp(int glfwKey) { g_host->OnKey(glfwKey, GLFW_RELEASE); }

void Scenario::Press(int glfwKey, int holdUpdates) {
    KeyDown(glfwKey);
    Update(holdUpdates);
    KeyUp(glfwKey);
    Update();
}

void Scenario::Char(unsigned ch) { g_host->OnChar(ch); }

void Scenario::MouseMove(float x, float y) {
    m_mouseX = static_cast<int>(x);
    m_mouseY = static_cast<int>(y);
    // The host reads the cursor position from the window on a button event,
    // so move the real (virtual X server) pointer as well.
    if (g_host->Window()) glfwSetCursorPos(g_host->Window(), x, y);
    g_host->OnMousePos(x, y);
}

void Scenario::MouseDown(int button) {
    g_host->OnMouseButton(button, GLFW_PRESS);
    // Should the X pointer have been clamped to the screen, put the position
    // back where the driver moved it.
    g_host->OnMousePos(m_mouseX, m_mouseY);
}

void Scenario::MouseUp(int button) {
    g_host->OnMouseButton(button, GLFW_RELEASE);
    g_host->OnMousePos(m_mouseX, m_mouseY);
}

void Scenario::MoveToVirtual(float vx, float vy) {
    c_MyApp* app = App();
    float sx = app->m_scaleX, sy = app->m_scaleY;
    if (sx <= 0 || sy <= 0) {
        Render();
        sx = app->m_scaleX;
        sy = app->m_scaleY;
    }
    int w = 0, h = 0;
    g_host->GetWindowSize(&w, &h);
    float ov = bb_Game_overscan;
    float ovy = w > 0 ? ov * h / w : 0;
    // Aim at the middle of the device pixel so truncation lands on vx, vy.
    MouseMove(vx * sx + ov + 0.5f * sx, vy * sy + ovy + 0.5f * sy);
}

void Scenario::Click(float vx, float vy, int holdUpdates) {
    MoveToVirtual(vx, vy);
    MouseDown();
    Update(holdUpdates);
    MouseUp();
    Update();
}

void Scenario::Accel(float x, float y, float z) { g_host->MotionEvent(BBGameEvent::MotionAccel, 0, x, y, z); }

void Scenario::TouchDown(int finger, float x, float y) { g_host->TouchEvent(BBGameEvent::TouchDown, finger, x, y); }
void Scenario::TouchMove(int finger, float x, float y) { g_host->TouchEvent(BBGameEvent::TouchMove, finger, x, y); }
void Scenario::TouchUp(int finger) { g_host->TouchEvent(BBGameEvent::TouchUp, finger, 0, 0); }

void Scenario::SetJoystick(int port, const std::vector<float>& axes, const std::vector<int>& buttons) {
    if (port < 0 || port >= 4) return;
    DriverJoysticks::Joy& j = g_joysticks.joys[port];
    j.present = true;
    j.gamepad = false;
    j.axes = axes;
    j.buttons.assign(buttons.begin(), buttons.end());
}

void Scenario::SetGamepad(int port, const std::vector<float>& axes, const std::vector<int>& buttons) {
    SetJoystick(port, axes, buttons);
    if (port >= 0 && port < 4) g_joysticks.joys[port].gamepad = true;
}

void Scenario::ClearJoystick(int port) {
    if (port < 0 || port >= 4) return;
    g_joysticks.joys[port] = DriverJoysticks::Joy();
}

void Scenario::Resize(int width, int height) {
    GLFWwindow* w = g_host->Window();
    if (!w) return;
    glfwSetWindowSize(w, width, height);
    // Without a window manager the server applies the size at once; wait a
    // little in case one is present.
    for (int i = 0; i < 100; ++i) {
        int fw = 0, fh = 0;
        g_host->GetWindowSize(&fw, &fh);
        if (fw == width && fh == height) break;
        glfwWaitEventsTimeout(0.01);
    }
}

void Scenario::Suspend() { g_host->SuspendGame(); }
void Scenario::Resume() { g_host->ResumeGame(); }

void Scenario::FinishLoading() {
    for (int i = 0; i < 200; ++i) {
        if (App()->m_loadStep == 0) return;
        Step();
    }
    if (App()->m_loadStep != 0) Fail("loading did not finish in 200 updates");
}

void Scenario::ToMenu() {
    FinishLoading();
    for (int i = 0; i < 5000 && App()->m_mode != MODE_MENU; ++i) {
        Step();
        // Space skips the story once SKIP shows.
        if (App()->m_mode == MODE_STORY && HasText("SKIP")) {
            KeyDown(GLFW_KEY_SPACE);
            Step();
            KeyUp(GLFW_KEY_SPACE);
        }
    }
    if (App()->m_mode != MODE_MENU) Fail("the menu was not reached");
    Step();  // the release update clears the latches
}

std::vector<Scenario::Record> Scenario::Records() {
    std::vector<Record> out;
    c_MyApp* app = App();
    Array<float> list = app->m_drawList;
    for (int i = 0; i + DRAW_STRIDE <= app->m_drawCount && i + DRAW_STRIDE <= list.Length(); i += DRAW_STRIDE) {
        Record r;
        r.kind = list[i + DRAW_KIND];
        r.x = list[i + DRAW_X];
        r.y = list[i + DRAW_Y];
        r.rotation = list[i + DRAW_ROTATION];
        r.sx = list[i + DRAW_SIZE_X];
        r.sy = list[i + DRAW_SIZE_Y];
        r.frame = list[i + DRAW_FRAME];
        r.alpha = list[i + DRAW_ALPHA];
        r.r = list[i + DRAW_RED];
        r.g = list[i + DRAW_GREEN];
        r.b = list[i + DRAW_BLUE];
        r.blend = list[i + DRAW_BLEND];
        out.push_back(r);
    }
    return out;
}

std::vector<Scenario::TextRun> Scenario::TextRuns() {
    std::vector<TextRun> out;
    c_MyApp* app = App();
    float font = static_cast<float>(app->m_fontSlot);
    float cw = 8;
    if (app->m_imageInfo.Length() > 3 * app->m_fontSlot && app->m_imageInfo[3 * app->m_fontSlot] > 0)
        cw = static_cast<float>(app->m_imageInfo[3 * app->m_fontSlot]);
    bool open = false;
    float lastX = 0, lastY = 0;
    for (const Record& r : Records()) {
        if (r.kind != font) {
            open = false;
            continue;
        }
        char c = static_cast<char>(static_cast<int>(r.frame) + 32);
        float adv = cw * r.sx;
        bool joins = false;
        int blanks = 0;
        if (open && adv > 0 && std::fabs(r.y - lastY) < 0.01f && r.sx == out.back().size) {
            float cells = (r.x - lastX) / adv;
            int n = static_cast<int>(std::lround(cells));
            if (n >= 1 && std::fabs(cells - n) < 0.02f) {
                joins = true;
                blanks = n - 1;
            }
        }
        if (joins) {
            out.back().text.append(blanks, ' ');
            out.back().text += c;
        } else {
            TextRun run;
            run.text = std::string(1, c);
            run.x = r.x;
            run.y = r.y;
            run.size = r.sx;
            run.r = r.r;
            run.g = r.g;
            run.b = r.b;
            run.alpha = r.alpha;
            out.push_back(run);
        }
        open = true;
        lastX = r.x;
        lastY = r.y;
    }
    return out;
}

std::vector<std::string> Scenario::Texts() {
    std::vector<std::string> out;
    for (const TextRun& t : TextRuns()) out.push_back(t.text);
    return out;
}

bool Scenario::HasText(const std::string& s) { return FindText(s) != nullptr; }

const Scenario::TextRun* Scenario::FindText(const std::string& s) {
    for (const TextRun& t : TextRuns()) {
        if (t.text.find(s) != std::string::npos) {
            m_found.push_back(t);
            return &m_found.back();
        }
    }
    return nullptr;
}

bool Scenario::RenderFrame(const std::function<void()>& beforeSwap) {
    if (!g_host->Window() || !bb_app__delegate || !bb_app__delegate->m_graphics) return false;
    gxtkGraphics* g = bb_app__delegate->m_graphics;
    int mode = g->BeginRender();
    if (mode != 0) bb_graphics_BeginRender();
    if (mode != 2) App()->p_OnRender();
    g->Flush();
    beforeSwap();
    if (mode != 0) bb_graphics_EndRender();
    g->EndRender();
    return true;
}

bool Scenario::Screenshot(const std::string& pngPath) {
    int w = 0, h = 0;
    g_host->GetWindowSize(&w, &h);
    if (w <= 0 || h <= 0) return false;
    // The picture is read from the back buffer before the swap (the front
    // buffer of an unmanaged window is not reliably readable).
    std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 4);
    bool rendered = RenderFrame([&] {
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    });
    if (!rendered) return false;
    // GL rows run bottom-up; PNG rows top-down. Force opaque alpha.
    std::vector<unsigned char> flipped(pixels.size());
    for (int y = 0; y < h; ++y) {
        const unsigned char* src = &pixels[static_cast<size_t>(h - 1 - y) * w * 4];
        unsigned char* dst = &flipped[static_cast<size_t>(y) * w * 4];
        for (int x = 0; x < w; ++x) {
            dst[4 * x] = src[4 * x];
            dst[4 * x + 1] = src[4 * x + 1];
            dst[4 * x + 2] = src[4 * x + 2];
            dst[4 * x + 3] = 255;
        }
    }
    std::string abs = pngPath;
    if (!abs.empty() && abs[0] != '/' && !m_prevDir.empty()) abs = m_prevDir + "/" + abs;
    return stbi_write_png(abs.c_str(), w, h, 4, flipped.data(), w * 4) != 0;
}

std::string Scenario::WorkDir() { return m_workDir; }
void Scenario::ReportFailure(const std::string& message) { Fail(message); }
std::string Scenario::StateText() { return ReadFile(m_workDir + "/.zorbelstate"); }
bool Scenario::HaveStateFile() { return std::filesystem::exists(m_workDir + "/.zorbelstate"); }
