// The generated images: every file the game loads at its three levels with
// the sizes its frames are cut from, the higher levels pixel-exact
// enlargements, crisp pixels in the game's palette, every frame that is drawn
// visible with a clear margin, and the sprite details the games rely on.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "assets/art_support.h"

namespace {

struct Sheet {
    const char* name;
    int w, h;  // level-1 file size
    int frameW, frameH;
    std::vector<int> drawn;  // frames the screens and games draw; empty: all
};

const std::vector<Sheet> kSheets = {
    {"gfx", 256, 256, 16, 16, {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  16,  17,  18,  19, 20, 32,
                               33, 48, 49, 50, 51, 52, 53, 54, 56, 57, 64,  68,  69,  80, 81, 82,
                               83, 84, 85, 86, 87, 88, 89, 90, 96, 98, 100, 101, 102, 103}},
    {"BadgesA", 512, 512, 64, 64, {}},
    {"fonts/cpc", 256, 128, 16, 16, {33}},  // one glyph here, all in the font checks
    {"common/Testcard_Circle", 256, 256, 256, 256, {}},
    {"common/TarnLogo", 256, 256, 256, 256, {}},
    {"common/dpad", 128, 128, 32, 32, {0, 1, 4, 5, 6, 9}},
    {"common/Buttons", 256, 256, 64, 64, {8, 9, 10, 12}},
    {"parts", 128, 128, 8, 8, {}},
    {"icons", 128, 128, 32, 32, {0, 1, 2, 3, 6, 7}},
    {"logo", 256, 128, 256, 128, {}},
    {"menu", 512, 512, 256, 256, {}},
};

bool InPalette(const uint8_t* p) {
    static const std::set<uint32_t> colours = {0xff1919, 0xff7f19, 0xffff19, 0x19ff19, 0x19ffff, 0x1919ff, 0x7f19ff,
                                               0xff197f, 0xffffff, 0x4c4c4c, 0x000000, 0xc8c8c8, 0x8c8c8c};
    return colours.count(uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]) != 0;
}

}  // namespace

TEST(ArtImages, EverySheetAtThreeLevelsIsACrispEnlargementWithVisibleFramesInClearMargins) {
    for (const Sheet& s : kSheets) {
        SCOPED_TRACE(s.name);
        const Png base = load(std::string(s.name) + ".png");
        ASSERT_TRUE(base.ok());
        for (int k : {1, 2, 4}) {
            const Png p = k == 1 ? base : load(std::string(s.name) + (k == 2 ? "-hd" : "-hd2") + ".png");
            ASSERT_TRUE(p.ok()) << "level x" << k;
            // The frame grid divides the file, or the loader's last frames fall outside it.
            EXPECT_TRUE(p.w == s.w * k && p.h == s.h * k && s.w % s.frameW == 0 && s.h % s.frameH == 0) << "x" << k;
            int differing = 0;
            for (int y = 0; y < p.h && !differing; ++y)
                for (int x = 0; x < p.w && !differing; ++x) {
                    const uint8_t *a = p.at(x, y), *b = base.at(x / k, y / k);
                    differing = a[3] != b[3] || (a[3] && std::memcmp(a, b, 3) != 0);
                }
            EXPECT_EQ(differing, 0) << "level x" << k << " is not a pixel-exact enlargement";
        }
        int offPalette = 0, softAlpha = 0;
        for (int y = 0; y < base.h; ++y)
            for (int x = 0; x < base.w; ++x) {
                softAlpha += base.at(x, y)[3] != 0 && base.at(x, y)[3] != 255;
                offPalette += base.at(x, y)[3] == 255 && !InPalette(base.at(x, y));
            }
        EXPECT_EQ(softAlpha + offPalette, 0) << "alpha other than 0 and 255, or colours outside the inks and greys";

        // Drawn frames hold a picture and leave their outer pixel ring clear
        // (the game filters textures); only the biplane's tail half (80 + 2i)
        // may touch its nose half (81 + 2i) on their seam.
        std::vector<int> drawn = s.drawn;
        for (int n = 0; drawn.empty() && n < (s.w / s.frameW) * (s.h / s.frameH); ++n) drawn.push_back(n);
        for (int n : drawn) {
            const bool plane = std::string(s.name) == "gfx" && n >= 80 && n <= 89;
            const int fx = n % (s.w / s.frameW) * s.frameW, fy = n / (s.w / s.frameW) * s.frameH;
            int visible = 0, onEdge = 0;
            for (int y = 0; y < s.frameH; ++y)
                for (int x = 0; x < s.frameW; ++x) {
                    if (!base.opaque(fx + x, fy + y)) continue;
                    ++visible;
                    onEdge += y == 0 || y == s.frameH - 1 || (x == 0 && !(plane && n % 2)) ||
                              (x == s.frameW - 1 && !(plane && n % 2 == 0));
                }
            EXPECT_GE(visible, std::string(s.name) == "parts" ? 1 : 4) << "frame " << n << " is (almost) empty";
            EXPECT_EQ(onEdge, 0) << "frame " << n << " touches its cell edge";
        }
    }
}

TEST(ArtImages, BiplaneHalvesMeetTintedSpritesAreGreyAndAnimationsMove) {
    const Png gfx = load("gfx.png"), icons = load("icons.png");
    ASSERT_TRUE(gfx.ok() && icons.ok());
    auto cell = [&](int n, int x, int y) { return gfx.at(n % 16 * 16 + x, n / 16 * 16 + y); };
    for (int tail = 80; tail <= 88; tail += 2) {
        int tailEdge = 0, noseEdge = 0;
        for (int y = 0; y < 16; ++y) tailEdge += cell(tail, 15, y)[3] != 0, noseEdge += cell(tail + 1, 0, y)[3] != 0;
        EXPECT_TRUE(tailEdge && noseEdge) << "frames " << tail << " and " << tail + 1 << " do not meet";
    }
    // The watch tiles and the highlight ring are drawn through an ink colour;
    // any hue of their own would shift it.
    for (int n = 0; n < 4; ++n)
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const uint8_t* c = cell(n, x, y);
                EXPECT_TRUE(!c[3] || (c[0] == c[1] && c[1] == c[2])) << "watch tile " << n << " at " << x << "," << y;
            }
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const uint8_t* c = icons.at(64 + x, 32 + y);  // frame 6, the highlight ring
            EXPECT_TRUE(!c[3] || (c[0] == 255 && c[1] == 255 && c[2] == 255)) << "highlight at " << x << "," << y;
        }
    // Walking, running, blinking and the turning propeller move.
    // clang-format off
    for (const std::vector<int>& cycle : std::vector<std::vector<int>>{
             {4, 5, 6, 7, 8, 9}, {16, 17, 18, 19}, {50, 51}, {32, 33}, {81, 83, 85, 87, 89}, {100, 102, 103}, {68, 69}, {56, 57}})
        // clang-format on
        for (size_t i = 0; i < cycle.size(); ++i)
            for (size_t j = i + 1; j < cycle.size(); ++j) {
                bool same = true;
                for (int y = 0; y < 16 && same; ++y)
                    same = std::memcmp(cell(cycle[i], 0, y), cell(cycle[j], 0, y), 64) == 0;
                EXPECT_FALSE(same) << "frames " << cycle[i] << " and " << cycle[j] << " are identical";
            }
}
