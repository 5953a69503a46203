// The WAV reader.
#include "audio/wav.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    DecodeSound(data, size, LoadWAV);
    return 0;
}
