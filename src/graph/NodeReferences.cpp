#include "NodeReferences.h"

#include <algorithm>
#include <functional>

#include "InteractionStore.h"
#include "LinkText.h"
#include "Node.h"

namespace {

// Calls `take` with the first number of every entry of `width` numbers,
// read as a removal reads the text: the leading run of integers.
template <class F>
void EntryCircles(const std::string& text, size_t width, F&& take) {
    size_t pos = 0;
    int value = 0;
    for (size_t k = 0; ScanInt(text, pos, value); ++k) {
        if (k % width == 0) {
            take(value);
        }
    }
}

}  // namespace

namespace {

bool Before(const NodePos& a, const NodePos& b) { return a.circle != b.circle ? a.circle < b.circle : a.index < b.index; }

}  // namespace

void CNodeReferences::PointsInto(int target, NodePos from) {
    if (target <= 0) {
        return;
    }
    Referrers& referrers = m_into[target];
    if (referrers.nodes.empty() || !(referrers.nodes.back() == from)) {
        referrers.clean = referrers.clean && (referrers.nodes.empty() || Before(referrers.nodes.back(), from));
        referrers.nodes.push_back(from);
    }
}

void CNodeReferences::ReadCircle(const CNode& graph, int circle) {
    const CCircleData* data = graph.GetCircle(circle);
    if (!data) {
        return;
    }
    std::unordered_set<std::uint64_t>& prints = m_prints[circle];
    int index = 0;
    for (const MoleculeRecord& m : data->m_lstMolecules) {
        ReadNode(m, {circle, index++}, prints);
    }
}

void CNodeReferences::ReadNode(const MoleculeRecord& m, NodePos at, std::unordered_set<std::uint64_t>& prints) {
    // What was read once at a place stays known: texts read before there
    // (an edit taken back, a node touched twice) add nothing. Hashing a
    // hub's long link text is far cheaper than looking up each of its
    // entries. A node moved up by a deletion is read at its new place.
    const std::hash<std::string> hash;
    const std::uint64_t print = hash(m.links) * 31 + hash(m.backLinks) * 17 +
                                (static_cast<std::uint64_t>(m.left.circle) << 32) +
                                static_cast<std::uint32_t>(m.right.circle) +
                                static_cast<std::uint64_t>(at.index) * 0x9E3779B97F4A7C15ull;
    if (!prints.insert(print).second) {
        return;
    }
    EntryCircles(m.links, 4, [&](int target) { PointsInto(target, at); });
    EntryCircles(m.backLinks, 2, [&](int target) { PointsInto(target, at); });
    PointsInto(m.left.circle, at);
    PointsInto(m.right.circle, at);
}

void CNodeReferences::Refresh(const CNode& graph) {
    std::vector<int> changed;
    std::vector<NodePos> nodes;
    if (m_built && m_serial == graph.GetSerial() && graph.NodesChangedSince(m_revision, nodes)) {
        // Only what changed is read: a node's edit in a large circle reads that node.
        for (const NodePos& at : nodes) {
            if (at.index < 0) {
                changed.push_back(at.circle);
            } else if (const MoleculeRecord* m = graph.GetMolecule(at.circle, at.index)) {
                ReadNode(*m, at, m_prints[at.circle]);
            }
        }
        std::sort(changed.begin(), changed.end());
        changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
        for (int c : changed) {
            ReadCircle(graph, c);
        }
    } else if (!m_built || m_serial != graph.GetSerial() || !graph.CirclesChangedSince(m_revision, changed)) {
        m_into.clear();
        m_prints.clear();
        m_recordsBuilt = false;
        for (int c = 1; c < graph.m_circle_count; ++c) {
            ReadCircle(graph, c);
        }
        m_built = true;
        m_serial = graph.GetSerial();
    } else {
        for (int c : changed) {
            ReadCircle(graph, c);
        }
    }
    m_revision = graph.GetRevision();
    const CInteractionStore* doc = graph.m_pDoc;
    const void* data = doc ? doc->m_pInteractions.data() : nullptr;
    const size_t count = doc ? doc->m_pInteractions.size() : 0;
    if (!m_recordsBuilt || data != m_recordData || count != m_recordCount) {
        m_records.clear();
        for (size_t r = 0; r < count; ++r) {
            m_records[doc->m_pInteractions[r].nodeCircle].push_back(static_cast<int>(r));
        }
        m_recordData = data;
        m_recordCount = count;
        m_recordsBuilt = true;
    }
}

const std::vector<NodePos>& CNodeReferences::NodesPointingInto(const CNode& graph, int circle) {
    Refresh(graph);
    auto it = m_into.find(circle);
    if (it == m_into.end()) {
        return m_noNodes;
    }
    Referrers& referrers = it->second;
    if (!referrers.clean) {
        std::sort(referrers.nodes.begin(), referrers.nodes.end(), Before);
        referrers.nodes.erase(std::unique(referrers.nodes.begin(), referrers.nodes.end()), referrers.nodes.end());
        referrers.clean = true;
    }
    return referrers.nodes;
}

const std::vector<int>& CNodeReferences::RecordsPlacedIn(const CNode& graph, int circle) {
    Refresh(graph);
    auto it = m_records.find(circle);
    return it == m_records.end() ? m_none : it->second;
}
