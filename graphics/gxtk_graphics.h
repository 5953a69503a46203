// The graphics device: a batched OpenGL 1.1 renderer of 2D primitives and
// textured quads (gxtkGraphics), and textured surfaces that keep their
// pixels so textures can be made again for a new GL context (gxtkSurface).
// Every primitive is textured: rectangles, ovals, lines and polygons take
// a white texel of the batch's texture, so only the texture (and GL state
// such as blend and scissor) splits a batch.
#pragma once
#include <cstdint>

#include "runtime/runtime.h"

class gxtkSurface : public Object {
public:
    unsigned char* m_data = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_depth = 0;
    int m_format = 0;
    int m_seq = -1;
    unsigned int m_texture = 0;
    float m_uscale = 0;
    float m_vscale = 0;
    // Texture coordinates inside the white rows below the pixels (see Bind).
    float m_whiteU = 0;
    float m_whiteV = 0;
    // Bytes of the texture in its context, and what the collector was told
    // this surface holds outside it (pixels plus texture).
    int64_t m_textureBytes = 0;
    int64_t m_heldBytes = 0;

    gxtkSurface() {}
    ~gxtkSurface() override;

    virtual int Discard();
    virtual int Width() { return m_width; }
    virtual int Height() { return m_height; }
    virtual int Loaded() { return 1; }
    virtual bool OnUnsafeLoadComplete();

    void SetData(unsigned char* data, int width, int height, int depth);
    void SetSubData(int x, int y, int w, int h, const int* pixels, int pitch);
    void Bind();

private:
    // Tells the collector what the pixels and the texture take now.
    void UpdateHeldBytes();
};

struct gxtkVertex {
    float x, y, u, v;
    uint32_t color;
};
static_assert(sizeof(gxtkVertex) == 20, "packed 20-byte vertex");

// One draw call in the making: a texture (null while only untextured
// primitives are in it), a GL primitive kind and the white texel that its
// untextured primitives sample.
struct gxtkBatch {
    gxtkSurface* surface;
    int kind;
    float whiteU, whiteV;
    int indexCount;
};

// The bounding box of a primitive of a batch after the first, in window
// pixels.
struct gxtkBox {
    int batch;
    float x0, y0, x1, y1;
};

// A stretch of the index list that belongs to one batch.
struct gxtkRun {
    int batch, start, count;
};

class gxtkGraphics : public Object {
public:
    enum {
        MAX_VERTS = 16384,
        MAX_QUADS = MAX_VERTS / 4,
        // A fan of n vertices needs 3 (n - 2) indices, a quad 6 for 4, a
        // point 1: never more than three indices per vertex.
        MAX_INDICES = MAX_VERTS * 3,
        MAX_POLY_VERTS = 1024,
        MAX_OVAL_SEGMENTS = 1024,
        MAX_BATCHES = 16,
        MAX_RUNS = 1024,
        // The window is cut into cells of about CELL x CELL pixels, at most
        // GRID along each side, to tell which batches a primitive overlaps.
        CELL = 4,
        GRID = 256,
        MAX_BOXES = 4096,
        // Boxes compared at most for one primitive; past that it counts as
        // overlapping.
        MAX_BOX_TESTS = 512,
    };
    // GL primitive kinds of a batch: points, or triangles (everything else).
    enum { KIND_POINTS = 1, KIND_TRIANGLES = 3 };
    // How a primitive's vertices make triangles.
    enum Shape { SHAPE_POINT, SHAPE_QUAD, SHAPE_FAN };

    int m_width = 0;
    int m_height = 0;
    uint32_t m_color = 0;
    float m_r = 255, m_g = 255, m_b = 255;
    float m_alpha = 1;
    float m_ix = 1, m_iy = 0, m_jx = 0, m_jy = 1, m_tx = 0, m_ty = 0;
    bool m_tformed = false;

    // Pending primitives: their vertices in drawing order, and batches in
    // the order they are drawn. A primitive joins the last batch when it
    // can; one of another texture may join an earlier batch of its texture
    // when it overlaps nothing of the batches drawn after that one, so the
    // picture is the same as drawing everything in order.
    gxtkVertex m_vertices[MAX_VERTS];
    int m_primCount = 0;
    gxtkBatch m_batches[MAX_BATCHES];
    int m_batchCount = 0;
    // While the only batch holds only quads its indices are not written:
    // it is drawn with m_quadIndices.
    bool m_quadsOnly = true;
    uint16_t m_quadIndices[MAX_QUADS * 6];
    uint16_t m_indices[MAX_INDICES];
    int m_indexCount = 0;
    gxtkRun m_runs[MAX_RUNS];
    int m_runCount = 0;
    uint16_t m_gathered[MAX_INDICES];  // one batch's indices made contiguous for its draw call
    // Per cell of the window, row by row, the last batch that drew there.
    unsigned char m_grid[GRID * GRID];
    int m_gridW = 1, m_gridH = 1;
    float m_cellW = 1, m_cellH = 1;
    bool m_gridUsed = false;
    // The boxes of what batches after the first hold, to settle what the
    // grid's cells leave open.
    gxtkBox m_boxes[MAX_BOXES];
    int m_boxCount = 0;

    gxtkSurface* m_white = nullptr;  // 1 x 1 white, for batches without a texture
    int m_blend = 0;                 // blend mode GL has (0 alpha, 1 additive)
    int m_maxViewport = 0;           // the context's largest viewport side
    int m_maxViewportSeq = -1;       // the context it was asked of

    gxtkGraphics();
    void mark() override;

    virtual int Width() { return m_width; }
    virtual int Height() { return m_height; }
    virtual int BeginRender();
    virtual void EndRender();
    virtual void DiscardGraphics() {}
    virtual gxtkSurface* LoadSurface(String path);
    virtual gxtkSurface* LoadSurface__UNSAFE__(gxtkSurface* surface, String path);
    virtual gxtkSurface* CreateSurface(int width, int height);
    virtual int Cls(float r, float g, float b);
    virtual int SetAlpha(float alpha);
    virtual int SetColor(float r, float g, float b);
    virtual int SetBlend(int blend);
    virtual int SetScissor(int x, int y, int w, int h);
    virtual int SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty);
    virtual int DrawPoint(float x, float y);
    virtual int DrawRect(float x, float y, float w, float h);
    virtual int DrawLine(float x0, float y0, float x1, float y1);
    virtual int DrawOval(float x, float y, float w, float h);
    virtual int DrawPoly(Array<float> verts);
    virtual int DrawPoly2(Array<float> verts, gxtkSurface* surface, int srcx, int srcy);
    virtual int DrawSurface(gxtkSurface* surface, float x, float y);
    virtual int DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw, int srch);
    virtual int ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch);
    virtual int WritePixels2(gxtkSurface* surface, Array<int> pixels, int x, int y, int w, int h, int offset,
                             int pitch);

    // Colour and alpha at once; the vertex colour is packed only when one
    // of them changed.
    int SetColorAlpha(float r, float g, float b, float alpha);
    // A frame of a surface as an axis-aligned quad whose corners are given
    // in window pixels, (x0, y0) top-left and (x1, y1) bottom-right; the
    // device's matrix is not applied.
    int DrawSurfaceRect(gxtkSurface* surface, float x0, float y0, float x1, float y1, int srcx, int srcy, int srcw,
                        int srch);
    // A frame of a surface placed by the given matrix instead of the
    // device's: frame point (px, py) goes to (ix px + jx py + tx, iy px + jy py + ty).
    int DrawSurfaceAffine(gxtkSurface* surface, float ix, float iy, float jx, float jy, float tx, float ty, int srcx,
                          int srcy, int srcw, int srch);

    void Flush();

    // Room for count more vertices after the pending ones (flushing first
    // when they would not fit). The caller writes them (position, colour,
    // and texture coordinates when textured) and then calls Commit.
    gxtkVertex* Reserve(int count);
    // Adds the count vertices at first as one primitive of the given shape
    // and texture (null for untextured: its vertices get the white texel of
    // the batch it joins).
    void Commit(Shape shape, gxtkSurface* surface, gxtkVertex* first, int count);
    // Writes one vertex through the current matrix, with the current colour.
    void PutVertex(gxtkVertex* v, float x, float y) { PutVertex(v, x, y, 0, 0); }
    void PutVertex(gxtkVertex* v, float x, float y, float u, float tv) {
        if (m_tformed) PutVertexRaw(v, m_ix * x + m_jx * y + m_tx, m_iy * x + m_jy * y + m_ty, u, tv);
        else PutVertexRaw(v, x, y, u, tv);
    }
    // Writes one vertex in window pixels, with the current colour.
    void PutVertexRaw(gxtkVertex* v, float x, float y, float u, float tv) {
        v->x = x;
        v->y = y;
        v->u = u;
        v->v = tv;
        v->color = m_color;
    }
    void PackColor();

private:
    // How far the viewport reaches beyond each side of the window: the
    // window's longer side, less where the context's largest viewport
    // would not hold it.
    int ViewportMargin();
    gxtkSurface* WhiteSurface();
    void ResetBatches();
    int ChooseBatch(int kind, gxtkSurface* surface, gxtkVertex* first, int count);
    int OpenBatch(int kind, gxtkSurface* surface);
    void Adopt(int batch, gxtkSurface* surface, int vertexLimit);
    gxtkBox BoxOf(gxtkVertex* first, int count);
    void CellsOf(const gxtkBox& box, int cells[4]);
    int Above(const gxtkBox& box, const int cells[4]);
    void Mark(const gxtkBox& box, const int cells[4], int batch);
    void WriteIndices(Shape shape, int batch, int base, int count);
    void PutLine(float x0, float y0, float x1, float y1, gxtkSurface* surface, float u0, float v0, float u1, float v1);
    void PutPoly(const float* xy, int stride, int n, gxtkSurface* surface, int srcx, int srcy);
};
