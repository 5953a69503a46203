// Drawing code for the large pictures: badges, test card, studio logo, title
// logo, the four menu pictures and the application icon. Most are drawn at half size and doubled,
// which gives them the same chunky pixels as the sprites.
#include "assets/art/pictures.h"

#include <cmath>
#include <string>

namespace kqart {
namespace {

const double kPi = 3.14159265358979;

// Keeps only the pixels inside the circle.
void clipToCircle(Canvas& c, double cx, double cy, double r) {
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            if (dx * dx + dy * dy > r * r) c.set(x, y, ink::clear);
        }
}

// Text with each pixel row of the glyphs in its own colour (colours[row % n]).
void stripedText(const ArtKit& kit, Canvas& dst, int x, int y, const std::string& s, int scale,
                 const std::vector<Rgba>& colours) {
    for (size_t i = 0; i < s.size(); ++i) {
        Canvas g = kit.glyph(static_cast<unsigned char>(s[i]));
        for (int gy = 0; gy < g.height(); ++gy)
            for (int gx = 0; gx < g.width(); ++gx)
                if (g.get(gx, gy).a)
                    dst.fillRect(x + (static_cast<int>(i) * 8 + gx) * scale, y + gy * scale, scale, scale,
                                 colours[gy % colours.size()]);
    }
}

// Draws a sprite of the gfx sheet; with tint.a set its white pixels take the
// tint, as the game's inks colour the watch.
void sprite(const ArtKit& kit, Canvas& dst, int frame, int x, int y, Rgba tint = ink::clear) {
    Canvas f = kit.gfx.frame(frame);
    if (tint.a) f.recolour(ink::white, tint);
    dst.blit(f, x, y);
}

// ---- badges: one row per game, eight tiers per row -------------------------

Canvas badge(const ArtKit& kit, int n) {
    static const Rgba faces[8] = {ink::blue, ink::violet, ink::grey,  ink::black,
                                  ink::grey, ink::blue,   ink::black, ink::pink};
    static const Rgba rims[4] = {ink::orange, ink::light, ink::yellow, ink::cyan};
    int row = n / 8, tier = n % 8;
    Canvas c(32, 32);
    Rgba rim = rims[tier % 4], face = faces[row];
    if (tier < 4) {  // round medal
        c.fillCircle(15.5, 15.5, 14.5, ink::black);
        c.fillCircle(15.5, 15.5, 13.5, rim);
        c.fillCircle(15.5, 15.5, 11.5, face);
    } else {  // octagonal shield
        drawPolygon(c, 15.5, 15.5, 15, 8, kPi / 8, ink::black);
        drawPolygon(c, 15.5, 15.5, 13.8, 8, kPi / 8, rim);
        drawPolygon(c, 15.5, 15.5, 11.5, 8, kPi / 8, face);
    }
    bool alt = tier >= 4;
    switch (row) {
        case 0: alt ? sprite(kit, c, 2, 8, 4, ink::byNumber(1 + tier % 9)) : sprite(kit, c, 4, 8, 5); break;
        case 1: sprite(kit, c, alt ? 20 : 16, 8, 5); break;
        case 2: sprite(kit, c, alt ? 32 : 33, 8, 5); break;
        case 3:
            if (alt) {
                sprite(kit, c, 49, 8, 5);
            } else {
                sprite(kit, c, 48, 4, 5);
                sprite(kit, c, 48, 12, 5);
                sprite(kit, c, 54, 8, 1);
            }
            break;
        case 4: sprite(kit, c, 64, 8, 4); break;
        case 5: alt ? sprite(kit, c, 90, 8, 5) : sprite(kit, c, 52, 8, 5); break;
        case 6: sprite(kit, c, alt ? 100 : 96, 8, 5); break;
        default:
            if (alt) {
                kit.text(c, 8, 9, "KQ", ink::white);
            } else {
                drawStar(c, 15.5, 14, 8, 3.5, ink::yellow);
            }
            break;
    }
    // Pips for the tier, bottom centre.
    int pips = tier % 4 + 1;
    for (int p = 0; p < pips; ++p) {
        int x = 16 - pips * 2 + p * 4;
        c.fillRect(x, 24, 2, 2, rim);
    }
    return c.enlarged(2);
}

// ---- menu pictures ---------------------------------------------------------

Canvas computerPicture(const ArtKit& kit) {
    Canvas c(128, 128);
    c.fillRect(18, 6, 92, 72, ink::black);  // monitor
    c.fillRect(19, 7, 90, 70, ink::light);
    c.fillRect(24, 12, 80, 58, ink::black);
    c.fillRect(26, 14, 76, 54, ink::blue);
    kit.text(c, 28, 17, "KQ 1986", ink::yellow);
    kit.text(c, 28, 29, "READY", ink::yellow);
    kit.text(c, 28, 41, "RUN\"", ink::yellow);
    c.fillRect(60, 41, 7, 8, ink::yellow);   // cursor block
    c.fillRect(96, 71, 4, 3, ink::green);    // power lamp
    c.fillRect(54, 78, 20, 6, ink::mid);     // stand
    c.fillRect(8, 86, 112, 34, ink::black);  // keyboard
    c.fillRect(9, 87, 110, 32, ink::grey);
    for (int row = 0; row < 4; ++row)
        for (int k = 0; k < 13; ++k) {
            int x = 12 + k * 8 + (row % 2) * 3, y = 90 + row * 6;
            if (x + 6 > 116) continue;
            Rgba key = (k == 12 && row == 1) ? ink::blue : ink::light;
            if (row == 3 && k > 2 && k < 10) continue;
            c.fillRect(x, y, 6, 5, key);
        }
    c.fillRect(36, 108, 56, 5, ink::light);  // space bar
    c.fillRect(104, 108, 10, 5, ink::red);   // escape-red key
    return c.enlarged(2);
}

Canvas cassettePicture(const ArtKit& kit) {
    Canvas c(128, 128);
    c.fillRect(8, 28, 112, 72, ink::black);
    c.fillRect(9, 29, 110, 70, ink::grey);
    c.fillRect(16, 34, 96, 40, ink::white);  // label
    static const Rgba stripes[] = {ink::red, ink::orange, ink::yellow, ink::green, ink::cyan};
    for (int i = 0; i < 5; ++i) c.fillRect(16, 36 + i * 3, 96, 2, stripes[i]);
    kit.textCentred(c, 64, 56, "SIDE A", ink::black);
    c.fillRect(36, 66, 56, 14, ink::black);  // window
    c.fillRect(37, 67, 54, 12, ink::mid);
    for (int side = 0; side < 2; ++side) {
        double x = side ? 80 : 48;
        c.fillCircle(x, 73, 9, ink::black);
        c.fillCircle(x, 73, 7.5, ink::white);
        c.fillCircle(x, 73, 3, ink::black);
        for (int k = 0; k < 6; ++k) {
            double a = k * kPi / 3;
            c.set(static_cast<int>(x + 5 * std::cos(a)), static_cast<int>(73 + 5 * std::sin(a)), ink::grey);
        }
    }
    c.fillPolygon({{30, 99}, {36, 88}, {92, 88}, {98, 99}}, ink::mid);  // tape head edge
    c.fillCircle(44, 94, 2, ink::black);
    c.fillCircle(84, 94, 2, ink::black);
    return c.enlarged(2);
}

Canvas joystickPicture(const ArtKit&) {
    Canvas c(128, 128);
    c.fillPolygon({{14, 118}, {26, 84}, {102, 84}, {114, 118}}, ink::black);  // base
    c.fillPolygon({{17, 116}, {28, 86}, {100, 86}, {111, 116}}, ink::grey);
    c.fillRect(17, 110, 95, 6, ink::black);
    c.fillEllipse(64, 90, 14, 5, ink::black);  // collar
    c.fillEllipse(64, 89, 12, 4, ink::mid);
    c.line(64, 88, 70, 30, ink::black, 7);  // shaft
    c.line(64, 88, 70, 30, ink::light, 4);
    c.fillCircle(71, 26, 15, ink::black);  // knob
    c.fillCircle(71, 26, 14, ink::red);
    c.fillCircle(66, 21, 3, ink::white);
    c.fillEllipse(96, 96, 9, 5, ink::black);  // fire button
    c.fillEllipse(96, 94, 8, 4, ink::red);
    c.fillEllipse(32, 98, 6, 3, ink::black);
    c.fillEllipse(32, 97, 5, 2, ink::yellow);
    return c.enlarged(2);
}

Canvas diskPicture(const ArtKit& kit) {
    Canvas c(128, 128);
    c.fillRect(16, 8, 96, 112, ink::black);
    c.fillRect(17, 9, 94, 110, ink::grey);
    c.fillRect(40, 9, 48, 36, ink::black);  // shutter
    c.fillRect(41, 10, 46, 34, ink::light);
    c.fillRect(58, 14, 12, 26, ink::black);
    c.fillRect(24, 56, 80, 56, ink::black);  // label
    c.fillRect(25, 57, 78, 54, ink::white);
    c.fillRect(25, 57, 78, 8, ink::red);
    kit.textCentred(c, 64, 70, "KESTREL", ink::blue);
    kit.textCentred(c, 64, 82, "QUILLONS", ink::blue);
    kit.textCentred(c, 64, 96, "1986", ink::red);
    c.fillRect(20, 12, 6, 6, ink::black);  // write-protect hole
    return c.enlarged(2);
}

}  // namespace

Canvas makeBadges(const ArtKit& kit) {
    Canvas sheet(512, 512);
    for (int n = 0; n < 64; ++n) placeFrame(sheet, badge(kit, n), n, 64, 64);
    return sheet;
}

Canvas makeTestCard(const ArtKit& kit) {
    // The credits scroll their lines across the middle of the card, so the
    // band there stays dark and the bright patterns sit above and below it.
    const double m = 63.5, r = 61;
    Canvas c(128, 128, ink::grey);
    for (int i = 4; i < 128; i += 10) {  // grid
        c.fillRect(i, 0, 1, 128, ink::mid);
        c.fillRect(0, i, 128, 1, ink::mid);
    }
    static const Rgba steps[] = {ink::black, ink::grey, ink::mid, ink::light, ink::white};
    for (int i = 0; i < 5; ++i) c.fillRect(34 + i * 12, 6, 12, 10, steps[i]);
    static const Rgba bars[] = {ink::white, ink::yellow, ink::cyan,   ink::green, ink::pink,
                                ink::red,   ink::blue,   ink::violet, ink::orange};
    for (int i = 0; i < 9; ++i) c.fillRect(5 + i * 13, 18, 13, 18, bars[i]);
    c.fillRect(0, 38, 128, 52, ink::black);  // the dark band
    c.ring(m, m, 22, 20, ink::grey);         // centre circle and cross, dimmed inside the band
    c.fillRect(0, 63, 128, 2, ink::grey);
    c.fillRect(63, 0, 2, 128, ink::white);
    c.fillRect(63, 38, 2, 52, ink::grey);
    c.fillRect(0, 91, 128, 13, ink::blue);  // caption
    kit.textCentred(c, 64, 94, "KQ-1986", ink::white);
    for (int i = 0; i < 4; ++i) {  // gratings of widths 1..4
        int w = i + 1, x0 = 34 + i * 15;
        for (int x = 0; x < 14; ++x) c.fillRect(x0 + x, 106, 1, 10, ((x / w) % 2) ? ink::black : ink::white);
    }
    clipToCircle(c, m, m, r);
    c.ring(m, m, r, r - 2, ink::white);
    c.ring(m, m, r + 1, r, ink::black);
    return c.enlarged(2);
}

Canvas makeStudioLogo(const ArtKit& kit) {
    // "Tarnmoor Software": a mountain tarn inside a roundel, the name below.
    Canvas c(128, 128);
    const double cx = 63.5, cy = 48, r = 40;
    Canvas scene(128, 128);
    scene.fillRect(0, 0, 128, 128, ink::cyan);
    scene.fillRect(0, 0, 128, 14, ink::blue);
    scene.fillRect(0, 14, 128, 4, ink::cyan);
    for (int x = 0; x < 128; x += 2) scene.set(x, 14, ink::blue);
    scene.fillCircle(86, 24, 7, ink::yellow);  // sun
    scene.fillPolygon({{20, 66}, {50, 24}, {70, 50}, {84, 34}, {110, 66}}, ink::grey);
    scene.fillPolygon({{50, 24}, {58, 35}, {52, 33}, {47, 38}, {42, 35}}, ink::white);  // snow caps
    scene.fillPolygon({{84, 34}, {90, 42}, {85, 40}, {80, 43}, {78, 41}}, ink::white);
    scene.fillRect(0, 62, 128, 66, ink::green);
    scene.fillEllipse(cx, 72, 34, 9, ink::blue);  // the tarn
    for (int i = 0; i < 4; ++i) scene.fillRect(44 + i * 10, 68 + (i % 2) * 4, 6, 1, ink::cyan);
    clipToCircle(scene, cx, cy, r - 3);
    c.fillCircle(cx, cy, r + 1, ink::black);
    c.fillCircle(cx, cy, r, ink::white);
    c.blit(scene, 0, 0);
    Canvas words(128, 128);
    kit.textCentred(words, 64, 94, "TARNMOOR", ink::white);
    kit.textCentred(words, 64, 106, "SOFTWARE", ink::yellow);
    words.outline(ink::black);
    c.blit(words, 0, 0);
    return c.enlarged(2);
}

Canvas makeTitleLogo(const ArtKit& kit) {
    Canvas words(256, 128);
    stripedText(kit, words, 16, 6, "KESTREL", 4,
                {ink::red, ink::red, ink::orange, ink::orange, ink::yellow, ink::yellow, ink::white, ink::white});
    stripedText(kit, words, 32, 44, "QUILLONS", 3,
                {ink::cyan, ink::cyan, ink::cyan, ink::blue, ink::blue, ink::violet, ink::violet, ink::violet});
    stripedText(kit, words, 64, 76, "1986", 4, {ink::yellow, ink::white});
    static const Rgba lines[] = {ink::red, ink::orange, ink::yellow, ink::green, ink::cyan, ink::blue, ink::violet};
    for (int i = 0; i < 7; ++i) {  // speed lines either side of the year
        int len = 44 - i * 4, y = 78 + i * 4;
        words.fillRect(56 - len, y, len, 3, lines[i]);
        words.fillRect(200, y, len, 3, lines[i]);
    }
    Canvas shadow(256, 128);
    shadow.blitTinted(words, 3, 3, ink::blue);
    Canvas c(256, 128);
    c.blit(shadow, 0, 0);
    c.blit(words, 0, 0);
    c.outline(ink::black);
    c.outline(ink::black);
    return c;
}

Canvas makeMenu(const ArtKit& kit) {
    Canvas sheet(512, 512);
    placeFrame(sheet, computerPicture(kit), 0, 256, 256);
    placeFrame(sheet, cassettePicture(kit), 1, 256, 256);
    placeFrame(sheet, joystickPicture(kit), 2, 256, 256);
    placeFrame(sheet, diskPicture(kit), 3, 256, 256);
    return sheet;
}

// The title logo's K, in its stripes and black outline, on a blue screen
// with rounded corners: the icon of the desktop entry and the window.
Canvas makeAppIcon(const ArtKit& kit) {
    Canvas letter(kAppIconSize, kAppIconSize);
    stripedText(kit, letter, 5, 5, "K", 3,
                {ink::red, ink::red, ink::orange, ink::orange, ink::yellow, ink::yellow, ink::white, ink::white});
    letter.outline(ink::black);
    Canvas icon(kAppIconSize, kAppIconSize);
    icon.fillRect(1, 1, kAppIconSize - 2, kAppIconSize - 2, ink::black);
    icon.fillRect(2, 2, kAppIconSize - 4, kAppIconSize - 4, ink::blue);
    for (int x : {1, kAppIconSize - 2})  // round the corners off
        for (int y : {1, kAppIconSize - 2}) icon.set(x, y, ink::clear);
    icon.blit(letter, 0, 0);
    return icon;
}

}  // namespace kqart
