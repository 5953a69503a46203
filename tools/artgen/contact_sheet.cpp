// kq-contact-sheet: renders every generated sheet, frame by frame with its
// number, plus sample lines of both fonts, into one PNG for review.
// Usage: kq-contact-sheet <data folder> <output.png> [sheet name ...]
#include "canvas.h"
#include "sheets.h"

#include <stb/stb_image.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace kqart;

namespace {

const int kPageW = 1040;

bool loadPng(const std::string& path, Canvas& out) {
    int w = 0, h = 0, n = 0;
    unsigned char* px = stbi_load(path.c_str(), &w, &h, &n, 4);
    if (!px) return false;
    out = Canvas(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = px + (static_cast<size_t>(y) * w + x) * 4;
            out.set(x, y, Rgba{p[0], p[1], p[2], p[3]});
        }
    stbi_image_free(px);
    return true;
}

// Labels use the framework's default font strip (8-pixel glyphs in 10-pixel cells).
struct Labeller {
    Canvas strip;
    bool ok = false;
    void text(Canvas& dst, int x, int y, const std::string& s, Rgba c, int scale = 1) const {
        if (!ok) return;
        for (size_t i = 0; i < s.size(); ++i) {
            int code = static_cast<unsigned char>(s[i]);
            if (code < 32 || code > 127) continue;
            dst.blitTinted(strip.crop((code - 32) * 10 + 1, 0, 8, 8), x + static_cast<int>(i) * 8 * scale, y, c, scale);
        }
    }
};

bool emptyFrame(const Canvas& f) {
    for (int y = 0; y < f.height(); ++y)
        for (int x = 0; x < f.width(); ++x)
            if (f.get(x, y).a) return false;
    return true;
}

void checker(Canvas& dst, int x, int y, int w, int h) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            dst.set(x + i, y + j, ((i / 4 + j / 4) & 1) ? Rgba{70, 70, 100, 255} : Rgba{86, 86, 120, 255});
}

int g_zoom = 0;  // --zoom=N overrides the per-sheet choice

int zoomFor(const SheetSpec& s) { return g_zoom ? g_zoom : std::max(1, 48 / std::min(s.frameW, s.frameH)); }

Canvas tinted(const Canvas& f, Rgba t) {
    Canvas out(f.width(), f.height());
    for (int y = 0; y < f.height(); ++y)
        for (int x = 0; x < f.width(); ++x) {
            Rgba p = f.get(x, y);
            if (p.a)
                out.set(x, y, Rgba{uint8_t(p.r * t.r / 255), uint8_t(p.g * t.g / 255), uint8_t(p.b * t.b / 255), 255});
        }
    return out;
}

// Sprites the games draw side by side, shown joined as in play: the watch
// (tiles 0..3, tinted with three inks) and the five biplane pairs.
int drawGfxComposites(Canvas& page, int y, const Canvas& img, const Labeller& lab) {
    auto frame = [&](int n) { return img.crop((n % 16) * 16, (n / 16) * 16, 16, 16); };
    int z = g_zoom ? g_zoom : 3, x = 8;
    lab.text(page, 8, y, "gfx joined: watch in inks 1, 5, 9; biplane frames 0..4", ink::white);
    y += 10;
    checker(page, 8, y, kPageW - 16, 16 * z);
    for (int ink : {1, 5, 9}) {
        for (int t = 0; t < 4; ++t) page.blit(tinted(frame(t), ink::byNumber(ink)), x + t * 16 * z, y, z);
        x += 64 * z + 8;
    }
    y += 16 * z + 4;
    x = 8;
    checker(page, 8, y, kPageW - 16, 16 * z);
    for (int k = 0; k < 5 && x + 32 * z < kPageW; ++k) {
        page.blit(frame(80 + 2 * k), x, y, z);
        page.blit(frame(81 + 2 * k), x + 16 * z, y, z);
        x += 32 * z + 8;
    }
    return y + 16 * z + 8;
}

// Draws one sheet from y on and returns the y below it.
int drawSheet(Canvas& page, int y, const SheetSpec& layout, const Canvas& img, const Labeller& lab) {
    lab.text(page, 8, y, layout.name + "  (" + std::to_string(img.width()) + "x" + std::to_string(img.height()) + ")",
             ink::yellow, 2);
    y += 22;
    int z = zoomFor(layout), cw = layout.frameW * z + 4, chh = layout.frameH * z + 14;
    int cols = std::max(1, (kPageW - 16) / cw), col = 0;
    int perRow = layout.sheetW / layout.frameW;
    for (int n = 0; n < layout.frames; ++n) {
        Canvas f = img.crop((n % perRow) * layout.frameW, (n / perRow) * layout.frameH, layout.frameW, layout.frameH);
        if (emptyFrame(f)) continue;
        int x = 8 + col * cw;
        lab.text(page, x, y, std::to_string(n), ink::white);
        checker(page, x, y + 10, layout.frameW * z, layout.frameH * z);
        page.blit(f, x, y + 10, z);
        if (++col == cols) {
            col = 0;
            y += chh;
        }
    }
    if (col) y += chh;
    return y + 8;
}

int drawFontSamples(Canvas& page, int y, const Canvas& cpc, const Labeller& lab) {
    static const char* lines[] = {"KESTREL QUILLONS 1986 - READY.", "The quick brown fox jumps over the lazy dog!",
                                  "0123456789 +-*/=<>()[]{} \"'`~^_|\\@#$%&?,.:;"};
    static const Rgba inks[] = {ink::yellow, ink::cyan, ink::white};
    lab.text(page, 8, y, "fonts/cpc sample", ink::yellow, 2);
    y += 22;
    for (int scale = 1; scale <= 2; ++scale)
        for (int l = 0; l < 3; ++l) {
            std::string s = lines[l];
            page.fillRect(0, y, kPageW, 8 * scale + 4, Rgba{0, 0, 128, 255});
            for (size_t i = 0; i < s.size(); ++i) {
                int cell = static_cast<unsigned char>(s[i]) - 32;
                Canvas g = cpc.crop((cell % 16) * 16 + 4, (cell / 16) * 16 + 4, 8, 8);
                page.blitTinted(g, 8 + static_cast<int>(i) * 8 * scale, y + 2, inks[l], scale);
            }
            y += 8 * scale + 4;
        }
    // Block graphics and the whole character set in order.
    for (int row = 0; row < 2; ++row) {
        page.fillRect(0, y, kPageW, 20, Rgba{0, 0, 0, 255});
        for (int i = 0; i < 64; ++i) {
            int cell = row * 64 + i;
            Canvas g = cpc.crop((cell % 16) * 16 + 4, (cell / 16) * 16 + 4, 8, 8);
            page.blitTinted(g, 8 + i * 16, y + 2, ink::byNumber(1 + i % 9), 2);
        }
        y += 20;
    }
    y += 8;
    lab.text(page, 8, y, "vexa_font sample", ink::yellow, 2);
    y += 22;
    for (int l = 0; l < 3; ++l) {
        page.fillRect(0, y, kPageW, 20, Rgba{40, 40, 80, 255});
        lab.text(page, 8, y + 2, lines[l], ink::white, 2);
        y += 20;
    }
    return y + 8;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <data folder> <output.png> [sheet name ...]\n", argv[0]);
        return 2;
    }
    std::string data = argv[1];
    std::vector<std::string> only;
    for (int i = 3; i < argc; ++i) {
        std::string a = argv[i];
        if (a.rfind("--zoom=", 0) == 0) g_zoom = std::max(1, std::atoi(a.c_str() + 7));
        else only.push_back(a);
    }
    Labeller lab;
    lab.ok = loadPng(data + "/vexa_font.png", lab.strip);
    Canvas page(kPageW, 16000, Rgba{30, 30, 40, 255});
    int y = 8, failures = 0;
    for (const SheetSpec& layout : sheetSpecs()) {
        if (!only.empty() && std::find(only.begin(), only.end(), layout.name) == only.end()) continue;
        Canvas img;
        if (!loadPng(data + "/" + layout.name + ".png", img)) {
            std::fprintf(stderr, "kq-contact-sheet: cannot read %s.png\n", layout.name.c_str());
            ++failures;
            continue;
        }
        if (layout.name == "vexa_font") continue;  // shown as a sample line below
        y = drawSheet(page, y, layout, img, lab);
        if (layout.name == "fonts/cpc") y = drawFontSamples(page, y, img, lab);
        if (layout.name == "gfx") y = drawGfxComposites(page, y, img, lab);
    }
    Canvas out = page.crop(0, 0, kPageW, std::min(y, page.height()));
    if (!out.writePng(argv[2])) {
        std::fprintf(stderr, "kq-contact-sheet: cannot write %s\n", argv[2]);
        return 1;
    }
    return failures ? 1 : 0;
}
