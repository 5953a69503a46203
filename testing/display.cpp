// glfwInit with retries for the test driver and the graphics tests.
#include "testing/display.h"

#include <GLFW/glfw3.h>
#include <unistd.h>

#include <cstdio>

namespace {
void ReportGlfwError(int code, const char* text) { fprintf(stderr, "GLFW error %d: %s\n", code, text); }
}  // namespace

bool InitGlfwRetrying() {
    const int kAttempts = 10;
    const useconds_t kPauseUs = 100000;
    glfwSetErrorCallback(ReportGlfwError);
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (glfwInit()) return true;
        usleep(kPauseUs);
    }
    return false;
}
