// The WAV reader; every byte of a decoded buffer is read back so that a
// length that overstates the buffer shows up.
#include <cstdlib>

#include "audio/wav.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    FILE* f = OpenBytes(data, size);
    if (!f) return 0;
    int length = 0, channels = 0, bytes = 0, rate = 0;
    unsigned char* pcm = LoadWAV(f, &length, &channels, &bytes, &rate);
    fclose(f);
    if (pcm) {
        size_t total = size_t(length) * channels * bytes;
        volatile unsigned sum = 0;
        for (size_t i = 0; i < total; ++i) sum = sum + pcm[i];
        free(pcm);
    }
    return 0;
}
