// The app layer: one app only, and the close and back keys end the program
// with code 0 even when the key is already down.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <functional>

#include "framework/app.h"

namespace {

int ExitCodeOf(const std::function<void()>& body) {
    fflush(stdout);
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        body();
        _exit(77);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct QuietApp : public c_App {};

void BootWithoutDevices() {
    gc_init1();
    bbInit();
    bb_app__game = new BBGlfwGame;
    gc_assign(bb_app__app, nullptr);
    (new QuietApp)->m_new();
    gc_assign(bb_app__delegate->m_input, (new c_InputDevice)->m_new());
    bb_input_SetInputDevice(bb_app__delegate->m_input);
}

}  // namespace

TEST(App, ASecondAppIsAFatalError) {
    EXPECT_EQ(ExitCodeOf([] {
                  BootWithoutDevices();
                  (new QuietApp)->m_new();
              }),
              255);
}

TEST(App, CloseAndBackKeysEndTheProgramWithZero) {
    EXPECT_EQ(ExitCodeOf([] {
                  BootWithoutDevices();
                  bb_app__delegate->KeyEvent(1, 432);
              }),
              0);
    EXPECT_EQ(ExitCodeOf([] {
                  BootWithoutDevices();
                  bb_app__delegate->KeyEvent(1, 416);  // down once
                  bb_app__delegate->KeyEvent(1, 416);
              }),
              0);
    // Other keys do not end anything.
    EXPECT_EQ(ExitCodeOf([] {
                  BootWithoutDevices();
                  bb_app__delegate->KeyEvent(1, 65);
                  bb_app__delegate->KeyEvent(2, 65);
              }),
              77);
}

TEST(App, TheAppRegistersItselfAndItsDelegateWithTheHost) {
    BootWithoutDevices();
    ASSERT_NE(bb_app__app, nullptr);
    EXPECT_EQ(bb_app__game->Delegate(), bb_app__delegate);
    EXPECT_EQ(bb_app_UpdateRate(), 0);
    bb_app_SetUpdateRate(60);
    EXPECT_EQ(bb_app__game->UpdateRate(), 60);
}
