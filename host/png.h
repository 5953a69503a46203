// PNG decoding for every image the game loads: stb_image's PNG decoder alone,
// compiled here with a size limit and entered only behind the PNG signature.
#pragma once
#include <cstdio>

// The largest width or height accepted: four times the biggest sheet the
// game ships (2048), so a forged header cannot ask for gigabytes.
const int BB_PNG_MAX_SIDE = 8192;

// Decodes a PNG stream from its current position to 8-bit pixels with the
// file's own number of components (1 grey, 2 grey and alpha, 3 RGB, 4 RGBA),
// rows top to bottom. Anything else (another format, a damaged or oversized
// PNG) gives null, as a missing file does. The pixels are released with free.
unsigned char* LoadPNG(FILE* f, int* width, int* height, int* depth);
