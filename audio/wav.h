// Decoders that turn sound files into whole in-memory PCM: the RIFF/WAVE
// reader of our own and Ogg Vorbis through stb_vorbis. Both return a
// malloc'd buffer (freed by the caller with free) or null on any failure.
#pragma once
#include <cstdio>

// length counts sample frames (one value per channel each).
unsigned char* LoadWAV(FILE* f, int* length, int* channels, int* bytesPerSample, int* rate);
unsigned char* LoadOGG(FILE* f, int* length, int* channels, int* bytesPerSample, int* rate);
