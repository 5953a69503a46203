// kq-scenario: a command-line front end of the scenario driver. It boots the
// game in-process on the driver's clock and runs a script of steps, input and
// checks, so a change can be looked at without writing a test.
#include <GLFW/glfw3.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "testing/gl_recorder.h"
#include "testing/scenario.h"

namespace {

const char* kUsage =
    "usage: kq-scenario [--size W H] [--state FILE] [SCRIPT]\n"
    "Runs the game under the scenario driver (use xvfb-run -a without a display).\n"
    "Script commands, one per line (# starts a comment), read from SCRIPT or stdin:\n"
    "  load | menu                 finish loading | skip to the menu\n"
    "  step [N] | update [N]       N updates with (step) or without renders\n"
    "  press KEY [HOLD] | down KEY | up KEY | char TEXT\n"
    "  click VX VY | move VX VY | mousedown | mouseup   (virtual pixels)\n"
    "  pad PORT AX AY [BUTTON...]  a gamepad: left stick and held buttons\n"
    "  resize W H | suspend | resume\n"
    "  shot FILE.png | texts | state | print NAME (mode game loadStep menuCursor\n"
    "  score titleTimer keyLatch touchLatch paused gameOver)\n"
    "  expect TEXT                 fail (exit 1) unless TEXT is on screen\n"
    "  tour DIR                    visit every screen: a screenshot of each in DIR\n"
    "                              and its draw calls and textures on stdout\n"
    "Keys: a-z, 0-9, space enter kpenter escape up down left right backspace\n"
    "      delete tab grave lshift lctrl f1..f12\n";

int KeyCode(std::string name) {
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z') return GLFW_KEY_A + (name[0] - 'a');
    if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') return GLFW_KEY_0 + (name[0] - '0');
    if (name.size() >= 2 && name[0] == 'f' && std::isdigit(static_cast<unsigned char>(name[1]))) {
        int n = std::stoi(name.substr(1));
        if (n >= 1 && n <= 12) return GLFW_KEY_F1 + n - 1;
    }
    static const std::map<std::string, int> named = {
        {"space", GLFW_KEY_SPACE},        {"enter", GLFW_KEY_ENTER},
        {"escape", GLFW_KEY_ESCAPE},      {"up", GLFW_KEY_UP},
        {"down", GLFW_KEY_DOWN},          {"left", GLFW_KEY_LEFT},
        {"right", GLFW_KEY_RIGHT},        {"backspace", GLFW_KEY_BACKSPACE},
        {"delete", GLFW_KEY_DELETE},      {"tab", GLFW_KEY_TAB},
        {"grave", GLFW_KEY_GRAVE_ACCENT}, {"lshift", GLFW_KEY_LEFT_SHIFT},
        {"lctrl", GLFW_KEY_LEFT_CONTROL}, {"kpenter", GLFW_KEY_KP_ENTER},
    };
    auto it = named.find(name);
    return it == named.end() ? -1 : it->second;
}

int Field(c_MyApp* app, const std::string& name, bool* ok) {
    *ok = true;
    if (name == "mode") return app->m_mode;
    if (name == "game") return app->m_game;
    if (name == "loadStep") return app->m_loadStep;
    if (name == "menuCursor") return app->m_menuCursor;
    if (name == "score") return app->m_score;
    if (name == "titleTimer") return app->m_titleTimer;
    if (name == "keyLatch") return app->m_keyLatch;
    if (name == "touchLatch") return app->m_touchLatch;
    if (name == "paused") return app->m_paused;
    if (name == "gameOver") return app->m_gameOver;
    *ok = false;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int width = 960, height = 540;
    std::string stateFile, scriptFile;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--size" && i + 2 < argc) {
            width = std::atoi(argv[++i]);
            height = std::atoi(argv[++i]);
        } else if (a == "--state" && i + 1 < argc) {
            stateFile = argv[++i];
        } else if (a == "-h" || a == "--help") {
            std::cout << kUsage;
            return 0;
        } else if (scriptFile.empty() && a[0] != '-') {
            scriptFile = a;
        } else {
            std::cerr << kUsage;
            return 2;
        }
    }
    std::string state;
    if (!stateFile.empty()) {
        std::ifstream in(stateFile, std::ios::binary);
        if (!in) {
            std::cerr << "cannot read " << stateFile << "\n";
            return 2;
        }
        std::ostringstream ss;
        ss << in.rdbuf();
        state = ss.str();
    }
    std::ifstream scriptIn;
    if (!scriptFile.empty()) {
        scriptIn.open(scriptFile);
        if (!scriptIn) {
            std::cerr << "cannot read " << scriptFile << "\n";
            return 2;
        }
    }
    std::istream& script = scriptFile.empty() ? std::cin : scriptIn;

    Scenario s(width, height, state, !stateFile.empty());
    std::string line;
    int lineNo = 0;
    while (std::getline(script, line)) {
        ++lineNo;
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.resize(hash);
        std::istringstream in(line);
        std::string cmd;
        if (!(in >> cmd)) continue;
        auto fail = [&](const std::string& why) {
            std::cerr << "line " << lineNo << ": " << why << "\n";
            return 1;
        };
        if (cmd == "load") {
            s.FinishLoading();
        } else if (cmd == "menu") {
            s.ToMenu();
        } else if (cmd == "step" || cmd == "update") {
            int n = 1;
            in >> n;
            if (cmd == "step") s.Step(n);
            else s.Update(n);
        } else if (cmd == "press" || cmd == "down" || cmd == "up") {
            std::string name;
            in >> name;
            int key = KeyCode(name);
            if (key < 0) return fail("unknown key " + name);
            int hold = 1;
            in >> hold;
            if (cmd == "press") s.Press(key, hold);
            else if (cmd == "down") s.KeyDown(key);
            else s.KeyUp(key);
        } else if (cmd == "char") {
            std::string text;
            std::getline(in >> std::ws, text);
            for (unsigned char c : text) s.Char(c);
        } else if (cmd == "click" || cmd == "move") {
            float x = 0, y = 0;
            if (!(in >> x >> y)) return fail("needs VX VY");
            if (cmd == "click") s.Click(x, y);
            else s.MoveToVirtual(x, y);
        } else if (cmd == "mousedown") {
            s.MouseDown();
        } else if (cmd == "mouseup") {
            s.MouseUp();
        } else if (cmd == "pad") {
            int port = 0;
            float ax = 0, ay = 0;
            if (!(in >> port >> ax >> ay)) return fail("needs PORT AX AY");
            std::vector<int> buttons(15, 0);
            int b;
            while (in >> b)
                if (b >= 0 && b < 15) buttons[b] = 1;
            s.SetGamepad(port, {ax, ay}, buttons);
        } else if (cmd == "resize") {
            int w = 0, h = 0;
            if (!(in >> w >> h)) return fail("needs W H");
            s.Resize(w, h);
        } else if (cmd == "suspend") {
            s.Suspend();
        } else if (cmd == "resume") {
            s.Resume();
        } else if (cmd == "shot") {
            std::string file;
            in >> file;
            if (!s.Screenshot(file)) return fail("screenshot failed");
            std::cout << "shot " << file << "\n";
        } else if (cmd == "texts") {
            for (const Scenario::TextRun& t : s.TextRuns())
                std::cout << "text (" << t.x << ", " << t.y << ") x" << t.size << " \"" << t.text << "\"\n";
        } else if (cmd == "state") {
            std::cout << "state " << s.StateText() << "\n";
        } else if (cmd == "print") {
            std::string name;
            in >> name;
            bool ok = false;
            int v = Field(s.App(), name, &ok);
            if (!ok) return fail("unknown field " + name);
            std::cout << name << " " << v << "\n";
        } else if (cmd == "expect") {
            std::string text;
            std::getline(in >> std::ws, text);
            if (!s.HasText(text)) return fail("not on screen: " + text);
        } else if (cmd == "tour") {
            std::string dir;
            if (!(in >> dir)) return fail("needs DIR");
            GLRecorder::Install();
            s.Tour([&](const std::string& screen) {
                GLRecorder::Clear();
                s.Screenshot(dir + "/" + screen + ".png");
                std::cout << "screen " << screen << " draws " << GLRecorder::draws.size() << " textures "
                          << GLRecorder::Textures() << "\n";
            });
            GLRecorder::Remove();
        } else {
            return fail("unknown command " + cmd);
        }
    }
    return 0;
}
