// The default GL dispatch table: every entry is the system GL function of
// the same name.
#include "graphics/gl_dispatch.h"

const gxtkGLDispatch& gxtkGLSystem() {
    static const gxtkGLDispatch system = {
        glDrawArrays,  glDrawElements,      glBindTexture,   glGenTextures,     glDeleteTextures,
        glTexImage2D,  glTexSubImage2D,     glTexParameteri, glPixelStorei,     glGetError,
        glEnable,      glDisable,           glBlendFunc,     glScissor,         glClearColor,
        glClear,       glReadPixels,        glViewport,      glMatrixMode,      glLoadIdentity,
        glOrtho,       glEnableClientState, glVertexPointer, glTexCoordPointer, glColorPointer,
        glGetIntegerv,
    };
    return system;
}

gxtkGLDispatch gxtkGL = gxtkGLSystem();

void gxtkGLReset() { gxtkGL = gxtkGLSystem(); }
