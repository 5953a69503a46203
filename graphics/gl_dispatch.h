// The OpenGL entry points the renderer uses, reached through one table of
// function pointers. It defaults to the system's GL; a test can wrap an
// entry to count calls at the GL boundary while still drawing for real.
#pragma once
#include <GL/gl.h>

struct gxtkGLDispatch {
    void (*DrawArrays)(GLenum mode, GLint first, GLsizei count);
    void (*DrawElements)(GLenum mode, GLsizei count, GLenum type, const void* indices);
    void (*BindTexture)(GLenum target, GLuint texture);
    void (*GenTextures)(GLsizei n, GLuint* textures);
    void (*DeleteTextures)(GLsizei n, const GLuint* textures);
    void (*TexImage2D)(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                       GLenum format, GLenum type, const void* pixels);
    void (*TexSubImage2D)(GLenum target, GLint level, GLint x, GLint y, GLsizei width, GLsizei height, GLenum format,
                          GLenum type, const void* pixels);
    void (*TexParameteri)(GLenum target, GLenum pname, GLint param);
    void (*PixelStorei)(GLenum pname, GLint param);
    GLenum (*GetError)();
    void (*Enable)(GLenum cap);
    void (*Disable)(GLenum cap);
    void (*BlendFunc)(GLenum sfactor, GLenum dfactor);
    void (*Scissor)(GLint x, GLint y, GLsizei width, GLsizei height);
    void (*ClearColor)(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
    void (*Clear)(GLbitfield mask);
    void (*ReadPixels)(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels);
    void (*Viewport)(GLint x, GLint y, GLsizei width, GLsizei height);
    void (*MatrixMode)(GLenum mode);
    void (*LoadIdentity)();
    void (*Ortho)(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear, GLdouble zFar);
    void (*EnableClientState)(GLenum array);
    void (*VertexPointer)(GLint size, GLenum type, GLsizei stride, const void* pointer);
    void (*TexCoordPointer)(GLint size, GLenum type, GLsizei stride, const void* pointer);
    void (*ColorPointer)(GLint size, GLenum type, GLsizei stride, const void* pointer);
    void (*GetIntegerv)(GLenum pname, GLint* data);
};

// The table the renderer calls through.
extern gxtkGLDispatch gxtkGL;
// The table filled with the system's GL entry points.
const gxtkGLDispatch& gxtkGLSystem();
// Puts every entry back to the system's GL.
void gxtkGLReset();
