#pragma once
// Rounding and integer arithmetic of the run-time library.
#include <cmath>
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
// Inline, as drawing loops call it for every point: the conversion rounds as
// the current rounding mode says (to nearest, halves to even).
inline int PixelPos(double v, int limit = PixelLimit) {
    if (std::fabs(v) < limit) {
#if defined(__SSE2__)
        return _mm_cvtsd_si32(_mm_set_sd(v));
#else
        // Adding 1.5 * 2^52 leaves no fraction bits: the sum is rounded.
        constexpr double shift = 6755399441055744.0;
        return static_cast<int>((v + shift) - shift);
#endif
    }
    if (v != v) return 0; // NaN
    return v > 0 ? limit : -limit;
}

// Out[i * Step] = PixelPos(Origin + (V[i] - Minimum) * Scale, limit), with the
// product subtracted instead when Negate: a straight scale for a whole array of
// values at once, the same pixels as one value at a time.
void PixelPositions(const double* V, int Count, double Minimum, double Scale, double Origin,
                    bool Negate, int limit, int* Out, int Step);

// The lowest and highest of V[0 .. Count) (Count > 0); false when one of them
// is NaN, and Lo and Hi are then of no use.
bool ValueRange(const double* V, int Count, double& Lo, double& Hi);

// Whether V[0 .. Count) never falls from one value to the next (NaN fails).
bool Ascending(const double* V, int Count);

// Saturating double -> int for non-pixel quantities (counts, indexes).
int SafeInt(double v);

// Pseudo-random numbers of the platform: seeded once at start, tests fix the seed.
extern uint32_t RandSeed;
void Randomize();
int Random(int range); // 0 <= result < range; 0 when range <= 0
double Random();       // 0 <= result < 1
