// Scenario driver: boots the real game in-process with a real window (under
// Xvfb), steps updates and renders on a clock it controls, feeds input through
// the host's own event entry points and exposes the draw list and the app.
#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "game/myapp.h"

class BBGlfwGame;

class Scenario {
public:
    // A fresh working directory (a temp dir with data -> KQ_DATA_DIR and,
    // when haveState, ./.zorbelstate holding stateText) that is also the
    // state folder (KESTREL_QUILLONS_HOME), a fresh runtime and
    // app, a window of width x height, and the game started. The host then
    // renders once, as its loop does before the first update. Only one
    // Scenario may be alive at a time; several may run one after another.
    explicit Scenario(int width = 640, int height = 480, const std::string& stateText = "", bool haveState = false);
    ~Scenario();
    Scenario(const Scenario&) = delete;
    Scenario& operator=(const Scenario&) = delete;

    c_MyApp* App();
    BBGlfwGame* Host();

    // Clock: starts at 1000 s; Update advances it by 1/60 s per update.
    void Update(int n = 1);
    void Render();
    void Step(int n = 1);  // n times Update + Render
    void AdvanceMs(int ms);
    double Time();

    // Keyboard through BBGlfwGame::OnKey / OnChar (GLFW 3 key codes).
    void KeyDown(int glfwKey);
    void KeyUp(int glfwKey);
    void Press(int glfwKey, int holdUpdates = 1);  // down, Update(hold), up, Update()
    void Char(unsigned ch);

    // Mouse in window pixels through OnMousePos / OnMouseButton.
    void MouseMove(float x, float y);
    void MouseDown(int button = 0);
    void MouseUp(int button = 0);
    void MoveToVirtual(float vx, float vy);  // uses the last render's fit
    // Down at a virtual position, Update(hold), up, Update().
    void Click(float vx, float vy, int holdUpdates = 1);

    // Joystick port 0..3 through the host's joystick source. SetJoystick: a
    // raw joystick, axes and buttons as GLFW lists them (left x, left y with
    // down positive, ...). SetGamepad: GLFW's gamepad layout, buttons A, B,
    // X, Y, LB, RB, back, start, guide, left thumb, right thumb, d-pad up,
    // right, down, left; axes left x, left y (down positive), right x, right
    // y, triggers (-1 released). ClearJoystick unplugs the port.
    void SetJoystick(int port, const std::vector<float>& axes, const std::vector<int>& buttons);
    void SetGamepad(int port, const std::vector<float>& axes, const std::vector<int>& buttons);
    void ClearJoystick(int port);

    // Accelerometer reading through the host's motion event.
    void Accel(float x, float y, float z = 0);
    // A finger (0..9) through the host's touch events, in window pixels.
    void TouchDown(int finger, float x, float y);
    void TouchMove(int finger, float x, float y);
    void TouchUp(int finger);

    // Window events.
    void Resize(int width, int height);
    void Suspend();
    void Resume();

    void FinishLoading();  // Step until m_loadStep == 0 (fails after 200)
    void ToMenu();         // FinishLoading, skip the story, Step until m_mode == 1

    struct Record {
        float kind, x, y, rotation, sx, sy, frame, alpha, r, g, b, blend;
    };
    std::vector<Record> Records();  // the current draw list decoded
    // Strings rebuilt from the glyph records of the font slot: one entry per
    // run of glyphs on one line advancing by whole cells (blanks between
    // glyphs are restored, leading and trailing blanks are not).
    struct TextRun {
        std::string text;
        float x, y;  // centre of the first glyph
        float size;  // text scale (record scale x)
        float r, g, b, alpha;
    };
    std::vector<TextRun> TextRuns();
    std::vector<std::string> Texts();
    bool HasText(const std::string& s);  // some run contains s
    // The first run containing s, or null; the result stays valid for the
    // Scenario's lifetime (a copy taken now).
    const TextRun* FindText(const std::string& s);

    // Renders once and writes the picture as a PNG (a relative path is
    // taken from the directory the test started in).
    bool Screenshot(const std::string& pngPath);
    // Renders once as the delegate does, calling beforeSwap after the last
    // draw call has been issued and before the buffers are swapped; false
    // when there is no window or no device yet.
    bool RenderFrame(const std::function<void()>& beforeSwap);

    // Walks the game through every screen (loading, story, menu, credits,
    // a title card, each game in play, pause, options, game over) and calls
    // atScreen with the screen's name (lower case, blanks as underscores)
    // once it is showing.
    void Tour(const std::function<void(const std::string& screen)>& atScreen);
    // Draw calls a tour screen needs beyond one per texture: textures drawn
    // both under an overlay box and over it go out twice.
    static int TexturesDrawnTwice(const std::string& screen);

    // Reports a failure to the running test, or on stderr outside of one.
    static void ReportFailure(const std::string& message);

    std::string WorkDir();
    std::string StateText();  // the state file's content ("" when absent)
    bool HaveStateFile();

private:
    std::string m_prevDir;
    std::string m_workDir;
    int m_mouseX = 0, m_mouseY = 0;
    std::deque<TextRun> m_found;  // results of FindText
};
