// The one place stb_image is compiled: PNG only, with the size limit, so the
// decoders for formats the game never uses cannot be reached by a bad file.
// Before stb sees a file, its chunk structure is checked against the bytes
// really there, so no header can make it allocate more than the file could
// decompress to.
#include "host/png.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#define STBI_ONLY_PNG
#define STBI_MAX_DIMENSIONS BB_PNG_MAX_SIDE
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

namespace {

const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
// No image file of the game comes near this (the largest is under 200 KB).
const size_t kMaxFileBytes = size_t(64) << 20;
// Deflate expands its input at most 1032 times.
const uint64_t kMaxInflateRatio = 1032;

uint32_t BigEndian32(const unsigned char* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

// Reads the rest of the stream; false when it is longer than the limit.
bool ReadAll(FILE* f, unsigned char** data, size_t* size) {
    size_t cap = 65536, n = 0;
    unsigned char* buf = static_cast<unsigned char*>(malloc(cap));
    for (;;) {
        if (!buf) return false;
        if (n == cap) {
            if (cap >= kMaxFileBytes) break;
            unsigned char* grown = static_cast<unsigned char*>(realloc(buf, cap * 2));
            if (!grown) break;
            buf = grown;
            cap *= 2;
        }
        size_t got = fread(buf + n, 1, cap - n, f);
        if (got == 0) {
            if (ferror(f)) break;
            *data = buf;
            *size = n;
            return true;
        }
        n += got;
    }
    free(buf);
    return false;
}

// The signature, then chunks that each fit in the file, the header first,
// and compressed image data that could hold the pixels the header claims.
bool PlausiblePng(const unsigned char* p, size_t n) {
    if (n < sizeof kSignature || memcmp(p, kSignature, sizeof kSignature) != 0) return false;
    uint64_t width = 0, height = 0, bits = 0, channels = 0, compressed = 0;
    for (size_t pos = sizeof kSignature; pos + 12 <= n;) {
        uint64_t length = BigEndian32(p + pos);
        if (length > n - pos - 12) return false;
        const unsigned char* type = p + pos + 4;
        const unsigned char* body = p + pos + 8;
        if (pos == sizeof kSignature) {
            if (memcmp(type, "IHDR", 4) != 0 || length != 13) return false;
            width = BigEndian32(body);
            height = BigEndian32(body + 4);
            bits = body[8];
            static const int kChannels[7] = {1, 0, 3, 1, 2, 0, 4};  // by colour type
            channels = body[9] < 7 ? kChannels[body[9]] : 0;
        }
        if (memcmp(type, "IDAT", 4) == 0) compressed += length;
        if (memcmp(type, "IEND", 4) == 0) break;
        pos += 12 + size_t(length);
    }
    if (width == 0 || height == 0 || bits == 0 || channels == 0 || compressed == 0) return false;
    if (width > BB_PNG_MAX_SIDE || height > BB_PNG_MAX_SIDE) return false;
    uint64_t pixelBytes = (width * channels * bits + 7) / 8 * height;
    return pixelBytes <= compressed * kMaxInflateRatio;
}

}  // namespace

unsigned char* LoadPNG(FILE* f, int* width, int* height, int* depth) {
    if (!f) return nullptr;
    unsigned char* file = nullptr;
    size_t size = 0;
    if (!ReadAll(f, &file, &size)) return nullptr;
    unsigned char* pixels = nullptr;
    int w = 0, h = 0, n = 0;
    if (PlausiblePng(file, size) && size <= INT32_MAX) pixels = stbi_load_from_memory(file, int(size), &w, &h, &n, 0);
    free(file);
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
