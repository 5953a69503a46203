// The credits box over the menu: a keyboard of tiles flying in with a
// striped border, the test card, the credit lines scrolling through a
// fading window, the logo and four corner badges with the screen sizes and
// measured rates; and its closing rules.
#include <algorithm>
#include <cmath>

#include "game/myapp.h"

namespace {

int ClampColour(float v) { return std::min(255, std::max(0, static_cast<int>(v))); }

}  // namespace

int c_MyApp::p_CreditBox() {
    const float W = bb_Game_jscrw;
    const float H = bb_Game_jscrh;
    const int s = m_creditsSlide;
    const float spread = static_cast<float>(30 - s);
    const float alpha = s / 30.0f;

    const float c = std::max(W / 12, H / 12);
    const int nx = static_cast<int>(W / c);
    const int ny = static_cast<int>(H / c);
    const float ox = W / 2 - nx * c / 2;
    const float oy = H / 2 - ny * c / 2;
    const float t = s < 20 ? (s / 20.0f) * c : c;

    p_ResetDraw();
    p_Alpha(alpha);

    // 1. Tiles, converging quadratically from outside as the box opens.
    for (int i = 0; i <= nx; ++i) {
        int a = i - nx / 2;
        if (a <= 0) a -= 1;
        for (int j = 0; j <= ny; ++j) {
            int b = j - ny / 2;
            if (b <= 0) b -= 1;
            const float x = spread * a * std::abs(a) + i * c + ox - t / 2;
            const float y = spread * b * std::abs(b) + j * c + oy - t / 2;
            const bool border = i == 0 || j == 0 || i == nx || j == ny;
            if (border)
                p_SetCol(0, 0, 0);
            else
                p_SetCol(255, 255, 255);
            p_Rect(x, y, t + 1, t + 1);

            if (border) {
                const bool corner = (i == 0 || i == nx) && (j == 0 || j == ny);
                if (corner) continue;
                // Colour ramps along the border; a screen too narrow for
                // inner tiles must not divide by zero.
                const int spanX = std::max(1, nx - 2);
                const int spanY = std::max(1, ny - 2);
                const float p = std::trunc(512.0f / spanX * (i - 1));
                const float q = std::trunc(512.0f / spanY * (j - 1));
                const float g = std::trunc(255.0f / spanX * (i - 1));
                if (j == 0) {
                    p_SetCol(ClampColour(p), ClampColour(512 - p), 0);
                    p_Rect(x + 8, y, t - 16, t + 1);
                } else if (j == ny) {
                    p_SetCol(ClampColour(g), ClampColour(g), ClampColour(g));
                    p_Rect(x + 8, y, t - 16, t + 1);
                } else if (i == 0) {
                    p_SetCol(0, ClampColour(512 - q), ClampColour(q));
                    p_Rect(x, y + 8, t + 1, t - 16);
                } else {
                    p_SetCol(ClampColour(512 - q), 0, ClampColour(q));
                    p_Rect(x, y + 8, t + 1, t - 16);
                }
            } else {
                // Key caps; on the last row the middle ones join into a
                // space bar.
                p_SetCol(128, 128, 128);
                if (j == ny - 1 && i >= 4 && i <= nx - 3)
                    p_Rect(x - 6, y + 2, i == nx - 3 ? t + 4 : t + 24, t - 4);
                else
                    p_Rect(x + 2, y + 2, t - 4, t - 4);
            }
        }
    }

    // 2. The test card.
    p_SetCol(255, 255, 255, alpha);
    p_DrawImg(91, W / 2, H / 2 - 24 * spread, 0);

    // 3. Scroll; up or down held speeds it up.
    m_creditScroll -= 0.3f;
    if (p_PlayKeyAll(CTRL_DOWN, 1) || p_PlayKeyAll(CTRL_UP, 1)) m_creditScroll -= 1.5f;
    if (m_creditScroll < -16) {
        m_creditScroll += 16;
        ++m_creditLine;
    }

    // 4. The lines, fading out toward the top and bottom of their window.
    const int n = bb_Game_CreditText.Length() - 1;
    for (int k = -3; k <= 4; ++k) {
        m_i = k;
        const float y = k * 16 + H / 2 - 24 * spread + m_creditScroll;
        const float f = std::fabs((16 * k + m_creditScroll) / 40) - 0.3f;
        p_Alpha(f < 0 ? 1 : (f > 1 ? 0 : 1 - f));
        if (n <= 0) continue;
        int line = (k + m_creditLine) % n;
        if (line < 0) line += n;
        p_Text(W / 2 + 24, y, bb_Game_CreditText[line], 0.8f, 0.8f);
    }

    // 5. The logo along the bottom.
    p_SetSize(0.4f);
    p_SetCol(255, 255, 255, alpha);
    p_DrawImg(98, W / 2, 4 * spread + (ny - 1) * c + oy, 0);
    p_SetSize(1);
    p_SetRot(0);
    m_blend = 1;

    // 6. The corner badges.
    const float leftX = 1.5f * c + ox - 6 * spread;
    const float rightX = (nx - 1.5f) * c + ox + 6 * spread;
    const float topY = 1.5f * c + oy - 3 * spread;
    const float bottomY = (ny - 1.5f) * c + oy + 3 * spread;
    auto badge = [&](float x, float y) {
        p_SetCol(255, 255, 255, alpha);
        p_Oval(x, y, t, t);
        p_SetCol(128, 128, 128);
        p_Oval(x, y, t - 3, t - 3);
        p_SetCol(255, 255, 255);
    };
    badge(leftX, topY);
    p_Text(leftX, topY - 16, String(bb_graphics_DeviceWidth()), 0.8f, 0.8f);
    p_Text(leftX, topY, String(bb_graphics_DeviceHeight()), 0.8f, 0.8f);
    p_Text(leftX, topY + 16, String(m_updateFps), 0.8f, 0.8f);
    badge(rightX, topY);
    p_Text(rightX, topY - 16, String(static_cast<int>(W)), 0.8f, 0.8f);
    p_Text(rightX, topY, String(static_cast<int>(H)), 0.8f, 0.8f);
    p_Text(rightX, topY + 16, String(m_renderFps), 0.8f, 0.8f);
    badge(leftX, bottomY);
    p_DrawImg(95, leftX, bottomY, 12);
    badge(rightX, bottomY);
    p_SetSize(0.3f);
    p_DrawImg(93, rightX, bottomY, 0);
    p_SetSize(1);

    // 7. A tap, or A, B or the right shoulder, closes the box; the press
    // that opened it is latched and does not.
    if (m_creditsOpen == 1) {
        if (m_mouseDown > 0 && m_touchLatch == 0) {
            m_touchLatch = 1;
            m_creditsOpen = 0;
            p_PlaySFX(99);
        } else if (m_keyLatch == 0 &&
                   (p_PlayKeyAll(CTRL_RSHOULDER, 1) || p_PlayKeyAll(CTRL_A, 1) || p_PlayKeyAll(CTRL_B, 1))) {
            m_keyLatch = 1;
            m_creditsOpen = 0;
            p_PlaySFX(99);
        }
    }
    p_ResetDraw();
    return 0;
}
