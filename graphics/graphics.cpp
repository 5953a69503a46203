// The graphics module: the one graphics context (colour, alpha, blend,
// scissor, matrix stack, font), images cut into frames, and the
// bb_graphics_* functions that bring the device up to date and draw.
#include "graphics/graphics.h"

#include <cmath>

#include "host/paths.h"

gxtkGraphics* bb_graphics_device = nullptr;
gxtkGraphics* bb_graphics_renderDevice = nullptr;
c_GraphicsContext* bb_graphics_context = nullptr;
int c_Image::m_DefaultFlags = 0;

namespace {
const float D2R = 0.017453292f;
const int MATRIX_LEVELS = 32;
}  // namespace

// ---------------------------------------------------------------- frames and images

c_Frame* c_Frame::m_new(int x, int y) {
    m_x = x;
    m_y = y;
    return this;
}

void c_Image::mark() {
    gc_mark(m_surface);
    gc_mark(m_frames);
    gc_mark(m_source);
}

int c_Image::p_Discard() {
    if (m_surface && !m_source) m_surface->Discard();
    gc_assign(m_surface, nullptr);
    return 0;
}

int c_Image::p_SetHandle(float x, float y) {
    m_tx = x;
    m_ty = y;
    m_flags &= ~CentreHandle;
    return 0;
}

c_Image* c_Image::p_Init(gxtkSurface* surface, int frameCount, int flags) {
    // A count below one would divide by zero; it means one frame.
    if (frameCount < 1) frameCount = 1;
    gc_assign(m_surface, surface);
    m_width = surface->Width() / frameCount;
    m_height = surface->Height();
    m_frames = Array<c_Frame*>(frameCount);
    for (int i = 0; i < frameCount; ++i) gc_assign(m_frames[i], (new c_Frame)->m_new(i * m_width, 0));
    p_ApplyFlags(flags);
    return this;
}

c_Image* c_Image::p_Init2(gxtkSurface* surface, int x, int y, int frameWidth, int frameHeight, int frameCount,
                          int flags, c_Image* source, int srcx, int srcy, int srcw, int srch) {
    if (frameCount < 0) frameCount = 0;
    gc_assign(m_surface, surface);
    gc_assign(m_source, source);
    m_width = frameWidth;
    m_height = frameHeight;
    m_frames = Array<c_Frame*>(frameCount);
    for (int i = 0; i < frameCount; ++i) {
        if (x + m_width > srcw) {
            y += m_height;
            if (m_width > srcw) bbError(String("Image frame outside surface"));
            x = 0;
        }
        if (y + m_height > srch) bbError(String("Image frame outside surface"));
        gc_assign(m_frames[i], (new c_Frame)->m_new(x + srcx, y + srcy));
        x += m_width;
    }
    p_ApplyFlags(flags);
    return this;
}

int c_Image::p_ApplyFlags(int flags) {
    m_flags = flags;
    int n = m_frames.Length();
    if (m_flags & BorderX) {
        for (int i = 0; i < n; ++i) m_frames[i]->m_x += 1;
        m_width -= 2;
    }
    if (m_flags & BorderY) {
        for (int i = 0; i < n; ++i) m_frames[i]->m_y += 1;
        m_height -= 2;
    }
    if (m_flags & CentreHandle) p_SetHandle(m_width * 0.5f, m_height * 0.5f);
    if (n == 1 && m_frames[0]->m_x == 0 && m_frames[0]->m_y == 0 && m_surface && m_width == m_surface->Width() &&
        m_height == m_surface->Height())
        m_flags |= WholeSurface;
    return 0;
}

// ---------------------------------------------------------------- context

c_GraphicsContext* c_GraphicsContext::m_new() {
    m_matrixStack = Array<float>(MATRIX_LEVELS * 6);
    return this;
}

void c_GraphicsContext::mark() {
    gc_mark(m_defaultFont);
    gc_mark(m_font);
    gc_mark(m_matrixStack);
}

int c_GraphicsContext::p_Validate() {
    if (m_matDirty && bb_graphics_renderDevice) {
        bb_graphics_renderDevice->SetMatrix(m_ix, m_iy, m_jx, m_jy, m_tx, m_ty);
        m_matDirty = 0;
    }
    return 0;
}

// ---------------------------------------------------------------- device and frame state

int bb_graphics_SetGraphicsDevice(gxtkGraphics* device) {
    gc_assign(bb_graphics_device, device);
    return 0;
}

int bb_graphics_DeviceWidth() { return bb_graphics_device ? bb_graphics_device->Width() : 0; }
int bb_graphics_DeviceHeight() { return bb_graphics_device ? bb_graphics_device->Height() : 0; }

int bb_graphics_BeginRender() {
    gc_assign(bb_graphics_renderDevice, bb_graphics_device);
    c_GraphicsContext* c = bb_graphics_context;
    c->m_matrixSp = 0;
    bb_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
    bb_graphics_SetColor(255, 255, 255);
    bb_graphics_SetAlpha(1);
    bb_graphics_SetBlend(0);
    bb_graphics_SetScissor(0, 0, static_cast<float>(bb_graphics_DeviceWidth()),
                           static_cast<float>(bb_graphics_DeviceHeight()));
    return 0;
}

int bb_graphics_EndRender() {
    gc_assign(bb_graphics_renderDevice, nullptr);
    return 0;
}

// Drawing and state calls outside a frame have no device to go to; they
// are ignored rather than followed through a null pointer.
#define BB_RENDER_DEVICE_OR_RETURN(d)           \
    gxtkGraphics* d = bb_graphics_renderDevice; \
    if (!d) return 0

int bb_graphics_Cls(float r, float g, float b) {
    BB_RENDER_DEVICE_OR_RETURN(d);
    d->Cls(r, g, b);
    return 0;
}

int bb_graphics_SetColor(float r, float g, float b) {
    c_GraphicsContext* c = bb_graphics_context;
    c->m_colorR = r;
    c->m_colorG = g;
    c->m_colorB = b;
    BB_RENDER_DEVICE_OR_RETURN(d);
    d->SetColor(r, g, b);
    return 0;
}

int bb_graphics_SetColorAlpha(float r, float g, float b, float alpha) {
    c_GraphicsContext* c = bb_graphics_context;
    c->m_colorR = r;
    c->m_colorG = g;
    c->m_colorB = b;
    c->m_alpha = alpha;
    BB_RENDER_DEVICE_OR_RETURN(d);
    d->SetColorAlpha(r, g, b, alpha);
    return 0;
}

int bb_graphics_SetAlpha(float alpha) {
    bb_graphics_context->m_alpha = alpha;
    BB_RENDER_DEVICE_OR_RETURN(d);
    d->SetAlpha(alpha);
    return 0;
}

int bb_graphics_SetBlend(int blend) {
    bb_graphics_context->m_blend = blend;
    BB_RENDER_DEVICE_OR_RETURN(d);
    d->SetBlend(blend);
    return 0;
}

int bb_graphics_SetScissor(float x, float y, float w, float h) {
    c_GraphicsContext* c = bb_graphics_context;
    c->m_scissorX = x;
    c->m_scissorY = y;
    c->m_scissorWidth = w;
    c->m_scissorHeight = h;
    BB_RENDER_DEVICE_OR_RETURN(d);
    d->SetScissor(static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h));
    return 0;
}

int bb_graphics_ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch) {
    BB_RENDER_DEVICE_OR_RETURN(d);
    if (!pitch) pitch = w;
    d->ReadPixels(pixels, x, y, w, h, offset, pitch);
    return 0;
}

// ---------------------------------------------------------------- matrix

namespace {
void MatrixChanged(c_GraphicsContext* c) {
    c->m_tformed = !(c->m_ix == 1 && c->m_iy == 0 && c->m_jx == 0 && c->m_jy == 1 && c->m_tx == 0 && c->m_ty == 0);
    c->m_matDirty = 1;
}
}  // namespace

int bb_graphics_SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty) {
    c_GraphicsContext* c = bb_graphics_context;
    c->m_ix = ix;
    c->m_iy = iy;
    c->m_jx = jx;
    c->m_jy = jy;
    c->m_tx = tx;
    c->m_ty = ty;
    MatrixChanged(c);
    return 0;
}

int bb_graphics_SetMatrix2(Array<float> m) {
    if (m.Length() < 6) return 0;
    return bb_graphics_SetMatrix(m[0], m[1], m[2], m[3], m[4], m[5]);
}

namespace {
// m times (ix, iy, jx, jy, tx, ty) on the right: the given transform
// applies to points before m does.
struct Affine {
    float ix, iy, jx, jy, tx, ty;
    Affine Then(float ix2, float iy2, float jx2, float jy2, float tx2, float ty2) const {
        return {ix * ix2 + jx * iy2, iy * ix2 + jy * iy2,      ix * jx2 + jx * jy2,
                iy * jx2 + jy * jy2, ix * tx2 + jx * ty2 + tx, iy * tx2 + jy * ty2 + ty};
    }
};
}  // namespace

int bb_graphics_Transform(float ix, float iy, float jx, float jy, float tx, float ty) {
    c_GraphicsContext* c = bb_graphics_context;
    Affine m = Affine{c->m_ix, c->m_iy, c->m_jx, c->m_jy, c->m_tx, c->m_ty}.Then(ix, iy, jx, jy, tx, ty);
    return bb_graphics_SetMatrix(m.ix, m.iy, m.jx, m.jy, m.tx, m.ty);
}

int bb_graphics_Transform2(Array<float> m) {
    if (m.Length() < 6) return 0;
    return bb_graphics_Transform(m[0], m[1], m[2], m[3], m[4], m[5]);
}

int bb_graphics_Translate(float x, float y) { return bb_graphics_Transform(1, 0, 0, 1, x, y); }

int bb_graphics_Scale(float x, float y) { return bb_graphics_Transform(x, 0, 0, y, 0, 0); }

int bb_graphics_Rotate(float angle) {
    float r = angle * D2R;
    float c = std::cos(r), s = std::sin(r);
    return bb_graphics_Transform(c, -s, s, c, 0, 0);
}

int bb_graphics_PushMatrix() {
    c_GraphicsContext* c = bb_graphics_context;
    int sp = c->m_matrixSp;
    // Deeper nesting than the stack holds makes it larger instead of
    // writing past its end.
    if (sp + 6 > c->m_matrixStack.Length())
        c->m_matrixStack = c->m_matrixStack.Resize(c->m_matrixStack.Length() * 2 + 6);
    float* m = &c->m_matrixStack[sp];
    m[0] = c->m_ix;
    m[1] = c->m_iy;
    m[2] = c->m_jx;
    m[3] = c->m_jy;
    m[4] = c->m_tx;
    m[5] = c->m_ty;
    c->m_matrixSp = sp + 6;
    return 0;
}

int bb_graphics_PopMatrix() {
    c_GraphicsContext* c = bb_graphics_context;
    // An unbalanced pop leaves the matrix as it is.
    if (c->m_matrixSp < 6) return 0;
    int sp = c->m_matrixSp - 6;
    float* m = &c->m_matrixStack[sp];
    bb_graphics_SetMatrix(m[0], m[1], m[2], m[3], m[4], m[5]);
    c->m_matrixSp = sp;
    return 0;
}

// ---------------------------------------------------------------- drawing

int bb_graphics_DrawRect(float x, float y, float w, float h) {
    BB_RENDER_DEVICE_OR_RETURN(d);
    bb_graphics_context->p_Validate();
    d->DrawRect(x, y, w, h);
    return 0;
}

int bb_graphics_DrawLine(float x0, float y0, float x1, float y1) {
    BB_RENDER_DEVICE_OR_RETURN(d);
    bb_graphics_context->p_Validate();
    d->DrawLine(x0, y0, x1, y1);
    return 0;
}

int bb_graphics_DrawEllipse(float x, float y, float xr, float yr) {
    BB_RENDER_DEVICE_OR_RETURN(d);
    bb_graphics_context->p_Validate();
    d->DrawOval(x - xr, y - yr, xr * 2, yr * 2);
    return 0;
}

namespace {
// The frame an index names, or null when the image has no such frame.
c_Frame* FrameOf(c_Image* image, int frame) {
    if (!image || !image->m_surface || frame < 0 || frame >= image->m_frames.Length()) return nullptr;
    return image->m_frames[frame];
}

void DrawFrame(gxtkGraphics* d, c_Image* image, c_Frame* f, float x, float y) {
    if (image->m_flags & c_Image::WholeSurface) d->DrawSurface(image->m_surface, x, y);
    else d->DrawSurface2(image->m_surface, x, y, f->m_x, f->m_y, image->m_width, image->m_height);
}
}  // namespace

int bb_graphics_DrawImage(c_Image* image, float x, float y, int frame) {
    BB_RENDER_DEVICE_OR_RETURN(d);
    c_Frame* f = FrameOf(image, frame);
    if (!f) return 0;
    bb_graphics_context->p_Validate();
    DrawFrame(d, image, f, x - image->m_tx, y - image->m_ty);
    return 0;
}

namespace {
// The rotation and scale part of the last rotated or transformed sprite,
// kept so that runs of sprites at one angle and size (a rotated text)
// compute it once.
struct SpriteLinear {
    float ix, iy, jx, jy;  // the context's matrix it was built on
    float rotation, scaleX, scaleY;
    Affine m;
} g_lastLinear = {1, 0, 0, 1, NAN, 1, 1, {1, 0, 0, 1, 0, 0}};
}  // namespace

// The frame drawn with its handle at (x, y), rotated and scaled about it.
// This is the matrix sequence Translate(x, y), Rotate, Scale,
// Translate(-handle) on the context's matrix, with the same products, but
// formed locally: the context's matrix and stack are left alone, and an
// unrotated sprite on an untransformed context writes its corners directly.
int bb_graphics_DrawImage2(c_Image* image, float x, float y, float rotation, float scaleX, float scaleY, int frame) {
    BB_RENDER_DEVICE_OR_RETURN(d);
    c_Frame* f = FrameOf(image, frame);
    if (!f) return 0;
    c_GraphicsContext* c = bb_graphics_context;
    gxtkSurface* s = image->m_surface;
    bool whole = (image->m_flags & c_Image::WholeSurface) != 0;
    int srcx = whole ? 0 : f->m_x, srcy = whole ? 0 : f->m_y;
    int srcw = whole ? s->Width() : image->m_width, srch = whole ? s->Height() : image->m_height;
    if (!c->m_tformed && rotation == 0) {
        float tx = x - scaleX * image->m_tx, ty = y - scaleY * image->m_ty;
        d->DrawSurfaceRect(s, tx, ty, scaleX * srcw + tx, scaleY * srch + ty, srcx, srcy, srcw, srch);
        return 0;
    }
    SpriteLinear& l = g_lastLinear;
    if (!(l.rotation == rotation && l.scaleX == scaleX && l.scaleY == scaleY && l.ix == c->m_ix && l.iy == c->m_iy &&
          l.jx == c->m_jx && l.jy == c->m_jy)) {
        float sn, cs;
        sincosf(rotation * D2R, &sn, &cs);
        l = {c->m_ix,
             c->m_iy,
             c->m_jx,
             c->m_jy,
             rotation,
             scaleX,
             scaleY,
             Affine{c->m_ix, c->m_iy, c->m_jx, c->m_jy, 0, 0}
                 .Then(cs, -sn, sn, cs, 0, 0)
                 .Then(scaleX, 0, 0, scaleY, 0, 0)};
    }
    // The translations: the handle position through the context's matrix,
    // then the handle offset through the rotated and scaled part.
    Affine at = Affine{c->m_ix, c->m_iy, c->m_jx, c->m_jy, c->m_tx, c->m_ty}.Then(1, 0, 0, 1, x, y);
    Affine m = Affine{l.m.ix, l.m.iy, l.m.jx, l.m.jy, at.tx, at.ty}.Then(1, 0, 0, 1, -image->m_tx, -image->m_ty);
    d->DrawSurfaceAffine(s, m.ix, m.iy, m.jx, m.jy, m.tx, m.ty, srcx, srcy, srcw, srch);
    return 0;
}

int bb_graphics_DrawText(String text, float x, float y, float xalign, float yalign) {
    c_GraphicsContext* c = bb_graphics_context;
    c_Image* font = c->m_font;
    if (!font || !bb_graphics_renderDevice) return 0;
    float w = static_cast<float>(font->p_Width());
    x -= text.Length() * w * xalign;
    y -= font->p_Height() * yalign;
    for (int i = 0; i < text.Length(); ++i) {
        int frame = static_cast<int>(text[i]) - c->m_firstChar;
        bb_graphics_DrawImage(font, x + i * w, y, frame);
    }
    return 0;
}

// ---------------------------------------------------------------- loading and fonts

c_Image* bb_graphics_LoadImage(String path, int frameCount, int flags) {
    if (!bb_graphics_device) return nullptr;
    gxtkSurface* surface = bb_graphics_device->LoadSurface(bb_data_FixDataPath(path));
    if (!surface) return nullptr;
    return (new c_Image)->m_new()->p_Init(surface, frameCount, flags);
}

c_Image* bb_graphics_LoadImage2(String path, int frameWidth, int frameHeight, int frameCount, int flags) {
    if (!bb_graphics_device) return nullptr;
    gxtkSurface* surface = bb_graphics_device->LoadSurface(bb_data_FixDataPath(path));
    if (!surface) return nullptr;
    return (new c_Image)
        ->m_new()
        ->p_Init2(surface, 0, 0, frameWidth, frameHeight, frameCount, flags, nullptr, 0, 0, surface->Width(),
                  surface->Height());
}

int bb_graphics_SetFont(c_Image* font, int firstChar) {
    c_GraphicsContext* c = bb_graphics_context;
    if (!font) {
        firstChar = 32;
        if (!c->m_defaultFont) gc_assign(c->m_defaultFont, bb_graphics_LoadImage(String("vexa_font.png"), 96, 2));
        font = c->m_defaultFont;
    }
    gc_assign(c->m_font, font);
    c->m_firstChar = firstChar;
    return 0;
}
