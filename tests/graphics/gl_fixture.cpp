// Window, pixel and PNG helpers shared by the graphics tests.
#include "gl_fixture.h"

#include <GLFW/glfw3.h>
#include <stb/stb_image_write.h>
#include <stdlib.h>

#include <cstdlib>

#include "testing/display.h"

BBGlfwGame* TestHost(int width, int height) {
    static BBGlfwGame* host = nullptr;
    if (!host) {
        if (!InitGlfwRetrying()) {
            ADD_FAILURE() << "glfwInit failed: the graphics tests need a display (run under xvfb-run)";
            return nullptr;
        }
        host = BBGlfwGame::GlfwGame() ? BBGlfwGame::GlfwGame() : new BBGlfwGame();
    }
    if (width || !host->Window())
        host->SetGlfwWindow(width ? width : 320, height ? height : 240, 8, 8, 8, 8, 0, 0, false);
    return host;
}

void GLTest::SetUp() {
    BBGlfwGame* host = TestHost();
    ASSERT_TRUE(host && host->Window()) << "no window";
    glfwMakeContextCurrent(host->Window());
    GLRecorder::Install();
    gc_assign(bb_graphics_context, (new c_GraphicsContext)->m_new());
    device = new gxtkGraphics();
    bb_graphics_SetGraphicsDevice(device);
}

void GLTest::TearDown() {
    bb_graphics_EndRender();
    bb_graphics_SetGraphicsDevice(nullptr);
    gxtkGLReset();
}

void GLTest::BeginFrame() {
    device->BeginRender();
    bb_graphics_BeginRender();
    device->Cls(0, 0, 0);
    GLRecorder::Clear();
}

unsigned int GLTest::Pixel(int x, int y) {
    Array<int> px(1);
    device->ReadPixels(px, x, y, 1, 1, 0, 1);
    return static_cast<unsigned int>(px[0]);
}

::testing::AssertionResult Near(unsigned int pixel, int r, int g, int b, int tolerance) {
    int pr = (pixel >> 16) & 255, pg = (pixel >> 8) & 255, pb = pixel & 255;
    if (std::abs(pr - r) <= tolerance && std::abs(pg - g) <= tolerance && std::abs(pb - b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << pr << ", " << pg << ", " << pb << ") is not near (" << r
                                         << ", " << g << ", " << b << ")";
}

std::string TempDir() {
    char tmpl[] = "/tmp/kq-gfx-XXXXXX";
    const char* dir = mkdtemp(tmpl);
    return dir ? std::string(dir) : std::string("/tmp");
}

std::string WritePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgba) {
    stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4);
    return path;
}
