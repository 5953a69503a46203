// Loading a generated image from the data folder for the art checks.
#pragma once
#include <stb/stb_image.h>

#include <cstdint>
#include <string>
#include <vector>

struct Png {
    int w = 0, h = 0;
    std::vector<uint8_t> px;  // RGBA
    bool ok() const { return w > 0; }
    const uint8_t* at(int x, int y) const { return &px[(static_cast<size_t>(y) * w + x) * 4]; }
    bool opaque(int x, int y) const { return at(x, y)[3] != 0; }
};

// The image data/<name> as RGBA; an empty Png when it cannot be read.
inline Png load(const std::string& name) {
    Png p;
    int n = 0;
    std::string path = std::string(KQ_DATA_DIR) + "/" + name;
    unsigned char* d = stbi_load(path.c_str(), &p.w, &p.h, &n, 4);
    if (!d) {
        p.w = p.h = 0;
        return p;
    }
    p.px.assign(d, d + static_cast<size_t>(p.w) * p.h * 4);
    stbi_image_free(d);
    return p;
}
