#include "Node.h"

#include "EditJournal.h"
#include "InteractionStore.h"
#include "LinkText.h"

void CNode::Clear() {
    m_nShapeRevision = ++m_nRevision;
    m_circle_count = 0;
    m_lstCircles.clear();
}

CCircleData* CNode::GetCircle(int circle) {
    if (circle <= 0 || static_cast<size_t>(circle) > m_lstCircles.size()) {
        return nullptr;
    }
    return &m_lstCircles[circle - 1];
}

const CCircleData* CNode::GetCircle(int circle) const { return const_cast<CNode*>(this)->GetCircle(circle); }

MoleculeRecord* CNode::GetMolecule(int circle, int index) {
    CCircleData* c = GetCircle(circle);
    if (!c || index < 0 || static_cast<size_t>(index) >= c->m_lstMolecules.size()) {
        return nullptr;
    }
    return &c->m_lstMolecules[index];
}

const MoleculeRecord* CNode::GetMolecule(int circle, int index) const {
    return const_cast<CNode*>(this)->GetMolecule(circle, index);
}

bool CNode::FindPositions(int circle, int index, size_t& circlePos, size_t& nodePos) const {
    if (!GetMolecule(circle, index)) {
        return false;
    }
    circlePos = static_cast<size_t>(circle - 1);
    nodePos = static_cast<size_t>(index);
    return true;
}

std::string CNode::GetMoleculeName(int circle, int index) const {
    const MoleculeRecord* m = GetMolecule(circle, index);
    return m ? m->name : std::string();
}

int CNode::GetRelation(int circle, int index) const {
    const MoleculeRecord* m = GetMolecule(circle, index);
    return m ? m->relation : 0;
}

void CNode::GetEnds(int circle, int index, int& leftCircle, int& leftIndex, int& rightCircle,
                    int& rightIndex) const {
    const MoleculeRecord* m = GetMolecule(circle, index);
    NodePos l, r;
    if (m) {
        l = m->left;
        r = m->right;
    }
    leftCircle = l.circle;
    leftIndex = l.index;
    rightCircle = r.circle;
    rightIndex = r.index;
}

MoleculeRecord* CNode::FindMoleculeByName(const std::string& name) {
    for (int c = 1; c < m_circle_count; ++c) {
        for (int i = 0; i < GetScanWidth(c); ++i) {
            MoleculeRecord* m = GetMolecule(c, i);
            if (m && m->name == name) {
                return m;
            }
        }
    }
    return nullptr;
}

void CNode::FindMoleculePosition(const std::string& name, int& circle, int& index) const {
    for (int c = 1; c < m_circle_count; ++c) {
        for (int i = 0; i < GetScanWidth(c); ++i) {
            const MoleculeRecord* m = GetMolecule(c, i);
            if (m && m->name == name) {
                circle = c;
                index = i;
                return;
            }
        }
    }
    circle = -1;
    index = -1;
}

std::string CNode::LookUpName(const std::string& name, int list) const {
    if (list == 0) {
        // The search runs over names and position texts alike; only a text
        // shaped like a position can equal one, and a scan answers those.
        int c = 0, i = 0;
        if (ParsePosition(name, c, i) && name == FormatPosition(c, i)) {
            for (size_t k = 0; k + 1 < m_lstNameIndex.size(); ++k) {
                if (m_lstNameIndex[k] == name) {
                    return m_lstNameIndex[k + 1];
                }
            }
            return std::string();
        }
        const size_t k = m_firstNameEntry.Find(name, NameKey());
        if (k == CNameSlots::npos || k + 1 >= m_lstNameIndex.size()) {
            return std::string();
        }
        return m_lstNameIndex[k + 1];
    }
    if (list == 1 && m_pDoc && m_pDoc->HasSpecialToken(name)) {
        return name;
    }
    return std::string();
}

void CNode::RegisterName(const std::string& name, int circle, int index, int list) {
    if (list == 0) {
        AppendNameIndexEntry(name);
        AppendNameIndexEntry(FormatPosition(circle, index));
    } else if (list == 1 && m_pDoc) {
        m_pDoc->AddSpecialToken(name);
    }
}

std::string CNode::LookUp(const std::string& name) const {
    if (name.compare(0, 3, "r__") == 0) {
        if (!m_pDoc) {
            return std::string();
        }
        int i = m_pDoc->FindInteraction(name);
        if (i < 0 || !m_pDoc->m_pInteractions[i].built) {
            return std::string();
        }
        const InteractionRecord& r = m_pDoc->m_pInteractions[i];
        return FormatPosition(r.nodeCircle, r.nodeIndex);
    }
    return LookUpName(name, 0);
}

int CNode::AppendMolecule(int circle, const std::string& name, int size) {
    CCircleData* c = GetCircle(circle);
    if (!c) {
        return -1;
    }
    TouchCircle(circle);
    MoleculeRecord m;
    m.number = static_cast<int>(c->m_lstMolecules.size());
    m.name = name;
    m.size = size;
    c->m_lstMolecules.push_back(std::move(m));
    return c->m_lstMolecules.back().number;
}

int CNode::AppendCircle(CCircleData&& circle) {
    m_nShapeRevision = ++m_nRevision;
    m_lstCircles.push_back(std::move(circle));
    return m_circle_count++;
}

void CNode::ReserveNames(size_t names) {
    m_firstNameEntry.reserve(m_firstNameEntry.size() + names);
    m_lstNameIndex.reserve(m_lstNameIndex.size() + 2 * names);
}

int CNode::AppendCircle(const CCircleData& circle) {
    m_nShapeRevision = ++m_nRevision;
    m_lstCircles.push_back(circle);
    return m_circle_count++;
}

CCircleData& CNode::AppendEmptyCircle() {
    m_nShapeRevision = ++m_nRevision;
    m_lstCircles.emplace_back();
    CCircleData& circle = m_lstCircles.back();
    circle.CircleNum = m_circle_count++;
    return circle;
}

void CNode::NewStartupCircle(const std::string& name, const std::string& links, int kind) {
    CCircleData circle;
    circle.CircleNum = m_circle_count;
    MoleculeRecord m;
    m.number = 0;
    m.name = name;
    m.links = links;
    m.relation = kind;
    m.size = 1;
    m.linkCount = 0;
    m.level = 1;
    circle.m_lstMolecules.push_back(std::move(m));
    AppendCircle(std::move(circle));
}

void CNode::AddLink(int circle, int index, const std::string& entry) {
    MoleculeRecord* m = GetMolecule(circle, index);
    if (!m) {
        return;
    }
    TouchCircle(circle);
    if (m->links.empty()) {
        m->links = entry;
    } else if (!HasLinkEntry(m->links, entry)) {
        m->links += " ";
        m->links += entry;
    }
}

CCircleData* CNode::NewCircleFromFile(int num, int type, int base, int mod, int interact, int /*hor*/,
                                      int /*ver*/) {
    CCircleData& circle = m_lstCircles.emplace_back();
    circle.CircleNum = num;
    circle.circle_type = type;
    circle.base_circle = base;
    circle.mod_circle = mod;
    circle.interact = interact;
    return &circle;
}

void CNode::AddMoleculeFromFile(CCircleData* circle, int number, std::string name, std::string links,
                                std::string backLinks, int relation, int size, int leftCircle, int leftIndex,
                                int rightCircle, int rightIndex) {
    if (!circle) {
        return;
    }
    MoleculeRecord& m = circle->m_lstMolecules.emplace_back();
    m.number = number;
    m.name = std::move(name);
    m.links = std::move(links);
    m.backLinks = std::move(backLinks);
    m.relation = relation;
    m.size = size;
    m.left = NodePos{leftCircle, leftIndex};
    m.right = NodePos{rightCircle, rightIndex};
}

void CNode::RebuildNameIndex() {
    m_lstNameIndex.clear();
    m_firstNameEntry.clear();
    m_laterNameEntries.clear();
    size_t nodes = 0;
    for (const CCircleData& circle : m_lstCircles) {
        nodes += circle.m_lstMolecules.size();
    }
    ReserveNames(nodes);
    std::vector<std::uint32_t> hashes;
    hashes.reserve(nodes);
    int c = 0;
    for (const CCircleData& circle : m_lstCircles) {
        ++c;
        int i = 0;
        for (const MoleculeRecord& m : circle.m_lstMolecules) {
            m_lstNameIndex.push_back(m.name);
            m_lstNameIndex.push_back(FormatPosition(c, i++));
            hashes.push_back(CNameSlots::Hash(m.name));
        }
    }
    // The names go into the table in order, each slot asked for ahead.
    constexpr size_t kAhead = 8;
    for (size_t n = 0; n < nodes; ++n) {
        if (n + kAhead < nodes) {
            m_firstNameEntry.Prefetch(hashes[n + kAhead]);
        }
        const std::string& name = m_lstNameIndex[2 * n];
        // A repeated name (or one holding a NUL, as forgotten entries do)
        // takes the general way.
        if (name.find('\0') != std::string::npos ||
            !m_firstNameEntry.Insert(name, hashes[n], 2 * n, NameKey()).second) {
            AddNameEntry(name, 2 * n);
        }
    }
}
