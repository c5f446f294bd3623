#pragma once
// Rounding and integer arithmetic of the run-time library.
#include <cstdint>

// Nearest integer, halves to the even neighbour (the platform's Round).
// NaN gives 0; values beyond the 64-bit range saturate.
int64_t Round(double v);
// Toward zero, saturating like Round.
int64_t Trunc(double v);
// a * b / c with a 64-bit intermediate, rounded half away from zero; -1 when c is 0.
int MulDiv(int a, int b, int c);

// The one conversion of doubles to pixel coordinates: rounds halves to even and
// saturates into +-limit, so NaN and huge values never reach an integer cast.
constexpr int PixelLimit = 67108863;
int PixelPos(double v, int limit = PixelLimit);

// Saturating double -> int for non-pixel quantities (counts, indexes).
int SafeInt(double v);

// Pseudo-random numbers of the platform: seeded once at start, tests fix the seed.
extern uint32_t RandSeed;
void Randomize();
int Random(int range); // 0 <= result < range; 0 when range <= 0
double Random();       // 0 <= result < 1
