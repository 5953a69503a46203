// Opening the windowing library for tests and tools. Xvfb refuses a
// connection now and then when several processes connect at once (about 1
// in 150 starts under ctest -j2), and takes the next one.
#pragma once

// glfwInit, tried again over about a second while the display refuses;
// GLFW's errors go to stderr. False when it never succeeded.
bool InitGlfwRetrying();
