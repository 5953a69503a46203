// Drawing code for the small interface sheets: corner icons, the on-screen
// d-pad, the options gear and badge of "common/Buttons", and the star pieces.
#include "assets/art/pictures.h"

#include <cmath>

namespace kqart {
namespace {

const double kPi = 3.14159265358979;
using Points = std::vector<std::pair<double, double>>;

// A round plate: black rim, white ring, coloured face.
void plate(Canvas& c, double cx, double cy, double r, Rgba face) {
    c.fillCircle(cx, cy, r, ink::black);
    c.fillCircle(cx, cy, r - 1, ink::white);
    c.fillCircle(cx, cy, r - 3, face);
}

Points regular(double cx, double cy, double r, int n, double turn) {
    Points p;
    for (int i = 0; i < n; ++i) {
        double a = turn + 2 * kPi * i / n;
        p.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return p;
}

Points starShape(double cx, double cy, double rOut, double rIn, int points) {
    Points p;
    for (int i = 0; i < 2 * points; ++i) {
        double a = -kPi / 2 + kPi * i / points, r = (i % 2) ? rIn : rOut;
        p.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return p;
}

// Gear wheel: teeth between rRoot and rTip, hole of radius rHole.
void gear(Canvas& c, double cx, double cy, double rTip, double rRoot, double rHole, int teeth, Rgba body, Rgba edge) {
    Canvas g(c.width(), c.height());
    g.fillCircle(cx, cy, rRoot, body);
    for (int t = 0; t < teeth; ++t) {
        double a = 2 * kPi * t / teeth, w = kPi / teeth * 0.55;
        g.fillPolygon({{cx + rRoot * std::cos(a - w * 1.2), cy + rRoot * std::sin(a - w * 1.2)},
                       {cx + rTip * std::cos(a - w * 0.7), cy + rTip * std::sin(a - w * 0.7)},
                       {cx + rTip * std::cos(a + w * 0.7), cy + rTip * std::sin(a + w * 0.7)},
                       {cx + rRoot * std::cos(a + w * 1.2), cy + rRoot * std::sin(a + w * 1.2)}},
                      body);
    }
    if (rHole > 0) g.fillCircle(cx, cy, rHole, ink::clear);
    Canvas shape = g;
    g.outline(edge);
    // Hollow the hole again: the outline also grew inwards into it.
    for (int y = 0; y < g.height(); ++y)
        for (int x = 0; x < g.width(); ++x)
            if (!shape.get(x, y).a && g.get(x, y).a) {
                double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
                if (rHole > 0 && dx * dx + dy * dy < (rHole - 1) * (rHole - 1)) g.set(x, y, ink::clear);
            }
    c.blit(g, 0, 0);
}

Canvas icon(int n) {
    Canvas c(32, 32);
    const double m = 15.5, r = 14.5;
    switch (n) {
        case 0:  // pause: two bars
            plate(c, m, m, r, ink::blue);
            c.fillRect(10, 9, 4, 14, ink::white);
            c.fillRect(18, 9, 4, 14, ink::white);
            break;
        case 1:  // quit: a cross
            plate(c, m, m, r, ink::red);
            c.line(10, 10, 21, 21, ink::white, 3);
            c.line(21, 10, 10, 21, ink::white, 3);
            break;
        case 2:  // back: arrow to the left
            plate(c, m, m, r, ink::orange);
            c.fillPolygon({{7, 16}, {15, 8}, {15, 24}}, ink::white);
            c.fillRect(15, 13, 10, 6, ink::white);
            break;
        case 3:  // start: play triangle
            plate(c, m, m, r, ink::green);
            c.fillPolygon({{11, 7}, {25, 16}, {11, 25}}, ink::white);
            break;
        case 6: {  // highlight ring with four marks, drawn white for tinting
            c.ring(m, m, 14.5, 11.5, ink::white);
            for (int k = 0; k < 4; ++k) {
                double a = kPi / 4 + k * kPi / 2;
                int x = static_cast<int>(std::lround(m + 12 * std::cos(a))),
                    y = static_cast<int>(std::lround(m + 12 * std::sin(a)));
                c.fillRect(x - 1, y - 1, 2, 2, ink::white);
            }
            break;
        }
        case 7:  // calibrate: crosshair over a level bubble
            plate(c, m, m, r, ink::violet);
            c.ring(m, m, 8, 6, ink::white);
            c.fillRect(15, 5, 2, 22, ink::white);
            c.fillRect(5, 15, 22, 2, ink::white);
            c.fillCircle(m, m, 2.5, ink::yellow);
            break;
        default: break;
    }
    return c;
}

// Arrow pad pointing up; rotated copies give the other three.
Canvas arrowPad() {
    Canvas c(32, 32);
    c.fillRect(3, 3, 26, 26, ink::black);
    c.fillRect(4, 4, 24, 24, ink::white);
    c.fillRect(6, 6, 20, 20, ink::grey);
    c.fillPolygon({{16, 8}, {24, 18}, {8, 18}}, ink::white);
    c.fillRect(13, 18, 6, 6, ink::white);
    return c;
}

Canvas rotated90(const Canvas& src, int quarterTurns) {
    Canvas out = src;
    for (int q = 0; q < quarterTurns; ++q) {
        Canvas t(out.height(), out.width());
        for (int y = 0; y < out.height(); ++y)
            for (int x = 0; x < out.width(); ++x) t.set(out.height() - 1 - y, x, out.get(x, y));
        out = t;
    }
    return out;
}

}  // namespace

Canvas makeIcons(const ArtKit&) {
    Canvas sheet(128, 128);
    for (int n : {0, 1, 2, 3, 6, 7}) placeFrame(sheet, icon(n), n, 32, 32);
    return sheet;
}

Canvas makeDpad(const ArtKit&) {
    Canvas sheet(128, 128);
    Canvas button(32, 32);  // round action button
    button.fillCircle(15.5, 15.5, 13, ink::black);
    button.fillCircle(15.5, 15.5, 12, ink::white);
    button.fillCircle(15.5, 15.5, 10, ink::red);
    button.fillCircle(12.5, 12.5, 2.5, ink::white);
    placeFrame(sheet, button, 0, 32, 32);
    Canvas up = arrowPad();
    placeFrame(sheet, up, 1, 32, 32);
    placeFrame(sheet, rotated90(up, 3), 4, 32, 32);  // left
    placeFrame(sheet, rotated90(up, 1), 6, 32, 32);  // right
    placeFrame(sheet, rotated90(up, 2), 9, 32, 32);  // down
    Canvas centre(32, 32);
    centre.fillRect(3, 3, 26, 26, ink::black);
    centre.fillRect(4, 4, 24, 24, ink::grey);
    centre.fillCircle(15.5, 15.5, 6, ink::black);
    centre.fillCircle(15.5, 15.5, 5, ink::mid);
    placeFrame(sheet, centre, 5, 32, 32);
    return sheet;
}

Canvas makeButtons(const ArtKit& kit) {
    Canvas sheet(256, 256);
    const double m = 31.5;
    Canvas outer(64, 64);  // big wheel, turns one way
    gear(outer, m, m, 29, 24, 18, 12, ink::light, ink::black);
    outer.ring(m, m, 22, 20, ink::mid);
    placeFrame(sheet, outer, 8, 64, 64);
    Canvas middle(64, 64);  // smaller wheel inside it, turns the other way
    gear(middle, m, m, 17, 13, 7, 8, ink::orange, ink::black);
    placeFrame(sheet, middle, 9, 64, 64);
    Canvas hub(64, 64);  // cap with a slot, so its turning shows
    hub.fillCircle(m, m, 7, ink::black);
    hub.fillCircle(m, m, 6, ink::yellow);
    hub.fillRect(26, 31, 12, 2, ink::black);
    hub.fillCircle(m, m, 1.5, ink::black);
    placeFrame(sheet, hub, 10, 64, 64);
    Canvas badge(64, 64);  // medal: ribbon tails, gold disc, star
    badge.fillPolygon({{20, 40}, {28, 40}, {24, 61}, {19, 57}, {14, 61}}, ink::red);
    badge.fillPolygon({{36, 40}, {44, 40}, {50, 61}, {45, 57}, {40, 61}}, ink::blue);
    badge.fillCircle(m, 28, 24, ink::black);
    badge.fillCircle(m, 28, 23, ink::orange);
    badge.fillCircle(m, 28, 19, ink::yellow);
    badge.fillPolygon(starShape(m, 28.5, 15, 6.5, 5), ink::orange);
    badge.fillPolygon(starShape(m, 28.5, 12, 5, 5), ink::white);
    (void)kit;
    placeFrame(sheet, badge, 12, 64, 64);
    return sheet;
}

Canvas makeParts(const ArtKit& kit) {
    // Core and glow colours of the sixteen colourings; most stay pale so the
    // field reads as stars, a few carry the inks for sparks.
    static const Rgba schemes[16][2] = {
        {ink::white, ink::white},   {ink::white, ink::light},   {ink::white, ink::yellow}, {ink::white, ink::cyan},
        {ink::yellow, ink::orange}, {ink::cyan, ink::blue},     {ink::white, ink::violet}, {ink::pink, ink::violet},
        {ink::white, ink::green},   {ink::yellow, ink::yellow}, {ink::cyan, ink::cyan},    {ink::white, ink::pink},
        {ink::orange, ink::red},    {ink::light, ink::grey},    {ink::green, ink::cyan},   {ink::white, ink::blue}};
    Canvas sheet(128, 128);
    for (int n = 0; n < 256; ++n) {
        Canvas shape = kit.parts.frame(n % 16), f(8, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                Rgba p = shape.get(x, y);
                if (p.a) f.set(x, y, p == ink::white ? schemes[n / 16][0] : schemes[n / 16][1]);
            }
        placeFrame(sheet, f, n, 8, 8);
    }
    return sheet;
}

// Shared with the picture builders.
void drawStar(Canvas& c, double cx, double cy, double rOut, double rIn, Rgba col) {
    c.fillPolygon(starShape(cx, cy, rOut, rIn, 5), col);
}
void drawPolygon(Canvas& c, double cx, double cy, double r, int n, double turn, Rgba col) {
    c.fillPolygon(regular(cx, cy, r, n, turn), col);
}

}  // namespace kqart
