// The PNG decoder as the host calls it; the last pixel byte is read back so
// that a size that overstates the buffer shows up.
#include <cstdlib>

#include "fuzz/fuzz_support.h"
#include "host/png.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    FILE* f = OpenBytes(data, size);
    if (!f) return 0;
    int width = 0, height = 0, depth = 0;
    unsigned char* pixels = LoadPNG(f, &width, &height, &depth);
    fclose(f);
    if (pixels) {
        volatile unsigned char last = pixels[size_t(width) * height * depth - 1];
        (void)last;
        free(pixels);
    }
    return 0;
}
