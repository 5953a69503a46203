// Batching of the renderer, counted at the GL draw calls: one call per
// texture whatever the primitives, the vertex buffer's limit, the state
// that flushes, and what may be drawn out of order without changing the
// picture.
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

// Rectangles, ovals, lines and polygons join the batch of the texture in
// use (or take the next one drawn); a second texture splits only where its
// quads would be drawn over the first's. Colour, alpha and the matrix go
// into the vertices and split nothing.
TEST_F(Batch, OneDrawPerTextureWhateverThePrimitivesColoursAndMatrices) {
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
    float five[] = {0, 0, 10, 0, 10, 10, 0, 10, 0, 5};
    device->DrawRect(0, 0, 4, 4);
    device->SetColor(255, 0, 0);
    device->SetAlpha(0.5f);
    device->SetMatrix(2, 0, 0, 2, 10, 20);
    device->DrawOval(0, 0, 10, 10);  // twice the size: 20 vertices
    device->DrawPoly(Array<float>(five, 10));
    device->DrawPoly(Array<float>(1025 * 2));  // more vertices than a polygon may have: nothing
    device->DrawPoint(100, 100);
    device->DrawRect(0, 0, 4, 4);
    device->Flush();
    ASSERT_EQ(GLRecorder::draws.size(), 2u);
    EXPECT_EQ(GLRecorder::draws[0].mode, static_cast<GLenum>(GL_TRIANGLES));
    EXPECT_EQ(GLRecorder::draws[0].count, 6 + 18 * 3 + 3 * 3 + 6);
    EXPECT_EQ(GLRecorder::draws[1].mode, static_cast<GLenum>(GL_POINTS));
    EXPECT_NE(GLRecorder::draws[0].texture, a->m_texture);
    EXPECT_EQ(device->m_vertices[0].color, 0xFFFFFFFFu);
    // The oval's first vertex, its rightmost point (10, 5), in half-bright red.
    EXPECT_FLOAT_EQ(device->m_vertices[4].x, 30);
    EXPECT_FLOAT_EQ(device->m_vertices[4].y, 30);
    EXPECT_EQ(device->m_vertices[4].color, 0x7F00007Fu);

    // However large, an oval fits the buffer.
    device->DrawOval(0, 0, 40000, 40000);
    EXPECT_EQ(device->m_primCount, static_cast<int>(gxtkGraphics::MAX_OVAL_SEGMENTS));
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

    GLRecorder::Clear();
    device->DrawRect(0, 0, 50, 50);
    device->Cls(0, 0, 255);
    device->EndRender();
    EXPECT_TRUE(GLRecorder::draws.empty()) << "the rectangle drawn before Cls never reaches GL";
}

}  // namespace
