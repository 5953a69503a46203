// What the renderer puts into the frame buffer, read back with ReadPixels:
// each frame's fresh settings, placement through the matrix, blending of
// premultiplied colour, the white texel, the scissor, pixel writes into
// surfaces, the power-of-two retry, textures made again after the window
// is reopened and given back when discarded, which files load at all, and
// the viewport reaching past the window.
#include <GLFW/glfw3.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "gl_fixture.h"
#include "host/png.h"

namespace {

using Pixels = GLTest;

// A surface of one solid RGBA colour, straight (not premultiplied) alpha.
gxtkSurface* SolidSurface(int w, int h, unsigned char r, unsigned char g, unsigned char b, unsigned char a) {
    auto* data = static_cast<unsigned char*>(malloc(static_cast<size_t>(w) * h * 4));
    for (int i = 0; i < w * h; ++i) {
        data[i * 4] = r;
        data[i * 4 + 1] = g;
        data[i * 4 + 2] = b;
        data[i * 4 + 3] = a;
    }
    auto* s = new gxtkSurface();
    s->SetData(data, w, h, 4);
    return s;
}

// Whatever a frame leaves set, the next one starts drawing opaque white,
// alpha-blended, untransformed and unclipped.
TEST_F(Pixels, ShapesLandWhereTheMatrixPutsThemAndEveryFrameStartsAfresh) {
    BeginFrame();
    bb_graphics_SetColor(255, 255, 0);
    bb_graphics_SetMatrix(2, 0, 0, 3, 10, 20);
    bb_graphics_DrawRect(0, 0, 5, 5);  // covers x 10..20, y 20..35
    EXPECT_EQ(Pixel(11, 21), 0xFFFFFF00u);
    EXPECT_EQ(Pixel(19, 34), 0xFFFFFF00u);
    EXPECT_EQ(Pixel(9, 21) | Pixel(21, 21) | Pixel(11, 36), 0xFF000000u) << "nothing around it";
    // Translate then Rotate turns about the new origin.
    bb_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
    bb_graphics_Translate(100, 50);
    bb_graphics_Rotate(90);  // x axis now points up the screen
    bb_graphics_DrawRect(0, 0, 20, 4);
    EXPECT_EQ(Pixel(101, 40), 0xFFFFFF00u);
    EXPECT_EQ(Pixel(101, 60) | Pixel(120, 45), 0xFF000000u);

    bb_graphics_SetAlpha(0.25f);
    bb_graphics_SetBlend(1);
    bb_graphics_SetScissor(0, 0, 4, 4);
    bb_graphics_EndRender();
    BeginFrame();
    EXPECT_EQ(bb_graphics_context->m_blend, 0) << "the game sets the blend only when it differs from this";
    bb_graphics_DrawRect(10, 10, 10, 10);
    EXPECT_EQ(Pixel(15, 15), 0xFFFFFFFFu);
}

TEST_F(Pixels, PremultipliedAlphaAndAdditiveBlending) {
    BeginFrame();
    device->Cls(0, 0, 255);
    device->SetColor(255, 0, 0);
    device->SetAlpha(0.5f);
    device->DrawRect(0, 0, 10, 10);
    EXPECT_TRUE(Near(Pixel(5, 5), 127, 0, 128));

    device->SetBlend(1);
    device->SetAlpha(1);
    device->SetColor(100, 50, 0);
    device->DrawRect(20, 0, 10, 10);
    device->DrawRect(20, 0, 10, 10);
    EXPECT_TRUE(Near(Pixel(25, 5), 200, 100, 255));

    // A texture's straight alpha is premultiplied when it is stored, so a
    // half-transparent red pixel over black comes out half as bright.
    device->SetBlend(0);
    device->SetColor(255, 255, 255);
    device->Cls(0, 0, 0);
    device->DrawSurface(SolidSurface(8, 8, 255, 0, 0, 128), 40, 40);
    EXPECT_TRUE(Near(Pixel(44, 44), 128, 0, 0));
}

// Untextured primitives sample the white texel below a sheet's pixels (or
// the white texture when no sheet is in use): their colour comes out exact
// whatever the sheet holds, and the line stays one pixel wide.
TEST_F(Pixels, RectOvalAndLineTakeTheirColourFromAWhiteTexel) {
    BeginFrame();
    device->SetColor(200, 100, 50);
    device->DrawRect(0, 0, 10, 10);  // alone: the white texture
    device->Flush();
    gxtkSurface* blue = SolidSurface(16, 16, 0, 0, 255, 255);
    device->DrawSurface(blue, 200, 0);
    device->DrawRect(20, 20, 10, 10);
    device->DrawOval(40, 20, 20, 20);
    device->DrawLine(70, 25, 90, 25);
    device->Flush();
    EXPECT_EQ(GLRecorder::draws.size(), 2u);
    const unsigned int colour = 0xFFC86432u;
    EXPECT_EQ(Pixel(5, 5), colour);
    EXPECT_EQ(Pixel(25, 25), colour);
    EXPECT_EQ(Pixel(50, 30), colour);
    EXPECT_EQ(Pixel(41, 30), colour);
    EXPECT_EQ(Pixel(42, 22), 0xFF000000u) << "the oval's corner stays clear";
    EXPECT_TRUE((Pixel(80, 24) == colour) != (Pixel(80, 25) == colour)) << "one row of the line is lit";
    EXPECT_EQ(Pixel(80, 23), 0xFF000000u);
    EXPECT_EQ(Pixel(80, 26), 0xFF000000u);
    EXPECT_EQ(Pixel(208, 8), 0xFF000032u) << "the sheet itself, in the same colour";
}

// The scissor and ReadPixels both count rows from the top; rows come back
// at the offset and pitch asked for, and never outside the array.
// A context that allows viewports of at most 340 pixels a side, and the
// viewport the renderer asked for.
GLint g_viewport[4];
void SmallViewportLimit(GLenum pname, GLint* data) {
    gxtkGLSystem().GetIntegerv(pname, data);
    if (pname == GL_MAX_VIEWPORT_DIMS) data[0] = data[1] = 340;
}
void KeepViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
    g_viewport[0] = x, g_viewport[1] = y, g_viewport[2] = w, g_viewport[3] = h;
    gxtkGLSystem().Viewport(x, y, w, h);
}

// The viewport reaches past the window so that GL need not cut up what
// sticks out of it, never past what the context allows, and a unit is
// still one window pixel.
TEST_F(Pixels, TheViewportReachesPastTheWindowWithinTheContextsLimit) {
    gxtkGL.Viewport = KeepViewport;
    for (bool limited : {false, true}) {
        if (limited) {
            gxtkGL.GetIntegerv = SmallViewportLimit;
            device = new gxtkGraphics();  // asks the context again
            bb_graphics_SetGraphicsDevice(device);
        }
        BeginFrame();
        int w = device->Width(), margin = limited ? (340 - w) / 2 : w;  // 320 x 240
        const GLint expected[4] = {-margin, -margin, w + 2 * margin, device->Height() + 2 * margin};
        for (int i = 0; i < 4; ++i) EXPECT_EQ(g_viewport[i], expected[i]) << "limited " << limited << ", " << i;
        device->DrawRect(0, 0, 2, 2);
        device->DrawRect(w - 1, 239, 5, 5);
        EXPECT_EQ(Pixel(0, 0) & Pixel(1, 1) & Pixel(w - 1, 239), 0xFFFFFFFFu);
        EXPECT_EQ(Pixel(2, 2) | Pixel(w - 2, 238), 0xFF000000u);
        bb_graphics_EndRender();
    }
}

TEST_F(Pixels, ScissorAndReadPixelsWorkFromTheTopLeft) {
    BeginFrame();
    device->SetScissor(10, 20, 30, 5);
    device->DrawRect(0, 0, 200, 200);
    EXPECT_EQ(Pixel(15, 22), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(15, 18) | Pixel(15, 26) | Pixel(45, 22), 0xFF000000u) << "nothing outside the scissor";
    device->SetScissor(0, 0, device->Width(), device->Height());
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST)) << "a full-window scissor is none";

    device->SetColor(255, 0, 0);
    device->DrawRect(0, 0, 2, 1);
    device->SetColor(0, 255, 0);
    device->DrawRect(0, 1, 2, 1);
    Array<int> px(7);
    for (int i = 0; i < 7; ++i) px[i] = 7;
    device->ReadPixels(px, 0, 0, 2, 2, 1, 3);
    const unsigned int red = 0xFFFF0000u, green = 0xFF00FF00u;
    const unsigned int expect[7] = {7, red, red, 7, green, green, 7};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(static_cast<unsigned>(px[i]), expect[i]) << i;
    // Through the module a pitch of 0 means the width.
    Array<int> small(3);
    bb_graphics_ReadPixels(small, 0, 0, 2, 2, 0, 0);
    EXPECT_EQ(static_cast<unsigned>(small[2]), green);
}

TEST_F(Pixels, WritePixelsStoresPremultipliedAndUploadsToTheTexture) {
    BeginFrame();
    gxtkSurface* s = device->CreateSurface(4, 4);
    Array<int> src(16);
    for (int i = 0; i < 16; ++i) src[i] = static_cast<int>(0xFF0000FFu);  // opaque blue
    device->WritePixels2(s, src, 0, 0, 4, 4, 0, 4);
    Array<int> half(2);
    half[0] = static_cast<int>(0x80FF0000u);  // half-transparent red
    half[1] = static_cast<int>(0xFF00FF00u);  // opaque green
    device->WritePixels2(s, half, 1, 2, 2, 1, 0, 2);
    device->SetMatrix(50, 0, 0, 50, 0, 0);  // each texel 50 x 50 pixels
    device->DrawSurface(s, 0, 0);
    EXPECT_TRUE(Near(Pixel(25, 25), 0, 0, 255, 8));
    EXPECT_TRUE(Near(Pixel(75, 125), 128, 0, 0, 8));
    EXPECT_TRUE(Near(Pixel(125, 125), 0, 255, 0, 8));

    // Rectangles outside the surface or the array are refused whole.
    device->WritePixels2(s, src, 2, 2, 4, 4, 0, 4);
    device->WritePixels2(s, half, 0, 0, 2, 2, 0, 2);
    EXPECT_EQ(s->m_data[2], 255);
    EXPECT_EQ(s->m_data[0], 0);
}

// Fails every texture allocation whose sizes are not powers of two, as an
// old driver does.
GLenum g_pendingError = GL_NO_ERROR;
bool PowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }
void RefuseNpotTexImage(GLenum target, GLint level, GLint internal, GLsizei w, GLsizei h, GLint border, GLenum format,
                        GLenum type, const void* pixels) {
    if (!PowerOfTwo(w) || !PowerOfTwo(h)) {
        g_pendingError = GL_INVALID_VALUE;
        return;
    }
    gxtkGLSystem().TexImage2D(target, level, internal, w, h, border, format, type, pixels);
}
GLenum PendingError() {
    GLenum e = g_pendingError;
    g_pendingError = GL_NO_ERROR;
    return e != GL_NO_ERROR ? e : gxtkGLSystem().GetError();
}

TEST_F(Pixels, RefusedSizesAreRetriedAtPowersOfTwo) {
    BeginFrame();
    gxtkGL.TexImage2D = RefuseNpotTexImage;
    gxtkGL.GetError = PendingError;
    gxtkSurface* s = SolidSurface(100, 50, 0, 255, 255, 255);
    device->DrawSurface(s, 0, 0);
    device->DrawSurface2(s, 150, 0, 50, 0, 50, 50);
    EXPECT_FLOAT_EQ(s->m_uscale, 1.0f / 128);
    EXPECT_TRUE(Near(Pixel(98, 48), 0, 255, 255, 8));
    EXPECT_TRUE(Near(Pixel(102, 48), 0, 0, 0));
    EXPECT_TRUE(Near(Pixel(98, 52), 0, 0, 0));
    EXPECT_TRUE(Near(Pixel(198, 48), 0, 255, 255, 8));
}

TEST_F(Pixels, ImagesDrawAgainAfterTheWindowIsReopenedAndGiveTheirTextureBackWhenDiscarded) {
    std::vector<unsigned char> rgba(16 * 8 * 4);
    for (int i = 0; i < 16 * 8; ++i) {
        bool left = (i % 16) < 8;
        rgba[i * 4] = left ? 255 : 0;
        rgba[i * 4 + 2] = left ? 0 : 255;
        rgba[i * 4 + 3] = 255;
    }
    std::string path = WritePng(TempDir() + "/two.png", 16, 8, rgba);
    c_Image* image = bb_graphics_LoadImage(String(path.c_str()), 2, 0);
    ASSERT_NE(image, nullptr);
    BeginFrame();
    bb_graphics_DrawImage(image, 0, 0, 1);
    EXPECT_TRUE(Near(Pixel(4, 4), 0, 0, 255));

    TestHost(200, 100);
    GLRecorder::Install();
    BeginFrame();
    EXPECT_EQ(device->Width(), 200);
    bb_graphics_DrawImage(image, 10, 10, 0);
    bb_graphics_DrawImage(image, 30, 10, 1);
    EXPECT_TRUE(Near(Pixel(14, 14), 255, 0, 0));
    EXPECT_TRUE(Near(Pixel(34, 14), 0, 0, 255));
    EXPECT_EQ(GLRecorder::genTextures, 1) << "the texture is made once for the new context";
    // The collector is told of the pixels and of one texture (with its three
    // rows below the pixels), not of the one that went with the old context too.
    gxtkSurface* surface = image->m_surface;
    EXPECT_EQ(surface->m_heldBytes, 16 * 8 * 4 + 16 * (8 + 3) * 4);

    // Discarded, the image gives its texture and pixels back at once and
    // draws nothing.
    unsigned int texture = surface->m_texture;
    image->p_Discard();
    EXPECT_EQ(GLRecorder::deletedTextures, std::vector<GLuint>{texture});
    EXPECT_EQ(surface->m_heldBytes, 0);
    BeginFrame();
    bb_graphics_DrawImage(image, 10, 10, 0);
    EXPECT_TRUE(Near(Pixel(14, 14), 0, 0, 0));
    TestHost(320, 240);
}

// Only whole PNG files load; anything else gives no image, as a missing file
// does, before the decoder could be asked for more memory than the file holds.
TEST_F(Pixels, OnlyWholePngFilesWithinTheSizeLimitLoad) {
    const std::string dir = TempDir();
    std::ifstream in(WritePng(dir + "/good.png", 4, 2, std::vector<unsigned char>(32, 200)), std::ios::binary);
    const std::string png((std::istreambuf_iterator<char>(in)), {});
    auto load = [&](const std::string& bytes) {
        std::ofstream(dir + "/test.png", std::ios::binary) << bytes;
        return bb_graphics_LoadImage(String((dir + "/test.png").c_str()), 1, 0);
    };
    auto withWord = [&](size_t at, uint32_t v) {
        std::string b = png;
        for (int i = 0; i < 4; ++i) b[at + i] = char(v >> (24 - 8 * i));
        return b;
    };
    c_Image* good = load(png);
    ASSERT_NE(good, nullptr);
    EXPECT_EQ(good->m_width, 4);
    EXPECT_EQ(good->m_height, 2);
    auto strip = [&](int width) {
        std::string path = WritePng(dir + "/strip.png", width, 1, std::vector<unsigned char>(width * 4, 9));
        return bb_graphics_LoadImage(String(path.c_str()), 1, 0);
    };
    EXPECT_NE(strip(BB_PNG_MAX_SIDE), nullptr);
    EXPECT_EQ(strip(BB_PNG_MAX_SIDE + 1), nullptr);

    // A 2 x 1 BMP, which a decoder for every format would take.
    std::string bmp = std::string("BM") + std::string("\x3e\0\0\0\0\0\0\0\x36\0\0\0", 12) +
                      std::string("\x28\0\0\0\x02\0\0\0\x01\0\0\0\x01\0\x18\0", 16) + std::string(24, '\0') +
                      std::string(8, '\x7f');
    const size_t idat = png.find("IDAT") - 4;
    const std::pair<const char*, std::string> bad[] = {
        {"text", "not an image"},
        {"BMP", bmp},
        {"damaged signature", "\x88" + png.substr(1)},
        {"image data longer than the file", withWord(idat, 0x40000000)},
        {"more pixels than the data could hold", withWord(16, 8000).substr(0, 20) + withWord(20, 8000).substr(20)},
        {"truncated", png.substr(0, png.size() / 2)},
    };
    // The peak of the address space, which even an untouched allocation raises.
    auto vmPeakKb = [] {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line) && line.rfind("VmPeak:", 0) != 0) {
        }
        return atol(line.c_str() + 7);
    };
    long before = vmPeakKb();
    for (auto& [what, bytes] : bad) EXPECT_EQ(load(bytes), nullptr) << what;
    EXPECT_LT(vmPeakKb() - before, 64 * 1024);
    EXPECT_EQ(bb_graphics_LoadImage(String((dir + "/none.png").c_str()), 1, 0), nullptr);
}

}  // namespace
