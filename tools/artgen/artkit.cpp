// Loads the text sources once and offers the small helpers the picture
// builders share (font text, frame placement).
#include "artkit.h"

namespace kqart {

ArtKit::ArtKit(const std::string& assets)
    : assetsDir(assets),
      font(parsePixelSource(assets + "/fonts/cpc.txt")),
      thinFont(parsePixelSource(assets + "/fonts/vexa.txt")),
      gfx(parsePixelSource(assets + "/art/gfx.txt")),
      parts(parsePixelSource(assets + "/art/parts.txt")) {}

Canvas ArtKit::glyph(int code) const {
    if (!font.has(code)) return Canvas(font.frameW, font.frameH);
    return font.frame(code);
}

int ArtKit::text(Canvas& dst, int x, int y, const std::string& s, Rgba c, int scale) const {
    for (size_t i = 0; i < s.size(); ++i)
        dst.blitTinted(glyph(static_cast<unsigned char>(s[i])), x + static_cast<int>(i) * 8 * scale, y, c, scale);
    return textWidth(s, scale);
}

void ArtKit::textCentred(Canvas& dst, int cx, int y, const std::string& s, Rgba c, int scale) const {
    text(dst, cx - textWidth(s, scale) / 2, y, s, c, scale);
}

void placeFrame(Canvas& sheet, const Canvas& frame, int n, int frameW, int frameH) {
    int cols = sheet.width() / frameW;
    sheet.blit(frame, (n % cols) * frameW, (n / cols) * frameH);
}

Canvas sheetFromSource(const PixelSource& src, int sheetW, int sheetH) {
    Canvas sheet(sheetW, sheetH);
    for (auto& entry : src.frames) placeFrame(sheet, src.frame(entry.first), entry.first, src.frameW, src.frameH);
    return sheet;
}

}  // namespace kqart
