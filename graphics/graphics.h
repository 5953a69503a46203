// The graphics module the game draws through: the graphics context (colour,
// alpha, blend, scissor, matrix stack, font), images cut into frames, and
// the bb_graphics_* functions that forward to the device.
#pragma once
#include "graphics/gxtk_graphics.h"

class c_Image;

class c_Frame : public Object {
public:
    int m_x = 0;
    int m_y = 0;
    c_Frame* m_new(int x, int y);
    c_Frame* m_new2() { return this; }
};

class c_Image : public Object {
public:
    enum { CentreHandle = 1, BorderX = 2, BorderY = 4, WholeSurface = 65536 };
    static int m_DefaultFlags;

    gxtkSurface* m_surface = nullptr;
    int m_width = 0;
    int m_height = 0;
    Array<c_Frame*> m_frames;
    int m_flags = 0;
    float m_tx = 0;
    float m_ty = 0;
    c_Image* m_source = nullptr;

    c_Image* m_new() { return this; }
    void mark() override;

    int p_Width() { return m_width; }
    int p_Height() { return m_height; }
    int p_Frames() { return m_frames.Length(); }
    int p_SetHandle(float x, float y);
    c_Image* p_Init(gxtkSurface* surface, int frameCount, int flags);
    c_Image* p_Init2(gxtkSurface* surface, int x, int y, int frameWidth, int frameHeight, int frameCount, int flags,
                     c_Image* source, int srcx, int srcy, int srcw, int srch);
    int p_ApplyFlags(int flags);
    // Gives back the surface's pixels and texture now (unless the surface is
    // another image's); the image then draws nothing.
    int p_Discard();
};

class c_GraphicsContext : public Object {
public:
    c_Image* m_defaultFont = nullptr;
    c_Image* m_font = nullptr;
    int m_firstChar = 0;
    int m_matrixSp = 0;
    float m_ix = 1, m_iy = 0, m_jx = 0, m_jy = 1, m_tx = 0, m_ty = 0;
    int m_tformed = 0;
    int m_matDirty = 0;
    float m_colorR = 0, m_colorG = 0, m_colorB = 0;
    float m_alpha = 0;
    int m_blend = 0;
    float m_scissorX = 0, m_scissorY = 0, m_scissorWidth = 0, m_scissorHeight = 0;
    Array<float> m_matrixStack;

    c_GraphicsContext* m_new();
    void mark() override;
    int p_Validate();
};

extern gxtkGraphics* bb_graphics_device;
extern gxtkGraphics* bb_graphics_renderDevice;
extern c_GraphicsContext* bb_graphics_context;

int bb_graphics_SetGraphicsDevice(gxtkGraphics* device);
int bb_graphics_DeviceWidth();
int bb_graphics_DeviceHeight();
int bb_graphics_BeginRender();
int bb_graphics_EndRender();
int bb_graphics_Cls(float r, float g, float b);
int bb_graphics_SetColor(float r, float g, float b);
int bb_graphics_SetAlpha(float alpha);
// Colour and alpha together, packed for the device once.
int bb_graphics_SetColorAlpha(float r, float g, float b, float alpha);
int bb_graphics_SetBlend(int blend);
int bb_graphics_SetScissor(float x, float y, float w, float h);
int bb_graphics_ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch);

int bb_graphics_SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty);
int bb_graphics_SetMatrix2(Array<float> m);
int bb_graphics_Transform(float ix, float iy, float jx, float jy, float tx, float ty);
int bb_graphics_Transform2(Array<float> m);
int bb_graphics_Translate(float x, float y);
int bb_graphics_Scale(float x, float y);
int bb_graphics_Rotate(float angle);
int bb_graphics_PushMatrix();
int bb_graphics_PopMatrix();

int bb_graphics_DrawRect(float x, float y, float w, float h);
int bb_graphics_DrawLine(float x0, float y0, float x1, float y1);
int bb_graphics_DrawEllipse(float x, float y, float xr, float yr);
int bb_graphics_DrawImage(c_Image* image, float x, float y, int frame);
int bb_graphics_DrawImage2(c_Image* image, float x, float y, float rotation, float scaleX, float scaleY, int frame);
// Text with the current font (one frame per character from firstChar).
int bb_graphics_DrawText(String text, float x, float y, float xalign, float yalign);

c_Image* bb_graphics_LoadImage(String path, int frameCount, int flags);
c_Image* bb_graphics_LoadImage2(String path, int frameWidth, int frameHeight, int frameCount, int flags);
int bb_graphics_SetFont(c_Image* font, int firstChar);
