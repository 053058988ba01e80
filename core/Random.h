// The game's one random source: seeded from the clock in play, from a fixed
// seed in tests. Every draw of the game goes through it, so the order of the
// draws is the order of the calls.
#pragma once

#include <cstdint>

class Random {
public:
    explicit Random(uint64_t seed = 1) { Seed(seed); }

    void Seed(uint64_t seed);
    void SeedFromClock();

    // Uniform integer in 0..n-1 (0 when n <= 0).
    int Below(int n);
    // Uniform real in [0, 1).
    double Real() { return static_cast<double>(NextU64() >> 11) * 0x1.0p-53; }

    uint64_t NextU64();

    // Same state: the same draws follow.
    bool operator==(const Random&) const = default;

private:
    static uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    uint64_t s_[4];
};

// xoshiro256**
inline uint64_t Random::NextU64() {
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

// The 128-bit product of a 64-bit draw and n: its high half is uniform in
// 0..n-1 once the few low halves below 2^64 mod n are rejected. That
// remainder, the one division, is needed only when the low half falls below
// n, which is almost never.
inline int Random::Below(int n) {
    if (n <= 0) return 0;
    const uint64_t range = static_cast<uint64_t>(n);
    unsigned __int128 m = static_cast<unsigned __int128>(NextU64()) * range;
    uint64_t low = static_cast<uint64_t>(m);
    if (low < range) [[unlikely]] {
        const uint64_t threshold = (0 - range) % range;  // 2^64 mod n
        while (low < threshold) {
            m = static_cast<unsigned __int128>(NextU64()) * range;
            low = static_cast<uint64_t>(m);
        }
    }
    return static_cast<int>(m >> 64);
}

// The random source of the running program.
extern Random GameRandom;
