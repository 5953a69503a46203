// The real game process: its window appears with its title, class and icon
// at 640 x 480 (the whole screen with --fullscreen), the window manager's
// close request ends it with code 0, every start-up failure says why and
// exits non-zero (without an image it needs, naming the file), and the
// installed tree runs from any folder with its scores in the player's home.
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

// The process that owns a window, from the _NET_WM_PID property GLFW sets.
long WindowPid(Display* dpy, Window w) {
    Atom pidAtom = XInternAtom(dpy, "_NET_WM_PID", True);
    if (pidAtom == 0) return -1;
    Atom type;
    int format;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(dpy, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
            Success &&
        data) {
        if (count == 1 && format == 32) pid = *reinterpret_cast<long*>(data);
        XFree(data);
    }
    return pid;
}

// Windows of other test processes may close while the tree is walked; the
// default handler would end this process on the BadWindow that follows.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// The window of the given process with the given title; other test
// processes may have windows of the same title open at the same time.
Window FindByName(Display* dpy, Window w, const char* name, pid_t pid) {
    char* wn = nullptr;
    if (XFetchName(dpy, w, &wn) && wn) {
        bool match = std::string(wn) == name && WindowPid(dpy, w) == pid;
        XFree(wn);
        if (match) return w;
    }
    Window root, parent, *kids = nullptr;
    unsigned n = 0;
    if (!XQueryTree(dpy, w, &root, &parent, &kids, &n)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < n && !found; ++i) found = FindByName(dpy, kids[i], name, pid);
    if (kids) XFree(kids);
    return found;
}

Window WaitForWindow(Display* dpy, pid_t pid) {
    XSetErrorHandler(IgnoreXError);
    Window w = 0;
    for (int i = 0; i < 300 && !w; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        w = FindByName(dpy, DefaultRootWindow(dpy), "Kestrel Quillons 1986", pid);
    }
    return w;
}

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

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

std::string TempDir(const char* what) {
    std::string tmpl = std::string("/tmp/kq-") + what + "-XXXXXX";
    return mkdtemp(&tmpl[0]);
}

void RemoveTree(const std::string& dir) {
    std::string cmd = "rm -rf '" + dir + "'";
    EXPECT_EQ(system(cmd.c_str()), 0);
}

// A scratch folder that sees the built data folder, as the build folder does.
std::string ScratchDir() {
    std::string dir = TempDir("window");
    EXPECT_EQ(symlink(KQ_DATA_DIR, (dir + "/data").c_str()), 0);
    return dir;
}

// One start of the game: its folder, arguments and environment changes
// (a null value unsets); stdout and stderr go to files in logDir.
struct Start {
    std::string exe = KQ_GAME_EXE;
    std::string dir;
    std::vector<std::string> args;
    std::vector<std::pair<std::string, const char*>> env;
    std::string logDir;
};

pid_t Launch(const Start& s) {
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(s.dir.c_str()) != 0) _exit(90);
        for (const auto& e : s.env) {
            if (e.second)
                setenv(e.first.c_str(), e.second, 1);
            else
                unsetenv(e.first.c_str());
        }
        int out = open((s.logDir + "/out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open((s.logDir + "/err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<const char*> argv{s.exe.c_str()};
        for (const std::string& a : s.args) argv.push_back(a.c_str());
        argv.push_back(nullptr);
        execv(s.exe.c_str(), const_cast<char* const*>(argv.data()));
        _exit(91);
    }
    return pid;
}

int WaitExit(pid_t pid, int seconds) {
    for (int i = 0; i < seconds * 20; ++i) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1000;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
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
Outcome RunToEnd(Start s) {
    std::string logs = TempDir("log");
    s.logDir = logs;
    if (s.dir.empty()) s.dir = logs;
    Outcome o;
    o.code = WaitExit(Launch(s), 30);
    o.out = ReadFile(logs + "/out.txt");
    o.err = ReadFile(logs + "/err.txt");
    RemoveTree(logs);
    return o;
}

// Waits for a file to appear (the game saves when its window loses focus).
bool WaitForFile(const std::string& path, int seconds) {
    for (int i = 0; i < seconds * 20 && !Exists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return Exists(path);
}

// Starts the game, takes the focus away from its window (a suspended game
// saves), waits for the state file and asks the window to close: the exit
// code, or -3000 without a window, -4000 without a save.
int SaveAndClose(Display* dpy, const Start& start, const std::string& stateFile) {
    pid_t pid = Launch(start);
    Window w = WaitForWindow(dpy, pid);
    if (!w) return WaitExit(pid, 0) - 1000;
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    XSetInputFocus(dpy, PointerRoot, RevertToPointerRoot, CurrentTime);
    XFlush(dpy);
    bool saved = WaitForFile(stateFile, 30);
    AskToClose(dpy, w);
    int code = WaitExit(pid, 20);
    return saved ? code : -4000;
}

// A display server of the test's own, with extra arguments; Xvfb picks a
// free display number and reports it.
class OwnDisplay {
public:
    explicit OwnDisplay(const std::vector<std::string>& extra) {
        int p[2];
        if (pipe(p) != 0) return;
        m_pid = fork();
        if (m_pid == 0) {
            close(p[0]);
            int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, 2);
            std::string fd = std::to_string(p[1]);
            std::vector<const char*> argv{"Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp"};
            for (const std::string& a : extra) argv.push_back(a.c_str());
            argv.push_back(nullptr);
            execvp("Xvfb", const_cast<char* const*>(argv.data()));
            _exit(91);
        }
        close(p[1]);
        // The number comes in two writes, the digits and then a newline: the
        // pipe stays open until both are in, or Xvfb fails on the second.
        std::string number;
        pollfd pfd = {p[0], POLLIN, 0};
        char c = 0;
        while (c != '\n' && poll(&pfd, 1, 20000) == 1 && read(p[0], &c, 1) == 1) number += c;
        if (c == '\n') m_name = ":" + std::to_string(atoi(number.c_str()));
        close(p[0]);
    }
    ~OwnDisplay() {
        if (m_pid <= 0) return;
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
    const std::string& Name() const { return m_name; }

private:
    pid_t m_pid = -1;
    std::string m_name;
};

std::string WindowClass(Display* dpy, Window w) {
    XClassHint hint = {};
    if (!XGetClassHint(dpy, w, &hint)) return "";
    std::string out = std::string(hint.res_name) + "/" + hint.res_class;
    XFree(hint.res_name);
    XFree(hint.res_class);
    return out;
}

// The sizes of the icons the window offers (_NET_WM_ICON: width, height,
// pixels, repeated).
std::vector<long> IconSizes(Display* dpy, Window w) {
    Atom icon = XInternAtom(dpy, "_NET_WM_ICON", False);
    Atom type;
    int format;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::vector<long> sizes;
    if (XGetWindowProperty(dpy, w, icon, 0, 1L << 20, False, XA_CARDINAL, &type, &format, &count, &after, &data) !=
            Success ||
        !data)
        return sizes;
    const long* v = reinterpret_cast<const long*>(data);
    for (unsigned long i = 0; i + 1 < count; i += 2 + static_cast<unsigned long>(v[i] * v[i + 1])) sizes.push_back(v[i]);
    XFree(data);
    return sizes;
}

}  // namespace

TEST(GameWindow, OpensWithItsTitleClassAndIconAndClosesCleanlyOnRequest) {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) GTEST_SKIP() << "no X display (run the suite under xvfb-run)";
    std::string dir = ScratchDir();
    Start start;
    start.dir = start.logDir = dir;
    start.env = {{"KESTREL_QUILLONS_HOME", dir.c_str()}};
    pid_t pid = Launch(start);

    Window w = WaitForWindow(dpy, pid);
    ASSERT_NE(w, 0u) << "the game window did not appear";
    XWindowAttributes attr;
    ASSERT_TRUE(XGetWindowAttributes(dpy, w, &attr));
    EXPECT_EQ(attr.width, 640);
    EXPECT_EQ(attr.height, 480);
    EXPECT_EQ(WindowClass(dpy, w), "kestrel-quillons/kestrel-quillons");
    // The icon follows the window's creation.
    std::vector<long> icons;
    for (int i = 0; i < 100 && icons.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        icons = IconSizes(dpy, w);
    }
    EXPECT_EQ(icons, (std::vector<long>{32, 64, 128, 256}));

    // Let it run for a moment, then ask it to close as a window manager does.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    AskToClose(dpy, w);
    EXPECT_EQ(WaitExit(pid, 20), 0);
    EXPECT_EQ(ReadFile(dir + "/err.txt").find("kestrel-quillons:"), std::string::npos) << "a clean run tells nothing";

    // Full screen from the command line, with gamepad mappings (broken ones,
    // to see that both sources reach the windowing library).
    const char* brokenMapping = "03000000deadbeef000000000000000,Pad,a:b0,";
    std::ofstream(dir + "/gamecontrollerdb.txt") << brokenMapping << "\n";
    start.env.push_back({"SDL_GAMECONTROLLERCONFIG", brokenMapping});
    start.args = {"--fullscreen"};
    pid = Launch(start);
    w = WaitForWindow(dpy, pid);
    ASSERT_NE(w, 0u);
    ASSERT_TRUE(XGetWindowAttributes(dpy, w, &attr));
    EXPECT_EQ(attr.width, DisplayWidth(dpy, DefaultScreen(dpy)));
    EXPECT_EQ(attr.height, DisplayHeight(dpy, DefaultScreen(dpy)));
    AskToClose(dpy, w);
    EXPECT_EQ(WaitExit(pid, 20), 0);
    std::string told = ReadFile(dir + "/err.txt");
    EXPECT_NE(told.find("kestrel-quillons: gamepad mappings in " + dir + "/gamecontrollerdb.txt: "), std::string::npos)
        << told;
    EXPECT_NE(told.find("kestrel-quillons: gamepad mappings in SDL_GAMECONTROLLERCONFIG: "), std::string::npos)
        << told;
    XCloseDisplay(dpy);
    RemoveTree(dir);
}

TEST(GameWindow, StartUpFailuresSayWhyAndExitNonZero) {
    std::string dir = ScratchDir();
    Start start;
    start.dir = dir;
    start.env = {{"DISPLAY", nullptr}, {"WAYLAND_DISPLAY", nullptr}};
    Outcome o = RunToEnd(start);
    EXPECT_EQ(o.code, 255);
    EXPECT_EQ(o.out, "glfwInit failed\n");
    EXPECT_NE(o.err.find("kestrel-quillons: the windowing library cannot start: X11: The DISPLAY environment"),
              std::string::npos)
        << o.err;

    // A display without GLX has no OpenGL context to give.
    OwnDisplay noGlx({"-extension", "GLX"});
    ASSERT_FALSE(noGlx.Name().empty()) << "Xvfb did not start";
    start.env = {{"DISPLAY", noGlx.Name().c_str()}, {"KESTREL_QUILLONS_HOME", dir.c_str()}};
    o = RunToEnd(start);
    EXPECT_EQ(o.code, 1);
    EXPECT_NE(o.err.find("kestrel-quillons: GLX: "), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("kestrel-quillons: cannot open the game window with an OpenGL context"), std::string::npos)
        << o.err;

    // No data folder where it is looked for.
    std::string lone = TempDir("lone");
    std::string cmd = "cp '" + std::string(KQ_GAME_EXE) + "' '" + lone + "/'";
    ASSERT_EQ(system(cmd.c_str()), 0);
    Start alone;
    alone.exe = lone + "/kestrel-quillons";
    alone.dir = lone;
    o = RunToEnd(alone);
    EXPECT_EQ(o.code, 1);
    EXPECT_NE(o.err.find("the game's data folder is missing (looked in " + lone + "/data, " + lone +
                         "/../share/kestrel-quillons/data, "),
              std::string::npos)
        << o.err;
    EXPECT_NE(o.err.find(", ./data)"), std::string::npos) << o.err;

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
    RemoveTree(lone);
    RemoveTree(dir);
}

TEST(InstalledGame, RunsFromAnyFolderWithItsScoresInThePlayersHome) {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) GTEST_SKIP() << "no X display (run the suite under xvfb-run)";
    std::string root = TempDir("install");
    std::string prefix = root + "/prefix";
    std::string cmd = std::string("'") + KQ_CMAKE_COMMAND + "' --install '" + KQ_BINARY_DIR + "' --prefix '" + prefix +
                      "' > '" + root + "/install.log' 2>&1";
    ASSERT_EQ(system(cmd.c_str()), 0) << ReadFile(root + "/install.log");

    std::string share = prefix + "/share";
    EXPECT_TRUE(Exists(share + "/kestrel-quillons/data/vexa_font.png"));
    EXPECT_TRUE(Exists(share + "/kestrel-quillons/data/sfx"));
    for (const char* doc : {"README.md", "LICENSE", "THIRD-PARTY-NOTICES"})
        EXPECT_TRUE(Exists(share + "/doc/kestrel-quillons/" + doc)) << doc;
    for (const char* size : {"32x32", "64x64", "128x128", "256x256"})
        EXPECT_TRUE(Exists(share + "/icons/hicolor/" + size + "/apps/kestrel-quillons.png")) << size;
    std::string desktop = share + "/applications/kestrel-quillons.desktop";
    std::string metainfo = share + "/metainfo/io.kestrelquillons.KestrelQuillons.metainfo.xml";
    EXPECT_NE(ReadFile(desktop).find("StartupWMClass=kestrel-quillons\n"), std::string::npos);
    if (system("command -v desktop-file-validate > /dev/null") == 0) {
        EXPECT_EQ(system(("desktop-file-validate '" + desktop + "'").c_str()), 0);
    }
    if (system("command -v appstreamcli > /dev/null") == 0) {
        EXPECT_EQ(system(("appstreamcli validate --no-net '" + metainfo + "' > /dev/null").c_str()), 0);
    }

    // Started from an empty folder: the scores go to KESTREL_QUILLONS_HOME.
    std::string elsewhere = root + "/elsewhere", home = root + "/home";
    ASSERT_EQ(mkdir(elsewhere.c_str(), 0755), 0);
    Start start;
    start.exe = prefix + "/bin/kestrel-quillons";
    start.dir = start.logDir = elsewhere;
    start.env = {{"KESTREL_QUILLONS_HOME", home.c_str()}};
    ASSERT_EQ(SaveAndClose(dpy, start, home + "/.zorbelstate"), 0) << ReadFile(elsewhere + "/err.txt");
    EXPECT_FALSE(Exists(elsewhere + "/.zorbelstate"));
    std::string saved = ReadFile(home + "/.zorbelstate");
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '|'), 182);

    // XDG_DATA_HOME, and an older version's file in the working folder is
    // taken over: read, and the next save goes to the player's folder.
    std::string xdg = root + "/xdg";
    rename((home + "/.zorbelstate").c_str(), (elsewhere + "/.zorbelstate").c_str());
    start.env = {{"KESTREL_QUILLONS_HOME", nullptr}, {"XDG_DATA_HOME", xdg.c_str()}};
    ASSERT_EQ(SaveAndClose(dpy, start, xdg + "/kestrel-quillons/.zorbelstate"), 0)
        << ReadFile(elsewhere + "/err.txt");
    EXPECT_NE(ReadFile(elsewhere + "/out.txt").find("Highscore 6 Loaded"), std::string::npos);
    EXPECT_EQ(ReadFile(xdg + "/kestrel-quillons/.zorbelstate"), saved);
    EXPECT_EQ(ReadFile(elsewhere + "/.zorbelstate"), saved) << "the old file stays as it was";
    XCloseDisplay(dpy);
    RemoveTree(root);
}

TEST(GameWindow, AMissingOrDamagedImageIsNamedAndEndsTheGameWithCodeOne) {
    namespace fs = std::filesystem;
    const struct {
        const char* file;
        const char* message;
    } cases[] = {
        // The 640 x 480 window takes the "-hd" images: the font is loaded at
        // start, the icons by the loader's first step.
        {"fonts/cpc-hd.png", "/data/fonts/cpc-hd.png is missing; the game cannot run without it"},
        {"icons-hd.png", "/data/icons-hd.png is damaged (it cannot be decoded); the game cannot run without it"},
    };
    for (auto& c : cases) {
        // The game beside a copy of the built data folder, file by file,
        // without the image under test (the icons are there, but as text).
        std::string lone = TempDir("assets");
        std::string cmd = "cp '" + std::string(KQ_GAME_EXE) + "' '" + lone + "/'";
        ASSERT_EQ(system(cmd.c_str()), 0);
        fs::create_directory(lone + "/data");
        for (auto& e : fs::recursive_directory_iterator(KQ_DATA_DIR)) {
            fs::path rel = fs::relative(e.path(), KQ_DATA_DIR), to = lone / fs::path("data") / rel;
            if (e.is_directory()) fs::create_directories(to);
            else if (rel != c.file) fs::create_symlink(e.path(), to);
        }
        if (std::string(c.file) == "icons-hd.png") std::ofstream(lone + "/data/icons-hd.png") << "icons";
        Start start;
        start.exe = lone + "/kestrel-quillons";
        start.dir = lone;
        start.env = {{"KESTREL_QUILLONS_HOME", lone.c_str()}};
        Outcome o = RunToEnd(start);
        EXPECT_EQ(o.code, 1) << c.file;
        std::string line = "kestrel-quillons: " + lone + c.message + " (reinstall the game)\n";
        EXPECT_NE(o.err.find(line), std::string::npos) << o.err;
        EXPECT_EQ(o.err.find("kestrel-quillons:"), o.err.rfind("kestrel-quillons:")) << "one line: " << o.err;
        RemoveTree(lone);
    }
}
