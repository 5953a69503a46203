// What the fuzz targets share: handing an input to a decoder as the stream
// the game would open, and booting the game's runtime and app without a
// window, with a scratch folder of its own.
#pragma once
#include <cstddef>
#include <cstdio>

class c_MyApp;

// A read-only stream over the bytes (an empty input gives an empty stream).
FILE* OpenBytes(const unsigned char* data, size_t size);

// The collector, the module globals and the game's app, created once; the
// host maps "./" paths into a new temporary folder, so the state store is the
// fuzzer's own, and standard output (the load messages) is silenced.
c_MyApp* BootGame();
