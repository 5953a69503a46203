// Checks of the generated images: every file at its three levels with the
// sizes the loaders cut frames from, crisp enlargements in the game's
// palette, and a visible picture with a clear margin in every frame drawn.
#include <gtest/gtest.h>

#include "assets/art_support.h"

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

struct Sheet {
  const char* name;
  int w, h;          // level-1 file size
  int frameW, frameH;
};

const Sheet kSheets[] = {
    {"gfx", 256, 256, 16, 16},          {"BadgesA", 512, 512, 64, 64},
    {"fonts/cpc", 256, 128, 16, 16},    {"common/Testcard_Circle", 256, 256, 256, 256},
    {"common/TarnLogo", 256, 256, 256, 256}, {"common/dpad", 128, 128, 32, 32},
    {"common/Buttons", 256, 256, 64, 64}, {"parts", 128, 128, 8, 8},
    {"icons", 128, 128, 32, 32},        {"logo", 256, 128, 256, 128},
    {"menu", 512, 512, 256, 256},
};

const char* const kLevels[] = {"", "-hd", "-hd2"};
const int kScale[] = {1, 2, 4};

// Frames the screens and games draw, by sheet.
std::vector<int> drawnFrames(const std::string& sheet) {
  if (sheet == "gfx") {
    std::vector<int> f = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 16, 17, 18, 19, 20, 32, 33, 48, 49, 50, 51, 52, 53, 54,
                          56, 57, 64, 68, 69, 90, 96, 98, 100, 101, 102, 103};
    for (int n = 80; n <= 89; ++n) f.push_back(n);
    return f;
  }
  if (sheet == "icons") return {0, 1, 2, 3, 6, 7};
  if (sheet == "common/Buttons") return {8, 9, 10, 12};
  if (sheet == "common/dpad") return {0, 1, 4, 5, 6, 9};
  std::vector<int> all;
  int count = sheet == "parts" ? 256 : sheet == "BadgesA" ? 64 : sheet == "menu" ? 4 : 1;
  for (int n = 0; n < count; ++n) all.push_back(n);
  return all;
}

bool inPalette(const uint8_t* p) {
  static const std::set<uint32_t> colours = [] {
    std::set<uint32_t> s;
    const int rgb[][3] = {{255, 25, 25},  {255, 127, 25}, {255, 255, 25}, {25, 255, 25},  {25, 255, 255},
                          {25, 25, 255},  {127, 25, 255}, {255, 25, 127}, {255, 255, 255}, {76, 76, 76},
                          {0, 0, 0},      {200, 200, 200}, {140, 140, 140}};
    for (auto& c : rgb) s.insert(uint32_t(c[0]) << 16 | uint32_t(c[1]) << 8 | uint32_t(c[2]));
    return s;
  }();
  return colours.count(uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]) != 0;
}

TEST(ArtImages, EveryFileExistsAtThreeLevelsWithExactSizes) {
  for (const Sheet& s : kSheets)
    for (int l = 0; l < 3; ++l) {
      std::string file = std::string(s.name) + kLevels[l] + ".png";
      Png p = load(file);
      ASSERT_TRUE(p.ok()) << file << " missing or undecodable";
      EXPECT_EQ(p.w, s.w * kScale[l]) << file;
      EXPECT_EQ(p.h, s.h * kScale[l]) << file;
      // The frame grid must divide the file exactly, or the loader's last
      // frames would fall outside the surface.
      EXPECT_EQ(p.w % (s.frameW * kScale[l]), 0) << file;
      EXPECT_EQ(p.h % (s.frameH * kScale[l]), 0) << file;
    }
  Png font = load("vexa_font.png");
  ASSERT_TRUE(font.ok());
  EXPECT_EQ(font.w, 960);
  EXPECT_EQ(font.h, 8);
}

TEST(ArtImages, HigherLevelsAreCrispEnlargementsInThePalette) {
  for (const Sheet& s : kSheets) {
    Png base = load(std::string(s.name) + ".png");
    ASSERT_TRUE(base.ok()) << s.name;
    int offPalette = 0, softAlpha = 0;
    for (int y = 0; y < base.h; ++y)
      for (int x = 0; x < base.w; ++x) {
        const uint8_t* p = base.at(x, y);
        if (p[3] != 0 && p[3] != 255) ++softAlpha;
        if (p[3] == 255 && !inPalette(p)) ++offPalette;
      }
    EXPECT_EQ(softAlpha, 0) << s.name << ": alpha must be 0 or 255";
    EXPECT_EQ(offPalette, 0) << s.name << ": colours outside the inks, black and the greys";
    for (int l = 1; l < 3; ++l) {
      Png big = load(std::string(s.name) + kLevels[l] + ".png");
      ASSERT_TRUE(big.ok());
      int k = kScale[l], differing = 0;
      for (int y = 0; y < big.h && differing == 0; ++y)
        for (int x = 0; x < big.w; ++x) {
          const uint8_t *a = big.at(x, y), *b = base.at(x / k, y / k);
          bool same = a[3] == b[3] && (a[3] == 0 || (a[0] == b[0] && a[1] == b[1] && a[2] == b[2]));
          if (!same) {
            ++differing;
            break;
          }
        }
      EXPECT_EQ(differing, 0) << s.name << kLevels[l] << " is not a pixel-exact enlargement";
    }
  }
}

// Counts the opaque pixels of a frame and those lying in its outer ring of
// `margin` pixels; halves drawn side by side may touch on their inner edge.
struct FrameStats {
  int visible = 0, onEdge = 0;
};

FrameStats frameStats(const Png& p, int fx, int fy, int fw, int fh, int margin, bool openLeft, bool openRight) {
  FrameStats st;
  for (int y = 0; y < fh; ++y)
    for (int x = 0; x < fw; ++x) {
      if (!p.opaque(fx + x, fy + y)) continue;
      ++st.visible;
      bool top = y < margin || y >= fh - margin;
      bool left = x < margin && !openLeft, right = x >= fw - margin && !openRight;
      if (top || left || right) ++st.onEdge;
    }
  return st;
}

TEST(ArtImages, DrawnFramesAreVisibleAndKeepAClearMargin) {
  for (const Sheet& s : kSheets) {
    if (std::string(s.name) == "fonts/cpc") continue;  // glyphs have their own test
    for (int l = 0; l < 3; ++l) {
      Png p = load(std::string(s.name) + kLevels[l] + ".png");
      ASSERT_TRUE(p.ok()) << s.name;
      int k = kScale[l], fw = s.frameW * k, fh = s.frameH * k, perRow = s.w / s.frameW;
      int minPixels = std::string(s.name) == "parts" ? 1 : 4;  // a lone star pixel is a star
      for (int n : drawnFrames(s.name)) {
        // The biplane's tail half (80 + 2i) joins its nose half (81 + 2i),
        // its right-hand neighbour on the sheet, so that seam may be filled.
        bool plane = std::string(s.name) == "gfx" && n >= 80 && n <= 89;
        FrameStats st = frameStats(p, (n % perRow) * fw, (n / perRow) * fh, fw, fh, k, plane && n % 2 == 1,
                                   plane && n % 2 == 0);
        EXPECT_GE(st.visible, minPixels * k * k) << s.name << kLevels[l] << " frame " << n << " is (almost) empty";
        EXPECT_EQ(st.onEdge, 0) << s.name << kLevels[l] << " frame " << n << " touches its cell edge";
      }
    }
  }
}

TEST(ArtImages, BiplaneHalvesMeetAtTheSeam) {
  Png p = load("gfx.png");
  ASSERT_TRUE(p.ok());
  for (int k = 0; k < 5; ++k) {
    int tail = 80 + 2 * k, tx = (tail % 16) * 16, ty = (tail / 16) * 16;
    int tailEdge = 0, noseEdge = 0;
    for (int y = 0; y < 16; ++y) {
      tailEdge += p.opaque(tx + 15, ty + y);
      noseEdge += p.opaque(tx + 16, ty + y);
    }
    EXPECT_GT(tailEdge, 0) << "frame " << tail;
    EXPECT_GT(noseEdge, 0) << "frame " << tail + 1;
  }
}

TEST(ArtImages, TintedSpritesAreNeutralGreys) {
  // The watch tiles are drawn through an ink colour; any hue of their own
  // would shift every ink.
  Png p = load("gfx.png");
  ASSERT_TRUE(p.ok());
  for (int n = 0; n < 4; ++n)
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        const uint8_t* c = p.at(n * 16 + x, y);
        if (c[3]) {
          EXPECT_TRUE(c[0] == c[1] && c[1] == c[2]) << "watch tile " << n << " at " << x << "," << y;
        }
      }
  Png icons = load("icons.png");
  ASSERT_TRUE(icons.ok());
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const uint8_t* c = icons.at(64 + x, 32 + y);  // frame 6, the highlight ring
      if (c[3]) {
        EXPECT_TRUE(c[0] == 255 && c[1] == 255 && c[2] == 255) << "highlight at " << x << "," << y;
      }
    }
}

TEST(ArtImages, AnimationFramesDiffer) {
  // Walking, running, blinking and the turning propeller must move.
  Png p = load("gfx.png");
  ASSERT_TRUE(p.ok());
  auto same = [&](int a, int b) {
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        if (std::memcmp(p.at((a % 16) * 16 + x, (a / 16) * 16 + y), p.at((b % 16) * 16 + x, (b / 16) * 16 + y), 4))
          return false;
    return true;
  };
  const std::vector<std::vector<int>> cycles = {{4, 5, 6, 7, 8, 9}, {16, 17, 18, 19}, {50, 51}, {32, 33},
                                                {81, 83, 85, 87, 89}, {100, 102, 103}, {68, 69}, {56, 57}};
  for (auto& cycle : cycles)
    for (size_t i = 0; i < cycle.size(); ++i)
      for (size_t j = i + 1; j < cycle.size(); ++j)
        EXPECT_FALSE(same(cycle[i], cycle[j])) << "frames " << cycle[i] << " and " << cycle[j] << " are identical";
}

}  // namespace
