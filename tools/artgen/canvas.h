// RGBA raster used by the art generator: straight alpha (0 or 255), pixel
// primitives for drawing pictures, nearest-neighbour enlargement and PNG output.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kqart {

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const Rgba& o) const { return !(*this == o); }
};

// The ten inks of the game's palette, plus black, clear and the light greys
// used for sprites that the game tints.
namespace ink {
constexpr Rgba clear{0, 0, 0, 0};
constexpr Rgba black{0, 0, 0, 255};
constexpr Rgba red{255, 25, 25, 255};
constexpr Rgba orange{255, 127, 25, 255};
constexpr Rgba yellow{255, 255, 25, 255};
constexpr Rgba green{25, 255, 25, 255};
constexpr Rgba cyan{25, 255, 255, 255};
constexpr Rgba blue{25, 25, 255, 255};
constexpr Rgba violet{127, 25, 255, 255};
constexpr Rgba pink{255, 25, 127, 255};
constexpr Rgba white{255, 255, 255, 255};
constexpr Rgba grey{76, 76, 76, 255};
constexpr Rgba light{200, 200, 200, 255};
constexpr Rgba mid{140, 140, 140, 255};
// Inks 1..9 in palette order, 0 and 10 the grey.
Rgba byNumber(int n);
}  // namespace ink

class Canvas {
public:
    Canvas() = default;
    Canvas(int w, int h, Rgba fill = ink::clear);

    int width() const { return m_w; }
    int height() const { return m_h; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < m_w && y < m_h; }
    Rgba get(int x, int y) const;
    void set(int x, int y, Rgba c);  // silently clipped
    const std::vector<uint8_t>& bytes() const { return m_px; }

    void fillRect(int x, int y, int w, int h, Rgba c);
    void frameRect(int x, int y, int w, int h, Rgba c);
    // Pixel centres within the radius of (cx, cy); centres may be fractional.
    void fillCircle(double cx, double cy, double r, Rgba c);
    void fillEllipse(double cx, double cy, double rx, double ry, Rgba c);
    void ring(double cx, double cy, double rOuter, double rInner, Rgba c);
    void line(int x0, int y0, int x1, int y1, Rgba c, int thickness = 1);
    void fillPolygon(const std::vector<std::pair<double, double>>& pts, Rgba c);
    // Copies the opaque pixels of src, each enlarged to scale x scale.
    void blit(const Canvas& src, int dx, int dy, int scale = 1);
    // Copies src with every opaque pixel drawn in one colour.
    void blitTinted(const Canvas& src, int dx, int dy, Rgba c, int scale = 1);
    // Draws a 1-pixel outline in c around every opaque pixel (8-neighbourhood).
    void outline(Rgba c);
    // Replaces one colour by another everywhere.
    void recolour(Rgba from, Rgba to);

    Canvas crop(int x, int y, int w, int h) const;
    Canvas enlarged(int k) const;
    Canvas flippedX() const;
    bool writePng(const std::string& path) const;

private:
    int m_w = 0, m_h = 0;
    std::vector<uint8_t> m_px;
};

// Creates every missing directory on the way to a file.
bool makeParentDirs(const std::string& filePath);

}  // namespace kqart
