// Helpers shared by the sound asset tests: reading the generated WAV files
// (through the game's own WAV reader) and tune images from the data folder
// into plain sample and value arrays.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <stb/stb_image.h>

#include "audio/wav.h"

namespace kqsound {

inline std::string DataPath(const std::string& rel) { return std::string(KQ_DATA_DIR) + "/" + rel; }

struct Wav {
    bool ok = false;
    int length = 0;  // sample frames
    int channels = 0;
    int bytesPerSample = 0;
    int rate = 0;
    std::vector<float> samples;  // first channel, -1..1
};

inline Wav LoadWavFile(const std::string& path) {
    Wav w;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return w;
    unsigned char* data = LoadWAV(f, &w.length, &w.channels, &w.bytesPerSample, &w.rate);
    std::fclose(f);
    if (!data) return w;
    w.ok = true;
    w.samples.resize(w.length);
    for (int i = 0; i < w.length; ++i) {
        const unsigned char* p = data + static_cast<size_t>(i) * w.channels * w.bytesPerSample;
        if (w.bytesPerSample == 2) w.samples[i] = static_cast<int16_t>(p[0] | (p[1] << 8)) / 32768.0f;
        else w.samples[i] = (p[0] - 128) / 128.0f;
    }
    std::free(data);
    return w;
}

// A decoded tune image with the sequencer's addressing of its values.
struct TuneImage {
    bool ok = false;
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;

    const uint8_t* Pixel(int pattern, int lane, int row, int field) const {
        const int x = (pattern % 8) * 64 + lane * 8 + field, y = (pattern / 8) * 64 + row;
        return &rgba[(static_cast<size_t>(y) * width + x) * 4];
    }
    int Value(int pattern, int lane, int row, int field) const { return Pixel(pattern, lane, row, field)[2] >> 3; }
};

inline TuneImage LoadTune(const std::string& name) {
    TuneImage t;
    int comp = 0;
    unsigned char* px = stbi_load(DataPath("tunes/" + name + ".png").c_str(), &t.width, &t.height, &comp, 4);
    if (!px) return t;
    t.rgba.assign(px, px + static_cast<size_t>(t.width) * t.height * 4);
    stbi_image_free(px);
    t.ok = t.width == 512 && t.height == 512;
    return t;
}

constexpr int kDrumKeys[8] = {13, 15, 17, 18, 20, 22, 24, 25};

}  // namespace kqsound
