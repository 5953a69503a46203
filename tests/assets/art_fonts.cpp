// Checks of the two generated fonts: the text font's glyphs sit centred in
// their 16 x 16 cells, the default font's in 10-pixel cells with clear
// borders, and every printable character has its own visible glyph.
#include <gtest/gtest.h>

#include "assets/art_support.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace {

// The lit pixels of a w x h box as a string of '#' and '.'.
std::string bitmap(const Png& p, int x0, int y0, int w, int h, int step) {
  std::string s;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s += p.at(x0 + x * step, y0 + y * step)[3] ? '#' : '.';
  return s;
}

int litOutside(const Png& p, int cx, int cy, int cw, int ch, int ix, int iy, int iw, int ih) {
  int n = 0;
  for (int y = 0; y < ch; ++y)
    for (int x = 0; x < cw; ++x) {
      bool inner = x >= ix && x < ix + iw && y >= iy && y < iy + ih;
      if (!inner && p.at(cx + x, cy + y)[3]) ++n;
    }
  return n;
}

TEST(ArtFonts, TextFontGlyphsAreCentredWhiteAndDistinct) {
  const char* levels[] = {"fonts/cpc.png", "fonts/cpc-hd.png", "fonts/cpc-hd2.png"};
  for (int l = 0; l < 3; ++l) {
    int k = 1 << l, cell = 16 * k;
    Png p = load(levels[l]);
    ASSERT_TRUE(p.ok()) << levels[l];
    ASSERT_EQ(p.w, 256 * k);
    ASSERT_EQ(p.h, 128 * k);
    std::map<std::string, int> seen;
    for (int code = 32; code < 160; ++code) {
      int i = code - 32, cx = (i % 16) * cell, cy = (i / 16) * cell;
      // Everything lit lies in the 8 x 8 box at logical pixels 4..11, so the
      // glyph is centred on the pen position when drawn with a centred handle.
      EXPECT_EQ(litOutside(p, cx, cy, cell, cell, 4 * k, 4 * k, 8 * k, 8 * k), 0)
          << levels[l] << " code " << code << " spills out of its 8 x 8 box";
      for (int y = 0; y < cell; ++y)
        for (int x = 0; x < cell; ++x) {
          const uint8_t* c = p.at(cx + x, cy + y);
          if (c[3]) {
            ASSERT_TRUE(c[0] == 255 && c[1] == 255 && c[2] == 255) << "code " << code << " is not white";
          }
        }
      std::string g = bitmap(p, cx + 4 * k, cy + 4 * k, 8, 8, k);
      if (code == 32) {
        EXPECT_EQ(g.find('#'), std::string::npos) << "space must be blank";
        continue;
      }
      if (code > 126) continue;
      EXPECT_NE(g.find('#'), std::string::npos) << "code " << code << " '" << char(code) << "' is empty";
      auto it = seen.find(g);
      EXPECT_TRUE(it == seen.end()) << "codes " << (it == seen.end() ? 0 : it->second) << " and " << code
                                    << " share a glyph";
      seen[g] = code;
    }
  }
}

TEST(ArtFonts, DefaultFontStripHasBorderedDistinctGlyphs) {
  Png p = load("vexa_font.png");
  ASSERT_TRUE(p.ok());
  ASSERT_EQ(p.w, 960);
  ASSERT_EQ(p.h, 8);
  std::map<std::string, int> seen;
  for (int code = 32; code < 128; ++code) {
    int x0 = (code - 32) * 10;
    // Columns 0 and 9 of each cell are the border the loader strips off.
    for (int y = 0; y < 8; ++y) {
      EXPECT_EQ(p.at(x0, y)[3], 0) << "code " << code << " left border";
      EXPECT_EQ(p.at(x0 + 9, y)[3], 0) << "code " << code << " right border";
    }
    std::string g = bitmap(p, x0 + 1, 0, 8, 8, 1);
    if (code == 32) {
      EXPECT_EQ(g.find('#'), std::string::npos);
      continue;
    }
    if (code == 127) continue;
    EXPECT_NE(g.find('#'), std::string::npos) << "code " << code << " is empty";
    auto it = seen.find(g);
    EXPECT_TRUE(it == seen.end()) << "codes " << (it == seen.end() ? 0 : it->second) << " and " << code
                                  << " share a glyph";
    seen[g] = code;
  }
}

TEST(ArtFonts, TextReadsLeftToRightOnTheEightPixelGrid) {
  // Neighbouring glyphs drawn 8 pixels apart must not merge: in every glyph
  // of a letter or digit at least one edge column of the 8 x 8 box is blank.
  Png p = load("fonts/cpc.png");
  ASSERT_TRUE(p.ok());
  std::string alnum = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  for (char ch : alnum) {
    int i = ch - 32, cx = (i % 16) * 16 + 4, cy = (i / 16) * 16 + 4;
    bool leftBlank = true, rightBlank = true;
    for (int y = 0; y < 8; ++y) {
      if (p.at(cx, cy + y)[3]) leftBlank = false;
      if (p.at(cx + 7, cy + y)[3]) rightBlank = false;
    }
    EXPECT_TRUE(leftBlank || rightBlank) << "'" << ch << "' fills its whole width";
  }
}

}  // namespace
