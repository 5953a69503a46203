// kq-artgen: writes every image of the game's data folder from the text and
// drawing sources under assets/. Usage: kq-artgen <data folder> [assets folder]
#include "artkit.h"
#include "assets/art/pictures.h"
#include "sheets.h"

#include <cstdio>
#include <stdexcept>

#ifndef KQ_ASSETS_DIR
#define KQ_ASSETS_DIR "assets"
#endif

namespace kqart {
namespace {

const int kAppIconSizes[] = {32, 64, 128, 256};

// 128 cells of 16 x 16 for the codes 32..159, each 8 x 8 glyph centred in
// its cell so the game can draw it centred on the pen position.
Canvas makeTextFont(const ArtKit& kit) {
    Canvas sheet(256, 128);
    for (int code = 32; code < 160; ++code) {
        Canvas cell(16, 16);
        cell.blitTinted(kit.glyph(code), 4, 4, ink::white);
        placeFrame(sheet, cell, code - 32, 16, 16);
    }
    return sheet;
}

// One strip of 96 cells, 10 pixels apart, an 8-pixel glyph inside a
// 1-pixel clear border on either side.
Canvas makeDefaultFont(const ArtKit& kit) {
    Canvas sheet(960, 8);
    for (int code = 32; code < 128; ++code)
        if (kit.thinFont.has(code)) sheet.blitTinted(kit.thinFont.frame(code), (code - 32) * 10 + 1, 0, ink::white);
    return sheet;
}

Canvas build(const ArtKit& kit, const std::string& name) {
    if (name == "gfx") return sheetFromSource(kit.gfx, 256, 256);
    if (name == "BadgesA") return makeBadges(kit);
    if (name == "fonts/cpc") return makeTextFont(kit);
    if (name == "common/Testcard_Circle") return makeTestCard(kit);
    if (name == "common/TarnLogo") return makeStudioLogo(kit);
    if (name == "common/dpad") return makeDpad(kit);
    if (name == "common/Buttons") return makeButtons(kit);
    if (name == "parts") return makeParts(kit);
    if (name == "icons") return makeIcons(kit);
    if (name == "logo") return makeTitleLogo(kit);
    if (name == "menu") return makeMenu(kit);
    if (name == "vexa_font") return makeDefaultFont(kit);
    throw std::runtime_error("no builder for " + name);
}

void write(const Canvas& img, const std::string& path) {
    if (!img.writePng(path)) throw std::runtime_error("cannot write " + path);
}

}  // namespace
}  // namespace kqart

int main(int argc, char** argv) {
    using namespace kqart;
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s <data folder> [assets folder]\n", argv[0]);
        return 2;
    }
    std::string out = argv[1];
    std::string assets = argc > 2 ? argv[2] : KQ_ASSETS_DIR;
    try {
        ArtKit kit(assets);
        int files = 0;
        for (const SheetSpec& layout : sheetSpecs()) {
            Canvas img = build(kit, layout.name);
            if (img.width() != layout.sheetW || img.height() != layout.sheetH)
                throw std::runtime_error(layout.name + " came out " + std::to_string(img.width()) + "x" +
                                         std::to_string(img.height()));
            std::string base = out + "/" + layout.name;
            write(img, base + ".png");
            ++files;
            if (layout.levels) {
                write(img.enlarged(2), base + "-hd.png");
                write(img.enlarged(4), base + "-hd2.png");
                files += 2;
            }
        }
        // The application icon, enlarged pixel for pixel to the sizes desktops use.
        Canvas icon = makeAppIcon(kit);
        for (int size : kAppIconSizes) {
            write(icon.enlarged(size / kAppIconSize), out + "/appicon-" + std::to_string(size) + ".png");
            ++files;
        }
        std::printf("kq-artgen: wrote %d images to %s\n", files, out.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kq-artgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
