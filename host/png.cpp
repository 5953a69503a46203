// The one place stb_image is compiled: PNG only, with the size limit, so the
// decoders for formats the game never uses cannot be reached by a bad file.
#include "host/png.h"

#include <cstring>

#define STBI_ONLY_PNG
#define STBI_MAX_DIMENSIONS BB_PNG_MAX_SIDE
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

unsigned char* LoadPNG(FILE* f, int* width, int* height, int* depth) {
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (!f) return nullptr;
    long start = ftell(f);
    unsigned char head[sizeof kSignature];
    if (start < 0 || fread(head, 1, sizeof head, f) != sizeof head) return nullptr;
    if (memcmp(head, kSignature, sizeof head) != 0) return nullptr;
    if (fseek(f, start, SEEK_SET) != 0) return nullptr;
    int w = 0, h = 0, n = 0;
    unsigned char* pixels = stbi_load_from_file(f, &w, &h, &n, 0);
    if (!pixels) return nullptr;
    if (w <= 0 || h <= 0 || n < 1 || n > 4) {
        stbi_image_free(pixels);
        return nullptr;
    }
    *width = w;
    *height = h;
    *depth = n;
    return pixels;
}
