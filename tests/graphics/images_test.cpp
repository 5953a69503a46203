// The graphics module: frame strips and grids with their flags, the matrix
// functions and stack, image drawing by frame, and the default font.
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>

#include "gl_fixture.h"

namespace {

// A device that records which surface primitive each image draw used.
class RecordingDevice : public gxtkGraphics {
public:
    struct Call {
        bool whole;
        float x, y;
        int srcx, srcy, srcw, srch;
    };
    std::vector<Call> calls;
    int DrawSurface(gxtkSurface* s, float x, float y) override {
        calls.push_back({true, x, y, 0, 0, s->Width(), s->Height()});
        return gxtkGraphics::DrawSurface(s, x, y);
    }
    int DrawSurface2(gxtkSurface* s, float x, float y, int sx, int sy, int sw, int sh) override {
        calls.push_back({false, x, y, sx, sy, sw, sh});
        return gxtkGraphics::DrawSurface2(s, x, y, sx, sy, sw, sh);
    }
};

class Images : public GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        rec = new RecordingDevice();
        bb_graphics_SetGraphicsDevice(rec);
        device = rec;
        dir = TempDir();
    }
    // An opaque grey PNG of the given size in the test's folder.
    std::string Png(const char* name, int w, int h) {
        return WritePng(dir + "/" + name, w, h, std::vector<unsigned char>(static_cast<size_t>(w) * h * 4, 200));
    }
    RecordingDevice* rec = nullptr;
    std::string dir;
};

TEST_F(Images, GridsAreReadLeftToRightThenTopToBottom) {
    c_Image* img = bb_graphics_LoadImage2(String(Png("grid.png", 64, 32).c_str()), 16, 16, 8, 0);
    ASSERT_NE(img, nullptr);
    ASSERT_EQ(img->p_Frames(), 8);
    const int expect[8][2] = {{0, 0}, {16, 0}, {32, 0}, {48, 0}, {0, 16}, {16, 16}, {32, 16}, {48, 16}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(img->m_frames[i]->m_x, expect[i][0]) << i;
        EXPECT_EQ(img->m_frames[i]->m_y, expect[i][1]) << i;
    }
    EXPECT_EQ(img->p_Width(), 16);
    EXPECT_EQ(img->m_flags & c_Image::WholeSurface, 0);

    // A grid within a sub-rectangle of a shared surface.
    c_Image* sub = (new c_Image)->m_new()->p_Init2(img->m_surface, 0, 0, 8, 8, 3, 0, img, 32, 16, 16, 16);
    EXPECT_EQ(sub->m_frames[1]->m_x, 40);
    EXPECT_EQ(sub->m_frames[2]->m_x, 32);
    EXPECT_EQ(sub->m_frames[2]->m_y, 24);
    EXPECT_EQ(sub->m_source, img);
}

// Builds a grid on a 64 x 32 surface (no GL involved, so it is safe in a
// forked child) and reports the fatal error on standard error.
void BuildGrid(int frameWidth, int frameHeight, int count) {
    freopen("/dev/null", "r", stdin);
    dup2(2, 1);
    gxtkSurface* s = new gxtkSurface();
    s->SetData(nullptr, 64, 32, 4);
    (new c_Image)->m_new()->p_Init2(s, 0, 0, frameWidth, frameHeight, count, 0, nullptr, 0, 0, 64, 32);
    exit(0);
}

TEST_F(Images, AGridThatDoesNotFitIsARuntimeError) {
    EXPECT_EXIT(BuildGrid(16, 16, 8), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(BuildGrid(16, 16, 9), ::testing::ExitedWithCode(255), "Image frame outside surface");
    // Frames wider than the surface fail too, instead of looping forever.
    EXPECT_EXIT(BuildGrid(80, 16, 1), ::testing::ExitedWithCode(255), "Image frame outside surface");
}

TEST_F(Images, StripsBordersHandlesAndTheWholeSurfaceFlag) {
    c_Image* font = bb_graphics_LoadImage(String(Png("strip.png", 960, 10).c_str()), 96, 2);
    ASSERT_NE(font, nullptr);
    ASSERT_EQ(font->p_Frames(), 96);
    EXPECT_EQ(font->m_frames[0]->m_x, 1);
    EXPECT_EQ(font->m_frames[1]->m_x, 11);
    EXPECT_EQ(font->m_frames[95]->m_x, 951);
    EXPECT_EQ(font->p_Width(), 8);
    EXPECT_EQ(font->p_Height(), 10);

    std::string single = Png("single.png", 16, 16);
    c_Image* whole = bb_graphics_LoadImage(String(single.c_str()), 1, 0);
    c_Image* bordered = bb_graphics_LoadImage(String(single.c_str()), 1, c_Image::BorderX | c_Image::BorderY);
    c_Image* centred = bb_graphics_LoadImage(String(single.c_str()), 1, c_Image::CentreHandle);
    EXPECT_EQ(whole->m_flags, c_Image::WholeSurface);
    EXPECT_EQ(bordered->m_flags & c_Image::WholeSurface, 0);
    EXPECT_EQ(bordered->p_Height(), 14);
    EXPECT_EQ(bordered->m_frames[0]->m_y, 1);
    EXPECT_FLOAT_EQ(centred->m_tx, 8);
    EXPECT_FLOAT_EQ(centred->m_ty, 8);
    EXPECT_EQ(centred->m_flags, c_Image::WholeSurface);

    BeginFrame();
    bb_graphics_DrawImage(whole, 10, 20, 0);
    bb_graphics_DrawImage(bordered, 10, 20, 0);
    bb_graphics_DrawImage(centred, 10, 20, 0);
    ASSERT_EQ(rec->calls.size(), 3u);
    EXPECT_TRUE(rec->calls[0].whole);
    EXPECT_FALSE(rec->calls[1].whole);
    EXPECT_EQ(rec->calls[1].srcx, 1);
    EXPECT_EQ(rec->calls[1].srcw, 14);
    EXPECT_FLOAT_EQ(rec->calls[2].x, 2);
    EXPECT_FLOAT_EQ(rec->calls[2].y, 12);
}

TEST_F(Images, FramesOutsideTheImageDrawNothing) {
    c_Image* img = bb_graphics_LoadImage2(String(Png("grid.png", 64, 32).c_str()), 16, 16, 8, 0);
    BeginFrame();
    bb_graphics_DrawImage(img, 0, 0, 8);
    bb_graphics_DrawImage(img, 0, 0, -1);
    bb_graphics_DrawImage2(img, 0, 0, 45, 2, 2, 1000);
    bb_graphics_DrawImage(nullptr, 0, 0, 0);
    EXPECT_TRUE(rec->calls.empty());
    bb_graphics_DrawImage(img, 0, 0, 7);
    ASSERT_EQ(rec->calls.size(), 1u);
    EXPECT_EQ(rec->calls[0].srcx, 48);
    EXPECT_EQ(rec->calls[0].srcy, 16);
}

TEST_F(Images, DrawImage2TransformsAboutTheHandleAndRestoresTheMatrix) {
    c_Image* img = bb_graphics_LoadImage(String(Png("single.png", 16, 16).c_str()), 1, c_Image::CentreHandle);
    BeginFrame();
    bb_graphics_Translate(3, 4);
    bb_graphics_DrawImage2(img, 100, 50, 0, 2, 2, 0);
    EXPECT_EQ(bb_graphics_context->m_matrixSp, 0);
    EXPECT_FLOAT_EQ(bb_graphics_context->m_tx, 3);
    // The top-left corner: 3 + 100 - 2 * 8, 4 + 50 - 2 * 8.
    device->Flush();
    EXPECT_FLOAT_EQ(device->m_vertices[0].x, 87);
    EXPECT_FLOAT_EQ(device->m_vertices[0].y, 38);
    EXPECT_FLOAT_EQ(device->m_vertices[2].x, 119);
}

// DrawImage2 forms the sprite's matrix itself; its corners are exactly
// those of the matrix sequence Translate, Rotate, Scale, Translate(-handle)
// drawn through the device's matrix, on any context matrix.
TEST_F(Images, DrawImage2PlacesCornersExactlyAsTheMatrixSequence) {
    c_Image* img = bb_graphics_LoadImage2(String(Png("grid.png", 64, 32).c_str()), 16, 16, 8, c_Image::CentreHandle);
    struct {
        float ctxRotation, ctxScale, rotation, sx, sy;
    } cases[] = {{0, 1, 0, 2, 3}, {0, 1, 33, 1.5f, 1.5f}, {0, 2, 0, 1, 1}, {10, 1, 33, 1.5f, 1.5f}, {0, 1, -90, 1, 2}};
    for (auto& c : cases) {
        BeginFrame();
        bb_graphics_Translate(3.25f, 4.5f);
        bb_graphics_Rotate(c.ctxRotation);
        bb_graphics_Scale(c.ctxScale, c.ctxScale);
        bb_graphics_DrawImage2(img, 100.5f, 50.25f, c.rotation, c.sx, c.sy, 5);

        bb_graphics_PushMatrix();
        bb_graphics_Translate(100.5f, 50.25f);
        bb_graphics_Rotate(c.rotation);
        bb_graphics_Scale(c.sx, c.sy);
        bb_graphics_Translate(-img->m_tx, -img->m_ty);
        bb_graphics_DrawImage(img, img->m_tx, img->m_ty, 5);
        bb_graphics_PopMatrix();
        ASSERT_EQ(device->m_primCount, 8);
        for (int i = 0; i < 4; ++i) {
            const gxtkVertex &fast = device->m_vertices[i], &slow = device->m_vertices[4 + i];
            EXPECT_EQ(fast.x, slow.x) << "rotation " << c.rotation << " corner " << i;
            EXPECT_EQ(fast.y, slow.y) << "rotation " << c.rotation << " corner " << i;
            EXPECT_EQ(fast.u, slow.u);
            EXPECT_EQ(fast.v, slow.v);
        }
        EXPECT_EQ(bb_graphics_context->m_matrixSp, 0);
        bb_graphics_EndRender();
    }
}

TEST_F(Images, MatrixProductsAndTheIdentity) {
    BeginFrame();
    bb_graphics_Translate(10, 0);
    bb_graphics_Rotate(90);
    c_GraphicsContext* c = bb_graphics_context;
    float x = c->m_ix * 1 + c->m_jx * 0 + c->m_tx, y = c->m_iy * 1 + c->m_jy * 0 + c->m_ty;
    EXPECT_NEAR(x, 10, 1e-6);
    EXPECT_NEAR(y, -1, 1e-6);
    EXPECT_EQ(c->m_tformed, 1);

    bb_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
    bb_graphics_Translate(5, 5);
    bb_graphics_Scale(2, 3);
    EXPECT_FLOAT_EQ(c->m_jy, 3);
    bb_graphics_Scale(0.5f, 1.0f / 3);
    bb_graphics_Translate(-5, -5);
    EXPECT_EQ(c->m_tformed, 0);
    EXPECT_EQ(c->m_matDirty, 1);
    bb_graphics_DrawRect(0, 0, 1, 1);
    EXPECT_EQ(c->m_matDirty, 0);
    EXPECT_FALSE(device->m_tformed);

    float m[] = {2, 0, 0, 2, 1, 1};
    bb_graphics_SetMatrix2(Array<float>(m, 6));
    bb_graphics_Transform2(Array<float>(m, 6));
    EXPECT_FLOAT_EQ(c->m_ix, 4);
    EXPECT_FLOAT_EQ(c->m_tx, 3);
}

TEST_F(Images, TheMatrixStackNeverLeavesItsStorage) {
    BeginFrame();
    c_GraphicsContext* c = bb_graphics_context;
    EXPECT_EQ(c->m_matrixStack.Length(), 192);
    for (int i = 0; i < 40; ++i) {
        bb_graphics_PushMatrix();
        bb_graphics_Translate(1, 0);
    }
    EXPECT_GE(c->m_matrixStack.Length(), 40 * 6);
    for (int i = 39; i >= 0; --i) {
        bb_graphics_PopMatrix();
        EXPECT_FLOAT_EQ(c->m_tx, static_cast<float>(i)) << "level " << i;
    }
    bb_graphics_Translate(7, 0);
    bb_graphics_PopMatrix();  // nothing saved: the matrix stays
    EXPECT_EQ(c->m_matrixSp, 0);
    EXPECT_FLOAT_EQ(c->m_tx, 7);
}

TEST_F(Images, TheDefaultFontIsANinetySixFrameStripFromSpace) {
    // Fonts come from data/ under the working directory.
    std::string work = TempDir();
    std::string data = work + "/data";
    ASSERT_EQ(mkdir(data.c_str(), 0755), 0);
    std::vector<unsigned char> rgba(960 * 8 * 4, 0);
    WritePng(data + "/vexa_font.png", 960, 8, rgba);
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(work.c_str()), 0);

    bb_graphics_SetFont(nullptr, 65);
    c_GraphicsContext* c = bb_graphics_context;
    c_Image* font = c->m_font;
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font, c->m_defaultFont);
    EXPECT_EQ(c->m_firstChar, 32);
    EXPECT_EQ(font->p_Frames(), 96);
    EXPECT_EQ(font->m_frames[33]->m_x, 331);
    EXPECT_EQ(font->p_Width(), 8);

    // Loaded once: a second call reuses it; another font replaces it.
    bb_graphics_SetFont(nullptr, 32);
    EXPECT_EQ(c->m_font, font);
    c_Image* other = bb_graphics_LoadImage(String("vexa_font.png"), 96, 2);
    bb_graphics_SetFont(other, 48);
    EXPECT_EQ(c->m_font, other);
    EXPECT_EQ(c->m_firstChar, 48);
    bb_graphics_SetFont(nullptr, 48);
    EXPECT_EQ(c->m_font, font);
    ASSERT_EQ(chdir(old), 0);

    // Text is one frame per character from the first character on.
    BeginFrame();
    bb_graphics_DrawText(String("A!~\t"), 100, 10, 0.5f, 1);
    ASSERT_EQ(rec->calls.size(), 3u) << "a character without a frame draws nothing";
    EXPECT_EQ(rec->calls[0].srcx, 331);
    EXPECT_FLOAT_EQ(rec->calls[0].x, 84);
    EXPECT_FLOAT_EQ(rec->calls[0].y, 2);
    EXPECT_EQ(rec->calls[1].srcx, 11);
    EXPECT_FLOAT_EQ(rec->calls[1].x, 92);
    EXPECT_EQ(rec->calls[2].srcx, 941);
}

TEST_F(Images, TheGeneratedFontFileHasItsFrames) {
    std::string path = std::string(KQ_DATA_DIR) + "/vexa_font.png";
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) GTEST_SKIP() << "the art generator has not written " << path;
    fclose(f);
    c_Image* font = bb_graphics_LoadImage(String(path.c_str()), 96, 2);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->p_Frames(), 96);
    EXPECT_EQ(font->m_surface->Width() % 96, 0);
    EXPECT_EQ(font->p_Width(), font->m_surface->Width() / 96 - 2);
}

}  // namespace
