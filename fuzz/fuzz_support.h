// What the fuzz targets share: handing an input to a decoder as the stream
// the game would open, and booting the game's runtime and app without a
// window, with a scratch folder of its own.
#pragma once
#include <cstddef>
#include <cstdio>
#include <cstdlib>

class c_MyApp;

// A read-only stream over the bytes (an empty input gives an empty stream).
FILE* OpenBytes(const unsigned char* data, size_t size);

// Hands the bytes to a decoder as a stream; decode(f, &bytes) returns a
// malloc'd buffer and its size. Every byte of it is read back, so that a
// size that overstates the buffer shows up, and it is freed.
template <class Decode>
void DecodeAll(const unsigned char* data, size_t size, Decode decode) {
    FILE* f = OpenBytes(data, size);
    if (!f) return;
    size_t bytes = 0;
    unsigned char* out = decode(f, &bytes);
    fclose(f);
    if (!out) return;
    volatile unsigned sum = 0;
    for (size_t i = 0; i < bytes; ++i) sum = sum + out[i];
    free(out);
}

// The same for a sound decoder: load(f, &frames, &channels, &bytesPerSample,
// &rate) as the host calls it.
template <class Load>
void DecodeSound(const unsigned char* data, size_t size, Load load) {
    DecodeAll(data, size, [&](FILE* f, size_t* bytes) {
        int frames = 0, channels = 0, sampleBytes = 0, rate = 0;
        unsigned char* pcm = load(f, &frames, &channels, &sampleBytes, &rate);
        *bytes = size_t(frames) * channels * sampleBytes;
        return pcm;
    });
}

// The collector, the module globals and the game's app, created once; the
// state folder is a new temporary folder, so the state store is the fuzzer's
// own, and standard output (the load messages) is silenced.
c_MyApp* BootGame();
