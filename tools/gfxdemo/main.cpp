// kq-gfxdemo: a window that exercises the renderer through the graphics
// module: tinted and rotated sprites, text in the default font, ovals,
// lines, rectangles and additive blending.
//
//   kq-gfxdemo [--data DIR] [--frames N] [--shot FILE.png]
//
// DIR is the data folder holding vexa_font.png (default: the build's);
// with --shot the last frame is saved as a PNG before the demo ends.
#include <GLFW/glfw3.h>
#include <stb/stb_image_write.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/graphics.h"
#include "host/glfw_game.h"

namespace {

bool g_closed = false;
void OnClose(GLFWwindow*) { g_closed = true; }

// A two-frame 16 x 16 sprite strip drawn in code: a bird with its wings
// up, then down. Each character of a row is one pixel.
const char* const kBird[2][16] = {
    {"................", ".##..........##.", ".###........###.", "..###......###..", "...###....###...",
     "....###..###....", ".....##oo##.....", "......#oo#......", "......####......", ".....######.....",
     "....##.##.##....", "......#..#......", "......#..#......", ".....##..##.....", "................",
     "................"},
    {"................", "................", "................", "................", "......#oo#......",
     "......#oo#......", "....########....", "..###.####.###..", ".###..####..###.", "##....####....##",
     "#.....#..#.....#", "......#..#......", "......#..#......", ".....##..##.....", "................",
     "................"},
};

c_Image* MakeBird(gxtkGraphics* device) {
    gxtkSurface* surface = device->CreateSurface(32, 16);
    Array<int> pixels(32 * 16);
    for (int f = 0; f < 2; ++f)
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                char c = kBird[f][y][x];
                unsigned int argb = c == '#' ? 0xFFFFFFFFu : c == 'o' ? 0xFFFFC040u : 0x00000000u;
                pixels[y * 32 + f * 16 + x] = static_cast<int>(argb);
            }
    device->WritePixels2(surface, pixels, 0, 0, 32, 16, 0, 32);
    return (new c_Image)->m_new()->p_Init(surface, 2, c_Image::CentreHandle);
}

void DrawScene(c_Image* bird, int frame) {
    float w = static_cast<float>(bb_graphics_DeviceWidth()), h = static_cast<float>(bb_graphics_DeviceHeight());
    bb_graphics_Cls(16, 24, 64);

    // A sunburst of lines behind everything.
    bb_graphics_SetColor(60, 80, 160);
    for (int i = 0; i < 48; ++i) {
        float a = i * 6.2831855f / 48 + frame * 0.002f;
        bb_graphics_DrawLine(w * 0.5f, h * 0.62f, w * 0.5f + std::cos(a) * w, h * 0.62f + std::sin(a) * w);
    }

    // Ovals: filled circles in a row, a squashed ellipse, additive glows.
    const float inks[5][3] = {{255, 80, 80}, {255, 200, 60}, {90, 220, 90}, {80, 180, 255}, {220, 120, 255}};
    for (int i = 0; i < 5; ++i) {
        bb_graphics_SetColor(inks[i][0], inks[i][1], inks[i][2]);
        bb_graphics_DrawEllipse(80 + i * 110.0f, 330, 10 + i * 8.0f, 10 + i * 8.0f);
    }
    bb_graphics_SetColor(255, 255, 255);
    bb_graphics_SetAlpha(0.5f);
    bb_graphics_DrawEllipse(w * 0.5f, 420, 260, 24);
    bb_graphics_SetAlpha(1);
    bb_graphics_SetBlend(1);
    bb_graphics_SetColor(120, 40, 20);
    for (int i = 0; i < 3; ++i) bb_graphics_DrawEllipse(250 + i * 70.0f, 420, 60, 60);
    bb_graphics_SetBlend(0);

    // A frame of rectangles along the edges.
    bb_graphics_SetColor(255, 255, 255);
    bb_graphics_DrawRect(0, 0, w, 4);
    bb_graphics_DrawRect(0, h - 4, w, 4);

    // Text in the default font, at the font's size and scaled up.
    bb_graphics_SetColor(255, 255, 255);
    bb_graphics_DrawText(String("KESTREL QUILLONS 1986"), w * 0.5f, 20, 0.5f, 0);
    bb_graphics_SetColor(255, 220, 90);
    bb_graphics_PushMatrix();
    bb_graphics_Scale(3, 3);
    bb_graphics_DrawText(String("READY."), 10, 16, 0, 0);
    bb_graphics_PopMatrix();
    bb_graphics_SetColor(140, 255, 140);
    bb_graphics_DrawText(String("10 PRINT \"HELLO\": GOTO 10  abc xyz {}~"), 30, 100, 0, 0);

    // Sprites: a flock, tinted, flapping, turning and scaled.
    for (int i = 0; i < 8; ++i) {
        float x = 60 + i * 72.0f, y = 170 + std::sin(frame * 0.05f + i) * 20;
        bb_graphics_SetColor(255, 255 - i * 25.0f, 100 + i * 20.0f);
        bb_graphics_DrawImage2(bird, x, y, i * 15.0f, 1 + i * 0.4f, 1 + i * 0.4f, (frame / 8 + i) % 2);
    }
    bb_graphics_SetColor(255, 255, 255);
    bb_graphics_DrawImage(bird, w - 30, 40, 0);
    bb_graphics_DrawImage(bird, w - 30, 40, 5);  // no such frame: nothing
}

void SaveShot(gxtkGraphics* device, const char* path) {
    int w = device->Width(), h = device->Height();
    Array<int> pixels(w * h);
    device->ReadPixels(pixels, 0, 0, w, h, 0, w);
    std::vector<unsigned char> rgba(static_cast<size_t>(w) * h * 4);
    for (int i = 0; i < w * h; ++i) {
        unsigned int p = static_cast<unsigned int>(pixels[i]);
        rgba[i * 4] = static_cast<unsigned char>(p >> 16);
        rgba[i * 4 + 1] = static_cast<unsigned char>(p >> 8);
        rgba[i * 4 + 2] = static_cast<unsigned char>(p);
        rgba[i * 4 + 3] = 255;
    }
    if (!stbi_write_png(path, w, h, 4, rgba.data(), w * 4)) fprintf(stderr, "could not write %s\n", path);
}

}  // namespace

int main(int argc, char** argv) {
    std::string data = KQ_DATA_DIR;
    const char* shot = nullptr;
    int frames = -1;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--data") && i + 1 < argc) data = argv[++i];
        else if (!strcmp(argv[i], "--shot") && i + 1 < argc) shot = argv[++i];
        else if (!strcmp(argv[i], "--frames") && i + 1 < argc) frames = atoi(argv[++i]);
        else {
            fprintf(stderr, "usage: %s [--data DIR] [--frames N] [--shot FILE.png]\n", argv[0]);
            return 2;
        }
    }
    if (shot && frames < 0) frames = 60;
    if (shot && shot[0] != '/') {
        char cwd[4096];
        if (getcwd(cwd, sizeof cwd)) shot = strdup((std::string(cwd) + "/" + shot).c_str());
    }
    // Assets are read from ./data, so work from the data folder's parent.
    std::string parent = data.substr(0, data.find_last_of('/'));
    if (data.find('/') != std::string::npos && chdir(parent.empty() ? "/" : parent.c_str()) != 0) {
        fprintf(stderr, "cannot enter %s\n", parent.c_str());
        return 1;
    }

    if (!glfwInit()) {
        fprintf(stderr, "glfwInit failed\n");
        return 1;
    }
    BBGlfwGame* host = new BBGlfwGame();
    host->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
    if (!host->Window()) {
        fprintf(stderr, "no window\n");
        return 1;
    }
    glfwSetWindowTitle(host->Window(), "kq-gfxdemo");
    glfwSetWindowCloseCallback(host->Window(), OnClose);

    gc_assign(bb_graphics_context, (new c_GraphicsContext)->m_new());
    gxtkGraphics* device = new gxtkGraphics();
    bb_graphics_SetGraphicsDevice(device);
    bb_graphics_SetFont(nullptr, 32);
    if (!bb_graphics_context->m_font) fprintf(stderr, "no default font in %s: text is not drawn\n", data.c_str());
    c_Image* bird = MakeBird(device);

    for (int frame = 0; frames < 0 || frame < frames; ++frame) {
        device->BeginRender();
        bb_graphics_BeginRender();
        DrawScene(bird, frame);
        bb_graphics_EndRender();
        if (shot && frame == frames - 1) SaveShot(device, shot);
        device->EndRender();
        glfwPollEvents();
        if (g_closed || glfwGetKey(host->Window(), GLFW_KEY_ESCAPE) == GLFW_PRESS) break;
    }
    glfwTerminate();
    return 0;
}
