// The app layer: the delegate brackets updates with the input device's
// bookkeeping and suspends the audio device with the app; one app only, and
// the close and back keys end the program with code 0.
#include <AL/alc.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/app.h"

namespace {

std::vector<std::string> g_log;
int Log(const std::string& line) {
    g_log.push_back(line);
    return 0;
}

// An app that logs its lifecycle and the hits it sees in each update.
struct LoggingApp : public c_App {
    int p_OnUpdate() override { return Log("update " + std::to_string(bb_input_KeyHit(65))); }
    int p_OnSuspend() override { return Log("app suspend"); }
    int p_OnResume() override { return Log("app resume"); }
};

// The real device (on OpenAL's silent driver) with its suspend and resume logged.
struct LoggingAudio : public gxtkAudio {
    int Suspend() override { return Log("audio suspend") + gxtkAudio::Suspend(); }
    int Resume() override { return Log("audio resume") + gxtkAudio::Resume(); }
};

void BootWithoutGraphics() {
    gc_init1();
    bbInit();
    bb_app__game = new BBGlfwGame;
    gc_assign(bb_app__app, nullptr);
    (new LoggingApp)->m_new();
    gc_assign(bb_app__delegate->m_input, (new c_InputDevice)->m_new());
    bb_input_SetInputDevice(bb_app__delegate->m_input);
}

int ExitCodeOf(const std::function<void()>& body) {
    fflush(stdout);
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_RDWR);
        for (int fd = 0; fd < 3; ++fd) dup2(null, fd);
        BootWithoutGraphics();
        body();
        _exit(77);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(App, TheDelegateBracketsUpdatesAndSuspendsTheAudioWithTheApp) {
    setenv("ALSOFT_DRIVERS", "null", 0);
    BootWithoutGraphics();
    EXPECT_EQ(bb_app__game->Delegate(), bb_app__delegate);
    bb_app_SetUpdateRate(60);
    EXPECT_EQ(bb_app__game->UpdateRate(), 60);
    LoggingAudio* audio = new LoggingAudio;
    gc_assign(bb_app__delegate->m_audio, audio);
    g_log.clear();
    // A hit that arrives between updates is seen by exactly the next one.
    bb_app__delegate->KeyEvent(1, 65);
    bb_app__delegate->UpdateGame();
    bb_app__delegate->UpdateGame();
    bb_app__delegate->SuspendGame();
    bb_app__delegate->ResumeGame();
    EXPECT_EQ(g_log, (std::vector<std::string>{"update 1", "update 0", "app suspend", "audio suspend", "audio resume",
                                               "app resume"}));
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(static_cast<ALCcontext*>(audio->m_alcContext));
    alcCloseDevice(static_cast<ALCdevice*>(audio->m_alcDevice));
}

TEST(App, ASecondAppIsFatalAndTheCloseAndBackKeysQuit) {
    EXPECT_EQ(ExitCodeOf([] { (new LoggingApp)->m_new(); }), 255);
    EXPECT_EQ(ExitCodeOf([] { bb_app__delegate->KeyEvent(1, 432); }), 0);
    EXPECT_EQ(ExitCodeOf([] {
                  bb_input_device->m_keyDown[416] = true;  // even when already down
                  bb_app__delegate->KeyEvent(1, 416);
              }),
              0);
    // Other keys do not end anything.
    EXPECT_EQ(ExitCodeOf([] {
                  bb_app__delegate->KeyEvent(1, 65);
                  bb_app__delegate->KeyEvent(2, 65);
              }),
              77);
}
