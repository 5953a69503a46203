// Counting at the GL boundary: wrappers around the renderer's draw and
// texture entry points that record each draw call (with the texture bound
// for it) before passing it on to the real GL.
#pragma once
#include <vector>

#include "graphics/gl_dispatch.h"

// One recorded draw call.
struct GLDrawCall {
    GLenum mode;
    int first;  // first vertex (glDrawArrays)
    int count;  // vertex count, or index count for glDrawElements
    bool elements;
    GLuint texture;  // texture bound when it was drawn
};

struct GLRecorder {
    static std::vector<GLDrawCall> draws;
    static int genTextures;
    static std::vector<GLuint> deletedTextures;
    // Installs the wrappers over the system's GL entries and clears.
    static void Install();
    // Puts the system's GL entries back.
    static void Remove();
    static void Clear() {
        draws.clear();
        genTextures = 0;
        deletedTextures.clear();
    }
    // Distinct textures among the recorded draws.
    static int Textures();
};
