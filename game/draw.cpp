// Drawing helpers: the current draw state, records appended to the draw
// list (images, rectangles, ovals, text glyphs), the ink palette, the text
// grid of the emulated machine, the star field and the game's random helpers.
#include <cmath>

#include "game/myapp.h"

namespace {

// Sine and cosine of an angle in degrees, exact at multiples of 90 so that
// unrotated text lands on whole pixels.
float SinD(float deg) {
    float m = std::fmod(deg, 360.0f);
    if (m < 0) m += 360.0f;
    if (m == 0 || m == 180) return 0;
    if (m == 90) return 1;
    if (m == 270) return -1;
    return std::sin(deg * D2R);
}
float CosD(float deg) { return SinD(deg + 90.0f); }

const float kInks[10][3] = {
    {0.3f, 0.3f, 0.3f}, {1.0f, 0.1f, 0.1f}, {1.0f, 0.5f, 0.1f}, {1.0f, 1.0f, 0.1f}, {0.1f, 1.0f, 0.1f},
    {0.1f, 1.0f, 1.0f}, {0.1f, 0.1f, 1.0f}, {0.5f, 0.1f, 1.0f}, {1.0f, 0.1f, 0.5f}, {1.0f, 1.0f, 1.0f},
};

float Clamp255(float v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// A star: ten floats, of which the angle and its spin are not drawn but
// take part in the random draws.
enum { STAR_FRAME = 0, STAR_X = 1, STAR_Y = 2, STAR_SPEED = 3, STAR_ANGLE = 5, STAR_SPIN = 6, STAR_STRIDE = 10 };

}  // namespace

// Appends one record with the shared fields; returns its first index or -1
// when the list is full (2499 records).
static int AppendRecord(c_MyApp* app, float kind, float x, float y, float sx, float sy, float frame) {
    if (app->m_drawCount >= DRAW_LIST_FULL) return -1;
    float* r = app->m_drawList.Data() + app->m_drawCount;
    r[DRAW_KIND] = kind;
    r[DRAW_X] = x;
    r[DRAW_Y] = y;
    r[DRAW_ROTATION] = app->m_rotation;
    r[DRAW_SIZE_X] = sx;
    r[DRAW_SIZE_Y] = sy;
    r[DRAW_FRAME] = frame;
    r[DRAW_ALPHA] = app->m_alpha;
    r[DRAW_RED] = app->m_red;
    r[DRAW_GREEN] = app->m_green;
    r[DRAW_BLUE] = app->m_blue;
    r[DRAW_BLEND] = static_cast<float>(app->m_blend);
    app->m_drawCount += DRAW_STRIDE;
    return app->m_drawCount - DRAW_STRIDE;
}

int c_MyApp::p_CLS2D(float r, float g, float b, float a) {
    m_screenW = bb_Game_jscrw;
    m_screenH = bb_Game_jscrh;
    m_cursorX = 0;
    m_cursorY = 0;
    if (r > NOVALUE) {
        m_clsRed = r;
        m_clsGreen = g;
        m_clsBlue = b;
        m_clsAlpha = a;
    }
    p_ResetDraw();
    m_drawCount = 0;
    return 0;
}

int c_MyApp::p_ResetDraw() {
    m_sizeX = 1;
    m_sizeY = 1;
    m_rotation = 0;
    m_red = m_green = m_blue = 255;
    m_alpha = 1;
    m_blend = BLEND_ALPHA;
    return 0;
}

int c_MyApp::p_SetSize(float sx, float sy) {
    m_sizeX = sx;
    m_sizeY = sy > NOVALUE ? sy : sx;
    return 0;
}

int c_MyApp::p_SetRot(float angle) {
    m_rotation = -angle;
    return 0;
}

int c_MyApp::p_SetCol(float r, float g, float b, float a) {
    m_red = r;
    m_green = g;
    m_blue = b;
    if (a > NOVALUE) m_alpha = a;
    return 0;
}

int c_MyApp::p_Alpha(float a) {
    m_alpha = a;
    return 0;
}

int c_MyApp::p_Ink(int ink, int brightness) {
    const float* base = kInks[(ink >= 1 && ink <= 9) ? ink : 0];
    m_red = Clamp255(base[0] * brightness * 255);
    m_green = Clamp255(base[1] * brightness * 255);
    m_blue = Clamp255(base[2] * brightness * 255);
    return 0;
}

int c_MyApp::p_DrawImg(int slot, float x, float y, float frame) {
    AppendRecord(this, static_cast<float>(slot), x, y, m_sizeX, m_sizeY, frame);
    return 0;
}

int c_MyApp::p_Rect(float x, float y, float w, float h) {
    AppendRecord(this, KIND_RECT, x, y, w, h, 0);
    return 0;
}

int c_MyApp::p_Oval(float x, float y, float rx, float ry) {
    AppendRecord(this, KIND_OVAL, x, y, rx, ry, 0);
    return 0;
}

int c_MyApp::p_Text(float x, float y, String text, float alignX, float alignY) {
    int f = m_fontSlot;
    float cw = static_cast<float>(m_imageInfo[3 * f]);
    float ch = static_cast<float>(m_imageInfo[3 * f + 1]);
    float W = 0;
    for (int i = 0; i < text.Length(); ++i) W = std::trunc(W + cw * m_sizeX);

    float r = m_rotation;
    float h = ch * m_sizeY;
    float u = (alignY - 1) * 0.5f;
    float x0 = x + SinD(-r - 90) * W * alignX * 0.5f + SinD(-r) * h * u;
    float y0 = y - CosD(-r - 90) * W * alignX * 0.5f - CosD(-r) * h * u;
    float advX = SinD(90 - r) * cw * m_sizeX;
    float advY = -CosD(90 - r) * cw * m_sizeX;

    // A trailing blank guards the look-ahead after a backslash.
    String t = text + String(" ");
    float px = x0, py = y0;
    int line = 0;
    int n = text.Length();
    for (int i = 0; i < n; ++i) {
        int c = t[i];
        if (c == '\\') {
            if (t[i + 1] == 'n') {
                ++i;
                ++line;
                px = x0 + SinD(180 - r) * line * h;
                py = y0 - CosD(180 - r) * line * h;
                continue;
            }
            p_DrawImg(f, px, py, 60);
        } else if (c == 0) {
            continue;
        } else if (c >= 33 && c <= 159) {
            p_DrawImg(f, px, py, static_cast<float>(c - 32));
        }
        px += advX;
        py += advY;
    }
    return 0;
}

int c_MyApp::p_CPC_Locate(int column, int row) {
    m_cursorX = 8 * column;
    m_cursorY = 8 * row;
    return 0;
}

int c_MyApp::p_CPC_Print(String text) {
    p_Text(static_cast<float>(m_cursorX), static_cast<float>(m_cursorY), text, 0, 0);
    m_cursorY += 8;
    return 0;
}

int c_MyApp::p_ResetStars(int count) {
    if (count >= 1 && count <= 499) m_starCount = count;
    else count = m_starCount;
    for (int i = 0; i <= count; ++i) {
        float* s = m_stars.Data() + STAR_STRIDE * i;
        s[STAR_FRAME] = std::floor(bb_random_Rnd() * 255.99f);
        s[STAR_X] = bb_random_Rnd() * (bb_Game_jscrw + 16) - 8;
        s[STAR_Y] = bb_random_Rnd() * (bb_Game_jscrh + 16) - 8;
        s[STAR_SPEED] = bb_random_Rnd() * 0.6f + 0.2f;
        s[STAR_ANGLE] = bb_random_Rnd() * 360;
        s[STAR_SPIN] = bb_random_Rnd() - 0.5f;
    }
    return 0;
}

int c_MyApp::p_DoStars(float dx, float dy) {
    p_ResetDraw();
    m_blend = BLEND_ALPHA;
    float m = bb_Game_overscan + 16;
    float spanX = bb_Game_jscrw + 2 * m;
    float spanY = bb_Game_jscrh + 2 * m;
    for (int i = 0; i <= m_starCount; ++i) {
        float* s = m_stars.Data() + STAR_STRIDE * i;
        s[STAR_X] += dx * s[STAR_SPEED];
        s[STAR_Y] += dy * s[STAR_SPEED];
        // A star leaving one side comes back at the other, at a new random
        // height (or column), speed and picture.
        auto newRow = [&] {
            s[STAR_Y] = (bb_Game_jscrh + 16) * bb_random_Rnd() - 8;
            s[STAR_SPEED] = bb_random_Rnd() * 0.6f + 0.2f;
            s[STAR_FRAME] = std::floor(bb_random_Rnd() * 255.99f);
        };
        auto newColumn = [&] {
            s[STAR_X] = (bb_Game_jscrw + 16) * bb_random_Rnd() - 8;
            s[STAR_SPEED] = bb_random_Rnd() * 0.6f + 0.2f;
            s[STAR_FRAME] = std::floor(bb_random_Rnd() * 255.99f);
        };
        if (s[STAR_X] < -m) {
            s[STAR_X] += spanX;
            newRow();
        }
        if (s[STAR_X] > bb_Game_jscrw + m) {
            s[STAR_X] -= spanX;
            newRow();
        }
        if (s[STAR_Y] < -m) {
            s[STAR_Y] += spanY;
            newColumn();
        }
        if (s[STAR_Y] > bb_Game_jscrh + m) {
            s[STAR_Y] -= spanY;
            newColumn();
        }
        s[STAR_ANGLE] += s[STAR_SPIN];
        m_sizeX = m_sizeY = 1;
        m_rotation = 0;
        m_red = m_green = m_blue = 255;
        m_blend = BLEND_ALPHA;
        m_alpha = s[STAR_SPEED];
        p_DrawImg(IMG_PARTS, 8.0f * std::trunc(s[STAR_X] / 8), 8.0f * std::trunc(s[STAR_Y] / 8), s[STAR_FRAME]);
    }
    p_ResetDraw();
    return 0;
}

int c_MyApp::p_ResetParticles(int count) {
    if (count >= 1 && count <= 499) m_particleCount = count;
    else count = m_particleCount;
    for (int i = 0; i <= count; ++i) m_particles[10 * i] = 0;  // the in-use flag
    return 0;
}

int c_MyApp::p_Rand(int lo, int hi) {
    float r = bb_random_Rnd();
    return static_cast<int>(std::floor(r * ((hi + 0.99f) - lo) + lo));
}

String c_MyApp::p_rstr(int value, int width, String pad) {
    String s;
    for (m_i = 0; m_i < width; ++m_i) s = s + pad;
    s = s + String(value);
    if (width <= 0) return s;
    return s.Slice(s.Length() - width);
}
