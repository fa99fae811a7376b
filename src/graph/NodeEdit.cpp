// The graph changes made by the editing commands: name index entries that
// follow renames and removals, and the removal of a node with everything
// that pointed at the nodes after it.
#include <algorithm>
#include <atomic>
#include <map>
#include <unordered_map>

#include "CircleRebuilder.h"
#include "EditJournal.h"
#include "InteractionStore.h"
#include "LinkEdit.h"
#include "LinkText.h"
#include "Node.h"

namespace {

// A forgotten name index entry: names never hold a NUL character.
const std::string kForgotten("\0forgotten", 10);

bool IsLaterInCircle(const NodePos& p, int circle, int index) { return p.circle == circle && p.index >= index; }

}  // namespace

std::uint64_t CNode::NextSerial() {
    static std::atomic<std::uint64_t> next{1};
    return next++;
}

void CNode::NoteTouched(NodePos at) {
    ++m_nRevision;
    if (at.circle > 0) {
        if (m_circleRevisions.size() <= static_cast<size_t>(at.circle)) {
            m_circleRevisions.resize(static_cast<size_t>(at.circle) + 1, 0);
        }
        m_circleRevisions[static_cast<size_t>(at.circle)] = m_nRevision;
    }
    // Readers keep up edit by edit: older touches are let go in bulk.
    constexpr size_t kKept = 4096;
    if (m_touched.size() >= 2 * kKept) {
        m_touchedFloor = m_touched[m_touched.size() - kKept - 1].revision;
        m_touched.erase(m_touched.begin(), m_touched.end() - static_cast<std::ptrdiff_t>(kKept));
    }
    m_touched.push_back({m_nRevision, at});
}

void CNode::TouchCircle(int circle) {
    NoteTouched({circle, -1});
    if (m_pJournal) {
        m_pJournal->NoteCircle(*this, circle);
    }
}

void CNode::TouchCircleFrom(int circle, int index) {
    constexpr size_t kMostNodes = 64;
    const CCircleData* cd = GetCircle(circle);
    const size_t size = cd ? cd->m_lstMolecules.size() : 0;
    if (index < 0 || static_cast<size_t>(index) >= size || size - static_cast<size_t>(index) > kMostNodes) {
        TouchCircle(circle);
        return;
    }
    for (size_t j = static_cast<size_t>(index); j < size; ++j) {
        NoteTouched({circle, static_cast<int>(j)});
    }
    if (m_pJournal) {
        m_pJournal->NoteCircle(*this, circle);
    }
}

void CNode::TouchNode(int circle, int index) {
    NoteTouched({circle, index});
    if (m_pJournal) {
        m_pJournal->NoteNode(*this, {circle, index});
    }
}

bool CNode::NodesChangedSince(std::uint64_t revision, std::vector<NodePos>& nodes) const {
    if (m_nShapeRevision > revision || m_touchedFloor > revision) {
        return false;
    }
    for (auto it = m_touched.rbegin(); it != m_touched.rend() && it->revision > revision; ++it) {
        if (it->at.circle > 0) {
            nodes.push_back(it->at);
        }
    }
    return true;
}

bool CNode::CirclesChangedSince(std::uint64_t revision, std::vector<int>& circles) const {
    if (m_nShapeRevision > revision) {
        return false;
    }
    for (size_t c = 0; c < m_circleRevisions.size(); ++c) {
        if (m_circleRevisions[c] > revision) {
            circles.push_back(static_cast<int>(c));
        }
    }
    return true;
}

std::vector<NodePos> CNode::BearersOf(const std::string& name) const {
    std::vector<NodePos> bearers;
    for (size_t k : NameEntries(name)) {
        NodePos at;
        if (k + 1 < m_lstNameIndex.size() && ParsePosition(m_lstNameIndex[k + 1], at.circle, at.index) &&
            GetMoleculeName(at.circle, at.index) == name &&
            std::find(bearers.begin(), bearers.end(), at) == bearers.end()) {
            bearers.push_back(at);
        }
    }
    return bearers;
}

int CNode::RebuildBearerCircles(const std::vector<NodePos>& bearers, ICircleRebuilder& scene) {
    // By circle, so that what points into a circle is read once however
    // many of its nodes bear a shared name.
    std::map<int, std::vector<int>> byCircle;
    for (const NodePos b : bearers) {
        TouchNode(b.circle, b.index);
        byCircle[b.circle].push_back(b.index);
    }
    std::vector<int> circles;
    for (auto& [circle, indices] : byCircle) {
        std::sort(indices.begin(), indices.end());
        circles.push_back(circle);
        for (const NodePos from : m_references.NodesPointingInto(*this, circle)) {
            const MoleculeRecord* m = GetMolecule(from.circle, from.index);
            if (!m) {
                continue;
            }
            for (const LinkEntry& e : ParseLinkEntries(m->links)) {
                if (e.circle == circle && std::binary_search(indices.begin(), indices.end(), e.index)) {
                    TouchNode(from.circle, from.index);
                    circles.push_back(from.circle);
                    break;
                }
            }
        }
    }
    std::sort(circles.begin(), circles.end());
    circles.erase(std::unique(circles.begin(), circles.end()), circles.end());
    for (int c : circles) {
        if (!scene.RebuildCircle(c)) {
            return 0;
        }
    }
    return 1;
}

std::vector<size_t> CNode::NameEntries(const std::string& name) const {
    std::vector<size_t> entries;
    const size_t first = m_firstNameEntry.Find(name, NameKey());
    if (first == CNameSlots::npos) {
        return entries;
    }
    entries.push_back(first);
    auto later = m_laterNameEntries.find(name);
    if (later != m_laterNameEntries.end()) {
        entries.insert(entries.end(), later->second.begin(), later->second.end());
    }
    return entries;
}

void CNode::AddNameEntry(const std::string& name, size_t k) {
    if (name == kForgotten) {
        return;
    }
    auto [first, added] = m_firstNameEntry.Insert(name, k, NameKey());
    if (added) {
        return;
    }
    std::vector<size_t>& later = m_laterNameEntries[name];
    const size_t present = CNameSlots::Number(first);
    if (k < present) {
        CNameSlots::SetNumber(first, k);
        k = present;
    }
    later.insert(std::lower_bound(later.begin(), later.end(), k), k);
}

void CNode::RemoveNameEntry(const std::string& name, size_t k) {
    const size_t first = m_firstNameEntry.Find(name, NameKey());
    if (first == CNameSlots::npos) {
        return;
    }
    auto later = m_laterNameEntries.find(name);
    if (first == k) {
        if (later == m_laterNameEntries.end() || later->second.empty()) {
            m_firstNameEntry.Erase(name, NameKey());
            return;
        }
        // The next entry of the name takes the slot; the slot's name reads
        // the same through either number.
        CNameSlots::SetNumber(m_firstNameEntry.Insert(name, k, NameKey()).first, later->second.front());
        later->second.erase(later->second.begin());
    } else if (later != m_laterNameEntries.end()) {
        auto it = std::lower_bound(later->second.begin(), later->second.end(), k);
        if (it != later->second.end() && *it == k) {
            later->second.erase(it);
        }
    }
    if (later != m_laterNameEntries.end() && later->second.empty()) {
        m_laterNameEntries.erase(later);
    }
}

void CNode::SetNameIndexEntry(size_t k, const std::string& text) {
    if (k >= m_lstNameIndex.size() || m_lstNameIndex[k] == text) {
        return;
    }
    ++m_nRevision;
    if (m_pJournal) {
        m_pJournal->NoteIndexEntry(k, m_lstNameIndex[k]);
    }
    if (k % 2 == 0) {
        RemoveNameEntry(m_lstNameIndex[k], k);
        AddNameEntry(text, k);
    }
    m_lstNameIndex[k] = text;
}

void CNode::AppendNameIndexEntry(const std::string& text) {
    if (m_pJournal) {
        m_pJournal->NoteIndexAppend(m_lstNameIndex.size());
    }
    if (m_lstNameIndex.size() % 2 == 0) {
        AddNameEntry(text, m_lstNameIndex.size());
    }
    m_lstNameIndex.push_back(text);
}

void CNode::TruncateNameIndex(size_t size) {
    ++m_nRevision;
    while (m_lstNameIndex.size() > size) {
        const size_t k = m_lstNameIndex.size() - 1;
        if (k % 2 == 0) {
            RemoveNameEntry(m_lstNameIndex[k], k);
        }
        m_lstNameIndex.pop_back();
    }
}

void CNode::RenameRegisteredName(const std::string& oldName, NodePos at, const std::string& newName) {
    const std::string position = FormatPosition(at.circle, at.index);
    for (size_t k : NameEntries(oldName)) {
        if (k + 1 < m_lstNameIndex.size() && m_lstNameIndex[k + 1] == position) {
            SetNameIndexEntry(k, newName);
        }
    }
}

void CNode::MoveRegisteredName(const std::string& name, NodePos from, NodePos to) {
    const std::string position = FormatPosition(from.circle, from.index);
    for (size_t k : NameEntries(name)) {
        if (k + 1 >= m_lstNameIndex.size() || m_lstNameIndex[k + 1] != position) {
            continue;
        }
        if (to.circle <= 0) {
            SetNameIndexEntry(k, kForgotten);
            SetNameIndexEntry(k + 1, std::string());
        } else {
            SetNameIndexEntry(k + 1, FormatPosition(to.circle, to.index));
        }
    }
}

void CNode::FollowRemoval(int circle, int index, std::vector<std::pair<int, int>>& changed) {
    // Any node may point into the circle (incoming lists are not complete):
    // only the nodes that may are read, and of them texts that cannot name
    // the circle are skipped without being parsed. A copy: touching the
    // nodes below changes the index.
    const std::vector<NodePos> pointing = m_references.NodesPointingInto(*this, circle);
    for (const NodePos& at : pointing) {
        MoleculeRecord* m = GetMolecule(at.circle, at.index);
        if (!m) {
            continue;
        }
        std::string links, backLinks;
        const bool linksChanged = FollowNodeRemoval(m->links, 4, circle, index, links);
        const bool backChanged = FollowNodeRemoval(m->backLinks, 2, circle, index, backLinks);
        const bool leftChanged = IsLaterInCircle(m->left, circle, index);
        const bool rightChanged = IsLaterInCircle(m->right, circle, index);
        if (!linksChanged && !backChanged && !leftChanged && !rightChanged) {
            continue;
        }
        TouchNode(at.circle, at.index);
        if (linksChanged) {
            m->links = std::move(links);
        }
        if (backChanged) {
            m->backLinks = std::move(backLinks);
        }
        for (NodePos* end : {&m->left, &m->right}) {
            if (IsLaterInCircle(*end, circle, index)) {
                // The removed node is a missing end now.
                *end = end->index == index ? NodePos{0, 0} : NodePos{circle, end->index - 1};
            }
        }
        if (linksChanged) {
            changed.emplace_back(at.circle, at.index);
        }
    }
    if (m_pDoc) {
        const std::vector<int> placed = m_references.RecordsPlacedIn(*this, circle);
        for (int r : placed) {
            InteractionRecord& rec = m_pDoc->m_pInteractions[static_cast<size_t>(r)];
            if (!rec.built || rec.nodeCircle != circle || rec.nodeIndex < index) {
                continue;
            }
            if (m_pJournal) {
                m_pJournal->NoteRecord(*this, r);
            }
            if (rec.nodeIndex == index) {
                rec.built = 0;
            } else {
                --rec.nodeIndex;
            }
        }
    }
    CCircleData* cd = GetCircle(circle);
    for (size_t j = static_cast<size_t>(index); j < cd->m_lstMolecules.size(); ++j) {
        const int at = static_cast<int>(j);
        MoveRegisteredName(cd->m_lstMolecules[j].name, {circle, at + 1}, {circle, at});
    }
}

int CNode::DeleteMolecule(int circle, int index, int itself, int incoming, int outgoing, ICircleRebuilder& scene) {
    MoleculeRecord* n = GetMolecule(circle, index);
    if (!n) {
        return 1;
    }
    const std::string self = FormatPosition(circle, index);
    const std::vector<std::pair<int, int>> sources = ParseBackLinks(n->backLinks);
    const std::vector<LinkEntry> targets = ParseLinkEntries(n->links);
    if (incoming) {
        // A circle holding several sources (a hub) is rebuilt once, after
        // its last one, with the changed nodes of that circle alone: the
        // sources of different circles may come in any order.
        std::unordered_map<int, size_t> lastOfCircle;
        for (size_t k = 0; k < sources.size(); ++k) {
            if (GetMolecule(sources[k].first, sources[k].second)) {
                lastOfCircle[sources[k].first] = k;
            }
        }
        std::unordered_map<int, std::vector<int>> changedInCircle;
        for (size_t k = 0; k < sources.size(); ++k) {
            const auto [c, i] = sources[k];
            MoleculeRecord* s = GetMolecule(c, i);
            if (!s) {
                continue;
            }
            TouchNode(c, i);
            const std::string before = s->links;
            s->links = RemoveLinkEntry(s->links, self, 2);
            std::vector<int>& changed = changedInCircle[c];
            if (s->links != before) {
                changed.push_back(i);
            }
            if (lastOfCircle[c] != k) {
                continue;
            }
            std::sort(changed.begin(), changed.end());
            changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
            if (!scene.RebuildNodeLinks(c, changed, true)) {
                return 0;
            }
            changedInCircle.erase(c);
        }
        if (!itself) {
            TouchNode(circle, index);
            n->backLinks.clear();
        }
    }
    if (outgoing) {
        for (const LinkEntry& e : targets) {
            MoleculeRecord* t = GetMolecule(e.circle, e.index);
            if (!t) {
                continue;
            }
            TouchNode(e.circle, e.index);
            t->backLinks = RemoveLinkEntry(t->backLinks, self, 0);
        }
        if (!itself) {
            TouchNode(circle, index);
            n->links.clear();
            if (!scene.RebuildCircle(circle)) {
                return 0;
            }
        }
    }
    if (itself) {
        const std::string name = n->name;
        TouchCircleFrom(circle, index);
        MoveRegisteredName(name, {circle, index}, {0, 0});
        CCircleData* cd = GetCircle(circle);
        cd->m_lstMolecules.erase(cd->m_lstMolecules.begin() + index);
        // (circle, index) of each node whose links now point elsewhere,
        // grouped by circle in ascending order.
        std::vector<std::pair<int, int>> changed;
        FollowRemoval(circle, index, changed);
        // The circle's spheres first: re-pointed edges may end at them.
        if (!scene.RebuildCircle(circle)) {
            return 0;
        }
        std::vector<int> indices;
        for (size_t k = 0; k < changed.size(); ++k) {
            const int c = changed[k].first;
            if (c == circle) {
                continue;
            }
            indices.push_back(changed[k].second);
            if (k + 1 == changed.size() || changed[k + 1].first != c) {
                scene.RebuildNodeLinks(c, indices, false);
                indices.clear();
            }
        }
        // Other bearers of the name were drawn where this one stood, and
        // other bearers of the names of the nodes that moved up where those
        // stood (names borne once need no look-up).
        std::vector<NodePos> others = BearersOf(name);
        const size_t count = m_laterNameEntries.empty() ? 0 : cd->m_lstMolecules.size();
        for (size_t k = static_cast<size_t>(index); k < count; ++k) {
            auto shared = m_laterNameEntries.find(cd->m_lstMolecules[k].name);
            if (shared != m_laterNameEntries.end() && !shared->second.empty()) {
                const std::vector<NodePos> bearers = BearersOf(shared->first);
                others.insert(others.end(), bearers.begin(), bearers.end());
            }
        }
        if (!others.empty() && !RebuildBearerCircles(others, scene)) {
            return 0;
        }
    }
    return 1;
}
