// The real game process: its window appears with its title at 640 x 480,
// the window manager's close request ends it with code 0, and without a
// display it reports that the windowing library failed to start.
#include <gtest/gtest.h>
// X11 after GoogleTest: its macros (None, Bool) clash with GoogleTest's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

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

// Starts the game in a scratch directory that sees the built data folder.
pid_t StartGame(const std::string& dir, bool withDisplay, int outFd) {
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(90);
        if (!withDisplay) {
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
        }
        dup2(outFd, 1);
        execl(KQ_GAME_EXE, KQ_GAME_EXE, static_cast<char*>(nullptr));
        _exit(91);
    }
    return pid;
}

std::string ScratchDir() {
    char tmpl[] = "/tmp/kq-window-XXXXXX";
    std::string dir = mkdtemp(tmpl);
    std::string link = dir + "/data";
    EXPECT_EQ(symlink(KQ_DATA_DIR, link.c_str()), 0);
    return dir;
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

}  // namespace

TEST(GameWindow, OpensWithItsTitleAndClosesCleanlyOnRequest) {
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) GTEST_SKIP() << "no X display (run the suite under xvfb-run)";
    std::string dir = ScratchDir();
    pid_t pid = StartGame(dir, true, 2);

    Window w = 0;
    for (int i = 0; i < 200 && !w; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        w = FindByName(dpy, DefaultRootWindow(dpy), "Kestrel Quillons 1986", pid);
    }
    ASSERT_NE(w, 0u) << "the game window did not appear";
    XWindowAttributes attr;
    ASSERT_TRUE(XGetWindowAttributes(dpy, w, &attr));
    EXPECT_EQ(attr.width, 640);
    EXPECT_EQ(attr.height, 480);

    // Let it run for a moment, then ask it to close as a window manager does.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    XEvent ev = {};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy, w, False, NoEventMask, &ev);
    XFlush(dpy);
    EXPECT_EQ(WaitExit(pid, 20), 0);
    XCloseDisplay(dpy);
    std::string cmd = "rm -rf '" + dir + "'";
    EXPECT_EQ(system(cmd.c_str()), 0);
}

TEST(GameWindow, WithoutADisplayTheWindowingLibraryFailsToStart) {
    std::string dir = ScratchDir();
    int p[2];
    ASSERT_EQ(pipe(p), 0);
    pid_t pid = StartGame(dir, false, p[1]);
    close(p[1]);
    std::string out;
    char buf[256];
    ssize_t n;
    while ((n = read(p[0], buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
    close(p[0]);
    EXPECT_EQ(WaitExit(pid, 20), 255);
    EXPECT_EQ(out, "glfwInit failed\n");
    std::string cmd = "rm -rf '" + dir + "'";
    EXPECT_EQ(system(cmd.c_str()), 0);
}
