#include "core/Random.h"

#include <chrono>

Random GameRandom;

namespace {
uint64_t SplitMix(uint64_t& x) {
    uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}
uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
}  // namespace

void Random::Seed(uint64_t seed) {
    for (auto& s : s_) s = SplitMix(seed);
}

void Random::SeedFromClock() {
    Seed(static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
         static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
}

// xoshiro256**
uint64_t Random::NextU64() {
    const uint64_t result = Rotl(s_[1] * 5, 7) * 9;
    const uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = Rotl(s_[3], 45);
    return result;
}

int Random::Below(int n) {
    if (n <= 0) return 0;
    const uint64_t range = static_cast<uint64_t>(n);
    const uint64_t limit = UINT64_MAX - UINT64_MAX % range;  // rejection keeps it uniform
    uint64_t v;
    do v = NextU64();
    while (v >= limit);
    return static_cast<int>(v % range);
}

double Random::Real() { return static_cast<double>(NextU64() >> 11) * 0x1.0p-53; }
