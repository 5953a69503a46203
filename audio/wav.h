// Decoders that turn sound files into whole in-memory PCM: the RIFF/WAVE
// reader of our own (wav.cpp) and Ogg Vorbis through libvorbisfile (ogg.cpp).
// Both return a malloc'd buffer (freed by the caller with free) or null on
// any failure.
#pragma once
#include <cstddef>
#include <cstdio>

// length counts sample frames (one value per channel each).
unsigned char* LoadWAV(FILE* f, int* length, int* channels, int* bytesPerSample, int* rate);

// Ogg Vorbis gives 16-bit samples, more than two channels mixed to stereo.
// Decoding stops and fails as soon as the samples would pass maxBytes, so a
// small forged file cannot make it allocate more (the default is over six
// minutes of 44.1 kHz stereo, and no larger file is read either).
const size_t BB_OGG_MAX_BYTES = size_t(64) << 20;
unsigned char* LoadOGG(FILE* f, int* length, int* channels, int* bytesPerSample, int* rate,
                       size_t maxBytes = BB_OGG_MAX_BYTES);
