// Reader of the text pixel-art sources: a legend of characters to inks and
// one block of rows per frame. Fonts use the same format with frame = code.
#pragma once
#include "canvas.h"

#include <map>
#include <string>
#include <vector>

namespace kqart {

// A parsed source file.
//   size W H               frame size in pixels (once, before any frame)
//   ink C R G B | ink C NAME   legend entry; NAME is clear or an ink name
//   frame N [note]         followed by H rows of W legend characters
//   frame N like M [flip] [a=b ...]   copy of frame M, mirrored and/or with
//                          legend characters swapped
// '#' starts a comment line; blank lines are ignored between blocks.
struct PixelSource {
    std::string path;
    int frameW = 0, frameH = 0;
    std::map<char, Rgba> legend;
    std::map<int, std::vector<std::string>> frames;

    bool has(int frame) const { return frames.count(frame) != 0; }
    Canvas frame(int n) const;  // throws std::runtime_error if missing
};

// Throws std::runtime_error naming the file and line on any malformed input.
PixelSource parsePixelSource(const std::string& path);
PixelSource parsePixelText(const std::string& text, const std::string& name);

}  // namespace kqart
