// A small deterministic PRNG (splitmix64): the same seed gives the same numbers on every
// platform and library version, unlike the std distributions.
#pragma once
#include <cstdint>

namespace krelby::gen {

class Rng {
public:
    explicit Rng(uint64_t seed) : s_(seed) {}
    // A stream of its own for a numbered purpose, independent of this one's position.
    static Rng Derived(uint64_t seed, uint64_t purpose) {
        Rng r(seed ^ (purpose * 0xD1B54A32D192ED03ull));
        r.Next();
        return r;
    }

    uint64_t Next() {
        uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }  // [0, 1)
    double Range(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
    int Int(int lo, int hi) {  // inclusive
        return lo + static_cast<int>(Next() % static_cast<uint64_t>(hi - lo + 1));
    }
    bool Chance(double p) { return p > 0 && Uniform() < p; }
    // Triangular noise in [-a, a]: cheap, centred, good enough for sensor jitter.
    double Noise(double a) { return (Uniform() + Uniform() - 1.0) * a; }

private:
    uint64_t s_;
};

}  // namespace krelby::gen
