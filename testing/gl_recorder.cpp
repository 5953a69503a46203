// GL call recording shared by the graphics tests, the screen tests and the
// benchmark.
#include "testing/gl_recorder.h"

#include <set>

std::vector<GLDrawCall> GLRecorder::draws;
int GLRecorder::genTextures = 0;
std::vector<GLuint> GLRecorder::deletedTextures;

namespace {
GLuint g_bound = 0;

void RecDrawArrays(GLenum mode, GLint first, GLsizei count) {
    GLRecorder::draws.push_back({mode, first, count, false, g_bound});
    gxtkGLSystem().DrawArrays(mode, first, count);
}
void RecDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices) {
    GLRecorder::draws.push_back({mode, 0, count, true, g_bound});
    gxtkGLSystem().DrawElements(mode, count, type, indices);
}
void RecBindTexture(GLenum target, GLuint texture) {
    g_bound = texture;
    gxtkGLSystem().BindTexture(target, texture);
}
void RecGenTextures(GLsizei n, GLuint* names) {
    GLRecorder::genTextures += n;
    gxtkGLSystem().GenTextures(n, names);
}
void RecDeleteTextures(GLsizei n, const GLuint* names) {
    GLRecorder::deletedTextures.insert(GLRecorder::deletedTextures.end(), names, names + n);
    gxtkGLSystem().DeleteTextures(n, names);
}
}  // namespace

void GLRecorder::Install() {
    gxtkGLReset();
    gxtkGL.DrawArrays = RecDrawArrays;
    gxtkGL.DrawElements = RecDrawElements;
    gxtkGL.BindTexture = RecBindTexture;
    gxtkGL.GenTextures = RecGenTextures;
    gxtkGL.DeleteTextures = RecDeleteTextures;
    Clear();
}

void GLRecorder::Remove() { gxtkGLReset(); }

int GLRecorder::Textures() {
    std::set<GLuint> seen;
    for (const GLDrawCall& d : draws) seen.insert(d.texture);
    return static_cast<int>(seen.size());
}
