// The graphics device: a batched OpenGL 1.1 renderer of 2D primitives and
// textured quads (gxtkGraphics), and textured surfaces that keep their
// pixels so textures can be made again for a new GL context (gxtkSurface).
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
};

struct gxtkVertex {
    float x, y, u, v;
    uint32_t color;
};
static_assert(sizeof(gxtkVertex) == 20, "packed 20-byte vertex");

class gxtkGraphics : public Object {
public:
    enum { MAX_VERTS = 1024, MAX_QUADS = 256 };

    int m_width = 0;
    int m_height = 0;
    uint32_t m_color = 0;
    float m_r = 255, m_g = 255, m_b = 255;
    float m_alpha = 1;
    float m_ix = 1, m_iy = 0, m_jx = 0, m_jy = 1, m_tx = 0, m_ty = 0;
    bool m_tformed = false;
    gxtkVertex m_vertices[MAX_VERTS];
    uint16_t m_quadIndices[MAX_QUADS * 6];
    int m_primType = 0;
    int m_primCount = 0;
    gxtkSurface* m_primSurf = nullptr;

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

    void Flush();

    // Room for count more vertices of a primitive of the given kind and
    // texture: appends to the pending batch when it matches and fits,
    // otherwise flushes and starts a new one. Returns the first slot.
    gxtkVertex* BeginPrim(int type, int count, gxtkSurface* surface);
    // Writes one vertex through the current matrix, with the current colour.
    void PutVertex(gxtkVertex* v, float x, float y) {
        if (m_tformed) {
            v->x = m_ix * x + m_jx * y + m_tx;
            v->y = m_iy * x + m_jy * y + m_ty;
        } else {
            v->x = x;
            v->y = y;
        }
        v->color = m_color;
    }
    void PutVertex(gxtkVertex* v, float x, float y, float u, float tv) {
        PutVertex(v, x, y);
        v->u = u;
        v->v = tv;
    }
    void PackColor();
};
