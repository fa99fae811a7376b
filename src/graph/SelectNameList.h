#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The names a representation is about to select, in the order they were
// listed; a name may be listed more than once. Knows without a scan
// whether a name is listed, since searches ask that for every name they
// meet. A review walk lists hundreds of thousands of names per command, so
// the names share one text buffer and the lookup is an open-addressing
// table of positions; all of it keeps its capacity across Clear, and
// listing a name allocates nothing once the buffers have grown.
class CSelectNameList {
public:
    void Append(std::string_view name) {
        const size_t hash = std::hash<std::string_view>()(name);
        const bool known = Find(name, hash);
        const size_t offset = m_text.size();
        m_text.append(name.data(), name.size());  // safe when `name` views this buffer
        m_entries.push_back({offset, name.size(), hash});
        if (!known) {
            Insert(m_entries.size() - 1);
        }
    }
    // Appends `name` unless it is listed already; true when appended.
    bool AppendNew(std::string_view name) {
        const size_t hash = std::hash<std::string_view>()(name);
        if (Find(name, hash)) {
            return false;
        }
        const size_t offset = m_text.size();
        m_text.append(name.data(), name.size());
        m_entries.push_back({offset, name.size(), hash});
        Insert(m_entries.size() - 1);
        return true;
    }
    bool Contains(std::string_view name) const { return Find(name, std::hash<std::string_view>()(name)); }
    void Clear() {
        m_text.clear();
        m_entries.clear();
        if (m_distinct != 0) {
            std::fill(m_slots.begin(), m_slots.end(), 0u);
            m_distinct = 0;
        }
    }

    size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    // Valid until the next name is listed.
    std::string_view operator[](size_t i) const {
        const Entry& e = m_entries[i];
        return std::string_view(m_text.data() + e.offset, e.length);
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        names.reserve(m_entries.size());
        for (size_t i = 0; i < m_entries.size(); ++i) {
            names.emplace_back((*this)[i]);
        }
        return names;
    }

private:
    struct Entry {
        size_t offset;
        size_t length;
        size_t hash;
    };

    bool Find(std::string_view name, size_t hash) const {
        if (m_slots.empty()) {
            return false;
        }
        const size_t mask = m_slots.size() - 1;
        for (size_t s = hash & mask;; s = (s + 1) & mask) {
            const uint32_t slot = m_slots[s];
            if (slot == 0) {
                return false;
            }
            if (m_entries[slot - 1].hash == hash && (*this)[slot - 1] == name) {
                return true;
            }
        }
    }
    // Enters the listed entry `i`, whose name is not in the table yet.
    void Insert(size_t i) {
        if ((m_distinct + 1) * 2 > m_slots.size()) {
            Grow();
        }
        Place(static_cast<uint32_t>(i + 1));
        ++m_distinct;
    }
    void Place(uint32_t slot) {
        const size_t mask = m_slots.size() - 1;
        size_t s = m_entries[slot - 1].hash & mask;
        while (m_slots[s] != 0) {
            s = (s + 1) & mask;
        }
        m_slots[s] = slot;
    }
    void Grow() {
        std::vector<uint32_t> old(std::max<size_t>(m_slots.size() * 2, 64), 0u);
        old.swap(m_slots);
        for (uint32_t slot : old) {
            if (slot != 0) {
                Place(slot);
            }
        }
    }

    std::string m_text;            // every listed name, one after the other
    std::vector<Entry> m_entries;  // per listed name, in list order
    std::vector<uint32_t> m_slots; // position + 1 of each distinct name; 0 is free
    size_t m_distinct = 0;
};
