// The graphics module: frame strips and grids with their flags and
// handles, drawing by frame, the matrix functions and stack, and the
// default font with its text.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "gl_fixture.h"

namespace {

// A device that records the frame each image draw used.
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
    String Png(const char* name, int w, int h) {
        std::string path = dir + "/" + name;
        WritePng(path, w, h, std::vector<unsigned char>(static_cast<size_t>(w) * h * 4, 200));
        return String(path.c_str());
    }
    RecordingDevice* rec = nullptr;
    std::string dir;
};

TEST_F(Images, GridsAreReadLeftToRightThenTopToBottomAndOnlyTheirFramesDraw) {
    c_Image* img = bb_graphics_LoadImage2(Png("grid.png", 64, 32), 16, 16, 8, 0);
    ASSERT_NE(img, nullptr);
    ASSERT_EQ(img->p_Frames(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(img->m_frames[i]->m_x, i % 4 * 16) << i;
        EXPECT_EQ(img->m_frames[i]->m_y, i / 4 * 16) << i;
    }
    EXPECT_EQ(img->m_flags & c_Image::WholeSurface, 0);
    // A grid within a sub-rectangle of a shared surface.
    c_Image* sub = (new c_Image)->m_new()->p_Init2(img->m_surface, 0, 0, 8, 8, 3, 0, img, 32, 16, 16, 16);
    EXPECT_EQ(sub->m_frames[1]->m_x, 40);
    EXPECT_EQ(sub->m_frames[2]->m_x, 32);
    EXPECT_EQ(sub->m_frames[2]->m_y, 24);

    BeginFrame();
    bb_graphics_DrawImage(img, 0, 0, 8);
    bb_graphics_DrawImage(img, 0, 0, -1);
    bb_graphics_DrawImage2(img, 0, 0, 45, 2, 2, 1000);
    bb_graphics_DrawImage(nullptr, 0, 0, 0);
    EXPECT_TRUE(rec->calls.empty()) << "frames outside the image draw nothing";
    bb_graphics_DrawImage(img, 0, 0, 7);
    ASSERT_EQ(rec->calls.size(), 1u);
    EXPECT_EQ(rec->calls[0].srcx, 48);
    EXPECT_EQ(rec->calls[0].srcy, 16);

    // Giving back a frame of a shared sheet leaves the sheet to the others.
    sub->p_Discard();
    EXPECT_NE(img->m_surface->m_data, nullptr);
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

TEST_F(Images, BordersHandlesAndTheWholeSurfaceFlag) {
    String single = Png("single.png", 16, 12);
    c_Image* whole = bb_graphics_LoadImage(single, 1, 0);
    c_Image* bordered = bb_graphics_LoadImage(single, 1, c_Image::BorderX | c_Image::BorderY);
    c_Image* centred = bb_graphics_LoadImage(single, 1, c_Image::CentreHandle);
    EXPECT_EQ(whole->m_flags, c_Image::WholeSurface);
    EXPECT_EQ(bordered->m_flags & c_Image::WholeSurface, 0);
    EXPECT_EQ(bordered->p_Height(), 10);
    EXPECT_EQ(bordered->m_frames[0]->m_y, 1);
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
    EXPECT_FLOAT_EQ(rec->calls[2].x, 2) << "drawn with its centre at (10, 20)";
    EXPECT_FLOAT_EQ(rec->calls[2].y, 14);
}

// DrawImage2 forms the sprite's matrix itself; its corners are exactly
// those of the matrix sequence Translate, Rotate, Scale, Translate(-handle)
// drawn through the device's matrix, on any context matrix, and the
// context's matrix is left as it was.
TEST_F(Images, DrawImage2PlacesCornersExactlyAsTheMatrixSequence) {
    c_Image* img = bb_graphics_LoadImage2(Png("grid.png", 64, 32), 16, 16, 8, c_Image::CentreHandle);
    struct {
        float ctxX, ctxRotation, ctxScale, rotation, sx, sy;
    } cases[] = {{0, 0, 1, 0, 2, 3},
                 {3.25f, 0, 1, 33, 1.5f, 1.5f},
                 {3.25f, 0, 2, 0, 1, 1},
                 {3.25f, 10, 1, 33, 1.5f, 1.5f},
                 {0, 0, 1, -90, 1, 2}};
    for (auto& c : cases) {
        BeginFrame();
        bb_graphics_Translate(c.ctxX, 4.5f * c.ctxX);
        bb_graphics_Rotate(c.ctxRotation);
        bb_graphics_Scale(c.ctxScale, c.ctxScale);
        float ix = bb_graphics_context->m_ix, tx = bb_graphics_context->m_tx;
        bb_graphics_DrawImage2(img, 100.5f, 50.25f, c.rotation, c.sx, c.sy, 5);
        EXPECT_EQ(bb_graphics_context->m_ix, ix);
        EXPECT_EQ(bb_graphics_context->m_tx, tx);

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
        bb_graphics_EndRender();
    }
}

TEST_F(Images, TheMatrixFunctionsComposeAndTheStackNeverLeavesItsStorage) {
    BeginFrame();
    c_GraphicsContext* c = bb_graphics_context;
    bb_graphics_Translate(10, 0);
    bb_graphics_Rotate(90);
    // The x axis now points up the screen from (10, 0).
    EXPECT_NEAR(c->m_ix + c->m_tx, 10, 1e-6);
    EXPECT_NEAR(c->m_iy + c->m_ty, -1, 1e-6);
    float m[] = {2, 0, 0, 2, 1, 1};
    bb_graphics_SetMatrix2(Array<float>(m, 6));
    bb_graphics_Transform2(Array<float>(m, 6));
    EXPECT_FLOAT_EQ(c->m_ix, 4);
    EXPECT_FLOAT_EQ(c->m_tx, 3);

    // Deeper than the stack's first storage, and back in order.
    bb_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
    for (int i = 0; i < 40; ++i) {
        bb_graphics_PushMatrix();
        bb_graphics_Translate(1, 2);
    }
    for (int i = 39; i >= 0; --i) {
        bb_graphics_PopMatrix();
        EXPECT_FLOAT_EQ(c->m_tx, static_cast<float>(i)) << "level " << i;
        EXPECT_FLOAT_EQ(c->m_ty, static_cast<float>(2 * i)) << "level " << i;
    }
    bb_graphics_Translate(7, 0);
    bb_graphics_PopMatrix();  // nothing saved: the matrix stays
    EXPECT_FLOAT_EQ(c->m_tx, 7);
}

TEST_F(Images, TheDefaultFontIsANinetySixFrameStripFromSpace) {
    // Fonts come from data/ under the working directory.
    std::string work = TempDir();
    ASSERT_EQ(mkdir((work + "/data").c_str(), 0755), 0);
    WritePng(work + "/data/vexa_font.png", 960, 8, std::vector<unsigned char>(960 * 8 * 4, 0));
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(work.c_str()), 0);

    bb_graphics_SetFont(nullptr, 65);
    c_GraphicsContext* c = bb_graphics_context;
    c_Image* font = c->m_font;
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(c->m_firstChar, 32);
    EXPECT_EQ(font->p_Frames(), 96);
    EXPECT_EQ(font->p_Width(), 8);
    // Loaded once: another font replaces it, and the default comes back.
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

}  // namespace
