// The catalogue of image files the game loads: file name, sheet size and
// frame grid at level 1. The generator and the contact sheet both walk it.
#pragma once
#include <string>
#include <vector>

namespace kqart {

struct SheetSpec {
    std::string name;    // path below data/ without ".png"
    int sheetW, sheetH;  // level-1 size of the file
    int frameW, frameH;  // level-1 size of one frame
    int frames;          // frames the game cuts from it
    bool levels;         // written as name, name-hd (x2) and name-hd2 (x4)
};

const std::vector<SheetSpec>& sheetSpecs();

}  // namespace kqart
