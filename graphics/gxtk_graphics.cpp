// The batched renderer (gxtkGraphics): primitives collected into one vertex
// buffer per run of like kind and texture, colour and matrix applied on the
// processor; and surfaces (gxtkSurface) that keep their premultiplied
// pixels so their textures can be made again for each new GL context.
#include "graphics/gxtk_graphics.h"

#include <GLFW/glfw3.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "graphics/gl_dispatch.h"
#include "host/glfw_game.h"

namespace {

// The drawable size of the window the renderer draws into: the host's
// window when there is one, otherwise the current GL context's window.
void DrawableSize(int* width, int* height) {
    *width = *height = 0;
    BBGlfwGame* host = BBGlfwGame::GlfwGame();
    if (host && host->Window()) {
        host->GetWindowSize(width, height);
        return;
    }
    if (GLFWwindow* w = glfwGetCurrentContext()) glfwGetFramebufferSize(w, width, height);
}

int PowerOfTwoAtLeast(int n) {
    int p = 1;
    while (p < n && p < (1 << 30)) p <<= 1;
    return p;
}

int ClampByte(float v) {
    int i = static_cast<int>(v);
    return i < 0 ? 0 : (i > 255 ? 255 : i);
}

}  // namespace

// ---------------------------------------------------------------- surface

gxtkSurface::~gxtkSurface() { Discard(); }

int gxtkSurface::Discard() {
    if (m_seq == glfwGraphicsSeq && m_texture && glfwGetCurrentContext()) gxtkGL.DeleteTextures(1, &m_texture);
    m_texture = 0;
    m_seq = -1;
    if (m_data) {
        free(m_data);
        m_data = nullptr;
    }
    return 0;
}

bool gxtkSurface::OnUnsafeLoadComplete() {
    Bind();
    return true;
}

void gxtkSurface::SetData(unsigned char* data, int width, int height, int depth) {
    if (m_data && m_data != data) free(m_data);
    m_data = data;
    m_width = width;
    m_height = height;
    m_depth = depth;
    switch (depth) {
        case 1: m_format = GL_LUMINANCE; break;
        case 2: m_format = GL_LUMINANCE_ALPHA; break;
        case 3: m_format = GL_RGB; break;
        default: m_format = GL_RGBA; break;
    }
    if (!data) return;
    // Colour is kept premultiplied by alpha, matching the blend functions.
    int n = width * height;
    if (depth == 4) {
        for (unsigned char* p = data; n-- > 0; p += 4) {
            int a = p[3];
            p[0] = static_cast<unsigned char>(p[0] * a / 255);
            p[1] = static_cast<unsigned char>(p[1] * a / 255);
            p[2] = static_cast<unsigned char>(p[2] * a / 255);
        }
    } else if (depth == 2) {
        for (unsigned char* p = data; n-- > 0; p += 2) p[0] = static_cast<unsigned char>(p[0] * p[1] / 255);
    }
}

void gxtkSurface::SetSubData(int x, int y, int w, int h, const int* pixels, int pitch) {
    if (m_format != GL_RGBA || !pixels || w <= 0 || h <= 0) return;
    // A rectangle that does not lie inside the surface would write outside
    // the pixel buffer: it is refused whole.
    if (x < 0 || y < 0 || x + w > m_width || y + h > m_height) return;
    if (!m_data) {
        m_data = static_cast<unsigned char*>(malloc(static_cast<size_t>(m_width) * m_height * 4));
        if (!m_data) return;
    }
    for (int r = 0; r < h; ++r) {
        const int* src = pixels + r * pitch;
        unsigned char* dst = m_data + (static_cast<size_t>(y + r) * m_width + x) * 4;
        for (int c = 0; c < w; ++c, dst += 4) {
            unsigned int p = static_cast<unsigned int>(src[c]);
            unsigned int a = p >> 24, red = (p >> 16) & 255, green = (p >> 8) & 255, blue = p & 255;
            dst[0] = static_cast<unsigned char>(red * a / 255);
            dst[1] = static_cast<unsigned char>(green * a / 255);
            dst[2] = static_cast<unsigned char>(blue * a / 255);
            dst[3] = static_cast<unsigned char>(a);
        }
    }
    if (m_seq != glfwGraphicsSeq || !glfwGraphicsSeq) return;
    gxtkGL.BindTexture(GL_TEXTURE_2D, m_texture);
    gxtkGL.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (x == 0 && w == m_width) {
        gxtkGL.TexSubImage2D(GL_TEXTURE_2D, 0, 0, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE,
                             m_data + static_cast<size_t>(y) * m_width * 4);
    } else {
        for (int r = 0; r < h; ++r)
            gxtkGL.TexSubImage2D(GL_TEXTURE_2D, 0, x, y + r, w, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                                 m_data + (static_cast<size_t>(y + r) * m_width + x) * 4);
    }
}

void gxtkSurface::Bind() {
    if (!glfwGraphicsSeq) return;
    if (m_seq == glfwGraphicsSeq) {
        gxtkGL.BindTexture(GL_TEXTURE_2D, m_texture);
        return;
    }
    // The texture of an earlier context went with that context; make a new
    // one from the kept pixels.
    m_seq = glfwGraphicsSeq;
    gxtkGL.GenTextures(1, &m_texture);
    gxtkGL.BindTexture(GL_TEXTURE_2D, m_texture);
    gxtkGL.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gxtkGL.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gxtkGL.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    gxtkGL.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);

    // Errors left over from earlier calls must not look like a refusal.
    for (int i = 0; i < 16 && gxtkGL.GetError() != GL_NO_ERROR; ++i) {
    }
    int texWidth = m_width, texHeight = m_height;
    gxtkGL.TexImage2D(GL_TEXTURE_2D, 0, m_format, texWidth, texHeight, 0, m_format, GL_UNSIGNED_BYTE, nullptr);
    if (gxtkGL.GetError() != GL_NO_ERROR) {
        // Drivers without non-power-of-two textures: the surface lives in
        // the top-left part of a larger texture.
        texWidth = PowerOfTwoAtLeast(m_width);
        texHeight = PowerOfTwoAtLeast(m_height);
        gxtkGL.TexImage2D(GL_TEXTURE_2D, 0, m_format, texWidth, texHeight, 0, m_format, GL_UNSIGNED_BYTE,
                          nullptr);
    }
    m_uscale = 1.0f / (texWidth > 0 ? texWidth : 1);
    m_vscale = 1.0f / (texHeight > 0 ? texHeight : 1);

    if (m_data) {
        gxtkGL.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
        gxtkGL.TexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, m_width, m_height, m_format, GL_UNSIGNED_BYTE, m_data);
    }
}

// ---------------------------------------------------------------- device

gxtkGraphics::gxtkGraphics() {
    DrawableSize(&m_width, &m_height);
    for (int q = 0; q < MAX_QUADS; ++q) {
        uint16_t b = static_cast<uint16_t>(q * 4);
        uint16_t* i = m_quadIndices + q * 6;
        i[0] = b;
        i[1] = static_cast<uint16_t>(b + 1);
        i[2] = static_cast<uint16_t>(b + 2);
        i[3] = b;
        i[4] = static_cast<uint16_t>(b + 2);
        i[5] = static_cast<uint16_t>(b + 3);
    }
    memset(m_vertices, 0, sizeof m_vertices);
    PackColor();
}

void gxtkGraphics::mark() { gc_mark(m_primSurf); }

void gxtkGraphics::PackColor() {
    // Each channel is clamped to a byte so that colours outside 0..255 do
    // not spill into the neighbouring channel.
    m_color = static_cast<uint32_t>(ClampByte(m_r * m_alpha)) |
              static_cast<uint32_t>(ClampByte(m_g * m_alpha)) << 8 |
              static_cast<uint32_t>(ClampByte(m_b * m_alpha)) << 16 |
              static_cast<uint32_t>(ClampByte(255 * m_alpha)) << 24;
}

int gxtkGraphics::BeginRender() {
    DrawableSize(&m_width, &m_height);
    gxtkGL.Viewport(0, 0, m_width, m_height);
    gxtkGL.MatrixMode(GL_PROJECTION);
    gxtkGL.LoadIdentity();
    gxtkGL.Ortho(0, m_width, m_height, 0, -1, 1);
    gxtkGL.MatrixMode(GL_MODELVIEW);
    gxtkGL.LoadIdentity();

    gxtkGL.EnableClientState(GL_VERTEX_ARRAY);
    gxtkGL.VertexPointer(2, GL_FLOAT, sizeof(gxtkVertex), &m_vertices[0].x);
    gxtkGL.EnableClientState(GL_TEXTURE_COORD_ARRAY);
    gxtkGL.TexCoordPointer(2, GL_FLOAT, sizeof(gxtkVertex), &m_vertices[0].u);
    gxtkGL.EnableClientState(GL_COLOR_ARRAY);
    gxtkGL.ColorPointer(4, GL_UNSIGNED_BYTE, sizeof(gxtkVertex), &m_vertices[0].color);

    gxtkGL.Enable(GL_BLEND);
    gxtkGL.BlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    gxtkGL.Disable(GL_TEXTURE_2D);
    m_primCount = 0;
    return 1;
}

void gxtkGraphics::EndRender() {
    Flush();
    BBGlfwGame* host = BBGlfwGame::GlfwGame();
    GLFWwindow* window = host && host->Window() ? host->Window() : glfwGetCurrentContext();
    if (window) glfwSwapBuffers(window);
}

void gxtkGraphics::Flush() {
    if (!m_primCount) return;
    if (m_primSurf) {
        gxtkGL.Enable(GL_TEXTURE_2D);
        m_primSurf->Bind();
    }
    switch (m_primType) {
        case 1: gxtkGL.DrawArrays(GL_POINTS, 0, m_primCount); break;
        case 2: gxtkGL.DrawArrays(GL_LINES, 0, m_primCount); break;
        case 3: gxtkGL.DrawArrays(GL_TRIANGLES, 0, m_primCount); break;
        case 4: gxtkGL.DrawElements(GL_TRIANGLES, m_primCount / 4 * 6, GL_UNSIGNED_SHORT, m_quadIndices); break;
        default:
            for (int first = 0; first < m_primCount; first += m_primType)
                gxtkGL.DrawArrays(GL_TRIANGLE_FAN, first, m_primType);
            break;
    }
    if (m_primSurf) gxtkGL.Disable(GL_TEXTURE_2D);
    m_primCount = 0;
}

gxtkVertex* gxtkGraphics::BeginPrim(int type, int count, gxtkSurface* surface) {
    if (type == m_primType && surface == m_primSurf && m_primCount + count <= MAX_VERTS) {
        gxtkVertex* v = m_vertices + m_primCount;
        m_primCount += count;
        return v;
    }
    if (m_primCount) Flush();
    m_primType = type;
    gc_assign(m_primSurf, surface);
    m_primCount = count;
    return m_vertices;
}

gxtkSurface* gxtkGraphics::LoadSurface(String path) {
    gxtkSurface* surface = new gxtkSurface();
    if (!LoadSurface__UNSAFE__(surface, path)) return nullptr;
    surface->Bind();
    return surface;
}

gxtkSurface* gxtkGraphics::LoadSurface__UNSAFE__(gxtkSurface* surface, String path) {
    BBGlfwGame* host = BBGlfwGame::GlfwGame();
    if (!host || !surface) return nullptr;
    int width = 0, height = 0, depth = 0;
    unsigned char* data = host->LoadImageData(path, &width, &height, &depth);
    if (!data) return nullptr;
    if (depth < 1 || depth > 4 || width <= 0 || height <= 0) {
        free(data);
        return nullptr;
    }
    surface->SetData(data, width, height, depth);
    return surface;
}

gxtkSurface* gxtkGraphics::CreateSurface(int width, int height) {
    gxtkSurface* surface = new gxtkSurface();
    surface->SetData(nullptr, width, height, 4);
    surface->Bind();
    return surface;
}

int gxtkGraphics::Cls(float r, float g, float b) {
    // What is pending would only be painted over.
    m_primCount = 0;
    gxtkGL.ClearColor(r / 255.0f, g / 255.0f, b / 255.0f, 1);
    gxtkGL.Clear(GL_COLOR_BUFFER_BIT);
    return 0;
}

int gxtkGraphics::SetAlpha(float alpha) {
    m_alpha = alpha;
    PackColor();
    return 0;
}

int gxtkGraphics::SetColor(float r, float g, float b) {
    m_r = r;
    m_g = g;
    m_b = b;
    PackColor();
    return 0;
}

int gxtkGraphics::SetBlend(int blend) {
    Flush();
    if (blend == 1)
        gxtkGL.BlendFunc(GL_ONE, GL_ONE);
    else
        gxtkGL.BlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    return 0;
}

int gxtkGraphics::SetScissor(int x, int y, int w, int h) {
    Flush();
    if (x == 0 && y == 0 && w == Width() && h == Height()) {
        gxtkGL.Disable(GL_SCISSOR_TEST);
        return 0;
    }
    gxtkGL.Enable(GL_SCISSOR_TEST);
    gxtkGL.Scissor(x, Height() - y - h, w > 0 ? w : 0, h > 0 ? h : 0);
    return 0;
}

int gxtkGraphics::SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty) {
    m_tformed = !(ix == 1 && iy == 0 && jx == 0 && jy == 1 && tx == 0 && ty == 0);
    m_ix = ix;
    m_iy = iy;
    m_jx = jx;
    m_jy = jy;
    m_tx = tx;
    m_ty = ty;
    return 0;
}

int gxtkGraphics::DrawPoint(float x, float y) {
    PutVertex(BeginPrim(1, 1, nullptr), x, y);
    return 0;
}

int gxtkGraphics::DrawRect(float x, float y, float w, float h) {
    gxtkVertex* v = BeginPrim(4, 4, nullptr);
    PutVertex(v, x, y);
    PutVertex(v + 1, x + w, y);
    PutVertex(v + 2, x + w, y + h);
    PutVertex(v + 3, x, y + h);
    return 0;
}

int gxtkGraphics::DrawLine(float x0, float y0, float x1, float y1) {
    gxtkVertex* v = BeginPrim(2, 2, nullptr);
    PutVertex(v, x0, y0);
    PutVertex(v + 1, x1, y1);
    return 0;
}

int gxtkGraphics::DrawOval(float x, float y, float w, float h) {
    float xr = w * 0.5f, yr = h * 0.5f;
    float cx = x + xr, cy = y + yr;
    int segs;
    if (m_tformed) {
        float dx = std::sqrt((xr * m_ix) * (xr * m_ix) + (xr * m_iy) * (xr * m_iy));
        float dy = std::sqrt((yr * m_jx) * (yr * m_jx) + (yr * m_jy) * (yr * m_jy));
        segs = static_cast<int>(dx + dy);
    } else {
        segs = std::abs(static_cast<int>(xr)) + std::abs(static_cast<int>(yr));
    }
    if (segs <= 11)
        segs = 12;
    else if (segs > MAX_VERTS)
        segs = MAX_VERTS;
    else
        segs &= ~3;

    gxtkVertex* v = BeginPrim(segs, segs, nullptr);
    for (int i = 0; i < segs; ++i) {
        float th = static_cast<float>(i) * 6.2831855f / static_cast<float>(segs);
        PutVertex(v + i, cx + std::cos(th) * xr, cy - std::sin(th) * yr);
    }
    return 0;
}

int gxtkGraphics::DrawPoly(Array<float> verts) {
    int n = verts.Length() / 2;
    if (n < 1 || n > MAX_VERTS) return 0;
    gxtkVertex* v = BeginPrim(n, n, nullptr);
    for (int i = 0; i < n; ++i) PutVertex(v + i, verts[i * 2], verts[i * 2 + 1]);
    return 0;
}

int gxtkGraphics::DrawPoly2(Array<float> verts, gxtkSurface* surface, int srcx, int srcy) {
    int n = verts.Length() / 4;
    if (n < 1 || n > MAX_VERTS || !surface) return 0;
    if (surface->m_seq != glfwGraphicsSeq) surface->Bind();
    float us = surface->m_uscale, vs = surface->m_vscale;
    gxtkVertex* v = BeginPrim(n, n, surface);
    for (int i = 0; i < n; ++i) {
        const float* p = &verts[i * 4];
        PutVertex(v + i, p[0], p[1], (p[2] + srcx) * us, (p[3] + srcy) * vs);
    }
    return 0;
}

int gxtkGraphics::DrawSurface(gxtkSurface* surface, float x, float y) {
    if (!surface) return 0;
    // The scales come from the texture, so make it for this context now.
    if (surface->m_seq != glfwGraphicsSeq) surface->Bind();
    float w = static_cast<float>(surface->Width()), h = static_cast<float>(surface->Height());
    float u1 = w * surface->m_uscale, v1 = h * surface->m_vscale;
    gxtkVertex* v = BeginPrim(4, 4, surface);
    PutVertex(v, x, y, 0, 0);
    PutVertex(v + 1, x + w, y, u1, 0);
    PutVertex(v + 2, x + w, y + h, u1, v1);
    PutVertex(v + 3, x, y + h, 0, v1);
    return 0;
}

int gxtkGraphics::DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw, int srch) {
    if (!surface) return 0;
    if (surface->m_seq != glfwGraphicsSeq) surface->Bind();
    float us = surface->m_uscale, vs = surface->m_vscale;
    float u0 = srcx * us, u1 = (srcx + srcw) * us;
    float v0 = srcy * vs, v1 = (srcy + srch) * vs;
    gxtkVertex* v = BeginPrim(4, 4, surface);
    PutVertex(v, x, y, u0, v0);
    PutVertex(v + 1, x + srcw, y, u1, v0);
    PutVertex(v + 2, x + srcw, y + srch, u1, v1);
    PutVertex(v + 3, x, y + srch, u0, v1);
    return 0;
}

int gxtkGraphics::ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch) {
    Flush();
    if (w <= 0 || h <= 0) return 0;
    std::vector<uint32_t> buf(static_cast<size_t>(w) * h);
    gxtkGL.ReadPixels(x, Height() - y - h, w, h, GL_BGRA, GL_UNSIGNED_BYTE, buf.data());
    // GL's rows run bottom to top; the result's row 0 is the top row.
    int length = pixels.Length();
    for (int i = 0; i < h; ++i) {
        const uint32_t* src = buf.data() + static_cast<size_t>(h - 1 - i) * w;
        int start = offset + i * pitch;
        for (int j = 0; j < w; ++j) {
            int k = start + j;
            // Elements outside the array are skipped, never written.
            if (k >= 0 && k < length) pixels[k] = static_cast<int>(src[j]);
        }
    }
    return 0;
}

int gxtkGraphics::WritePixels2(gxtkSurface* surface, Array<int> pixels, int x, int y, int w, int h, int offset,
                               int pitch) {
    Flush();
    if (!surface || w <= 0 || h <= 0) return 0;
    // Every element the rectangle reads must lie inside the array.
    long long first = offset, last = offset + static_cast<long long>(h - 1) * pitch + w - 1;
    long long lowest = pitch < 0 ? offset + static_cast<long long>(h - 1) * pitch : first;
    long long highest = pitch < 0 ? offset + w - 1 : last;
    if (lowest < 0 || highest >= pixels.Length()) return 0;
    surface->SetSubData(x, y, w, h, pixels.Data() + offset, pitch);
    return 0;
}
