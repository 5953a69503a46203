// The generated sound effects and music samples: format, level, DC, click-free
// one-shots of the length their use needs, seamless in-tune loops, and title
// jingles and drum kits that really differ from each other.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "sound_support.h"

using namespace kqsound;

namespace {

constexpr double kPi = 3.14159265358979323846;

std::string SfxName(int slot) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "sfx/%03d.wav", slot);
    return buf;
}

std::string DrumName(int kit, int sample) {
    return "inst/d" + std::to_string(kit) + "-" + std::to_string(sample) + ".wav";
}

// Squared magnitude of DFT bin `bin` of a whole buffer (Goertzel).
double BinPower(const std::vector<float>& s, double bin) {
    const double coeff = 2.0 * std::cos(2.0 * kPi * bin / s.size());
    double q1 = 0.0, q2 = 0.0;
    for (float v : s) {
        const double q0 = coeff * q1 - q2 + v;
        q2 = q1;
        q1 = q0;
    }
    return q1 * q1 + q2 * q2 - coeff * q1 * q2;
}

// A one-shot that starts and ends at rest, within its length range; or, for
// a melodic sample, a whole number of cycles of its base note (C4, or C2 for
// the bass) that loops without a step and sounds that note at rate 1.
void ExpectShape(const Wav& w, double minSeconds, double maxSeconds, double loopBase) {
    const double seconds = static_cast<double>(w.length) / w.rate;
    EXPECT_TRUE(seconds >= minSeconds && seconds <= maxSeconds) << seconds << " s";
    if (loopBase == 0) {
        EXPECT_TRUE(std::fabs(w.samples.front()) < 0.01f && std::fabs(w.samples.back()) < 0.01f) << "a click";
        for (int i = 0; i < w.rate / 2000; ++i) EXPECT_LT(std::fabs(w.samples[i]), 0.4f) << "abrupt start at " << i;
        return;
    }
    const int cycles = static_cast<int>(std::lround(loopBase * w.length / w.rate));
    ASSERT_GT(cycles, 0);
    EXPECT_LT(std::fabs(1200.0 * std::log2(static_cast<double>(cycles) * w.rate / w.length / loopBase)), 5.0)
        << "cents off";
    double total = 0.0, harmonic = 0.0;
    for (float v : w.samples) total += static_cast<double>(v) * v;
    for (int bin = cycles; bin < w.length / 2; bin += cycles) harmonic += 2.0 * BinPower(w.samples, bin) / w.length;
    EXPECT_GT(harmonic / total, 0.995) << "energy between the harmonics: not a whole number of cycles";
    float maxStep = 0.0f;
    for (int i = 1; i < w.length; ++i) maxStep = std::max(maxStep, std::fabs(w.samples[i] - w.samples[i - 1]));
    EXPECT_LE(std::fabs(w.samples.front() - w.samples.back()), maxStep * 1.05f) << "the loop's seam is a step";
    EXPECT_LE(std::fabs(w.samples.front()), maxStep) << "a note should start near a zero crossing";
}

// The strongest semitone (MIDI number 48..95) in each 50 ms frame.
std::vector<int> NoteContour(const Wav& w) {
    const int frame = w.rate / 20;
    std::vector<int> contour;
    for (int start = 0; start + frame <= w.length; start += frame) {
        std::vector<float> part(w.samples.begin() + start, w.samples.begin() + start + frame);
        int best = 0;
        double bestPower = 0.0;
        for (int midi = 48; midi < 96; ++midi) {
            const double p = BinPower(part, 440.0 * std::pow(2.0, (midi - 69) / 12.0) * frame / w.rate);
            if (p > bestPower) bestPower = p, best = midi;
        }
        contour.push_back(best);
    }
    return contour;
}

}  // namespace

TEST(SoundSamples, EveryFileIsMono16BitAtAHealthyLevelAndShapedForItsUse) {
    // Seconds each file may last: effects by their use; drums are one-shots.
    std::map<std::string, std::pair<double, double>> files = {
        {SfxName(96), {1.0, 2.0}}, {SfxName(97), {0.2, 0.9}}, {SfxName(98), {0.02, 0.15}}, {SfxName(99), {0.08, 0.4}},
        {SfxName(1), {0.08, 0.5}}, {SfxName(2), {0.3, 1.5}},  {SfxName(3), {0.2, 1.5}},    {SfxName(95), {0.3, 2.0}}};
    for (int g = 11; g <= 19; ++g) files[SfxName(g)] = {0.6, 1.6};
    for (int kit = 1; kit <= 4; ++kit)
        for (int s = 1; s <= 8; ++s) files[DrumName(kit, s)] = {0.02, 4.0};
    for (int i = 1; i <= 4; ++i) {
        for (const char* kind : {"lead", "accompany", "bass"})
            if (i < 4 || kind[0] == 'b') files["inst/" + std::string(kind) + std::to_string(i) + ".wav"] = {0.2, 0.5};
    }
    for (const auto& [name, seconds] : files) {
        SCOPED_TRACE(name);
        Wav w = LoadWavFile(DataPath(name));
        ASSERT_TRUE(w.ok) << "does not decode";
        EXPECT_TRUE(w.channels == 1 && w.bytesPerSample == 2 && (w.rate == 22050 || w.rate == 44100)) << w.rate;
        float peak = 0.0f;
        double sum = 0.0;
        for (float v : w.samples) peak = std::max(peak, std::fabs(v)), sum += v;
        EXPECT_NEAR(20.0 * std::log10(peak), -2.0, 1.2) << "peak dBFS";
        EXPECT_LT(std::fabs(sum / w.length), 0.002) << "DC offset";
        const bool bass = name.find("bass") != std::string::npos;
        ExpectShape(w, seconds.first, seconds.second,
                    name.find("inst/d") == 0 || name.find("sfx") == 0 ? 0
                    : bass                                            ? 65.406
                                                                      : 261.626);
    }
}

TEST(SoundSamples, TitleJinglesAndDrumKitsDifferFromEachOther) {
    std::vector<std::vector<int>> contours;
    for (int g = 11; g <= 19; ++g) contours.push_back(NoteContour(LoadWavFile(DataPath(SfxName(g)))));
    for (size_t a = 0; a < contours.size(); ++a) {
        for (size_t b = a + 1; b < contours.size(); ++b) {
            const size_t n = std::min(contours[a].size(), contours[b].size());
            size_t same = 0;
            for (size_t i = 0; i < n; ++i) same += contours[a][i] == contours[b][i];
            EXPECT_LT(same, n / 2) << "jingles " << 11 + a << " and " << 11 + b << " follow the same notes";
        }
    }
    for (int s = 1; s <= 8; ++s) {
        for (int a = 1; a <= 4; ++a) {
            for (int b = a + 1; b <= 4; ++b) {
                const Wav x = LoadWavFile(DataPath(DrumName(a, s))), y = LoadWavFile(DataPath(DrumName(b, s)));
                double xy = 0.0, xx = 0.0, yy = 0.0;
                for (size_t i = 0; i < std::min(x.samples.size(), y.samples.size()); ++i)
                    xy += x.samples[i] * y.samples[i], xx += x.samples[i] * x.samples[i],
                        yy += y.samples[i] * y.samples[i];
                EXPECT_LT(std::fabs(xy) / std::sqrt(xx * yy + 1e-12), 0.9)
                    << "drum " << s << " of kits " << a << " and " << b;
            }
        }
    }
}
