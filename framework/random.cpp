// The seeded generator: seed = seed * 1664525 + 1013904223 (mod 2^32);
// a value is the top 24 bits of the seed times 2^-24.
#include "framework/random.h"

#include <cstdint>

int bb_random_Seed = 1234;

namespace {
int StepSeed(int& seed) {
    uint32_t s = static_cast<uint32_t>(seed) * 1664525u + 1013904223u;
    seed = static_cast<int>(s);
    return seed;
}
}  // namespace

int bb_random_Step() { return StepSeed(bb_random_Seed); }

float bb_random_RndOf(int& seed) {
    uint32_t s = static_cast<uint32_t>(StepSeed(seed));
    return static_cast<float>(s >> 8) * 5.9604645e-08f;
}

float bb_random_Rnd() { return bb_random_RndOf(bb_random_Seed); }

float bb_random_Rnd2(float low, float high) { return low + (high - low) * bb_random_Rnd(); }
float bb_random_Rnd3(float range) { return bb_random_Rnd() * range; }

int bb_math_Abs(int x) { return x >= 0 ? x : static_cast<int>(0u - static_cast<uint32_t>(x)); }
float bb_math_Abs2(float x) { return x >= 0 ? x : -x; }
int bb_math_Max(int a, int b) { return a < b ? b : a; }
float bb_math_Max2(float a, float b) { return a > b ? a : b; }
int bb_math_Min(int a, int b) { return a < b ? a : b; }
float bb_math_Min2(float a, float b) { return a < b ? a : b; }
int bb_math_Sgn(int x) { return x < 0 ? -1 : (x > 0 ? 1 : 0); }
float bb_math_Sgn2(float x) { return x < 0 ? -1.0f : (x > 0 ? 1.0f : 0.0f); }
int bb_math_Clamp(int n, int lo, int hi) { return n < lo ? lo : (n > hi ? hi : n); }
float bb_math_Clamp2(float n, float lo, float hi) { return n < lo ? lo : (n > hi ? hi : n); }
