// Batching of the renderer, counted at the GL draw calls: one call per
// texture whatever the primitives, the buffer's limit, the state that
// flushes, and what may be drawn out of order without changing the picture.
#include "gl_fixture.h"

namespace {

using Batch = GLTest;

TEST_F(Batch, QuadsOfOneTextureGoOutTogetherUntilTheBufferIsFull) {
    BeginFrame();
    gxtkSurface* tex = device->CreateSurface(8, 8);
    const int quads = gxtkGraphics::MAX_QUADS;
    for (int i = 0; i < quads; ++i) device->DrawSurface(tex, static_cast<float>(i % 64), static_cast<float>(i / 64));
    EXPECT_TRUE(GLRecorder::draws.empty()) << "nothing is drawn before the batch is flushed";
    device->Flush();
    ASSERT_EQ(GLRecorder::draws.size(), 1u);
    EXPECT_TRUE(GLRecorder::draws[0].elements);
    EXPECT_EQ(GLRecorder::draws[0].mode, static_cast<GLenum>(GL_TRIANGLES));
    EXPECT_EQ(GLRecorder::draws[0].count, quads * 6);

    GLRecorder::Clear();
    for (int i = 0; i <= quads; ++i) device->DrawSurface(tex, 0, 0);
    ASSERT_EQ(GLRecorder::draws.size(), 1u) << "the quad after a full buffer flushed it";
    EXPECT_EQ(GLRecorder::draws[0].count, quads * 6);
    device->Flush();
    ASSERT_EQ(GLRecorder::draws.size(), 2u);
    EXPECT_EQ(GLRecorder::draws[1].count, 6);
}

TEST_F(Batch, ColourAlphaAndMatrixAreBakedIntoVerticesWithoutSplitting) {
    BeginFrame();
    gxtkSurface* tex = device->CreateSurface(8, 8);
    device->DrawSurface(tex, 0, 0);
    device->SetColor(255, 0, 0);
    device->SetAlpha(0.5f);
    device->SetMatrix(2, 0, 0, 2, 10, 20);
    device->DrawSurface(tex, 1, 1);
    device->Flush();
    ASSERT_EQ(GLRecorder::draws.size(), 1u);
    EXPECT_EQ(GLRecorder::draws[0].count, 12);

    // The second quad's vertices carry the new colour and the transform.
    const gxtkVertex& v = device->m_vertices[4];
    EXPECT_FLOAT_EQ(v.x, 12);
    EXPECT_FLOAT_EQ(v.y, 22);
    const unsigned char* c = reinterpret_cast<const unsigned char*>(&v.color);
    EXPECT_EQ(c[0], 127);
    EXPECT_EQ(c[1], 0);
    EXPECT_EQ(c[2], 0);
    EXPECT_EQ(c[3], 127);
    EXPECT_EQ(device->m_vertices[0].color, 0xFFFFFFFFu);
}

// Rectangles, ovals, lines and polygons join the batch of the texture in
// use (or take the next one drawn); a second texture splits only where its
// quads would be drawn over the first's.
TEST_F(Batch, OneDrawPerTextureWhatEverThePrimitives) {
    BeginFrame();
    gxtkSurface* a = device->CreateSurface(8, 8);
    gxtkSurface* b = device->CreateSurface(8, 8);
    float tri[] = {100, 100, 110, 100, 105, 110};
    device->DrawRect(0, 0, 4, 4);  // before any texture: takes a's
    device->DrawSurface(a, 10, 0);
    device->DrawOval(20, 0, 30, 30);
    device->DrawLine(0, 60, 40, 60);
    device->DrawPoly(Array<float>(tri, 6));
    device->DrawSurface(b, 200, 0);
    device->DrawRect(60, 0, 4, 4);
    device->DrawSurface(a, 100, 50);  // clear of b: back into a's batch
    device->DrawSurface(b, 104, 54);
    device->DrawSurface(a, 106, 56);  // over b: after it
    device->Flush();
    ASSERT_EQ(GLRecorder::draws.size(), 3u);
    EXPECT_EQ(GLRecorder::draws[0].texture, a->m_texture);
    EXPECT_EQ(GLRecorder::draws[1].texture, b->m_texture);
    EXPECT_EQ(GLRecorder::draws[2].texture, a->m_texture);
    // a's first batch: 2 rectangles and 2 sprites, the oval's 26 triangles,
    // the line's 2 and the polygon's 1.
    EXPECT_EQ(GLRecorder::draws[0].count, 4 * 6 + 26 * 3 + 6 + 3);
    EXPECT_EQ(GLRecorder::draws[2].count, 6);

    // Primitives alone go out in one call with the white texture; points
    // are a call of their own.
    GLRecorder::Clear();
    device->DrawRect(0, 0, 4, 4);
    device->DrawOval(0, 0, 10, 10);
    device->DrawPoint(100, 100);
    device->DrawRect(0, 0, 4, 4);
    device->Flush();
    ASSERT_EQ(GLRecorder::draws.size(), 2u);
    EXPECT_EQ(GLRecorder::draws[0].mode, static_cast<GLenum>(GL_TRIANGLES));
    EXPECT_EQ(GLRecorder::draws[0].count, 6 + 10 * 3 + 6);
    EXPECT_EQ(GLRecorder::draws[1].mode, static_cast<GLenum>(GL_POINTS));
    EXPECT_NE(GLRecorder::draws[0].texture, a->m_texture);
}

TEST_F(Batch, StateThatGlHoldsFlushesFirstAndClsDropsWhatIsPending) {
    BeginFrame();
    device->DrawRect(0, 0, 4, 4);
    device->SetBlend(0);  // already alpha blending: nothing to flush
    EXPECT_TRUE(GLRecorder::draws.empty());
    device->SetBlend(1);
    EXPECT_EQ(GLRecorder::draws.size(), 1u);
    device->DrawRect(0, 0, 4, 4);
    device->SetScissor(1, 1, 2, 2);
    EXPECT_EQ(GLRecorder::draws.size(), 2u);
    device->SetScissor(0, 0, device->Width(), device->Height());
    device->SetBlend(0);

    GLRecorder::Clear();
    device->SetColor(255, 255, 255);
    device->DrawRect(0, 0, 50, 50);
    device->Cls(0, 0, 255);
    device->EndRender();
    EXPECT_TRUE(GLRecorder::draws.empty()) << "the rectangle drawn before Cls never reaches GL";
    device->BeginRender();
    device->Cls(0, 0, 255);
    device->DrawRect(0, 0, 50, 50);
    device->Cls(0, 0, 255);
    EXPECT_EQ(Pixel(10, 10), 0xFF0000FFu);
}

TEST_F(Batch, OvalSegmentCountsFollowSizeAndMatrix) {
    BeginFrame();
    struct {
        float size;
        int verts;
    } cases[] = {{10, 12}, {30, 28}, {24, 24}, {4000, 1024}, {-30, 28}};
    for (auto& c : cases) {
        device->Flush();
        device->DrawOval(0, 0, c.size, c.size);
        EXPECT_EQ(device->m_primCount, c.verts) << "size " << c.size;
    }
    // Scaled by 2 the raw count of a 30 x 30 oval is 60.
    device->Flush();
    device->SetMatrix(2, 0, 0, 2, 0, 0);
    device->DrawOval(0, 0, 30, 30);
    EXPECT_EQ(device->m_primCount, 60);

    // First vertex is the rightmost point; the second goes up the screen.
    device->Flush();
    device->SetMatrix(1, 0, 0, 1, 0, 0);
    device->DrawOval(10, 20, 30, 30);
    EXPECT_FLOAT_EQ(device->m_vertices[0].x, 40);
    EXPECT_FLOAT_EQ(device->m_vertices[0].y, 35);
    EXPECT_LT(device->m_vertices[1].y, 35);
}

TEST_F(Batch, PolygonsOutsideOneToThousandTwentyFourVerticesDrawNothing) {
    BeginFrame();
    device->DrawPoly(Array<float>());
    device->DrawPoly(Array<float>(1025 * 2));
    device->DrawPoly2(Array<float>(1025 * 4), device->CreateSurface(4, 4), 0, 0);
    EXPECT_EQ(device->m_primCount, 0);

    float five[] = {0, 0, 10, 0, 10, 10, 0, 10, 0, 5};
    device->DrawPoly(Array<float>(five, 10));
    EXPECT_EQ(device->m_primCount, 5);
    device->Flush();
    ASSERT_EQ(GLRecorder::draws.size(), 1u);
    EXPECT_EQ(GLRecorder::draws[0].count, 3 * 3);
}

}  // namespace
