#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// The names a representation is about to select, in the order they were
// listed; a name may be listed more than once. Knows without a scan
// whether a name is listed, since searches ask that for every name they
// meet. Each name is stored once: the set views the listed strings, which
// a deque never moves.
class CSelectNameList {
public:
    void Append(const std::string& name) {
        m_names.push_back(name);
        m_listed.insert(std::string_view(m_names.back()));
    }
    // Appends `name` unless it is listed already; true when appended.
    bool AppendNew(const std::string& name) {
        if (Contains(name)) {
            return false;
        }
        Append(name);
        return true;
    }
    bool Contains(const std::string& name) const { return m_listed.count(std::string_view(name)) != 0; }
    void Clear() {
        m_listed.clear();
        m_names.clear();
    }

    size_t size() const { return m_names.size(); }
    bool empty() const { return m_names.empty(); }
    const std::string& operator[](size_t i) const { return m_names[i]; }
    std::vector<std::string> Names() const { return std::vector<std::string>(m_names.begin(), m_names.end()); }

private:
    std::deque<std::string> m_names;
    std::unordered_set<std::string_view> m_listed;
};
