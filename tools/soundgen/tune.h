// Reader for tracker-style tune sources and writer of the sequencer's tune
// images: 64 patterns of five lanes, stored as 5-bit values in the blue
// channel of a 512 x 512 picture of 8 x 8 frames.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace soundgen {

constexpr int kPatterns = 64;
constexpr int kLanes = 8;
constexpr int kRows = 64;
constexpr int kFields = 8;

// Drum keys for the drum lanes, in kit order: kick, snare, closed hat, open
// hat, low tom, high tom, clap, crash.
extern const int kDrumKeys[8];
extern const char* const kDrumNames[8];

struct Tune {
    std::string name;  // output path below the data folder, without ".png"
    std::vector<uint8_t> cells = std::vector<uint8_t>(kPatterns * kLanes * kRows * kFields, 0);

    uint8_t& At(int pattern, int lane, int row, int field) {
        return cells[((pattern * kLanes + lane) * kRows + row) * kFields + field];
    }
    uint8_t At(int pattern, int lane, int row, int field) const {
        return cells[((pattern * kLanes + lane) * kRows + row) * kFields + field];
    }
};

// Parses one tune source. Throws std::runtime_error naming file and line.
Tune ParseTune(const std::string& text, const std::string& fileName);

// Lays the tune out as 512 x 512 RGBA pixels: frame f at column f mod 8 and
// row f div 8 of 64 x 64 frames; in a frame, x = lane * 8 + field, y = row;
// blue = value << 3, red = green = 0, alpha = 255.
std::vector<uint8_t> TunePixels(const Tune& tune);

}  // namespace soundgen
