// Small deterministic helpers for the asset generators: a seeded random
// source and smooth value noise. The same seed always gives the same asset,
// so the committed files can be remade bit for bit.
#pragma once

#include <cmath>
#include <cstdint>

namespace assets {

// splitmix64: tiny, fast and good enough for placing hills and seeds.
class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double Real() { return double(Next() >> 11) * (1.0 / 9007199254740992.0); }
    double Range(double lo, double hi) { return lo + (hi - lo) * Real(); }
    // Uniform in 0..n-1 (n > 0).
    int Below(int n) { return int(Next() % uint64_t(n)); }

private:
    uint64_t state_;
};

// A lattice value in [-1, 1] for integer point (x, y) and a noise seed.
inline double LatticeValue(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return double(h & 0xFFFFFF) / double(0x7FFFFF) - 1.0;
}

inline double Smooth(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

// Value noise in about [-1, 1], smooth between lattice points one unit apart.
inline double ValueNoise(double x, double y, uint32_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    const double tx = Smooth(x - fx), ty = Smooth(y - fy);
    const double a = LatticeValue(ix, iy, seed), b = LatticeValue(ix + 1, iy, seed);
    const double c = LatticeValue(ix, iy + 1, seed), d = LatticeValue(ix + 1, iy + 1, seed);
    const double top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

// Fractal sum of octaves, each at twice the frequency and half the weight;
// normalised to about [-1, 1].
inline double Fbm(double x, double y, uint32_t seed, int octaves) {
    double sum = 0, weight = 1, norm = 0, freq = 1;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * ValueNoise(x * freq, y * freq, seed + uint32_t(i) * 101u);
        norm += weight;
        weight *= 0.5;
        freq *= 2.03;
    }
    return sum / norm;
}

}  // namespace assets
