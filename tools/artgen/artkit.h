// Shared helpers for the picture builders under assets/art: the parsed text
// sources, text drawn with the game font, and grid placement of frames.
#pragma once
#include "canvas.h"
#include "pixelart.h"

#include <string>

namespace kqart {

struct ArtKit {
    std::string assetsDir;  // the assets/ folder of the source tree
    PixelSource font;       // fonts/cpc.txt: 8 x 8 glyphs by character code
    PixelSource thinFont;   // fonts/vexa.txt: the framework's default font
    PixelSource gfx;        // art/gfx.txt: 16 x 16 game sprites
    PixelSource parts;      // art/parts.txt: 8 x 8 star and particle shapes

    explicit ArtKit(const std::string& assets);

    // Glyph of the game font (clear where unlit); code 32 and unknown codes are empty.
    Canvas glyph(int code) const;
    // Text in the game font with an 8 x scale advance; returns the width drawn.
    int text(Canvas& dst, int x, int y, const std::string& s, Rgba c, int scale = 1) const;
    int textWidth(const std::string& s, int scale = 1) const { return static_cast<int>(s.size()) * 8 * scale; }
    // Same, centred on x.
    void textCentred(Canvas& dst, int cx, int y, const std::string& s, Rgba c, int scale = 1) const;
};

// Places frame n of a sheet of frameW x frameH frames at column n % cols,
// row n / cols, the order in which the game cuts frames.
void placeFrame(Canvas& sheet, const Canvas& frame, int n, int frameW, int frameH);
// All frames of a source into a sheet of the given size.
Canvas sheetFromSource(const PixelSource& src, int sheetW, int sheetH);

}  // namespace kqart
