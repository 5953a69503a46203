// Raster primitives and PNG output of the art generator. Every write keeps
// alpha at 0 or 255, so enlargements stay crisp and nothing is premultiplied.
#include "canvas.h"

#include <stb/stb_image_write.h>

#include <sys/stat.h>
#include <algorithm>
#include <cmath>

namespace kqart {

Rgba ink::byNumber(int n) {
    static const Rgba inks[] = {grey, red, orange, yellow, green, cyan, blue, violet, pink, white};
    return (n >= 1 && n <= 9) ? inks[n] : grey;
}

Canvas::Canvas(int w, int h, Rgba fill) : m_w(w), m_h(h), m_px(static_cast<size_t>(w) * h * 4) {
    if (fill.a) fillRect(0, 0, w, h, fill);
}

Rgba Canvas::get(int x, int y) const {
    if (!inside(x, y)) return ink::clear;
    const uint8_t* p = &m_px[(static_cast<size_t>(y) * m_w + x) * 4];
    return Rgba{p[0], p[1], p[2], p[3]};
}

void Canvas::set(int x, int y, Rgba c) {
    if (!inside(x, y)) return;
    uint8_t* p = &m_px[(static_cast<size_t>(y) * m_w + x) * 4];
    if (c.a == 0) c = ink::clear;  // one representation of "nothing"
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
    p[3] = c.a ? 255 : 0;
}

void Canvas::fillRect(int x, int y, int w, int h, Rgba c) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) set(i, j, c);
}

void Canvas::frameRect(int x, int y, int w, int h, Rgba c) {
    fillRect(x, y, w, 1, c);
    fillRect(x, y + h - 1, w, 1, c);
    fillRect(x, y, 1, h, c);
    fillRect(x + w - 1, y, 1, h, c);
}

void Canvas::fillCircle(double cx, double cy, double r, Rgba c) { fillEllipse(cx, cy, r, r, c); }

void Canvas::fillEllipse(double cx, double cy, double rx, double ry, Rgba c) {
    if (rx <= 0 || ry <= 0) return;
    int x0 = static_cast<int>(std::floor(cx - rx)), x1 = static_cast<int>(std::ceil(cx + rx));
    int y0 = static_cast<int>(std::floor(cy - ry)), y1 = static_cast<int>(std::ceil(cy + ry));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
            if (dx * dx + dy * dy <= 1.0) set(x, y, c);
        }
}

void Canvas::ring(double cx, double cy, double rOuter, double rInner, Rgba c) {
    int x0 = static_cast<int>(std::floor(cx - rOuter)), x1 = static_cast<int>(std::ceil(cx + rOuter));
    int y0 = static_cast<int>(std::floor(cy - rOuter)), y1 = static_cast<int>(std::ceil(cy + rOuter));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            double dx = x + 0.5 - cx, dy = y + 0.5 - cy, d2 = dx * dx + dy * dy;
            if (d2 <= rOuter * rOuter && d2 > rInner * rInner) set(x, y, c);
        }
}

void Canvas::line(int x0, int y0, int x1, int y1, Rgba c, int thickness) {
    int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1, err = dx + dy;
    int lo = -(thickness - 1) / 2;
    for (;;) {
        fillRect(x0 + lo, y0 + lo, thickness, thickness, c);
        if (x0 == x1 && y0 == y1) break;
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void Canvas::fillPolygon(const std::vector<std::pair<double, double>>& pts, Rgba c) {
    if (pts.size() < 3) return;
    double minY = pts[0].second, maxY = minY;
    for (auto& p : pts) {
        minY = std::min(minY, p.second);
        maxY = std::max(maxY, p.second);
    }
    for (int y = static_cast<int>(std::floor(minY)); y <= static_cast<int>(std::ceil(maxY)); ++y) {
        double sy = y + 0.5;
        std::vector<double> xs;
        for (size_t i = 0; i < pts.size(); ++i) {
            auto a = pts[i], b = pts[(i + 1) % pts.size()];
            if ((a.second <= sy && b.second > sy) || (b.second <= sy && a.second > sy))
                xs.push_back(a.first + (sy - a.second) / (b.second - a.second) * (b.first - a.first));
        }
        std::sort(xs.begin(), xs.end());
        for (size_t i = 0; i + 1 < xs.size(); i += 2)
            for (int x = static_cast<int>(std::ceil(xs[i] - 0.5)); x + 0.5 <= xs[i + 1]; ++x) set(x, y, c);
    }
}

void Canvas::blit(const Canvas& src, int dx, int dy, int scale) {
    for (int y = 0; y < src.m_h; ++y)
        for (int x = 0; x < src.m_w; ++x) {
            Rgba c = src.get(x, y);
            if (c.a) fillRect(dx + x * scale, dy + y * scale, scale, scale, c);
        }
}

void Canvas::blitTinted(const Canvas& src, int dx, int dy, Rgba c, int scale) {
    for (int y = 0; y < src.m_h; ++y)
        for (int x = 0; x < src.m_w; ++x)
            if (src.get(x, y).a) fillRect(dx + x * scale, dy + y * scale, scale, scale, c);
}

void Canvas::outline(Rgba c) {
    Canvas copy = *this;
    for (int y = 0; y < m_h; ++y)
        for (int x = 0; x < m_w; ++x) {
            if (copy.get(x, y).a) continue;
            bool near = false;
            for (int j = -1; j <= 1 && !near; ++j)
                for (int i = -1; i <= 1 && !near; ++i) near = copy.get(x + i, y + j).a != 0;
            if (near) set(x, y, c);
        }
}

void Canvas::recolour(Rgba from, Rgba to) {
    for (int y = 0; y < m_h; ++y)
        for (int x = 0; x < m_w; ++x)
            if (get(x, y) == from) set(x, y, to);
}

Canvas Canvas::crop(int x, int y, int w, int h) const {
    Canvas out(w, h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) out.set(i, j, get(x + i, y + j));
    return out;
}

Canvas Canvas::enlarged(int k) const {
    Canvas out(m_w * k, m_h * k);
    out.blit(*this, 0, 0, k);
    return out;
}

Canvas Canvas::flippedX() const {
    Canvas out(m_w, m_h);
    for (int y = 0; y < m_h; ++y)
        for (int x = 0; x < m_w; ++x) out.set(m_w - 1 - x, y, get(x, y));
    return out;
}

bool Canvas::writePng(const std::string& path) const {
    if (!makeParentDirs(path)) return false;
    return stbi_write_png(path.c_str(), m_w, m_h, 4, m_px.data(), m_w * 4) != 0;
}

bool makeParentDirs(const std::string& filePath) {
    for (size_t pos = filePath.find('/', 1); pos != std::string::npos; pos = filePath.find('/', pos + 1)) {
        std::string dir = filePath.substr(0, pos);
        struct stat st;
        if (stat(dir.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode)) return false;
            continue;
        }
        if (mkdir(dir.c_str(), 0755) != 0) return false;
    }
    return true;
}

}  // namespace kqart
