// Helpers for the audio tests: WAV files built byte by byte, tones, the
// reader of what OpenAL's wave writer recorded, and simple measurements.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kqaudio {

inline void PutU16(std::string& s, unsigned v) {
    s += char(v & 255);
    s += char((v >> 8) & 255);
}
inline void PutU32(std::string& s, uint32_t v) {
    PutU16(s, v & 0xffff);
    PutU16(s, v >> 16);
}
inline std::string Chunk(const std::string& tag, const std::string& body, bool pad = true) {
    std::string s = tag;
    PutU32(s, uint32_t(body.size()));
    s += body;
    if (pad && body.size() % 2) s += '\0';
    return s;
}
inline std::string Fmt(unsigned format, unsigned channels, uint32_t rate, unsigned bits, int extra = 0) {
    std::string b;
    PutU16(b, format);
    PutU16(b, channels);
    PutU32(b, rate);
    PutU32(b, rate * channels * (bits / 8));
    PutU16(b, channels * (bits / 8));
    PutU16(b, bits);
    b += std::string(extra, '\0');
    return Chunk("fmt ", b);
}
inline std::string Riff(const std::string& chunks) {
    std::string s = "RIFF";
    PutU32(s, uint32_t(chunks.size() + 4));
    return s + "WAVE" + chunks;
}
// 16-bit mono PCM samples of a sine.
inline std::string ToneData(double freq, double seconds, double amp, int rate = 44100) {
    std::string b;
    int n = int(seconds * rate);
    for (int i = 0; i < n; ++i) PutU16(b, uint16_t(int16_t(std::lround(amp * 32767 * std::sin(2 * M_PI * freq * i / rate)))));
    return b;
}
inline std::string ToneWav(double freq, double seconds, double amp = 0.8) {
    return Riff(Fmt(1, 1, 44100, 16) + Chunk("data", ToneData(freq, seconds, amp)));
}
inline bool WriteFile(const std::string& path, const std::string& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

// A recording of the wave writer: 16-bit interleaved frames.
struct Recording {
    int channels = 0, rate = 0;
    std::vector<std::vector<double>> ch;  // per channel, samples in [-1, 1]
    size_t Frames() const { return ch.empty() ? 0 : ch[0].size(); }
};

// Reads an int16 WAV (plain or extensible) up to the end of the file: the
// writer's sizes are only final once its device is closed.
inline Recording ReadRecording(const std::string& path) {
    Recording r;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return r;
    std::string bytes;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    fclose(f);
    auto u16 = [&](size_t at) { return unsigned(uint8_t(bytes[at])) | unsigned(uint8_t(bytes[at + 1])) << 8; };
    auto u32 = [&](size_t at) { return uint32_t(u16(at)) | uint32_t(u16(at + 2)) << 16; };
    size_t at = 12;
    int bits = 0;
    while (at + 8 <= bytes.size()) {
        std::string tag = bytes.substr(at, 4);
        uint32_t size = u32(at + 4);
        if (tag == "fmt ") {
            r.channels = int(u16(at + 10));
            r.rate = int(u32(at + 12));
            bits = int(u16(at + 22));
        } else if (tag == "data") {
            if (bits != 16 || r.channels <= 0) return Recording();
            r.ch.assign(r.channels, {});
            for (size_t p = at + 8; p + 2 * r.channels <= bytes.size(); p += 2 * r.channels)
                for (int c = 0; c < r.channels; ++c) r.ch[c].push_back(int16_t(u16(p + 2 * c)) / 32768.0);
            return r;
        }
        at += 8 + size + (size & 1);
    }
    return r;
}

struct Burst {
    size_t start, end;  // frames
};

// Stretches of sound separated by at least 50 ms of silence, found on
// 10 ms windows of the summed channels.
inline std::vector<Burst> FindBursts(const Recording& r, double threshold = 0.01) {
    std::vector<Burst> out;
    size_t win = size_t(r.rate / 100), gap = 5;
    size_t silentWins = gap;
    for (size_t w = 0; (w + 1) * win <= r.Frames(); ++w) {
        double e = 0;
        for (size_t i = w * win; i < (w + 1) * win; ++i)
            for (auto& c : r.ch) e += c[i] * c[i];
        bool loud = std::sqrt(e / (win * r.channels)) > threshold;
        if (loud) {
            if (silentWins >= gap || out.empty()) out.push_back({w * win, (w + 1) * win});
            else out.back().end = (w + 1) * win;
            silentWins = 0;
        } else {
            ++silentWins;
        }
    }
    return out;
}

inline double Seconds(const Recording& r, const Burst& b) { return double(b.end - b.start) / r.rate; }

// Root-mean-square level of one channel (or of all with -1) over frames.
inline double Rms(const Recording& r, int channel, size_t from, size_t to) {
    double e = 0;
    size_t n = 0;
    for (int c = 0; c < r.channels; ++c) {
        if (channel >= 0 && c != channel) continue;
        for (size_t i = from; i < to; ++i, ++n) e += r.ch[c][i] * r.ch[c][i];
    }
    return n ? std::sqrt(e / n) : 0;
}

// Amplitude of one frequency in the channel sum (Goertzel).
inline double ToneLevel(const Recording& r, double freq, size_t from, size_t to) {
    double k = 2 * std::cos(2 * M_PI * freq / r.rate), s1 = 0, s2 = 0;
    for (size_t i = from; i < to; ++i) {
        double x = 0;
        for (auto& c : r.ch) x += c[i];
        double s = x + k * s1 - s2;
        s2 = s1;
        s1 = s;
    }
    double power = s1 * s1 + s2 * s2 - k * s1 * s2;
    return 2 * std::sqrt(std::max(power, 0.0)) / double(to - from);
}

}  // namespace kqaudio
