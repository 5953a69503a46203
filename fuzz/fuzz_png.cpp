// The PNG decoder as the host calls it.
#include "fuzz/fuzz_support.h"
#include "host/png.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    DecodeAll(data, size, [](FILE* f, size_t* bytes) {
        int width = 0, height = 0, depth = 0;
        unsigned char* pixels = LoadPNG(f, &width, &height, &depth);
        *bytes = size_t(width) * height * depth;
        return pixels;
    });
    return 0;
}
