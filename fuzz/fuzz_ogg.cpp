// The Ogg Vorbis decoder; the last decoded sample is read back so that a
// length that overstates the buffer shows up.
#include <cstdlib>

#include "audio/wav.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    FILE* f = OpenBytes(data, size);
    if (!f) return 0;
    int length = 0, channels = 0, bytes = 0, rate = 0;
    unsigned char* pcm = LoadOGG(f, &length, &channels, &bytes, &rate);
    fclose(f);
    if (pcm) {
        volatile unsigned char last = pcm[size_t(length) * channels * bytes - 1];
        (void)last;
        free(pcm);
    }
    return 0;
}
