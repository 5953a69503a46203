// Helpers for the audio tests: WAV files built byte by byte and tones.
#pragma once
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

namespace kqaudio {

inline void PutU16(std::string& s, unsigned v) {
    s += char(v & 255);
    s += char((v >> 8) & 255);
}
inline void PutU32(std::string& s, uint32_t v) {
    PutU16(s, v & 0xffff);
    PutU16(s, v >> 16);
}
inline std::string Chunk(const std::string& tag, const std::string& body) {
    std::string s = tag;
    PutU32(s, uint32_t(body.size()));
    return s + body + (body.size() % 2 ? std::string(1, '\0') : "");
}
inline std::string Fmt(unsigned format, unsigned channels, uint32_t rate, unsigned bits, int extra = 0) {
    std::string b;
    PutU16(b, format);
    PutU16(b, channels);
    PutU32(b, rate);
    PutU32(b, rate * channels * (bits / 8));
    PutU16(b, channels * (bits / 8));
    PutU16(b, bits);
    return Chunk("fmt ", b + std::string(extra, '\0'));
}
inline std::string Riff(const std::string& chunks) {
    std::string s = "RIFF";
    PutU32(s, uint32_t(chunks.size() + 4));
    return s + "WAVE" + chunks;
}
// A 16-bit mono 44.1 kHz sine.
inline std::string ToneWav(double freq, double seconds, double amp = 0.8) {
    std::string b;
    for (int i = 0; i < int(seconds * 44100); ++i)
        PutU16(b, uint16_t(int16_t(std::lround(amp * 32767 * std::sin(2 * M_PI * freq * i / 44100)))));
    return Riff(Fmt(1, 1, 44100, 16) + Chunk("data", b));
}
inline bool WriteFile(const std::string& path, const std::string& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

}  // namespace kqaudio
