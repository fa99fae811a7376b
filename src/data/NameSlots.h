#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

// Open addressing tables at most half full, so runs stay short: moves the
// used slots (each with a `hash`) into a table with room for `names`, each
// to the first free slot from its hash on. (Not "slots": Qt's keyword.)
template <class Slot, class Used>
void RehashSlots(std::vector<Slot>& table, size_t names, const Used& used) {
    size_t capacity = 16;
    while (capacity < 2 * names) {
        capacity *= 2;
    }
    std::vector<Slot> old(capacity);
    old.swap(table);
    const size_t mask = capacity - 1;
    for (const Slot& s : old) {
        if (used(s)) {
            size_t i = s.hash & mask;
            while (used(table[i])) {
                i = (i + 1) & mask;
            }
            table[i] = s;
        }
    }
}

// A name-to-number table that keeps no names: each slot holds the name's
// hash and a number, and the caller's `keyAt(number)` gives the name a
// number stands for. Open addressing in one flat array, so a look-up
// reads one or two slots and the one name it compares, and an insertion
// allocates nothing until the table doubles.
class CNameSlots {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    size_t size() const { return m_count; }
    void clear() {
        m_slots.assign(m_slots.size(), Slot{});
        m_count = 0;
    }
    void reserve(size_t names) {
        if (2 * names > m_slots.size()) {
            Rehash(names);
        }
    }

    template <class KeyAt>
    size_t Find(std::string_view name, const KeyAt& keyAt) const {
        return Find(name, Hash(name), keyAt);
    }
    // With the name's Hash, for callers that prefetch.
    template <class KeyAt>
    size_t Find(std::string_view name, std::uint32_t hash, const KeyAt& keyAt) const {
        const Slot* s = Locate(name, hash, keyAt);
        return s && s->value ? s->value - 1 : npos;
    }

    static std::uint32_t Hash(std::string_view name) {
        const std::uint64_t h = std::hash<std::string_view>()(name);
        return static_cast<std::uint32_t>(h ^ (h >> 32));
    }
    // Bulk passes over many names touch the table at random: asking for
    // the slot of a name some steps ahead hides most of the cache misses.
    void Prefetch(std::uint32_t hash) const {
        if (!m_slots.empty()) {
            __builtin_prefetch(&m_slots[hash & (m_slots.size() - 1)]);
        }
    }

    // The number stored under `name`, adding `value` when none is; the
    // flag tells whether it was added. The reference stays valid until the
    // next insertion or erasure.
    template <class KeyAt>
    std::pair<std::uint32_t*, bool> Insert(std::string_view name, size_t value, const KeyAt& keyAt) {
        return Insert(name, Hash(name), value, keyAt);
    }
    template <class KeyAt>
    std::pair<std::uint32_t*, bool> Insert(std::string_view name, std::uint32_t hash, size_t value,
                                           const KeyAt& keyAt) {
        reserve(m_count + 1);
        Slot* s = const_cast<Slot*>(Locate(name, hash, keyAt));
        if (s->value) {
            return {&s->value, false};
        }
        *s = Slot{hash, static_cast<std::uint32_t>(value + 1)};
        ++m_count;
        return {&s->value, true};
    }
    // The stored number of an entry as Insert returns it.
    static size_t Number(const std::uint32_t* stored) { return *stored - 1; }
    static void SetNumber(std::uint32_t* stored, size_t value) { *stored = static_cast<std::uint32_t>(value + 1); }

    template <class KeyAt>
    void Erase(std::string_view name, const KeyAt& keyAt) {
        if (m_slots.empty()) {
            return;
        }
        Slot* s = const_cast<Slot*>(Locate(name, Hash(name), keyAt));
        if (!s->value) {
            return;
        }
        // Later slots of the same run move back, so no probe ever stops
        // short of its name.
        const size_t mask = m_slots.size() - 1;
        size_t i = static_cast<size_t>(s - m_slots.data());
        for (size_t j = (i + 1) & mask; m_slots[j].value; j = (j + 1) & mask) {
            const size_t home = m_slots[j].hash & mask;
            if (((j - home) & mask) >= ((j - i) & mask)) {
                m_slots[i] = m_slots[j];
                i = j;
            }
        }
        m_slots[i] = Slot{};
        --m_count;
    }

private:
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t value = 0;  // number + 1; 0 is an empty slot
    };

    // The slot holding `name`, or the empty slot where it would go; null
    // only while the table has no slots.
    template <class KeyAt>
    const Slot* Locate(std::string_view name, std::uint32_t hash, const KeyAt& keyAt) const {
        if (m_slots.empty()) {
            return nullptr;
        }
        const size_t mask = m_slots.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot& s = m_slots[i];
            if (!s.value || (s.hash == hash && std::string_view(keyAt(s.value - 1)) == name)) {
                return &s;
            }
        }
    }

    void Rehash(size_t names) {
        RehashSlots(m_slots, names, [](const Slot& s) { return s.value != 0; });
    }

    std::vector<Slot> m_slots;
    size_t m_count = 0;
};
