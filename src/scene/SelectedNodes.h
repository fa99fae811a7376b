#pragma once

#include <unordered_map>

class SoNode;

// The nodes at the end of the paths a selection node holds, kept up to
// date by the selection callbacks, so that "is this node selected" needs
// neither a search under the selection nor a walk through its path list.
class CSelectedNodes {
public:
    void Add(const SoNode* node) { ++m_counts[node]; }
    void Remove(const SoNode* node) {
        auto it = m_counts.find(node);
        if (it != m_counts.end() && --it->second <= 0) {
            m_counts.erase(it);
        }
    }
    bool Contains(const SoNode* node) const { return node && m_counts.count(node) != 0; }
    bool empty() const { return m_counts.empty(); }
    void Clear() { m_counts.clear(); }

    template <class F>
    void ForEach(F&& f) const {
        for (const auto& entry : m_counts) {
            f(entry.first);
        }
    }

private:
    std::unordered_map<const SoNode*, int> m_counts;
};
