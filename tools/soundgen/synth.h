// Chip-style synthesis for the sound generator: pulse, triangle and noise
// voices with envelopes, sweeps, vibrato and arpeggios for one-shot sounds,
// and band-limited, seamlessly looping waveforms for sequencer instruments.
#pragma once
#include <string>
#include <vector>

namespace soundgen {

enum class Wave { Pulse, Triangle, Noise };

// One voice of a one-shot sound. Times are seconds from the sound's start.
struct Tone {
    Wave wave = Wave::Pulse;
    double duty = 0.5;        // pulse: fraction of the cycle spent high
    int steps = 0;            // triangle: quantise to this many levels (0 = smooth)
    bool shortNoise = false;  // noise: 93-step metallic sequence instead of white
    double at = 0.0;
    double len = 0.1;
    double freq = 440.0;  // Hz; for noise the shift-register clock
    double to = 0.0;      // sweep target in Hz (0 = no sweep)
    double glide = 0.0;   // sweep time (0 = the whole tone)
    double vol = 1.0;
    double attack = 0.002;
    double decay = 0.0;     // exponential time constant (0 = hold)
    double sustain = 1.0;   // level the decay settles at
    double release = 0.01;  // linear fade at the tone's end
    double vibDepth = 0.0;  // semitones
    double vibRate = 6.0;
    double vibDelay = 0.0;
    std::vector<int> arp;  // semitone offsets cycled at arpRate
    double arpRate = 0.0;
    double lowpass = 0.0;  // one-pole cut-off in Hz (0 = off)
    double highpass = 0.0;
};

struct Sound {
    std::string name;  // output path below the data folder, without ".wav"
    int rate = 44100;
    double peakDb = -1.5;
    double fadeIn = 0.003;
    double fadeOut = 0.012;
    double echoDelay = 0.0;
    double echoFeedback = 0.0;
    double tail = 0.0;  // extra time after the last tone (for echoes)
    std::vector<Tone> tones;
};

// One periodic layer of a looping instrument; `mult` is its harmonic number
// relative to the instrument's base pitch (2 = an octave up).
struct Layer {
    Wave wave = Wave::Pulse;
    double duty = 0.5;
    int steps = 0;
    double vol = 1.0;
    int mult = 1;
};

struct Loop {
    std::string name;
    int rate = 44100;
    double base = 261.63;  // Hz at playback rate 1
    double len = 0.3;      // wanted length in seconds
    double peakDb = -1.5;
    double bright = 7000.0;  // highest harmonic kept, in Hz at rate 1
    std::vector<Layer> layers;
};

// Frequency of a note name such as "C4", "F#3" or "Bb5" (A4 = 440 Hz), or of a
// plain number in Hz. Returns false for anything else.
bool ParseFrequency(const std::string& text, double* hz);

// Drops a comment: '#' at the start of a line or after a space (so note
// names such as "F#4" keep their sharp).
std::string StripComment(const std::string& line);

// Renders a one-shot sound: mixed, DC-free, faded at both ends and
// normalised to its peak level.
std::vector<float> RenderSound(const Sound& sound);

// Picks a loop length holding a whole number of cycles of `base`, as close to
// `wantLen` seconds as possible within 0.2..0.5 s while staying in tune.
// Returns the number of cycles and sets *samples; 0 if no whole number of
// cycles fits that range.
int ChooseLoopLength(double base, int rate, double wantLen, int* samples);

// Renders a looping instrument sample (a whole number of cycles, starting at
// an upward zero crossing, normalised). *cycles receives the cycle count.
std::vector<float> RenderLoop(const Loop& loop, int* cycles);

}  // namespace soundgen
