// The credits box over the menu: a keyboard of tiles flying in with a
// striped border, the test card, the credit lines scrolling through a
// fading window, the logo and four corner badges with the screen sizes and
// measured rates; and its closing rules.
#include <algorithm>
#include <cmath>

#include "game/myapp.h"

namespace {

int ClampColour(float v) { return std::min(255, std::max(0, static_cast<int>(v))); }

// The box's layout: square cells of size c, nx by ny of them centred on the
// screen from (ox, oy); tiles of size t, grown to a cell by slide 20; the
// spread that pushes everything outward while the box is not yet in.
struct Layout {
    float c;
    int nx, ny;
    float ox, oy, t, spread;
};

Layout LayoutAt(int slide) {
    const float W = bb_Game_jscrw;
    const float H = bb_Game_jscrh;
    Layout l;
    l.c = std::max(W / 12, H / 12);
    l.nx = static_cast<int>(W / l.c);
    l.ny = static_cast<int>(H / l.c);
    l.ox = W / 2 - l.nx * l.c / 2;
    l.oy = H / 2 - l.ny * l.c / 2;
    l.t = slide < 20 ? (slide / 20.0f) * l.c : l.c;
    l.spread = static_cast<float>(SLIDE_IN - slide);
    return l;
}

// The frame's coloured bar in border tile (i, j) at (x, y): ramps along the
// top and the sides, grey along the bottom.
void BorderBar(c_MyApp* app, const Layout& l, int i, int j, float x, float y) {
    const float t = l.t;
    // A screen too narrow for inner tiles must not divide by zero.
    const int spanX = std::max(1, l.nx - 2);
    const int spanY = std::max(1, l.ny - 2);
    const float p = std::trunc(512.0f / spanX * (i - 1));
    const float q = std::trunc(512.0f / spanY * (j - 1));
    const float g = std::trunc(255.0f / spanX * (i - 1));
    if (j == 0) {
        app->p_SetCol(ClampColour(p), ClampColour(512 - p), 0);
        app->p_Rect(x + 8, y, t - 16, t + 1);
    } else if (j == l.ny) {
        app->p_SetCol(ClampColour(g), ClampColour(g), ClampColour(g));
        app->p_Rect(x + 8, y, t - 16, t + 1);
    } else if (i == 0) {
        app->p_SetCol(0, ClampColour(512 - q), ClampColour(q));
        app->p_Rect(x, y + 8, t + 1, t - 16);
    } else {
        app->p_SetCol(ClampColour(512 - q), 0, ClampColour(q));
        app->p_Rect(x, y + 8, t + 1, t - 16);
    }
}

// The tiles: a keyboard in a striped frame, converging quadratically from
// outside as the box opens.
void Tiles(c_MyApp* app, const Layout& l) {
    const int nx = l.nx, ny = l.ny;
    const float t = l.t;
    for (int i = 0; i <= nx; ++i) {
        int a = i - nx / 2;
        if (a <= 0) a -= 1;
        for (int j = 0; j <= ny; ++j) {
            int b = j - ny / 2;
            if (b <= 0) b -= 1;
            const float x = l.spread * a * std::abs(a) + i * l.c + l.ox - t / 2;
            const float y = l.spread * b * std::abs(b) + j * l.c + l.oy - t / 2;
            const bool border = i == 0 || j == 0 || i == nx || j == ny;
            if (border) app->p_SetCol(0, 0, 0);
            else app->p_SetCol(255, 255, 255);
            app->p_Rect(x, y, t + 1, t + 1);

            if (border) {
                const bool corner = (i == 0 || i == nx) && (j == 0 || j == ny);
                if (!corner) BorderBar(app, l, i, j, x, y);
                continue;
            }
            // Key caps; on the last row the middle ones join into a space bar.
            app->p_SetCol(128, 128, 128);
            if (j == ny - 1 && i >= 4 && i <= nx - 3) app->p_Rect(x - 6, y + 2, i == nx - 3 ? t + 4 : t + 24, t - 4);
            else app->p_Rect(x + 2, y + 2, t - 4, t - 4);
        }
    }
}

// A corner badge: a white disc with a grey one on it, the draw colour left white.
void Badge(c_MyApp* app, float x, float y, float t, float alpha) {
    app->p_SetCol(255, 255, 255, alpha);
    app->p_Oval(x, y, t, t);
    app->p_SetCol(128, 128, 128);
    app->p_Oval(x, y, t - 3, t - 3);
    app->p_SetCol(255, 255, 255);
}

// Three numbers down a badge.
void BadgeNumbers(c_MyApp* app, float x, float y, int top, int middle, int bottom) {
    app->p_Text(x, y - 16, String(top), 0.8f, 0.8f);
    app->p_Text(x, y, String(middle), 0.8f, 0.8f);
    app->p_Text(x, y + 16, String(bottom), 0.8f, 0.8f);
}

}  // namespace

int c_MyApp::p_CreditBox() {
    const float W = bb_Game_jscrw;
    const float H = bb_Game_jscrh;
    const Layout l = LayoutAt(m_creditsSlide);
    const float alpha = m_creditsSlide / static_cast<float>(SLIDE_IN);

    p_ResetDraw();
    p_Alpha(alpha);
    Tiles(this, l);

    // The test card.
    p_SetCol(255, 255, 255, alpha);
    p_DrawImg(IMG_TESTCARD, W / 2, H / 2 - 24 * l.spread, 0);

    // Scroll; up or down held speeds it up.
    m_creditScroll -= 0.3f;
    if (p_PlayKeyAll(CTRL_DOWN, 1) || p_PlayKeyAll(CTRL_UP, 1)) m_creditScroll -= 1.5f;
    if (m_creditScroll < -16) {
        m_creditScroll += 16;
        ++m_creditLine;
    }

    // The lines, fading out toward the top and bottom of their window.
    const int n = bb_Game_CreditText.Length() - 1;
    for (int k = -3; k <= 4; ++k) {
        m_i = k;
        const float y = k * 16 + H / 2 - 24 * l.spread + m_creditScroll;
        const float f = std::fabs((16 * k + m_creditScroll) / 40) - 0.3f;
        p_Alpha(f < 0 ? 1 : (f > 1 ? 0 : 1 - f));
        if (n <= 0) continue;
        int line = (k + m_creditLine) % n;
        if (line < 0) line += n;
        p_Text(W / 2 + 24, y, bb_Game_CreditText[line], 0.8f, 0.8f);
    }

    // The logo along the bottom.
    p_SetSize(0.4f);
    p_SetCol(255, 255, 255, alpha);
    p_DrawImg(IMG_TITLE_LOGO, W / 2, 4 * l.spread + (l.ny - 1) * l.c + l.oy, 0);
    p_SetSize(1);
    p_SetRot(0);
    m_blend = BLEND_ALPHA;

    // The corner badges: the device's size and the update rate, the virtual
    // screen's size and the render rate, and two pictures.
    const float leftX = 1.5f * l.c + l.ox - 6 * l.spread;
    const float rightX = (l.nx - 1.5f) * l.c + l.ox + 6 * l.spread;
    const float topY = 1.5f * l.c + l.oy - 3 * l.spread;
    const float bottomY = (l.ny - 1.5f) * l.c + l.oy + 3 * l.spread;
    Badge(this, leftX, topY, l.t, alpha);
    BadgeNumbers(this, leftX, topY, bb_graphics_DeviceWidth(), bb_graphics_DeviceHeight(), m_updateFps);
    Badge(this, rightX, topY, l.t, alpha);
    BadgeNumbers(this, rightX, topY, static_cast<int>(W), static_cast<int>(H), m_renderFps);
    Badge(this, leftX, bottomY, l.t, alpha);
    p_DrawImg(IMG_BUTTONS, leftX, bottomY, BADGE_FRAME);
    Badge(this, rightX, bottomY, l.t, alpha);
    p_SetSize(0.3f);
    p_DrawImg(IMG_STUDIO_LOGO, rightX, bottomY, 0);
    p_SetSize(1);

    // A tap, or A, B or the right shoulder, closes the box; the press that
    // opened it is latched and does not.
    if (m_creditsOpen == 1) {
        const bool tapped = m_mouseDown > 0 && m_touchLatch == 0;
        if (tapped) m_touchLatch = 1;
        if (tapped || p_LatchedPress(m_keyLatch, {CTRL_RSHOULDER, CTRL_A, CTRL_B})) {
            m_creditsOpen = 0;
            p_PlaySFX(SFX_CONFIRM);
        }
    }
    p_ResetDraw();
    return 0;
}
