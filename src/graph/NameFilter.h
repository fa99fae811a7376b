#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Which name hashes may be present, in two bits per name of a bit array
// small enough to stay in cache: a "no" is certain, a "maybe" is wrong for
// a few names in a hundred. A table far larger than the cache that is asked
// mostly for names it does not hold is spared most of its misses by asking
// this first.
class CNameFilter {
public:
    // Room for `names` at sixteen bits each; the filter is emptied.
    void Reset(size_t names) {
        size_t bits = 4096;
        while (bits < 16 * names) {
            bits *= 2;
        }
        m_words.assign(bits / 64, 0);
        m_mask = bits - 1;
        m_capacity = names;
        m_count = 0;
    }
    // False once more names were added than the filter has room for: it
    // still answers rightly, but says "maybe" more often.
    bool Roomy() const { return m_count <= m_capacity; }
    size_t Capacity() const { return m_capacity; }

    void Add(std::uint32_t hash) {
        const size_t a = First(hash);
        const size_t b = Second(hash);
        m_words[a / 64] |= std::uint64_t{1} << (a % 64);
        m_words[b / 64] |= std::uint64_t{1} << (b % 64);
        ++m_count;
    }
    bool MayHold(std::uint32_t hash) const {
        if (m_words.empty()) {
            return true;
        }
        const size_t a = First(hash);
        const size_t b = Second(hash);
        return (m_words[a / 64] >> (a % 64) & 1) && (m_words[b / 64] >> (b % 64) & 1);
    }

private:
    size_t First(std::uint32_t hash) const { return hash & m_mask; }
    // Other bits of the hash, mixed, so that names sharing the low bits part.
    size_t Second(std::uint32_t hash) const { return ((hash * 0x9E3779B1u) >> 7 ^ hash >> 16) & m_mask; }

    std::vector<std::uint64_t> m_words;
    size_t m_mask = 0;
    size_t m_capacity = 0;
    size_t m_count = 0;
};
