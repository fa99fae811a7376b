#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

// The names a representation is about to select, in the order they were
// listed; a name may be listed more than once. Knows without a scan
// whether a name is listed, since searches ask that for every name they
// meet.
class CSelectNameList {
public:
    void Append(const std::string& name) {
        m_names.push_back(name);
        ++m_counts[name];
    }
    // Appends `name` unless it is listed already; true when appended.
    bool AppendNew(const std::string& name) {
        if (Contains(name)) {
            return false;
        }
        Append(name);
        return true;
    }
    bool Contains(const std::string& name) const { return m_counts.count(name) != 0; }
    void Clear() {
        m_names.clear();
        m_counts.clear();
    }

    size_t size() const { return m_names.size(); }
    bool empty() const { return m_names.empty(); }
    const std::string& operator[](size_t i) const { return m_names[i]; }
    const std::vector<std::string>& Names() const { return m_names; }

private:
    std::vector<std::string> m_names;
    std::unordered_map<std::string, int> m_counts;
};
