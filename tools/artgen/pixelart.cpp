// Parses the text pixel-art format described in pixelart.h. Strict on
// purpose: a wrong row length or an unknown character stops the build with
// the file and line, instead of producing a silently broken sprite.
#include "pixelart.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kqart {
namespace {

bool namedInk(const std::string& name, Rgba& out) {
    static const std::map<std::string, Rgba> names = {
        {"clear", ink::clear},   {"black", ink::black}, {"red", ink::red},     {"orange", ink::orange},
        {"yellow", ink::yellow}, {"green", ink::green}, {"cyan", ink::cyan},   {"blue", ink::blue},
        {"violet", ink::violet}, {"pink", ink::pink},   {"white", ink::white}, {"grey", ink::grey},
        {"light", ink::light},   {"mid", ink::mid}};
    auto it = names.find(name);
    if (it == names.end()) return false;
    out = it->second;
    return true;
}

std::string trimRight(std::string s) {
    while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t')) s.pop_back();
    return s;
}

}  // namespace

Canvas PixelSource::frame(int n) const {
    auto it = frames.find(n);
    if (it == frames.end()) throw std::runtime_error(path + ": no frame " + std::to_string(n));
    Canvas c(frameW, frameH);
    for (int y = 0; y < frameH; ++y)
        for (int x = 0; x < frameW; ++x) c.set(x, y, legend.at(it->second[y][x]));
    return c;
}

PixelSource parsePixelText(const std::string& text, const std::string& name) {
    PixelSource src;
    src.path = name;
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    auto fail = [&](const std::string& why) {
        throw std::runtime_error(name + ":" + std::to_string(lineNo) + ": " + why);
    };
    while (std::getline(in, line)) {
        ++lineNo;
        line = trimRight(line);
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string key;
        words >> key;
        if (key == "size") {
            if (!(words >> src.frameW >> src.frameH) || src.frameW <= 0 || src.frameH <= 0) fail("bad size");
        } else if (key == "ink") {
            std::string ch, a;
            if (!(words >> ch >> a) || ch.size() != 1) fail("bad ink line");
            Rgba c;
            if (!namedInk(a, c)) {
                int r = 0, g = 0, b = 0;
                std::istringstream nums(a);
                if (!(nums >> r) || !(words >> g >> b)) fail("unknown ink " + a);
                c = Rgba{uint8_t(std::clamp(r, 0, 255)), uint8_t(std::clamp(g, 0, 255)), uint8_t(std::clamp(b, 0, 255)),
                         255};
            }
            src.legend[ch[0]] = c;
        } else if (key == "frame") {
            int n = -1;
            if (!(words >> n) || n < 0) fail("bad frame number");
            if (src.frameW == 0) fail("frame before size");
            if (src.frames.count(n)) fail("frame " + std::to_string(n) + " defined twice");
            std::string word;
            words >> word;
            if (word == "like") {
                int from = -1;
                if (!(words >> from) || !src.frames.count(from)) fail("like needs an earlier frame");
                std::vector<std::string> rows = src.frames[from];
                std::map<char, char> swap;
                while (words >> word) {
                    if (word == "flip") {
                        for (auto& r : rows) std::reverse(r.begin(), r.end());
                    } else if (word.size() == 3 && word[1] == '=') {
                        if (!src.legend.count(word[2])) fail(std::string("unknown character ") + word[2]);
                        swap[word[0]] = word[2];
                    } else {
                        fail("unknown option " + word);
                    }
                }
                for (auto& r : rows)
                    for (auto& ch : r)
                        if (swap.count(ch)) ch = swap[ch];
                src.frames[n] = rows;
                continue;
            }
            std::vector<std::string> rows;
            while (static_cast<int>(rows.size()) < src.frameH) {
                if (!std::getline(in, line)) fail("file ends inside frame " + std::to_string(n));
                ++lineNo;
                line = trimRight(line);
                if (static_cast<int>(line.size()) != src.frameW)
                    fail("row of frame " + std::to_string(n) + " has " + std::to_string(line.size()) +
                         " characters, expected " + std::to_string(src.frameW));
                for (char ch : line)
                    if (!src.legend.count(ch)) fail(std::string("character '") + ch + "' is not in the legend");
                rows.push_back(line);
            }
            src.frames[n] = rows;
        } else {
            fail("unknown keyword " + key);
        }
    }
    return src;
}

PixelSource parsePixelSource(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f) throw std::runtime_error("cannot read " + path);
    std::stringstream ss;
    ss << f.rdbuf();
    return parsePixelText(ss.str(), path);
}

}  // namespace kqart
