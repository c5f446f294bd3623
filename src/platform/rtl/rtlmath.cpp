#include "platform/rtl/rtlmath.h"
#include <cmath>
#include <limits>
#include <random>

namespace {
int64_t Saturate64(double v) {
    constexpr double lim = 9.2e18;
    if (std::isnan(v)) return 0;
    if (v >= lim) return std::numeric_limits<int64_t>::max();
    if (v <= -lim) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(v);
}
} // namespace

int64_t Round(double v) {
    if (std::isnan(v)) return 0;
    return Saturate64(std::nearbyint(v)); // default rounding mode: halves to even
}

int64_t Trunc(double v) {
    return Saturate64(std::trunc(v));
}

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const int64_t p = static_cast<int64_t>(a) * b;
    int64_t q = p / c;
    const int64_t r = p % c;
    // Round half away from zero.
    if (2 * (r < 0 ? -r : r) >= (c < 0 ? -static_cast<int64_t>(c) : c))
        q += ((p < 0) != (c < 0)) ? -1 : 1;
    if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min()) return -1;
    return static_cast<int>(q);
}

void PixelPositions(const double* V, int Count, double Minimum, double Scale, double Origin,
                    bool Negate, int limit, int* Out, int Step) {
    // A product with the negated scale is exactly the negated product.
    const double scale = Negate ? -Scale : Scale;
    int i = 0;
#if defined(__SSE2__)
    const __m128d min = _mm_set1_pd(Minimum), sc = _mm_set1_pd(scale);
    const __m128d origin = _mm_set1_pd(Origin);
    const __m128d hi = _mm_set1_pd(limit), lo = _mm_set1_pd(-double(limit));
    for (; i + 2 <= Count; i += 2) {
        __m128d q = _mm_add_pd(origin, _mm_mul_pd(_mm_sub_pd(_mm_loadu_pd(V + i), min), sc));
        q = _mm_and_pd(q, _mm_cmpord_pd(q, q)); // NaN gives 0
        const __m128i r = _mm_cvtpd_epi32(_mm_min_pd(_mm_max_pd(q, lo), hi));
        Out[i * Step] = _mm_cvtsi128_si32(r);
        Out[(i + 1) * Step] = _mm_cvtsi128_si32(_mm_shuffle_epi32(r, 1));
    }
#endif
    for (; i < Count; ++i)
        Out[i * Step] = PixelPos(Origin + (V[i] - Minimum) * scale, limit);
}

bool ValueRange(const double* V, int Count, double& Lo, double& Hi) {
    int i = 0;
    double lo = V[0], hi = V[0];
    bool ordered = lo == lo;
#if defined(__SSE2__)
    if (Count >= 4) {
        __m128d l0 = _mm_loadu_pd(V), h0 = l0, l1 = l0, h1 = l0;
        __m128d nan = _mm_cmpunord_pd(l0, l0);
        for (; i + 4 <= Count; i += 4) {
            const __m128d a = _mm_loadu_pd(V + i), b = _mm_loadu_pd(V + i + 2);
            l0 = _mm_min_pd(l0, a);
            h0 = _mm_max_pd(h0, a);
            l1 = _mm_min_pd(l1, b);
            h1 = _mm_max_pd(h1, b);
            nan = _mm_or_pd(nan, _mm_or_pd(_mm_cmpunord_pd(a, a), _mm_cmpunord_pd(b, b)));
        }
        l0 = _mm_min_pd(l0, l1);
        h0 = _mm_max_pd(h0, h1);
        l0 = _mm_min_sd(l0, _mm_unpackhi_pd(l0, l0));
        h0 = _mm_max_sd(h0, _mm_unpackhi_pd(h0, h0));
        lo = _mm_cvtsd_f64(l0);
        hi = _mm_cvtsd_f64(h0);
        ordered = _mm_movemask_pd(nan) == 0;
    }
#endif
    for (; i < Count; ++i) {
        const double v = V[i];
        ordered = ordered && v == v;
        lo = v < lo ? v : lo;
        hi = v > hi ? v : hi;
    }
    Lo = lo;
    Hi = hi;
    return ordered;
}

bool Ascending(const double* V, int Count) {
    int i = 0;
#if defined(__SSE2__)
    __m128d ok = _mm_castsi128_pd(_mm_set1_epi32(-1));
    for (; i + 4 < Count; i += 4) {
        const __m128d a = _mm_loadu_pd(V + i), b = _mm_loadu_pd(V + i + 2);
        ok = _mm_and_pd(ok, _mm_cmple_pd(a, _mm_loadu_pd(V + i + 1)));
        ok = _mm_and_pd(ok, _mm_cmple_pd(b, _mm_loadu_pd(V + i + 3)));
    }
    if (_mm_movemask_pd(ok) != 3) return false;
#endif
    for (; i + 1 < Count; ++i)
        if (!(V[i] <= V[i + 1])) return false;
    return Count < 1 || V[Count - 1] == V[Count - 1];
}

int SafeInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (v <= std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

uint32_t RandSeed = 0;

namespace {
// The platform's linear congruential generator, so a fixed seed gives a fixed sequence.
uint32_t NextRand() {
    RandSeed = RandSeed * 0x08088405u + 1u;
    return RandSeed;
}
} // namespace

void Randomize() {
    RandSeed = std::random_device{}();
}

int Random(int range) {
    if (range <= 0) return 0;
    return static_cast<int>((static_cast<uint64_t>(NextRand()) * static_cast<uint32_t>(range)) >>
                            32);
}

double Random() {
    return NextRand() / 4294967296.0;
}
