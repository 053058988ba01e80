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
    double Real();

    uint64_t NextU64();

    // Same state: the same draws follow.
    bool operator==(const Random&) const = default;

private:
    uint64_t s_[4];
};

// The random source of the running program.
extern Random GameRandom;
