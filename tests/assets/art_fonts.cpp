// The two generated fonts: the text font's white glyphs sit centred in their
// 16 x 16 cells and leave a blank edge column so that text on the 8-pixel
// grid does not run together; the default font's glyphs sit in 10-pixel cells
// with clear borders; in both every printable character has its own glyph.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>

#include "assets/art_support.h"

namespace {

// The lit pixels of an 8 x 8 box as a string of '#' and '.'.
std::string Bitmap(const Png& p, int x0, int y0) {
    std::string s;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) s += p.opaque(x0 + x, y0 + y) ? '#' : '.';
    return s;
}

// Space is blank, every other code up to `last` has a glyph of its own.
void ExpectDistinct(const std::map<int, std::string>& glyphs, int last) {
    std::map<std::string, int> seen;
    for (const auto& [code, g] : glyphs) {
        if (code > last) continue;
        EXPECT_EQ(g.find('#') == std::string::npos, code == 32) << "code " << code;
        EXPECT_TRUE(seen.insert({g, code}).second) << "codes " << seen[g] << " and " << code << " share a glyph";
    }
}

}  // namespace

TEST(ArtFonts, TextFontGlyphsAreWhiteCentredDistinctAndKeepTheirDistance) {
    const Png p = load("fonts/cpc.png");  // the larger levels are its exact enlargements
    ASSERT_TRUE(p.ok() && p.w == 256 && p.h == 128);
    std::map<int, std::string> glyphs;
    for (int code = 32; code < 160; ++code) {
        const int cx = (code - 32) % 16 * 16, cy = (code - 32) / 16 * 16;
        int outside = 0, notWhite = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const uint8_t* c = p.at(cx + x, cy + y);
                outside += c[3] && (x < 4 || x >= 12 || y < 4 || y >= 12);
                notWhite += c[3] && (c[0] & c[1] & c[2]) != 255;
            }
        EXPECT_EQ(outside + notWhite, 0) << "code " << code << " leaves its 8 x 8 box at 4..11 or is not white";
        glyphs[code] = Bitmap(p, cx + 4, cy + 4);
        if (!std::isalnum(code) || code > 126) continue;
        bool leftBlank = true, rightBlank = true;
        for (int y = 0; y < 8; ++y)
            leftBlank &= glyphs[code][y * 8] == '.', rightBlank &= glyphs[code][y * 8 + 7] == '.';
        EXPECT_TRUE(leftBlank || rightBlank) << "'" << char(code) << "' fills its whole width";
    }
    ExpectDistinct(glyphs, 126);
}

TEST(ArtFonts, DefaultFontGlyphsSitDistinctInBorderedCells) {
    const Png p = load("vexa_font.png");
    ASSERT_TRUE(p.ok() && p.w == 960 && p.h == 8);
    std::map<int, std::string> glyphs;
    for (int code = 32; code < 128; ++code) {
        int border = 0;  // columns 0 and 9 of each cell, which the loader strips off
        for (int y = 0; y < 8; ++y) border += p.opaque((code - 32) * 10, y) + p.opaque((code - 32) * 10 + 9, y);
        EXPECT_EQ(border, 0) << "code " << code;
        glyphs[code] = Bitmap(p, (code - 32) * 10 + 1, 0);
    }
    ExpectDistinct(glyphs, 126);
}
