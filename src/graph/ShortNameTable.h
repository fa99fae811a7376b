#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "NameSlots.h"

// A name-to-value table for the graph builds, where most names are short:
// open addressing in one flat array of 32-byte slots, each holding the
// name's hash, the value and the name's first bytes. A short name is
// found or refused by reading its slots alone; a longer one is compared
// in full through the caller's `keyAt(value)`. So a look-up in a table far
// larger than the cache costs one miss, not the three of a node-based map
// whose keys live in the nodes' strings.
template <class Value>
class CShortNameTable {
    static constexpr size_t kHead = 32 - sizeof(std::uint32_t) - 2 - sizeof(Value);
    static_assert(sizeof(Value) <= 16 && kHead >= 8, "values must leave room for a name's head");

public:
    void reserve(size_t names) {
        if (2 * names > m_slots.size()) {
            Rehash(names);
        }
    }
    size_t size() const { return m_count; }

    // The value stored under `name`, or null.
    template <class KeyAt>
    const Value* Find(std::string_view name, const KeyAt& keyAt) const {
        return Find(name, Hash(name), keyAt);
    }
    // With the name's hash (CNameSlots::Hash), for callers that prefetch.
    template <class KeyAt>
    const Value* Find(std::string_view name, std::uint32_t hash, const KeyAt& keyAt) const {
        const Slot* s = Locate(name, hash, keyAt);
        return s && s->used ? &s->value : nullptr;
    }

    // Whether a name is too long for a slot's head to settle its look-up.
    static bool IsLong(std::string_view name) { return name.size() > kHead; }

    // The value of a slot whose hash and head match `name`: a long name is
    // not compared in full, so this is a guess, for prefetching only.
    const Value* Guess(std::string_view name, std::uint32_t hash) const {
        if (m_slots.empty()) {
            return nullptr;
        }
        const size_t mask = m_slots.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot& s = m_slots[i];
            if (!s.used) {
                return nullptr;
            }
            if (s.hash == hash && HeadMatches(s, name)) {
                return &s.value;
            }
        }
    }

    // Starts loading the slot where a look-up of `name` begins, for a
    // look-up a little later (a build reading rows in order asks this for
    // a row ahead, so the miss overlaps the work in between).
    void Prefetch(std::string_view name) const { Prefetch(Hash(name)); }
    void Prefetch(std::uint32_t hash) const {
        if (!m_slots.empty()) {
            __builtin_prefetch(&m_slots[hash & (m_slots.size() - 1)]);
        }
    }

    // Stores `value` under `name` unless the name is there already (the
    // first stays); returns the stored value and whether it was added.
    template <class KeyAt>
    std::pair<Value*, bool> Insert(std::string_view name, const Value& value, const KeyAt& keyAt) {
        reserve(m_count + 1);
        const std::uint32_t hash = Hash(name);
        Slot* s = const_cast<Slot*>(Locate(name, hash, keyAt));
        if (s->used) {
            return {&s->value, false};
        }
        s->hash = hash;
        s->value = value;
        s->used = 1;
        s->length = name.size() <= kHead ? static_cast<std::uint8_t>(name.size()) : kLong;
        std::memcpy(s->head, name.data(), name.size() < kHead ? name.size() : kHead);
        ++m_count;
        return {&s->value, true};
    }

private:
    static constexpr std::uint8_t kLong = 0xFF;
    static_assert(kHead < kLong, "a head length must differ from the long mark");

    struct Slot {
        std::uint32_t hash = 0;
        Value value{};
        std::uint8_t used = 0;
        std::uint8_t length = 0;  // of a name that fits the head, else kLong
        char head[kHead] = {};
    };

    static std::uint32_t Hash(std::string_view name) { return CNameSlots::Hash(name); }

    // Whether the head tells `name` apart: for a short name that settles it.
    static bool HeadMatches(const Slot& s, std::string_view name) {
        if (s.length != kLong) {
            return s.length == name.size() && std::memcmp(s.head, name.data(), name.size()) == 0;
        }
        return name.size() > kHead && std::memcmp(s.head, name.data(), kHead) == 0;
    }
    template <class KeyAt>
    static bool Matches(const Slot& s, std::string_view name, const KeyAt& keyAt) {
        return HeadMatches(s, name) && (s.length != kLong || std::string_view(keyAt(s.value)) == name);
    }

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
            if (!s.used || (s.hash == hash && Matches(s, name, keyAt))) {
                return &s;
            }
        }
    }

    void Rehash(size_t names) {
        RehashSlots(m_slots, names, [](const Slot& s) { return s.used != 0; });
    }

    std::vector<Slot> m_slots;
    size_t m_count = 0;
};
