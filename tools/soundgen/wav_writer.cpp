// Minimal RIFF/WAVE writer for the sound generator: mono 16-bit PCM with the
// "fmt " chunk first and the "data" chunk after it.
#include "wav_writer.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace soundgen {
namespace {

void Put16(std::vector<unsigned char>& out, uint32_t v) {
    out.push_back(v & 0xff);
    out.push_back((v >> 8) & 0xff);
}

void Put32(std::vector<unsigned char>& out, uint32_t v) {
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}

void PutTag(std::vector<unsigned char>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

}  // namespace

bool WriteWav(const std::string& path, const std::vector<float>& samples, int rate, std::string* error) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::vector<unsigned char> out;
    out.reserve(44 + dataBytes);
    PutTag(out, "RIFF");
    Put32(out, 36 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, 1);  // mono
    Put32(out, rate);
    Put32(out, rate * 2);  // byte rate
    Put16(out, 2);         // block align
    Put16(out, 16);        // bits per sample
    PutTag(out, "data");
    Put32(out, dataBytes);
    for (float s : samples) {
        float c = s > 1.0f ? 1.0f : (s < -1.0f ? -1.0f : s);
        long v = std::lround(c * 32767.0f);
        Put16(out, static_cast<uint16_t>(static_cast<int16_t>(v)));
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        if (error) *error = "cannot open " + path + " for writing";
        return false;
    }
    bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok && error) *error = "short write to " + path;
    return ok;
}

}  // namespace soundgen
