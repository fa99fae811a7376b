#pragma once

#include <cstddef>
#include <cstdint>

// A small generator whose sequence depends only on the seed, so a synthetic
// database comes out byte for byte the same on every platform and run
// (the standard distributions are implementation-defined).
class SplitMix64 {
public:
    explicit SplitMix64(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        return Mix(z);
    }

    // Uniform in [0, n); n > 0. The modulo bias is far below anything a
    // benchmark data set could notice.
    std::uint64_t Below(std::uint64_t n) { return Next() % n; }

    // Uniform in [lo, hi].
    std::int64_t Between(std::int64_t lo, std::int64_t hi) {
        return lo + static_cast<std::int64_t>(Below(static_cast<std::uint64_t>(hi - lo) + 1));
    }

    // True with probability perMille / 1000.
    bool Chance(unsigned perMille) { return Below(1000) < perMille; }

    template <typename T, std::size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Below(N)];
    }

    // The finaliser on its own: a stateless hash for per-row decisions that
    // must be known before the row is generated.
    static std::uint64_t Mix(std::uint64_t z) {
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

private:
    std::uint64_t m_state;
};
