// Chip-style synthesis for the sound generator: pulse, triangle and noise
// voices with envelopes for one-shot sounds, and band-limited looping
// waveforms for the sequencer's melodic instruments.
#include "synth.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace soundgen {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Correction that removes most of the aliasing of a hard edge (PolyBLEP).
double Blep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

// Naive (not band-limited) shape of one cycle, used for the loop's Fourier
// analysis where the aliasing is removed by keeping only low harmonics.
double Shape(Wave wave, double duty, int steps, double phase) {
    switch (wave) {
        case Wave::Pulse: return phase < duty ? 1.0 : -1.0;
        case Wave::Triangle: {
            double v = 1.0 - 4.0 * std::fabs(phase - 0.5);
            if (steps > 1) {
                double q = std::floor((v + 1.0) * 0.5 * steps);
                if (q > steps - 1) q = steps - 1;
                v = (q + 0.5) / steps * 2.0 - 1.0;
            }
            return v;
        }
        case Wave::Noise: break;
    }
    return 0.0;
}

double Envelope(const Tone& t, double u) {
    double e;
    if (t.attack > 0.0 && u < t.attack) {
        e = u / t.attack;
    } else if (t.decay > 0.0) {
        double since = u - t.attack;
        e = t.sustain + (1.0 - t.sustain) * std::exp(-since / t.decay);
    } else {
        e = 1.0;
    }
    if (t.release > 0.0 && u > t.len - t.release) {
        e *= std::max(0.0, (t.len - u) / t.release);
    }
    return e;
}

void RenderTone(const Tone& t, int rate, std::vector<double>& mix) {
    const long start = std::lround(t.at * rate);
    const long count = std::lround(t.len * rate);
    if (start + count > static_cast<long>(mix.size())) mix.resize(start + count, 0.0);

    double phase = 0.0;
    unsigned lfsr = 1;
    double noiseOut = 1.0;
    double lp = 0.0, hpLow = 0.0;
    const double lpAlpha = t.lowpass > 0.0 ? 1.0 - std::exp(-2.0 * kPi * t.lowpass / rate) : 1.0;
    const double hpAlpha = t.highpass > 0.0 ? 1.0 - std::exp(-2.0 * kPi * t.highpass / rate) : 0.0;
    const double glide = t.glide > 0.0 ? t.glide : t.len;
    // A pulse of duty d has a mean of 2d - 1; removing it keeps layers DC-free.
    const double pulseMean = 2.0 * t.duty - 1.0;

    for (long i = 0; i < count; ++i) {
        const double u = static_cast<double>(i) / rate;
        double f = t.freq;
        if (t.to > 0.0) f *= std::pow(t.to / t.freq, std::min(u / glide, 1.0));
        if (!t.arp.empty() && t.arpRate > 0.0) {
            size_t step = static_cast<size_t>(u * t.arpRate) % t.arp.size();
            f *= std::pow(2.0, t.arp[step] / 12.0);
        }
        if (t.vibDepth > 0.0 && u > t.vibDelay) {
            f *= std::pow(2.0, t.vibDepth / 12.0 * std::sin(2.0 * kPi * t.vibRate * (u - t.vibDelay)));
        }
        const double dt = std::min(f / rate, 0.5);

        double v = 0.0;
        switch (t.wave) {
            case Wave::Pulse: {
                v = (phase < t.duty ? 1.0 : -1.0) + Blep(phase, dt) - Blep(std::fmod(phase - t.duty + 1.0, 1.0), dt) -
                    pulseMean;
                break;
            }
            case Wave::Triangle: v = Shape(Wave::Triangle, 0.5, t.steps, phase); break;
            case Wave::Noise: v = noiseOut; break;
        }
        phase += f / rate;
        while (phase >= 1.0) {
            phase -= 1.0;
            if (t.wave == Wave::Noise) {
                // 15-bit shift register; the short mode taps bit 6 for a
                // metallic, pitched hiss.
                unsigned bit = (lfsr ^ (lfsr >> (t.shortNoise ? 6 : 1))) & 1u;
                lfsr = (lfsr >> 1) | (bit << 14);
                noiseOut = (lfsr & 1u) ? 1.0 : -1.0;
            }
        }
        if (t.lowpass > 0.0) {
            lp += lpAlpha * (v - lp);
            v = lp;
        }
        if (t.highpass > 0.0) {
            hpLow += hpAlpha * (v - hpLow);
            v -= hpLow;
        }
        mix[start + i] += v * t.vol * Envelope(t, u);
    }
}

void Normalise(std::vector<float>& out, double peakDb) {
    float peak = 0.0f;
    for (float s : out) peak = std::max(peak, std::fabs(s));
    if (peak <= 0.0f) return;
    const float gain = static_cast<float>(std::pow(10.0, peakDb / 20.0) / peak);
    for (float& s : out) s *= gain;
}

}  // namespace

bool ParseFrequency(const std::string& text, double* hz) {
    if (text.empty()) return false;
    if (std::isdigit(static_cast<unsigned char>(text[0]))) {
        char* end = nullptr;
        double v = std::strtod(text.c_str(), &end);
        if (*end != '\0' || v <= 0.0) return false;
        *hz = v;
        return true;
    }
    static const int kSemis[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (letter < 'A' || letter > 'G') return false;
    int semi = kSemis[letter - 'A'];
    size_t i = 1;
    if (i < text.size() && (text[i] == '#' || text[i] == 'b')) {
        semi += text[i] == '#' ? 1 : -1;
        ++i;
    }
    if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    char* end = nullptr;
    long octave = std::strtol(text.c_str() + i, &end, 10);
    if (*end != '\0') return false;
    const int midi = static_cast<int>((octave + 1) * 12 + semi);
    *hz = 440.0 * std::pow(2.0, (midi - 69) / 12.0);
    return true;
}

std::string StripComment(const std::string& line) {
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '#' && (i == 0 || std::isspace(static_cast<unsigned char>(line[i - 1])))) {
            return line.substr(0, i);
        }
    }
    return line;
}

std::vector<float> RenderSound(const Sound& sound) {
    std::vector<double> mix;
    for (const Tone& t : sound.tones) RenderTone(t, sound.rate, mix);
    mix.resize(mix.size() + static_cast<size_t>(sound.tail * sound.rate), 0.0);

    if (sound.echoDelay > 0.0 && sound.echoFeedback > 0.0) {
        const size_t d = static_cast<size_t>(sound.echoDelay * sound.rate);
        for (size_t i = d; i < mix.size(); ++i) mix[i] += sound.echoFeedback * mix[i - d];
    }

    double mean = 0.0;
    for (double s : mix) mean += s;
    mean /= std::max<size_t>(mix.size(), 1);
    std::vector<float> out(mix.size());
    for (size_t i = 0; i < mix.size(); ++i) out[i] = static_cast<float>(mix[i] - mean);

    const size_t in = std::min(out.size(), static_cast<size_t>(sound.fadeIn * sound.rate));
    const size_t fo = std::min(out.size(), static_cast<size_t>(sound.fadeOut * sound.rate));
    for (size_t i = 0; i < in; ++i) out[i] *= static_cast<float>(i) / in;
    for (size_t i = 0; i < fo; ++i) out[out.size() - 1 - i] *= static_cast<float>(i) / fo;
    // The fades leave a little offset behind; take it out along a raised
    // cosine so both ends stay at zero.
    if (out.size() > 2) {
        double sum = 0.0, weight = 0.0;
        std::vector<double> w(out.size());
        for (size_t i = 0; i < out.size(); ++i) {
            w[i] = 0.5 - 0.5 * std::cos(2.0 * kPi * i / (out.size() - 1));
            sum += out[i];
            weight += w[i];
        }
        for (size_t i = 0; i < out.size(); ++i) out[i] -= static_cast<float>(sum / weight * w[i]);
    }
    Normalise(out, sound.peakDb);
    return out;
}

int ChooseLoopLength(double base, int rate, double wantLen, int* samples) {
    const double lo = std::max(0.2, wantLen * 0.8), hi = std::min(0.5, wantLen * 1.25);
    int bestK = 0, bestN = 0;
    double bestErr = 1e9;
    for (int k = static_cast<int>(std::ceil(lo * base)); k <= static_cast<int>(hi * base); ++k) {
        const int n = static_cast<int>(std::lround(k * rate / base));
        const double cents = std::fabs(1200.0 * std::log2(static_cast<double>(k) * rate / n / base));
        // Being in tune matters most; among near-equal candidates prefer the wanted length.
        const double err = cents + 0.05 * std::fabs(static_cast<double>(n) / rate - wantLen) / wantLen;
        if (err < bestErr) {
            bestErr = err;
            bestK = k;
            bestN = n;
        }
    }
    *samples = bestN;
    return bestK;
}

std::vector<float> RenderLoop(const Loop& loop, int* cycles) {
    int n = 0;
    const int k = ChooseLoopLength(loop.base, loop.rate, loop.len, &n);
    if (k <= 0 || n <= 0) {
        throw std::runtime_error(loop.name + ": no whole number of cycles fits 0.2 to 0.5 s");
    }
    std::vector<double> mix(n, 0.0);
    const int kAnalysis = 8192;

    for (const Layer& layer : loop.layers) {
        const int harmonics = static_cast<int>(loop.bright / (loop.base * layer.mult));
        std::vector<double> shape(kAnalysis);
        for (int i = 0; i < kAnalysis; ++i) {
            shape[i] = Shape(layer.wave, layer.duty, layer.steps, (i + 0.5) / kAnalysis);
        }
        for (int h = 1; h <= harmonics; ++h) {
            double a = 0.0, b = 0.0;
            for (int i = 0; i < kAnalysis; ++i) {
                const double w = 2.0 * kPi * h * (i + 0.5) / kAnalysis;
                a += shape[i] * std::cos(w);
                b += shape[i] * std::sin(w);
            }
            a *= 2.0 / kAnalysis;
            b *= 2.0 / kAnalysis;
            if (std::fabs(a) + std::fabs(b) < 1e-6) continue;
            // Harmonic h of this layer sits at bin h * mult * k of the loop,
            // so the loop holds a whole number of its cycles.
            const double step = 2.0 * kPi * h * layer.mult * k / n;
            for (int i = 0; i < n; ++i) {
                mix[i] += layer.vol * (a * std::cos(step * i) + b * std::sin(step * i));
            }
        }
    }

    // Start on the upward zero crossing of the first cycle that lies closest
    // to zero, so a freshly started note does not click. Rotating a whole
    // number of cycles keeps the loop seamless.
    const int period = static_cast<int>(std::ceil(static_cast<double>(n) / k));
    int best = 0;
    double bestAbs = 1e9;
    for (int i = 1; i <= period && i < n; ++i) {
        if (mix[i - 1] < 0.0 && mix[i] >= 0.0 && std::fabs(mix[i]) < bestAbs) {
            bestAbs = std::fabs(mix[i]);
            best = i;
        }
    }
    std::vector<float> out(n);
    for (int i = 0; i < n; ++i) out[i] = static_cast<float>(mix[(i + best) % n]);
    Normalise(out, loop.peakDb);
    *cycles = k;
    return out;
}

}  // namespace soundgen
