// Test support for the graphics tests: a real window and GL context made
// through the host (Mesa's software renderer under Xvfb), the GL call
// recorder installed, and PNG writing.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/gl_recorder.h"
#include "graphics/graphics.h"
#include "host/glfw_game.h"

// The host object and its window, made once per process.
BBGlfwGame* TestHost();
// Reopens the window (a new GL context and a new glfwGraphicsSeq).
void ReopenTestWindow(int width, int height);

// A fixture with the window open, the system GL installed behind the
// recorder, a fresh device and context, and the device in a frame.
class GLTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Pixel at window coordinates (top-left origin) as 0xAARRGGBB.
    unsigned int Pixel(int x, int y);
    // Starts a frame on the device and the graphics module with a black
    // background.
    void BeginFrame();

    gxtkGraphics* device = nullptr;
};

// Writes an RGBA image to a PNG file; returns the path.
std::string WritePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgba);
// A fresh directory under the system's temporary folder.
std::string TempDir();

// Channel helpers for 0xAARRGGBB pixels.
inline int Red(unsigned int p) { return (p >> 16) & 255; }
inline int Green(unsigned int p) { return (p >> 8) & 255; }
inline int Blue(unsigned int p) { return p & 255; }
