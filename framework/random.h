// The one global random generator (a fixed-seed linear congruential
// generator) and small maths helpers.
#pragma once

extern int bb_random_Seed;
// Advances the generator one step and returns the new seed.
int bb_random_Step();
float bb_random_Rnd();
// The same generator on a seed of the caller's own: advances it one step and
// returns the value, leaving bb_random_Seed alone.
float bb_random_RndOf(int& seed);
float bb_random_Rnd2(float low, float high);
float bb_random_Rnd3(float range);
int bb_math_Abs(int x);
float bb_math_Abs2(float x);
int bb_math_Max(int a, int b);
float bb_math_Max2(float a, float b);
int bb_math_Min(int a, int b);
float bb_math_Min2(float a, float b);
int bb_math_Sgn(int x);
float bb_math_Sgn2(float x);
int bb_math_Clamp(int n, int lo, int hi);
float bb_math_Clamp2(float n, float lo, float hi);

// Degrees-to-radians in single precision.
const float D2R = 0.017453292f;
const float R2D = 57.2957795f;
