// The real game process, installed: it runs from any folder with its
// window's title, class and icon at 640 x 480 (the whole screen with
// --fullscreen), keeps its scores in the player's home, and ends with code
// 0 on the window manager's close request. Every start-up failure says why
// and exits non-zero (without an image it needs, naming the file).
#include <gtest/gtest.h>
// X11 after GoogleTest: its macros (None, Bool) clash with GoogleTest's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// A window property of 32-bit cardinals (empty when it is not set).
std::vector<long> Cardinals(Display* dpy, Window w, const char* name) {
    Atom type;
    int format;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> out;
    if (XGetWindowProperty(dpy, w, XInternAtom(dpy, name, False), 0, 1L << 20, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data) {
        if (format == 32) out.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + count);
        XFree(data);
    }
    return out;
}

// The game's window of the given process (others may have one of the same
// title open at the same time), as xdotool finds it; 0 when none appears.
Window WaitForWindow(pid_t pid) {
    std::string cmd = "timeout 15 xdotool search --all --sync --pid " + std::to_string(pid) +
                      " --name '^Kestrel Quillons 1986$' 2>/dev/null";
    FILE* found = popen(cmd.c_str(), "r");
    unsigned long w = 0;
    if (found && fscanf(found, "%lu", &w) != 1) w = 0;
    if (found) pclose(found);
    return w;
}

// Takes the focus away from the game's window (a suspended game saves) and
// waits for the state file.
bool SavesOnFocusLoss(Display* dpy, const std::string& stateFile) {
    Pause(500);
    XSetInputFocus(dpy, PointerRoot, RevertToPointerRoot, CurrentTime);
    XFlush(dpy);
    for (int i = 0; i < 600 && !Exists(stateFile); ++i) Pause(50);
    return Exists(stateFile);
}

// What a window manager sends when the player closes the window.
void AskToClose(Display* dpy, Window w) {
    XEvent ev = {};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, w, False, NoEventMask, &ev);
    XFlush(dpy);
}

std::string TempDir(const char* what) {
    std::string tmpl = std::string("/tmp/kq-") + what + "-XXXXXX";
    return mkdtemp(&tmpl[0]);
}

void RemoveTree(const std::string& dir) { std::filesystem::remove_all(dir); }

// A folder with a copy of the game and links to the built data folder's
// files, but for one left out; without data, no data folder at all.
std::string LoneGame(const std::string& leaveOut, bool data = true) {
    namespace fs = std::filesystem;
    std::string lone = TempDir("game");
    fs::copy_file(KQ_GAME_EXE, lone + "/kestrel-quillons");
    for (auto& e : fs::recursive_directory_iterator(KQ_DATA_DIR)) {
        fs::path rel = fs::relative(e.path(), KQ_DATA_DIR), to = lone / fs::path("data") / rel;
        if (!data) break;
        if (e.is_directory() || rel == leaveOut) continue;
        fs::create_directories(to.parent_path());
        fs::create_symlink(e.path(), to);
    }
    return lone;
}

// One start of the game: its folder, arguments and environment changes
// (a null value unsets); stdout and stderr go to out.txt and err.txt there.
struct Start {
    std::string exe = KQ_GAME_EXE;
    std::string dir;
    std::vector<std::string> args;
    std::vector<std::pair<std::string, const char*>> env;
};

pid_t Launch(const Start& s) {
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(s.dir.c_str()) != 0) _exit(90);
        for (const auto& e : s.env) e.second ? setenv(e.first.c_str(), e.second, 1) : unsetenv(e.first.c_str());
        dup2(open("out.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
        dup2(open("err.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        std::vector<const char*> argv{s.exe.c_str()};
        for (const std::string& a : s.args) argv.push_back(a.c_str());
        argv.push_back(nullptr);
        execv(s.exe.c_str(), const_cast<char* const*>(argv.data()));
        _exit(91);
    }
    return pid;
}

// The exit code, or -1000 for a signal and -2000 when it had to be killed.
int WaitExit(pid_t pid, int seconds) {
    for (int i = 0; i < seconds * 20; ++i, Pause(50)) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1000;
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -2000;
}

struct Outcome {
    int code;
    std::string out, err;
};

// Runs a start that is expected to end by itself.
Outcome RunToEnd(const Start& s) {
    int code = WaitExit(Launch(s), 30);
    return {code, ReadFile(s.dir + "/out.txt"), ReadFile(s.dir + "/err.txt")};
}

// A display server of the test's own, with extra arguments; Xvfb picks a
// free display number and reports it, digits then a newline.
class OwnDisplay {
public:
    explicit OwnDisplay(std::vector<const char*> extra) {
        int p[2];
        if (pipe(p) != 0) return;
        std::string fd = std::to_string(p[1]);
        std::vector<const char*> argv{"Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp"};
        argv.insert(argv.end(), extra.begin(), extra.end());
        argv.push_back(nullptr);
        if ((m_pid = fork()) == 0) {
            close(p[0]);
            dup2(open("/dev/null", O_WRONLY), 2);
            execvp("Xvfb", const_cast<char* const*>(argv.data()));
            _exit(91);
        }
        close(p[1]);
        std::string number;
        pollfd pfd = {p[0], POLLIN, 0};
        char c = 0;
        while (c != '\n' && poll(&pfd, 1, 20000) == 1 && read(p[0], &c, 1) == 1) number += c;
        if (c == '\n') name = ":" + std::to_string(atoi(number.c_str()));
        close(p[0]);
    }
    ~OwnDisplay() {
        if (m_pid <= 0) return;
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
    std::string name;

private:
    pid_t m_pid = -1;
};

}  // namespace

TEST(InstalledGame, RunsFromAnyFolderWithItsWindowAndItsScoresInThePlayersHome) {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) GTEST_SKIP() << "no X display (run the suite under xvfb-run)";
    std::string root = TempDir("install");
    std::string prefix = root + "/prefix", share = prefix + "/share";
    std::string cmd = std::string("'") + KQ_CMAKE_COMMAND + "' --install '" + KQ_BINARY_DIR + "' --prefix '" + prefix +
                      "' > '" + root + "/install.log' 2>&1";
    ASSERT_EQ(system(cmd.c_str()), 0) << ReadFile(root + "/install.log");
    for (const char* file : {"kestrel-quillons/data/sfx", "doc/kestrel-quillons/README.md",
                             "doc/kestrel-quillons/LICENSE", "doc/kestrel-quillons/THIRD-PARTY-NOTICES"})
        EXPECT_TRUE(Exists(share + "/" + file)) << file;
    for (const char* size : {"32x32", "64x64", "128x128", "256x256"})
        EXPECT_TRUE(Exists(share + "/icons/hicolor/" + size + "/apps/kestrel-quillons.png")) << size;
    std::string desktop = share + "/applications/kestrel-quillons.desktop";
    std::string metainfo = share + "/metainfo/io.kestrelquillons.KestrelQuillons.metainfo.xml";
    EXPECT_NE(ReadFile(desktop).find("StartupWMClass=kestrel-quillons\n"), std::string::npos);
    // The validators, where they are installed.
    EXPECT_EQ(
        system(("! command -v desktop-file-validate > /dev/null || desktop-file-validate '" + desktop + "'").c_str()),
        0);
    EXPECT_EQ(system(("! command -v appstreamcli > /dev/null || appstreamcli validate --no-net '" + metainfo +
                      "' > /dev/null")
                         .c_str()),
              0);

    // Started from an empty folder: the window, and the scores saved to
    // KESTREL_QUILLONS_HOME; the close request ends it cleanly.
    std::string elsewhere = root + "/elsewhere", home = root + "/home";
    ASSERT_EQ(mkdir(elsewhere.c_str(), 0755), 0);
    Start start;
    start.exe = prefix + "/bin/kestrel-quillons";
    start.dir = elsewhere;
    start.env = {{"KESTREL_QUILLONS_HOME", home.c_str()}};
    pid_t pid = Launch(start);
    Window w = WaitForWindow(pid);
    ASSERT_NE(w, 0u) << "the game window did not appear: " << ReadFile(elsewhere + "/err.txt");
    XWindowAttributes attr;
    ASSERT_TRUE(XGetWindowAttributes(dpy, w, &attr));
    EXPECT_EQ(attr.width, 640);
    EXPECT_EQ(attr.height, 480);
    XClassHint hint = {};
    ASSERT_TRUE(XGetClassHint(dpy, w, &hint));
    EXPECT_EQ(std::string(hint.res_name) + "/" + hint.res_class, "kestrel-quillons/kestrel-quillons");
    XFree(hint.res_name);
    XFree(hint.res_class);
    // The icon follows the window's creation: width, height, pixels, repeated.
    std::vector<long> icon, sizes;
    for (int i = 0; i < 100 && icon.empty(); ++i, Pause(50)) icon = Cardinals(dpy, w, "_NET_WM_ICON");
    for (size_t i = 0; i + 1 < icon.size(); i += 2 + icon[i] * icon[i + 1]) sizes.push_back(icon[i]);
    EXPECT_EQ(sizes, (std::vector<long>{32, 64, 128, 256}));
    EXPECT_TRUE(SavesOnFocusLoss(dpy, home + "/.zorbelstate"));
    AskToClose(dpy, w);
    EXPECT_EQ(WaitExit(pid, 20), 0);
    EXPECT_EQ(ReadFile(elsewhere + "/err.txt").find("kestrel-quillons:"), std::string::npos)
        << "a clean run tells nothing";
    EXPECT_FALSE(Exists(elsewhere + "/.zorbelstate"));
    std::string saved = ReadFile(home + "/.zorbelstate");
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '|'), 182);

    // Full screen from the command line, the scores in XDG_DATA_HOME, taken
    // over from an older version's file in the working folder (read, and
    // left as it was), and gamepad mappings (broken ones, to see that both
    // sources reach the windowing library).
    std::string xdg = root + "/xdg", folder = xdg + "/kestrel-quillons";
    rename((home + "/.zorbelstate").c_str(), (elsewhere + "/.zorbelstate").c_str());
    std::filesystem::create_directories(folder);
    const char* brokenMapping = "03000000deadbeef000000000000000,Pad,a:b0,";
    std::ofstream(folder + "/gamecontrollerdb.txt") << brokenMapping << "\n";
    start.env = {{"KESTREL_QUILLONS_HOME", nullptr},
                 {"XDG_DATA_HOME", xdg.c_str()},
                 {"SDL_GAMECONTROLLERCONFIG", brokenMapping}};
    start.args = {"--fullscreen"};
    pid = Launch(start);
    w = WaitForWindow(pid);
    ASSERT_NE(w, 0u);
    ASSERT_TRUE(XGetWindowAttributes(dpy, w, &attr));
    EXPECT_EQ(attr.width, DisplayWidth(dpy, DefaultScreen(dpy)));
    EXPECT_EQ(attr.height, DisplayHeight(dpy, DefaultScreen(dpy)));
    EXPECT_TRUE(SavesOnFocusLoss(dpy, folder + "/.zorbelstate"));
    AskToClose(dpy, w);
    EXPECT_EQ(WaitExit(pid, 20), 0);
    EXPECT_NE(ReadFile(elsewhere + "/out.txt").find("Highscore 6 Loaded"), std::string::npos);
    EXPECT_EQ(ReadFile(folder + "/.zorbelstate"), saved);
    EXPECT_EQ(ReadFile(elsewhere + "/.zorbelstate"), saved);
    std::string told = ReadFile(elsewhere + "/err.txt");
    EXPECT_NE(told.find("kestrel-quillons: gamepad mappings in " + folder + "/gamecontrollerdb.txt: "),
              std::string::npos)
        << told;
    EXPECT_NE(told.find("kestrel-quillons: gamepad mappings in SDL_GAMECONTROLLERCONFIG: "), std::string::npos) << told;
    XCloseDisplay(dpy);
    RemoveTree(root);
}

TEST(GameWindow, StartUpFailuresSayWhyAndExitNonZero) {
    // No data folder where it is looked for.
    Start start;
    start.dir = LoneGame("", false);
    start.exe = start.dir + "/kestrel-quillons";
    Outcome o = RunToEnd(start);
    EXPECT_EQ(o.code, 1);
    EXPECT_NE(o.err.find("the game's data folder is missing (looked in " + start.dir + "/data, " + start.dir +
                         "/../share/kestrel-quillons/data, "),
              std::string::npos)
        << o.err;
    EXPECT_NE(o.err.find(", ./data)"), std::string::npos) << o.err;

    // No display, then a display without GLX (no OpenGL context to give).
    ASSERT_EQ(symlink(KQ_DATA_DIR, (start.dir + "/data").c_str()), 0);
    start.env = {{"DISPLAY", nullptr}, {"WAYLAND_DISPLAY", nullptr}};
    o = RunToEnd(start);
    EXPECT_EQ(o.code, 255);
    EXPECT_EQ(o.out, "glfwInit failed\n");
    EXPECT_NE(o.err.find("kestrel-quillons: the windowing library cannot start: X11: The DISPLAY environment"),
              std::string::npos)
        << o.err;
    OwnDisplay noGlx({"-extension", "GLX"});
    ASSERT_FALSE(noGlx.name.empty()) << "Xvfb did not start";
    start.env = {{"DISPLAY", noGlx.name.c_str()}, {"KESTREL_QUILLONS_HOME", start.dir.c_str()}};
    o = RunToEnd(start);
    EXPECT_EQ(o.code, 1);
    EXPECT_NE(o.err.find("kestrel-quillons: GLX: "), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("kestrel-quillons: cannot open the game window with an OpenGL context"), std::string::npos)
        << o.err;

    // The command line.
    start.args = {"--version"};
    o = RunToEnd(start);
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(o.out.rfind("kestrel-quillons ", 0), 0u) << o.out;
    start.args = {"--help"};
    o = RunToEnd(start);
    EXPECT_EQ(o.code, 0);
    EXPECT_NE(o.out.find("--fullscreen"), std::string::npos);
    start.args = {"--windowed", "--frobnicate"};
    o = RunToEnd(start);
    EXPECT_EQ(o.code, 2);
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err.find("unknown option --frobnicate\nUsage: kestrel-quillons"), std::string::npos) << o.err;
    RemoveTree(start.dir);

    // An image it needs, missing or damaged, is named on one line. The
    // 640 x 480 window takes the "-hd" images: the font is loaded at start,
    // the icons by the loader's first step.
    const std::pair<const char*, const char*> images[] = {
        {"fonts/cpc-hd.png", "/data/fonts/cpc-hd.png is missing; the game cannot run without it"},
        {"icons-hd.png", "/data/icons-hd.png is damaged (it cannot be decoded); the game cannot run without it"},
    };
    for (auto& [file, message] : images) {
        start.dir = LoneGame(file);
        start.exe = start.dir + "/kestrel-quillons";
        start.env = {{"KESTREL_QUILLONS_HOME", start.dir.c_str()}};
        start.args = {};
        if (std::string(file) == "icons-hd.png") std::ofstream(start.dir + "/data/icons-hd.png") << "icons";
        o = RunToEnd(start);
        EXPECT_EQ(o.code, 1) << file;
        EXPECT_NE(o.err.find("kestrel-quillons: " + start.dir + message + " (reinstall the game)\n"), std::string::npos)
            << o.err;
        EXPECT_EQ(o.err.find("kestrel-quillons:"), o.err.rfind("kestrel-quillons:")) << "one line: " << o.err;
        RemoveTree(start.dir);
    }
}
