// The batched renderer (gxtkGraphics): primitives collected into one vertex
// buffer per run of one texture, colour and matrix applied on the
// processor, untextured primitives drawn from a white texel of the batch's
// texture; and surfaces (gxtkSurface) that keep their premultiplied pixels
// so their textures can be made again for each new GL context.
#include "graphics/gxtk_graphics.h"

#include <GLFW/glfw3.h>

#include <algorithm>
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

// A quad's two triangles from its four corners at base (top-left,
// top-right, bottom-right, bottom-left): (0, 1, 2) and (0, 2, 3).
void PutQuadIndices(uint16_t* i, int base) {
    const uint16_t b = static_cast<uint16_t>(base);
    i[0] = b, i[1] = static_cast<uint16_t>(b + 1), i[2] = static_cast<uint16_t>(b + 2);
    i[3] = b, i[4] = static_cast<uint16_t>(b + 2), i[5] = static_cast<uint16_t>(b + 3);
}

int PowerOfTwoAtLeast(int n) {
    int p = 1;
    while (p < n && p < (1 << 30)) p <<= 1;
    return p;
}

// Rows below a surface's pixels in its texture: a copy of the last row, so
// that filtering along the bottom edge sees what clamping would show, then
// two white rows. Untextured primitives sample the edge between the two
// white rows, where every filter tap is white.
const int PAD_ROWS = 3;

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
    m_textureBytes = 0;
    if (m_data) {
        free(m_data);
        m_data = nullptr;
    }
    UpdateHeldBytes();
    return 0;
}

void gxtkSurface::UpdateHeldBytes() {
    int64_t pixels = m_data ? static_cast<int64_t>(m_width) * m_height * m_depth : 0;
    int64_t now = pixels + m_textureBytes;
    if (now > m_heldBytes) gc_external_alloc(now - m_heldBytes);
    if (now < m_heldBytes) gc_external_free(m_heldBytes - now);
    m_heldBytes = now;
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
    // Colour is kept premultiplied by alpha, matching the blend functions.
    int n = data ? width * height : 0;
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
    UpdateHeldBytes();
}

void gxtkSurface::SetSubData(int x, int y, int w, int h, const int* pixels, int pitch) {
    if (m_format != GL_RGBA || !pixels || w <= 0 || h <= 0) return;
    // A rectangle that does not lie inside the surface would write outside
    // the pixel buffer: it is refused whole.
    if (x < 0 || y < 0 || x + w > m_width || y + h > m_height) return;
    if (!m_data) {
        m_data = static_cast<unsigned char*>(malloc(static_cast<size_t>(m_width) * m_height * 4));
        if (!m_data) return;
        UpdateHeldBytes();
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
    // The copy of the last row below the pixels follows it.
    if (y + h == m_height)
        gxtkGL.TexSubImage2D(GL_TEXTURE_2D, 0, x, m_height, w, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                             m_data + (static_cast<size_t>(m_height - 1) * m_width + x) * 4);
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
    int texWidth = m_width, texHeight = m_height + PAD_ROWS;
    gxtkGL.TexImage2D(GL_TEXTURE_2D, 0, m_format, texWidth, texHeight, 0, m_format, GL_UNSIGNED_BYTE, nullptr);
    if (gxtkGL.GetError() != GL_NO_ERROR) {
        // Drivers without non-power-of-two textures: the surface lives in
        // the top-left part of a larger texture.
        texWidth = PowerOfTwoAtLeast(m_width);
        texHeight = PowerOfTwoAtLeast(m_height + PAD_ROWS);
        gxtkGL.TexImage2D(GL_TEXTURE_2D, 0, m_format, texWidth, texHeight, 0, m_format, GL_UNSIGNED_BYTE, nullptr);
    }
    m_uscale = 1.0f / (texWidth > 0 ? texWidth : 1);
    m_vscale = 1.0f / (texHeight > 0 ? texHeight : 1);
    m_whiteU = m_width * 0.5f * m_uscale;
    m_whiteV = (m_height + 2) * m_vscale;
    // A texture of an earlier context went with it; this one replaces it.
    m_textureBytes = static_cast<int64_t>(texWidth) * texHeight * m_depth;
    UpdateHeldBytes();
    if (m_width <= 0 || m_height <= 0) return;

    gxtkGL.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    size_t row = static_cast<size_t>(m_width) * m_depth;
    if (m_data) {
        gxtkGL.TexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, m_width, m_height, m_format, GL_UNSIGNED_BYTE, m_data);
        gxtkGL.TexSubImage2D(GL_TEXTURE_2D, 0, 0, m_height, m_width, 1, m_format, GL_UNSIGNED_BYTE,
                             m_data + row * (m_height - 1));
    }
    std::vector<unsigned char> white(row * 2, 255);
    gxtkGL.TexSubImage2D(GL_TEXTURE_2D, 0, 0, m_height + 1, m_width, 2, m_format, GL_UNSIGNED_BYTE, white.data());
}

// ---------------------------------------------------------------- device

gxtkGraphics::gxtkGraphics() {
    DrawableSize(&m_width, &m_height);
    for (int q = 0; q < MAX_QUADS; ++q) PutQuadIndices(m_quadIndices + q * 6, q * 4);
    memset(m_vertices, 0, sizeof m_vertices);
    PackColor();
}

void gxtkGraphics::mark() {
    for (int i = 0; i < m_batchCount; ++i) gc_mark(m_batches[i].surface);
    gc_mark(m_white);
}

void gxtkGraphics::PackColor() {
    // Each channel is clamped to a byte so that colours outside 0..255 do
    // not spill into the neighbouring channel.
    m_color = static_cast<uint32_t>(ClampByte(m_r * m_alpha)) | static_cast<uint32_t>(ClampByte(m_g * m_alpha)) << 8 |
              static_cast<uint32_t>(ClampByte(m_b * m_alpha)) << 16 |
              static_cast<uint32_t>(ClampByte(255 * m_alpha)) << 24;
}

int gxtkGraphics::ViewportMargin() {
    if (m_maxViewportSeq != glfwGraphicsSeq) {
        GLint dims[2] = {0, 0};
        gxtkGL.GetIntegerv(GL_MAX_VIEWPORT_DIMS, dims);
        m_maxViewport = std::min(dims[0], dims[1]);
        m_maxViewportSeq = glfwGraphicsSeq;
    }
    int side = std::max(m_width, m_height);
    return std::max(std::min(side, (m_maxViewport - side) / 2), 0);
}

int gxtkGraphics::BeginRender() {
    DrawableSize(&m_width, &m_height);
    // The viewport reaches beyond the window by a margin on every side, and
    // the projection still maps one unit to one window pixel. GL clips
    // primitives against the viewport (Mesa's software renderer against a
    // band twice its size), so a sprite that sticks out of the window by up
    // to the window's size is drawn whole instead of being cut into pieces
    // first; what lies outside the window is dropped as pixels are written.
    int margin = ViewportMargin();
    gxtkGL.Viewport(-margin, -margin, m_width + 2 * margin, m_height + 2 * margin);
    gxtkGL.MatrixMode(GL_PROJECTION);
    gxtkGL.LoadIdentity();
    gxtkGL.Ortho(-margin, m_width + margin, m_height + margin, -margin, -1, 1);
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
    m_blend = 0;
    // Every batch is textured, so texturing stays on for the whole frame.
    gxtkGL.Enable(GL_TEXTURE_2D);
    m_gridW = std::min(std::max(m_width / CELL, 1), static_cast<int>(GRID));
    m_gridH = std::min(std::max(m_height / CELL, 1), static_cast<int>(GRID));
    m_cellW = m_width > 0 ? static_cast<float>(m_width) / m_gridW : 1;
    m_cellH = m_height > 0 ? static_cast<float>(m_height) / m_gridH : 1;
    m_gridUsed = true;  // cleared with the batches
    ResetBatches();
    return 1;
}

void gxtkGraphics::EndRender() {
    Flush();
    BBGlfwGame* host = BBGlfwGame::GlfwGame();
    GLFWwindow* window = host && host->Window() ? host->Window() : glfwGetCurrentContext();
    if (window) glfwSwapBuffers(window);
}

gxtkSurface* gxtkGraphics::WhiteSurface() {
    if (!m_white) {
        unsigned char* px = static_cast<unsigned char*>(malloc(4));
        if (px) memset(px, 255, 4);
        gc_assign(m_white, new gxtkSurface());
        m_white->SetData(px, 1, 1, 4);
    }
    return m_white;
}

void gxtkGraphics::ResetBatches() {
    m_primCount = 0;
    m_batchCount = 0;
    m_quadsOnly = true;
    m_indexCount = 0;
    m_runCount = 0;
    m_boxCount = 0;
    if (m_gridUsed) {
        memset(m_grid, 0, static_cast<size_t>(m_gridW) * m_gridH);
        m_gridUsed = false;
    }
}

void gxtkGraphics::Flush() {
    if (!m_primCount) return;
    for (int b = 0; b < m_batchCount; ++b) {
        const gxtkBatch& batch = m_batches[b];
        (batch.surface ? batch.surface : WhiteSurface())->Bind();
        GLenum mode = batch.kind == KIND_POINTS ? GL_POINTS : GL_TRIANGLES;
        if (m_quadsOnly) {
            gxtkGL.DrawElements(mode, m_primCount / 4 * 6, GL_UNSIGNED_SHORT, m_quadIndices);
        } else if (m_batchCount == 1) {
            gxtkGL.DrawElements(mode, m_indexCount, GL_UNSIGNED_SHORT, m_indices);
        } else {
            int n = 0;
            for (int r = 0; r < m_runCount; ++r) {
                if (m_runs[r].batch != b) continue;
                memcpy(m_gathered + n, m_indices + m_runs[r].start, m_runs[r].count * sizeof(uint16_t));
                n += m_runs[r].count;
            }
            gxtkGL.DrawElements(mode, n, GL_UNSIGNED_SHORT, m_gathered);
        }
    }
    ResetBatches();
}

gxtkVertex* gxtkGraphics::Reserve(int count) {
    if (m_primCount + count > MAX_VERTS || m_runCount == MAX_RUNS) Flush();
    return m_vertices + m_primCount;
}

int gxtkGraphics::OpenBatch(int kind, gxtkSurface* surface) {
    gxtkBatch& b = m_batches[m_batchCount];
    gc_assign(b.surface, surface);
    b.kind = kind;
    // Any coordinate of the all-white texture is white.
    b.whiteU = surface ? surface->m_whiteU : 0;
    b.whiteV = surface ? surface->m_whiteV : 0;
    b.indexCount = 0;
    return m_batchCount++;
}

void gxtkGraphics::Adopt(int batch, gxtkSurface* surface, int vertexLimit) {
    gxtkBatch& b = m_batches[batch];
    gc_assign(b.surface, surface);
    b.whiteU = surface->m_whiteU;
    b.whiteV = surface->m_whiteV;
    // The untextured primitives already in it move to this texture's white
    // texel.
    if (m_quadsOnly) {
        for (int i = 0; i < vertexLimit; ++i) m_vertices[i].u = b.whiteU, m_vertices[i].v = b.whiteV;
        return;
    }
    for (int r = 0; r < m_runCount; ++r) {
        if (m_runs[r].batch != batch) continue;
        for (int i = m_runs[r].start, end = i + m_runs[r].count; i < end; ++i) {
            gxtkVertex& v = m_vertices[m_indices[i]];
            v.u = b.whiteU;
            v.v = b.whiteV;
        }
    }
}

gxtkBox gxtkGraphics::BoxOf(gxtkVertex* first, int count) {
    gxtkBox box = {0, first->x, first->y, first->x, first->y};
    for (int i = 1; i < count; ++i) {
        box.x0 = std::min(box.x0, first[i].x), box.x1 = std::max(box.x1, first[i].x);
        box.y0 = std::min(box.y0, first[i].y), box.y1 = std::max(box.y1, first[i].y);
    }
    // A point lights the pixel it lies in.
    if (count == 1) box.x0 -= 1, box.y0 -= 1, box.x1 += 1, box.y1 += 1;
    return box;
}

// The grid cells under a box, widened by a pixel, as first and last column
// and row: none for a box wholly outside the window, which draws nothing,
// and the edge cells for the parts of a box outside.
void gxtkGraphics::CellsOf(const gxtkBox& box, int cells[4]) {
    auto cell = [](float v, float size, int cellCount) {
        float c = v / size;
        if (c >= cellCount - 1) return cellCount - 1;
        return c >= 0 ? static_cast<int>(c) : 0;  // below the window, or not a number
    };
    cells[0] = cell(box.x0 - 1, m_cellW, m_gridW);
    cells[1] = cell(box.y0 - 1, m_cellH, m_gridH);
    cells[2] = cell(box.x1 + 1, m_cellW, m_gridW);
    cells[3] = cell(box.y1 + 1, m_cellH, m_gridH);
    // A box that is not a number covers every cell.
    if (!(box.x0 <= box.x1 && box.y0 <= box.y1))
        cells[0] = cells[1] = 0, cells[2] = m_gridW - 1, cells[3] = m_gridH - 1;
    else if (box.x1 < -1 || box.y1 < -1 || box.x0 > m_width + 1 || box.y0 > m_height + 1) cells[2] = cells[3] = -1;
}

// The last batch that draws anything the box overlaps (0 when only the
// first does). The grid answers most cases; where it finds a later batch in
// the cells, the boxes decide. Boxes that only touch share no pixel: a
// pixel whose centre lies on the edge between two primitives belongs to
// one of them.
int gxtkGraphics::Above(const gxtkBox& box, const int cells[4]) {
    int inCells = 0;
    for (int y = cells[1]; y <= cells[3]; ++y)
        for (int x = cells[0]; x <= cells[2]; ++x)
            inCells = std::max(inCells, static_cast<int>(m_grid[y * m_gridW + x]));
    if (!inCells || m_boxCount == MAX_BOXES || !(box.x0 <= box.x1 && box.y0 <= box.y1)) return inCells;
    int above = 0;
    for (int i = m_boxCount - 1, tests = 0; i >= 0 && above < inCells; --i) {
        const gxtkBox& b = m_boxes[i];
        if (b.batch <= above) continue;
        if (++tests > MAX_BOX_TESTS) return inCells;
        if (box.x0 < b.x1 && b.x0 < box.x1 && box.y0 < b.y1 && b.y0 < box.y1) above = b.batch;
    }
    return above;
}

void gxtkGraphics::Mark(const gxtkBox& box, const int cells[4], int batch) {
    if (cells[2] < 0) return;  // outside the window
    m_gridUsed = true;
    for (int y = cells[1]; y <= cells[3]; ++y)
        for (int x = cells[0]; x <= cells[2]; ++x)
            if (m_grid[y * m_gridW + x] < batch) m_grid[y * m_gridW + x] = static_cast<unsigned char>(batch);
    if (m_boxCount < MAX_BOXES) {
        m_boxes[m_boxCount] = box;
        m_boxes[m_boxCount++].batch = batch;
    }
}

int gxtkGraphics::ChooseBatch(int kind, gxtkSurface* surface, gxtkVertex* first, int count) {
    int last = m_batchCount - 1;
    if (last < 0) return OpenBatch(kind, surface);
    bool lastFits = m_batches[last].kind == kind && (!surface || m_batches[last].surface == surface);
    if (lastFits && last == 0) return 0;
    gxtkBox box = BoxOf(first, count);
    int cells[4];
    CellsOf(box, cells);
    int chosen = -1;
    if (lastFits && surface) {
        chosen = last;
    } else {
        // It may go into any batch from the last one that draws under it:
        // an untextured primitive into the first of its kind there (so that
        // what is drawn over it can join that batch too), a textured one
        // into the last of its texture.
        int above = Above(box, cells);
        for (int i = surface ? last : above; i >= above && i <= last && chosen < 0; i += surface ? -1 : 1)
            if (m_batches[i].kind == kind && (!surface || m_batches[i].surface == surface)) chosen = i;
    }
    if (chosen < 0 && surface && m_batches[last].kind == kind && !m_batches[last].surface) {
        Adopt(last, surface, static_cast<int>(first - m_vertices));
        chosen = last;
    }
    if (chosen < 0) {
        if (m_batchCount == MAX_BATCHES) {
            // Draw what is pending; the primitive starts again at the front.
            Flush();
            memmove(m_vertices, first, count * sizeof(gxtkVertex));
            return -1;
        }
        chosen = OpenBatch(kind, surface);
    }
    // What a later batch draws is marked, so that nothing under it moves to
    // an earlier batch.
    if (chosen > 0) Mark(box, cells, chosen);
    return chosen;
}

void gxtkGraphics::WriteIndices(Shape shape, int batch, int base, int count) {
    if (m_quadsOnly) {
        if (shape == SHAPE_QUAD && batch == 0 && m_batchCount == 1) return;
        // Everything pending so far was quads of the first batch: their
        // indices are the shared quad pattern.
        m_indexCount = base / 4 * 6;
        memcpy(m_indices, m_quadIndices, m_indexCount * sizeof(uint16_t));
        m_batches[0].indexCount = m_indexCount;
        if (m_indexCount) m_runs[m_runCount++] = {0, 0, m_indexCount};
        m_quadsOnly = false;
    }
    int start = m_indexCount;
    uint16_t* i = m_indices + start;
    uint16_t b = static_cast<uint16_t>(base);
    if (shape == SHAPE_POINT) {
        for (int k = 0; k < count; ++k) *i++ = static_cast<uint16_t>(b + k);
    } else if (shape == SHAPE_QUAD) {
        PutQuadIndices(i, base);
        i += 6;
    } else {
        // A fan: (0, k, k + 1) for k = 1 .. count - 2.
        for (int k = 1; k + 1 < count; ++k, i += 3)
            i[0] = b, i[1] = static_cast<uint16_t>(b + k), i[2] = static_cast<uint16_t>(b + k + 1);
    }
    int n = static_cast<int>(i - (m_indices + start));
    m_indexCount += n;
    m_batches[batch].indexCount += n;
    gxtkRun* lastRun = m_runCount ? &m_runs[m_runCount - 1] : nullptr;
    if (lastRun && lastRun->batch == batch && lastRun->start + lastRun->count == start) lastRun->count += n;
    else if (n) m_runs[m_runCount++] = {batch, start, n};
}

void gxtkGraphics::Commit(Shape shape, gxtkSurface* surface, gxtkVertex* first, int count) {
    int kind = shape == SHAPE_POINT ? KIND_POINTS : KIND_TRIANGLES;
    int batch = ChooseBatch(kind, surface, first, count);
    if (batch < 0) {
        // Everything before it has been drawn: it starts the first batch.
        first = m_vertices;
        batch = OpenBatch(kind, surface);
    }
    if (!surface) {
        const gxtkBatch& b = m_batches[batch];
        for (int i = 0; i < count; ++i) first[i].u = b.whiteU, first[i].v = b.whiteV;
    }
    WriteIndices(shape, batch, static_cast<int>(first - m_vertices), count);
    m_primCount = static_cast<int>(first - m_vertices) + count;
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
    ResetBatches();
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

int gxtkGraphics::SetColorAlpha(float r, float g, float b, float alpha) {
    if (r == m_r && g == m_g && b == m_b && alpha == m_alpha) return 0;
    m_r = r;
    m_g = g;
    m_b = b;
    m_alpha = alpha;
    PackColor();
    return 0;
}

int gxtkGraphics::SetBlend(int blend) {
    // Only a real change of GL's blend function ends the batch.
    int mode = blend == 1 ? 1 : 0;
    if (mode == m_blend) return 0;
    Flush();
    if (mode == 1) gxtkGL.BlendFunc(GL_ONE, GL_ONE);
    else gxtkGL.BlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    m_blend = mode;
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
    gxtkVertex* v = Reserve(1);
    PutVertex(v, x, y);
    Commit(SHAPE_POINT, nullptr, v, 1);
    return 0;
}

int gxtkGraphics::DrawRect(float x, float y, float w, float h) {
    gxtkVertex* v = Reserve(4);
    PutVertex(v, x, y);
    PutVertex(v + 1, x + w, y);
    PutVertex(v + 2, x + w, y + h);
    PutVertex(v + 3, x, y + h);
    Commit(SHAPE_QUAD, nullptr, v, 4);
    return 0;
}

void gxtkGraphics::PutLine(float x0, float y0, float x1, float y1, gxtkSurface* surface, float u0, float v0, float u1,
                           float v1) {
    if (m_tformed) {
        float tx0 = m_ix * x0 + m_jx * y0 + m_tx, ty0 = m_iy * x0 + m_jy * y0 + m_ty;
        float tx1 = m_ix * x1 + m_jx * y1 + m_tx, ty1 = m_iy * x1 + m_jy * y1 + m_ty;
        x0 = tx0, y0 = ty0, x1 = tx1, y1 = ty1;
    }
    // One pixel wide whatever the matrix, as a GL line: half a pixel to
    // either side of the segment.
    float dx = x1 - x0, dy = y1 - y0;
    float length = std::sqrt(dx * dx + dy * dy);
    if (!(length > 0)) return;
    float nx = -dy / length * 0.5f, ny = dx / length * 0.5f;
    gxtkVertex* v = Reserve(4);
    PutVertexRaw(v, x0 + nx, y0 + ny, u0, v0);
    PutVertexRaw(v + 1, x1 + nx, y1 + ny, u1, v1);
    PutVertexRaw(v + 2, x1 - nx, y1 - ny, u1, v1);
    PutVertexRaw(v + 3, x0 - nx, y0 - ny, u0, v0);
    Commit(SHAPE_QUAD, surface, v, 4);
}

int gxtkGraphics::DrawLine(float x0, float y0, float x1, float y1) {
    PutLine(x0, y0, x1, y1, nullptr, 0, 0, 0, 0);
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
    if (segs <= 11) segs = 12;
    else if (segs > MAX_OVAL_SEGMENTS) segs = MAX_OVAL_SEGMENTS;
    else segs &= ~3;

    gxtkVertex* v = Reserve(segs);
    for (int i = 0; i < segs; ++i) {
        float th = static_cast<float>(i) * 6.2831855f / static_cast<float>(segs);
        PutVertex(v + i, cx + std::cos(th) * xr, cy - std::sin(th) * yr);
    }
    Commit(SHAPE_FAN, nullptr, v, segs);
    return 0;
}

// A polygon of n vertices: one vertex is a point and two a line, as GL
// would draw a primitive of that many vertices; more are a triangle fan.
// xy holds x, y (and u, v when textured) every stride floats.
void gxtkGraphics::PutPoly(const float* xy, int stride, int n, gxtkSurface* surface, int srcx, int srcy) {
    float us = surface ? surface->m_uscale : 0, vs = surface ? surface->m_vscale : 0;
    auto u = [&](int i) { return surface ? (xy[i * stride + 2] + srcx) * us : 0; };
    auto v = [&](int i) { return surface ? (xy[i * stride + 3] + srcy) * vs : 0; };
    if (n == 2) {
        PutLine(xy[0], xy[1], xy[stride], xy[stride + 1], surface, u(0), v(0), u(1), v(1));
        return;
    }
    gxtkVertex* first = Reserve(n);
    for (int i = 0; i < n; ++i) PutVertex(first + i, xy[i * stride], xy[i * stride + 1], u(i), v(i));
    Commit(n == 1 ? SHAPE_POINT : SHAPE_FAN, surface, first, n);
}

int gxtkGraphics::DrawPoly(Array<float> verts) {
    int n = verts.Length() / 2;
    if (n < 1 || n > MAX_POLY_VERTS) return 0;
    PutPoly(verts.Data(), 2, n, nullptr, 0, 0);
    return 0;
}

int gxtkGraphics::DrawPoly2(Array<float> verts, gxtkSurface* surface, int srcx, int srcy) {
    int n = verts.Length() / 4;
    if (n < 1 || n > MAX_POLY_VERTS || !surface) return 0;
    if (surface->m_seq != glfwGraphicsSeq) surface->Bind();
    PutPoly(verts.Data(), 4, n, surface, srcx, srcy);
    return 0;
}

// Texture coordinates of a frame: left, top, right, bottom.
static void FrameUV(gxtkSurface* surface, int srcx, int srcy, int srcw, int srch, float uv[4]) {
    // The scales come from the texture, so make it for this context now.
    if (surface->m_seq != glfwGraphicsSeq) surface->Bind();
    float us = surface->m_uscale, vs = surface->m_vscale;
    uv[0] = srcx * us;
    uv[1] = srcy * vs;
    uv[2] = (srcx + srcw) * us;
    uv[3] = (srcy + srch) * vs;
}

int gxtkGraphics::DrawSurface(gxtkSurface* surface, float x, float y) {
    if (!surface) return 0;
    return gxtkGraphics::DrawSurface2(surface, x, y, 0, 0, surface->Width(), surface->Height());
}

int gxtkGraphics::DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw, int srch) {
    if (!surface) return 0;
    float uv[4];
    FrameUV(surface, srcx, srcy, srcw, srch, uv);
    gxtkVertex* v = Reserve(4);
    PutVertex(v, x, y, uv[0], uv[1]);
    PutVertex(v + 1, x + srcw, y, uv[2], uv[1]);
    PutVertex(v + 2, x + srcw, y + srch, uv[2], uv[3]);
    PutVertex(v + 3, x, y + srch, uv[0], uv[3]);
    Commit(SHAPE_QUAD, surface, v, 4);
    return 0;
}

int gxtkGraphics::DrawSurfaceRect(gxtkSurface* surface, float x0, float y0, float x1, float y1, int srcx, int srcy,
                                  int srcw, int srch) {
    if (!surface) return 0;
    float uv[4];
    FrameUV(surface, srcx, srcy, srcw, srch, uv);
    gxtkVertex* v = Reserve(4);
    PutVertexRaw(v, x0, y0, uv[0], uv[1]);
    PutVertexRaw(v + 1, x1, y0, uv[2], uv[1]);
    PutVertexRaw(v + 2, x1, y1, uv[2], uv[3]);
    PutVertexRaw(v + 3, x0, y1, uv[0], uv[3]);
    Commit(SHAPE_QUAD, surface, v, 4);
    return 0;
}

int gxtkGraphics::DrawSurfaceAffine(gxtkSurface* surface, float ix, float iy, float jx, float jy, float tx, float ty,
                                    int srcx, int srcy, int srcw, int srch) {
    if (!surface) return 0;
    float uv[4];
    FrameUV(surface, srcx, srcy, srcw, srch, uv);
    gxtkVertex* v = Reserve(4);
    // The same products as the device matrix would form for the corners
    // (0, 0), (w, 0), (w, h), (0, h).
    float w = static_cast<float>(srcw), h = static_cast<float>(srch);
    PutVertexRaw(v, ix * 0 + jx * 0 + tx, iy * 0 + jy * 0 + ty, uv[0], uv[1]);
    PutVertexRaw(v + 1, ix * w + jx * 0 + tx, iy * w + jy * 0 + ty, uv[2], uv[1]);
    PutVertexRaw(v + 2, ix * w + jx * h + tx, iy * w + jy * h + ty, uv[2], uv[3]);
    PutVertexRaw(v + 3, ix * 0 + jx * h + tx, iy * 0 + jy * h + ty, uv[0], uv[3]);
    Commit(SHAPE_QUAD, surface, v, 4);
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
