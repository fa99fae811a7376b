#include "StartupBuild.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <unordered_set>

#include "InteractionStore.h"
#include "LinkText.h"

namespace {

std::string LinkEntryText(int circle, int index, int kind) {
    std::string s = std::to_string(circle);
    s += ' ';
    s += std::to_string(index);
    s += ' ';
    s += std::to_string(kind);
    s += " 1";
    return s;
}

// The build alone writes links while it runs, so the entries it has added
// are known without reading the link texts back.
class StartupBuilder {
public:
    explicit StartupBuilder(CNode& graph) : m_graph(graph) {}

    void AddLink(int circle, int index, const std::string& entry) {
        MoleculeRecord* m = m_graph.GetMolecule(circle, index);
        if (!m) {
            return;
        }
        std::string key = std::to_string(circle) + ':' + std::to_string(index) + ':' + entry;
        if (!m_entries.insert(std::move(key)).second) {
            return;
        }
        if (!m->links.empty()) {
            m->links += ' ';
        }
        m->links += entry;
    }

    // Position of a registered name. Every circle of this graph holds one
    // molecule registered when its circle was made, in circle order, so the
    // first registration is also the first circle a scan would find.
    bool Find(const std::string& name, int& circle, int& index) const {
        std::string pos = m_graph.LookUpName(name, 0);
        return !pos.empty() && ParsePosition(pos, circle, index);
    }

    void Add(const InteractionRecord& r) {
        const std::string& m1 = r.member1;
        const std::string& m2 = r.member2;
        const int k = r.kind;
        const int w = InteractionLevel(r.remark);
        int c1 = -1, i1 = -1, c2 = -1, i2 = -1;
        const bool has1 = Find(m1, c1, i1);
        const bool has2 = Find(m2, c2, i2);
        if (has1 && has2) {
            AddLink(c1, i1, LinkEntryText(c2, i2, k));
            MoleculeRecord* t = c1 < c2 ? m_graph.GetMolecule(c1, i1) : m_graph.GetMolecule(c2, i2);
            if (t) {
                t->linkCount = std::max(t->linkCount, 0) + 1;
                t->level = std::min(t->level, w);
            }
        } else if (!has1 && !has2) {
            ++m_n;
            m_graph.NewStartupCircle(m1, std::string(), k);
            m_graph.RegisterName(m1, m_n, 0, 0);
            m_graph.GetMolecule(m_n, 0)->level = w;
            // Recorded as written so a later identical entry is not added twice.
            AddLink(m_n, 0, LinkEntryText(m_n + 1, 0, k));
            ++m_n;
            m_graph.NewStartupCircle(m2, std::string(), k);
            m_graph.RegisterName(m2, m_n, 0, 0);
            m_graph.GetMolecule(m_n, 0)->level = w;
        } else if (!has1) {
            ++m_n;
            m_graph.NewStartupCircle(m1, std::string(), k);
            m_graph.GetMolecule(m_n, 0)->level = w;
            AddLink(m_n, 0, LinkEntryText(c2, 0, k));
            if (MoleculeRecord* other = m_graph.GetMolecule(c2, i2)) {
                other->level = std::min(other->level, w);
            }
            m_graph.RegisterName(m1, m_n, 0, 0);
        } else {
            ++m_n;
            m_graph.NewStartupCircle(m2, std::string(), k);
            m_graph.GetMolecule(m_n, 0)->level = w;
            AddLink(c1, i1, LinkEntryText(m_n, 0, k));
            if (MoleculeRecord* other = m_graph.GetMolecule(c1, i1)) {
                other->level = std::min(other->level, w);
            }
            m_graph.RegisterName(m2, m_n, 0, 0);
        }
    }

private:
    CNode& m_graph;
    int m_n = 0;  // circles made so far; equals the last circle number
    std::unordered_set<std::string> m_entries;
};

}  // namespace

int InteractionLevel(const std::string& remark) {
    size_t pos = 0;
    int level = 0;
    return ScanInt(remark, pos, level) ? level : 0;
}

std::unique_ptr<CNode> BuildStartupGraph(CInteractionStore& store, bool& loaded) {
    loaded = store.LoadInteractions();
    store.CollectSpecialTokens();
    return BuildStartupGraphFromArray(store);
}

std::unique_ptr<CNode> BuildStartupGraphFromArray(CInteractionStore& store) {
    auto graph = std::make_unique<CNode>(&store);
    StartupBuilder builder(*graph);
    for (const InteractionRecord& r : store.m_pInteractions) {
        builder.Add(r);
    }
    return graph;
}
