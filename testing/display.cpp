// glfwInit for the test driver and the graphics tests, through the host's
// retrying start.
#include "testing/display.h"

#include <GLFW/glfw3.h>

#include <cstdio>
#include <string>

#include "host/glfw_game.h"

namespace {
void ReportGlfwError(int code, const char* text) { fprintf(stderr, "GLFW error %d: %s\n", code, text); }
}  // namespace

bool InitGlfwRetrying() {
    glfwSetErrorCallback(ReportGlfwError);
    std::string error;
    if (bbInitGlfw(&error)) return true;
    fprintf(stderr, "GLFW error: %s\n", error.c_str());
    return false;
}
