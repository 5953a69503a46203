// The Ogg Vorbis decoder (libvorbisfile behind our memory source, mix-down
// and bound on the decoded size).
#include "audio/wav.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    DecodeSound(data, size, [](FILE* f, int* frames, int* channels, int* sampleBytes, int* rate) {
        return LoadOGG(f, frames, channels, sampleBytes, rate);
    });
    return 0;
}
