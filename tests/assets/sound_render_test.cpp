// Listens to the tunes by numbers: renders each test tune with its samples
// the way the game's sequencer arranges and plays it (mono, no OpenAL), checks
// the level and that the result is tonal music rather than noise or silence,
// and leaves the renders in <build>/tune-previews for a person to hear.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <filesystem>
#include <string>

#include "sound_support.h"

using namespace kqsound;

namespace {

constexpr int kOutRate = 44100;
constexpr float kMaster = 0.5f;
constexpr double kPi = 3.14159265358979323846;

struct Rng {
    uint32_t seed = 0;
    int Rand(int lo, int hi) {
        seed = seed * 1664525u + 1013904223u;
        const float r = static_cast<float>(seed >> 8) * 5.9604645e-08f;
        return static_cast<int>(std::floor(r * ((static_cast<float>(hi) + 0.99f) - lo) + lo));
    }
};

float ChordFactor(char c) {
    switch (c) {
        case 'j': return 0.891f;
        case 'b': return 0.749f;
        case 'z': return 0.5f;
        default: return 1.0f;
    }
}

const char* const kChords[] = {"qqqq", "qqjj", "qqbb", "qbqb", "qqqj", "qqzz"};

struct Voice {
    const Wav* sample = nullptr;
    double pos = 0.0;
    float rate = 1.0f, gain = 1.0f, envelope = 0.0f, volume = 0.0f;
    bool loop = false, muted = false, nextMuted = false, early = false;
    int pattern = 0;
};

// A mono model of the sequencer: same seeds, arrangement, chords, envelope
// and effects; every row's channel settings apply until the next row.
class TunePlayer {
public:
    TunePlayer(const TuneImage& tune, uint32_t seed) : tune_(tune), base_(seed) {
        for (int lane = 0; lane < 5; ++lane) {
            for (int p = 0; p < 63; ++p) {
                for (int row = 0; row < 64; ++row) {
                    for (int f = 0; f < 8; ++f) {
                        if (tune.Value(p, lane, row, f)) last_[lane] = p;
                    }
                }
            }
        }
        rng_.seed = (base_ + 0u) * 1948736821u - 873057359u;
        const int kitA = rng_.Rand(1, 4), kitB = rng_.Rand(1, 4);
        const int lead = rng_.Rand(1, 3), acc = rng_.Rand(1, 3), bass = rng_.Rand(1, 4);
        for (int s = 0; s < 8; ++s) {
            kits_[0][s] = LoadWavFile(DataPath("inst/d" + std::to_string(kitA) + "-" + std::to_string(s + 1) + ".wav"));
            kits_[1][s] = LoadWavFile(DataPath("inst/d" + std::to_string(kitB) + "-" + std::to_string(s + 1) + ".wav"));
        }
        melodic_[0] = LoadWavFile(DataPath("inst/lead" + std::to_string(lead) + ".wav"));
        melodic_[1] = LoadWavFile(DataPath("inst/accompany" + std::to_string(acc) + ".wav"));
        melodic_[2] = LoadWavFile(DataPath("inst/bass" + std::to_string(bass) + ".wav"));
        for (int v = 0; v < 5; ++v) {
            rng_.seed = VoiceSeedBase(v);
            voices_[v].pattern = rng_.Rand(0, last_[v]);
            voices_[v].nextMuted = rng_.Rand(0, 1);
            voices_[v].early = rng_.Rand(0, 1);
            voices_[v].muted = rng_.Rand(0, 1);
        }
        if (voices_[0].muted && voices_[1].muted) voices_[0].muted = false;
        patternsLeft_ = rng_.Rand(1, 2) * 2;
    }

    bool SamplesLoaded() const {
        for (const auto& kit : kits_) {
            for (const Wav& w : kit) {
                if (!w.ok) return false;
            }
        }
        return melodic_[0].ok && melodic_[1].ok && melodic_[2].ok;
    }

    // Plays `rows` rows at the game's tempo of 100 (80 ms a row).
    std::vector<float> Render(int rows) {
        std::vector<float> out;
        const int perRow = kOutRate * 80 / 1000;
        for (int r = 0; r < rows; ++r) {
            PlayRow();
            for (int i = 0; i < perRow; ++i) out.push_back(MixOne());
        }
        return out;
    }

private:
    uint32_t VoiceSeedBase(int v) const { return (v * 7u + section_ * 9u + base_) * 1948736821u - 873057359u; }

    void PlayRow() {
        for (int v = 0; v < 5; ++v) {
            const int p = voices_[v].pattern;
            PlayNote(v, tune_.Value(p, v, row_, 0), tune_.Value(p, v, row_, 1), tune_.Value(p, v, row_, 2),
                     tune_.Value(p, v, row_, 3));
            if (tune_.Value(p, v, row_, 2) == 8) row_ = 63;
        }
        row_ = (row_ + 1) % 64;
        if (row_ != 0) return;
        rng_.seed = (section_ * 9u + base_) * 2001863745u - 2084129712u;
        if (chords_.size() == 1) chords_ = std::string(" ") + kChords[rng_.Rand(0, 4)];
        if (chords_.size() > 1) chords_.erase(0, 1);
        if (--patternsLeft_ > 0) return;
        rng_.seed = section_ * 9u + base_;
        for (int i = 0; i < 11; ++i) rng_.Rand(1, 5);
        patternsLeft_ = rng_.Rand(1, 2) * 2;
        ++section_;
        for (int v = 0; v < 5; ++v) {
            rng_.seed = VoiceSeedBase(v);
            voices_[v].pattern = rng_.Rand(0, last_[v]);
            voices_[v].muted = voices_[v].nextMuted;
            voices_[v].nextMuted = rng_.Rand(0, 1);
            voices_[v].early = rng_.Rand(0, 1);
        }
        if (voices_[0].muted && voices_[1].muted) voices_[0].muted = false;
    }

    void PlayNote(int v, int note, int vol, int fx, int param) {
        Voice& s = voices_[v];
        bool muted = s.muted;
        if (patternsLeft_ <= 1 && row_ > 55 && s.early && !s.nextMuted) muted = false;
        const float chord = chords_.empty() ? 1.0f : ChordFactor(chords_[0]);
        if (v < 2 && note >= 1 && !muted) {
            s.sample = nullptr;
            for (int k = 0; k < 8; ++k) {
                if (note == kDrumKeys[k]) s.sample = &kits_[v][k];
            }
            s.pos = 0.0;
            s.loop = false;
            s.rate = 1.0f;
            s.envelope = 4.0f;
        }
        float level = std::clamp((vol - 1) / 29.0f, 0.0f, 1.0f);
        if (vol == 31) {
            level = 0.0f;
            s.envelope = 0.0f;
        }
        if (vol >= 1 && !muted) {
            s.envelope = 1.5f;
            s.gain = level * kMaster;
            s.volume = level;
        } else {
            level = s.volume;
        }
        s.envelope = std::max(0.0f, s.envelope - 0.1f);
        if (s.envelope < 1.0f) {
            level *= s.envelope;
            s.gain = level * kMaster;
            s.volume = level;
        }
        if (v >= 2 && note >= 1 && !muted) {
            s.rate = std::pow(2.0f, (note - 13) / 12.0f) * chord;
            s.envelope = 1.5f;
            s.sample = &melodic_[v - 2];
            s.pos = 0.0;
            s.loop = true;
        }
        if (muted) return;
        if (fx == 1) s.rate = std::min(4.0f, s.rate + param / 180.0f);
        if (fx == 2) s.rate = std::max(0.25f, s.rate - param / 180.0f);
        if (fx == 3) s.rate = std::min(4.0f, s.rate + param / 15.0f);
        if (fx == 4) s.rate = std::max(0.25f, s.rate - param / 15.0f);
    }

    float MixOne() {
        float sum = 0.0f;
        for (Voice& s : voices_) {
            if (!s.sample || !s.sample->ok || s.sample->length < 2) continue;
            const auto& d = s.sample->samples;
            const int i = static_cast<int>(s.pos);
            const float frac = static_cast<float>(s.pos - i);
            const float next = i + 1 < s.sample->length ? d[i + 1] : (s.loop ? d[0] : 0.0f);
            sum += (d[i] + (next - d[i]) * frac) * s.gain;
            s.pos += static_cast<double>(s.rate) * s.sample->rate / kOutRate;
            if (s.pos >= s.sample->length) {
                if (s.loop) s.pos = std::fmod(s.pos, s.sample->length);
                else s.sample = nullptr;
            }
        }
        return sum;
    }

    const TuneImage& tune_;
    uint32_t base_;
    Rng rng_;
    int last_[5] = {0, 0, 0, 0, 0};
    Voice voices_[5];
    Wav kits_[2][8];
    Wav melodic_[3];
    int row_ = 0, patternsLeft_ = 2;
    uint32_t section_ = 0;
    std::string chords_ = "qqjj";
};

double RmsDb(const std::vector<float>& s, size_t from, size_t count) {
    double sum = 0.0;
    for (size_t i = from; i < from + count && i < s.size(); ++i) sum += static_cast<double>(s[i]) * s[i];
    return 10.0 * std::log10(sum / std::max<size_t>(count, 1) + 1e-20);
}

// Median spectral flatness (geometric over arithmetic mean of the power
// spectrum, 60 Hz to 8 kHz) of 2048-sample frames: near 1 for noise, small
// for music made of notes.
double MedianFlatness(const std::vector<float>& s) {
    const int n = 2048;
    std::vector<double> flat;
    for (size_t start = 0; start + n <= s.size(); start += n * 4) {
        std::vector<std::complex<double>> x(n);
        for (int i = 0; i < n; ++i) x[i] = s[start + i] * (0.5 - 0.5 * std::cos(2.0 * kPi * i / (n - 1)));
        // Iterative radix-2 FFT.
        for (int i = 1, j = 0; i < n; ++i) {
            int bit = n >> 1;
            for (; j & bit; bit >>= 1) j ^= bit;
            j ^= bit;
            if (i < j) std::swap(x[i], x[j]);
        }
        for (int len = 2; len <= n; len <<= 1) {
            const std::complex<double> w = std::polar(1.0, -2.0 * kPi / len);
            for (int i = 0; i < n; i += len) {
                std::complex<double> wk = 1.0;
                for (int k = 0; k < len / 2; ++k, wk *= w) {
                    const auto a = x[i + k], b = x[i + k + len / 2] * wk;
                    x[i + k] = a + b;
                    x[i + k + len / 2] = a - b;
                }
            }
        }
        const int lo = 60 * n / kOutRate + 1, hi = 8000 * n / kOutRate;
        double logSum = 0.0, sum = 0.0;
        for (int k = lo; k < hi; ++k) {
            const double p = std::norm(x[k]) + 1e-12;
            logSum += std::log(p);
            sum += p;
        }
        if (sum < 1e-6) continue;  // silent frame
        flat.push_back(std::exp(logSum / (hi - lo)) / (sum / (hi - lo)));
    }
    if (flat.empty()) return 1.0;
    std::sort(flat.begin(), flat.end());
    return flat[flat.size() / 2];
}

void WritePreview(const std::string& name, const std::vector<float>& s) {
    const std::filesystem::path dir = std::filesystem::path(KQ_BINARY_DIR) / "tune-previews";
    std::filesystem::create_directories(dir);
    FILE* f = std::fopen((dir / (name + ".wav")).string().c_str(), "wb");
    if (!f) return;
    auto u32 = [&](uint32_t v) { std::fwrite(&v, 4, 1, f); };
    auto u16 = [&](uint16_t v) { std::fwrite(&v, 2, 1, f); };
    const uint32_t bytes = static_cast<uint32_t>(s.size() * 2);
    std::fwrite("RIFF", 1, 4, f); u32(36 + bytes); std::fwrite("WAVEfmt ", 1, 8, f);
    u32(16); u16(1); u16(1); u32(kOutRate); u32(kOutRate * 2); u16(2); u16(16);
    std::fwrite("data", 1, 4, f); u32(bytes);
    for (float v : s) u16(static_cast<uint16_t>(static_cast<int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f))));
    std::fclose(f);
}

}  // namespace

class SoundRender : public ::testing::TestWithParam<const char*> {};

TEST_P(SoundRender, TuneSoundsLikeMusicAtAHealthyLevel) {
    TuneImage tune = LoadTune(GetParam());
    ASSERT_TRUE(tune.ok);
    // The game's seed first, then others that draw other instruments and arrangements.
    for (uint32_t seed : {37171650u, 1u, 4242u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        TunePlayer player(tune, seed);
        ASSERT_TRUE(player.SamplesLoaded());
        const std::vector<float> out = player.Render(64 * 10);
        if (seed == 37171650u) WritePreview(GetParam(), out);

        const double rms = RmsDb(out, 0, out.size());
        EXPECT_GT(rms, -30.0) << "too quiet";
        EXPECT_LT(rms, -8.0) << "too loud";
        size_t clipped = 0;
        for (float v : out) clipped += std::fabs(v) > 1.0f;
        EXPECT_LT(clipped, out.size() / 1000) << "clips";
        // The music never drops out for two seconds.
        for (size_t at = 0; at + 2 * kOutRate <= out.size(); at += kOutRate) {
            EXPECT_GT(RmsDb(out, at, 2 * kOutRate), -45.0) << "silent around " << at / kOutRate << " s";
        }
        EXPECT_LT(MedianFlatness(out), 0.1) << "sounds like noise";
    }
}

INSTANTIATE_TEST_SUITE_P(Tunes, SoundRender, ::testing::Values("tune1", "tune2", "tune3"));
