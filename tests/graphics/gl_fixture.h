// Test support for the graphics tests: a real window and GL context made
// through the host (Mesa's software renderer under Xvfb), the GL call
// recorder installed, pixels read back, and PNG files written.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/graphics.h"
#include "host/glfw_game.h"
#include "testing/gl_recorder.h"

// The host object, made once per process, with a window open; a size
// reopens the window at that size (a new GL context and glfwGraphicsSeq).
BBGlfwGame* TestHost(int width = 0, int height = 0);

// A fixture with the window open, the system GL installed behind the
// recorder, and a fresh device and graphics context.
class GLTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts a frame on the device and the graphics module, cleared black,
    // with the recorder emptied.
    void BeginFrame();
    // Pixel at window coordinates (top-left origin) as 0xAARRGGBB.
    unsigned int Pixel(int x, int y);

    gxtkGraphics* device = nullptr;
};

// Whether a pixel's red, green and blue are each within tolerance of (r, g, b).
::testing::AssertionResult Near(unsigned int pixel, int r, int g, int b, int tolerance = 2);

// A fresh folder under the system's temporary folder.
std::string TempDir();
// Writes RGBA pixels to a PNG file; returns the path.
std::string WritePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgba);
