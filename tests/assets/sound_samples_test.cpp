// Checks of the generated sound effects and sequencer instruments: format,
// level, DC, click-free ends, lengths, seamless in-tune loops, and that the
// title jingles and drum kits really differ from each other.
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

std::vector<std::string> AllWavs() {
    std::vector<std::string> names;
    for (int slot : {1, 2, 3, 11, 12, 13, 14, 15, 16, 17, 18, 19, 95, 96, 97, 98, 99}) names.push_back(SfxName(slot));
    for (int kit = 1; kit <= 4; ++kit) {
        for (int s = 1; s <= 8; ++s) names.push_back("inst/d" + std::to_string(kit) + "-" + std::to_string(s) + ".wav");
    }
    for (int i = 1; i <= 3; ++i) names.push_back("inst/lead" + std::to_string(i) + ".wav");
    for (int i = 1; i <= 3; ++i) names.push_back("inst/accompany" + std::to_string(i) + ".wav");
    for (int i = 1; i <= 4; ++i) names.push_back("inst/bass" + std::to_string(i) + ".wav");
    return names;
}

bool IsLoop(const std::string& name) {
    return name.find("lead") != std::string::npos || name.find("accompany") != std::string::npos ||
           name.find("bass") != std::string::npos;
}

double PeakDb(const std::vector<float>& s) {
    float peak = 0.0f;
    for (float v : s) peak = std::max(peak, std::fabs(v));
    return 20.0 * std::log10(std::max(peak, 1e-9f));
}

double Mean(const std::vector<float>& s) {
    double sum = 0.0;
    for (float v : s) sum += v;
    return s.empty() ? 0.0 : sum / s.size();
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

// The strongest semitone (MIDI number 48..95) in each 50 ms frame.
std::vector<int> NoteContour(const Wav& w) {
    const int frame = w.rate / 20;
    std::vector<int> contour;
    for (int start = 0; start + frame <= w.length; start += frame) {
        std::vector<float> part(w.samples.begin() + start, w.samples.begin() + start + frame);
        int best = 0;
        double bestPower = 0.0;
        for (int midi = 48; midi < 96; ++midi) {
            const double hz = 440.0 * std::pow(2.0, (midi - 69) / 12.0);
            const double p = BinPower(part, hz * frame / w.rate);
            if (p > bestPower) {
                bestPower = p;
                best = midi;
            }
        }
        contour.push_back(best);
    }
    return contour;
}

}  // namespace

TEST(SoundSamples, EveryFileDecodesAsMono16BitWithHealthyLevels) {
    for (const std::string& name : AllWavs()) {
        SCOPED_TRACE(name);
        Wav w = LoadWavFile(DataPath(name));
        ASSERT_TRUE(w.ok) << "does not decode";
        EXPECT_EQ(w.channels, 1);
        EXPECT_EQ(w.bytesPerSample, 2);
        EXPECT_TRUE(w.rate == 22050 || w.rate == 44100) << w.rate;
        ASSERT_GT(w.length, w.rate / 50);
        const double peak = PeakDb(w.samples);
        EXPECT_GE(peak, -3.2);
        EXPECT_LE(peak, -0.8);
        EXPECT_LT(std::fabs(Mean(w.samples)), 0.002) << "DC offset";
        if (!IsLoop(name)) {
            // One-shots start and end at rest: no click when they start or are cut.
            EXPECT_LT(std::fabs(w.samples.front()), 0.01f);
            EXPECT_LT(std::fabs(w.samples.back()), 0.01f);
            const int ms = w.rate / 1000;
            for (int i = 0; i < ms / 2; ++i) EXPECT_LT(std::fabs(w.samples[i]), 0.4f) << "abrupt start at " << i;
        }
    }
}

TEST(SoundSamples, EffectLengthsSuitTheirUse) {
    std::map<int, std::pair<double, double>> range = {
        {96, {1.0, 2.0}}, {97, {0.2, 0.9}}, {98, {0.02, 0.15}}, {99, {0.08, 0.4}},
        {1, {0.08, 0.5}}, {2, {0.3, 1.5}},  {3, {0.2, 1.5}},    {95, {0.3, 2.0}}};
    for (int g = 11; g <= 19; ++g) range[g] = {0.6, 1.6};
    for (const auto& [slot, r] : range) {
        SCOPED_TRACE(slot);
        Wav w = LoadWavFile(DataPath(SfxName(slot)));
        ASSERT_TRUE(w.ok);
        const double seconds = static_cast<double>(w.length) / w.rate;
        EXPECT_GE(seconds, r.first);
        EXPECT_LE(seconds, r.second);
    }
}

TEST(SoundSamples, TitleJinglesAreRecognisablyDifferent) {
    std::vector<std::vector<int>> contours;
    for (int g = 11; g <= 19; ++g) {
        Wav w = LoadWavFile(DataPath(SfxName(g)));
        ASSERT_TRUE(w.ok);
        contours.push_back(NoteContour(w));
    }
    for (size_t a = 0; a < contours.size(); ++a) {
        for (size_t b = a + 1; b < contours.size(); ++b) {
            const size_t n = std::min(contours[a].size(), contours[b].size());
            size_t same = 0;
            for (size_t i = 0; i < n; ++i) same += contours[a][i] == contours[b][i];
            EXPECT_LT(same, n / 2) << "jingles " << 11 + a << " and " << 11 + b << " follow the same notes";
        }
    }
}

TEST(SoundSamples, DrumKitsAreNotCopiesOfEachOther) {
    for (int s = 1; s <= 8; ++s) {
        std::vector<Wav> kits;
        for (int kit = 1; kit <= 4; ++kit) kits.push_back(LoadWavFile(DataPath("inst/d" + std::to_string(kit) + "-" + std::to_string(s) + ".wav")));
        for (int a = 0; a < 4; ++a) {
            for (int b = a + 1; b < 4; ++b) {
                ASSERT_TRUE(kits[a].ok && kits[b].ok);
                const size_t n = std::min(kits[a].samples.size(), kits[b].samples.size());
                double ab = 0.0, aa = 0.0, bb = 0.0;
                for (size_t i = 0; i < n; ++i) {
                    ab += kits[a].samples[i] * kits[b].samples[i];
                    aa += kits[a].samples[i] * kits[a].samples[i];
                    bb += kits[b].samples[i] * kits[b].samples[i];
                }
                EXPECT_LT(std::fabs(ab) / std::sqrt(aa * bb + 1e-12), 0.9) << "drum " << s << " of kits " << a + 1 << ", " << b + 1;
            }
        }
    }
}

// A melodic sample must be periodic over its whole length, with a period
// that puts it on its base note, so that looping it is seamless and rate 1
// plays that note.
TEST(SoundSamples, MelodicLoopsAreWholeCyclesInTune) {
    for (const std::string& name : AllWavs()) {
        if (!IsLoop(name)) continue;
        SCOPED_TRACE(name);
        Wav w = LoadWavFile(DataPath(name));
        ASSERT_TRUE(w.ok);
        const double seconds = static_cast<double>(w.length) / w.rate;
        EXPECT_GE(seconds, 0.2);
        EXPECT_LE(seconds, 0.5);

        const double base = name.find("bass") != std::string::npos ? 65.406 : 261.626;
        const int cycles = static_cast<int>(std::lround(base * w.length / w.rate));
        ASSERT_GT(cycles, 0);
        const double cents = 1200.0 * std::log2(static_cast<double>(cycles) * w.rate / w.length / base);
        EXPECT_LT(std::fabs(cents), 5.0) << "a loop of " << cycles << " cycles is out of tune";

        // Nearly all energy sits on the harmonics of that cycle count.
        double total = 0.0;
        for (float v : w.samples) total += static_cast<double>(v) * v;
        double harmonic = 0.0;
        for (int bin = cycles; bin < w.length / 2; bin += cycles) harmonic += 2.0 * BinPower(w.samples, bin) / w.length;
        EXPECT_GT(harmonic / total, 0.995) << "energy between the harmonics: not a whole number of cycles";

        // The jump from the last sample back to the first is an ordinary step.
        float maxStep = 0.0f;
        for (int i = 1; i < w.length; ++i) maxStep = std::max(maxStep, std::fabs(w.samples[i] - w.samples[i - 1]));
        EXPECT_LE(std::fabs(w.samples.front() - w.samples.back()), maxStep * 1.05f);
        EXPECT_LE(std::fabs(w.samples.front()), maxStep) << "a note should start near a zero crossing";
    }
}
