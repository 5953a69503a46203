// Batching of the renderer, counted at the GL draw calls.
#include "gl_fixture.h"

namespace {

using Batch = GLTest;

TEST_F(Batch, QuadsOfOneTextureGoOutTogetherUntilTheBufferIsFull) {
    BeginFrame();
    gxtkSurface* tex = device->CreateSurface(8, 8);
    for (int i = 0; i < 256; ++i) device->DrawSurface(tex, static_cast<float>(i % 16), static_cast<float>(i / 16));
    EXPECT_TRUE(GLRecorder::draws.empty()) << "nothing is drawn before the batch is flushed";
    device->Flush();
    ASSERT_EQ(GLRecorder::draws.size(), 1u);
    EXPECT_TRUE(GLRecorder::draws[0].elements);
    EXPECT_EQ(GLRecorder::draws[0].mode, static_cast<GLenum>(GL_TRIANGLES));
    EXPECT_EQ(GLRecorder::draws[0].count, 1536);

    GLRecorder::Clear();
    for (int i = 0; i < 257; ++i) device->DrawSurface(tex, 0, 0);
    ASSERT_EQ(GLRecorder::draws.size(), 1u) << "the 257th quad flushed the first 256";
    EXPECT_EQ(GLRecorder::draws[0].count, 1536);
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

TEST_F(Batch, TextureOrKindChangesStartNewBatches) {
    BeginFrame();
    gxtkSurface* a = device->CreateSurface(8, 8);
    gxtkSurface* b = device->CreateSurface(8, 8);
    device->DrawSurface(a, 0, 0);
    device->DrawSurface(b, 0, 0);
    device->DrawSurface(a, 0, 0);
    device->Flush();
    EXPECT_EQ(GLRecorder::draws.size(), 3u);

    GLRecorder::Clear();
    device->DrawRect(0, 0, 4, 4);
    device->DrawLine(0, 0, 4, 4);
    device->DrawLine(4, 0, 0, 4);
    device->DrawPoint(1, 1);
    device->DrawRect(0, 0, 4, 4);
    device->Flush();
    ASSERT_EQ(GLRecorder::draws.size(), 4u);
    EXPECT_EQ(GLRecorder::draws[0].mode, static_cast<GLenum>(GL_TRIANGLES));
    EXPECT_EQ(GLRecorder::draws[1].mode, static_cast<GLenum>(GL_LINES));
    EXPECT_EQ(GLRecorder::draws[1].count, 4);
    EXPECT_EQ(GLRecorder::draws[2].mode, static_cast<GLenum>(GL_POINTS));
    EXPECT_TRUE(GLRecorder::draws[3].elements);
}

TEST_F(Batch, StateThatGlHoldsFlushesFirstAndClsDropsWhatIsPending) {
    BeginFrame();
    device->DrawRect(0, 0, 4, 4);
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

TEST_F(Batch, BufferHoldsExactly1024Vertices) {
    BeginFrame();
    for (int i = 0; i < 1024; ++i) device->DrawPoint(1, 1);
    EXPECT_TRUE(GLRecorder::draws.empty());
    EXPECT_EQ(device->m_primCount, 1024);
    device->DrawPoint(1, 1);
    ASSERT_EQ(GLRecorder::draws.size(), 1u);
    EXPECT_EQ(GLRecorder::draws[0].count, 1024);
    EXPECT_EQ(device->m_primCount, 1);

    device->Flush();
    GLRecorder::Clear();
    for (int i = 0; i < 513; ++i) device->DrawLine(0, 0, 1, 1);
    ASSERT_EQ(GLRecorder::draws.size(), 1u);
    EXPECT_EQ(GLRecorder::draws[0].count, 1024);
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
        EXPECT_EQ(device->m_primType, c.verts) << "size " << c.size;
        EXPECT_EQ(device->m_primCount, c.verts) << "size " << c.size;
    }
    // Scaled by 2 the raw count of a 30 x 30 oval is 60.
    device->Flush();
    device->SetMatrix(2, 0, 0, 2, 0, 0);
    device->DrawOval(0, 0, 30, 30);
    EXPECT_EQ(device->m_primType, 60);

    // First vertex is the rightmost point; the second goes up the screen.
    device->Flush();
    device->SetMatrix(1, 0, 0, 1, 0, 0);
    device->DrawOval(10, 20, 30, 30);
    EXPECT_FLOAT_EQ(device->m_vertices[0].x, 40);
    EXPECT_FLOAT_EQ(device->m_vertices[0].y, 35);
    EXPECT_LT(device->m_vertices[1].y, 35);

    // Two ovals of one size share a batch, drawn as one fan each.
    GLRecorder::Clear();
    device->DrawOval(0, 0, 30, 30);
    device->DrawOval(0, 0, 30, 30);
    device->DrawOval(0, 0, 50, 50);
    device->Flush();
    ASSERT_EQ(GLRecorder::draws.size(), 4u);
    EXPECT_EQ(GLRecorder::draws[0].mode, static_cast<GLenum>(GL_TRIANGLE_FAN));
    EXPECT_EQ(GLRecorder::draws[1].first, 28);
    EXPECT_EQ(GLRecorder::draws[2].first, 28 * 2);
    EXPECT_EQ(GLRecorder::draws[3].count, 48);
}

TEST_F(Batch, PolygonsOutsideOneToThousandTwentyFourVerticesDrawNothing) {
    BeginFrame();
    device->DrawPoly(Array<float>());
    device->DrawPoly(Array<float>(1025 * 2));
    device->DrawPoly2(Array<float>(1025 * 4), device->CreateSurface(4, 4), 0, 0);
    EXPECT_EQ(device->m_primCount, 0);

    float tri[] = {0, 0, 10, 0, 10, 10, 0, 10, 0, 5};
    device->DrawPoly(Array<float>(tri, 10));
    EXPECT_EQ(device->m_primType, 5);
    device->Flush();
    ASSERT_EQ(GLRecorder::draws.size(), 1u);
    EXPECT_EQ(GLRecorder::draws[0].count, 5);
}

}  // namespace
